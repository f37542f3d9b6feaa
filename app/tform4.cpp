#include "app/tform4.h"

#include "app/pictures.h"
#include "app/program.h"
#include "app/tform1.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>

TForm4::TForm4(TForm1* form1, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), form1_(form1) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Error!"));
    resize(280, 111);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(64, 8);
    QFont heading(QStringLiteral("Arial"));
    heading.setPixelSize(16);
    Label2->setFont(heading);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(66, 42);
    QFont message(QStringLiteral("Arial"));
    message.setPixelSize(13);
    Label1->setFont(message);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(6, 10, 39, 41);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIcon(pictures::errorIcon());
    SpeedButton1->setIconSize(QSize(32, 32));
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(134, 76, 71, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    // OK is the default and has the focus: Return, Enter and Space press it,
    // Escape closes the window too.
    Button1->setDefault(true);
    Button1->setAutoDefault(true);
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(Button1);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &TForm4::Button1Click);
    FormCreate();
}

void TForm4::takeTexts() {
    // The labels keep their own fonts (Arial, 16 and 13 pixels) and take
    // only the character set of the main window's Label65.
    const QVariant charset = form1_->hiddenLabel(HiddenText::PortBusy)->property("fontCharset");
    Label1->setProperty("fontCharset", charset);
    Label2->setProperty("fontCharset", charset);
    Label1->setText(form1_->Label100->text());
    Label2->setText(form1_->Label101->text());
    Label1->adjustSize();
    Label2->adjustSize();
}

ErrorWindowLayout errorWindowLayout(const QString& message, int widestLinePixels, int lineHeight,
                                    const QSize& screen, int wrappedTextHeight) {
    ErrorWindowLayout l;
    const QStringList lines = message.split(QLatin1Char('\n'));
    int longest = 0;
    for (const QString& line : lines)
        longest = std::max(longest, int(line.size()));
    if (longest > 25) {
        l.width = 6 * longest + 120;
        l.buttonLeft = l.width / 2 - 35;
    }
    // The width by characters is an estimate: the drawn width of every line
    // wins where it is larger. The message starts 66 pixels in; keep as much
    // room on its right.
    l.width = std::max(l.width, widestLinePixels + 2 * 66);
    l.buttonLeft = l.width / 2 - 35;
    const int extra = (int(lines.size()) - 1) * lineHeight;
    l.height += extra;
    l.buttonTop += extra;
    if (screen.isValid() && l.width > screen.width()) {
        l.width = screen.width();
        l.buttonLeft = l.width / 2 - 35;
        l.wrap = true;
    }
    // Wrapped, the text takes more lines than it has: the window grows by them.
    if (l.wrap && wrappedTextHeight > int(lines.size()) * lineHeight) {
        const int more = wrappedTextHeight - int(lines.size()) * lineHeight;
        l.height += more;
        l.buttonTop += more;
    }
    if (screen.isValid() && l.height > screen.height()) {
        l.buttonTop -= l.height - screen.height();
        l.height = screen.height();
    }
    return l;
}

void TForm4::FormCreate() {
    takeTexts();
}

QString elideUnbrokenWords(const QString& message, const QFontMetrics& fm, int maxWidth) {
    QStringList lines = message.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        QStringList words = line.split(QLatin1Char(' '));
        for (QString& word : words)
            if (fm.horizontalAdvance(word) > maxWidth) word = fm.elidedText(word, Qt::ElideMiddle, maxWidth);
        line = words.join(QLatin1Char(' '));
    }
    return lines.join(QLatin1Char('\n'));
}

void TForm4::FormActivate() {
    takeTexts();
    const QString whole = Label1->text();
    const QFontMetrics fm(Label1->font());
    const QScreen* s = screen();
    const QSize available = s ? s->availableGeometry().size() : QSize();
    // A word that no line can hold (a long path) loses its middle; the whole
    // text stays in the tooltip.
    const int textRoom = available.isValid() ? available.width() - Label1->x() - 8 : QWIDGETSIZE_MAX;
    const QString message = elideUnbrokenWords(whole, fm, textRoom);
    Label1->setText(message);
    Label1->setToolTip(message == whole ? QString() : whole);
    int widest = 0;
    for (const QString& line : message.split(QLatin1Char('\n')))
        widest = std::max(widest, fm.horizontalAdvance(line));
    ErrorWindowLayout l = errorWindowLayout(message, widest, fm.lineSpacing(), available);
    Label1->setWordWrap(l.wrap);
    if (l.wrap) {
        Label1->setFixedWidth(l.width - Label1->x() - 8);
        const int textHeight =
            fm.boundingRect(QRect(0, 0, Label1->width(), QWIDGETSIZE_MAX), Qt::TextWordWrap, message)
                .height();
        l = errorWindowLayout(message, widest, fm.lineSpacing(), available, textHeight);
        Label1->setFixedHeight(textHeight);
    } else {
        Label1->setMinimumSize(0, 0);
        Label1->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        Label1->adjustSize();
    }
    resize(l.width, l.height);
    Button1->move(l.buttonLeft, l.buttonTop);
}

void TForm4::Button1Click() {
    hide();
}

void TForm4::showMessage() {
    const bool wasHidden = !isVisible();
    FormActivate();
    // Centred on the screen whenever it comes up, at its new width.
    if (wasHidden) centreOnScreen(this);
    show();
    raise();
    activateWindow();
    Button1->setFocus(Qt::OtherFocusReason);
}

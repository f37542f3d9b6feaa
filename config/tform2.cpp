#include "config/tform2.h"

#include "files/files.h"
#include "seams/seams.h"
#include "wait/idle.h"
#include "widgets/controls.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

// The list's text in whatever font the system puts in for the dialog's (a
// fallback font may be taller than the 21-pixel field allows): the font
// shrinks until a line fits the field, so the text always shows.
void fitTextToField(QComboBox* box) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = true;
    option.frame = true;
    option.rect = QRect(QPoint(0, 0), box->size());
    const QRect field =
        box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    box->lineEdit()->setTextMargins(0, 0, 0, 0);
    // QLineEdit keeps a pixel above and below the text.
    const int room = field.height() - 2;
    QFont font = box->font();
    int pixels = QFontInfo(font).pixelSize();
    while (pixels > 6 && QFontMetrics(font).height() > room)
        font.setPixelSize(--pixels);
    if (font != box->font()) box->setFont(font);
}

// A framed drop-down list. The list is laid out in the dialog's coordinates
// and lives inside its frame.
QComboBox* framedList(QGroupBox* frame, const QString& name, const QStringList& entries, int x, int y,
                      int w) {
    auto* box = new QComboBox(frame);
    box->setObjectName(name);
    box->setEditable(true);
    // Only the selected entry counts: typing never adds an entry, and what was
    // typed gives way to the selected entry's text when the field is left.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(entries);
    box->setMaxVisibleItems(8);
    box->setGeometry(x - frame->x(), y - frame->y(), w, 21);
    fitTextToField(box);
    QObject::connect(box->lineEdit(), &QLineEdit::editingFinished, box, [box] {
        if (box->lineEdit()->text() != box->itemText(box->currentIndex()))
            box->setEditText(box->itemText(box->currentIndex()));
    });
    return box;
}

QGroupBox* frame(const QString& name, const QString& caption, QWidget* parent, int x, int y, int w, int h) {
    auto* g = new QGroupBox(caption, parent);
    g->setObjectName(name);
    g->setGeometry(x, y, w, h);
    return g;
}

} // namespace

TForm2::TForm2(TForm1* form1, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      form1_(form1) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Ustawienia"));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);
    setFixedSize(385, 121);
    // Escape closes the dialog as its close box does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    RadioGroup1 = new RadioGroup(QStringLiteral("RadioGroup1"), QStringLiteral("Numer portu"),
                                 {QStringLiteral("COM1"), QStringLiteral("COM2")}, this);
    RadioGroup1->setGeometry(0, 0, 93, 59);

    GroupBox1 = frame(QStringLiteral("GroupBox1"), QString::fromUtf8("Prędkość"), this, 98, 0, 97, 57);
    ComboBox1 = framedList(
        GroupBox1, QStringLiteral("ComboBox1"),
        {QStringLiteral("19200"), QStringLiteral("9600"), QStringLiteral("4800"), QStringLiteral("2400")},
        108, 24, 81);

    GroupBox2 = frame(QStringLiteral("GroupBox2"), QString::fromUtf8("Parzystość"), this, 202, 0, 97, 57);
    ComboBox2 =
        framedList(GroupBox2, QStringLiteral("ComboBox2"),
                   {QStringLiteral("ODD"), QStringLiteral("EVEN"), QStringLiteral("NONE")}, 208, 24, 81);
    ComboBox2->setEnabled(false);

    RadioGroup2 = new RadioGroup(
        QStringLiteral("RadioGroup2"), QString::fromUtf8("Język"),
        {QStringLiteral("Polski"), QStringLiteral("English"), QStringLiteral("Pycckuu")}, this);
    RadioGroup2->setGeometry(302, 0, 83, 73);

    GroupBox3 = frame(QStringLiteral("GroupBox3"), QStringLiteral("Adres"), this, 2, 64, 91, 57);
    QStringList addresses;
    for (int n = 1; n <= ini::kAddressCount; ++n)
        addresses << QString::number(n);
    ComboBox3 = framedList(GroupBox3, QStringLiteral("ComboBox3"), addresses, 16, 88, 61);

    GroupBox5 = frame(QStringLiteral("GroupBox5"), QStringLiteral("Bity danych"), this, 100, 64, 97, 57);
    ComboBox5 = framedList(GroupBox5, QStringLiteral("ComboBox5"),
                           {QStringLiteral("8 bit"), QStringLiteral("7 bit")}, 108, 88, 81);
    ComboBox5->setEnabled(false);

    GroupBox4 = frame(QStringLiteral("GroupBox4"), QStringLiteral("Bity stopu"), this, 202, 64, 97, 57);
    ComboBox4 = framedList(GroupBox4, QStringLiteral("ComboBox4"),
                           {QStringLiteral("1 bit"), QStringLiteral("2 bity")}, 208, 88, 81);
    ComboBox4->setEnabled(false);

    Button1 = new QPushButton(QStringLiteral("&Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(308, 90, 75, 25);
    Button1->setDefault(true);

    connect(ComboBox3, &QComboBox::currentIndexChanged, this, &TForm2::takeAddress);
    setSelections(ini::Selections{});
    takeAddress();
    Button1->setFocus();

    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(RadioGroup2, &RadioGroup::clicked, this, &TForm2::RadioGroup2Click);
}

ini::Selections TForm2::selections() const {
    ini::Selections s;
    s.port = RadioGroup1->itemIndex();
    s.speed = ComboBox1->currentIndex();
    s.parity = ComboBox2->currentIndex();
    s.address = ComboBox3->currentIndex();
    s.stopBits = ComboBox4->currentIndex();
    s.dataBits = ComboBox5->currentIndex();
    s.language = RadioGroup2->itemIndex();
    return s;
}

void TForm2::setSelections(const ini::Selections& s) {
    RadioGroup1->setItemIndex(s.port);
    ComboBox1->setCurrentIndex(s.speed);
    ComboBox2->setCurrentIndex(s.parity);
    ComboBox3->setCurrentIndex(s.address);
    ComboBox4->setCurrentIndex(s.stopBits);
    ComboBox5->setCurrentIndex(s.dataBits);
    RadioGroup2->setItemIndex(s.language);
}

int TForm2::busAddress() const {
    return address_;
}

void TForm2::takeAddress() {
    idle::whenIdle(this, "address", [this] {
        const int chosen = ComboBox3->currentIndex() + 1;
        if (chosen == address_) return;
        address_ = chosen;
        emit addressChanged(address_);
    });
}

int TForm2::languageIndex() const {
    return RadioGroup2->itemIndex();
}

void TForm2::FormCreate() {
    if (!files::entryExists(ini::fileName())) {
        // First start: the initial selections become the file.
        if (!saveIni()) return;
    } else {
        const ini::ReadResult r = ini::readFile(ini::fileName());
        if (!r.ok) {
            // Nothing of a file that failed to read is applied, and the
            // windows keep their built-in texts.
            seams::errorBox(this, r.error);
            return;
        }
        setSelections(ini::applyLines(r.lines, selections()));
    }
    zmiana_jezyka();
}

void TForm2::Button1Click() {
    hide();
    // A failed write's box waits for the running operation too.
    idle::whenIdle(this, "saveIni", [this] { saveIni(); });
}

bool TForm2::saveIni() {
    QString error;
    if (files::writeWhole(ini::fileName(), ini::fileText(selections()), &error)) return true;
    seams::errorBox(this, error);
    return false;
}

void TForm2::RadioGroup2Click() {
    // Never in the middle of an operation: its texts and messages stay in one language.
    if (idle::deferred(this, "RadioGroup2", [this] { RadioGroup2Click(); })) return;
    zmiana_jezyka();
}

void TForm2::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

void TForm2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centred_) return;
    centred_ = true;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

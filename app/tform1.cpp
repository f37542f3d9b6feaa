#include "app/tform1.h"

#include "app/about.h"
#include "app/keyboard.h"
#include "app/pictures.h"
#include "app/programicon.h"
#include "config/tform2.h"
#include "core/link.h"
#include "faults/rules.h"
#include "i18n/translator.h"
#include "protocol/registerbus.h"
#include "seams/seams.h"
#include "serial/tserialdriver.h"
#include "setpoints/rules.h"
#include "wait/czekaj.h"
#include "widgets/cellfit.h"
#include "widgets/controls.h"
#include "widgets/languagefollower.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QProgressBar>
#include <QTabBar>
#include <QTableWidgetItem>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

QToolButton* toolButton(const QString& name, const QIcon& icon, const QString& hint, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(icon);
    b->setIconSize(QSize(32, 28));
    b->setToolTip(hint);
    b->setFixedSize(57, 35);
    b->setAutoRaise(true);
    return b;
}

QToolButton* pageButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setCheckable(true);
    b->setFixedSize(98, 23);
    QFont f = b->font();
    f.setPixelSize(12);
    b->setFont(f);
    return b;
}

// Ctrl+Tab, Ctrl+Shift+Tab and Ctrl+PgUp/PgDn would make the page control
// step through its pages, the hidden text store among them, behind the page
// buttons' back: only the page buttons choose a page.
bool cyclesPages(const QKeyEvent& e) {
    if (!(e.modifiers() & Qt::ControlModifier)) return false;
    switch (e.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

class PageKeysFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && cyclesPages(*static_cast<QKeyEvent*>(event))) return true;
        return QObject::eventFilter(watched, event);
    }
};

// A fixed text wider than its cell is drawn in a smaller font, down to
// 11 pixels, so that it shows whole; what still does not fit shows as a tooltip.
void fitCellText(StringGrid* grid, int column, int row) {
    QTableWidgetItem* it = grid->item(row, column);
    if (!it) return;
    QFont f = grid->font();
    if (f.pixelSize() <= 0) return;
    while (grid->cellTextCut(column, row) && f.pixelSize() > 11) {
        f.setPixelSize(f.pixelSize() - 1);
        it->setFont(f);
    }
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8("Przekaźnik statyczny nadprądowy VRK-...T8/230"));
    setFixedSize(663, 447);
    // A fixed border: system menu, minimize and close, no maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(programicon::icon());

    // The serial line as the window stores it: the device COM2, 19200 bit/s,
    // odd parity, 50 ms to send and 100 ms of silence to end a reply.
    Link1 = new core::Link(this);
    Link1->setObjectName(QStringLiteral("Link1"));
    SerialDriver1 = &Link1->driver();
    SerialDriver1->setPortName(QStringLiteral("\\\\.\\COM2"));
    SerialDriver1->setBaudRateValue(19200);
    SerialDriver1->setParity(ptODD);
    SerialDriver1->setOutputTimeout(50);
    SerialDriver1->setInputTimeout(100);
    // The bus address is asked afresh at every exchange.
    Link1->setAddress([this] { return form2_ ? form2_->busAddress() : 0; });
    bus_ = &Link1->bus();
    // Another relay or none (connect, disconnect, another address, line or
    // variant): what the pages hold from the earlier one is marked so.
    connect(Link1, &core::Link::identityChanged, this, &TForm1::relayChanged);

    data_ = new DataPage(*this, *Link1);
    chart_ = new ChartPage(*this);
    setpoints_ = new SetpointPage(*this);
    faults_ = new FaultPage(*this);
    records_ = new RecordsPage(*this, *Link1);
    journal_ = new JournalPage(*this, *Link1);
    lineMonitor_ = new LineMonitorPage(*this, *Link1);

    buildWindow();
    data_->build(TabSheet1);
    chart_->build(TabSheet5);
    setpoints_->build();
    faults_->build();
    records_->build();
    journal_->build();
    lineMonitor_->build();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer2 = Link1->pollTimer(); // five polls a second
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);

    FormCreate();
    keyboard::setTabOrder(*this);
    keyboard::addShortcuts(*this);
    about::addMenu(*this);
    // The setpoint names (with the step to enter) and the fault causes shown whole.
    cellfit::keepColumnWhole(&setpointPage().grid(), 1);
    cellfit::keepColumnWhole(&faultPage().grid(), 1);
    // Numbers the program adds (not those the relay's documents format) follow the chosen language.
    new LanguageFollower(this, [] { QLocale::setDefault(QLocale(i18n::localeName(i18n::current()))); });
    Timer1->start();
}

TForm1::~TForm1() {
    Timer1->stop();
    // The windows this one owns close while they are still whole. Left to QWidget's own destructor,
    // a shown window is hidden after its class's destructor has run, and what the hiding sets off (a
    // table's scroll range, say) would reach handlers of an object that is no longer one.
    for (QWidget* w : findChildren<QWidget*>())
        if (w->isWindow() && w->isVisible()) w->hide();
    // Closed quietly: no client of the link is told while the window goes.
    const QSignalBlocker quiet(Link1);
    Link1->close();
}

bool TForm1::exchangeBusy() const {
    return sequenceDepth_ > 0 || Link1->busy();
}

void TForm1::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

void TForm1::setForms(TForm2* form2, TForm4* form4) {
    form2_ = form2;
    form4_ = form4;
    if (form2_)
        connect(form2_, &TForm2::addressChanged, Link1, &core::Link::checkAddress, Qt::UniqueConnection);
}

void TForm1::buildWindow() {
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, 663, 41);
    ToolBar1->setMovable(false);
    ToolBar1->setContentsMargins(0, 0, 0, 0);
    ToolBar1->layout()->setContentsMargins(0, 3, 0, 3);
    ToolBar1->layout()->setSpacing(0);
    {
        QFont f = ToolBar1->font();
        f.setPixelSize(19);
        ToolBar1->setFont(f);
    }
    SpeedButton1 = toolButton(QStringLiteral("SpeedButton1"), pictures::connectIcon(),
                              QString::fromUtf8("POŁĄCZ"), ToolBar1);
    SpeedButton2 = toolButton(QStringLiteral("SpeedButton2"), pictures::disconnectIcon(),
                              QString::fromUtf8("ROZŁĄCZ"), ToolBar1);
    SpeedButton2->setEnabled(false);
    SpeedButton3 = toolButton(QStringLiteral("SpeedButton3"), pictures::settingsIcon(),
                              QStringLiteral("USTAWIENIA"), ToolBar1);
    ToolBar1->addWidget(SpeedButton1);
    ToolBar1->addWidget(SpeedButton2);
    ToolBar1->addWidget(SpeedButton3);
    // The bevel: a lowered box, one dark line top and left, one light line
    // bottom and right.
    auto* bevel = new QFrame(ToolBar1);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFixedSize(350, 35);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bevel->setLineWidth(1);
    ToolBar1->addWidget(bevel);
    Image9 = new QLabel(ToolBar1);
    Image9->setObjectName(QStringLiteral("Image9"));
    Image9->setFixedSize(136, 35);
    Image9->setPixmap(pictures::logo(Image9->devicePixelRatioF()));
    ToolBar1->addWidget(Image9);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);

    ToolBar2 = new QToolBar(this);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setGeometry(0, 41, 663, 28);
    ToolBar2->setMovable(false);
    SpeedButton21 = pageButton(QStringLiteral("SpeedButton21"), QStringLiteral("Dane"), ToolBar2);
    SpeedButton22 = pageButton(QStringLiteral("SpeedButton22"), QStringLiteral("Nastawy"), ToolBar2);
    SpeedButton23 = pageButton(QStringLiteral("SpeedButton23"), QStringLiteral("Wykres"), ToolBar2);
    SpeedButton24 = pageButton(QStringLiteral("SpeedButton24"), QStringLiteral("Awarie"), ToolBar2);
    auto* pages = new QButtonGroup(this);
    pages->setExclusive(true);
    for (QToolButton* b : {SpeedButton21, SpeedButton22, SpeedButton23, SpeedButton24}) {
        pages->addButton(b);
        ToolBar2->addWidget(b);
    }
    SpeedButton21->setChecked(true);
    connect(SpeedButton21, &QToolButton::clicked, this, &TForm1::SpeedButton21Click);
    connect(SpeedButton22, &QToolButton::clicked, this, &TForm1::SpeedButton22Click);
    connect(SpeedButton23, &QToolButton::clicked, this, &TForm1::SpeedButton23Click);
    connect(SpeedButton24, &QToolButton::clicked, this, &TForm1::SpeedButton24Click);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->tabBar()->hide();
    PageControl1->setDocumentMode(true);
    PageControl1->setGeometry(0, 69, 663, 447 - 69 - 21);
    PageControl1->installEventFilter(new PageKeysFilter(PageControl1));
    auto page = [this](const char* name, const QString& caption) {
        auto* w = new QWidget();
        w->setObjectName(QLatin1String(name));
        PageControl1->addTab(w, caption);
        return w;
    };
    TabSheet1 = page("TabSheet1", QStringLiteral("Dane"));
    TabSheet5 = page("TabSheet5", QStringLiteral("Wykres"));
    TabSheet4 = page("TabSheet4", QStringLiteral("Nastawy"));
    TabSheet6 = page("TabSheet6", QStringLiteral("Awarie"));
    TabSheet7 = page("TabSheet7", QString());
    for (int i = 0; i < PageControl1->count(); ++i)
        PageControl1->setTabVisible(i, false);

    // The text store of the current language; this page is never shown.
    for (int n = 65; n <= 101; ++n) {
        auto* l = new QLabel(TabSheet7);
        l->setObjectName(QStringLiteral("Label%1").arg(n));
        l->move(8 + ((n - 65) % 4) * 160, 8 + ((n - 65) / 4) * 16);
        hiddenLabels[size_t(n - 65)] = l;
    }
    Label100 = hiddenLabel(HiddenText::Message);
    Label101 = hiddenLabel(HiddenText::ErrorHeading);

    // The first two panels share their 400 pixels so that "AWARIA     " with
    // the date and time the fault began fits panel 1 in every date format,
    // the clock fits panel 0, and the transfer progress bar (from x = 404)
    // covers neither.
    StatusBar2 = new StatusBar(QStringLiteral("StatusBar2"), {160, 240, 50}, this);
    StatusBar2->setGeometry(0, 447 - 21, 663, 21);
    StatusBar2->panel(1)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    ProgressBar4 = new QProgressBar(this);
    ProgressBar4->setObjectName(QStringLiteral("ProgressBar4"));
    ProgressBar4->setGeometry(404, 430, 241, 15);
    ProgressBar4->setRange(0, 8);
    ProgressBar4->setTextVisible(false);
    ProgressBar4->hide();
    ProgressBar4->raise();
}

void TForm1::FormCreate() {
    dataPage().startUp();
    Rozlacz();
    const QStringList numbers = setpoints::initialSetpointNumbers();
    const QStringList names = setpoints::initialSetpointNames();
    const QStringList hints = setpoints::initialSetpointHints();
    for (int r = 0; r < 14; ++r) {
        setpointPage().grid().setCell(0, r, numbers.value(r));
        setpointPage().grid().setCell(1, r, names.value(r));
        setpointPage().grid().setCell(2, r, hints.value(r));
    }
    // The fixed hints of rows 1 to 11 ("1=20A  2=100A  3=250A" the longest);
    // row 0 changes with the variant and rows 12 and 13 with the language.
    for (int r = 1; r <= setpoints::kVariantRow; ++r)
        fitCellText(&setpointPage().grid(), 2, r);
    const QStringList entries = faults::initialFaultNumbers();
    for (int r = 1; r <= 40; ++r)
        faultPage().grid().setCell(0, r, entries.value(r - 1));
    const QStringList header = faults::initialFaultHeader();
    for (int c = 0; c < 4; ++c)
        faultPage().grid().setCell(c, 0, header.value(c));
    Zer_wykres1();
    Zer_wykres2();
    SpeedButton21Click();
    SpeedButton21->setChecked(true);
}

void TForm1::SpeedButton21Click() {
    PageControl1->setCurrentWidget(TabSheet1);
}
void TForm1::SpeedButton22Click() {
    PageControl1->setCurrentWidget(TabSheet4);
}
void TForm1::SpeedButton23Click() {
    PageControl1->setCurrentWidget(TabSheet5);
}
void TForm1::SpeedButton24Click() {
    PageControl1->setCurrentWidget(TabSheet6);
}

bool TForm1::Czytaj(int start, int n) {
    return bus_->Czytaj(start, n);
}
bool TForm1::Zapis(int reg, int value) {
    return bus_->Zapis(reg, value);
}
void TForm1::czekaj(quint32 ms) {
    ::czekaj(ms);
}
const QVector<qint32>& TForm1::RegisterValues() const {
    return bus_->RegisterValues;
}

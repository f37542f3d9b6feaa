// The data page: the poll of the relay's measurements, their display, the
// clock timer and the fault reset.
#include "monitor/datapage.h"

#include "app/operation.h"
#include "app/tform1.h"
#include "config/languagelines.h"
#include "core/link.h"
#include "protocol/formatting.h"
#include "seams/seams.h"
#include "setpoints/setpointpage.h"
#include "trends/chartpage.h"
#include "widgets/controls.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QLoggingCategory>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

// The trace of the poll (off by default; QT_LOGGING_RULES="vrk.poll=true").
Q_LOGGING_CATEGORY(lcPoll, "vrk.poll", QtWarningMsg)

namespace {

QGroupBox* group(const char* name, const QString& caption, QWidget* parent, int x, int y, int w, int h) {
    auto* g = new QGroupBox(caption, parent);
    g->setObjectName(QLatin1String(name));
    g->setGeometry(x, y, w, h);
    return g;
}

QLabel* valueLabel(const char* name, QWidget* parent, int x, int y) {
    QLabel* l = makeLabel(QLatin1String(name), QStringLiteral("#"), parent, x, y, 64, 22);
    QFont f = l->font();
    f.setPixelSize(17);
    f.setBold(true);
    l->setFont(f);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

QProgressBar* bar(const char* name, QWidget* parent, int x, int y) {
    auto* b = new QProgressBar(parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(x, y, 160, 16);
    b->setRange(0, 1000);
    b->setValue(0);
    b->setTextVisible(false);
    return b;
}

} // namespace

DataPage::DataPage(TForm1& window, core::Link& link) : QObject(&window), w_(window), link_(link) {
    setObjectName(QStringLiteral("DataPage"));
}

void DataPage::build(QWidget* page) {
    QWidget* p = page;
    const QString names[3] = {QStringLiteral("Ir="), QStringLiteral("Is="), QStringLiteral("It=")};

    GroupBox1 = group("GroupBox1", QString::fromUtf8("Prądy fazowe"), p, 8, 4, 330, 150);
    QLabel** currents[3] = {&Label11, &Label23, &Label26};
    QLabel** units[3] = {&Label24, &Label10, &Label27};
    const char* currentNames[3] = {"Label11", "Label23", "Label26"};
    const char* unitNames[3] = {"Label24", "Label10", "Label27"};
    QProgressBar** bars[3] = {&ProgressBar1, &ProgressBar2, &ProgressBar3};
    const char* barNames[3] = {"ProgressBar1", "ProgressBar2", "ProgressBar3"};
    for (int i = 0; i < 3; ++i) {
        const int y = 36 + i * 27;
        makeLabel(QString(), names[i], GroupBox1, 10, y + 3);
        *currents[i] = valueLabel(currentNames[i], GroupBox1, 40, y);
        *units[i] =
            makeLabel(QLatin1String(unitNames[i]), QStringLiteral("%"), GroupBox1, 108, y + 3, 24, 16);
        *bars[i] = bar(barNames[i], GroupBox1, 160, y + 3);
    }
    Label28 = makeLabel(QStringLiteral("Label28"), QString::fromUtf8("Iśr="), GroupBox1, 10, 36 + 3 * 27 + 3,
                        34, 18);
    Label29 = valueLabel("Label29", GroupBox1, 40, 36 + 3 * 27);
    Label30 =
        makeLabel(QStringLiteral("Label30"), QStringLiteral("%"), GroupBox1, 108, 36 + 3 * 27 + 3, 24, 16);
    // The scale labels are wide enough for their longest texts: "200,0A"
    // (2 x 100 A) at the right end, "100,0A" in the middle.
    Label56 = makeLabel(QStringLiteral("Label56"), QStringLiteral("0"), GroupBox1, 160, 18, 30, 14);
    Label61 = makeLabel(QStringLiteral("Label61"), QStringLiteral("100%"), GroupBox1, 212, 18, 64, 14);
    Label60 = makeLabel(QStringLiteral("Label60"), QStringLiteral("200%"), GroupBox1, 276, 18, 50, 14);
    Label61->setAlignment(Qt::AlignHCenter);
    Label60->setAlignment(Qt::AlignRight);

    GroupBox3 = group("GroupBox3", QString::fromUtf8("Napięcia fazowe"), p, 346, 4, 150, 150);
    const QString vnames[3] = {QStringLiteral("Ur="), QStringLiteral("Us="), QStringLiteral("Ut=")};
    QLabel** volts[3] = {&Label41, &Label43, &Label46};
    const char* voltNames[3] = {"Label41", "Label43", "Label46"};
    for (int i = 0; i < 3; ++i) {
        const int y = 36 + i * 27;
        makeLabel(QString(), vnames[i], GroupBox3, 10, y + 3);
        *volts[i] = valueLabel(voltNames[i], GroupBox3, 44, y);
        makeLabel(QString(), QStringLiteral("V"), GroupBox3, 114, y + 3);
    }
    Label48 =
        makeLabel(QStringLiteral("Label48"), QString::fromUtf8("Uśr="), GroupBox3, 10, 36 + 81 + 3, 34, 18);
    Label49 = valueLabel("Label49", GroupBox3, 44, 36 + 81);
    makeLabel(QString(), QStringLiteral("V"), GroupBox3, 114, 36 + 81 + 3);

    GroupBox4 = group("GroupBox4", QString::fromUtf8("Ciepło"), p, 504, 4, 150, 54);
    makeLabel(QString(), QStringLiteral("Q="), GroupBox4, 10, 25);
    Label53 = valueLabel("Label53", GroupBox4, 44, 22);
    makeLabel(QString(), QStringLiteral("%"), GroupBox4, 114, 25);

    GroupBox5 = group("GroupBox5", QStringLiteral("Moc"), p, 504, 62, 150, 92);
    makeLabel(QString(), QStringLiteral("cos(fi)="), GroupBox5, 8, 28);
    Label57 = valueLabel("Label57", GroupBox5, 52, 25);
    makeLabel(QString(), QStringLiteral("P="), GroupBox5, 8, 60);
    Label59 = valueLabel("Label59", GroupBox5, 52, 57);
    makeLabel(QString(), QStringLiteral("kW"), GroupBox5, 120, 60);

    GroupBox2 = group("GroupBox2", QStringLiteral("Awarie"), p, 8, 160, 330, 126);
    struct LampRow {
        QLabel** lamp;
        const char* lampName;
        QColor colour;
        QLabel** caption;
        const char* captionName;
        const char* text;
    };
    const LampRow rows[8] = {
        {&Image8, "Image8", QColor(0, 200, 0), &Label31, "Label31", "Gotowość"},
        {&Image1, "Image1", QColor(230, 0, 0), &Label32, "Label32", "Przeciążenie"},
        {&Image2, "Image2", QColor(230, 0, 0), &Label33, "Label33", "Zwarcie"},
        {&Image3, "Image3", QColor(230, 0, 0), &Label34, "Label34", "Asymetria prądu"},
        {&Image4, "Image4", QColor(230, 0, 0), &Label35, "Label35", "Suchobieg"},
        {&Image5, "Image5", QColor(230, 0, 0), &Label36, "Label36", nullptr}, // fixed captions,
        {&Image6, "Image6", QColor(230, 0, 0), &Label37, "Label37", nullptr}, // as vrk-cli prints them
        {&Image7, "Image7", QColor(230, 0, 0), &Label38, "Label38", "Kolejność faz"},
    };
    for (int i = 0; i < 8; ++i) {
        const int x = 12 + (i / 4) * 160, y = 24 + (i % 4) * 24;
        *rows[i].lamp = new Lamp(QLatin1String(rows[i].lampName), rows[i].colour, GroupBox2);
        (*rows[i].lamp)->move(x, y + 2);
        // Wide enough for the caption in any language.
        const char* text = rows[i].text ? rows[i].text : languages::kLampCaptions[size_t(i - 1)].fixed;
        *rows[i].caption = makeLabel(QLatin1String(rows[i].captionName), QString::fromUtf8(text), GroupBox2,
                                     x + 20, y, 136, 18);
    }

    GroupBox7 = group("GroupBox7", QString::fromUtf8("Przekaźniki"), p, 346, 160, 150, 60);
    Image10 = new Lamp(QStringLiteral("Image10"), QColor(0, 200, 0), GroupBox7);
    Image10->move(14, 30);
    makeLabel(QString(), QStringLiteral("K1"), GroupBox7, 32, 28);
    Image11 = new Lamp(QStringLiteral("Image11"), QColor(0, 200, 0), GroupBox7);
    Image11->move(80, 30);
    makeLabel(QString(), QStringLiteral("K2"), GroupBox7, 98, 28);

    auto unitButton = [p](const char* name, const QString& caption, int x) {
        auto* b = new QToolButton(p);
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setCheckable(true);
        b->setGeometry(x, 232, 40, 26);
        return b;
    };
    SpeedButton4 = unitButton("SpeedButton4", QStringLiteral("%"), 346);
    SpeedButton5 = unitButton("SpeedButton5", QStringLiteral("A"), 390);
    auto* unitsGroup = new QButtonGroup(this);
    unitsGroup->setExclusive(true);
    unitsGroup->addButton(SpeedButton4);
    unitsGroup->addButton(SpeedButton5);
    SpeedButton4->setChecked(true);
    connect(SpeedButton4, &QToolButton::clicked, this, &DataPage::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &DataPage::SpeedButton5Click);

    Button5 = new QPushButton(QStringLiteral("Reset"), p);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setGeometry(504, 166, 100, 30);
    connect(Button5, &QPushButton::clicked, this, &DataPage::Button5Click);
}

void DataPage::Timer2Timer() {
    // A tick that finds another exchange sequence under way (a tick waiting
    // in its pause, a transfer) is skipped: exchanges never overlap.
    if (w_.exchangeBusy()) return;
    const QPointer<TForm1> self(&w_);
    const core::PollResult r = link_.pollTick();
    if (!self || r.skipped) return;

    if (r.measurement) {
        showMeasurement(*r.measurement, r.lostReads);
    } else if (r.failure) {
        poll.lostReads = r.lostReads;
        display::addFailedRead(poll.failedReads, {r.failure->error, r.failure->reply});
        qCDebug(lcPoll).noquote() << "measurement read failed," << poll.lostReads
                                  << "in a row:" << r.failure->text();
        if (r.dropped) {
            const QString why = display::dropReason(poll.failedReads);
            qCDebug(lcPoll) << "link dropped";
            qCDebug(lcPoll).noquote() << "why:" << why;
            w_.Rozlacz();
            // The language file's text, and on a second line why, as a failed connect gives it.
            w_.reportError(w_.hiddenLabel(HiddenText::NoConnection)->text() + QLatin1Char('\n') + why);
            return;
        }
    }

    if (!r.variant) return;
    poll.relayVariant = *r.variant;
    w_.setpointPage().grid().setCell(3, 11, QString::number(poll.relayVariant));
    if (poll.nominalCurrentRaw != 0 && SpeedButton5->isChecked()) {
        if (auto s = display::ampereScaleFor(poll.relayVariant, poll.nominalCurrentRaw)) {
            poll.ampereScale = s->scale;
            Label61->setText(s->inLabel);
            Label60->setText(s->twoInLabel);
        }
    }
}

void DataPage::showMeasurement(const core::Measurement& m, int lostBefore) {
    const bool ampereMode = SpeedButton5->isChecked();
    poll.registers = m.registers();
    const auto& r = poll.registers;

    QLabel* currents[3] = {Label11, Label23, Label26};
    for (int i = 0; i < 3; ++i)
        if (auto t = display::currentText(r[size_t(i)], ampereMode, poll.relayVariant, poll.ampereScale))
            currents[i]->setText(*t);

    if (w_.chartPage().recording()) w_.Wykres1();

    QProgressBar* bars[3] = {ProgressBar1, ProgressBar2, ProgressBar3};
    for (int i = 0; i < 3; ++i)
        bars[i]->setValue(display::barPosition(r[size_t(i)]));

    poll.faultWord = m.faultWord;
    if (poll.faultWord == 0) poll.faultSince = clock.clockText;
    const display::Lamps lamps = display::lampsFor(poll.faultWord, poll.faultSince, clock.blinkDark);
    if (lamps.ready) Image8->setVisible(*lamps.ready);
    QLabel* faultLamps[7] = {Image1, Image2, Image3, Image4, Image5, Image6, Image7};
    for (int i = 0; i < 7; ++i)
        faultLamps[i]->setVisible(lamps.faults[size_t(i)]);
    if (lamps.faultText) w_.StatusBar2->setPanelText(1, *lamps.faultText);

    const QString hash = QStringLiteral("#");
    if (Label11->text() != hash && Label23->text() != hash && Label26->text() != hash)
        if (auto t =
                display::averageText(r[0] + r[1] + r[2], ampereMode, poll.relayVariant, poll.ampereScale))
            Label29->setText(*t);
    Label41->setText(QString::number(m.voltage[0]));
    Label43->setText(QString::number(m.voltage[1]));
    Label46->setText(QString::number(m.voltage[2]));
    Label49->setText(QString::number(m.averageVoltage()));
    Label53->setText(QString::number(m.heat));
    Label57->setText(display::cosText(m.cosHundredths));
    Label59->setText(display::powerText(m.powerHundredthsKw, QLocale::system().decimalPoint().at(0)));

    w_.recordsPage().logPoll(lostBefore);
    poll.lostReads = 0;
    poll.failedReads.clear();
    qCDebug(lcPoll) << "measurement read good, fault word" << poll.faultWord;
    poll.nominalCurrentRaw = m.nominalCurrentRaw;
    Image10->setVisible(m.k1());
    Image11->setVisible(m.k2());
}

void DataPage::Timer1Timer() {
    const QDateTime now = seams::now();
    const QLocale locale = QLocale::system();
    const QString date = display::statusDate(now.date(), locale);
    // The fault log's sort needs the PC's month; the status-bar date does not
    // hold it at a fixed place in every date format, so it comes from the clock.
    clock.currentMonth = zera(now.date().month(), 2);
    clock.clockText = date + QStringLiteral("  ") + display::longTime(now.time(), locale);
    w_.StatusBar2->setPanelText(0, clock.clockText);
    w_.setpointPage().relabelSetpointRow0();
    clock.blinkDark = !clock.blinkDark;
}

void DataPage::SpeedButton4Click() {
    for (QLabel* l : {Label24, Label10, Label27, Label30})
        l->setText(QStringLiteral("%"));
    Label61->setText(QStringLiteral("100%"));
    Label60->setText(QStringLiteral("200%"));
}

void DataPage::SpeedButton5Click() {
    for (QLabel* l : {Label24, Label10, Label27, Label30})
        l->setText(QStringLiteral("A"));
    Label61->setText(QStringLiteral("In"));
    Label60->setText(QStringLiteral("2xIn"));
}

void DataPage::Button5Click() {
    // The relay does not clear an overload: the link refuses the reset
    // without sending anything (and the refusal is journalled).
    if (!display::resetAllowed(poll.faultWord)) {
        link_.reset(poll.faultWord);
        return;
    }
    Operation op(&w_);
    link_.reset(poll.faultWord);
}

void DataPage::startUp() {
    for (QLabel* lamp : {Image1, Image2, Image3, Image4, Image5, Image6, Image7, Image8})
        if (lamp) lamp->hide();
    poll.lostReads = 0;
    poll.nominalCurrentRaw = 0;
    poll.ampereScale = 0;
}

void DataPage::linkOpened() {
    poll.lostReads = 0;
    poll.failedReads.clear();
}

void DataPage::setResetEnabled(bool enabled) {
    if (Button5) Button5->setEnabled(enabled);
}

void DataPage::clear() {
    for (QLabel* l :
         {Label11, Label23, Label26, Label29, Label41, Label43, Label46, Label49, Label57, Label59, Label53})
        if (l) l->setText(QStringLiteral("#"));
    for (QLabel* lamp : {Image1, Image2, Image3, Image4, Image5, Image6, Image7, Image8, Image10, Image11})
        if (lamp) lamp->hide();
    for (QProgressBar* bar : {ProgressBar1, ProgressBar2, ProgressBar3})
        if (bar) bar->setValue(0);
}

QString DataPage::lampCaption(int bit) const {
    const QLabel* captions[7] = {Label32, Label33, Label34, Label35, Label36, Label37, Label38};
    if (bit < 0 || bit >= 7 || !captions[bit]) return QString();
    return captions[bit]->text();
}

// The window's handlers by their own names.
void TForm1::Timer2Timer() {
    dataPage().Timer2Timer();
}
void TForm1::Timer1Timer() {
    dataPage().Timer1Timer();
}
void TForm1::SpeedButton4Click() {
    dataPage().SpeedButton4Click();
}
void TForm1::SpeedButton5Click() {
    dataPage().SpeedButton5Click();
}
void TForm1::Button5Click() {
    dataPage().Button5Click();
}

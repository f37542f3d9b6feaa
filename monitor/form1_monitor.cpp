// The data page: the poll of the relay's measurements, their display, the
// clock timer and the fault reset.
#include "app/operation.h"
#include "app/tform1.h"
#include "core/link.h"
#include "monitor/display.h"
#include "protocol/formatting.h"
#include "protocol/registerbus.h"
#include "seams/seams.h"
#include "wait/czekaj.h"
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

void TForm1::buildDataPage() {
    QWidget* p = TabSheet1;
    const QString names[3] = {QStringLiteral("Ir="), QStringLiteral("Is="), QStringLiteral("It=")};

    dataPage().GroupBox1 = group("GroupBox1", QString::fromUtf8("Prądy fazowe"), p, 8, 4, 330, 150);
    QLabel** currents[3] = {&dataPage().Label11, &dataPage().Label23, &dataPage().Label26};
    QLabel** units[3] = {&dataPage().Label24, &dataPage().Label10, &dataPage().Label27};
    const char* currentNames[3] = {"Label11", "Label23", "Label26"};
    const char* unitNames[3] = {"Label24", "Label10", "Label27"};
    QProgressBar** bars[3] = {&dataPage().ProgressBar1, &dataPage().ProgressBar2, &dataPage().ProgressBar3};
    const char* barNames[3] = {"ProgressBar1", "ProgressBar2", "ProgressBar3"};
    for (int i = 0; i < 3; ++i) {
        const int y = 36 + i * 27;
        makeLabel(QString(), names[i], dataPage().GroupBox1, 10, y + 3);
        *currents[i] = valueLabel(currentNames[i], dataPage().GroupBox1, 40, y);
        *units[i] = makeLabel(QLatin1String(unitNames[i]), QStringLiteral("%"), dataPage().GroupBox1, 108,
                              y + 3, 24, 16);
        *bars[i] = bar(barNames[i], dataPage().GroupBox1, 160, y + 3);
    }
    dataPage().Label28 = makeLabel(QStringLiteral("Label28"), QString::fromUtf8("Iśr="), dataPage().GroupBox1,
                                   10, 36 + 3 * 27 + 3, 34, 18);
    dataPage().Label29 = valueLabel("Label29", dataPage().GroupBox1, 40, 36 + 3 * 27);
    dataPage().Label30 = makeLabel(QStringLiteral("Label30"), QStringLiteral("%"), dataPage().GroupBox1, 108,
                                   36 + 3 * 27 + 3, 24, 16);
    // The scale labels are wide enough for their longest texts: "200,0A"
    // (2 x 100 A) at the right end, "100,0A" in the middle.
    dataPage().Label56 =
        makeLabel(QStringLiteral("Label56"), QStringLiteral("0"), dataPage().GroupBox1, 160, 18, 30, 14);
    dataPage().Label61 =
        makeLabel(QStringLiteral("Label61"), QStringLiteral("100%"), dataPage().GroupBox1, 212, 18, 64, 14);
    dataPage().Label60 =
        makeLabel(QStringLiteral("Label60"), QStringLiteral("200%"), dataPage().GroupBox1, 276, 18, 50, 14);
    dataPage().Label61->setAlignment(Qt::AlignHCenter);
    dataPage().Label60->setAlignment(Qt::AlignRight);

    dataPage().GroupBox3 = group("GroupBox3", QString::fromUtf8("Napięcia fazowe"), p, 346, 4, 150, 150);
    const QString vnames[3] = {QStringLiteral("Ur="), QStringLiteral("Us="), QStringLiteral("Ut=")};
    QLabel** volts[3] = {&dataPage().Label41, &dataPage().Label43, &dataPage().Label46};
    const char* voltNames[3] = {"Label41", "Label43", "Label46"};
    for (int i = 0; i < 3; ++i) {
        const int y = 36 + i * 27;
        makeLabel(QString(), vnames[i], dataPage().GroupBox3, 10, y + 3);
        *volts[i] = valueLabel(voltNames[i], dataPage().GroupBox3, 44, y);
        makeLabel(QString(), QStringLiteral("V"), dataPage().GroupBox3, 114, y + 3);
    }
    dataPage().Label48 = makeLabel(QStringLiteral("Label48"), QString::fromUtf8("Uśr="), dataPage().GroupBox3,
                                   10, 36 + 81 + 3, 34, 18);
    dataPage().Label49 = valueLabel("Label49", dataPage().GroupBox3, 44, 36 + 81);
    makeLabel(QString(), QStringLiteral("V"), dataPage().GroupBox3, 114, 36 + 81 + 3);

    dataPage().GroupBox4 = group("GroupBox4", QString::fromUtf8("Ciepło"), p, 504, 4, 150, 54);
    makeLabel(QString(), QStringLiteral("Q="), dataPage().GroupBox4, 10, 25);
    dataPage().Label53 = valueLabel("Label53", dataPage().GroupBox4, 44, 22);
    makeLabel(QString(), QStringLiteral("%"), dataPage().GroupBox4, 114, 25);

    dataPage().GroupBox5 = group("GroupBox5", QStringLiteral("Moc"), p, 504, 62, 150, 92);
    makeLabel(QString(), QStringLiteral("cos(fi)="), dataPage().GroupBox5, 8, 28);
    dataPage().Label57 = valueLabel("Label57", dataPage().GroupBox5, 52, 25);
    makeLabel(QString(), QStringLiteral("P="), dataPage().GroupBox5, 8, 60);
    dataPage().Label59 = valueLabel("Label59", dataPage().GroupBox5, 52, 57);
    makeLabel(QString(), QStringLiteral("kW"), dataPage().GroupBox5, 120, 60);

    dataPage().GroupBox2 = group("GroupBox2", QStringLiteral("Awarie"), p, 8, 160, 330, 126);
    struct LampRow {
        QLabel** lamp;
        const char* lampName;
        QColor colour;
        QLabel** caption;
        const char* captionName;
        const char* text;
    };
    const LampRow rows[8] = {
        {&dataPage().Image8, "Image8", QColor(0, 200, 0), &dataPage().Label31, "Label31", "Gotowość"},
        {&dataPage().Image1, "Image1", QColor(230, 0, 0), &dataPage().Label32, "Label32", "Przeciążenie"},
        {&dataPage().Image2, "Image2", QColor(230, 0, 0), &dataPage().Label33, "Label33", "Zwarcie"},
        {&dataPage().Image3, "Image3", QColor(230, 0, 0), &dataPage().Label34, "Label34", "Asymetria prądu"},
        {&dataPage().Image4, "Image4", QColor(230, 0, 0), &dataPage().Label35, "Label35", "Suchobieg"},
        {&dataPage().Image5, "Image5", QColor(230, 0, 0), &dataPage().Label36, "Label36", "U<85%Un"},
        {&dataPage().Image6, "Image6", QColor(230, 0, 0), &dataPage().Label37, "Label37", "U>115%Un"},
        {&dataPage().Image7, "Image7", QColor(230, 0, 0), &dataPage().Label38, "Label38", "Kolejność faz"},
    };
    for (int i = 0; i < 8; ++i) {
        const int x = 12 + (i / 4) * 160, y = 24 + (i % 4) * 24;
        *rows[i].lamp = new Lamp(QLatin1String(rows[i].lampName), rows[i].colour, dataPage().GroupBox2);
        (*rows[i].lamp)->move(x, y + 2);
        // Wide enough for the caption in any language.
        *rows[i].caption = makeLabel(QLatin1String(rows[i].captionName), QString::fromUtf8(rows[i].text),
                                     dataPage().GroupBox2, x + 20, y, 136, 18);
    }

    dataPage().GroupBox7 = group("GroupBox7", QString::fromUtf8("Przekaźniki"), p, 346, 160, 150, 60);
    dataPage().Image10 = new Lamp(QStringLiteral("Image10"), QColor(0, 200, 0), dataPage().GroupBox7);
    dataPage().Image10->move(14, 30);
    makeLabel(QString(), QStringLiteral("K1"), dataPage().GroupBox7, 32, 28);
    dataPage().Image11 = new Lamp(QStringLiteral("Image11"), QColor(0, 200, 0), dataPage().GroupBox7);
    dataPage().Image11->move(80, 30);
    makeLabel(QString(), QStringLiteral("K2"), dataPage().GroupBox7, 98, 28);

    auto unitButton = [p](const char* name, const QString& caption, int x) {
        auto* b = new QToolButton(p);
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setCheckable(true);
        b->setGeometry(x, 232, 40, 26);
        return b;
    };
    dataPage().SpeedButton4 = unitButton("SpeedButton4", QStringLiteral("%"), 346);
    dataPage().SpeedButton5 = unitButton("SpeedButton5", QStringLiteral("A"), 390);
    auto* unitsGroup = new QButtonGroup(this);
    unitsGroup->setExclusive(true);
    unitsGroup->addButton(dataPage().SpeedButton4);
    unitsGroup->addButton(dataPage().SpeedButton5);
    dataPage().SpeedButton4->setChecked(true);
    connect(dataPage().SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
    connect(dataPage().SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton5Click);

    dataPage().Button5 = new QPushButton(QStringLiteral("Reset"), p);
    dataPage().Button5->setObjectName(QStringLiteral("Button5"));
    dataPage().Button5->setGeometry(504, 166, 100, 30);
    connect(dataPage().Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
}

void TForm1::Timer2Timer() {
    // A tick that finds another exchange sequence under way (a tick waiting
    // in its pause, a transfer) is skipped: exchanges never overlap.
    if (exchangeBusy()) return;
    const QPointer<TForm1> self(this);
    const core::PollResult r = Link1->pollTick();
    if (!self || r.skipped) return;

    if (r.measurement) {
        showMeasurement(*r.measurement, r.lostReads);
    } else if (r.failure) {
        dataPage().poll.lostReads = r.lostReads;
        display::addFailedRead(dataPage().poll.failedReads, {r.failure->error, r.failure->reply});
        qCDebug(lcPoll).noquote() << "measurement read failed," << dataPage().poll.lostReads
                                  << "in a row:" << r.failure->text();
        if (r.dropped) {
            const QString why = display::dropReason(dataPage().poll.failedReads);
            qCDebug(lcPoll) << "link dropped";
            qCDebug(lcPoll).noquote() << "why:" << why;
            Rozlacz();
            // The language file's text, and on a second line why, as a failed connect gives it.
            reportError(hiddenLabel(HiddenText::NoConnection)->text() + QLatin1Char('\n') + why);
            return;
        }
    }

    if (!r.variant) return;
    dataPage().poll.relayVariant = *r.variant;
    setpointPage().grid().setCell(3, 11, QString::number(dataPage().poll.relayVariant));
    if (dataPage().poll.nominalCurrentRaw != 0 && dataPage().SpeedButton5->isChecked()) {
        if (auto s =
                display::ampereScaleFor(dataPage().poll.relayVariant, dataPage().poll.nominalCurrentRaw)) {
            dataPage().poll.ampereScale = s->scale;
            dataPage().Label61->setText(s->inLabel);
            dataPage().Label60->setText(s->twoInLabel);
        }
    }
}

void TForm1::showMeasurement(const core::Measurement& m, int lostBefore) {
    const bool ampereMode = dataPage().SpeedButton5->isChecked();
    dataPage().poll.registers = m.registers();
    const auto& r = dataPage().poll.registers;

    QLabel* currents[3] = {dataPage().Label11, dataPage().Label23, dataPage().Label26};
    for (int i = 0; i < 3; ++i)
        if (auto t = display::currentText(r[size_t(i)], ampereMode, dataPage().poll.relayVariant,
                                          dataPage().poll.ampereScale))
            currents[i]->setText(*t);

    if (chartPage().SpeedButton8->isChecked()) Wykres1();

    QProgressBar* bars[3] = {dataPage().ProgressBar1, dataPage().ProgressBar2, dataPage().ProgressBar3};
    for (int i = 0; i < 3; ++i)
        bars[i]->setValue(display::barPosition(r[size_t(i)]));

    dataPage().poll.faultWord = m.faultWord;
    if (dataPage().poll.faultWord == 0) dataPage().poll.faultSince = dataPage().clock.clockText;
    const display::Lamps lamps =
        display::lampsFor(dataPage().poll.faultWord, dataPage().poll.faultSince, dataPage().clock.blinkDark);
    if (lamps.ready) dataPage().Image8->setVisible(*lamps.ready);
    QLabel* faultLamps[7] = {dataPage().Image1, dataPage().Image2, dataPage().Image3, dataPage().Image4,
                             dataPage().Image5, dataPage().Image6, dataPage().Image7};
    for (int i = 0; i < 7; ++i)
        faultLamps[i]->setVisible(lamps.faults[size_t(i)]);
    if (lamps.faultText) StatusBar2->setPanelText(1, *lamps.faultText);

    const QString hash = QStringLiteral("#");
    if (dataPage().Label11->text() != hash && dataPage().Label23->text() != hash &&
        dataPage().Label26->text() != hash)
        if (auto t = display::averageText(r[0] + r[1] + r[2], ampereMode, dataPage().poll.relayVariant,
                                          dataPage().poll.ampereScale))
            dataPage().Label29->setText(*t);
    dataPage().Label41->setText(QString::number(m.voltage[0]));
    dataPage().Label43->setText(QString::number(m.voltage[1]));
    dataPage().Label46->setText(QString::number(m.voltage[2]));
    dataPage().Label49->setText(QString::number(m.averageVoltage()));
    dataPage().Label53->setText(QString::number(m.heat));
    dataPage().Label57->setText(display::cosText(m.cosHundredths));
    dataPage().Label59->setText(
        display::powerText(m.powerHundredthsKw, QLocale::system().decimalPoint().at(0)));

    recordsPage().logPoll(lostBefore);
    dataPage().poll.lostReads = 0;
    dataPage().poll.failedReads.clear();
    qCDebug(lcPoll) << "measurement read good, fault word" << dataPage().poll.faultWord;
    dataPage().poll.nominalCurrentRaw = m.nominalCurrentRaw;
    dataPage().Image10->setVisible(m.k1());
    dataPage().Image11->setVisible(m.k2());
}

void TForm1::Timer1Timer() {
    const QDateTime now = seams::now();
    const QLocale locale = QLocale::system();
    const QString date = display::statusDate(now.date(), locale);
    // The fault log's sort needs the PC's month; the status-bar date does not
    // hold it at a fixed place in every date format, so it comes from the clock.
    dataPage().clock.currentMonth = zera(now.date().month(), 2);
    dataPage().clock.clockText = date + QStringLiteral("  ") + display::longTime(now.time(), locale);
    StatusBar2->setPanelText(0, dataPage().clock.clockText);
    setpointPage().relabelSetpointRow0();
    dataPage().clock.blinkDark = !dataPage().clock.blinkDark;
}

void TForm1::SpeedButton4Click() {
    for (QLabel* l : {dataPage().Label24, dataPage().Label10, dataPage().Label27, dataPage().Label30})
        l->setText(QStringLiteral("%"));
    dataPage().Label61->setText(QStringLiteral("100%"));
    dataPage().Label60->setText(QStringLiteral("200%"));
}

void TForm1::SpeedButton5Click() {
    for (QLabel* l : {dataPage().Label24, dataPage().Label10, dataPage().Label27, dataPage().Label30})
        l->setText(QStringLiteral("A"));
    dataPage().Label61->setText(QStringLiteral("In"));
    dataPage().Label60->setText(QStringLiteral("2xIn"));
}

void TForm1::Button5Click() {
    // The relay does not clear an overload: the link refuses the reset
    // without sending anything (and the refusal is journalled).
    if (!display::resetAllowed(dataPage().poll.faultWord)) {
        Link1->reset(dataPage().poll.faultWord);
        return;
    }
    Operation op(this);
    Link1->reset(dataPage().poll.faultWord);
}

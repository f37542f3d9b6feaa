// The real main window polling the relay simulator over a pseudo-terminal.
#include "appfixture.h"
#include "simfixture.h"
#include "tests/controls.h"
#include "tracecapture.h"

#include "protocol/registerbus.h"
#include "serial/tserialdriver.h"
#include "widgets/controls.h"

#include "config/tform2.h"
#include "monitor/display.h"
#include "serial/tserialdriver.h"
#include <QLabel>
#include <QLoggingCategory>

#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

// Frozen motor with known registers 1..12, so every shown value is exact.
bool setMotor(SimRelay& relay, const QList<int>& regs) {
    if (!relay.control(QStringLiteral("freeze"))) return false;
    for (int i = 0; i < regs.size(); ++i)
        if (!relay.control(QStringLiteral("set %1 %2").arg(i + 1).arg(regs[i]))) return false;
    return true;
}

// Requests of function 6 to a register, as the simulator logged them.
QStringList writesTo(const SimRelay& relay, int reg) {
    QStringList out;
    for (const QString& line : relay.logLines()) {
        const auto f = SimRelay::parseLogLine(line);
        if (f.value(QStringLiteral("fn")) == QLatin1String("6") &&
            f.value(QStringLiteral("reg")).toInt() == reg)
            out << f.value(QStringLiteral("value"));
    }
    return out;
}

void connectTo(AppFixture& app) {
    app.f1()->SpeedButton1Click();
    QVERIFY(app.f1()->SerialDriver1->IsOpen());
}

// Whether the label shows its whole text, measured with its own font.
bool fits(const QLabel* l) {
    return l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width();
}

const QList<int> kMotor = {100, 101, 102, 398, 401, 404, 35, 85, 1234, 0, 0x0100, 200};

} // namespace

class TstMonitor : public QObject {
    Q_OBJECT
private slots:
    void valuesAppear();
    void ampereMode_data();
    void ampereMode();
    void lowCurrentsCut();
    void fiveFailuresThenGood();
    void sixFailuresDisconnect();
    void dropSaysWhy_data();
    void dropSaysWhy();
    void deviceHeldByAnotherProgram();
    void relayUnplugged();
    void resetFault_data();
    void resetFault();
    void lampsBlink();
    void variantGoesToSetpointTable();
    void scaleLabelsFit_data();
    void scaleLabelsFit();
    void faultTextFits_data();
    void faultTextFits();
};

void TstMonitor::valuesAppear() {
    SimRelay relay;
    QVERIFY(relay.start());
    QVERIFY(setMotor(relay, kMotor));
    AppFixture app;
    app.start();
    connectTo(app);
    TForm1* f = app.f1();
    QVERIFY(!f->SpeedButton1->isEnabled());
    QVERIFY(f->SpeedButton2->isEnabled());
    QVERIFY(!f->SpeedButton3->isEnabled());
    QVERIFY(control<QPushButton>(f, "Button5")->isEnabled());
    QVERIFY(control<QToolButton>(f, "SpeedButton12")->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f, "Label11")->text(), QStringLiteral("100"), 5000);
    QCOMPARE(control<QLabel>(f, "Label23")->text(), QStringLiteral("101"));
    QCOMPARE(control<QLabel>(f, "Label26")->text(), QStringLiteral("102"));
    QCOMPARE(control<QLabel>(f, "Label29")->text(), QStringLiteral("101"));
    QCOMPARE(control<QLabel>(f, "Label41")->text(), QStringLiteral("398"));
    QCOMPARE(control<QLabel>(f, "Label43")->text(), QStringLiteral("401"));
    QCOMPARE(control<QLabel>(f, "Label46")->text(), QStringLiteral("404"));
    QCOMPARE(control<QLabel>(f, "Label49")->text(), QStringLiteral("401"));
    QCOMPARE(control<QLabel>(f, "Label53")->text(), QStringLiteral("35"));
    QCOMPARE(control<QLabel>(f, "Label57")->text(), QStringLiteral("0,85"));
    const QChar sep = QLocale::system().decimalPoint().at(0);
    QCOMPARE(control<QLabel>(f, "Label59")->text(), QStringLiteral("12") + sep + QStringLiteral("34"));
    QCOMPARE(control<QProgressBar>(f, "ProgressBar1")->value(), 500);
    QCOMPARE(control<QProgressBar>(f, "ProgressBar2")->value(), 505);
    QCOMPARE(control<QProgressBar>(f, "ProgressBar3")->value(), 510);
    QVERIFY(control<QLabel>(f, "Image10")->isVisibleTo(f));
    QVERIFY(!control<QLabel>(f, "Image11")->isVisibleTo(f));
    // Disconnecting returns the page to its placeholders and keeps the setpoint table.
    control<StringGrid>(f, "StringGrid1")->setCell(3, 3, QStringLiteral("40"));
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
    QVERIFY(!f->SerialDriver1->IsOpen());
    QVERIFY(!f->Timer2->isActive());
    for (QLabel* l :
         {control<QLabel>(f, "Label11"), control<QLabel>(f, "Label23"), control<QLabel>(f, "Label26"),
          control<QLabel>(f, "Label29"), control<QLabel>(f, "Label41"), control<QLabel>(f, "Label49"),
          control<QLabel>(f, "Label53"), control<QLabel>(f, "Label57"), control<QLabel>(f, "Label59")})
        QCOMPARE(l->text(), QStringLiteral("#"));
    QVERIFY(control<QLabel>(f, "Image10")->isHidden());
    QCOMPARE(control<QProgressBar>(f, "ProgressBar1")->value(), 0);
    QCOMPARE(control<StringGrid>(f, "StringGrid1")->cell(3, 3), QStringLiteral("40"));
    QCOMPARE(app.beeps, 0);
}

void TstMonitor::ampereMode_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("nominal");
    QTest::addColumn<QList<int>>("currents");
    QTest::addColumn<QStringList>("shown"); // Ir, Is, It, average
    QTest::addColumn<QString>("inLabel");
    QTest::addColumn<QString>("twoInLabel");
    QTest::newRow("variant 1, In 20,0 A")
        << 1 << 200 << QList<int>{50, 50, 51} << QStringList{"10,0", "10,0", "10,2", "10,0"} << "20,0A"
        << "40,0A";
    QTest::newRow("variant 2, In 100 A") << 2 << 200 << QList<int>{120, 120, 120}
                                         << QStringList{"120,0", "120,0", "120,0", "120,0"} << "100,0A"
                                         << "200,0A";
    QTest::newRow("variant 3, In 250 A")
        << 3 << 250 << QList<int>{80, 80, 80} << QStringList{"200", "200", "200", "200"} << "250A"
        << "500A";
    QTest::newRow("variant 0: no amperes")
        << 0 << 200 << QList<int>{80, 80, 80} << QStringList{"#", "#", "#", "#"} << "In"
        << "2xIn";
    QTest::newRow("variant 4: no amperes")
        << 4 << 200 << QList<int>{80, 80, 80} << QStringList{"#", "#", "#", "#"} << "In"
        << "2xIn";
    QTest::newRow("zero nominal current")
        << 1 << 0 << QList<int>{80, 80, 80} << QStringList{"0,0", "0,0", "0,0", "0,0"} << "In"
        << "2xIn";
}

void TstMonitor::ampereMode() {
    QFETCH(int, variant);
    QFETCH(int, nominal);
    QFETCH(QList<int>, currents);
    QFETCH(QStringList, shown);
    QFETCH(QString, inLabel);
    QFETCH(QString, twoInLabel);
    SimRelay relay;
    QVERIFY(relay.start());
    QList<int> regs = kMotor;
    regs[0] = currents[0];
    regs[1] = currents[1];
    regs[2] = currents[2];
    regs[11] = nominal;
    QVERIFY(setMotor(relay, regs));
    QVERIFY(relay.control(QStringLiteral("variant %1").arg(variant)));
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton5"), Qt::LeftButton);
    QCOMPARE(control<QLabel>(f, "Label24")->text(), QStringLiteral("A"));
    QCOMPARE(control<QLabel>(f, "Label61")->text(), QStringLiteral("In"));
    QCOMPARE(control<QLabel>(f, "Label60")->text(), QStringLiteral("2xIn"));
    connectTo(app);
    // The amperes lag the variant and the scale by one tick; give it several.
    QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f, "Label11")->text(), shown[0], 5000);
    QTest::qWait(600);
    QCOMPARE(control<QLabel>(f, "Label11")->text(), shown[0]);
    QCOMPARE(control<QLabel>(f, "Label23")->text(), shown[1]);
    QCOMPARE(control<QLabel>(f, "Label26")->text(), shown[2]);
    QCOMPARE(control<QLabel>(f, "Label29")->text(), shown[3]);
    QCOMPARE(control<QLabel>(f, "Label61")->text(), inLabel);
    QCOMPARE(control<QLabel>(f, "Label60")->text(), twoInLabel);
    QVERIFY2(fits(control<QLabel>(f, "Label61")), qPrintable(inLabel));
    QVERIFY2(fits(control<QLabel>(f, "Label60")), qPrintable(twoInLabel));
    QCOMPARE(control<QLabel>(f, "Label41")->text(), QString::number(regs[3])); // voltages always show
    // Back to per cent: the labels follow at the next tick.
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton4"), Qt::LeftButton);
    QCOMPARE(control<QLabel>(f, "Label61")->text(), QStringLiteral("100%"));
    QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f, "Label11")->text(), QString::number(currents[0]), 5000);
}

void TstMonitor::lowCurrentsCut() {
    SimRelay relay;
    QVERIFY(relay.start());
    QList<int> regs = kMotor;
    regs[0] = 9;
    regs[1] = 10;
    regs[2] = 11;
    QVERIFY(setMotor(relay, regs));
    AppFixture app;
    app.start();
    connectTo(app);
    TForm1* f = app.f1();
    QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f, "Label23")->text(), QStringLiteral("10"), 5000);
    QCOMPARE(control<QLabel>(f, "Label11")->text(), QStringLiteral("0"));
    QCOMPARE(control<QLabel>(f, "Label29")->text(), QStringLiteral("7")); // (0 + 10 + 11) / 3
    QCOMPARE(control<QProgressBar>(f, "ProgressBar1")->value(), 0);
    QCOMPARE(f->dataPage().state().registers[0], 0);
}

void TstMonitor::fiveFailuresThenGood() {
    SimRelay relay;
    QVERIFY(relay.start());
    QVERIFY(setMotor(relay, kMotor));
    AppFixture app;
    app.start();
    connectTo(app);
    TForm1* f = app.f1();
    QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f, "Label11")->text(), QStringLiteral("100"), 5000);
    // A starved simulator must not add a sixth failure of its own: give its
    // good replies a second to come (the lost ones then take a second each).
    f->SerialDriver1->setInputTimeout(1000);
    // Each tick asks twice (measurements, then the variant): ten lost replies
    // are five failed measurement reads in a row, then a good one.
    int worst = 0;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this,
            [&] { worst = std::max(worst, f->dataPage().state().lostReads); });
    watch.start(5);
    QVERIFY(relay.control(QStringLiteral("noreply next 10")));
    QTRY_VERIFY_WITH_TIMEOUT(worst >= 5 && f->dataPage().state().lostReads == 0, 40000);
    QCOMPARE(worst, 5);
    QVERIFY(f->SerialDriver1->IsOpen());
    QVERIFY(f->Timer2->isActive());
    QCOMPARE(app.beeps, 0);
    QCOMPARE(control<QLabel>(f, "Label11")->text(), QStringLiteral("100"));
}

void TstMonitor::sixFailuresDisconnect() {
    SimRelay relay;
    QVERIFY(relay.start());
    QVERIFY(setMotor(relay, kMotor));
    QVERIFY(relay.control(QStringLiteral("trip short")));
    AppFixture app;
    app.start();
    connectTo(app);
    TForm1* f = app.f1();
    QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f, "Label11")->text(), QStringLiteral("100"), 5000);
    QVERIFY(relay.control(QStringLiteral("noreply 1")));
    QTRY_VERIFY_WITH_TIMEOUT(!f->SerialDriver1->IsOpen(), 10000);
    QVERIFY(!f->Timer2->isActive());
    QCOMPARE(app.beeps, 1);
    // The language file's text, and on a second line why: six reads, none answered.
    const QString why = QCoreApplication::translate("display", "%1 reads in a row failed: %2")
                            .arg(6)
                            .arg(busErrorText(BusError::NoReply));
    QCOMPARE(f->Label100->text(),
             QString::fromUtf8("Nie można uzyskać połączenia z VRK.") + QLatin1Char('\n') + why);
    QVERIFY(app.f4()->isVisible());
    QCOMPARE(app.f4()->Label1->text(), f->Label100->text());
    for (QLabel* l :
         {control<QLabel>(f, "Label11"), control<QLabel>(f, "Label41"), control<QLabel>(f, "Label59")})
        QCOMPARE(l->text(), QStringLiteral("#"));
    for (QLabel* lamp : {control<QLabel>(f, "Image1"), control<QLabel>(f, "Image2"),
                         control<QLabel>(f, "Image8"), control<QLabel>(f, "Image10")})
        QVERIFY(lamp->isHidden());
    QCOMPARE(control<QProgressBar>(f, "ProgressBar2")->value(), 0);
    QVERIFY(f->SpeedButton1->isEnabled());
    QVERIFY(f->SpeedButton3->isEnabled());
    QVERIFY(!control<QPushButton>(f, "Button5")->isEnabled());
}

// The relay refuses, or another device answers in its place: the drop's
// second line names it with the code or the address.
void TstMonitor::dropSaysWhy_data() {
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<int>("error");        // BusError
    QTest::addColumn<QByteArray>("reply"); // what the reply's bytes tell
    QTest::newRow("device busy") << QStringList{QStringLiteral("exception 1")} << int(BusError::Exception)
                                 << QByteArray::fromHex("038306");
    QTest::newRow("illegal data address")
        << QStringList{QStringLiteral("exception-code 2"), QStringLiteral("exception 1")}
        << int(BusError::Exception) << QByteArray::fromHex("038302");
    // The relay at address 3 answers as address 4.
    QTest::newRow("another device") << QStringList{QStringLiteral("other-address 1")}
                                    << int(BusError::OtherDevice) << QByteArray::fromHex("04");
}

void TstMonitor::dropSaysWhy() {
    QFETCH(QStringList, commands);
    QFETCH(int, error);
    QFETCH(QByteArray, reply);
    SimRelay relay;
    QVERIFY(relay.start());
    AppFixture app;
    app.start();
    connectTo(app);
    TForm1* f = app.f1();
    QTRY_VERIFY_WITH_TIMEOUT(control<QLabel>(f, "Label11")->text() != QStringLiteral("#"), 5000);
    for (const QString& c : commands)
        QVERIFY(relay.control(c));
    QTRY_VERIFY_WITH_TIMEOUT(!f->SerialDriver1->IsOpen(), 10000);
    // In the window's language.
    const QString why = busErrorText(BusError(error), reply);
    QCOMPARE(f->Label100->text(),
             QString::fromUtf8("Nie można uzyskać połączenia z VRK.") + QLatin1Char('\n') +
                 QCoreApplication::translate("display", "%1 reads in a row failed: %2").arg(6).arg(why));
    QCOMPARE(app.f4()->Label1->text(), f->Label100->text());
}

void TstMonitor::deviceHeldByAnotherProgram() {
    SimRelay relay;
    QVERIFY(relay.start());
    TSerialDriver other;
    other.setPortName(relay.linkPath());
    QVERIFY(other.OpenPort());
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    QVERIFY(!f->SerialDriver1->IsOpen());
    QCOMPARE(f->Label100->text(),
             QString::fromUtf8("Zajęty port Com.") + QLatin1Char('\n') +
                 QCoreApplication::translate("TSerialDriver", "%1 is in use by another program.")
                     .arg(relay.linkPath()));
    QCOMPARE(app.f4()->Label2->text(), QString::fromUtf8("Błąd !"));
    QCOMPARE(app.beeps, 1);
    QVERIFY(f->SpeedButton1->isEnabled());
    QVERIFY(f->SpeedButton3->isEnabled());
    QVERIFY(!f->SpeedButton2->isEnabled());
    other.ClosePort();
    f->SpeedButton1Click();
    QVERIFY(f->SerialDriver1->IsOpen());
}

void TstMonitor::relayUnplugged() {
    SimRelay relay;
    QVERIFY(relay.start());
    QVERIFY(setMotor(relay, kMotor));
    AppFixture app;
    app.start();
    connectTo(app);
    TForm1* f = app.f1();
    QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f, "Label11")->text(), QStringLiteral("100"), 5000);
    // With the trace on, the unplug shows on the line as it happens.
    TraceCapture trace;
    relay.kill();
    QTRY_VERIFY_WITH_TIMEOUT(!f->SerialDriver1->IsOpen(), 15000);
    QCOMPARE(app.beeps, 1);
    QCOMPARE(control<QLabel>(f, "Label11")->text(), QStringLiteral("#"));
    const QStringList lines = trace.stop();
    const QString all = lines.join(QLatin1Char('\n'));
    QVERIFY2(lines.contains(QStringLiteral("vrk.poll: measurement read failed, 6 in a row: ") +
                            busErrorText(BusError::DeviceGone)),
             qPrintable(all));
    QVERIFY2(lines.contains(QStringLiteral("vrk.poll: link dropped")), qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral(" hung up: every transfer fails until the port is closed")),
             qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral("-> device gone")), qPrintable(all));
    QVERIFY(relay.restart());
    QVERIFY(setMotor(relay, kMotor));
    connectTo(app);
    QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f, "Label11")->text(), QStringLiteral("100"), 5000);
}

void TstMonitor::resetFault_data() {
    QTest::addColumn<QString>("trip");
    QTest::addColumn<int>("writes");
    QTest::newRow("overload: nothing sent") << "overload" << 0;
    QTest::newRow("short circuit: register 10 cleared") << "short" << 1;
}

void TstMonitor::resetFault() {
    QFETCH(QString, trip);
    QFETCH(int, writes);
    SimRelay relay;
    QVERIFY(relay.start());
    QVERIFY(setMotor(relay, kMotor));
    QVERIFY(relay.control(QStringLiteral("trip ") + trip));
    AppFixture app;
    app.start();
    connectTo(app);
    TForm1* f = app.f1();
    QTRY_VERIFY_WITH_TIMEOUT(f->dataPage().state().faultWord != 0, 5000);
    QTest::mouseClick(control<QPushButton>(f, "Button5"), Qt::LeftButton);
    QTest::qWait(300);
    QCOMPARE(writesTo(relay, 10).size(), writes);
    if (writes) {
        QCOMPARE(writesTo(relay, 10).first(), QStringLiteral("0"));
        QTRY_COMPARE_WITH_TIMEOUT(f->dataPage().state().faultWord, 0, 5000);
    }
}

void TstMonitor::lampsBlink() {
    SimRelay relay;
    QVERIFY(relay.start());
    QVERIFY(setMotor(relay, kMotor));
    QVERIFY(relay.control(QStringLiteral("trip short")));
    AppFixture app;
    app.start();
    connectTo(app);
    TForm1* f = app.f1();
    bool lit = false, dark = false, word = false, timeOnly = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (f->dataPage().state().faultWord == 0) return;
        (control<QLabel>(f, "Image2")->isVisibleTo(f) ? lit : dark) = true;
        const QString t = f->StatusBar2->panelText(1);
        if (t.startsWith(QStringLiteral("AWARIA     ")))
            word = fits(f->StatusBar2->panel(1));
        else if (!t.isEmpty())
            timeOnly = true;
    });
    watch.start(20);
    QTRY_VERIFY_WITH_TIMEOUT(lit && dark && word && timeOnly, 10000);
    QVERIFY(!control<QLabel>(f, "Image1")->isVisibleTo(f));
    QVERIFY(control<QLabel>(f, "Image8")->isHidden());
}

void TstMonitor::variantGoesToSetpointTable() {
    SimRelay relay;
    QVERIFY(relay.start({QStringLiteral("--variant"), QStringLiteral("3")}));
    AppFixture app;
    app.start();
    connectTo(app);
    TForm1* f = app.f1();
    QTRY_COMPARE_WITH_TIMEOUT(control<StringGrid>(f, "StringGrid1")->cell(3, 11), QStringLiteral("3"), 5000);
    QCOMPARE(f->dataPage().state().relayVariant, 3);
    // The clock timer relabels row 0 by the variant in the table.
    QTRY_COMPARE_WITH_TIMEOUT(control<StringGrid>(f, "StringGrid1")->cell(2, 0),
                              QStringLiteral("In= 25-250 [A]"), 3000);
}

// Every text a scale label can show, the largest nominal current of each
// variant included, fits the label.
void TstMonitor::scaleLabelsFit_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << "Label56"
                       << "0";
    QTest::newRow("100%") << "Label61"
                          << "100%";
    QTest::newRow("200%") << "Label60"
                          << "200%";
    QTest::newRow("In") << "Label61"
                        << "In";
    QTest::newRow("2xIn") << "Label60"
                          << "2xIn";
    // The largest nominal current of each variant: 20,0 A, 100 A, 250 A.
    const int largest[3] = {200, 200, 250};
    for (int variant = 1; variant <= 3; ++variant) {
        const auto scale = display::ampereScaleFor(variant, largest[variant - 1]);
        QVERIFY(scale);
        QTest::addRow("variant %d In", variant) << "Label61" << scale->inLabel;
        QTest::addRow("variant %d 2 x In", variant) << "Label60" << scale->twoInLabel;
    }
}

void TstMonitor::scaleLabelsFit() {
    QFETCH(QString, label);
    QFETCH(QString, text);
    AppFixture app;
    app.start();
    auto* l = app.f1()->TabSheet1->findChild<QLabel*>(label);
    QVERIFY(l);
    l->setText(text);
    QVERIFY2(fits(l), qPrintable(QStringLiteral("%1 needs %2 px, has %3")
                                     .arg(text)
                                     .arg(l->fontMetrics().horizontalAdvance(text))
                                     .arg(l->contentsRect().width())));
}

// "AWARIA     " with the date and time a fault began fits status panel 1 in
// every language and in the date and time formats of several countries; the
// clock fits panel 0.
void TstMonitor::faultTextFits_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QLocale>("locale");
    const QLocale locales[] = {QLocale::c(), QLocale(QLocale::Polish, QLocale::Poland),
                               QLocale(QLocale::English, QLocale::UnitedStates),
                               QLocale(QLocale::German, QLocale::Germany),
                               QLocale(QLocale::Russian, QLocale::Russia)};
    for (int language = 0; language < 3; ++language)
        for (const QLocale& l : locales)
            QTest::addRow("language %d, %s", language, qPrintable(l.name())) << language << l;
}

void TstMonitor::faultTextFits() {
    QFETCH(int, language);
    QFETCH(QLocale, locale);
    AppFixture app;
    app.start();
    app.f2()->RadioGroup2->setItemIndex(language);
    app.f2()->RadioGroup2Click();
    TForm1* f = app.f1();
    // The widest date and time of the year in that format.
    const QString since = display::statusDate(QDate(2026, 12, 28), locale) + QStringLiteral("  ") +
                          display::longTime(QTime(23, 58, 58), locale);
    const display::Lamps lamps = display::lampsFor(0x7F, since, false);
    QVERIFY(lamps.faultText);
    f->StatusBar2->setPanelText(1, *lamps.faultText);
    QLabel* panel = f->StatusBar2->panel(1);
    QVERIFY2(fits(panel), qPrintable(QStringLiteral("\"%1\" needs %2 px, has %3")
                                         .arg(*lamps.faultText)
                                         .arg(panel->fontMetrics().horizontalAdvance(*lamps.faultText))
                                         .arg(panel->contentsRect().width())));
    // The clock beside it fits its panel too.
    f->StatusBar2->setPanelText(0, since);
    QVERIFY2(fits(f->StatusBar2->panel(0)), qPrintable(since));
    // Nothing of the status bar lies outside the window, and the transfer
    // progress bar (over the status bar from x = 404) leaves both texts clear.
    f->StatusBar2->layout()->activate();
    QVERIFY(f->StatusBar2->mapTo(f, panel->geometry().topRight()).x() < f->ProgressBar4->x());
    QVERIFY(f->rect().contains(f->StatusBar2->geometry()));
    QVERIFY(f->StatusBar2->rect().contains(f->StatusBar2->panel(2)->geometry()));
}

QTEST_MAIN(TstMonitor)
#include "tst_monitor.moc"

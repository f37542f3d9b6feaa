// The program's line settings reaching the relay: the real main window and
// settings dialog against the simulator at its own speed, parity and stop
// bits. A wrong setting gives no values and the program drops the link after
// its failed polls; the right one gives values. The pseudo-terminal shows the
// speed, the stop bits and odd parity, so those are told apart; none and even
// parity and 7 and 8 data bits look alike there, and the program's trace of
// the settings it applied is what tells them.
#include "appfixture.h"
#include "simfixture.h"
#include "tests/controls.h"

#include "protocol/registerbus.h"
#include "serial/tserialdriver.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

// Frozen motor with known registers 1..12, so the values shown are the relay's.
const QList<int> kMotor = {100, 101, 102, 398, 401, 404, 35, 85, 1234, 0, 0x0100, 200};

bool setMotor(SimRelay& relay) {
    if (!relay.control(QStringLiteral("freeze"))) return false;
    for (int i = 0; i < kMotor.size(); ++i)
        if (!relay.control(QStringLiteral("set %1 %2").arg(i + 1).arg(kMotor[i]))) return false;
    return true;
}

// vrk.ini as the dialog writes it, with the given line settings; the speed
// stays at the default and is chosen in the dialog.
QByteArray iniWith(const QString& parity, int stopBits, int dataBits) {
    return QStringLiteral("Port: COM1\r\nPredkosc: 4800\r\nParzystosc: %1\r\nAdres: 3\r\nBity stopu: %2\r\n"
                          "Bity danych: %3\r\nJezyk: pol\r\n")
        .arg(parity)
        .arg(stopBits)
        .arg(dataBits)
        .toLatin1();
}

// Opens the combo box's list with Alt+Down and clicks the entry.
void choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* list = box->view();
    QTRY_VERIFY(list->isVisible());
    const QRect entry = list->visualRect(box->model()->index(index, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    QTRY_VERIFY(!list->isVisible());
    QCOMPARE(box->currentText(), text);
}

// The vrk.serial trace while it runs.
QStringList traced;
void keepTrace(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QByteArray(context.category) == "vrk.serial") traced << message;
}

} // namespace

class TstLine : public QObject {
    Q_OBJECT
private slots:
    void settingsReachTheRelay_data();
    void settingsReachTheRelay();
};

void TstLine::settingsReachTheRelay_data() {
    QTest::addColumn<QStringList>("relayArgs");
    QTest::addColumn<QString>("speed");  // chosen in the dialog
    QTest::addColumn<QString>("parity"); // ODD, EVEN, NONE, from vrk.ini
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<bool>("values");
    const QStringList at9600{"--baud", "9600"};
    QTest::newRow("right speed") << at9600 << "9600"
                                 << "NONE" << 1 << 8 << true;
    QTest::newRow("faster than the relay") << at9600 << "19200"
                                           << "NONE" << 1 << 8 << false;
    QTest::newRow("slower than the relay") << at9600 << "4800"
                                           << "NONE" << 1 << 8 << false;
    QTest::newRow("2 stop bits, relay 1") << at9600 << "9600"
                                          << "NONE" << 2 << 8 << false;
    QTest::newRow("2 stop bits, relay 2") << QStringList{"--baud", "9600", "--stop-bits", "2"} << "9600"
                                          << "NONE" << 2 << 8 << true;
    QTest::newRow("1 stop bit, relay 2") << QStringList{"--baud", "9600", "--stop-bits", "2"} << "9600"
                                         << "NONE" << 1 << 8 << false;
    QTest::newRow("odd parity, relay none") << at9600 << "9600"
                                            << "ODD" << 1 << 8 << false;
    QTest::newRow("odd parity, relay odd") << QStringList{"--baud", "9600", "--parity", "odd"} << "9600"
                                           << "ODD" << 1 << 8 << true;
    QTest::newRow("no parity, relay odd") << QStringList{"--baud", "9600", "--parity", "odd"} << "9600"
                                          << "NONE" << 1 << 8 << false;
    QTest::newRow("even parity, relay odd") << QStringList{"--baud", "9600", "--parity", "odd"} << "9600"
                                            << "EVEN" << 1 << 8 << false;
    // What a pseudo-terminal cannot show: the relay hears these as its own.
    QTest::newRow("even parity, relay none") << at9600 << "9600"
                                             << "EVEN" << 1 << 8 << true;
    QTest::newRow("7 data bits, relay 8") << at9600 << "9600"
                                          << "NONE" << 1 << 7 << true;
    // The timed line at its slowest speed still gives values.
    QTest::newRow("timed line at 2400") << QStringList{"--baud", "2400", "--line-timing", "on"} << "2400"
                                        << "NONE" << 1 << 8 << true;
}

void TstLine::settingsReachTheRelay() {
    QFETCH(QStringList, relayArgs);
    QFETCH(QString, speed);
    QFETCH(QString, parity);
    QFETCH(int, stopBits);
    QFETCH(int, dataBits);
    QFETCH(bool, values);
    SimRelay relay;
    QVERIFY(relay.start(relayArgs));
    QVERIFY(setMotor(relay));
    AppFixture app;
    {
        QFile ini(app.path(QStringLiteral("vrk.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        QVERIFY(ini.write(iniWith(parity, stopBits, dataBits)) > 0);
    }
    app.start();
    TForm1* f = app.f1();
    TForm2* d = app.f2();
    f->show();

    // The settings dialog: the speed chosen in its list, the rest as loaded; OK.
    QTest::mouseClick(f->SpeedButton3, Qt::LeftButton);
    QTRY_VERIFY(d->isVisible());
    QCOMPARE(d->ComboBox2->currentText(), parity);
    QCOMPARE(d->ComboBox4->currentIndex(), stopBits - 1);
    QCOMPARE(d->ComboBox5->currentIndex(), 8 - dataBits);
    choose(d->ComboBox1, speed);
    QTest::mouseClick(d->Button1, Qt::LeftButton);
    QTRY_VERIFY(!d->isVisible());

    // Connect, with the line trace on.
    traced.clear();
    const QtMessageHandler before = qInstallMessageHandler(keepTrace);
    QLoggingCategory::setFilterRules(QStringLiteral("vrk.serial=true"));
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(before);
    QVERIFY(f->SerialDriver1->IsOpen());
    // The settings the program applied, data bits and even parity included,
    // which the terminal cannot show.
    const QString applied = QStringLiteral("opened %1 with line settings speed=%2 data=%3 parity=%4 stop=%5")
                                .arg(relay.linkPath(), speed)
                                .arg(dataBits)
                                .arg(parity.toLower())
                                .arg(stopBits);
    QVERIFY2(traced.contains(applied), qPrintable(traced.join(QLatin1Char('\n'))));

    const QString measurementRead = QString::fromLatin1(frames::readRequest(3, 1, 12).toHex(' ').toUpper());
    if (values) {
        QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f, "Label11")->text(), QStringLiteral("100"), 10000);
        QCOMPARE(control<QLabel>(f, "Label41")->text(), QStringLiteral("398"));
        QVERIFY(f->SerialDriver1->IsOpen());
        QCOMPARE(app.beeps, 0);
        bool replied = false;
        for (const QString& line : relay.logLines()) {
            const auto fields = SimRelay::parseLogLine(line);
            QVERIFY2(fields.value(QStringLiteral("reason")) != QLatin1String("line-settings"),
                     qPrintable(line));
            replied = replied || (fields.value(QStringLiteral("rx")) == measurementRead &&
                                  fields.value(QStringLiteral("action")) == QLatin1String("reply"));
        }
        QVERIFY(replied);
        QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
        return;
    }
    // No values; after its failed polls the program disconnects by itself.
    QTRY_VERIFY_WITH_TIMEOUT(!f->SerialDriver1->IsOpen(), 15000);
    QVERIFY(!f->Timer2->isActive());
    QCOMPARE(app.beeps, 1);
    QCOMPARE(control<QLabel>(f, "Label11")->text(), QStringLiteral("#"));
    QVERIFY(f->SpeedButton1->isEnabled());
    int misheardReads = 0;
    for (const QString& line : relay.logLines()) {
        const auto fields = SimRelay::parseLogLine(line);
        QCOMPARE(fields.value(QStringLiteral("action")), QStringLiteral("ignored"));
        QCOMPARE(fields.value(QStringLiteral("reason")), QStringLiteral("line-settings"));
        if (fields.value(QStringLiteral("rx")) == measurementRead) ++misheardReads;
    }
    QVERIFY2(misheardReads >= 6, qPrintable(relay.logLines().join(QLatin1Char('\n'))));
}

QTEST_MAIN(TstLine)
#include "tst_line.moc"

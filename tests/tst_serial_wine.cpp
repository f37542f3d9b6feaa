// The Win32 serial backend against the relay simulator, run under Wine by
// scripts/check-windows.sh: the simulator's terminal is COM1 of the Wine
// prefix, the simulator was started with "noreply next 1" and "badcrc next 1"
// queued, and its log is readable through Wine's drive Z:.
//   VRK_SIM_LOG        the simulator's log (a Unix path; Z: reaches it)
//   VRK_WINE_HANDSHAKE a folder: the test writes "open" there while it holds
//                      the port at 9600 8E2 and waits for "checked" (the
//                      script compares the terminal's speed, stop bits and
//                      flow control with stty: a pseudo-terminal keeps no parity)
// The suite's functions run in order and share the port.
#include "protocol/registerbus.h"
#include "serial/tserialdriver.h"
#include "wait/czekaj.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTest>

namespace {

constexpr int kBusAddress = 3; // the simulator's default address
constexpr int kFirstRegister = 1;
constexpr int kRegisterCount = 12; // measurements, fault word, relays, In
constexpr int kHandshakeWaitMs = 20000;

QString unixToWine(const QString& path) {
    return QStringLiteral("Z:") + QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

// The fields of one log line: key=value, a word without '=' continues the value before it.
QMap<QString, QString> parseLogLine(const QString& line) {
    QMap<QString, QString> fields;
    QString key;
    for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype eq = word.indexOf(QLatin1Char('='));
        if (eq > 0) {
            key = word.left(eq);
            fields[key] = word.mid(eq + 1);
        } else if (!key.isEmpty()) {
            fields[key] += QLatin1Char(' ') + word;
        }
    }
    return fields;
}

QList<QMap<QString, QString>> readLog() {
    QList<QMap<QString, QString>> lines;
    QFile f(unixToWine(qEnvironmentVariable("VRK_SIM_LOG")));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return lines;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        lines.append(parseLogLine(line));
    }
    return lines;
}

} // namespace

class TstSerialWine : public QObject {
    Q_OBJECT
    TSerialDriver driver_;
    RegisterBus bus_{driver_, [] { return kBusAddress; }};

private slots:
    void initTestCase() {
        QVERIFY2(qEnvironmentVariableIsSet("VRK_SIM_LOG"), "run by scripts/check-windows.sh");
        driver_.setPort(pnCOM1);
        driver_.setBaudRate(br9600); // check-windows.sh starts the simulator at 9600 8E2 as well
        driver_.setParity(ptEVEN);
        driver_.setDataBits(db8BITS);
        driver_.setStopBits(sb2BITS);
        driver_.setHwFlow(hfNONE);
        driver_.setSwFlow(sfNONE);
        driver_.setEnableDTROnOpen(false);
        QVERIFY2(driver_.OpenPort(), qPrintable(driver_.errorString()));
    }

    // The device control block reached the line: the script reads the
    // terminal's settings while the port is open.
    void controlBlockOnTheLine() {
        const QString dir = qEnvironmentVariable("VRK_WINE_HANDSHAKE");
        QVERIFY2(!dir.isEmpty(), "no handshake folder (VRK_WINE_HANDSHAKE)");
        const QDir d(unixToWine(dir));
        QFile open(d.filePath(QStringLiteral("open")));
        QVERIFY(open.open(QIODevice::WriteOnly));
        open.write("9600 8E2\n");
        open.close();
        QDeadlineTimer deadline(kHandshakeWaitMs);
        while (!d.exists(QStringLiteral("checked")) && !deadline.hasExpired())
            czekaj(50);
        QVERIFY2(d.exists(QStringLiteral("checked")), "the script did not answer");
        QFile answer(d.filePath(QStringLiteral("checked")));
        QVERIFY(answer.open(QIODevice::ReadOnly));
        QCOMPARE(answer.readAll().trimmed(), QByteArray("ok"));
    }

    // The first request gets no reply: the read ends after the time-out,
    // and the port stays usable.
    void noReplyEndsAfterTheTimeout() {
        QVERIFY(!bus_.Czytaj(kFirstRegister, kRegisterCount));
        QCOMPARE(bus_.error(), BusError::NoReply);
        QVERIFY(driver_.IsOpen());
    }

    // The second reply has a wrong CRC: all of it arrives, and it is refused.
    void badCrcRefused() {
        QVERIFY(!bus_.Czytaj(kFirstRegister, kRegisterCount));
        QCOMPARE(bus_.error(), BusError::BadCrc);
    }

    void readsWhatTheSimulatorSent_data() {
        QTest::addColumn<int>("round");
        QTest::newRow("first good read") << 1;
        QTest::newRow("second") << 2;
        QTest::newRow("third") << 3;
    }

    // Registers 1-12 read through ReadFile carry the values of the
    // simulator's latest reply.
    void readsWhatTheSimulatorSent() {
        QVERIFY2(bus_.Czytaj(kFirstRegister, kRegisterCount), qPrintable(bus_.errorString()));
        QCOMPARE(bus_.RegisterValues.size(), kRegisterCount);
        const auto log = readLog();
        QVERIFY(!log.isEmpty());
        const auto& last = log.last();
        QCOMPARE(last.value(QStringLiteral("fn")), QStringLiteral("3"));
        QCOMPARE(last.value(QStringLiteral("reg")), QString::number(kFirstRegister));
        QCOMPARE(last.value(QStringLiteral("n")), QString::number(kRegisterCount));
        QCOMPARE(last.value(QStringLiteral("action")), QStringLiteral("reply"));
        QStringList got;
        for (int v : std::as_const(bus_.RegisterValues))
            got << QString::number(v);
        QCOMPARE(got.join(QLatin1Char(',')), last.value(QStringLiteral("values")));
    }

    // The log holds the two spoiled replies, in order, before the good ones.
    void logShowsTheInjectedFaults() {
        const auto log = readLog();
        QVERIFY(log.size() >= 2);
        QCOMPARE(log.at(0).value(QStringLiteral("action")), QStringLiteral("noreply"));
        QCOMPARE(log.at(1).value(QStringLiteral("action")), QStringLiteral("badcrc"));
    }

    void cleanupTestCase() { driver_.ClosePort(); }
};

QTEST_GUILESS_MAIN(TstSerialWine)
#include "tst_serial_wine.moc"

// The program against a Modbus RTU slave it did not write: Debian's pymodbus
// (run with /usr/bin/python3, python3-serial-asyncio underneath) serving the
// relay's 125 registers on one end of a socat pseudo-terminal pair, the
// program on the other. A port pair carries bytes at once: there is no wire
// time, and the slave answers a few milliseconds after the request is
// written. The window's poll, a setpoint read and write with read-back, and
// vrk-cli's read and setpoint write must all work there as on a real line.
// The same reads against the simulator with line timing on show that the
// line with wire time still works too. Without socat or pymodbus the suite
// fails: it never skips.
#include "appfixture.h"
#include "config/tform2.h"
#include "setpointtables.h"
#include "simfixture.h"
#include "tests/controls.h"
#include "tests/tracecapture.h"

#include "protocol/registerbus.h"
#include "serial/tserialdriver.h"
#include "setpoints/readback.h"
#include "setpoints/setpointfile.h"
#include "wait/czekaj.h"
#include "widgets/controls.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int kAddress = 3; // the window's and vrk-cli's default

// A pymodbus RTU slave on one end of a socat pair; the program opens port().
class PeerSlave {
public:
    ~PeerSlave() { stop(); }

    // Empty when the slave answers on port(); else what is missing or failed.
    QString start(int baud) {
        stop();
        const QString socat = QStandardPaths::findExecutable(QStringLiteral("socat"));
        if (socat.isEmpty()) return QStringLiteral("socat is not installed (Debian package socat)");
        if (QProcess::execute(QStringLiteral("/usr/bin/python3"),
                              {QStringLiteral("-c"), QStringLiteral("import pymodbus, serial_asyncio")}) != 0)
            return QStringLiteral("/usr/bin/python3 cannot import pymodbus and serial_asyncio "
                                  "(Debian packages python3-pymodbus, python3-serial-asyncio)");
        // A peer ends with the test: a crashed test must not leave the slave holding its standard error open.
        for (QProcess* p : {&socat_, &slave_})
            p->setChildProcessModifier([test = ::getpid()] {
                ::prctl(PR_SET_PDEATHSIG, SIGTERM);
                if (::getppid() != test) ::_exit(1);
            });
        socat_.start(socat, {QStringLiteral("pty,raw,echo=0,link=") + port(),
                             QStringLiteral("pty,raw,echo=0,link=") + peerPort()});
        if (!socat_.waitForStarted()) return QStringLiteral("socat did not start");
        for (int i = 0; i < 100 && !(QFileInfo::exists(port()) && QFileInfo::exists(peerPort())); ++i)
            QThread::msleep(50);
        if (!QFileInfo::exists(port())) return QStringLiteral("socat made no pseudo-terminal pair");
        slave_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        slave_.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(VRK_PEER_SLAVE), QStringLiteral("--port"), peerPort(),
                      QStringLiteral("--baud"), QString::number(baud), QStringLiteral("--address"),
                      QString::number(kAddress), QStringLiteral("--write-log"), writeLog()});
        if (!slave_.waitForStarted()) return QStringLiteral("the pymodbus slave did not start");
        // Serving once it answers (pymodbus takes a second or so to start).
        TSerialDriver driver;
        driver.setPortName(port());
        driver.setBaudRateValue(uint32_t(baud));
        if (!driver.OpenPort()) return QStringLiteral("cannot open ") + port();
        RegisterBus bus(driver, [] { return kAddress; });
        for (int i = 0; i < 100; ++i) {
            if (bus.Czytaj(23, 1)) return {};
            if (slave_.state() != QProcess::Running) return QStringLiteral("the pymodbus slave ended");
            QThread::msleep(100);
        }
        return QStringLiteral("the pymodbus slave never answered: ") + bus.errorString();
    }
    void stop() {
        for (QProcess* p : {&slave_, &socat_}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished();
            }
        }
        QFile::remove(writeLog());
    }
    QString port() const { return dir_.filePath(QStringLiteral("program")); }
    // The writes the slave applied, as "register value", in order.
    QStringList writes() const {
        QFile f(writeLog());
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QString peerPort() const { return dir_.filePath(QStringLiteral("slave")); }
    QString writeLog() const { return dir_.filePath(QStringLiteral("writes.log")); }
    QTemporaryDir dir_;
    QProcess socat_, slave_;
};

// How often each register was written.
QMap<int, int> writeCounts(const QStringList& writes) {
    QMap<int, int> counts;
    for (const QString& w : writes)
        ++counts[w.section(QLatin1Char(' '), 0, 0).toInt()];
    return counts;
}

QMap<int, int> oncePerSetpoint() {
    QMap<int, int> once;
    for (int reg = 12; reg <= 22; ++reg)
        once[reg] = 1;
    return once;
}

struct Run {
    int status = -2;
    QString out, err;
};

Run runCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VRK_CLI_PATH), args);
    Run r;
    if (!p.waitForStarted() || !p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TstPeers : public QObject {
    Q_OBJECT
private slots:
    void readsAtEachSpeed_data();
    void readsAtEachSpeed();
    void windowPollsEveryTick();
    void windowSetpointsReadAndWritten();
    void cliAtEachSpeed_data();
    void cliAtEachSpeed();
    void scanNamesNoPhantom();
};

void TstPeers::readsAtEachSpeed_data() {
    QTest::addColumn<bool>("timedSimulator"); // else pymodbus on a socat pair
    QTest::addColumn<int>("baud");
    for (int baud : {2400, 4800, 9600, 19200}) {
        QTest::addRow("pymodbus, %d", baud) << false << baud;
        QTest::addRow("timed simulator, %d", baud) << true << baud;
    }
}

// 50 measurement reads and 50 single-register reads, each as the poll makes
// them: every one is taken, on either kind of line.
void TstPeers::readsAtEachSpeed() {
    QFETCH(bool, timedSimulator);
    QFETCH(int, baud);
    PeerSlave peer;
    SimRelay sim;
    QString port;
    if (timedSimulator) {
        QVERIFY(sim.start({QStringLiteral("--baud"), QString::number(baud), QStringLiteral("--line-timing"),
                           QStringLiteral("on")}));
        port = sim.linkPath();
    } else {
        const QString failed = peer.start(baud);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        port = peer.port();
    }
    TSerialDriver driver;
    driver.setPortName(port);
    driver.setBaudRateValue(uint32_t(baud));
    // Longer than the program's 100 ms, so that a loaded machine does not
    // turn a good answer into a missing one (whose late bytes would then
    // rightly spoil the next exchanges too).
    driver.setInputTimeout(300);
    QVERIFY(driver.OpenPort());
    RegisterBus bus(driver, [] { return kAddress; });
    int good = 0;
    QStringList failures;
    for (int i = 0; i < 50; ++i) {
        for (const auto& [start, n] : {std::pair{1, 12}, std::pair{23, 1}}) {
            if (bus.Czytaj(start, n))
                ++good;
            else
                failures << bus.errorString();
        }
        czekaj(20);
    }
    qInfo("%s at %d bit/s: %d of 100 reads good", timedSimulator ? "timed simulator" : "pymodbus", baud,
          good);
    QVERIFY2(good == 100, qPrintable(failures.join(QLatin1Char('\n'))));
}

// The window at its default 4800 bit/s polls five times a second; in five
// seconds every measurement read is good and the link stays up.
void TstPeers::windowPollsEveryTick() {
    PeerSlave peer;
    const QString failed = peer.start(4800);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    qputenv("VRK_COM1", peer.port().toLocal8Bit());
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    // In Russian, the longest language, with the window shown.
    QTest::mouseClick(app.f2()->RadioGroup2->button(2), Qt::LeftButton);
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    TraceCapture trace;
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    QVERIFY(f->SerialDriver1->IsOpen());
    QTest::qWait(5000);
    const QStringList bus = trace.messages("vrk.bus");
    trace.stop();
    QVERIFY(f->SerialDriver1->IsOpen());
    QVERIFY(f->Timer2->isActive());
    const QRegularExpression measurement(QStringLiteral("^received \\d+ of 29 bytes:.* -> (.*)$"));
    int polls = 0, good = 0;
    QStringList failures;
    for (const QString& m : bus) {
        const auto match = measurement.match(m);
        if (!match.hasMatch()) continue;
        ++polls;
        if (match.captured(1) == QLatin1String("ok"))
            ++good;
        else
            failures << m;
    }
    qInfo("window at 4800 bit/s: %d of %d polls good in 5 s", good, polls);
    // VRK_SCREENSHOTS names a folder for a picture of the window as it polls.
    if (qEnvironmentVariableIsSet("VRK_SCREENSHOTS"))
        QVERIFY(f->grab().save(
            QDir(qEnvironmentVariable("VRK_SCREENSHOTS")).filePath(QStringLiteral("peers-poll-ru.png"))));
    QVERIFY2(polls >= 20, qPrintable(QString::number(polls)));
    QVERIFY2(good == polls, qPrintable(failures.join(QLatin1Char('\n'))));
    QVERIFY(app.errorBoxes.isEmpty());
    f->Rozlacz();
}

// A setpoint read shows the slave's table; a write sends each setpoint once
// and the read-back confirms it.
void TstPeers::windowSetpointsReadAndWritten() {
    PeerSlave peer;
    const QString failed = peer.start(4800);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    qputenv("VRK_COM1", peer.port().toLocal8Bit());
    AppFixture app;
    seams::current().now = [] { return QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7)); };
    app.start();
    TForm1* f = app.f1();
    auto* grid = f->findChild<StringGrid*>(QStringLiteral("StringGrid1"));
    QVERIFY(grid);
    f->SpeedButton1Click();
    QVERIFY(f->SerialDriver1->IsOpen());
    f->show();
    f->SpeedButton22Click();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton6"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(grid->cell(3, 0), QStringLiteral("12,5"), 5000);
    QCOMPARE(grid->cell(3, 4), QStringLiteral("10"));

    QStringList table = validTable();
    table[4] = QStringLiteral("12");
    fill(grid, table);
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton7"), Qt::LeftButton);
    auto* status = f->StatusBar2->findChild<QLabel*>(QStringLiteral("SetpointStatus"));
    QVERIFY(status);
    QTRY_COMPARE_WITH_TIMEOUT(
        status->text(),
        setpoints::confirmedStatus(QLocale::system().toString(QTime(9, 5, 7), QLocale::ShortFormat)), 10000);
    QVERIFY2(f->Label100->text().isEmpty(), qPrintable(f->Label100->text()));
    const QStringList writes = peer.writes();
    QCOMPARE(writeCounts(writes), oncePerSetpoint());
    QVERIFY(writes.contains(QStringLiteral("16 12")));
    f->Rozlacz();
}

void TstPeers::cliAtEachSpeed_data() {
    QTest::addColumn<int>("baud");
    for (int baud : {2400, 4800, 9600, 19200})
        QTest::addRow("%d bit/s", baud) << baud;
}

// vrk-cli reads the measurements and writes a setpoint file, each register once, confirmed.
void TstPeers::cliAtEachSpeed() {
    QFETCH(int, baud);
    PeerSlave peer;
    const QString failed = peer.start(baud);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    const QStringList line{QStringLiteral("--port"),    peer.port(),
                           QStringLiteral("--baud"),    QString::number(baud),
                           QStringLiteral("--address"), QString::number(kAddress)};
    const Run read = runCli(QStringList{QStringLiteral("read"), QStringLiteral("--json")} + line);
    QVERIFY2(read.status == 0, qPrintable(read.err));
    QVERIFY2(read.out.contains(QLatin1String("400")), qPrintable(read.out)); // a voltage

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("setpoints.vrk"));
    QStringList table = validTable();
    table[5] = QStringLiteral("35");
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QVERIFY(out.write(setpoints::setpointFileBytes(table)) > 0);
        QVERIFY(out.flush());
    }
    const Run put = runCli(QStringList{QStringLiteral("setpoints"), QStringLiteral("put"), file} + line);
    QVERIFY2(put.status == 0, qPrintable(put.out + put.err));
    const QStringList writes = peer.writes();
    QCOMPARE(writeCounts(writes), oncePerSetpoint());
    QVERIFY(writes.contains(QStringLiteral("17 35")));
}

// A slow relay at 3 (75 ms) answers after the scan has moved on to 4: its
// reply is 3's, never taken as 4's.
void TstPeers::scanNamesNoPhantom() {
    SimRelay sim;
    QVERIFY(sim.start({QStringLiteral("--line-timing"), QStringLiteral("on"), QStringLiteral("--response-ms"),
                       QStringLiteral("75")}));
    const Run scan =
        runCli({QStringLiteral("scan"), QStringLiteral("--from"), QStringLiteral("1"), QStringLiteral("--to"),
                QStringLiteral("6"), QStringLiteral("--port"), sim.linkPath()});
    QVERIFY2(scan.status >= 0, qPrintable(scan.err));
    for (int phantom : {1, 2, 4, 5, 6})
        QVERIFY2(!scan.out.contains(QStringLiteral("address=%1").arg(phantom)), qPrintable(scan.out));
}

QTEST_MAIN(TstPeers)
#include "tst_peers.moc"

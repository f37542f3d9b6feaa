// Relays behind network gateways through the real program: the window and
// vrk-cli against the simulator served as Modbus TCP and as RTU over TCP, and
// against a plain pymodbus server we did not write (both framings);
// connections dropped mid-transfer, refused and never accepted; a late reply
// refused by its transaction id. Only loopback addresses.
#include "appfixture.h"
#include "setpointtables.h"
#include "simfixture.h"
#include "tests/controls.h"

#include "protocol/registerbus.h"
#include "protocol/relaymap.h"
#include "serial/tserialdriver.h"
#include "setpoints/readback.h"
#include "setpoints/rules.h"
#include "setpoints/setpointfile.h"
#include "widgets/controls.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProgressBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

Q_DECLARE_METATYPE(BusError)

namespace {

using Exchange = QMap<QString, QString>;

const QString kPython = QStringLiteral("/usr/bin/python3");
const char* const kClosed = "%1 closed the connection.";
const char* const kRefused = "%1 refused the connection (nothing listens at that port?).";
const char* const kTimedOut = "%1 did not answer within %2 s (connection time-out).";

// A reason as the window shows it (in its language) and as vrk-cli writes it (English).
QString shown(const char* text, const QString& where) {
    return QCoreApplication::translate("NetworkLink", text).arg(where, QStringLiteral("5"));
}
QString english(const char* text, const QString& where) {
    return QString::fromLatin1(text).arg(where, QStringLiteral("5"));
}

// The target the simulator's network service prints ("modbus-tcp 127.0.0.1:P").
QString simTarget(const SimRelay& relay, bool modbusTcp) {
    QFile f(QFileInfo(relay.logPath()).dir().filePath(QStringLiteral("stdout")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QString kind = modbusTcp ? QStringLiteral("modbus-tcp ") : QStringLiteral("rtu-tcp ");
    for (const QString& line : QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n')))
        if (line.startsWith(kind))
            return (modbusTcp ? QStringLiteral("tcp://") : QStringLiteral("rtu+tcp://")) +
                   line.mid(kind.size());
    return {};
}

quint16 freePort() {
    QTcpServer s;
    return s.listen(QHostAddress::LocalHost, 0) ? s.serverPort() : 0;
}

// A plain pymodbus server (tests/modbus_peer.py) holding the variant and a
// few measurements of a 100 A relay at bus address 3.
class PymodbusPeer {
public:
    ~PymodbusPeer() {
        if (p_.state() != QProcess::NotRunning) {
            p_.kill();
            p_.waitForFinished();
        }
    }
    bool start(bool modbusTcp, QString* target, QString* error) {
        const quint16 port = freePort();
        p_.start(kPython, {QStringLiteral(VRK_PEER_PATH), QStringLiteral("--port"), QString::number(port),
                           QStringLiteral("--framing"),
                           modbusTcp ? QStringLiteral("tcp") : QStringLiteral("rtu"), QStringLiteral("--set"),
                           QStringLiteral("%1=2").arg(relay::kVariantRegister), QStringLiteral("--set"),
                           QStringLiteral("1=100"), QStringLiteral("--set"), QStringLiteral("4=400")});
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired() && p_.state() != QProcess::NotRunning) {
            p_.waitForReadyRead(100);
            out_ += p_.readAllStandardOutput();
            if (out_.contains("listening")) {
                *target = QStringLiteral("%1://127.0.0.1:%2").arg(modbusTcp ? "tcp" : "rtu+tcp").arg(port);
                return true;
            }
        }
        *error = QStringLiteral("pymodbus server did not start (is python3-pymodbus installed?): ") +
                 QString::fromLocal8Bit(p_.readAllStandardError());
        return false;
    }

private:
    QProcess p_;
    QByteArray out_;
};

struct Run {
    int status = -1;
    QString out, err;
};

Run runCli(const QString& workDir, const QStringList& args, int timeoutMs = 60000) {
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(VRK_CLI_PATH), args);
    Run r;
    if (!p.waitForStarted() || !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A listener whose backlog is full: the system completes no more handshakes,
// so a connect there waits out its time-out. Loopback only.
class NeverAccepts {
public:
    NeverAccepts() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), n) != 0 || ::listen(fd_, 0) != 0) return;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
        port_ = ntohs(a.sin_port);
        // Fill the backlog (0 lets one through on Linux) with connections never accepted.
        for (int i = 0; i < 3; ++i) {
            const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            (void)::connect(c, reinterpret_cast<sockaddr*>(&a), n);
            fillers_.push_back(c);
        }
        QThread::msleep(200);
    }
    ~NeverAccepts() {
        for (int c : fillers_)
            ::close(c);
        ::close(fd_);
    }
    quint16 port() const { return port_; }

private:
    int fd_ = -1;
    quint16 port_ = 0;
    std::vector<int> fillers_;
};

} // namespace

class TstNetwork : public QObject {
    Q_OBJECT
private slots:
    // As the program: closing the window does not end the application, so
    // the waits' message loops run in every test.
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup();
    void windowPollsWritesAndReadsFaults_data();
    void windowPollsWritesAndReadsFaults();
    void droppedConnectionDisconnectsWithReason_data();
    void droppedConnectionDisconnectsWithReason();
    void connectionDroppedMidTransfer();
    void cliReadWatchPut_data();
    void cliReadWatchPut();
    void connectFailuresAreNamed_data();
    void connectFailuresAreNamed();
    void lateReplyRefusedByTransactionId();
    void injectedFaults_data();
    void injectedFaults();

private:
    // The target of the row: the simulator's or a pymodbus server's.
    QString startPeer(bool pymodbus, bool modbusTcp);
    void connectWindow(const QString& target);

    std::unique_ptr<SimRelay> relay_;
    std::unique_ptr<PymodbusPeer> peer_;
    std::unique_ptr<AppFixture> app_;
    TForm1* f_ = nullptr;
};

void TstNetwork::cleanup() {
    if (f_) f_->Rozlacz();
    f_ = nullptr;
    app_.reset();
    peer_.reset();
    relay_.reset();
}

QString TstNetwork::startPeer(bool pymodbus, bool modbusTcp) {
    QString target, error;
    if (pymodbus) {
        peer_ = std::make_unique<PymodbusPeer>();
        if (!peer_->start(modbusTcp, &target, &error)) qWarning("%s", qPrintable(error));
        return target;
    }
    relay_ = std::make_unique<SimRelay>();
    if (!relay_->start({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze"),
                        QStringLiteral("--seed"), QStringLiteral("7"), QStringLiteral("--tcp"),
                        QStringLiteral("0"), QStringLiteral("--rtu-tcp"), QStringLiteral("0")}))
        return {};
    return simTarget(*relay_, modbusTcp);
}

// COM1 (the settings' default) mapped to the target, and the connect button clicked.
void TstNetwork::connectWindow(const QString& target) {
    qputenv("VRK_COM1", target.toLocal8Bit());
    app_ = std::make_unique<AppFixture>();
    app_->start();
    f_ = app_->f1();
    f_->show();
    QTest::mouseClick(f_->SpeedButton1, Qt::LeftButton);
    QVERIFY2(f_->SerialDriver1->IsOpen(), qPrintable(f_->Label100->text()));
    QVERIFY(f_->SerialDriver1->isNetwork());
    // The poll writes the relay's variant into the setpoint table.
    QTRY_COMPARE_WITH_TIMEOUT(control<StringGrid>(f_, "StringGrid1")->cell(3, 11), QStringLiteral("2"),
                              10000);
}

void TstNetwork::windowPollsWritesAndReadsFaults_data() {
    QTest::addColumn<bool>("pymodbus");
    QTest::addColumn<bool>("modbusTcp");
    QTest::newRow("simulator, Modbus TCP") << false << true;
    QTest::newRow("simulator, RTU over TCP") << false << false;
    QTest::newRow("pymodbus, Modbus TCP") << true << true;
    QTest::newRow("pymodbus, RTU over TCP") << true << false;
}

void TstNetwork::windowPollsWritesAndReadsFaults() {
    QFETCH(bool, pymodbus);
    QFETCH(bool, modbusTcp);
    const QString target = startPeer(pymodbus, modbusTcp);
    QVERIFY(!target.isEmpty());
    connectWindow(target);
    if (QTest::currentTestFailed()) return;
    // The title says what COM1 is now.
    const QString shown = f_->SerialDriver1->targetText();
    QVERIFY2(shown.contains(target.section(QStringLiteral("://"), 1)), qPrintable(shown));
    QVERIFY2(f_->windowTitle().endsWith(shown), qPrintable(f_->windowTitle()));
    // The measurements: the first phase voltage shows (pymodbus holds 400 V).
    if (pymodbus)
        QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f_, "Label41")->text(), QStringLiteral("400"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(control<QLabel>(f_, "Label41")->text() != QLatin1String("#"), 5000);

    // The setpoints written and read back.
    seams::current().now = [] { return QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7)); };
    f_->SpeedButton22Click();
    fill(control<StringGrid>(f_, "StringGrid1"), validTable());
    QTest::mouseClick(control<QToolButton>(f_, "SpeedButton7"), Qt::LeftButton);
    auto* status = f_->StatusBar2->findChild<QLabel*>(QStringLiteral("SetpointStatus"));
    QVERIFY(status);
    QCOMPARE(status->text(),
             setpoints::confirmedStatus(QLocale::system().toString(QTime(9, 5, 7), QLocale::ShortFormat)));
    QVERIFY2(f_->Label100->text().isEmpty(), qPrintable(f_->Label100->text()));

    // The fault log: four reads, no error; the simulator's memory is listed.
    f_->SpeedButton24Click();
    QTest::mouseClick(control<QToolButton>(f_, "SpeedButton12"), Qt::LeftButton);
    QVERIFY2(f_->Label100->text().isEmpty(), qPrintable(f_->Label100->text()));
    QVERIFY(f_->ProgressBar4->isHidden());
    if (!pymodbus) QVERIFY(!control<StringGrid>(f_, "StringGrid2")->cell(1, 0).trimmed().isEmpty());
    QVERIFY(f_->SerialDriver1->IsOpen());

    // Disconnected by the button: the title is the program's own again.
    QTest::mouseClick(f_->SpeedButton2, Qt::LeftButton);
    QVERIFY(!f_->windowTitle().contains(shown));
}

void TstNetwork::droppedConnectionDisconnectsWithReason_data() {
    QTest::addColumn<bool>("modbusTcp");
    QTest::newRow("Modbus TCP") << true;
    QTest::newRow("RTU over TCP") << false;
}

void TstNetwork::droppedConnectionDisconnectsWithReason() {
    QFETCH(bool, modbusTcp);
    const QString target = startPeer(false, modbusTcp);
    QVERIFY(!target.isEmpty());
    connectWindow(target);
    if (QTest::currentTestFailed()) return;
    const QString where = target.section(QStringLiteral("://"), 1);
    QVERIFY(relay_->control(QStringLiteral("disconnect")));
    // Six failed polls at once (the loss is seen on the first), then the usual report with why.
    QTRY_VERIFY_WITH_TIMEOUT(!f_->SerialDriver1->IsOpen(), 5000);
    const QString noConnection = f_->hiddenLabel(HiddenText::NoConnection)->text();
    QCOMPARE(f_->Label100->text(), noConnection + QLatin1Char('\n') + shown(kClosed, where));
    QVERIFY(f_->SpeedButton1->isEnabled());
    QCOMPARE(control<QLabel>(f_, "Label11")->text(), QStringLiteral("#"));
    // Connecting again works at once.
    QTest::mouseClick(f_->SpeedButton1, Qt::LeftButton);
    QVERIFY(f_->SerialDriver1->IsOpen());
    QTRY_VERIFY_WITH_TIMEOUT(control<QLabel>(f_, "Label11")->text() != QLatin1String("#"), 5000);
}

void TstNetwork::connectionDroppedMidTransfer() {
    const QString target = startPeer(false, true);
    QVERIFY(!target.isEmpty());
    // The window: the gateway goes during the setpoint write.
    connectWindow(target);
    if (QTest::currentTestFailed()) return;
    f_->SpeedButton22Click();
    fill(control<StringGrid>(f_, "StringGrid1"), validTable());
    QVERIFY(relay_->control(QStringLiteral("disconnect after 4")));
    QTest::mouseClick(control<QToolButton>(f_, "SpeedButton7"), Qt::LeftButton);
    auto* status = f_->StatusBar2->findChild<QLabel*>(QStringLiteral("SetpointStatus"));
    QVERIFY(!status || status->text() != setpoints::confirmedStatus(QLocale::system().toString(
                                             QTime(9, 5, 7), QLocale::ShortFormat)));
    QVERIFY(!f_->Label100->text().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!f_->SerialDriver1->IsOpen(), 5000);
    QVERIFY2(f_->Label100->text().endsWith(shown(kClosed, target.section(QStringLiteral("://"), 1))),
             qPrintable(f_->Label100->text()));
    int dropped = 0;
    for (const QString& line : relay_->logLines())
        dropped +=
            SimRelay::parseLogLine(line).value(QStringLiteral("action")) == QLatin1String("disconnect");
    QCOMPARE(dropped, 1);

    // vrk-cli: the same during setpoints put; the reason on the error output.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("in.vrk"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write(setpoints::setpointFileBytes(validTable())) > 0);
    }
    QVERIFY(relay_->control(QStringLiteral("disconnect after 3")));
    const Run r = runCli(dir.path(), {QStringLiteral("setpoints"), QStringLiteral("put"), file,
                                      QStringLiteral("--port"), target});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(english(kClosed, target.section(QStringLiteral("://"), 1))), qPrintable(r.err));
}

void TstNetwork::cliReadWatchPut_data() {
    windowPollsWritesAndReadsFaults_data();
}

void TstNetwork::cliReadWatchPut() {
    QFETCH(bool, pymodbus);
    QFETCH(bool, modbusTcp);
    const QString target = startPeer(pymodbus, modbusTcp);
    QVERIFY(!target.isEmpty());
    QTemporaryDir dir;
    const QStringList port{QStringLiteral("--port"), target};

    const Run read = runCli(dir.path(), QStringList{QStringLiteral("read"), QStringLiteral("--json")} + port);
    QCOMPARE(read.status, 0);
    QVERIFY2(read.out.contains(QStringLiteral("\"variant\": 2")), qPrintable(read.out));

    const Run watch = runCli(
        dir.path(),
        QStringList{QStringLiteral("watch"), QStringLiteral("--duration"), QStringLiteral("2")} + port);
    QCOMPARE(watch.status, 0);
    // A header and a row per read (five a second; at least a few whatever the load).
    QVERIFY2(watch.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size() >= 4, qPrintable(watch.out));
    QVERIFY2(watch.err.contains(QStringLiteral(", 0 lost.")), qPrintable(watch.err));

    const QString file = dir.filePath(QStringLiteral("in.vrk"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write(setpoints::setpointFileBytes(validTable())) > 0);
    }
    const Run put =
        runCli(dir.path(), QStringList{QStringLiteral("setpoints"), QStringLiteral("put"), file} + port);
    QVERIFY2(put.status == 0, qPrintable(put.err));
    // Read back by the CLI's own get: the first setpoint is the file's 12,5 A.
    const Run get =
        runCli(dir.path(), QStringList{QStringLiteral("setpoints"), QStringLiteral("get")} + port);
    QCOMPARE(get.status, 0);
    const QString first = get.out.split(QLatin1Char('\n')).value(0);
    QVERIFY2(first.contains(QStringLiteral("12,5")) || first.contains(QStringLiteral("12.5")),
             qPrintable(get.out));
}

void TstNetwork::connectFailuresAreNamed_data() {
    QTest::addColumn<bool>("neverAccepts");
    QTest::addColumn<QByteArray>("reason");
    QTest::newRow("refused") << false << QByteArray(kRefused);
    QTest::newRow("never accepted") << true << QByteArray(kTimedOut);
}

void TstNetwork::connectFailuresAreNamed() {
    QFETCH(bool, neverAccepts);
    QFETCH(QByteArray, reason);
    NeverAccepts listener;
    const quint16 port = neverAccepts ? listener.port() : freePort();
    QVERIFY(port != 0);
    const QString where = QStringLiteral("127.0.0.1:%1").arg(port);
    const QString target = QStringLiteral("tcp://") + where;

    // The window: the message loop runs while it connects, and the report names why.
    qputenv("VRK_COM1", target.toLocal8Bit());
    app_ = std::make_unique<AppFixture>();
    app_->start();
    f_ = app_->f1();
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(100);
    QTest::mouseClick(f_->SpeedButton1, Qt::LeftButton);
    QVERIFY(!f_->SerialDriver1->IsOpen());
    const QString portBusy = f_->hiddenLabel(HiddenText::PortBusy)->text();
    QCOMPARE(f_->Label100->text(), portBusy + QLatin1Char('\n') + shown(reason.constData(), where));
    if (neverAccepts) QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks))); // 5 s waited in the loop
    QVERIFY(f_->SpeedButton1->isEnabled());

    // vrk-cli: the port's exit status, the same reason.
    QTemporaryDir dir;
    const Run r = runCli(dir.path(), {QStringLiteral("read"), QStringLiteral("--port"), target});
    QCOMPARE(r.status, 3);
    QVERIFY2(r.err.contains(english(reason.constData(), where)), qPrintable(r.err));
}

// A reply later than the reply time-out comes during the next exchange: it
// carries the earlier request's transaction id, so it is dropped and the
// next request gets its own answer.
void TstNetwork::lateReplyRefusedByTransactionId() {
    relay_ = std::make_unique<SimRelay>();
    QVERIFY(relay_->start({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze"),
                           QStringLiteral("--late-ms"), QStringLiteral("600"), QStringLiteral("--tcp"),
                           QStringLiteral("0")}));
    TSerialDriver driver;
    driver.setPortName(simTarget(*relay_, true) + QStringLiteral("?timeout=400"));
    RegisterBus bus(driver, [] { return 3; });
    QVERIFY2(driver.OpenPort(), qPrintable(driver.errorString()));
    // What the relay holds in the measurement registers and in the setpoints.
    QVERIFY(bus.Czytaj(relay::kSetpointFirst, 4));
    const QVector<int32_t> setpoints = bus.RegisterValues;
    QVERIFY(bus.Czytaj(relay::kMeasurementFirst, 4));
    QVERIFY(setpoints != bus.RegisterValues);

    QVERIFY(relay_->control(QStringLiteral("late next 1")));
    QVERIFY(!bus.Czytaj(relay::kMeasurementFirst, 4));
    QCOMPARE(bus.error(), BusError::NoReply);
    // Same length, sound frame, answers the earlier request: refused by its id.
    QVERIFY2(bus.Czytaj(relay::kSetpointFirst, 4), qPrintable(bus.errorString()));
    QCOMPARE(bus.RegisterValues, setpoints);
    driver.ClosePort();
}

void TstNetwork::injectedFaults_data() {
    QTest::addColumn<bool>("modbusTcp");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<BusError>("outcome");
    // RTU over TCP carries the spoiled frame as it is.
    QTest::newRow("rtu noreply") << false << "noreply" << BusError::NoReply;
    QTest::newRow("rtu badcrc") << false << "badcrc" << BusError::BadCrc;
    QTest::newRow("rtu short") << false << "short" << BusError::ShortReply;
    QTest::newRow("rtu garbage-before") << false << "garbage-before" << BusError::BadCrc;
    QTest::newRow("rtu garbage-after") << false << "garbage-after" << BusError::NoError;
    // Modbus TCP: a reply of another transaction is dropped, a stray one beside the reply too.
    QTest::newRow("tcp noreply") << true << "noreply" << BusError::NoReply;
    QTest::newRow("tcp badcrc") << true << "badcrc" << BusError::NoReply;
    QTest::newRow("tcp short") << true << "short" << BusError::ShortReply;
    QTest::newRow("tcp garbage-before") << true << "garbage-before" << BusError::NoError;
    QTest::newRow("tcp garbage-after") << true << "garbage-after" << BusError::NoError;
}

void TstNetwork::injectedFaults() {
    QFETCH(bool, modbusTcp);
    QFETCH(QString, fault);
    QFETCH(BusError, outcome);
    const QString target = startPeer(false, modbusTcp);
    QVERIFY(!target.isEmpty());
    TSerialDriver driver;
    driver.setPortName(target + QStringLiteral("?timeout=300"));
    driver.setInputTimeout(100);
    RegisterBus bus(driver, [] { return 3; });
    QVERIFY2(driver.OpenPort(), qPrintable(driver.errorString()));
    QVERIFY(relay_->control(fault + QStringLiteral(" next 1")));
    QCOMPARE(bus.Czytaj(relay::kMeasurementFirst, 12), outcome == BusError::NoError);
    QCOMPARE(bus.error(), outcome);
    // Nothing of the spoiled reply is left to spoil the next exchange.
    QVERIFY2(bus.Czytaj(relay::kMeasurementFirst, 12), qPrintable(bus.errorString()));
    QVERIFY2(bus.Czytaj(relay::kSetpointFirst, 11), qPrintable(bus.errorString()));
}

QTEST_MAIN(TstNetwork)
#include "tst_network.moc"

// vrk-cli as a user runs it: the built program started with QProcess against
// the relay simulator, its exit status, output and files, and what the
// simulator's log shows it sent.
#include "appfixture.h"
#include "setpointtables.h"
#include "simfixture.h"
#include "tests/controls.h"

#include "config/inifile.h"
#include "config/languages.h"
#include "faults/rules.h"
#include "monitor/display.h"
#include "protocol/registerbus.h"
#include "serial/tserialdriver.h"
#include "setpoints/readback.h"
#include "setpoints/rules.h"
#include "setpoints/setpointfile.h"
#include "widgets/controls.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

namespace {

using Exchange = QMap<QString, QString>;

struct Run {
    int status = -1;
    QString out, err;
};

QString lf(QString t) {
    return t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString english(int line) {
    return languages::builtInText(languages::English, line);
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
}

} // namespace

class TstCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void usage_data();
    void usage();
    void lineOptions_data();
    void lineOptions();
    void portsFile_data();
    void portsFile();
    void read_data();
    void read();
    void watch_data();
    void watch();
    void scan_data();
    void scan();
    void scanNamesRefusedReplies_data();
    void scanNamesRefusedReplies();
    void setpointsGet_data();
    void setpointsGet();
    void put_data();
    void put();
    void putUnconfirmed_data();
    void putUnconfirmed();
    void faults_data();
    void faults();
    void clock_data();
    void clock();
    void reset_data();
    void reset();
    void writeWithRetry_data();
    void writeWithRetry();
    void resetAllowed_data();
    void resetAllowed();
    void fileSizeLimit_data();
    void fileSizeLimit();
    void helpRunsNothing_data();
    void helpRunsNothing();
    void optionsAnywhere_data();
    void optionsAnywhere();
    void outputFailure_data();
    void outputFailure();
    void watchIntoClosedPipe();
    void watchOutputs_data();
    void watchOutputs();
    void putExplains_data();
    void putExplains();
    void readKeysStay_data();
    void readKeysStay();
    void refusals_data();
    void refusals();
    void interruptedScan();
    void stopEndsWaits();
    void numbersAndTimes_data();
    void numbersAndTimes();
    void severalRelays();
    void registers_data();
    void registers();
    void dataAsJson_data();
    void dataAsJson();
    void dryRunShowsChanges();
    void journal_data();
    void journal();
    void manualMatchesHelp();

private:
    // The simulator with line timing: replies take their time on the wire, as a real relay's do,
    // so the bus's judgement of a reply's timing holds from the first exchange.
    bool startRelay(QStringList args) {
        return relay_->start(args << QStringLiteral("--line-timing") << QStringLiteral("on"));
    }
    Run run(const QStringList& args, int timeoutMs = 120000, const QStringList& environment = {});
    QList<Exchange> log() const;
    QList<Exchange> writes() const;
    int relayRegister(int reg) const;

    std::unique_ptr<SimRelay> relay_;
    std::unique_ptr<QTemporaryDir> dir_;
    qint64 limitFileSize_ = -1; // bytes; -1: no limit
};

void TstCli::init() {
    relay_ = std::make_unique<SimRelay>();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void TstCli::cleanup() {
    limitFileSize_ = -1;
    relay_.reset();
    dir_.reset();
}

Run TstCli::run(const QStringList& args, int timeoutMs, const QStringList& environment) {
    QProcess p;
    p.setWorkingDirectory(dir_->path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& e : environment)
        env.insert(e.section(QLatin1Char('='), 0, 0), e.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(env);
    if (limitFileSize_ >= 0) // under a file-size limit, as `ulimit -f` sets it
        p.start(QStringLiteral("prlimit"),
                QStringList{QStringLiteral("--fsize=%1").arg(limitFileSize_), QStringLiteral(VRK_CLI_PATH)} +
                    args);
    else
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

QList<Exchange> TstCli::log() const {
    QList<Exchange> out;
    for (const QString& line : relay_->logLines())
        out << SimRelay::parseLogLine(line);
    return out;
}

QList<Exchange> TstCli::writes() const {
    QList<Exchange> out;
    for (const Exchange& e : log())
        if (e.value(QStringLiteral("fn")) == QLatin1String("6")) out << e;
    return out;
}

int TstCli::relayRegister(int reg) const {
    QString answer;
    relay_->control(QStringLiteral("get %1").arg(reg), &answer);
    return answer.mid(3).toInt(nullptr, 0);
}

// ---------------------------------------------------------------- usage

void TstCli::usage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out"); // a text the standard output holds
    QTest::addColumn<QString>("err"); // a text the standard error holds

    const QString port = QStringLiteral("--port");
    QTest::newRow("no command") << QStringList{} << 2 << QString() << QStringLiteral("vrk-cli COMMAND");
    QTest::newRow("unknown command") << QStringList{"bogus"} << 2 << QString() << QStringLiteral("bogus");
    QTest::newRow("address 0") << QStringList{"read", "--address", "0"} << 2 << QString()
                               << QStringLiteral("--address");
    QTest::newRow("address 248") << QStringList{"read", "--address", "248"} << 2 << QString()
                                 << QStringLiteral("--address");
    QTest::newRow("odd speed") << QStringList{"read", "--baud", "1234"} << 2 << QString()
                               << QStringLiteral("1234");
    QTest::newRow("mark parity") << QStringList{"read", "--parity", "mark"} << 2 << QString()
                                 << QStringLiteral("--parity");
    QTest::newRow("6 data bits") << QStringList{"read", "--data-bits", "6"} << 2 << QString()
                                 << QStringLiteral("--data-bits");
    QTest::newRow("unknown option") << QStringList{"read", "--fast"} << 2 << QString()
                                    << QStringLiteral("fast");
    QTest::newRow("stray argument") << QStringList{"faults", "now"} << 2 << QString()
                                    << QStringLiteral("--help");
    QTest::newRow("german") << QStringList{"read", "--lang", "de"} << 2 << QString()
                            << QStringLiteral("--lang");
    QTest::newRow("put without a file")
        << QStringList{"setpoints", "put"} << 2 << QString() << QStringLiteral("--help");
    QTest::newRow("put of a missing file")
        << QStringList{"setpoints", "put", "none.vrk"} << 2 << QString() << QString();
    QTest::newRow("watch interval 0")
        << QStringList{"watch", "--interval-ms", "0"} << 2 << QString() << QStringLiteral("--interval-ms");
    QTest::newRow("watch duration -1")
        << QStringList{"watch", "--duration", "-1"} << 2 << QString() << QStringLiteral("--duration");
    QTest::newRow("clock yesterday") << QStringList{"clock", "set", "--time", "yesterday"} << 2 << QString()
                                     << QStringLiteral("--time");
    QTest::newRow("scan from 9 to 3")
        << QStringList{"scan", "--from", "9", "--to", "3"} << 2 << QString() << QStringLiteral("--to");
    QTest::newRow("no such device") << QStringList{"read", "--port", "/nonexistent/ttyVRK"} << 3 << QString()
                                    << english(30);
    QTest::newRow("version") << QStringList{"--version"} << 0 << QStringLiteral("vrk-cli " VRK_VERSION)
                             << QString();
    QTest::newRow("help") << QStringList{"--help"} << 0 << QStringLiteral("setpoints put") << QString();
    for (const char* command :
         {"scan", "read", "watch", "setpoints get", "setpoints put", "faults", "clock set", "reset"}) {
        QStringList args = QString::fromLatin1(command).split(QLatin1Char(' '));
        QTest::addRow("%s --help", command) << (args << QStringLiteral("--help")) << 0 << port << QString();
    }
}

void TstCli::usage() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const Run r = run(args);
    QCOMPARE(r.status, status);
    QVERIFY2(r.out.contains(out), qPrintable(r.out));
    QVERIFY2(r.err.contains(err), qPrintable(r.err));
    if (status == 3) QVERIFY2(r.err.contains(QStringLiteral("/nonexistent/ttyVRK")), qPrintable(r.err));
}

// ---------------------------------------------------------------- line options

void TstCli::lineOptions_data() {
    QTest::addColumn<int>("iniAddress"); // the address vrk.ini names, 0: no vrk.ini
    QTest::addColumn<int>("relayAddress");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<int>("status");
    QTest::newRow("program defaults") << 0 << 3 << QStringList{} << QStringList{} << 0;
    QTest::newRow("address from vrk.ini") << 7 << 7 << QStringList{} << QStringList{} << 0;
    QTest::newRow("vrk.ini names another relay") << 9 << 3 << QStringList{} << QStringList{} << 1;
    QTest::newRow("--address beats vrk.ini") << 9 << 3 << QStringList{"--address", "3"} << QStringList{} << 0;
    QTest::newRow("--port COM1") << 0 << 3 << QStringList{"--port", "com1"} << QStringList{} << 0;
    QTest::newRow("--port COM2 on the relay")
        << 0 << 3 << QStringList{"--port", "COM2"} << QStringList{"VRK_COM2=@link"} << 0;
    QTest::newRow("--port COM2, no device")
        << 0 << 3 << QStringList{"--port", "COM2"} << QStringList{"VRK_COM2=/nonexistent/ttyVRK2"} << 3;
    QTest::newRow("--port device path")
        << 0 << 3 << QStringList{"--port", "@link",       "--baud", "19200",       "--parity",
                                 "even",   "--stop-bits", "2",      "--data-bits", "8"}
        << QStringList{} << 0;
    QTest::newRow("--timeout-ms 1000") << 0 << 3 << QStringList{"--timeout-ms", "1000"} << QStringList{} << 0;
}

void TstCli::lineOptions() {
    QFETCH(int, iniAddress);
    QFETCH(int, relayAddress);
    QFETCH(QStringList, args);
    QFETCH(QStringList, environment);
    QFETCH(int, status);
    // The relay at the line settings the command line asks for.
    QStringList relayArgs{QStringLiteral("--address"), QString::number(relayAddress)};
    for (const char* option : {"--baud", "--parity", "--data-bits", "--stop-bits"})
        if (const int at = args.indexOf(QLatin1String(option)); at >= 0) relayArgs << args.mid(at, 2);
    QVERIFY(startRelay(relayArgs));
    if (iniAddress) {
        ini::Selections s;
        s.address = iniAddress - 1;
        QVERIFY(writeBytes(dir_->filePath(ini::fileName()), ini::fileText(s)));
    }
    args.replaceInStrings(QStringLiteral("@link"), relay_->linkPath());
    environment.replaceInStrings(QStringLiteral("@link"), relay_->linkPath());
    const Run r =
        run(QStringList{QStringLiteral("read"), QStringLiteral("--json")} + args, 120000, environment);
    QCOMPARE(r.status, status);
    if (status == 0) QVERIFY(QJsonDocument::fromJson(r.out.toUtf8()).isObject());
    if (status == 1) QVERIFY2(r.err.contains(english(32)), qPrintable(r.err));
    if (status == 3) QVERIFY2(r.err.contains(QStringLiteral("/nonexistent/ttyVRK2")), qPrintable(r.err));
}

// The ports file in the working folder names the port's device, below VRK_COMn.
void TstCli::portsFile_data() {
    QTest::addColumn<QByteArray>("ports");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<int>("status");
    const QStringList unset{"VRK_COM1=", "VRK_COM2="};
    QTest::newRow("COM1 from the file") << QByteArray("COM1=@link\n") << QStringList{} << unset << 0;
    QTest::newRow("CR LF, comment, lower case")
        << QByteArray("# the USB adapter\r\ncom2 = @link\r\n") << QStringList{"--port", "COM2"} << unset << 0;
    QTest::newRow("COM1 to another port")
        << QByteArray("COM1=COM9\n") << QStringList{} << (unset + QStringList{"VRK_COM9=@link"}) << 0;
    QTest::newRow("VRK_COM1 wins over the file")
        << QByteArray("COM1=@link\n") << QStringList{} << QStringList{"VRK_COM1=/nonexistent/ttyVRK1"} << 3;
    QTest::newRow("the file's device missing")
        << QByteArray("COM1=/nonexistent/ttyVRK1\n") << QStringList{} << unset << 3;
}

void TstCli::portsFile() {
    QFETCH(QByteArray, ports);
    QFETCH(QStringList, args);
    QFETCH(QStringList, environment);
    QFETCH(int, status);
    QVERIFY(startRelay({}));
    QVERIFY(writeBytes(dir_->filePath(QStringLiteral("ports")),
                       ports.replace("@link", relay_->linkPath().toUtf8())));
    environment.replaceInStrings(QStringLiteral("@link"), relay_->linkPath());
    const Run r =
        run(QStringList{QStringLiteral("read"), QStringLiteral("--json")} + args, 120000, environment);
    QVERIFY2(r.status == status, qPrintable(QStringLiteral("status %1: %2").arg(r.status).arg(r.err)));
    if (status == 0) QVERIFY(QJsonDocument::fromJson(r.out.toUtf8()).isObject());
    if (status == 3) QVERIFY2(r.err.contains(QStringLiteral("/nonexistent/ttyVRK1")), qPrintable(r.err));
}

// ---------------------------------------------------------------- read

void TstCli::read_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("nominal"); // register 12
    QTest::addColumn<int>("faultWord");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("amperes"); // Ir, Is, It, average as the data page shows them
    QTest::addColumn<QStringList>("faults");

    QTest::newRow("100 A, healthy") << 2 << 25 << 0 << "en" << QStringList{"11,8", "11,7", "12,0", "11,8"}
                                    << QStringList{};
    QTest::newRow("20 A, short and unbalance")
        << 1 << 125 << 0x06 << "en" << QStringList{"11,8", "11,7", "12,0", "11,8"}
        << QStringList{english(25), english(26)};
    QTest::newRow("250 A, undervoltage, Polish")
        << 3 << 125 << 0x10 << "pl" << QStringList{"118", "117", "120", "118"} << QStringList{"U<85%Un"};
    QTest::newRow("100 A, overload, Russian")
        << 2 << 40 << 0x01 << "ru" << QStringList{"19,0", "18,8", "19,2", "19,0"}
        << QStringList{languages::builtInText(languages::Russian, 24)};
}

void TstCli::read() {
    QFETCH(int, variant);
    QFETCH(int, nominal);
    QFETCH(int, faultWord);
    QFETCH(QString, lang);
    QFETCH(QStringList, amperes);
    QFETCH(QStringList, faults);
    QVERIFY(startRelay({QStringLiteral("--variant"), QString::number(variant), QStringLiteral("--freeze")}));
    const int regs[] = {95, 94, 96, 400, 401, 399, 80, 85, 1234};
    for (int i = 0; i < 9; ++i)
        QVERIFY(relay_->control(QStringLiteral("set %1 %2").arg(i + 1).arg(regs[i])));
    QVERIFY(relay_->control(QStringLiteral("set 12 %1").arg(nominal)));
    QVERIFY(relay_->control(QStringLiteral("fault %1").arg(faultWord)));
    QVERIFY(relay_->control(QStringLiteral("set 11 %1").arg(faultWord ? 0x0200 : 0x0100)));

    const Run text = run({QStringLiteral("read"), QStringLiteral("--lang"), lang, QStringLiteral("--decimal"),
                          QStringLiteral("comma")});
    QCOMPARE(text.status, 0);
    QVERIFY2(text.out.contains(QStringLiteral("Ir=95 %  Is=94 %  It=96 %")), qPrintable(text.out));
    QVERIFY2(text.out.contains(
                 QStringLiteral("Ir=%1 A  Is=%2 A  It=%3 A").arg(amperes[0], amperes[1], amperes[2])),
             qPrintable(text.out));
    QVERIFY2(text.out.contains(QStringLiteral("Ur=400 V  Us=401 V  Ut=399 V")), qPrintable(text.out));
    QVERIFY2(text.out.contains(QStringLiteral("cos(fi)=0,85")), qPrintable(text.out));
    QVERIFY2(text.out.contains(QStringLiteral("Q=80 %")), qPrintable(text.out));
    const languages::Language language = lang == QLatin1String("pl")   ? languages::Polish
                                         : lang == QLatin1String("ru") ? languages::Russian
                                                                       : languages::English;
    QVERIFY2(text.out.contains(languages::builtInText(language, 17)), qPrintable(text.out));
    for (const QString& f : faults)
        QVERIFY2(text.out.contains(f), qPrintable(text.out));
    QVERIFY2(text.out.contains(
                 faultWord
                     ? QStringLiteral("K1=%1  K2=%2").arg(QStringLiteral("off"), QStringLiteral("on"))
                     : QStringLiteral("K1=%1  K2=%2").arg(QStringLiteral("on"), QStringLiteral("off"))) ||
                 lang != QLatin1String("en"),
             qPrintable(text.out));

    const Run json = run({QStringLiteral("read"), QStringLiteral("--json")});
    QCOMPARE(json.status, 0);
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QCOMPARE(o.value(QStringLiteral("currents_percent")).toArray(), (QJsonArray{95, 94, 96}));
    const QJsonArray a = o.value(QStringLiteral("currents_amperes")).toArray();
    QCOMPARE(a.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(a[i].toDouble(), QString(amperes[i]).replace(QLatin1Char(','), QLatin1Char('.')).toDouble());
    QCOMPARE(o.value(QStringLiteral("voltages")).toArray(), (QJsonArray{400, 401, 399}));
    QCOMPARE(o.value(QStringLiteral("heat_percent")).toInt(), 80);
    QCOMPARE(o.value(QStringLiteral("cos_phi")).toDouble(), 0.85);
    QCOMPARE(o.value(QStringLiteral("power_kw")).toDouble(), 12.34);
    QCOMPARE(o.value(QStringLiteral("fault_word")).toInt(), faultWord);
    QCOMPARE(o.value(QStringLiteral("k1")).toBool(), faultWord == 0);
    QCOMPARE(o.value(QStringLiteral("k2")).toBool(), faultWord != 0);
    QCOMPARE(o.value(QStringLiteral("variant")).toInt(), variant);
    if (lang == QLatin1String("en"))
        QCOMPARE(o.value(QStringLiteral("faults")).toArray().size(), faults.size());
}

// ---------------------------------------------------------------- watch

void TstCli::watch_data() {
    QTest::addColumn<int>("stopSignal"); // stopped by this signal, else (0) by --duration
    QTest::addColumn<int>("duration");   // seconds
    QTest::addColumn<QStringList>("simArgs");
    QTest::newRow("ten seconds") << 0 << 10 << QStringList{};
    QTest::newRow("five seconds, a fifth of the replies lost") << 0 << 5 << QStringList{"--no-reply", "0.2"};
    QTest::newRow("SIGTERM") << int(SIGTERM) << 0 << QStringList{};
    QTest::newRow("SIGINT (Ctrl+C)") << int(SIGINT) << 0 << QStringList{};
}

void TstCli::watch() {
    QFETCH(int, stopSignal);
    QFETCH(int, duration);
    QFETCH(QStringList, simArgs);
    QVERIFY(startRelay(simArgs));
    const QString csv = dir_->filePath(QStringLiteral("motor.csv"));
    QStringList args{QStringLiteral("watch"), QStringLiteral("--csv"), csv, QStringLiteral("--interval-ms"),
                     QStringLiteral("100")};
    Run r;
    if (!stopSignal) {
        r = run(args << QStringLiteral("--duration") << QString::number(duration));
    } else {
        QProcess p;
        p.setWorkingDirectory(dir_->path());
        p.start(QStringLiteral(VRK_CLI_PATH), args);
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(csv).count('\n') >= 4, 30000);
        ::kill(pid_t(p.processId()), stopSignal);
        QVERIFY(p.waitForFinished(30000));
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.err = QString::fromUtf8(p.readAllStandardError());
    }
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.contains(QStringLiteral("lost")), qPrintable(r.err));

    const QByteArray bytes = fileBytes(csv);
    QVERIFY(bytes.endsWith('\n')); // flushed whole: the last row is complete
    const QStringList rows = QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(rows.size() >= 3);
    QCOMPARE(rows[0],
             QStringLiteral("time,Ir_percent,Is_percent,It_percent,Ur_V,Us_V,Ut_V,heat_percent,cos_phi,"
                            "P_kW,fault_word,K1,K2,In_setting,lost_reads,address,status,reason"));
    // Every row is one reply of the simulator: the twelve registers it sent, decoded.
    QList<QList<int>> replies;
    int failedReads = 0;
    for (const Exchange& e : log()) {
        if (e.value(QStringLiteral("fn")) != QLatin1String("3") ||
            e.value(QStringLiteral("reg")) != QLatin1String("1"))
            continue;
        if (!e.contains(QStringLiteral("values")) ||
            e.value(QStringLiteral("action")) != QLatin1String("reply")) {
            ++failedReads;
            continue;
        }
        QList<int> v;
        for (const QString& f : e.value(QStringLiteral("values")).split(QLatin1Char(',')))
            v << f.toInt();
        replies << v;
    }
    QVERIFY(rows.filter(QStringLiteral(",ok,")).size() <= replies.size());
    int lastLost = 0;
    for (int i = 1; i < rows.size(); ++i) {
        const QStringList f = rows[i].split(QLatin1Char(','));
        QVERIFY2(f.size() >= 18, qPrintable(rows[i]));
        QCOMPARE(f[15], QStringLiteral("3"));
        if (f[16] == QLatin1String("lost")) { // a row for each lost read, with its count
            QVERIFY(f[14].toInt() > lastLost);
            lastLost = f[14].toInt();
            continue;
        }
        QCOMPARE(f[16], QStringLiteral("ok"));
        QVERIFY2(QDateTime::fromString(f[0], Qt::ISODateWithMs).isValid(), qPrintable(f[0]));
        QVERIFY2(f[0].contains(QLatin1Char('.')), qPrintable(f[0]));
        QList<int> decoded;
        for (int k = 1; k <= 7; ++k)
            decoded << f[k].toInt();
        decoded << qRound(f[8].toDouble() * 100) << qRound(f[9].toDouble() * 100) << f[10].toInt();
        const int k1 = f[11].toInt(), k2 = f[12].toInt();
        const int in = f[13].toInt();
        bool sent = false;
        for (const QList<int>& v : replies) {
            if (v.size() < 12) continue;
            bool same = true;
            for (int k = 0; k < 10 && same; ++k)
                same = (k < 3 ? (v[k] < 10 ? 0 : v[k]) : v[k]) == decoded[k];
            same = same && bool(v[10] & 0x100) == bool(k1) && bool(v[10] & 0x200) == bool(k2) && v[11] == in;
            if (same) sent = true;
        }
        QVERIFY2(sent, qPrintable(QStringLiteral("row %1 was never sent: %2").arg(i).arg(rows[i])));
        QVERIFY(f[14].toInt() >= lastLost);
        lastLost = f[14].toInt();
    }
    QVERIFY(lastLost <= failedReads);
}

// ---------------------------------------------------------------- scan

void TstCli::scan_data() {
    QTest::addColumn<bool>("fullRange");
    QTest::addColumn<bool>("allSpeeds");
    QTest::newRow("five addresses") << false << false;
    QTest::newRow("five addresses, every speed") << false << true;
    QTest::newRow("1-247") << true << false;
}

void TstCli::scan() {
    QFETCH(bool, fullRange);
    QFETCH(bool, allSpeeds);
    const int address = QRandomGenerator::global()->bounded(1, 248);
    QVERIFY(startRelay({QStringLiteral("--address"), QString::number(address), QStringLiteral("--variant"),
                        QStringLiteral("3")}));
    QStringList args{QStringLiteral("scan")};
    if (!fullRange)
        args << QStringLiteral("--from") << QString::number(std::max(1, address - 2))
             << QStringLiteral("--to") << QString::number(std::min(247, address + 2));
    if (allSpeeds) args << QStringLiteral("--all-speeds");
    const Run r = run(args, 300000);
    QCOMPARE(r.status, 0);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // The relay answers at its own 4800 bit/s without parity and, since a
    // pseudo-terminal cannot show even parity, with even parity too.
    QCOMPARE(lines.size(), allSpeeds ? 2 : 1);
    for (const QString& l : lines) {
        QVERIFY2(l.startsWith(QStringLiteral("address=%1 line=").arg(address)), qPrintable(l));
        QVERIFY2(l.endsWith(QStringLiteral("variant=3 (250 A)")), qPrintable(l));
    }
    // Only register 23 was asked for.
    for (const Exchange& e : log())
        if (e.contains(QStringLiteral("fn"))) QCOMPARE(e.value(QStringLiteral("reg")), QStringLiteral("23"));

    relay_->stop();
    const Run none =
        run({QStringLiteral("scan"), QStringLiteral("--from"), QStringLiteral("1"), QStringLiteral("--to"),
             QStringLiteral("2"), QStringLiteral("--port"), relay_->linkPath()});
    QVERIFY(none.status == 1 || none.status == 3);
}

// A reply the bus refuses never makes a relay found: the scan names it on
// standard error and lists nothing (no phantom address beside the relay).
void TstCli::scanNamesRefusedReplies_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("said"); // on standard error, after "address=N line=...: "
    QTest::newRow("another device") << QStringLiteral("other-address 1")
                                    << busErrorText(BusError::OtherDevice, QByteArray::fromHex("2b"));
    QTest::newRow("refused: busy") << QStringLiteral("exception 1")
                                   << busErrorText(BusError::Exception, QByteArray::fromHex("2a8306"));
}

void TstCli::scanNamesRefusedReplies() {
    QFETCH(QString, command);
    QFETCH(QString, said);
    QVERIFY(startRelay({QStringLiteral("--address"), QStringLiteral("42")}));
    QVERIFY(relay_->control(command));
    const Run r =
        run({QStringLiteral("scan"), QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--from"),
             QStringLiteral("41"), QStringLiteral("--to"), QStringLiteral("43")});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.out.trimmed().isEmpty(), qPrintable(r.out));
    QVERIFY2(r.err.contains(QStringLiteral("address=42 line=4800 8N1: ") + said), qPrintable(r.err));
    // The silent addresses are not listed one by one.
    QVERIFY2(!r.err.contains(QStringLiteral("address=41")), qPrintable(r.err));
}

// ---------------------------------------------------------------- setpoints get

void TstCli::setpointsGet_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<QStringList>("commands"); // control commands before the read
    QTest::addColumn<QList<int>>("failing");   // the parameters that fail their check
    QTest::newRow("100 A, defaults") << 2 << QStringList{} << QList<int>{};
    QTest::newRow("20 A, changed") << 1 << QStringList{"set 12 150", "set 14 12", "set 22 7"} << QList<int>{};
    QTest::newRow("250 A, changed") << 3 << QStringList{"set 12 200", "set 19 45"} << QList<int>{};
    // A relay value outside its range is backed up as it is, with a warning.
    QTest::newRow("250 A, Un out of range") << 3 << QStringList{"set 19 450"} << QList<int>{8};
    QTest::newRow("100 A, Un and Td out of range")
        << 2 << QStringList{"set 19 20", "set 22 99"} << QList<int>{8, 11};
}

void TstCli::setpointsGet() {
    QFETCH(int, variant);
    QFETCH(QStringList, commands);
    QFETCH(QList<int>, failing);
    QVERIFY(startRelay({QStringLiteral("--variant"), QString::number(variant), QStringLiteral("--freeze")}));
    // The relay's clock holds still: both reads see the same date and time.
    QVERIFY(relay_->control(QStringLiteral("clock 12 06 09 05")));
    QVERIFY(relay_->control(QStringLiteral("clock stop")));
    for (const QString& c : commands)
        QVERIFY(relay_->control(c));

    // The table.
    const Run table = run({QStringLiteral("setpoints"), QStringLiteral("get")});
    QCOMPARE(table.status, failing.isEmpty() ? 0 : 5);
    const QStringList lines = table.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), setpoints::kRows);
    const setpoints::Row0Texts row0 = *setpoints::row0Texts(variant);
    QVERIFY2(lines[0].contains(english(row0.nameLabel - 11)), qPrintable(lines[0]));
    QVERIFY2(lines[0].contains(row0.hint), qPrintable(lines[0]));
    QVERIFY2(lines[12].contains(QStringLiteral("12.06")), qPrintable(lines[12]));
    QVERIFY2(lines[13].contains(QStringLiteral("09:05")), qPrintable(lines[13]));
    QVERIFY2(lines[11].contains(english(44)), qPrintable(lines[11]));

    // The file, and the window's save of the same relay.
    const QString cliFile = dir_->filePath(QStringLiteral("cli"));
    const Run get = run({QStringLiteral("setpoints"), QStringLiteral("get"), cliFile});
    if (!failing.isEmpty()) {
        QCOMPARE(get.status, 5);
        for (int n : failing)
            QVERIFY2(get.err.contains(QStringLiteral("Parameter %1 (").arg(n)), qPrintable(get.err));
        const QStringList saved = setpoints::readSetpointFile(cliFile + QStringLiteral(".vrk")).lines;
        QCOMPARE(saved.size(), setpoints::kRows);
        for (int n : failing) // the relay's value as it is, the one the table shows
            QVERIFY2(!saved[n - 1].isEmpty() &&
                         lines[n - 1].contains(QLatin1Char(' ') + saved[n - 1] + QLatin1Char(' ')),
                     qPrintable(lines[n - 1]));
        return;
    }
    QCOMPARE(get.status, 0);
    QCOMPARE(get.out.trimmed(), cliFile + QStringLiteral(".vrk"));
    const QString windowFile = dir_->filePath(QStringLiteral("window.vrk"));
    {
        AppFixture app;
        app.start();
        TForm1* f = app.f1();
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
        QVERIFY(f->SerialDriver1->IsOpen());
        QTest::mouseClick(f->SpeedButton22, Qt::LeftButton);
        QTest::mouseClick(control<QToolButton>(f, "SpeedButton6"), Qt::LeftButton);
        auto* grid = f->findChild<StringGrid*>(QStringLiteral("StringGrid1"));
        QTRY_COMPARE_WITH_TIMEOUT(grid->cell(3, setpoints::kTimeRow), QStringLiteral("09:05"), 10000);
        app.saveAnswers << windowFile;
        QTest::mouseClick(control<QToolButton>(f, "SpeedButton10"), Qt::LeftButton);
        QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
        QVERIFY(app.errorBoxes.isEmpty());
    }
    const QByteArray window = fileBytes(windowFile);
    QVERIFY(!window.isEmpty());
    QCOMPARE(fileBytes(cliFile + QStringLiteral(".vrk")), window);
}

// ---------------------------------------------------------------- setpoints put

void TstCli::put_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("written");

    QStringList badCurrent = validTable();
    badCurrent[0] = QStringLiteral("99,9");
    QStringList badTwo = validTable();
    badTwo[2] = QStringLiteral("31");
    badTwo[7] = QStringLiteral("1000");
    QStringList changed = validTable();
    changed[3] = QStringLiteral("55");
    changed[10] = QStringLiteral("4,5");
    QTest::newRow("valid") << validTable() << QStringList{} << 0 << true;
    QTest::newRow("valid, changed, no read-back") << changed << QStringList{"--no-verify"} << 0 << true;
    QTest::newRow("dry run") << changed << QStringList{"--dry-run"} << 0 << false;
    QTest::newRow("current out of range") << badCurrent << QStringList{} << 2 << false;
    QTest::newRow("two bad, Polish") << badTwo << QStringList{"--lang", "pl"} << 2 << false;
    QTest::newRow("two bad, Russian, dry run")
        << badTwo << QStringList{"--lang", "ru", "--dry-run"} << 2 << false;
    QTest::newRow("empty file") << QStringList{} << QStringList{} << 2 << false;
}

void TstCli::put() {
    QFETCH(QStringList, cells);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(bool, written);
    QVERIFY(startRelay({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze")}));
    const QString file = dir_->filePath(QStringLiteral("in.vrk"));
    QVERIFY(writeBytes(file, setpoints::setpointFileBytes(cells)));

    const Run r = run(QStringList{QStringLiteral("setpoints"), QStringLiteral("put"), file} + options);
    QVERIFY2(r.status == status, qPrintable(QStringLiteral("status %1: %2").arg(r.status).arg(r.err)));
    const QList<Exchange> w = writes();
    if (!written) {
        QVERIFY2(w.isEmpty(), "nothing may be written");
        QStringList padded = cells;
        while (padded.size() < setpoints::kRows)
            padded << QString();
        const QList<int> failing = setpoints::invalidParameters(padded);
        if (!failing.isEmpty()) {
            const int lang = options.indexOf(QStringLiteral("--lang"));
            const languages::Language language = lang < 0 ? languages::English
                                                 : options[lang + 1] == QLatin1String("pl")
                                                     ? languages::Polish
                                                     : languages::Russian;
            const QString message =
                setpoints::writeRefusalMessage(languages::builtInText(language, 72), failing);
            QVERIFY2(r.err.startsWith(lf(message).trimmed() + QLatin1Char('\n')), qPrintable(r.err));
            for (int n : failing)
                QVERIFY2(r.err.contains(QStringLiteral("\n%1 (").arg(n)) ||
                             r.err.contains(QStringLiteral(" %1 (").arg(n)),
                         qPrintable(r.err));
        } else {
            QCOMPARE(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), setpoints::kWrittenRows);
        }
        return;
    }
    // Registers 12..22 in order, each once (no reply was lost), with the file's values.
    const std::array<int, setpoints::kWrittenRows> values = setpoints::writeValues(cells);
    QCOMPARE(w.size(), setpoints::kWrittenRows);
    for (int i = 0; i < setpoints::kWrittenRows; ++i) {
        QCOMPARE(w[i].value(QStringLiteral("reg")).toInt(), setpoints::kFirstRegister + i);
        QCOMPARE(w[i].value(QStringLiteral("value")).toInt(), values[size_t(i)]);
        QCOMPARE(relayRegister(setpoints::kFirstRegister + i), values[size_t(i)]);
    }
    // The read-back follows the last write, unless it was not asked for.
    bool readBack = false;
    bool afterLast = false;
    for (const Exchange& e : log()) {
        if (e.value(QStringLiteral("fn")) == QLatin1String("6") &&
            e.value(QStringLiteral("reg")) == QLatin1String("22"))
            afterLast = true;
        if (afterLast && e.value(QStringLiteral("fn")) == QLatin1String("3") &&
            e.value(QStringLiteral("reg")) == QLatin1String("12"))
            readBack = true;
    }
    QCOMPARE(readBack, !options.contains(QStringLiteral("--no-verify")));
}

void TstCli::putUnconfirmed_data() {
    QTest::addColumn<int>("row"); // the setpoint whose four tries the relay leaves unanswered
    QTest::newRow("parameter 1") << 0;
    QTest::newRow("parameter 5") << 4;
    QTest::newRow("parameter 11") << 10;
}

void TstCli::putUnconfirmed() {
    QFETCH(int, row);
    // The replies before that register pass (late by 0 ms), then four are lost.
    // The first request reads the relay's variant, before the writes.
    QStringList simArgs{QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze")};
    simArgs << QStringLiteral("--command") << QStringLiteral("late-ms 0") << QStringLiteral("--command")
            << QStringLiteral("late next %1").arg(row + 1);
    simArgs << QStringLiteral("--command")
            << QStringLiteral("noreply next %1").arg(setpoints::kWriteAttempts);
    QVERIFY(startRelay(simArgs));
    const QString file = dir_->filePath(QStringLiteral("in.vrk"));
    QVERIFY(writeBytes(file, setpoints::setpointFileBytes(validTable())));
    const Run r = run({QStringLiteral("setpoints"), QStringLiteral("put"), file});
    QCOMPARE(r.status, 1);
    const int nameLine = row == 0 ? setpoints::row0Texts(2)->nameLabel - 11 : 33 + row;
    const QString name = setpoints::parameterName(english(nameLine));
    QVERIFY2(r.err.contains(QStringLiteral("%1. %2").arg(row + 1).arg(name)), qPrintable(r.err));
    QVERIFY2(r.err.contains(QStringLiteral(
                 "The relay did not confirm these setpoints:") /* vrk-cli speaks English by default */),
             qPrintable(r.err));
    // Four tries of that register, all unanswered; every other register once, in order.
    const QList<Exchange> w = writes();
    QCOMPARE(w.size(), setpoints::kWriteAttempts + setpoints::kWrittenRows - 1);
    QList<int> order;
    for (const Exchange& e : w) {
        const int reg = e.value(QStringLiteral("reg")).toInt();
        order << reg;
        QCOMPARE(e.value(QStringLiteral("action")) == QLatin1String("noreply"),
                 reg == setpoints::kFirstRegister + row);
    }
    QList<int> expected;
    for (int i = 0; i < setpoints::kWrittenRows; ++i)
        for (int k = 0; k < (i == row ? setpoints::kWriteAttempts : 1); ++k)
            expected << setpoints::kFirstRegister + i;
    QCOMPARE(order, expected);
}

// ---------------------------------------------------------------- faults

void TstCli::faults_data() {
    QTest::addColumn<bool>("csv");
    QTest::addColumn<int>("language");
    QTest::newRow("csv") << true << int(languages::English);
    QTest::newRow("table") << false << int(languages::English);
    QTest::newRow("table, Polish") << false << int(languages::Polish);
}

void TstCli::faults() {
    QFETCH(bool, csv);
    QFETCH(int, language);
    const auto lang = languages::Language(language);
    QVERIFY(startRelay({QStringLiteral("--freeze"), QStringLiteral("--empty-memory")}));
    const int month = QDate::currentDate().month();
    QVERIFY(relay_->control(QStringLiteral("record 0 0x01 %1 1 10 20").arg(month)));
    QVERIFY(relay_->control(QStringLiteral("record 7 0x06 %1 2 11 30").arg(month)));
    QVERIFY(relay_->control(QStringLiteral("record 33 0x10 %1 1 9 15").arg(month)));
    QStringList args{QStringLiteral("faults"), QStringLiteral("--lang"),
                     lang == languages::Polish ? QStringLiteral("pl") : QStringLiteral("en")};
    if (csv) args << QStringLiteral("--csv");
    const Run r = run(args);
    QCOMPARE(r.status, 0);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), csv ? 4 : faults::kRecords + 1); // CSV lists no empty slot
    // Newest first: the 2nd before the two of the 1st (10:20 after 9:15).
    faults::FaultTexts texts;
    for (int i = 0; i < 5; ++i)
        texts.causes[size_t(i)] = languages::builtInText(lang, 67 + i);
    for (int m = 0; m < 12; ++m)
        texts.months[size_t(m)] = languages::builtInText(lang, 77 + m);
    const auto hex = [](int v) { return quint8((v / 10) * 16 + v % 10); };
    const faults::FaultRecord expected[3] = {{0x06, hex(month), 0x02, 0x11, 0x30},
                                             {0x01, hex(month), 0x01, 0x10, 0x20},
                                             {0x10, hex(month), 0x01, 0x09, 0x15}};
    for (int n = 0; n < 3; ++n) {
        const faults::FaultRow row = faults::faultRow(expected[n], texts);
        const QString line = lines[n + 1];
        if (csv) { // numbers, not month names; hours padded
            QVERIFY2(line.startsWith(QString::number(n + 1) + QLatin1Char(',')), qPrintable(line));
            const faults::FaultRecord& e = expected[n];
            QVERIFY2(line.endsWith(QStringLiteral(",%1,%2,%3:%4")
                                       .arg(month)
                                       .arg(e.day, 0, 16)
                                       .arg(e.hour, 2, 16, QLatin1Char('0'))
                                       .arg(e.minute, 2, 16, QLatin1Char('0'))),
                     qPrintable(line));
        } else {
            QVERIFY2(line.contains(row.date) && line.endsWith(row.time), qPrintable(line));
        }
        QVERIFY2(line.contains(csv ? row.cause.simplified() : row.cause.trimmed()), qPrintable(line));
    }
    // The empty slots list nothing.
    if (!csv) QVERIFY2(lines[4].trimmed() == QStringLiteral("4"), qPrintable(lines[4]));
}

// ---------------------------------------------------------------- clock and reset

void TstCli::clock_data() {
    QTest::addColumn<QString>("time");
    QTest::addColumn<int>("dateRegister");
    QTest::addColumn<int>("timeRegister");
    QTest::newRow("5 March, 07:09") << "2026-03-05T07:09" << 0x0305 << 0x0709;
    QTest::newRow("New Year's Eve") << "2026-12-31T23:59:30" << 0x1231 << 0x2359;
}

void TstCli::clock() {
    QFETCH(QString, time);
    QFETCH(int, dateRegister);
    QFETCH(int, timeRegister);
    QVERIFY(startRelay({QStringLiteral("--freeze")}));
    const Run r = run({QStringLiteral("clock"), QStringLiteral("set"), QStringLiteral("--time"), time});
    QCOMPARE(r.status, 0);
    const QList<Exchange> w = writes();
    QCOMPARE(w.size(), 2);
    QCOMPARE(w[0].value(QStringLiteral("reg")).toInt(), 24);
    QCOMPARE(w[0].value(QStringLiteral("value")).toInt(), dateRegister);
    QCOMPARE(w[1].value(QStringLiteral("reg")).toInt(), 25);
    QCOMPARE(w[1].value(QStringLiteral("value")).toInt(), timeRegister);
}

void TstCli::reset_data() {
    QTest::addColumn<QString>("trip");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("sent");
    QTest::newRow("short circuit") << "short" << 0 << true;
    QTest::newRow("healthy") << "none" << 0 << true;
    QTest::newRow("overload: refused") << "overload" << 4 << false;
}

void TstCli::reset() {
    QFETCH(QString, trip);
    QFETCH(int, status);
    QFETCH(bool, sent);
    QVERIFY(startRelay({QStringLiteral("--freeze")}));
    QVERIFY(relay_->control(QStringLiteral("trip ") + trip));
    const Run r = run({QStringLiteral("reset")});
    QCOMPARE(r.status, status);
    const QList<Exchange> w = writes();
    QCOMPARE(w.size(), sent ? 1 : 0);
    if (sent) {
        QCOMPARE(w[0].value(QStringLiteral("reg")), QStringLiteral("10"));
        QCOMPARE(w[0].value(QStringLiteral("value")), QStringLiteral("0"));
        QCOMPARE(relayRegister(10), 0);
    } else {
        QVERIFY(relayRegister(10) & 0x01);
    }
}

// ---------------------------------------------------------------- the rules shared with the window

void TstCli::writeWithRetry_data() {
    QTest::addColumn<int>("refusals"); // tries the relay leaves unanswered before it confirms
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<int>("tries");
    QTest::newRow("first try") << 0 << true << 1;
    QTest::newRow("third try") << 2 << true << 3;
    QTest::newRow("last try") << 3 << true << 4;
    QTest::newRow("never") << 99 << false << 4;
}

void TstCli::writeWithRetry() {
    QFETCH(int, refusals);
    QFETCH(bool, confirmed);
    QFETCH(int, tries);
    QStringList calls;
    const bool result =
        setpoints::writeWithRetry([&](std::uint32_t ms) { calls << QStringLiteral("wait %1").arg(ms); },
                                  [&](int reg, int value) {
                                      calls << QStringLiteral("write %1=%2").arg(reg).arg(value);
                                      return refusals-- <= 0;
                                  },
                                  15, 40);
    QCOMPARE(result, confirmed);
    QStringList expected;
    for (int i = 0; i < tries; ++i)
        expected << QStringLiteral("wait 50") << QStringLiteral("write 15=40");
    QCOMPARE(calls, expected);
}

void TstCli::resetAllowed_data() {
    QTest::addColumn<int>("faultWord");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("healthy") << 0 << true;
    QTest::newRow("overload") << 0x01 << false;
    QTest::newRow("overload and short") << 0x03 << false;
    QTest::newRow("short") << 0x02 << true;
    QTest::newRow("every other fault") << 0x7E << true;
}

void TstCli::resetAllowed() {
    QFETCH(int, faultWord);
    QFETCH(bool, allowed);
    QCOMPARE(display::resetAllowed(faultWord), allowed);
}

void TstCli::fileSizeLimit_data() {
    QTest::addColumn<qint64>("limit"); // bytes
    QTest::newRow("nothing may be written") << qint64(0);
    QTest::newRow("the file does not fit") << qint64(20);
}

// A save beyond the file-size limit is a reported failure, not the end of the
// program by SIGXFSZ (status 153 in a shell) with the file cut.
void TstCli::fileSizeLimit() {
    QFETCH(qint64, limit);
    QVERIFY(startRelay({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze")}));
    const QString file = dir_->filePath(QStringLiteral("limited.vrk"));
    QVERIFY(writeBytes(file, "old\n"));
    limitFileSize_ = limit;
    const Run get = run({QStringLiteral("setpoints"), QStringLiteral("get"), file});
    QVERIFY2(get.status != -1, "vrk-cli was ended by a signal");
    QVERIFY(get.status != 0);
    QVERIFY2(get.err.contains(file), qPrintable(get.err));
    QVERIFY2(get.err.contains(QStringLiteral("size limit")), qPrintable(get.err));
    QCOMPARE(fileBytes(file), QByteArray("old\n")); // the old file stays whole
}

// ---------------------------------------------------------------- scripting

// Help in any spelling and place shows the help and does nothing else.
void TstCli::helpRunsNothing_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("reset --help-all") << QStringList{"reset", "--help-all"};
    QTest::newRow("put --help-all") << QStringList{"setpoints", "put", "@file", "--help-all"};
    QTest::newRow("clock set --help-all") << QStringList{"clock", "set", "--help-all"};
    QTest::newRow("-h before the command") << QStringList{"-h", "reset"};
    QTest::newRow("regs write --yes --help") << QStringList{"regs", "write", "14", "12", "--yes", "--help"};
    QTest::newRow("help reset") << QStringList{"help", "reset"};
}

void TstCli::helpRunsNothing() {
    QFETCH(QStringList, args);
    QVERIFY(startRelay({QStringLiteral("--freeze")}));
    QVERIFY(relay_->control(QStringLiteral("trip short")));
    const QString file = dir_->filePath(QStringLiteral("ok.vrk"));
    QVERIFY(writeBytes(file, setpoints::setpointFileBytes(validTable())));
    const Run r = run(args.replaceInStrings(QStringLiteral("@file"), file));
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.startsWith(QStringLiteral("Usage: vrk-cli ")), qPrintable(r.out));
    QVERIFY2(log().isEmpty(), "nothing may be sent");
}

void TstCli::optionsAnywhere_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("--port before read")
        << QStringList{"--port", "@link", "read", "--json"} << 0 << "\"variant\": 2" << QString();
    QTest::newRow("--lang=pl --help")
        << QStringList{"--lang=pl", "--help"} << 0 << "setpoints put" << QString();
    QTest::newRow("between group and subcommand")
        << QStringList{"setpoints", "--address", "3", "get"} << 0 << "In" << QString();
    QTest::newRow("setpoints --help")
        << QStringList{"setpoints", "--help"} << 0 << "setpoints get" << QString();
    QTest::newRow("help") << QStringList{"help"} << 0 << "regs write" << QString();
    QTest::newRow("-V") << QStringList{"-V"} << 0 << "vrk-cli " VRK_VERSION << QString();
    QTest::newRow("unknown option: hint")
        << QStringList{"read", "-x"} << 2 << QString() << "See vrk-cli read --help.";
    QTest::newRow("--duration nan") << QStringList{"watch", "--duration", "nan"} << 2 << QString()
                                    << "--duration";
    QTest::newRow("--duration inf") << QStringList{"watch", "--duration", "inf"} << 2 << QString()
                                    << "--duration";
    QTest::newRow("address list beyond 247")
        << QStringList{"read", "--address", "200-250"} << 2 << QString() << "1 to 247";
    QTest::newRow("watch --csv -: the standard output")
        << QStringList{"watch", "--csv", "-", "--duration", "0.3"} << 0 << "time,Ir_percent" << QString();
    QTest::newRow("-v traces the frames") << QStringList{"read", "-v"} << 0 << "Ir="
                                          << "sent 8 of 8 bytes: 03 03 00 00 00 0c";
    QTest::newRow("--json where no data") << QStringList{"reset", "--json"} << 2 << QString() << "json";
}

void TstCli::optionsAnywhere() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QVERIFY(startRelay({QStringLiteral("--variant"), QStringLiteral("2")}));
    const Run r = run(args.replaceInStrings(QStringLiteral("@link"), relay_->linkPath()));
    QVERIFY2(r.status == status, qPrintable(r.err));
    QVERIFY2(r.out.contains(out), qPrintable(r.out));
    QVERIFY2(r.err.contains(err), qPrintable(r.err));
    QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("-"))));
}

// A standard output that cannot be written (a full disk) is a failure, said.
void TstCli::outputFailure_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("read --json") << QStringList{"read", "--json"};
    QTest::newRow("faults --csv") << QStringList{"faults", "--csv"};
    QTest::newRow("setpoints get") << QStringList{"setpoints", "get"};
    QTest::newRow("watch") << QStringList{"watch", "--duration", "1"};
    QTest::newRow("scan") << QStringList{"scan", "--from", "3", "--to", "3"};
}

void TstCli::outputFailure() {
    QFETCH(QStringList, args);
    QVERIFY(startRelay({}));
    QProcess p;
    p.setStandardOutputFile(QStringLiteral("/dev/full"));
    p.start(QStringLiteral(VRK_CLI_PATH), args);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 2);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains(QStringLiteral("Cannot write the standard output")), qPrintable(err));
    QVERIFY2(!err.contains(QStringLiteral("reads,")), qPrintable(err)); // no summary of success
}

// With SIGPIPE ignored, as services run, a closed pipe ends the logging.
void TstCli::watchIntoClosedPipe() {
    QVERIFY(startRelay({}));
    QProcess sh;
    sh.start(QStringLiteral("bash"),
             {QStringLiteral("-c"),
              QStringLiteral("trap '' PIPE; '%1' watch --interval-ms 50 | head -3 >/dev/null; "
                             "exit ${PIPESTATUS[0]}")
                  .arg(QStringLiteral(VRK_CLI_PATH))});
    QVERIFY(sh.waitForFinished(30000));
    QCOMPARE(sh.exitCode(), 2);
    QVERIFY(QString::fromUtf8(sh.readAllStandardError()).contains(QStringLiteral("standard output")));
}

// The CSV file: only a regular file, untouched when the port fails, appended to when asked.
void TstCli::watchOutputs_data() {
    QTest::addColumn<QString>("target"); // @dir: in the test's folder
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<bool>("relay");        // the port opens
    QTest::addColumn<QByteArray>("before"); // the file's bytes before; "fifo": a FIFO
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("rowsAdded"); // -1: the file unchanged
    QTest::addColumn<qint64>("limit");  // file-size limit, -1 none
    const QByteArray old = "time,old\n1,2\n";
    QTest::newRow("port fails: file kept")
        << "@dir/log.csv" << QStringList{} << false << old << 3 << -1 << qint64(-1);
    QTest::newRow("FIFO refused at once")
        << "@dir/fifo" << QStringList{} << true << QByteArray("fifo") << 2 << -1 << qint64(-1);
    QTest::newRow("device refused") << "/dev/full" << QStringList{} << true << QByteArray() << 2 << -1
                                    << qint64(-1);
    QTest::newRow("append keeps the rows")
        << "@dir/log.csv" << QStringList{"--append"} << true << old << 0 << 1 << qint64(-1);
    QTest::newRow("size limit: whole rows")
        << "@dir/log.csv" << QStringList{} << true << QByteArray() << 2 << 0 << qint64(600);
}

void TstCli::watchOutputs() {
    QFETCH(QString, target);
    QFETCH(QStringList, extra);
    QFETCH(bool, relay);
    QFETCH(QByteArray, before);
    QFETCH(int, status);
    QFETCH(int, rowsAdded);
    QFETCH(qint64, limit);
    if (relay) QVERIFY(startRelay({}));
    target.replace(QStringLiteral("@dir"), dir_->path());
    if (before == "fifo")
        QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {target}), 0);
    else if (!before.isEmpty())
        QVERIFY(writeBytes(target, before));
    limitFileSize_ = limit;
    QStringList args{QStringLiteral("watch"),
                     QStringLiteral("--csv"),
                     target,
                     QStringLiteral("--duration"),
                     QStringLiteral("1.5"),
                     QStringLiteral("--port"),
                     relay ? relay_->linkPath() : QStringLiteral("/nonexistent/ttyVRK")};
    const Run r = run(args + extra, 20000);
    QVERIFY2(r.status == status, qPrintable(r.err));
    if (status != 0 && status != 3) QVERIFY2(r.err.contains(target), qPrintable(r.err));
    if (before == "fifo" || target.startsWith(QLatin1String("/dev"))) return;
    const QByteArray after = fileBytes(target);
    if (rowsAdded < 0) {
        QCOMPARE(after, before);
        return;
    }
    QVERIFY(after.startsWith(before));
    QVERIFY(after.endsWith('\n')); // whole rows only
    const QList<QByteArray> rows = after.mid(before.size()).split('\n');
    QVERIFY2(rows.size() - 1 >= rowsAdded, after.constData());
    if (!before.isEmpty()) QVERIFY(!rows[0].startsWith("time")); // no second header
    if (limit > 0) QVERIFY(after.size() <= limit);
}

// A refused file says which parameter, its value, the range, and the usual slip.
void TstCli::putExplains_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("said");
    QTest::newRow("point for a comma") << 10 << "2.5"
                                       << "comma: 2,5";
    QTest::newRow("trailing space") << 3 << "55 "
                                    << "space";
    QTest::newRow("out of range") << 7 << "600"
                                  << "Un= 350-550 [V]";
}

void TstCli::putExplains() {
    QFETCH(int, row);
    QFETCH(QString, value);
    QFETCH(QString, said);
    QStringList cells = validTable();
    cells[row] = value;
    QProcess p; // the file on the standard input
    p.start(QStringLiteral(VRK_CLI_PATH),
            {QStringLiteral("setpoints"), QStringLiteral("put"), QStringLiteral("-")});
    QVERIFY(p.waitForStarted());
    p.write(setpoints::setpointFileBytes(cells));
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 2);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    const QString name = setpoints::parameterName(english(33 + row));
    QVERIFY2(err.contains(
                 QStringLiteral("Parameter %1 (%2): the file's value \"%3\"").arg(row + 1).arg(name, value)),
             qPrintable(err));
    QVERIFY2(err.contains(said), qPrintable(err));
}

// read --json has the same keys whatever is unknown; null and a reason then.
void TstCli::readKeysStay_data() {
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("unknown"); // the key whose reason is given
    QTest::addColumn<QStringList>("extra");
    const QStringList keys{"--command",   "late-ms 0", "--command",
                           "late next 1", "--command", "noreply next 5"};
    const QStringList none;
    QTest::newRow("known") << QStringList{"--variant", "2"} << 0 << QString() << none;
    QTest::newRow("variant 0") << QStringList{"--variant", "2", "--command", "set 23 0"} << 0
                               << "amperes_unknown" << none;
    QTest::newRow("In 0") << QStringList{"--variant", "2", "--command", "set 12 0"} << 0 << "amperes_unknown"
                          << none;
    QTest::newRow("variant not read")
        << (QStringList{"--variant", "2"} + keys) << 5 << "variant_unknown" << none;
    QTest::newRow("first read lost, asked again")
        << QStringList{"--variant", "2", "--command", "noreply next 1"} << 0 << QString()
        << QStringList{"--retries", "1"};
}

void TstCli::readKeysStay() {
    QFETCH(QStringList, simArgs);
    QFETCH(int, status);
    QFETCH(QString, unknown);
    QFETCH(QStringList, extra);
    QVERIFY(startRelay(simArgs << QStringLiteral("--freeze")));
    const Run r = run(QStringList{QStringLiteral("read"), QStringLiteral("--json")} + extra);
    QVERIFY2(r.status == status, qPrintable(r.err));
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QStringList keys = o.keys();
    const QString fixed = QStringLiteral(
        "address amperes_unknown average_current_amperes average_current_percent average_voltage cos_phi "
        "currents_amperes currents_percent fault_word faults heat_percent k1 k2 nominal_current_raw power_kw "
        "time "
        "variant variant_name variant_unknown voltages");
    QCOMPARE(keys, fixed.split(QLatin1Char(' ')));
    QCOMPARE(o.value(QStringLiteral("currents_amperes")).toArray().size(), 3);
    QCOMPARE(o.value(QStringLiteral("currents_amperes")).toArray()[0].isNull(), !unknown.isEmpty());
    if (!unknown.isEmpty()) QVERIFY(!o.value(unknown).toString().isEmpty());
    if (status == 5) QVERIFY2(r.err.contains(QStringLiteral("Warning")), qPrintable(r.err));
}

// Refused before anything is sent: status 4, nothing written.
void TstCli::refusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("put for another variant") << QStringList{"setpoints", "put", "@file"};
    QTest::newRow("dry run for another variant") << QStringList{"setpoints", "put", "@file", "--dry-run"};
    QTest::newRow("reset in overload") << QStringList{"reset"};
    QTest::newRow("register write without --yes") << QStringList{"regs", "write", "14", "12"};
}

void TstCli::refusals() {
    QFETCH(QStringList, args);
    QVERIFY(startRelay({QStringLiteral("--variant"), QStringLiteral("3"), QStringLiteral("--freeze")}));
    QVERIFY(relay_->control(QStringLiteral("trip overload")));
    const QString file = dir_->filePath(QStringLiteral("v2.vrk"));
    QVERIFY(writeBytes(file, setpoints::setpointFileBytes(validTable()))); // variant 2
    const Run r = run(args.replaceInStrings(QStringLiteral("@file"), file));
    QVERIFY2(r.status == (args[0] == QLatin1String("regs") ? 2 : 4), qPrintable(r.err));
    QVERIFY(writes().isEmpty());
    if (args.contains(QStringLiteral("put")))
        QVERIFY2(r.err.contains(QStringLiteral("variant 2")), qPrintable(r.err));
}

// Ctrl+C ends a scan early: it says where, and the status says it is incomplete.
void TstCli::interruptedScan() {
    QVERIFY(startRelay({QStringLiteral("--address"), QStringLiteral("1")}));
    QProcess p;
    p.setWorkingDirectory(dir_->path());
    p.start(QStringLiteral(VRK_CLI_PATH), {QStringLiteral("scan"), QStringLiteral("--json")});
    QVERIFY(p.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(log().size() >= 5, 20000);
    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 5);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("incomplete")));
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    QCOMPARE(o.value(QStringLiteral("complete")).toBool(true), false);
    QCOMPARE(o.value(QStringLiteral("relays")).toArray().size(), 1);
}

// Ctrl+C during a write to a silent relay ends it at the next wait, not after every retry.
void TstCli::stopEndsWaits() {
    QVERIFY(startRelay({QStringLiteral("--command"), QStringLiteral("late-ms 0"), QStringLiteral("--command"),
                        QStringLiteral("late next 1"), QStringLiteral("--command"),
                        QStringLiteral("noreply next 100")}));
    const QString file = dir_->filePath(QStringLiteral("ok.vrk"));
    QVERIFY(writeBytes(file, setpoints::setpointFileBytes(validTable())));
    QProcess p;
    p.setWorkingDirectory(dir_->path());
    p.start(QStringLiteral(VRK_CLI_PATH), {QStringLiteral("setpoints"), QStringLiteral("put"), file});
    QVERIFY(p.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(writes().size() >= 2, 20000);
    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 5);
    QVERIFY(writes().size() < setpoints::kWriteAttempts * 2); // the second register's tries cut short
    const QString journal = QString::fromUtf8(fileBytes(dir_->filePath(QStringLiteral("journal.csv"))));
    QVERIFY2(journal.count(QStringLiteral("not sent")) >= setpoints::kWrittenRows - 2, qPrintable(journal));
}

// One decimal separator per output; times with their offset from UTC.
void TstCli::numbersAndTimes_data() {
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("power");  // P=... in read
    QTest::addColumn<QString>("csvCos"); // cos phi in a CSV row, with its separators
    QTest::newRow("point") << "point"
                           << "cos(fi)=0.85  P=12.34 kW"
                           << ",0.85,12.34,";
    QTest::newRow("comma") << "comma"
                           << "cos(fi)=0,85  P=12,34 kW"
                           << ";0,85;12,34;";
}

void TstCli::numbersAndTimes() {
    QFETCH(QString, decimal);
    QFETCH(QString, power);
    QFETCH(QString, csvCos);
    QVERIFY(startRelay({QStringLiteral("--freeze")}));
    QVERIFY(relay_->control(QStringLiteral("set 8 85")));
    QVERIFY(relay_->control(QStringLiteral("set 9 1234")));
    const Run text = run({QStringLiteral("read"), QStringLiteral("--decimal"), decimal});
    QVERIFY2(text.out.contains(power), qPrintable(text.out));
    const Run csv = run({QStringLiteral("watch"), QStringLiteral("--duration"), QStringLiteral("0.5"),
                         QStringLiteral("--decimal"), decimal},
                        30000, {QStringLiteral("TZ=Europe/Warsaw")});
    const QStringList rows = csv.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(rows.size() >= 2);
    QVERIFY2(rows[1].contains(csvCos), qPrintable(rows[1]));
    QVERIFY2(QRegularExpression(
                 QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\+0[12]:00[,;]"))
                 .match(rows[1])
                 .hasMatch(),
             qPrintable(rows[1]));
}

// Several relays on one bus: a row per relay and read, the silent one's rows lost.
void TstCli::severalRelays() {
    QVERIFY(startRelay({}));
    const Run r = run({QStringLiteral("watch"), QStringLiteral("--address"), QStringLiteral("3,4"),
                       QStringLiteral("--duration"), QStringLiteral("1.5"), QStringLiteral("--timeout-ms"),
                       QStringLiteral("100")});
    QCOMPARE(r.status, 0);
    QMap<QString, QSet<QString>> states; // by address
    for (const QString& row : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1))
        states[row.section(QLatin1Char(','), 15, 15)] << row.section(QLatin1Char(','), 16, 16);
    QCOMPARE(states.value(QStringLiteral("3")), QSet<QString>{QStringLiteral("ok")});
    QCOMPARE(states.value(QStringLiteral("4")), QSet<QString>{QStringLiteral("lost")});
    const Run json = run({QStringLiteral("read"), QStringLiteral("--json"), QStringLiteral("--address"),
                          QStringLiteral("3-4"), QStringLiteral("--timeout-ms"), QStringLiteral("100")});
    QCOMPARE(json.status, 1); // one relay did not answer
    QCOMPARE(QJsonDocument::fromJson(json.out.toUtf8()).array().size(), 1);
}

void TstCli::registers_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("out");
    QTest::addColumn<int>("written"); // register 14 afterwards
    QTest::newRow("read hex") << QStringList{"regs", "read", "0x17"} << "23 2 0x0002" << -1;
    QTest::newRow("read two") << QStringList{"regs", "read", "13", "2", "--json"} << "\"start\": 13" << -1;
    QTest::newRow("write") << QStringList{"regs", "write", "14", "12", "--yes"} << QString() << 12;
}

void TstCli::registers() {
    QFETCH(QStringList, args);
    QFETCH(QString, out);
    QFETCH(int, written);
    QVERIFY(startRelay({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze")}));
    const Run r = run(args);
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains(out), qPrintable(r.out));
    if (written >= 0) QCOMPARE(relayRegister(14), written);
}

// Every command that prints data prints it as JSON too, with its units and times.
void TstCli::dataAsJson_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("path"); // key/index/key... to a value
    QTest::addColumn<QString>("value");
    QTest::newRow("setpoints get") << QStringList{"setpoints", "get", "--json"} << "setpoints/7/range"
                                   << "Un= 350-550 [V]";
    QTest::newRow("faults") << QStringList{"faults", "--json"} << "records/0/time"
                            << "09:15";
    QTest::newRow("clock get") << QStringList{"clock", "get", "--json"} << "time"
                               << "09:05";
    QTest::newRow("scan") << QStringList{"scan", "--from", "3", "--to", "3", "--json"}
                          << "relays/0/variant_name"
                          << "100 A";
}

void TstCli::dataAsJson() {
    QFETCH(QStringList, args);
    QFETCH(QString, path);
    QFETCH(QString, value);
    QVERIFY(startRelay({QStringLiteral("--freeze"), QStringLiteral("--empty-memory")}));
    QVERIFY(relay_->control(QStringLiteral("clock 12 06 09 05")));
    QVERIFY(relay_->control(QStringLiteral("clock stop")));
    QVERIFY(relay_->control(QStringLiteral("record 0 0x01 %1 1 9 15").arg(QDate::currentDate().month())));
    const Run r = run(args);
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QJsonValue v = QJsonDocument::fromJson(r.out.toUtf8()).object();
    for (const QString& step : path.split(QLatin1Char('/'))) {
        bool index = false;
        const int i = step.toInt(&index);
        v = index ? v.toArray().at(i) : v.toObject().value(step);
    }
    QCOMPARE(v.toVariant().toString(), value);
}

// The dry run reads the relay and shows each parameter's relay and file value.
void TstCli::dryRunShowsChanges() {
    QVERIFY(startRelay({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze")}));
    QVERIFY(relay_->control(QStringLiteral("set 15 55")));
    QStringList cells = validTable();
    cells[3] = QStringLiteral("60");
    const QString file = dir_->filePath(QStringLiteral("in.vrk"));
    QVERIFY(writeBytes(file, setpoints::setpointFileBytes(cells)));
    const Run r =
        run({QStringLiteral("setpoints"), QStringLiteral("put"), file, QStringLiteral("--dry-run")});
    QCOMPARE(r.status, 0);
    QVERIFY(writes().isEmpty());
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), setpoints::kWrittenRows);
    QVERIFY2(QRegularExpression(QStringLiteral("^15 .* 55 +-> 60 +changes$")).match(lines[3]).hasMatch(),
             qPrintable(lines[3]));
}

// Changes of the relay are journaled, unless asked not to be.
void TstCli::journal_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("journal"); // the file expected, empty: none
    QTest::addColumn<int>("rows");
    QTest::newRow("put") << QStringList{"setpoints", "put", "@file"} << "journal.csv" << 11;
    QTest::newRow("clock, own file") << QStringList{"clock", "set", "--journal", "@dir/j.csv"} << "j.csv"
                                     << 2;
    QTest::newRow("reset") << QStringList{"reset"} << "journal.csv" << 1;
    QTest::newRow("register") << QStringList{"regs", "write", "14", "12", "--yes"} << "journal.csv" << 1;
    QTest::newRow("--no-journal") << QStringList{"reset", "--no-journal"} << QString() << 0;
}

void TstCli::journal() {
    QFETCH(QStringList, args);
    QFETCH(QString, journal);
    QFETCH(int, rows);
    QVERIFY(startRelay({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze")}));
    const QString file = dir_->filePath(QStringLiteral("ok.vrk"));
    QVERIFY(writeBytes(file, setpoints::setpointFileBytes(validTable())));
    args.replaceInStrings(QStringLiteral("@file"), file)
        .replaceInStrings(QStringLiteral("@dir"), dir_->path());
    const Run r = run(args);
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const QStringList files = QDir(dir_->path()).entryList({QStringLiteral("*.csv")});
    QCOMPARE(files, journal.isEmpty() ? QStringList() : QStringList{journal});
    if (journal.isEmpty()) return;
    const QString text = QString::fromUtf8(fileBytes(dir_->filePath(journal)));
    QCOMPARE(text.count(QStringLiteral("vrk-cli")), rows);
    QCOMPARE(text.count(QStringLiteral("not confirmed")), 0);
}

// The manual page names every option the program's help names, and no other.
void TstCli::manualMatchesHelp() {
    const QString manual = QString::fromUtf8(fileBytes(QStringLiteral(VRK_CLI_MANUAL)));
    QVERIFY(!manual.isEmpty());
    QSet<QString> inHelp, inManual;
    const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-zA-Z][\\w-]*"));
    for (const char* command : {"scan", "read", "watch", "setpoints get", "setpoints put", "faults",
                                "clock get", "clock set", "reset", "regs read", "regs write"}) {
        const Run r = run(QString::fromLatin1(command).split(QLatin1Char(' ')) << QStringLiteral("--help"));
        QCOMPARE(r.status, 0);
        for (const QString& line : r.out.split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("  -"))) // an option's line, not its description
                for (auto m = option.globalMatch(line.section(QStringLiteral("  "), 1, 1)); m.hasNext();)
                    inHelp << m.next().captured();
    }
    // The page's font changes (\fB) and escaped hyphens (\-) as a reader sees them.
    const QString plain =
        QString(manual).remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]"))).remove(QLatin1Char('\\'));
    for (auto m = option.globalMatch(plain); m.hasNext();)
        inManual << m.next().captured();
    inManual.remove(QStringLiteral("-l")); // man -l
    QCOMPARE(inManual - inHelp, QSet<QString>());
    QCOMPARE(inHelp - inManual, QSet<QString>());
}

QTEST_MAIN(TstCli)
#include "tst_cli.moc"

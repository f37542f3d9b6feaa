// The ports file and VRK_COMn: which device a port of the settings opens,
// the same on Linux and Windows (this suite runs under Wine as well).
#include "config/portmap.h"
#include "ports/portlist.h"
#include "serial/tserialdriver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using PortTargets = QMap<int, QString>;

class TstPortmap : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void withTarget_data();
    void withTarget();
    void targetOf_data();
    void targetOf();
    void devicePathInWorkingFolder_data();
    void devicePathInWorkingFolder();
    void writeTargetKeepsOtherLines();
    void nameFromById_data();
    void nameFromById();
    void linuxList();
    void windowsList();
};

using Ports = QList<portlist::Port>;

void TstPortmap::parse_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<PortTargets>("targets");
    QTest::newRow("empty") << QByteArray() << PortTargets{};
    QTest::newRow("device") << QByteArray("COM1=/dev/ttyUSB0\n") << PortTargets{{1, "/dev/ttyUSB0"}};
    QTest::newRow("CR LF, no last end, lower case, spaces")
        << QByteArray("com1 = COM7\r\n  COM2=/dev/serial/by-id/usb-x \r\nCOM3=tcp://10.0.0.5:502")
        << PortTargets{{1, "COM7"}, {2, "/dev/serial/by-id/usb-x"}, {3, "tcp://10.0.0.5:502"}};
    QTest::newRow("comments and other lines")
        << QByteArray("# COM1=/dev/x\nCOMx=/dev/y\nport COM2=/dev/z\nCOM0=/dev/a\nCOM257=/dev/b\n")
        << PortTargets{};
    QTest::newRow("the last line of a port wins")
        << QByteArray("COM1=/dev/a\nCOM1=/dev/b\n") << PortTargets{{1, "/dev/b"}};
    QTest::newRow("an empty target removes") << QByteArray("COM1=/dev/a\nCOM1=\n") << PortTargets{};
    QTest::newRow("target keeps '=' and case")
        << QByteArray("COM2=rtu+tcp://Host:502?a=b\n") << PortTargets{{2, "rtu+tcp://Host:502?a=b"}};
    QTest::newRow("UTF-8 path") << QByteArray("COM1=/home/\xc5\x82ukasz/com1\n")
                                << PortTargets{{1, QString::fromUtf8("/home/\xc5\x82ukasz/com1")}};
}

void TstPortmap::parse() {
    QFETCH(QByteArray, text);
    QFETCH(PortTargets, targets);
    QCOMPARE(portmap::parse(text), targets);
}

void TstPortmap::withTarget_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("new file") << QByteArray() << 1 << "COM7" << QByteArray("COM1=COM7\n");
    QTest::newRow("replaces in place, keeps the rest")
        << QByteArray("# my adapter\nCOM1=/dev/ttyUSB0\nCOM2=/dev/ttyS1\n") << 1 << "/dev/ttyACM0"
        << QByteArray("# my adapter\nCOM1=/dev/ttyACM0\nCOM2=/dev/ttyS1\n");
    QTest::newRow("CR LF stays, duplicates go")
        << QByteArray("COM2=a\r\ncom2=b\r\nCOM1=x") << 2 << "COM3" << QByteArray("COM2=COM3\r\nCOM1=x\r\n");
    QTest::newRow("appends") << QByteArray("COM1=x") << 2 << "tcp://h:502"
                             << QByteArray("COM1=x\nCOM2=tcp://h:502\n");
    QTest::newRow("empty removes") << QByteArray("COM1=x\nCOM2=y\n") << 1 << "" << QByteArray("COM2=y\n");
}

void TstPortmap::withTarget() {
    QFETCH(QByteArray, text);
    QFETCH(int, port);
    QFETCH(QString, target);
    QFETCH(QByteArray, result);
    const QByteArray out = portmap::withTarget(text, port, target);
    QCOMPARE(out, result);
    // What was written reads back as written.
    QCOMPARE(portmap::parse(out).value(port), target);
}

void TstPortmap::targetOf_data() {
    QTest::addColumn<QString>("portName");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<PortTargets>("file");
    QTest::addColumn<QString>("target");
    const PortTargets file{{1, "/dev/ttyUSB0"}, {2, "com12"}, {3, "tcp://10.0.0.5:502"}};
    QTest::newRow("nothing named") << "\\\\.\\COM1"
                                   << "" << PortTargets{} << "";
    QTest::newRow("file") << "\\\\.\\COM1"
                          << "" << file << "/dev/ttyUSB0";
    QTest::newRow("environment wins") << "\\\\.\\COM1"
                                      << "/dev/ttyS4" << file << "/dev/ttyS4";
    QTest::newRow("blank environment is unset") << "\\\\.\\COM1"
                                                << "  " << file << "/dev/ttyUSB0";
    QTest::newRow("another port") << "\\\\.\\COM2"
                                  << "" << file << "\\\\.\\COM12";
    QTest::newRow("environment names a port") << "\\\\.\\com1"
                                              << "COM7" << file << "\\\\.\\COM7";
    QTest::newRow("network target carried through") << "\\\\.\\COM3"
                                                    << "" << file << "tcp://10.0.0.5:502";
    QTest::newRow("port not in the file") << "\\\\.\\COM4"
                                          << "" << file << "";
    QTest::newRow("a device path is no port") << "/dev/ttyUSB0"
                                              << "/x" << file << "";
}

void TstPortmap::targetOf() {
    QFETCH(QString, portName);
    QFETCH(QString, environment);
    QFETCH(PortTargets, file);
    QFETCH(QString, target);
    QCOMPARE(portmap::targetOf(portName, environment, file), target);
}

// The driver's device for a port, with a ports file in the working folder.
void TstPortmap::devicePathInWorkingFolder_data() {
    QTest::addColumn<QByteArray>("ports"); // the file's text; empty: no file
    QTest::addColumn<QByteArray>("com1");  // VRK_COM1; empty: unset
    QTest::addColumn<QString>("path");
#ifdef Q_OS_WIN
    const QString plain = QStringLiteral("\\\\.\\COM1");
    const QString com7 = QStringLiteral("\\\\.\\COM7");
#else
    const QString plain = QStringLiteral("/dev/ttyS0");
    const QString com7 = QStringLiteral("/dev/ttyS6");
#endif
    QTest::newRow("no file") << QByteArray() << QByteArray() << plain;
    QTest::newRow("device") << QByteArray("COM1=/dev/ttyUSB0\n") << QByteArray() << "/dev/ttyUSB0";
    QTest::newRow("another port") << QByteArray("COM1=COM7\n") << QByteArray() << com7;
    QTest::newRow("network target") << QByteArray("COM1=tcp://10.0.0.5:502\n") << QByteArray()
                                    << "tcp://10.0.0.5:502";
    QTest::newRow("VRK_COM1 wins") << QByteArray("COM1=COM7\n") << QByteArray("/dev/ttyACM3")
                                   << "/dev/ttyACM3";
    QTest::newRow("other port only") << QByteArray("COM2=/dev/ttyUSB1\n") << QByteArray() << plain;
}

void TstPortmap::devicePathInWorkingFolder() {
    QFETCH(QByteArray, ports);
    QFETCH(QByteArray, com1);
    QFETCH(QString, path);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    if (!ports.isEmpty()) {
        QFile f(QStringLiteral("ports"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(ports) == ports.size());
    }
    if (com1.isEmpty())
        qunsetenv("VRK_COM1");
    else
        qputenv("VRK_COM1", com1);
    const QString got = TSerialDriver::devicePath(QStringLiteral("\\\\.\\COM1"));
    qunsetenv("VRK_COM1");
    QDir::setCurrent(before);
    QCOMPARE(got, path);
}

// The port window's save: the chosen port changes, the user's other lines stay.
void TstPortmap::writeTargetKeepsOtherLines() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ports"));
    QString error;
    QVERIFY2(portmap::writeTarget(path, 2, QStringLiteral("COM9"), &error), qPrintable(error));
    QVERIFY2(portmap::writeTarget(path, 1, QStringLiteral("/dev/ttyUSB0"), &error), qPrintable(error));
    QVERIFY2(portmap::writeTarget(path, 2, QStringLiteral("COM4"), &error), qPrintable(error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("COM2=COM4\nCOM1=/dev/ttyUSB0\n"));
    // A folder where the file should be: refused with a reason, nothing lost.
    const QString folder = dir.filePath(QStringLiteral("sub"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/ports")));
    error.clear();
    QVERIFY(!portmap::writeTarget(folder + QStringLiteral("/ports"), 1, QStringLiteral("COM3"), &error));
    QVERIFY(!error.isEmpty());
}

void TstPortmap::nameFromById_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("name");
    QTest::newRow("adapter") << "usb-Serial_Adapter_A1B2C3-if00-port0"
                             << "Serial Adapter A1B2C3";
    QTest::newRow("no port") << "usb-Modem_12-if02"
                             << "Modem 12";
    QTest::newRow("port only") << "pci-Board_X-port1"
                               << "Board X";
    QTest::newRow("nothing to strip") << "Some__Device"
                                      << "Some Device";
}

void TstPortmap::nameFromById() {
    QFETCH(QString, link);
    QFETCH(QString, name);
    QCOMPARE(portlist::nameFromById(link), name);
}

// A device reached by a by-id link is listed once, by the link; the rest by
// their device names; COM-like order.
void TstPortmap::linuxList() {
    const QMap<QString, QString> byId{{"usb-Serial_Adapter_B-if00-port0", "/dev/ttyUSB1"},
                                      {"usb-Serial_Adapter_A-if00-port0", "/dev/ttyUSB0"}};
    const Ports got =
        portlist::fromLinux(byId, {"/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyS2", "/dev/ttyUSB1"});
    const Ports want{
        {"/dev/serial/by-id/usb-Serial_Adapter_A-if00-port0", "/dev/ttyUSB0", "Serial Adapter A"},
        {"/dev/serial/by-id/usb-Serial_Adapter_B-if00-port0", "/dev/ttyUSB1", "Serial Adapter B"},
        {"/dev/ttyS2", "/dev/ttyS2", ""},
        {"/dev/ttyS10", "/dev/ttyS10", ""},
    };
    QCOMPARE(got, want);
}

void TstPortmap::windowsList() {
    const QMap<QString, QString> serialComm{{"\\Device\\Serial0", "COM1"},
                                            {"\\Device\\VCP0", "COM12"},
                                            {"\\Device\\VCP1", "com3"},
                                            {"\\Device\\Odd", "LPT1"}};
    const QMap<QString, QString> names{{"COM12", "USB Serial Port (COM12)"},
                                       {"COM1", "Communications Port (COM1)"}};
    const Ports want{
        {"COM1", "\\Device\\Serial0", "Communications Port"},
        {"COM3", "\\Device\\VCP1", ""},
        {"COM12", "\\Device\\VCP0", "USB Serial Port"},
    };
    QCOMPARE(portlist::fromWindows(serialComm, names), want);
}

QTEST_GUILESS_MAIN(TstPortmap)
#include "tst_portmap.moc"

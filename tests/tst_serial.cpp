// The serial driver: its property rules, its loops and polling against a
// scripted backend with its own clock, and the real thing over a
// pseudo-terminal.
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "serial/controlblock.h"
#include "serial/serialbackend.h"
#include "serial/termiosline.h"
#include "serial/testing/pseudoterminal.h"
#include "serial/tserialdriver.h"
#include "tests/tracecapture.h"

namespace {

const QString com2 = QStringLiteral("\\\\.\\COM2");

// ---- a backend whose line and clock the test drives

struct FakeLine {
    bool open = false;
    int opens = 0;
    std::string path;
    bool refuseLineState = false;
    std::vector<DeviceControlBlock> lineStates;
    std::vector<std::pair<uint32_t, uint32_t>> queueSizes;
    std::vector<std::pair<bool, bool>> purges;
    int shortTimeouts = 0;

    // Input: bytes waiting now, and bytes that arrive at a given tick.
    std::deque<uint8_t> input;
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> arrivals;
    // Output: what went out; at most writeChunk bytes per call, and a call
    // takes bytes only every writeGap ms.
    std::vector<uint8_t> output;
    uint32_t writeChunk = UINT32_MAX;
    uint32_t writeGap = 0;
    uint32_t nextWrite = 0;
    uint32_t txWaiting = 0;

    bool modemKnown = false;
    uint32_t modemBits = 0;

    uint32_t now = 1000;

    void arrive() {
        for (auto it = arrivals.begin(); it != arrivals.end();) {
            if (int32_t(now - it->first) >= 0) {
                input.insert(input.end(), it->second.begin(), it->second.end());
                it = arrivals.erase(it);
            } else {
                ++it;
            }
        }
    }
    void queue(std::initializer_list<uint8_t> bytes) { input.insert(input.end(), bytes); }
};

class FakeBackend final : public SerialBackend {
public:
    explicit FakeBackend(std::shared_ptr<FakeLine> line) : l(std::move(line)) {}
    bool open(const std::string& path) override {
        l->path = path;
        ++l->opens;
        l->open = true;
        return true;
    }
    void close() override { l->open = false; }
    bool isOpen() const override { return l->open; }
    bool applyLineState(const DeviceControlBlock& dcb) override {
        l->lineStates.push_back(dcb);
        return !l->refuseLineState;
    }
    bool setQueueSizes(uint32_t rx, uint32_t tx) override {
        l->queueSizes.emplace_back(rx, tx);
        return true;
    }
    bool setShortTimeouts() override {
        ++l->shortTimeouts;
        return true;
    }
    bool purge(bool rx, bool tx) override {
        l->purges.emplace_back(rx, tx);
        if (rx) l->input.clear();
        return true;
    }
    bool inputCount(uint32_t& count) override {
        l->arrive();
        count = uint32_t(l->input.size());
        return true;
    }
    bool outputCount(uint32_t& count) override {
        count = l->txWaiting;
        return true;
    }
    bool modemStatus(uint32_t& bits) override {
        bits = l->modemBits;
        return l->modemKnown;
    }
    bool read(void* buffer, uint32_t size, uint32_t& count) override {
        l->arrive();
        auto* p = static_cast<uint8_t*>(buffer);
        count = 0;
        while (count < size && !l->input.empty()) {
            p[count++] = l->input.front();
            l->input.pop_front();
        }
        return true;
    }
    bool write(const void* data, uint32_t size, uint32_t& count) override {
        count = 0;
        if (int32_t(l->now - l->nextWrite) < 0) return true;
        count = std::min(size, l->writeChunk);
        const auto* p = static_cast<const uint8_t*>(data);
        l->output.insert(l->output.end(), p, p + count);
        l->nextWrite = l->now + l->writeGap;
        return true;
    }
    // Time passes until the wait is over or the next bytes arrive.
    void waitReadable(uint32_t ms) override {
        uint32_t until = l->now + ms;
        for (const auto& a : l->arrivals)
            if (int32_t(a.first - l->now) > 0 && int32_t(a.first - until) < 0) until = a.first;
        l->now = until;
    }
    void waitWritable(uint32_t ms) override { l->now += ms; }
    uint32_t ticks() const override { return l->now; }

private:
    std::shared_ptr<FakeLine> l;
};

struct FakeRig {
    std::shared_ptr<FakeLine> line = std::make_shared<FakeLine>();
    TSerialDriver driver{std::make_unique<FakeBackend>(line), nullptr};
};

QTimer* pollTimerOf(TSerialDriver& d) {
    return d.findChild<QTimer*>(QStringLiteral("pollTimer"));
}

// Waits without running the event loop (so the polling timer stays away)
// until at least n bytes wait in the driver's receive queue.
bool waitForInput(TSerialDriver& d, uint32_t n) {
    for (int i = 0; i < 5000; ++i) {
        if (d.InputCount() >= n) return true;
        usleep(1000);
    }
    return false;
}

std::vector<uint8_t> bytes(const QByteArray& hex) {
    const QByteArray b = QByteArray::fromHex(hex);
    return std::vector<uint8_t>(b.begin(), b.end());
}

} // namespace

class TestSerial : public QObject {
    Q_OBJECT
private slots:
    // ---- properties
    void defaults();
    void portSetsName_data();
    void portSetsName();
    void portNameMakesPortCustom();
    void baudRateAndValue();
    void bufSizesClamped_data();
    void bufSizesClamped();
    void packetSize_data();
    void packetSize();
    void packetTimeout_data();
    void packetTimeout();
    void pollingDelay_data();
    void pollingDelay();
    void packetTransferTime_data();
    void packetTransferTime();
    void devicePath_data();
    void devicePath();
    void controlBlock_data();
    void controlBlock();
    void closedPort();

    // ---- against the scripted backend
    void openAppliesSettings();
    void openTwiceChangesNothing();
    void refusedSettingsLeavePortClosed();
    void settingsWhileOpen();
    void pollingTimerFollowsPort();
    void readInactivityLimit();
    void readAcrossTickWrap();
    void transferTimesKept_data();
    void transferTimesKept();
    void writeNoProgressLimit();
    void writeWaitsForModemLine();
    void outputRoomIn16Bits();
    void modemLines_data();
    void modemLines();
    void pollDrainsOrHandsOver();
    void pollReadsAtMostInBufSize();
    void holdPollingNests();
    void packetsDelivered();
    void partialPacketTimeout_data();
    void partialPacketTimeout();
    void restAfterPacketsKeepsItsTime();
    void purgeForgetsPacketStart();
    void handlerMayClosePort();

    // ---- over a pseudo-terminal
    void ptyOpenTwiceAndBusy();
    void ptyMissingOrNotTerminal();
    void termiosTranslation_data();
    void termiosTranslation();
    void termiosRefusesOddBlocks();
    void ptyLineSettings();
    void ptyRestoresTerminal();
    void ptyBinaryBothWays();
    void ptyReadNothing();
    void ptyReadHalfReply();
    void ptyReadKeepsGoingWhileBytesCome();
    void ptyCheckLineStatus();
    void ptyUnsolicitedBytesDrained();
    void ptyPurge();
    void ptyComNameMapping();

    // ---- why a port fails, a line left set up, the far end gone
    void lineFaultOfErrno_data();
    void lineFaultOfErrno();
    void termiosHoldsRule_data();
    void termiosHoldsRule();
    void openFailureReasons_data();
    void openFailureReasons();
    void permissionHint_data();
    void permissionHint();
    void busyWhileAnotherProcessHoldsIt();
    void ptyReopenAfterKill_data();
    void ptyReopenAfterKill();
    void ptyHangUp();
    void traceShowsLineSettings();
};

// ---------------------------------------------------------------- properties

void TestSerial::defaults() {
    TSerialDriver d;
    QCOMPARE(d.Port(), pnCOM2);
    QCOMPARE(d.PortName(), com2);
    QCOMPARE(d.BaudRate(), br9600);
    QCOMPARE(d.BaudRateValue(), 9600u);
    QCOMPARE(d.DataBits(), db8BITS);
    QCOMPARE(d.StopBits(), sb1BITS);
    QCOMPARE(d.Parity(), ptNONE);
    QCOMPARE(d.HwFlow(), hfNONERTSON);
    QCOMPARE(d.SwFlow(), sfNONE);
    QCOMPARE(d.InBufSize(), 2048u);
    QCOMPARE(d.OutBufSize(), 2048u);
    QCOMPARE(d.PacketSize(), int16_t(-1));
    QCOMPARE(d.PacketTimeout(), -1);
    QCOMPARE(d.PacketMode(), pmDiscard);
    QCOMPARE(d.PollingDelay(), uint16_t(50));
    QCOMPARE(d.EnableDTROnOpen(), true);
    QCOMPARE(d.OutputTimeout(), uint16_t(500));
    QCOMPARE(d.InputTimeout(), 200u);
    QCOMPARE(d.CheckLineStatus(), false);
    QCOMPARE(d.IsOpen(), false);
    QCOMPARE(d.PollingPauseCount(), 0);
    // This system has no Windows version to report.
    QCOMPARE(TSerialDriver::PlatformTag(), QStringLiteral("??"));
    QCOMPARE(TSerialDriver::WindowsVersion(), 0u);
}

void TestSerial::portSetsName_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("name");
    QTest::newRow("COM1") << int(pnCOM1) << QStringLiteral("\\\\.\\COM1");
    QTest::newRow("COM9") << int(pnCOM9) << QStringLiteral("\\\\.\\COM9");
    QTest::newRow("COM16") << int(pnCOM16) << QStringLiteral("\\\\.\\COM16");
    QTest::newRow("custom keeps the name") << int(pnCustom) << QStringLiteral("/dev/ttyUSB0");
}

void TestSerial::portSetsName() {
    QFETCH(int, port);
    QFETCH(QString, name);
    TSerialDriver d;
    d.setPortName(QStringLiteral("/dev/ttyUSB0"));
    d.setPort(TPortNumber(port));
    QCOMPARE(int(d.Port()), port);
    QCOMPARE(d.PortName(), name);
}

void TestSerial::portNameMakesPortCustom() {
    TSerialDriver d;
    d.setPortName(QStringLiteral("\\\\.\\COM5"));
    QCOMPARE(d.Port(), pnCustom);
    QCOMPARE(d.PortName(), QStringLiteral("\\\\.\\COM5"));
}

void TestSerial::baudRateAndValue() {
    TSerialDriver d;
    d.setBaudRate(br19200);
    QCOMPARE(d.BaudRateValue(), 19200u);
    QCOMPARE(d.BaudRate(), br19200);
    d.setBaudRateValue(19200);
    QCOMPARE(d.BaudRate(), brCustom);
    d.setBaudRateValue(31250);
    d.setBaudRate(brCustom);
    QCOMPARE(d.BaudRateValue(), 31250u);
}

void TestSerial::bufSizesClamped_data() {
    QTest::addColumn<uint>("value");
    QTest::addColumn<uint>("stored");
    QTest::newRow("0") << 0u << 128u;
    QTest::newRow("50") << 50u << 128u;
    QTest::newRow("128") << 128u << 128u;
    QTest::newRow("4000") << 4000u << 4000u;
    QTest::newRow("8192") << 8192u << 8192u;
    QTest::newRow("10000") << 10000u << 8192u;
}

void TestSerial::bufSizesClamped() {
    QFETCH(uint, value);
    QFETCH(uint, stored);
    TSerialDriver d;
    d.setInBufSize(value);
    d.setOutBufSize(value);
    QCOMPARE(d.InBufSize(), stored);
    QCOMPARE(d.OutBufSize(), stored);
}

void TestSerial::packetSize_data() {
    QTest::addColumn<uint>("inBuf");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("packet");
    QTest::addColumn<uint>("inBufAfter");
    QTest::newRow("0 is off") << 2048u << 0 << -1 << 2048u;
    QTest::newRow("negative is off") << 2048u << -20 << -1 << 2048u;
    QTest::newRow("fits") << 2048u << 100 << 100 << 2048u;
    QTest::newRow("grows the buffer") << 2048u << 4000 << 4000 << 4000u;
    QTest::newRow("largest") << 128u << 8192 << 8192 << 8192u;
    QTest::newRow("above the largest buffer") << 2048u << 9000 << 8192 << 8192u;
}

void TestSerial::packetSize() {
    QFETCH(uint, inBuf);
    QFETCH(int, value);
    QFETCH(int, packet);
    QFETCH(uint, inBufAfter);
    TSerialDriver d;
    d.setInBufSize(inBuf);
    d.setPacketSize(int16_t(value));
    QCOMPARE(int(d.PacketSize()), packet);
    QCOMPARE(d.InBufSize(), inBufAfter);
    // A smaller buffer asked for later still holds the packet.
    if (packet > 0) {
        d.setInBufSize(128);
        QCOMPARE(d.InBufSize(), std::max(128u, uint(packet)));
    }
}

void TestSerial::packetTimeout_data() {
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("stored");
    QTest::newRow("10 at 50") << 50 << 10 << 70;
    QTest::newRow("1 at 50") << 50 << 1 << 70;
    QTest::newRow("49 at 50") << 50 << 49 << 70;
    QTest::newRow("50 at 50") << 50 << 50 << 50;
    QTest::newRow("100 at 50") << 50 << 100 << 100;
    QTest::newRow("0") << 50 << 0 << -1;
    QTest::newRow("negative") << 50 << -30 << -1;
    QTest::newRow("10 at 20") << 20 << 10 << 28;
    QTest::newRow("3 at 5") << 5 << 3 << 7;
}

void TestSerial::packetTimeout() {
    QFETCH(int, delay);
    QFETCH(int, value);
    QFETCH(int, stored);
    TSerialDriver d;
    d.setPollingDelay(uint16_t(delay));
    d.setPacketTimeout(value);
    QCOMPARE(d.PacketTimeout(), stored);
}

void TestSerial::pollingDelay_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("timeoutBefore");
    QTest::addColumn<int>("timeoutAfter");
    QTest::newRow("0 gives 5") << 0 << 5 << 60 << 60;
    QTest::newRow("4 gives 5") << 4 << 5 << 60 << 60;
    QTest::newRow("same value") << 50 << 50 << 60 << 60;
    QTest::newRow("longer: time-out re-ruled") << 100 << 100 << 60 << 140;
    QTest::newRow("longer, no time-out") << 100 << 100 << -1 << -1;
}

void TestSerial::pollingDelay() {
    QFETCH(int, value);
    QFETCH(int, stored);
    QFETCH(int, timeoutBefore);
    QFETCH(int, timeoutAfter);
    TSerialDriver d;
    d.setPacketTimeout(timeoutBefore);
    QCOMPARE(d.PacketTimeout(), timeoutBefore);
    d.setPollingDelay(uint16_t(value));
    QCOMPARE(int(d.PollingDelay()), stored);
    QCOMPARE(d.PacketTimeout(), timeoutAfter);
}

void TestSerial::packetTransferTime_data() {
    QTest::addColumn<uint>("baud");
    QTest::addColumn<uint>("size");
    QTest::addColumn<uint>("ms");
    QTest::newRow("4 at 19200") << 19200u << 4u << 2u;
    QTest::newRow("29 at 19200") << 19200u << 29u << 15u;
    QTest::newRow("96 at 9600") << 9600u << 96u << 100u;
    QTest::newRow("10 at 9600") << 9600u << 10u << 10u;
    QTest::newRow("3 at 2400, rounds up") << 2400u << 3u << 13u;
    QTest::newRow("1 at 110") << 110u << 1u << 91u;
    QTest::newRow("0 bytes") << 9600u << 0u << 0u;
    QTest::newRow("no rate") << 0u << 10u << 0u;
}

void TestSerial::packetTransferTime() {
    QFETCH(uint, baud);
    QFETCH(uint, size);
    QFETCH(uint, ms);
    TSerialDriver d;
    d.setBaudRateValue(baud);
    QCOMPARE(d.PacketTransferTime(size), ms);
}

void TestSerial::devicePath_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value"); // empty: unset
    QTest::addColumn<QString>("path");
    QTest::newRow("COM1") << QStringLiteral("\\\\.\\COM1") << QByteArray("VRK_COM1") << QByteArray()
                          << QStringLiteral("/dev/ttyS0");
    QTest::newRow("COM2") << com2 << QByteArray("VRK_COM2") << QByteArray() << QStringLiteral("/dev/ttyS1");
    QTest::newRow("lower case") << QStringLiteral("\\\\.\\com3") << QByteArray("VRK_COM3") << QByteArray()
                                << QStringLiteral("/dev/ttyS2");
    QTest::newRow("COM16") << QStringLiteral("\\\\.\\COM16") << QByteArray("VRK_COM16") << QByteArray()
                           << QStringLiteral("/dev/ttyS15");
    QTest::newRow("mapped") << com2 << QByteArray("VRK_COM2") << QByteArray("/dev/ttyUSB1")
                            << QStringLiteral("/dev/ttyUSB1");
    QTest::newRow("path") << QStringLiteral("/dev/ttyUSB0") << QByteArray("VRK_COM2") << QByteArray("/x")
                          << QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("COM0 is no port") << QStringLiteral("\\\\.\\COM0") << QByteArray("VRK_COM0")
                                     << QByteArray() << QStringLiteral("\\\\.\\COM0");
    QTest::newRow("not a number") << QStringLiteral("\\\\.\\COMx") << QByteArray("VRK_COM1") << QByteArray()
                                  << QStringLiteral("\\\\.\\COMx");
    QTest::newRow("bare COM2") << QStringLiteral("COM2") << QByteArray("VRK_COM2") << QByteArray()
                               << QStringLiteral("COM2");
}

void TestSerial::devicePath() {
    QFETCH(QString, name);
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    QFETCH(QString, path);
    if (value.isEmpty())
        qunsetenv(variable.constData());
    else
        qputenv(variable.constData(), value);
    QCOMPARE(TSerialDriver::devicePath(name), path);
    qunsetenv(variable.constData());
}

void TestSerial::controlBlock_data() {
    QTest::addColumn<int>("hw");
    QTest::addColumn<int>("sw");
    QTest::addColumn<bool>("dtr");
    QTest::addColumn<uint>("flags");
    QTest::newRow("no flow") << int(hfNONE) << int(sfNONE) << false << 0x1u;
    QTest::newRow("DTR") << int(hfNONE) << int(sfNONE) << true << 0x11u;
    QTest::newRow("RTS on") << int(hfNONERTSON) << int(sfNONE) << true << 0x1011u;
    QTest::newRow("RTS/CTS") << int(hfRTSCTS) << int(sfNONE) << false << 0x2005u;
    QTest::newRow("XON/XOFF") << int(hfNONE) << int(sfXONXOFF) << false << 0x301u;
    QTest::newRow("everything") << int(hfRTSCTS) << int(sfXONXOFF) << true << 0x2315u;
}

void TestSerial::controlBlock() {
    QFETCH(int, hw);
    QFETCH(int, sw);
    QFETCH(bool, dtr);
    QFETCH(uint, flags);
    LineSettings s;
    s.baudRate = 19200;
    s.dataBits = db7BITS;
    s.parity = ptODD;
    s.stopBits = sb2BITS;
    s.hwFlow = hw;
    s.swFlow = sw;
    s.enableDtr = dtr;
    s.inBufSize = 2048;
    const DeviceControlBlock b = makeControlBlock(s, {});
    QCOMPARE(b.length, 28u);
    QCOMPARE(b.baudRate, 19200u);
    QCOMPARE(b.flags, flags);
    QCOMPARE(int(b.byteSize), 7);
    QCOMPARE(int(b.parity), 1);
    QCOMPARE(int(b.stopBits), 2);
    QCOMPARE(int(b.xonChar), 0x11);
    QCOMPARE(int(b.xoffChar), 0x13);
    QCOMPARE(int(b.xonLimit), 512);
    QCOMPARE(int(b.xoffLimit), 512);
    // NT 4.0 and later cap the limit at 4096.
    s.inBufSize = 20000;
    QCOMPARE(int(makeControlBlock(s, {}).xonLimit), 5000);
    QCOMPARE(int(makeControlBlock(s, {true, 0x30033}).xonLimit), 5000);
    QCOMPARE(int(makeControlBlock(s, {true, 0x40000}).xoffLimit), 4096);
}

void TestSerial::closedPort() {
    TSerialDriver d;
    uint8_t buf[8] = {};
    QCOMPARE(d.InputCount(), 65535u);
    QCOMPARE(d.OutputRoom(), uint16_t(65535));
    QCOMPARE(d.ModemLines(), 0u);
    QCOMPARE(d.ReadBlock(buf, sizeof buf), 0u);
    QCOMPARE(d.WriteBlockTimed(buf, sizeof buf, 10), 0u);
    QCOMPARE(d.WriteText(QByteArray("abc")), false);
    QCOMPARE(d.PurgeQueues(true, true), false);
    QCOMPARE(d.ApplyLineSettings(), false);
    QCOMPARE(d.PollingPauseCount(), 0);
    d.ClosePort();
    QCOMPARE(d.IsOpen(), false);
}

// ---------------------------------------------------- the scripted backend

void TestSerial::openAppliesSettings() {
    FakeRig r;
    r.driver.setPortName(QStringLiteral("/dev/ttyX"));
    r.driver.setBaudRateValue(19200);
    r.driver.setParity(ptODD);
    QVERIFY(r.driver.OpenPort());
    QCOMPARE(r.line->path, std::string("/dev/ttyX"));
    QCOMPARE(r.line->lineStates.size(), size_t(1));
    const DeviceControlBlock& b = r.line->lineStates[0];
    QCOMPARE(b.baudRate, 19200u);
    QCOMPARE(b.flags, 0x1011u);
    QCOMPARE(int(b.byteSize), 8);
    QCOMPARE(int(b.parity), 1);
    QCOMPARE(int(b.stopBits), 0);
    QCOMPARE(r.line->purges, (std::vector<std::pair<bool, bool>>{{true, true}}));
    QCOMPARE(r.line->queueSizes, (std::vector<std::pair<uint32_t, uint32_t>>{{2048, 2048}}));
    QCOMPARE(r.line->shortTimeouts, 1);
}

void TestSerial::openTwiceChangesNothing() {
    FakeRig r;
    QVERIFY(r.driver.OpenPort());
    QVERIFY(r.driver.OpenPort());
    QCOMPARE(r.line->opens, 1);
    QCOMPARE(r.line->lineStates.size(), size_t(1));
    QVERIFY(r.driver.IsOpen());
}

void TestSerial::refusedSettingsLeavePortClosed() {
    FakeRig r;
    r.line->refuseLineState = true;
    QVERIFY(!r.driver.OpenPort());
    QVERIFY(!r.driver.IsOpen());
    QVERIFY(!r.line->open);
    QVERIFY(!pollTimerOf(r.driver)->isActive());
    QCOMPARE(r.driver.error(), TSerialDriver::Error::SettingsRefused);
    // A good open forgets the reason.
    r.line->refuseLineState = false;
    QVERIFY(r.driver.OpenPort());
    QCOMPARE(r.driver.error(), TSerialDriver::Error::NoError);
}

void TestSerial::settingsWhileOpen() {
    FakeRig r;
    r.driver.setPortName(QStringLiteral("/dev/ttyX"));
    QVERIFY(r.driver.OpenPort());
    r.driver.setParity(ptEVEN);
    r.driver.setBaudRate(br4800);
    QCOMPARE(r.line->lineStates.size(), size_t(3));
    QCOMPARE(int(r.line->lineStates.back().parity), 2);
    QCOMPARE(r.line->lineStates.back().baudRate, 4800u);
    // These wait until the port is closed.
    r.driver.setPort(pnCOM1);
    r.driver.setPortName(QStringLiteral("/dev/ttyY"));
    r.driver.setInBufSize(4096);
    r.driver.setOutBufSize(4096);
    QCOMPARE(r.driver.Port(), pnCustom);
    QCOMPARE(r.driver.PortName(), QStringLiteral("/dev/ttyX"));
    QCOMPARE(r.driver.InBufSize(), 2048u);
    QCOMPARE(r.driver.OutBufSize(), 2048u);
    // A packet larger than the buffer is cut to it while the buffer cannot grow.
    r.driver.setPacketSize(3000);
    QCOMPARE(int(r.driver.PacketSize()), 2048);
}

void TestSerial::pollingTimerFollowsPort() {
    FakeRig r;
    QTimer* t = pollTimerOf(r.driver);
    QVERIFY(t);
    QVERIFY(!t->isActive());
    QVERIFY(r.driver.OpenPort());
    QVERIFY(t->isActive());
    QCOMPARE(t->interval(), 50);
    r.driver.setPollingDelay(120);
    QVERIFY(t->isActive());
    QCOMPARE(t->interval(), 120);
    r.driver.ClosePort();
    QVERIFY(!t->isActive());
    r.driver.setPollingDelay(30);
    QVERIFY(!t->isActive());
}

void TestSerial::readInactivityLimit() {
    FakeRig r;
    r.driver.setInputTimeout(100);
    QVERIFY(r.driver.OpenPort());
    const uint32_t t0 = r.line->now;
    // Gaps of 90 ms, 80 ms and 99 ms keep the read going well past 100 ms.
    r.line->arrivals = {{t0 + 90, {1, 2}}, {t0 + 170, {3}}, {t0 + 269, {4, 5}}, {t0 + 600, {6}}};
    uint8_t buf[8] = {};
    QCOMPARE(r.driver.ReadBlock(buf, 8), 5u);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(buf), 5), QByteArray::fromHex("0102030405"));
    // It gave up 100 ms after the last byte, not after the first call.
    const uint32_t end = r.line->now - t0;
    QVERIFY2(end >= 369 && end <= 372, QByteArray::number(end));
    QCOMPARE(r.driver.PollingPauseCount(), 0);
}

void TestSerial::readAcrossTickWrap() {
    FakeRig r;
    r.driver.setInputTimeout(100);
    QVERIFY(r.driver.OpenPort());
    r.line->now = 0xFFFFFFF0u;
    uint8_t buf[4];
    QCOMPARE(r.driver.ReadBlock(buf, 4), 0u);
    const uint32_t waited = r.line->now - 0xFFFFFFF0u;
    QVERIFY2(waited >= 100 && waited <= 102, QByteArray::number(waited));
}

void TestSerial::transferTimesKept_data() {
    QTest::addColumn<int>("writeGap");  // ms between the write's two pieces
    QTest::addColumn<int>("waiting");   // bytes already waiting when the read begins
    QTest::addColumn<int>("arrivesAt"); // ms after the read began; -1: nothing comes
    QTest::addColumn<int>("firstByte"); // the first byte's tick, ms after the read began
    QTest::newRow("reply 7 ms in") << 0 << 0 << 7 << 7;
    QTest::newRow("reply at once") << 0 << 0 << 0 << 0;
    QTest::newRow("slow write, reply 5 ms in") << 3 << 0 << 5 << 5;
    QTest::newRow("bytes already waiting") << 0 << 2 << 9 << 0;
    QTest::newRow("nothing comes: the read's end") << 0 << 0 << -1 << 101;
}

// When the write began and when the read's first byte came, on the driver's clock.
void TestSerial::transferTimesKept() {
    QFETCH(int, writeGap);
    QFETCH(int, waiting);
    QFETCH(int, arrivesAt);
    QFETCH(int, firstByte);
    FakeRig r;
    r.driver.setInputTimeout(100);
    QVERIFY(r.driver.OpenPort());
    r.line->now = r.line->nextWrite = 0xFFFFFFF8u; // across the wrap
    r.line->writeChunk = 4;
    r.line->writeGap = uint32_t(writeGap);
    const uint32_t writeStart = r.line->now;
    const uint8_t request[8] = {1, 3, 0, 0, 0, 1, 0x84, 0x0A};
    QCOMPARE(r.driver.WriteBlock(request, 8), 8u);
    QCOMPARE(r.driver.lastWriteStartTick(), writeStart);
    const uint32_t readStart = r.line->now;
    QCOMPARE(readStart - writeStart, uint32_t(writeGap));
    for (int i = 0; i < waiting; ++i)
        r.line->queue({uint8_t(i)});
    if (arrivesAt >= 0) r.line->arrivals = {{readStart + uint32_t(arrivesAt), {7, 8, 9}}};
    uint8_t buf[5] = {};
    QCOMPARE(r.driver.ReadBlock(buf, 5), uint32_t(std::min(5, waiting + (arrivesAt >= 0 ? 3 : 0))));
    const uint32_t seen = r.driver.lastReadFirstByteTick() - readStart;
    // A nothing-came read ends one tick either side of its time-out.
    if (arrivesAt < 0)
        QVERIFY2(seen >= 100 && seen <= 102, QByteArray::number(seen));
    else
        QCOMPARE(seen, uint32_t(firstByte));
    QCOMPARE(r.driver.tickStepMs(), 1u);
}

void TestSerial::writeNoProgressLimit() {
    FakeRig r;
    QVERIFY(r.driver.OpenPort());
    const uint8_t data[6] = {1, 2, 3, 4, 5, 6};

    // One byte every 40 ms: each one is progress, so all six go out.
    r.line->writeChunk = 1;
    r.line->writeGap = 40;
    QCOMPARE(r.driver.WriteBlockTimed(data, 6, 50), 6u);
    QCOMPARE(r.line->output, std::vector<uint8_t>(data, data + 6));

    // Nothing is taken: the write gives up 50 ms after its start.
    r.line->output.clear();
    r.line->writeGap = 1000000;
    r.line->nextWrite = r.line->now + 1000000;
    const uint32_t t0 = r.line->now;
    QCOMPARE(r.driver.WriteBlockTimed(data, 6, 50), 0u);
    QVERIFY(r.line->now - t0 >= 50 && r.line->now - t0 <= 52);
    QVERIFY(r.line->output.empty());
    QVERIFY(!r.driver.WriteText(QByteArray("ab")));
}

void TestSerial::writeWaitsForModemLine() {
    FakeRig r;
    QVERIFY(r.driver.OpenPort());
    r.driver.setCheckLineStatus(true);
    const uint8_t data[3] = {7, 8, 9};
    QCOMPARE(r.driver.WriteBlockTimed(data, 3, 50), 0u);
    QVERIFY(r.line->output.empty());
    r.line->modemKnown = true;
    r.line->modemBits = msDSR;
    QCOMPARE(r.driver.WriteBlockTimed(data, 3, 50), 3u);
}

void TestSerial::outputRoomIn16Bits() {
    FakeRig r;
    QVERIFY(r.driver.OpenPort());
    r.line->txWaiting = 48;
    QCOMPARE(r.driver.OutputRoom(), uint16_t(2000));
    r.line->txWaiting = 2049;
    QCOMPARE(r.driver.OutputRoom(), uint16_t(65535));
}

void TestSerial::modemLines_data() {
    QTest::addColumn<bool>("known");
    QTest::addColumn<uint>("bits");
    QTest::addColumn<uint>("lines");
    QTest::newRow("query fails") << false << 0xF0u << 0u;
    QTest::newRow("none") << true << 0u << 0u;
    QTest::newRow("CTS") << true << 0x10u << uint(mlCTS);
    QTest::newRow("DSR") << true << 0x20u << uint(mlDSR);
    QTest::newRow("RING") << true << 0x40u << uint(mlRING);
    QTest::newRow("CD") << true << 0x80u << uint(mlCD);
    QTest::newRow("all") << true << 0xF0u << uint(mlCTS | mlDSR | mlRING | mlCD);
}

void TestSerial::modemLines() {
    QFETCH(bool, known);
    QFETCH(uint, bits);
    QFETCH(uint, lines);
    FakeRig r;
    QVERIFY(r.driver.OpenPort());
    r.line->modemKnown = known;
    r.line->modemBits = bits;
    QCOMPARE(r.driver.ModemLines(), lines);
}

void TestSerial::pollDrainsOrHandsOver() {
    FakeRig r;
    QVERIFY(r.driver.OpenPort());
    r.line->queue({1, 2, 3});
    r.driver.PollTimerProc();
    QVERIFY(r.line->input.empty());

    QByteArray seen;
    r.driver.setOnReceiveData([&](TSerialDriver* sender, const uint8_t* data, uint32_t size) {
        QCOMPARE(sender, &r.driver);
        seen.append(reinterpret_cast<const char*>(data), qsizetype(size));
    });
    r.driver.PollTimerProc(); // nothing waiting: no call
    QVERIFY(seen.isEmpty());
    r.line->queue({4, 5});
    r.driver.PollTimerProc();
    QCOMPARE(seen, QByteArray::fromHex("0405"));
}

void TestSerial::pollReadsAtMostInBufSize() {
    FakeRig r;
    r.driver.setInBufSize(128);
    QVERIFY(r.driver.OpenPort());
    r.line->input.assign(300, 0x55);
    uint32_t got = 0;
    r.driver.setOnReceiveData([&](TSerialDriver*, const uint8_t*, uint32_t size) { got = size; });
    r.driver.PollTimerProc();
    QCOMPARE(got, 128u);
    QCOMPARE(r.line->input.size(), size_t(172));
}

void TestSerial::holdPollingNests() {
    FakeRig r;
    QVERIFY(r.driver.OpenPort());
    r.line->queue({1, 2});
    r.driver.HoldPolling();
    r.driver.HoldPolling();
    r.driver.PollTimerProc();
    QCOMPARE(r.line->input.size(), size_t(2));
    r.driver.ReleasePolling();
    r.driver.PollTimerProc();
    QCOMPARE(r.line->input.size(), size_t(2));
    r.driver.ReleasePolling();
    r.driver.PollTimerProc();
    QVERIFY(r.line->input.empty());
}

void TestSerial::packetsDelivered() {
    FakeRig r;
    r.driver.setPacketSize(4);
    QVERIFY(r.driver.OpenPort());
    std::vector<QByteArray> packets;
    r.driver.setOnReceivePacket([&](TSerialDriver*, const uint8_t* p, uint32_t size) {
        packets.emplace_back(reinterpret_cast<const char*>(p), qsizetype(size));
    });
    r.line->queue({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    r.driver.PollTimerProc();
    QCOMPARE(packets.size(), size_t(2));
    QCOMPARE(packets[0], QByteArray::fromHex("01020304"));
    QCOMPARE(packets[1], QByteArray::fromHex("05060708"));
    QCOMPARE(r.line->input.size(), size_t(2));
    // Without a time-out an incomplete packet waits for its rest.
    r.line->now += 100000;
    r.driver.PollTimerProc();
    QCOMPARE(packets.size(), size_t(2));
    r.line->queue({11, 12});
    r.driver.PollTimerProc();
    QCOMPARE(packets.size(), size_t(3));
    QCOMPARE(packets[2], QByteArray::fromHex("090a0b0c"));
}

void TestSerial::partialPacketTimeout_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("pass") << int(pmPass);
    QTest::newRow("discard") << int(pmDiscard);
}

void TestSerial::partialPacketTimeout() {
    QFETCH(int, mode);
    FakeRig r;
    r.driver.setPacketSize(4);
    r.driver.setPacketTimeout(100);
    r.driver.setPacketMode(TPacketMode(mode));
    QVERIFY(r.driver.OpenPort());
    std::vector<QByteArray> packets;
    r.driver.setOnReceivePacket([&](TSerialDriver*, const uint8_t* p, uint32_t size) {
        packets.emplace_back(reinterpret_cast<const char*>(p), qsizetype(size));
    });
    r.line->queue({1, 2});
    r.driver.PollTimerProc(); // first seen now
    r.line->now += 60;
    r.driver.PollTimerProc();
    r.line->now += 40; // exactly 100 ms: not yet over
    r.driver.PollTimerProc();
    QVERIFY(packets.empty());
    QCOMPARE(r.line->input.size(), size_t(2));
    r.line->now += 1;
    r.driver.PollTimerProc();
    QVERIFY(r.line->input.empty());
    if (mode == pmPass)
        QCOMPARE(packets, std::vector<QByteArray>{QByteArray::fromHex("0102")});
    else
        QVERIFY(packets.empty());
    // The next packet starts afresh.
    r.line->queue({3, 4, 5, 6});
    r.driver.PollTimerProc();
    QCOMPARE(packets.back(), QByteArray::fromHex("03040506"));
}

// Bytes left over after whole packets are timed from when they were seen,
// not from an unset start.
void TestSerial::restAfterPacketsKeepsItsTime() {
    FakeRig r;
    r.driver.setPacketSize(4);
    r.driver.setPacketTimeout(100);
    r.driver.setPacketMode(pmPass);
    QVERIFY(r.driver.OpenPort());
    std::vector<QByteArray> packets;
    r.driver.setOnReceivePacket([&](TSerialDriver*, const uint8_t* p, uint32_t size) {
        packets.emplace_back(reinterpret_cast<const char*>(p), qsizetype(size));
    });
    r.line->queue({1, 2, 3, 4, 5, 6});
    r.driver.PollTimerProc();
    QCOMPARE(packets.size(), size_t(1));
    r.line->now += 50;
    r.driver.PollTimerProc();
    QCOMPARE(packets.size(), size_t(1));
    r.line->queue({7, 8});
    r.driver.PollTimerProc();
    QCOMPARE(packets.size(), size_t(2));
    QCOMPARE(packets[1], QByteArray::fromHex("05060708"));
}

void TestSerial::purgeForgetsPacketStart() {
    FakeRig r;
    r.driver.setPacketSize(4);
    r.driver.setPacketTimeout(100);
    r.driver.setPacketMode(pmPass);
    QVERIFY(r.driver.OpenPort());
    int calls = 0;
    r.driver.setOnReceivePacket([&](TSerialDriver*, const uint8_t*, uint32_t) { ++calls; });
    r.line->queue({1});
    r.driver.PollTimerProc();
    r.line->now += 90;
    QVERIFY(r.driver.PurgeQueues(true, false));
    r.line->queue({2});
    r.driver.PollTimerProc(); // seen now, 90 ms after the purged byte
    r.line->now += 20;
    r.driver.PollTimerProc();
    QCOMPARE(calls, 0);
    r.line->now += 90;
    r.driver.PollTimerProc();
    QCOMPARE(calls, 1);
}

void TestSerial::handlerMayClosePort() {
    FakeRig r;
    r.driver.setPacketSize(2);
    QVERIFY(r.driver.OpenPort());
    int calls = 0;
    r.driver.setOnReceivePacket([&](TSerialDriver* d, const uint8_t*, uint32_t) {
        ++calls;
        d->ClosePort();
    });
    r.line->queue({1, 2, 3, 4, 5, 6});
    r.driver.PollTimerProc();
    QCOMPARE(calls, 1);
    QVERIFY(!r.driver.IsOpen());
}

// ---------------------------------------------------- over a pseudo-terminal

void TestSerial::ptyOpenTwiceAndBusy() {
    PseudoTerminal pty;
    QVERIFY(pty.ok());
    const QString path = QString::fromStdString(pty.slavePath());
    TSerialDriver a, b;
    a.setPortName(path);
    b.setPortName(path);
    QVERIFY(a.OpenPort());
    QVERIFY(a.OpenPort());
    QVERIFY(a.IsOpen());
    QVERIFY(!b.OpenPort());
    QVERIFY(!b.IsOpen());
    QVERIFY(!pollTimerOf(b)->isActive());
    // The first one still works.
    QVERIFY(a.WriteText(QByteArray("hi")));
    QCOMPARE(pty.receive(2, 1000), bytes("6869"));
    a.ClosePort();
    QVERIFY(b.OpenPort());
}

void TestSerial::ptyMissingOrNotTerminal() {
    TSerialDriver d;
    d.setPortName(QStringLiteral("/nonexistent/ttyS9"));
    QVERIFY(!d.OpenPort());
    char file[] = "/tmp/tst_serial_XXXXXX";
    const int fd = mkstemp(file);
    QVERIFY(fd >= 0);
    ::close(fd);
    d.setPortName(QString::fromLatin1(file));
    QVERIFY(!d.OpenPort());
    QVERIFY(!d.IsOpen());
    unlink(file);
}

void TestSerial::termiosTranslation_data() {
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<uint>("cflags"); // CSIZE, parity and stop-bit flags
    QTest::newRow("8N1") << 8 << int(ptNONE) << int(sb1BITS) << uint(CS8);
    QTest::newRow("7O2") << 7 << int(ptODD) << int(sb2BITS) << uint(CS7 | PARENB | PARODD | CSTOPB);
    QTest::newRow("8E1") << 8 << int(ptEVEN) << int(sb1BITS) << uint(CS8 | PARENB);
    QTest::newRow("6M1") << 6 << int(ptMARK) << int(sb1BITS) << uint(CS6 | PARENB | PARODD | CMSPAR);
    QTest::newRow("5S1.5") << 5 << int(ptSPACE) << int(sb1HALFBITS) << uint(CS5 | PARENB | CMSPAR | CSTOPB);
}

void TestSerial::termiosTranslation() {
    QFETCH(int, dataBits);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    QFETCH(uint, cflags);
    DeviceControlBlock b;
    b.byteSize = uint8_t(dataBits);
    b.parity = uint8_t(parity);
    b.stopBits = uint8_t(stopBits);
    b.flags = dcbBinary;
    termios t{};
    t.c_lflag = ICANON | ECHO | ISIG;
    t.c_iflag = ICRNL | INPCK | IXON;
    t.c_oflag = OPOST;
    t.c_cflag = CS8 | PARENB | CSTOPB | CRTSCTS;
    QVERIFY(termiosFromControlBlock(b, t));
    QCOMPARE(uint(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS)), cflags);
    QVERIFY(t.c_cflag & CREAD);
    QVERIFY(t.c_cflag & CLOCAL);
    QCOMPARE(uint(t.c_lflag & (ICANON | ECHO | ISIG)), 0u);
    QCOMPARE(uint(t.c_iflag & (ICRNL | INPCK | IXON | IXOFF)), 0u);
    QCOMPARE(uint(t.c_oflag & OPOST), 0u);
    QCOMPARE(int(t.c_cc[VMIN]), 0);
    QCOMPARE(int(t.c_cc[VTIME]), 0);

    b.flags = dcbBinary | dcbOutxCtsFlow | dcbRtsHandshake | dcbOutX | dcbInX;
    b.xonChar = 0x11;
    b.xoffChar = 0x13;
    QVERIFY(termiosFromControlBlock(b, t));
    QVERIFY(t.c_cflag & CRTSCTS);
    QCOMPARE(uint(t.c_iflag & (IXON | IXOFF)), uint(IXON | IXOFF));
    QCOMPARE(int(t.c_cc[VSTART]), 0x11);
    QCOMPARE(int(t.c_cc[VSTOP]), 0x13);
}

void TestSerial::termiosRefusesOddBlocks() {
    termios t{};
    DeviceControlBlock b;
    b.byteSize = 8;
    b.parity = 5;
    QVERIFY(!termiosFromControlBlock(b, t));
    b.parity = 0;
    b.byteSize = 9;
    QVERIFY(!termiosFromControlBlock(b, t));
    b.byteSize = 8;
    b.stopBits = 3;
    QVERIFY(!termiosFromControlBlock(b, t));
}

// A pseudo-terminal always keeps eight data bits and no parity; what it
// does keep shows that the settings reached the terminal.
void TestSerial::ptyLineSettings() {
    PseudoTerminal pty;
    TSerialDriver d;
    d.setPortName(QString::fromStdString(pty.slavePath()));
    d.setStopBits(sb2BITS);
    d.setBaudRate(br19200);
    QVERIFY(d.OpenPort());
    termios t{};
    QCOMPARE(tcgetattr(pty.slave(), &t), 0);
    QVERIFY(t.c_cflag & CSTOPB);
    QVERIFY(!(t.c_lflag & (ICANON | ECHO | ISIG)));
    QCOMPARE(cfgetospeed(&t), speed_t(B19200));
    d.setStopBits(sb1BITS);
    QCOMPARE(tcgetattr(pty.slave(), &t), 0);
    QVERIFY(!(t.c_cflag & CSTOPB));

    // Rates without a termios constant, and one that no line has.
    d.setBaudRate(br14400);
    QVERIFY(d.ApplyLineSettings());
    d.setBaudRateValue(250000);
    QVERIFY(d.ApplyLineSettings());
    d.setBaudRateValue(0);
    QVERIFY(!d.ApplyLineSettings());
}

void TestSerial::ptyRestoresTerminal() {
    PseudoTerminal pty;
    termios before{};
    QCOMPARE(tcgetattr(pty.slave(), &before), 0);
    {
        TSerialDriver d;
        d.setPortName(QString::fromStdString(pty.slavePath()));
        d.setParity(ptEVEN);
        QVERIFY(d.OpenPort());
        termios during{};
        tcgetattr(pty.slave(), &during);
        QVERIFY(during.c_lflag != before.c_lflag);
    } // the destructor closes the port
    termios after{};
    QCOMPARE(tcgetattr(pty.slave(), &after), 0);
    QCOMPARE(after.c_iflag, before.c_iflag);
    QCOMPARE(after.c_oflag, before.c_oflag);
    QCOMPARE(after.c_cflag, before.c_cflag);
    QCOMPARE(after.c_lflag, before.c_lflag);
}

void TestSerial::ptyBinaryBothWays() {
    PseudoTerminal pty;
    TSerialDriver d;
    d.setPortName(QString::fromStdString(pty.slavePath()));
    d.setInputTimeout(500);
    QVERIFY(d.OpenPort());
    std::vector<uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[size_t(i)] = uint8_t(i);

    QCOMPARE(d.WriteBlock(all.data(), 256), 256u);
    QCOMPARE(pty.receive(256, 1000), all);

    QVERIFY(pty.send(all));
    std::vector<uint8_t> got(256);
    QCOMPARE(d.ReadBlock(got.data(), 256), 256u);
    QCOMPARE(got, all);
}

void TestSerial::ptyReadNothing() {
    PseudoTerminal pty;
    TSerialDriver d;
    d.setPortName(QString::fromStdString(pty.slavePath()));
    d.setInputTimeout(100);
    QVERIFY(d.OpenPort());
    uint8_t buf[29];
    QElapsedTimer t;
    t.start();
    QCOMPARE(d.ReadBlock(buf, sizeof buf), 0u);
    QVERIFY(t.elapsed() >= 100);
    QVERIFY(t.elapsed() < 5000); // no hang
    QCOMPARE(d.PollingPauseCount(), 0);
}

void TestSerial::ptyReadHalfReply() {
    PseudoTerminal pty;
    TSerialDriver d;
    d.setPortName(QString::fromStdString(pty.slavePath()));
    d.setInputTimeout(100);
    QVERIFY(d.OpenPort());
    QVERIFY(pty.send(bytes("0103180001")));
    uint8_t buf[29] = {};
    QCOMPARE(d.ReadBlock(buf, sizeof buf), 5u);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(buf), 5), QByteArray::fromHex("0103180001"));

    // A longer answer is read only as far as asked; the rest waits.
    QVERIFY(pty.send(bytes("00112233445566778899")));
    QVERIFY(waitForInput(d, 10));
    QCOMPARE(d.ReadBlock(buf, 4), 4u);
    QCOMPARE(d.InputCount(), 6u);
}

void TestSerial::ptyReadKeepsGoingWhileBytesCome() {
    PseudoTerminal pty;
    TSerialDriver d;
    d.setPortName(QString::fromStdString(pty.slavePath()));
    d.setInputTimeout(300);
    QVERIFY(d.OpenPort());
    // Twelve bytes 40 ms apart: half a second in all, each gap well inside 300 ms.
    std::thread peer([&] {
        for (uint8_t i = 0; i < 12; ++i) {
            usleep(40000);
            pty.send(&i, 1);
        }
    });
    uint8_t buf[12] = {};
    const uint32_t got = d.ReadBlock(buf, sizeof buf);
    peer.join();
    QCOMPARE(got, 12u);
    QCOMPARE(buf[11], uint8_t(11));
}

void TestSerial::ptyCheckLineStatus() {
    PseudoTerminal pty;
    TSerialDriver d;
    d.setPortName(QString::fromStdString(pty.slavePath()));
    QVERIFY(d.OpenPort());
    QCOMPARE(d.ModemLines(), 0u); // a pseudo-terminal has no modem lines
    d.setCheckLineStatus(true);
    const uint8_t frame[8] = {1, 3, 0, 0, 0, 1, 0x84, 0x0A};
    QCOMPARE(d.WriteBlockTimed(frame, 8, 50), 0u);
    QVERIFY(pty.receive(8, 100).empty());
    d.setCheckLineStatus(false);
    QCOMPARE(d.WriteBlockTimed(frame, 8, 50), 8u);
    QCOMPARE(pty.receive(8, 1000).size(), size_t(8));
}

void TestSerial::ptyUnsolicitedBytesDrained() {
    PseudoTerminal pty;
    TSerialDriver d;
    d.setPortName(QString::fromStdString(pty.slavePath()));
    QVERIFY(d.OpenPort());
    QVERIFY(pty.send(bytes("deadbeef")));
    QVERIFY(waitForInput(d, 4));
    // While a caller holds the polling nothing is taken.
    d.HoldPolling();
    QTest::qWait(200);
    QCOMPARE(d.InputCount(), 4u);
    d.ReleasePolling();
    QTRY_COMPARE_WITH_TIMEOUT(d.InputCount(), 0u, 5000);

    QByteArray seen;
    d.setOnReceiveData([&](TSerialDriver*, const uint8_t* data, uint32_t size) {
        seen.append(reinterpret_cast<const char*>(data), qsizetype(size));
    });
    QVERIFY(pty.send(bytes("cafe")));
    QTRY_COMPARE_WITH_TIMEOUT(seen, QByteArray::fromHex("cafe"), 5000);
}

void TestSerial::ptyPurge() {
    PseudoTerminal pty;
    TSerialDriver d;
    d.setPortName(QString::fromStdString(pty.slavePath()));
    QVERIFY(d.OpenPort());
    QVERIFY(pty.send(bytes("0102030405")));
    QVERIFY(waitForInput(d, 5));
    QVERIFY(d.PurgeQueues(true, false));
    QCOMPARE(d.InputCount(), 0u);
    QVERIFY(d.PurgeQueues(false, true));
    QVERIFY(d.PurgeQueues(false, false));
}

void TestSerial::ptyComNameMapping() {
    PseudoTerminal pty;
    qputenv("VRK_COM7", QByteArray::fromStdString(pty.slavePath()));
    TSerialDriver d;
    d.setPort(pnCOM7);
    QVERIFY(d.OpenPort());
    qunsetenv("VRK_COM7");
    QVERIFY(d.WriteText(QByteArray("\x07", 1)));
    QCOMPARE(pty.receive(1, 1000), bytes("07"));
}

// ---------------------------------------------------------------- reasons

void TestSerial::lineFaultOfErrno_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("fault");
    QTest::newRow("none") << 0 << int(LineFault::None);
    QTest::newRow("ENOENT") << ENOENT << int(LineFault::DeviceMissing);
    QTest::newRow("ENOTDIR") << ENOTDIR << int(LineFault::DeviceMissing);
    QTest::newRow("ENXIO") << ENXIO << int(LineFault::DeviceMissing);
    QTest::newRow("ENODEV") << ENODEV << int(LineFault::DeviceMissing);
    QTest::newRow("EACCES") << EACCES << int(LineFault::PermissionDenied);
    QTest::newRow("EPERM") << EPERM << int(LineFault::PermissionDenied);
    QTest::newRow("EROFS") << EROFS << int(LineFault::PermissionDenied);
    QTest::newRow("EBUSY (TIOCEXCL)") << EBUSY << int(LineFault::DeviceBusy);
    QTest::newRow("EWOULDBLOCK (flock)") << EWOULDBLOCK << int(LineFault::DeviceBusy);
    QTest::newRow("ENOTTY") << ENOTTY << int(LineFault::SettingsRefused);
    QTest::newRow("EINVAL") << EINVAL << int(LineFault::SettingsRefused);
    QTest::newRow("EIO") << EIO << int(LineFault::HungUp);
    QTest::newRow("EMFILE") << EMFILE << int(LineFault::Other);
}

void TestSerial::lineFaultOfErrno() {
    QFETCH(int, code);
    QFETCH(int, fault);
    QCOMPARE(int(lineFaultOf(code)), fault);
}

void TestSerial::termiosHoldsRule_data() {
    QTest::addColumn<bool>("pseudoTerminal");
    QTest::addColumn<QString>("change"); // what the read-back differs in
    QTest::addColumn<bool>("holds");
    QTest::newRow("the same") << false << QString() << true;
    QTest::newRow("the same, pty") << true << QString() << true;
    QTest::newRow("7E1 read back as 8N1 on a pty") << true << QStringLiteral("size parity") << true;
    QTest::newRow("7E1 read back as 8N1 on a UART") << false << QStringLiteral("size parity") << false;
    QTest::newRow("odd read back as even") << true << QStringLiteral("odd") << false;
    QTest::newRow("stop bits") << true << QStringLiteral("stop") << false;
    QTest::newRow("speed") << true << QStringLiteral("speed") << false;
    QTest::newRow("echo") << true << QStringLiteral("echo") << false;
    QTest::newRow("VMIN") << true << QStringLiteral("vmin") << false;
}

void TestSerial::termiosHoldsRule() {
    QFETCH(bool, pseudoTerminal);
    QFETCH(QString, change);
    QFETCH(bool, holds);
    LineSettings s;
    s.dataBits = db7BITS;
    s.parity = ptODD;
    termios requested{};
    QVERIFY(termiosFromControlBlock(makeControlBlock(s, {}), requested));
    cfsetispeed(&requested, B9600);
    cfsetospeed(&requested, B9600);
    termios back = requested;
    if (change.contains(QLatin1String("size"))) back.c_cflag = (back.c_cflag & ~tcflag_t(CSIZE)) | CS8;
    if (change.contains(QLatin1String("parity"))) back.c_cflag &= ~tcflag_t(PARENB);
    if (change == QLatin1String("odd")) back.c_cflag &= ~tcflag_t(PARODD);
    if (change == QLatin1String("stop")) back.c_cflag |= CSTOPB;
    if (change == QLatin1String("speed")) cfsetispeed(&back, B19200), cfsetospeed(&back, B19200);
    if (change == QLatin1String("echo")) back.c_lflag |= ECHO;
    if (change == QLatin1String("vmin")) back.c_cc[VMIN] = 1;
    QCOMPARE(termiosHolds(requested, back, pseudoTerminal), holds);
}

void TestSerial::openFailureReasons_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<TSerialDriver::Error>("error");
    QTest::addColumn<QString>("text"); // the reason's source text, %1 the device
    QTest::newRow("missing") << QStringLiteral("missing") << TSerialDriver::Error::DeviceMissing
                             << QStringLiteral("No such device: %1");
    QTest::newRow("dangling link") << QStringLiteral("dangling") << TSerialDriver::Error::DeviceMissing
                                   << QStringLiteral("No such device: %1");
    QTest::newRow("regular file") << QStringLiteral("file") << TSerialDriver::Error::SettingsRefused
                                  << QStringLiteral("%1 refused the line settings.");
    QTest::newRow("not a terminal") << QStringLiteral("/dev/null") << TSerialDriver::Error::SettingsRefused
                                    << QStringLiteral("%1 refused the line settings.");
    QTest::newRow("no permission") << QStringLiteral("mode 000") << TSerialDriver::Error::PermissionDenied
                                   << QStringLiteral(
                                          "No permission to open %1: the user is not in the %2 group.");
    QTest::newRow("held by this program") << QStringLiteral("held") << TSerialDriver::Error::DeviceBusy
                                          << QStringLiteral("%1 is in use by another program.");
    // Reasons the program has no words of its own for: the system's are told.
    QTest::newRow("a folder") << QStringLiteral("folder") << TSerialDriver::Error::OtherError
                              << QStringLiteral("%1 cannot be opened: %2.");
    QTest::newRow("a loop of links") << QStringLiteral("loop") << TSerialDriver::Error::OtherError
                                     << QStringLiteral("%1 cannot be opened: %2.");
}

void TestSerial::openFailureReasons() {
    QFETCH(QString, device);
    QFETCH(TSerialDriver::Error, error);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    PseudoTerminal pty;
    TSerialDriver holder;
    QString path = device;
    if (device == QLatin1String("missing")) {
        path = dir.filePath(QStringLiteral("ttyUSB9"));
    } else if (device == QLatin1String("dangling")) {
        path = dir.filePath(QStringLiteral("com1"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), path));
    } else if (device == QLatin1String("file") || device == QLatin1String("mode 000")) {
        path = dir.filePath(QStringLiteral("file"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        if (device == QLatin1String("mode 000")) {
            if (geteuid() == 0) QSKIP("root opens a file of mode 000");
            QVERIFY(f.setPermissions({}));
        }
    } else if (device == QLatin1String("held")) {
        path = QString::fromStdString(pty.slavePath());
        holder.setPortName(path);
        QVERIFY(holder.OpenPort());
    } else if (device == QLatin1String("folder")) {
        path = dir.path();
    } else if (device == QLatin1String("loop")) {
        path = dir.filePath(QStringLiteral("a"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("b")), path));
        QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("b"))));
    }
    TSerialDriver d;
    d.setPortName(path);
    QVERIFY(!d.OpenPort());
    QVERIFY(!d.IsOpen());
    QCOMPARE(d.error(), error);
    QCOMPARE(d.devicePathInUse(), path);
    QString expected = QCoreApplication::translate("TSerialDriver", text.toUtf8().constData()).arg(path);
    if (error == TSerialDriver::Error::PermissionDenied) {
        QVERIFY(d.errorString().startsWith(expected.section(QLatin1Char(':'), 0, 0)));
        return;
    }
    if (error == TSerialDriver::Error::OtherError)
        expected =
            QCoreApplication::translate("TSerialDriver", text.toUtf8().constData())
                .arg(path,
                     QString::fromLocal8Bit(strerror(device == QLatin1String("folder") ? EISDIR : ELOOP)));
    QCOMPARE(d.errorString(), expected);
}

namespace {
// A device that refuses this user, as the system describes it.
class DeniedBackend final : public SerialBackend {
public:
    explicit DeniedBackend(DeviceAccess access) : access_(std::move(access)) {}
    bool open(const std::string&) override { return false; }
    void close() override {}
    bool isOpen() const override { return false; }
    bool applyLineState(const DeviceControlBlock&) override { return false; }
    bool setQueueSizes(uint32_t, uint32_t) override { return false; }
    bool setShortTimeouts() override { return false; }
    bool purge(bool, bool) override { return false; }
    bool inputCount(uint32_t&) override { return false; }
    bool outputCount(uint32_t&) override { return false; }
    bool modemStatus(uint32_t&) override { return false; }
    bool read(void*, uint32_t, uint32_t&) override { return false; }
    bool write(const void*, uint32_t, uint32_t&) override { return false; }
    void waitReadable(uint32_t) override {}
    void waitWritable(uint32_t) override {}
    LineFault fault() const override { return LineFault::PermissionDenied; }
    DeviceAccess deviceAccess() const override { return access_; }
    std::string systemMessage() const override { return "Permission denied"; }

private:
    DeviceAccess access_;
};
} // namespace

// Joining the device's group is advised only when its group may read and write it.
void TestSerial::permissionHint_data() {
    QTest::addColumn<bool>("known");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("group");
    QTest::addColumn<bool>("owner");   // this process is the owner
    QTest::addColumn<bool>("inGroup"); // this process has the group
    QTest::addColumn<bool>("listed");  // the user is listed in the group
    QTest::addColumn<int>("hint");
    QTest::newRow("0660 dialout, not a member")
        << true << 0660 << "dialout" << false << false << false << int(AccessHint::JoinGroup);
    QTest::newRow("0660 dialout, joined after logging in")
        << true << 0660 << "dialout" << false << false << true << int(AccessHint::LogInAgain);
    QTest::newRow("0600 root") << true << 0600 << "root" << false << false << false
                               << int(AccessHint::OwnerOnly);
    QTest::newRow("0600 root, user in the root group")
        << true << 0600 << "root" << false << true << true << int(AccessHint::OwnerOnly);
    QTest::newRow("0640: the group only reads")
        << true << 0640 << "uucp" << false << false << false << int(AccessHint::OwnerOnly);
    QTest::newRow("0660, a member, still refused")
        << true << 0660 << "dialout" << false << true << true << int(AccessHint::NoAccess);
    QTest::newRow("0000, own file") << true << 0 << "users" << true << true << true
                                    << int(AccessHint::NoAccess);
    QTest::newRow("0066, own file") << true << 066 << "users" << true << true << true
                                    << int(AccessHint::NoAccess);
    QTest::newRow("0660, a group without a name")
        << true << 0660 << "" << false << false << false << int(AccessHint::OwnerOnly);
    QTest::newRow("nothing known") << false << 0660 << "dialout" << false << false << false
                                   << int(AccessHint::Unknown);
}

void TestSerial::permissionHint() {
    QFETCH(bool, known);
    QFETCH(int, mode);
    QFETCH(QString, group);
    QFETCH(bool, owner);
    QFETCH(bool, inGroup);
    QFETCH(bool, listed);
    QFETCH(int, hint);
    DeviceAccess a;
    a.known = known;
    a.mode = unsigned(mode);
    a.owner = "root";
    a.group = group.toStdString();
    a.processIsOwner = owner;
    a.processInGroup = inGroup;
    a.userListedInGroup = listed;
    QCOMPARE(int(accessHint(a)), hint);
    // What the user reads.
    TSerialDriver d(std::make_unique<DeniedBackend>(a), nullptr);
    d.setPortName(QStringLiteral("/dev/ttyUSB0"));
    QVERIFY(!d.OpenPort());
    QCOMPARE(d.error(), TSerialDriver::Error::PermissionDenied);
    const QString path = QStringLiteral("/dev/ttyUSB0");
    const QString modeText = QStringLiteral("%1").arg(mode, 4, 8, QLatin1Char('0'));
    auto t = [](const char* s) { return QCoreApplication::translate("TSerialDriver", s); };
    QString expected;
    switch (AccessHint(hint)) {
    case AccessHint::JoinGroup:
        expected = t("No permission to open %1: the user is not in the %2 group.").arg(path, group);
        break;
    case AccessHint::LogInAgain:
        expected = t("No permission to open %1: the user is in the %2 group, but this session began before "
                     "joining it; log out and in again.")
                       .arg(path, group);
        break;
    case AccessHint::OwnerOnly:
        expected =
            t("No permission to open %1: only its owner %2 may open it (mode %3), so joining its group "
              "would not help; ask the administrator for access.")
                .arg(path, QStringLiteral("root"), modeText);
        break;
    case AccessHint::NoAccess:
        expected =
            t("No permission to open %1: its permissions (mode %2) do not let this user read and write it.")
                .arg(path, modeText);
        break;
    case AccessHint::Unknown:
        expected = t("No permission to open %1: %2.").arg(path, QStringLiteral("Permission denied"));
        break;
    }
    QCOMPARE(d.errorString(), expected);
}

// A program that opens the device plainly (no lock, no exclusive mode) from
// another process keeps it: the port is refused as busy until it lets go.
void TestSerial::busyWhileAnotherProcessHoldsIt() {
    PseudoTerminal pty;
    QVERIFY(pty.ok());
    const QString path = QString::fromStdString(pty.slavePath());
    QProcess holder;
    holder.start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("exec 3<>\"$0\" && echo ready && exec sleep 60"), path});
    QVERIFY(holder.waitForStarted());
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readAllStandardOutput().trimmed(), QByteArray("ready"));
    TSerialDriver d;
    d.setPortName(path);
    QVERIFY(!d.OpenPort());
    QCOMPARE(d.error(), TSerialDriver::Error::DeviceBusy);
    holder.kill();
    QVERIFY(holder.waitForFinished(10000));
    // This test's own descriptors of both sides do not count.
    QVERIFY(d.OpenPort());
    QCOMPARE(d.error(), TSerialDriver::Error::NoError);
}

void TestSerial::ptyReopenAfterKill_data() {
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("8O1") << int(db8BITS) << int(ptODD) << int(sb1BITS);
    QTest::newRow("8E1") << int(db8BITS) << int(ptEVEN) << int(sb1BITS);
    QTest::newRow("7N1") << int(db7BITS) << int(ptNONE) << int(sb1BITS);
    QTest::newRow("7E2") << int(db7BITS) << int(ptEVEN) << int(sb2BITS);
    QTest::newRow("8N1") << int(db8BITS) << int(ptNONE) << int(sb1BITS);
}

// A program killed while connected leaves the terminal raw with its
// settings; the next start opens it with the same settings.
void TestSerial::ptyReopenAfterKill() {
    QFETCH(int, dataBits);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    PseudoTerminal pty;
    QVERIFY(pty.ok());
    LineSettings s;
    s.baudRate = 19200;
    s.dataBits = dataBits;
    s.parity = parity;
    s.stopBits = stopBits;
    s.hwFlow = hfNONE;
    s.enableDtr = false;
    // The first program: opens, sets the line and dies without closing.
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        std::unique_ptr<SerialBackend> b = makeSystemBackend();
        const bool ok = b->open(pty.slavePath()) && b->applyLineState(makeControlBlock(s, {}));
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    termios left{};
    QCOMPARE(tcgetattr(pty.slave(), &left), 0);
    QVERIFY(!(left.c_lflag & ICANON)); // raw, as the dead program left it

    TSerialDriver d;
    d.setPortName(QString::fromStdString(pty.slavePath()));
    d.setBaudRateValue(19200);
    d.setDataBits(TDataBits(dataBits));
    d.setParity(TParity(parity));
    d.setStopBits(TStopBits(stopBits));
    d.setHwFlow(hfNONE);
    d.setEnableDTROnOpen(false);
    QVERIFY(d.OpenPort());
    QCOMPARE(d.error(), TSerialDriver::Error::NoError);
    QVERIFY(d.WriteText(QByteArray("ok")));
    QCOMPARE(pty.receive(2, 1000), bytes("6f6b"));
    // And once more after a clean close.
    d.ClosePort();
    QVERIFY(d.OpenPort());
}

// The far end vanishes (an adapter pulled; here the master side closes):
// the port stays open, but every transfer fails at once instead of waiting
// out its time-out, nothing is reported waiting, and the reason is kept.
void TestSerial::ptyHangUp() {
    PseudoTerminal pty;
    TSerialDriver d;
    d.setPortName(QString::fromStdString(pty.slavePath()));
    // Time-outs that a waiting loop could not hide: the test would run for
    // minutes (and the reason would not be kept).
    d.setOutputTimeout(60000);
    d.setInputTimeout(120000);
    QVERIFY(d.OpenPort());
    QVERIFY(d.WriteText(QByteArray("hi")));
    QCOMPARE(pty.receive(2, 1000), bytes("6869"));
    pty.closeMaster();
    uint8_t buf[29];
    QCOMPARE(d.ReadBlock(buf, sizeof buf), 0u);
    QCOMPARE(d.error(), TSerialDriver::Error::DeviceGone);
    QVERIFY(!d.WriteText(QByteArray("again")));
    QCOMPARE(d.ReadBlock(buf, sizeof buf), 0u);
    QCOMPARE(d.InputCount(), 0u);
    QVERIFY(d.IsOpen());
    QCOMPARE(d.PollingPauseCount(), 0);
    QVERIFY(d.errorString().contains(QString::fromStdString(pty.slavePath())));
    d.PollTimerProc();
    d.ClosePort();
    QVERIFY(!d.IsOpen());
    // Closing forgets the hang-up: a fresh terminal opens cleanly.
    PseudoTerminal other;
    d.setPortName(QString::fromStdString(other.slavePath()));
    QVERIFY(d.OpenPort());
    QCOMPARE(d.error(), TSerialDriver::Error::NoError);
    QVERIFY(d.WriteText(QByteArray("x")));
}

// With the trace on, an open tells the line settings it applied, and each
// block sent and received shows; off by default.
void TestSerial::traceShowsLineSettings() {
    PseudoTerminal pty;
    const QString path = QString::fromStdString(pty.slavePath());
    TraceCapture trace(TraceCapture::TraceOff);
    TSerialDriver d;
    d.setPortName(path);
    d.setBaudRateValue(4800);
    d.setDataBits(db7BITS);
    d.setParity(ptEVEN);
    d.setStopBits(sb2BITS);
    QVERIFY(d.OpenPort());
    d.ClosePort();
    QVERIFY2(trace.lines().isEmpty(), qPrintable(trace.lines().join(QLatin1Char('\n'))));

    TraceCapture::turnOn();
    QVERIFY(d.OpenPort());
    QVERIFY(d.WriteText(QByteArray("\x01\x02", 2)));
    d.ClosePort();
    d.setPortName(QStringLiteral("/nonexistent/ttyS9"));
    QVERIFY(!d.OpenPort());
    const QStringList traced = trace.stop();
    const QString all = traced.join(QLatin1Char('\n'));
    QVERIFY2(traced.contains(QStringLiteral("vrk.serial: opened %1 with line settings speed=4800 data=7 "
                                            "parity=even stop=2")
                                 .arg(path)),
             qPrintable(all));
    QVERIFY2(traced.contains(QStringLiteral("vrk.serial: sent 2 of 2 bytes: 01 02")), qPrintable(all));
    QVERIFY2(traced.contains(QStringLiteral("vrk.serial: closed %1").arg(path)), qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral("vrk.serial: cannot open /nonexistent/ttyS9 - ")), qPrintable(all));
}

QTEST_GUILESS_MAIN(TestSerial)
#include "tst_serial.moc"

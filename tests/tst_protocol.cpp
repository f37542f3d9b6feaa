// The register exchanges: frames and CRC against known-good hex, and Czytaj
// and Zapis through the real driver against a scripted relay on the far end
// of a pseudo-terminal.
#include <QTest>
#include <QTimer>
#include <atomic>
#include <deque>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

#include "protocol/registerbus.h"
#include "wait/czekaj.h"
#include "serial/serialbackend.h"
#include "serial/testing/pseudoterminal.h"
#include "tests/tracecapture.h"
#include "serial/tserialdriver.h"
#include "simfixture.h"

namespace {

QByteArray hex(const char* h) { return QByteArray::fromHex(h); }

// What the relay does with one request.
struct Answer {
    enum Kind { Good, BadCrc, Short, Silent, Late } kind = Good;
    int base = 0;      // register r reads base + r
    int length = 0;    // Short: bytes of the reply that go out
    int delayMs = 0;   // Late: the reply goes out this much after the request
    int address = -1;  // reply from another address
    QByteArray extra;  // sent after the reply
};

uint16_t crcOf(const std::vector<uint8_t>& b) { return frames::crc16(b.data(), b.size()); }

// The CRC of a frame's body as its two bytes go on the wire, "lo hi".
QString crcHex(const QByteArray& body) {
    const uint16_t crc = frames::crc16(reinterpret_cast<const uint8_t*>(body.constData()), size_t(body.size()));
    return QStringLiteral("%1 %2").arg(crc & 0xFF, 2, 16, QLatin1Char('0')).arg(crc >> 8, 2, 16, QLatin1Char('0'));
}

void appendCrc(std::vector<uint8_t>& b) {
    const uint16_t crc = crcOf(b);
    b.push_back(uint8_t(crc & 0xFF));
    b.push_back(uint8_t(crc >> 8));
}

// A stand-in relay on the pty master: takes 8-byte requests and answers each
// as the script says (a good answer when the script has run out).
class ScriptedRelay {
public:
    explicit ScriptedRelay(PseudoTerminal& pty) : pty_(pty), thread_([this] { run(); }) {}
    ~ScriptedRelay() {
        stop_ = true;
        thread_.join();
    }
    void script(std::initializer_list<Answer> answers) {
        std::lock_guard<std::mutex> g(m_);
        script_.insert(script_.end(), answers);
    }
    std::vector<QByteArray> requests() {
        std::lock_guard<std::mutex> g(m_);
        return requests_;
    }

private:
    void run() {
        std::vector<uint8_t> pending;
        while (!stop_) {
            const std::vector<uint8_t> got = pty_.receive(64, 10);
            pending.insert(pending.end(), got.begin(), got.end());
            while (pending.size() >= 8 && !stop_) {
                std::vector<uint8_t> req(pending.begin(), pending.begin() + 8);
                pending.erase(pending.begin(), pending.begin() + 8);
                answer(req);
            }
        }
    }

    void answer(const std::vector<uint8_t>& req) {
        Answer a;
        {
            std::lock_guard<std::mutex> g(m_);
            requests_.emplace_back(reinterpret_cast<const char*>(req.data()), 8);
            if (!script_.empty()) {
                a = script_.front();
                script_.pop_front();
            }
        }
        if (a.kind == Answer::Silent) return;
        std::vector<uint8_t> reply;
        if (req[1] == 0x03) {
            const int start = (req[2] << 8 | req[3]) + 1;
            const int n = req[5];
            reply = {uint8_t(a.address >= 0 ? a.address : req[0]), 0x03, uint8_t(2 * n)};
            for (int i = 0; i < n; ++i) {
                const int v = (a.base + start + i) & 0xFFFF;
                reply.push_back(uint8_t(v >> 8));
                reply.push_back(uint8_t(v & 0xFF));
            }
            appendCrc(reply);
        } else {
            reply = req; // a write is answered with its own echo
            if (a.address >= 0) {
                reply[0] = uint8_t(a.address);
                reply.resize(6);
                appendCrc(reply);
            }
        }
        if (a.kind == Answer::BadCrc) reply.back() ^= 0x01;
        if (a.kind == Answer::Short) reply.resize(size_t(a.length));
        reply.insert(reply.end(), a.extra.begin(), a.extra.end());
        for (int waited = 0; a.kind == Answer::Late && waited < a.delayMs && !stop_; waited += 5) usleep(5000);
        pty_.send(reply);
    }

    PseudoTerminal& pty_;
    std::mutex m_;
    std::deque<Answer> script_;
    std::vector<QByteArray> requests_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A driver with the main window's settings on a fresh pty, its relay, and the bus.
struct Line {
    PseudoTerminal pty;
    TSerialDriver driver;
    int address = 3;
    RegisterBus bus{driver, [this] { return address; }};
    ScriptedRelay relay{pty};
    bool opened = false;

    Line() {
        driver.setPortName(QString::fromStdString(pty.slavePath()));
        driver.setBaudRateValue(19200);
        driver.setParity(ptODD);
        driver.setOutputTimeout(50);
        // Longer than the relay's 100 ms so that a loaded machine does not
        // turn a good answer into a missing one.
        driver.setInputTimeout(300);
        opened = driver.OpenPort();
    }
};

Answer good(int base = 0) {
    Answer a;
    a.base = base;
    return a;
}
Answer silent() {
    Answer a;
    a.kind = Answer::Silent;
    return a;
}

} // namespace

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    // ---- frames
    void crc16_data();
    void crc16();
    void crcText();
    void readRequest_data();
    void readRequest();
    void writeRequest_data();
    void writeRequest();
    void replyPasses_data();
    void replyPasses();

    // ---- czekaj
    void czekajZeroReturnsAtOnce();
    void czekajLetsEventsRun();

    // ---- exchanges over a pseudo-terminal
    void readTwelve();
    void requestsOnTheWire();
    void readFailures_data();
    void readFailures();
    void writeFailures_data();
    void writeFailures();
    void address32();
    void replyFieldsNotCompared();
    void resizeKeepsEntries();
    void lateReplyDoesNotPoisonNext();
    void longReplyTailIsNotTakenNextTime();
    void closedPort();
    void refusedArguments();

    // ---- reasons kept, and the trace
    void simulatorFaultsKept_data();
    void simulatorFaultsKept();
    void traceShowsExchanges();
};

// ---------------------------------------------------------------- frames

void TestProtocol::crc16_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<uint>("crc");
    QTest::newRow("empty") << QByteArray() << 0xFFFFu;
    QTest::newRow("read 1 from 1") << hex("010300000001") << 0x0A84u;
    QTest::newRow("write 0 to 10 at 3") << hex("030600090000") << 0x2A58u;
    QTest::newRow("check string") << QByteArray("123456789") << 0x4B37u;
}

void TestProtocol::crc16() {
    QFETCH(QByteArray, data);
    QFETCH(uint, crc);
    QCOMPARE(uint(frames::crc16(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()))), crc);
}

void TestProtocol::crcText() {
    // High byte first in the text; the frame's last two bytes are not covered.
    QCOMPARE(frames::CRC(hex("010300000001ffff")), QStringLiteral("0A84"));
    QCOMPARE(frames::CRC(hex("0306000900000000")), QStringLiteral("2A58"));
    QCOMPARE(frames::CRC(hex("0000")), QStringLiteral("FFFF"));
    QCOMPARE(frames::CRC(QByteArray()), QStringLiteral("FFFF"));
}

void TestProtocol::readRequest_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("1 from 1 at 1") << 1 << 1 << 1 << hex("010300000001840a");
    QTest::newRow("measurements") << 3 << 1 << 12 << hex("03030000000c442d");
    QTest::newRow("variant") << 3 << 23 << 1 << hex("030300160001642c");
    QTest::newRow("last fault block") << 247 << 101 << 25 << hex("f70300640019d149");
}

void TestProtocol::readRequest() {
    QFETCH(int, address);
    QFETCH(int, start);
    QFETCH(int, n);
    QFETCH(QByteArray, frame);
    QCOMPARE(frames::readRequest(address, start, n).toHex(), frame.toHex());
}

void TestProtocol::writeRequest_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("reg");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("fault reset") << 3 << 10 << 0 << hex("030600090000582a");
    QTest::newRow("clock word") << 1 << 25 << 0x2359 << hex("010600182359d0c7");
    QTest::newRow("largest value") << 32 << 12 << 0xFFFF << hex("2006000bffffff09");
}

void TestProtocol::writeRequest() {
    QFETCH(int, address);
    QFETCH(int, reg);
    QFETCH(int, value);
    QFETCH(QByteArray, frame);
    QCOMPARE(frames::writeRequest(address, reg, value).toHex(), frame.toHex());
}

void TestProtocol::replyPasses_data() {
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<uint>("got");
    QTest::addColumn<bool>("passes");
    const QByteArray reply = hex("010302002a399b"); // one register, value 42
    QTest::newRow("good") << reply << 7u << true;
    QTest::newRow("wrong last byte") << hex("010302002a399a") << 7u << false;
    QTest::newRow("wrong CRC low byte") << hex("010302002a389b") << 7u << false;
    QTest::newRow("value changed") << hex("010302002b399b") << 7u << false;
    QTest::newRow("one byte short") << reply << 6u << false;
    QTest::newRow("nothing came") << reply << 0u << false;
    QTest::newRow("write echo") << hex("030600090000582a") << 8u << true;
    QTest::newRow("address 32") << hex("2006000bffffff09") << 8u << true;
    QTest::newRow("blanks") << QByteArray(8, ' ') << 8u << false;
}

void TestProtocol::replyPasses() {
    QFETCH(QByteArray, buffer);
    QFETCH(uint, got);
    QFETCH(bool, passes);
    QCOMPARE(frames::replyPasses(buffer, got), passes);
}

// ---------------------------------------------------------------- czekaj

void TestProtocol::czekajZeroReturnsAtOnce() {
    bool ran = false;
    QTimer::singleShot(0, this, [&] { ran = true; });
    czekaj(0);
    QVERIFY(!ran);
    QTRY_VERIFY(ran);
}

void TestProtocol::czekajLetsEventsRun() {
    int ran = 0;
    QTimer::singleShot(0, this, [&] { ++ran; });
    QTimer::singleShot(10, this, [&] { ++ran; });
    const uint32_t start = tickCount();
    czekaj(40);
    QVERIFY(uint32_t(tickCount() - start) >= 40);
    QCOMPARE(ran, 2);
}

// ---------------------------------------------------------------- exchanges

void TestProtocol::readTwelve() {
    Line l;
    QVERIFY(l.opened);
    l.relay.script({good(1000)});
    QVERIFY(l.bus.Czytaj(1, 12));
    QCOMPARE(l.bus.RegisterValues.size(), 12);
    for (int i = 0; i < 12; ++i) QCOMPARE(l.bus.RegisterValues[i], 1001 + i);
    QCOMPARE(l.driver.PollingPauseCount(), 0);
    // Values are the unsigned 16-bit contents.
    l.relay.script({good(0xFFF4)});
    QVERIFY(l.bus.Czytaj(10, 3));
    QCOMPARE(l.bus.RegisterValues, (QVector<int32_t>{65534, 65535, 0}));
    l.relay.script({good(0xFFF0)});
    QVERIFY(l.bus.Czytaj(5, 1));
    QCOMPARE(l.bus.RegisterValues, QVector<int32_t>{65525});
}

void TestProtocol::requestsOnTheWire() {
    Line l;
    l.address = 1;
    QVERIFY(l.bus.Czytaj(1, 1));
    l.address = 3;
    QVERIFY(l.bus.Zapis(10, 0));
    QVERIFY(l.bus.Czytaj(26, 25));
    const auto sent = l.relay.requests();
    QCOMPARE(sent.size(), size_t(3));
    QCOMPARE(sent[0].toHex(), QByteArray("010300000001840a"));
    QCOMPARE(sent[1].toHex(), QByteArray("030600090000582a"));
    QCOMPARE(sent[2], frames::readRequest(3, 26, 25));
}

void TestProtocol::readFailures_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("error"); // the reason the bus keeps
    QTest::newRow("no reply") << int(Answer::Silent) << 0 << 0 << int(BusError::NoReply);
    QTest::newRow("bad CRC") << int(Answer::BadCrc) << 0 << 0 << int(BusError::BadCrc);
    QTest::newRow("one byte short") << int(Answer::Short) << 28 << 0 << int(BusError::ShortReply);
    QTest::newRow("stops half-way") << int(Answer::Short) << 14 << 0 << int(BusError::ShortReply);
    QTest::newRow("one byte") << int(Answer::Short) << 1 << 0 << int(BusError::ShortReply);
    QTest::newRow("too late") << int(Answer::Late) << 0 << 700 << int(BusError::NoReply);
}

void TestProtocol::readFailures() {
    QFETCH(int, kind);
    QFETCH(int, length);
    QFETCH(int, delay);
    QFETCH(int, error);
    Line l;
    l.relay.script({good(100)});
    QVERIFY(l.bus.Czytaj(1, 12));
    QCOMPARE(l.bus.error(), BusError::NoError);
    Answer a;
    a.kind = Answer::Kind(kind);
    a.base = 900;
    a.length = length;
    a.delayMs = delay;
    l.relay.script({a});
    QVERIFY(!l.bus.Czytaj(1, 12));
    QCOMPARE(int(l.bus.error()), error);
    QCOMPARE(l.bus.errorString(), busErrorText(BusError(error)));
    QCOMPARE(l.bus.RegisterValues.size(), 12);
    for (int i = 0; i < 12; ++i) QCOMPARE(l.bus.RegisterValues[i], 101 + i);
    QCOMPARE(l.driver.PollingPauseCount(), 0);
}

void TestProtocol::writeFailures_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("error");
    QTest::newRow("no reply") << int(Answer::Silent) << 0 << int(BusError::NoReply);
    QTest::newRow("bad CRC") << int(Answer::BadCrc) << 0 << int(BusError::BadCrc);
    QTest::newRow("short") << int(Answer::Short) << 7 << int(BusError::ShortReply);
}

void TestProtocol::writeFailures() {
    QFETCH(int, kind);
    QFETCH(int, length);
    QFETCH(int, error);
    Line l;
    l.relay.script({good(5)});
    QVERIFY(l.bus.Czytaj(12, 2));
    Answer a;
    a.kind = Answer::Kind(kind);
    a.length = length;
    l.relay.script({a});
    QVERIFY(!l.bus.Zapis(12, 77));
    QCOMPARE(int(l.bus.error()), error);
    QVERIFY(l.bus.Zapis(12, 77));
    QCOMPARE(l.bus.error(), BusError::NoError);
    // A write leaves the read values alone.
    QCOMPARE(l.bus.RegisterValues, (QVector<int32_t>{17, 18}));
}

// The relay's address byte is a blank (0x20); it is still a reply.
void TestProtocol::address32() {
    Line l;
    l.address = 32;
    l.relay.script({good(0)});
    QVERIFY(l.bus.Czytaj(1, 12));
    QCOMPARE(l.bus.RegisterValues[11], 12);
    QVERIFY(l.bus.Zapis(10, 0));
    QCOMPARE(l.relay.requests().back().toHex(), QByteArray("2006000900005f79"));
}

// A reply of the right length with a good CRC passes whoever sent it.
void TestProtocol::replyFieldsNotCompared() {
    Line l;
    Answer other = good(0);
    other.address = 5;
    l.relay.script({other, other});
    QVERIFY(l.bus.Czytaj(1, 2));
    QVERIFY(l.bus.Zapis(10, 0));
}

void TestProtocol::resizeKeepsEntries() {
    Line l;
    l.relay.script({good(0), good(500), silent()});
    QVERIFY(l.bus.Czytaj(1, 12));
    QCOMPARE(l.bus.RegisterValues.size(), 12);
    QVERIFY(l.bus.Czytaj(23, 1));
    QCOMPARE(l.bus.RegisterValues, QVector<int32_t>{523});
    QVERIFY(!l.bus.Czytaj(1, 12));
    QVector<int32_t> expected(12, 0);
    expected[0] = 523;
    QCOMPARE(l.bus.RegisterValues, expected);
}

// A reply that came after its read gave up is still waiting when the next
// request of the same length goes out; it must not be taken as that answer.
void TestProtocol::lateReplyDoesNotPoisonNext() {
    Line l;
    Answer late = good(100);
    late.kind = Answer::Late;
    late.delayMs = 500;
    l.relay.script({late, good(200)});
    QVERIFY(!l.bus.Czytaj(26, 25));

    // Let the late reply arrive without letting the polling timer take it.
    l.driver.HoldPolling();
    for (int i = 0; i < 5000 && l.driver.InputCount() < 55; ++i) usleep(1000);
    QCOMPARE(l.driver.InputCount(), 55u);
    l.driver.ReleasePolling();

    QVERIFY(l.bus.Czytaj(26, 25));
    QCOMPARE(l.bus.RegisterValues[0], 226);
    QCOMPARE(l.bus.RegisterValues[24], 250);
}

void TestProtocol::longReplyTailIsNotTakenNextTime() {
    Line l;
    Answer longer = good(0);
    // The tail happens to look like the start of the next reply.
    longer.extra = hex("0306000900");
    l.relay.script({longer, good(40)});
    QVERIFY(l.bus.Czytaj(1, 1));
    QCOMPARE(l.bus.RegisterValues, QVector<int32_t>{1});
    l.driver.HoldPolling();
    for (int i = 0; i < 5000 && l.driver.InputCount() < 5; ++i) usleep(1000);
    l.driver.ReleasePolling();
    QVERIFY(l.bus.Zapis(10, 0));
}

void TestProtocol::closedPort() {
    Line l;
    l.relay.script({good(0)});
    QVERIFY(l.bus.Czytaj(1, 2));
    l.driver.ClosePort();
    QVERIFY(!l.bus.Czytaj(1, 3));
    QCOMPARE(l.bus.error(), BusError::PortClosed);
    QCOMPARE(l.bus.RegisterValues, (QVector<int32_t>{1, 2, 0}));
    QVERIFY(!l.bus.Zapis(10, 0));
    QCOMPARE(l.bus.error(), BusError::PortClosed);
}

void TestProtocol::refusedArguments() {
    Line l;
    QVERIFY(!l.bus.Czytaj(1, 0));
    QVERIFY(!l.bus.Czytaj(1, 256));
    QVERIFY(!l.bus.Czytaj(0, 1));
    QVERIFY(!l.bus.Zapis(10, -1));
    QVERIFY(!l.bus.Zapis(10, 65536));
    QVERIFY(!l.bus.Zapis(0, 0));
    QCOMPARE(l.bus.error(), BusError::BadRequest);
    QTest::qWait(50);
    QVERIFY(l.relay.requests().empty());
}

// ---------------------------------------------------------------- against the simulator

void TestProtocol::simulatorFaultsKept_data() {
    QTest::addColumn<QString>("fault"); // a control command, or what the test does to the line
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("action"); // the simulator's log: what it did with the request
    QTest::newRow("good") << QString() << int(BusError::NoError) << QStringLiteral("reply");
    QTest::newRow("no reply") << QStringLiteral("noreply next 1") << int(BusError::NoReply)
                              << QStringLiteral("noreply");
    QTest::newRow("bad CRC") << QStringLiteral("badcrc next 1") << int(BusError::BadCrc) << QStringLiteral("badcrc");
    QTest::newRow("short") << QStringLiteral("short next 1") << int(BusError::ShortReply) << QStringLiteral("short");
    QTest::newRow("port closed") << QStringLiteral("close") << int(BusError::PortClosed) << QString();
    QTest::newRow("adapter pulled") << QStringLiteral("kill") << int(BusError::DeviceGone) << QString();
}

void TestProtocol::simulatorFaultsKept() {
    QFETCH(QString, fault);
    QFETCH(int, error);
    QFETCH(QString, action);
    SimRelay relay;
    QVERIFY(relay.start({QStringLiteral("--baud"), QStringLiteral("19200"), QStringLiteral("--parity"),
                         QStringLiteral("odd")}));
    TSerialDriver driver;
    driver.setPortName(relay.linkPath());
    driver.setBaudRate(br19200);
    driver.setParity(ptODD);
    driver.setInputTimeout(300);
    QVERIFY(driver.OpenPort());
    RegisterBus bus(driver, [] { return 3; });
    QVERIFY(bus.Czytaj(1, 12));
    if (fault == QLatin1String("close"))
        driver.ClosePort();
    else if (fault == QLatin1String("kill"))
        relay.kill();
    else if (!fault.isEmpty())
        QVERIFY(relay.control(fault));
    const qsizetype before = relay.isRunning() ? relay.logLines().size() : 0;
    QCOMPARE(bus.Czytaj(1, 12), error == int(BusError::NoError));
    QCOMPARE(int(bus.error()), error);
    if (!action.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(relay.logLines().size() > before, 5000);
        const auto line = SimRelay::parseLogLine(relay.logLines().at(before));
        QCOMPARE(line.value(QStringLiteral("action")), action);
        // The fault was for one request: the next exchange is good again.
        QVERIFY(bus.Czytaj(1, 12));
        QCOMPARE(bus.error(), BusError::NoError);
    } else {
        QVERIFY(!bus.Zapis(10, 0)); // and it stays so
        QCOMPARE(int(bus.error()), error);
    }
}

// With QT_LOGGING_RULES="vrk.*=true" (here set by the test) each request and
// reply shows with its outcome; without it nothing is traced.
void TestProtocol::traceShowsExchanges() {
    TraceCapture trace(TraceCapture::TraceOff);
    {
        Line l;
        QVERIFY(l.opened);
        l.relay.script({good(0)});
        QVERIFY(l.bus.Czytaj(1, 1));
        QVERIFY2(trace.lines().isEmpty(), qPrintable(trace.lines().join(QLatin1Char('\n'))));
        TraceCapture::turnOn();
        l.relay.script({good(0), silent()});
        QVERIFY(l.bus.Czytaj(1, 1));
        QVERIFY(!l.bus.Zapis(10, 0));
        TraceCapture::turnOff();
    }
    const QStringList traced = trace.stop();
    const QString all = traced.join(QLatin1Char('\n'));
    QVERIFY2(traced.contains(QStringLiteral("vrk.bus: sent 03 03 00 00 00 01 ") + crcHex(hex("030300000001"))),
             qPrintable(all));
    QVERIFY2(traced.contains(QStringLiteral("vrk.bus: received 7 of 7 bytes: 03 03 02 00 01 %1 -> ok")
                                 .arg(crcHex(hex("0303020001")))),
             qPrintable(all));
    QVERIFY2(traced.contains(QStringLiteral("vrk.bus: received 0 of 8 bytes:  -> no reply")), qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral("vrk.serial: sent 8 of 8 bytes: 03 06 00 09 00 00")), qPrintable(all));
}

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"

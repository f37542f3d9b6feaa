// The register exchanges: frames and CRC against known-good hex, and Czytaj
// and Zapis through the real driver against a scripted relay on the far end
// of a pseudo-terminal.
#include <atomic>
#include <chrono>
#include <cmath>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <thread>
#include <unistd.h>
#include <vector>

#include "protocol/registerbus.h"
#include "serial/serialbackend.h"
#include "serial/testing/pseudoterminal.h"
#include "serial/tserialdriver.h"
#include "simfixture.h"
#include "tests/tracecapture.h"
#include "wait/czekaj.h"

namespace {

QByteArray hex(const char* h) {
    return QByteArray::fromHex(h);
}

// What the relay does with one request.
struct Answer {
    enum Kind { Good, BadCrc, Short, Silent, Late, Stale } kind = Good;
    int base = 0;      // register r reads base + r
    int length = 0;    // Short: bytes of the reply that go out
    int delayMs = 0;   // Late: the reply goes out this much after it could have
    int address = -1;  // reply from another address
    QByteArray extra;  // sent after the reply
    int staleBase = 0; // Stale: the base of the old reply, on its way one character a byte
    int exception = 0; // an exception reply with this code instead of the answer
};

uint16_t crcOf(const std::vector<uint8_t>& b) {
    return frames::crc16(b.data(), b.size());
}

// The CRC of a frame's body as its two bytes go on the wire, "lo hi".
QString crcHex(const QByteArray& body) {
    const uint16_t crc =
        frames::crc16(reinterpret_cast<const uint8_t*>(body.constData()), size_t(body.size()));
    return QStringLiteral("%1 %2")
        .arg(crc & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(crc >> 8, 2, 16, QLatin1Char('0'));
}

void appendCrc(std::vector<uint8_t>& b) {
    const uint16_t crc = crcOf(b);
    b.push_back(uint8_t(crc & 0xFF));
    b.push_back(uint8_t(crc >> 8));
}

// The reply to a read of n registers from start, register r reading base + r.
std::vector<uint8_t> readReply(int address, int start, int n, int base) {
    std::vector<uint8_t> reply = {uint8_t(address), 0x03, uint8_t(2 * n)};
    for (int i = 0; i < n; ++i) {
        const int v = (base + start + i) & 0xFFFF;
        reply.push_back(uint8_t(v >> 8));
        reply.push_back(uint8_t(v & 0xFF));
    }
    appendCrc(reply);
    return reply;
}

// A line's settings, and what a character takes on it, counted here on
// their own: a start bit, the data bits, the parity bit, the stop bits.
struct LineFormat {
    uint32_t baud = 19200;
    TDataBits dataBits = db8BITS;
    TParity parity = ptODD;
    TStopBits stopBits = sb1BITS;
    double bitsPerChar() const {
        const double stop = stopBits == sb2BITS ? 2 : stopBits == sb1HALFBITS ? 1.5 : 1;
        return 1 + (int(dataBits) + 5) + (parity == ptNONE ? 0 : 1) + stop;
    }
    // The ms an 8-byte request takes on the line.
    double requestMs() const { return 8 * bitsPerChar() * 1000.0 / baud; }
};

// A stand-in relay on the pty master: takes 8-byte requests and answers each
// as the script says (a good answer when the script has run out). As a real
// relay, it answers no sooner than the request's time on the line after its
// first byte came.
class ScriptedRelay {
public:
    ScriptedRelay(PseudoTerminal& pty, const LineFormat& format)
        : pty_(pty), requestTime_(std::chrono::microseconds(int64_t(format.requestMs() * 1000.0 + 0.999))),
          thread_([this] { run(); }) {}
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
    using Clock = std::chrono::steady_clock;

    void run() {
        std::vector<uint8_t> pending;
        Clock::time_point firstByte;
        while (!stop_) {
            const std::vector<uint8_t> got = pty_.receive(8 - pending.size(), 10);
            if (got.empty()) continue;
            if (pending.empty()) firstByte = Clock::now();
            pending.insert(pending.end(), got.begin(), got.end());
            if (pending.size() == 8) {
                answer(pending, firstByte);
                pending.clear();
            }
        }
    }

    void answer(const std::vector<uint8_t>& req, Clock::time_point firstByte) {
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
        const int start = (req[2] << 8 | req[3]) + 1;
        if (req[1] == 0x03) {
            reply = readReply(a.address >= 0 ? a.address : req[0], start, req[5], a.base);
            // An old reply to the same request, already on its way: on a
            // line with wire time its bytes come one character time apart.
            if (a.kind == Answer::Stale)
                for (const uint8_t b : readReply(req[0], start, req[5], a.staleBase)) {
                    pty_.send({b});
                    std::this_thread::sleep_for(requestTime_ / 8);
                }
        } else {
            reply = req; // a write is answered with its own echo
            if (a.address >= 0) {
                reply[0] = uint8_t(a.address);
                reply.resize(6);
                appendCrc(reply);
            }
        }
        if (a.exception) {
            reply = {uint8_t(a.address >= 0 ? a.address : req[0]), uint8_t(req[1] | 0x80),
                     uint8_t(a.exception)};
            appendCrc(reply);
        }
        if (a.kind == Answer::BadCrc) reply.back() ^= 0x01;
        if (a.kind == Answer::Short) reply.resize(size_t(a.length));
        reply.insert(reply.end(), a.extra.begin(), a.extra.end());
        std::this_thread::sleep_until(firstByte + requestTime_);
        for (int waited = 0; a.kind == Answer::Late && waited < a.delayMs && !stop_; waited += 5)
            usleep(5000);
        pty_.send(reply);
    }

    PseudoTerminal& pty_;
    const Clock::duration requestTime_;
    std::mutex m_;
    std::deque<Answer> script_;
    std::vector<QByteArray> requests_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A driver with the main window's settings (or the given ones) on a fresh
// pty, its relay, and the bus.
struct Line {
    LineFormat format;
    PseudoTerminal pty;
    TSerialDriver driver;
    int address = 3;
    RegisterBus bus{driver, [this] { return address; }};
    ScriptedRelay relay{pty, format};
    bool opened = false;

    explicit Line(const LineFormat& f = LineFormat(), uint32_t inputTimeout = 300) : format(f) {
        driver.setPortName(QString::fromStdString(pty.slavePath()));
        driver.setBaudRateValue(format.baud);
        driver.setDataBits(format.dataBits);
        driver.setParity(format.parity);
        driver.setStopBits(format.stopBits);
        driver.setOutputTimeout(50);
        // Longer than the relay's 100 ms so that a loaded machine does not
        // turn a good answer into a missing one.
        driver.setInputTimeout(inputTimeout);
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

// A line on a clock of its own, for replies timed to the millisecond: bytes
// arrive at given ticks, a write goes out at once.
struct ClockedLine {
    uint32_t now = 0xFFFFFFF0u; // near the wrap
    std::deque<uint8_t> input;
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> arrivals;
    QByteArray written;
    bool stallWrites = false;
    // Bytes that come one every characterMs from `at` (ms).
    void paced(uint32_t at, const std::vector<uint8_t>& bytes, double characterMs) {
        for (size_t k = 0; k < bytes.size(); ++k)
            arrivals.push_back({at + uint32_t(std::lround(double(k) * characterMs)), {bytes[k]}});
    }
    void arrive() {
        for (auto it = arrivals.begin(); it != arrivals.end();)
            if (int32_t(now - it->first) >= 0) {
                input.insert(input.end(), it->second.begin(), it->second.end());
                it = arrivals.erase(it);
            } else {
                ++it;
            }
    }
};

class ClockedBackend final : public SerialBackend {
public:
    explicit ClockedBackend(std::shared_ptr<ClockedLine> line) : l(std::move(line)) {}
    bool open(const std::string&) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool applyLineState(const DeviceControlBlock&) override { return true; }
    bool setQueueSizes(uint32_t, uint32_t) override { return true; }
    bool setShortTimeouts() override { return true; }
    bool purge(bool rx, bool) override {
        if (rx) l->input.clear();
        return true;
    }
    bool inputCount(uint32_t& count) override {
        l->arrive();
        count = uint32_t(l->input.size());
        return true;
    }
    bool outputCount(uint32_t& count) override {
        count = 0;
        return true;
    }
    bool modemStatus(uint32_t& bits) override {
        bits = 0;
        return true;
    }
    bool read(void* buffer, uint32_t size, uint32_t& count) override {
        l->arrive();
        auto* p = static_cast<uint8_t*>(buffer);
        for (count = 0; count < size && !l->input.empty(); ++count) {
            p[count] = l->input.front();
            l->input.pop_front();
        }
        return true;
    }
    bool write(const void* data, uint32_t size, uint32_t& count) override {
        count = l->stallWrites ? 0 : size;
        l->written.append(static_cast<const char*>(data), qsizetype(count));
        return true;
    }
    void waitReadable(uint32_t ms) override {
        uint32_t until = l->now + ms;
        for (const auto& a : l->arrivals)
            if (int32_t(a.first - l->now) > 0 && int32_t(a.first - until) < 0) until = a.first;
        l->now = until;
    }
    void waitWritable(uint32_t ms) override { l->now += ms; }
    uint32_t ticks() const override { return l->now; }

private:
    std::shared_ptr<ClockedLine> l;
    bool open_ = false;
};

QStringList traced;
void keepTrace(QtMsgType, const QMessageLogContext& context, const QString& message) {
    traced << QString::fromLatin1(context.category) + QLatin1String(": ") + message;
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

    // ---- the soonest a reply can come
    void earliestReplyMs_data();
    void earliestReplyMs();
    void cameTooSoon_data();
    void cameTooSoon();
    void fasterThanLine_data();
    void fasterThanLine();
    void answersRequest_data();
    void answersRequest();
    void isExceptionReply_data();
    void isExceptionReply();
    void genuineReplyNeverRefused_data();
    void genuineReplyNeverRefused();
    void replyTimedThroughBus_data();
    void replyTimedThroughBus();
    void earlyReplyLeavesNextItsOwn();

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
    void replyFromAnotherDeviceRefused_data();
    void replyFromAnotherDeviceRefused();
    void requestNotSent();
    void resizeKeepsEntries();
    void lateReplyDoesNotPoisonNext();
    void longReplyTailIsNotTakenNextTime();
    void closedPort();
    void refusedArguments();
    void honestRelayAtEachSpeed_data();
    void honestRelayAtEachSpeed();
    void staleReplyOnTheLineRefused();

    // ---- reasons kept, and the trace
    void simulatorFaultsKept_data();
    void simulatorFaultsKept();
    void lateReplyInTheNextRequestsTimeRefused();
    void tickAfterLateReplyTakesItsOwn();
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
    QCOMPARE(uint(frames::crc16(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()))),
             crc);
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

// ---------------------------------------------------------------- the soonest a reply can come

namespace {
void addFormatColumns() {
    QTest::addColumn<uint>("baud");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stopBits");
}
LineFormat fetchFormat() {
    QFETCH(uint, baud);
    QFETCH(int, dataBits);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    return LineFormat{baud, TDataBits(dataBits), TParity(parity), TStopBits(stopBits)};
}
double earliestFor(const LineFormat& f, int bytes = 8) {
    return frames::earliestReplyMs(bytes, f.baud, f.dataBits, f.parity, f.stopBits);
}
} // namespace

void TestProtocol::earliestReplyMs_data() {
    addFormatColumns();
    QTest::addColumn<int>("bytes");
    QTest::addColumn<double>("ms");
    QTest::newRow("19200 8N1") << 19200u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 8
                               << 80000.0 / 19200;
    QTest::newRow("19200 8O1") << 19200u << int(db8BITS) << int(ptODD) << int(sb1BITS) << 8
                               << 88000.0 / 19200;
    QTest::newRow("9600 8E1") << 9600u << int(db8BITS) << int(ptEVEN) << int(sb1BITS) << 8 << 88000.0 / 9600;
    QTest::newRow("9600 8N1.5") << 9600u << int(db8BITS) << int(ptNONE) << int(sb1HALFBITS) << 8 << 8.75;
    QTest::newRow("4800 8N1") << 4800u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 8 << 80000.0 / 4800;
    QTest::newRow("4800 7E1") << 4800u << int(db7BITS) << int(ptEVEN) << int(sb1BITS) << 8 << 80000.0 / 4800;
    QTest::newRow("2400 7O2") << 2400u << int(db7BITS) << int(ptODD) << int(sb2BITS) << 8 << 88000.0 / 2400;
    QTest::newRow("2400 8N2") << 2400u << int(db8BITS) << int(ptNONE) << int(sb2BITS) << 8 << 88000.0 / 2400;
    QTest::newRow("2400 8M1") << 2400u << int(db8BITS) << int(ptMARK) << int(sb1BITS) << 8 << 88000.0 / 2400;
    QTest::newRow("16000 8N1: 5 ms") << 16000u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 8 << 5.0;
    QTest::newRow("1200 5N1, one byte")
        << 1200u << int(db5BITS) << int(ptNONE) << int(sb1BITS) << 1 << 7000.0 / 1200;
    QTest::newRow("speed 0") << 0u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 8 << 0.0;
}

void TestProtocol::earliestReplyMs() {
    const LineFormat f = fetchFormat();
    QFETCH(int, bytes);
    QFETCH(double, ms);
    QCOMPARE(earliestFor(f, bytes), ms);
}

void TestProtocol::cameTooSoon_data() {
    addFormatColumns();
    QTest::addColumn<uint>("step");    // the clock's step, ms
    QTest::addColumn<uint>("refused"); // the latest first byte (ms after the write began) refused; -1: none
    // 4.58 ms: a reply begins at 4.58 ms at the soonest, which a 1 ms clock
    // shows as 4 or more; 3 can only be an older one.
    QTest::newRow("19200 8O1") << 19200u << int(db8BITS) << int(ptODD) << int(sb1BITS) << 1u << 3u;
    QTest::newRow("19200 8N1") << 19200u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 1u << 3u;
    QTest::newRow("16000 8N1: 5 ms") << 16000u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 1u << 4u;
    QTest::newRow("9600 8E1") << 9600u << int(db8BITS) << int(ptEVEN) << int(sb1BITS) << 1u << 8u;
    QTest::newRow("4800 8N1") << 4800u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 1u << 15u;
    QTest::newRow("2400 7O2") << 2400u << int(db7BITS) << int(ptODD) << int(sb2BITS) << 1u << 35u;
    QTest::newRow("2400 8N1, 16 ms clock")
        << 2400u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 16u << 17u;
    QTest::newRow("19200 8O1, 16 ms clock")
        << 19200u << int(db8BITS) << int(ptODD) << int(sb1BITS) << 16u << uint(-1);
    QTest::newRow("speed 0") << 0u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 1u << uint(-1);
}

void TestProtocol::cameTooSoon() {
    const LineFormat f = fetchFormat();
    QFETCH(uint, step);
    QFETCH(uint, refused);
    const double earliest = earliestFor(f);
    for (uint32_t elapsed = 0; elapsed < 100; ++elapsed)
        QVERIFY2(frames::cameTooSoon(elapsed, earliest, step) == (refused != uint(-1) && elapsed <= refused),
                 qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
}

void TestProtocol::fasterThanLine_data() {
    QTest::addColumn<uint>("firstUs");
    QTest::addColumn<uint>("firstCount");
    QTest::addColumn<uint>("lastUs");
    QTest::addColumn<uint>("count");
    QTest::addColumn<uint>("stepUs");
    QTest::addColumn<double>("characterMs");
    QTest::addColumn<bool>("faster");
    // 4800 8N1: 2.083 ms a character; 29 bytes need 58.3 ms from the first's arrival to the last's.
    const double c4800 = 10000.0 / 4800;
    QTest::newRow("a port pair: 29 at once after 3 ms")
        << 3000u << 29u << 3000u << 29u << 1u << c4800 << true;
    QTest::newRow("a port pair: 29 at once after 12 ms")
        << 12000u << 29u << 12000u << 29u << 1u << c4800 << true;
    QTest::newRow("a wire: one byte, the rest paced")
        << 26000u << 1u << 84400u << 29u << 1u << c4800 << false;
    QTest::newRow("a wire: 3 bytes by the first look, paced")
        << 4200u << 3u << 62500u << 29u << 1u << c4800 << false;
    QTest::newRow("a wire, a late look: 29 by 60 ms")
        << 60000u << 29u << 60000u << 29u << 1u << c4800 << false;
    QTest::newRow("a burst of 8 at the first look") << 2000u << 8u << 60000u << 29u << 1u << c4800 << true;
    // 28 character times: 58.33 ms.
    QTest::newRow("29 by 58.4 ms") << 58400u << 29u << 58400u << 29u << 1u << c4800 << false;
    QTest::newRow("29 by 58.3 ms") << 58300u << 29u << 58300u << 29u << 1u << c4800 << true;
    // A write's echo at 2400 bit/s: 8 bytes need 29.2 ms.
    QTest::newRow("8 at once by 24 ms at 2400")
        << 24000u << 8u << 24000u << 8u << 1u << 10000.0 / 2400 << true;
    QTest::newRow("8 at once by 30 ms at 2400")
        << 30000u << 8u << 30000u << 8u << 1u << 10000.0 / 2400 << false;
    QTest::newRow("a lone byte") << 0u << 1u << 0u << 1u << 1u << c4800 << false;
    QTest::newRow("nothing") << 0u << 0u << 0u << 0u << 1u << c4800 << false;
    // A 16 ms clock may show a 20 ms span as 4.
    QTest::newRow("16 ms clock, 8 bytes shown in 14 ms at 2400")
        << 14000u << 8u << 14000u << 8u << 16000u << 10000.0 / 2400 << false;
    QTest::newRow("16 ms clock, 29 bytes shown in 16 ms at 2400")
        << 16000u << 29u << 16000u << 29u << 16000u << 10000.0 / 2400 << true;
}

void TestProtocol::fasterThanLine() {
    frames::ReplyArrival a;
    QFETCH(uint, firstUs);
    QFETCH(uint, firstCount);
    QFETCH(uint, lastUs);
    QFETCH(uint, count);
    QFETCH(uint, stepUs);
    QFETCH(double, characterMs);
    QFETCH(bool, faster);
    a.firstUs = firstUs;
    a.firstCount = firstCount;
    a.lastUs = lastUs;
    a.count = count;
    a.stepUs = stepUs;
    QCOMPARE(frames::fasterThanLine(a, characterMs), faster);
    // Faster than the line: never early, however soon it began.
    a.writeUs = 0;
    if (faster) QVERIFY(!frames::earlyOnTheLine(a, 1000.0, characterMs));
}

void TestProtocol::answersRequest_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("answers");
    const QByteArray read = frames::readRequest(1, 1, 1);
    const QByteArray write = frames::writeRequest(3, 10, 0);
    QTest::newRow("read, its reply") << read << QByteArray::fromHex("01030200190000") << true;
    QTest::newRow("read, another address") << read << QByteArray::fromHex("02030200190000") << false;
    QTest::newRow("read, another function") << read << QByteArray::fromHex("01040200190000") << false;
    QTest::newRow("read, another count") << read << QByteArray::fromHex("01030400190000") << false;
    QTest::newRow("write, its echo") << write << write << true;
    QTest::newRow("write, another register") << write << frames::writeRequest(3, 11, 0) << false;
    QTest::newRow("write, another value") << write << frames::writeRequest(3, 10, 1) << false;
    QTest::newRow("write, another address") << write << frames::writeRequest(4, 10, 0) << false;
}

void TestProtocol::answersRequest() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QFETCH(bool, answers);
    QCOMPARE(frames::answersRequest(request, reply), answers);
}

void TestProtocol::isExceptionReply_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("function");
    QTest::addColumn<bool>("exception");
    QTest::newRow("read, illegal data address") << QByteArray::fromHex("018302c0f1") << 3 << true;
    QTest::newRow("write, illegal data value") << QByteArray::fromHex("018603") << 6 << false;
    QTest::newRow("write, illegal data value, CRC") << QByteArray::fromHex("0186030261") << 6 << true;
    QTest::newRow("another function's") << QByteArray::fromHex("018302c0f1") << 6 << false;
    QTest::newRow("bad CRC") << QByteArray::fromHex("018302c0f0") << 3 << false;
    QTest::newRow("a normal reply") << QByteArray::fromHex("0103020019") << 3 << false;
}

void TestProtocol::isExceptionReply() {
    QFETCH(QByteArray, reply);
    QFETCH(int, function);
    QFETCH(bool, exception);
    QCOMPARE(frames::isExceptionReply(reply, function), exception);
}

void TestProtocol::genuineReplyNeverRefused_data() {
    addFormatColumns();
    QTest::addColumn<uint>("step");
    for (uint step : {1u, 16u}) {
        const QByteArray s = " step " + QByteArray::number(step);
        QTest::newRow("19200 8O1" + s) << 19200u << int(db8BITS) << int(ptODD) << int(sb1BITS) << step;
        QTest::newRow("16000 8N1" + s) << 16000u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << step;
        QTest::newRow("9600 8E1" + s) << 9600u << int(db8BITS) << int(ptEVEN) << int(sb1BITS) << step;
        QTest::newRow("4800 7E1" + s) << 4800u << int(db7BITS) << int(ptEVEN) << int(sb1BITS) << step;
        QTest::newRow("2400 7O2" + s) << 2400u << int(db7BITS) << int(ptODD) << int(sb2BITS) << step;
        QTest::newRow("300 8N1" + s) << 300u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << step;
    }
}

// A clock that moves in steps shows each time up to a step late. Wherever
// the write falls between two steps, a reply that began as soon as the line
// allows is taken, and one that began two steps sooner is refused.
void TestProtocol::genuineReplyNeverRefused() {
    const LineFormat f = fetchFormat();
    QFETCH(uint, step);
    const double wire = f.requestMs();
    auto reading = [step](double ms) { return uint32_t(std::floor(ms / step)) * step; };
    for (int k = 0; k < 200; ++k) {
        const double write = 1000.0 + k * step / 200.0;
        for (double later : {0.0, 1e-6, 0.3, 0.999, 1.0, 1.5, 2.0 * step}) {
            const uint32_t elapsed = reading(write + wire + later) - reading(write);
            QVERIFY2(!frames::cameTooSoon(elapsed, earliestFor(f), step),
                     qPrintable(QStringLiteral("write at %1, reply %2 ms after the request")
                                    .arg(write)
                                    .arg(wire + later)));
        }
        if (wire >= 2 * step) {
            const uint32_t elapsed = reading(write + wire - 2 * step) - reading(write);
            QVERIFY2(frames::cameTooSoon(elapsed, earliestFor(f), step), qPrintable(QString::number(write)));
        }
    }
}

void TestProtocol::replyTimedThroughBus_data() {
    addFormatColumns();
    QTest::addColumn<int>("at");     // ms after the write began
    QTest::addColumn<int>("length"); // bytes of the 29-byte reply that come
    QTest::addColumn<bool>("paced"); // one character time a byte (a line with wire time), else all at once
    QTest::addColumn<int>("error");
    const int early = int(BusError::EarlyReply), ok = int(BusError::NoError);
    QTest::newRow("19200 8O1 1 ms") << 19200u << int(db8BITS) << int(ptODD) << int(sb1BITS) << 1 << 29 << true
                                    << early;
    QTest::newRow("19200 8O1 3 ms") << 19200u << int(db8BITS) << int(ptODD) << int(sb1BITS) << 3 << 29 << true
                                    << early;
    QTest::newRow("19200 8O1 4 ms") << 19200u << int(db8BITS) << int(ptODD) << int(sb1BITS) << 4 << 29 << true
                                    << ok;
    QTest::newRow("9600 8E1 8 ms") << 9600u << int(db8BITS) << int(ptEVEN) << int(sb1BITS) << 8 << 29 << true
                                   << early;
    QTest::newRow("9600 8E1 9 ms") << 9600u << int(db8BITS) << int(ptEVEN) << int(sb1BITS) << 9 << 29 << true
                                   << ok;
    QTest::newRow("4800 8N1 15 ms") << 4800u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 15 << 29
                                    << true << early;
    QTest::newRow("4800 8N1 16 ms") << 4800u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 16 << 29
                                    << true << ok;
    QTest::newRow("2400 7O2 35 ms") << 2400u << int(db7BITS) << int(ptODD) << int(sb2BITS) << 35 << 29 << true
                                    << early;
    QTest::newRow("2400 7O2 36 ms") << 2400u << int(db7BITS) << int(ptODD) << int(sb2BITS) << 36 << 29 << true
                                    << ok;
    // An early start tells more than what came of it.
    QTest::newRow("2400 8N1 part, early")
        << 2400u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 10 << 12 << true << early;
    QTest::newRow("2400 8N1 part, in time") << 2400u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 40
                                            << 12 << true << int(BusError::ShortReply);
    // A reply that came faster than the line carries it comes from a line
    // without wire time (a port pair, a software peer): when it began says
    // nothing, and it is taken.
    QTest::newRow("4800 8N1 at once, 1 ms")
        << 4800u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 1 << 29 << false << ok;
    QTest::newRow("2400 7O2 at once, 1 ms")
        << 2400u << int(db7BITS) << int(ptODD) << int(sb2BITS) << 1 << 29 << false << ok;
    QTest::newRow("19200 8O1 at once, 1 ms")
        << 19200u << int(db8BITS) << int(ptODD) << int(sb1BITS) << 1 << 29 << false << ok;
    QTest::newRow("2400 8N1 part at once") << 2400u << int(db8BITS) << int(ptNONE) << int(sb1BITS) << 10 << 12
                                           << false << int(BusError::ShortReply);
    // 29 bytes at once 12 ms after the write at 19200 bit/s, where they need 16 ms.
    QTest::newRow("19200 8O1 at once, 12 ms")
        << 19200u << int(db8BITS) << int(ptODD) << int(sb1BITS) << 12 << 29 << false << ok;
}

// Through the driver and the bus on a clock of the test's own: how the bytes
// came and when the first came decide, to the millisecond.
void TestProtocol::replyTimedThroughBus() {
    const LineFormat f = fetchFormat();
    QFETCH(int, at);
    QFETCH(int, length);
    QFETCH(bool, paced);
    QFETCH(int, error);
    auto line = std::make_shared<ClockedLine>();
    TSerialDriver driver(std::make_unique<ClockedBackend>(line), nullptr);
    driver.setBaudRateValue(f.baud);
    driver.setDataBits(f.dataBits);
    driver.setParity(f.parity);
    driver.setStopBits(f.stopBits);
    driver.setInputTimeout(100);
    QVERIFY(driver.OpenPort());
    RegisterBus bus(driver, [] { return 3; });
    const double character = f.bitsPerChar() * 1000.0 / f.baud;
    line->paced(line->now + 40, readReply(3, 1, 12, 100), character);
    QVERIFY(bus.Czytaj(1, 12));
    std::vector<uint8_t> reply = readReply(3, 1, 12, 500);
    reply.resize(size_t(length));
    if (paced)
        line->paced(line->now + uint32_t(at), reply, character);
    else
        line->arrivals = {{line->now + uint32_t(at), reply}};
    QCOMPARE(bus.Czytaj(1, 12), error == int(BusError::NoError));
    QCOMPARE(int(bus.error()), error);
    QCOMPARE(bus.RegisterValues[0], error == int(BusError::NoError) ? 501 : 101);
    QCOMPARE(bus.errorString(), busErrorText(BusError(error)));
}

// The old reply is refused; the tick's own, behind it, is stale input by
// the next exchange, which takes its own reply.
void TestProtocol::earlyReplyLeavesNextItsOwn() {
    traced.clear();
    QtMessageHandler before = qInstallMessageHandler(keepTrace);
    QLoggingCategory::setFilterRules(QStringLiteral("vrk.bus=true"));
    auto line = std::make_shared<ClockedLine>();
    TSerialDriver driver(std::make_unique<ClockedBackend>(line), nullptr);
    driver.setBaudRateValue(19200);
    driver.setParity(ptODD);
    driver.setInputTimeout(100);
    QVERIFY(driver.OpenPort());
    RegisterBus bus(driver, [] { return 3; });
    const uint32_t t = line->now;
    const double character = 11 * 1000.0 / 19200;
    line->paced(t + 1, readReply(3, 1, 12, 100), character);
    line->paced(t + 18, readReply(3, 1, 12, 200), character);
    const bool first = bus.Czytaj(1, 12);
    line->now += 40;
    line->paced(line->now + 6, readReply(3, 1, 12, 300), character);
    const bool second = bus.Czytaj(1, 12);
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(before);
    QVERIFY(!first);
    QCOMPARE(bus.error(), BusError::NoError);
    QVERIFY(second);
    QCOMPARE(bus.RegisterValues[0], 301);
    const QString all = traced.join(QLatin1Char('\n'));
    QVERIFY2(traced.contains(QStringLiteral(
                 "vrk.bus: the reply began 1.0 ms after the request, which takes 4.6 ms on the line")),
             qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral("vrk.bus: received 29 of 29 bytes: 03 03 18 00 65")) &&
                 all.contains(QStringLiteral("-> early reply")),
             qPrintable(all));
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
    for (int i = 0; i < 12; ++i)
        QCOMPARE(l.bus.RegisterValues[i], 1001 + i);
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
    for (int i = 0; i < 12; ++i)
        QCOMPARE(l.bus.RegisterValues[i], 101 + i);
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
void TestProtocol::replyFromAnotherDeviceRefused_data() {
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("address");   // the reply's address
    QTest::addColumn<int>("exception"); // an exception reply's code, 0: none
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("read, another address")
        << false << 5 << 0 << int(BusError::OtherDevice) << "Reply from another device (address 5).";
    QTest::newRow("write, another address")
        << true << 4 << 0 << int(BusError::OtherDevice) << "Reply from another device (address 4).";
    QTest::newRow("read refused") << false << -1 << 2 << int(BusError::Exception)
                                  << "The relay refused the request: illegal data address (exception 2).";
    QTest::newRow("write refused") << true << -1 << 3 << int(BusError::Exception)
                                   << "The relay refused the request: illegal data value (exception 3).";
    QTest::newRow("refusal by another address")
        << false << 7 << 1 << int(BusError::OtherDevice) << "Reply from another device (address 7).";
}

// Another device's reply, whole and sound, answers nothing of ours; the
// relay's own refusal is taken when it comes, not waited out as a short reply.
void TestProtocol::replyFromAnotherDeviceRefused() {
    QFETCH(bool, write);
    QFETCH(int, address);
    QFETCH(int, exception);
    QFETCH(int, error);
    QFETCH(QString, text);
    Line l(LineFormat{}, 1000);
    QVERIFY(l.opened);
    Answer a = good(0);
    a.address = address;
    a.exception = exception;
    l.relay.script({good(10), a});
    QVERIFY(l.bus.Czytaj(1, 2));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!(write ? l.bus.Zapis(10, 0) : l.bus.Czytaj(1, 2)));
    // Not waited out: the time-out is a second.
    if (exception) QVERIFY2(timer.elapsed() < 900, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(int(l.bus.error()), error);
    QCOMPARE(l.bus.errorString(), text);
    QCOMPARE(l.bus.RegisterValues, (QVector<int32_t>{11, 12}));
}

// A request that could not be written is not reported as a relay that did not answer.
void TestProtocol::requestNotSent() {
    auto line = std::make_shared<ClockedLine>();
    TSerialDriver driver(std::make_unique<ClockedBackend>(line), nullptr);
    driver.setOutputTimeout(50);
    QVERIFY(driver.OpenPort());
    RegisterBus bus(driver, [] { return 3; });
    line->stallWrites = true;
    QVERIFY(!bus.Czytaj(1, 12));
    QCOMPARE(bus.error(), BusError::NotSent);
    QVERIFY(!bus.Zapis(10, 0));
    QCOMPARE(bus.error(), BusError::NotSent);
    QCOMPARE(bus.errorString(), busErrorText(BusError::NotSent));
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
    for (int i = 0; i < 5000 && l.driver.InputCount() < 55; ++i)
        usleep(1000);
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
    for (int i = 0; i < 5000 && l.driver.InputCount() < 5; ++i)
        usleep(1000);
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

void TestProtocol::honestRelayAtEachSpeed_data() {
    addFormatColumns();
    QTest::newRow("19200 8O1") << 19200u << int(db8BITS) << int(ptODD) << int(sb1BITS);
    QTest::newRow("9600 8E1") << 9600u << int(db8BITS) << int(ptEVEN) << int(sb1BITS);
    QTest::newRow("4800 8N1") << 4800u << int(db8BITS) << int(ptNONE) << int(sb1BITS);
    QTest::newRow("2400 7O2") << 2400u << int(db7BITS) << int(ptODD) << int(sb2BITS);
    QTest::newRow("2400 8N2") << 2400u << int(db8BITS) << int(ptNONE) << int(sb2BITS);
}

// A relay that answers as soon as the line lets it is always taken.
void TestProtocol::honestRelayAtEachSpeed() {
    Line l(fetchFormat());
    QVERIFY(l.opened);
    l.relay.script({good(10), good(20), good(30)});
    QVERIFY(l.bus.Czytaj(1, 12));
    QCOMPARE(l.bus.RegisterValues[11], 22);
    QVERIFY(l.bus.Zapis(10, 5));
    QVERIFY(l.bus.Czytaj(26, 25));
    QCOMPARE(l.bus.RegisterValues[24], 80);
}

// An old reply already on its way lands right after the request goes out;
// it is refused, and the request's own reply behind it is not taken later.
// At 300 bit/s (the request takes 267 ms) a loaded machine cannot make the
// old one look like the request's own.
void TestProtocol::staleReplyOnTheLineRefused() {
    Line l(LineFormat{300, db8BITS, ptNONE, sb1BITS}, 1000);
    QVERIFY(l.opened);
    Answer stale = good(200);
    stale.kind = Answer::Stale;
    stale.staleBase = 900;
    l.relay.script({good(100), stale, good(300)});
    QVERIFY(l.bus.Czytaj(26, 1));
    QVERIFY(!l.bus.Czytaj(26, 1));
    QCOMPARE(l.bus.error(), BusError::EarlyReply);
    QCOMPARE(l.bus.RegisterValues[0], 126);
    // Its own reply comes behind it, and waits.
    l.driver.HoldPolling();
    for (int i = 0; i < 5000 && l.driver.InputCount() < 7; ++i)
        usleep(1000);
    QCOMPARE(l.driver.InputCount(), 7u);
    l.driver.ReleasePolling();
    QVERIFY(l.bus.Czytaj(26, 1));
    QCOMPARE(l.bus.RegisterValues[0], 326);
}

// ---------------------------------------------------------------- against the simulator

void TestProtocol::simulatorFaultsKept_data() {
    QTest::addColumn<QString>("fault"); // a control command, or what the test does to the line
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("action"); // the simulator's log: what it did with the request
    QTest::newRow("good") << QString() << int(BusError::NoError) << QStringLiteral("reply");
    QTest::newRow("no reply") << QStringLiteral("noreply next 1") << int(BusError::NoReply)
                              << QStringLiteral("noreply");
    QTest::newRow("bad CRC") << QStringLiteral("badcrc next 1") << int(BusError::BadCrc)
                             << QStringLiteral("badcrc");
    QTest::newRow("short") << QStringLiteral("short next 1") << int(BusError::ShortReply)
                           << QStringLiteral("short");
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

namespace {
// The values of each read of n registers from start in the simulator's log, in order.
QList<QVector<int32_t>> loggedReads(const QStringList& lines, int start, int n,
                                    QStringList* actions = nullptr) {
    QList<QVector<int32_t>> out;
    for (const QString& line : lines) {
        const auto e = SimRelay::parseLogLine(line);
        if (e.value(QStringLiteral("fn")) != QLatin1String("3") ||
            e.value(QStringLiteral("reg")).toInt() != start || e.value(QStringLiteral("n")).toInt() != n)
            continue;
        QVector<int32_t> values;
        for (const QString& v : e.value(QStringLiteral("values")).split(QLatin1Char(','), Qt::SkipEmptyParts))
            values << v.toInt();
        out << values;
        if (actions) *actions << e.value(QStringLiteral("action"));
    }
    return out;
}
} // namespace

// A late reply that begins while the next request is still on the line is
// refused, and the request after takes its own. At 600 bit/s the request
// takes 133 ms: the late reply is aimed at the middle of that time, well
// clear of a loaded machine's delays.
void TestProtocol::lateReplyInTheNextRequestsTimeRefused() {
    SimRelay relay;
    QVERIFY(relay.start({QStringLiteral("--baud"), QStringLiteral("600"), QStringLiteral("--line-timing"),
                         QStringLiteral("on")}));
    TSerialDriver driver;
    driver.setPortName(relay.linkPath());
    driver.setBaudRateValue(600);
    driver.setParity(ptNONE);
    // A reply's first byte comes 155 ms after the request began.
    driver.setInputTimeout(300);
    QVERIFY(driver.OpenPort());
    RegisterBus bus(driver, [] { return 3; });
    // The late reply's first byte comes 155 + 212 ms after its request, 66 ms
    // after the next request began (its read gave up at 300 ms).
    QVERIFY(relay.control(QStringLiteral("late-ms 212")));
    QVERIFY(relay.control(QStringLiteral("late next 1")));
    QVERIFY(!bus.Czytaj(1, 12));
    QCOMPARE(bus.error(), BusError::NoReply);
    QVERIFY(!bus.Czytaj(1, 12));
    QCOMPARE(bus.error(), BusError::EarlyReply);
    // The request's own reply, held back behind the late one, may still be
    // on its way: the next read takes its own reply or none.
    const bool third = bus.Czytaj(1, 12);
    const QVector<int32_t> thirdValues = bus.RegisterValues;
    czekaj(600);
    QVERIFY(bus.Czytaj(1, 12));
    QStringList actions;
    const QList<QVector<int32_t>> sent = loggedReads(relay.logLines(), 1, 12, &actions);
    QCOMPARE(actions, (QStringList{QStringLiteral("late"), QStringLiteral("reply"), QStringLiteral("reply"),
                                   QStringLiteral("reply")}));
    if (third) QCOMPARE(thirdValues, sent[2]);
    QCOMPARE(bus.RegisterValues, sent[3]);
}

// The poll's ticks (the measurement read, 20 ms, the variant read) at the
// program's settings against the timed simulator, with a late reply every
// few ticks: every measurement read taken is its own request's reply.
void TestProtocol::tickAfterLateReplyTakesItsOwn() {
    SimRelay relay;
    QVERIFY(relay.start({QStringLiteral("--baud"), QStringLiteral("19200"), QStringLiteral("--parity"),
                         QStringLiteral("odd"), QStringLiteral("--line-timing"), QStringLiteral("on")}));
    TSerialDriver driver;
    driver.setPortName(relay.linkPath());
    driver.setBaudRate(br19200);
    driver.setParity(ptODD);
    driver.setInputTimeout(100); // the main window's
    QVERIFY(driver.OpenPort());
    RegisterBus bus(driver, [] { return 3; });
    constexpr int kTicks = 48;
    QList<std::optional<QVector<int32_t>>> taken;
    for (int tick = 0; tick < kTicks; ++tick) {
        if (tick % 4 == 1) QVERIFY(relay.control(QStringLiteral("late next 1")));
        const bool good = bus.Czytaj(1, 12);
        taken << (good ? std::optional<QVector<int32_t>>(bus.RegisterValues) : std::nullopt);
        czekaj(20);
        (void)bus.Czytaj(23, 1);
    }
    czekaj(400); // the last late reply reaches the log
    QStringList actions;
    const QList<QVector<int32_t>> sent = loggedReads(relay.logLines(), 1, 12, &actions);
    QCOMPARE(sent.size(), qsizetype(kTicks));
    int afterLate = 0;
    for (int k = 0; k < kTicks; ++k) {
        if (actions[k] == QLatin1String("late")) {
            QVERIFY2(!taken[k], qPrintable(QStringLiteral("tick %1 took a late reply").arg(k)));
            continue;
        }
        if (!taken[k]) continue;
        if (k > 0 && actions[k - 1] == QLatin1String("late")) ++afterLate;
        QVERIFY2(*taken[k] == sent[k], qPrintable(QStringLiteral("tick %1 (%2) did not take its own reply")
                                                      .arg(k)
                                                      .arg(k > 0 ? actions[k - 1] : QString())));
    }
    qInfo("%d of %d ticks right after a late reply took their own", afterLate, kTicks / 4);
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
    QVERIFY2(
        traced.contains(QStringLiteral("vrk.bus: sent 03 03 00 00 00 01 ") + crcHex(hex("030300000001"))),
        qPrintable(all));
    QVERIFY2(traced.contains(QStringLiteral("vrk.bus: received 7 of 7 bytes: 03 03 02 00 01 %1 -> ok")
                                 .arg(crcHex(hex("0303020001")))),
             qPrintable(all));
    QVERIFY2(traced.contains(QStringLiteral("vrk.bus: received 0 of 8 bytes:  -> no reply")),
             qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral("vrk.serial: sent 8 of 8 bytes: 03 06 00 09 00 00")),
             qPrintable(all));
}

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"

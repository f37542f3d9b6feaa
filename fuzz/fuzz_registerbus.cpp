// The register exchanges end to end: Czytaj and Zapis through the real
// TSerialDriver, whose backend is a line that delivers whatever the input
// says: replies of any length and content, in pieces, early, late, after
// stale bytes, with writes that stall, a port that closes and the driver's
// polling timer draining input between exchanges. A fake clock
// runs the driver's time-outs, so no input ever sleeps.
//
// Checked on every exchange: the request frame on the line is the right one;
// the result is true exactly when the whole expected reply came and its CRC
// is right; a good reply fills RegisterValues with its big-endian words, a
// failed one leaves the kept entries alone; Zapis never touches the array;
// the reason kept (not sent, no reply, early reply, a refusal, another
// device, short reply, bad CRC, port closed) fits what came; a reply is
// refused as early only when its first byte came within the request's time
// on the line (whether it is, on a line that carried other bytes faster
// than a wire can, is the bus's own judgement of the line).
// Before that, frames::replyPasses is checked on the raw input.
#include "fuzz/support.h"
#include "protocol/registerbus.h"
#include "serial/serialbackend.h"
#include "serial/tserialdriver.h"

#include <QVector>

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>

namespace {

// A CRC-16 written apart from the one under test (table driven, same polynomial).
struct ReferenceCrc {
    std::array<uint16_t, 256> table{};
    ReferenceCrc() {
        for (unsigned i = 0; i < 256; ++i) {
            uint16_t c = uint16_t(i);
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? uint16_t(0xA001 ^ (c >> 1)) : uint16_t(c >> 1);
            table[i] = c;
        }
    }
    uint16_t operator()(const QByteArray& bytes, qsizetype count) const {
        uint16_t crc = 0xFFFF;
        for (qsizetype i = 0; i < count; ++i)
            crc = uint16_t((crc >> 8) ^ table[(crc ^ uint8_t(bytes[i])) & 0xFF]);
        return crc;
    }
};
const ReferenceCrc refCrc;

// The frame is whole and its last two bytes are the CRC of the rest, low byte first.
bool crcHolds(const QByteArray& frame) {
    const qsizetype n = frame.size();
    if (n < 3) return false;
    const uint16_t crc = refCrc(frame, n - 2);
    return uint8_t(frame[n - 2]) == (crc & 0xFF) && uint8_t(frame[n - 1]) == (crc >> 8);
}

// The reason the bus must keep for an exchange of `request` that read
// `delivered` of a reply of replySize bytes (early: refused as too soon).
BusError expectedError(bool wasOpen, bool stalled, const QByteArray& request, const QByteArray& delivered,
                       qsizetype replySize, bool early) {
    if (!wasOpen) return BusError::PortClosed;
    if (stalled) return BusError::NotSent;
    if (delivered.isEmpty()) return BusError::NoReply;
    if (early) return BusError::EarlyReply;
    // A refusal: function + 0x80, a code and its CRC, five bytes.
    if (delivered.size() >= 5 && uint8_t(delivered[1]) == (uint8_t(request[1]) | 0x80) &&
        crcHolds(delivered.left(5)))
        return delivered[0] == request[0] ? BusError::Exception : BusError::OtherDevice;
    if (delivered.size() < replySize) return BusError::ShortReply;
    if (!crcHolds(delivered)) return BusError::BadCrc;
    const bool sameDevice = delivered[0] == request[0] && delivered[1] == request[1];
    const bool answers = request[1] == 3 ? uint8_t(delivered[2]) == uint8_t(2 * uint8_t(request[5]))
                                         : delivered.left(6) == request.left(6);
    return sameDevice && answers ? BusError::NoError : BusError::OtherDevice;
}

QByteArray referenceRequest(int address, int function, int word1, int word2) {
    QByteArray f;
    f.append(char(address & 0xFF)).append(char(function));
    f.append(char((word1 >> 8) & 0xFF)).append(char(word1 & 0xFF));
    f.append(char((word2 >> 8) & 0xFF)).append(char(word2 & 0xFF));
    const uint16_t crc = refCrc(f, 6);
    f.append(char(crc & 0xFF)).append(char(crc >> 8));
    return f;
}

// A serial line driven by the input, on a clock of its own.
class ScriptedLine : public SerialBackend {
public:
    struct Arrival {
        uint32_t at;
        QByteArray bytes;
    };

    bool open(const std::string&) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool applyLineState(const DeviceControlBlock&) override { return true; }
    bool setQueueSizes(uint32_t, uint32_t) override { return true; }
    bool setShortTimeouts() override { return true; }
    bool purge(bool rx, bool) override {
        if (rx) {
            arrive();
            queue_.clear();
        }
        return true;
    }
    bool inputCount(uint32_t& count) override {
        arrive();
        count = uint32_t(queue_.size());
        return true;
    }
    bool outputCount(uint32_t& count) override {
        count = 0;
        return true;
    }
    bool modemStatus(uint32_t& bits) override {
        bits = msCTS | msDSR;
        return true;
    }
    bool read(void* buffer, uint32_t size, uint32_t& count) override {
        arrive();
        count = std::min<uint32_t>({size, uint32_t(queue_.size()), readChunk});
        if (count > 0 && firstAt < 0) firstAt = now_;
        std::memcpy(buffer, queue_.constData(), count);
        delivered.append(queue_.constData(), count);
        queue_.remove(0, count);
        return true;
    }
    bool write(const void* data, uint32_t size, uint32_t& count) override {
        if (writeAt < 0) writeAt = now_;
        count = stallWrites ? 0 : size;
        sent.append(static_cast<const char*>(data), count);
        return true;
    }
    void waitReadable(uint32_t ms) override {
        uint32_t until = now_ + std::max<uint32_t>(ms, 1);
        if (!pending_.empty() && pending_.front().at < until) until = std::max(now_ + 1, pending_.front().at);
        now_ = until;
    }
    void waitWritable(uint32_t ms) override { now_ += std::max<uint32_t>(ms, 1); }
    uint32_t ticks() const override { return now_; }

    // Bytes that come at the given time (kept in time order).
    void schedule(uint32_t at, const QByteArray& bytes) {
        auto it = std::upper_bound(pending_.begin(), pending_.end(), at,
                                   [](uint32_t t, const Arrival& a) { return t < a.at; });
        pending_.insert(it, Arrival{at, bytes});
    }
    // Bytes already waiting.
    void stale(const QByteArray& bytes) { queue_ += bytes; }
    uint32_t now() const { return now_; }
    void pass(uint32_t ms) { now_ += ms; }

    QByteArray sent;      // what the driver wrote during this exchange
    QByteArray delivered; // what it read during this exchange
    int64_t writeAt = -1; // when it first wrote during this exchange
    int64_t firstAt = -1; // when it first read a byte during this exchange
    uint32_t readChunk = 1;
    bool stallWrites = false;

private:
    void arrive() {
        while (!pending_.empty() && pending_.front().at <= now_) {
            queue_ += pending_.front().bytes;
            pending_.pop_front();
        }
    }
    bool open_ = false;
    uint32_t now_ = 1000;
    QByteArray queue_;
    std::deque<Arrival> pending_;
};

// The reads and writes the program makes, by an index from the input.
constexpr std::array<std::pair<int, int>, 7> kReads = {
    {{1, 12}, {23, 1}, {12, 14}, {26, 25}, {51, 25}, {76, 25}, {101, 25}}};
constexpr std::array<int, 15> kWrites = {10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25};

void checkReplyPasses(fuzz::Cursor in) {
    const uint32_t got = in.byte();
    const QByteArray buffer = in.bytes(in.byte());
    const bool expected = buffer.size() >= 3 && got >= uint32_t(buffer.size()) && crcHolds(buffer);
    FUZZ_CHECK(frames::replyPasses(buffer, got) == expected);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    // The worked example: 01 03 00 00 00 01 goes out with 84 0A.
    FUZZ_CHECK(referenceRequest(1, 3, 0, 1) == QByteArray::fromHex("010300000001840a"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkReplyPasses(fuzz::Cursor(data, size));

    fuzz::Cursor in(data, size);
    auto* line = new ScriptedLine;
    TSerialDriver driver(std::unique_ptr<SerialBackend>(line), nullptr);
    // As the main window sets its driver.
    driver.setPortName(QStringLiteral("\\\\.\\COM2"));
    driver.setBaudRateValue(19200);
    driver.setParity(ptODD);
    driver.setOutputTimeout(50);
    driver.setInputTimeout(100);
    FUZZ_CHECK(driver.OpenPort());

    int address = 1;
    RegisterBus bus(driver, [&address] { return address; });

    for (int exchanges = 0; exchanges < 16 && !in.empty(); ++exchanges) {
        const uint8_t op = in.byte();
        const int kind = op & 3;
        if (kind == 3) { // the adapter goes away, or comes back
            if (driver.IsOpen())
                driver.ClosePort();
            else
                FUZZ_CHECK(driver.OpenPort());
            continue;
        }
        // The driver's polling timer runs between exchanges and drops what waits.
        if (op & 0x20) driver.PollTimerProc();
        const bool fixCrc = op & 0x04;
        line->stallWrites = op & 0x08;
        if (op & 0x10) line->stale(in.bytes(in.byte() % 16));
        line->pass(in.byte()); // time since the last exchange
        address = in.byte();
        line->readChunk = 1 + in.byte();

        int start = 0, n = 0, reg = 0, value = 0;
        if (kind != 2) {
            const uint8_t p = in.byte();
            if (p & 0x80) {
                start = 1 + in.word();
                n = in.byte();
            } else {
                std::tie(start, n) = kReads[p % kReads.size()];
            }
        } else {
            const uint8_t p = in.byte();
            reg = (p & 0x80) ? 1 + in.word() : kWrites[p % kWrites.size()];
            value = in.word();
        }
        const qsizetype replySize = kind != 2 ? 2 * n + 5 : 8;

        // The reply in up to three pieces, each at its own time after the request.
        const int pieces = in.byte() % 4;
        std::array<uint32_t, 3> at{};
        std::array<qsizetype, 3> length{};
        QByteArray reply;
        uint32_t t = line->now();
        for (int k = 0; k < pieces; ++k) {
            t += in.byte();
            at[size_t(k)] = t;
            const QByteArray b = in.bytes(in.byte());
            length[size_t(k)] = b.size();
            reply += b;
        }
        if (fixCrc && reply.size() >= replySize && replySize >= 3) {
            const uint16_t crc = refCrc(reply, replySize - 2);
            reply[replySize - 2] = char(crc & 0xFF);
            reply[replySize - 1] = char(crc >> 8);
        }
        for (qsizetype k = 0, from = 0; k < pieces; from += length[size_t(k)], ++k)
            if (length[size_t(k)] > 0) line->schedule(at[size_t(k)], reply.mid(from, length[size_t(k)]));

        const bool wasOpen = driver.IsOpen();
        const QVector<int32_t> before = bus.RegisterValues;
        line->sent.clear();
        line->delivered.clear();
        line->writeAt = line->firstAt = -1;

        // At 19200 bit/s with odd parity the request takes 8 * 11 bits =
        // 4.58 ms; on this exact clock a first byte within 3 ms may be too
        // soon. Refused as early only then.
        auto mayBeEarly = [&] {
            return !line->delivered.isEmpty() && (line->firstAt - line->writeAt + 1) * 19200 <= 8 * 11 * 1000;
        };
        auto early = [&] {
            FUZZ_CHECK(bus.error() != BusError::EarlyReply || mayBeEarly());
            return bus.error() == BusError::EarlyReply;
        };
        const bool stalled = wasOpen && line->stallWrites;
        if (kind != 2) {
            const bool ok = bus.Czytaj(start, n);
            if (n < 1 || n > 255) {
                FUZZ_CHECK(!ok);
                FUZZ_CHECK(line->sent.isEmpty());
                continue;
            }
            if (wasOpen && !line->stallWrites)
                FUZZ_CHECK(line->sent == referenceRequest(address, 3, start - 1, n));
            FUZZ_CHECK(line->delivered.size() <= replySize);
            if (stalled) FUZZ_CHECK(line->delivered.isEmpty());
            const QByteArray request = referenceRequest(address, 3, start - 1, n);
            const BusError expected =
                expectedError(wasOpen, stalled, request, line->delivered, replySize, early());
            FUZZ_CHECK(ok == (expected == BusError::NoError));
            FUZZ_CHECK(bus.error() == expected);
            FUZZ_CHECK(bus.RegisterValues.size() == n);
            for (int i = 0; i < n; ++i) {
                const int32_t v = bus.RegisterValues[i];
                if (ok)
                    FUZZ_CHECK(v == uint8_t(line->delivered[3 + 2 * i]) * 256 +
                                        uint8_t(line->delivered[4 + 2 * i]));
                else
                    FUZZ_CHECK(v == (i < before.size() ? before[i] : 0));
            }
        } else {
            const bool ok = bus.Zapis(reg, value);
            if (wasOpen && !line->stallWrites)
                FUZZ_CHECK(line->sent == referenceRequest(address, 6, reg - 1, value));
            FUZZ_CHECK(line->delivered.size() <= replySize);
            if (stalled) FUZZ_CHECK(line->delivered.isEmpty());
            const QByteArray request = referenceRequest(address, 6, reg - 1, value);
            const BusError expected =
                expectedError(wasOpen, stalled, request, line->delivered, replySize, early());
            FUZZ_CHECK(ok == (expected == BusError::NoError));
            FUZZ_CHECK(bus.error() == expected);
            FUZZ_CHECK(bus.RegisterValues == before);
        }
        FUZZ_CHECK(driver.PollingPauseCount() == 0);
    }
    return 0;
}

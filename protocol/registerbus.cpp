#include "protocol/registerbus.h"
#include "protocol/relaymap.h"

#include <array>
#include <chrono>
#include <cstring>
#include <QCoreApplication>
#include <QDateTime>

#include "serial/serialbackend.h"
#include "serial/tserialdriver.h"

Q_LOGGING_CATEGORY(lcBus, "vrk.bus", QtWarningMsg)

namespace frames {

uint16_t crc16(const uint8_t* data, size_t size) {
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

QString CRC(const QByteArray& frame) {
    const size_t covered = frame.size() > 2 ? size_t(frame.size() - 2) : 0;
    const uint16_t crc = crc16(reinterpret_cast<const uint8_t*>(frame.constData()), covered);
    return QStringLiteral("%1").arg(crc, 4, 16, QLatin1Char('0')).toUpper();
}

namespace {
// An 8-byte request: address, function, two big-endian words, CRC low byte first.
QByteArray request(int address, int function, int word1, int word2) {
    QByteArray f(8, '\0');
    f[0] = char(address & 0xFF);
    f[1] = char(function);
    f[2] = char((word1 >> 8) & 0xFF);
    f[3] = char(word1 & 0xFF);
    f[4] = char((word2 >> 8) & 0xFF);
    f[5] = char(word2 & 0xFF);
    const uint16_t crc = crc16(reinterpret_cast<const uint8_t*>(f.constData()), 6);
    f[6] = char(crc & 0xFF);
    f[7] = char(crc >> 8);
    return f;
}
} // namespace

QByteArray readRequest(int address, int start, int n) {
    return request(address, relay::kReadRegisters, start - 1, n & 0xFF);
}

QByteArray writeRequest(int address, int reg, int value) {
    return request(address, relay::kWriteRegister, reg - 1, value);
}

bool replyPasses(const QByteArray& buffer, uint32_t got) {
    const qsizetype size = buffer.size();
    if (size < 3 || got < uint32_t(size)) return false;
    const auto* b = reinterpret_cast<const uint8_t*>(buffer.constData());
    const uint16_t crc = crc16(b, size_t(size - 2));
    return b[size - 2] == (crc & 0xFF) && b[size - 1] == (crc >> 8);
}

double earliestReplyMs(int requestBytes, uint32_t baud, TDataBits dataBits, TParity parity,
                       TStopBits stopBits) {
    if (baud == 0 || requestBytes <= 0) return 0;
    // Counted in half bits, for the one and a half stop bits.
    const int stopHalves = stopBits == sb1HALFBITS ? 3 : stopBits == sb2BITS ? 4 : 2;
    const int halves = 2 * (1 + (int(dataBits) + 5) + (parity == ptNONE ? 0 : 1)) + stopHalves;
    return double(int64_t(requestBytes) * halves * 1000) / (2.0 * double(baud));
}

bool cameTooSoon(double elapsed, double earliest, double step) {
    return elapsed + step <= earliest;
}

bool fasterThanLine(const ReplyArrival& a, double characterMs) {
    const double characterUs = characterMs * 1000.0;
    // n bytes that all came within `us` (as the clock shows it; the true
    // span is less than a step longer) on a line that needs (n - 1)
    // character times between the first's arrival and the last's.
    auto faster = [&](uint32_t n, uint32_t us) {
        return n >= 2 && double(us) + double(a.stepUs) < double(n - 1) * characterUs;
    };
    return faster(a.firstCount, a.firstUs) || faster(a.count, a.lastUs);
}

bool earlyOnTheLine(const ReplyArrival& a, double earliestMs, double characterMs) {
    if (a.count == 0 || fasterThanLine(a, characterMs)) return false;
    return cameTooSoon(double(uint32_t(a.firstUs - a.writeUs)), earliestMs * 1000.0, double(a.stepUs));
}

bool crcPasses(const QByteArray& reply, int size) {
    if (size < 3 || reply.size() < size) return false;
    const auto* b = reinterpret_cast<const uint8_t*>(reply.constData());
    const uint16_t crc = crc16(b, size_t(size - 2));
    return b[size - 2] == (crc & 0xFF) && b[size - 1] == (crc >> 8);
}

bool isExceptionReply(const QByteArray& reply, int function) {
    return reply.size() >= kExceptionReplyLength && uint8_t(reply[1]) == uint8_t(function | 0x80) &&
           crcPasses(reply, kExceptionReplyLength);
}

bool answersRequest(const QByteArray& request, const QByteArray& reply) {
    if (request.size() < 6 || reply.size() < 3 || reply[0] != request[0] || reply[1] != request[1])
        return false;
    if (uint8_t(request[1]) == relay::kReadRegisters)
        return uint8_t(reply[2]) == uint8_t(2 * uint8_t(request[5])) &&
               reply.size() == relay::readReplyLength(uint8_t(request[5]));
    if (uint8_t(request[1]) == relay::kWriteRegister) return reply.left(6) == request.left(6);
    return true;
}

} // namespace frames

RegisterBus::RegisterBus(TSerialDriver& driver, std::function<int()> busAddress)
    : driver_(driver), busAddress_(std::move(busAddress)) {}

namespace {
constexpr int maxCount = 255;
constexpr int maxReply = relay::readReplyLength(maxCount);

// The name of an outcome in the trace.
const char* traceName(BusError e) {
    switch (e) {
    case BusError::NoError:
        return "ok";
    case BusError::PortClosed:
        return "port closed";
    case BusError::NoReply:
        return "no reply";
    case BusError::ShortReply:
        return "short reply";
    case BusError::BadCrc:
        return "bad CRC";
    case BusError::DeviceGone:
        return "device gone";
    case BusError::BadRequest:
        return "bad request";
    case BusError::EarlyReply:
        return "early reply";
    case BusError::OtherDevice:
        return "other device";
    case BusError::Exception:
        return "exception";
    case BusError::NotSent:
        return "not sent";
    }
    return "?";
}
} // namespace

QString busErrorText(BusError e) {
    switch (e) {
    case BusError::NoError:
        return QCoreApplication::translate("RegisterBus", "No error.");
    case BusError::PortClosed:
        return QCoreApplication::translate("RegisterBus", "The port is closed.");
    case BusError::NoReply:
        return QCoreApplication::translate("RegisterBus", "The relay did not answer.");
    case BusError::ShortReply:
        return QCoreApplication::translate("RegisterBus", "The relay's answer was cut short.");
    case BusError::BadCrc:
        return QCoreApplication::translate("RegisterBus", "The relay's answer had a wrong checksum (CRC).");
    case BusError::DeviceGone:
        return QCoreApplication::translate("RegisterBus",
                                           "The serial device stopped working (adapter unplugged?).");
    case BusError::BadRequest:
        return QCoreApplication::translate(
            "RegisterBus", "The request is outside the registers and values the relay takes.");
    case BusError::EarlyReply:
        return QCoreApplication::translate(
            "RegisterBus", "The answer came sooner than the relay could have sent it (an old, late answer).");
    case BusError::OtherDevice:
        return QCoreApplication::translate("RegisterBus", "The reply came from another device.");
    case BusError::Exception:
        return QCoreApplication::translate("RegisterBus", "The relay refused the request.");
    case BusError::NotSent:
        return QCoreApplication::translate("RegisterBus", "The request could not be sent on the line.");
    }
    return {};
}

QString busErrorText(BusError e, const QByteArray& reply) {
    const auto* b = reinterpret_cast<const uint8_t*>(reply.constData());
    if (e == BusError::OtherDevice && reply.size() >= 1)
        return QCoreApplication::translate("RegisterBus", "Reply from another device (address %1).")
            .arg(b[0]);
    if (e == BusError::Exception && reply.size() >= 3)
        return QCoreApplication::translate("RegisterBus", "The relay refused the request: %1 (exception %2).")
            .arg(frames::exceptionName(b[2]))
            .arg(b[2]);
    return busErrorText(e);
}

namespace frames {
QString exceptionName(int code) {
    switch (code) {
    case 1:
        return QCoreApplication::translate("RegisterBus", "illegal function");
    case 2:
        return QCoreApplication::translate("RegisterBus", "illegal data address");
    case 3:
        return QCoreApplication::translate("RegisterBus", "illegal data value");
    case 4:
        return QCoreApplication::translate("RegisterBus", "device failure");
    case 5:
        return QCoreApplication::translate("RegisterBus", "acknowledged, still working");
    case 6:
        return QCoreApplication::translate("RegisterBus", "device busy");
    case 8:
        return QCoreApplication::translate("RegisterBus", "memory parity error");
    case 10:
        return QCoreApplication::translate("RegisterBus", "gateway path unavailable");
    case 11:
        return QCoreApplication::translate("RegisterBus", "gateway target did not respond");
    }
    return QCoreApplication::translate("RegisterBus", "code %1").arg(code);
}
} // namespace frames

bool RegisterBus::exchange(const QByteArray& request, uint8_t* reply, uint32_t replySize) {
    lastReply_.clear();
    if (!driver_.IsOpen()) {
        error_ = BusError::PortClosed;
        qCDebug(lcBus).noquote() << "not sent (port closed):" << request.toHex(' ');
        return false;
    }
    // From here on no older input is left waiting: a reply's bytes are timed from this look.
    const uint32_t since = driver_.clockUs();
    // Whatever still waits (the tail of a reply given up on) belongs to no
    // request of ours: a late reply of the same length would otherwise pass
    // its CRC and be taken as this request's answer. (An empty queue is left
    // alone: on a terminal a flush wakes a kernel worker, which costs more
    // than the look.)
    if (driver_.InputCount() > 0) driver_.PurgeQueues(true, false);
    // The line's watcher, when one is set, gets the time before the write.
    const bool observed = bool(observer_);
    const qint64 observedSentMs = observed ? QDateTime::currentMSecsSinceEpoch() : 0;
    const auto observedStart =
        observed ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point{};
    const bool sent = driver_.WriteText(request);
    uint32_t got = 0;
    bool early = false;
    std::memset(reply, ' ', replySize);
    if (sent) {
        driver_.HoldPolling();
        // An exception reply is shorter than any other: its length is read
        // first, so that it is taken when it comes rather than waited out.
        const uint32_t head = std::min<uint32_t>(replySize, uint32_t(frames::kExceptionReplyLength));
        got = driver_.ReadBlock(reply, head);
        const TSerialDriver::ReadTiming first = driver_.lastReadTiming();
        const bool exception =
            got == head && frames::isExceptionReply(
                               QByteArray::fromRawData(reinterpret_cast<const char*>(reply), qsizetype(got)),
                               uint8_t(request[1]));
        uint32_t lastUs = first.lastUs;
        if (got == head && head < replySize && !exception) {
            const uint32_t more = driver_.ReadBlock(reply + got, replySize - got);
            if (more > 0) lastUs = driver_.lastReadTiming().lastUs;
            got += more;
        }
        driver_.ReleasePolling();
        // A reply that began before the request could have crossed the line
        // answers an older request; its bytes go as any stale input does.
        if (got > 0) {
            TSerialDriver::ReadTiming t = first;
            t.lastUs = lastUs;
            early = replyTooSoon(request, since, got, t);
        }
    }
    lastReply_ = QByteArray(reinterpret_cast<const char*>(reply), qsizetype(got));
    error_ = sent ? judge(request, lastReply_, replySize, early) : BusError::NotSent;
    if (!sent && driver_.IsOpen() && driver_.error() == TSerialDriver::Error::DeviceGone)
        error_ = BusError::DeviceGone;
    else if (!sent && !driver_.IsOpen())
        error_ = BusError::PortClosed;
    const bool passes = error_ == BusError::NoError;
    if (lcBus().isDebugEnabled()) {
        qCDebug(lcBus).noquote() << (sent ? "sent" : "not sent (the write failed)") << request.toHex(' ');
        qCDebug(lcBus).noquote() << QStringLiteral("received %1 of %2 bytes:").arg(got).arg(replySize)
                                 << lastReply_.toHex(' ') << "->" << traceName(error_);
        // Another device's address, or the exception's code, as the bytes tell them.
        if (error_ == BusError::OtherDevice && !lastReply_.isEmpty())
            qCDebug(lcBus).noquote() << "  from address" << uint8_t(lastReply_[0]);
        else if (error_ == BusError::Exception && lastReply_.size() >= 3)
            qCDebug(lcBus).noquote() << "  exception code" << uint8_t(lastReply_[2]);
    }
    // ... and the exchange as it went.
    if (observed) {
        const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - observedStart);
        observer_({observedSentMs, request, lastReply_, error_, qint64(us.count())});
    }
    return passes;
}

BusError RegisterBus::judge(const QByteArray& request, const QByteArray& reply, uint32_t replySize,
                            bool early) const {
    const uint32_t got = uint32_t(reply.size());
    // Told by the count that came, not by the buffer's contents: an address
    // byte of 0x20 is as good as any other.
    if (!driver_.IsOpen()) return BusError::PortClosed;
    if (driver_.error() == TSerialDriver::Error::DeviceGone) return BusError::DeviceGone;
    if (got == 0) return BusError::NoReply;
    if (early) return BusError::EarlyReply;
    if (frames::isExceptionReply(reply, uint8_t(request[1])))
        return reply[0] == request[0] ? BusError::Exception : BusError::OtherDevice;
    if (got < replySize) return BusError::ShortReply;
    if (!frames::crcPasses(reply, int(replySize))) return BusError::BadCrc;
    if (!frames::answersRequest(request, reply)) return BusError::OtherDevice;
    return BusError::NoError;
}

bool RegisterBus::replyTooSoon(const QByteArray& request, uint32_t since, uint32_t count,
                               const TSerialDriver::ReadTiming& t) {
    if (driver_.isNetwork()) return false; // no wire time to measure against
    frames::ReplyArrival a;
    a.writeUs = t.writeStartUs - since;
    a.firstUs = t.firstUs - since;
    a.firstCount = t.firstCount;
    a.lastUs = t.lastUs - since;
    a.count = count;
    a.stepUs = std::max<uint32_t>(1, driver_.clockStepUs());
    const uint32_t baud = driver_.BaudRateValue();
    const double earliest = frames::earliestReplyMs(int(request.size()), baud, driver_.DataBits(),
                                                    driver_.Parity(), driver_.StopBits());
    const double character =
        frames::earliestReplyMs(1, baud, driver_.DataBits(), driver_.Parity(), driver_.StopBits());
    // A line that once carried a reply faster than its speed allows has no
    // wire time for as long as it stays open: the rule no longer applies.
    if (noWireTime_ && noWireTimeOpen_ == driver_.openCount()) return false;
    if (frames::fasterThanLine(a, character)) {
        noWireTime_ = true;
        noWireTimeOpen_ = driver_.openCount();
        qCDebug(lcBus).noquote() << QStringLiteral(
                                        "the reply came faster than the line carries it (%1 bytes by "
                                        "%2 ms, %3 by %4 ms): a line without wire time")
                                        .arg(a.firstCount)
                                        .arg(a.firstUs / 1000.0, 0, 'f', 1)
                                        .arg(a.count)
                                        .arg(a.lastUs / 1000.0, 0, 'f', 1);
        return false;
    }
    if (!frames::earlyOnTheLine(a, earliest, character)) return false;
    qCDebug(lcBus).noquote() << QStringLiteral(
                                    "the reply began %1 ms after the request, which takes %2 ms on the line")
                                    .arg(uint32_t(a.firstUs - a.writeUs) / 1000.0, 0, 'f', 1)
                                    .arg(earliest, 0, 'f', 1);
    return true;
}

bool RegisterBus::Czytaj(int start, int n) {
    if (n < 1 || n > maxCount || start < 1 || start > 65536) {
        error_ = BusError::BadRequest;
        return false;
    }
    RegisterValues.resize(n);
    std::array<uint8_t, maxReply> reply;
    const uint32_t size = uint32_t(relay::readReplyLength(n));
    if (!exchange(frames::readRequest(busAddress_(), start, n), reply.data(), size)) return false;
    for (int i = 0; i < n; ++i)
        RegisterValues[i] = reply[size_t(3 + 2 * i)] * 256 + reply[size_t(4 + 2 * i)];
    return true;
}

bool RegisterBus::Zapis(int reg, int value) {
    if (reg < 1 || reg > 65536 || value < 0 || value > 65535) {
        error_ = BusError::BadRequest;
        return false;
    }
    std::array<uint8_t, relay::kWriteReplyLength> reply;
    return exchange(frames::writeRequest(busAddress_(), reg, value), reply.data(), uint32_t(reply.size()));
}

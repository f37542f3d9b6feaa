#pragma once
// The register exchanges with the relay: read a block of registers
// (function 3) and write one register (function 6), framed with the bus
// address and a CRC-16, through the serial driver.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <QByteArray>
#include <QLoggingCategory>
#include <QString>
#include <QVector>

#include "serial/tserialdriver.h"

// The trace of the exchanges (off by default; QT_LOGGING_RULES="vrk.bus=true"):
// every request sent and every reply received, with its outcome.
Q_DECLARE_LOGGING_CATEGORY(lcBus)

namespace frames {
// CRC-16 of the serial-line standard (init 0xFFFF, reflected poly 0xA001).
uint16_t crc16(const uint8_t* data, size_t size);
// The frame's CRC as four upper-case hex digits: high byte first, over all but the last two bytes.
QString CRC(const QByteArray& frame);
// The 8-byte read request for n registers from register number start (1-based).
QByteArray readRequest(int address, int start, int n);
// The 8-byte write request of one value to register number reg (1-based).
QByteArray writeRequest(int address, int reg, int value);
// A reply of `got` bytes in a buffer of the expected length passes when the
// whole expected length arrived and its last two bytes are the CRC of the rest.
bool replyPasses(const QByteArray& buffer, uint32_t got);
// The time in ms that a request of requestBytes takes on the line at baud
// bit/s, each character a start bit, the data bits, a parity bit unless
// there is none, and the stop bits: the soonest its reply can begin after
// the request's write began (the relay's turnaround counted as 0). 0 at
// speed 0.
double earliestReplyMs(int requestBytes, uint32_t baud, TDataBits dataBits, TParity parity,
                       TStopBits stopBits);
// True when a reply whose first byte was seen `elapsed` after the write
// began cannot be the answer to that request: on a clock that moves in
// steps of `step` both readings lag the true times by less than a step, so
// a reply that came no sooner than `earliest` always shows more than
// earliest - step. (Any one unit for all three.)
bool cameTooSoon(double elapsed, double earliest, double step);

// How a reply's bytes came, in µs from a look before the request's write
// after which no older input was left waiting.
struct ReplyArrival {
    uint32_t writeUs = 0;    // the write began
    uint32_t firstUs = 0;    // the first bytes had come by then ...
    uint32_t firstCount = 0; // ... this many
    uint32_t lastUs = 0;     // all had come by then ...
    uint32_t count = 0;      // ... this many
    uint32_t stepUs = 1;     // the clock's step
};
// True when the bytes came faster than a line with wire time can carry
// them (n bytes need n - 1 character times between the first's arrival and
// the last's; here the bytes found at the first look, or the whole reply,
// came in less than that, the clock's step allowed for): a line without
// wire time (a virtual port, a software peer or a gateway), where the time a
// request takes on the wire says nothing about when its reply may come.
bool fasterThanLine(const ReplyArrival& a, double characterMs);
// True when the reply cannot answer the request: it came on a line that
// shows wire time and began sooner than the request (earliestMs) could
// have crossed it. A reply too early can only be an older request's.
bool earlyOnTheLine(const ReplyArrival& a, double earliestMs, double characterMs);

// True when the first `size` bytes of the reply carry a right CRC in their last two.
bool crcPasses(const QByteArray& reply, int size);
// True when reply is an exception reply (function + 0x80, a code, a right
// CRC) to a request of function `function`, from any address.
bool isExceptionReply(const QByteArray& reply, int function);
// True when a whole reply with a right CRC answers the request itself: the
// same address and function, and for a read the byte count of the
// registers asked for, for a write the echo of the register and value.
bool answersRequest(const QByteArray& request, const QByteArray& reply);
} // namespace frames

// The outcome of the last exchange.
enum class BusError {
    NoError,
    PortClosed,  // the port was not open (or closed during the exchange)
    NoReply,     // nothing came back within the time-out
    ShortReply,  // part of the reply came
    BadCrc,      // the whole reply came, with a wrong CRC
    DeviceGone,  // the device went away (an adapter pulled)
    BadRequest,  // a register or value outside what the exchange can carry
    EarlyReply,  // a reply began sooner than the request could have crossed the line (an old, late one)
    OtherDevice, // a whole, sound reply from another bus address (or of another function)
    Exception,   // the relay refused the request: an exception reply (function + 0x80, a code)
    NotSent,     // the request could not be written to the line
};
// The outcome in the current language.
QString busErrorText(BusError e);
// The outcome in the current language with what the reply's bytes tell of
// it: the other device's address, the exception's code and name.
QString busErrorText(BusError e, const QByteArray& reply);

namespace frames {
// An exception reply's length: address, function + 0x80, code, CRC.
constexpr int kExceptionReplyLength = 5;
// The name of a Modbus exception code in the current language ("illegal
// data address", ...); a code without a name is given as its number.
QString exceptionName(int code);
} // namespace frames

// One exchange as it went over the line, for a watcher of the line (the
// communication monitor): when the request was sent, the request, the reply
// bytes that came (only those), the outcome and the round trip from before
// the write to the end of the read.
struct BusExchange {
    qint64 sentMs = 0; // ms since the epoch, before the write
    QByteArray request;
    QByteArray reply; // the bytes that came, possibly none
    BusError outcome = BusError::NoError;
    qint64 roundTripUs = 0; // microseconds
};
using BusObserver = std::function<void(const BusExchange&)>;

class RegisterBus {
public:
    // busAddress is asked afresh at every exchange.
    RegisterBus(TSerialDriver& driver, std::function<int()> busAddress);

    // Reads registers start .. start+n-1 (n = 1..255) into RegisterValues,
    // which is resized to n first; only a good reply overwrites its entries.
    bool Czytaj(int start, int n);
    // Writes one register (value 0..65535); RegisterValues is left alone.
    bool Zapis(int reg, int value);

    QVector<int32_t> RegisterValues;

    // The outcome of the last Czytaj or Zapis: NoError after a good one,
    // else why it failed.
    BusError error() const { return error_; }
    QString errorString() const { return busErrorText(error_, lastReply_); }
    // The bytes of the last reply that came (possibly none).
    QByteArray lastReply() const { return lastReply_; }

    // Called once per exchange that went out (not for one refused before
    // sending); none by default, and then nothing is recorded or copied.
    void setObserver(BusObserver observer) { observer_ = std::move(observer); }

private:
    // Sends the request and reads a reply of replySize bytes into reply;
    // true when all of it came and its CRC is right.
    bool exchange(const QByteArray& request, uint8_t* reply, uint32_t replySize);
    // True (and traced) when the last read's first byte came too soon to
    // answer request, on a line that shows wire time; `since` is the look
    // before the write and `count` the bytes that came.
    bool replyTooSoon(const QByteArray& request, uint32_t since, uint32_t count,
                      const TSerialDriver::ReadTiming& timing);
    // The outcome of an exchange whose reply of replySize bytes brought got.
    BusError judge(const QByteArray& request, const QByteArray& reply, uint32_t replySize, bool early) const;

    TSerialDriver& driver_;
    std::function<int()> busAddress_;
    BusError error_ = BusError::NoError;
    QByteArray lastReply_;
    BusObserver observer_;
    // The line of this open (the driver's openCount) came without wire time.
    bool noWireTime_ = false;
    uint32_t noWireTimeOpen_ = 0;
};

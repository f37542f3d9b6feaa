#pragma once
// The settings dialog's line selections as the serial driver's values, once
// for the window program, vrk-cli and the relay finder; and the rules of a
// scan for relays: which line settings, in which order, what a find is.
#include "config/inifile.h"
#include "serial/tserialdriver.h"

#include <cstdint>
#include <optional>
#include <QList>
#include <QString>

namespace linesettings {

// The dialog's lists, in its order. An index outside its list (or -1, no
// entry selected) maps to nothing: the driver's property stays as it was.
std::optional<TPortNumber> portOf(int index);   // COM1, COM2
std::optional<uint32_t> speedOf(int index);     // 19200, 9600, 4800, 2400 bit/s
std::optional<TParity> parityOf(int index);     // odd, even, none
std::optional<TDataBits> dataBitsOf(int index); // 8, 7
std::optional<TStopBits> stopBitsOf(int index); // 1, 2
// The reverse, for putting a line into the dialog: -1 when the dialog does not offer it.
int speedIndexOf(uint32_t baud);
int parityIndexOf(TParity parity);

// The speeds and parities the dialog offers, in its order.
QList<uint32_t> offeredSpeeds();
QList<TParity> offeredParities();

// The driver's rate of a standard speed; brCustom for any other.
TBaudRate baudRateOf(uint32_t baud);

// The whole line of the dialog's selections, over the given defaults.
struct Line {
    QString port = QStringLiteral("\\\\.\\COM1");
    uint32_t baud = 4800;
    TParity parity = ptNONE;
    TDataBits dataBits = db8BITS;
    TStopBits stopBits = sb1BITS;
    bool operator==(const Line&) const = default;
};
Line lineOf(const ini::Selections& s, const Line& defaults = Line());

// Puts the line into a driver as the connect button does: DTR and RTS off,
// no flow control. The port only when the driver is closed.
void applyTo(TSerialDriver& driver, const Line& line);

} // namespace linesettings

namespace linescan {

constexpr int kFirstAddress = 1;
constexpr int kLastAddress = 247;
// How long a scan waits for the first byte of an answer beyond the request's
// own time on the wire (a slow line's request takes tens of ms to go out):
// as long as the main window's poll waits, so that a relay the poll reads
// (a slow one takes most of that to turn round) is found.
constexpr uint32_t kAnswerMs = 100;

// One line setting a scan tries.
struct Speed {
    uint32_t baud = 0;
    TParity parity = ptNONE;
    bool operator==(const Speed&) const = default;
};
// Only the given one, or every speed and parity the dialog offers (speed by
// speed, in the dialog's order, each with every parity).
QList<Speed> speeds(bool allSpeeds, const Speed& current);

// One question of a scan: this address at this line setting. The steps go
// through every address of one speed before the next speed.
struct Step {
    int address = 0;
    Speed speed;
    bool operator==(const Step&) const = default;
};
int stepCount(const QList<Speed>& speeds, int from, int to);
Step step(const QList<Speed>& speeds, int from, int to, int index);

// The time-out of one question: the request's 8 characters on the wire at
// that speed (start, data, parity and stop bits), rounded up, plus kAnswerMs.
uint32_t timeoutMs(const Speed& speed, TDataBits dataBits, TStopBits stopBits);

// A relay that answered: where, and the variant it reported.
struct Found {
    int address = 0;
    Speed speed;
    int variant = 0;
    bool operator==(const Found&) const = default;
};

// "9600 8N1" style: speed, data bits, parity letter, stop bits.
QString lineText(uint32_t baud, TParity parity, TDataBits dataBits, TStopBits stopBits);
// The variant's nominal range ("20 A", "100 A", "250 A"), "?" for another value.
QString variantName(int variant);

} // namespace linescan

#pragma once
// The relay's line: its own character format (speed, parity, data bits, stop
// bits), what the simulator can see of the program's format on the
// pseudo-terminal, and the time characters take on the wire.
//
// A Linux pseudo-terminal keeps the speed, the stop bits and the odd-parity
// flag that the program set on its end, but drops the parity-enable flag and
// always reports 8 data bits: none and even parity, and 7 and 8 data bits,
// cannot be told apart there. The relay compares what it can see; for what it
// cannot see it takes its own format as the program's.
#include <string>

namespace sim {

enum class Parity { None, Odd, Even };

struct LineFormat {
    int baud = 4800;
    Parity parity = Parity::None;
    int dataBits = 8; // 7 or 8
    int stopBits = 1; // 1 or 2
};

// The relay's line as the options and the control commands set it.
struct LineSettings {
    LineFormat own;
    bool timing = false; // requests take their wire time to arrive, replies leave paced
    int responseMs = 5;  // with timing: the relay's turnaround after a request
};

// What the pseudo-terminal shows of the program's end.
struct SeenLine {
    int baud = 0;     // 0: a speed the simulator does not know
    bool odd = false; // odd parity (else none or even)
    int stopBits = 1;
};

constexpr int kMaxResponseMs = 10000;

// The speeds a relay's line may be set to (the standard rates from 110 to 115200 that a Linux terminal
// knows).
bool isLineSpeed(long baud);
const char* parityName(Parity p); // none, odd, even
bool parityByName(const std::string& name, Parity& p);

// Bits of one character: start bit, data bits, a parity bit unless none, stop bits.
int bitsPerCharacter(const LineFormat& f);
// Seconds one character takes at the format's speed.
double characterSeconds(const LineFormat& f);

// The program's format as far as the terminal shows it, and the longest
// character it leaves open for the rest: speed and stop bits as seen, a parity
// bit (odd when seen odd; even, which the terminal cannot tell from none,
// otherwise) and 8 data bits. The relay takes a request no sooner than that.
LineFormat programFormat(const LineFormat& own, const SeenLine& seen);
// Whether the relay hears the program: same speed, same stop bits, and odd
// parity on both ends or on neither.
bool hearsProgram(const LineFormat& own, const SeenLine& seen);

// "9600,odd,2" or "4800,none/even,1": what the terminal showed.
std::string describe(const SeenLine& seen);
// "baud=4800 parity=none data-bits=8 stop-bits=1 timing=off response-ms=5".
std::string describe(const LineSettings& s);

} // namespace sim

#include "sim/line.h"

namespace sim {

bool isLineSpeed(long baud) {
    static const long speeds[] = {110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    for (const long s : speeds)
        if (s == baud) return true;
    return false;
}

const char* parityName(Parity p) {
    switch (p) {
    case Parity::Odd:
        return "odd";
    case Parity::Even:
        return "even";
    case Parity::None:
        break;
    }
    return "none";
}

bool parityByName(const std::string& name, Parity& p) {
    for (const Parity q : {Parity::None, Parity::Odd, Parity::Even})
        if (name == parityName(q)) {
            p = q;
            return true;
        }
    return false;
}

int bitsPerCharacter(const LineFormat& f) {
    return 1 + f.dataBits + (f.parity == Parity::None ? 0 : 1) + f.stopBits;
}

double characterSeconds(const LineFormat& f) {
    return f.baud > 0 ? static_cast<double>(bitsPerCharacter(f)) / f.baud : 0.0;
}

LineFormat programFormat(const LineFormat& own, const SeenLine& seen) {
    LineFormat f = own;
    f.baud = seen.baud > 0 ? seen.baud : own.baud;
    f.stopBits = seen.stopBits;
    // A terminal that is not odd may carry even parity or none, 7 data bits
    // or 8: the longest of them, so that no reply begins before the program's
    // request can have crossed the line.
    f.parity = seen.odd ? Parity::Odd : Parity::Even;
    f.dataBits = 8;
    return f;
}

bool hearsProgram(const LineFormat& own, const SeenLine& seen) {
    return seen.baud == own.baud && seen.stopBits == own.stopBits && seen.odd == (own.parity == Parity::Odd);
}

std::string describe(const SeenLine& seen) {
    return std::to_string(seen.baud) + (seen.odd ? ",odd," : ",none/even,") + std::to_string(seen.stopBits);
}

std::string describe(const LineSettings& s) {
    return "baud=" + std::to_string(s.own.baud) + " parity=" + parityName(s.own.parity) +
           " data-bits=" + std::to_string(s.own.dataBits) + " stop-bits=" + std::to_string(s.own.stopBits) +
           " timing=" + (s.timing ? "on" : "off") + " response-ms=" + std::to_string(s.responseMs);
}

} // namespace sim

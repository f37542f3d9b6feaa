#pragma once
// One line of the simulator's log per frame it received: what came, what
// was done with it and the exact bytes that went back. Format in the README
// section; in short, blank-separated key=value fields whose hex byte lists
// go on over blanks:
//   t=12.345 rx=03 03 00 00 00 0C 45 ED fn=3 reg=1 n=12 action=reply tx=03 03 18 ... values=95,97,...
#include "sim/frames.h"

#include <string>
#include <vector>

namespace sim {

struct Exchange {
    double t = 0;       // seconds since the simulator started, when the line is written
    Bytes rx;           // the frame as received
    int fn = -1;        // function code of a request for this relay (else -1)
    int reg = 0;        // first register (1-based)
    int count = 0;      // fn 3: number of registers
    int value = -1;     // fn 6: value written
    std::string action; // reply, noreply, badcrc, short, late, garbage-before, garbage-after,
                        // other-address, broadcast, ignored
    std::string reason; // ignored: address, crc, incomplete, error, line-settings
    int lateMs = -1;    // late: the delay
    int exception = -1; // an exception reply: its code
    bool hasTx = false;
    Bytes tx;                     // the bytes written to the line
    std::vector<uint16_t> values; // fn 3: the register values the reply carries
    int kept = -1;                // fn 6: what the register holds after the write
    std::string line;             // ignored for line-settings: what the terminal showed, "9600,odd,2"
};

std::string logLine(const Exchange& e);

} // namespace sim

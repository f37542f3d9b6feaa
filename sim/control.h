#pragma once
// The control commands a running test (or a person at a shell) sends to the
// simulator: one line each, answered by one line that starts with "ok" or
// "error". The command list is in the README section and in `help`.
#include "sim/injection.h"
#include "sim/line.h"
#include "sim/relay.h"

#include <cstdint>
#include <string>

namespace sim {

struct Counters {
    uint64_t requests = 0; // frames received
    uint64_t replies = 0;  // replies that went out (in whatever shape)
    uint64_t ignored = 0;  // frames not answered: other address, bad CRC, incomplete
};

struct Controlled {
    Relay& relay;
    Injection& injection;
    int& address;
    const Counters& counters;
    uint64_t seed; // for "memory default"
    LineSettings& line;
};

// Runs one command line (without its line end) and returns the answer line.
std::string runCommand(const std::string& line, Controlled c, double now);

// Parses an unsigned integer in decimal or with a 0x prefix, within [lo, hi].
bool parseInt(const std::string& text, long lo, long hi, long& value);
// Parses a probability 0..1 ("0.05", "5%").
bool parseProbability(const std::string& text, double& p);

} // namespace sim

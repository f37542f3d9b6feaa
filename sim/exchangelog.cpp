#include "sim/exchangelog.h"

#include <cstdio>

namespace sim {

std::string logLine(const Exchange& e) {
    char t[32];
    std::snprintf(t, sizeof t, "t=%.3f", e.t);
    std::string s = t;
    s += " rx=" + hex(e.rx);
    if (e.fn >= 0) {
        s += " fn=" + std::to_string(e.fn) + " reg=" + std::to_string(e.reg);
        if (e.fn == 3) s += " n=" + std::to_string(e.count);
        if (e.fn == 6) s += " value=" + std::to_string(e.value);
    }
    s += " action=" + e.action;
    if (!e.reason.empty()) s += " reason=" + e.reason;
    if (e.lateMs >= 0) s += " late=" + std::to_string(e.lateMs);
    if (e.exception >= 0) s += " exception=" + std::to_string(e.exception);
    if (e.hasTx) s += " tx=" + hex(e.tx);
    if (!e.values.empty()) {
        s += " values=";
        for (size_t i = 0; i < e.values.size(); ++i) {
            if (i) s += ',';
            s += std::to_string(e.values[i]);
        }
    }
    if (e.kept >= 0) s += " kept=" + std::to_string(e.kept);
    if (!e.line.empty()) s += " line=" + e.line;
    s += '\n';
    return s;
}

} // namespace sim

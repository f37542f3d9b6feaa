#include "sim/control.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace sim {

namespace {

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    std::string s;
    while (in >> s)
        w.push_back(s);
    return w;
}

const char* const kHelp =
    "ok commands: <action> P | <action> next N (action: noreply badcrc short late garbage-before "
    "garbage-after other-address exception) | late-ms N | exception-code N | inject off | set N V | get N | "
    "freeze | run | load PCT | "
    "voltage V | fault W | trip NAME[,NAME] | trip none | variant N | defaults | memory empty | "
    "memory default | record K CAUSE MONTH DAY HOUR MINUTE | record K empty | clock MM DD HH MI | "
    "clock stop | clock run | address N | line | line baud N | line parity none|odd|even | line data-bits "
    "7|8 | "
    "line stop-bits 1|2 | line timing on|off | line response-ms N | status | help";

std::string error(const std::string& what) {
    return "error " + what;
}

std::string formatProbability(double p) {
    std::ostringstream o;
    o << p;
    return o.str();
}

} // namespace

bool parseInt(const std::string& text, long lo, long hi, long& value) {
    if (text.empty() || text.size() > 20) return false;
    const bool hexa = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.c_str() + (hexa ? 2 : 0);
    if (*begin == '\0' || *begin == '-' || *begin == '+' || *begin == ' ') return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(begin, &end, hexa ? 16 : 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    value = v;
    return true;
}

bool parseProbability(const std::string& text, double& p) {
    if (text.empty() || text.size() > 20) return false;
    std::string t = text;
    bool percent = false;
    if (t.back() == '%') {
        percent = true;
        t.pop_back();
    }
    if (t.empty() || t[0] == '-' || t[0] == '+' || t[0] == ' ') return false;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(t.c_str(), &end);
    if (errno != 0 || *end != '\0') return false;
    if (percent) v /= 100.0;
    if (!(v >= 0.0 && v <= 1.0)) return false;
    p = v;
    return true;
}

std::string runCommand(const std::string& line, Controlled c, double now) {
    const auto w = words(line);
    if (w.empty()) return error("empty command");
    const std::string& cmd = w[0];
    long a = 0, b = 0;

    if (auto action = actionByName(cmd); action && *action != Action::Reply) {
        if (w.size() == 2) {
            double p = 0;
            if (!parseProbability(w[1], p)) return error("probability must be 0..1");
            if (!c.injection.setProbability(*action, p)) return error("probabilities add up to more than 1");
            return "ok";
        }
        if (w.size() == 3 && w[1] == "next") {
            if (!parseInt(w[2], 0, 1000000, a)) return error("count must be 0..1000000");
            c.injection.queue(*action, static_cast<int>(a));
            return "ok queued=" + std::to_string(c.injection.queued());
        }
        return error("usage: " + cmd + " P | " + cmd + " next N");
    }
    if (cmd == "late-ms") {
        if (w.size() != 2 || !parseInt(w[1], 0, 60000, a)) return error("usage: late-ms 0..60000");
        c.injection.setLateMs(static_cast<int>(a));
        return "ok";
    }
    if (cmd == "exception-code") {
        if (w.size() != 2 || !parseInt(w[1], 1, 255, a)) return error("usage: exception-code 1..255");
        c.injection.setExceptionCode(static_cast<int>(a));
        return "ok";
    }
    if (cmd == "inject") {
        if (w.size() != 2 || w[1] != "off") return error("usage: inject off");
        c.injection.clear();
        return "ok";
    }
    if (cmd == "set") {
        if (w.size() != 3 || !parseInt(w[1], 1, kRegisterCount, a) || !parseInt(w[2], 0, 65535, b))
            return error("usage: set N(1..125) V(0..65535)");
        c.relay.set(static_cast<int>(a), static_cast<uint16_t>(b), now);
        c.relay.update(now);
        return "ok " + std::to_string(c.relay.reg(static_cast<int>(a)));
    }
    if (cmd == "get") {
        if (w.size() != 2 || !parseInt(w[1], 1, kRegisterCount, a)) return error("usage: get N(1..125)");
        c.relay.update(now);
        return "ok " + std::to_string(c.relay.reg(static_cast<int>(a)));
    }
    if (cmd == "freeze" && w.size() == 1) {
        c.relay.freeze(true, now);
        return "ok";
    }
    if (cmd == "run" && w.size() == 1) {
        c.relay.freeze(false, now);
        return "ok";
    }
    if (cmd == "load" || cmd == "voltage") {
        double v = 0;
        char* end = nullptr;
        if (w.size() == 2) v = std::strtod(w[1].c_str(), &end);
        if (w.size() != 2 || end == w[1].c_str() || *end != '\0' || !(v >= 0 && v <= 1000))
            return error("usage: " + cmd + " 0..1000");
        if (cmd == "load")
            c.relay.setLoad(v);
        else
            c.relay.setVoltage(v);
        return "ok";
    }
    if (cmd == "fault") {
        if (w.size() != 2 || !parseInt(w[1], 0, 65535, a)) return error("usage: fault W(0..65535)");
        c.relay.setFaultWord(static_cast<uint16_t>(a));
        return "ok";
    }
    if (cmd == "trip") {
        if (w.size() != 2) return error("usage: trip NAME[,NAME] | trip none");
        uint16_t bits = 0;
        std::istringstream names(w[1]);
        std::string name;
        while (std::getline(names, name, ',')) {
            uint16_t one = 0;
            if (!tripBits(name.c_str(), one))
                return error("unknown trip " + name +
                             " (overload short asymmetry dryrun undervoltage overvoltage phase none)");
            bits |= one;
        }
        c.relay.trip(bits, now);
        return "ok fault=" + std::to_string(c.relay.faultWord());
    }
    if (cmd == "variant") {
        if (w.size() != 2 || !parseInt(w[1], 0, 65535, a)) return error("usage: variant N");
        c.relay.setVariant(static_cast<uint16_t>(a));
        return "ok";
    }
    if (cmd == "defaults" && w.size() == 1) {
        c.relay.restoreDefaults();
        return "ok";
    }
    if (cmd == "memory") {
        if (w.size() == 2 && w[1] == "empty") {
            c.relay.clearMemory();
            return "ok";
        }
        if (w.size() == 2 && w[1] == "default") {
            c.relay.fillDefaultMemory(c.seed);
            return "ok";
        }
        return error("usage: memory empty | memory default");
    }
    if (cmd == "record") {
        if (w.size() < 3 || !parseInt(w[1], 0, kFaultRecords - 1, a))
            return error("usage: record K(0..39) ...");
        uint8_t rec[kRecordBytes] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        if (w.size() == 3 && w[2] == "empty") {
            c.relay.setRecord(static_cast<int>(a), rec);
            return "ok";
        }
        long cause = 0, month = 0, day = 0, hour = 0, minute = 0;
        if (w.size() != 7 || !parseInt(w[2], 0, 255, cause) || !parseInt(w[3], 0, 99, month) ||
            !parseInt(w[4], 0, 99, day) || !parseInt(w[5], 0, 99, hour) || !parseInt(w[6], 0, 99, minute))
            return error("usage: record K CAUSE(0..255) MONTH DAY HOUR MINUTE (0..99 each) | record K empty");
        rec[0] = static_cast<uint8_t>(cause);
        rec[1] = toBcd(static_cast<int>(month));
        rec[2] = toBcd(static_cast<int>(day));
        rec[3] = toBcd(static_cast<int>(hour));
        rec[4] = toBcd(static_cast<int>(minute));
        c.relay.setRecord(static_cast<int>(a), rec);
        return "ok";
    }
    if (cmd == "clock") {
        if (w.size() == 2 && w[1] == "stop") {
            c.relay.clock().stop(now);
            c.relay.update(now);
            return "ok";
        }
        if (w.size() == 2 && w[1] == "run") {
            if (!c.relay.clock().run(now)) return error("the held date and time are not valid");
            c.relay.update(now);
            return "ok";
        }
        long hour = 0, minute = 0;
        if (w.size() == 5 && parseInt(w[1], 1, 12, a) && parseInt(w[2], 1, 31, b) &&
            parseInt(w[3], 0, 23, hour) && parseInt(w[4], 0, 59, minute) &&
            b <= daysInMonth(static_cast<int>(a))) {
            c.relay.clock().start(static_cast<int>(a), static_cast<int>(b), static_cast<int>(hour),
                                  static_cast<int>(minute), 0, now);
            c.relay.update(now);
            return "ok";
        }
        return error("usage: clock MONTH DAY HOUR MINUTE | clock stop | clock run");
    }
    if (cmd == "address") {
        if (w.size() != 2 || !parseInt(w[1], 1, 247, a)) return error("usage: address 1..247");
        c.address = static_cast<int>(a);
        return "ok";
    }
    if (cmd == "line") {
        LineSettings& l = c.line;
        if (w.size() == 1) return "ok " + describe(l);
        if (w.size() == 3) {
            const std::string& v = w[2];
            bool good = false;
            if (w[1] == "baud") {
                good = parseInt(v, 1, 4000000, a) && isLineSpeed(a);
                if (good) l.own.baud = static_cast<int>(a);
            } else if (w[1] == "parity") {
                good = parityByName(v, l.own.parity);
            } else if (w[1] == "data-bits" || w[1] == "stop-bits") {
                const bool data = w[1] == "data-bits";
                good = parseInt(v, data ? 7 : 1, data ? 8 : 2, a);
                if (good) (data ? l.own.dataBits : l.own.stopBits) = static_cast<int>(a);
            } else if (w[1] == "timing") {
                good = v == "on" || v == "off";
                if (good) l.timing = v == "on";
            } else if (w[1] == "response-ms") {
                good = parseInt(v, 0, kMaxResponseMs, a);
                if (good) l.responseMs = static_cast<int>(a);
            }
            if (!good)
                return error(
                    "usage: line baud 110..115200 | line parity none|odd|even | line data-bits 7|8 | "
                    "line stop-bits 1|2 | line timing on|off | line response-ms 0..10000");
            return "ok " + describe(l);
        }
        return error(
            "usage: line [baud N | parity P | data-bits N | stop-bits N | timing on|off | response-ms N]");
    }
    if (cmd == "status" && w.size() == 1) {
        c.relay.update(now);
        std::string s =
            "ok address=" + std::to_string(c.address) + " variant=" + std::to_string(c.relay.variant()) +
            " fault=" + std::to_string(c.relay.faultWord()) + " frozen=" + (c.relay.frozen() ? "1" : "0") +
            " clock=" + (c.relay.clock().running() ? "running" : "stopped") +
            " requests=" + std::to_string(c.counters.requests) +
            " replies=" + std::to_string(c.counters.replies) +
            " ignored=" + std::to_string(c.counters.ignored) +
            " queued=" + std::to_string(c.injection.queued()) +
            " late-ms=" + std::to_string(c.injection.lateMs()) +
            " exception-code=" + std::to_string(c.injection.exceptionCode());
        for (int i = 1; i < kActionCount; ++i) {
            const auto act = static_cast<Action>(i);
            s += std::string(" ") + actionName(act) + "=" + formatProbability(c.injection.probability(act));
        }
        return s + " " + describe(c.line);
    }
    if (cmd == "help") return kHelp;
    return error("unknown command " + cmd + " (try help)");
}

} // namespace sim

#include "sim/injection.h"

#include <algorithm>

namespace sim {

namespace {
const char* const kNames[kActionCount] = {"reply",         "noreply",       "badcrc",
                                          "short",         "late",          "garbage-before",
                                          "garbage-after", "other-address", "exception"};
constexpr size_t kMaxQueued = 1000000;
} // namespace

const char* actionName(Action a) {
    return kNames[static_cast<int>(a)];
}

std::optional<Action> actionByName(const std::string& name) {
    for (int i = 0; i < kActionCount; ++i)
        if (name == kNames[i]) return static_cast<Action>(i);
    return std::nullopt;
}

bool Injection::setProbability(Action a, double p) {
    if (!(p >= 0.0 && p <= 1.0) || a == Action::Reply) return false;
    double sum = 0;
    for (int i = 0; i < kActionCount; ++i)
        sum += (i == static_cast<int>(a)) ? p : p_[i];
    if (sum > 1.0 + 1e-9) return false;
    p_[static_cast<int>(a)] = p;
    return true;
}

void Injection::queue(Action a, int count) {
    for (int i = 0; i < count && forced_.size() < kMaxQueued; ++i)
        forced_.push_back(a);
}

void Injection::clear() {
    p_.fill(0.0);
    forced_.clear();
}

Action Injection::next() {
    if (!forced_.empty()) {
        const Action a = forced_.front();
        forced_.pop_front();
        return a;
    }
    const double r = std::uniform_real_distribution<double>(0.0, 1.0)(rng_);
    double edge = 0;
    for (int i = 1; i < kActionCount; ++i) {
        edge += p_[i];
        if (r < edge) return static_cast<Action>(i);
    }
    return Action::Reply;
}

Bytes Injection::apply(Action a, const Bytes& reply, int address) {
    Bytes out = reply;
    auto garbage = [this](size_t n) {
        Bytes g(n);
        for (auto& b : g)
            b = static_cast<uint8_t>(rng_() & 0xFF);
        return g;
    };
    switch (a) {
    case Action::Reply:
    case Action::Late:
        break;
    case Action::NoReply:
        out.clear();
        break;
    case Action::BadCrc:
        if (!out.empty()) out.back() ^= static_cast<uint8_t>(1 + rng_() % 255);
        break;
    case Action::Short:
        if (out.size() > 1) out.resize(1 + rng_() % (out.size() - 1));
        break;
    case Action::GarbageBefore: {
        // The bytes a reader of the expected length gets must fail their CRC.
        for (int attempt = 0; attempt < 100; ++attempt) {
            Bytes g = garbage(1 + rng_() % 3);
            Bytes candidate = g;
            candidate.insert(candidate.end(), reply.begin(), reply.end());
            const Bytes head(candidate.begin(), candidate.begin() + static_cast<long>(reply.size()));
            if (!crcMatches(head)) {
                out = candidate;
                break;
            }
        }
        break;
    }
    case Action::GarbageAfter: {
        const Bytes g = garbage(1 + rng_() % 3);
        out.insert(out.end(), g.begin(), g.end());
        break;
    }
    case Action::OtherAddress:
        if (!out.empty()) {
            out[0] = static_cast<uint8_t>(address % 247 + 1);
            fixCrc(out);
        }
        break;
    case Action::Exception:
        if (out.size() >= 2) {
            out = {out[0], static_cast<uint8_t>(out[1] | 0x80), static_cast<uint8_t>(exceptionCode_), 0, 0};
            fixCrc(out);
        }
        break;
    }
    return out;
}

} // namespace sim

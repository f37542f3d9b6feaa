#pragma once
// Fault injection on the replies: what a flaky line or a misbehaving relay
// does to a correct reply. One action per reply: first the queued counts
// ("noreply next 6"), in the order they were given, else a draw against the
// probabilities.
#include "sim/frames.h"

#include <array>
#include <deque>
#include <optional>
#include <random>
#include <string>

namespace sim {

enum class Action {
    Reply,
    NoReply,
    BadCrc,
    Short,
    Late,
    GarbageBefore,
    GarbageAfter,
    OtherAddress,
    Exception
};
constexpr int kActionCount = 9;

// The action's word in the log and in control commands: reply, noreply, badcrc,
// short, late, garbage-before, garbage-after, other-address, exception.
const char* actionName(Action a);
std::optional<Action> actionByName(const std::string& name);

class Injection {
public:
    explicit Injection(uint64_t seed) : rng_(seed) {}

    // Probability (0..1) of an action; false when the probabilities would add up to more than 1.
    bool setProbability(Action a, double p);
    double probability(Action a) const { return p_[static_cast<int>(a)]; }
    // Queues `count` replies that get action a.
    void queue(Action a, int count);
    size_t queued() const { return forced_.size(); }
    // No more injected faults: probabilities 0, nothing queued.
    void clear();
    void setLateMs(int ms) { lateMs_ = ms; }
    int lateMs() const { return lateMs_; }
    // The code of an injected exception reply (6: busy, by default).
    void setExceptionCode(int code) { exceptionCode_ = code; }
    int exceptionCode() const { return exceptionCode_; }

    // The action for the next reply.
    Action next();
    // What goes on the line instead of `reply` for action a; `address` is the
    // relay's own bus address (another is used for other-address). An
    // exception is the refusal of the request `reply` answers: its address,
    // its function + 0x80, the exception code and the CRC.
    Bytes apply(Action a, const Bytes& reply, int address);

private:
    std::mt19937_64 rng_;
    std::array<double, kActionCount> p_{};
    std::deque<Action> forced_;
    int lateMs_ = 150;
    int exceptionCode_ = 6;
};

} // namespace sim

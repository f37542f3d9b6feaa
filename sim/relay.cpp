#include "sim/relay.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

namespace sim {

namespace {
constexpr int kMonthDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int64_t kDay = 86400;
constexpr int64_t kYear = 366 * kDay;
constexpr double kHeatTimeConstant = 60.0; // seconds
constexpr double kPi = 3.14159265358979323846;

int64_t dayOfYear(int month, int day) {
    int64_t d = 0;
    for (int m = 1; m < month; ++m)
        d += kMonthDays[m - 1];
    return d + day - 1;
}

uint16_t clampRegister(double v) {
    if (!(v > 0)) return 0;
    if (v > 65535) return 65535;
    return static_cast<uint16_t>(std::lround(v));
}
} // namespace

bool bcdByte(uint8_t b, int& value) {
    const int hi = b >> 4, lo = b & 0x0F;
    if (hi > 9 || lo > 9) return false;
    value = hi * 10 + lo;
    return true;
}

uint8_t toBcd(int value) {
    value = std::clamp(value, 0, 99);
    return static_cast<uint8_t>(((value / 10) << 4) | (value % 10));
}

uint16_t bcdPair(int high, int low) {
    return static_cast<uint16_t>((toBcd(high) << 8) | toBcd(low));
}

int daysInMonth(int month) {
    return (month >= 1 && month <= 12) ? kMonthDays[month - 1] : 0;
}

bool decodeMonthDay(uint16_t reg, int& month, int& day) {
    int m = 0, d = 0;
    if (!bcdByte(reg >> 8, m) || !bcdByte(reg & 0xFF, d)) return false;
    if (m < 1 || m > 12 || d < 1 || d > daysInMonth(m)) return false;
    month = m;
    day = d;
    return true;
}

bool decodeHourMinute(uint16_t reg, int& hour, int& minute) {
    int h = 0, m = 0;
    if (!bcdByte(reg >> 8, h) || !bcdByte(reg & 0xFF, m)) return false;
    if (h > 23 || m > 59) return false;
    hour = h;
    minute = m;
    return true;
}

// ---- clock

void RelayClock::start(int month, int day, int hour, int minute, int second, double now) {
    base_ = dayOfYear(month, day) * kDay + hour * 3600 + minute * 60 + second;
    t0_ = now;
    running_ = true;
}

int64_t RelayClock::secondsOfYear(double now) const {
    const int64_t elapsed = static_cast<int64_t>(std::floor(std::max(0.0, now - t0_)));
    return (base_ + elapsed) % kYear;
}

uint16_t RelayClock::monthDay(double now) const {
    if (!running_) return held24_;
    int64_t d = secondsOfYear(now) / kDay;
    int month = 1;
    while (d >= kMonthDays[month - 1])
        d -= kMonthDays[month++ - 1];
    return bcdPair(month, static_cast<int>(d) + 1);
}

uint16_t RelayClock::hourMinute(double now) const {
    if (!running_) return held25_;
    const int64_t s = secondsOfYear(now) % kDay;
    return bcdPair(static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60));
}

void RelayClock::startFrom(uint16_t md, uint16_t hm, int second, double now) {
    int month = 0, day = 0, hour = 0, minute = 0;
    if (decodeMonthDay(md, month, day) && decodeHourMinute(hm, hour, minute)) {
        start(month, day, hour, minute, second, now);
    } else {
        held24_ = md;
        held25_ = hm;
        running_ = false;
    }
}

void RelayClock::write(int reg, uint16_t value, double now) {
    const uint16_t md = monthDay(now), hm = hourMinute(now);
    if (reg == kDateRegister) {
        // A new date keeps the time of day down to the second.
        const int second = running_ ? static_cast<int>(secondsOfYear(now) % 60) : 0;
        startFrom(value, hm, second, now);
    } else if (reg == kTimeRegister) {
        startFrom(md, value, 0, now);
    }
}

void RelayClock::stop(double now) {
    if (!running_) return;
    held24_ = monthDay(now);
    held25_ = hourMinute(now);
    running_ = false;
}

bool RelayClock::run(double now) {
    if (running_) return true;
    startFrom(held24_, held25_, 0, now);
    return running_;
}

// ---- setpoints

std::array<uint16_t, 11> defaultSetpoints(int variant) {
    // In, short-circuit multiple x10, Q/15, Is, T1, Ia, T2, Un/10, Umin, Umax, Td x2
    std::array<uint16_t, 11> s = {25, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5};
    if (variant == 1)
        s[0] = 125; // 12,5 A in steps of 0,1 A
    else if (variant == 3)
        s[0] = 125; // 125 A
    return s;       // variant 2: 25 = 12,5 A in steps of 0,5 A
}

double ampsPerUnit(int variant) {
    switch (variant) {
    case 1:
        return 0.1;
    case 2:
        return 0.5;
    case 3:
        return 1.0;
    default:
        return 0.0;
    }
}

bool tripBits(const char* name, uint16_t& bits) {
    static const struct {
        const char* name;
        uint16_t bits;
    } table[] = {
        {"none", 0},
        {"overload", Overload},
        {"short", ShortCircuit},
        {"asymmetry", Asymmetry},
        {"dryrun", DryRunning},
        {"undervoltage", UnderVoltage},
        {"overvoltage", OverVoltage},
        {"phase", PhaseSequence},
    };
    for (const auto& t : table) {
        if (std::strcmp(t.name, name) == 0) {
            bits = t.bits;
            return true;
        }
    }
    return false;
}

// ---- relay

Relay::Relay(int variant, uint64_t seed, double now) : rng_(seed) {
    t0_ = now;
    lastT_ = now;
    regs_[kVariantRegister] = static_cast<uint16_t>(variant);
    restoreDefaults();

    std::uniform_real_distribution<double> u(0.0, 1.0);
    swingPhase_ = 2 * kPi * u(rng_);
    for (int k = 0; k < 3; ++k) {
        currentOffset_[k] = -2.5 + 5 * u(rng_);
        voltageOffset_[k] = -3 + 6 * u(rng_);
    }
    load_ = 92 + 6 * u(rng_);
    heat_ = load_ * load_ / 100.0;

    const std::time_t wall = std::time(nullptr);
    std::tm local{};
    localtime_r(&wall, &local);
    clock_.start(local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, now);

    fillDefaultMemory(seed);
    update(now);
}

void Relay::restoreDefaults() {
    const auto s = defaultSetpoints(regs_[kVariantRegister]);
    for (int i = 0; i < 11; ++i)
        regs_[12 + i] = s[i];
}

void Relay::runMotor(double now) {
    const double dt = std::max(0.0, now - lastT_);
    lastT_ = now;
    std::normal_distribution<double> noise(0.0, 1.0);

    const double t = now - t0_;
    const double mean =
        load_ > 0 ? std::max(0.0, load_ + swing_ * std::sin(2 * kPi * t / period_ + swingPhase_)) : 0;
    double amps[3] = {0, 0, 0};
    const double inAmps = regs_[kNominalCurrentRegister] * ampsPerUnit(regs_[kVariantRegister]);
    double currentSum = 0;
    for (int k = 0; k < 3; ++k) {
        const double i = mean > 0 ? std::max(0.0, mean + currentOffset_[k] + noise(rng_)) : 0.0;
        regs_[1 + k] = clampRegister(i);
        currentSum += regs_[1 + k];
        amps[k] = regs_[1 + k] / 100.0 * inAmps;
    }
    double power = 0;
    for (int k = 0; k < 3; ++k) {
        regs_[4 + k] = clampRegister(voltage_ + voltageOffset_[k] + 0.7 * noise(rng_));
        power += regs_[4 + k] * amps[k];
    }
    // Heat follows the square of the load with a first-order lag.
    const double load = currentSum / 3.0;
    const double target = load * load / 100.0;
    heat_ += (target - heat_) * (1.0 - std::exp(-dt / kHeatTimeConstant));
    regs_[7] = clampRegister(heat_);
    regs_[8] = mean > 0 ? clampRegister(cosPhi_ * 100 + 0.4 * noise(rng_)) : 0;
    // P = cos phi x (Ur Ir + Us Is + Ut It) / sqrt 3, with the line voltages; in units of 10 W.
    regs_[9] = clampRegister(regs_[8] / 100.0 * power / std::sqrt(3.0) / 10.0);
    refreshRelays();
}

void Relay::refreshRelays() {
    regs_[kOutputRelaysRegister] = regs_[kFaultWordRegister] != 0 ? kRelayK2 : kRelayK1;
}

void Relay::update(double now) {
    if (!frozen_) runMotor(now);
    regs_[kDateRegister] = clock_.monthDay(now);
    regs_[kTimeRegister] = clock_.hourMinute(now);
}

void Relay::copyTo(uint16_t* tab) const {
    for (int n = 1; n <= kRegisterCount; ++n)
        tab[n - 1] = regs_[n];
}

uint16_t Relay::masterWrite(int n, uint16_t value, double now) {
    if (n == kFaultWordRegister) {
        if (value == 0 && !(regs_[kFaultWordRegister] & Overload)) {
            regs_[kFaultWordRegister] = 0;
            if (!frozen_) refreshRelays();
        }
    } else if (n >= 12 && n <= 22) {
        regs_[n] = value;
    } else if (n == kDateRegister || n == kTimeRegister) {
        clock_.write(n, value, now);
        regs_[kDateRegister] = clock_.monthDay(now);
        regs_[kTimeRegister] = clock_.hourMinute(now);
    }
    return reg(n);
}

void Relay::set(int n, uint16_t value, double now) {
    if (n < 1 || n > kRegisterCount) return;
    if (n == kDateRegister || n == kTimeRegister) {
        masterWrite(n, value, now);
        return;
    }
    if ((n >= 1 && n <= 9) || n == kOutputRelaysRegister) freeze(true, now);
    regs_[n] = value;
    if (n == kFaultWordRegister && !frozen_) refreshRelays();
}

void Relay::freeze(bool on, double now) {
    if (frozen_ && !on) lastT_ = now; // the heat goes on from where it stood
    frozen_ = on;
}

void Relay::setLoad(double percent) {
    load_ = std::clamp(percent, 0.0, 1000.0);
}

void Relay::setVoltage(double volts) {
    voltage_ = std::clamp(volts, 0.0, 1000.0);
}

void Relay::setFaultWord(uint16_t word) {
    regs_[kFaultWordRegister] = word;
    if (!frozen_) refreshRelays();
}

void Relay::trip(uint16_t bits, double now) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    if (bits == 0) {
        load_ = 92 + 6 * u(rng_);
        swing_ = 6;
        voltage_ = 400;
        for (int k = 0; k < 3; ++k)
            currentOffset_[k] = -2.5 + 5 * u(rng_);
        setFaultWord(0);
        return;
    }
    if (bits & Overload) {
        load_ = 125;
        swing_ = 3;
        heat_ = std::max(heat_, 110.0);
    }
    if (bits & ShortCircuit) load_ = 0; // the contactor has opened
    if (bits & Asymmetry) currentOffset_[2] = -40;
    if (bits & DryRunning) load_ = 30;
    if (bits & UnderVoltage) voltage_ = 320;
    if (bits & OverVoltage) voltage_ = 470;
    setFaultWord(regs_[kFaultWordRegister] | bits);

    update(now);
    uint8_t record[kRecordBytes] = {
        static_cast<uint8_t>(bits), static_cast<uint8_t>(regs_[kDateRegister] >> 8),
        static_cast<uint8_t>(regs_[kDateRegister] & 0xFF), static_cast<uint8_t>(regs_[kTimeRegister] >> 8),
        static_cast<uint8_t>(regs_[kTimeRegister] & 0xFF)};
    setRecord(nextRecord_, record);
    nextRecord_ = (nextRecord_ + 1) % kFaultRecords;
}

// ---- fault memory

uint8_t Relay::memoryByte(int i) const {
    const uint16_t r = regs_[kFirstMemoryRegister + i / 2];
    return (i % 2 == 0) ? static_cast<uint8_t>(r >> 8) : static_cast<uint8_t>(r & 0xFF);
}

void Relay::setMemoryByte(int i, uint8_t b) {
    uint16_t& r = regs_[kFirstMemoryRegister + i / 2];
    r = (i % 2 == 0) ? static_cast<uint16_t>((r & 0x00FF) | (b << 8))
                     : static_cast<uint16_t>((r & 0xFF00) | b);
}

void Relay::setRecord(int k, const uint8_t bytes[kRecordBytes]) {
    if (k < 0 || k >= kFaultRecords) return;
    for (int i = 0; i < kRecordBytes; ++i)
        setMemoryByte(k * kRecordBytes + i, bytes[i]);
}

void Relay::clearMemory() {
    for (int i = 0; i < kMemoryBytes; ++i)
        setMemoryByte(i, 0xFF);
    nextRecord_ = 0;
}

void Relay::fillDefaultMemory(uint64_t seed) {
    clearMemory();
    // 27 trips spread over the year, single causes mostly, now and then two at once;
    // the last 13 slots have never been used.
    std::mt19937_64 rng(seed ^ 0x5EED0F7A);
    const uint8_t causes[] = {Overload,     ShortCircuit, Asymmetry,     DryRunning,
                              UnderVoltage, OverVoltage,  PhaseSequence, Overload | UnderVoltage};
    constexpr int kUsed = 27;
    for (int k = 0; k < kUsed; ++k) {
        const int month = 1 + static_cast<int>(rng() % 12);
        const int days = month == 2 ? 28 : daysInMonth(month);
        const int day = 1 + static_cast<int>(rng() % days);
        const uint8_t record[kRecordBytes] = {causes[rng() % std::size(causes)], toBcd(month), toBcd(day),
                                              toBcd(static_cast<int>(rng() % 24)),
                                              toBcd(static_cast<int>(rng() % 60))};
        setRecord(k, record);
    }
    nextRecord_ = kUsed;
}

} // namespace sim

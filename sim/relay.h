#pragma once
// The relay the simulator stands in for: its 125 holding registers, the motor
// it watches, its setpoints, its clock and its memory of the last 40 trips.
// No I/O here: every call that depends on time takes the monotonic time in
// seconds, so the whole model runs the same under a test's own clock.
#include <array>
#include <cstdint>
#include <random>

namespace sim {

constexpr int kRegisterCount = 125; // registers 1 to 125
constexpr int kFaultWordRegister = 10;
constexpr int kOutputRelaysRegister = 11;
constexpr int kNominalCurrentRegister = 12; // the first setpoint
constexpr int kLastSetpointRegister = 22;
constexpr int kVariantRegister = 23;
constexpr int kDateRegister = 24; // month.day, packed BCD
constexpr int kTimeRegister = 25; // hour:minute, packed BCD
constexpr int kFirstMemoryRegister = 26;
constexpr int kFaultRecords = 40;
constexpr int kRecordBytes = 5;
constexpr int kMemoryBytes = kFaultRecords * kRecordBytes; // 200 bytes in registers 26-125

// Bits of the fault word (register 10) and of the cause byte of a fault record.
enum FaultBit : uint16_t {
    Overload = 0x01,
    ShortCircuit = 0x02,
    Asymmetry = 0x04,
    DryRunning = 0x08,
    UnderVoltage = 0x10,
    OverVoltage = 0x20,
    PhaseSequence = 0x40,
};
// Output relay word (register 11): K1 is the motor contactor, K2 the alarm.
constexpr uint16_t kRelayK1 = 0x0100;
constexpr uint16_t kRelayK2 = 0x0200;

// Packed BCD helpers: two decimal digits per byte.
bool bcdByte(uint8_t b, int& value); // false when a nibble is above 9
uint8_t toBcd(int value);            // 0..99
uint16_t bcdPair(int high, int low); // e.g. (12, 6) -> 0x1206
// Month 1-12 and day 1-daysInMonth; the relay's calendar has no year, so
// February has 29 days.
int daysInMonth(int month);
bool decodeMonthDay(uint16_t reg, int& month, int& day);
bool decodeHourMinute(uint16_t reg, int& hour, int& minute);

// The relay's clock: month, day, hour, minute, running on from what was last
// set. A write that is no valid date or time stops the clock and the two
// registers then hold what was written until a valid write starts it again.
class RelayClock {
public:
    void start(int month, int day, int hour, int minute, int second, double now);
    // A write of register 24 (month.day) or 25 (hour:minute).
    void write(int reg, uint16_t value, double now);
    void stop(double now);
    // Starts the stopped clock from the held registers; false when they are no valid date and time.
    bool run(double now);
    bool running() const { return running_; }
    uint16_t monthDay(double now) const;
    uint16_t hourMinute(double now) const;

private:
    int64_t secondsOfYear(double now) const;
    void startFrom(uint16_t md, uint16_t hm, int second, double now);

    bool running_ = false;
    int64_t base_ = 0; // seconds since 1 January 00:00 at t0_
    double t0_ = 0;
    uint16_t held24_ = 0x0101;
    uint16_t held25_ = 0x0000;
};

// The setpoints 12-22 a relay of the variant leaves the factory with.
std::array<uint16_t, 11> defaultSetpoints(int variant);
// Amperes per unit of register 12 for the variant (0 for no valid variant).
double ampsPerUnit(int variant);

// Trip scenarios by name: overload, short, asymmetry, dryrun, undervoltage,
// overvoltage, phase; "none" gives 0. Returns false for an unknown name.
bool tripBits(const char* name, uint16_t& bits);

class Relay {
public:
    Relay(int variant, uint64_t seed, double now);

    // Runs the motor and the clock on to `now` and refreshes registers 1-11, 24, 25.
    void update(double now);
    uint16_t reg(int n) const { return (n >= 1 && n <= kRegisterCount) ? regs_[n] : 0; }
    // Copies registers 1-125 to tab[0..124] (register n at n-1).
    void copyTo(uint16_t* tab) const;

    // A function 6 write from the master; returns what the register holds afterwards.
    // Kept: setpoints 12-22 (as written), the clock 24/25. Register 10: 0 clears the
    // fault word unless overload is present. Everything else is answered and ignored.
    uint16_t masterWrite(int n, uint16_t value, double now);
    // A test's direct setting (control command): any register to any value. Setting a
    // measurement register (1-9, 11) freezes the motor so the value stays.
    void set(int n, uint16_t value, double now);

    void freeze(bool on, double now);
    bool frozen() const { return frozen_; }
    void setLoad(double percent);
    void setVoltage(double volts);
    void setFaultWord(uint16_t word);
    uint16_t faultWord() const { return regs_[10]; }
    // Trips the protections in `bits`: sets them in the fault word, shapes the motor to
    // show the cause and stores a record in the fault memory. 0 returns to a healthy motor.
    void trip(uint16_t bits, double now);
    int variant() const { return regs_[23]; }
    void setVariant(uint16_t v) { regs_[23] = v; }
    // Setpoints 12-22 back to the defaults of the current variant.
    void restoreDefaults();

    RelayClock& clock() { return clock_; }

    // Fault memory: record k (0-39) at bytes 5k..5k+4 of registers 26-125, high byte first.
    void clearMemory();
    void fillDefaultMemory(uint64_t seed);
    void setRecord(int k, const uint8_t bytes[kRecordBytes]);
    uint8_t memoryByte(int i) const;

private:
    void setMemoryByte(int i, uint8_t b);
    void runMotor(double now);
    void refreshRelays();

    std::array<uint16_t, kRegisterCount + 1> regs_{}; // 1-based
    RelayClock clock_;
    std::mt19937_64 rng_;
    bool frozen_ = false;
    double lastT_ = 0;
    double t0_ = 0;
    // The motor.
    double load_ = 95;   // mean phase current, % of In
    double swing_ = 6;   // slow swing of the load, % of In
    double period_ = 97; // seconds
    double swingPhase_ = 0;
    double currentOffset_[3] = {0, 0, 0};
    double voltage_ = 400;
    double voltageOffset_[3] = {0, 0, 0};
    double cosPhi_ = 0.85;
    double heat_ = 0;
    int nextRecord_ = 0;
};

} // namespace sim

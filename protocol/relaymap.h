#pragma once
// The relay's side of the line, named once: its registers and their counts,
// the two function codes and their reply lengths, the bits of the fault word
// and of the output relays, and how many failed reads in a row end the link.
// Register numbers are 1-based, as the relay's documents count them.
#include <cstdint>

namespace relay {

// ---- function codes
constexpr uint8_t kReadRegisters = 0x03;
constexpr uint8_t kWriteRegister = 0x06;
// A read reply: address, function, byte count, two bytes a register, CRC.
constexpr int readReplyLength(int registers) {
    return 2 * registers + 5;
}
// A write reply echoes the 8-byte request.
constexpr int kWriteReplyLength = 8;

// ---- registers
// Measurements, read every poll tick: currents (1-3, % of In), voltages (4-6),
// motor heat (7), cos phi (8), power (9), the fault word (10), the output
// relays (11) and the nominal current setpoint In (12).
constexpr int kMeasurementFirst = 1;
constexpr int kMeasurementCount = 12;
constexpr int kFaultWordRegister = 10;
constexpr int kOutputRelaysRegister = 11;
// The value that clears the fault word (a reset).
constexpr int kFaultWordClear = 0;
// Setpoints 12-22 (written), the variant (23) and the clock (24 month.day,
// 25 hour:minute, packed BCD), read as one block.
constexpr int kSetpointFirst = 12;
constexpr int kSetpointWritten = 11;
constexpr int kSetpointBlock = 14;
constexpr int kVariantRegister = 23;
constexpr int kVariantCount = 1;
constexpr int kDateRegister = 24;
constexpr int kTimeRegister = 25;
// The fault memory: 40 records of 5 bytes in registers 26-125, read in four
// blocks of 25 registers.
constexpr int kFaultMemoryFirst = 26;
constexpr int kFaultMemoryBlocks = 4;
constexpr int kFaultMemoryBlockRegisters = 25;
constexpr int kRegisterCount = 125;

// ---- the fault word (register 10) and a fault record's cause byte
enum FaultBit : uint16_t {
    Overload = 0x01,
    ShortCircuit = 0x02,
    Asymmetry = 0x04,
    DryRunning = 0x08,
    UnderVoltage = 0x10,
    OverVoltage = 0x20,
    PhaseSequence = 0x40,
};

// ---- the output relays (register 11): K1 the motor contactor, K2 the alarm
constexpr uint16_t kRelayK1 = 0x0100;
constexpr uint16_t kRelayK2 = 0x0200;

// ---- the link: this many failed measurement reads in a row disconnect
constexpr int kLostReadsLimit = 6;

} // namespace relay

// The texts of the current language kept on the main window's hidden page,
// by the number of the label that holds each.
enum class HiddenText : int {
    PortBusy = 65,
    ErrorHeadingCopy = 66,
    NoConnection = 67,
    RecorderPause = 68,       // the recorder button while recording
    RecorderStart = 69,       // the recorder button while paused
    AxisTitleFirst = 70,      // 70-76: the titles of channels 1-7
    AxisTitlePower = 77,      // the title of channel 9 (power)
    CauseFirst = 78,          // 78-82: overload, short circuit, asymmetry, dry running, phase sequence
    ParameterPrompt = 83,     // the start of a refused setpoint's line
    NominalCurrentFirst = 84, // 84-87: the name of setpoint row 0 by variant
    MonthFirst = 88,          // 88-99: January to December
    Message = 100,            // the error window's message slot
    ErrorHeading = 101,
};
// The label of a text that is one of a series (a cause, a month, an axis title).
constexpr int hiddenTextNumber(HiddenText first, int offset) {
    return int(first) + offset;
}

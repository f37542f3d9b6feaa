#pragma once
// The operating system's side of the serial line, kept small and free of Qt
// so that the driver's logic is written once and each system supplies only
// these few calls (serialbackend_posix.cpp, serialbackend_win32.cpp; CMake
// picks one). Tests hand the driver a fake of their own.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "serial/controlblock.h"

// Millisecond tick count; it wraps at 2^32, so only differences taken in
// 32-bit unsigned arithmetic are meaningful.
uint32_t tickCount();

// A monotonic clock in microseconds, much finer than the tick count where the
// system has one (QueryPerformanceCounter on Windows); it wraps at 2^32 (71
// minutes), so only differences taken in 32-bit unsigned arithmetic count.
inline uint32_t fineClockUs() {
    return uint32_t(std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

// The operating system's version as the version query reports it.
struct OsVersion {
    bool known = false; // false: the query failed (or there is no such query here)
    uint32_t platformId = 0;
    uint32_t major = 0;
    uint32_t minor = 0;
};
OsVersion osVersion();

// The device that a port name opens on this system.
std::string systemDevicePath(const std::string& portName);

// Why the device could not be used, as the backend found it.
enum class LineFault {
    None,
    DeviceMissing,    // no such device (or a dangling name)
    PermissionDenied, // this user may not open it
    DeviceBusy,       // another program has it open
    SettingsRefused,  // not a serial line, or it refused the line settings
    HungUp,           // it went away while open (an adapter pulled)
    Other,            // any other failure of the system
};

// The fault that a system error code stands for (errno on POSIX systems,
// GetLastError on Windows).
LineFault lineFaultOf(long code);

// Who may open a device that refused this user (PermissionDenied), as the
// system describes it.
struct DeviceAccess {
    bool known = false; // the device's owner and mode could be read
    unsigned mode = 0;  // its permission bits (0660)
    std::string owner, group;
    bool processIsOwner = false;    // this process runs as its owner
    bool processInGroup = false;    // this process has its group already
    bool userListedInGroup = false; // the user belongs to its group (a new login would give it)
};
// What would let the user open it.
enum class AccessHint {
    Unknown,    // nothing known of the device's permissions
    JoinGroup,  // its group may read and write it: the user is not in that group
    LogInAgain, // ... the user was put in the group after this session began
    OwnerOnly,  // only its owner may (0600 and the like): joining the group would not help
    NoAccess,   // its permissions let this user (owner or group member) not read and write it
};
AccessHint accessHint(const DeviceAccess& access);

class SerialBackend {
public:
    virtual ~SerialBackend() = default;

    // Opens the device for reading and writing, for this process alone.
    // False when it is missing, is not a serial line, or is in use
    // (fault() then tells which).
    virtual bool open(const std::string& path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Writes the line settings of the control block to the device.
    virtual bool applyLineState(const DeviceControlBlock& dcb) = 0;
    // Sizes of the driver's receive and transmit queues, where the system has them.
    virtual bool setQueueSizes(uint32_t rx, uint32_t tx) = 0;
    // Makes a single read or write return within about a millisecond.
    virtual bool setShortTimeouts() = 0;
    // Discards what waits in the chosen queues.
    virtual bool purge(bool rx, bool tx) = 0;
    // Each clears any line error and gives the bytes waiting in one queue.
    virtual bool inputCount(uint32_t& count) = 0;
    virtual bool outputCount(uint32_t& count) = 0;
    // The modem input lines as ModemStatus bits.
    virtual bool modemStatus(uint32_t& bits) = 0;
    // One transfer of at most size bytes; false on a failed call (count is then 0).
    virtual bool read(void* buffer, uint32_t size, uint32_t& count) = 0;
    virtual bool write(const void* data, uint32_t size, uint32_t& count) = 0;
    // Returns when input arrives or after at most ms milliseconds (about),
    // so that a waiting read loop leaves the processor idle. May return at once.
    virtual void waitReadable(uint32_t ms) = 0;
    // The same for room in the transmit queue.
    virtual void waitWritable(uint32_t ms) = 0;

    // The clock that the driver's time-outs run on.
    virtual uint32_t ticks() const { return tickCount(); }
    // The steps that clock moves in, in ms: a reading may lag the true time
    // by up to this much.
    virtual uint32_t tickStepMs() const { return 1; }
    // The clock that a reply's arrival is timed on, in µs, and its steps: by
    // default the tick clock, so that a backend with a clock of its own
    // drives both; the system's backends give fineClockUs.
    virtual uint32_t clockUs() const { return ticks() * 1000u; }
    virtual uint32_t clockStepUs() const { return tickStepMs() * 1000u; }

    // Why the last open or applyLineState failed.
    virtual LineFault fault() const { return LineFault::Other; }
    // Who may open the device that was refused with PermissionDenied; not
    // known where the system has no such thing.
    virtual DeviceAccess deviceAccess() const { return {}; }
    // The system's own words for why the last open failed (in the user's
    // language where the system has it); empty when not known.
    virtual std::string systemMessage() const { return {}; }
    // True once the open device has hung up (pulled out, or the far end of
    // a pseudo-terminal closed): from then on every transfer fails at once,
    // nothing is waiting and no wait waits, until the port is closed.
    virtual bool hungUp() const { return false; }

    // A relay behind a network gateway rather than on a serial device
    // (network/networkbackend.h).
    virtual bool isNetwork() const { return false; }
    // Its own reply time-out in ms; 0: the driver's input time-out applies.
    virtual uint32_t replyTimeoutMs() const { return 0; }
    // Why the last open failed or the connection was lost, in the current
    // language (UTF-8); empty: the driver names the fault itself.
    virtual std::string faultText() const { return {}; }
    // What the port really is, for the user (UTF-8); empty for a serial device.
    virtual std::string targetText() const { return {}; }
};

// The modem status bits that modemStatus reports (the Win32 MS_*_ON values).
enum ModemStatusBits : uint32_t {
    msCTS = 0x10,
    msDSR = 0x20,
    msRING = 0x40,
    msRLSD = 0x80,
};

std::unique_ptr<SerialBackend> makeSystemBackend();
// A port name's device path that names a network target ("tcp://...",
// "rtu+tcp://..."), and the backend that opens such targets.
bool isNetworkTarget(const std::string& path);
std::unique_ptr<SerialBackend> makeNetworkBackend();

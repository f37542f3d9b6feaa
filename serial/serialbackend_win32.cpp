// The serial line on Windows, through the Win32 communications calls.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "serial/serialbackend.h"

namespace {

// The driver's control block is the Win32 DCB, field for field.
static_assert(sizeof(DCB) == sizeof(DeviceControlBlock));
static_assert(offsetof(DCB, BaudRate) == offsetof(DeviceControlBlock, baudRate));
static_assert(offsetof(DCB, wReserved) == offsetof(DeviceControlBlock, reserved));
static_assert(offsetof(DCB, XonLim) == offsetof(DeviceControlBlock, xonLimit));
static_assert(offsetof(DCB, XoffLim) == offsetof(DeviceControlBlock, xoffLimit));
static_assert(offsetof(DCB, ByteSize) == offsetof(DeviceControlBlock, byteSize));
static_assert(offsetof(DCB, Parity) == offsetof(DeviceControlBlock, parity));
static_assert(offsetof(DCB, StopBits) == offsetof(DeviceControlBlock, stopBits));
static_assert(offsetof(DCB, XonChar) == offsetof(DeviceControlBlock, xonChar));
static_assert(offsetof(DCB, EvtChar) == offsetof(DeviceControlBlock, evtChar));
static_assert(offsetof(DCB, wReserved1) == offsetof(DeviceControlBlock, reserved1));
static_assert(msCTS == MS_CTS_ON && msDSR == MS_DSR_ON && msRING == MS_RING_ON && msRLSD == MS_RLSD_ON);

// The errors of a call on an open port that mean the device is gone.
bool meansRemoval(DWORD e) {
    return e == ERROR_ACCESS_DENIED || e == ERROR_BAD_COMMAND || e == ERROR_DEVICE_REMOVED ||
           e == ERROR_DEV_NOT_EXIST || e == ERROR_INVALID_HANDLE || e == ERROR_GEN_FAILURE;
}

// The most a wait for input takes from the port in one call.
constexpr DWORD kWaitReadChunk = 4096;

// The largest step of GetTickCount (the default clock interrupt is 15.6 ms).
constexpr uint32_t kTickCountStepMs = 16;

class Win32SerialBackend final : public SerialBackend {
public:
    ~Win32SerialBackend() override { close(); }

    bool open(const std::string& path) override {
        if (handle_ != INVALID_HANDLE_VALUE) return false;
        // No sharing: a port in use by another program fails to open.
        handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) {
            fault_ = lineFaultOf(long(GetLastError()));
            return false;
        }
        fault_ = LineFault::None;
        lost_ = false;
        pending_.clear();
        mode_ = Mode::Unknown;
        return true;
    }

    void close() override {
        if (handle_ == INVALID_HANDLE_VALUE) return;
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        lost_ = false;
        pending_.clear();
        mode_ = Mode::Unknown;
    }

    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

    bool applyLineState(const DeviceControlBlock& block) override {
        DCB dcb;
        std::memcpy(&dcb, &block, sizeof dcb);
        const bool ok = SetCommState(handle_, &dcb) != 0;
        fault_ = ok ? LineFault::None : LineFault::SettingsRefused;
        return ok;
    }

    bool setQueueSizes(uint32_t rx, uint32_t tx) override { return SetupComm(handle_, rx, tx) != 0; }

    bool setShortTimeouts() override {
        // With these a read or write call returns within about a
        // millisecond; the driver's loops do the counting of time-outs.
        mode_ = Mode::Unknown;
        return useShortTimeouts();
    }

    bool purge(bool rx, bool tx) override {
        DWORD flags = 0;
        if (tx) flags |= PURGE_TXABORT | PURGE_TXCLEAR;
        if (rx) {
            flags |= PURGE_RXABORT | PURGE_RXCLEAR;
            pending_.clear();
        }
        return PurgeComm(handle_, flags) != 0;
    }

    bool inputCount(uint32_t& count) override {
        COMSTAT status{};
        const bool ok = clearErrors(status);
        count = ok ? status.cbInQue + DWORD(pending_.size()) : 0;
        return ok;
    }

    bool outputCount(uint32_t& count) override {
        COMSTAT status{};
        const bool ok = clearErrors(status);
        count = ok ? status.cbOutQue : 0;
        return ok;
    }

    bool modemStatus(uint32_t& bits) override {
        DWORD status = 0;
        bits = 0;
        if (!GetCommModemStatus(handle_, &status)) return false;
        bits = status;
        return true;
    }

    // What a wait took from the port comes first, then what the port holds.
    bool read(void* buffer, uint32_t size, uint32_t& count) override {
        count = 0;
        if (lost_) return false;
        auto* out = static_cast<char*>(buffer);
        const uint32_t early = uint32_t(std::min<size_t>(size, pending_.size()));
        if (early > 0) {
            std::memcpy(out, pending_.data(), early);
            pending_.erase(pending_.begin(), pending_.begin() + early);
            count = early;
            if (early == size) return true;
        }
        // Bytes already queued come at once whatever the time-outs, so the
        // time-outs change only when the queue is empty (no switching back
        // and forth while a reply streams in).
        COMSTAT status{};
        if (!clearErrors(status)) return early > 0;
        uint32_t wanted = size - early;
        if (status.cbInQue > 0) {
            wanted = std::min<uint32_t>(wanted, status.cbInQue);
        } else {
            if (early > 0) return true;
            if (!useShortTimeouts()) return false;
        }
        DWORD n = 0;
        if (!ReadFile(handle_, out + early, wanted, &n, nullptr)) return early > 0 || failed();
        count = early + n;
        return true;
    }

    bool write(const void* data, uint32_t size, uint32_t& count) override {
        DWORD n = 0;
        count = 0;
        if (lost_) return false;
        BOOL ok = WriteFile(handle_, data, size, &n, nullptr);
        if (!ok) return failed();
        count = n;
        return true;
    }

    LineFault fault() const override { return fault_; }
    // GetTickCount moves with the system's clock interrupt: 10 to 16 ms.
    uint32_t tickStepMs() const override { return kTickCountStepMs; }
    // A reply's arrival is timed on the performance counter instead.
    uint32_t clockUs() const override { return fineClockUs(); }
    uint32_t clockStepUs() const override { return 1; }
    bool hungUp() const override { return lost_; }

    // A read that returns with the first byte to come, or after ms: the
    // system wakes this thread, nothing spins. What it reads waits in
    // pending_ for the next read().
    void waitReadable(uint32_t ms) override {
        if (handle_ == INVALID_HANDLE_VALUE || lost_ || !pending_.empty() || ms == 0) return;
        if (!useTimeouts(Mode::FirstByte, ms)) {
            Sleep(1);
            return;
        }
        char chunk[kWaitReadChunk];
        DWORD n = 0;
        if (!ReadFile(handle_, chunk, sizeof chunk, &n, nullptr)) {
            failed();
            return;
        }
        pending_.insert(pending_.end(), chunk, chunk + n);
    }

    // The transmit queue has no event of its own without overlapped
    // writes; the shortest sleep keeps the loop from spinning.
    void waitWritable(uint32_t ms) override {
        if (handle_ == INVALID_HANDLE_VALUE || lost_ || ms == 0) return;
        Sleep(1);
    }

private:
    enum class Mode { Unknown, Short, FirstByte };

    bool useShortTimeouts() { return useTimeouts(Mode::Short, 0); }

    // Short: a read returns what is there (waiting at most a millisecond), a
    // write what fits. FirstByte: a read waits for the first byte, at most
    // ms, then returns at once with all that has come.
    bool useTimeouts(Mode mode, uint32_t ms) {
        if (mode == mode_ && (mode == Mode::Short || ms == modeMs_)) return true;
        COMMTIMEOUTS t{};
        if (mode == Mode::Short) {
            t.ReadIntervalTimeout = 1;
            t.ReadTotalTimeoutConstant = 1;
        } else {
            t.ReadIntervalTimeout = MAXDWORD;
            t.ReadTotalTimeoutMultiplier = MAXDWORD;
            t.ReadTotalTimeoutConstant = std::min<DWORD>(ms, MAXDWORD - 1);
        }
        t.WriteTotalTimeoutMultiplier = 0;
        t.WriteTotalTimeoutConstant = 1;
        if (!SetCommTimeouts(handle_, &t)) {
            mode_ = Mode::Unknown;
            return false;
        }
        mode_ = mode;
        modeMs_ = ms;
        return true;
    }

    // ClearCommError: clears the error state and gives both queue counts.
    bool clearErrors(COMSTAT& status) {
        DWORD errors = 0;
        if (lost_) return false;
        return ClearCommError(handle_, &errors, &status) != 0 || failed();
    }

    // A call failed: notes a removed device. Always false.
    bool failed() {
        if (meansRemoval(GetLastError())) lost_ = true;
        return false;
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    LineFault fault_ = LineFault::None;
    bool lost_ = false;
    std::vector<char> pending_; // taken from the port by waitReadable, not yet read
    Mode mode_ = Mode::Unknown;
    uint32_t modeMs_ = 0;
};

} // namespace

uint32_t tickCount() {
    return GetTickCount();
}

LineFault lineFaultOf(long code) {
    switch (DWORD(code)) {
    case ERROR_SUCCESS:
        return LineFault::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_DEV_NOT_EXIST:
        return LineFault::DeviceMissing;
    // A port that another program holds is refused with "access denied".
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return LineFault::DeviceBusy;
    case ERROR_INVALID_PARAMETER:
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
        return LineFault::SettingsRefused;
    case ERROR_DEVICE_REMOVED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
        return LineFault::HungUp;
    default:
        return LineFault::Other;
    }
}

OsVersion osVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    OsVersion v;
    if (!GetVersionExA(&info)) return v;
    v.known = true;
    v.platformId = info.dwPlatformId;
    v.major = info.dwMajorVersion;
    v.minor = info.dwMinorVersion;
    return v;
}

// Windows opens "\\.\COMn" and any other device name as it stands.
std::string systemDevicePath(const std::string& portName) {
    return portName;
}

std::unique_ptr<SerialBackend> makeSystemBackend() {
    return std::make_unique<Win32SerialBackend>();
}

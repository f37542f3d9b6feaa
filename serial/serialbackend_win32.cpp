// The serial line on Windows, through the Win32 communications calls.
#include <windows.h>

#include <cstddef>
#include <cstring>

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

class Win32SerialBackend final : public SerialBackend {
public:
    ~Win32SerialBackend() override { close(); }

    bool open(const std::string& path) override {
        if (handle_ != INVALID_HANDLE_VALUE) return false;
        // No sharing: a port in use by another program fails to open.
        handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        return handle_ != INVALID_HANDLE_VALUE;
    }

    void close() override {
        if (handle_ == INVALID_HANDLE_VALUE) return;
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

    bool applyLineState(const DeviceControlBlock& block) override {
        DCB dcb;
        std::memcpy(&dcb, &block, sizeof dcb);
        return SetCommState(handle_, &dcb) != 0;
    }

    bool setQueueSizes(uint32_t rx, uint32_t tx) override { return SetupComm(handle_, rx, tx) != 0; }

    bool setShortTimeouts() override {
        // With these a read or write call returns within about a
        // millisecond; the driver's loops do all the waiting.
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = 1;
        t.ReadTotalTimeoutMultiplier = 0;
        t.ReadTotalTimeoutConstant = 1;
        t.WriteTotalTimeoutMultiplier = 0;
        t.WriteTotalTimeoutConstant = 1;
        return SetCommTimeouts(handle_, &t) != 0;
    }

    bool purge(bool rx, bool tx) override {
        DWORD flags = 0;
        if (tx) flags |= PURGE_TXABORT | PURGE_TXCLEAR;
        if (rx) flags |= PURGE_RXABORT | PURGE_RXCLEAR;
        return PurgeComm(handle_, flags) != 0;
    }

    bool inputCount(uint32_t& count) override {
        COMSTAT status{};
        const bool ok = clearErrors(status);
        count = ok ? status.cbInQue : 0;
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

    bool read(void* buffer, uint32_t size, uint32_t& count) override {
        DWORD n = 0;
        BOOL ok = ReadFile(handle_, buffer, size, &n, nullptr);
        count = ok ? n : 0;
        return ok != 0;
    }

    bool write(const void* data, uint32_t size, uint32_t& count) override {
        DWORD n = 0;
        BOOL ok = WriteFile(handle_, data, size, &n, nullptr);
        count = ok ? n : 0;
        return ok != 0;
    }

    // Each call already returns within the port time-outs; the loops spin.
    void waitReadable(uint32_t) override {}
    void waitWritable(uint32_t) override {}

private:
    // ClearCommError: clears the error state and gives both queue counts.
    bool clearErrors(COMSTAT& status) {
        DWORD errors = 0;
        return ClearCommError(handle_, &errors, &status) != 0;
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

} // namespace

uint32_t tickCount() { return GetTickCount(); }

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
std::string systemDevicePath(const std::string& portName) { return portName; }

std::unique_ptr<SerialBackend> makeSystemBackend() { return std::make_unique<Win32SerialBackend>(); }

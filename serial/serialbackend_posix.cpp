// The serial line on POSIX systems, through termios.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "serial/custombaud.h"
#include "serial/serialbackend.h"
#include "serial/termiosline.h"

namespace {

struct StandardRate {
    uint32_t bps;
    speed_t code;
};
constexpr StandardRate standardRates[] = {
    {50, B50},       {75, B75},       {110, B110},     {134, B134},   {150, B150},
    {200, B200},     {300, B300},     {600, B600},     {1200, B1200}, {1800, B1800},
    {2400, B2400},   {4800, B4800},   {9600, B9600},   {19200, B19200}, {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400},
};

// The standard rate nearest to bps; exact tells whether it is bps itself.
speed_t nearestStandardRate(uint32_t bps, bool& exact) {
    const StandardRate* best = &standardRates[0];
    uint32_t bestDistance = UINT32_MAX;
    for (const StandardRate& r : standardRates) {
        uint32_t distance = r.bps > bps ? r.bps - bps : bps - r.bps;
        if (distance < bestDistance) {
            best = &r;
            bestDistance = distance;
        }
    }
    exact = bestDistance == 0;
    return best->code;
}

bool dataBitsFlag(uint8_t byteSize, tcflag_t& flag) {
    switch (byteSize) {
    case 5: flag = CS5; return true;
    case 6: flag = CS6; return true;
    case 7: flag = CS7; return true;
    case 8: flag = CS8; return true;
    default: return false;
    }
}

bool parityFlags(uint8_t parity, tcflag_t& flags) {
    switch (parity) {
    case 0: flags = 0; return true;
    case 1: flags = PARENB | PARODD; return true;
    case 2: flags = PARENB; return true;
    case 3: flags = PARENB | CMSPAR | PARODD; return true;
    case 4: flags = PARENB | CMSPAR; return true;
    default: return false;
    }
}

void setModemLine(int fd, int line, bool on) {
    // A pseudo-terminal has no modem lines; that is no failure.
    (void)ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

// Waits up to ms for the events; a descriptor that reports a hang-up or an
// error returns from poll() at once, so then sleep instead of spinning.
void waitFor(int fd, short events, uint32_t ms) {
    pollfd p{fd, events, 0};
    int r = ::poll(&p, 1, int(ms));
    if (r > 0 && !(p.revents & events)) {
        timespec ts{0, long(ms) * 1000000L};
        nanosleep(&ts, nullptr);
    }
}

} // namespace

bool termiosFromControlBlock(const DeviceControlBlock& dcb, termios& t) {
    tcflag_t size = 0, parity = 0;
    if (!dataBitsFlag(dcb.byteSize, size) || !parityFlags(dcb.parity, parity) || dcb.stopBits > 2) return false;
    // Binary transfer: no line editing, echo, signals or character mapping;
    // parity is sent but not checked on input.
    t.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY |
                           INPCK);
    t.c_oflag &= ~tcflag_t(OPOST);
    t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= CREAD | CLOCAL | size | parity;
    // POSIX knows one or two stop bits; with five data bits the UART sends
    // one and a half for "two".
    if (dcb.stopBits != 0) t.c_cflag |= CSTOPB;
    if (dcb.flags & (dcbOutxCtsFlow | dcbRtsHandshake)) t.c_cflag |= CRTSCTS;
    if (dcb.flags & dcbOutX) t.c_iflag |= IXON;
    if (dcb.flags & dcbInX) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = cc_t(dcb.xonChar);
    t.c_cc[VSTOP] = cc_t(dcb.xoffChar);
    // A read returns what is there, at once.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return true;
}

namespace {

class PosixSerialBackend final : public SerialBackend {
public:
    ~PosixSerialBackend() override { close(); }

    bool open(const std::string& path) override {
        if (fd_ >= 0) return false;
        // O_NOCTTY: this program must not become the terminal's controlling
        // process. O_NONBLOCK: no read or write may wait for the line.
        int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return false;
        termios saved{};
        if (tcgetattr(fd, &saved) != 0) { // not a terminal
            ::close(fd);
            return false;
        }
        // The port belongs to one program at a time, as on Windows:
        // TIOCEXCL turns away other opens, flock also those of privileged
        // processes, which TIOCEXCL lets through.
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        (void)ioctl(fd, TIOCEXCL);
        fd_ = fd;
        saved_ = saved;
        return true;
    }

    void close() override {
        if (fd_ < 0) return;
        // Leave the terminal as it was found, and open for others.
        (void)tcsetattr(fd_, TCSANOW, &saved_);
        (void)ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }

    bool isOpen() const override { return fd_ >= 0; }

    bool applyLineState(const DeviceControlBlock& dcb) override {
        if (fd_ < 0 || dcb.baudRate == 0) return false;
        termios t{};
        if (tcgetattr(fd_, &t) != 0 || !termiosFromControlBlock(dcb, t)) return false;

        bool exact = false;
        speed_t speed = nearestStandardRate(dcb.baudRate, exact);
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
        if (tcsetattr(fd_, TCSANOW, &t) != 0) return false;
        if (!exact && !setCustomBaudRate(fd_, dcb.baudRate)) return false;

        setModemLine(fd_, TIOCM_DTR, dcb.flags & dcbDtrEnable);
        // With the RTS handshake the kernel drives RTS; it starts raised.
        setModemLine(fd_, TIOCM_RTS, dcb.flags & (dcbRtsEnable | dcbRtsHandshake));
        return true;
    }

    // The kernel's queues have a fixed size.
    bool setQueueSizes(uint32_t, uint32_t) override { return fd_ >= 0; }

    // O_NONBLOCK with VMIN = VTIME = 0 already makes every call return at once.
    bool setShortTimeouts() override { return fd_ >= 0; }

    bool purge(bool rx, bool tx) override {
        if (fd_ < 0) return false;
        if (!rx && !tx) return true;
        return tcflush(fd_, rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH) == 0;
    }

    bool inputCount(uint32_t& count) override {
        count = 0;
        int n = 0;
        if (fd_ < 0 || ioctl(fd_, FIONREAD, &n) != 0) return false;
        count = uint32_t(n < 0 ? 0 : n);
        return true;
    }

    bool outputCount(uint32_t& count) override {
        count = 0;
        if (fd_ < 0) return false;
        // Not every terminal keeps a count of its transmit queue.
        int n = 0;
        if (ioctl(fd_, TIOCOUTQ, &n) == 0 && n > 0) count = uint32_t(n);
        return true;
    }

    bool modemStatus(uint32_t& bits) override {
        bits = 0;
        int lines = 0;
        if (fd_ < 0 || ioctl(fd_, TIOCMGET, &lines) != 0) return false;
        if (lines & TIOCM_CTS) bits |= msCTS;
        if (lines & TIOCM_DSR) bits |= msDSR;
        if (lines & TIOCM_RI) bits |= msRING;
        if (lines & TIOCM_CD) bits |= msRLSD;
        return true;
    }

    bool read(void* buffer, uint32_t size, uint32_t& count) override {
        count = 0;
        if (fd_ < 0) return false;
        ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0) {
            count = uint32_t(n);
            return true;
        }
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    }

    bool write(const void* data, uint32_t size, uint32_t& count) override {
        count = 0;
        if (fd_ < 0) return false;
        ssize_t n = ::write(fd_, data, size);
        if (n >= 0) {
            count = uint32_t(n);
            return true;
        }
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    }

    void waitReadable(uint32_t ms) override {
        if (fd_ >= 0) waitFor(fd_, POLLIN, ms);
    }

    void waitWritable(uint32_t ms) override {
        if (fd_ >= 0) waitFor(fd_, POLLOUT, ms);
    }

private:
    int fd_ = -1;
    termios saved_{};
};

// "\\.\COMn" -> n, or 0 when the name has another form.
unsigned comNumber(const std::string& name) {
    static const char prefix[] = "\\\\.\\";
    const size_t prefixLength = sizeof prefix - 1;
    if (name.size() < prefixLength + 4 || name.compare(0, prefixLength, prefix) != 0) return 0;
    const char* com = name.c_str() + prefixLength;
    if (strncasecmp(com, "COM", 3) != 0) return 0;
    const std::string digits = name.substr(prefixLength + 3);
    if (digits.empty() || digits.size() > 4) return 0;
    unsigned n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + unsigned(c - '0');
    }
    return n;
}

} // namespace

uint32_t tickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

// There is no Windows version to ask for here.
OsVersion osVersion() { return OsVersion{}; }

// "\\.\COMn" opens the device named in $VRK_COMn, else /dev/ttyS(n-1);
// any other name (a path such as /dev/ttyUSB0) is opened as it stands.
std::string systemDevicePath(const std::string& portName) {
    const unsigned n = comNumber(portName);
    if (n == 0) return portName;
    const std::string variable = "VRK_COM" + std::to_string(n);
    const char* mapped = std::getenv(variable.c_str());
    if (mapped && *mapped) return mapped;
    return "/dev/ttyS" + std::to_string(n - 1);
}

std::unique_ptr<SerialBackend> makeSystemBackend() { return std::make_unique<PosixSerialBackend>(); }

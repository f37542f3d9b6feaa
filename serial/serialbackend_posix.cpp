// The serial line on POSIX systems, through termios.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

#include "serial/custombaud.h"
#include "serial/serialbackend.h"
#include "serial/termiosline.h"

namespace {

struct StandardRate {
    uint32_t bps;
    speed_t code;
};
constexpr StandardRate standardRates[] = {
    {50, B50},     {75, B75},       {110, B110},     {134, B134},     {150, B150},       {200, B200},
    {300, B300},   {600, B600},     {1200, B1200},   {1800, B1800},   {2400, B2400},     {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
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
    case 5:
        flag = CS5;
        return true;
    case 6:
        flag = CS6;
        return true;
    case 7:
        flag = CS7;
        return true;
    case 8:
        flag = CS8;
        return true;
    default:
        return false;
    }
}

bool parityFlags(uint8_t parity, tcflag_t& flags) {
    switch (parity) {
    case 0:
        flags = 0;
        return true;
    case 1:
        flags = PARENB | PARODD;
        return true;
    case 2:
        flags = PARENB;
        return true;
    case 3:
        flags = PARENB | CMSPAR | PARODD;
        return true;
    case 4:
        flags = PARENB | CMSPAR;
        return true;
    default:
        return false;
    }
}

void setModemLine(int fd, int line, bool on) {
    // A pseudo-terminal has no modem lines; that is no failure.
    (void)ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

constexpr short hangUpEvents = POLLHUP | POLLERR | POLLNVAL;

// The errors of a transfer or a query that mean the device is gone.
bool meansHangUp(int e) {
    return e == EIO || e == ENXIO || e == ENODEV || e == EBADF;
}

// Who may open the device, and where this process and its user stand.
DeviceAccess accessOf(const std::string& path) {
    DeviceAccess a;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return a;
    a.known = true;
    a.mode = unsigned(st.st_mode & 07777);
    if (const passwd* owner = getpwuid(st.st_uid); owner && owner->pw_name) a.owner = owner->pw_name;
    const group* g = getgrgid(st.st_gid);
    if (g && g->gr_name) a.group = g->gr_name;
    a.processIsOwner = geteuid() == st.st_uid;
    a.processInGroup = getegid() == st.st_gid;
    gid_t groups[256];
    const int n = getgroups(256, groups);
    for (int i = 0; i < n && !a.processInGroup; ++i)
        a.processInGroup = groups[i] == st.st_gid;
    // The group database's word, which the next login gives the process.
    if (const passwd* user = getpwuid(geteuid())) {
        a.userListedInGroup = user->pw_gid == st.st_gid;
        for (char** m = g ? g->gr_mem : nullptr; m && *m && !a.userListedInGroup; ++m)
            a.userListedInGroup = user->pw_name && std::strcmp(*m, user->pw_name) == 0;
    }
    return a;
}

#ifdef __linux__
// Unix98 pseudo-terminal slaves have the majors 136..143.
bool isPseudoTerminal(dev_t device) {
    return major(device) >= 136 && major(device) <= 143;
}

int pseudoTerminalIndex(dev_t device) {
    return int((major(device) - 136) * 256 + minor(device));
}

// The terminal index that /proc/PID/fdinfo/FD gives for a pseudo-terminal
// master, -1 for anything else.
int masterIndex(const std::string& fdinfo) {
    const int fd = ::open(fdinfo.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    char text[512];
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0) return -1;
    text[n] = '\0';
    const char* at = std::strstr(text, "tty-index:");
    return at ? std::atoi(at + 10) : -1;
}

// Whether a process other than this one has the device open. The far end
// of a pseudo-terminal (a process that holds its master, as a simulator
// keeping its own slave descriptor does) is the line itself, not another user.
bool heldElsewhere(dev_t device) {
    DIR* proc = opendir("/proc");
    if (!proc) return false;
    const std::string self = std::to_string(getpid());
    const bool pty = isPseudoTerminal(device);
    bool held = false;
    while (!held) {
        const dirent* p = readdir(proc);
        if (!p) break;
        if (p->d_name[0] < '0' || p->d_name[0] > '9' || self == p->d_name) continue;
        const std::string base = std::string("/proc/") + p->d_name;
        DIR* fds = opendir((base + "/fd").c_str());
        if (!fds) continue; // gone, or not ours to look at
        bool holds = false, farEnd = false;
        while (const dirent* f = readdir(fds)) {
            if (f->d_name[0] == '.') continue;
            char target[256];
            const ssize_t n = readlink((base + "/fd/" + f->d_name).c_str(), target, sizeof target - 1);
            if (n <= 5) continue;
            target[n] = '\0';
            if (std::strncmp(target, "/dev/", 5) != 0) continue;
            if (pty && (std::strcmp(target, "/dev/ptmx") == 0 || std::strcmp(target, "/dev/pts/ptmx") == 0)) {
                if (masterIndex(base + "/fdinfo/" + f->d_name) == pseudoTerminalIndex(device)) farEnd = true;
                continue;
            }
            struct stat st {};
            if (::stat(target, &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == device) holds = true;
        }
        closedir(fds);
        held = holds && !farEnd;
    }
    closedir(proc);
    return held;
}
#else
bool isPseudoTerminal(dev_t) {
    return false;
}
bool heldElsewhere(dev_t) {
    return false;
}
#endif

} // namespace

bool termiosFromControlBlock(const DeviceControlBlock& dcb, termios& t) {
    tcflag_t size = 0, parity = 0;
    if (!dataBitsFlag(dcb.byteSize, size) || !parityFlags(dcb.parity, parity) || dcb.stopBits > 2)
        return false;
    // Binary transfer: no line editing, echo, signals or character mapping;
    // parity is sent but not checked on input.
    t.c_iflag &=
        ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
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

bool termiosHolds(const termios& requested, const termios& readBack, bool pseudoTerminal) {
    // A pseudo-terminal has no UART: the kernel keeps it at eight data bits
    // without parity, whatever was asked.
    const tcflag_t ignored = pseudoTerminal ? tcflag_t(CSIZE | PARENB) : tcflag_t(0);
    return requested.c_iflag == readBack.c_iflag && requested.c_oflag == readBack.c_oflag &&
           requested.c_lflag == readBack.c_lflag &&
           (requested.c_cflag & ~ignored) == (readBack.c_cflag & ~ignored) &&
           cfgetispeed(&requested) == cfgetispeed(&readBack) &&
           cfgetospeed(&requested) == cfgetospeed(&readBack) && requested.c_cc[VMIN] == readBack.c_cc[VMIN] &&
           requested.c_cc[VTIME] == readBack.c_cc[VTIME] && requested.c_cc[VSTART] == readBack.c_cc[VSTART] &&
           requested.c_cc[VSTOP] == readBack.c_cc[VSTOP];
}

LineFault lineFaultOf(long code) {
    switch (code) {
    case 0:
        return LineFault::None;
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
        return LineFault::DeviceMissing;
    case EACCES:
    case EPERM:
    case EROFS:
        return LineFault::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return LineFault::DeviceBusy;
    case ENOTTY:
    case EINVAL:
        return LineFault::SettingsRefused;
    case EIO:
        return LineFault::HungUp;
    default:
        return LineFault::Other;
    }
}

namespace {

class PosixSerialBackend final : public SerialBackend {
public:
    ~PosixSerialBackend() override { close(); }

    bool open(const std::string& path) override {
        if (fd_ >= 0) return false;
        // O_NOCTTY: this program must not become the terminal's controlling
        // process. O_NONBLOCK: no read or write may wait for the line.
        access_ = {};
        openErrno_ = 0;
        int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            // The system's reason is kept: it is told when the program has no words of its own for it.
            openErrno_ = errno;
            fault_ = lineFaultOf(openErrno_);
            // A name that was there but is no more (a dangling link) is a missing device.
            if (fault_ == LineFault::HungUp) fault_ = LineFault::DeviceMissing;
            if (openErrno_ == EACCES || openErrno_ == EPERM) access_ = accessOf(path);
            return false;
        }
        termios saved{};
        struct stat st {};
        if (tcgetattr(fd, &saved) != 0 || fstat(fd, &st) != 0) { // not a terminal
            openErrno_ = errno;
            fault_ = LineFault::SettingsRefused;
            ::close(fd);
            return false;
        }
        // The port belongs to one program at a time, as on Windows:
        // TIOCEXCL turns away other opens, flock also those of privileged
        // processes, which TIOCEXCL lets through; and as neither binds a
        // program that opens the device plainly, any other process that
        // has it open keeps it.
        if (flock(fd, LOCK_EX | LOCK_NB) != 0 || heldElsewhere(st.st_rdev)) {
            fault_ = LineFault::DeviceBusy;
            ::close(fd);
            return false;
        }
        (void)ioctl(fd, TIOCEXCL);
        fd_ = fd;
        saved_ = saved;
        pseudoTerminal_ = isPseudoTerminal(st.st_rdev);
        hungUp_ = false;
        fault_ = LineFault::None;
        return true;
    }

    void close() override {
        if (fd_ < 0) return;
        // Leave the terminal as it was found, and open for others.
        (void)tcsetattr(fd_, TCSANOW, &saved_);
        (void)ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
        hungUp_ = false;
    }

    bool isOpen() const override { return fd_ >= 0; }

    bool applyLineState(const DeviceControlBlock& dcb) override {
        fault_ = LineFault::SettingsRefused;
        if (fd_ < 0 || dcb.baudRate == 0) return false;
        termios t{};
        if (tcgetattr(fd_, &t) != 0 || !termiosFromControlBlock(dcb, t)) return false;

        bool exact = false;
        speed_t speed = nearestStandardRate(dcb.baudRate, exact);
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
        if (tcsetattr(fd_, TCSANOW, &t) != 0) {
            // The C library reports EINVAL when the call changed nothing,
            // as when a program killed while connected left the line just
            // so: settings that read back as requested are applied.
            termios now{};
            if (tcgetattr(fd_, &now) != 0 || !termiosHolds(t, now, pseudoTerminal_)) return false;
        }
        if (!exact && !setCustomBaudRate(fd_, dcb.baudRate)) return false;
        fault_ = LineFault::None;

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
        if (fd_ < 0 || hungUp_) return false;
        if (ioctl(fd_, FIONREAD, &n) != 0) return failed();
        count = uint32_t(n < 0 ? 0 : n);
        return true;
    }

    bool outputCount(uint32_t& count) override {
        count = 0;
        if (fd_ < 0 || hungUp_) return false;
        // Not every terminal keeps a count of its transmit queue.
        int n = 0;
        if (ioctl(fd_, TIOCOUTQ, &n) == 0 && n > 0) count = uint32_t(n);
        return true;
    }

    bool modemStatus(uint32_t& bits) override {
        bits = 0;
        int lines = 0;
        if (fd_ < 0 || hungUp_ || ioctl(fd_, TIOCMGET, &lines) != 0) return false;
        if (lines & TIOCM_CTS) bits |= msCTS;
        if (lines & TIOCM_DSR) bits |= msDSR;
        if (lines & TIOCM_RI) bits |= msRING;
        if (lines & TIOCM_CD) bits |= msRLSD;
        return true;
    }

    bool read(void* buffer, uint32_t size, uint32_t& count) override {
        count = 0;
        if (fd_ < 0 || hungUp_) return false;
        ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0) {
            count = uint32_t(n);
            return true;
        }
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || failed();
    }

    bool write(const void* data, uint32_t size, uint32_t& count) override {
        count = 0;
        if (fd_ < 0 || hungUp_) return false;
        ssize_t n = ::write(fd_, data, size);
        if (n >= 0) {
            count = uint32_t(n);
            return true;
        }
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || failed();
    }

    void waitReadable(uint32_t ms) override { waitFor(POLLIN, ms); }
    uint32_t clockUs() const override { return fineClockUs(); }
    uint32_t clockStepUs() const override { return 1; }

    void waitWritable(uint32_t ms) override { waitFor(POLLOUT, ms); }

    LineFault fault() const override { return fault_; }
    DeviceAccess deviceAccess() const override { return access_; }
    std::string systemMessage() const override {
        return openErrno_ ? std::strerror(openErrno_) : std::string();
    }
    bool hungUp() const override { return hungUp_; }

private:
    // A call failed with errno: notes a hang-up. Always false.
    bool failed() {
        if (meansHangUp(errno)) hungUp_ = true;
        return false;
    }

    // Waits up to ms for the events. A descriptor that hung up returns from
    // poll() at once: that is noted, and no later wait waits.
    void waitFor(short events, uint32_t ms) {
        if (fd_ < 0 || hungUp_) return;
        pollfd p{fd_, events, 0};
        const int r = ::poll(&p, 1, int(ms));
        if (r > 0 && (p.revents & hangUpEvents) && !(p.revents & events & POLLIN)) hungUp_ = true;
    }

    int fd_ = -1;
    termios saved_{};
    bool pseudoTerminal_ = false;
    bool hungUp_ = false;
    LineFault fault_ = LineFault::None;
    int openErrno_ = 0;
    DeviceAccess access_;
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
OsVersion osVersion() {
    return OsVersion{};
}

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

std::unique_ptr<SerialBackend> makeSystemBackend() {
    return std::make_unique<PosixSerialBackend>();
}

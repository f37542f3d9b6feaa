#include "sim/terminal.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

const struct {
    int baud;
    speed_t code;
} kSpeeds[] = {{110, B110},     {300, B300},     {600, B600},      {1200, B1200},
               {2400, B2400},   {4800, B4800},   {9600, B9600},    {19200, B19200},
               {38400, B38400}, {57600, B57600}, {115200, B115200}};

} // namespace

bool makeRaw(int fd, const LineFormat& own) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~tcflag_t(CSTOPB | PARENB | PARODD);
    if (own.stopBits == 2) t.c_cflag |= CSTOPB;
    // The terminal drops PARENB but keeps PARODD; data bits stay 8 whatever is asked.
    if (own.parity != Parity::None) t.c_cflag |= PARENB;
    if (own.parity == Parity::Odd) t.c_cflag |= PARODD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    speed_t speed = B4800;
    for (const auto& s : kSpeeds)
        if (s.baud == own.baud) speed = s.code;
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

bool readSeenLine(int fd, SeenLine& seen) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    const speed_t speed = ::cfgetospeed(&t);
    seen.baud = 0;
    for (const auto& s : kSpeeds)
        if (s.code == speed) seen.baud = s.baud;
    seen.odd = (t.c_cflag & PARODD) != 0;
    seen.stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
    return true;
}

bool makeLink(const std::string& link, const std::string& target, std::string& error) {
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        error = link + " exists and is not a symbolic link";
        return false;
    }
    const std::string tmp = link + ".new." + std::to_string(::getpid());
    ::unlink(tmp.c_str());
    if (::symlink(target.c_str(), tmp.c_str()) != 0) {
        error = "symlink " + tmp + ": " + std::strerror(errno);
        return false;
    }
    if (::rename(tmp.c_str(), link.c_str()) != 0) {
        error = "rename " + tmp + ": " + std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

void removeLink(const std::string& link, const std::string& target) {
    char buf[4096];
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
    if (n < 0) return;
    buf[n] = '\0';
    if (target == buf) ::unlink(link.c_str());
}

} // namespace sim

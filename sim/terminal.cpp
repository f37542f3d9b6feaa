#include "sim/terminal.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

bool makeRaw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, B19200);
    ::cfsetospeed(&t, B19200);
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

bool makeLink(const std::string& link, const std::string& target, std::string& error) {
    struct stat st{};
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

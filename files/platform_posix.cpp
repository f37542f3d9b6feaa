// The file module's POSIX part.
#include "files/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files::platform {

OpenedFile openRegularForReading(const std::string& utf8Path) {
    OpenedFile r;
    // O_NONBLOCK: opening a FIFO must not wait for a writer, nor a device for
    // its line; anything but a regular file is refused right after.
    int fd;
    do {
        fd = ::open(utf8Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        r.reason = std::strerror(errno);
        return r;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        r.reason = std::strerror(errno);
        ::close(fd);
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        r.outcome = S_ISDIR(st.st_mode) ? OpenOutcome::IsDirectory : OpenOutcome::NotRegular;
        if (S_ISDIR(st.st_mode)) r.reason = std::strerror(EISDIR);
        return r;
    }
    // A regular file: reads block as usual from here on.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    r.outcome = OpenOutcome::Opened;
    r.fd = fd;
    return r;
}

void closeDescriptor(int fd) {
    if (fd >= 0) ::close(fd);
}

std::string systemText(Reason reason) {
    switch (reason) {
    case Reason::NoSpace:
        return std::strerror(ENOSPC);
    case Reason::ReadOnly:
        return std::strerror(EROFS);
    case Reason::Permission:
        return std::strerror(EACCES);
    case Reason::TooLarge:
        return std::strerror(EFBIG);
    case Reason::Quota:
        return std::strerror(EDQUOT);
    case Reason::NotFound:
        return std::strerror(ENOENT);
    case Reason::InputOutput:
        return std::strerror(EIO);
    case Reason::IsFolder:
        return std::strerror(EISDIR);
    case Reason::NameTooLong:
        return std::strerror(ENAMETOOLONG);
    }
    return {};
}

bool replaceEntry(const std::string& fromUtf8, const std::string& toUtf8, std::string* reason) {
    // rename() replaces the entry itself: a symbolic link at toUtf8 goes, its target stays.
    if (std::rename(fromUtf8.c_str(), toUtf8.c_str()) == 0) return true;
    *reason = std::strerror(errno);
    return false;
}

bool syncDescriptor(int fd, std::string* reason) {
    int r;
    do {
        r = ::fsync(fd);
    } while (r != 0 && errno == EINTR);
    if (r == 0) return true;
    *reason = std::strerror(errno);
    return false;
}

long long fileSizeLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return -1;
    return static_cast<long long>(limit.rlim_cur);
}

void reportFileSizeLimitAsError() {
    // SIGXFSZ ends the process by default; ignored, the write that crosses
    // the limit returns EFBIG instead.
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGXFSZ, &action, nullptr);
}

} // namespace files::platform

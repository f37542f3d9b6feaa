// The file module's POSIX part.
#include "files/platform.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

} // namespace files::platform

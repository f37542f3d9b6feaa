#include "sim/controlsocket.h"

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace sim {

namespace {
bool address(const std::string& path, sockaddr_un& sa) {
    sa = sockaddr_un{};
    sa.sun_family = AF_UNIX;
    if (path.size() >= sizeof sa.sun_path) return false;
    std::memcpy(sa.sun_path, path.c_str(), path.size() + 1);
    return true;
}
} // namespace

int listenControl(const std::string& path, std::string& error) {
    sockaddr_un sa;
    if (!address(path, sa)) {
        error = "control path too long";
        return -1;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            error = path + " exists and is not a socket";
            return -1;
        }
        // A socket someone still listens on belongs to a live simulator.
        const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool live = probe >= 0 && ::connect(probe, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
        if (probe >= 0) ::close(probe);
        if (live) {
            error = "another simulator listens on " + path;
            return -1;
        }
        ::unlink(path.c_str());
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // The socket file is made with the umask's leave: 0600 from the start.
    const mode_t old = ::umask(0177);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    ::umask(old);
    if (!bound || ::chmod(path.c_str(), 0600) != 0 || ::listen(fd, 8) != 0) {
        error = "control socket " + path + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        if (bound) ::unlink(path.c_str());
        return -1;
    }
    return fd;
}

int claimPath(const std::string& path, std::string& error) {
    // The claim is a name in the abstract socket namespace, derived from the
    // path's absolute form: the kernel drops it when the process ends, however
    // it ends, and no file is left behind.
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd)) absolute = std::string(cwd) + "/" + path;
    }
    const size_t slash = absolute.rfind('/');
    char folder[PATH_MAX];
    if (::realpath(absolute.substr(0, slash == 0 ? 1 : slash).c_str(), folder))
        absolute = std::string(folder) + absolute.substr(slash);
    char name[32];
    std::snprintf(name, sizeof name, "vrk-sim:%016zx", std::hash<std::string>{}(absolute));
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    const size_t n = std::strlen(name);
    std::memcpy(sa.sun_path + 1, name, n); // sun_path[0] == 0: abstract
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&sa),
                         socklen_t(offsetof(sockaddr_un, sun_path) + 1 + n)) != 0) {
        error = errno == EADDRINUSE ? "another simulator is using " + path
                                    : "cannot claim " + path + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return -1;
    }
    return fd;
}

bool peerAllowed(int fd) {
    ucred peer{};
    socklen_t len = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &len) != 0) return false;
    return peer.uid == ::geteuid() || peer.uid == 0;
}

void ControlClient::answer(const std::string& text) {
    const std::string out = text + "\n";
    if (::send(fd, out.data(), out.size(), MSG_NOSIGNAL | MSG_DONTWAIT) != static_cast<ssize_t>(out.size())) {
        ::close(fd);
        fd = -1;
    }
}

void ControlClient::serve(const std::function<std::string(const std::string&)>& run) {
    char buf[1024];
    while (fd >= 0) {
        const ssize_t n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (n <= 0) {
            ::close(fd);
            fd = -1;
            return;
        }
        for (ssize_t i = 0; i < n && fd >= 0; ++i) {
            const char ch = buf[i];
            if (ch == '\n') {
                answer(overlong ? std::string("error line too long") : run(line));
                line.clear();
                overlong = false;
            } else if (ch != '\r' && !overlong) {
                if (line.size() < kMaxControlLine) {
                    line += ch;
                } else {
                    line.clear();
                    overlong = true;
                }
            }
        }
    }
}

std::string tellControl(const std::string& path, const std::string& command) {
    sockaddr_un sa;
    if (!address(path, sa)) {
        std::fprintf(stderr, "vrk-sim: socket path too long\n");
        return {};
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        std::fprintf(stderr, "vrk-sim: cannot reach %s: %s\n", path.c_str(), std::strerror(errno));
        if (fd >= 0) ::close(fd);
        return {};
    }
    const std::string line = command + "\n";
    std::string answer;
    if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(line.size())) {
        char c = 0;
        pollfd p{fd, POLLIN, 0};
        while (answer.size() < kMaxControlLine && ::poll(&p, 1, 5000) > 0 && ::read(fd, &c, 1) == 1 &&
               c != '\n')
            answer += c;
    } else {
        std::fprintf(stderr, "vrk-sim: send: %s\n", std::strerror(errno));
    }
    ::close(fd);
    return answer;
}

} // namespace sim

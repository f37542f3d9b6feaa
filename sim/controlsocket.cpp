#include "sim/controlsocket.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
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
        ::unlink(path.c_str());
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 8) != 0) {
        error = "control socket " + path + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return -1;
    }
    return fd;
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

#pragma once
// A pseudo-terminal pair for tests and bench programs: the program under
// test opens slavePath() as its serial port, the test plays the far end on
// the master side. Qt-free, POSIX only.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

class PseudoTerminal {
public:
    PseudoTerminal() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
            master_ = slave_ = -1;
            return;
        }
        slavePath_ = name;
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        fcntl(master_, F_SETFD, FD_CLOEXEC);
        fcntl(slave_, F_SETFD, FD_CLOEXEC);
    }
    ~PseudoTerminal() {
        if (master_ >= 0) ::close(master_);
        if (slave_ >= 0) ::close(slave_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_; }
    // The test's own descriptor of the slave: keeps the terminal alive and
    // shows its settings; it never reads.
    int slave() const { return slave_; }

    // Closes the master side: the far end vanishes as a pulled USB adapter
    // (or a killed simulator) does, and the slave side reports a hang-up.
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    // Writes all bytes to the master side (the line towards the program).
    bool send(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        while (size > 0) {
            ssize_t n = ::write(master_, p, size);
            if (n < 0) {
                if (errno != EAGAIN && errno != EINTR) return false;
                pollfd f{master_, POLLOUT, 0};
                ::poll(&f, 1, 10);
                continue;
            }
            p += n;
            size -= size_t(n);
        }
        return true;
    }
    bool send(const std::vector<uint8_t>& bytes) { return send(bytes.data(), bytes.size()); }

    // Reads what the program sent: up to max bytes, stopping when nothing
    // more came for idleMs milliseconds.
    std::vector<uint8_t> receive(size_t max, int idleMs) {
        std::vector<uint8_t> got;
        uint8_t buf[512];
        while (got.size() < max) {
            pollfd f{master_, POLLIN, 0};
            if (::poll(&f, 1, idleMs) <= 0 || !(f.revents & POLLIN)) break;
            ssize_t n = ::read(master_, buf, std::min(sizeof buf, max - got.size()));
            if (n <= 0) break;
            got.insert(got.end(), buf, buf + n);
        }
        return got;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

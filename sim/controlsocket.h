#pragma once
// The control socket: a UNIX stream socket on which each line is one command
// and each command gets one answer line. Lines are bounded; the rest of an
// overlong line is dropped unread and answered with an error.
#include <functional>
#include <string>

namespace sim {

constexpr size_t kMaxControlLine = 4096;

// Listens at `path` (a socket left there by a killed simulator is replaced;
// one a live simulator listens on, or anything else, is refused). The socket
// is its owner's alone (mode 0600, whatever the umask). Returns the
// non-blocking descriptor or -1.
int listenControl(const std::string& path, std::string& error);

// Claims a path (a --link or --control path) for this process for as long as
// the returned descriptor stays open: a second simulator given the same path
// is refused instead of taking over a live one. -1 with the reason.
int claimPath(const std::string& path, std::string& error);

// True when the connected peer runs as this process's user (or as root):
// another user's commands are not obeyed.
bool peerAllowed(int fd);

struct ControlClient {
    int fd = -1; // -1 once the client has gone
    std::string line;
    bool overlong = false;

    // Reads what is there and answers every complete line with run(line).
    void serve(const std::function<std::string(const std::string&)>& run);
    void answer(const std::string& text);
};

// The client side: sends one command, waits up to 5 s for the answer line and
// returns it ("" when none came; the reason on stderr).
std::string tellControl(const std::string& path, const std::string& command);

} // namespace sim

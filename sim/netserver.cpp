#include "sim/netserver.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr size_t kMaxConnections = 8;
constexpr size_t kMaxFrame = 256;
constexpr size_t kFixedRequest = 8; // function 3 and 6 requests

Bytes mbap(uint16_t transaction, const Bytes& unitAndPdu) {
    Bytes out;
    out.reserve(6 + unitAndPdu.size());
    for (const unsigned v :
         {unsigned(transaction >> 8u), unsigned(transaction & 0xFFu), 0u, 0u,
          static_cast<unsigned>(unitAndPdu.size() >> 8), static_cast<unsigned>(unitAndPdu.size() & 0xFF)})
        out.push_back(static_cast<uint8_t>(v));
    for (const uint8_t b : unitAndPdu)
        out.push_back(b);
    return out;
}

// The unit id and PDU of a serial frame: all but its CRC.
Bytes withoutCrc(const Bytes& frame) {
    return frame.size() > 2 ? Bytes(frame.begin(), frame.end() - 2) : Bytes{};
}

std::string addressText(const sockaddr_storage& a) {
    char host[INET6_ADDRSTRLEN] = {0};
    int port = 0;
    if (a.ss_family == AF_INET6) {
        const auto* s = reinterpret_cast<const sockaddr_in6*>(&a);
        ::inet_ntop(AF_INET6, &s->sin6_addr, host, sizeof host);
        port = ntohs(s->sin6_port);
        return "[" + std::string(host) + "]:" + std::to_string(port);
    }
    const auto* s = reinterpret_cast<const sockaddr_in*>(&a);
    ::inet_ntop(AF_INET, &s->sin_addr, host, sizeof host);
    port = ntohs(s->sin_port);
    return std::string(host) + ":" + std::to_string(port);
}

} // namespace

NetServer::~NetServer() {
    dropAll();
    if (listenFd_ >= 0) ::close(listenFd_);
}

bool NetServer::listen(NetFraming framing, const std::string& host, int port, std::string& error) {
    framing_ = framing;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0) {
        error = "listen address " + host + ": " + ::gai_strerror(rc);
        return false;
    }
    error.clear();
    for (addrinfo* a = found; a && listenFd_ < 0; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        const int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 8) == 0) {
            listenFd_ = fd;
            break;
        }
        error = "listen at " + host + ":" + service + ": " + std::strerror(errno);
        ::close(fd);
    }
    ::freeaddrinfo(found);
    if (listenFd_ < 0) {
        if (error.empty()) error = "listen at " + host + ":" + service + ": no usable address";
        return false;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &length);
    address_ = addressText(bound);
    return true;
}

std::string NetServer::describe() const {
    return std::string(framing_ == NetFraming::ModbusTcp ? "modbus-tcp " : "rtu-tcp ") + address_;
}

void NetServer::addPollFds(std::vector<pollfd>& fds) const {
    fds.push_back({listenFd_, POLLIN, 0});
    for (const Connection& c : connections_)
        fds.push_back({c.fd, POLLIN, 0});
}

void NetServer::serve(const std::vector<pollfd>& fds, size_t first, std::vector<NetRequest>& requests) {
    if (listenFd_ < 0) return;
    const size_t count = connections_.size();
    for (size_t i = 0; i < count && first + 1 + i < fds.size(); ++i)
        if (connections_[i].fd >= 0 && (fds[first + 1 + i].revents & (POLLIN | POLLHUP | POLLERR)))
            readFrom(connections_[i], requests);
    connections_.erase(std::remove_if(connections_.begin(), connections_.end(),
                                      [](const Connection& c) { return c.fd < 0; }),
                       connections_.end());
    if (fds[first].revents & POLLIN) accept();
}

void NetServer::accept() {
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        if (connections_.size() >= kMaxConnections) {
            ::close(fd);
            continue;
        }
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        connections_.push_back(Connection{fd, nextId_++, {}});
    }
}

void NetServer::readFrom(Connection& c, std::vector<NetRequest>& requests) {
    uint8_t buf[1024];
    for (;;) {
        const ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
        if (n > 0) {
            c.in.insert(c.in.end(), buf, buf + n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        // Closed by the program, or reset.
        cutRequests(c, requests);
        ::close(c.fd);
        c.fd = -1;
        return;
    }
    cutRequests(c, requests);
}

void NetServer::cutRequests(Connection& c, std::vector<NetRequest>& requests) {
    for (;;) {
        NetRequest r;
        r.connection = c.id;
        if (framing_ == NetFraming::ModbusTcp) {
            if (c.in.size() < 7) return;
            const int protocol = c.in[2] << 8 | c.in[3];
            const size_t length = static_cast<size_t>(c.in[4] << 8 | c.in[5]);
            if (protocol != 0 || length < 2 || length > 254) {
                // Not Modbus TCP: a server closes such a connection.
                ::close(c.fd);
                c.fd = -1;
                c.in.clear();
                return;
            }
            if (c.in.size() < 6 + length) return;
            r.transaction = static_cast<uint16_t>(c.in[0] << 8 | c.in[1]);
            r.rtu.assign(c.in.begin() + 6, c.in.begin() + 6 + static_cast<long>(length));
            r.rtu.resize(r.rtu.size() + 2);
            fixCrc(r.rtu);
            c.in.erase(c.in.begin(), c.in.begin() + 6 + static_cast<long>(length));
        } else {
            // The program sends a request in one go: a function 3 or 6 request
            // is 8 bytes; anything else is taken as it came.
            if (c.in.empty()) return;
            size_t take = c.in.size();
            if (c.in.size() >= 2 && (c.in[1] == 3 || c.in[1] == 6)) {
                if (c.in.size() < kFixedRequest) return;
                take = kFixedRequest;
            }
            take = std::min(take, kMaxFrame);
            r.rtu.assign(c.in.begin(), c.in.begin() + static_cast<long>(take));
            c.in.erase(c.in.begin(), c.in.begin() + static_cast<long>(take));
        }
        requests.push_back(std::move(r));
    }
}

void NetServer::send(int connection, const Bytes& bytes) {
    for (Connection& c : connections_) {
        if (c.id != connection || c.fd < 0 || bytes.empty()) continue;
        // Replies are small; a connection whose buffer is full has stopped reading and loses them.
        if (::send(c.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0 && errno != EAGAIN) {
            ::close(c.fd);
            c.fd = -1;
        }
    }
}

void NetServer::reply(const NetRequest& r, Action a, const Bytes& clean, const Bytes& sent) {
    if (framing_ == NetFraming::RtuOverTcp) {
        send(r.connection, sent);
        return;
    }
    const uint16_t other = static_cast<uint16_t>(r.transaction + 0x8000);
    Bytes out;
    switch (a) {
    case Action::NoReply:
        return;
    case Action::BadCrc:
        out = mbap(other, withoutCrc(clean));
        break;
    case Action::Short:
        out = mbap(r.transaction, Bytes(sent.begin(), sent.begin() + std::min<long>(sent.size(), 2)));
        break;
    case Action::GarbageBefore:
        out = mbap(other, withoutCrc(clean));
        for (uint8_t b : mbap(r.transaction, withoutCrc(clean)))
            out.push_back(b);
        break;
    case Action::GarbageAfter:
        out = mbap(r.transaction, withoutCrc(clean));
        for (uint8_t b : mbap(other, withoutCrc(clean)))
            out.push_back(b);
        break;
    case Action::Reply:
    case Action::Late:
    case Action::OtherAddress:
        out = mbap(r.transaction, withoutCrc(sent));
        break;
    }
    send(r.connection, out);
}

// Both only close: the connection list changes in serve() alone, so that it
// stays in step with the descriptors polled.
void NetServer::drop(int connection) {
    for (Connection& c : connections_)
        if (c.id == connection && c.fd >= 0) {
            ::close(c.fd);
            c.fd = -1;
        }
}

size_t NetServer::dropAll() {
    size_t n = 0;
    for (Connection& c : connections_)
        if (c.fd >= 0) {
            ::close(c.fd);
            c.fd = -1;
            ++n;
        }
    return n;
}

} // namespace sim

#pragma once
// The relay behind a network gateway: a TCP listener (loopback unless told
// otherwise) whose connections carry Modbus TCP (MBAP header, unit id = bus
// address, no CRC) or the serial frames as they are (RTU over TCP, as a serial
// device server in "TCP server" mode passes them). Requests come out as serial
// frames with their CRC, so the simulator answers them as it answers the line;
// replies go back in the connection's framing.
#include "sim/frames.h"
#include "sim/injection.h"

#include <cstdint>
#include <poll.h>
#include <string>
#include <vector>

namespace sim {

enum class NetFraming { ModbusTcp, RtuOverTcp };

struct NetRequest {
    int connection = -1; // the connection's id (not its descriptor)
    Bytes rtu;           // address (unit id), PDU, CRC
    uint16_t transaction = 0;
};

class NetServer {
public:
    NetServer() = default;
    ~NetServer();
    NetServer(const NetServer&) = delete;
    NetServer& operator=(const NetServer&) = delete;

    // Listens at host:port (port 0: one the system chooses).
    bool listen(NetFraming framing, const std::string& host, int port, std::string& error);
    bool listening() const { return listenFd_ >= 0; }
    // "modbus-tcp 127.0.0.1:5020" or "rtu-tcp [::1]:4001".
    std::string describe() const;

    // The descriptors to poll: the listener, then each connection.
    void addPollFds(std::vector<pollfd>& fds) const;
    // Serves what poll found on fds[first ...] (as addPollFds put them) and
    // appends the whole requests that came.
    void serve(const std::vector<pollfd>& fds, size_t first, std::vector<NetRequest>& requests);

    // Sends the relay's reply to a request: `sent` is the serial frame as it
    // leaves the relay (spoiled as the injection said), `clean` the correct
    // one. Over Modbus TCP a spoiled serial frame cannot be carried as such:
    // a bad CRC goes as a reply of another transaction, stray bytes as a stray
    // reply of another transaction before or after, a cut reply as a short PDU.
    void reply(const NetRequest& r, Action a, const Bytes& clean, const Bytes& sent);

    // Closes every connection at once (a gateway restarting, a cable pulled).
    size_t dropAll();
    // Closes the connection a request came on, leaving it unanswered.
    void drop(int connection);

private:
    struct Connection {
        int fd = -1;
        int id = 0;
        Bytes in;
    };
    void accept();
    void readFrom(Connection& c, std::vector<NetRequest>& requests);
    void cutRequests(Connection& c, std::vector<NetRequest>& requests);
    void send(int connection, const Bytes& bytes);

    NetFraming framing_ = NetFraming::ModbusTcp;
    int listenFd_ = -1;
    std::string address_;
    std::vector<Connection> connections_;
    int nextId_ = 1;
};

} // namespace sim

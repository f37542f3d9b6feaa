#include "sim/modbusslave.h"

#include <modbus/modbus.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

namespace {
// A frame the simulator hands over is complete in the pair before libmodbus
// reads; these bound the wait for the bytes of a frame that stopped short.
constexpr uint32_t kByteTimeoutUs = 5000;
constexpr uint32_t kIndicationTimeoutUs = 50000;
} // namespace

ModbusSlave::~ModbusSlave() {
    if (ctx_) modbus_free(ctx_); // does not close the socket: it was never connected
    if (map_) modbus_mapping_free(map_);
    if (libFd_ >= 0) ::close(libFd_);
    if (pumpFd_ >= 0) ::close(pumpFd_);
}

bool ModbusSlave::open(int address, std::string& error) {
    address_ = address;
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        error = std::string("socketpair: ") + std::strerror(errno);
        return false;
    }
    libFd_ = pair[0];
    pumpFd_ = pair[1];
    // Only the simulator's end is non-blocking; libmodbus waits on its own with select().
    ::fcntl(pumpFd_, F_SETFL, ::fcntl(pumpFd_, F_GETFL) | O_NONBLOCK);
    map_ = modbus_mapping_new(0, 0, kRegisterCount, 0);
    if (!map_) {
        error = std::string("modbus_mapping_new: ") + modbus_strerror(errno);
        return false;
    }
    return newContext(error);
}

bool ModbusSlave::newContext(std::string& error) {
    if (ctx_) modbus_free(ctx_);
    // The device name is never opened: the context talks through the socket pair.
    ctx_ = modbus_new_rtu("vrk-sim", 19200, 'N', 8, 1);
    if (!ctx_) {
        error = std::string("modbus_new_rtu: ") + modbus_strerror(errno);
        return false;
    }
    modbus_set_socket(ctx_, libFd_);
    modbus_set_slave(ctx_, address_);
    modbus_set_byte_timeout(ctx_, 0, kByteTimeoutUs);
    modbus_set_indication_timeout(ctx_, 0, kIndicationTimeoutUs);
    modbus_set_error_recovery(ctx_, MODBUS_ERROR_RECOVERY_NONE);
    return true;
}

void ModbusSlave::setAddress(int address) {
    address_ = address;
    if (ctx_) modbus_set_slave(ctx_, address);
}

void ModbusSlave::drain(int fd) {
    uint8_t buf[512];
    while (::recv(fd, buf, sizeof buf, MSG_DONTWAIT) > 0) {
    }
}

Outcome ModbusSlave::handle(const Bytes& frame, Relay& relay, double now) {
    Outcome out;
    drain(libFd_);
    drain(pumpFd_);
    if (::send(pumpFd_, frame.data(), frame.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(frame.size())) {
        out.reason = "error";
        return out;
    }
    relay.update(now);
    relay.copyTo(map_->tab_registers);

    uint8_t req[MODBUS_RTU_MAX_ADU_LENGTH];
    const int rc = modbus_receive(ctx_, req);
    const int err = errno;
    drain(libFd_); // whatever libmodbus did not take as part of the frame
    if (rc < 0) {
        out.reason = err == EMBBADCRC ? "crc" : err == ETIMEDOUT ? "incomplete" : "error";
        return out;
    }
    if (rc == 0) {
        // Filtered by the bus address. libmodbus's RTU side now expects the other
        // slave's reply on the shared line, which never comes here: start afresh so the
        // next request is taken as a request.
        out.reason = "address";
        std::string ignored;
        newContext(ignored);
        return out;
    }

    out.fn = req[1];
    const int addr = (req[2] << 8) | req[3];
    const int field = (req[4] << 8) | req[5];
    out.reg = addr + 1;
    int replied = 0;
    if (out.fn == 3) {
        out.count = field;
        replied = modbus_reply(ctx_, req, rc, map_);
    } else if (out.fn == 6) {
        out.value = field;
        replied = modbus_reply(ctx_, req, rc, map_);
        if (replied >= 0 && addr < kRegisterCount) {
            out.kept = relay.masterWrite(out.reg, static_cast<uint16_t>(field), now);
            relay.copyTo(map_->tab_registers);
        }
    } else {
        // The relay knows function 3 and 6 only.
        replied = modbus_reply_exception(ctx_, req, MODBUS_EXCEPTION_ILLEGAL_FUNCTION);
    }
    (void)replied;

    uint8_t buf[512];
    for (;;) {
        const ssize_t n = ::recv(pumpFd_, buf, sizeof buf, MSG_DONTWAIT);
        if (n <= 0) break;
        out.reply.insert(out.reply.end(), buf, buf + n);
    }
    if (out.reply.empty()) {
        out.kind = req[0] == MODBUS_BROADCAST_ADDRESS ? Outcome::Broadcast : Outcome::Ignored;
        if (out.kind == Outcome::Ignored) out.reason = "error";
        return out;
    }
    out.kind = Outcome::Answered;
    if (out.reply.size() >= 5 && (out.reply[1] & 0x80)) {
        out.exception = out.reply[2];
    } else if (out.fn == 3 && out.reply.size() >= 5) {
        const size_t bytes = out.reply[2];
        for (size_t i = 0; i + 1 < bytes && 4 + i < out.reply.size(); i += 2)
            out.values.push_back(static_cast<uint16_t>((out.reply[3 + i] << 8) | out.reply[4 + i]));
    }
    return out;
}

} // namespace sim

#pragma once
// A relay reached over the network instead of a serial device: the target
// text a port name maps to ("tcp://HOST:PORT", "rtu+tcp://HOST:PORT", with an
// optional "?timeout=MS"), read into its parts.
#include <cstdint>
#include <optional>
#include <QString>

namespace net {

enum class Framing {
    ModbusTcp,  // MBAP header with a transaction id, unit id = bus address, no CRC
    RtuOverTcp, // the serial line's frames with their CRC on a raw TCP stream
};

constexpr uint16_t kModbusTcpPort = 502;
constexpr uint32_t kDefaultReplyTimeoutMs = 1000;
constexpr uint32_t kMaxReplyTimeoutMs = 60000;
constexpr uint32_t kConnectTimeoutMs = 5000;

struct Target {
    Framing framing = Framing::ModbusTcp;
    QString host; // a name or an address, IPv6 without brackets
    uint16_t port = kModbusTcpPort;
    uint32_t replyTimeoutMs = kDefaultReplyTimeoutMs;
};

// True when the text names a network target (by its scheme, in any case),
// whether or not the rest of it is sound.
bool isNetworkTarget(const QString& text);
// The target's parts; nullopt with the reason in *error (current language)
// when the text is not a sound target.
std::optional<Target> parseTarget(const QString& text, QString* error);
// "127.0.0.1:502", "[::1]:502", "gateway.plant:4001".
QString hostAndPort(const Target& t);
// "Modbus TCP" or "RTU over TCP".
QString framingName(Framing f);
// What the user should see as the port: "Modbus TCP 127.0.0.1:502".
QString describe(const Target& t);

} // namespace net

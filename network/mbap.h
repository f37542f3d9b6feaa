#pragma once
// Modbus TCP framing apart from the socket: the serial line's frames
// (address, PDU, CRC) turned into MBAP requests, and MBAP replies taken off a
// TCP stream and turned back into serial frames with their CRC, so that the
// register bus above reads them as it reads the line.
#include <cstdint>
#include <QByteArray>

namespace mbap {

constexpr int kHeaderSize = 7;  // transaction, protocol (0), length, unit
constexpr int kMaxLength = 254; // unit id + the longest PDU (253)
constexpr int kMaxRtuFrame = 256;

// CRC-16 of the serial line (init 0xFFFF, reflected polynomial 0xA001).
uint16_t crc16(const char* data, qsizetype size);
// The bytes with their CRC appended (low byte first, as on the line).
QByteArray withCrc(const QByteArray& frame);
// True when the bytes are a whole serial frame: at least an address, a
// function and the CRC, and the last two bytes are the CRC of the rest.
bool isWholeRtuFrame(const QByteArray& bytes);

// The MBAP request that carries a whole serial frame: its CRC dropped, the
// header in front with the transaction id, protocol 0 and the address as the
// unit id. Empty when the frame is not whole.
QByteArray requestFromRtu(const QByteArray& rtu, uint16_t transaction);

struct Reply {
    uint16_t transaction = 0;
    QByteArray rtu; // unit id, PDU and the CRC computed here
};
enum class Take {
    Incomplete, // not a whole ADU yet: wait for more
    Taken,      // one ADU taken off the front of the stream into *reply
    Broken,     // the stream's front is no MBAP header (protocol id not 0, length out of range)
};
// Takes one ADU off the front of the stream.
Take takeReply(QByteArray& stream, Reply* reply);

} // namespace mbap

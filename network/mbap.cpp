#include "network/mbap.h"

namespace mbap {

uint16_t crc16(const char* data, qsizetype size) {
    uint16_t crc = 0xFFFF;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= uint8_t(data[i]);
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

QByteArray withCrc(const QByteArray& frame) {
    const uint16_t crc = crc16(frame.constData(), frame.size());
    QByteArray out = frame;
    out.append(char(crc & 0xFF));
    out.append(char(crc >> 8));
    return out;
}

bool isWholeRtuFrame(const QByteArray& bytes) {
    if (bytes.size() < 4 || bytes.size() > kMaxRtuFrame) return false;
    const uint16_t crc = crc16(bytes.constData(), bytes.size() - 2);
    return uint8_t(bytes[bytes.size() - 2]) == (crc & 0xFF) && uint8_t(bytes[bytes.size() - 1]) == (crc >> 8);
}

QByteArray requestFromRtu(const QByteArray& rtu, uint16_t transaction) {
    if (!isWholeRtuFrame(rtu)) return {};
    const qsizetype length = rtu.size() - 2; // unit id and PDU
    QByteArray out;
    out.reserve(6 + length);
    out.append(char(transaction >> 8));
    out.append(char(transaction & 0xFF));
    out.append('\0');
    out.append('\0');
    out.append(char(length >> 8));
    out.append(char(length & 0xFF));
    out.append(rtu.constData(), length);
    return out;
}

Take takeReply(QByteArray& stream, Reply* reply) {
    if (stream.size() < kHeaderSize) {
        // A protocol id other than 0 shows as soon as it has come.
        if (stream.size() >= 4 && (stream[2] != 0 || stream[3] != 0)) return Take::Broken;
        return Take::Incomplete;
    }
    const auto byte = [&](int i) { return uint8_t(stream[i]); };
    const int protocol = byte(2) << 8 | byte(3);
    const int length = byte(4) << 8 | byte(5);
    // The length counts the unit id and the PDU: at least a function code.
    if (protocol != 0 || length < 2 || length > kMaxLength) return Take::Broken;
    if (stream.size() < 6 + length) return Take::Incomplete;
    reply->transaction = uint16_t(byte(0) << 8 | byte(1));
    reply->rtu = withCrc(stream.mid(6, length));
    stream.remove(0, 6 + length);
    return Take::Taken;
}

} // namespace mbap

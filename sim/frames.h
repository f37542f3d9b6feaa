#pragma once
// Byte-level helpers shared by the simulator's pieces: the CRC of the serial
// line and the hex text the log and the tests use.
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

using Bytes = std::vector<uint8_t>;

// CRC-16 of the serial line (init 0xFFFF, reflected polynomial 0xA001); the
// frame carries it low byte first.
uint16_t crc16(const uint8_t* data, size_t size);
// True when the last two bytes are the CRC of the rest.
bool crcMatches(const Bytes& frame);
// Replaces the last two bytes by the CRC of the rest.
void fixCrc(Bytes& frame);
// "03 03 00 00" (upper case, one blank between bytes; empty for no bytes).
std::string hex(const Bytes& bytes);

} // namespace sim

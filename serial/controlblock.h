#pragma once
// The device control block: the line settings as one 28-byte record in the
// layout of the Win32 DCB, built once from the driver's properties and handed
// to whichever backend serves the port. Qt-free.
#include <cstdint>

struct DeviceControlBlock {
    uint32_t length = 28;
    uint32_t baudRate = 0;
    uint32_t flags = 0;
    uint16_t reserved = 0;
    uint16_t xonLimit = 0;
    uint16_t xoffLimit = 0;
    uint8_t byteSize = 0;
    uint8_t parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t stopBits = 0; // 0 one, 1 one and a half, 2 two
    char xonChar = 0;
    char xoffChar = 0;
    char errorChar = 0;
    char eofChar = 0;
    char evtChar = 0;
    uint16_t reserved1 = 0;
};
static_assert(sizeof(DeviceControlBlock) == 28, "the control block is 28 bytes");

// Flag bits of DeviceControlBlock::flags.
enum ControlBlockFlags : uint32_t {
    dcbBinary = 0x1,
    dcbOutxCtsFlow = 0x4,
    dcbDtrEnable = 0x10,
    dcbOutX = 0x100,
    dcbInX = 0x200,
    dcbRtsEnable = 0x1000,
    dcbRtsHandshake = 0x2000,
};

// The line settings as the driver's properties hold them (ordinals of its enumerations).
struct LineSettings {
    uint32_t baudRate = 9600;
    int dataBits = 3; // db5BITS .. db8BITS = 0 .. 3
    int stopBits = 0; // sb1BITS, sb1HALFBITS, sb2BITS
    int parity = 0;   // ptNONE .. ptSPACE
    int hwFlow = 1;   // hfNONE, hfNONERTSON, hfRTSCTS
    int swFlow = 0;   // sfNONE, sfXONXOFF
    bool enableDtr = true;
    uint32_t inBufSize = 2048;
};

// The version query's answer, as far as the XON/XOFF limit depends on it.
struct PlatformInfo {
    bool nt = false;      // platform "WNT"
    uint32_t version = 0; // major * 65536 + minor, 0 when unknown
};

DeviceControlBlock makeControlBlock(const LineSettings& s, const PlatformInfo& platform);

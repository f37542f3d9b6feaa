#include "serial/controlblock.h"

#include <algorithm>

DeviceControlBlock makeControlBlock(const LineSettings& s, const PlatformInfo& platform) {
    DeviceControlBlock dcb;
    dcb.length = sizeof(DeviceControlBlock);
    dcb.baudRate = s.baudRate;
    dcb.flags = dcbBinary;
    if (s.enableDtr) dcb.flags |= dcbDtrEnable;
    if (s.hwFlow == 1) dcb.flags |= dcbRtsEnable;
    if (s.hwFlow == 2) dcb.flags |= dcbOutxCtsFlow | dcbRtsHandshake;
    if (s.swFlow == 1) dcb.flags |= dcbOutX | dcbInX;
    dcb.byteSize = uint8_t(s.dataBits + 5);
    dcb.parity = uint8_t(s.parity);
    dcb.stopBits = uint8_t(s.stopBits);
    dcb.xonChar = 0x11;
    dcb.xoffChar = 0x13;

    // NT 4.0 and later refuse flow-control limits above 4096 bytes.
    uint32_t limit = s.inBufSize / 4;
    if (platform.nt && platform.version >= 0x40000) limit = std::min<uint32_t>(limit, 4096);
    dcb.xonLimit = uint16_t(limit);
    dcb.xoffLimit = uint16_t(limit);
    return dcb;
}

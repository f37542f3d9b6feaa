#pragma once
// The relay's bus interface, answered by libmodbus: an RTU context that never
// opens a device (its descriptor is one end of a socket pair) parses each
// request frame the simulator hands it, checks the CRC and the bus address,
// and builds the reply from a mapping of the 125 holding registers.
#include "sim/frames.h"
#include "sim/relay.h"

#include <string>

typedef struct _modbus modbus_t;
typedef struct _modbus_mapping_t modbus_mapping_t;

namespace sim {

struct Outcome {
    enum Kind { Answered, Broadcast, Ignored } kind = Ignored;
    std::string reason; // Ignored: address, crc, incomplete, error
    int fn = -1, reg = 0, count = 0, value = -1, exception = -1, kept = -1;
    Bytes reply; // Answered: the reply as libmodbus built it
    std::vector<uint16_t> values;
};

class ModbusSlave {
public:
    ModbusSlave() = default;
    ~ModbusSlave();
    ModbusSlave(const ModbusSlave&) = delete;
    ModbusSlave& operator=(const ModbusSlave&) = delete;

    bool open(int address, std::string& error);
    void setAddress(int address);
    int address() const { return address_; }

    // Hands one whole frame to libmodbus and lets it answer from the relay's registers.
    Outcome handle(const Bytes& frame, Relay& relay, double now);

private:
    bool newContext(std::string& error);
    void drain(int fd);

    modbus_t* ctx_ = nullptr;
    modbus_mapping_t* map_ = nullptr;
    int libFd_ = -1;  // libmodbus's end of the pair
    int pumpFd_ = -1; // the simulator's end
    int address_ = 3;
};

} // namespace sim

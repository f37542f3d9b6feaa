// POSIX systems without a way to ask for an arbitrary rate: the nearest
// standard rate that the caller applied stays.
#include "serial/custombaud.h"

bool setCustomBaudRate(int, uint32_t) {
    return true;
}

#pragma once
// Bit rates that termios has no constant for. The Linux file sets the exact
// rate (termios2 with BOTHER); on other POSIX systems the nearest standard
// rate, already applied by the caller, stays in force.
#include <cstdint>

// Called after tcsetattr with the nearest standard rate; false when the
// device refuses the rate.
bool setCustomBaudRate(int fd, uint32_t rate);

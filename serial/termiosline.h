#pragma once
// How the POSIX backend writes a control block into termios: everything but
// the bit rate and the modem lines, which need calls of their own.
#include <termios.h>

#include "serial/controlblock.h"

// Raw binary line with the block's data bits, parity, stop bits and flow
// control; false when the block asks for something termios cannot do.
bool termiosFromControlBlock(const DeviceControlBlock& dcb, termios& t);

// Whether the settings read back from the terminal are those requested (a
// pseudo-terminal keeps eight data bits without parity whatever is asked).
bool termiosHolds(const termios& requested, const termios& readBack, bool pseudoTerminal);

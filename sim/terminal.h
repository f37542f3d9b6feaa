#pragma once
// The relay's end of the line: the pseudo-terminal's slave side in raw mode
// and the symlink through which the program under test finds it.
#include "sim/line.h"

#include <string>

namespace sim {

// Raw 8-bit mode without echo or line editing; reads return as soon as a byte
// is there. The terminal starts with the relay's own speed, stop bits and
// parity, so that a program that sets nothing hears the relay.
bool makeRaw(int fd, const LineFormat& own);
// What the terminal shows of the line settings its other end last made (on
// either side of the pair: both share one setting). False when it cannot be read.
bool readSeenLine(int fd, SeenLine& seen);
// Points `link` at `target`: a stale symlink is replaced at once (renamed over);
// anything at `link` that is not a symlink is left alone and refused.
bool makeLink(const std::string& link, const std::string& target, std::string& error);
// Removes the link only while it still points at `target`: a simulator started
// after this one may have taken the name over.
void removeLink(const std::string& link, const std::string& target);

} // namespace sim

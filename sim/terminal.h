#pragma once
// The relay's end of the line: the pseudo-terminal's slave side in raw mode
// and the symlink through which the program under test finds it.
#include <string>

namespace sim {

// Raw 8-bit mode without echo or line editing; reads return as soon as a byte is there.
bool makeRaw(int fd);
// Points `link` at `target`: a stale symlink is replaced at once (renamed over);
// anything at `link` that is not a symlink is left alone and refused.
bool makeLink(const std::string& link, const std::string& target, std::string& error);
// Removes the link only while it still points at `target`: a simulator started
// after this one may have taken the name over.
void removeLink(const std::string& link, const std::string& target);

} // namespace sim

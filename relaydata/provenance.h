#pragma once
// Data shown as "the relay's" (the setpoints last read, the fault log) comes
// from one relay, read in one connection. Once the relay connected is
// another, or none, that data is the earlier one's, and says so.
#include "core/identity.h"

#include <QString>

namespace relaydata {

// What a page holds from the relay: which relay it was read from, and
// whether it has become earlier data since (sticky until read again).
struct Source {
    core::Identity relay;
    bool earlier = false;
};

// Whether data read from `from` is still the data of the relay connected now
// (`now`, `connected`): the same port and address, and the same variant once
// the relay connected now has reported one.
bool stillCurrent(const core::Identity& from, const core::Identity& now, bool connected);

// The source after the relay connected has changed to `now`: earlier once
// not still current, and so it stays.
Source afterChange(const Source& source, const core::Identity& now, bool connected);

// The port as the user chose it ("COM1" rather than the device path).
QString portShown(const QString& port);

// "earlier, from the relay at address 3 on COM1, read 14:05" in the current language.
QString earlierNote(const core::Identity& from);

} // namespace relaydata

#pragma once
// Finding the relay: asks every bus address for the variant register, at
// one line setting or at every one the settings dialog offers, on a port of
// its own (opened with the dialog's settings, closed at the end). Runs on
// the user-interface thread: after every question it lets the toolkit work
// for a moment and then asks keepGoing() whether to go on.
#include "config/linesettings.h"
#include "protocol/registerbus.h"

#include <functional>
#include <QString>

namespace linemonitor {

struct ScanRequest {
    linesettings::Line line;
    bool allSpeeds = false;
    int from = linescan::kFirstAddress;
    int to = linescan::kLastAddress;
};

struct ScanCallbacks {
    // Asked after every wait; false stops the scan (window closed, Stop
    // clicked, the program connected). Nothing else is called after a false.
    std::function<bool()> keepGoing;
    // Before each question: the step's number (0-based) of `total`.
    std::function<void(int index, int total, const linescan::Step& step)> progress;
    // A valid reply to the question.
    std::function<void(const linescan::Found& found)> found;
    // Every exchange as it went over the line (for the monitor's list).
    BusObserver exchanged;
};

enum class ScanEnd { Finished, Stopped, PortFailed };

// *error holds why the port could not be opened or stopped working.
ScanEnd runScan(const ScanRequest& request, const ScanCallbacks& callbacks, QString* error);

} // namespace linemonitor

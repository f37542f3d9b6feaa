#pragma once
// The one way a command that opens a dialog or a message box waits for the
// relay: every wait (czekaj) lets the toolkit run any handler, so a click may
// arrive while an operation with the relay (a poll tick, a transfer, a reset)
// is waiting between its exchanges. Nothing modal may start there: it would
// run its own loop inside the operation, and the operation (and every later
// poll tick, skipped as busy) would stand still until the dialog closed.
// Such a command goes through whenIdle, and runs once the operation returns.
#include <functional>

class QObject;

namespace idle {

// Marks an operation with the relay as running for its lifetime (nests).
class Busy {
public:
    Busy();
    ~Busy();
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

// Whether an operation is running now (it may be inside one of its waits).
bool busy();

// Runs fn at once when no operation is running; otherwise queues it, and it
// runs from the event loop as soon as the last running operation has
// returned (in the order queued). A command queued again before it ran is
// queued once (same context, same key). Dropped when context is destroyed
// before it runs.
void whenIdle(QObject* context, const char* key, std::function<void()> fn);

// For a command's own entry point: false when it may go on now; otherwise
// it is queued as by whenIdle to run `again` (usually the entry point
// itself, which then goes on), and true is returned.
//   void W::saveClick() {
//       if (idle::deferred(this, "save", [this] { saveClick(); })) return;
//       ...
bool deferred(QObject* context, const char* key, std::function<void()> again);

// How many commands wait for the operation now (for the tests and the bench).
int pending();

} // namespace idle

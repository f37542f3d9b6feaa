#include "wait/idle.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QTimer>

namespace idle {
namespace {

struct Queued {
    QPointer<QObject> context;
    const char* key;
    std::function<void()> fn;
};

int depth = 0;
QList<Queued> queue;
bool drainScheduled = false;
// The queued command running now (its own dialog may run a loop in which
// operations start and end: the rest of the queue waits until it returns).
const QObject* runningContext = nullptr;
const char* runningKey = nullptr;

void drain();

void scheduleDrain() {
    if (drainScheduled || queue.isEmpty()) return;
    drainScheduled = true;
    // From the event loop, after the operation's stack has unwound.
    QTimer::singleShot(0, [] {
        drainScheduled = false;
        drain();
    });
}

void drain() {
    if (runningKey) return;
    while (!queue.isEmpty()) {
        // Another operation may have begun meanwhile (a poll tick): wait for it too.
        if (depth > 0) return;
        Queued q = queue.takeFirst();
        if (!q.context) continue;
        runningContext = q.context;
        runningKey = q.key;
        q.fn();
        runningContext = nullptr;
        runningKey = nullptr;
    }
}

} // namespace

Busy::Busy() {
    ++depth;
}

Busy::~Busy() {
    if (--depth == 0) scheduleDrain();
}

bool busy() {
    return depth > 0;
}

void whenIdle(QObject* context, const char* key, std::function<void()> fn) {
    // Commands of windows gone since are no reason to wait.
    queue.removeIf([](const Queued& q) { return q.context.isNull(); });
    if (depth == 0 && queue.isEmpty()) {
        fn();
        return;
    }
    for (const Queued& q : queue)
        if (q.context == context && qstrcmp(q.key, key) == 0) return;
    queue.append({context, key, std::move(fn)});
    if (depth == 0) scheduleDrain();
}

bool deferred(QObject* context, const char* key, std::function<void()> again) {
    // The command queued before, now run from the queue: it goes on.
    if (depth == 0 && runningKey && runningContext == context && qstrcmp(runningKey, key) == 0) return false;
    queue.removeIf([](const Queued& q) { return q.context.isNull(); });
    if (depth == 0 && queue.isEmpty()) return false;
    whenIdle(context, key, std::move(again));
    return true;
}

int pending() {
    return int(queue.size());
}

} // namespace idle

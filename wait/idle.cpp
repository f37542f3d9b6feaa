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
    while (!queue.isEmpty()) {
        // Another operation may have begun meanwhile (a poll tick): wait for it too.
        if (depth > 0) return;
        Queued q = queue.takeFirst();
        if (!q.context) continue;
        q.fn();
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
    if (depth == 0 && queue.isEmpty()) {
        fn();
        return;
    }
    for (const Queued& q : queue)
        if (q.context == context && qstrcmp(q.key, key) == 0) return;
    queue.append({context, key, std::move(fn)});
    if (depth == 0) scheduleDrain();
}

int pending() {
    return int(queue.size());
}

} // namespace idle

#include "wait/czekaj.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "serial/serialbackend.h"

void czekaj(uint32_t ms) {
    if (ms == 0) return;
    const uint32_t start = tickCount();
    for (;;) {
        const uint32_t elapsed = tickCount() - start;
        if (elapsed >= ms) return;
        const uint32_t remaining = ms - elapsed;
        // Sleep in the event loop until the time is up or something happens.
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(int(remaining));
        // A loop that refuses to run (no application, or it is quitting)
        // must not turn the wait into a busy spin.
        if (!QCoreApplication::instance() || loop.exec() < 0) QThread::msleep(remaining);
    }
}

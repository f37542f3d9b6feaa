#include "bench/soak/pollwatch.h"

#include "app/tform1.h"
#include "serial/tserialdriver.h"

#include <QTimer>

PollWatch::PollWatch(TForm1* form) : f_(form), context_(std::make_unique<QObject>()) {
    QObject::connect(f_->Timer2, &QTimer::timeout, context_.get(), [this] { observe(); });
    lastLost_ = f_->dataPage().state().lostReads;
}

PollWatch::~PollWatch() = default;

void PollWatch::connected() {
    lastLost_ = f_->dataPage().state().lostReads;
    failedInARow_ = 0;
}

void PollWatch::observe() {
    // A tick that found a sequence under way did nothing.
    if (f_->exchangeBusy()) return;
    Tick t;
    t.index = ticks_++;
    t.lostReads = f_->dataPage().state().lostReads;
    t.good = t.lostReads == 0;
    t.disconnected = !f_->SerialDriver1->IsOpen();
    if (t.good) {
        ++good_;
        failedInARow_ = 0;
    } else {
        ++failed_;
        ++failedInARow_;
        if (t.lostReads != lastLost_ + 1) ++countMismatches_;
    }
    t.failedInARow = failedInARow_;
    if (t.disconnected) {
        ++disconnects_;
        if (t.good || failedInARow_ != 6) ++disconnectsNotAfterSix_;
    } else if (failedInARow_ >= 6) {
        ++sixWithoutDisconnect_;
    }
    lastLost_ = t.lostReads;
    last_ = t;
    if (onTick) onTick(t);
}

#include "app/operation.h"

#include "serial/tserialdriver.h"

#include <QTimer>
#include <QToolButton>

Operation::Operation(TForm1* window, Poll poll)
    : window_(window), sequence_(window), holdsPoll_(poll == Poll::Held) {
    if (!holdsPoll_) return;
    window->Timer2->stop();
    for (QToolButton* b : transferButtons(*window))
        if (b) b->setEnabled(false);
}

Operation::~Operation() {
    finish();
}

QList<QToolButton*> Operation::transferButtons(const TForm1& window) {
    return {window.setpointPage().SpeedButton6, window.setpointPage().SpeedButton7,
            window.setpointPage().SpeedButton11, window.faultPage().SpeedButton12};
}

bool Operation::wait(quint32 ms) {
    if (!windowAlive()) return false;
    window_->czekaj(ms);
    return portOpen();
}

bool Operation::portOpen() const {
    return windowAlive() && window_->SerialDriver1->IsOpen();
}

void Operation::finish() {
    if (!holdsPoll_) return;
    holdsPoll_ = false;
    if (!portOpen()) return;
    for (QToolButton* b : transferButtons(*window_))
        if (b) b->setEnabled(true);
    window_->Timer2->start();
}

#include "app/operation.h"

#include "serial/tserialdriver.h"

#include <QAbstractButton>
#include <QTimer>

Operation::Operation(TForm1* window, Poll poll)
    : window_(window), sequence_(window), holdsPoll_(poll == Poll::Held) {
    if (!holdsPoll_) return;
    window->Timer2->stop();
    for (QAbstractButton* b : transferButtons(*window))
        if (b) b->setEnabled(false);
}

Operation::~Operation() {
    finish();
}

QList<QAbstractButton*> Operation::transferButtons(const TForm1& window) {
    QList<QAbstractButton*> buttons = window.setpointPage().relayButtons();
    buttons << window.faultPage().readButton();
    return buttons;
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
    for (QAbstractButton* b : transferButtons(*window_))
        if (b) b->setEnabled(true);
    window_->Timer2->start();
}

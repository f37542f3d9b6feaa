#pragma once
// One transfer with the relay that the user starts (setpoint read and
// write, clock, fault log, reset). For its lifetime it marks an exchange
// sequence as running, so that a poll tick that comes in a wait is skipped;
// a transfer that holds the poll also stops it and disables the transfer
// buttons until finish(). Every wait pumps the window's events, so anything
// may happen in it (a disconnect, the window closing): wait() says whether
// the transfer can go on.
#include "app/tform1.h"

#include <QList>
#include <QPointer>

class QAbstractButton;

class Operation {
public:
    enum class Poll { Runs, Held };
    explicit Operation(TForm1* window, Poll poll = Poll::Runs);
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    // The buttons that start a transfer: enabled only while connected.
    static QList<QAbstractButton*> transferButtons(const TForm1& window);

    // Waits ms with the window's events pumped; then whether the window is
    // still there and its port still open.
    bool wait(quint32 ms);
    bool portOpen() const;
    bool windowAlive() const { return !window_.isNull(); }

    // A transfer that holds the poll: the buttons enabled and the poll
    // started again, unless the port was closed meanwhile (the disconnect has
    // set both then). Done once; the destructor does it if not done before.
    void finish();

private:
    QPointer<TForm1> window_;
    SequenceGuard sequence_;
    bool holdsPoll_ = false;
};

#pragma once
// Watches the poll of a main window from outside: every tick of Timer2 that
// ran (not one skipped because another exchange sequence was under way),
// whether its measurement read was good, the run of failed reads in a row,
// and the disconnects the poll made.
//
// The watch listens to Timer2's timeout after the window's own handler (a
// signal calls its slots in the order they were connected, and the window
// connects its handler when it is built), so it sees each tick just after it
// ended. Timer2Timer runs a tick exactly when no sequence is under way; the
// same holds when the watch is called, because anything nested in the tick
// (a click handled during its pause) has returned by then.
#include <functional>
#include <memory>
#include <QObject>

class TForm1;

class PollWatch {
public:
    struct Tick {
        int index = 0;             // 0 for the first tick that ran, counting across reconnects
        bool good = false;         // the measurement read was good (the window set lostReads to 0)
        int lostReads = 0;         // the window's count after the tick
        int failedInARow = 0;      // failed measurement reads in a row, this one included (0 when good)
        bool disconnected = false; // the tick dropped the link
    };

    explicit PollWatch(TForm1* form);
    ~PollWatch();
    PollWatch(const PollWatch&) = delete;
    PollWatch& operator=(const PollWatch&) = delete;

    // Called after each tick that ran.
    std::function<void(const Tick&)> onTick;
    // To be called after each connect (SpeedButton1Click): the window starts
    // counting lost reads afresh.
    void connected();

    int ticks() const { return ticks_; }
    int good() const { return good_; }
    int failed() const { return failed_; }
    int failedInARow() const { return failedInARow_; }
    int disconnects() const { return disconnects_; }
    // Disconnects that did not end a run of exactly six failed reads.
    int disconnectsNotAfterSix() const { return disconnectsNotAfterSix_; }
    // Failed reads found with six or more before them in a row and the link still up.
    int sixWithoutDisconnect() const { return sixWithoutDisconnect_; }
    // Ticks whose outcome disagrees with the window's lostReads (a count that
    // neither went back to 0 nor went up by one).
    int countMismatches() const { return countMismatches_; }
    const Tick& last() const { return last_; }

private:
    void observe();

    TForm1* f_;
    std::unique_ptr<QObject> context_;
    int ticks_ = 0, good_ = 0, failed_ = 0, failedInARow_ = 0, disconnects_ = 0;
    int disconnectsNotAfterSix_ = 0, sixWithoutDisconnect_ = 0, countMismatches_ = 0;
    int lastLost_ = 0;
    Tick last_;
};

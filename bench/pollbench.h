#pragma once
// What the benchmarks of the poll share: the real program in a folder of its
// own, connected to a vrk-sim of its own, with the beep and the message
// boxes silenced (an error box's text goes to stderr); and the time of one
// poll tick against the bare exchanges it makes.
#include "app/program.h"
#include "app/tform1.h"
#include "seams/seams.h"
#include "serial/tserialdriver.h"
#include "simfixture.h"

#include <algorithm>
#include <cstdio>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <vector>

namespace bench {

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

class PollBench {
public:
    // name: the program's name in its messages.
    explicit PollBench(const char* name) : name_(name) {
        QDir::setCurrent(dir.path());
        seams::current().beep = [] {};
        seams::current().messageBox = [](QWidget*, seams::BoxIcon, const QString&, const QString&) {};
        seams::current().errorBox = [name](QWidget*, const QString& text) {
            std::fprintf(stderr, "%s: %s\n", name, qPrintable(text));
        };
    }
    // Starts the simulator and the program and connects; says on stderr what failed.
    bool connect() {
        if (!relay.start()) {
            std::fprintf(stderr, "%s: the relay simulator did not start\n", name_);
            return false;
        }
        startProgram(program, false);
        f = program.form1;
        f->SpeedButton1Click();
        if (!f->SerialDriver1->IsOpen()) {
            std::fprintf(stderr, "%s: could not connect\n", name_);
            return false;
        }
        return true;
    }

    QTemporaryDir dir;
    SimRelay relay;
    Program program;
    TForm1* f = nullptr;

private:
    const char* name_;
};

// One poll tick, and then the two exchanges it makes alone, in milliseconds:
// the difference less the tick's 20 ms pause is its work on the
// user-interface thread (decoding, labels, lamps, recorder, log).
struct TickTime {
    double tick = 0;
    double exchanges = 0;
    double uiThread() const { return tick - exchanges - 20.0; }
};
inline TickTime timeTick(TForm1* f) {
    TickTime out;
    QElapsedTimer t;
    t.start();
    f->Timer2Timer();
    out.tick = t.nsecsElapsed() / 1e6;
    t.restart();
    f->Czytaj(1, 12);
    f->Czytaj(23, 1);
    out.exchanges = t.nsecsElapsed() / 1e6;
    return out;
}

} // namespace bench

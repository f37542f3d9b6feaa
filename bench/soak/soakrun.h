#pragma once
// The fault-injection soak: the program's windows, started as the program
// starts them, poll vrk-sim while the simulator spoils a share of its
// replies, and a script reads the setpoints, reads the fault log and writes
// the setpoints now and then. Afterwards every value the program showed is
// looked up among the replies the simulator logged. tst_soak runs a short
// soak and checks the figures; bench_soak runs a long one and prints them.
#include <cstdint>
#include <cstdio>
#include <QList>
#include <QString>
#include <QStringList>

struct SoakOptions {
    // The run ends once the simulator has received this many requests.
    int exchanges = 1200;
    // Timer2's interval during the run. The window polls every 200 ms; a
    // short interval packs more exchanges into the same time (each tick still
    // makes its two reads and its 20 ms pause).
    int pollIntervalMs = 1;
    // A hang guard only: the run ends here whatever the count.
    int maxSeconds = 240;
    // The simulator's seed (motor noise, fault memory, injection draws).
    uint32_t seed = 1;
    // The injected faults, as probabilities per reply.
    double noReply = 0.10, badCrc = 0.05, shortReply = 0.05, garbageBefore = 0.02, lateReply = 0.02;
    int lateMs = 150;
    // The simulator's line timing ("on" or "off"; empty: its own default)
    // and its response delay in ms (-1: its own default).
    QString lineTiming;
    int responseMs = -1;
    // One script action after every so many ticks, in the order: read the
    // setpoints, read the fault log, write setpoint table A, read, fault log,
    // write table B.
    int ticksPerAction = 25;
    // Resident memory counts from the end of the warm-up: this many ticks and
    // each kind of script action once. From 500 ticks on the recorder's
    // traces are full (500 samples each) and stop growing.
    int warmupTicks = 600;
    // After this tick (and a good read) the simulator drops the next eleven
    // replies: six measurement reads in a row fail and the link must drop.
    // 0: never.
    int forcedDisconnectAtTick = 0;
};

struct SoakFigures {
    QString error;        // not empty when the run could not be made
    QStringList problems; // one line per value or event that should not have been
    QStringList notes;    // the log around a few failed reads it does not explain

    double wallSeconds = 0;
    int exchanges = 0; // request lines in the simulator's log
    bool reachedTarget = false;
    bool aligned = false; // one measurement read in the log per tick that ran

    int ticks = 0, goodTicks = 0, failedTicks = 0; // failed: the program's failed measurement reads
    int spoiledInLog = 0;                          // measurement reads whose reply the simulator spoiled
    int failedAfterLate = 0;                       // failed reads of a good reply that came behind a late one
    int failedUnexplained = 0; // failed reads of a good reply with no late one before it (a slow machine)
    int earlyRefused = 0;      // exchanges refused because their reply began too soon (vrk.bus)
    int disconnects = 0, forcedDisconnects = 0, reconnects = 0, reconnectFailures = 0;
    bool endedDisconnected = false; // the run ended between a drop and its reconnect
    int disconnectsNotAfterSix = 0, sixWithoutDisconnect = 0, lostReadCountMismatches = 0;
    int disconnectsWithoutReport = 0; // a drop without one beep and the no-connection text

    int valuesNeverSent = 0;   // good ticks whose registers are in no measurement reply the simulator sent
    int notOwnReply = 0;       // good ticks whose registers are not those of their own request's reply
    int spoiledAccepted = 0;   // good ticks whose reply the log says was spoiled
    int labelMismatches = 0;   // good ticks whose data page does not show their registers
    int variantsNeverSent = 0; // ticks after which the table's variant row holds a value the relay never sent

    int setpointReads = 0, setpointReadsGood = 0;
    int setpointValuesNeverSent = 0, setpointNotOwnReply = 0, setpointTableMismatches = 0;
    int faultReads = 0, faultRowsNeverSent = 0;
    // Listings that are not the relay's trips once each: with a trip listed
    // more than once, or only with some missing.
    int faultListingsWithRepeats = 0, faultListingsIncomplete = 0;
    int writes = 0, writesReported = 0, writesNotKept = 0, writesRefused = 0;
    int beeps = 0, unexpectedReports = 0, errorBoxes = 0;

    long rssBeforeKb = 0, rssStartKb = 0, rssEndKb = 0; // before connecting, after the warm-up, at the end
    QList<long> rssEvery1000Ticks;                      // at ticks 1000, 2000, ...
    long firstErrorWindowStepKb = -1; // the step from the tick before the error window first showed
};

// Resident memory of this process (VmRSS), in kB; 0 when it cannot be read.
long residentKb();

// Needs a QApplication. Runs the soak and checks what the program showed.
SoakFigures runSoak(const SoakOptions& options);

void printFigures(std::FILE* out, const SoakOptions& options, const SoakFigures& figures);

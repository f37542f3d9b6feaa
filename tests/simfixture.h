#pragma once
// SimRelay: starts the relay simulator vrk-sim for a test and stops it again.
//
//   SimRelay relay;
//   QVERIFY(relay.start({"--variant", "3"}));   // VRK_COM1 now names relay.linkPath()
//   QVERIFY(relay.control("noreply next 6"));   // applies before the next request
//   ... drive the program or raw frames through relay.linkPath() ...
//   const QStringList lines = relay.logLines(); // one line per frame the relay received
//   relay.kill();                               // the adapter is unplugged
//   QVERIFY(relay.restart());                   // and plugged in again, same path
//
// The simulator is $VRK_SIM when set, else this build's bin/vrk-sim. Each
// SimRelay has its own temporary folder holding the link "com1" to the
// pseudo-terminal, the log "sim.log" (appended to across restarts), the control
// socket "control" and the simulator's standard output. start() begins a new
// log; restart() goes on appending to it. The destructor stops
// the simulator. Not thread-safe; use from the test's thread.
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/types.h>

class SimRelay {
public:
    SimRelay();
    ~SimRelay();
    SimRelay(const SimRelay&) = delete;
    SimRelay& operator=(const SimRelay&) = delete;

    // Starts the simulator with --link, --log and --control in this fixture's folder plus
    // extraArgs, waits (bounded) until it is ready and sets the environment variable
    // VRK_COM1 to the link. A running simulator is stopped first. False (with a warning
    // in the test output) when it did not start.
    bool start(const QStringList& extraArgs = {});
    // SIGTERM, wait; SIGKILL if it has not ended within a few seconds. The simulator
    // removes its link and control socket on the way out.
    void stop();
    // SIGKILL: the relay vanishes as an unplugged adapter does; the link is left dangling.
    void kill();
    // stop() (if running) and start again with the same arguments, the same link path and
    // the same log.
    bool restart();
    bool isRunning() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    // Sends one control command (see the simulator's README section) and waits (bounded)
    // for its answer; true when the answer starts with "ok". The answer line goes to
    // *answer when given.
    bool control(const QString& command, QString* answer = nullptr);

    // The simulator's log lines so far, one per frame received, without the "#" header lines.
    QStringList logLines() const;
    // A log line's fields: "t", "rx", "fn", "reg", "n", "value", "action", "reason", "late",
    // "exception", "tx", "values", "kept" (only those present).
    static QMap<QString, QString> parseLogLine(const QString& line);

    QString linkPath() const;                        // the symlink to the relay's terminal (also in VRK_COM1)
    QString slavePath() const { return slavePath_; } // the terminal itself, e.g. /dev/pts/7
    QString logPath() const;
    QString controlPath() const;
    // The simulator's program file that start() runs.
    static QString program();

private:
    bool launch(const QStringList& extraArgs);
    bool waitReady();
    bool reap(int timeoutMs);

    QTemporaryDir dir_;
    QStringList args_;
    QString slavePath_;
    pid_t pid_ = -1;
};

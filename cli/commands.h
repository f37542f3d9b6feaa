#pragma once
// The commands of vrk-cli. Each runs against an open line (or, for a dry
// run, without one) and returns the program's exit status.
#include "cli/line.h"
#include "config/languages.h"

#include <optional>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QTextStream>

namespace cli {

struct Context {
    Context(QTextStream& output, QTextStream& errors) : out(output), err(errors) {}
    QTextStream& out;
    QTextStream& err;
    languages::Language language = languages::English;
    LineSettings line;
    QList<int> addresses; // read and watch: the relays, in turn
    QFile* outDevice = nullptr;
    bool quiet = false;   // only data, warnings and errors
    bool verbose = false; // the frame trace on standard error
    bool json = false;
    QChar decimal = QLatin1Char('.');
    int retries = 0;                // more tries of a read that got no good answer
    std::optional<QString> journal; // where changes of the relay are recorded; none: not recorded
    // A text of the language files in the chosen language (line 1..90).
    QString text(int line) const { return languages::builtInText(language, line); }
    // Flushes the standard output: false, said once on standard error, when it could not be written.
    bool flush() const;
    // A remark on standard error, unless --quiet.
    void note(const QString& text) const;
};

// True once a failed write of the standard output was said.
bool outputFailureSaid();
// The journal a command records into without --journal.
QString defaultJournalPath();

struct ScanOptions {
    bool allSpeeds = false;
    int from = 1, to = 247;
    uint32_t timeoutMs = 0; // 0: the scan's own short time-out
};
int scan(const Context& c, const ScanOptions& o);

int readOnce(const Context& c);

struct WatchOptions {
    int intervalMs = 200;
    QString csvPath;      // empty or "-": print to standard output
    bool append = false;  // add to the end of csvPath
    double durationS = 0; // 0: until stopped
};
int watch(const Context& c, const WatchOptions& o);

int setpointsGet(const Context& c, const QString& path);

struct PutOptions {
    QString path; // "-": the standard input
    bool dryRun = false;
    bool verify = true;
};
int setpointsPut(const Context& c, const PutOptions& o);

int faultLog(const Context& c, bool csv);

int clockGet(const Context& c);
int clockSet(const Context& c, const QDateTime& at);

int reset(const Context& c);

int registersRead(const Context& c, int start, int count);
int registersWrite(const Context& c, int reg, int value, bool yes);

} // namespace cli

#pragma once
// The commands of vrk-cli. Each runs against an open line (or, for a dry
// run, without one) and returns the program's exit status.
#include "cli/line.h"
#include "config/languages.h"

#include <optional>
#include <QDateTime>
#include <QString>
#include <QTextStream>

namespace cli {

struct Context {
    QTextStream& out;
    QTextStream& err;
    languages::Language language = languages::English;
    LineSettings line;
    // A text of the language files in the chosen language (line 1..90).
    QString text(int line) const { return languages::builtInText(language, line); }
};

struct ScanOptions {
    bool allSpeeds = false;
    int from = 1, to = 247;
    uint32_t timeoutMs = 0; // 0: the scan's own short time-out
};
int scan(const Context& c, const ScanOptions& o);

int readOnce(const Context& c, bool json);

struct WatchOptions {
    int intervalMs = 200;
    QString csvPath;      // empty: print to standard output
    double durationS = 0; // 0: until stopped
};
int watch(const Context& c, const WatchOptions& o);

int setpointsGet(const Context& c, const QString& path);

struct PutOptions {
    QString path;
    bool dryRun = false;
    bool verify = true;
};
int setpointsPut(const Context& c, const PutOptions& o);

int faultLog(const Context& c, bool csv);

int clockSet(const Context& c, const QDateTime& at);

int reset(const Context& c);

} // namespace cli

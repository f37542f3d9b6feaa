#include "cli/arguments.h"

#include <QCoreApplication>

namespace cli {

namespace {

// One option: its names (short and long, comma-separated), the placeholder of
// its value (nullptr: a switch), what it does, and the commands that take it
// ("*": every command).
struct OptionInfo {
    const char* names;
    const char* value;
    const char* description;
    const char* commands;
};

const OptionInfo kOptions[] = {
    // Common to every command.
    {"h,help,help-all", nullptr, QT_TRANSLATE_NOOP("vrk-cli", "Show this help and do nothing else."), "*"},
    {"V,version", nullptr, QT_TRANSLATE_NOOP("vrk-cli", "Print the version and do nothing else."), "*"},
    {"lang", "LANG", QT_TRANSLATE_NOOP("vrk-cli", "The language of the texts: pl, en or ru (default en)."),
     "*"},
    {"q,quiet", nullptr, QT_TRANSLATE_NOOP("vrk-cli", "Print only the data, warnings and errors."), "*"},
    {"v,verbose", nullptr, QT_TRANSLATE_NOOP("vrk-cli", "Trace every frame on standard error."), "*"},
    {"decimal", "SEP",
     QT_TRANSLATE_NOOP("vrk-cli",
                       "The decimal separator of text and CSV: point or comma (default: the locale's). "
                       "CSV with a comma separates its fields with semicolons."),
     "*"},
    {"port", "DEVICE", QT_TRANSLATE_NOOP("vrk-cli", "The serial port: COM1, COM2 or a device path."), "*"},
    {"baud", "SPEED", QT_TRANSLATE_NOOP("vrk-cli", "Line speed: 19200, 9600, 4800 or 2400."), "*"},
    {"parity", "PARITY", QT_TRANSLATE_NOOP("vrk-cli", "Parity: none, odd or even."), "*"},
    {"data-bits", "BITS", QT_TRANSLATE_NOOP("vrk-cli", "Data bits: 8 or 7."), "*"},
    {"stop-bits", "BITS", QT_TRANSLATE_NOOP("vrk-cli", "Stop bits: 1 or 2."), "*"},
    {"address", "N", QT_TRANSLATE_NOOP("vrk-cli", "The relay's bus address, 1-247."),
     "scan setpoints-get setpoints-put faults clock-get clock-set reset regs-read regs-write"},
    {"address", "LIST",
     QT_TRANSLATE_NOOP("vrk-cli",
                       "The relays' bus addresses, 1-247: one, a list or ranges such as 3,5,7 or 1-10."),
     "read watch"},
    {"timeout-ms", "MS", QT_TRANSLATE_NOOP("vrk-cli", "How long to wait for an answer, in milliseconds."),
     "*"},
    {"retries", "N",
     QT_TRANSLATE_NOOP("vrk-cli", "Ask again up to N times when a read gets no good answer (default 0)."),
     "*"},
    // Commands' own.
    {"json", nullptr, QT_TRANSLATE_NOOP("vrk-cli", "Print the data as JSON."),
     "scan read setpoints-get faults clock-get regs-read"},
    {"all-speeds", nullptr, QT_TRANSLATE_NOOP("vrk-cli", "Try every speed and parity the settings offer."),
     "scan"},
    {"from", "N", QT_TRANSLATE_NOOP("vrk-cli", "The first address to try (default 1)."), "scan"},
    {"to", "N", QT_TRANSLATE_NOOP("vrk-cli", "The last address to try (default 247)."), "scan"},
    {"interval-ms", "MS", QT_TRANSLATE_NOOP("vrk-cli", "Time between reads, in milliseconds (default 200)."),
     "watch"},
    {"csv", "FILE",
     QT_TRANSLATE_NOOP("vrk-cli",
                       "Write the rows to FILE (a regular file; - for the standard output) instead of the "
                       "standard output."),
     "watch"},
    {"append", nullptr, QT_TRANSLATE_NOOP("vrk-cli", "Add the rows to the end of the --csv file."), "watch"},
    {"duration", "S", QT_TRANSLATE_NOOP("vrk-cli", "Stop after S seconds (default: at Ctrl+C)."), "watch"},
    {"csv", nullptr, QT_TRANSLATE_NOOP("vrk-cli", "Print the log as CSV."), "faults"},
    {"dry-run", nullptr,
     QT_TRANSLATE_NOOP("vrk-cli",
                       "Check the file, read the relay and show what would change (parameter, relay value, "
                       "file value); write nothing."),
     "setpoints-put"},
    {"no-verify", nullptr, QT_TRANSLATE_NOOP("vrk-cli", "Do not read the setpoints back after writing."),
     "setpoints-put"},
    {"time", "ISO",
     QT_TRANSLATE_NOOP("vrk-cli", "The time to set, ISO 8601 (default: this computer's clock)."),
     "clock-set"},
    {"yes", nullptr,
     QT_TRANSLATE_NOOP("vrk-cli", "Really write the register: nothing is written without it."), "regs-write"},
    {"journal", "FILE",
     QT_TRANSLATE_NOOP("vrk-cli",
                       "Record what is changed in the relay in this journal (default journal.csv)."),
     "setpoints-put clock-set reset regs-write"},
    {"no-journal", nullptr, QT_TRANSLATE_NOOP("vrk-cli", "Record nothing in the journal."),
     "setpoints-put clock-set reset regs-write"},
};

bool takesOption(const OptionInfo& o, const QString& command) {
    const QString list = QString::fromLatin1(o.commands);
    if (list == QLatin1String("*")) return true;
    QString key = command;
    key.replace(QLatin1Char(' '), QLatin1Char('-'));
    return list.split(QLatin1Char(' ')).contains(key);
}

} // namespace

const QList<CommandInfo>& commands() {
    static const QList<CommandInfo> list = {
        {"scan", "", QT_TRANSLATE_NOOP("vrk-cli", "Find the relays on the line.")},
        {"read", "",
         QT_TRANSLATE_NOOP("vrk-cli", "Read the measurements once, as the data page shows them.")},
        {"watch", "", QT_TRANSLATE_NOOP("vrk-cli", "Read the measurements continuously, as CSV.")},
        {"setpoints get", "[FILE.vrk|-]",
         QT_TRANSLATE_NOOP("vrk-cli", "Read the setpoints: show the table or save a setpoint file.")},
        {"setpoints put", "FILE.vrk|-",
         QT_TRANSLATE_NOOP("vrk-cli", "Check a setpoint file and write it to the relay.")},
        {"faults", "", QT_TRANSLATE_NOOP("vrk-cli", "Read the relay's fault log, newest first.")},
        {"clock get", "", QT_TRANSLATE_NOOP("vrk-cli", "Read the relay's clock.")},
        {"clock set", "", QT_TRANSLATE_NOOP("vrk-cli", "Set the relay's clock.")},
        {"reset", "", QT_TRANSLATE_NOOP("vrk-cli", "Clear the relay's faults, as the Reset button does.")},
        {"regs read", "START [COUNT]",
         QT_TRANSLATE_NOOP("vrk-cli", "Service: read registers (decimal or 0x hex numbers).")},
        {"regs write", "REG VALUE",
         QT_TRANSLATE_NOOP("vrk-cli", "Service: write one register; only with --yes.")},
    };
    return list;
}

const CommandInfo* findCommand(const QString& name) {
    for (const CommandInfo& c : commands())
        if (name == QLatin1String(c.name)) return &c;
    return nullptr;
}

bool isGroup(const QString& word) {
    return word == QLatin1String("setpoints") || word == QLatin1String("clock") ||
           word == QLatin1String("regs");
}

SplitArguments splitArguments(const QStringList& args) {
    QStringList valued; // "--port", "-x": options that take the next argument as their value
    for (const OptionInfo& o : kOptions) {
        if (!o.value) continue;
        for (const QString& n : QString::fromLatin1(o.names).split(QLatin1Char(',')))
            valued << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    }
    SplitArguments s;
    bool onlyWords = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (onlyWords || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            s.words << a;
        } else if (a == QLatin1String("--")) {
            onlyWords = true;
        } else {
            s.options << a;
            if (valued.contains(a) && i + 1 < args.size()) s.options << args[++i];
        }
    }
    return s;
}

void addOptions(QCommandLineParser& p, const QString& command) {
    for (const OptionInfo& o : kOptions) {
        if (!takesOption(o, command)) continue;
        QCommandLineOption option(QString::fromLatin1(o.names).split(QLatin1Char(',')),
                                  QCoreApplication::translate("vrk-cli", o.description));
        if (o.value) option.setValueName(QString::fromLatin1(o.value));
        p.addOption(option);
    }
}

} // namespace cli

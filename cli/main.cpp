// vrk-cli: the relay from a shell. "vrk-cli COMMAND [options]"; every
// command takes --help and the line options.
#include "cli/commands.h"
#include "cli/line.h"
#include "files/files.h"
#include "i18n/translator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>

#include <cstdio>

using namespace cli;

namespace {

struct Command {
    const char* name;        // "setpoints put"
    const char* description; // English source text
};

const Command kCommands[] = {
    {"scan", QT_TRANSLATE_NOOP("vrk-cli", "Find the relays on the line.")},
    {"read", QT_TRANSLATE_NOOP("vrk-cli", "Read the measurements once, as the data page shows them.")},
    {"watch", QT_TRANSLATE_NOOP("vrk-cli", "Read the measurements continuously, as CSV.")},
    {"setpoints get",
     QT_TRANSLATE_NOOP("vrk-cli", "Read the setpoints: show the table or save a setpoint file.")},
    {"setpoints put", QT_TRANSLATE_NOOP("vrk-cli", "Check a setpoint file and write it to the relay.")},
    {"faults", QT_TRANSLATE_NOOP("vrk-cli", "Read the relay's fault log, newest first.")},
    {"clock set", QT_TRANSLATE_NOOP("vrk-cli", "Set the relay's clock.")},
    {"reset", QT_TRANSLATE_NOOP("vrk-cli", "Clear the relay's faults, as the Reset button does.")},
};

QString usage() {
    QString text = QCoreApplication::translate("vrk-cli", "Usage: vrk-cli COMMAND [options]") +
                   QLatin1Char('\n') + QCoreApplication::translate("vrk-cli", "Commands:") +
                   QLatin1Char('\n');
    for (const Command& c : kCommands)
        text +=
            QStringLiteral("  %1%2\n").arg(QString::fromLatin1(c.name).leftJustified(16), tr(c.description));
    text +=
        QCoreApplication::translate("vrk-cli", "Each command takes --help. --version prints the version.") +
        QLatin1Char('\n');
    return text;
}

// The language option's value; false when it names no language.
bool languageOf(const QString& value, languages::Language* language) {
    const QString v = value.toLower();
    if (v == QLatin1String("en"))
        *language = languages::English;
    else if (v == QLatin1String("pl"))
        *language = languages::Polish;
    else if (v == QLatin1String("ru"))
        *language = languages::Russian;
    else
        return false;
    return true;
}

void useLanguage(languages::Language language) {
    if (language == languages::Polish)
        i18n::use(i18n::Language::Polish);
    else if (language == languages::Russian)
        i18n::use(i18n::Language::Russian);
    else
        i18n::use(i18n::Language::English);
}

} // namespace

int main(int argc, char** argv) {
    files::reportFileSizeLimitAsError(); // a save or log at the limit says so
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vrk-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VRK_VERSION));
    QTextStream out(stdout), err(stderr);

    QStringList args = QCoreApplication::arguments();
    const QString program = args.isEmpty() ? QStringLiteral("vrk-cli") : args.takeFirst();

    // The language comes first: the help texts are in it too.
    languages::Language language = languages::English;
    for (int i = 0; i < args.size(); ++i) {
        QString value;
        if (args[i] == QLatin1String("--lang") && i + 1 < args.size())
            value = args[i + 1];
        else if (args[i].startsWith(QLatin1String("--lang=")))
            value = args[i].mid(7);
        else
            continue;
        if (!languageOf(value, &language)) {
            err << QCoreApplication::translate("vrk-cli", "--lang must be pl, en or ru.") << Qt::endl;
            return kExitUsage;
        }
    }
    useLanguage(language);

    if (args.isEmpty()) {
        err << usage();
        return kExitUsage;
    }
    if (args[0] == QLatin1String("--version")) {
        out << QStringLiteral("vrk-cli %1").arg(QStringLiteral(VRK_VERSION)) << Qt::endl;
        return kExitOk;
    }
    if (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        out << usage();
        return kExitOk;
    }

    QString name = args.takeFirst();
    if ((name == QLatin1String("setpoints") || name == QLatin1String("clock")) && !args.isEmpty() &&
        !args[0].startsWith(QLatin1Char('-')))
        name += QLatin1Char(' ') + args.takeFirst();
    const Command* command = nullptr;
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name)) command = &c;
    if (!command) {
        err << QCoreApplication::translate("vrk-cli", "Unknown command: %1").arg(name) << '\n' << usage();
        return kExitUsage;
    }

    QCommandLineParser p;
    p.setApplicationDescription(tr(command->description));
    p.addHelpOption();
    p.addOption(
        {QStringLiteral("lang"),
         QCoreApplication::translate("vrk-cli", "The language of the texts: pl, en or ru (default en)."),
         QStringLiteral("LANG")});
    addLineOptions(p);
    if (name == QLatin1String("scan")) {
        p.addOption(
            {QStringLiteral("all-speeds"),
             QCoreApplication::translate("vrk-cli", "Try every speed and parity the settings offer.")});
        p.addOption({QStringLiteral("from"),
                     QCoreApplication::translate("vrk-cli", "The first address to try (default 1)."),
                     QStringLiteral("N")});
        p.addOption({QStringLiteral("to"),
                     QCoreApplication::translate("vrk-cli", "The last address to try (default 247)."),
                     QStringLiteral("N")});
    } else if (name == QLatin1String("read")) {
        p.addOption(
            {QStringLiteral("json"), QCoreApplication::translate("vrk-cli", "Print the values as JSON.")});
    } else if (name == QLatin1String("watch")) {
        p.addOption(
            {QStringLiteral("interval-ms"),
             QCoreApplication::translate("vrk-cli", "Time between reads, in milliseconds (default 200)."),
             QStringLiteral("MS")});
        p.addOption(
            {QStringLiteral("csv"),
             QCoreApplication::translate("vrk-cli", "Write the rows to FILE instead of the standard output."),
             QStringLiteral("FILE")});
        p.addOption({QStringLiteral("duration"),
                     QCoreApplication::translate("vrk-cli", "Stop after S seconds (default: at Ctrl+C)."),
                     QStringLiteral("S")});
    } else if (name == QLatin1String("setpoints get")) {
        p.addPositionalArgument(QStringLiteral("FILE.vrk"),
                                QCoreApplication::translate("vrk-cli", "Save the setpoints into this file."),
                                QStringLiteral("[FILE.vrk]"));
    } else if (name == QLatin1String("setpoints put")) {
        p.addPositionalArgument(QStringLiteral("FILE.vrk"),
                                QCoreApplication::translate("vrk-cli", "The setpoint file to write."));
        p.addOption({QStringLiteral("dry-run"),
                     QCoreApplication::translate(
                         "vrk-cli", "Check the file and show what would be written; write nothing.")});
        p.addOption(
            {QStringLiteral("no-verify"),
             QCoreApplication::translate("vrk-cli", "Do not read the setpoints back after writing.")});
    } else if (name == QLatin1String("faults")) {
        p.addOption({QStringLiteral("csv"), QCoreApplication::translate("vrk-cli", "Print the log as CSV.")});
    } else if (name == QLatin1String("clock set")) {
        p.addOption({QStringLiteral("time"),
                     QCoreApplication::translate(
                         "vrk-cli", "The time to set, ISO 8601 (default: this computer's clock)."),
                     QStringLiteral("ISO")});
    }

    if (!p.parse(QStringList{program + QLatin1Char(' ') + name} + args)) {
        err << p.errorText() << Qt::endl;
        return kExitUsage;
    }
    if (p.isSet(QStringLiteral("help"))) {
        // The usage line names the program as it was started; it names the command here.
        out << p.helpText().replace(program, QStringLiteral("vrk-cli ") + name);
        return kExitOk;
    }
    const QStringList positional = p.positionalArguments();
    const int allowed =
        name == QLatin1String("setpoints get") || name == QLatin1String("setpoints put") ? 1 : 0;
    if (positional.size() > allowed || (name == QLatin1String("setpoints put") && positional.isEmpty())) {
        err << QCoreApplication::translate("vrk-cli", "Wrong arguments; see vrk-cli %1 --help.").arg(name)
            << Qt::endl;
        return kExitUsage;
    }

    Context c{out, err, language, {}};
    QString error;
    if (!lineSettings(p, &c.line, &error)) {
        err << error << Qt::endl;
        return kExitUsage;
    }
    auto number = [&](const char* option, int low, int high, int fallback, int* value) {
        *value = fallback;
        if (!p.isSet(QLatin1String(option))) return true;
        bool ok = false;
        *value = p.value(QLatin1String(option)).toInt(&ok);
        if (ok && *value >= low && *value <= high) return true;
        err << QCoreApplication::translate("vrk-cli", "--%1 must be a number from %2 to %3.")
                   .arg(QLatin1String(option))
                   .arg(low)
                   .arg(high)
            << Qt::endl;
        return false;
    };

    if (name == QLatin1String("scan")) {
        ScanOptions o;
        o.allSpeeds = p.isSet(QStringLiteral("all-speeds"));
        if (!number("from", 1, 247, 1, &o.from) || !number("to", o.from, 247, 247, &o.to)) return kExitUsage;
        if (p.isSet(QStringLiteral("timeout-ms"))) o.timeoutMs = c.line.timeoutMs;
        return scan(c, o);
    }
    if (name == QLatin1String("read")) return readOnce(c, p.isSet(QStringLiteral("json")));
    if (name == QLatin1String("watch")) {
        WatchOptions o;
        if (!number("interval-ms", 10, 3600000, 200, &o.intervalMs)) return kExitUsage;
        o.csvPath = p.value(QStringLiteral("csv"));
        if (p.isSet(QStringLiteral("duration"))) {
            bool ok = false;
            o.durationS = p.value(QStringLiteral("duration")).toDouble(&ok);
            if (!ok || o.durationS <= 0) {
                err << QCoreApplication::translate("vrk-cli",
                                                   "--duration must be a positive number of seconds.")
                    << Qt::endl;
                return kExitUsage;
            }
        }
        return watch(c, o);
    }
    if (name == QLatin1String("setpoints get")) return setpointsGet(c, positional.value(0));
    if (name == QLatin1String("setpoints put")) {
        PutOptions o;
        o.path = positional.value(0);
        o.dryRun = p.isSet(QStringLiteral("dry-run"));
        o.verify = !p.isSet(QStringLiteral("no-verify"));
        return setpointsPut(c, o);
    }
    if (name == QLatin1String("faults")) return faultLog(c, p.isSet(QStringLiteral("csv")));
    if (name == QLatin1String("clock set")) {
        QDateTime at = QDateTime::currentDateTime();
        if (p.isSet(QStringLiteral("time"))) {
            at = QDateTime::fromString(p.value(QStringLiteral("time")), Qt::ISODate);
            if (!at.isValid()) {
                err << QCoreApplication::translate("vrk-cli",
                                                   "--time must be a date and time such as 2026-12-08T09:30.")
                    << Qt::endl;
                return kExitUsage;
            }
        }
        return clockSet(c, at);
    }
    return reset(c);
}

// vrk-cli: the relay from a shell. "vrk-cli COMMAND [options]"; the options
// may stand anywhere, and every command takes --help and the line options.
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/line.h"
#include "cli/stopsignal.h"
#include "files/files.h"
#include "i18n/translator.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QLoggingCategory>
#include <QTextStream>

#include <cmath>

using namespace cli;

namespace {

QString usage() {
    QString text = QCoreApplication::translate("vrk-cli", "Usage: vrk-cli COMMAND [options]") +
                   QLatin1Char('\n') + QCoreApplication::translate("vrk-cli", "Commands:") +
                   QLatin1Char('\n');
    for (const CommandInfo& c : commands())
        text +=
            QStringLiteral("  %1%2\n").arg(QString::fromLatin1(c.name).leftJustified(16), tr(c.description));
    text += QCoreApplication::translate(
                "vrk-cli", "Each command takes --help (also: vrk-cli help COMMAND). -V, --version prints the "
                           "version. The options may stand before or after the command.") +
            QLatin1Char('\n');
    return text;
}

// The subcommands of a group ("setpoints", "clock", "regs").
QString groupUsage(const QString& group) {
    QString text =
        QCoreApplication::translate("vrk-cli", "Usage: vrk-cli %1 SUBCOMMAND [options]").arg(group) +
        QLatin1Char('\n');
    for (const CommandInfo& c : commands()) {
        const QString name = QString::fromLatin1(c.name);
        if (name.startsWith(group + QLatin1Char(' ')))
            text += QStringLiteral("  %1%2\n").arg(name.leftJustified(16), tr(c.description));
    }
    return text;
}

QString seeHelp(const QString& command) {
    return command.isEmpty() ? QCoreApplication::translate("vrk-cli", "See vrk-cli --help.")
                             : QCoreApplication::translate("vrk-cli", "See vrk-cli %1 --help.").arg(command);
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

bool hasAny(const QStringList& options, std::initializer_list<const char*> names) {
    for (const QString& o : options)
        for (const char* n : names)
            if (o == QLatin1String(n)) return true;
    return false;
}

// The command's help, or nothing when there is no such command.
QString commandHelp(const QString& program, const QString& name) {
    const CommandInfo* info = findCommand(name);
    if (!info) return QString();
    QCommandLineParser p;
    p.setApplicationDescription(tr(info->description));
    addOptions(p, name);
    const QString arguments = QString::fromLatin1(info->arguments);
    if (!arguments.isEmpty()) p.addPositionalArgument(arguments, QString(), arguments);
    // The usage line names the program as it was started; it names the command here.
    return p.helpText().replace(program, QStringLiteral("vrk-cli ") + name);
}

int run(QTextStream& out, QTextStream& err, QFile& outDevice, const QString& program, QStringList args) {
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

    const SplitArguments split = splitArguments(args);
    const bool help = hasAny(split.options, {"-h", "--help", "--help-all", "-?"});
    if (hasAny(split.options, {"-V", "--version"})) {
        out << QStringLiteral("vrk-cli %1").arg(QStringLiteral(VRK_VERSION)) << Qt::endl;
        return kExitOk;
    }
    QStringList words = split.words;
    if (words.isEmpty()) {
        (help ? out : err) << usage();
        return help ? kExitOk : kExitUsage;
    }
    const bool helpCommand = words[0] == QLatin1String("help");
    if (helpCommand) words.removeFirst();
    if (words.isEmpty()) {
        out << usage();
        return kExitOk;
    }
    QString name = words.takeFirst();
    if (isGroup(name)) {
        if (words.isEmpty() || !findCommand(name + QLatin1Char(' ') + words[0])) {
            if (help || helpCommand) {
                out << groupUsage(name);
                return kExitOk;
            }
            err << (words.isEmpty()
                        ? QCoreApplication::translate("vrk-cli", "vrk-cli %1 needs a subcommand.").arg(name)
                        : QCoreApplication::translate("vrk-cli", "Unknown command: %1")
                              .arg(name + QLatin1Char(' ') + words[0]))
                << '\n'
                << groupUsage(name);
            return kExitUsage;
        }
        name += QLatin1Char(' ') + words.takeFirst();
    }
    if (!findCommand(name)) {
        err << QCoreApplication::translate("vrk-cli", "Unknown command: %1").arg(name) << '\n' << usage();
        return kExitUsage;
    }
    if (help || helpCommand) {
        out << commandHelp(program, name);
        return kExitOk;
    }

    QCommandLineParser p;
    addOptions(p, name);
    if (!p.parse(QStringList{program} + split.options)) {
        err << p.errorText() << '\n' << seeHelp(name) << Qt::endl;
        return kExitUsage;
    }
    const QStringList& positional = words;
    int most = 0, least = 0;
    if (name == QLatin1String("setpoints get")) most = 1;
    if (name == QLatin1String("setpoints put")) least = most = 1;
    if (name == QLatin1String("regs read")) least = 1, most = 2;
    if (name == QLatin1String("regs write")) least = most = 2;
    if (positional.size() > most || positional.size() < least) {
        err << QCoreApplication::translate("vrk-cli", "Wrong arguments; see vrk-cli %1 --help.").arg(name)
            << Qt::endl;
        return kExitUsage;
    }

    Context c(out, err);
    c.language = language;
    c.outDevice = &outDevice;
    c.quiet = p.isSet(QStringLiteral("quiet"));
    c.verbose = p.isSet(QStringLiteral("verbose"));
    if (c.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("vrk.bus.debug=true\nvrk.serial.debug=true"));
    c.decimal =
        QLocale::system().decimalPoint().at(0) == QLatin1Char(',') ? QLatin1Char(',') : QLatin1Char('.');
    if (p.isSet(QStringLiteral("decimal"))) {
        const QString d = p.value(QStringLiteral("decimal")).toLower();
        if (d == QLatin1String("point") || d == QLatin1String("."))
            c.decimal = QLatin1Char('.');
        else if (d == QLatin1String("comma") || d == QLatin1String(","))
            c.decimal = QLatin1Char(',');
        else {
            err << QCoreApplication::translate("vrk-cli", "--decimal must be point or comma.") << Qt::endl;
            return kExitUsage;
        }
    }
    const bool many = name == QLatin1String("read") || name == QLatin1String("watch");
    QString error;
    if (!lineSettings(p, many, &c.line, &error)) {
        err << error << Qt::endl;
        return kExitUsage;
    }
    c.addresses = {c.line.address};
    if (many && p.isSet(QStringLiteral("address")) &&
        !addressList(p.value(QStringLiteral("address")), &c.addresses, &error)) {
        err << error << Qt::endl;
        return kExitUsage;
    }
    if (!c.addresses.isEmpty()) c.line.address = c.addresses.first();
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
    if (!number("retries", 0, 10, 0, &c.retries)) return kExitUsage;
    // Options only some commands take: set or not, without asking about an option the parser lacks.
    const auto given = [&p](const char* option) { return p.optionNames().contains(QLatin1String(option)); };
    c.json = given("json");
    const bool changesRelay = name == QLatin1String("setpoints put") || name == QLatin1String("clock set") ||
                              name == QLatin1String("reset") || name == QLatin1String("regs write");
    if (changesRelay && !given("no-journal"))
        c.journal = given("journal") ? p.value(QStringLiteral("journal")) : defaultJournalPath();
    // Ctrl+C and SIGTERM end every command at its next step, its waits included.
    watchStopSignals();

    if (name == QLatin1String("scan")) {
        ScanOptions o;
        o.allSpeeds = given("all-speeds");
        if (!number("from", 1, 247, 1, &o.from) || !number("to", o.from, 247, 247, &o.to)) return kExitUsage;
        if (p.isSet(QStringLiteral("timeout-ms"))) o.timeoutMs = c.line.timeoutMs;
        return scan(c, o);
    }
    if (name == QLatin1String("read")) return readOnce(c);
    if (name == QLatin1String("watch")) {
        WatchOptions o;
        if (!number("interval-ms", 10, 3600000, 200, &o.intervalMs)) return kExitUsage;
        o.csvPath = p.value(QStringLiteral("csv"));
        o.append = given("append");
        if (o.append && (o.csvPath.isEmpty() || o.csvPath == QLatin1String("-"))) {
            err << QCoreApplication::translate("vrk-cli", "--append needs --csv FILE.") << Qt::endl;
            return kExitUsage;
        }
        if (p.isSet(QStringLiteral("duration"))) {
            bool ok = false;
            o.durationS = p.value(QStringLiteral("duration")).toDouble(&ok);
            // Not a number, infinite or beyond a year would run for good.
            if (!ok || !std::isfinite(o.durationS) || o.durationS <= 0 || o.durationS > 366.0 * 86400) {
                err << QCoreApplication::translate(
                           "vrk-cli", "--duration must be a positive number of seconds, at most a year.")
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
        o.dryRun = given("dry-run");
        o.verify = !given("no-verify");
        return setpointsPut(c, o);
    }
    if (name == QLatin1String("faults")) return faultLog(c, given("csv"));
    if (name == QLatin1String("clock get")) return clockGet(c);
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
    if (name == QLatin1String("regs read") || name == QLatin1String("regs write")) {
        QList<int> values;
        for (const QString& w : positional) {
            bool ok = false;
            const int v = w.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? w.mid(2).toInt(&ok, 16)
                                                                                 : w.toInt(&ok, 10);
            if (!ok || v < 0 || v > 0xFFFF) {
                err << QCoreApplication::translate("vrk-cli",
                                                   "%1 is not a number from 0 to 65535 (decimal or 0x hex).")
                           .arg(w)
                    << Qt::endl;
                return kExitUsage;
            }
            values << v;
        }
        if (name == QLatin1String("regs read")) return registersRead(c, values[0], values.value(1, 1));
        return registersWrite(c, values[0], values[1], given("yes"));
    }
    return reset(c);
}

} // namespace

int main(int argc, char** argv) {
    files::reportFileSizeLimitAsError(); // a save or log at the limit says so
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vrk-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VRK_VERSION));
    // The standard output unbuffered below the text stream, so that a failed
    // write (a full disk, a closed pipe) is seen when the stream is flushed.
    QFile outDevice;
    if (!outDevice.open(standardOutputDescriptor(), QIODevice::WriteOnly | QIODevice::Unbuffered))
        return kExitUsage;
    QTextStream out(&outDevice), err(stderr);

    QStringList args = QCoreApplication::arguments();
    const QString program = args.isEmpty() ? QStringLiteral("vrk-cli") : args.takeFirst();
    int status = run(out, err, outDevice, program, args);
    out.flush();
    if (out.status() != QTextStream::Ok || outDevice.error() != QFileDevice::NoError) {
        if (!outputFailureSaid())
            err << QCoreApplication::translate("vrk-cli", "Cannot write the standard output: %1")
                       .arg(files::reasonInOwnWords(outDevice.errorString()))
                << Qt::endl;
        if (status == kExitOk || status == kExitIncomplete) status = kExitUsage;
    }
    return status;
}

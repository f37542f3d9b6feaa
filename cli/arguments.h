#pragma once
// The command line of vrk-cli, git style: the command's words (a command and,
// for a group, its subcommand, then its arguments) may stand anywhere among
// the options, and the common options are taken before, after or between them.
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace cli {

struct CommandInfo {
    const char* name;        // "setpoints put"
    const char* arguments;   // "FILE.vrk|-", shown in the usage line; "" for none
    const char* description; // English source text
};

// Every command in the order the usage lists them.
const QList<CommandInfo>& commands();
// The command of that name, or nullptr.
const CommandInfo* findCommand(const QString& name);
// "setpoints", "clock", "regs": the words that take a subcommand.
bool isGroup(const QString& word);

// The arguments split: the words that are not options nor option values, and the rest.
struct SplitArguments {
    QStringList words; // command, subcommand, positional arguments, in order
    QStringList options;
};
SplitArguments splitArguments(const QStringList& args);

// Adds the options of the command (the common ones included) to the parser.
void addOptions(QCommandLineParser& parser, const QString& command);

} // namespace cli

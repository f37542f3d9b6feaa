#pragma once
// Ctrl+C and SIGTERM (a console close on Windows) end a running command
// cleanly: the handler only raises a flag that the command's loop looks at.

namespace cli {

// Installs the handlers; call once before a long-running command.
void watchStopSignals();
// True once a stop was asked for.
bool stopRequested();
// True when standard error is a terminal (a person watches it).
bool stderrIsTerminal();
// The standard output's descriptor, to be written unbuffered and checked.
int standardOutputDescriptor();

} // namespace cli

// The stop signals on POSIX systems: SIGINT and SIGTERM raise a flag.
#include "cli/stopsignal.h"

#include <csignal>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopFlag = 0;

extern "C" void onStopSignal(int) {
    stopFlag = 1;
}

} // namespace

namespace cli {

void watchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool stopRequested() {
    return stopFlag != 0;
}

bool stderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

int standardOutputDescriptor() {
    return STDOUT_FILENO;
}

} // namespace cli

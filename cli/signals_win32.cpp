// The stop signals on Windows: Ctrl+C, Ctrl+Break and closing the console raise a flag.
#include "cli/stopsignal.h"

#include <atomic>
#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace {

std::atomic<bool> stopFlag{false};

BOOL WINAPI onConsoleEvent(DWORD) {
    stopFlag = true;
    return TRUE;
}

} // namespace

namespace cli {

void watchStopSignals() {
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool stopRequested() {
    return stopFlag.load();
}

bool stderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

int standardOutputDescriptor() {
    return _fileno(stdout);
}

} // namespace cli

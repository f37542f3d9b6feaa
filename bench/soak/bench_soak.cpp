// The fault-injection soak, long run: the program's windows poll vrk-sim
// while it spoils a share of the replies and a script reads and writes the
// setpoints and reads the fault log; prints exchanges, failures, disconnects,
// values shown that the relay never sent, resident memory and wall time.
//   bench_soak [--exchanges N] [--interval MS] [--seed N] [--force-disconnect TICK] [--max-seconds S]
//              [--line-timing on|off] [--response-ms N]
// Defaults: 10000 exchanges, Timer2 at 1 ms (the window's own interval is
// 200 ms: --interval 200 polls as the program does, and takes about three
// times as long), a random seed, no forced disconnect, 3600 s guard, the
// simulator's own line timing and response delay.
#include "bench/soak/soakrun.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <QApplication>
#include <QRandomGenerator>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SoakOptions o;
    o.exchanges = 10000;
    o.pollIntervalMs = 1;
    o.maxSeconds = 3600;
    o.seed = QRandomGenerator::global()->bounded(1u, 1000000000u);
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (more && !std::strcmp(argv[i], "--exchanges"))
            o.exchanges = std::max(10, std::atoi(argv[++i]));
        else if (more && !std::strcmp(argv[i], "--interval"))
            o.pollIntervalMs = std::max(1, std::atoi(argv[++i]));
        else if (more && !std::strcmp(argv[i], "--seed"))
            o.seed = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (more && !std::strcmp(argv[i], "--force-disconnect"))
            o.forcedDisconnectAtTick = std::max(0, std::atoi(argv[++i]));
        else if (more && !std::strcmp(argv[i], "--max-seconds"))
            o.maxSeconds = std::max(1, std::atoi(argv[++i]));
        else if (more && !std::strcmp(argv[i], "--line-timing"))
            o.lineTiming = QString::fromLatin1(argv[++i]);
        else if (more && !std::strcmp(argv[i], "--response-ms"))
            o.responseMs = std::max(0, std::atoi(argv[++i]));
        else {
            std::fprintf(
                stderr,
                "usage: bench_soak [--exchanges N] [--interval MS] [--seed N] [--force-disconnect TICK] "
                "[--max-seconds S] [--line-timing on|off] [--response-ms N]\n");
            return 2;
        }
    }
    const SoakFigures fig = runSoak(o);
    printFigures(stdout, o, fig);
    if (!fig.error.isEmpty()) return 1;
    return fig.problems.isEmpty() && fig.valuesNeverSent == 0 ? 0 : 3;
}

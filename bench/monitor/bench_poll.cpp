// The real main window polling vrk-sim: polls per second, the program's CPU
// use, and the time a tick spends on the user-interface thread beyond its
// two exchanges and its 20 ms pause.
//   bench_poll [SECONDS]   (default 60)
#include "bench/pollbench.h"

#include <QApplication>
#include <QEventLoop>
#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int measurementReads(const SimRelay& relay) {
    int n = 0;
    for (const QString& line : relay.logLines()) {
        const auto f = SimRelay::parseLogLine(line);
        if (f.value(QStringLiteral("fn")) == QLatin1String("3") &&
            f.value(QStringLiteral("reg")) == QLatin1String("1"))
            ++n;
    }
    return n;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 60;
    bench::PollBench run("bench_poll");
    if (!run.connect()) return 1;
    SimRelay& relay = run.relay;
    TForm1* f = run.f;

    // The poll as it runs: ticks of Timer2 for the given time.
    const int readsBefore = measurementReads(relay);
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    const double elapsed = wall.elapsed() / 1000.0;
    const double cpu = cpuSeconds() - cpu0;
    const int reads = measurementReads(relay) - readsBefore;

    // A tick against the bare exchanges it makes: the difference is the work
    // on the user-interface thread (decoding, labels, lamps, recorder).
    f->Timer2->stop();
    std::vector<double> ticks, exchanges;
    for (int i = 0; i < 200; ++i) {
        const bench::TickTime t = bench::timeTick(f);
        ticks.push_back(t.tick);
        exchanges.push_back(t.exchanges);
    }
    const double tick = bench::median(ticks), bare = bench::median(exchanges);

    std::printf("poll for %.1f s: %d measurement reads, %.2f polls/s (target 5.0 +- 2 %%)\n", elapsed, reads,
                reads / elapsed);
    std::printf("program CPU: %.3f s, %.2f %% of one core (target under 5 %%)\n", cpu, 100.0 * cpu / elapsed);
    std::printf(
        "median tick %.2f ms, its two exchanges %.2f ms, pause 20 ms: %.2f ms on the UI thread beyond them\n",
        tick, bare, tick - bare - 20.0);
    f->Rozlacz();
    return 0;
}

// The cost of the poll log: the real main window polling vrk-sim, a tick's
// time on the user-interface thread beyond its two exchanges and its 20 ms
// pause, with logging off and on, measured in alternating blocks so a
// loaded machine affects both alike; and the rows written per hour.
//   bench_logging [TICKS]   (default 400 per side)
#include "bench/pollbench.h"
#include "records/csv.h"
#include "records/polllog.h"
#include "tests/controls.h"

#include <QApplication>
#include <QFileInfo>
#include <QToolButton>

namespace {

// One tick's user-interface time.
double uiTime(TForm1* f) {
    return bench::timeTick(f).uiThread();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(20, atoi(argv[1])) : 400;
    bench::PollBench run("bench_logging");
    const QString logPath = run.dir.filePath(QStringLiteral("poll.csv"));
    seams::current().saveFileName = [logPath](QWidget*, const QString&, const QString&, const QString&) {
        return logPath;
    };

    if (!run.connect()) return 1;
    TForm1* f = run.f;
    f->Timer2->stop();
    for (int i = 0; i < 10; ++i)
        uiTime(f); // the variant read, the scales

    std::vector<double> off, on;
    constexpr int kBlock = 20;
    for (int done = 0; done < ticks; done += kBlock) {
        for (int i = 0; i < kBlock; ++i)
            off.push_back(uiTime(f));
        control<QToolButton>(f, "LogButton")->click(); // on
        for (int i = 0; i < kBlock; ++i)
            on.push_back(uiTime(f));
        control<QToolButton>(f, "LogButton")->click(); // off
    }
    // The file holds the header and the last block's rows.
    const qint64 bytes =
        QFileInfo(logPath).size() - records::kUtf8Bom.size() - records::csvLine(records::logHeader()).size();
    const double rows = kBlock;
    const double mOff = bench::median(off), mOn = bench::median(on);
    std::printf("UI time per tick beyond the exchanges and the pause (median of %zu ticks each):\n",
                on.size());
    std::printf("  logging off %.3f ms, logging on %.3f ms: %+.3f ms per tick (target under 0.2 ms)\n", mOff,
                mOn, mOn - mOff);
    std::printf("  a row is about %.0f bytes: about %.1f MB per hour at 5 polls a second\n", bytes / rows,
                bytes / rows * 5 * 3600 / 1e6);
    f->Rozlacz();
    return 0;
}

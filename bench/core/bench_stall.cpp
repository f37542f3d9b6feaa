// The window thread's longest stall while the real window reads the fault
// log from vrk-sim at 2400 bit/s with line timing on, the poll running: the
// exchanges do not let the event loop run, the waits between them do, so the
// longest stall should be one exchange (a 25-register block) at most.
//   bench_stall [--reads N]
#include "pollbench.h"
#include "tests/controls.h"

#include "config/linesettings.h"
#include "core/link.h"
#include "faults/rules.h"

#include <cstring>
#include <QApplication>
#include <QLabel>
#include <QtTest>

namespace {

constexpr int kBaud = 2400;
constexpr double kBitsPerCharacter = 10; // 8N1

// One block's exchange on the wire: the 8-byte request and the 55-byte reply.
double blockWireMs() {
    return (8 + 2 * faults::kBlockRegisters + 5) * kBitsPerCharacter * 1000.0 / kBaud;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int reads = 5;
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--reads") && i + 1 < argc) reads = std::max(1, std::atoi(argv[++i]));
    bench::PollBench b("bench_stall");
    if (!b.relay.start({QStringLiteral("--baud"), QString::number(kBaud), QStringLiteral("--line-timing"),
                        QStringLiteral("on"), QStringLiteral("--freeze")}))
        return 1;
    startProgram(b.program, false);
    TForm1* f = b.program.form1;
    linesettings::Line line;
    line.baud = kBaud;
    line.parity = ptNONE;
    f->SerialDriver1->setPort(pnCOM1);
    line.port = f->SerialDriver1->PortName();
    if (!f->Link1->open(line)) {
        std::fprintf(stderr, "bench_stall: could not connect\n");
        return 1;
    }
    f->Timer2->start();

    // A 1 ms timer: the gaps between its calls are the times the event loop did not run.
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    double longest = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, (now - last) / 1e6);
        last = now;
    });
    std::vector<double> perRead, took;
    probe.start();
    for (int i = 0; i < reads; ++i) {
        QTest::qWait(300); // a few poll ticks between the reads
        longest = 0;
        last = clock.nsecsElapsed();
        QElapsedTimer t;
        t.start();
        f->SpeedButton12Click();
        took.push_back(t.nsecsElapsed() / 1e6);
        const qint64 now = clock.nsecsElapsed();
        perRead.push_back(std::max(longest, (now - last) / 1e6));
    }
    probe.stop();
    const bool complete = !control<QLabel>(f, "FaultLogNotice")->isVisible();
    f->Rozlacz();
    std::printf("fault-log read at %d bit/s (line timing on), %d reads, poll running\n", kBaud, reads);
    std::printf("  one block's exchange on the wire:     %7.1f ms\n", blockWireMs());
    std::printf("  whole read, median:                   %7.1f ms\n", bench::median(took));
    std::printf("  window thread's longest stall, median: %6.1f ms\n", bench::median(perRead));
    std::printf("  window thread's longest stall, worst:  %6.1f ms\n",
                *std::max_element(perRead.begin(), perRead.end()));
    std::printf("  last read complete: %s\n", complete ? "yes" : "no");
    return 0;
}

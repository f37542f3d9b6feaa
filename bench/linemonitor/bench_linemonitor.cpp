// The poll tick with the communication monitor closed and open: the real
// main window polling vrk-sim, Timer2's handler timed on its own, many
// ticks each way, alternating so that the machine's load falls on both.
// And the relay finder's time for addresses 1-247 at 19200 and 2400 bit/s
// against a relay that never answers, as its time-outs make it.
//   bench_linemonitor [TICKS]   (default 300 each way)
#include "app/program.h"
#include "app/tform1.h"
#include "config/linesettings.h"
#include "linemonitor/linemonitor.h"
#include "linemonitor/scanner.h"
#include "seams/seams.h"
#include "serial/tserialdriver.h"
#include "simfixture.h"

#include <algorithm>
#include <cstdio>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <vector>

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[size_t(p * double(v.size() - 1))];
}

// The relay finder over addresses 1-247 at one speed, against the given line.
double scanSeconds(const QString& port, uint32_t baud) {
    linemonitor::ScanRequest r;
    r.line.port = port;
    r.line.baud = baud;
    r.line.parity = ptNONE;
    QElapsedTimer t;
    t.start();
    QString error;
    linemonitor::ScanCallbacks none;
    if (linemonitor::runScan(r, none, &error) != linemonitor::ScanEnd::Finished) {
        std::fprintf(stderr, "bench_linemonitor: scan failed: %s\n", qPrintable(error));
        return -1;
    }
    return t.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(10, atoi(argv[1])) : 300;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    seams::current().beep = [] {};
    seams::current().messageBox = [](QWidget*, seams::BoxIcon, const QString&, const QString&) {};
    seams::current().errorBox = [](QWidget*, const QString&) {};

    SimRelay relay;
    if (!relay.start()) {
        std::fprintf(stderr, "bench_linemonitor: the relay simulator did not start\n");
        return 1;
    }
    Program program;
    startProgram(program, false);
    TForm1* f = program.form1;
    f->SpeedButton1Click();
    if (!f->SerialDriver1->IsOpen()) {
        std::fprintf(stderr, "bench_linemonitor: could not connect\n");
        return 1;
    }
    f->Timer2->stop();
    f->lineMonitorPage().LineMonitorButtonClick(); // made once, then closed and opened in turn
    LineMonitor* monitor = f->lineMonitorPage().monitor();
    monitor->close();
    QCoreApplication::processEvents();

    std::vector<double> closed, open;
    const int rounds = 10;
    for (int round = 0; round < 2 * rounds; ++round) {
        const bool shown = round % 2 == 1;
        if (shown)
            monitor->show();
        else
            monitor->close();
        QCoreApplication::processEvents();
        for (int i = 0; i < ticks / rounds; ++i) {
            QElapsedTimer t;
            t.start();
            f->Timer2Timer();
            (shown ? open : closed).push_back(t.nsecsElapsed() / 1e6);
            QCoreApplication::processEvents(); // the list's repaint, as between real ticks
        }
    }
    monitor->refresh();
    const int rows = monitor->model()->rowCount();
    std::printf("poll tick (two exchanges, 20 ms pause), %zu ticks each way:\n", closed.size());
    std::printf("  monitor closed: median %.3f ms, 90th percentile %.3f ms\n", median(closed),
                percentile(closed, 0.9));
    std::printf("  monitor open:   median %.3f ms, 90th percentile %.3f ms (%d rows listed)\n", median(open),
                percentile(open, 0.9), rows);
    std::printf("  difference of the medians: %+.3f ms\n", median(open) - median(closed));
    f->Rozlacz();

    // The finder against a line where nobody answers: every reply dropped.
    relay.stop();
    SimRelay silent;
    if (!silent.start({QStringLiteral("--no-reply"), QStringLiteral("1")})) {
        std::fprintf(stderr, "bench_linemonitor: no silent relay\n");
        return 1;
    }
    for (uint32_t baud : {19200u, 2400u}) {
        const double s = scanSeconds(silent.linkPath(), baud);
        std::printf("finding the relay, addresses 1-247 at %u bit/s 8N1 (time-out %u ms each, nobody "
                    "answers): %.1f s\n",
                    baud, linescan::timeoutMs({baud, ptNONE}, db8BITS, sb1BITS), s);
    }
    return 0;
}

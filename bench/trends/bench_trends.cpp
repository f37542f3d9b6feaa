// Time per recorder sample: TForm1::Wykres1 shifts the nine channels and
// redraws both traces, as the poll does after every good measurement read,
// on the offscreen platform. Prints the median over 1,000 samples (target:
// under 2 ms), the same with the chart painted after each sample, and the
// chart's paint alone.
#include "tests/appfixture.h"
#include "tests/controls.h"
#include "tests/form1setup.h"
#include "trends/recorderchart.h"
#include "trends/rules.h"

#include <algorithm>
#include <cstdio>
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <vector>

namespace {

struct Figures {
    double median, p90, max;
};

Figures figures(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back()};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppFixture program; // the windows as the program creates them, in a folder of their own
    program.start();
    TForm1* f = program.f1();
    f->show();
    f->SpeedButton23Click();
    QApplication::processEvents();

    // Both traces full of varied samples; each Wykres1 shifts them on.
    History varied{};
    for (int c = 0; c < recorder::kChannels; ++c)
        for (int i = 0; i < recorder::kSamples; ++i)
            varied[size_t(c)][size_t(i)] = (i * 37 + c * 101) % 600;
    Form1TestSetup::setLiveHistory(*f, varied);
    f->Wykres1();

    const int samples = 1000;
    std::vector<double> alone, painted, paintOnly;
    QElapsedTimer t;
    for (int n = 0; n < samples; ++n) {
        t.start();
        f->Wykres1();
        alone.push_back(t.nsecsElapsed() / 1e6);
    }
    for (int n = 0; n < samples; ++n) {
        t.start();
        f->Wykres1();
        QPixmap shot = control<RecorderChart>(f, "Chart2")->grab(); // lays out and paints the whole chart
        painted.push_back(t.nsecsElapsed() / 1e6);
    }
    for (int n = 0; n < samples; ++n) {
        t.start();
        QPixmap shot = control<RecorderChart>(f, "Chart2")->grab();
        paintOnly.push_back(t.nsecsElapsed() / 1e6);
    }
    const Figures a = figures(alone), b = figures(painted), d = figures(paintOnly);
    std::printf("recorder sample: shift 9 x 500 samples, redraw 2 x 500 points, offscreen\n");
    std::printf(
        "  Wykres1, %d samples:          median %.3f ms  p90 %.3f ms  max %.3f ms  (target < 2 ms: %s)\n",
        samples, a.median, a.p90, a.max, a.median < 2.0 ? "met" : "MISSED");
    std::printf("  Wykres1 + chart paint:         median %.3f ms  p90 %.3f ms  max %.3f ms\n", b.median,
                b.p90, b.max);
    std::printf("  chart paint alone:             median %.3f ms  p90 %.3f ms  max %.3f ms\n", d.median,
                d.p90, d.max);
    return a.median < 2.0 ? 0 : 1;
}

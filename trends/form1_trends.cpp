// The main window's recorder: the chart page, the per-sample feed from the
// poll, pausing, and saving and opening recordings. The work is done by the
// chart page's own code over the window's controls and histories.
#include "app/tform1.h"
#include "records/sampletimes.h"
#include "seams/seams.h"
#include "trends/recorderchart.h"
#include "trends/recorderpage.h"
#include "widgets/controls.h"

#include <QLabel>
#include <QToolButton>

namespace {

RecorderPage page(TForm1* f, TForm1::RecorderState& s) {
    RecorderControls c;
    c.chart = f->chartPage().Chart2;
    c.pause = f->chartPage().SpeedButton8;
    c.open = f->chartPage().SpeedButton13;
    c.save = f->chartPage().SpeedButton14;
    c.trace1 = f->chartPage().RadioGroup1;
    c.trace2 = f->chartPage().RadioGroup2;
    return RecorderPage(
        c, s.recorderHistory, s.fileHistory, [f](int n) { return f->hiddenLabel(n)->text(); }, f);
}

} // namespace

void TForm1::buildChartPage() {
    const RecorderControls c = buildRecorderControls(TabSheet5);
    chartPage().Chart2 = c.chart;
    chartPage().SpeedButton8 = c.pause;
    chartPage().SpeedButton13 = c.open;
    chartPage().SpeedButton14 = c.save;
    chartPage().RadioGroup1 = c.trace1;
    chartPage().RadioGroup2 = c.trace2;
    // clicked(), not toggled(): setting the button in code must not run the handler.
    connect(chartPage().SpeedButton8, &QToolButton::clicked, this, &TForm1::SpeedButton8Click);
    connect(chartPage().SpeedButton13, &QToolButton::clicked, this, &TForm1::SpeedButton13Click);
    connect(chartPage().SpeedButton14, &QToolButton::clicked, this, &TForm1::SpeedButton14Click);
    connect(chartPage().RadioGroup1, &RadioGroup::clicked, this, &TForm1::RadioGroup1Click);
    connect(chartPage().RadioGroup2, &RadioGroup::clicked, this, &TForm1::RadioGroup2Click);
}

void TForm1::Wykres1() {
    page(this, chartPage().recorder).takeSample(pollRegisters());
    if (chartPage().SampleTimes1) chartPage().SampleTimes1->taken(seams::now(), relayText());
}
void TForm1::Wykres11() {
    page(this, chartPage().recorder).redrawTrace(1);
}
void TForm1::Wykres12() {
    page(this, chartPage().recorder).redrawTrace(2);
}
void TForm1::Ods_wykres1() {
    page(this, chartPage().recorder).setupAxis(1);
}
void TForm1::Ods_wykres2() {
    page(this, chartPage().recorder).setupAxis(2);
}
void TForm1::Zer_wykres1() {
    page(this, chartPage().recorder).clearTrace(1);
    if (chartPage().SampleTimes1) chartPage().SampleTimes1->clear();
}
void TForm1::Zer_wykres2() {
    page(this, chartPage().recorder).clearTrace(2);
    if (chartPage().SampleTimes1) chartPage().SampleTimes1->clear();
}
void TForm1::SpeedButton8Click() {
    page(this, chartPage().recorder).pauseClicked();
}
void TForm1::SpeedButton13Click() {
    if (idle::deferred(this, "SpeedButton13", [this] { SpeedButton13Click(); })) return;
    page(this, chartPage().recorder).openRecording();
}
void TForm1::SpeedButton14Click() {
    if (idle::deferred(this, "SpeedButton14", [this] { SpeedButton14Click(); })) return;
    page(this, chartPage().recorder).saveRecording();
}
void TForm1::RadioGroup1Click() {
    Wykres11();
}
void TForm1::RadioGroup2Click() {
    Wykres12();
}

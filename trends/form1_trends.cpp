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
    c.chart = f->Chart2;
    c.pause = f->SpeedButton8;
    c.open = f->SpeedButton13;
    c.save = f->SpeedButton14;
    c.trace1 = f->RadioGroup1;
    c.trace2 = f->RadioGroup2;
    return RecorderPage(
        c, s.recorderHistory, s.fileHistory, [f](int n) { return f->hiddenLabel(n)->text(); }, f);
}

} // namespace

void TForm1::buildChartPage() {
    const RecorderControls c = buildRecorderControls(TabSheet5);
    Chart2 = c.chart;
    SpeedButton8 = c.pause;
    SpeedButton13 = c.open;
    SpeedButton14 = c.save;
    RadioGroup1 = c.trace1;
    RadioGroup2 = c.trace2;
    // clicked(), not toggled(): setting the button in code must not run the handler.
    connect(SpeedButton8, &QToolButton::clicked, this, &TForm1::SpeedButton8Click);
    connect(SpeedButton13, &QToolButton::clicked, this, &TForm1::SpeedButton13Click);
    connect(SpeedButton14, &QToolButton::clicked, this, &TForm1::SpeedButton14Click);
    connect(RadioGroup1, &RadioGroup::clicked, this, &TForm1::RadioGroup1Click);
    connect(RadioGroup2, &RadioGroup::clicked, this, &TForm1::RadioGroup2Click);
}

void TForm1::Wykres1() {
    page(this, recorder_).takeSample(pollRegisters());
    if (SampleTimes1) SampleTimes1->taken(seams::now(), relayText());
}
void TForm1::Wykres11() {
    page(this, recorder_).redrawTrace(1);
}
void TForm1::Wykres12() {
    page(this, recorder_).redrawTrace(2);
}
void TForm1::Ods_wykres1() {
    page(this, recorder_).setupAxis(1);
}
void TForm1::Ods_wykres2() {
    page(this, recorder_).setupAxis(2);
}
void TForm1::Zer_wykres1() {
    page(this, recorder_).clearTrace(1);
    if (SampleTimes1) SampleTimes1->clear();
}
void TForm1::Zer_wykres2() {
    page(this, recorder_).clearTrace(2);
    if (SampleTimes1) SampleTimes1->clear();
}
void TForm1::SpeedButton8Click() {
    page(this, recorder_).pauseClicked();
}
void TForm1::SpeedButton13Click() {
    if (idle::deferred(this, "SpeedButton13", [this] { SpeedButton13Click(); })) return;
    page(this, recorder_).openRecording();
}
void TForm1::SpeedButton14Click() {
    if (idle::deferred(this, "SpeedButton14", [this] { SpeedButton14Click(); })) return;
    page(this, recorder_).saveRecording();
}
void TForm1::RadioGroup1Click() {
    Wykres11();
}
void TForm1::RadioGroup2Click() {
    Wykres12();
}

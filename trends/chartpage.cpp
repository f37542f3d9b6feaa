// The chart page: the per-sample feed from the poll, pausing, and saving and
// opening recordings.
#include "trends/chartpage.h"

#include "app/tform1.h"
#include "records/sampletimes.h"
#include "seams/seams.h"
#include "trends/recorderchart.h"
#include "trends/recorderpage.h"
#include "wait/idle.h"
#include "widgets/controls.h"

#include <QLabel>
#include <QToolButton>

ChartPage::ChartPage(TForm1& window) : QObject(&window), w_(window) {
    setObjectName(QStringLiteral("ChartPage"));
    SampleTimes1 = new records::SampleTimes(this);
}

ChartPage::~ChartPage() = default;

void ChartPage::build(QWidget* page) {
    const RecorderControls c = buildRecorderControls(page);
    Chart2 = c.chart;
    SpeedButton8 = c.pause;
    SpeedButton13 = c.open;
    SpeedButton14 = c.save;
    RadioGroup1 = c.trace1;
    RadioGroup2 = c.trace2;
    page_ = std::make_unique<RecorderPage>(
        c, recorder.recorderHistory, recorder.fileHistory,
        [this](int n) { return w_.hiddenLabel(n)->text(); }, &w_);
    // clicked(), not toggled(): setting the button in code must not run the handler.
    connect(SpeedButton8, &QToolButton::clicked, this, &ChartPage::SpeedButton8Click);
    connect(SpeedButton13, &QToolButton::clicked, this, &ChartPage::SpeedButton13Click);
    connect(SpeedButton14, &QToolButton::clicked, this, &ChartPage::SpeedButton14Click);
    connect(RadioGroup1, &RadioGroup::clicked, this, &ChartPage::RadioGroup1Click);
    connect(RadioGroup2, &RadioGroup::clicked, this, &ChartPage::RadioGroup2Click);
}

bool ChartPage::recording() const {
    return SpeedButton8 && SpeedButton8->isChecked();
}

QAbstractButton* ChartPage::openButton() const {
    return SpeedButton13;
}

QAbstractButton* ChartPage::saveButton() const {
    return SpeedButton14;
}

void ChartPage::Wykres1() {
    page_->takeSample(w_.dataPage().state().registers);
    SampleTimes1->taken(seams::now(), w_.relayText());
}
void ChartPage::Wykres11() {
    page_->redrawTrace(1);
}
void ChartPage::Wykres12() {
    page_->redrawTrace(2);
}
void ChartPage::Ods_wykres1() {
    page_->setupAxis(1);
}
void ChartPage::Ods_wykres2() {
    page_->setupAxis(2);
}
void ChartPage::Zer_wykres1() {
    page_->clearTrace(1);
    SampleTimes1->clear();
}
void ChartPage::Zer_wykres2() {
    page_->clearTrace(2);
    SampleTimes1->clear();
}
void ChartPage::SpeedButton8Click() {
    page_->pauseClicked();
}
void ChartPage::SpeedButton13Click() {
    if (idle::deferred(&w_, "SpeedButton13", [this] { SpeedButton13Click(); })) return;
    page_->openRecording();
}
void ChartPage::SpeedButton14Click() {
    if (idle::deferred(&w_, "SpeedButton14", [this] { SpeedButton14Click(); })) return;
    page_->saveRecording();
}
void ChartPage::RadioGroup1Click() {
    Wykres11();
}
void ChartPage::RadioGroup2Click() {
    Wykres12();
}

// The window's recorder methods by their own names.
void TForm1::Wykres1() {
    chartPage().Wykres1();
}
void TForm1::Wykres11() {
    chartPage().Wykres11();
}
void TForm1::Wykres12() {
    chartPage().Wykres12();
}
void TForm1::Ods_wykres1() {
    chartPage().Ods_wykres1();
}
void TForm1::Ods_wykres2() {
    chartPage().Ods_wykres2();
}
void TForm1::Zer_wykres1() {
    chartPage().Zer_wykres1();
}
void TForm1::Zer_wykres2() {
    chartPage().Zer_wykres2();
}
void TForm1::SpeedButton8Click() {
    chartPage().SpeedButton8Click();
}
void TForm1::SpeedButton13Click() {
    chartPage().SpeedButton13Click();
}
void TForm1::SpeedButton14Click() {
    chartPage().SpeedButton14Click();
}
void TForm1::RadioGroup1Click() {
    chartPage().RadioGroup1Click();
}
void TForm1::RadioGroup2Click() {
    chartPage().RadioGroup2Click();
}

#pragma once
// The chart page: the recorder's two traces, its buttons and selectors, the
// live and the file history and when each live sample was taken. The main
// window's recorder methods come here; the work is done by the page's
// controls' own code (trends/recorderpage.h).
#include <array>
#include <memory>
#include <QObject>
#include <QtGlobal>

class QAbstractButton;
class QToolButton;
class QWidget;
class RadioGroup;
class RecorderChart;
class RecorderPage;
class TForm1;
namespace records {
class SampleTimes;
}

// Nine channels of 500 samples each, channel c (1..9) at index c - 1.
using History = std::array<std::array<qint32, 500>, 9>;

class ChartPage : public QObject {
    Q_OBJECT
public:
    explicit ChartPage(TForm1& window);
    ~ChartPage() override;

    struct RecorderState {
        History recorderHistory{};
        History fileHistory{};
    };

    // Creates the page's controls on page (the window's TabSheet5).
    void build(QWidget* page);

    RecorderChart& chart() const { return *Chart2; }
    const RecorderState& state() const { return recorder; }
    records::SampleTimes& sampleTimes() const { return *SampleTimes1; }
    // The pause button is down: the poll's samples go into the live history.
    bool recording() const;
    // The buttons that open and save a recording (their keyboard shortcuts).
    QAbstractButton* openButton() const;
    QAbstractButton* saveButton() const;

    void Wykres1();
    void Wykres11();
    void Wykres12();
    void Ods_wykres1();
    void Ods_wykres2();
    void Zer_wykres1();
    void Zer_wykres2();
    void SpeedButton8Click();
    void SpeedButton13Click(); // open recording
    void SpeedButton14Click(); // save recording
    void RadioGroup1Click();
    void RadioGroup2Click();

private:
    // A test puts a live history in place as 500 polls would have left it (tests/form1setup.h).
    friend struct Form1TestSetup;
    TForm1& w_;
    RecorderState recorder;
    std::unique_ptr<RecorderPage> page_;          // the controls' code over the histories above
    records::SampleTimes* SampleTimes1 = nullptr; // when each live recorder sample was taken

    RecorderChart* Chart2 = nullptr;
    QToolButton *SpeedButton8 = nullptr, *SpeedButton13 = nullptr, *SpeedButton14 = nullptr;
    RadioGroup *RadioGroup1 = nullptr, *RadioGroup2 = nullptr;
};

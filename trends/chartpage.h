#pragma once
// The chart page: the recorder's two traces, its buttons and selectors, the
// live and the file history and when each live sample was taken.
#include <array>
#include <QObject>
#include <QtGlobal>

class QToolButton;
class RadioGroup;
class RecorderChart;
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

    struct RecorderState {
        History recorderHistory{};
        History fileHistory{};
    };
    RecorderState recorder;
    records::SampleTimes* SampleTimes1 = nullptr; // when each live recorder sample was taken

    RecorderChart* Chart2 = nullptr;
    QToolButton *SpeedButton8 = nullptr, *SpeedButton13 = nullptr, *SpeedButton14 = nullptr;
    RadioGroup *RadioGroup1 = nullptr, *RadioGroup2 = nullptr;

    RecorderChart& chart() const { return *Chart2; }
    records::SampleTimes& sampleTimes() const { return *SampleTimes1; }

private:
    TForm1& w_;
};

#pragma once
// The chart page: its controls and what its buttons and selectors do. The
// main window's recorder methods forward here; tests and the benchmark drive
// the same code over a page of their own.
#include "trends/rules.h"

#include <functional>
#include <QString>

class ChartAxis;
class ChartTrace;
class QToolButton;
class QWidget;
class RadioGroup;
class RecorderChart;

struct RecorderControls {
    RecorderChart* chart = nullptr; // Chart2
    QToolButton* pause = nullptr;   // SpeedButton8: down = recording
    QToolButton* open = nullptr;    // SpeedButton13
    QToolButton* save = nullptr;    // SpeedButton14
    RadioGroup* trace1 = nullptr;   // RadioGroup1: red trace, left axis
    RadioGroup* trace2 = nullptr;   // RadioGroup2: blue trace, right axis
};

// Creates the chart page's controls on page, as the window starts: the chart
// left of a 69-pixel panel with the pause, open and save buttons and the two
// selectors ("Ir" and "Ur" chosen). Nothing is connected.
RecorderControls buildRecorderControls(QWidget* page);

class RecorderPage {
public:
    // labelText(n) reads the hidden language label n; window parents the dialogs.
    RecorderPage(const RecorderControls& controls, recorder::History& live, recorder::History& file,
                 std::function<QString(int)> labelText, QWidget* window);

    // One sample of every channel from the poll's registers 1..12, then both
    // traces redrawn from the live history; the axes are left alone.
    void takeSample(const std::array<int, 12>& regs);
    // Axis title and maximum of trace 1 or 2 by its selector's item.
    void setupAxis(int trace);
    // The axis, then the trace from the source the title chooses.
    void redrawTrace(int trace);
    // Empties trace 1 or 2 and zeroes the whole live history.
    void clearTrace(int trace);
    // The pause button has changed state: down resumes live recording.
    void pauseClicked();
    void openRecording();
    void saveRecording();

private:
    struct Trace {
        RadioGroup* group;
        ChartTrace* series;
        ChartAxis* axis;
    };
    Trace trace(int n) const;
    static void draw(ChartTrace* series, const recorder::Channel* samples);
    void setPauseDown(bool down);

    RecorderControls c_;
    recorder::History& live_;
    recorder::History& file_;
    std::function<QString(int)> labelText_;
    QWidget* window_;
};

#pragma once
// A poll log on the recorder's chart, in a window of its own: two selectors
// choose the columns for the red and the blue trace; the cursor, the zoom and
// the time axis work as on the chart page.
#include "trends/polllogrows.h"

#include <QWidget>

class QComboBox;
class QLabel;
class RecorderChart;

class PollLogWindow : public QWidget {
    Q_OBJECT
public:
    explicit PollLogWindow(QWidget* parent = nullptr);

    // Reads the log; on failure *error says why and the window is left as it was.
    bool openFile(const QString& path, QString* error);

    RecorderChart* chart() const { return chart_; }
    QComboBox* columnSelector(int trace) const { return trace == 1 ? red_ : blue_; }
    QString statusText() const;
    const recorder::polllog::Log& log() const { return log_; }

private:
    void showColumn(int trace);
    void fillSelectors();

    RecorderChart* chart_;
    QComboBox* red_;
    QComboBox* blue_;
    QLabel* status_;
    recorder::polllog::Log log_;
    QString path_;
};

// Asks for a poll log and shows it in a new window; a failure is said in an error box.
void openPollLogWindow(QWidget* parent);

#pragma once
// The communication monitor: a window of its own beside the main window,
// listing every register exchange of the poll and the transfers as it goes
// over the line, with counters since connecting; and finding the relay on
// the line while disconnected. It never touches the program's line: the
// rows come from the register bus's observer, set only while the window is
// shown, and the relay finder opens a port of its own.
#include "linemonitor/exchangelog.h"
#include "linemonitor/scanner.h"

#include <functional>
#include <QWidget>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;
class TForm2;

// What the monitor needs of the main window.
struct LineMonitorLinks {
    // Sets (or with an empty function removes) the program's bus observer.
    std::function<void(BusObserver)> setObserver;
    // The program's port is open (connected).
    std::function<bool()> programConnected;
    // The connect button: a click that connects resets the counters; it is
    // disabled while a scan runs (the scan holds the port).
    QAbstractButton* connectButton = nullptr;
    // The settings dialog: the scan's line, and where a found relay goes.
    TForm2* settings = nullptr;
    // What the port really is when it is a network target ("Modbus TCP
    // 10.0.0.5:502"), shown in the title; empty (or none) for a serial device.
    std::function<QString()> portTarget;
};

class LineMonitor : public QWidget {
    Q_OBJECT
public:
    explicit LineMonitor(const LineMonitorLinks& links, QWidget* parent = nullptr);
    ~LineMonitor() override;

    const linemonitor::Counters& counters() const { return counters_; }
    linemonitor::ExchangeModel* model() const { return model_; }
    bool scanning() const { return scanning_; }
    const QList<linescan::Found>& found() const { return found_; }

    QTableView* ExchangeView = nullptr;
    QLabel *RequestsCount = nullptr, *GoodCount = nullptr, *NoReplyCount = nullptr,
           *ShortReplyCount = nullptr, *BadCrcCount = nullptr, *OtherReplyCount = nullptr,
           *OtherFailureCount = nullptr, *FailureRate = nullptr;
    QPushButton *PauseButton = nullptr, *ClearButton = nullptr, *SaveButton = nullptr;
    QPushButton *FindButton = nullptr, *StopButton = nullptr, *UseButton = nullptr;
    QCheckBox* AllSpeedsBox = nullptr;
    QProgressBar* ScanProgress = nullptr;
    QLabel* ScanStatus = nullptr;
    QListWidget* FoundList = nullptr;

    // The button handlers.
    void PauseButtonClick();
    void ClearButtonClick();
    void SaveButtonClick();
    void FindButtonClick();
    void StopButtonClick();
    void UseButtonClick();

    // One exchange of the program's bus: counted and kept; the list and
    // the counters on the window follow at the next refresh.
    void record(const BusExchange& exchange);
    // Shows what was recorded since the last refresh.
    void refresh();
    // The counters start again (connecting, Clear).
    void resetCounters();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void retranslate();
    void showTitle();
    void showCounters();
    void updateScanButtons();
    QString foundText(const linescan::Found& f) const;

    LineMonitorLinks links_;
    linemonitor::ExchangeModel* model_ = nullptr;
    linemonitor::Counters counters_;
    QLabel* countCaptions_[8] = {};
    bool paused_ = false;
    bool followNewest_ = true;
    bool scanning_ = false;
    bool stopRequested_ = false;
    QList<linescan::Found> found_;
    QList<linemonitor::Row> pending_; // recorded, not yet in the list
    QTimer* refreshTimer_ = nullptr;
};

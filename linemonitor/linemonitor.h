#pragma once
// The communication monitor: a window of its own beside the main window,
// listing every register exchange of the poll and the transfers as it goes
// over the line, with counters since connecting; and finding the relay on
// the line while disconnected. It never touches the program's line: the
// rows and counters come from the exchange record, which the register bus's
// observer feeds from the program's start whether the window is open or
// not, and the relay finder opens a port of its own (its exchanges go into
// the record too).
#include "linemonitor/exchangelog.h"
#include "linemonitor/exchangerecord.h"
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
    // What the window shows (the main window's, fed by its bus); none: one of its own.
    linemonitor::ExchangeRecord* record = nullptr;
    // The program's port is open (connected).
    std::function<bool()> programConnected;
    // The connect button: disabled while a scan runs (the scan holds the port).
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

    const linemonitor::Counters& counters() const { return record_->counters(); }
    linemonitor::ExchangeModel* model() const { return record_->model(); }
    linemonitor::ExchangeRecord* exchangeRecord() const { return record_; }
    // The last scan's failures by outcome.
    const linemonitor::Counters& scanCounters() const { return scanCounters_; }
    bool scanning() const { return scanning_; }
    const QList<linescan::Found>& found() const { return found_; }

    QTableView* ExchangeView = nullptr;
    QLabel *RequestsCount = nullptr, *GoodCount = nullptr, *NoReplyCount = nullptr,
           *ShortReplyCount = nullptr, *BadCrcCount = nullptr, *OtherReplyCount = nullptr,
           *EarlyReplyCount = nullptr, *ExceptionCount = nullptr, *OtherFailureCount = nullptr,
           *FailureRate = nullptr;
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
    void record(const BusExchange& exchange) { record_->record(exchange); }
    // Shows what was recorded since the last refresh.
    void refresh() { record_->refresh(); }
    // The counters start again (connecting).
    void resetCounters() { record_->resetCounters(); }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void retranslate();
    void showTitle();
    void showCounters();
    void updateScanButtons();
    QString foundText(const linescan::Found& f) const;

    static constexpr int kCounts = 10;

    LineMonitorLinks links_;
    linemonitor::ExchangeRecord* record_ = nullptr;
    linemonitor::Counters scanCounters_;
    QLabel* countCaptions_[kCounts] = {};
    bool followNewest_ = true;
    bool scanning_ = false;
    bool stopRequested_ = false;
    QList<linescan::Found> found_;
};

#pragma once
// The communication monitor: its button at the right end of the toolbar's
// free area, its window and the record of the exchanges it shows.
#include <QObject>

class LineMonitor;
class QToolButton;
class TForm1;
namespace core {
class Link;
}
namespace linemonitor {
class ExchangeRecord;
}

class LineMonitorPage : public QObject {
    Q_OBJECT
public:
    LineMonitorPage(TForm1& window, core::Link& link);

    // The record of the exchanges, kept from here, and the button.
    void build();
    // Opens the monitor's window (made on first use).
    void LineMonitorButtonClick();

    linemonitor::ExchangeRecord& record() const { return *LineRecord1; }
    LineMonitor* monitor() const { return LineMonitor1; } // none until first opened

private:
    TForm1& w_;
    core::Link& link_;
    QToolButton* LineMonitorButton = nullptr;
    LineMonitor* LineMonitor1 = nullptr;                // made on first use
    linemonitor::ExchangeRecord* LineRecord1 = nullptr; // what it shows, kept from the start
};

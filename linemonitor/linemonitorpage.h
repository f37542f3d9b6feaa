#pragma once
// The communication monitor: its button at the right end of the toolbar's
// free area, its window and the record of the exchanges it shows.
#include <QObject>

class LineMonitor;
class QToolButton;
class TForm1;
namespace linemonitor {
class ExchangeRecord;
}

class LineMonitorPage : public QObject {
    Q_OBJECT
public:
    explicit LineMonitorPage(TForm1& window);

    QToolButton* LineMonitorButton = nullptr;
    LineMonitor* LineMonitor1 = nullptr;                // made on first use
    linemonitor::ExchangeRecord* LineRecord1 = nullptr; // what it shows, kept from the start

private:
    TForm1& w_;
};

#pragma once
// What the communication monitor shows, kept whether its window is open or
// not: every exchange of the program's line since connecting is counted and
// kept (the last ExchangeModel::kMaxRows rows), and so are the relay
// finder's. The list is brought up to date a few times a second, not within
// the exchange; paused, it stands still while the rows are still kept.
#include "linemonitor/exchangelog.h"

#include <QList>
#include <QObject>

class QTimer;

namespace linemonitor {

class ExchangeRecord : public QObject {
    Q_OBJECT
public:
    explicit ExchangeRecord(QObject* parent = nullptr, int capacity = ExchangeModel::kMaxRows);

    // One exchange: counted at once, listed at the next refresh.
    void record(const BusExchange& exchange);
    // Lists what was recorded since the last refresh (unless paused).
    void refresh();
    // Paused, the list stands still; the rows that come meanwhile are held
    // back (the last kMaxRows of them) and listed when it goes on.
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    // The counters start again (connecting).
    void resetCounters();
    // Rows and counters start again (Clear).
    void clear();

    const Counters& counters() const { return counters_; }
    ExchangeModel* model() const { return model_; }
    // Every row kept: the list, then those held back by a pause, as the list will hold them.
    QList<Row> rows() const;

signals:
    // After a refresh or a reset: the counters and the list may have changed.
    void refreshed();

private:
    ExchangeModel* model_ = nullptr;
    Counters counters_;
    QList<Row> pending_; // recorded, not yet listed
    bool paused_ = false;
    QTimer* refreshTimer_ = nullptr;
};

} // namespace linemonitor

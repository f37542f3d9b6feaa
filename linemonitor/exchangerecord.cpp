#include "linemonitor/exchangerecord.h"

#include <QTimer>
#include <utility>

namespace linemonitor {

namespace {
constexpr int kRefreshMs = 100;
}

ExchangeRecord::ExchangeRecord(QObject* parent, int capacity)
    : QObject(parent), model_(new ExchangeModel(this, capacity)) {
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setSingleShot(true);
    refreshTimer_->setInterval(kRefreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, &ExchangeRecord::refresh);
}

void ExchangeRecord::record(const BusExchange& exchange) {
    Row row = rowOf(exchange);
    counters_.add(row.outcome);
    pending_ << std::move(row);
    // A long pause holds back no more than the list keeps.
    const int capacity = model_->rowCountCapacity();
    if (pending_.size() > capacity) pending_.remove(0, pending_.size() - capacity);
    if (!refreshTimer_->isActive()) refreshTimer_->start();
}

void ExchangeRecord::refresh() {
    refreshTimer_->stop();
    if (!paused_ && !pending_.isEmpty()) model_->append(std::exchange(pending_, {}));
    emit refreshed();
}

void ExchangeRecord::setPaused(bool paused) {
    if (paused) refresh(); // what came before is listed
    paused_ = paused;
    if (!paused) refresh();
}

void ExchangeRecord::resetCounters() {
    counters_ = Counters();
    emit refreshed();
}

void ExchangeRecord::clear() {
    pending_.clear();
    model_->clear();
    resetCounters();
}

QList<Row> ExchangeRecord::rows() const {
    QList<Row> all = model_->rows() + pending_;
    const int capacity = model_->rowCountCapacity();
    if (all.size() > capacity) all.remove(0, all.size() - capacity);
    return all;
}

} // namespace linemonitor

#include "records/polllog.h"

#include "records/csv.h"

#include <QLocale>
#include <utility>

namespace records {

PollLog::PollLog(QObject* parent) : QObject(parent) {
    timer_.setInterval(kFlushMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        QString error;
        if (!pending_.isEmpty() && !flush(&error)) fail(error);
    });
}

PollLog::~PollLog() {
    QString error;
    stop(&error);
}

bool PollLog::start(const QString& path, QString* error) {
    rows_ = 0;
    pending_.clear();
    if (!file_.open(path, error)) return false;
    if (!file_.write(kUtf8Bom + csvLine(logHeader()), error)) return false;
    sinceWrite_.start();
    timer_.start();
    return true;
}

bool PollLog::addRow(const QDateTime& time, const Measurements& regs, int lostReads,
                     const LogContext& context, QString* error) {
    if (!file_.isOpen()) return false;
    pending_ += csvLine(logFields(time, regs, lostReads, context));
    ++rows_;
    if (sinceWrite_.elapsed() < kFlushMs) return true;
    return flush(error);
}

bool PollLog::flush(QString* error) {
    sinceWrite_.start();
    const QByteArray rows = std::exchange(pending_, QByteArray());
    if (rows.isEmpty()) return true;
    if (file_.write(rows, error)) return true;
    timer_.stop();
    return false;
}

bool PollLog::stop(QString* error) {
    if (!file_.isOpen()) return true;
    const bool ok = flush(error);
    timer_.stop();
    file_.close();
    return ok;
}

void PollLog::fail(const QString& error) {
    timer_.stop();
    if (failed) failed(error);
}

QString sizeText(qint64 bytes) {
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

} // namespace records

#include "records/polllog.h"

#include "records/csv.h"

#include <QCoreApplication>
#include <QFileInfo>
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

bool PollLog::start(const QString& path, const LogOptions& options, QString* error) {
    stop(error);
    rows_ = 0;
    pending_.clear();
    options_ = options;
    firstPath_ = path;
    firstDate_ = fileDate_ = options.started.date();
    carriedLost_ = 0;
    lastFaultWord_ = -1;
    if (!file_.open(path, error)) return false;
    if (!file_.write(kUtf8Bom + csvLine(logHeader()), error)) return false;
    sinceWrite_.start();
    timer_.start();
    return true;
}

bool PollLog::put(const QStringList& fields, const QDateTime& time, QString* error) {
    if (!file_.isOpen()) return false;
    if (!fileDate_.isValid()) firstDate_ = fileDate_ = time.date();
    if (splitDue(options_.split, fileDate_, time.date(), size()) && !splitTo(time, error)) return false;
    pending_ += csvLine(fields);
    if (sinceWrite_.elapsed() < kFlushMs) return true;
    return flush(error);
}

bool PollLog::splitTo(const QDateTime& time, QString* error) {
    const QString next = nextLogPath(firstPath_, firstDate_, time.date(), files::entryExists);
    const QString previous = file_.path();
    pending_ += csvLine(eventFields(time, LogEvent::Continued, QFileInfo(next).fileName()));
    if (!flush(error)) return false;
    file_.close();
    fileDate_ = time.date();
    if (!file_.open(next, error) ||
        !file_.write(kUtf8Bom + csvLine(logHeader()) +
                         csvLine(eventFields(time, LogEvent::Continued, QFileInfo(previous).fileName())),
                     error)) {
        timer_.stop();
        file_.close();
        return false;
    }
    if (continued) continued(next);
    return true;
}

bool PollLog::addRow(const QDateTime& time, const Measurements& regs, int lostReads,
                     const LogContext& context, QString* error) {
    if (!file_.isOpen()) return false;
    const int word = regs[size_t(relay::kFaultWordRegister - 1)];
    if (lastFaultWord_ >= 0) {
        const QString added = newFaults(lastFaultWord_, word, context.faultNames);
        if (!added.isEmpty() && !put(eventFields(time, LogEvent::Trip, added), time, error)) return false;
    }
    lastFaultWord_ = word;
    LogContext c = context;
    c.decimalSeparator = options_.decimalSeparator;
    if (!put(logFields(time, regs, lostReads + carriedLost_, c), time, error)) return false;
    carriedLost_ = 0;
    ++rows_;
    return true;
}

bool PollLog::addEvent(const QDateTime& time, LogEvent event, const QString& details, QString* error) {
    return put(eventFields(time, event, details), time, error);
}

bool PollLog::addDisconnect(const QDateTime& time, const QString& reason, int lostReads, QString* error) {
    if (!file_.isOpen()) return false;
    carriedLost_ += lostReads;
    QString details = reason;
    if (lostReads > 0)
        details += (details.isEmpty() ? QString() : QStringLiteral(", ")) +
                   QCoreApplication::translate("records", "lost reads: %1").arg(lostReads);
    return put(eventFields(time, LogEvent::Disconnected, details), time, error);
}

bool PollLog::addLanguageChange(const QDateTime& time, const QString& language, QString* error) {
    if (!put(eventFields(time, LogEvent::Language, language), time, error)) return false;
    // From here the fault names are in the new language, and so are the titles.
    pending_ += csvLine(logHeader());
    return true;
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

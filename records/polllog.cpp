#include "records/polllog.h"

#include "records/csv.h"

#include <QLocale>

namespace records {

bool PollLog::start(const QString& path, QString* error) {
    rows_ = 0;
    if (!file_.open(path, error)) return false;
    return file_.write(kUtf8Bom + csvLine(logHeader()), error);
}

bool PollLog::addRow(const QDateTime& time, const Measurements& regs, int lostReads, const LogContext& context,
                     QString* error) {
    if (!file_.write(csvLine(logFields(time, regs, lostReads, context)), error)) return false;
    ++rows_;
    return true;
}

QString sizeText(qint64 bytes) { return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat); }

} // namespace records

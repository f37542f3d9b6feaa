#pragma once
// The poll log: a CSV file that gets one row per good measurement read for
// as long as logging is on. Each row goes to the disk as it is made, so a
// crash loses at most the row being written; a row that cannot be written
// (a full disk, a size limit) ends the logging, never the poll.
#include "files/files.h"
#include "records/pollrules.h"

#include <QObject>

namespace records {

class PollLog : public QObject {
public:
    explicit PollLog(QObject* parent = nullptr) : QObject(parent) {}

    // Creates the file and writes the header row.
    bool start(const QString& path, QString* error);
    // Writes one row; on failure the log is closed (isOn() false) and *error says why.
    bool addRow(const QDateTime& time, const Measurements& regs, int lostReads, const LogContext& context,
                QString* error);
    void stop() { file_.close(); }
    bool isOn() const { return file_.isOpen(); }
    qint64 size() const { return file_.size(); }
    QString path() const { return file_.path(); }
    qint64 rows() const { return rows_; }

private:
    files::AppendFile file_;
    qint64 rows_ = 0;
};

// The file size as the logging button shows it ("12,3 kB"), in the locale's form.
QString sizeText(qint64 bytes);

} // namespace records

#pragma once
// The poll log: a CSV file that gets one row per good measurement read for
// as long as logging is on. The rows go to the disk at least once a second
// (with the next row once a second has passed, else by a timer), so a crash
// loses at most a second; rows that cannot be written (a full disk, a size
// limit) end the logging, never the poll.
#include "files/files.h"
#include "records/pollrules.h"

#include <functional>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace records {

class PollLog : public QObject {
public:
    static constexpr int kFlushMs = 1000;

    explicit PollLog(QObject* parent = nullptr);
    // Writes what is left (the program closing with logging on).
    ~PollLog() override;
    // Called when the timer's write fails; the log is off by then.
    std::function<void(const QString& error)> failed;

    // Creates the file and writes the header row.
    bool start(const QString& path, QString* error);
    // Adds one row, written with the rows before it once a second has passed
    // since the last write; on a failed write the log is closed (isOn()
    // false) and *error says why.
    bool addRow(const QDateTime& time, const Measurements& regs, int lostReads, const LogContext& context,
                QString* error);
    // Writes the rows not yet written.
    bool flush(QString* error);
    // Writes what is left and closes the file; a failure is said in *error.
    bool stop(QString* error);
    bool isOn() const { return file_.isOpen(); }
    // The file's size with the rows not yet written.
    qint64 size() const { return file_.size() + pending_.size(); }
    QString path() const { return file_.path(); }
    qint64 rows() const { return rows_; }

private:
    void fail(const QString& error);

    files::AppendFile file_;
    QByteArray pending_;
    QElapsedTimer sinceWrite_;
    QTimer timer_;
    qint64 rows_ = 0;
};

// The file size as the logging button shows it ("12,3 kB"), in the locale's form.
QString sizeText(qint64 bytes);

} // namespace records

#pragma once
// The poll log: a CSV file that gets one row per good measurement read for
// as long as logging is on, and a row of its own for what happens meanwhile
// (a connect, a disconnect and why, a trip, a reset, a write, a change of
// language). The rows go to the disk at least once a second (with the next
// row once a second has passed, else by a timer), so a crash loses at most a
// second; rows that cannot be written (a full disk, a size limit) end the
// logging, never the poll. Asked to, the log goes on in a new file each day
// or at a size.
#include "files/files.h"
#include "records/pollrules.h"

#include <functional>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace records {

// What is chosen with the file.
struct LogOptions {
    QChar decimalSeparator = QLatin1Char(','); // for every decimal number in the file
    LogSplit split;
    QDateTime started; // names the first file's date for a daily split; invalid: the first row's
};

class PollLog : public QObject {
public:
    static constexpr int kFlushMs = 1000;

    explicit PollLog(QObject* parent = nullptr);
    // Writes what is left (the program closing with logging on).
    ~PollLog() override;
    // Called when the timer's write fails; the log is off by then.
    std::function<void(const QString& error)> failed;
    // Called when the log goes on in a new file (the new path).
    std::function<void(const QString& path)> continued;

    // Creates the file and writes the header row.
    bool start(const QString& path, QString* error) { return start(path, LogOptions{}, error); }
    bool start(const QString& path, const LogOptions& options, QString* error);
    // Adds one row, written with the rows before it once a second has passed
    // since the last write; on a failed write the log is closed (isOn()
    // false) and *error says why. lostReads: the reads lost since the last
    // read of this connection; those lost before a disconnect are added.
    // A fault bit that was not set in the row before is a trip row first.
    bool addRow(const QDateTime& time, const Measurements& regs, int lostReads, const LogContext& context,
                QString* error);
    // Something that happened, as a row of its own.
    bool addEvent(const QDateTime& time, LogEvent event, const QString& details, QString* error);
    // The link went down: why, and the reads lost since the last row, which
    // the next row counts.
    bool addDisconnect(const QDateTime& time, const QString& reason, int lostReads, QString* error);
    // The language changed: a row saying so, then the header in the new language.
    bool addLanguageChange(const QDateTime& time, const QString& language, QString* error);
    // Writes the rows not yet written.
    bool flush(QString* error);
    // Writes what is left and closes the file; a failure is said in *error.
    bool stop(QString* error);
    bool isOn() const { return file_.isOpen(); }
    // The file's size with the rows not yet written.
    qint64 size() const { return file_.size() + pending_.size(); }
    QString path() const { return file_.path(); }
    qint64 rows() const { return rows_; }
    const LogOptions& options() const { return options_; }

private:
    void fail(const QString& error);
    bool put(const QStringList& fields, const QDateTime& time, QString* error);
    bool splitTo(const QDateTime& time, QString* error);

    files::AppendFile file_;
    QByteArray pending_;
    QElapsedTimer sinceWrite_;
    QTimer timer_;
    qint64 rows_ = 0;
    LogOptions options_;
    QString firstPath_;
    QDate firstDate_, fileDate_;
    int carriedLost_ = 0;
    int lastFaultWord_ = -1; // -1: no row yet
};

// The file size as the logging button shows it ("12,3 kB"), in the locale's form.
QString sizeText(qint64 bytes);

} // namespace records

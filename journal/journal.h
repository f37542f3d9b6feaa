#pragma once
// The service journal: every change made to a relay (a setpoint write, a
// clock setting, a fault reset), from the window or from vrk-cli, kept for
// good in the working folder's journal.csv, one row per register written.
// Rows are only ever added at the end; each append goes to the disk at once
// and a failed one is said, never passed over.
//
// The file: UTF-8 with a byte-order mark, fields separated by semicolons,
// lines ended by CR LF, a header of fixed column names (the same in every
// language, so one file holds the rows of any number of runs and languages).
#include <optional>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace core {
struct Identity;
struct WriteResult;
struct ClockResult;
struct ResetResult;
} // namespace core

namespace journal {

// What a row says of its register; written as these words in every language.
namespace state {
inline const QString confirmed = QStringLiteral("confirmed");
inline const QString notConfirmed = QStringLiteral("not confirmed");
inline const QString notSent = QStringLiteral("not sent");
inline const QString refused = QStringLiteral("refused");
} // namespace state

struct Row {
    QDateTime time;             // when it was sent, local time with its offset
    QString source;             // "vrk" or "vrk-cli"
    QString action;             // "write", "clock", "reset"
    QString port;               // as the settings name it
    int address = 0;            // the relay's bus address
    std::optional<int> variant; // register 23 as read; none when not known
    QString parameter;          // the setpoint's name, "clock" or "fault reset"
    QString before;             // the value before, as read; empty when not known
    QString sent;               // the value sent
    QString state;              // one of state::*
    int reg = 0;                // the register written; 0 when none
    QString readBack;           // the value read back after the write; empty when none
    QString note;               // why a row is not confirmed, in the user's language when written
    bool operator==(const Row&) const = default;
};

// The file's columns, in order.
QStringList columns();
// One row as the file's fields, and back; nullopt when the fields are not a row.
QStringList fields(const Row& row);
std::optional<Row> rowFrom(const QStringList& fields);
// The time as written: ISO 8601 with milliseconds and the UTC offset
// ("2026-10-25T02:30:00.000+01:00").
QString timeText(const QDateTime& time);

// A row of a change made to the relay `id` (who made it, what), with no
// parameter yet: for a change no operation of the core describes (a service
// register write).
Row rowOf(const core::Identity& id, const QString& source, const QString& action,
          const QDateTime& time = QDateTime::currentDateTime());

// The rows of a setpoint write, one per register, with its state; a refusal
// before anything was sent gives one row per register meant, each "refused".
// time: when the rows are made, the moment the operation returned.
QList<Row> rowsFor(const core::WriteResult& result, const QString& source,
                   const QDateTime& time = QDateTime::currentDateTime());
// The rows of a clock setting: month.day and hour:minute, each with its state.
QList<Row> rowsFor(const core::ClockResult& result, const QString& source,
                   const QDateTime& time = QDateTime::currentDateTime());
// The row of a fault reset (none when nothing was tried).
QList<Row> rowsFor(const core::ResetResult& result, const QString& source,
                   const QDateTime& time = QDateTime::currentDateTime());

// Adds the rows at the end of the journal at path (making it, with its
// header, when missing). True only once they are on the disk; else *error
// says what failed and why, in the user's language.
bool append(const QString& path, const QList<Row>& rows, QString* error);

// The journal of the working folder: journal.csv.
QString defaultPath();

// The journal read back: its rows in file order; a line that is not a row
// (cut short by a crash, edited by hand) is counted, never taken.
struct Contents {
    QList<Row> rows;
    qint64 badLines = 0;
    qint64 firstBadLine = 0; // 1-based; 0: none
};
// False with *error when the file cannot be read; a missing file is an empty journal.
bool read(const QString& path, Contents* contents, QString* error);

// The rows of one bus address (all rows for nullopt), in file order.
QList<Row> filtered(const QList<Row>& rows, std::optional<int> address);
// A file of these rows in the journal's own format (an export).
QByteArray fileOf(const QList<Row>& rows);

} // namespace journal

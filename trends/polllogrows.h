#pragma once
// Reading back the poll log the program writes (semicolon-separated, UTF-8
// with a byte-order mark, CR LF): its header, its measurement rows, event
// rows (a time and a message) and rows that are none of these. The file is
// read a line at a time, so a log of any length can be shown as a chart.
#include <functional>
#include <optional>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

namespace recorder::polllog {

// The columns of a measurement row: the time, 21 fields after it.
constexpr int kColumns = 22;

enum class RowKind { Header, Sample, Event, Bad };

struct Row {
    RowKind kind = RowKind::Bad;
    QDateTime time;            // Sample and Event
    QList<double> values;      // Sample: columns 1..21, NaN where empty or not a number
    QString text;              // Header: the first title; Event: the message
    std::optional<int> offset; // the time's offset from UTC in seconds, when the log wrote one
};

// Splits one line (its end already removed) at the semicolons; a quoted field
// keeps its semicolons, and a doubled quote inside it is one quote.
QStringList splitLine(const QString& line);
// What a row is. A number is read with a decimal comma or point.
Row parseRow(const QStringList& fields);

struct Log {
    QStringList titles;           // the header's column titles, if there was one
    QList<QDateTime> times;       // one per sample
    QList<QList<double>> columns; // columns[c][sample], c = 0..20 for columns 1..21
    qint64 events = 0;
    qint64 badRows = 0;
    qint64 firstBadLine = 0; // 1-based; 0: none
};

// Reads a whole log a line at a time. Times with an offset from UTC are put
// on the clock of the first such time. progress (may be null) is called now and
// then with the bytes read; returning false from it stops the reading.
bool readLog(QIODevice& device, Log* log, QString* error,
             const std::function<bool(qint64)>& progress = nullptr);

} // namespace recorder::polllog

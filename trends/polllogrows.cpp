#include "trends/polllogrows.h"

#include <cmath>
#include <limits>
#include <QCoreApplication>
#include <QIODevice>

namespace recorder::polllog {

QStringList splitLine(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c != QLatin1Char('"')) {
                field += c;
            } else if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(';')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

namespace {

// The digits at from..from+count of s as a number, -1 if any is not a digit.
int digits(const QString& s, int from, int count) {
    int v = 0;
    for (int i = from; i < from + count; ++i) {
        const int d = s[i].unicode() - '0';
        if (d < 0 || d > 9) return -1;
        v = v * 10 + d;
    }
    return v;
}

// The time of a field, as the wall clock it names (tagged UTC), and its
// offset from UTC when the field gives one (the logs written since the
// offset is part of the time; older ones have none).
QDateTime timeOf(const QString& field, std::optional<int>* offset) {
    // The times stay as the log wrote them, the PC's wall clock, without a
    // time zone: converting a hundred thousand of them would take most of the
    // reading time. The form the log writes is read directly for the same reason.
    static const QString form = QStringLiteral("0000-00-00T00:00:00.000");
    static const int withOffset = form.size() + 6; // "+01:00"
    const bool offsetGiven = field.size() == withOffset &&
                             (field[23] == QLatin1Char('+') || field[23] == QLatin1Char('-')) &&
                             field[26] == QLatin1Char(':');
    if ((field.size() == form.size() || offsetGiven) && field[4] == QLatin1Char('-') &&
        field[7] == QLatin1Char('-') && field[10] == QLatin1Char('T') && field[13] == QLatin1Char(':') &&
        field[16] == QLatin1Char(':') && field[19] == QLatin1Char('.')) {
        const int year = digits(field, 0, 4);
        if (year < 0) return {};
        const QDate date(year, digits(field, 5, 2), digits(field, 8, 2));
        const QTime time(digits(field, 11, 2), digits(field, 14, 2), digits(field, 17, 2),
                         digits(field, 20, 3));
        if (!date.isValid() || !time.isValid()) return {};
        if (offsetGiven) {
            const int hours = digits(field, 24, 2), minutes = digits(field, 27, 2);
            if (hours < 0 || minutes < 0) return {};
            *offset = (field[23] == QLatin1Char('-') ? -1 : 1) * (hours * 3600 + minutes * 60);
        }
        return QDateTime(date, time, Qt::UTC);
    }
    const QDateTime t = QDateTime::fromString(field.trimmed(), Qt::ISODateWithMs);
    if (!t.isValid()) return QDateTime();
    if (t.timeSpec() == Qt::OffsetFromUTC || t.timeSpec() == Qt::UTC) *offset = t.offsetFromUtc();
    return QDateTime(t.date(), t.time(), Qt::UTC);
}

// A number, or NaN; a bool says whether the field held one.
double numberOf(const QString& field, bool* ok) {
    QString s = field.trimmed();
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const uint v = s.mid(2).toUInt(ok, 16);
        return *ok ? double(v) : std::numeric_limits<double>::quiet_NaN();
    }
    const double v = s.toDouble(ok);
    *ok = *ok && std::isfinite(v);
    return *ok ? v : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

Row parseRow(const QStringList& fields) {
    Row row;
    if (fields.isEmpty() || (fields.size() == 1 && fields[0].trimmed().isEmpty())) return row;
    std::optional<int> offset;
    const QDateTime time = timeOf(fields[0], &offset);
    if (!time.isValid()) {
        // The header: as many titles as a row has fields, none of them a number.
        if (fields.size() != kColumns) return row;
        for (const QString& f : fields) {
            bool number = false;
            numberOf(f, &number);
            if (number || f.trimmed().isEmpty()) return row;
        }
        row.kind = RowKind::Header;
        row.text = fields[0];
        return row;
    }
    row.time = time;
    row.offset = offset;
    if (fields.size() != kColumns) {
        // A time and a message: something that happened while logging.
        row.kind = RowKind::Event;
        row.text = fields.mid(1).join(QLatin1String("; ")).trimmed();
        return row;
    }
    // Columns 1..17 and 19..21 are numbers or empty; 18 holds the fault names.
    row.values.reserve(kColumns - 1);
    int numbers = 0;
    for (int c = 1; c < kColumns; ++c) {
        bool ok = false;
        const double v = numberOf(fields[c], &ok);
        if (!ok && !fields[c].trimmed().isEmpty() && c != 18) return Row{};
        numbers += ok;
        row.values << v;
    }
    if (numbers == 0) return Row{};
    row.kind = RowKind::Sample;
    return row;
}

bool readLog(QIODevice& device, Log* log, QString* error, const std::function<bool(qint64)>& progress) {
    *log = Log{};
    log->columns.resize(kColumns - 1);
    qint64 lineNumber = 0, read = 0;
    std::optional<int> firstOffset;
    QByteArray bytes;
    while (!device.atEnd()) {
        bytes = device.readLine(1 << 20);
        if (bytes.isEmpty() && !device.atEnd()) {
            *error = QCoreApplication::translate("RecorderChart", "The file could not be read: %1")
                         .arg(device.errorString());
            return false;
        }
        read += bytes.size();
        ++lineNumber;
        if (lineNumber == 1 && bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        if (bytes.isEmpty()) continue;
        Row row = parseRow(splitLine(QString::fromUtf8(bytes)));
        // Times with an offset are shown on the clock of the log's first one,
        // so the hour repeated when summer time ends follows the hour before it.
        if (row.offset) {
            if (!firstOffset) firstOffset = row.offset;
            if (*row.offset != *firstOffset) row.time = row.time.addSecs(*firstOffset - *row.offset);
        }
        switch (row.kind) {
        case RowKind::Header:
            if (log->titles.isEmpty()) log->titles = splitLine(QString::fromUtf8(bytes));
            break;
        case RowKind::Sample:
            log->times << row.time;
            for (int c = 0; c < kColumns - 1; ++c)
                log->columns[c] << row.values[c];
            break;
        case RowKind::Event:
            ++log->events;
            break;
        case RowKind::Bad:
            ++log->badRows;
            if (!log->firstBadLine) log->firstBadLine = lineNumber;
            break;
        }
        if (progress && (lineNumber & 0xfff) == 0 && !progress(read)) {
            *error = QCoreApplication::translate("RecorderChart", "Reading was stopped.");
            return false;
        }
    }
    return true;
}

} // namespace recorder::polllog

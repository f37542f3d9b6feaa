#include "journal/journal.h"

#include "files/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace journal {

namespace {

constexpr QChar kSeparator = QLatin1Char(';');
const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

// One field: quoted when it holds the separator or a quote; a line end
// becomes a space, so that one line is always one row.
QString quoted(QString field) {
    field.replace(QLatin1String("\r\n"), QLatin1String(" "));
    field.replace(QLatin1Char('\r'), QLatin1Char(' '));
    field.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (!field.contains(kSeparator) && !field.contains(QLatin1Char('"'))) return field;
    field.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + field + QLatin1Char('"');
}

QByteArray lineOf(const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields)
        out << quoted(f);
    return out.join(kSeparator).toUtf8() + "\r\n";
}

// The fields of one line, or nullopt when its quotes do not close.
std::optional<QStringList> split(const QString& line) {
    QStringList fields;
    QString field;
    bool inQuotes = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (inQuotes) {
            if (c != QLatin1Char('"'))
                field += c;
            else if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"'))
                field += line[++i];
            else
                inQuotes = false;
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
        } else if (c == kSeparator) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    if (inQuotes) return std::nullopt;
    fields << field;
    return fields;
}

std::optional<int> number(const QString& s) {
    bool ok = false;
    const int v = s.toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

} // namespace

QStringList columns() {
    return {QStringLiteral("time"),      QStringLiteral("source"),   QStringLiteral("action"),
            QStringLiteral("port"),      QStringLiteral("address"),  QStringLiteral("variant"),
            QStringLiteral("parameter"), QStringLiteral("before"),   QStringLiteral("sent"),
            QStringLiteral("state"),     QStringLiteral("register"), QStringLiteral("read back"),
            QStringLiteral("note")};
}

QString timeText(const QDateTime& time) {
    if (!time.isValid()) return QString();
    // The offset the time had where it was taken, written out even for UTC,
    // so an hour repeated when summer time ends stays two different hours.
    const QDateTime t = time.toOffsetFromUtc(time.offsetFromUtc());
    QString text = t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
    const int offset = t.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    text += QStringLiteral("%1%2:%3")
                .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return text;
}

QStringList fields(const Row& r) {
    return {timeText(r.time),
            r.source,
            r.action,
            r.port,
            QString::number(r.address),
            r.variant ? QString::number(*r.variant) : QString(),
            r.parameter,
            r.before,
            r.sent,
            r.state,
            r.reg ? QString::number(r.reg) : QString(),
            r.readBack,
            r.note};
}

std::optional<Row> rowFrom(const QStringList& f) {
    if (f.size() != columns().size()) return std::nullopt;
    Row r;
    r.time = QDateTime::fromString(f[0], Qt::ISODateWithMs);
    const auto address = number(f[4]);
    if (!r.time.isValid() || !address || f[2].isEmpty() || f[9].isEmpty()) return std::nullopt;
    r.source = f[1];
    r.action = f[2];
    r.port = f[3];
    r.address = *address;
    if (!f[5].isEmpty()) {
        r.variant = number(f[5]);
        if (!r.variant) return std::nullopt;
    }
    r.parameter = f[6];
    r.before = f[7];
    r.sent = f[8];
    r.state = f[9];
    if (!f[10].isEmpty()) {
        const auto reg = number(f[10]);
        if (!reg) return std::nullopt;
        r.reg = *reg;
    }
    r.readBack = f[11];
    r.note = f[12];
    return r;
}

QByteArray fileOf(const QList<Row>& rows) {
    QByteArray out = kBom + lineOf(columns());
    for (const Row& r : rows)
        out += lineOf(fields(r));
    return out;
}

bool append(const QString& path, const QList<Row>& rows, QString* error) {
    if (rows.isEmpty()) return true;
    QByteArray bytes;
    for (const Row& r : rows)
        bytes += lineOf(fields(r));
    return files::appendToFile(path, bytes, kBom + lineOf(columns()), error);
}

QString defaultPath() {
    return QDir::current().filePath(QStringLiteral("journal.csv"));
}

bool read(const QString& path, Contents* contents, QString* error) {
    *contents = Contents{};
    if (!files::entryExists(path)) return true;
    files::LineReader reader(files::LineEnds::Lf);
    if (!reader.open(path)) {
        *error = reader.errorString();
        return false;
    }
    const QStringList header = columns();
    QByteArray line;
    bool truncated = false;
    qint64 lineNumber = 0;
    while (reader.readLine(&line, &truncated)) {
        ++lineNumber;
        if (lineNumber == 1 && line.startsWith(kBom)) line.remove(0, kBom.size());
        if (line.isEmpty()) continue;
        const auto f = truncated ? std::nullopt : split(QString::fromUtf8(line));
        // The header again: two programs made the file at the same moment.
        if (f && *f == header) continue;
        const auto row = f ? rowFrom(*f) : std::nullopt;
        if (row) {
            contents->rows << *row;
            continue;
        }
        ++contents->badLines;
        if (!contents->firstBadLine) contents->firstBadLine = lineNumber;
    }
    if (reader.hasError()) {
        *error = reader.errorString();
        return false;
    }
    return true;
}

QList<Row> filtered(const QList<Row>& rows, std::optional<int> address) {
    if (!address) return rows;
    QList<Row> out;
    for (const Row& r : rows)
        if (r.address == *address) out << r;
    return out;
}

} // namespace journal

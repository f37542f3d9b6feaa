#include "records/csv.h"

namespace records {

QByteArray csvLine(const QStringList& fields) {
    QByteArray out;
    for (int i = 0; i < fields.size(); ++i) {
        if (i) out += kCsvSeparator;
        QString f = fields[i];
        if (f.contains(QLatin1Char(kCsvSeparator)) || f.contains(QLatin1Char('"')) ||
            f.contains(QLatin1Char('\n')) || f.contains(QLatin1Char('\r'))) {
            f.replace(QLatin1String("\""), QLatin1String("\"\""));
            f = QLatin1Char('"') + f + QLatin1Char('"');
        }
        out += f.toUtf8();
    }
    out += "\r\n";
    return out;
}

QByteArray csvFile(const QList<QStringList>& lines) {
    QByteArray out = kUtf8Bom;
    for (const QStringList& l : lines)
        out += csvLine(l);
    return out;
}

QList<QStringList> parseCsv(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes.startsWith(kUtf8Bom) ? bytes.mid(kUtf8Bom.size()) : bytes);
    QList<QStringList> lines;
    QStringList fields;
    QString field;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            quoted = true;
            any = true;
        } else if (c == QLatin1Char(kCsvSeparator)) {
            fields << field;
            field.clear();
            any = true;
        } else if (c == QLatin1Char('\r')) {
            // part of the line end
        } else if (c == QLatin1Char('\n')) {
            fields << field;
            lines << fields;
            fields.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any) {
        fields << field;
        lines << fields;
    }
    return lines;
}

} // namespace records

#include "records/reportfields.h"

#include "files/files.h"

#include <QFileInfo>
#include <QList>
#include <utility>

namespace records {

namespace {

constexpr qint64 kMaxBytes = 64 * 1024; // a few lines of text; anything longer is not ours

QList<std::pair<QByteArray, QString VisitFields::*>> keys() {
    return {{"technician", &VisitFields::technician},
            {"customer", &VisitFields::customer},
            {"site", &VisitFields::site},
            {"motor", &VisitFields::motorTag},
            {"nameplate", &VisitFields::nameplate},
            {"remark", &VisitFields::remark}};
}

QString escaped(QString value) {
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    value.replace(QLatin1Char('\r'), QStringLiteral("\\n"));
    return value;
}

QString unescaped(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            ++i;
            out += value[i] == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : value[i];
        } else {
            out += value[i];
        }
    }
    return out;
}

} // namespace

QString visitFieldsPath() {
    return QStringLiteral("report.ini");
}

QByteArray visitFieldsBytes(const VisitFields& fields) {
    QByteArray out;
    for (const auto& [key, member] : keys())
        out += key + '=' + escaped(fields.*member).toUtf8() + "\r\n";
    return out;
}

VisitFields parseVisitFields(const QByteArray& bytes) {
    VisitFields fields;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) continue;
        const QByteArray key = line.left(eq).trimmed();
        for (const auto& [name, member] : keys())
            if (key == name) fields.*member = unescaped(QString::fromUtf8(line.mid(eq + 1)));
    }
    return fields;
}

bool loadVisitFields(const QString& path, VisitFields* fields, QString* error) {
    *fields = VisitFields();
    if (!QFileInfo::exists(path)) return true;
    files::ReadFile file;
    if (!file.open(path)) {
        *error = file.errorString();
        return false;
    }
    QByteArray bytes(kMaxBytes, Qt::Uninitialized);
    qint64 got = 0;
    for (;;) {
        const qint64 n = file.read(bytes.data() + got, kMaxBytes - got);
        if (n < 0) {
            *error = file.errorString();
            return false;
        }
        if (n == 0) break;
        got += n;
        if (got == kMaxBytes) break; // the rest is no field of ours
    }
    bytes.truncate(got);
    *fields = parseVisitFields(bytes);
    return true;
}

bool saveVisitFields(const QString& path, const VisitFields& fields, QString* error) {
    return files::writeWhole(path, visitFieldsBytes(fields), error);
}

} // namespace records

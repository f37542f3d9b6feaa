#include "config/portmap.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "files/files.h"

namespace portmap {

namespace {

// Longest ports file read: a handful of lines, far below this.
constexpr qint64 kMaxFileBytes = 64 * 1024;
constexpr int kMaxPort = 256;

// "COMn=..." at the start of a line: n, or 0.
int lineNumber(const QByteArray& line, qsizetype* valueStart) {
    const QString text = QString::fromUtf8(line).trimmed();
    static const QRegularExpression re(QStringLiteral("^COM([0-9]{1,3})\\s*="),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch()) return 0;
    const int n = m.captured(1).toInt();
    if (n < 1 || n > kMaxPort) return 0;
    if (valueStart) *valueStart = m.capturedEnd(0);
    return n;
}

QByteArray dropCr(QByteArray line) {
    if (line.endsWith('\r')) line.chop(1);
    return line;
}

} // namespace

int comNumber(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^(?:\\\\\\\\\\.\\\\)?COM([0-9]{1,4})$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(name);
    if (!m.hasMatch()) return 0;
    const int n = m.captured(1).toInt();
    return n >= 1 && n <= kMaxPort ? n : 0;
}

QMap<int, QString> parse(const QByteArray& text) {
    QMap<int, QString> map;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(dropCr(raw)).trimmed();
        qsizetype start = 0;
        const int n = lineNumber(line.toUtf8(), &start);
        if (n == 0) continue;
        const QString target = line.mid(start).trimmed();
        if (target.isEmpty())
            map.remove(n);
        else
            map.insert(n, target);
    }
    return map;
}

QByteArray withTarget(const QByteArray& text, int n, const QString& target) {
    QList<QByteArray> lines = text.split('\n');
    const bool crlf = text.contains("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    QByteArray out;
    const QByteArray eol = crlf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    bool written = false;
    for (const QByteArray& raw : lines) {
        const QByteArray line = dropCr(raw);
        if (lineNumber(line, nullptr) == n) {
            if (!written && !target.isEmpty())
                out += "COM" + QByteArray::number(n) + '=' + target.toUtf8() + eol;
            written = true;
            continue;
        }
        out += line + eol;
    }
    if (!written && !target.isEmpty()) out += "COM" + QByteArray::number(n) + '=' + target.toUtf8() + eol;
    return out;
}

QString targetOf(const QString& portName, const QString& environmentValue, const QMap<int, QString>& file) {
    const int n = comNumber(portName);
    if (n == 0) return {};
    const QString env = environmentValue.trimmed();
    const QString target = env.isEmpty() ? file.value(n) : env;
    const int other = comNumber(target);
    if (other > 0) return QStringLiteral("\\\\.\\COM%1").arg(other);
    return target;
}

QString filePath() {
    return QDir::current().filePath(QLatin1String(kFileName));
}

QMap<int, QString> readFile(const QString& path, QString* error) {
    if (!QFileInfo::exists(path)) return {};
    files::ReadFile f;
    if (!f.open(path)) {
        if (error) *error = f.errorString();
        return {};
    }
    QByteArray text;
    char buffer[4096];
    for (;;) {
        const qint64 n = f.read(buffer, sizeof buffer);
        if (n < 0) {
            if (error) *error = f.errorString();
            return {};
        }
        if (n == 0) break;
        text.append(buffer, n);
        if (text.size() > kMaxFileBytes) break;
    }
    return parse(text.left(kMaxFileBytes));
}

QString mappedPortName(const QString& portName) {
    const int n = comNumber(portName);
    if (n == 0 || !portName.startsWith(QLatin1String("\\\\.\\"))) return portName;
    const QString env = qEnvironmentVariable(qPrintable(QStringLiteral("VRK_COM%1").arg(n)));
    const QString target =
        targetOf(portName, env, env.trimmed().isEmpty() ? readFile(filePath()) : QMap<int, QString>{});
    return target.isEmpty() ? portName : target;
}

bool writeTarget(const QString& path, int n, const QString& target, QString* error) {
    QByteArray text;
    if (QFileInfo::exists(path)) {
        files::ReadFile f;
        if (!f.open(path)) {
            if (error) *error = f.errorString();
            return false;
        }
        char buffer[4096];
        for (;;) {
            const qint64 got = f.read(buffer, sizeof buffer);
            if (got < 0) {
                if (error) *error = f.errorString();
                return false;
            }
            if (got == 0) break;
            text.append(buffer, got);
            if (text.size() > kMaxFileBytes) {
                if (error)
                    *error = QCoreApplication::translate("portmap", "%1 is too large to be a ports file.")
                                 .arg(QDir::toNativeSeparators(path));
                return false;
            }
        }
    }
    return files::writeWhole(path, withTarget(text, n, target), error);
}

} // namespace portmap

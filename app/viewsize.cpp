#include "app/viewsize.h"

#include "files/files.h"

#include <algorithm>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace viewsize {

const QList<int>& choices() {
    static const QList<int> sizes{100, 125, 150, 175, 200};
    return sizes;
}

int parse(const QByteArray& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok) return kSmallest;
    return std::clamp(v, kSmallest, kLargest);
}

QByteArray text(int percent) {
    return QByteArray::number(std::clamp(percent, kSmallest, kLargest)) + '\n';
}

QByteArray scaleFactor(int percent, const QByteArray& present) {
    bool ok = false;
    double base = present.trimmed().toDouble(&ok);
    if (!ok || base <= 0) base = 1.0;
    return QByteArray::number(base * std::clamp(percent, kSmallest, kLargest) / 100.0, 'g', 6);
}

QString filePath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("view-size.txt"));
}

int load() {
    files::ReadFile f;
    if (!f.open(filePath())) return kSmallest;
    char buffer[32];
    const qint64 n = f.read(buffer, sizeof buffer);
    return n > 0 ? parse(QByteArray(buffer, int(n))) : kSmallest;
}

bool save(int percent, QString* error) {
    const QString path = filePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QCoreApplication::translate("viewsize", "The folder %1 could not be created.")
                         .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
        return false;
    }
    return files::writeWhole(path, text(percent), error);
}

void applyAtStart() {
    const int percent = load();
    if (percent == kSmallest) return;
    qputenv("QT_SCALE_FACTOR", scaleFactor(percent, qgetenv("QT_SCALE_FACTOR")));
}

} // namespace viewsize

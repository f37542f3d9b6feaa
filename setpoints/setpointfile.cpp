#include "setpoints/setpointfile.h"

#include "setpoints/rules.h"

#include "files/files.h"

#include <QIODevice>

namespace setpoints {

QByteArray setpointFileBytes(const QStringList& cells) {
    QByteArray out;
    for (int k = 0; k < kFileLines; ++k) {
        if (k < cells.size()) out += cells[k].toLatin1();
        out += "\r\n";
    }
    return out;
}

QString withSetpointExtension(const QString& chosen) {
    if (chosen.endsWith(QLatin1String(".vrk"), Qt::CaseInsensitive)) return chosen;
    return chosen + QLatin1String(".vrk");
}

bool writeSetpointFile(const QString& path, const QStringList& cells, QString* error) {
    QString why;
    const bool written = files::writeWhole(path, setpointFileBytes(cells), &why);
    if (!written && error) *error = why;
    return written;
}

bool readBoundedLines(QIODevice& device, int maxLines, int maxLineBytes, QStringList* lines) {
    lines->clear();
    if (maxLines <= 0) return true;
    files::LineSplitter splitter(files::LineEnds::Any, maxLineBytes);
    char chunk[65536];
    while (lines->size() < maxLines) {
        const qint64 got = device.read(chunk, sizeof chunk);
        if (got < 0) return false;
        if (got == 0) break;
        QByteArrayView rest(chunk, got);
        while (!rest.isEmpty() && lines->size() < maxLines) {
            bool ended = false;
            rest = rest.sliced(splitter.feed(rest, &ended));
            if (ended) lines->append(QString::fromLatin1(splitter.line()));
        }
    }
    if (lines->size() < maxLines && splitter.finish()) lines->append(QString::fromLatin1(splitter.line()));
    return true;
}

QStringList tableAfterLoad(const QStringList& lines) {
    QStringList cells;
    for (int r = 0; r < kRows; ++r)
        cells << lines.value(r);
    if (!invalidParameters(cells).isEmpty())
        for (QString& c : cells)
            c.clear();
    return cells;
}

SetpointFileRead readSetpointFile(const QString& path) {
    SetpointFileRead r;
    files::LineReader reader(files::LineEnds::Any, kMaxLineBytes);
    reader.refuseLongLines();
    if (!reader.open(path)) {
        r.error = reader.errorString();
        return r;
    }
    QByteArray line;
    while (r.lines.size() < kFileLines && reader.readLine(&line))
        r.lines << QString::fromLatin1(line);
    if (reader.hasError()) {
        r.error = reader.errorString();
        r.lines.clear();
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace setpoints

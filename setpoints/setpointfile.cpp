#include "setpoints/setpointfile.h"

#include "setpoints/rules.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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
    QSaveFile file(path);
    const QByteArray bytes = setpointFileBytes(cells);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString());
        return false;
    }
    // flush() before commit(): a short write (disk full, size limit) shows
    // there, while commit() alone may still report success.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        if (error) *error = QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

bool readBoundedLines(QIODevice& device, int maxLines, int maxLineBytes, QStringList* lines) {
    lines->clear();
    if (maxLines <= 0) return true;
    QByteArray line;
    bool inLine = false;  // bytes of an unfinished line have been seen
    bool afterCR = false; // the previous byte ended a line with CR
    char chunk[65536];
    const auto endLine = [&] {
        lines->append(QString::fromLatin1(line));
        line.clear();
        inLine = false;
    };
    while (lines->size() < maxLines) {
        const qint64 got = device.read(chunk, sizeof chunk);
        if (got < 0) return false;
        if (got == 0) break;
        for (qint64 i = 0; i < got && lines->size() < maxLines; ++i) {
            const char c = chunk[i];
            if (afterCR) {
                afterCR = false;
                if (c == '\n') continue; // the LF of a CR LF pair
            }
            if (c == '\r' || c == '\n') {
                endLine();
                afterCR = c == '\r';
                continue;
            }
            inLine = true;
            if (line.size() < maxLineBytes) line.append(c);
        }
    }
    if (inLine && lines->size() < maxLines) endLine(); // last line without a line end
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

namespace {

QString cannotOpen(const QString& path, const QString& why) {
    return QStringLiteral("Cannot open file \"%1\". %2").arg(path, why);
}

// Opens path for reading only when it is a regular file. The descriptor is
// opened non-blocking first, so a FIFO without a writer or a device cannot
// hold the window; only then is it known to be a plain file.
bool openRegular(const QString& path, QFile* file, QString* error) {
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *error = cannotOpen(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *error = cannotOpen(path, QStringLiteral("Not a regular file."));
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = cannotOpen(path, file->errorString());
        return false;
    }
    return true;
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        *error = cannotOpen(path, QStringLiteral("Not a regular file."));
        return false;
    }
    file->setFileName(path);
    if (!file->open(QIODevice::ReadOnly)) {
        *error = cannotOpen(path, file->errorString());
        return false;
    }
    return true;
#endif
}

} // namespace

SetpointFileRead readSetpointFile(const QString& path) {
    SetpointFileRead r;
    QFile file;
    if (!openRegular(path, &file, &r.error)) return r;
    if (!readBoundedLines(file, kFileLines, kMaxLineBytes, &r.lines)) {
        r.error = QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString());
        r.lines.clear();
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace setpoints

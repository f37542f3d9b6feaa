#include "config/linereader.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace textfiles {
namespace {

constexpr qint64 kChunk = 16 * 1024;

QString systemReason(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

QString cannotOpen(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot open file \"%1\": %2").arg(path, reason);
}

} // namespace

LineReader::LineReader(LoneCr loneCr, int maxLineBytes) : loneCr_(loneCr), maxLineBytes_(maxLineBytes) {}

bool LineReader::open(const QString& path) {
    path_ = path;
    error_.clear();
    buffer_.clear();
    pos_ = 0;
    eof_ = false;
    file_.close();

    const QFileInfo info(path);
    if (!info.exists()) {
        error_ = cannotOpen(path, systemReason(ENOENT));
        return false;
    }
    if (!info.isFile()) {
        error_ = cannotOpen(path, QStringLiteral("not a regular file"));
        return false;
    }
    // O_NONBLOCK: should the name have become a FIFO since the check above,
    // opening it must not wait for a writer; fstat then refuses it.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error_ = cannotOpen(path, systemReason(errno));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error_ = cannotOpen(path, QStringLiteral("not a regular file"));
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file_.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error_ = cannotOpen(path, file_.errorString());
        return false;
    }
    return true;
}

bool LineReader::fill() {
    if (eof_ || hasError() || !file_.isOpen()) return false;
    buffer_.resize(kChunk);
    const qint64 n = file_.read(buffer_.data(), kChunk);
    pos_ = 0;
    if (n < 0) {
        buffer_.clear();
        error_ = QStringLiteral("Cannot read file \"%1\": %2").arg(path_, file_.errorString());
        return false;
    }
    buffer_.resize(n);
    if (n == 0) eof_ = true;
    return n > 0;
}

bool LineReader::readLine(QByteArray* line, bool* truncated) {
    line->clear();
    bool cut = false;
    bool any = false;        // something of this line was seen
    bool pendingCr = false;  // a CR whose meaning depends on the next byte
    auto keep = [&](char c) {
        if (line->size() < maxLineBytes_)
            line->append(c);
        else
            cut = true;
    };
    for (;;) {
        if (pos_ >= buffer_.size() && !fill()) break;
        const char c = buffer_.at(pos_++);
        any = true;
        if (c == '\n') {
            if (truncated) *truncated = cut;
            return true;
        }
        if (pendingCr) {
            keep('\r');
            pendingCr = false;
        }
        if (c == '\r') {
            if (loneCr_ == LoneCr::Kept) pendingCr = true;
            continue;
        }
        keep(c);
    }
    if (hasError()) return false;
    if (pendingCr) keep('\r');
    if (truncated) *truncated = cut;
    return any;
}

bool entryExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool writeWhole(const QString& path, const QByteArray& data, QString* error) {
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists()) {
        *error = QStringLiteral("Cannot create file \"%1\": the link leads to no file").arg(path);
        return false;
    }
    // QSaveFile renames its new file over the old one: it must never replace
    // a directory, a FIFO or a device (or what a link to one leads to).
    if (info.exists() && !info.isFile()) {
        *error = QStringLiteral("Cannot create file \"%1\": not a regular file").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Cannot create file \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    // flush() before commit(): commit() alone does not notice a short write
    // when the disk fills up while it empties the buffer, and would put the
    // cut file in place of the old one.
    if (file.write(data) != data.size() || !file.flush() || file.error() != QFileDevice::NoError ||
        !file.commit()) {
        // The temporary file is thrown away; the old file is untouched.
        *error = QStringLiteral("Cannot write file \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace textfiles

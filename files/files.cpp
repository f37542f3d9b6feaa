#include "files/files.h"

#include "files/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <QTemporaryFile>

namespace files {
namespace {

constexpr qint64 kChunk = 16 * 1024;

bool g_refuseTemporaryFiles = false;
qint64 g_failReadsAfter = -1;

QString ownWords(platform::Reason reason) {
    using platform::Reason;
    switch (reason) {
    case Reason::NoSpace:
        return QCoreApplication::translate("files", "no space left on the disk");
    case Reason::ReadOnly:
        return QCoreApplication::translate("files", "the disk is read-only");
    case Reason::Permission:
        return QCoreApplication::translate("files", "permission denied");
    case Reason::TooLarge:
        return QCoreApplication::translate("files",
                                           "the file would exceed the size limit set for this program");
    case Reason::Quota:
        return QCoreApplication::translate("files", "the disk quota is used up");
    case Reason::NotFound:
        return QCoreApplication::translate("files", "no such file or folder");
    case Reason::InputOutput:
        return QCoreApplication::translate("files", "input/output error");
    case Reason::IsFolder:
        return QCoreApplication::translate("files", "it is a folder");
    case Reason::NameTooLong:
        return QCoreApplication::translate("files", "the name is too long");
    }
    return QString();
}

// Why a write of wanted bytes in all fell short when the system named no
// reason (a short write): the size limit or the free space, whichever
// explains it.
QString shortWriteReason(const QString& path, qint64 wanted) {
    const long long limit = platform::fileSizeLimit();
    if (limit >= 0 && wanted > limit) return ownWords(platform::Reason::TooLarge);
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    if (storage.isValid() && storage.bytesAvailable() < wanted) return ownWords(platform::Reason::NoSpace);
    return QCoreApplication::translate("files", "the disk is full or the file has reached its size limit");
}

// The reason a failed write of a file device gives, in the program's words.
QString writeFailure(const QFileDevice& file, const QString& path, qint64 wanted) {
    const QString reason = file.errorString();
    if (file.error() == QFileDevice::NoError || reason.isEmpty() ||
        reason == QLatin1String("Unknown error") ||
        reason == QCoreApplication::translate("QIODevice", "Unknown error"))
        return shortWriteReason(path, wanted);
    return reasonInOwnWords(reason);
}

// Where a symbolic link at path leads: nowhere, into its own folder, or out of it.
enum class LinkKind { NotLink, Dangling, SameFolder, OtherFolder };
LinkKind linkKind(const QFileInfo& info) {
    if (!info.isSymLink()) return LinkKind::NotLink;
    if (!info.exists()) return LinkKind::Dangling;
    const QFileInfo target(info.symLinkTarget());
    return QDir(target.absolutePath()).canonicalPath() == QDir(info.absolutePath()).canonicalPath()
               ? LinkKind::SameFolder
               : LinkKind::OtherFolder;
}

// A save never writes through a symbolic link: the reason it refuses one, or
// empty when the link itself may be replaced.
QString linkRefusal(const QFileInfo& info) {
    switch (linkKind(info)) {
    case LinkKind::Dangling:
        return QCoreApplication::translate("files", "the link leads to no file");
    case LinkKind::OtherFolder:
        return QCoreApplication::translate(
                   "files", "it is a symbolic link to \"%1\", outside its folder; it is not written through")
            .arg(QDir::toNativeSeparators(info.symLinkTarget()));
    case LinkKind::NotLink:
    case LinkKind::SameFolder:
        break;
    }
    return QString();
}

QString cannotOpen(const QString& path, const QString& reason) {
    return QCoreApplication::translate("files", "Cannot open file \"%1\": %2").arg(path, reason);
}
QString cannotRead(const QString& path, const QString& reason) {
    return QCoreApplication::translate("files", "Cannot read file \"%1\": %2").arg(path, reason);
}
QString cannotCreate(const QString& path, const QString& reason) {
    return QCoreApplication::translate("files", "Cannot create file \"%1\": %2").arg(path, reason);
}

// The folder allows no new file, so the existing file is overwritten where it
// stands: the data first, then the file cut to its length. Not atomic; a
// failure says so.
bool writeInPlace(const QString& path, const QByteArray& data, const QString& noTemporary, QString* error) {
    QFile file(path);
    // ReadWrite: WriteOnly would empty the file before anything is written.
    if (!file.open(QIODevice::ReadWrite)) {
        *error = cannotCreate(path, reasonInOwnWords(noTemporary));
        return false;
    }
    const bool ok = file.write(data) == data.size() && file.flush() && file.resize(data.size()) &&
                    file.error() == QFileDevice::NoError;
    const QString reason = writeFailure(file, path, data.size());
    file.close();
    if (ok) return true;
    *error = QCoreApplication::translate(
                 "files", "No new file can be made in the folder of \"%1\" (%2), so it was written in place, "
                          "and that failed: %3\nThe file may now be incomplete.")
                 .arg(path, noTemporary, reason);
    return false;
}

// A symbolic link into its own folder is replaced by a new regular file with
// the data; what it led to stays as it was.
bool replaceLink(const QString& path, const QFileInfo& info, const QByteArray& data, QString* error) {
    QTemporaryFile file(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (g_refuseTemporaryFiles || !file.open()) {
        *error = cannotCreate(
            path, g_refuseTemporaryFiles
                      ? QCoreApplication::translate("files", "no new file can be made in its folder")
                      : reasonInOwnWords(file.errorString()));
        return false;
    }
    if (file.write(data) != data.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        *error = QCoreApplication::translate("files", "Cannot write file \"%1\": %2")
                     .arg(path, writeFailure(file, path, data.size()));
        return false; // the temporary file goes with file
    }
    file.setPermissions(QFileInfo(info.symLinkTarget()).permissions());
    std::string why;
    if (!platform::replaceEntry(file.fileName().toUtf8().toStdString(), path.toUtf8().toStdString(), &why)) {
        *error = cannotCreate(path, reasonInOwnWords(QString::fromUtf8(why)));
        return false;
    }
    file.setAutoRemove(false); // now the file at path
    return true;
}

} // namespace

QString reasonInOwnWords(const QString& systemText) {
    const QString text = systemText.trimmed();
    for (const platform::Reason r : platform::kReasons) {
        const std::string system = platform::systemText(r);
        // The toolkit may have put the system's words into the user's language already.
        if (text.compare(QString::fromUtf8(system), Qt::CaseInsensitive) == 0 ||
            text == QCoreApplication::translate("QIODevice", system.c_str()))
            return ownWords(r);
    }
    return systemText;
}

// ---- LineSplitter

LineSplitter::LineSplitter(LineEnds ends, int maxLineBytes) : ends_(ends), maxLineBytes_(maxLineBytes) {}

void LineSplitter::startLine() {
    line_.clear();
    cut_ = false;
    any_ = false;
    pendingCr_ = false;
    ended_ = false;
}

void LineSplitter::keep(char c) {
    if (line_.size() < maxLineBytes_)
        line_.append(c);
    else
        cut_ = true;
}

qsizetype LineSplitter::feed(QByteArrayView data, bool* ended) {
    if (ended_) startLine();
    *ended = false;
    const char* p = data.data();
    const qsizetype n = data.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = p[i++];
        if (ends_ == LineEnds::Any) {
            if (afterCr_) {
                afterCr_ = false;
                if (c == '\n') continue; // the LF of a CR LF pair
            }
            if (c == '\r' || c == '\n') {
                afterCr_ = c == '\r';
                ended_ = *ended = true;
                return i;
            }
            any_ = true;
            keep(c);
            continue;
        }
        any_ = true;
        if (c == '\n') {
            ended_ = *ended = true;
            return i;
        }
        if (pendingCr_) {
            keep('\r');
            pendingCr_ = false;
        }
        if (c == '\r') {
            if (ends_ == LineEnds::Lf) pendingCr_ = true;
            continue;
        }
        keep(c);
    }
    return i;
}

void LineSplitter::reset() {
    startLine();
    afterCr_ = false;
}

bool LineSplitter::finish() {
    if (ended_) startLine();
    if (pendingCr_) keep('\r');
    pendingCr_ = false;
    afterCr_ = false;
    const bool last = any_;
    ended_ = true; // a further call finds nothing
    return last;
}

// ---- ReadFile

bool ReadFile::open(const QString& path) {
    file_.close();
    path_ = path;
    error_.clear();
    done_ = 0;
    const platform::OpenedFile opened = platform::openRegularForReading(path.toUtf8().toStdString());
    switch (opened.outcome) {
    case platform::OpenOutcome::Opened:
        if (file_.open(opened.fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return true;
        platform::closeDescriptor(opened.fd);
        error_ = cannotOpen(path, reasonInOwnWords(file_.errorString()));
        return false;
    case platform::OpenOutcome::NotRegular:
        error_ = cannotOpen(path, QCoreApplication::translate("files", "not a regular file"));
        return false;
    case platform::OpenOutcome::IsDirectory:
    case platform::OpenOutcome::Failed:
        break;
    }
    error_ = cannotOpen(path, reasonInOwnWords(QString::fromUtf8(opened.reason)));
    return false;
}

qint64 ReadFile::read(char* data, qint64 maxSize) {
    if (!file_.isOpen()) {
        error_ = cannotRead(path_, QCoreApplication::translate("files", "the file is not open"));
        return -1;
    }
    if (g_failReadsAfter >= 0) {
        if (done_ >= g_failReadsAfter) {
            error_ = cannotRead(path_, QCoreApplication::translate("files", "input/output error"));
            return -1;
        }
        maxSize = qMin(maxSize, g_failReadsAfter - done_);
    }
    const qint64 n = file_.read(data, maxSize);
    if (n < 0)
        error_ = cannotRead(path_, reasonInOwnWords(file_.errorString()));
    else
        done_ += n;
    return n;
}

// ---- LineReader

LineReader::LineReader(LineEnds ends, int maxLineBytes)
    : splitter_(ends, maxLineBytes), maxLineBytes_(maxLineBytes) {}

bool LineReader::open(const QString& path) {
    buffer_.clear();
    pos_ = 0;
    atEnd_ = false;
    lines_ = 0;
    path_ = path;
    error_.clear();
    splitter_.reset();
    return file_.open(path);
}

bool LineReader::fill() {
    if (hasError() || !file_.isOpen()) return false;
    buffer_.resize(kChunk);
    const qint64 n = file_.read(buffer_.data(), kChunk);
    pos_ = 0;
    buffer_.resize(n > 0 ? n : 0);
    return n > 0;
}

bool LineReader::readLine(QByteArray* line, bool* truncated) {
    line->clear();
    if (atEnd_) return false;
    for (;;) {
        if (pos_ >= buffer_.size() && !fill()) break;
        bool ended = false;
        pos_ += splitter_.feed(QByteArrayView(buffer_).sliced(pos_), &ended);
        if (refuseLongLines_ && splitter_.truncated()) return tooLong(line);
        if (ended) {
            ++lines_;
            *line = splitter_.line();
            if (truncated) *truncated = splitter_.truncated();
            return true;
        }
    }
    atEnd_ = true;
    if (hasError() || !splitter_.finish()) return false;
    if (refuseLongLines_ && splitter_.truncated()) return tooLong(line);
    ++lines_;
    *line = splitter_.line();
    if (truncated) *truncated = splitter_.truncated();
    return true;
}

bool LineReader::tooLong(QByteArray* line) {
    line->clear();
    atEnd_ = true;
    error_ = cannotRead(path_, QCoreApplication::translate(
                                   "files", "line %1 is longer than %2 characters; it is not cut to fit")
                                   .arg(lines_ + 1)
                                   .arg(maxLineBytes_));
    file_.close();
    return false;
}

// ---- writing

bool entryExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool writeWhole(const QString& path, const QByteArray& data, QString* error) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString refusal = linkRefusal(info);
        if (!refusal.isEmpty()) {
            *error = cannotCreate(path, refusal);
            return false;
        }
        if (!info.isFile()) {
            *error = cannotCreate(path, QCoreApplication::translate("files", "not a regular file"));
            return false;
        }
        return replaceLink(path, info, data, error);
    }
    // QSaveFile renames its new file over the old one: it must never replace
    // a folder, a FIFO or a device (or what a link to one leads to).
    if (info.exists() && !info.isFile()) {
        *error = cannotCreate(path, QCoreApplication::translate("files", "not a regular file"));
        return false;
    }
    QSaveFile file(path);
    if (g_refuseTemporaryFiles || !file.open(QIODevice::WriteOnly)) {
        const QString reason =
            g_refuseTemporaryFiles
                ? QCoreApplication::translate("files", "no new file can be made in its folder")
                : file.errorString();
        if (info.isFile()) return writeInPlace(path, data, reason, error);
        *error = cannotCreate(path, reasonInOwnWords(reason));
        return false;
    }
    // flush() before commit(): commit() alone does not notice a short write
    // when the disk fills up (or a size limit is reached) while it empties
    // the buffer, and would put the cut file in place of the old one.
    if (file.write(data) != data.size() || !file.flush() || file.error() != QFileDevice::NoError ||
        !file.commit()) {
        *error = QCoreApplication::translate("files", "Cannot write file \"%1\": %2")
                     .arg(path, writeFailure(file, path, data.size()));
        file.cancelWriting(); // the temporary file goes; the old file is untouched
        return false;
    }
    return true;
}

void reportFileSizeLimitAsError() {
    platform::reportFileSizeLimitAsError();
}

namespace testing {
void refuseTemporaryFiles(bool refuse) {
    g_refuseTemporaryFiles = refuse;
}
void failReadsAfter(qint64 bytes) {
    g_failReadsAfter = bytes;
}
} // namespace testing

} // namespace files

namespace files {

namespace {
// A file to write into must be a regular file or none yet, never reached through a link elsewhere.
bool writableTarget(const QString& path, const QFileInfo& info, QString* error) {
    const QString refusal = linkRefusal(info);
    if (!refusal.isEmpty()) {
        *error = cannotCreate(path, refusal);
        return false;
    }
    if (info.exists() && !info.isFile()) {
        *error = cannotCreate(path, QCoreApplication::translate("files", "not a regular file"));
        return false;
    }
    return true;
}
} // namespace

bool AppendFile::open(const QString& path, QString* error) {
    close();
    path_ = path;
    size_ = 0;
    const QFileInfo info(path);
    if (!writableTarget(path, info, error)) return false;
    file_.setFileName(path);
    // A link into its own folder is replaced by the new file, never written through.
    if (info.isSymLink() && !QFile::remove(path)) {
        *error = cannotCreate(path, reasonInOwnWords(QFile(path).errorString()));
        return false;
    }
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered |
                                     (info.isSymLink() ? QIODevice::NewOnly : QIODevice::OpenMode());
    if (!file_.open(mode)) {
        *error = cannotCreate(path, reasonInOwnWords(file_.errorString()));
        return false;
    }
    return true;
}

bool AppendFile::write(const QByteArray& data, QString* error) {
    if (!file_.isOpen()) {
        *error = QCoreApplication::translate("files", "Cannot write file \"%1\": %2")
                     .arg(path_, QCoreApplication::translate("files", "the file is not open"));
        return false;
    }
    const qint64 before = size_;
    const qint64 n = file_.write(data);
    if (n != data.size() || file_.error() != QFileDevice::NoError) {
        // A short write without an error from the system: the disk or the
        // size limit allowed no more.
        const QString reason = writeFailure(file_, path_, before + data.size());
        // A piece cut short is taken back, so the file ends with a whole piece.
        if (n > 0) file_.resize(before);
        *error = QCoreApplication::translate("files", "Cannot write file \"%1\": %2").arg(path_, reason);
        file_.close();
        return false;
    }
    size_ += n;
    return true;
}

} // namespace files

namespace files {

bool appendToFile(const QString& path, const QByteArray& data, const QByteArray& ifNew, QString* error) {
    const QFileInfo info(path);
    if (!writableTarget(path, info, error)) return false;
    QFile file(path);
    // Append: every write lands at the end, after whatever another program
    // added since this one looked.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        *error = cannotCreate(path, reasonInOwnWords(file.errorString()));
        return false;
    }
    const qint64 before = file.size();
    const QByteArray bytes = before == 0 ? ifNew + data : data;
    const qint64 n = file.write(bytes);
    if (n != bytes.size() || file.error() != QFileDevice::NoError) {
        const QString reason = writeFailure(file, path, before + bytes.size());
        // Never a piece cut short at the end: the next piece would join it.
        if (n > 0) file.resize(before);
        *error = QCoreApplication::translate("files", "Cannot write file \"%1\": %2").arg(path, reason);
        return false;
    }
    std::string why;
    if (!platform::syncDescriptor(file.handle(), &why)) {
        *error = QCoreApplication::translate("files", "Cannot write file \"%1\": %2")
                     .arg(path, reasonInOwnWords(QString::fromStdString(why)));
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        *error = QCoreApplication::translate("files", "Cannot write file \"%1\": %2")
                     .arg(path, reasonInOwnWords(file.errorString()));
        return false;
    }
    return true;
}

} // namespace files

// The recording file: 500 lines of nine integers, each followed by a blank,
// CR LF line ends, line n holding sample n - 1 (line 1 the oldest).
#include "trends/rules.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace recorder {

QString recordingFilter() {
    return QStringLiteral("Pliki z wykresami   (*.rej )|*.rej|Wszystkie pliki  (*.*)|*.*");
}

QByteArray recordingBytes(const History& h) {
    QByteArray out;
    out.reserve(kSamples * 64);
    for (int i = 0; i < kSamples; ++i) {
        for (int c = 0; c < kChannels; ++c) {
            out += QByteArray::number(h[size_t(c)][size_t(i)]);
            out += ' ';
        }
        out += "\r\n";
    }
    return out;
}

QString recordingSaveName(const QString& chosen) {
    static const QString ext = QStringLiteral(".rej");
    return chosen.endsWith(ext, Qt::CaseInsensitive) ? chosen : chosen + ext;
}

bool writeRecording(const QString& path, const History& h, QString* error) {
    QSaveFile f(path);
    const QByteArray bytes = recordingBytes(h);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error) *error = QStringLiteral("Cannot create file \"%1\". %2").arg(path, f.errorString());
        f.cancelWriting();
        return false;
    }
    return true;
}

qint32 parseField(QByteArrayView field) {
    qsizetype i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
    if (i == field.size()) return -1;
    // Magnitude limit: 2^31 - 1, or 2^31 for a negative number.
    const qint64 limit = qint64(std::numeric_limits<qint32>::max()) + (negative ? 1 : 0);
    qint64 v = 0;
    for (; i < field.size(); ++i) {
        const char ch = field[i];
        if (ch < '0' || ch > '9') return -1;
        v = v * 10 + (ch - '0');
        if (v > limit) return -1;
    }
    return qint32(negative ? -v : v);
}

std::array<qint32, kChannels> parseLine(QByteArrayView line) {
    std::array<qint32, kChannels> out;
    qsizetype pos = 0;
    for (int j = 0; j < kChannels; ++j) {
        if (pos >= line.size()) {
            out[size_t(j)] = -1; // missing at the end of the line: empty
            continue;
        }
        qsizetype end = line.indexOf(' ', pos);
        if (end < 0) end = line.size();
        out[size_t(j)] = parseField(line.sliced(pos, end - pos));
        pos = end + 1;
    }
    return out;
}

bool RecordingParser::feed(QByteArrayView bytes) {
    const char* p = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n && wantsMore()) {
        if (afterCR_) {
            afterCR_ = false;
            if (p[i] == '\n') {
                ++i;
                continue;
            }
        }
        qsizetype j = i;
        while (j < n && p[j] != '\r' && p[j] != '\n')
            ++j;
        if (line_.size() + (j - i) > kMaxLine) {
            // Far longer than any recording line: refused, and nothing of it kept.
            invalid_ = true;
            line_.clear();
            return false;
        }
        line_.append(p + i, j - i);
        if (j == n) break;
        afterCR_ = p[j] == '\r';
        endLine();
        i = j + 1;
    }
    return wantsMore();
}

void RecordingParser::finish() {
    if (wantsMore() && !line_.isEmpty()) endLine();
    line_.clear();
}

void RecordingParser::endLine() {
    const std::array<qint32, kChannels> v = parseLine(line_);
    for (int c = 0; c < kChannels; ++c) {
        h_[size_t(c)][size_t(lines_)] = v[size_t(c)];
        if (v[size_t(c)] == -1) invalid_ = true;
    }
    ++lines_;
    line_.clear();
}

RecordingFile::~RecordingFile() {
    close();
}

void RecordingFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool RecordingFile::open(const QString& path) {
    close();
    path_ = path;
    error_.clear();
    // O_NONBLOCK: opening a FIFO must not wait for a writer; anything but a
    // regular file is refused right after.
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error_ = QStringLiteral("Cannot open file \"%1\". %2").arg(path, qt_error_string(errno));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        error_ = QStringLiteral("Cannot open file \"%1\". %2").arg(path, qt_error_string(e));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        error_ = QStringLiteral("Cannot open file \"%1\". %2")
                     .arg(path, S_ISDIR(st.st_mode) ? qt_error_string(EISDIR)
                                                    : QStringLiteral("Not a regular file."));
        return false;
    }
    fd_ = fd;
    return true;
}

bool RecordingFile::read(History& h, bool* invalid) {
    RecordingParser parser(h);
    char buf[64 * 1024];
    bool ok = fd_ >= 0;
    if (!ok) error_ = QStringLiteral("Cannot read file \"%1\". The file is not open.").arg(path_);
    while (ok && parser.wantsMore()) {
        const ssize_t got = ::read(fd_, buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR) continue;
            error_ = QStringLiteral("Cannot read file \"%1\". %2").arg(path_, qt_error_string(errno));
            ok = false;
        } else if (got == 0) {
            parser.finish();
            break;
        } else {
            parser.feed(QByteArrayView(buf, got));
        }
    }
    if (invalid) *invalid = parser.invalid();
    return ok;
}

} // namespace recorder

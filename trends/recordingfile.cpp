// The recording file: 500 lines of nine integers, each followed by a blank,
// CR LF line ends, line n holding sample n - 1 (line 1 the oldest).
#include "trends/rules.h"

#include <limits>

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
    QString why;
    const bool written = files::writeWhole(path, recordingBytes(h), &why);
    if (!written && error) *error = why;
    return written;
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
    while (!bytes.isEmpty() && wantsMore()) {
        bool ended = false;
        bytes = bytes.sliced(splitter_.feed(bytes, &ended));
        if (splitter_.truncated()) {
            // Far longer than any recording line: refused at once.
            invalid_ = true;
            return false;
        }
        if (ended) endLine(splitter_.line());
    }
    return wantsMore();
}

void RecordingParser::finish() {
    if (wantsMore() && splitter_.finish()) endLine(splitter_.line());
}

void RecordingParser::endLine(QByteArrayView line) {
    const std::array<qint32, kChannels> v = parseLine(line);
    for (int c = 0; c < kChannels; ++c) {
        h_[size_t(c)][size_t(lines_)] = v[size_t(c)];
        if (v[size_t(c)] == -1) invalid_ = true;
    }
    ++lines_;
}

bool RecordingFile::open(const QString& path) {
    return file_.open(path);
}

bool RecordingFile::read(History& h, bool* invalid) {
    RecordingParser parser(h);
    char buf[64 * 1024];
    bool ok = true;
    while (parser.wantsMore()) {
        const qint64 got = file_.read(buf, sizeof buf);
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0) {
            parser.finish();
            break;
        }
        parser.feed(QByteArrayView(buf, got));
    }
    if (invalid) *invalid = parser.invalid();
    return ok;
}

} // namespace recorder

// The recording-file reader: any bytes as a *.rej file, parsed in one piece,
// in pieces of the input's choosing, and read by RecordingFile from a real
// file.
//
// Checked: how the bytes are cut into pieces never changes the outcome (the
// history, the line count, invalid or not); the file reader agrees; every
// field parses as a plain model of a signed 32-bit decimal does; a valid
// recording has no -1 in it (a short one is padded with zeros), and written
// out again it reads back as the same history, all 500 lines of it.
#include "fuzz/support.h"
#include "trends/rules.h"

#include <climits>
#include <memory>

namespace {

using recorder::History;

struct Outcome {
    std::unique_ptr<History> history = std::make_unique<History>();
    bool invalid = false;
    int lines = 0;
    Outcome() { recorder::clearHistory(*history); }
};

// The model of one field: an optional sign, then one or more digits, within 32 bits.
qint32 modelField(QByteArrayView f) {
    qsizetype i = 0;
    const bool negative = !f.empty() && f[0] == '-';
    if (!f.empty() && (f[0] == '-' || f[0] == '+')) ++i;
    if (i == f.size()) return -1;
    long long v = 0;
    for (; i < f.size(); ++i) {
        if (f[i] < '0' || f[i] > '9') return -1;
        v = v * 10 + (f[i] - '0');
        if (v > 1LL << 32) v = 1LL << 32; // far beyond either end
    }
    if (negative) v = -v;
    return v < INT_MIN || v > INT_MAX ? -1 : qint32(v);
}

Outcome parse(const QByteArray& file, const QList<qsizetype>& cuts) {
    Outcome o;
    recorder::RecordingParser parser(*o.history);
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        cut = std::clamp(cut, from, qsizetype(file.size()));
        if (!parser.feed(QByteArrayView(file).sliced(from, cut - from))) FUZZ_CHECK(!parser.wantsMore());
        from = cut;
    }
    parser.feed(QByteArrayView(file).sliced(from));
    parser.finish();
    o.invalid = parser.invalid();
    o.lines = parser.lines();
    return o;
}

bool same(const Outcome& a, const Outcome& b) {
    return a.invalid == b.invalid && a.lines == b.lines && *a.history == *b.history;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte sets how the rest is cut into pieces.
    const int step = 1 + data[0];
    const QByteArray file(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    for (const QByteArray& field : file.first(std::min<qsizetype>(file.size(), 64)).split(' '))
        FUZZ_CHECK(recorder::parseField(field) == modelField(field));

    const Outcome whole = parse(file, {});
    QList<qsizetype> cuts;
    for (qsizetype at = step; at < file.size(); at += step + (at % 7))
        cuts << at;
    FUZZ_CHECK(same(whole, parse(file, cuts)));
    QList<qsizetype> bytes;
    for (qsizetype at = 1; at < std::min<qsizetype>(file.size(), 4096); ++at)
        bytes << at;
    FUZZ_CHECK(same(whole, parse(file, bytes)));

    {
        const QString path = fuzz::writeScratch("recording.rej", data + 1, size - 1);
        Outcome read;
        recorder::RecordingFile f;
        FUZZ_CHECK(f.open(path));
        FUZZ_CHECK(f.read(*read.history, &read.invalid));
        FUZZ_CHECK(read.invalid == whole.invalid && *read.history == *whole.history);
    }

    FUZZ_CHECK(whole.lines <= recorder::kSamples);
    if (!whole.invalid) {
        for (const auto& channel : *whole.history)
            for (qint32 v : channel)
                FUZZ_CHECK(v != -1);
        const QByteArray written = recorder::recordingBytes(*whole.history);
        const Outcome back = parse(written, {});
        FUZZ_CHECK(!back.invalid && back.lines == recorder::kSamples && *back.history == *whole.history);
    }
    return 0;
}

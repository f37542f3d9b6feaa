// The setpoint-file reader: any bytes as a *.vrk file, read through
// readBoundedLines from a device that hands them over in pieces of the
// input's choosing, through readSetpointFile from a real file, and then
// loaded into the table.
//
// Checked: the lines are those of a plain model of the format (CR LF, LF and
// a lone CR each end a line; bytes past the limit are skipped; a last line
// without an end counts), whatever the pieces; the file reader gives the
// same; a load either keeps all fourteen texts or empties them all, and a
// kept table passes every check and gives register values the relay takes
// (0..65535), which shown again read back as the same numbers; and turning
// any texts at all into register values is defined behaviour.
#include "fuzz/support.h"
#include "setpoints/rules.h"
#include "setpoints/setpointfile.h"

#include <QBuffer>
#include <QIODevice>

#include <cmath>

namespace {

// Hands its bytes over at most `piece` at a time.
class TricklingDevice : public QIODevice {
public:
    TricklingDevice(const QByteArray& bytes, qint64 piece) : bytes_(bytes), piece_(piece) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 max) override {
        const qint64 n = std::min({max, piece_, qint64(bytes_.size()) - pos_});
        std::memcpy(data, bytes_.constData() + pos_, size_t(n));
        pos_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes_;
    qint64 piece_;
    qint64 pos_ = 0;
};

QStringList modelLines(const QByteArray& file, int maxLines, int maxLineBytes) {
    QStringList out;
    QByteArray line;
    bool inLine = false;
    for (qsizetype i = 0; i < file.size() && out.size() < maxLines; ++i) {
        const char c = file[i];
        if (c == '\r' || c == '\n') {
            out << QString::fromLatin1(line);
            line.clear();
            inLine = false;
            if (c == '\r' && i + 1 < file.size() && file[i + 1] == '\n') ++i;
            continue;
        }
        inLine = true;
        if (line.size() < maxLineBytes) line.append(c);
    }
    if (inLine && out.size() < maxLines) out << QString::fromLatin1(line);
    return out;
}

void checkLoad(const QStringList& lines) {
    // The write takes the grid's texts as they are when it starts; whatever
    // they hold, turning them into register values must be defined.
    (void)setpoints::writeValues(lines);
    const QStringList cells = setpoints::tableAfterLoad(lines);
    FUZZ_CHECK(cells.size() == setpoints::kRows);
    bool kept = true, empty = true;
    for (int r = 0; r < setpoints::kRows; ++r) {
        kept = kept && cells[r] == lines.value(r);
        empty = empty && cells[r].isEmpty();
    }
    FUZZ_CHECK(kept || empty);
    if (!kept || empty) return;
    FUZZ_CHECK(setpoints::invalidParameters(cells).isEmpty());
    const int variant = setpoints::variantOf(cells);
    FUZZ_CHECK(variant >= 1 && variant <= 3);
    const auto values = setpoints::writeValues(cells);
    for (int r = 0; r < setpoints::kWrittenRows; ++r) {
        const int raw = values[size_t(r)];
        FUZZ_CHECK(raw >= 0 && raw <= 65535);
        // Read back from the relay, the value shows as the number that was loaded.
        const std::optional<QString> shown = setpoints::textFromRaw(r, raw, variant);
        FUZZ_CHECK(shown.has_value());
        const std::optional<double> a = setpoints::parseDecimal(*shown);
        const std::optional<double> b = setpoints::parseDecimal(cells[r]);
        FUZZ_CHECK(a.has_value() && b.has_value());
        FUZZ_CHECK(std::fabs(*a - *b) <= 1e-9 * std::max(1.0, std::fabs(*b)));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    // Three bytes of set-up, the rest is the file.
    const qint64 piece = 1 + data[0];
    const int maxLines = data[1] % 20;
    const int maxLineBytes = data[2] % 40;
    const QByteArray file(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));

    QStringList lines;
    {
        TricklingDevice device(file, piece);
        FUZZ_CHECK(setpoints::readBoundedLines(device, maxLines, maxLineBytes, &lines));
        FUZZ_CHECK(lines == modelLines(file, maxLines, maxLineBytes));
    }
    {
        QBuffer buffer;
        buffer.setData(file);
        buffer.open(QIODevice::ReadOnly);
        FUZZ_CHECK(
            setpoints::readBoundedLines(buffer, setpoints::kFileLines, setpoints::kMaxLineBytes, &lines));
        FUZZ_CHECK(lines == modelLines(file, setpoints::kFileLines, setpoints::kMaxLineBytes));
    }
    const QString path = fuzz::writeScratch("setpoints.vrk", data + 3, size - 3);
    const setpoints::SetpointFileRead r = setpoints::readSetpointFile(path);
    // A line longer than a setpoint line can be, among the fourteen read, refuses the file.
    bool tooLong = false;
    for (const QString& l : modelLines(file, setpoints::kFileLines, setpoints::kMaxLineBytes + 1))
        tooLong = tooLong || l.size() > setpoints::kMaxLineBytes;
    if (tooLong) {
        FUZZ_CHECK(!r.ok && r.lines.isEmpty() && !r.error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(r.ok);
    FUZZ_CHECK(r.lines == lines);
    checkLoad(r.lines);
    return 0;
}

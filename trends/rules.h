#pragma once
// The recorder's rules, over plain data: the nine sample channels and how a
// poll tick feeds them, the axis set-up of each selectable quantity, the
// points of a trace, and the recording file (*.rej) written and read.
#include <array>
#include <functional>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPointF>
#include <QString>

#include "files/files.h"

namespace recorder {

constexpr int kSamples = 500; // per channel; index 0 the oldest, 499 the newest
constexpr int kChannels = 9;  // numbered 1..9 like the selector items

using Channel = std::array<qint32, kSamples>;
// Channel c (1..9) at index c - 1; the same type as the main window's History.
using History = std::array<Channel, kChannels>;

// ---- sampling

void clearHistory(History& h);

// One sample of every channel from registers 1..12 as the poll left them
// (regs[0] is register 1; the currents are already cut below 10 %):
// registers 1..8 as they are, register 9 (power in tens of watts) times 10.
std::array<qint32, kChannels> sampleFromRegisters(const std::array<int, 12>& regs);

// Moves every channel one place towards index 0, dropping the oldest sample,
// and puts the new samples at index 499.
void appendSample(History& h, const std::array<qint32, kChannels>& sample);

// ---- selection and axes

// The channel a selector item chooses, or nullptr for item 0 ("---") and any
// item outside 1..9.
const Channel* channelForItem(const History& h, int item);

struct AxisSetup {
    int titleLabel;     // hidden language label holding the title; 0 = none
    QString fixedTitle; // used when titleLabel is 0 ("" or the cos φ title)
    int maximum;        // the minimum is always 0
};
// The axis of a trace by the item chosen for it.
AxisSetup axisSetup(int item);
// The axis title, reading a language label through labelText(number).
QString axisTitle(int item, const std::function<QString(int)>& labelText);

// The 500 points of a trace: x is the sample index, y the sample.
QList<QPointF> tracePoints(const Channel& samples);

// ---- recording file

// The filter of the recording dialogs.
QString recordingFilter();

// The bytes of a recording: 500 lines, line n holding index n - 1 of the nine
// channels, each value followed by one blank, every line ended by CR LF.
QByteArray recordingBytes(const History& h);

// The name a recording is saved under: ".rej" appended unless the chosen
// name already ends with it (in any letter case).
QString recordingSaveName(const QString& chosen);

// Writes the recording atomically: the file appears complete or not at all,
// and a failure leaves any earlier file of that name as it was.
bool writeRecording(const QString& path, const History& h, QString* error);

// One field as a whole decimal number with an optional sign; an empty field,
// anything else in it, or a value outside 32 bits gives -1.
qint32 parseField(QByteArrayView field);

// The nine fields of one line: a field runs up to the next blank or the end
// of the line, and the blank that ends it is skipped; fields missing at the
// end of the line are empty (-1), anything after the ninth is ignored.
std::array<qint32, kChannels> parseLine(QByteArrayView line);

// Reads a recording from bytes as they arrive, line by line, keeping at most
// one line of kMaxLine bytes. CR LF, LF and a lone CR each end a line. Lines
// fill the history from index 0; any field that reads as -1 makes the whole
// recording invalid, and so does a line longer than kMaxLine bytes (a true
// recording line is about a hundred bytes). Input stops being wanted after
// the 500th line or at the first invalid line: nothing later can change the
// outcome.
class RecordingParser {
public:
    static constexpr int kMaxLine = 4096;

    // The history is filled in place; the caller clears it first.
    explicit RecordingParser(History& into) : h_(into) {}
    // Takes the next bytes; false once no more input is wanted.
    bool feed(QByteArrayView bytes);
    // The input has ended: a last line without a line end still counts.
    void finish();

    bool wantsMore() const { return !invalid_ && lines_ < kSamples; }
    bool invalid() const { return invalid_; }
    int lines() const { return lines_; }

private:
    void endLine(QByteArrayView line);
    History& h_;
    files::LineSplitter splitter_{files::LineEnds::Any, kMaxLine};
    bool invalid_ = false;
    int lines_ = 0;
};

// A recording file opened for reading. Only a regular file is accepted; the
// open never waits (a FIFO or a device is refused, not opened for good).
class RecordingFile {
public:
    RecordingFile() = default;
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    bool open(const QString& path);
    // Reads the recording into h (already cleared) in chunks; false when the
    // file fails while being read. invalid tells whether it was refused.
    bool read(History& h, bool* invalid);
    void close() { file_.close(); }
    QString errorString() const { return file_.errorString(); }

private:
    files::ReadFile file_;
};

} // namespace recorder

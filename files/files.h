#pragma once
// The program's files (vrk.ini, the language files, setpoint files and
// recordings), read and written without trusting what lies on the disk:
// - a file is opened for reading only when it is a regular file, and the
//   open never waits (a FIFO, a device, a folder, a link to nothing are
//   refused with the reason);
// - lines are read one at a time, each cut to a bounded length, by the
//   line-end rule of the file's format;
// - a file is written whole through a temporary file beside it, good only
//   after the data is flushed and the new file committed; where the folder
//   allows no new file, an existing file is written in place instead, and a
//   failure says that the file may be incomplete.
#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace files {

// Longest line kept; the rest of a longer line is skipped without being stored.
constexpr int kMaxLineBytes = 4096;

// Where a line ends.
enum class LineEnds {
    Lf,       // at LF; a CR right before it belongs to the end, any other CR stays in the line
    LfDropCr, // at LF; every CR is dropped
    Any,      // at CR LF, at a bare LF and at a bare CR
};

// Splits bytes into lines as they arrive. A last line without an end still
// counts when anything of it was seen (with Any: anything but line ends).
class LineSplitter {
public:
    explicit LineSplitter(LineEnds ends, int maxLineBytes = kMaxLineBytes);
    // Takes bytes from data up to and including the end of the next line and
    // returns how many it took; *ended tells whether a line ended, which
    // line() and truncated() then describe until the next call.
    qsizetype feed(QByteArrayView data, bool* ended);
    // The input is over: true when a last line without an end remains, which
    // line() and truncated() then describe.
    bool finish();
    // Forgets everything seen: the next byte starts a first line.
    void reset();
    const QByteArray& line() const { return line_; }
    // Bytes of the line were skipped: it is longer than maxLineBytes. Set as
    // soon as the first byte is skipped, before the line ends.
    bool truncated() const { return cut_; }

private:
    void keep(char c);
    void startLine();

    LineEnds ends_;
    int maxLineBytes_;
    QByteArray line_;
    bool cut_ = false;
    bool any_ = false;       // something of this line was seen
    bool pendingCr_ = false; // Lf: a CR whose meaning depends on the next byte
    bool afterCr_ = false;   // Any: the last line ended with CR, so an LF now belongs to it
    bool ended_ = false;     // the last call ended a line
};

// A regular file opened for reading.
class ReadFile {
public:
    ReadFile() = default;
    ReadFile(const ReadFile&) = delete;
    ReadFile& operator=(const ReadFile&) = delete;

    // Anything but a regular file is refused (false, errorString()).
    bool open(const QString& path);
    // Up to maxSize bytes; 0 at the end of the file, -1 on a read error
    // (errorString()).
    qint64 read(char* data, qint64 maxSize);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    bool hasError() const { return !error_.isEmpty(); }
    QString errorString() const { return error_; }

private:
    QFile file_;
    QString path_;
    QString error_;
    qint64 done_ = 0; // bytes read so far
};

// Reads a file line by line by a line-end rule; each line cut to a bounded length.
class LineReader {
public:
    explicit LineReader(LineEnds ends, int maxLineBytes = kMaxLineBytes);
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // For a format whose lines are bounded: a line longer than maxLineBytes
    // ends the reading with an error (hasError()) as soon as it is seen,
    // instead of being cut and searched to its end.
    void refuseLongLines() { refuseLongLines_ = true; }

    bool open(const QString& path);
    // The next line without its end. False at the end of the file (and after
    // it), or on a read error (hasError()). *truncated tells whether the line was cut.
    bool readLine(QByteArray* line, bool* truncated = nullptr);
    bool hasError() const { return file_.hasError() || !error_.isEmpty(); }
    QString errorString() const { return error_.isEmpty() ? file_.errorString() : error_; }
    void close() { file_.close(); }

private:
    bool fill();
    bool tooLong(QByteArray* line);

    LineSplitter splitter_;
    int maxLineBytes_;
    bool refuseLongLines_ = false;
    qint64 lines_ = 0; // lines read so far
    QString path_;
    QString error_;
    ReadFile file_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool atEnd_ = false;
};

// True when the folder holds an entry of that name, whatever it is (a
// symbolic link that leads nowhere included).
bool entryExists(const QString& path);

// Replaces the file with the data: on any failure the previous file stays as
// it was, except in the in-place case described above. Refuses (false,
// *error) to write over anything but a regular file, and through a symbolic
// link that leads nowhere.
bool writeWhole(const QString& path, const QByteArray& data, QString* error);

// A system's reason for a failed file operation (as the toolkit gives it) in
// the program's own words in the user's language, for the common reasons (no
// space, read-only disk, permission, size limit...); any other as it is.
QString reasonInOwnWords(const QString& systemText);

// Call once at start: a write beyond the process's file-size limit (ulimit -f)
// then fails and is reported like a full disk instead of ending the program.
void reportFileSizeLimitAsError();

namespace testing {
// While set, no temporary file can be made beside a file being written, as in
// a folder where no new file may be created.
void refuseTemporaryFiles(bool refuse);
// From now on every file opened for reading fails with an input/output error
// once this many bytes of it were read (-1: never), as a failing disk does.
void failReadsAfter(qint64 bytes);
} // namespace testing

} // namespace files

namespace files {

// A file written a piece at a time for as long as it stays open (a log): each
// piece goes to the disk at once, unbuffered, and a piece that does not fit
// whole (a full disk, a size limit) is a failure, said in the user's language.
class AppendFile {
public:
    AppendFile() = default;
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Creates the file, or empties an existing regular file; anything else
    // (a folder, a device, a link to nothing) is refused.
    bool open(const QString& path, QString* error);
    bool write(const QByteArray& data, QString* error);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    // The bytes written so far.
    qint64 size() const { return size_; }
    QString path() const { return path_; }

private:
    QFile file_;
    QString path_;
    qint64 size_ = 0;
};

// Adds data at the end of the file at path, never touching what is there (a
// record kept for good, written by more than one program): the file is made
// when missing, with ifNew before the data; the data goes to the disk at once
// (flushed and synced) in one write, and a piece that does not fit whole is
// taken back and is a failure, said in *error in the user's language.
// Anything but a regular file (a folder, a device, a link to nothing) is refused.
bool appendToFile(const QString& path, const QByteArray& data, const QByteArray& ifNew, QString* error);

} // namespace files

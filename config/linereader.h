#pragma once
// Reading and writing the program's small text files (vrk.ini and the
// language files) without trusting them: a reader that takes only the lines
// it is asked for, each cut to a bounded length, and refuses anything that is
// not a regular file before it could block on it; and a writer that replaces
// a file whole or not at all.
#include <QByteArray>
#include <QFile>
#include <QString>

namespace textfiles {

// Longest line kept; the rest of a longer line is skipped without being stored.
constexpr int kMaxLineBytes = 4096;

// What a CR that is not followed by LF means.
enum class LoneCr {
    Kept,    // it stays in the line as an ordinary character
    Dropped, // it is removed
};

// Reads a file line by line. A line ends at LF; a CR right before that LF
// belongs to the line end. A last line without LF still counts.
class LineReader {
public:
    explicit LineReader(LoneCr loneCr, int maxLineBytes = kMaxLineBytes);
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens a regular file for reading. Directories, FIFOs, devices and
    // names that resolve to nothing are refused (false, errorString()); a
    // FIFO is never opened in a way that could wait for a writer.
    bool open(const QString& path);
    // The next line without its end. False at the end of the file, or on a
    // read error (hasError()). *truncated tells whether the line was cut.
    bool readLine(QByteArray* line, bool* truncated = nullptr);
    bool hasError() const { return !error_.isEmpty(); }
    QString errorString() const { return error_; }
    void close() { file_.close(); }

private:
    bool fill();

    LoneCr loneCr_;
    int maxLineBytes_;
    QFile file_;
    QString path_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool eof_ = false;
    QString error_;
};

// True when the directory holds an entry of that name, whatever it is
// (a dangling symbolic link included).
bool entryExists(const QString& path);

// Replaces the file with the data, atomically: on any failure the previous
// file stays as it was. Refuses (false, *error) to write over anything but a
// regular file, and through a symbolic link that leads nowhere.
bool writeWhole(const QString& path, const QByteArray& data, QString* error);

} // namespace textfiles

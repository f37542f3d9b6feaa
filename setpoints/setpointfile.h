#pragma once
// The setpoint file (*.vrk): the fourteen value texts of the table, one per
// line, each ended by CR LF, no header. Reading is bounded: at most fourteen
// lines of at most kMaxLineBytes (a longer line refuses the file), and only
// regular files are opened.
#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

namespace setpoints {

constexpr int kFileLines = 14;
constexpr int kMaxLineBytes = 4096;
inline const QString kSaveFilter =
    QStringLiteral("Pliki z nastawami   (*.vrk )|*.vrk|Wszystkie pliki  (*.*)|*.*");
inline const QString kOpenFilter = QStringLiteral("Pliki nastaw (*.vrk)|*.vrk|Wszystkie pliki (*.*)|*.*");

// The file's bytes for the fourteen value texts (missing ones are empty lines).
QByteArray setpointFileBytes(const QStringList& cells);
// The chosen name with ".vrk" appended, unless it already ends with it (any case).
QString withSetpointExtension(const QString& chosen);

// Writes the file in one piece: either the whole new file is in place, or the
// old one is left as it was. On failure *error holds the message.
bool writeSetpointFile(const QString& path, const QStringList& cells, QString* error);

// Reads up to maxLines lines from the device. A line ends at CR LF, at a bare
// LF or at a bare CR; bytes beyond maxLineBytes in one line are skipped.
// Texts are taken byte for byte (Latin-1). False on a read error.
bool readBoundedLines(QIODevice& device, int maxLines, int maxLineBytes, QStringList* lines);

struct SetpointFileRead {
    bool ok = false;
    QString error;     // why the file could not be read
    QStringList lines; // up to kFileLines texts, fewer when the file is shorter
};
// The value column after a load: line k in row k-1 (missing lines empty);
// when any parameter then fails its check, all fourteen cells are empty.
QStringList tableAfterLoad(const QStringList& lines);

// Opens only a regular file (a directory, FIFO or device is refused at once,
// without waiting on it) and reads its first fourteen lines; a line longer
// than kMaxLineBytes refuses the file as soon as it is seen (a file without
// line ends is not searched to its end). What follows line 14 is not read.
SetpointFileRead readSetpointFile(const QString& path);

} // namespace setpoints

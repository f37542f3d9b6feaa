#pragma once
// The language files pol.lng, ang.lng and rus.lng: 90 lines of single-byte
// text, one text per line, the line's position its only key. Polish and
// English are in code page 1250, Russian in code page 1251. The program
// carries the default texts and writes a file whenever it is missing.
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include "files/files.h"

#include <array>

namespace languages {

constexpr int kLineCount = 90;

enum Language : int { Polish = 0, English = 1, Russian = 2 };

// The language of a language-selection index: 1 English, 2 Russian, anything
// else (no selection included) Polish.
Language fromIndex(int index);

QString fileName(Language language); // "pol.lng", "ang.lng", "rus.lng"
// The code page of the file's text, as the converter names it.
const char* codePage(Language language); // "windows-1250" or "windows-1251"
// The font character set the language's texts are drawn in.
int fontCharset(Language language); // 238 Central European, 204 Cyrillic

// The built-in text of a line (1..90).
QString builtInText(Language language, int line);
QStringList builtInTexts(Language language);

// Texts in the file's code page: lines separated by CR LF, and one CR LF after the last.
QByteArray encodeFile(Language language, const QStringList& lines);
// The file the program writes when it is missing.
QByteArray defaultFile(Language language);

// Missing files are written in this order.
constexpr std::array<Language, 3> kWriteOrder = {Russian, Polish, English};

// Writes every language file that has no entry in the current directory with
// its built-in text; a file that is there is never opened, whatever it holds.
// Stops at the first file that cannot be written (false, *error).
bool writeMissingFiles(QString* error);

// Reads a language file one line at a time: at most 90 lines, each cut to a
// bounded length; a bare LF also ends a line and a CR not followed by LF is
// dropped; after the end of the file every further line reads as empty.
class FileReader {
public:
    explicit FileReader(Language language);
    // False when the file cannot be opened (errorString()); anything but a
    // regular file is refused.
    bool open(const QString& path);
    // The text of the next line, decoded from the language's code page.
    // False on a read error (errorString()).
    bool readLine(QString* text);
    QString errorString() const { return reader_.errorString(); }

private:
    files::LineReader reader_;
    QStringDecoder decoder_;
    const char* page_; // for a Qt whose decoder_ does not know the code page
    bool ended_ = false;
};

struct ReadResult {
    QStringList lines; // 90 texts when ok
    bool ok = false;
    QString error;
};
// All 90 lines of a file at once.
ReadResult readFile(const QString& path, Language language);

namespace detail {
struct BuiltInLine {
    const char* polish;
    const char* english;
    const char* russian;
};
extern const BuiltInLine kBuiltIn[kLineCount];
} // namespace detail

} // namespace languages

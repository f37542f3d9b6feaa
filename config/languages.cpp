#include "config/languages.h"

#include "config/codepage.h"

#include <QStringEncoder>

namespace languages {

Language fromIndex(int index) {
    if (index == 1) return English;
    if (index == 2) return Russian;
    return Polish;
}

QString fileName(Language language) {
    switch (language) {
    case English:
        return QStringLiteral("ang.lng");
    case Russian:
        return QStringLiteral("rus.lng");
    default:
        return QStringLiteral("pol.lng");
    }
}

const char* codePage(Language language) {
    return language == Russian ? "windows-1251" : "windows-1250";
}

int fontCharset(Language language) {
    return language == Russian ? 204 : 238;
}

QString builtInText(Language language, int line) {
    if (line < 1 || line > kLineCount) return {};
    const detail::BuiltInLine& l = detail::kBuiltIn[line - 1];
    return QString::fromUtf8(language == English ? l.english : language == Russian ? l.russian : l.polish);
}

QStringList builtInTexts(Language language) {
    QStringList out;
    for (int line = 1; line <= kLineCount; ++line)
        out << builtInText(language, line);
    return out;
}

QByteArray encodeFile(Language language, const QStringList& lines) {
    QStringEncoder encoder(codePage(language));
    QByteArray out;
    for (const QString& line : lines) {
        // A Qt without ICU (Windows) has no converter for the code page.
        const QByteArray bytes =
            encoder.isValid() ? QByteArray(encoder.encode(line)) : codepage::encode(codePage(language), line);
        out += bytes;
        out += "\r\n";
    }
    return out;
}

QByteArray defaultFile(Language language) {
    return encodeFile(language, builtInTexts(language));
}

bool writeMissingFiles(QString* error) {
    for (Language language : kWriteOrder) {
        const QString name = fileName(language);
        if (files::entryExists(name)) continue;
        if (!files::writeWhole(name, defaultFile(language), error)) return false;
    }
    return true;
}

FileReader::FileReader(Language language)
    : reader_(files::LineEnds::LfDropCr), decoder_(codePage(language)), page_(codePage(language)) {}

bool FileReader::open(const QString& path) {
    ended_ = false;
    return reader_.open(path);
}

bool FileReader::readLine(QString* text) {
    text->clear();
    if (ended_) return true;
    QByteArray bytes;
    if (reader_.readLine(&bytes)) {
        const QString decoded =
            decoder_.isValid() ? QString(decoder_.decode(bytes)) : codepage::decode(page_, bytes);
        *text = decoded;
        return true;
    }
    if (reader_.hasError()) return false;
    ended_ = true;
    reader_.close();
    return true;
}

ReadResult readFile(const QString& path, Language language) {
    ReadResult r;
    FileReader reader(language);
    if (!reader.open(path)) {
        r.error = reader.errorString();
        return r;
    }
    QString text;
    for (int line = 1; line <= kLineCount; ++line) {
        if (!reader.readLine(&text)) {
            r.error = reader.errorString();
            return r;
        }
        r.lines << text;
    }
    r.ok = true;
    return r;
}

} // namespace languages

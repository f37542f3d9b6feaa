// The language-file reader: any bytes as pol.lng / ang.lng / rus.lng, read
// by languages::readFile from a real file in the language's code page.
//
// Checked: exactly 90 texts; text k is line k of the file as the format
// splits it (LF ends a line, every CR is dropped, 4096 bytes kept), decoded
// from the code page one character a byte, and empty past the file's end;
// writing the texts back with encodeFile and reading that gives the same
// texts wherever the code page can hold them.
#include "config/languages.h"
#include "files/files.h"
#include "fuzz/support.h"

#include <QStringDecoder>

namespace {

QList<QByteArray> modelLines(const QByteArray& file, int maxLines) {
    QList<QByteArray> out;
    qsizetype from = 0;
    while (from < file.size() && out.size() < maxLines) {
        qsizetype end = file.indexOf('\n', from);
        if (end < 0) end = file.size();
        QByteArray line = file.mid(from, end - from);
        line.replace("\r", "");
        line.truncate(files::kMaxLineBytes);
        out.append(line);
        from = end + 1;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    FUZZ_CHECK(QStringDecoder(languages::codePage(languages::Polish)).isValid());
    FUZZ_CHECK(QStringDecoder(languages::codePage(languages::Russian)).isValid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = fuzz::writeScratch("lang.lng", data, size);
    const QList<QByteArray> model = modelLines(file, languages::kLineCount);

    for (languages::Language language : {languages::Polish, languages::English, languages::Russian}) {
        const languages::ReadResult r = languages::readFile(path, language);
        FUZZ_CHECK(r.ok);
        FUZZ_CHECK(r.lines.size() == languages::kLineCount);
        QStringDecoder decoder(languages::codePage(language));
        bool encodable = true;
        for (int k = 0; k < languages::kLineCount; ++k) {
            const QString& text = r.lines[k];
            if (k >= model.size()) {
                FUZZ_CHECK(text.isEmpty());
                continue;
            }
            // Single-byte code pages: one character a byte.
            FUZZ_CHECK(text.size() == model[k].size());
            FUZZ_CHECK(text == QString(decoder.decode(model[k])));
            if (text.contains(QChar::ReplacementCharacter)) encodable = false;
        }
        if (!encodable) continue;
        const QByteArray written = languages::encodeFile(language, r.lines);
        const QString again = fuzz::writeScratch(
            "again.lng", reinterpret_cast<const uint8_t*>(written.constData()), size_t(written.size()));
        const languages::ReadResult back = languages::readFile(again, language);
        FUZZ_CHECK(back.ok);
        FUZZ_CHECK(back.lines == r.lines);
    }
    return 0;
}

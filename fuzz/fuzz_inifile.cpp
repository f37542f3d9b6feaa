// The vrk.ini reader: any bytes as the file, read by ini::readFile from a
// real file and applied to the settings, and the line reader under it.
//
// Checked: the reader gives the file's first seven lines, split and cut the
// way a plain model of the format does (LF ends a line, a CR right before it
// belongs to the line end, any other CR stays, 4096 bytes kept of a line);
// the line reader agrees with the same model for short limits and for the
// CR-dropping mode of the language files; applying the lines gives only
// selections a dialog can show; and what OK would write back for them reads
// back as the same selections.
#include "config/inifile.h"
#include "files/files.h"
#include "fuzz/support.h"

#include <QList>

namespace {

struct ModelLine {
    QByteArray text;
    bool truncated;
};

// The lines as the format defines them, at most maxLines of them.
QList<ModelLine> modelLines(const QByteArray& file, files::LineEnds loneCr, int maxLineBytes, int maxLines) {
    QList<ModelLine> out;
    qsizetype from = 0;
    while (from < file.size() && out.size() < maxLines) {
        qsizetype end = file.indexOf('\n', from);
        const bool ended = end >= 0;
        if (!ended) end = file.size();
        QByteArray line = file.mid(from, end - from);
        if (ended && line.endsWith('\r')) line.chop(1);
        if (loneCr == files::LineEnds::LfDropCr) line.replace("\r", "");
        const bool cut = line.size() > maxLineBytes;
        if (cut) line.truncate(maxLineBytes);
        out.append({line, cut});
        from = end + 1;
    }
    return out;
}

void checkLineReader(const QString& path, const QByteArray& file, files::LineEnds loneCr, int maxLineBytes) {
    const QList<ModelLine> model = modelLines(file, loneCr, maxLineBytes, 1 << 30);
    files::LineReader reader(loneCr, maxLineBytes);
    FUZZ_CHECK(reader.open(path));
    QByteArray line;
    bool truncated = false;
    qsizetype k = 0;
    while (reader.readLine(&line, &truncated)) {
        FUZZ_CHECK(k < model.size());
        FUZZ_CHECK(line == model[k].text);
        FUZZ_CHECK(truncated == model[k].truncated);
        ++k;
    }
    FUZZ_CHECK(!reader.hasError());
    FUZZ_CHECK(k == model.size());
    // After the end, it stays at the end.
    FUZZ_CHECK(!reader.readLine(&line));
}

bool selectable(const ini::Selections& s) {
    return s.port >= 0 && s.port < ini::kPortCount && s.speed >= 0 && s.speed < 4 && s.parity >= 0 &&
           s.parity < 3 && s.address >= -1 && s.address < ini::kAddressCount && s.stopBits >= 0 &&
           s.stopBits < 2 && s.dataBits >= 0 && s.dataBits < 2 && s.language >= 0 && s.language < 3;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = fuzz::writeScratch("vrk.ini", data, size);

    const ini::ReadResult r = ini::readFile(path);
    FUZZ_CHECK(r.ok);
    const QList<ModelLine> model =
        modelLines(file, files::LineEnds::Lf, files::kMaxLineBytes, ini::kLineCount);
    FUZZ_CHECK(r.lines.size() == model.size());
    for (qsizetype i = 0; i < model.size(); ++i)
        FUZZ_CHECK(r.lines[i] == QString::fromLatin1(model[i].text));

    // From the defaults and from a selection with nothing chosen in the address list.
    ini::Selections none;
    none.address = -1;
    none.language = 2;
    for (const ini::Selections& current : {ini::Selections{}, none}) {
        const ini::Selections s = ini::applyLines(r.lines, current);
        FUZZ_CHECK(selectable(s));
        // A file of the program's own reads back as what it was written from.
        const QStringList again = ini::lineTexts(s);
        FUZZ_CHECK(QString::fromLatin1(ini::fileText(s)) ==
                   again.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
        if (s.address >= 0) FUZZ_CHECK(ini::applyLines(again, none) == s);
    }

    // The line reader under it, with short limits and in both modes.
    const int limit = size > 0 ? 1 + data[0] % 64 : 1;
    checkLineReader(path, file, files::LineEnds::Lf, limit);
    checkLineReader(path, file, files::LineEnds::LfDropCr, limit);
    if (size > 0 && data[0] == 0xFF)
        checkLineReader(path, file, files::LineEnds::LfDropCr, files::kMaxLineBytes);
    return 0;
}

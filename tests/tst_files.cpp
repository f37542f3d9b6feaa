// The file module: each line-end rule, whatever pieces the bytes come in;
// what is refused for reading; reads that fail; and writes that must never
// leave a cut file in place of a good one, for the module itself and for
// each of the program's four writers, under a real file-size limit. The
// in-place fallback is checked in a folder that allows no new file, made so
// with the immutable flag (which stops the superuser too) and through the
// module's own switch where that flag cannot be set.
#include "config/inifile.h"
#include "config/languages.h"
#include "files/files.h"
#include "setpoints/setpointfile.h"
#include "trends/rules.h"

#include "filetestsupport.h"
#include "setpointtables.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using files::LineEnds;
using filetest::readBack;
using filetest::writeFile;

Q_DECLARE_METATYPE(files::LineEnds)

namespace {

enum class Writer { Ini, Language, Setpoints, Recording };
enum class NoNewFiles { ModuleSwitch, ImmutableFolder };

struct Written {
    QString name;     // the file the writer writes
    QByteArray bytes; // what it writes there
};

Written expected(Writer w) {
    switch (w) {
    case Writer::Ini:
        return {ini::fileName(), ini::fileText(ini::Selections{})};
    case Writer::Language:
        return {QStringLiteral("rus.lng"), languages::defaultFile(languages::Russian)};
    case Writer::Setpoints:
        return {QStringLiteral("table.vrk"), setpoints::setpointFileBytes(validTable())};
    case Writer::Recording:
        return {QStringLiteral("zeros.rej"), recorder::recordingBytes(recorder::History{})};
    }
    return {};
}

// Runs one of the program's writers in the current folder.
bool runWriter(Writer w, QString* error) {
    switch (w) {
    case Writer::Ini:
        return files::writeWhole(ini::fileName(), ini::fileText(ini::Selections{}), error);
    case Writer::Language:
        return languages::writeMissingFiles(error);
    case Writer::Setpoints:
        return setpoints::writeSetpointFile(QStringLiteral("table.vrk"), validTable(), error);
    case Writer::Recording:
        return recorder::writeRecording(QStringLiteral("zeros.rej"), recorder::History{}, error);
    }
    return false;
}

// The lines of the bytes as the splitter gives them, fed in pieces of `piece` bytes.
QByteArrayList split(const QByteArray& bytes, LineEnds ends, int max, int piece, QByteArray* cuts) {
    files::LineSplitter s(ends, max);
    QByteArrayList out;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        QByteArrayView rest = QByteArrayView(bytes).sliced(at, qMin<qsizetype>(piece, bytes.size() - at));
        while (!rest.isEmpty()) {
            bool ended = false;
            rest = rest.sliced(s.feed(rest, &ended));
            if (ended) {
                out << s.line();
                *cuts += s.truncated() ? '1' : '0';
            }
        }
    }
    if (s.finish()) {
        out << s.line();
        *cuts += s.truncated() ? '1' : '0';
    }
    return out;
}

} // namespace

class TstFiles : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void lineRules_data();
    void lineRules();
    void openRefuses_data();
    void openRefuses();
    void readFailsPartWay();

    void writersUnderSizeLimit_data();
    void writersUnderSizeLimit();
    void writeRefusesNonFiles_data();
    void writeRefusesNonFiles();
    void inPlaceFallback_data();
    void inPlaceFallback();
    void writersNeverFollowLinks_data();
    void writersNeverFollowLinks();
    void reasonsInOwnWords_data();
    void reasonsInOwnWords();

private:
    QTemporaryDir dir_;
    QString previous_;
};

void TstFiles::init() {
    previous_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    for (const QString& name :
         QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)) {
        const QFileInfo info(dir_.filePath(name));
        if (info.isDir() && !info.isSymLink())
            QDir(info.filePath()).removeRecursively();
        else
            QFile::remove(info.filePath());
    }
}

void TstFiles::cleanup() {
    files::testing::refuseTemporaryFiles(false);
    files::testing::failReadsAfter(-1);
    QDir::setCurrent(previous_);
}

void TstFiles::lineRules_data() {
    QTest::addColumn<LineEnds>("ends");
    QTest::addColumn<int>("max");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QByteArray>("cuts"); // '1' for each line that was cut
    const LineEnds lf = LineEnds::Lf, drop = LineEnds::LfDropCr, any = LineEnds::Any;
    // vrk.ini: LF ends a line, CR LF too, any other CR is text.
    QTest::newRow("Lf: CR LF and LF")
        << lf << 8 << QByteArray("a\r\nb\n") << QByteArrayList{"a", "b"} << QByteArray("00");
    QTest::newRow("Lf: lone CR stays")
        << lf << 8 << QByteArray("a\rb\n") << QByteArrayList{"a\rb"} << QByteArray("0");
    QTest::newRow("Lf: CR CR LF") << lf << 8 << QByteArray("a\r\r\n") << QByteArrayList{"a\r"}
                                  << QByteArray("0");
    QTest::newRow("Lf: CR-only ends")
        << lf << 8 << QByteArray("a\rb\r") << QByteArrayList{"a\rb\r"} << QByteArray("0");
    QTest::newRow("Lf: CR after the last LF")
        << lf << 8 << QByteArray("a\n\r") << QByteArrayList{"a", "\r"} << QByteArray("00");
    QTest::newRow("Lf: cut, then a last line")
        << lf << 4 << QByteArray("abcdefg\nxy") << QByteArrayList{"abcd", "xy"} << QByteArray("10");
    QTest::newRow("Lf: kept CR counts")
        << lf << 2 << QByteArray("a\rb\n") << QByteArrayList{"a\r"} << QByteArray("1");
    QTest::newRow("Lf: empty file") << lf << 8 << QByteArray() << QByteArrayList{} << QByteArray();
    QTest::newRow("Lf: one empty line")
        << lf << 8 << QByteArray("\n") << QByteArrayList{""} << QByteArray("0");
    // language files: LF ends a line, every CR goes.
    QTest::newRow("LfDropCr: CRs dropped")
        << drop << 8 << QByteArray("a\r\nb\rc\n\r") << QByteArrayList{"a", "bc", ""} << QByteArray("000");
    QTest::newRow("LfDropCr: CR-only ends")
        << drop << 8 << QByteArray("a\rb\r") << QByteArrayList{"ab"} << QByteArray("0");
    QTest::newRow("LfDropCr: cut") << drop << 3 << QByteArray("ab\rcd\n") << QByteArrayList{"abc"}
                                   << QByteArray("1");
    // setpoint files and recordings: CR LF, LF and a lone CR each end a line.
    QTest::newRow("Any: all three ends")
        << any << 8 << QByteArray("a\r\nb\nc\rd") << QByteArrayList{"a", "b", "c", "d"} << QByteArray("0000");
    QTest::newRow("Any: CR CR LF") << any << 8 << QByteArray("a\r\r\n") << QByteArrayList{"a", ""}
                                   << QByteArray("00");
    QTest::newRow("Any: LF CR") << any << 8 << QByteArray("a\n\rb") << QByteArrayList{"a", "", "b"}
                                << QByteArray("000");
    QTest::newRow("Any: no line after the last end")
        << any << 8 << QByteArray("a\r") << QByteArrayList{"a"} << QByteArray("0");
    QTest::newRow("Any: a lone CR") << any << 8 << QByteArray("\r") << QByteArrayList{""} << QByteArray("0");
    QTest::newRow("Any: cut") << any << 4 << QByteArray("abcdef\r\nxy\r\n") << QByteArrayList{"abcd", "xy"}
                              << QByteArray("10");
    QTest::newRow("Any: exactly the limit")
        << any << 4 << QByteArray("abcd\n") << QByteArrayList{"abcd"} << QByteArray("0");
}

void TstFiles::lineRules() {
    QFETCH(LineEnds, ends);
    QFETCH(int, max);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArray, cuts);
    // In one piece, byte by byte, and in pieces of three.
    for (int piece : {int(qMax<qsizetype>(1, bytes.size())), 1, 3}) {
        QByteArray gotCuts;
        QCOMPARE(split(bytes, ends, max, piece, &gotCuts), lines);
        QCOMPARE(gotCuts, cuts);
    }
    // From a file, with a last call that finds the end again.
    const QString path = dir_.filePath(QStringLiteral("lines.txt"));
    writeFile(path, bytes);
    files::LineReader reader(ends, max);
    QVERIFY(reader.open(path));
    QByteArrayList got;
    QByteArray gotCuts, line;
    bool cut = false;
    while (reader.readLine(&line, &cut)) {
        got << line;
        gotCuts += cut ? '1' : '0';
    }
    QVERIFY(!reader.hasError());
    QCOMPARE(got, lines);
    QCOMPARE(gotCuts, cuts);
    QVERIFY(!reader.readLine(&line));
}

void TstFiles::openRefuses_data() {
    QTest::addColumn<QString>("name"); // in the test folder, or an absolute path
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("FIFO without a writer") << QStringLiteral("fifo");
    QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero");
    QTest::newRow("dangling link") << QStringLiteral("dangling");
    QTest::newRow("no such file") << QStringLiteral("absent");
}

void TstFiles::openRefuses() {
    QFETCH(QString, name);
    QDir(dir_.path()).mkdir(QStringLiteral("folder"));
    QCOMPARE(::mkfifo(QFile::encodeName(dir_.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
    QVERIFY(QFile::link(dir_.filePath(QStringLiteral("nowhere")), dir_.filePath(QStringLiteral("dangling"))));
    const QString path = QDir(dir_.path()).filePath(name);
    files::ReadFile file;
    QVERIFY(!file.open(path));
    QVERIFY(file.errorString().contains(path));
    char c;
    QCOMPARE(file.read(&c, 1), qint64(-1));
    files::LineReader reader(LineEnds::Any);
    QVERIFY(!reader.open(path));
    QByteArray line;
    QVERIFY(!reader.readLine(&line));
}

void TstFiles::readFailsPartWay() {
    const QString path = dir_.filePath(QStringLiteral("ten.txt"));
    writeFile(path, "one\ntwo\nthree\nfour\n");
    files::testing::failReadsAfter(6);
    files::LineReader reader(LineEnds::Lf);
    QVERIFY(reader.open(path));
    QByteArray line;
    QVERIFY(reader.readLine(&line));
    QCOMPARE(line, QByteArray("one"));
    QVERIFY(!reader.readLine(&line)); // "tw", then the error: no half line
    QVERIFY(reader.hasError());
    QVERIFY(reader.errorString().contains(path));
    QVERIFY(!reader.readLine(&line));
}

void TstFiles::writersUnderSizeLimit_data() {
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<bool>("limited");
    const struct {
        Writer w;
        const char* name;
    } writers[] = {{Writer::Ini, "vrk.ini"},
                   {Writer::Language, "language file"},
                   {Writer::Setpoints, "setpoint file"},
                   {Writer::Recording, "recording under 16 KiB"}};
    for (const auto& w : writers) {
        QTest::newRow(qPrintable(QStringLiteral("%1, size limit").arg(QLatin1String(w.name)))) << w.w << true;
        QTest::newRow(qPrintable(QStringLiteral("%1, no limit").arg(QLatin1String(w.name)))) << w.w << false;
    }
}

void TstFiles::writersUnderSizeLimit() {
    QFETCH(Writer, writer);
    QFETCH(bool, limited);
    const Written w = expected(writer);
    // Smaller than the write buffer of the save: without the flush check a cut
    // file would be committed.
    QVERIFY(w.bytes.size() < 16 * 1024);
    const QByteArray old = "old contents\r\n";
    if (writer == Writer::Language) {
        // Only missing language files are written: the others stand by.
        writeFile(QStringLiteral("pol.lng"), old);
        writeFile(QStringLiteral("ang.lng"), old);
    } else {
        writeFile(w.name, old);
    }
    const QStringList before = QDir(dir_.path()).entryList(QDir::Files);
    QString error;
    bool ok = false;
    {
        std::optional<filetest::FileSizeLimit> limit;
        if (limited) {
            limit.emplace(old.size() + 2);
            QVERIFY(limit->ok());
        }
        ok = runWriter(writer, &error);
    }
    if (!limited) {
        QVERIFY2(ok, qPrintable(error));
        QCOMPARE(readBack(w.name), w.bytes);
        return;
    }
    QVERIFY(!ok);
    QVERIFY2(error.contains(w.name), qPrintable(error));
    // The program's own words for the reason, never "Unknown error".
    QVERIFY2(error.contains(QCoreApplication::translate(
                 "files", "the file would exceed the size limit set for this program")),
             qPrintable(error));
    if (writer == Writer::Language)
        QVERIFY(!QFileInfo::exists(w.name));
    else
        QCOMPARE(readBack(w.name), old);
    // Nothing else was left behind: no temporary file, no other file touched.
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), before);
    for (const QString& name : before)
        QCOMPARE(readBack(name), old);
}

void TstFiles::writeRefusesNonFiles_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("FIFO") << QStringLiteral("fifo");
    QTest::newRow("dangling link") << QStringLiteral("dangling");
    QTest::newRow("link to /dev/zero") << QStringLiteral("zero");
}

void TstFiles::writeRefusesNonFiles() {
    QFETCH(QString, name);
    QDir(dir_.path()).mkdir(QStringLiteral("folder"));
    QCOMPARE(::mkfifo("fifo", 0600), 0);
    QVERIFY(QFile::link(QStringLiteral("nowhere"), QStringLiteral("dangling")));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), QStringLiteral("zero")));
    const QStringList before =
        QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    QString error;
    // The fallback must not write through them either.
    for (bool refuse : {false, true}) {
        files::testing::refuseTemporaryFiles(refuse);
        QVERIFY(!files::writeWhole(dir_.filePath(name), "data\r\n", &error));
        QVERIFY(error.contains(name));
    }
    QCOMPARE(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), before);
    QVERIFY(!QFileInfo::exists(QStringLiteral("nowhere")));
}

void TstFiles::inPlaceFallback_data() {
    QTest::addColumn<NoNewFiles>("how");
    QTest::addColumn<QByteArray>("old"); // empty: no file there
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<qint64>("limit"); // file-size limit, 0: none
    QTest::addColumn<bool>("ok");
    const QByteArray longer = "Port: COM2\r\nPredkosc: 9600\r\nParzystosc: EVEN\r\nAdres: 100\r\n";
    const QByteArray shorter = "Port: COM1\r\n";
    const QByteArray same = "Port: COM1\r\nPredkosc: 4800\r\nParzystosc: NONE\r\nAdres: 3\r\n";
    const struct {
        NoNewFiles how;
        const char* name;
    } ways[] = {{NoNewFiles::ImmutableFolder, "immutable folder"},
                {NoNewFiles::ModuleSwitch, "module switch"}};
    for (const auto& w : ways) {
        auto row = [&](const char* what) {
            return QStringLiteral("%1: %2").arg(QLatin1String(w.name), QLatin1String(what)).toUtf8();
        };
        QTest::newRow(row("longer").constData()) << w.how << same << longer << qint64(0) << true;
        QTest::newRow(row("shorter").constData()) << w.how << same << shorter << qint64(0) << true;
        QTest::newRow(row("same size under a size limit").constData())
            << w.how << same << QByteArray(same).replace('3', '7') << qint64(same.size()) << true;
        QTest::newRow(row("longer than the size limit").constData())
            << w.how << same << longer << qint64(same.size()) << false;
        QTest::newRow(row("no file yet").constData())
            << w.how << QByteArray() << shorter << qint64(0) << false;
    }
}

void TstFiles::inPlaceFallback() {
    QFETCH(NoNewFiles, how);
    QFETCH(QByteArray, old);
    QFETCH(QByteArray, data);
    QFETCH(qint64, limit);
    QFETCH(bool, ok);
    const QString path = dir_.filePath(QStringLiteral("vrk.ini"));
    if (!old.isEmpty()) writeFile(path, old);
    const QStringList before = QDir(dir_.path()).entryList(QDir::Files);
    QString error;
    bool written = false;
    {
        std::optional<filetest::ImmutableFolder> immutable;
        if (how == NoNewFiles::ImmutableFolder) {
            immutable.emplace(dir_.path());
            QVERIFY2(immutable->ok(), "the immutable flag cannot be set on this file system");
            // Proof that the folder takes no new file, even from the superuser.
            QFile probe(dir_.filePath(QStringLiteral("probe")));
            QVERIFY(!probe.open(QIODevice::WriteOnly));
        } else {
            files::testing::refuseTemporaryFiles(true);
        }
        std::optional<filetest::FileSizeLimit> sizeLimit;
        if (limit > 0) sizeLimit.emplace(rlim_t(limit));
        written = files::writeWhole(path, data, &error);
    }
    QCOMPARE(written, ok);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), before);
    if (ok) {
        QVERIFY(error.isEmpty());
        QCOMPARE(readBack(path), data);
        return;
    }
    QVERIFY2(error.contains(path), qPrintable(error));
    if (old.isEmpty()) {
        QVERIFY(!QFileInfo::exists(path));
    } else {
        // Written in place and cut by the limit: said, not hidden.
        QVERIFY2(error.contains(QLatin1Char('\n')), qPrintable(error));
        QVERIFY(readBack(path) != data);
    }
}

void TstFiles::writersNeverFollowLinks_data() {
    QTest::addColumn<Writer>("writer"); // Writer::Language stands for the poll log's file here
    QTest::addColumn<bool>("outside");  // the link leads out of its folder
    const struct {
        Writer w;
        const char* name;
    } writers[] = {{Writer::Ini, "vrk.ini"},
                   {Writer::Setpoints, "setpoint file"},
                   {Writer::Recording, "recording"},
                   {Writer::Language, "log file"}};
    for (const auto& w : writers) {
        QTest::newRow(qPrintable(QStringLiteral("%1, link in its folder").arg(QLatin1String(w.name))))
            << w.w << false;
        QTest::newRow(qPrintable(QStringLiteral("%1, link out of its folder").arg(QLatin1String(w.name))))
            << w.w << true;
    }
}

// A save never writes through a symbolic link: one in its folder is replaced
// by the new file, one that leads elsewhere (a system file) is refused; what
// it leads to stays as it was.
void TstFiles::writersNeverFollowLinks() {
    QFETCH(Writer, writer);
    QFETCH(bool, outside);
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    const QString target =
        outside ? elsewhere.filePath(QStringLiteral("passwd")) : QStringLiteral("target.txt");
    const QByteArray old = "root:x:0:0\n";
    writeFile(target, old);
    const bool log = writer == Writer::Language;
    const Written w = log ? Written{QStringLiteral("poll.csv"), QByteArray("time;Ir\r\n")} : expected(writer);
    QVERIFY(QFile::link(target, w.name));
    QString error;
    bool ok = false;
    if (log) {
        files::AppendFile file;
        ok = file.open(w.name, &error) && file.write(w.bytes, &error);
        file.close();
    } else {
        ok = runWriter(writer, &error);
    }
    QCOMPARE(readBack(target), old);
    if (outside) {
        QVERIFY(!ok);
        QVERIFY2(error.contains(w.name) && error.contains(target), qPrintable(error));
        QVERIFY(QFileInfo(w.name).isSymLink());
    } else {
        QVERIFY2(ok, qPrintable(error));
        QVERIFY(!QFileInfo(w.name).isSymLink());
        QCOMPARE(readBack(w.name), w.bytes);
    }
    // No temporary file left beside it.
    QStringList expectedEntries{w.name};
    if (!outside) expectedEntries << target;
    expectedEntries.sort();
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), expectedEntries);
}

void TstFiles::reasonsInOwnWords_data() {
    QTest::addColumn<int>("code"); // errno
    QTest::addColumn<QString>("words");
    QTest::newRow("no space") << ENOSPC << QStringLiteral("no space left on the disk");
    QTest::newRow("read-only") << EROFS << QStringLiteral("the disk is read-only");
    QTest::newRow("permission") << EACCES << QStringLiteral("permission denied");
    QTest::newRow("too large") << EFBIG
                               << QStringLiteral("the file would exceed the size limit set for this program");
    QTest::newRow("quota") << EDQUOT << QStringLiteral("the disk quota is used up");
    QTest::newRow("input/output") << EIO << QStringLiteral("input/output error");
}

// The system's words (as the toolkit hands them on) become the program's,
// which the language files translate; an unknown reason stays as it is.
void TstFiles::reasonsInOwnWords() {
    QFETCH(int, code);
    QFETCH(QString, words);
    QCOMPARE(files::reasonInOwnWords(QString::fromLocal8Bit(std::strerror(code))),
             QCoreApplication::translate("files", qPrintable(words)));
    QCOMPARE(files::reasonInOwnWords(QStringLiteral("Something else")), QStringLiteral("Something else"));
}

QTEST_GUILESS_MAIN(TstFiles)
#include "tst_files.moc"

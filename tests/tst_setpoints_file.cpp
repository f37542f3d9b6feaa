// The setpoint file: its bytes, the extension, the atomic save, and the
// bounded reader against short, long, odd and hostile files.
#include "files/files.h"
#include "filetestsupport.h"
#include "setpoints/rules.h"
#include "setpoints/setpointfile.h"
#include "setpointtables.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace setpoints;

namespace {

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QByteArray joined(const QStringList& lines, const char* end) {
    QByteArray out;
    for (const QString& l : lines)
        out += l.toLatin1() + end;
    return out;
}

QStringList emptyTable() {
    return QStringList(kRows, QString());
}

} // namespace

class TestSetpointFile : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir_.isValid()); }

    void fileBytes();
    void extension_data();
    void extension();
    void roundTrip();
    void saveReplacesExistingFile();
    void failedSaveKeepsPreviousFile();
    void saveIntoMissingFolderFails();

    void lineEnds_data();
    void lineEnds();
    void crLfSplitAcrossReads();
    void lastLineWithoutLineEnd();

    void loadShortFiles_data();
    void loadShortFiles();
    void loadRefusedValueEmptiesTable();
    void cancelledLoadChecksTable();

    void binaryFile();
    void megabyteLines();
    void hundredMegabyteLine();
    void hundredMegabytesOfShortLines();
    void notAFile_data();
    void notAFile();

private:
    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    QTemporaryDir dir_;
};

void TestSetpointFile::fileBytes() {
    QCOMPARE(setpointFileBytes(validTable()),
             QByteArray("12,5\r\n3,5\r\n150\r\n40\r\n10\r\n30\r\n5\r\n400\r\n80\r\n115\r\n2,5\r\n2\r\n12."
                        "06\r\n09:05\r\n"));
    QCOMPARE(setpointFileBytes(emptyTable()), QByteArray("\r\n").repeated(14));
}

void TestSetpointFile::extension_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("saved");
    QTest::newRow("plain") << "abc"
                           << "abc.vrk";
    QTest::newRow("already") << "abc.vrk"
                             << "abc.vrk";
    QTest::newRow("upper case") << "ABC.VRK"
                                << "ABC.VRK";
    QTest::newRow("mixed case") << "abc.Vrk"
                                << "abc.Vrk";
    QTest::newRow("other extension") << "abc.txt"
                                     << "abc.txt.vrk";
    QTest::newRow("near miss") << "abc.vr"
                               << "abc.vr.vrk";
    QTest::newRow("no dot") << "abcvrk"
                            << "abcvrk.vrk";
    QTest::newRow("folder named .vrk") << "/tmp/x.vrk/abc"
                                       << "/tmp/x.vrk/abc.vrk";
}

void TestSetpointFile::extension() {
    QFETCH(QString, chosen);
    QFETCH(QString, saved);
    QCOMPARE(withSetpointExtension(chosen), saved);
}

void TestSetpointFile::roundTrip() {
    const QString p = path("table.vrk");
    QString error;
    QVERIFY2(writeSetpointFile(p, validTable(), &error), qPrintable(error));
    const SetpointFileRead r = readSetpointFile(p);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.lines, validTable());
    QCOMPARE(tableAfterLoad(r.lines), validTable());
}

void TestSetpointFile::saveReplacesExistingFile() {
    const QString p = path("old.vrk");
    QVERIFY(writeBytes(p, QByteArray(5000, 'x')));
    QString error;
    QVERIFY(writeSetpointFile(p, validTable(), &error));
    QCOMPARE(readBytes(p), setpointFileBytes(validTable()));
}

// A save that cannot be completed (here: the file size limit is below the
// file's size) leaves the file that was there untouched.
void TestSetpointFile::failedSaveKeepsPreviousFile() {
    QTemporaryDir own;
    const QString p = own.filePath(QStringLiteral("kept.vrk"));
    const QByteArray old("old contents\r\n");
    QVERIFY(writeBytes(p, old));

    QString error;
    bool saved_ok = true;
    {
        filetest::FileSizeLimit limit(10);
        QVERIFY(limit.ok());
        saved_ok = writeSetpointFile(p, validTable(), &error);
    }

    QVERIFY(!saved_ok);
    QVERIFY(!error.isEmpty());
    QCOMPARE(readBytes(p), old);
    // No temporary file is left beside it.
    QCOMPARE(QDir(own.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kept.vrk")});
}

void TestSetpointFile::saveIntoMissingFolderFails() {
    QString error;
    QVERIFY(!writeSetpointFile(path("missing/abc.vrk"), validTable(), &error));
    QVERIFY(error.contains(QLatin1String("abc.vrk")));
    // A folder in the file's place.
    QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("folder.vrk")));
    QVERIFY(!writeSetpointFile(path("folder.vrk"), validTable(), &error));
}

void TestSetpointFile::lineEnds_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CR LF") << joined(validTable(), "\r\n");
    QTest::newRow("LF only") << joined(validTable(), "\n");
    QTest::newRow("CR only") << joined(validTable(), "\r");
    QByteArray mixed;
    for (int i = 0; i < kRows; ++i)
        mixed += validTable()[i].toLatin1() + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    QTest::newRow("mixed") << mixed;
    QTest::newRow("extra lines") << joined(validTable(), "\r\n") + QByteArray("junk\r\nmore junk\r\n");
}

void TestSetpointFile::lineEnds() {
    QFETCH(QByteArray, bytes);
    const QString p = path("ends.vrk");
    QVERIFY(writeBytes(p, bytes));
    const SetpointFileRead r = readSetpointFile(p);
    QVERIFY(r.ok);
    QCOMPARE(r.lines, validTable());
}

void TestSetpointFile::crLfSplitAcrossReads() {
    // A CR as the last byte of one read and its LF as the first of the next.
    QByteArray bytes(65535, 'a');
    bytes += "\r\n2\r\n";
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QStringList lines;
    QVERIFY(readBoundedLines(buffer, 14, 4096, &lines));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QString(4096, QLatin1Char('a')));
    QCOMPARE(lines[1], QStringLiteral("2"));
}

void TestSetpointFile::lastLineWithoutLineEnd() {
    QByteArray bytes("1\r\n\r\n3");
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QStringList lines;
    QVERIFY(readBoundedLines(buffer, 14, 4096, &lines));
    QCOMPARE(lines, (QStringList{QStringLiteral("1"), QString(), QStringLiteral("3")}));
}

void TestSetpointFile::loadShortFiles_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<QStringList>("table");
    QStringList twelve = validTable();
    twelve[12] = twelve[13] = QString();
    QTest::newRow("12 lines: the date and time rows empty, the table stays") << 12 << twelve;
    QTest::newRow("11 lines: the variant is missing, all emptied") << 11 << emptyTable();
    QTest::newRow("empty file") << 0 << emptyTable();
}

void TestSetpointFile::loadShortFiles() {
    QFETCH(int, lines);
    QFETCH(QStringList, table);
    const QString p = path("short.vrk");
    QVERIFY(writeBytes(p, joined(validTable().mid(0, lines), "\r\n")));
    const SetpointFileRead r = readSetpointFile(p);
    QVERIFY(r.ok);
    QCOMPARE(r.lines.size(), lines);
    QCOMPARE(tableAfterLoad(r.lines), table);
}

void TestSetpointFile::loadRefusedValueEmptiesTable() {
    QStringList t = validTable();
    t[0] = QStringLiteral("50,0");
    t[11] = QStringLiteral("1");
    QCOMPARE(tableAfterLoad(t), emptyTable());
}

void TestSetpointFile::cancelledLoadChecksTable() {
    // Cancelling checks what the table holds: a valid table stays, an invalid one is emptied.
    QCOMPARE(tableAfterLoad(validTable()), validTable());
    QStringList bad = validTable();
    bad[4] = QStringLiteral("4");
    QCOMPARE(tableAfterLoad(bad), emptyTable());
}

void TestSetpointFile::binaryFile() {
    QByteArray bytes(256 * 1024, '\0');
    QRandomGenerator rng(20260101);
    for (char& c : bytes)
        c = char(rng.bounded(256));
    const QString p = path("binary.vrk");
    QVERIFY(writeBytes(p, bytes));
    const SetpointFileRead r = readSetpointFile(p);
    QVERIFY(r.ok);
    QVERIFY(r.lines.size() <= kFileLines);
    for (const QString& l : r.lines)
        QVERIFY(l.size() <= kMaxLineBytes);
    QCOMPARE(tableAfterLoad(r.lines), emptyTable());
}

void TestSetpointFile::megabyteLines() {
    QByteArray bytes;
    for (int i = 0; i < 3; ++i)
        bytes += QByteArray(1024 * 1024, char('a' + i)) + "\r\n";
    bytes += "tail\r\n";
    const QString p = path("long.vrk");
    QVERIFY(writeBytes(p, bytes));
    // A line longer than a setpoint line can be refuses the file: cut, it
    // could pass for another value (40000 with leading zeros as 40).
    const SetpointFileRead r = readSetpointFile(p);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(p) && r.error.contains(QString::number(kMaxLineBytes)), qPrintable(r.error));
    QVERIFY(r.lines.isEmpty());
}

void TestSetpointFile::hundredMegabyteLine() {
    // 100 MB of zero bytes and no line end at all (a sparse file): refused
    // after its first 4097 bytes, not searched to its end.
    const QString p = path("zeros.vrk");
    {
        QFile f(p);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(100LL * 1024 * 1024));
    }
    files::testing::failReadsAfter(64 * 1024); // a read beyond the first bytes would fail the test
    const SetpointFileRead r = readSetpointFile(p);
    files::testing::failReadsAfter(-1);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QString::number(kMaxLineBytes)), qPrintable(r.error));
}

void TestSetpointFile::hundredMegabytesOfShortLines() {
    const QString p = path("many.vrk");
    {
        QFile f(p);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write(joined(validTable(), "\r\n")) > 0);
        const QByteArray chunk = QByteArray("1\r\n").repeated(1 << 20); // 3 MB
        for (int i = 0; i < 34; ++i)
            QCOMPARE(f.write(chunk), qint64(chunk.size()));
    }
    const SetpointFileRead r = readSetpointFile(p);
    QVERIFY(r.ok);
    QCOMPARE(r.lines, validTable());
    QFile::remove(p);
}

void TestSetpointFile::notAFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("folder") << "folder";
    QTest::newRow("fifo without writer") << "fifo";
    QTest::newRow("/dev/zero") << "zero";
    QTest::newRow("dangling symlink") << "dangling";
    QTest::newRow("no permission") << "unreadable";
}

void TestSetpointFile::notAFile() {
    QFETCH(QString, kind);
    QString p = path("odd.vrk");
    if (kind == QLatin1String("folder")) QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("odd.vrk")));
    if (kind == QLatin1String("fifo")) QCOMPARE(::mkfifo(QFile::encodeName(p).constData(), 0600), 0);
    if (kind == QLatin1String("zero")) p = QStringLiteral("/dev/zero");
    if (kind == QLatin1String("dangling")) QVERIFY(QFile::link(path("nowhere"), p));
    if (kind == QLatin1String("unreadable")) {
        if (::geteuid() == 0) QSKIP("permissions do not bind the superuser");
        QVERIFY(writeBytes(p, setpointFileBytes(validTable())));
        QVERIFY(QFile::setPermissions(p, QFileDevice::WriteOwner));
    }
    // A hang here (blocked on the FIFO, reading /dev/zero) is caught by the test's time-out.
    const SetpointFileRead r = readSetpointFile(p);
    QVERIFY(!r.ok);
    QVERIFY(r.lines.isEmpty());
    QVERIFY(r.error.contains(p));
    QDir(dir_.path()).rmdir(QStringLiteral("odd.vrk"));
    QFile::remove(path("odd.vrk"));
}

QTEST_APPLESS_MAIN(TestSetpointFile)
#include "tst_setpoints_file.moc"

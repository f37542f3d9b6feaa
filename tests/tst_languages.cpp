// The language files: their built-in bytes, the bounded reader, writing the
// missing ones, and the switch that puts every line on its targets.
#include "app/tform1.h"
#include "app/tform4.h"
#include "appfixture.h"
#include "config/languages.h"
#include "config/tform2.h"
#include "files/files.h"
#include "tests/controls.h"
#include "widgets/controls.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "filetestsupport.h"

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

using languages::English;
using languages::Language;
using languages::Polish;
using languages::Russian;

namespace {

const QByteArray kIni = "Port: COM1\r\nPredkosc: 4800\r\nParzystosc: NONE\r\nAdres: 3\r\n"
                        "Bity stopu: 1\r\nBity danych: 8\r\nJezyk: pol\r\n";
QByteArray iniFor(const char* code) {
    return QByteArray(kIni).replace("pol", code);
}

using filetest::FileSizeLimit;
using filetest::peakRssKb;
using filetest::readBack;
using filetest::resetPeakRss;
using filetest::writeFile;

// Where each line of a language file ends up, read back from the windows.
// A line with two targets has two entries.
struct Target {
    int line;
    std::function<QString(TForm1*, TForm2*)> read;
};

QList<Target> targets() {
    QList<Target> t;
    t << Target{1, [](TForm1*, TForm2* f2) { return f2->RadioGroup2->title(); }}
      << Target{2, [](TForm1*, TForm2* f2) { return f2->windowTitle(); }}
      << Target{3, [](TForm1*, TForm2* f2) { return f2->RadioGroup1->title(); }}
      << Target{4, [](TForm1*, TForm2* f2) { return f2->GroupBox1->title(); }}
      << Target{5, [](TForm1*, TForm2* f2) { return f2->GroupBox2->title(); }}
      << Target{6, [](TForm1*, TForm2* f2) { return f2->GroupBox3->title(); }}
      << Target{7, [](TForm1*, TForm2* f2) { return f2->GroupBox5->title(); }}
      << Target{8, [](TForm1*, TForm2* f2) { return f2->GroupBox4->title(); }}
      << Target{9, [](TForm1* f1, TForm2*) { return f1->windowTitle(); }}
      << Target{10, [](TForm1* f1, TForm2*) { return f1->SpeedButton1->toolTip(); }}
      << Target{11, [](TForm1* f1, TForm2*) { return f1->SpeedButton2->toolTip(); }}
      << Target{12, [](TForm1* f1, TForm2*) { return f1->SpeedButton3->toolTip(); }};
    const std::pair<QWidget * TForm1::*, QToolButton * TForm1::*> pages[] = {
        {&TForm1::TabSheet1, &TForm1::SpeedButton21},
        {&TForm1::TabSheet4, &TForm1::SpeedButton22},
        {&TForm1::TabSheet5, &TForm1::SpeedButton23},
        {&TForm1::TabSheet6, &TForm1::SpeedButton24}};
    for (int i = 0; i < 4; ++i) {
        const auto [page, button] = pages[i];
        t << Target{13 + i,
                    [page](TForm1* f1, TForm2*) {
                        return f1->PageControl1->tabText(f1->PageControl1->indexOf(f1->*page));
                    }}
          << Target{13 + i, [button](TForm1* f1, TForm2*) { return (f1->*button)->text(); }};
    }
    const char* frames[] = {"GroupBox1", "GroupBox3", "GroupBox4", "GroupBox5", "GroupBox7", "GroupBox2"};
    for (int i = 0; i < 6; ++i)
        t << Target{17 + i,
                    [g = frames[i]](TForm1* f1, TForm2*) { return control<QGroupBox>(f1, g)->title(); }};
    const char* lamps[] = {"Label31", "Label32", "Label33", "Label34", "Label35", "Label38"};
    for (int i = 0; i < 6; ++i)
        t << Target{23 + i, [l = lamps[i]](TForm1* f1, TForm2*) { return control<QLabel>(f1, l)->text(); }};
    t << Target{29, [](TForm1* f1, TForm2*) { return control<QPushButton>(f1, "Button5")->text(); }}
      << Target{30, [](TForm1* f1, TForm2*) { return f1->findChild<QLabel*>("Label65")->text(); }}
      << Target{31, [](TForm1* f1, TForm2*) { return f1->findChild<QLabel*>("Label66")->text(); }}
      << Target{31, [](TForm1* f1, TForm2*) { return f1->findChild<QLabel*>("Label101")->text(); }}
      << Target{32, [](TForm1* f1, TForm2*) { return f1->findChild<QLabel*>("Label67")->text(); }};
    for (int row = 0; row < 14; ++row)
        t << Target{33 + row, [row](TForm1* f1, TForm2*) {
                        return control<StringGrid>(f1, "StringGrid1")->cell(1, row);
                    }};
    t << Target{47, [](TForm1* f1, TForm2*) { return control<StringGrid>(f1, "StringGrid1")->cell(2, 12); }}
      << Target{48, [](TForm1* f1, TForm2*) { return control<StringGrid>(f1, "StringGrid1")->cell(2, 13); }}
      << Target{49, [](TForm1* f1, TForm2*) { return control<QToolButton>(f1, "SpeedButton9")->text(); }}
      << Target{49, [](TForm1* f1, TForm2*) { return control<QToolButton>(f1, "SpeedButton13")->text(); }}
      << Target{50, [](TForm1* f1, TForm2*) { return control<QToolButton>(f1, "SpeedButton10")->text(); }}
      << Target{50, [](TForm1* f1, TForm2*) { return control<QToolButton>(f1, "SpeedButton14")->text(); }}
      << Target{51, [](TForm1* f1, TForm2*) { return control<QToolButton>(f1, "SpeedButton11")->text(); }}
      << Target{52, [](TForm1* f1, TForm2*) { return f1->findChild<QLabel*>("Label68")->text(); }}
      << Target{53, [](TForm1* f1, TForm2*) { return f1->findChild<QLabel*>("Label69")->text(); }}
      << Target{54, [](TForm1* f1, TForm2*) { return control<RadioGroup>(f1, "RadioGroup1")->title(); }}
      << Target{55, [](TForm1* f1, TForm2*) { return control<RadioGroup>(f1, "RadioGroup2")->title(); }};
    for (int n = 70; n <= 77; ++n)
        t << Target{n - 14, [n](TForm1* f1, TForm2*) {
                        return f1->findChild<QLabel*>(QStringLiteral("Label%1").arg(n))->text();
                    }};
    for (int c = 1; c <= 3; ++c)
        t << Target{63 + c,
                    [c](TForm1* f1, TForm2*) { return control<StringGrid>(f1, "StringGrid2")->cell(c, 0); }};
    for (int n = 78; n <= 99; ++n)
        t << Target{n - 11, [n](TForm1* f1, TForm2*) {
                        return f1->findChild<QLabel*>(QStringLiteral("Label%1").arg(n))->text();
                    }};
    t << Target{89, [](TForm1* f1, TForm2*) { return control<QLabel>(f1, "Label48")->text(); }}
      << Target{90, [](TForm1* f1, TForm2*) { return control<QLabel>(f1, "Label28")->text(); }};
    return t;
}

// The controls whose font takes the language's character set.
QList<QObject*> charsetControls(TForm1* f1, TForm2* f2) {
    QList<QObject*> c{f1, f2};
    for (const char* name :
         {"TabSheet1",    "TabSheet4",     "TabSheet5",     "TabSheet6",     "SpeedButton1",  "SpeedButton2",
          "SpeedButton3", "GroupBox1",     "GroupBox3",     "GroupBox4",     "GroupBox5",     "GroupBox7",
          "GroupBox2",    "Label31",       "Label32",       "Label33",       "Label34",       "Label35",
          "Label38",      "Button5",       "Label65",       "Label66",       "Label67",       "StringGrid1",
          "SpeedButton9", "SpeedButton10", "SpeedButton13", "SpeedButton14", "SpeedButton11", "SpeedButton8",
          "RadioGroup1",  "RadioGroup2",   "StringGrid2",   "Label83",       "Label48",       "Label28",
          "PageControl1", "SpeedButton21", "SpeedButton22", "SpeedButton23", "SpeedButton24"})
        c << f1->findChild<QObject*>(QLatin1String(name));
    for (const char* name :
         {"RadioGroup2", "RadioGroup1", "GroupBox1", "GroupBox2", "GroupBox3", "GroupBox5", "GroupBox4"})
        c << f2->findChild<QObject*>(QLatin1String(name));
    return c;
}

void chooseLanguage(TForm2* f2, int index) {
    f2->RadioGroup2->setItemIndex(index);
    f2->RadioGroup2Click();
}

enum class Bad { Binary, LongLines, HugeLine, HugeFile, Utf8, Directory, Fifo, DevZero, Dangling };

void makeBad(Bad kind, const QString& path) {
    switch (kind) {
    case Bad::Binary: {
        QByteArray b(64 * 1024, '\0');
        QRandomGenerator gen(1250);
        for (char& c : b)
            c = char(gen.bounded(256));
        writeFile(path, b);
        break;
    }
    case Bad::LongLines: {
        QByteArray b;
        for (int i = 0; i < 95; ++i)
            b += QByteArray(1 << 20, char('a' + i % 26)) + "\r\n";
        writeFile(path, b);
        break;
    }
    case Bad::HugeLine: {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(100LL << 20)); // sparse: 100 MB of NUL bytes, no line end
        break;
    }
    case Bad::HugeFile: {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QByteArray chunk;
        while (chunk.size() < (1 << 20))
            chunk += "short line\r\n";
        for (int i = 0; i < 100; ++i)
            QCOMPARE(f.write(chunk), chunk.size());
        break;
    }
    case Bad::Utf8: {
        QByteArray b;
        for (const QString& line : languages::builtInTexts(Polish))
            b += line.toUtf8() + "\r\n";
        writeFile(path, b);
        break;
    }
    case Bad::Directory:
        QVERIFY(QDir().mkpath(path));
        break;
    case Bad::Fifo:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        break;
    case Bad::DevZero:
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        break;
    case Bad::Dangling:
        QVERIFY(QFile::link(QFileInfo(path).absolutePath() + "/gone/pol.lng", path));
        break;
    }
}

} // namespace

class TstLanguages : public QObject {
    Q_OBJECT
private slots:
    // the built-in texts and their files
    void defaultFileBytes_data();
    void defaultFileBytes();
    void blanksBelongToTexts_data();
    void blanksBelongToTexts();
    void builtInTextsSurviveTheirCodePage();
    void codePageNames();

    // the reader
    void readerLines_data();
    void readerLines();
    void readerBadFiles_data();
    void readerBadFiles();
    void readerMemoryBounded();

    // writing the missing files
    void writesAllMissingFiles();
    void existingEntriesNeverTouched();
    void failedWriteLeavesNoFile();

    // the switch
    void startWithoutFilesInEnglish();
    void everyLineReachesItsTargets();
    void editedFileUsedAndKept();
    void deletedFileWrittenAgain();
    void shortRussianFile();
    void recorderButtonFollowsState();
    void charsetsFollowLanguage();
    void errorWindowSpeaksRussian();
    void fixedTextsStay();
    void missingChosenFile();
    void unreadableChosenFile();
    void writeFailureAtStart();
    void badFilesApplied_data();
    void badFilesApplied();
};

// ---------------------------------------------------------------- built-in texts

void TstLanguages::defaultFileBytes_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("sha256");
    QTest::addColumn<QByteArray>("line1");
    QTest::addColumn<QByteArray>("line9");
    QTest::addColumn<QByteArray>("line64");
    QTest::addColumn<QByteArray>("line72");
    QTest::newRow("Polish") << int(Polish) << 1384 + 2
                            << QByteArray("55fa573217faf2ccfe45345878bd5deefc9474604bb9c90a8fbf8a515994430e")
                            << QByteArray("4aea7a796b")
                            << QByteArray(
                                   "50727a656b619f6e696b207374617479637a6e79206e61647072b9646f77792056524b"
                                   "2d2e2e2e54382f323330")
                            << QByteArray("20202020202020202020202020202050525a59435a594e41")
                            << QByteArray("57706f726f7761649f20706f707261776e696520706172616d657472206e7220");
    QTest::newRow("English") << int(English) << 1327 + 2
                             << QByteArray("f64949ca6212276c3f798e6259aa5770186aac5e632fd634f713f9cc8faf79d8")
                             << QByteArray("4c616e6775616765")
                             << QByteArray(
                                    "4f76657263757272656e74207374617469632072656c61792056524b2d2e2e2e54382f"
                                    "323330")
                             << QByteArray("202020202020202020202020202020202020204341555345")
                             << QByteArray("456e74657220636f727265637420706172616d657472206e7220");
    QTest::newRow("Russian") << int(Russian) << 1296 + 2
                             << QByteArray("7abdce11f2e943134b2066918c432eb6bf7057cd30ebf34cd734b42d5a09b533")
                             << QByteArray("dfe7fbea") << QByteArray("56524b2d2e2e2e54382f323330")
                             << QByteArray("202020202020202020202020202020cfd0c8d7c8cdc0")
                             << QByteArray("cef8e8e1eae020efe0f0e0ece5f2f0e02020");
}

void TstLanguages::defaultFileBytes() {
    QFETCH(int, language);
    QFETCH(int, size);
    QFETCH(QByteArray, sha256);
    const QByteArray file = languages::defaultFile(Language(language));
    QCOMPARE(file.size(), size);
    QVERIFY(file.endsWith("\r\n"));
    QVERIFY(!file.endsWith("\r\n\r\n"));
    QCOMPARE(QCryptographicHash::hash(file, QCryptographicHash::Sha256).toHex(), sha256);
    const QList<QByteArray> lines = file.chopped(2).split('\n');
    QCOMPARE(lines.size(), 90);
    for (const QByteArray& l : lines.mid(0, 89))
        QVERIFY(l.endsWith('\r'));
    auto line = [&lines](int n) {
        return lines[n - 1].endsWith('\r') ? lines[n - 1].chopped(1) : lines[n - 1];
    };
    QTEST(line(1).toHex(), "line1");
    QTEST(line(9).toHex(), "line9");
    QTEST(line(64).toHex(), "line64");
    QTEST(line(72).toHex(), "line72");
}

void TstLanguages::blanksBelongToTexts_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("leading");
    QTest::addColumn<int>("trailing");
    QTest::newRow("pl 6") << int(Polish) << 6 << 0 << 1;
    QTest::newRow("en 6") << int(English) << 6 << 0 << 0;
    QTest::newRow("ru 46") << int(Russian) << 46 << 0 << 1;
    QTest::newRow("pl 64") << int(Polish) << 64 << 15 << 0;
    QTest::newRow("en 64") << int(English) << 64 << 19 << 0;
    QTest::newRow("ru 64") << int(Russian) << 64 << 15 << 0;
    for (Language l : {Polish, English, Russian}) {
        QTest::addRow("%d 65", int(l)) << int(l) << 65 << 5 << 0;
        for (int n = 67; n <= 71; ++n)
            QTest::addRow("%d %d", int(l), n) << int(l) << n << 0 << (l == Russian && n == 67 ? 3 : 4);
        QTest::addRow("%d 72", int(l)) << int(l) << 72 << 0 << (l == Russian ? 2 : 1);
        QTest::addRow("%d 76", int(l)) << int(l) << 76 << 0 << 1;
    }
}

void TstLanguages::blanksBelongToTexts() {
    QFETCH(int, language);
    QFETCH(int, line);
    QFETCH(int, leading);
    QFETCH(int, trailing);
    const QString t = languages::builtInText(Language(language), line);
    int lead = 0, trail = 0;
    while (lead < t.size() && t[lead] == ' ')
        ++lead;
    while (trail < t.size() && t[t.size() - 1 - trail] == ' ')
        ++trail;
    QCOMPARE(lead, leading);
    QCOMPARE(trail, trailing);
}

void TstLanguages::builtInTextsSurviveTheirCodePage() {
    for (Language l : {Polish, English, Russian}) {
        QStringEncoder encoder(languages::codePage(l));
        QVERIFY(encoder.isValid());
        for (int n = 1; n <= 90; ++n) {
            const QString text = languages::builtInText(l, n);
            const QByteArray bytes = encoder.encode(text);
            QVERIFY2(!encoder.hasError(), qPrintable(QStringLiteral("%1 line %2").arg(int(l)).arg(n)));
            QCOMPARE(bytes.size(), text.size()); // one byte a character
        }
    }
    QCOMPARE(languages::builtInText(Russian, 32), QString::fromUtf8("Нет связи  с VRK."));
    for (int n = 10; n <= 12; ++n)
        QVERIFY(languages::builtInText(Russian, n).isEmpty());
    QCOMPARE(languages::builtInText(English, 9), QStringLiteral("Overcurrent static relay VRK-...T8/230"));
}

void TstLanguages::codePageNames() {
    QCOMPARE(languages::fileName(languages::fromIndex(0)), QStringLiteral("pol.lng"));
    QCOMPARE(languages::fileName(languages::fromIndex(1)), QStringLiteral("ang.lng"));
    QCOMPARE(languages::fileName(languages::fromIndex(2)), QStringLiteral("rus.lng"));
    QCOMPARE(languages::fileName(languages::fromIndex(-1)), QStringLiteral("pol.lng"));
    QCOMPARE(languages::fontCharset(languages::fromIndex(2)), 204);
    QCOMPARE(languages::fontCharset(languages::fromIndex(1)), 238);
    QVERIFY(QStringDecoder("windows-1250").isValid());
    QVERIFY(QStringDecoder("windows-1251").isValid());
}

// ---------------------------------------------------------------- the reader

void TstLanguages::readerLines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("first"); // the first lines; all later ones must be empty
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("bare LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("lone CR dropped") << QByteArray("a\rb\r\nc\r") << QStringList{"ab", "c"};
    QTest::newRow("CR-only file is one line") << QByteArray("a\rb\rc\r") << QStringList{"abc"};
    QTest::newRow("no end on the last line") << QByteArray("a\r\nlast") << QStringList{"a", "last"};
    QTest::newRow("blanks kept") << QByteArray("  a  \r\n\r\n b") << QStringList{"  a  ", "", " b"};
    QTest::newRow("code page") << QByteArray("\xea\xb9\x9f\r\n") << QStringList{QString::fromUtf8("ęąź")};
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QByteArray many;
    QStringList ninety;
    for (int i = 1; i <= 120; ++i) {
        many += QByteArray::number(i) + "\r\n";
        if (i <= 90) ninety << QString::number(i);
    }
    QTest::newRow("lines after 90 ignored") << many << ninety;
}

void TstLanguages::readerLines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, first);
    QTemporaryDir dir;
    writeFile(dir.filePath("pol.lng"), bytes);
    const languages::ReadResult r = languages::readFile(dir.filePath("pol.lng"), Polish);
    QVERIFY(r.ok);
    QCOMPARE(r.lines.size(), 90);
    QCOMPARE(r.lines.mid(0, first.size()), first);
    for (const QString& rest : r.lines.mid(first.size()))
        QVERIFY(rest.isEmpty());
}

void TstLanguages::readerBadFiles_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("readable");
    QTest::newRow("binary") << int(Bad::Binary) << true;
    QTest::newRow("lines of 1 MB") << int(Bad::LongLines) << true;
    QTest::newRow("one line of 100 MB") << int(Bad::HugeLine) << true;
    QTest::newRow("100 MB of short lines") << int(Bad::HugeFile) << true;
    QTest::newRow("UTF-8 instead of the code page") << int(Bad::Utf8) << true;
    QTest::newRow("directory") << int(Bad::Directory) << false;
    QTest::newRow("FIFO") << int(Bad::Fifo) << false;
    QTest::newRow("link to /dev/zero") << int(Bad::DevZero) << false;
    QTest::newRow("dangling link") << int(Bad::Dangling) << false;
}

void TstLanguages::readerBadFiles() {
    QFETCH(int, kind);
    QFETCH(bool, readable);
    QTemporaryDir dir;
    const QString path = dir.filePath("pol.lng");
    makeBad(Bad(kind), path);
    const languages::ReadResult r = languages::readFile(path, Polish);
    QCOMPARE(r.ok, readable);
    QCOMPARE(r.error.isEmpty(), readable);
    if (!readable) return;
    QCOMPARE(r.lines.size(), 90);
    for (const QString& line : r.lines)
        QVERIFY(line.size() <= files::kMaxLineBytes);
    if (Bad(kind) == Bad::LongLines) {
        QCOMPARE(r.lines[0], QString(files::kMaxLineBytes, 'a'));
        QCOMPARE(r.lines[89], QString(files::kMaxLineBytes, QChar('a' + 89 % 26)));
    }
    if (Bad(kind) == Bad::Utf8) {
        // Taken as it is, in the file's code page: the bytes of "ę" read as two letters.
        QCOMPARE(r.lines[0], QString::fromUtf8("JÄ™zyk"));
        QCOMPARE(r.lines[2], QStringLiteral("Numer portu"));
    }
}

void TstLanguages::readerMemoryBounded() {
    QTemporaryDir dir;
    const QString path = dir.filePath("rus.lng");
    makeBad(Bad::HugeLine, path);
    QVERIFY2(resetPeakRss(), "the peak resident memory cannot be reset here (/proc/self/clear_refs)");
    const qint64 before = peakRssKb();
    const languages::ReadResult r = languages::readFile(path, Russian);
    const qint64 growth = peakRssKb() - before;
    QVERIFY(r.ok);
    QCOMPARE(r.lines[0].size(), files::kMaxLineBytes);
    QVERIFY2(growth < 8 * 1024, qPrintable(QStringLiteral("grew by %1 kB").arg(growth)));
}

// ---------------------------------------------------------------- writing missing files

void TstLanguages::writesAllMissingFiles() {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QString error;
    const bool ok = languages::writeMissingFiles(&error);
    QDir::setCurrent(previous);
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(readBack(dir.filePath("pol.lng")), languages::defaultFile(Polish));
    QCOMPARE(readBack(dir.filePath("ang.lng")), languages::defaultFile(English));
    QCOMPARE(readBack(dir.filePath("rus.lng")), languages::defaultFile(Russian));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

void TstLanguages::existingEntriesNeverTouched() {
    QTemporaryDir dir;
    writeFile(dir.filePath("rus.lng"), "not the default\r\n");
    QVERIFY(QDir(dir.path()).mkdir("pol.lng"));
    QVERIFY(QFile::link(dir.filePath("gone/ang.lng"), dir.filePath("ang.lng")));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QString error;
    const bool ok = languages::writeMissingFiles(&error);
    QDir::setCurrent(previous);
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(readBack(dir.filePath("rus.lng")), QByteArray("not the default\r\n"));
    QVERIFY(QFileInfo(dir.filePath("pol.lng")).isDir());
    QVERIFY(QFileInfo(dir.filePath("ang.lng")).isSymLink());
    QVERIFY(!QFileInfo::exists(dir.filePath("gone")));
}

void TstLanguages::failedWriteLeavesNoFile() {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QString error;
    bool ok = true;
    {
        FileSizeLimit limit(100);
        QVERIFY(limit.ok());
        ok = languages::writeMissingFiles(&error);
    }
    QDir::setCurrent(previous);
    QVERIFY(!ok);
    QVERIFY(!error.isEmpty());
    // Russian is written first and failed; nothing was put in place, not even a cut file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

// ---------------------------------------------------------------- the switch

void TstLanguages::startWithoutFilesInEnglish() {
    AppFixture app;
    writeFile(app.path("vrk.ini"), iniFor("ang"));
    app.start();
    QCOMPARE(readBack(app.path("rus.lng")), languages::defaultFile(Russian));
    QCOMPARE(readBack(app.path("pol.lng")), languages::defaultFile(Polish));
    QCOMPARE(readBack(app.path("ang.lng")), languages::defaultFile(English));
    QCOMPARE(app.f1()->windowTitle(), QStringLiteral("Overcurrent static relay VRK-...T8/230"));
    QCOMPARE(app.f1()->SpeedButton1->toolTip(), QStringLiteral("CONNECT"));
    QCOMPARE(app.f1()->findChild<QLabel*>("Label83")->text(), QStringLiteral("Enter correct parametr nr "));
    QCOMPARE(control<StringGrid>(app.f1(), "StringGrid2")->cell(1, 0),
             QStringLiteral("                   CAUSE"));
    QVERIFY(app.errorBoxes.isEmpty());
    QVERIFY(app.messageBoxes.isEmpty());
}

void TstLanguages::everyLineReachesItsTargets() {
    AppFixture app;
    writeFile(app.path("vrk.ini"), kIni);
    QStringList texts;
    for (int n = 1; n <= 90; ++n)
        texts << QString::fromUtf8("L%1 żółć").arg(n);
    writeFile(app.path("pol.lng"), languages::encodeFile(Polish, texts));
    app.start();
    const QList<Target> all = targets();
    QSet<int> covered;
    for (const Target& t : all) {
        QCOMPARE(t.read(app.f1(), app.f2()), texts[t.line - 1]);
        covered << t.line;
    }
    QCOMPARE(covered.size(), 90);
    // The recorder button shows line 52 while recording, 53 while paused.
    QCOMPARE(control<QToolButton>(app.f1(), "SpeedButton8")->text(),
             texts[control<QToolButton>(app.f1(), "SpeedButton8")->isChecked() ? 51 : 52]);
}

void TstLanguages::editedFileUsedAndKept() {
    AppFixture app;
    QStringList texts = languages::builtInTexts(Polish);
    texts[8] = QString::fromUtf8("Mój przekaźnik");
    texts[29] = QString::fromUtf8("Port zajęty!");
    const QByteArray edited = languages::encodeFile(Polish, texts.mid(0, 60));
    writeFile(app.path("pol.lng"), edited);
    app.start();
    QCOMPARE(app.f1()->windowTitle(), QString::fromUtf8("Mój przekaźnik"));
    QCOMPARE(app.f1()->findChild<QLabel*>("Label65")->text(), QString::fromUtf8("Port zajęty!"));
    chooseLanguage(app.f2(), 1);
    chooseLanguage(app.f2(), 0);
    QCOMPARE(app.f1()->windowTitle(), QString::fromUtf8("Mój przekaźnik"));
    QCOMPARE(readBack(app.path("pol.lng")), edited);
}

void TstLanguages::deletedFileWrittenAgain() {
    AppFixture app;
    app.start();
    chooseLanguage(app.f2(), 2);
    QVERIFY(QFile::remove(app.path("pol.lng")));
    QVERIFY(QFile::remove(app.path("ang.lng")));
    chooseLanguage(app.f2(), 0);
    QCOMPARE(readBack(app.path("pol.lng")), languages::defaultFile(Polish));
    QCOMPARE(readBack(app.path("ang.lng")), languages::defaultFile(English));
    QCOMPARE(app.f1()->windowTitle(), QString::fromUtf8("Przekaźnik statyczny nadprądowy VRK-...T8/230"));
}

void TstLanguages::shortRussianFile() {
    AppFixture app;
    writeFile(app.path("vrk.ini"), iniFor("rus"));
    writeFile(app.path("rus.lng"),
              languages::encodeFile(Russian, languages::builtInTexts(Russian).mid(0, 40)));
    app.start();
    QVERIFY(app.errorBoxes.isEmpty());
    const QStringList russian = languages::builtInTexts(Russian);
    for (const Target& t : targets()) {
        const QString shown = t.read(app.f1(), app.f2());
        if (t.line <= 40)
            QCOMPARE(shown, russian[t.line - 1]);
        else
            QVERIFY2(shown.isEmpty(), qPrintable(QStringLiteral("line %1: %2").arg(t.line).arg(shown)));
    }
    QVERIFY(control<QToolButton>(app.f1(), "SpeedButton8")->text().isEmpty());
    for (QObject* o : charsetControls(app.f1(), app.f2())) {
        QVERIFY(o);
        QCOMPARE(o->property("fontCharset").toInt(), 204);
    }
}

void TstLanguages::recorderButtonFollowsState() {
    AppFixture app;
    app.start();
    QToolButton* button = control<QToolButton>(app.f1(), "SpeedButton8");
    QVERIFY(button->isCheckable());
    button->setChecked(true); // recording
    chooseLanguage(app.f2(), 2);
    QCOMPARE(button->text(), QString::fromUtf8("Пауза"));
    button->setChecked(false); // paused
    chooseLanguage(app.f2(), 2);
    QCOMPARE(button->text(), QString::fromUtf8("Старт"));
    button->setChecked(true);
    chooseLanguage(app.f2(), 1);
    QCOMPARE(button->text(), QStringLiteral("Pause"));
}

void TstLanguages::charsetsFollowLanguage() {
    AppFixture app;
    app.start();
    const QList<QObject*> controls = charsetControls(app.f1(), app.f2());
    for (QObject* o : controls)
        QCOMPARE(o->property("fontCharset").toInt(), 238);
    chooseLanguage(app.f2(), 2);
    for (QObject* o : controls)
        QCOMPARE(o->property("fontCharset").toInt(), 204);
    chooseLanguage(app.f2(), 0);
    for (QObject* o : controls)
        QCOMPARE(o->property("fontCharset").toInt(), 238);
}

void TstLanguages::errorWindowSpeaksRussian() {
    AppFixture app;
    app.start();
    chooseLanguage(app.f2(), 2);
    app.f1()->reportError(app.f1()->findChild<QLabel*>("Label65")->text());
    QCOMPARE(app.f4()->Label2->text(), QString::fromUtf8("Ошибка !"));
    QCOMPARE(app.f4()->Label1->text(), QString::fromUtf8("Занятый порт Com."));
}

void TstLanguages::fixedTextsStay() {
    AppFixture app;
    app.start();
    chooseLanguage(app.f2(), 2);
    QCOMPARE(app.f2()->Button1->text(), QStringLiteral("&Ok"));
    QCOMPARE(app.f2()->RadioGroup2->button(2)->text(), QStringLiteral("Pycckuu"));
    QCOMPARE(app.f2()->RadioGroup1->button(0)->text(), QStringLiteral("COM1"));
    QCOMPARE(control<StringGrid>(app.f1(), "StringGrid1")->cell(2, 0), QStringLiteral("In= 0-20,0 [A]"));
    QCOMPARE(control<StringGrid>(app.f1(), "StringGrid2")->cell(0, 0), QStringLiteral("LP"));
}

void TstLanguages::missingChosenFile() {
    AppFixture app;
    app.start();
    // A link that leads nowhere: not written through, and there is no file to read.
    QVERIFY(QFile::remove(app.path("ang.lng")));
    QVERIFY(QFile::link(app.path("gone/ang.lng"), app.path("ang.lng")));
    const QString title = app.f1()->windowTitle();
    chooseLanguage(app.f2(), 1);
    QCOMPARE(app.messageBoxes,
             QStringList{QString::fromUtf8("Błąd|Brak pliku językowego\nWybierz inny język")});
    QVERIFY(app.errorBoxes.isEmpty());
    QCOMPARE(app.f1()->windowTitle(), title);
    QVERIFY(!QFileInfo::exists(app.path("gone")));
    QCOMPARE(app.f1()->property("fontCharset").toInt(), 238);
}

void TstLanguages::unreadableChosenFile() {
    AppFixture app;
    app.start();
    QVERIFY(QFile::remove(app.path("rus.lng")));
    QVERIFY(QDir(app.dir.path()).mkdir("rus.lng"));
    const QString title = app.f1()->windowTitle();
    chooseLanguage(app.f2(), 2);
    QCOMPARE(app.errorBoxes.size(), 1);
    QVERIFY(app.messageBoxes.isEmpty());
    QCOMPARE(app.f1()->windowTitle(), title);
    QCOMPARE(app.f1()->property("fontCharset").toInt(), 238);
    QVERIFY(QFileInfo(app.path("rus.lng")).isDir());
}

void TstLanguages::writeFailureAtStart() {
    AppFixture app;
    writeFile(app.path("vrk.ini"), iniFor("ang"));
    {
        FileSizeLimit limit(100);
        QVERIFY(limit.ok());
        app.start();
    }
    QCOMPARE(app.errorBoxes.size(), 1);
    QCOMPARE(QDir(app.dir.path()).entryList(QDir::Files), QStringList{"vrk.ini"});
    // The program goes on with its built-in texts, and the next switch writes the files.
    QCOMPARE(app.f1()->windowTitle(), QString::fromUtf8("Przekaźnik statyczny nadprądowy VRK-...T8/230"));
    chooseLanguage(app.f2(), 1);
    QCOMPARE(app.f1()->windowTitle(), QStringLiteral("Overcurrent static relay VRK-...T8/230"));
    QCOMPARE(app.errorBoxes.size(), 1);
}

void TstLanguages::badFilesApplied_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("binary") << int(Bad::Binary);
    QTest::newRow("lines of 1 MB") << int(Bad::LongLines);
    QTest::newRow("one line of 100 MB") << int(Bad::HugeLine);
    QTest::newRow("100 MB of short lines") << int(Bad::HugeFile);
    QTest::newRow("UTF-8 instead of the code page") << int(Bad::Utf8);
}

void TstLanguages::badFilesApplied() {
    QFETCH(int, kind);
    AppFixture app;
    makeBad(Bad(kind), app.path("pol.lng"));
    const QByteArray before = Bad(kind) == Bad::HugeLine || Bad(kind) == Bad::HugeFile
                                  ? QByteArray()
                                  : readBack(app.path("pol.lng"));
    const qint64 size = QFileInfo(app.path("pol.lng")).size();
    app.start();
    QVERIFY(app.errorBoxes.isEmpty());
    for (const Target& t : targets())
        QVERIFY(t.read(app.f1(), app.f2()).size() <= files::kMaxLineBytes);
    QCOMPARE(QFileInfo(app.path("pol.lng")).size(), size);
    if (!before.isEmpty()) QCOMPARE(readBack(app.path("pol.lng")), before);
}

QTEST_MAIN(TstLanguages)
#include "tst_languages.moc"

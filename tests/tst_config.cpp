// vrk.ini and the settings dialog: the exact whole-line rules, the writer,
// files that are not what they should be, and the dialog itself.
#include "appfixture.h"
#include "config/inifile.h"
#include "config/tform2.h"
#include "files/files.h"
#include "widgets/controls.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "filetestsupport.h"

#include <optional>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

Q_DECLARE_METATYPE(ini::Selections)

namespace ini {
// How QCOMPARE shows a set of selections.
char* toString(const Selections& s) {
    return qstrdup(QStringLiteral("{port %1 speed %2 parity %3 address %4 stop %5 data %6 language %7}")
                       .arg(s.port)
                       .arg(s.speed)
                       .arg(s.parity)
                       .arg(s.address)
                       .arg(s.stopBits)
                       .arg(s.dataBits)
                       .arg(s.language)
                       .toLatin1()
                       .constData());
}
} // namespace ini

namespace {

using ini::Selections;

const QByteArray kDefaultIni = "Port: COM1\r\nPredkosc: 4800\r\nParzystosc: NONE\r\nAdres: 3\r\n"
                               "Bity stopu: 1\r\nBity danych: 8\r\nJezyk: pol\r\n";

Selections sel(int port, int speed, int parity, int address, int stop, int data, int language) {
    return Selections{port, speed, parity, address, stop, data, language};
}

using filetest::peakRssKb;
using filetest::readBack;
using filetest::resetPeakRss;
using filetest::writeFile;

// Files that stand where vrk.ini should be. Every kind is made at test time.
enum class Bad {
    Empty,
    Binary,
    LfOnly,
    CrOnly,
    LongFirstLine, // 1 MB line, then six good lines
    LongLines,     // every line 1 MB long
    HugeLine,      // one line of 100 MB
    HugeFile,      // 100 MB of short lines after seven good ones
    Utf16,
    Directory,
    Fifo,
    DevZero,
    Dangling,
};

const QByteArray kEnglishCom2 = "Port: COM2\r\nPredkosc: 9600\r\nParzystosc: EVEN\r\nAdres: 17\r\n"
                                "Bity stopu: 2\r\nBity danych: 7\r\nJezyk: ang\r\n";

void makeBad(Bad kind, const QString& path) {
    switch (kind) {
    case Bad::Empty:
        writeFile(path, {});
        break;
    case Bad::Binary: {
        QByteArray b(64 * 1024, '\0');
        QRandomGenerator gen(2003);
        for (char& c : b)
            c = char(gen.bounded(256));
        writeFile(path, b);
        break;
    }
    case Bad::LfOnly: {
        QByteArray b = kEnglishCom2;
        b.replace("\r\n", "\n");
        writeFile(path, b);
        break;
    }
    case Bad::CrOnly: {
        QByteArray b = kEnglishCom2;
        b.replace("\r\n", "\r");
        writeFile(path, b);
        break;
    }
    case Bad::LongFirstLine: {
        QByteArray b = "Port: COM2" + QByteArray(1 << 20, 'x') + "\r\n";
        b += kEnglishCom2.mid(kEnglishCom2.indexOf('\n') + 1);
        writeFile(path, b);
        break;
    }
    case Bad::LongLines: {
        QByteArray b;
        for (const QByteArray& line : kEnglishCom2.split('\n'))
            if (!line.isEmpty()) b += line.chopped(1) + QByteArray(1 << 20, ' ') + "\r\n";
        writeFile(path, b);
        break;
    }
    case Bad::HugeLine: {
        // A sparse file: 100 MB of NUL bytes and not one line end.
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(100LL << 20));
        break;
    }
    case Bad::HugeFile: {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(kEnglishCom2);
        QByteArray chunk;
        while (chunk.size() < (1 << 20))
            chunk += "Jezyk: rus\r\n";
        for (int i = 0; i < 100; ++i)
            QCOMPARE(f.write(chunk), chunk.size());
        break;
    }
    case Bad::Utf16: {
        QByteArray b = "\xff\xfe";
        for (char c : kEnglishCom2)
            b += QByteArray(1, c) + '\0';
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
        QVERIFY(QFile::link(QFileInfo(path).absolutePath() + "/nowhere/vrk.ini", path));
        break;
    }
}

const Selections kInitial{};
const Selections kEnglishCom2Sel = sel(1, 1, 1, 16, 1, 1, 1);

void addBadRows() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<Selections>("expected");
    QTest::newRow("empty") << int(Bad::Empty) << true << kInitial;
    QTest::newRow("binary") << int(Bad::Binary) << true << kInitial;
    QTest::newRow("LF-only line ends") << int(Bad::LfOnly) << true << kEnglishCom2Sel;
    QTest::newRow("CR-only line ends: one line") << int(Bad::CrOnly) << true << kInitial;
    QTest::newRow("1 MB first line, good rest")
        << int(Bad::LongFirstLine) << true << sel(0, 1, 1, 16, 1, 1, 1);
    QTest::newRow("every line 1 MB") << int(Bad::LongLines) << true << kInitial;
    QTest::newRow("one line of 100 MB") << int(Bad::HugeLine) << true << kInitial;
    QTest::newRow("100 MB of short lines") << int(Bad::HugeFile) << true << kEnglishCom2Sel;
    QTest::newRow("UTF-16") << int(Bad::Utf16) << true << kInitial;
    QTest::newRow("directory") << int(Bad::Directory) << false << kInitial;
    QTest::newRow("FIFO") << int(Bad::Fifo) << false << kInitial;
    QTest::newRow("link to /dev/zero") << int(Bad::DevZero) << false << kInitial;
    QTest::newRow("dangling link") << int(Bad::Dangling) << false << kInitial;
}

} // namespace

class TstConfig : public QObject {
    Q_OBJECT
private slots:
    // the rules
    void lines_data();
    void lines();
    void writer_data();
    void writer();
    void readerLineEnds_data();
    void readerLineEnds();
    void readerBadFiles_data();
    void readerBadFiles();
    void readerMemoryBounded();
    void writeWholeRefuses_data();
    void writeWholeRefuses();

    // the dialog
    void dialogControls();
    void dialogLayout_data();
    void dialogLayout();
    void firstStartWritesDefaults();
    void com4SelectsCom2();
    void addressBeyondList();
    void loadingIni_data();
    void loadingIni();
    void badIniAtStart_data();
    void badIniAtStart();
    void okOverNonFileReports();
    void failedWriteKeepsOldFile();
    void iniInFolderWithoutNewFiles_data();
    void iniInFolderWithoutNewFiles();
    void closeBoxOnlyHides();
    void languageAppliedAtOnceStoredByOk();
    void typedTextCountsForNothing();
};

// ---------------------------------------------------------------- rules

void TstConfig::lines_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<Selections>("expected");
    const QStringList good = {"Port: COM2",    "Predkosc: 19200", "Parzystosc: ODD", "Adres: 247",
                              "Bity stopu: 2", "Bity danych: 7",  "Jezyk: rus"};
    QTest::newRow("defaults") << QString::fromLatin1(kDefaultIni).split("\r\n").mid(0, 7) << kInitial;
    QTest::newRow("all other values") << good << sel(1, 0, 0, 246, 1, 1, 2);
    QTest::newRow("no lines") << QStringList() << kInitial;
    QTest::newRow("three lines") << good.mid(0, 3) << sel(1, 0, 0, 2, 0, 0, 0);
    QTest::newRow("COM3 selects COM2") << QStringList{"Port: COM3"} << sel(1, 2, 2, 2, 0, 0, 0);
    QTest::newRow("COM4 selects COM2") << QStringList{"Port: COM4"} << sel(1, 2, 2, 2, 0, 0, 0);
    QTest::newRow("COM5 matches nothing") << QStringList{"Port: COM5"} << kInitial;
    QTest::newRow("port lower case") << QStringList{"port: COM2"} << kInitial;
    QTest::newRow("port trailing blank") << QStringList{"Port: COM2 "} << kInitial;
    QTest::newRow("port leading blank") << QStringList{" Port: COM2"} << kInitial;
    for (const char* speed : {"9600", "2400"}) {
        const int index = QByteArray(speed) == "9600" ? 1 : 3;
        QTest::addRow("speed %s", speed)
            << QStringList{"", QStringLiteral("Predkosc: %1").arg(speed)} << sel(0, index, 2, 2, 0, 0, 0);
    }
    QTest::newRow("speed 115200") << QStringList{"", "Predkosc: 115200"} << kInitial;
    QTest::newRow("speed trailing blank") << QStringList{"", "Predkosc: 9600 "} << kInitial;
    QTest::newRow("parity even") << QStringList{"", "", "Parzystosc: EVEN"} << sel(0, 2, 1, 2, 0, 0, 0);
    QTest::newRow("parity lower case") << QStringList{"", "", "Parzystosc: even"} << kInitial;
    QTest::newRow("address 1") << QStringList{"", "", "", "Adres: 1"} << sel(0, 2, 2, 0, 0, 0, 0);
    QTest::newRow("address 247 last entry")
        << QStringList{"", "", "", "Adres: 247"} << sel(0, 2, 2, 246, 0, 0, 0);
    QTest::newRow("address 248 none") << QStringList{"", "", "", "Adres: 248"} << sel(0, 2, 2, -1, 0, 0, 0);
    QTest::newRow("address 250 none") << QStringList{"", "", "", "Adres: 250"} << sel(0, 2, 2, -1, 0, 0, 0);
    QTest::newRow("address 255 none") << QStringList{"", "", "", "Adres: 255"} << sel(0, 2, 2, -1, 0, 0, 0);
    QTest::newRow("address 256 nothing") << QStringList{"", "", "", "Adres: 256"} << kInitial;
    QTest::newRow("address 0 nothing") << QStringList{"", "", "", "Adres: 0"} << kInitial;
    QTest::newRow("address leading zero") << QStringList{"", "", "", "Adres: 05"} << kInitial;
    QTest::newRow("address plus sign") << QStringList{"", "", "", "Adres: +5"} << kInitial;
    QTest::newRow("address without blank") << QStringList{"", "", "", "Adres:5"} << kInitial;
    QTest::newRow("address trailing blank") << QStringList{"", "", "", "Adres: 5 "} << kInitial;
    QTest::newRow("stop bits 2") << QStringList{"", "", "", "", "Bity stopu: 2"} << sel(0, 2, 2, 2, 1, 0, 0);
    QTest::newRow("stop bits 3") << QStringList{"", "", "", "", "Bity stopu: 3"} << kInitial;
    QTest::newRow("data bits 7") << QStringList{"", "", "", "", "", "Bity danych: 7"}
                                 << sel(0, 2, 2, 2, 0, 1, 0);
    QTest::newRow("data bits 9") << QStringList{"", "", "", "", "", "Bity danych: 9"} << kInitial;
    QTest::newRow("english") << QStringList{"", "", "", "", "", "", "Jezyk: ang"} << sel(0, 2, 2, 2, 0, 0, 1);
    QTest::newRow("english capital") << QStringList{"", "", "", "", "", "", "Jezyk: Ang"} << kInitial;
    QTest::newRow("english trailing blank") << QStringList{"", "", "", "", "", "", "Jezyk: ang "} << kInitial;
    QTest::newRow("value in the wrong line") << QStringList{"Predkosc: 9600", "Port: COM2"} << kInitial;
    QTest::newRow("lines after seven ignored")
        << QStringList{"", "", "", "", "", "", "", "Jezyk: ang"} << kInitial;
}

void TstConfig::lines() {
    QFETCH(QStringList, lines);
    QFETCH(Selections, expected);
    QCOMPARE(ini::applyLines(lines, kInitial), expected);
}

void TstConfig::writer_data() {
    QTest::addColumn<Selections>("selections");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("defaults") << kInitial << kDefaultIni;
    QTest::newRow("others") << sel(1, 0, 0, 246, 1, 1, 2)
                            << QByteArray("Port: COM2\r\nPredkosc: 19200\r\nParzystosc: ODD\r\nAdres: 247\r\n"
                                          "Bity stopu: 2\r\nBity danych: 7\r\nJezyk: rus\r\n");
    QTest::newRow("nothing selected") << sel(-1, -1, -1, -1, -1, -1, -1)
                                      << QByteArray("Port: COM0\r\nPredkosc: \r\nParzystosc: \r\nAdres: 0\r\n"
                                                    "Bity stopu: 0\r\nBity danych: 9\r\nJezyk: pol\r\n");
}

void TstConfig::writer() {
    QFETCH(Selections, selections);
    QFETCH(QByteArray, file);
    QCOMPARE(ini::fileText(selections), file);
    // What the writer leaves for a list without a selection is recognised as nothing.
    const Selections back = ini::applyLines(QString::fromLatin1(file).split("\r\n"), kInitial);
    if (selections.address >= 0)
        QCOMPARE(back, selections);
    else
        QCOMPARE(back, kInitial);
}

void TstConfig::readerLineEnds_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("no end on the last line") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("CR only stays in the line") << QByteArray("a\rb\r") << QStringList{"a\rb\r"};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList{"a\r", "b"};
    QTest::newRow("empty lines") << QByteArray("\r\n\r\nc\r\n") << QStringList{"", "", "c"};
    QTest::newRow("NUL byte") << QByteArray("a\0b\r\n", 5) << QStringList{QString::fromLatin1("a\0b", 3)};
    QTest::newRow("stops after seven")
        << QByteArray("1\n2\n3\n4\n5\n6\n7\n8\n9\n") << QStringList{"1", "2", "3", "4", "5", "6", "7"};
}

void TstConfig::readerLineEnds() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath("vrk.ini");
    writeFile(path, bytes);
    const ini::ReadResult r = ini::readFile(path);
    QVERIFY(r.ok);
    QCOMPARE(r.lines, lines);
}

void TstConfig::readerBadFiles_data() {
    addBadRows();
}

void TstConfig::readerBadFiles() {
    QFETCH(int, kind);
    QFETCH(bool, readable);
    QFETCH(Selections, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("vrk.ini");
    makeBad(Bad(kind), path);
    const ini::ReadResult r = ini::readFile(path);
    QCOMPARE(r.ok, readable);
    QCOMPARE(r.error.isEmpty(), readable);
    QVERIFY(r.lines.size() <= ini::kLineCount);
    for (const QString& line : r.lines)
        QVERIFY(line.size() <= files::kMaxLineBytes);
    if (readable) QCOMPARE(ini::applyLines(r.lines, kInitial), expected);
}

void TstConfig::readerMemoryBounded() {
    QTemporaryDir dir;
    const QString path = dir.filePath("vrk.ini");
    makeBad(Bad::HugeLine, path);
    QVERIFY2(resetPeakRss(), "the peak resident memory cannot be reset here (/proc/self/clear_refs)");
    const qint64 before = peakRssKb();
    const ini::ReadResult r = ini::readFile(path);
    const qint64 growth = peakRssKb() - before;
    QVERIFY(r.ok);
    QCOMPARE(r.lines.size(), 1);
    QCOMPARE(r.lines[0].size(), files::kMaxLineBytes);
    QVERIFY2(growth < 8 * 1024, qPrintable(QStringLiteral("grew by %1 kB").arg(growth)));
}

void TstConfig::writeWholeRefuses_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("directory") << int(Bad::Directory);
    QTest::newRow("FIFO") << int(Bad::Fifo);
    QTest::newRow("link to /dev/zero") << int(Bad::DevZero);
    QTest::newRow("dangling link") << int(Bad::Dangling);
    QTest::newRow("parent is a file") << -1;
}

void TstConfig::writeWholeRefuses() {
    QFETCH(int, kind);
    QTemporaryDir dir;
    QString path = dir.filePath("vrk.ini");
    if (kind < 0) {
        writeFile(dir.filePath("plain"), "x");
        path = dir.filePath("plain/vrk.ini");
    } else {
        makeBad(Bad(kind), path);
    }
    const QFileInfo before(path);
    QString error;
    QVERIFY(!files::writeWhole(path, kDefaultIni, &error));
    QVERIFY(!error.isEmpty());
    const QFileInfo after(path);
    QCOMPARE(after.isDir(), before.isDir());
    QCOMPARE(after.isSymLink(), before.isSymLink());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(), 1);
}

// ---------------------------------------------------------------- the dialog

void TstConfig::dialogControls() {
    // As built, before any language is applied.
    TForm2 dialog(nullptr);
    TForm2* f2 = &dialog;
    QCOMPARE(f2->objectName(), QStringLiteral("Form2"));
    QVERIFY(!f2->isVisible());
    QCOMPARE(f2->size(), QSize(385, 121));
    QCOMPARE(f2->minimumSize(), f2->maximumSize());
    QVERIFY(f2->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(f2->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(f2->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(f2->font().family(), QStringLiteral("Arial"));
    QCOMPARE(f2->font().pixelSize(), 11);

    auto* port = f2->findChild<RadioGroup*>("RadioGroup1");
    auto* language = f2->findChild<RadioGroup*>("RadioGroup2");
    QVERIFY(port && language);
    QCOMPARE(port->title(), QStringLiteral("Numer portu"));
    QCOMPARE(port->count(), 2);
    QCOMPARE(port->button(0)->text(), QStringLiteral("COM1"));
    QCOMPARE(port->button(1)->text(), QStringLiteral("COM2"));
    QCOMPARE(port->itemIndex(), 0);
    QCOMPARE(language->count(), 3);
    QCOMPARE(language->button(0)->text(), QStringLiteral("Polski"));
    QCOMPARE(language->button(1)->text(), QStringLiteral("English"));
    QCOMPARE(language->button(2)->text(), QStringLiteral("Pycckuu"));
    QCOMPARE(language->itemIndex(), 0);

    struct List {
        const char* name;
        QStringList entries;
        int initial;
        bool enabled;
    };
    QStringList addresses;
    for (int n = 1; n <= 247; ++n)
        addresses << QString::number(n);
    const List lists[] = {
        {"ComboBox1", {"19200", "9600", "4800", "2400"}, 2, true},
        {"ComboBox2", {"ODD", "EVEN", "NONE"}, 2, false},
        {"ComboBox3", addresses, 2, true},
        {"ComboBox4", {"1 bit", "2 bity"}, 0, false},
        {"ComboBox5", {"8 bit", "7 bit"}, 0, false},
    };
    for (const List& l : lists) {
        auto* box = f2->findChild<QComboBox*>(l.name);
        QVERIFY2(box, l.name);
        QStringList entries;
        for (int i = 0; i < box->count(); ++i)
            entries << box->itemText(i);
        QCOMPARE(entries, l.entries);
        QCOMPARE(box->currentIndex(), l.initial);
        QCOMPARE(box->isEnabled(), l.enabled);
        QVERIFY(box->isEditable());
    }
    QCOMPARE(f2->busAddress(), 3);

    const std::pair<const char*, QString> frames[] = {{"GroupBox1", QString::fromUtf8("Prędkość")},
                                                      {"GroupBox2", QString::fromUtf8("Parzystość")},
                                                      {"GroupBox3", "Adres"},
                                                      {"GroupBox4", "Bity stopu"},
                                                      {"GroupBox5", "Bity danych"}};
    for (const auto& [name, caption] : frames) {
        auto* g = f2->findChild<QGroupBox*>(name);
        QVERIFY2(g, name);
        QCOMPARE(g->title(), caption);
    }
    auto* ok = f2->findChild<QPushButton*>("Button1");
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("&Ok"));
    QCOMPARE(f2->windowTitle(), QStringLiteral("Ustawienia"));
    QCOMPARE(language->title(), QString::fromUtf8("Język"));
    QCOMPARE(f2->focusWidget(), ok);
}

void TstConfig::dialogLayout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // in the dialog's coordinates
    QTest::newRow("RadioGroup1") << "RadioGroup1" << QRect(0, 0, 93, 59);
    QTest::newRow("GroupBox1") << "GroupBox1" << QRect(98, 0, 97, 57);
    QTest::newRow("GroupBox2") << "GroupBox2" << QRect(202, 0, 97, 57);
    QTest::newRow("RadioGroup2") << "RadioGroup2" << QRect(302, 0, 83, 73);
    QTest::newRow("GroupBox3") << "GroupBox3" << QRect(2, 64, 91, 57);
    QTest::newRow("GroupBox5") << "GroupBox5" << QRect(100, 64, 97, 57);
    QTest::newRow("GroupBox4") << "GroupBox4" << QRect(202, 64, 97, 57);
    QTest::newRow("Button1") << "Button1" << QRect(308, 90, 75, 25);
}

void TstConfig::dialogLayout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    TForm2 f2(nullptr);
    auto* w = f2.findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(QRect(w->mapTo(&f2, QPoint(0, 0)), w->size()), geometry);
    // The lists, by their left edge, top and width.
    const std::pair<const char*, QRect> lists[] = {{"ComboBox1", {108, 24, 81, 0}},
                                                   {"ComboBox2", {208, 24, 81, 0}},
                                                   {"ComboBox3", {16, 88, 61, 0}},
                                                   {"ComboBox5", {108, 88, 81, 0}},
                                                   {"ComboBox4", {208, 88, 81, 0}}};
    for (const auto& [list, r] : lists) {
        auto* box = f2.findChild<QComboBox*>(list);
        QCOMPARE(box->mapTo(&f2, QPoint(0, 0)), r.topLeft());
        QCOMPARE(box->width(), r.width());
    }
}

void TstConfig::firstStartWritesDefaults() {
    AppFixture app;
    app.start();
    QCOMPARE(readBack(app.path("vrk.ini")), kDefaultIni);
    QVERIFY(app.errorBoxes.isEmpty());
    QVERIFY(app.messageBoxes.isEmpty());
    QCOMPARE(app.f2()->selections(), kInitial);
    // The start applied the Polish file, written just before.
    QVERIFY(QFileInfo::exists(app.path("pol.lng")));
    QCOMPARE(app.f2()->windowTitle(), QStringLiteral("Ustawienia transmisji"));
}

void TstConfig::com4SelectsCom2() {
    AppFixture app;
    writeFile(app.path("vrk.ini"), QByteArray(kDefaultIni).replace("COM1", "COM4"));
    app.start();
    QCOMPARE(app.f2()->RadioGroup1->itemIndex(), 1);
    QVERIFY(app.f2()->RadioGroup1->button(1)->isChecked());
    app.f2()->Button1Click();
    QCOMPARE(readBack(app.path("vrk.ini")), QByteArray(kDefaultIni).replace("COM1", "COM2"));
}

void TstConfig::addressBeyondList() {
    {
        AppFixture app;
        writeFile(app.path("vrk.ini"), QByteArray(kDefaultIni).replace("Adres: 3", "Adres: 250"));
        app.start();
        QCOMPARE(app.f2()->ComboBox3->currentIndex(), -1);
        QCOMPARE(app.f2()->ComboBox3->currentText(), QString());
        QCOMPARE(app.f2()->busAddress(), 0);
        app.f2()->Button1Click();
        QCOMPARE(readBack(app.path("vrk.ini")), QByteArray(kDefaultIni).replace("Adres: 3", "Adres: 0"));
    }
    {
        // ... and the address 0 written then matches nothing at the next start.
        AppFixture app;
        writeFile(app.path("vrk.ini"), QByteArray(kDefaultIni).replace("Adres: 3", "Adres: 0"));
        app.start();
        QCOMPARE(app.f2()->busAddress(), 3);
    }
    {
        AppFixture app;
        writeFile(app.path("vrk.ini"), QByteArray(kDefaultIni).replace("Adres: 3", "Adres: 247"));
        app.start();
        QCOMPARE(app.f2()->busAddress(), 247);
        QCOMPARE(app.f2()->ComboBox3->currentText(), QStringLiteral("247"));
    }
}

void TstConfig::loadingIni_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Selections>("expected");
    QTest::addColumn<QString>("mainTitle");
    const QString polish = QString::fromUtf8("Przekaźnik statyczny nadprądowy VRK-...T8/230");
    QTest::newRow("english, others") << kEnglishCom2 << kEnglishCom2Sel
                                     << QStringLiteral("Overcurrent static relay VRK-...T8/230");
    QTest::newRow("russian") << QByteArray(kDefaultIni).replace("pol", "rus") << sel(0, 2, 2, 2, 0, 0, 2)
                             << QStringLiteral("VRK-...T8/230");
    QTest::newRow("three lines") << QByteArray("Port: COM2\r\nPredkosc: 2400\r\nParzystosc: ODD\r\n")
                                 << sel(1, 3, 0, 2, 0, 0, 0) << polish;
    QTest::newRow("language in other case")
        << QByteArray(kDefaultIni).replace("pol", "ANG") << kInitial << polish;
    QTest::newRow("language with trailing blank")
        << QByteArray(kDefaultIni).replace("pol", "ang ") << kInitial << polish;
    QTest::newRow("trailing blanks everywhere")
        << QByteArray(kEnglishCom2).replace("\r\n", " \r\n") << kInitial << polish;
}

void TstConfig::loadingIni() {
    QFETCH(QByteArray, file);
    QFETCH(Selections, expected);
    QFETCH(QString, mainTitle);
    AppFixture app;
    writeFile(app.path("vrk.ini"), file);
    app.start();
    QCOMPARE(app.f2()->selections(), expected);
    QCOMPARE(app.f1()->windowTitle(), mainTitle);
    QVERIFY(app.errorBoxes.isEmpty());
    // Loading never rewrites the file.
    QCOMPARE(readBack(app.path("vrk.ini")), file);
}

void TstConfig::badIniAtStart_data() {
    addBadRows();
}

void TstConfig::badIniAtStart() {
    QFETCH(int, kind);
    QFETCH(bool, readable);
    QFETCH(Selections, expected);
    AppFixture app;
    makeBad(Bad(kind), app.path("vrk.ini"));
    const QFileInfo before(app.path("vrk.ini"));
    app.start();
    QCOMPARE(app.f2()->selections(), expected);
    QCOMPARE(app.errorBoxes.size(), readable ? 0 : 1);
    if (!readable) {
        // The language is not applied: the windows keep their built-in texts,
        // and no language file was written.
        QCOMPARE(app.f2()->windowTitle(), QStringLiteral("Ustawienia"));
        QCOMPARE(app.f1()->windowTitle(), QString::fromUtf8("Przekaźnik statyczny nadprądowy VRK-...T8/230"));
        QVERIFY(!QFileInfo::exists(app.path("pol.lng")));
    }
    const QFileInfo after(app.path("vrk.ini"));
    QCOMPARE(after.isDir(), before.isDir());
    QCOMPARE(after.isSymLink(), before.isSymLink());
    QCOMPARE(after.size(), before.size());
}

void TstConfig::okOverNonFileReports() {
    AppFixture app;
    makeBad(Bad::Fifo, app.path("vrk.ini"));
    app.start();
    QCOMPARE(app.errorBoxes.size(), 1);
    app.f2()->show();
    app.f2()->Button1Click();
    QVERIFY(!app.f2()->isVisible());
    QCOMPARE(app.errorBoxes.size(), 2);
    struct stat st {};
    QCOMPARE(::lstat(QFile::encodeName(app.path("vrk.ini")).constData(), &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode));
}

void TstConfig::failedWriteKeepsOldFile() {
    AppFixture app;
    writeFile(app.path("vrk.ini"), kEnglishCom2);
    app.start();
    app.f2()->ComboBox1->setCurrentIndex(3);
    const QStringList entriesBefore = QDir(app.dir.path()).entryList(QDir::Files);

    // The disk refuses to take more than a few bytes: a limit on the file size
    // stops even the superuser, where permissions do not.
    {
        filetest::FileSizeLimit limit(8);
        QVERIFY(limit.ok());
        app.f2()->Button1Click();
    }

    QCOMPARE(app.errorBoxes.size(), 1);
    QVERIFY(!app.errorBoxes[0].isEmpty());
    QCOMPARE(readBack(app.path("vrk.ini")), kEnglishCom2);
    // No half-written temporary file is left behind.
    QCOMPARE(QDir(app.dir.path()).entryList(QDir::Files), entriesBefore);

    // Once the disk takes it again, OK stores the new speed.
    app.f2()->Button1Click();
    QCOMPARE(app.errorBoxes.size(), 1);
    QCOMPARE(readBack(app.path("vrk.ini")), QByteArray(kEnglishCom2).replace("9600", "2400"));
}

void TstConfig::iniInFolderWithoutNewFiles_data() {
    QTest::addColumn<bool>("immutable"); // else the file module's own switch
    QTest::addColumn<bool>("cut");       // the new file is longer than a file-size limit allows
    QTest::newRow("immutable folder") << true << false;
    QTest::newRow("immutable folder, cut by a size limit") << true << true;
    QTest::newRow("module switch") << false << false;
    QTest::newRow("module switch, cut by a size limit") << false << true;
}

// A writable vrk.ini in a folder where no new file can be made (no temporary
// file for the atomic save) is written in place; a failure there is reported.
// The immutable flag stops the superuser too, where permission bits do not.
void TstConfig::iniInFolderWithoutNewFiles() {
    QFETCH(bool, immutable);
    QFETCH(bool, cut);
    AppFixture app;
    app.start();
    TForm2* f2 = app.f2();
    f2->show();
    QCOMPARE(readBack(app.path("vrk.ini")), kDefaultIni);
    QTest::mouseClick(f2->RadioGroup2->button(1), Qt::LeftButton);
    QByteArray expected = QByteArray(kDefaultIni).replace("pol", "ang");
    if (cut) {
        f2->ComboBox3->setCurrentIndex(99);
        expected.replace("Adres: 3", "Adres: 100");
    }
    const QStringList entriesBefore = QDir(app.dir.path()).entryList(QDir::Files);
    {
        std::optional<filetest::ImmutableFolder> folder;
        if (immutable) {
            folder.emplace(app.dir.path());
            QVERIFY2(folder->ok(), "the immutable flag cannot be set on this file system");
        } else {
            files::testing::refuseTemporaryFiles(true);
        }
        std::optional<filetest::FileSizeLimit> limit;
        if (cut) limit.emplace(rlim_t(kDefaultIni.size()));
        QTest::mouseClick(f2->Button1, Qt::LeftButton);
        files::testing::refuseTemporaryFiles(false);
    }
    QVERIFY(!f2->isVisible());
    QCOMPARE(QDir(app.dir.path()).entryList(QDir::Files), entriesBefore);
    if (!cut) {
        QCOMPARE(app.errorBoxes, QStringList());
        QCOMPARE(readBack(app.path("vrk.ini")), expected);
        return;
    }
    QCOMPARE(app.errorBoxes.size(), 1);
    QVERIFY2(app.errorBoxes[0].contains(QStringLiteral("vrk.ini")), qPrintable(app.errorBoxes[0]));
    QVERIFY(readBack(app.path("vrk.ini")) != expected);
}

void TstConfig::closeBoxOnlyHides() {
    AppFixture app;
    app.start();
    TForm2* f2 = app.f2();
    app.f1()->SpeedButton3Click();
    QVERIFY(f2->isVisible());
    f2->ComboBox1->setCurrentIndex(1);
    f2->close();
    QVERIFY(!f2->isVisible());
    // The new speed stays for this run, the file keeps the old one.
    QCOMPARE(f2->ComboBox1->currentIndex(), 1);
    QCOMPARE(readBack(app.path("vrk.ini")), kDefaultIni);
    // Shown again, it is the same dialog with the same choice.
    app.f1()->SpeedButton3Click();
    QVERIFY(f2->isVisible());
    QCOMPARE(app.f2(), f2);
    QTest::mouseClick(f2->Button1, Qt::LeftButton);
    QVERIFY(!f2->isVisible());
    QCOMPARE(readBack(app.path("vrk.ini")), QByteArray(kDefaultIni).replace("4800", "9600"));
}

void TstConfig::languageAppliedAtOnceStoredByOk() {
    AppFixture app;
    app.start();
    TForm2* f2 = app.f2();
    f2->show();
    QTest::mouseClick(f2->RadioGroup2->button(1), Qt::LeftButton);
    QCOMPARE(f2->languageIndex(), 1);
    QCOMPARE(app.f1()->windowTitle(), QStringLiteral("Overcurrent static relay VRK-...T8/230"));
    QCOMPARE(f2->windowTitle(), QStringLiteral("Communication setup"));
    QCOMPARE(readBack(app.path("vrk.ini")), kDefaultIni);
    QTest::mouseClick(f2->Button1, Qt::LeftButton);
    QCOMPARE(readBack(app.path("vrk.ini")), QByteArray(kDefaultIni).replace("pol", "ang"));
}

void TstConfig::typedTextCountsForNothing() {
    AppFixture app;
    app.start();
    TForm2* f2 = app.f2();
    f2->show();
    QLineEdit* field = f2->ComboBox3->lineEdit();
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "abc");
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(f2->ComboBox3->count(), 247);
    QCOMPARE(f2->busAddress(), 3);
    QCOMPARE(f2->ComboBox3->currentText(), QStringLiteral("3"));
    f2->Button1Click();
    QCOMPARE(readBack(app.path("vrk.ini")), kDefaultIni);
}

QTEST_MAIN(TstConfig)
#include "tst_config.moc"

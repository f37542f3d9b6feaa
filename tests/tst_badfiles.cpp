// Every kind of file the program reads, handed to the real program in every
// bad shape a technician's PC can offer: settings (vrk.ini), language files,
// setpoint files and recordings. None may crash or hang it, make it read
// without bound, or touch any other file; each ends as the program's rules
// say (kept, refused, emptied, or the standard error box). Then the disk
// failing the program: a recording saved under a file-size limit, and
// recordings whose open fails after another was shown.
#include "appfixture.h"
#include "form1setup.h"
#include "tests/controls.h"

#include "files/files.h"
#include "filetestsupport.h"
#include "trends/recorderchart.h"
#include "trends/rules.h"
#include "widgets/controls.h"

#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Kind { Ini, Language, Setpoints, Recording };
enum class Shape {
    Empty,
    Binary,
    OneLongLine,
    ManyShortLines,
    CrOnly,
    LfOnly,
    WrongCodePage,
    Directory,
    Fifo,
    DevZero,
    DanglingLink,
    Vanishes,
    SparseHuge,  // 3 GB of zero bytes, no line end, taking no disk
    LineTooLong, // a good file but for one line of 4,099 characters
};

long residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// A valid line of each kind, to build the line-end shapes from.
QByteArray goodLines(Kind kind) {
    switch (kind) {
    case Kind::Ini:
        return "Port: COM2\nPredkosc: 9600\nParzystosc: NONE\nAdres: 7\nBity stopu: 1\nBity danych: "
               "8\nJezyk: pol\n";
    case Kind::Language: {
        QByteArray out;
        for (int i = 1; i <= 90; ++i)
            out += "line " + QByteArray::number(i) + "\n";
        return out;
    }
    case Kind::Setpoints:
        return "12,5\n3,5\n150\n40\n10\n30\n5\n400\n80\n115\n2,5\n2\n12.06\n09:05\n";
    case Kind::Recording: {
        QByteArray out;
        for (int i = 0; i < 500; ++i)
            out += "100 98 101 400 401 399 35 85 5500 \n";
        return out;
    }
    }
    return {};
}

// Writes `bytes` of content made by repeating `unit`, without holding it all in memory.
bool writeRepeated(const QString& path, const QByteArray& unit, qint64 bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QByteArray block;
    while (block.size() < (1 << 20))
        block += unit;
    for (qint64 done = 0; done < bytes; done += block.size())
        if (f.write(block) != block.size()) return false;
    return true;
}

bool makeShape(const QString& path, Kind kind, Shape shape) {
    QFile::remove(path);
    auto write = [&](const QByteArray& data) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    };
    switch (shape) {
    case Shape::Empty:
        return write({});
    case Shape::Binary: {
        QByteArray b(64 * 1024, '\0');
        quint32 x = 2463534242u;
        for (char& c : b) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            c = char(x);
        }
        return write(b);
    }
    case Shape::OneLongLine:
        return writeRepeated(path, "7", 100LL << 20);
    case Shape::ManyShortLines:
        return writeRepeated(path, "1 2\r\n", 100LL << 20);
    case Shape::CrOnly:
        return write(goodLines(kind).replace('\n', '\r'));
    case Shape::LfOnly:
        return write(goodLines(kind));
    case Shape::WrongCodePage:
        // UTF-16 with a byte-order mark: no single-byte code page reads it.
        return write(QByteArray("\xff\xfe", 2) +
                     QByteArray(reinterpret_cast<const char*>(QString::fromLatin1(goodLines(kind)).utf16()),
                                goodLines(kind).size() * 2));
    case Shape::Directory:
        return QDir().mkdir(path);
    case Shape::Fifo:
        return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    case Shape::DevZero:
        return QFile::link(QStringLiteral("/dev/zero"), path);
    case Shape::DanglingLink:
        return QFile::link(path + QStringLiteral(".nowhere"), path);
    case Shape::Vanishes:
        return write(goodLines(kind));
    case Shape::SparseHuge: {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.resize(3LL << 30);
    }
    case Shape::LineTooLong: {
        // Cut to 4,096 characters it would still look like a number.
        QList<QByteArray> lines = goodLines(kind).split('\n');
        const QByteArray number = kind == Kind::Setpoints ? "40000" : "100";
        lines[3] = QByteArray(4099 - number.size(), '0') + number;
        return write(lines.join('\n'));
    }
    }
    return false;
}

// Names and sizes of every other file in the folder, to prove none was touched.
QMap<QString, QString> otherFiles(const QString& dir, const QString& except) {
    QMap<QString, QString> out;
    QDirIterator it(dir, QDir::Files | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden);
    while (it.hasNext()) {
        const QString p = it.next();
        if (QFileInfo(p).fileName() == except) continue;
        QFile f(p);
        out.insert(QFileInfo(p).fileName(), f.open(QIODevice::ReadOnly)
                                                ? QString::fromLatin1(f.readAll().toHex())
                                                : QStringLiteral("?"));
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Shape)

class TstBadFiles : public QObject {
    Q_OBJECT
private slots:
    void badFile_data();
    void badFile();
    void recordingSaveUnderSizeLimit();
    void programsLiveUnderSizeLimit_data();
    void programsLiveUnderSizeLimit();
    void settingsNeverWriteThroughLink_data();
    void settingsNeverWriteThroughLink();
    void failedOpenLeavesNoFileTitle_data();
    void failedOpenLeavesNoFileTitle();
};

void TstBadFiles::badFile_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<Shape>("shape");
    const struct {
        Kind kind;
        const char* name;
    } kinds[] = {{Kind::Ini, "vrk.ini"},
                 {Kind::Language, "pol.lng"},
                 {Kind::Setpoints, "*.vrk"},
                 {Kind::Recording, "*.rej"}};
    const struct {
        Shape shape;
        const char* name;
    } shapes[] = {{Shape::Empty, "empty"},
                  {Shape::Binary, "binary"},
                  {Shape::OneLongLine, "one line of 100 MB"},
                  {Shape::ManyShortLines, "100 MB of short lines"},
                  {Shape::CrOnly, "CR-only line ends"},
                  {Shape::LfOnly, "LF-only line ends"},
                  {Shape::WrongCodePage, "wrong code page"},
                  {Shape::Directory, "a directory"},
                  {Shape::Fifo, "a FIFO"},
                  {Shape::DevZero, "/dev/zero"},
                  {Shape::DanglingLink, "a dangling symlink"},
                  {Shape::Vanishes, "vanishes after the dialog"},
                  {Shape::SparseHuge, "3 GB without a line end"},
                  {Shape::LineTooLong, "a line of 4099 characters"}};
    for (const auto& k : kinds)
        for (const auto& s : shapes) {
            if (s.shape == Shape::Vanishes && (k.kind == Kind::Ini || k.kind == Kind::Language)) continue;
            // Files the user picks; the settings and language files are read at start.
            if ((s.shape == Shape::SparseHuge || s.shape == Shape::LineTooLong) &&
                (k.kind == Kind::Ini || k.kind == Kind::Language))
                continue;
            QTest::newRow(
                qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(k.name), QLatin1String(s.name))))
                << k.kind << s.shape;
        }
}

void TstBadFiles::badFile() {
    QFETCH(Kind, kind);
    QFETCH(Shape, shape);
    AppFixture app;
    const QString name = kind == Kind::Ini         ? QStringLiteral("vrk.ini")
                         : kind == Kind::Language  ? QStringLiteral("pol.lng")
                         : kind == Kind::Setpoints ? QStringLiteral("bad.vrk")
                                                   : QStringLiteral("bad.rej");
    const QString path = app.path(name);
    // Files that must come through untouched: a bystander, and for the
    // language case the settings that choose Polish.
    {
        QFile keep(app.path(QStringLiteral("keep.txt")));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("keep me\r\n");
    }
    if (kind == Kind::Language) {
        QFile ini(app.path(QStringLiteral("vrk.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("Port: COM1\r\nPredkosc: 4800\r\nParzystosc: NONE\r\nAdres: 3\r\nBity stopu: 1\r\n"
                  "Bity danych: 8\r\nJezyk: pol\r\n");
    }
    if (kind == Kind::Setpoints || kind == Kind::Recording) app.start();
    QVERIFY(makeShape(path, kind, shape));
    const auto before = otherFiles(app.dir.path(), name);
    const long rssBefore = residentKb();

    QElapsedTimer took;
    took.start();
    switch (kind) {
    case Kind::Ini:
    case Kind::Language:
        app.start(); // the settings dialog reads vrk.ini, then the language file
        break;
    case Kind::Setpoints:
    case Kind::Recording: {
        control<StringGrid>(app.f1(), "StringGrid1")->setCell(3, 3, QStringLiteral("40"));
        seams::current().openFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
            if (shape == Shape::Vanishes) QFile::remove(path);
            return path;
        };
        if (kind == Kind::Setpoints)
            app.f1()->SpeedButton9Click();
        else
            app.f1()->SpeedButton13Click();
        break;
    }
    }
    // Bounded readers stop early; none of this may take long (a hang would stop the test here).
    QVERIFY2(took.elapsed() < 20000, "reading took too long");
    const long grown = residentKb() - rssBefore;
    QVERIFY2(grown < 32 * 1024, qPrintable(QStringLiteral("memory grew by %1 kB").arg(grown)));

    TForm1* f = app.f1();
    QVERIFY(f && app.f2());
    const bool notAFile = shape == Shape::Directory || shape == Shape::Fifo || shape == Shape::DevZero ||
                          shape == Shape::Vanishes ||
                          (shape == Shape::DanglingLink && kind != Kind::Ini && kind != Kind::Language);
    switch (kind) {
    case Kind::Ini:
        // Only whole recognised lines count: a bad file leaves the built-in choices
        // (address 3), except LF-only lines, which are still lines.
        if (shape == Shape::LfOnly)
            QCOMPARE(app.f2()->busAddress(), 7);
        else
            QCOMPARE(app.f2()->busAddress(), 3);
        if (notAFile) QVERIFY(!app.errorBoxes.isEmpty());
        break;
    case Kind::Language:
        if (notAFile || shape == Shape::DanglingLink)
            QVERIFY(!app.errorBoxes.isEmpty() || !app.messageBoxes.isEmpty());
        if (shape == Shape::LfOnly) QCOMPARE(f->Label101->text(), QStringLiteral("line 31"));
        break;
    case Kind::Setpoints:
        if (shape == Shape::SparseHuge || shape == Shape::LineTooLong || shape == Shape::OneLongLine) {
            // A line longer than any setpoint line can be: refused with the
            // reason as soon as it is seen, before anything reaches the table.
            QCOMPARE(app.errorBoxes.size(), 1);
            QVERIFY2(app.errorBoxes[0].contains(path), qPrintable(app.errorBoxes[0]));
            QVERIFY2(app.errorBoxes[0].contains(QStringLiteral("4096")), qPrintable(app.errorBoxes[0]));
            QCOMPARE(control<StringGrid>(f, "StringGrid1")->cell(3, 3),
                     QStringLiteral("40")); // as before the load
        } else if (notAFile) {
            QVERIFY(!app.errorBoxes.isEmpty());
        } else if (shape == Shape::LfOnly || shape == Shape::CrOnly) {
            QCOMPARE(control<StringGrid>(f, "StringGrid1")->cell(3, 0),
                     QStringLiteral("12,5")); // a valid table, whatever the line ends
            QCOMPARE(control<StringGrid>(f, "StringGrid1")->cell(3, 13), QStringLiteral("09:05"));
        } else {
            for (int r = 0; r < 14; ++r)
                QCOMPARE(control<StringGrid>(f, "StringGrid1")->cell(3, r), QString()); // refused: emptied
        }
        break;
    case Kind::Recording:
        if (notAFile) QVERIFY(!app.errorBoxes.isEmpty());
        if (shape == Shape::LfOnly || shape == Shape::CrOnly || shape == Shape::Empty) {
            // A recording of fewer than 500 lines (none at all, too) is shown, zeros after its end.
            QVERIFY(
                control<RecorderChart>(f, "Chart2")->title().startsWith(QStringLiteral("Wykres z pliku: ")));
            QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->count(), 500);
            QCOMPARE(f->chartPage().state().fileHistory[0][499], shape == Shape::Empty ? 0 : 100);
        } else if (notAFile) {
            // The open fails before the chart is touched: recording goes on,
            // the file history is already cleared.
            QCOMPARE(control<RecorderChart>(f, "Chart2")->title(), QString());
            QVERIFY(control<QToolButton>(f, "SpeedButton8")->isChecked());
            QCOMPARE(f->chartPage().state().fileHistory[0][0], 0);
        } else {
            QCOMPARE(control<RecorderChart>(f, "Chart2")->title(),
                     QString()); // refused: no title, no traces, paused
            QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->count(), 0);
            QVERIFY(!control<QToolButton>(f, "SpeedButton8")->isChecked());
        }
        break;
    }
    // Files that existed before are byte for byte as they were.
    const auto after = otherFiles(app.dir.path(), name);
    for (auto it = before.constBegin(); it != before.constEnd(); ++it)
        QCOMPARE(after.value(it.key()), it.value());
    if (shape == Shape::Directory) QVERIFY(QFileInfo(path).isDir());
    if (shape == Shape::Fifo) QVERIFY(QFileInfo(path).isSymLink() || !QFileInfo(path).isFile());
}

namespace {

// A history whose every sample tells its channel and place.
recorder::History numbered(int base) {
    recorder::History h{};
    for (int c = 0; c < recorder::kChannels; ++c)
        for (int i = 0; i < recorder::kSamples; ++i)
            h[size_t(c)][size_t(i)] = base + (c + 1) * 1000 + i;
    return h;
}

// A click on the item's round indicator, as a user picks a quantity.
void pick(RadioGroup* g, int item) {
    QRadioButton* b = g->button(item);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    QCOMPARE(g->itemIndex(), item);
}

enum class OpenFault { Vanishes, Directory, Fifo, NotAllFields, FailsPartWay, FailsAtOnce };

} // namespace

Q_DECLARE_METATYPE(OpenFault)

// An empty history saves as 10 000 bytes, less than the save's write buffer:
// the limit strikes only when the buffer is flushed, and the old file must
// stay as it was.
void TstBadFiles::recordingSaveUnderSizeLimit() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QTest::mouseClick(f->SpeedButton23, Qt::LeftButton);
    QVERIFY(recorder::recordingBytes(f->chartPage().state().recorderHistory).size() < 16 * 1024);
    const QString path = app.path(QStringLiteral("old.rej"));
    const QByteArray old = recorder::recordingBytes(numbered(0)).left(3000);
    filetest::writeFile(path, old);
    const QStringList before = QDir(app.dir.path()).entryList(QDir::Files);
    app.saveAnswers << path;
    {
        filetest::FileSizeLimit limit(4096);
        QVERIFY(limit.ok());
        QTest::mouseClick(control<QToolButton>(f, "SpeedButton14"), Qt::LeftButton);
    }
    QCOMPARE(app.errorBoxes.size(), 1);
    QVERIFY2(app.errorBoxes[0].contains(path), qPrintable(app.errorBoxes[0]));
    QCOMPARE(filetest::readBack(path), old);
    QCOMPARE(QDir(app.dir.path()).entryList(QDir::Files), before);
    QVERIFY(control<QToolButton>(f, "SpeedButton8")->isChecked()); // the recording goes on
    // Without the limit the same click saves it.
    app.saveAnswers << path;
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton14"), Qt::LeftButton);
    QCOMPARE(app.errorBoxes.size(), 1);
    QCOMPARE(filetest::readBack(path), recorder::recordingBytes(f->chartPage().state().recorderHistory));
}

void TstBadFiles::failedOpenLeavesNoFileTitle_data() {
    QTest::addColumn<OpenFault>("fault");
    QTest::addColumn<bool>("box"); // the standard error box is shown
    QTest::newRow("vanishes after the dialog") << OpenFault::Vanishes << true;
    QTest::newRow("a directory") << OpenFault::Directory << true;
    QTest::newRow("a FIFO") << OpenFault::Fifo << true;
    QTest::newRow("refused: a line of eight fields") << OpenFault::NotAllFields << false;
    QTest::newRow("input/output error part-way") << OpenFault::FailsPartWay << true;
    QTest::newRow("input/output error at once") << OpenFault::FailsAtOnce << true;
}

// After a recording was shown, an open that fails leaves neither the earlier
// file's title nor traces, and later redraws show the live history.
void TstBadFiles::failedOpenLeavesNoFileTitle() {
    QFETCH(OpenFault, fault);
    QFETCH(bool, box);
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QTest::mouseClick(f->SpeedButton23, Qt::LeftButton);
    Form1TestSetup::setLiveHistory(*f, numbered(0)); // what the poll would have recorded
    const recorder::History live = f->chartPage().state().recorderHistory;

    const QString good = app.path(QStringLiteral("good.rej"));
    QVERIFY(recorder::writeRecording(good, numbered(500000), nullptr));
    app.openAnswers << good;
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton13"), Qt::LeftButton);
    QVERIFY(control<RecorderChart>(f, "Chart2")->title().startsWith(QStringLiteral("Wykres z pliku: ")));
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->count(), 500);

    QString path = app.path(QStringLiteral("bad.rej"));
    switch (fault) {
    case OpenFault::Vanishes:
        filetest::writeFile(path, recorder::recordingBytes(numbered(7)));
        seams::current().openFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
            QFile::remove(path);
            return path;
        };
        break;
    case OpenFault::Directory:
        QVERIFY(QDir().mkdir(path));
        break;
    case OpenFault::Fifo:
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    case OpenFault::NotAllFields:
        filetest::writeFile(path, "1 2 3 4 5 6 7 8 \r\n");
        break;
    case OpenFault::FailsPartWay:
        filetest::writeFile(path, recorder::recordingBytes(numbered(7)));
        files::testing::failReadsAfter(4096); // some lines in, then the disk fails
        break;
    case OpenFault::FailsAtOnce:
        path = QStringLiteral("/proc/self/mem");
        break;
    }
    if (fault != OpenFault::Vanishes) app.openAnswers << path;
    QTest::mouseClick(control<QToolButton>(f, "SpeedButton13"), Qt::LeftButton);
    files::testing::failReadsAfter(-1);

    QCOMPARE(app.errorBoxes.size(), box ? 1 : 0);
    if (box) QVERIFY2(app.errorBoxes[0].contains(path), qPrintable(app.errorBoxes[0]));
    QCOMPARE(control<RecorderChart>(f, "Chart2")->title(), QString());
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->count(), 0);
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series5()->count(), 0);
    // Later redraws, by picking quantities with the mouse, draw the live
    // history, still under no file's title.
    pick(control<RadioGroup>(f, "RadioGroup1"), 2);
    pick(control<RadioGroup>(f, "RadioGroup2"), 6);
    QCOMPARE(control<RecorderChart>(f, "Chart2")->title(), QString());
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->points(),
             recorder::tracePoints(*recorder::channelForItem(live, 2)));
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series5()->points(),
             recorder::tracePoints(*recorder::channelForItem(live, 6)));
}

void TstBadFiles::settingsNeverWriteThroughLink_data() {
    QTest::addColumn<bool>("outside"); // vrk.ini leads out of its folder
    QTest::newRow("vrk.ini a link to a file elsewhere") << true;
    QTest::newRow("vrk.ini a link in its folder") << false;
}

// OK in the settings with vrk.ini a symbolic link (to a system file, for a
// program run as root): the file it leads to is never replaced.
void TstBadFiles::settingsNeverWriteThroughLink() {
    QFETCH(bool, outside);
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    AppFixture app;
    const QString target =
        outside ? elsewhere.filePath(QStringLiteral("shadow")) : app.path(QStringLiteral("mine.ini"));
    const QByteArray old = "Port: COM1\r\nPredkosc: 4800\r\nParzystosc: NONE\r\nAdres: 3\r\nBity stopu: 1\r\n"
                           "Bity danych: 8\r\nJezyk: pol\r\n";
    filetest::writeFile(target, old);
    QVERIFY(QFile::link(target, app.path(QStringLiteral("vrk.ini"))));
    app.start();
    QTest::mouseClick(app.f2()->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    QCOMPARE(filetest::readBack(target), old);
    const QFileInfo ini(app.path(QStringLiteral("vrk.ini")));
    if (outside) {
        QCOMPARE(app.errorBoxes.size(), 1);
        QVERIFY2(app.errorBoxes[0].contains(target), qPrintable(app.errorBoxes[0]));
        QVERIFY(ini.isSymLink());
    } else {
        QVERIFY2(app.errorBoxes.isEmpty(), qPrintable(app.errorBoxes.join('\n')));
        QVERIFY(!ini.isSymLink());
        QVERIFY(filetest::readBack(ini.filePath()).startsWith("Port: "));
    }
}

void TstBadFiles::programsLiveUnderSizeLimit_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    // vrk writes vrk.ini and the language files at its start, vrk-sim its log's first line.
    QTest::newRow("vrk") << QStringLiteral("vrk") << QStringList{};
    QTest::newRow("vrk-sim") << QStringLiteral("vrk-sim")
                             << QStringList{QStringLiteral("--log"), QStringLiteral("sim.log")};
}

// Under `ulimit -f 0` (prlimit) a write at the limit must fail and be
// reported, not end the program by SIGXFSZ (status 153 in a shell): the
// programs ignore the signal from their first line on.
void TstBadFiles::programsLiveUnderSizeLimit() {
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess p;
    p.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("prlimit"),
            QStringList{QStringLiteral("--fsize=0"),
                        qEnvironmentVariable("VRK_BIN_DIR") + QStringLiteral("/bin/") + program} +
                args);
    QVERIFY(p.waitForStarted());
    // The kernel's word for the ignored signals: bit SIGXFSZ - 1 of SigIgn.
    auto ignoresSignal = [&p] {
        QFile status(QStringLiteral("/proc/%1/status").arg(p.processId()));
        if (!status.open(QIODevice::ReadOnly)) return false;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("SigIgn:"))
                return ((line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGXFSZ - 1)) & 1) != 0;
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(ignoresSignal() || p.state() == QProcess::NotRunning, 20000);
    QVERIFY2(ignoresSignal(), "SIGXFSZ is not ignored");
    // vrk-sim's first line out comes after its log's first write.
    if (program == QLatin1String("vrk-sim"))
        QVERIFY(p.bytesAvailable() > 0 || p.waitForReadyRead(20000) || p.state() == QProcess::NotRunning);
    QVERIFY2(p.state() == QProcess::Running,
             qPrintable(QStringLiteral("%1 ended (status %2, %3)")
                            .arg(program)
                            .arg(p.exitCode())
                            .arg(p.exitStatus() == QProcess::CrashExit ? QStringLiteral("by a signal")
                                                                       : QStringLiteral("normally"))));
    p.terminate();
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
    }
}

QTEST_MAIN(TstBadFiles)
#include "tst_badfiles.moc"

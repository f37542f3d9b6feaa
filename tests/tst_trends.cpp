// The recorder's rules without a window: sampling, the axis table, the
// recording file written and read, and files that are not recordings.
#include "tests/tst_trends_support.h"
#include "trends/rules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "filetestsupport.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace recorder;
using namespace trendstest;
using Values = std::array<qint32, kChannels>;
Q_DECLARE_METATYPE(Values)

namespace {

std::array<int, 12> regs(std::initializer_list<int> first) {
    std::array<int, 12> r{};
    int i = 0;
    for (int v : first)
        r[size_t(i++)] = v;
    return r;
}

Values values(std::initializer_list<qint32> v) {
    Values out;
    out.fill(-1);
    int i = 0;
    for (qint32 x : v)
        out[size_t(i++)] = x;
    return out;
}

} // namespace

class TestTrendsRules : public QObject {
    Q_OBJECT
private slots:
    void sampleFromRegisters_data();
    void sampleFromRegisters();
    void appendSample_firstSampleLeavesAfter500();
    void appendSample_newestLast();
    void axisSetup_data();
    void axisSetup();
    void axisTitle_readsLanguageLabel();
    void channelForItem();
    void tracePoints();

    void recordingBytes_noSamplesYet();
    void recordingBytes_exact();
    void recordingSaveName_data();
    void recordingSaveName();
    void writeRecording_roundTrip();
    void writeRecording_failureKeepsPreviousFile();
    void writeRecording_noSuchFolder();

    void parseField_data();
    void parseField();
    void parseLine_data();
    void parseLine();
    void parser_data();
    void parser();
    void parser_longLineRefusedWithoutReadingOn();
    void parser_stopsAfter500Lines();

    void file_notARegularFile_data();
    void file_notARegularFile();
    void file_failsWhileRead();

private:
    QTemporaryDir dir_;
};

void TestTrendsRules::sampleFromRegisters_data() {
    QTest::addColumn<QList<int>>("registers");
    QTest::addColumn<QList<int>>("sample");
    QTest::newRow("as the poll left them") << QList<int>{100, 98, 101, 400, 401, 399, 35, 85, 550, 0, 0, 0}
                                           << QList<int>{100, 98, 101, 400, 401, 399, 35, 85, 5500};
    QTest::newRow("power 1234 is 12340 W")
        << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 1234, 0, 0, 0} << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 12340};
    // The poll cuts currents below 10 % before the recorder sees them: a 9 %
    // current arrives as 0 and is kept as it arrives.
    QTest::newRow("current 9 % cut by the poll") << QList<int>{0, 0, 0, 230, 230, 230, 0, 0, 0, 0, 0, 0}
                                                 << QList<int>{0, 0, 0, 230, 230, 230, 0, 0, 0};
    QTest::newRow("registers 10 to 12 are not sampled")
        << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 77, 88, 99} << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 90};
}

void TestTrendsRules::sampleFromRegisters() {
    QFETCH(QList<int>, registers);
    QFETCH(QList<int>, sample);
    std::array<int, 12> r{};
    for (int i = 0; i < 12; ++i)
        r[size_t(i)] = registers[i];
    const Values s = recorder::sampleFromRegisters(r);
    QCOMPARE(QList<int>(s.begin(), s.end()), sample);
}

void TestTrendsRules::appendSample_firstSampleLeavesAfter500() {
    History h{};
    // The first sample taken, then 499 more: it has reached index 0; one more drops it.
    appendSample(h, recorder::sampleFromRegisters(regs({11, 12, 13, 14, 15, 16, 17, 18, 19})));
    for (int n = 1; n <= 499; ++n)
        appendSample(h, recorder::sampleFromRegisters(regs({1, 1, 1, 1, 1, 1, 1, 1, 1})));
    for (int c = 0; c < kChannels; ++c)
        QCOMPARE(h[size_t(c)][0], c == 8 ? 190 : 11 + c);
    appendSample(h, recorder::sampleFromRegisters(regs({1, 1, 1, 1, 1, 1, 1, 1, 1})));
    for (int c = 0; c < kChannels; ++c)
        for (int i = 0; i < kSamples; ++i)
            QCOMPARE(h[size_t(c)][size_t(i)], c == 8 ? 10 : 1);
}

void TestTrendsRules::appendSample_newestLast() {
    History h = distinctHistory();
    const History before = h;
    appendSample(h, Values{1, 2, 3, 4, 5, 6, 7, 8, 9});
    for (int c = 0; c < kChannels; ++c) {
        for (int i = 0; i < kSamples - 1; ++i)
            QCOMPARE(h[size_t(c)][size_t(i)], before[size_t(c)][size_t(i + 1)]);
        QCOMPARE(h[size_t(c)][kSamples - 1], c + 1);
    }
}

void TestTrendsRules::axisSetup_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("label");
    QTest::addColumn<QString>("fixedTitle");
    QTest::addColumn<int>("maximum");
    QTest::newRow("---") << 0 << 0 << QString() << 1;
    QTest::newRow("Ir") << 1 << 70 << QString() << 1000;
    QTest::newRow("Is") << 2 << 71 << QString() << 1000;
    QTest::newRow("It") << 3 << 72 << QString() << 1000;
    QTest::newRow("Ur") << 4 << 73 << QString() << 600;
    QTest::newRow("Us") << 5 << 74 << QString() << 600;
    QTest::newRow("Ut") << 6 << 75 << QString() << 600;
    QTest::newRow("Q") << 7 << 76 << QString() << 200;
    QTest::newRow("Cos") << 8 << 0 << QStringLiteral("Cos(Fi) x0.01") << 100;
    QTest::newRow("P") << 9 << 77 << QString() << 32000;
    QTest::newRow("no choice") << -1 << 0 << QString() << 1;
    QTest::newRow("beyond the items") << 10 << 0 << QString() << 1;
}

void TestTrendsRules::axisSetup() {
    QFETCH(int, item);
    QFETCH(int, label);
    QFETCH(QString, fixedTitle);
    QFETCH(int, maximum);
    const AxisSetup a = recorder::axisSetup(item);
    QCOMPARE(a.titleLabel, label);
    QCOMPARE(a.fixedTitle, fixedTitle);
    QCOMPARE(a.maximum, maximum);
}

void TestTrendsRules::axisTitle_readsLanguageLabel() {
    auto label = [](int n) { return QStringLiteral("label %1").arg(n); };
    QCOMPARE(axisTitle(1, label), QStringLiteral("label 70"));
    QCOMPARE(axisTitle(9, label), QStringLiteral("label 77"));
    QCOMPARE(axisTitle(8, label), QStringLiteral("Cos(Fi) x0.01"));
    QCOMPARE(axisTitle(0, label), QString());
}

void TestTrendsRules::channelForItem() {
    const History h = distinctHistory();
    QVERIFY(!recorder::channelForItem(h, 0));
    QVERIFY(!recorder::channelForItem(h, 10));
    QVERIFY(!recorder::channelForItem(h, -1));
    for (int item = 1; item <= 9; ++item)
        QCOMPARE(recorder::channelForItem(h, item), &h[size_t(item - 1)]);
}

void TestTrendsRules::tracePoints() {
    const History h = distinctHistory();
    const QList<QPointF> pts = recorder::tracePoints(h[6]);
    QCOMPARE(pts.size(), 500);
    for (int i = 0; i < 500; ++i)
        QCOMPARE(pts[i], QPointF(i, h[6][size_t(i)]));
}

void TestTrendsRules::recordingBytes_noSamplesYet() {
    QByteArray expected;
    for (int n = 0; n < 500; ++n)
        expected += "0 0 0 0 0 0 0 0 0 \r\n";
    QCOMPARE(recordingBytes(History{}), expected);
}

void TestTrendsRules::recordingBytes_exact() {
    History h{};
    const Values first{100, 98, 101, 400, 401, 399, 35, 85, 5500};
    const Values last{-7, 0, 2147483647, -2147483647 - 1, 1, 2, 3, 4, 5};
    for (int c = 0; c < kChannels; ++c) {
        h[size_t(c)][0] = first[size_t(c)];
        h[size_t(c)][499] = last[size_t(c)];
    }
    QByteArray expected = "100 98 101 400 401 399 35 85 5500 \r\n";
    for (int n = 2; n < 500; ++n)
        expected += "0 0 0 0 0 0 0 0 0 \r\n";
    expected += "-7 0 2147483647 -2147483648 1 2 3 4 5 \r\n";
    QCOMPARE(recordingBytes(h), expected);
}

void TestTrendsRules::recordingSaveName_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("saved");
    QTest::newRow("no extension") << "/tmp/abc"
                                  << "/tmp/abc.rej";
    QTest::newRow("already .rej") << "/tmp/abc.rej"
                                  << "/tmp/abc.rej";
    QTest::newRow("upper case") << "/tmp/abc.REJ"
                                << "/tmp/abc.REJ";
    QTest::newRow("mixed case") << "/tmp/abc.Rej"
                                << "/tmp/abc.Rej";
    QTest::newRow("another extension") << "/tmp/abc.txt"
                                       << "/tmp/abc.txt.rej";
    QTest::newRow(".rej inside the name") << "/tmp/abc.rej.txt"
                                          << "/tmp/abc.rej.txt.rej";
    QTest::newRow("rej without the dot") << "/tmp/abcrej"
                                         << "/tmp/abcrej.rej";
}

void TestTrendsRules::recordingSaveName() {
    QFETCH(QString, chosen);
    QFETCH(QString, saved);
    QCOMPARE(recorder::recordingSaveName(chosen), saved);
}

void TestTrendsRules::writeRecording_roundTrip() {
    const QString path = dir_.filePath(QStringLiteral("roundtrip.rej"));
    const History h = distinctHistory();
    QString error;
    QVERIFY2(writeRecording(path, h, &error), qPrintable(error));
    QCOMPARE(readFile(path), recordingBytes(h));
    RecordingFile f;
    QVERIFY(f.open(path));
    History back{};
    bool invalid = true;
    QVERIFY(f.read(back, &invalid));
    QVERIFY(!invalid);
    QVERIFY(back == h);
}

void TestTrendsRules::writeRecording_failureKeepsPreviousFile() {
    // A file size limit makes the write fail half-way, even for root.
    const QString path = dir_.filePath(QStringLiteral("previous.rej"));
    QVERIFY(writeFile(path, "earlier recording\r\n"));
    QString error;
    bool written = true;
    {
        filetest::FileSizeLimit limit(4096);
        QVERIFY(limit.ok());
        written = writeRecording(path, distinctHistory(), &error);
    }
    QVERIFY(!written);
    QVERIFY(error.contains(path));
    QCOMPARE(readFile(path), QByteArray("earlier recording\r\n"));
    const QStringList left = QDir(dir_.path()).entryList(QDir::Files);
    QCOMPARE(left.filter(QStringLiteral("previous")), QStringList{QStringLiteral("previous.rej")});
}

void TestTrendsRules::writeRecording_noSuchFolder() {
    const QString path = dir_.filePath(QStringLiteral("missing/abc.rej"));
    QString error;
    QVERIFY(!writeRecording(path, History{}, &error));
    QVERIFY(error.contains(path));
    QVERIFY(!QFile::exists(path));
}

void TestTrendsRules::parseField_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << QByteArray("0") << 0;
    QTest::newRow("plain") << QByteArray("5500") << 5500;
    QTest::newRow("negative") << QByteArray("-35") << -35;
    QTest::newRow("plus sign") << QByteArray("+5") << 5;
    QTest::newRow("leading zeros") << QByteArray("007") << 7;
    QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("smallest") << QByteArray("-2147483648") << int(-2147483647 - 1);
    QTest::newRow("beyond 32 bits") << QByteArray("2147483648") << -1;
    QTest::newRow("beyond 32 bits negative") << QByteArray("-2147483649") << -1;
    QTest::newRow("far beyond 32 bits") << QByteArray("99999999999999999999999") << -1;
    QTest::newRow("4294967296 does not wrap") << QByteArray("4294967296") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
    QTest::newRow("sign alone") << QByteArray("-") << -1;
    QTest::newRow("letters after") << QByteArray("12a") << -1;
    QTest::newRow("hex") << QByteArray("0x10") << -1;
    QTest::newRow("decimal comma") << QByteArray("1,5") << -1;
    QTest::newRow("tab") << QByteArray("1\t") << -1;
    QTest::newRow("NUL") << QByteArray("1\0", 2) << -1;
    QTest::newRow("two signs") << QByteArray("--1") << -1;
    QTest::newRow("the reserved -1") << QByteArray("-1") << -1;
}

void TestTrendsRules::parseField() {
    QFETCH(QByteArray, field);
    QFETCH(int, value);
    QCOMPARE(recorder::parseField(field), value);
}

void TestTrendsRules::parseLine_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<Values>("fields");
    QTest::newRow("as written") << QByteArray("100 98 101 400 401 399 35 85 5500 ")
                                << values({100, 98, 101, 400, 401, 399, 35, 85, 5500});
    QTest::newRow("last field without its blank") << QByteArray("100 98 101 400 401 399 35 85 5500")
                                                  << values({100, 98, 101, 400, 401, 399, 35, 85, 5500});
    QTest::newRow("eight fields") << QByteArray("1 2 3 4 5 6 7 8 ") << values({1, 2, 3, 4, 5, 6, 7, 8});
    QTest::newRow("eight fields, no blank")
        << QByteArray("1 2 3 4 5 6 7 8") << values({1, 2, 3, 4, 5, 6, 7, 8});
    QTest::newRow("two blanks in a row")
        << QByteArray("1  2 3 4 5 6 7 8 9 ") << values({1, -1, 2, 3, 4, 5, 6, 7, 8});
    QTest::newRow("leading blank") << QByteArray(" 1 2 3 4 5 6 7 8 9")
                                   << values({-1, 1, 2, 3, 4, 5, 6, 7, 8});
    QTest::newRow("tenth field ignored")
        << QByteArray("1 2 3 4 5 6 7 8 9 10 and more") << values({1, 2, 3, 4, 5, 6, 7, 8, 9});
    QTest::newRow("empty") << QByteArray() << values({});
    QTest::newRow("blank only") << QByteArray(" ") << values({-1});
    QTest::newRow("tab separated") << QByteArray("1\t2\t3\t4\t5\t6\t7\t8\t9") << values({});
}

void TestTrendsRules::parseLine() {
    QFETCH(QByteArray, line);
    QFETCH(Values, fields);
    QCOMPARE(recorder::parseLine(line), fields);
}

void TestTrendsRules::parser_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("invalid");
    const QByteArray l1 = distinctLine(1), l2 = distinctLine(2), l3 = distinctLine(3);
    QTest::newRow("CR LF") << l1 + "\r\n" + l2 + "\r\n" + l3 + "\r\n" << 3 << false;
    QTest::newRow("LF only") << l1 + "\n" + l2 + "\n" + l3 + "\n" << 3 << false;
    QTest::newRow("CR only") << l1 + "\r" + l2 + "\r" + l3 + "\r" << 3 << false;
    QTest::newRow("mixed line ends") << l1 + "\r" + l2 + "\n" + l3 + "\r\n" << 3 << false;
    QTest::newRow("no line end at the end") << l1 + "\r\n" + l2 + "\r\n" + l3 << 3 << false;
    QTest::newRow("last line without its blank")
        << l1 + "\r\n" + l2 + "\r\n" + distinctLine(3, " ", false) << 3 << false;
    QTest::newRow("empty last line") << l1 + "\r\n" + l2 + "\r\n\r\n" << 3 << true;
    QTest::newRow("empty line between") << l1 + "\r\n\r\n" + l2 + "\r\n" << 2 << true;
    QTest::newRow("CR CR LF makes an empty line") << l1 + "\r\r\n" + l2 + "\r\n" << 2 << true;
    QTest::newRow("eight fields") << l1 + "\r\n" + "1 2 3 4 5 6 7 8 \r\n" << 2 << true;
    QTest::newRow("two blanks in a row") << l1 + "\r\n" + distinctLine(2, "  ") + "\r\n" << 2 << true;
    QTest::newRow("a -1 in the file") << l1 + "\r\n1 2 3 -1 5 6 7 8 9 \r\n" << 2 << true;
    QTest::newRow("beyond 32 bits") << l1 + "\r\n1 2 3 4 5 6 7 8 2147483648 \r\n" << 2 << true;
    QTest::newRow("empty file") << QByteArray() << 0 << false;
    QTest::newRow("binary") << QByteArray::fromHex("00ff1b5b3f0d8a7f0a0c0b09fe") << 1 << true;
    QTest::newRow("line of 4096 bytes") << QByteArray(4096 - l1.size(), '0') + l1 + "\r\n" << 1 << false;
    QTest::newRow("line of 4097 bytes") << QByteArray(4097 - l1.size(), '0') + l1 + "\r\n" << 0 << true;
    QTest::newRow("500 lines and a refused 501st") << distinctRecording(500) + "junk\r\n\r\n" << 500 << false;
}

void TestTrendsRules::parser() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, lines);
    QFETCH(bool, invalid);
    // The same outcome whatever way the bytes arrive, a line end split across
    // two reads included.
    for (int chunk : {1, 2, 7, 64 * 1024}) {
        History h{};
        RecordingParser p(h);
        for (qsizetype at = 0; at < bytes.size(); at += chunk)
            if (!p.feed(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(chunk, bytes.size() - at))))
                break;
        p.finish();
        QCOMPARE(p.lines(), lines);
        QCOMPARE(p.invalid(), invalid);
        if (!invalid) {
            const History expected = distinctHistory();
            for (int i = 0; i < lines; ++i)
                for (int c = 0; c < kChannels; ++c)
                    QCOMPARE(h[size_t(c)][size_t(i)], expected[size_t(c)][size_t(i)]);
            for (int i = lines; i < kSamples; ++i)
                for (int c = 0; c < kChannels; ++c)
                    QCOMPARE(h[size_t(c)][size_t(i)], 0);
        }
    }
}

void TestTrendsRules::parser_longLineRefusedWithoutReadingOn() {
    History h{};
    RecordingParser p(h);
    const QByteArray chunk(64 * 1024, '7');
    QVERIFY(!p.feed(chunk));
    QVERIFY(p.invalid());
    QVERIFY(!p.wantsMore());
}

void TestTrendsRules::parser_stopsAfter500Lines() {
    History h{};
    RecordingParser p(h);
    QVERIFY(p.feed(distinctRecording(499)));
    QVERIFY(!p.feed(distinctLine(500) + "\r\n" + distinctLine(1)));
    QCOMPARE(p.lines(), 500);
    QVERIFY(!p.invalid());
}

void TestTrendsRules::file_notARegularFile_data() {
    QTest::addColumn<QString>("path");
    const QString fifo = dir_.filePath(QStringLiteral("fifo.rej"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    const QString link = dir_.filePath(QStringLiteral("dangling.rej"));
    QVERIFY(QFile::link(dir_.filePath(QStringLiteral("nowhere.rej")), link));
    QDir(dir_.path()).mkdir(QStringLiteral("folder.rej"));
    QTest::newRow("directory") << dir_.filePath(QStringLiteral("folder.rej"));
    QTest::newRow("FIFO without a writer") << fifo;
    QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero");
    QTest::newRow("dangling symlink") << link;
    QTest::newRow("no such file") << dir_.filePath(QStringLiteral("absent.rej"));
}

void TestTrendsRules::file_notARegularFile() {
    QFETCH(QString, path);
    RecordingFile f;
    QVERIFY(!f.open(path));
    QVERIFY(f.errorString().contains(path));
    History h{};
    bool invalid = false;
    QVERIFY(!f.read(h, &invalid));
}

void TestTrendsRules::file_failsWhileRead() {
    // A regular file whose every read fails.
    RecordingFile f;
    QVERIFY(f.open(QStringLiteral("/proc/self/mem")));
    History h{};
    bool invalid = false;
    QVERIFY(!f.read(h, &invalid));
    QVERIFY(f.errorString().contains(QStringLiteral("/proc/self/mem")));
}

QTEST_GUILESS_MAIN(TestTrendsRules)
#include "tst_trends.moc"

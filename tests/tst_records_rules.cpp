// The rules of the records: poll-log rows, CSV, the fault-log and chart
// exports, the relay's clock and the report's lines.
#include "records/csv.h"
#include "records/exportrules.h"
#include "records/polllog.h"
#include "records/pollrules.h"
#include "records/report.h"
#include "records/reportfields.h"
#include "records/sampletimes.h"

#include "filetestsupport.h"

#include <QtTest>

using namespace records;

namespace {
const std::array<QString, kFaultBits> kNames = {
    QStringLiteral("Overload"), QStringLiteral("Short"), QStringLiteral("Asym"),  QStringLiteral("Dry"),
    QStringLiteral("Umin"),     QStringLiteral("Umax"),  QStringLiteral("Phases")};
// The columns of a log row.
using Expected = QMap<int, QString>;
enum Col {
    Time,
    IrP,
    IsP,
    ItP,
    IavgP,
    IrA,
    IsA,
    ItA,
    IavgA,
    In,
    Ur,
    Us,
    Ut,
    Uavg,
    Q,
    Cos,
    P,
    Word,
    Names,
    K1,
    K2,
    Lost
};
} // namespace

class TstRecordsRules : public QObject {
    Q_OBJECT
private slots:
    void logRow_data();
    void logRow();
    void logTime();
    void csvRoundTrip_data();
    void csvRoundTrip();
    void faultCsv_data();
    void faultCsv();
    void faultCoverage_data();
    void faultCoverage();
    void chartCsv_data();
    void chartCsv();
    void setpointsOutOfRange_data();
    void setpointsOutOfRange();
    void visitFieldsRoundTrip();
    void relayClock_data();
    void relayClock();
    void clockDifference_data();
    void clockDifference();
    void reportHoldsEverySetpoint();
    void tableColumns_data();
    void tableColumns();
    void appendFileRefuses_data();
    void appendFileRefuses();
    void appendFileTakesBackACutPiece();
    void pollLogReachesTheDisk();
};

void TstRecordsRules::logRow_data() {
    QTest::addColumn<QList<int>>("regs");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("lost");
    QTest::addColumn<Expected>("expected");
    using M = Expected;
    QTest::newRow("variant 2, In 200 (100,0 A)")
        << QList<int>{100, 101, 102, 398, 401, 404, 35, 85, 1234, 0, 0x0100, 200} << 2 << 0
        << M{{IrP, "100"},   {IsP, "101"},     {ItP, "102"},     {IavgP, "101"}, {IrA, "100,0"},
             {IsA, "101,0"}, {ItA, "102,0"},   {IavgA, "101,0"}, {In, "100,0"},  {Ur, "398"},
             {Us, "401"},    {Ut, "404"},      {Uavg, "401"},    {Q, "35"},      {Cos, "0,85"},
             {P, "12,34"},   {Word, "0x0000"}, {Names, ""},      {K1, "1"},      {K2, "0"},
             {Lost, "0"}};
    QTest::newRow("variant 1, In 200 (20,0 A), K2, two lost")
        << QList<int>{50, 0, 51, 230, 231, 232, 100, 9, 5, 0, 0x0200, 200} << 1 << 2
        << M{{IrA, "10,0"}, {IsA, "0,0"}, {ItA, "10,2"}, {In, "20,0"}, {Cos, "0,09"},
             {P, "0,05"},   {K1, "0"},    {K2, "1"},     {Lost, "2"}};
    QTest::newRow("variant 3, In 250 A")
        << QList<int>{80, 80, 80, 400, 400, 400, 0, 100, 0, 0, 0x0300, 250} << 3 << 0
        << M{{IrA, "200"}, {IavgA, "200"}, {In, "250"}, {K1, "1"}, {K2, "1"}, {P, "0"}};
    QTest::newRow("variant unknown: no amperes")
        << QList<int>{100, 100, 100, 400, 400, 400, 0, 0, 0, 0, 0, 20} << 0 << 0
        << M{{IrP, "100"}, {IrA, ""}, {IavgA, ""}, {In, ""}};
    QTest::newRow("nominal current 0: no amperes")
        << QList<int>{100, 100, 100, 400, 400, 400, 0, 0, 0, 0, 0, 0} << 2 << 0 << M{{IrA, ""}, {In, ""}};
    QTest::newRow("faults overload and phase sequence")
        << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0x41, 0, 0} << 2 << 0
        << M{{Word, "0x0041"}, {Names, "Overload, Phases"}};
    QTest::newRow("every fault bit, high bits ignored for names")
        << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFF, 0, 0} << 2 << 0
        << M{{Word, "0xFFFF"}, {Names, "Overload, Short, Asym, Dry, Umin, Umax, Phases"}};
}

void TstRecordsRules::logRow() {
    QFETCH(QList<int>, regs);
    QFETCH(int, variant);
    QFETCH(int, lost);
    QFETCH(Expected, expected);
    Measurements m{};
    for (int i = 0; i < kMeasurementRegisters; ++i)
        m[size_t(i)] = regs[i];
    LogContext c;
    c.variant = variant;
    c.decimalSeparator = QLatin1Char(',');
    c.faultNames = kNames;
    const QStringList f = logFields(QDateTime(QDate(2026, 12, 8), QTime(9, 1, 2, 3)), m, lost, c);
    QCOMPARE(f.size(), logHeader().size());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QVERIFY2(f[it.key()] == it.value(),
                 qPrintable(QStringLiteral("column %1 (%2): %3 instead of %4")
                                .arg(it.key())
                                .arg(logHeader()[it.key()], f[it.key()], it.value())));
}

void TstRecordsRules::logTime() {
    QCOMPARE(isoTime(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 6), Qt::OffsetFromUTC, 3600)),
             QStringLiteral("2026-01-02T03:04:05.006+01:00"));
    QCOMPARE(faultWordHex(0xab), QStringLiteral("0x00AB"));
}

void TstRecordsRules::csvRoundTrip_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain") << QStringList{"a", "1,5", ""} << QByteArray("a;1,5;\r\n");
    QTest::newRow("separator quoted") << QStringList{"a;b", "c"} << QByteArray("\"a;b\";c\r\n");
    QTest::newRow("quote doubled") << QStringList{"say \"hi\""} << QByteArray("\"say \"\"hi\"\"\"\r\n");
    QTest::newRow("line end quoted") << QStringList{"two\nlines", "x"} << QByteArray("\"two\nlines\";x\r\n");
    QTest::newRow("Polish and Russian")
        << QStringList{QString::fromUtf8("Przeciążenie"), QString::fromUtf8("Перегрузка")}
        << QString::fromUtf8("Przeciążenie;Перегрузка\r\n").toUtf8();
}

void TstRecordsRules::csvRoundTrip() {
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, line);
    QCOMPARE(csvLine(fields), line);
    const QList<QStringList> back = parseCsv(csvFile({fields, fields}));
    QCOMPARE(back.size(), 2);
    QCOMPARE(back[0], fields);
    QCOMPARE(back[1], fields);
    QVERIFY(csvFile({fields}).startsWith(kUtf8Bom));
}

void TstRecordsRules::faultCsv_data() {
    QTest::addColumn<QList<int>>("record"); // cause, month, day, hour, minute as stored (BCD)
    QTest::addColumn<bool>("stale");        // its block was not got by the last read
    QTest::addColumn<QString>("date");      // the grid's date column ("" as for a record without a cause)
    QTest::addColumn<QStringList>("line");
    const QString corrupt = faults::problemText(faults::RecordProblem::Corrupt);
    QTest::newRow("overload 7 December 14:05")
        << QList<int>{0x01, 0x12, 0x07, 0x14, 0x05} << false << "x"
        << QStringList{"1", "Overload", "7", "12", "14", "5", "0x01", ""};
    QTest::newRow("two causes, bit 7 kept in the byte")
        << QList<int>{0x83, 0x01, 0x31, 0x23, 0x59} << false << "x"
        << QStringList{"1", "A, B", "31", "1", "23", "59", "0x83", ""};
    QTest::newRow("from an earlier read")
        << QList<int>{0x01, 0x12, 0x07, 0x14, 0x05} << true << "x"
        << QStringList{"1", "Overload", "7", "12", "14", "5", "0x01", faults::staleText()};
    // Not 165 nor 20: the stored bytes, and the record marked.
    QTest::newRow("0xFF bytes of a corrupt record")
        << QList<int>{0x01, 0xFF, 0x1A, 0xFF, 0x05} << false << "x"
        << QStringList{"1", "Overload", "0x1A", "0xFF", "0xFF", "5", "0x01", corrupt};
    QTest::newRow("no cause: no date, as in the grid")
        << QList<int>{0x80, 0x05, 0x20, 0x14, 0x05} << false << ""
        << QStringList{"1", "(none)", "", "", "", "", "0x80", ""};
}

void TstRecordsRules::faultCsv() {
    QFETCH(QList<int>, record);
    QFETCH(bool, stale);
    QFETCH(QString, date);
    QFETCH(QStringList, line);
    faults::FaultRecords records{};
    records[0] = faults::FaultRecord{quint8(record[0]), quint8(record[1]), quint8(record[2]),
                                     quint8(record[3]), quint8(record[4])};
    // The grid: row 1 listed, the others empty.
    auto cells = [&](int c, int r) -> QString {
        if (r != 1) return c == 0 ? QString::number(r) : QString();
        return c == 0   ? QStringLiteral(" 1")
               : c == 1 ? line[1] + QLatin1Char(' ')
               : c == 2 ? date
                        : QString("x");
    };
    QList<ListedTrip> trips = listedTrips(records, cells);
    QCOMPARE(trips.size(), 1);
    trips[0].stale = stale;
    trips[0].problem = faults::recordProblem(records[0], 12, 31, 23, 59);
    const QList<QStringList> lines = faultCsvLines(trips, allFresh());
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].size(), 8);
    QCOMPARE(lines[1], line);
    const QString text = faultText(trips, QStringLiteral("Log"), allFresh());
    QVERIFY(text.startsWith(QStringLiteral("Log\n")));
    QVERIFY(text.contains(line[1]));
    if (!line[7].isEmpty()) QVERIFY(text.contains(line[7]));
    QVERIFY(faultText({}, QStringLiteral("Log"), allFresh())
                .contains(QCoreApplication::translate("records", "No trips are listed.")));
}

void TstRecordsRules::faultCoverage_data() {
    QTest::addColumn<unsigned>("fresh");     // blocks got by the last read
    QTest::addColumn<unsigned>("everRead");  // blocks got by any read
    QTest::addColumn<QStringList>("unread"); // the CSV's rows of records never read
    QTest::addColumn<bool>("noTrips");       // the text may say that no trips are listed
    QTest::addColumn<bool>("earlierNotice"); // the text says some rows are from an earlier read
    QTest::newRow("never read: unknown, not empty") << 0u << 0u << QStringList{"1-40"} << false << false;
    QTest::newRow("a first read got only block 1") << 1u << 1u << QStringList{"11-40"} << true << false;
    QTest::newRow("a later read lost block 2") << 0xDu << 0xFu << QStringList{} << true << true;
    QTest::newRow("every block") << 0xFu << 0xFu << QStringList{} << true << false;
}

// What was not read is said in every export, never passed off as an empty log.
void TstRecordsRules::faultCoverage() {
    QFETCH(unsigned, fresh);
    QFETCH(unsigned, everRead);
    QFETCH(QStringList, unread);
    QFETCH(bool, noTrips);
    QFETCH(bool, earlierNotice);
    const faults::BlockStates states = faults::statesNow(fresh, everRead);
    const QList<QStringList> lines = faultCsvLines({}, states);
    QCOMPARE(lines.size(), 1 + unread.size());
    for (qsizetype i = 0; i < unread.size(); ++i) {
        QCOMPARE(lines[i + 1][0], unread[i]);
        QCOMPARE(lines[i + 1][7], QCoreApplication::translate("records", "not read from the relay"));
    }
    const QString text = faultText({}, QStringLiteral("Log"), states);
    QCOMPARE(text.contains(QCoreApplication::translate("records", "No trips are listed.")), noTrips);
    QCOMPARE(text.contains(QStringLiteral("earlier read")), earlierNotice);
    if (unread == QStringList{QStringLiteral("1-40")})
        QVERIFY(text.contains(
            QCoreApplication::translate("FaultLog", "The fault log has not been read from the relay.")));
    else
        for (const QString& range : unread)
            QVERIFY2(text.contains(range), qPrintable(text));
}

void TstRecordsRules::chartCsv_data() {
    QTest::addColumn<int>("taken"); // samples taken; -1: a recording from a file, no times
    QTest::newRow("recording from a file") << -1;
    QTest::newRow("none taken yet") << 0;
    QTest::newRow("three taken") << 3;
    QTest::newRow("all 500 and more") << recorder::kSamples + 7;
}

// Only the samples taken are listed, each with its time; the zeros of an
// unfilled history are no measurements.
void TstRecordsRules::chartCsv() {
    QFETCH(int, taken);
    recorder::History h{};
    for (int c = 0; c < recorder::kChannels; ++c)
        for (int i = 0; i < recorder::kSamples; ++i)
            h[size_t(c)][size_t(i)] = c * 1000 + i - 3;
    SampleTimes times;
    const QDateTime start(QDate(2026, 12, 8), QTime(16, 9, 0));
    for (int n = 0; n < taken; ++n)
        times.taken(start.addMSecs(200 * n), QStringLiteral("address %1").arg(n < 2 ? 3 : 4));
    const QList<QStringList> back = parseCsv(csvFile(chartCsvLines(h, taken < 0 ? nullptr : &times)));
    const int rows = taken < 0 ? recorder::kSamples : std::min(taken, recorder::kSamples);
    QCOMPARE(back.size(), rows + 1);
    QCOMPARE(back[0], chartCsvHeader());
    QCOMPARE(back[0].size(), recorder::kChannels + 2);
    for (int k = 0; k < rows; ++k) {
        const int i = recorder::kSamples - rows + k;
        QCOMPARE(back[k + 1][0].toInt(), i);
        // The newest sample was taken last.
        const QString time = taken < 0 ? QString()
                                       : start.addMSecs(200 * (taken - rows + k))
                                             .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        QCOMPARE(back[k + 1][1], time);
        for (int c = 0; c < recorder::kChannels; ++c)
            QCOMPARE(back[k + 1][c + 2].toInt(), h[size_t(c)][size_t(i)]);
    }
    if (taken > 2) QCOMPARE(times.relays().last(), QStringLiteral("address 4"));
    // The time axis labels only samples taken, the newest at the right end.
    const QList<TimeTick> ticks = timeTicks(times, 0, recorder::kSamples - 1, 5);
    QCOMPARE(ticks.isEmpty(), taken <= 0);
    if (!ticks.isEmpty()) {
        QCOMPARE(ticks.first().index, times.firstTaken());
        QCOMPARE(ticks.last().label, times.at(recorder::kSamples - 1).toString(QStringLiteral("HH:mm:ss")));
    }
}

void TstRecordsRules::setpointsOutOfRange_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("value");
    QTest::addColumn<QList<int>>("flagged");
    QTest::newRow("all in range") << 3 << 40 << QList<int>{};
    QTest::newRow("Is 99 against 20-85") << 3 << 99 << QList<int>{4};
    QTest::newRow("Is 19 against 20-85") << 3 << 19 << QList<int>{4};
    QTest::newRow("Is at its top") << 3 << 85 << QList<int>{};
}

void TstRecordsRules::setpointsOutOfRange() {
    QFETCH(int, row);
    QFETCH(int, value);
    QFETCH(QList<int>, flagged);
    QVector<qint32> image = {20, 50, 8, 40, 10, 30, 5, 40, 80, 115, 10, 2, 0x1208, 0x0915};
    image[row] = value;
    QCOMPARE(outOfRange(image), flagged);
    // The report flags the row and says which.
    ReportData d;
    d.setpointImage = image;
    bool rowFlagged = false, said = false;
    for (const ReportLine& l : reportLines(d)) {
        if (l.kind == LineKind::Row && l.cells.value(0) == QString::number(row + 1) &&
            !l.cells.value(4).isEmpty())
            rowFlagged = true;
        if (l.kind == LineKind::Text &&
            l.cells.value(0).startsWith(QStringLiteral("Values outside their ranges")))
            said = true;
    }
    QCOMPARE(rowFlagged, !flagged.isEmpty());
    QCOMPARE(said, !flagged.isEmpty());
}

void TstRecordsRules::visitFieldsRoundTrip() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.ini"));
    VisitFields f{QString::fromUtf8("Jan Kowalski"),
                  QStringLiteral("Mill = \"North\""),
                  QStringLiteral("C:\\plant\\hall 2"),
                  QStringLiteral("M-12"),
                  QStringLiteral("42 A"),
                  QString::fromUtf8("Line one\nłożysko\\n kept")};
    VisitFields back;
    QString error;
    QVERIFY(loadVisitFields(path, &back, &error)); // none kept yet
    QCOMPARE(back, VisitFields());
    QVERIFY2(saveVisitFields(path, f, &error), qPrintable(error));
    QVERIFY(loadVisitFields(path, &back, &error));
    QCOMPARE(back, f);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    QVERIFY(!loadVisitFields(dir.filePath(QStringLiteral("folder.ini")), &back, &error));
    QVERIFY(!error.isEmpty());
}

void TstRecordsRules::relayClock_data() {
    QTest::addColumn<int>("date");
    QTest::addColumn<int>("time");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QList<int>>("fields");
    QTest::newRow("12.08 09:15") << 0x1208 << 0x0915 << true << QList<int>{12, 8, 9, 15};
    QTest::newRow("01.31 23:59") << 0x0131 << 0x2359 << true << QList<int>{1, 31, 23, 59};
    QTest::newRow("month 13") << 0x1301 << 0x0000 << false << QList<int>{};
    QTest::newRow("not BCD") << 0x0A01 << 0x0000 << false << QList<int>{};
    QTest::newRow("hour 24") << 0x0101 << 0x2400 << false << QList<int>{};
    QTest::newRow("day 0") << 0x0100 << 0x0000 << false << QList<int>{};
}

void TstRecordsRules::relayClock() {
    QFETCH(int, date);
    QFETCH(int, time);
    QFETCH(bool, valid);
    QFETCH(QList<int>, fields);
    const auto c = records::relayClock(date, time);
    QCOMPARE(bool(c), valid);
    if (c) QCOMPARE((QList<int>{c->month, c->day, c->hour, c->minute}), fields);
}

void TstRecordsRules::clockDifference_data() {
    QTest::addColumn<QList<int>>("relay");
    QTest::addColumn<QDateTime>("pc");
    QTest::addColumn<qint64>("minutes");
    QTest::addColumn<QString>("text");
    const QDateTime pc(QDate(2026, 12, 8), QTime(9, 15, 42));
    QTest::newRow("same minute") << QList<int>{12, 8, 9, 15} << pc << qint64(0) << "0 min";
    QTest::newRow("relay 2 min ahead") << QList<int>{12, 8, 9, 17} << pc << qint64(2) << "+2 min";
    QTest::newRow("relay behind by a day")
        << QList<int>{12, 7, 9, 15} << pc << qint64(-1440) << "-24 h 00 min";
    QTest::newRow("relay in the new year")
        << QList<int>{1, 1, 0, 1} << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 10)) << qint64(2)
        << "+2 min";
    QTest::newRow("relay in the old year")
        << QList<int>{12, 31, 23, 58} << QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)) << qint64(-2)
        << "-2 min";
    QTest::newRow("hour and minutes") << QList<int>{12, 8, 10, 20} << pc << qint64(65) << "+1 h 05 min";
}

void TstRecordsRules::clockDifference() {
    QFETCH(QList<int>, relay);
    QFETCH(QDateTime, pc);
    QFETCH(qint64, minutes);
    QFETCH(QString, text);
    const RelayClock c{relay[0], relay[1], relay[2], relay[3]};
    QCOMPARE(clockDifferenceMinutes(c, pc), minutes);
    // The English source texts; a test run has no translator installed.
    QCOMPARE(differenceText(minutes), text);
}

void TstRecordsRules::reportHoldsEverySetpoint() {
    ReportData d;
    d.variant = 2;
    d.busAddress = 3;
    for (int r = 0; r < 14; ++r) {
        d.names << QStringLiteral("Name %1:").arg(r + 1);
        d.hints << QStringLiteral("hint %1").arg(r + 1);
    }
    d.setpointImage = {20, 5, 8, 40, 10, 30, 5, 40, 80, 115, 10, 2, 0x1208, 0x0915};
    d.compareFile = QStringLiteral("site.vrk");
    setpoints::FileComparison diff;
    diff.row = 3;
    diff.relayText = QStringLiteral("40");
    diff.fileText = QStringLiteral("45");
    diff.relayKnown = true;
    diff.differs = true;
    d.comparison = {diff};
    const QList<ReportLine> lines = reportLines(d);
    const auto texts = setpoints::textsFromImage(d.setpointImage);
    int rows = 0;
    bool diffFound = false, faultLog = false;
    for (const ReportLine& l : lines) {
        if (l.kind == LineKind::Heading && l.cells.value(0) == QStringLiteral("Fault log")) faultLog = true;
        if (l.kind != LineKind::Row) continue;
        if (l.cells.value(3) == QStringLiteral("45"))
            diffFound = true;
        else {
            const int r = l.cells[0].toInt() - 1;
            QCOMPARE(l.cells[1], QStringLiteral("Name %1").arg(r + 1));
            QCOMPARE(l.cells[2], *texts[r]);
            QCOMPARE(l.cells[3], QStringLiteral("hint %1").arg(r + 1));
            ++rows;
        }
    }
    QCOMPARE(rows, 12); // parameters 1..12, the variant included
    QVERIFY(diffFound);
    QVERIFY(faultLog); // flowing after the setpoints, no page of its own
    // Connected, yet no measurement: a failed read, not "not connected".
    d.connected = true;
    bool failedRead = false;
    for (const ReportLine& l : reportLines(d))
        failedRead =
            failedRead ||
            l.cells.value(0) == QStringLiteral("The measured values could not be read from the relay.");
    QVERIFY(failedRead);
    QVERIFY(reportPdf(d).startsWith("%PDF"));
}

void TstRecordsRules::appendFileRefuses_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("a folder") << "folder";
    QTest::newRow("a link to nothing") << "dangling";
    QTest::newRow("a folder that is not there") << "missing";
}

void TstRecordsRules::appendFileRefuses() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("x.csv"));
    if (kind == QLatin1String("folder")) QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("x.csv")));
    if (kind == QLatin1String("dangling")) QVERIFY(QFile::link(dir.filePath(QStringLiteral("none")), path));
    if (kind == QLatin1String("missing")) path = dir.filePath(QStringLiteral("no/x.csv"));
    files::AppendFile f;
    QString error;
    QVERIFY(!f.open(path, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!f.isOpen());
    QVERIFY(!f.write("a", &error));
}

void TstRecordsRules::appendFileTakesBackACutPiece() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.csv"));
    files::AppendFile f;
    QString error;
    QVERIFY(f.open(path, &error));
    QVERIFY(f.write(QByteArray(60, 'a'), &error));
    {
        filetest::FileSizeLimit limit(100);
        QVERIFY(limit.ok());
        QVERIFY(f.write(QByteArray(30, 'b'), &error));
        QVERIFY(!f.write(QByteArray(30, 'c'), &error));
    }
    QVERIFY(error.contains(path));
    QVERIFY(!f.isOpen());
    QCOMPARE(f.size(), 90);
    QCOMPARE(filetest::readBack(path), QByteArray(60, 'a') + QByteArray(30, 'b'));
}

void TstRecordsRules::pollLogReachesTheDisk() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("poll.csv"));
    PollLog log;
    QString error;
    QVERIFY(log.start(path, &error));
    const QByteArray header = kUtf8Bom + csvLine(logHeader());
    QCOMPARE(filetest::readBack(path), header);
    LogContext c;
    const QDateTime t(QDate(2026, 12, 8), QTime(9, 0));
    QVERIFY(log.addRow(t, Measurements{}, 0, c, &error));
    QVERIFY(log.addRow(t.addMSecs(200), Measurements{}, 1, c, &error));
    QCOMPARE(log.size(),
             filetest::readBack(path).size() + 2 * csvLine(logFields(t, Measurements{}, 0, c)).size());
    // Within a second, without another row, the rows are on the disk.
    QTRY_COMPARE_WITH_TIMEOUT(parseCsv(filetest::readBack(path)).size(), 3, 5000);
    QCOMPARE(parseCsv(filetest::readBack(path))[2][Lost], QStringLiteral("1"));
    QVERIFY(log.addRow(t.addMSecs(400), Measurements{}, 0, c, &error));
    QVERIFY(log.stop(&error));
    QVERIFY(!log.isOn());
    QCOMPARE(parseCsv(filetest::readBack(path)).size(), 4);
}

// A report table's columns: a heading word wider than its share ("Отправлено"
// in bold in 11 % of the page) gets its width from the columns with room.
void TstRecordsRules::tableColumns_data() {
    QTest::addColumn<QList<int>>("percents");
    QTest::addColumn<QList<int>>("minimum");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("all fit: the shares") << QList<int>{11, 20, 25, 11, 11, 22} << QList<int>(6, 50)
                                         << QList<int>{110, 200, 250, 110, 110, 220};
    QTest::newRow("two narrow columns widened")
        << QList<int>{11, 20, 25, 11, 11, 22} << QList<int>{60, 60, 60, 150, 150, 60}
        << QList<int>{102, 179, 221, 150, 150, 198};
    QTest::newRow("one wide heading") << QList<int>{50, 50} << QList<int>{700, 200} << QList<int>{700, 300};
    // Too little room: all of it goes, the giver keeps its own minimum.
    QTest::newRow("not room enough") << QList<int>{50, 50} << QList<int>{800, 400} << QList<int>{600, 400};
}

void TstRecordsRules::tableColumns() {
    QFETCH(QList<int>, percents);
    QFETCH(QList<int>, minimum);
    QFETCH(QList<int>, expected);
    const QList<int> w = records::columnWidths(percents, minimum, 1000);
    QCOMPARE(w, expected);
}

QTEST_MAIN(TstRecordsRules)
#include "tst_records_rules.moc"

// Reading the poll log back for the chart: its rows one by one, and whole
// files, large ones included, streamed a line at a time.
#include "trends/polllogrows.h"

#include <cmath>
#include <QBuffer>
#include <QtTest>

using namespace recorder::polllog;
Q_DECLARE_METATYPE(RowKind)

class TestPollLogRows : public QObject {
    Q_OBJECT
private slots:
    void rows_data();
    void rows();
    void file_countsEveryKind();
    void file_large();
};

namespace {
const QString kHeader = QStringLiteral(
    "Time;Ir [%];Is [%];It [%];Iavg [%];Ir [A];Is [A];It [A];Iavg [A];In [A];Ur [V];Us [V];Ut [V];Uavg [V];"
    "Heat Q [%];cos phi;P [kW];Fault word;Faults;K1;K2;Lost reads");
const QString kSample = QStringLiteral(
    "2026-12-08T09:14:03.250;45;46;44;45;2,25;2,3;2,2;2,25;5;230;231;229;230;12;0,87;15,4;0x0003;"
    "Overload, Asymmetry;1;0;0");
} // namespace

void TestPollLogRows::rows_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<RowKind>("kind");
    QTest::addColumn<int>("column"); // a value to check, 1..21; 0: none
    QTest::addColumn<double>("value");
    QTest::newRow("header") << kHeader << RowKind::Header << 0 << 0.0;
    QTest::newRow("sample, decimal commas") << kSample << RowKind::Sample << 16 << 15.4;
    QTest::newRow("sample, fault word in hex") << kSample << RowKind::Sample << 17 << 3.0;
    QTest::newRow("sample, cos phi") << kSample << RowKind::Sample << 15 << 0.87;
    QTest::newRow("sample, lost reads") << kSample << RowKind::Sample << 21 << 0.0;
    QTest::newRow("sample, decimal points")
        << QString(kSample).replace(QStringLiteral("15,4"), QStringLiteral("15.4")) << RowKind::Sample << 16
        << 15.4;
    QTest::newRow("sample, amperes unknown (empty)")
        << QStringLiteral(
               "2026-12-08T09:14:03.450;45;46;44;45;;;;;;230;231;229;230;12;0,87;15,4;0x0000;;1;0;2")
        << RowKind::Sample << 5 << qQNaN();
    QTest::newRow("quoted faults with a semicolon")
        << QString(kSample).replace(QStringLiteral("Overload, Asymmetry"), QStringLiteral("\"a;b\"\"c\""))
        << RowKind::Sample << 19 << 1.0;
    QTest::newRow("event") << QStringLiteral("2026-12-08T09:14:04.000;Connection lost") << RowKind::Event << 0
                           << 0.0;
    QTest::newRow("bad: a word in a number")
        << QString(kSample).replace(QStringLiteral(";230;"), QStringLiteral(";x;")) << RowKind::Bad << 0
        << 0.0;
    QTest::newRow("bad: no time") << QString(kSample).mid(24) << RowKind::Bad << 0 << 0.0;
    QTest::newRow("bad: broken time")
        << QString(kSample).replace(0, 4, QStringLiteral("20x6")) << RowKind::Bad << 0 << 0.0;
    QTest::newRow("bad: a header cut short")
        << kHeader.section(QLatin1Char(';'), 0, 5) << RowKind::Bad << 0 << 0.0;
    QTest::newRow("bad: empty") << QString() << RowKind::Bad << 0 << 0.0;
    QTest::newRow("bad: all fields empty")
        << QStringLiteral("2026-12-08T09:14:03.250;;;;;;;;;;;;;;;;;;;;;") << RowKind::Bad << 0 << 0.0;
}

void TestPollLogRows::rows() {
    QFETCH(QString, line);
    QFETCH(RowKind, kind);
    QFETCH(int, column);
    QFETCH(double, value);
    const Row row = parseRow(splitLine(line));
    QCOMPARE(row.kind, kind);
    if (kind == RowKind::Sample || kind == RowKind::Event)
        QCOMPARE(row.time.toString(Qt::ISODateWithMs).left(19), line.left(19));
    if (kind == RowKind::Event) QCOMPARE(row.text, QStringLiteral("Connection lost"));
    if (column == 0) return;
    QCOMPARE(row.values.size(), kColumns - 1);
    const double got = row.values[column - 1];
    if (std::isnan(value))
        QVERIFY(std::isnan(got));
    else
        QCOMPARE(got, value);
}

void TestPollLogRows::file_countsEveryKind() {
    QByteArray bytes = "\xEF\xBB\xBF" + kHeader.toUtf8() + "\r\n" + kSample.toUtf8() + "\r\n" +
                       "2026-12-08T09:14:04.000;Connection lost\r\n" + "garbage\r\n\r\n" +
                       kSample.toUtf8(); // the last line without its end (a crash while writing)
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    Log log;
    QString error;
    QVERIFY2(readLog(buffer, &log, &error), qPrintable(error));
    QCOMPARE(log.titles.size(), kColumns);
    QCOMPARE(log.titles[0], QStringLiteral("Time"));
    QCOMPARE(log.times.size(), 2);
    QCOMPARE(log.columns.size(), kColumns - 1);
    QCOMPARE(log.columns[9], (QList<double>{230, 230}));
    QCOMPARE(log.events, 1);
    QCOMPARE(log.badRows, 1);
    QCOMPARE(log.firstBadLine, 4);
}

void TestPollLogRows::file_large() {
    QByteArray bytes = "\xEF\xBB\xBF" + kHeader.toUtf8() + "\r\n";
    const QByteArray row = kSample.mid(23).toUtf8() + "\r\n";
    const QDateTime start =
        QDateTime::fromString(QStringLiteral("2026-12-08T09:00:00.000"), Qt::ISODateWithMs);
    for (int i = 0; i < 100000; ++i)
        bytes += start.addMSecs(200LL * i).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")).toUtf8() + row;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    Log log;
    QString error;
    int calls = 0;
    QVERIFY2(readLog(buffer, &log, &error, [&](qint64) { return ++calls > 0; }), qPrintable(error));
    QCOMPARE(log.times.size(), 100000);
    QCOMPARE(log.times.last(), start.addMSecs(200LL * 99999));
    QCOMPARE(log.badRows, 0);
    QVERIFY(calls > 10);
    // Stopped from the progress call: said, not taken for a whole log.
    QVERIFY(buffer.seek(0));
    QVERIFY(!readLog(buffer, &log, &error, [](qint64) { return false; }));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestPollLogRows)
#include "tst_polllogrows.moc"

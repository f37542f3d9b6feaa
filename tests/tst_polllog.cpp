// The poll log as a reader finds it: rows written across the end of summer
// time and a disconnect, read back by the chart's parser row by row.
#include "records/csv.h"
#include "records/polllog.h"
#include "trends/polllogrows.h"

#include <ctime>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace records;
namespace pl = recorder::polllog;

namespace {
pl::Log readBack(const QString& path) {
    QFile f(path);
    pl::Log log;
    QString error;
    if (!f.open(QIODevice::ReadOnly) || !pl::readLog(f, &log, &error)) qWarning() << path << error;
    return log;
}
QList<QStringList> csvRows(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? parseCsv(f.readAll()) : QList<QStringList>{};
}
Measurements sample(int faultWord) {
    Measurements m{100, 101, 102, 398, 401, 404, 35, 85, 1234, faultWord, 0x0100, 200};
    return m;
}
constexpr int kLostColumn = 21;
} // namespace

class TstPollLog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void summerTimeEndsAndLinkDrops();
    void oneSeparatorPerFile_data();
    void oneSeparatorPerFile();
    void languageChangeRepeatsTheHeader();
    void newFileAtSize();
};

void TstPollLog::initTestCase() {
    // Warsaw's clock goes back from 03:00 to 02:00 on 2026-10-25.
    qputenv("TZ", "Europe/Warsaw");
    tzset();
}

void TstPollLog::summerTimeEndsAndLinkDrops() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("poll.csv"));
    PollLog log;
    QString error;
    QVERIFY(log.start(path, &error));
    LogContext c;
    c.variant = 2;
    c.faultNames = {QStringLiteral("Overload"), QStringLiteral("Short"), QStringLiteral("Asym"),
                    QStringLiteral("Dry"),      QStringLiteral("Umin"),  QStringLiteral("Umax"),
                    QStringLiteral("Phases")};
    // 02:00 summer time to 02:59 winter time, a row every 10 minutes: the
    // wall clock runs 02:00..02:50, then 02:00..02:50 again.
    const qint64 start = QDateTime(QDate(2026, 10, 25), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    QList<QDateTime> times;
    for (int i = 0; i < 12; ++i)
        times << QDateTime::fromMSecsSinceEpoch(start + i * 600'000LL); // local time
    QCOMPARE(times[0].time(), times[6].time());
    for (int i = 0; i < 5; ++i)
        QVERIFY(log.addRow(times[i], sample(0), 0, c, &error));
    // Eight reads lost, the link dropped; back at the next time, two more lost.
    QVERIFY(log.addDisconnect(times[5], QStringLiteral("no reply"), 8, &error));
    QVERIFY(log.addEvent(times[6], LogEvent::Connected, QStringLiteral("COM3, address 3"), &error));
    QVERIFY(log.addRow(times[6], sample(0), 2, c, &error));
    QVERIFY(log.addRow(times[7], sample(0x05), 0, c, &error)); // a trip
    for (int i = 8; i < 12; ++i)
        QVERIFY(log.addRow(times[i], sample(0x05), 0, c, &error));
    QVERIFY(log.stop(&error));

    const QList<QStringList> rows = csvRows(path);
    QCOMPARE(rows.size(), 1 + 11 + 3);
    QCOMPARE(rows[1][0], QStringLiteral("2026-10-25T02:00:00.000+02:00"));
    QCOMPARE(
        rows[6].mid(0, 3),
        (QStringList{
            QStringLiteral("2026-10-25T02:50:00.000+02:00"), eventFields({}, LogEvent::Disconnected, {})[1],
            QStringLiteral("no reply, ") + QCoreApplication::translate("records", "lost reads: %1").arg(8)}));
    // The lost reads of the dropped link are counted by the first row after it.
    QCOMPARE(rows[8][0], QStringLiteral("2026-10-25T02:00:00.000+01:00"));
    QCOMPARE(rows[8][kLostColumn], QStringLiteral("10"));
    QCOMPARE(rows[9][1], eventFields({}, LogEvent::Trip, {})[1]);
    QCOMPARE(rows[9][2], QStringLiteral("Overload, Asym"));
    QCOMPARE(rows[10][kLostColumn], QStringLiteral("0"));

    // The chart's parser takes every row, in order, on one clock.
    const pl::Log back = readBack(path);
    QCOMPARE(back.badRows, 0);
    QCOMPARE(back.times.size(), 11);
    QCOMPARE(back.events, 3);
    QCOMPARE(back.titles, logHeader());
    for (int i = 1; i < back.times.size(); ++i)
        QVERIFY2(back.times[i] > back.times[i - 1], qPrintable(back.times[i].toString(Qt::ISODate)));
    QCOMPARE(back.times.first().msecsTo(back.times.last()), 11 * 600'000LL);
    QCOMPARE(back.columns[kLostColumn - 1][5], 10.0);
}

void TstPollLog::oneSeparatorPerFile_data() {
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QChar>("other");
    QTest::newRow("comma") << QChar(QLatin1Char(',')) << QChar(QLatin1Char('.'));
    QTest::newRow("point") << QChar(QLatin1Char('.')) << QChar(QLatin1Char(','));
}

void TstPollLog::oneSeparatorPerFile() {
    QFETCH(QChar, separator);
    QFETCH(QChar, other);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("poll.csv"));
    PollLog log;
    QString error;
    LogOptions o;
    o.decimalSeparator = separator;
    QVERIFY(log.start(path, o, &error));
    LogContext c;
    c.variant = 1;
    c.decimalSeparator = other; // the PC's, unlike the file's: the file's wins
    QVERIFY(log.addRow(QDateTime::currentDateTime(), sample(0), 0, c, &error));
    QVERIFY(log.stop(&error));
    const QList<QStringList> rows = csvRows(path);
    QCOMPARE(rows.size(), 2);
    const QStringList decimals = {rows[1][5], rows[1][9], rows[1][15], rows[1][16]}; // Ir [A], In, cos, P
    for (const QString& d : decimals) {
        QVERIFY2(d.contains(separator) && !d.contains(other), qPrintable(rows[1].join(QLatin1Char(';'))));
    }
    QCOMPARE(readBack(path).columns[15][0], 12.34);
}

void TstPollLog::languageChangeRepeatsTheHeader() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("poll.csv"));
    PollLog log;
    QString error;
    QVERIFY(log.start(path, &error));
    const QDateTime t = QDateTime::currentDateTime();
    LogContext c;
    QVERIFY(log.addRow(t, sample(0), 0, c, &error));
    QVERIFY(log.addLanguageChange(t.addSecs(1), QStringLiteral("English"), &error));
    QVERIFY(log.addRow(t.addSecs(2), sample(0), 0, c, &error));
    QVERIFY(log.stop(&error));
    const QList<QStringList> rows = csvRows(path);
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[3], logHeader()); // the titles again, in the new language
    const pl::Log back = readBack(path);
    QCOMPARE(back.badRows, 0);
    QCOMPARE(back.times.size(), 2);
    QCOMPARE(back.events, 1);
}

void TstPollLog::newFileAtSize() {
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("vrk-log-addr3-2026-12-08.csv"));
    PollLog log;
    QString error;
    LogOptions o;
    o.split.megabytes = 1;
    o.split.daily = true;
    o.started = QDateTime(QDate(2026, 12, 8), QTime(23, 0));
    QVERIFY(log.start(first, o, &error));
    QStringList continued;
    log.continued = [&](const QString& p) { continued << QFileInfo(p).fileName(); };
    LogContext c;
    QDateTime t = o.started;
    // About 130 bytes a row: a megabyte is some 7700 rows; 8000 rows at 200 ms pass midnight once.
    for (int i = 0; i < 20000 && continued.size() < 2; ++i, t = t.addMSecs(200))
        QVERIFY(log.addRow(t, sample(0), 0, c, &error));
    QVERIFY(log.stop(&error));
    QCOMPARE(continued, (QStringList{QStringLiteral("vrk-log-addr3-2026-12-08-2.csv"),
                                     QStringLiteral("vrk-log-addr3-2026-12-09.csv")}));
    qint64 samples = 0;
    for (const QString& name : QStringList{QFileInfo(first).fileName()} + continued) {
        const pl::Log back = readBack(dir.filePath(name));
        QCOMPARE(back.badRows, 0);
        QCOMPARE(back.titles, logHeader()); // every file starts with its header
        samples += back.times.size();
        QVERIFY(QFileInfo(dir.filePath(name)).size() <= 1000 * 1000 + 400);
    }
    QCOMPARE(samples, log.rows());
}

QTEST_GUILESS_MAIN(TstPollLog)
#include "tst_polllog.moc"

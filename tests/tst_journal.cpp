// The service journal's file: rows appended for good, read back as written,
// across summer time and across runs; failures said, never passed over.
#include "core/results.h"
#include "filetestsupport.h"
#include "journal/journal.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

using namespace journal;

namespace {
Row sample(const QDateTime& time, int reg, const QString& state) {
    Row r;
    r.time = time;
    r.source = QStringLiteral("vrk");
    r.action = QStringLiteral("write");
    r.port = QStringLiteral("COM3");
    r.address = 3;
    r.variant = 2;
    r.parameter = QStringLiteral("In; \"nominal\"");
    r.before = QStringLiteral("40");
    r.sent = QStringLiteral("45");
    r.state = state;
    r.reg = reg;
    r.note = QStringLiteral("line one\nline two");
    return r;
}
} // namespace

class TstJournal : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void timeText_data();
    void timeText();
    void appendsAndReadsBack();
    void badLinesCountedNotTaken();
    void refusedTargets();
    void sizeLimitLeavesWholeRows();
    void writeRows_data();
    void writeRows();
    void clockAndResetRows();
};

void TstJournal::initTestCase() {
    // The times below are Warsaw's, whatever zone the machine runs in.
    qputenv("TZ", "Europe/Warsaw");
    tzset();
}

void TstJournal::timeText_data() {
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("text");
    const QTimeZone warsaw("Europe/Warsaw");
    // 2026-10-25: 03:00 summer time becomes 02:00 winter time; 02:30 comes twice.
    const QDateTime firstHalfPast = QDateTime(QDate(2026, 10, 25), QTime(0, 30), Qt::UTC);
    QTest::newRow("02:30 summer") << firstHalfPast.toTimeZone(warsaw)
                                  << QStringLiteral("2026-10-25T02:30:00.000+02:00");
    QTest::newRow("02:30 winter") << firstHalfPast.addSecs(3600).toTimeZone(warsaw)
                                  << QStringLiteral("2026-10-25T02:30:00.000+01:00");
    QTest::newRow("local, winter") << QDateTime(QDate(2026, 12, 8), QTime(9, 14, 3, 250))
                                   << QStringLiteral("2026-12-08T09:14:03.250+01:00");
    QTest::newRow("UTC") << QDateTime(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC)
                         << QStringLiteral("2026-12-08T09:00:00.000+00:00");
    QTest::newRow("negative offset") << QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::OffsetFromUTC,
                                                  -(3 * 3600 + 1800))
                                     << QStringLiteral("2026-01-01T00:00:00.000-03:30");
}

void TstJournal::timeText() {
    QFETCH(QDateTime, time);
    QFETCH(QString, text);
    QCOMPARE(journal::timeText(time), text);
    // Read back, the same moment.
    const auto row = rowFrom(fields(sample(time, 12, state::confirmed)));
    QVERIFY(row);
    QCOMPARE(row->time.toMSecsSinceEpoch(), time.toMSecsSinceEpoch());
}

void TstJournal::appendsAndReadsBack() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.csv"));
    const QDateTime t0 = QDateTime(QDate(2026, 10, 25), QTime(0, 30), Qt::UTC).toLocalTime();
    const QList<Row> first = {sample(t0, 12, state::confirmed), sample(t0, 13, state::notConfirmed)};
    Row clock = sample(t0.addSecs(3600), 24, state::confirmed);
    clock.action = QStringLiteral("clock");
    clock.variant.reset();
    clock.reg = 0;
    QString error;
    QVERIFY2(append(path, first, &error), qPrintable(error));
    QVERIFY2(append(path, {clock}, &error), qPrintable(error));
    const QByteArray bytes = filetest::readBack(path);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBFtime;source;action;"));
    QCOMPARE(bytes.count("time;source"), 1); // the header once, not per append
    QCOMPARE(bytes.count("\r\n"), 4);
    Contents c;
    QVERIFY2(read(path, &c, &error), qPrintable(error));
    QCOMPARE(c.badLines, 0);
    QCOMPARE(c.rows.size(), 3);
    for (int i = 0; i < 3; ++i) {
        Row want = i < 2 ? first[i] : clock;
        want.note = QStringLiteral("line one line two"); // one line, one row
        QCOMPARE(fields(c.rows[i]), fields(want));
    }
    QVERIFY(c.rows[2].time > c.rows[0].time); // the repeated 02:30 stays in order
    QCOMPARE(filtered(c.rows, 3).size(), 3);
    QCOMPARE(filtered(c.rows, 4).size(), 0);
    // A missing journal is an empty one, not a failure.
    QVERIFY(read(dir.filePath(QStringLiteral("none.csv")), &c, &error));
    QCOMPARE(c.rows.size(), 0);
}

void TstJournal::badLinesCountedNotTaken() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.csv"));
    const Row good = sample(QDateTime::currentDateTime(), 14, state::confirmed);
    QString error;
    QVERIFY(append(path, {good}, &error));
    QByteArray bytes = filetest::readBack(path);
    // A second header (two programs made the file at once), a line cut by a
    // crash, an open quote, a row without a time.
    bytes += fileOf({good}).mid(3);
    bytes += "2026-12-08T09:14:03.250+01:00;vrk;write;COM3;3\r\n";
    bytes += "2026-12-08T09:14:03.250+01:00;vrk;write;COM3;3;2;\"In;40;45;confirmed;12;;\r\n";
    bytes += ";vrk;write;COM3;3;2;In;40;45;confirmed;12;;\r\n";
    filetest::writeFile(path, bytes);
    QVERIFY(append(path, {good}, &error));
    Contents c;
    QVERIFY(read(path, &c, &error));
    QCOMPARE(c.rows.size(), 3);
    QCOMPARE(c.badLines, 3);
    QCOMPARE(c.firstBadLine, 5);
}

void TstJournal::refusedTargets() {
    QTemporaryDir dir;
    const Row r = sample(QDateTime::currentDateTime(), 12, state::confirmed);
    QString error;
    QVERIFY(!append(dir.path(), {r}, &error));
    QVERIFY2(error.contains(dir.path()), qPrintable(error));
    const QString dangling = dir.filePath(QStringLiteral("dangling.csv"));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), dangling));
    error.clear();
    QVERIFY(!append(dangling, {r}, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nowhere"))));
}

void TstJournal::sizeLimitLeavesWholeRows() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.csv"));
    const Row r = sample(QDateTime::currentDateTime(), 12, state::confirmed);
    QString error;
    QVERIFY(append(path, {r}, &error));
    const qint64 before = QFileInfo(path).size();
    {
        filetest::FileSizeLimit limit(before + 40);
        QVERIFY(limit.ok());
        QVERIFY(!append(path, {r, r}, &error));
    }
    QVERIFY2(!error.isEmpty(), "the failure is said");
    QCOMPARE(QFileInfo(path).size(), before); // no half row for the next append to join
    QVERIFY(append(path, {r}, &error));
    Contents c;
    QVERIFY(read(path, &c, &error));
    QCOMPARE(c.rows.size(), 2);
    QCOMPARE(c.badLines, 0);
}

namespace {
using State = core::RegisterWrite::State;
core::Identity relay3() {
    core::Identity id;
    id.port = QStringLiteral("/dev/ttyUSB0");
    id.address = 3;
    id.variant = 2;
    return id;
}
} // namespace

void TstJournal::writeRows_data() {
    QTest::addColumn<QList<State>>("states");
    QTest::addColumn<bool>("linkLost");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QStringList>("expected");
    const QString c = state::confirmed, n = state::notConfirmed, s = state::notSent, r = state::refused;
    QTest::newRow("all confirmed") << QList<State>(11, State::Confirmed) << false << QString()
                                   << QStringList(11, c);
    // The relay lost after the fourth register: three confirmed, one asked
    // without an answer, the rest never sent.
    QList<State> lost = {State::Confirmed, State::Confirmed, State::Confirmed, State::NotConfirmed};
    lost << QList<State>(7, State::NotSent);
    QStringList lostRows = {c, c, c, n};
    lostRows << QStringList(7, s);
    QTest::newRow("relay lost part way") << lost << true << QString() << lostRows;
    QTest::newRow("refused: other variant")
        << QList<State>(11, State::NotSent) << false << QStringLiteral("variant 1 table, variant 2 relay")
        << QStringList(11, r);
}

void TstJournal::writeRows() {
    QFETCH(QList<State>, states);
    QFETCH(bool, linkLost);
    QFETCH(QString, refusal);
    QFETCH(QStringList, expected);
    core::WriteResult w;
    w.identity = relay3();
    for (int i = 0; i < states.size(); ++i) {
        core::RegisterWrite reg;
        reg.reg = 12 + i;
        reg.parameter = QStringLiteral("P%1").arg(i + 1);
        reg.before = 40;
        reg.sent = 45;
        reg.state = states[i];
        if (states[i] == State::Confirmed && !linkLost && refusal.isEmpty()) {
            reg.readBack = 45;
            reg.heldAsSent = true;
        }
        w.registers << reg;
    }
    w.readBackDone = !linkLost && refusal.isEmpty();
    if (!refusal.isEmpty()) w.refusal = refusal;
    if (linkLost) {
        core::Failure f;
        f.linkLost = true;
        w.failure = f;
    }
    const QDateTime at(QDate(2026, 12, 8), QTime(10, 0), Qt::OffsetFromUTC, 3600);
    const QList<Row> rows = rowsFor(w, QStringLiteral("vrk-cli"), at);
    QCOMPARE(rows.size(), expected.size());
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].state, expected[i]);
        QCOMPARE(rows[i].reg, 12 + i);
        QCOMPARE(rows[i].parameter, QStringLiteral("P%1").arg(i + 1));
        QCOMPARE(rows[i].address, 3);
        QCOMPARE(rows[i].source, QStringLiteral("vrk-cli"));
        QCOMPARE(rows[i].note.isEmpty(), rows[i].state == state::confirmed);
    }
    // Register 12 is In: 45 steps of 0,5 A for variant 2, as the table shows it.
    QCOMPARE(rows[0].before, QStringLiteral("20,0"));
    QCOMPARE(rows[0].sent, QStringLiteral("22,5"));
    // Every row reaches the file and comes back the same.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.csv"));
    QString error;
    QVERIFY(append(path, rows, &error));
    Contents back;
    QVERIFY(read(path, &back, &error));
    QCOMPARE(back.rows, rows);
}

void TstJournal::clockAndResetRows() {
    core::ClockResult clock;
    clock.identity = relay3();
    clock.sent = QDateTime(QDate(2026, 3, 29), QTime(2, 59));
    clock.states = {State::Confirmed, State::NotConfirmed};
    clock.failure = core::Failure{};
    const QList<Row> c = rowsFor(clock, QStringLiteral("vrk"));
    QCOMPARE(c.size(), 2);
    QCOMPARE(c[0].sent, QStringLiteral("03.29"));
    QCOMPARE(c[1].sent, QStringLiteral("02:59"));
    QCOMPARE(c[0].state, state::confirmed);
    QCOMPARE(c[1].state, state::notConfirmed);
    QVERIFY(!c[1].note.isEmpty());

    core::ResetResult reset;
    reset.identity = relay3();
    reset.faultWordBefore = 0x41;
    QCOMPARE(rowsFor(reset, QStringLiteral("vrk")).size(), 0); // nothing tried
    reset.refused = true;
    QList<Row> r = rowsFor(reset, QStringLiteral("vrk"));
    QCOMPARE(r.size(), 1);
    QCOMPARE(r[0].state, state::refused);
    QCOMPARE(r[0].before, QStringLiteral("0x0041"));
    reset.refused = false;
    reset.sent = reset.confirmed = true;
    r = rowsFor(reset, QStringLiteral("vrk"));
    QCOMPARE(r[0].state, state::confirmed);
    QCOMPARE(r[0].sent, QStringLiteral("0x0000"));
}

QTEST_GUILESS_MAIN(TstJournal)
#include "tst_journal.moc"

// The fault log's rules without a window: bytes from registers, records,
// the newest-first order and the listing texts.
#include "faults/rules.h"

#include <QTest>

using namespace faults;

namespace {

FaultTexts polish() {
    FaultTexts t;
    t.causes = {QString::fromUtf8("przeciążenie    "), QStringLiteral("zwarcie    "),
                QString::fromUtf8("asymetria prądu    "), QStringLiteral("suchobieg    "),
                QStringLiteral("kolejnosc faz    ")};
    const char* const months[12] = {"styczeń", "luty",     "marzec",   "kwiecień",    "maj",      "czerwiec",
                                    "lipiec",  "sierpień", "wrzesień", "październik", "listopad", "grudzień"};
    for (int m = 0; m < 12; ++m)
        t.months[size_t(m)] = QString::fromUtf8(months[m]);
    return t;
}

FaultRecord trip(quint8 cause, quint8 month, quint8 day, quint8 hour, quint8 minute) {
    return FaultRecord{cause, month, day, hour, minute};
}

FaultRecords emptyMemory() {
    FaultRecords r;
    r.fill(trip(0xFF, 0xFF, 0xFF, 0xFF, 0xFF));
    return r;
}

// The registers of block b as the relay would answer them for these records.
QVector<qint32> blockRegisters(const FaultRecords& records, int block) {
    const FaultBytes bytes = encodeRecords(records);
    QVector<qint32> regs;
    for (int j = 0; j < kBlockRegisters; ++j) {
        const size_t at = size_t(50 * block + 2 * j);
        regs << (qint32(bytes[at]) << 8 | bytes[at + 1]);
    }
    return regs;
}

QStringList listedMonths(const FaultRecords& records, int count) {
    QStringList out;
    for (int n = 0; n < count; ++n)
        out << faultRow(records[size_t(n)], polish()).date;
    return out;
}

} // namespace

Q_DECLARE_METATYPE(FaultRecord)

class TestFaultRules : public QObject {
    Q_OBJECT
private slots:
    void recordProblems_data();
    void recordProblems();
    void blocksToBytes();
    void noCause_data();
    void noCause();
    void recordsRoundTrip();
    void currentMonth_data();
    void currentMonth();
    void sortKey_data();
    void sortKey();

    void emptyMemoryListsNothing();
    void previousYearAfterCurrentMonth();
    void decemberOrdersTheYear();
    void sameMinuteKeepsStoredOrder();
    void emptySlotsSinkToTheEnd();
    void originsFollowTheOrder();
    void blockStates_data();
    void blockStates();
    void notices_data();
    void notices();
    void unreadableBlockKeepsItsRecords();

    void causeText_data();
    void causeText();
    void listing_data();
    void listing();
    void monthNames();
};

void TestFaultRules::blocksToBytes() {
    FaultBytes bytes{};
    bytes.fill(0xAA);
    QVector<qint32> regs;
    for (int j = 0; j < 25; ++j)
        regs << (0x0100 * j + 0x80 + j);
    storeBlock(bytes, 2, regs);
    QCOMPARE(int(bytes[99]), 0xAA);
    QCOMPARE(int(bytes[100]), 0x00);
    QCOMPARE(int(bytes[101]), 0x80);
    QCOMPARE(int(bytes[102]), 0x01);
    QCOMPARE(int(bytes[103]), 0x81);
    QCOMPARE(int(bytes[148]), 24);
    QCOMPARE(int(bytes[149]), 0x80 + 24);
    QCOMPARE(int(bytes[150]), 0xAA);
    // A short answer stores only what it has; an unknown block nothing.
    storeBlock(bytes, 3, {0x1234});
    QCOMPARE(int(bytes[150]), 0x12);
    QCOMPARE(int(bytes[151]), 0x34);
    QCOMPARE(int(bytes[152]), 0xAA);
    const FaultBytes before = bytes;
    storeBlock(bytes, 4, regs);
    storeBlock(bytes, -1, regs);
    QVERIFY(bytes == before);
    QCOMPARE(blockFirstRegister(0), 26);
    QCOMPARE(blockFirstRegister(3), 101);
}

void TestFaultRules::recordsRoundTrip() {
    FaultBytes bytes{};
    for (int i = 0; i < kBytes; ++i)
        bytes[size_t(i)] = quint8(i * 7 + 3);
    const FaultRecords r = decodeRecords(bytes);
    QCOMPARE(int(r[1].cause), 5 * 7 + 3);
    QCOMPARE(int(r[1].minute), 9 * 7 + 3);
    QVERIFY(encodeRecords(r) == bytes);
}

void TestFaultRules::currentMonth_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("month");
    QTest::newRow("05") << "05" << 5;
    QTest::newRow("12") << "12" << 12;
    QTest::newRow("1") << "1" << 1;
    QTest::newRow("empty") << "" << 12;
    QTest::newRow("letters") << "ab" << 12;
    QTest::newRow("minus zero") << "-0" << 0;
    QTest::newRow("dot") << "1." << 12;
    QTest::newRow("blank") << " 5" << 12;
}

void TestFaultRules::currentMonth() {
    QFETCH(QString, text);
    QFETCH(int, month);
    QCOMPARE(currentMonthNumber(text), month);
}

void TestFaultRules::sortKey_data() {
    QTest::addColumn<FaultRecord>("record");
    QTest::addColumn<int>("currentMonth");
    QTest::addColumn<qint64>("key");
    QTest::newRow("this year") << trip(1, 0x05, 0x06, 0x19, 0x05) << 5 << qint64(500061905);
    QTest::newRow("last year") << trip(1, 0x10, 0x31, 0x23, 0x59) << 5
                               << qint64(10 * 1000000 + 31 * 10000 + 2359);
    QTest::newRow("zeroed") << FaultRecord{} << 5 << qint64(0);
    QTest::newRow("december this year") << trip(1, 0x12, 0x01, 0x00, 0x00) << 12 << qint64(1200010000);
}

void TestFaultRules::sortKey() {
    QFETCH(FaultRecord, record);
    QFETCH(int, currentMonth);
    QFETCH(qint64, key);
    QCOMPARE(faults::sortKey(record, currentMonth), key);
}

void TestFaultRules::emptyMemoryListsNothing() {
    FaultBytes bytes = encodeRecords(emptyMemory());
    const FaultRecords sorted = sortBuffer(bytes, 5);
    for (const FaultRecord& r : sorted) {
        QCOMPARE(r, FaultRecord{});
        QCOMPARE(faultRow(r, polish()), FaultRow{});
    }
    // The empty slots are zeroed in the kept bytes too.
    for (quint8 b : bytes)
        QCOMPARE(int(b), 0);
}

void TestFaultRules::previousYearAfterCurrentMonth() {
    FaultRecords r = emptyMemory();
    r[0] = trip(0x01, 0x10, 0x02, 0x08, 0x00); // October: last year
    r[1] = trip(0x01, 0x03, 0x15, 0x10, 0x30); // March
    r[2] = trip(0x01, 0x05, 0x01, 0x07, 0x03); // May
    FaultBytes bytes = encodeRecords(r);
    const FaultRecords sorted = sortBuffer(bytes, currentMonthNumber(QStringLiteral("05")));
    QCOMPARE(listedMonths(sorted, 3), (QStringList{QStringLiteral("1 maj"), QStringLiteral("15 marzec"),
                                                   QString::fromUtf8("2 październik")}));
    QVERIFY(decodeRecords(bytes) == sorted);
    // Without a known current month every trip counts as this year's.
    FaultBytes again = encodeRecords(r);
    const FaultRecords unknown = sortBuffer(again, currentMonthNumber(QString()));
    QCOMPARE(listedMonths(unknown, 3), (QStringList{QString::fromUtf8("2 październik"),
                                                    QStringLiteral("1 maj"), QStringLiteral("15 marzec")}));
}

void TestFaultRules::decemberOrdersTheYear() {
    FaultRecords r = emptyMemory();
    r[0] = trip(0x02, 0x02, 0x28, 0x12, 0x00); // February
    r[1] = trip(0x02, 0x10, 0x01, 0x00, 0x00); // October
    r[2] = trip(0x02, 0x12, 0x24, 0x18, 0x00); // December
    r[3] = trip(0x02, 0x11, 0x11, 0x11, 0x11); // November
    FaultBytes bytes = encodeRecords(r);
    const FaultRecords sorted = sortBuffer(bytes, 12);
    QCOMPARE(listedMonths(sorted, 4),
             (QStringList{QString::fromUtf8("24 grudzień"), QStringLiteral("11 listopad"),
                          QString::fromUtf8("1 październik"), QStringLiteral("28 luty")}));
}

void TestFaultRules::sameMinuteKeepsStoredOrder() {
    FaultRecords r = emptyMemory();
    r[5] = trip(0x01, 0x04, 0x10, 0x12, 0x30);
    r[6] = trip(0x02, 0x04, 0x10, 0x12, 0x30);
    r[7] = trip(0x04, 0x04, 0x10, 0x12, 0x31);
    r[30] = trip(0x08, 0x04, 0x10, 0x12, 0x30);
    r[39] = trip(0x40, 0x04, 0x10, 0x12, 0x30);
    FaultBytes bytes = encodeRecords(r);
    const FaultRecords sorted = sortBuffer(bytes, 6);
    QCOMPARE(int(sorted[0].cause), 0x04);
    QCOMPARE(int(sorted[1].cause), 0x01);
    QCOMPARE(int(sorted[2].cause), 0x02);
    QCOMPARE(int(sorted[3].cause), 0x08);
    QCOMPARE(int(sorted[4].cause), 0x40);
    QCOMPARE(sorted[5], FaultRecord{});
}

void TestFaultRules::emptySlotsSinkToTheEnd() {
    FaultRecords r = emptyMemory();
    r[39] = trip(0x01, 0x01, 0x01, 0x00, 0x00);
    r[0] = trip(0x20, 0x09, 0x09, 0x09, 0x09);
    FaultBytes bytes = encodeRecords(r);
    const FaultRecords sorted = sortBuffer(bytes, 9);
    QCOMPARE(sorted[0], r[0]);
    QCOMPARE(sorted[1], r[39]);
    for (int n = 2; n < kRecords; ++n)
        QCOMPARE(sorted[size_t(n)], FaultRecord{});
}

// Each listed record names the slot it came from, equal keys in stored order.
void TestFaultRules::originsFollowTheOrder() {
    FaultRecords r = emptyMemory();
    r[5] = trip(0x01, 0x04, 0x10, 0x12, 0x30);
    r[6] = trip(0x02, 0x04, 0x10, 0x12, 0x30);
    r[17] = trip(0x04, 0x04, 0x10, 0x12, 0x31);
    r[39] = trip(0x08, 0x09, 0x10, 0x12, 0x30); // last year's September
    FaultBytes bytes = encodeRecords(r);
    std::array<int, kRecords> origins{};
    const FaultRecords sorted = sortBuffer(bytes, 6, &origins);
    QCOMPARE(origins[0], 17);
    QCOMPARE(origins[1], 5);
    QCOMPARE(origins[2], 6);
    QCOMPARE(origins[3], 39);
    FaultRecords zeroed = r;
    zeroEmptySlots(zeroed);
    for (int n = 0; n < kRecords; ++n) // each listed record is its slot's
        QCOMPARE(sorted[size_t(n)], zeroed[size_t(origins[size_t(n)])]);
    QList<int> all(origins.begin(), origins.end());
    std::sort(all.begin(), all.end());
    for (int n = 0; n < kRecords; ++n)
        QCOMPARE(all[n], n);
}

void TestFaultRules::blockStates_data() {
    QTest::addColumn<unsigned>("failedNow");
    QTest::addColumn<unsigned>("readBefore");
    QTest::addColumn<QString>("earlier");
    QTest::addColumn<QString>("never");
    QTest::newRow("all read") << 0u << 0u << ""
                              << "";
    QTest::newRow("first read fails whole") << 0xFu << 0u << ""
                                            << "1-40";
    QTest::newRow("later read fails whole") << 0xFu << 0xFu << "1-40"
                                            << "";
    QTest::newRow("one block, read before") << 0x1u << 0xFu << "1-10"
                                            << "";
    QTest::newRow("two apart") << 0x5u << 0xFu << "1-10, 21-30"
                               << "";
    QTest::newRow("mixed") << 0xEu << 0x2u << "11-20"
                           << "21-40";
    QTest::newRow("last two never") << 0xCu << 0x3u << ""
                                    << "21-40";
}

void TestFaultRules::blockStates() {
    QFETCH(unsigned, failedNow);
    QFETCH(unsigned, readBefore);
    QFETCH(QString, earlier);
    QFETCH(QString, never);
    const BlockStates states = faults::blockStates(failedNow, readBefore);
    QCOMPARE(slotRanges(states, BlockState::Earlier), earlier);
    QCOMPARE(slotRanges(states, BlockState::Never), never);
    QCOMPARE(blockOfSlot(0), 0);
    QCOMPARE(blockOfSlot(9), 0);
    QCOMPARE(blockOfSlot(10), 1);
    QCOMPARE(blockOfSlot(39), 3);
}

// What an export and the page say about the records a read did not get: the export puts the
// missing records first and says the earlier rows may be gone from the relay; the page names the
// grey rows first. Neither says anything after a whole read.
void TestFaultRules::notices_data() {
    QTest::addColumn<unsigned>("failedNow");
    QTest::addColumn<unsigned>("readBefore");
    QTest::addColumn<QStringList>("exported");
    QTest::addColumn<QString>("page");
    const QString never = QStringLiteral(
        "Records %1 of the relay's memory could not be read: their trips are missing from the list.");
    const QString earlierExported = QStringLiteral(
        "Records %1 of the relay's memory were not read now: their rows are from an earlier read and may no "
        "longer be in the relay.");
    const QString earlierPage = QStringLiteral(
        "Records %1 of the relay's memory were not read now: their rows (grey) are from an earlier read.");
    QTest::newRow("all read") << 0u << 0xFu << QStringList() << QString();
    QTest::newRow("nothing ever read")
        << 0xFu << 0u << QStringList{QStringLiteral("The fault log has not been read from the relay.")}
        << never.arg(QStringLiteral("1-40"));
    QTest::newRow("all from before") << 0xFu << 0xFu
                                     << QStringList{earlierExported.arg(QStringLiteral("1-40"))}
                                     << earlierPage.arg(QStringLiteral("1-40"));
    QTest::newRow("mixed") << 0xEu << 0x2u
                           << QStringList{never.arg(QStringLiteral("21-40")),
                                          earlierExported.arg(QStringLiteral("11-20"))}
                           << earlierPage.arg(QStringLiteral("11-20")) + QLatin1Char('\n') +
                                  never.arg(QStringLiteral("21-40"));
}

void TestFaultRules::notices() {
    QFETCH(unsigned, failedNow);
    QFETCH(unsigned, readBefore);
    const BlockStates states = faults::blockStates(failedNow, readBefore);
    QTEST(coverageNotice(states), "exported");
    QTEST(pageNotice(states), "page");
}

// A block that cannot be read keeps the (sorted) bytes of the last read; the
// others are refreshed, and the whole buffer is sorted again.
void TestFaultRules::unreadableBlockKeepsItsRecords() {
    FaultRecords first = emptyMemory();
    for (int n = 0; n < kRecords; ++n)
        first[size_t(n)] = trip(0x01, 0x01, quint8(0x10 + n % 10), 0x00, quint8(n % 10));
    FaultBytes buffer{};
    for (int b = 0; b < kBlocks; ++b)
        storeBlock(buffer, b, blockRegisters(first, b));
    sortBuffer(buffer, 12);
    const FaultBytes afterFirst = buffer;

    FaultRecords second = emptyMemory();
    second[0] = trip(0x02, 0x06, 0x01, 0x00, 0x00);
    for (int b : {0, 1, 3})
        storeBlock(buffer, b, blockRegisters(second, b));
    for (int i = 100; i < 150; ++i)
        QCOMPARE(buffer[size_t(i)], afterFirst[size_t(i)]);
    const FaultRecords sorted = sortBuffer(buffer, 12);
    QCOMPARE(sorted[0], second[0]);
    for (int n = 1; n <= 10; ++n)
        QCOMPARE(int(sorted[size_t(n)].cause), 0x01);
    QCOMPARE(sorted[11], FaultRecord{});
}

void TestFaultRules::causeText_data() {
    QTest::addColumn<int>("cause");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << QString();
    QTest::newRow("bit 7 only") << 0x80 << QString();
    QTest::newRow("overload and U<85%") << 0x11 << QString::fromUtf8("przeciążenie    U<85%    ");
    QTest::newRow("U>115%") << 0x20 << QStringLiteral("U>115%    ");
    QTest::newRow("all") << 0xFF
                         << QString::fromUtf8(
                                "przeciążenie    zwarcie    asymetria prądu    suchobieg    U<85%    "
                                "U>115%    kolejnosc faz    ");
    QTest::newRow("phase sequence and short circuit")
        << 0x42 << QStringLiteral("zwarcie    kolejnosc faz    ");
}

void TestFaultRules::causeText() {
    QFETCH(int, cause);
    QFETCH(QString, text);
    QCOMPARE(faults::causeText(cause, polish()), text);
}

void TestFaultRules::listing_data() {
    QTest::addColumn<FaultRecord>("record");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::newRow("6 December 7:03") << trip(0x01, 0x12, 0x06, 0x07, 0x03) << QString::fromUtf8("6 grudzień")
                                     << QStringLiteral("  7:03");
    QTest::newRow("19:05") << trip(0x01, 0x01, 0x31, 0x19, 0x05) << QString::fromUtf8("31 styczeń")
                           << QStringLiteral("  19:05");
    QTest::newRow("midnight") << trip(0x01, 0x07, 0x01, 0x00, 0x00) << QStringLiteral("1 lipiec")
                              << QStringLiteral("  0:00");
    // Month bytes that name no month: the two digits as stored.
    QTest::newRow("month 0x13") << trip(0x01, 0x13, 0x06, 0x07, 0x03) << QStringLiteral("6 13")
                                << QStringLiteral("  7:03");
    QTest::newRow("month 0x00") << trip(0x01, 0x00, 0x06, 0x07, 0x03) << QStringLiteral("6 00")
                                << QStringLiteral("  7:03");
    QTest::newRow("month 0x1A") << trip(0x01, 0x1A, 0x06, 0x07, 0x03) << QStringLiteral("6 1A")
                                << QStringLiteral("  7:03");
    QTest::newRow("month 0xFF") << trip(0x01, 0xFF, 0x06, 0x07, 0x03) << QStringLiteral("6 FF")
                                << QStringLiteral("  7:03");
    // Nibbles are not checked: 0x0A spells ten.
    QTest::newRow("month 0x0A") << trip(0x01, 0x0A, 0x06, 0x07, 0x03) << QString::fromUtf8("6 październik")
                                << QStringLiteral("  7:03");
    QTest::newRow("no cause") << trip(0x00, 0x12, 0x06, 0x07, 0x03) << QString() << QString();
}

void TestFaultRules::noCause_data() {
    QTest::addColumn<FaultRecord>("record");
    QTest::addColumn<QString>("cause");
    QTest::newRow("cause 0 with a date") << trip(0x00, 0x12, 0x06, 0x07, 0x03) << "<none>";
    QTest::newRow("only bit 7") << trip(0x80, 0x12, 0x06, 0x07, 0x03) << "<none>";
    QTest::newRow("only bit 7, no date") << trip(0x80, 0x00, 0x00, 0x00, 0x00) << "<none>";
    QTest::newRow("cause 0, minute only") << trip(0x00, 0x00, 0x00, 0x00, 0x01) << "<none>";
    QTest::newRow("empty slot") << FaultRecord{} << "";
    QTest::newRow("bit 7 with a cause")
        << trip(0x81, 0x12, 0x06, 0x07, 0x03) << QString::fromUtf8("przeciążenie    ");
}

void TestFaultRules::noCause() {
    QFETCH(FaultRecord, record);
    QFETCH(QString, cause);
    FaultTexts texts = polish();
    texts.noCause = QStringLiteral("<none>");
    const FaultRow row = faultRow(record, texts);
    QCOMPARE(row.cause, cause);
    if (cause == texts.noCause) {
        QCOMPARE(row.date, QString());
        QCOMPARE(row.time, QString());
    }
}

void TestFaultRules::listing() {
    QFETCH(FaultRecord, record);
    QFETCH(QString, date);
    QFETCH(QString, time);
    const FaultRow row = faultRow(record, polish());
    QCOMPARE(row.date, date);
    QCOMPARE(row.time, time);
}

void TestFaultRules::monthNames() {
    QCOMPARE(monthName(QStringLiteral("01"), polish()), QString::fromUtf8("styczeń"));
    QCOMPARE(monthName(QStringLiteral("12"), polish()), QString::fromUtf8("grudzień"));
    QCOMPARE(monthName(QStringLiteral("1"), polish()), QString());
    QCOMPARE(monthName(QStringLiteral("13"), polish()), QString());
    QCOMPARE(monthName(QStringLiteral("00"), polish()), QString());
}

void TestFaultRules::recordProblems_data() {
    QTest::addColumn<QList<int>>("record"); // cause, month, day, hour, minute as stored (BCD)
    QTest::addColumn<int>("problem");       // faults::RecordProblem; now is 20 May 12:00
    const int none = int(faults::RecordProblem::None), corrupt = int(faults::RecordProblem::Corrupt),
              future = int(faults::RecordProblem::Future);
    QTest::newRow("an ordinary trip") << QList<int>{0x01, 0x05, 0x03, 0x08, 0x15} << none;
    QTest::newRow("an empty slot") << QList<int>{0, 0, 0, 0, 0} << none;
    QTest::newRow("BCD day 0x1A (shown as 20)") << QList<int>{0x01, 0x05, 0x1A, 0x12, 0x00} << corrupt;
    QTest::newRow("hour 25, minute 61") << QList<int>{0x01, 0x05, 0x03, 0x25, 0x61} << corrupt;
    QTest::newRow("0xFF bytes") << QList<int>{0x01, 0xFF, 0xFF, 0xFF, 0xFF} << corrupt;
    QTest::newRow("month 13") << QList<int>{0x02, 0x13, 0x06, 0x07, 0x03} << corrupt;
    QTest::newRow("day 0") << QList<int>{0x02, 0x05, 0x00, 0x07, 0x03} << corrupt;
    QTest::newRow("31 April") << QList<int>{0x02, 0x04, 0x31, 0x07, 0x03} << corrupt;
    QTest::newRow("29 February (a leap year's)") << QList<int>{0x02, 0x02, 0x29, 0x07, 0x03} << none;
    QTest::newRow("no cause, but a corrupt date") << QList<int>{0x00, 0x05, 0x1A, 0x07, 0x03} << corrupt;
    QTest::newRow("later today") << QList<int>{0x01, 0x05, 0x20, 0x12, 0x01} << future;
    QTest::newRow("this very minute") << QList<int>{0x01, 0x05, 0x20, 0x12, 0x00} << none;
    QTest::newRow("later this month") << QList<int>{0x01, 0x05, 0x31, 0x00, 0x00} << future;
    QTest::newRow("a later month: last year") << QList<int>{0x01, 0x06, 0x01, 0x00, 0x00} << none;
}

void TestFaultRules::recordProblems() {
    QFETCH(QList<int>, record);
    QFETCH(int, problem);
    const faults::FaultRecord r{quint8(record[0]), quint8(record[1]), quint8(record[2]), quint8(record[3]),
                                quint8(record[4])};
    QCOMPARE(int(faults::recordProblem(r, 5, 20, 12, 0)), problem);
}

QTEST_APPLESS_MAIN(TestFaultRules)
#include "tst_faults.moc"

// The fault log's decoding: any register values as the four blocks the relay
// sends (registers 26..125), any text as the clock's current month, through
// storeBlock, sortBuffer and the listing rows.
//
// Checked: the blocks land high byte first; the sort keeps every record
// (empty slots turned to zeros) and only reorders them, newest first by the
// key, equal keys in the order the relay stored them; the kept bytes are the
// listing order; a record without a cause shows no date or time, and one
// with a cause shows its day, a month name or the stored digits, and a time.
#include "faults/rules.h"
#include "fuzz/support.h"
#include "protocol/formatting.h"

#include <QVector>

#include <algorithm>
#include <numeric>

namespace {

faults::FaultTexts texts() {
    faults::FaultTexts t;
    const char* causes[] = {"przeciazenie ", "zwarcie ", "asymetria ", "suchobieg ", "kolejnosc faz "};
    for (size_t i = 0; i < t.causes.size(); ++i)
        t.causes[i] = QLatin1String(causes[i]);
    for (size_t m = 0; m < t.months.size(); ++m)
        t.months[m] = QStringLiteral("miesiac%1").arg(m + 1);
    return t;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Cursor in(data, size);
    faults::FaultBytes bytes{};
    bytes.fill(0xAA);
    // Each block with the count of registers the input gives (a short reply
    // is refused by Czytaj, but storeBlock takes whatever it is handed).
    for (int block = 0; block < faults::kBlocks; ++block) {
        const int count = in.byte() % 32;
        QVector<qint32> regs;
        for (int j = 0; j < count; ++j)
            regs << in.word();
        const faults::FaultBytes was = bytes;
        faults::storeBlock(bytes, block, regs);
        for (int i = 0; i < faults::kBytes; ++i) {
            const int j = (i - 50 * block) / 2;
            if (i >= 50 * block && i < 50 * block + 50 && j < count)
                FUZZ_CHECK(bytes[size_t(i)] == quint8(i % 2 ? regs[j] & 0xFF : regs[j] >> 8));
            else
                FUZZ_CHECK(bytes[size_t(i)] == was[size_t(i)]);
        }
    }
    faults::storeBlock(bytes, -1, {1, 2});
    faults::storeBlock(bytes, faults::kBlocks, {1, 2});

    const QByteArray monthBytes = in.bytes(in.byte() % 12);
    const QString currentMonth =
        (in.byte() & 1) ? QString::fromUtf8(monthBytes) : QString::fromLatin1(monthBytes);
    const int month = faults::currentMonthNumber(currentMonth);
    if (currentMonth.isEmpty()) FUZZ_CHECK(month == 12);

    faults::FaultRecords stored = faults::decodeRecords(bytes);
    FUZZ_CHECK(faults::encodeRecords(stored) == bytes);
    faults::zeroEmptySlots(stored);

    faults::FaultBytes kept = bytes;
    const faults::FaultRecords sorted = faults::sortBuffer(kept, month);
    FUZZ_CHECK(faults::encodeRecords(sorted) == kept);

    // The same records, stably ordered by descending key.
    std::array<int, faults::kRecords> order;
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return faults::sortKey(stored[size_t(a)], month) > faults::sortKey(stored[size_t(b)], month);
    });
    for (int n = 0; n < faults::kRecords; ++n) {
        FUZZ_CHECK(sorted[size_t(n)] == stored[size_t(order[size_t(n)])]);
        FUZZ_CHECK(sorted[size_t(n)].cause != faults::kEmptySlot);
    }

    const faults::FaultTexts t = texts();
    for (const faults::FaultRecord& r : sorted) {
        const faults::FaultRow row = faults::faultRow(r, t);
        if ((r.cause & 0x7F) == 0) {
            FUZZ_CHECK(row.cause.isEmpty() && row.date.isEmpty() && row.time.isEmpty());
            continue;
        }
        FUZZ_CHECK(!row.cause.isEmpty());
        const int m = INT_BCD(r.month);
        const QString name = m >= 1 && m <= 12
                                 ? t.months[size_t(m - 1)]
                                 : QStringLiteral("%1").arg(int(r.month), 2, 16, QLatin1Char('0')).toUpper();
        FUZZ_CHECK(row.date == QString::number(INT_BCD(r.day)) + QLatin1Char(' ') + name);
        FUZZ_CHECK(
            row.time ==
            QStringLiteral("  %1:%2").arg(INT_BCD(r.hour)).arg(INT_BCD(r.minute), 2, 10, QLatin1Char('0')));
    }
    return 0;
}

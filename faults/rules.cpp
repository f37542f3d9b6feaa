#include "faults/rules.h"

#include "protocol/formatting.h"

#include <QCoreApplication>

#include <tuple>
#include <utility>

namespace faults {

QStringList initialFaultNumbers() {
    QStringList out;
    for (int n = 1; n <= kRecords; ++n)
        out << QStringLiteral(" %1").arg(n);
    return out;
}

QStringList initialFaultHeader() {
    return {QStringLiteral("LP"), QStringLiteral("               PRZYCZYNA"), QStringLiteral("     DATA"),
            QStringLiteral("GODZINA")};
}

void storeBlock(FaultBytes& bytes, int block, const QVector<qint32>& registers) {
    if (block < 0 || block >= kBlocks) return;
    const int n = std::min<int>(kBlockRegisters, int(registers.size()));
    for (int j = 0; j < n; ++j) {
        const size_t at = size_t(50 * block + 2 * j);
        bytes[at] = quint8((registers[j] >> 8) & 0xFF);
        bytes[at + 1] = quint8(registers[j] & 0xFF);
    }
}

FaultRecords decodeRecords(const FaultBytes& bytes) {
    FaultRecords out;
    for (int n = 0; n < kRecords; ++n) {
        const size_t b = size_t(kRecordBytes * n);
        out[size_t(n)] = {bytes[b], bytes[b + 1], bytes[b + 2], bytes[b + 3], bytes[b + 4]};
    }
    return out;
}

FaultBytes encodeRecords(const FaultRecords& records) {
    FaultBytes out{};
    for (int n = 0; n < kRecords; ++n) {
        const size_t b = size_t(kRecordBytes * n);
        const FaultRecord& r = records[size_t(n)];
        out[b] = r.cause;
        out[b + 1] = r.month;
        out[b + 2] = r.day;
        out[b + 3] = r.hour;
        out[b + 4] = r.minute;
    }
    return out;
}

void zeroEmptySlots(FaultRecords& records) {
    for (FaultRecord& r : records)
        if (r.cause == kEmptySlot) r = FaultRecord{};
}

int currentMonthNumber(const QString& currentMonth) {
    // A whole decimal number with an optional sign, as the clock's two characters hold it.
    int i = 0;
    if (i < currentMonth.size() &&
        (currentMonth[i] == QLatin1Char('+') || currentMonth[i] == QLatin1Char('-')))
        ++i;
    if (i == currentMonth.size()) return 12;
    for (int k = i; k < currentMonth.size(); ++k)
        if (currentMonth[k] < QLatin1Char('0') || currentMonth[k] > QLatin1Char('9')) return 12;
    bool ok = false;
    const int m = currentMonth.toInt(&ok);
    return ok ? m : 12;
}

qint64 sortKey(const FaultRecord& r, int currentMonth) {
    const qint64 M = INT_BCD(r.month), D = INT_BCD(r.day), H = INT_BCD(r.hour), N = INT_BCD(r.minute);
    const qint64 rest = D * 10000 + H * 100 + N;
    return M > currentMonth ? M * 1000000 + rest : M * 100000000 + rest;
}

void sortNewestFirst(FaultRecords& records, int currentMonth, std::array<int, kRecords>* origins) {
    std::array<qint64, kRecords> keys{};
    std::array<int, kRecords> from{};
    for (int n = 0; n < kRecords; ++n) {
        keys[size_t(n)] = sortKey(records[size_t(n)], currentMonth);
        from[size_t(n)] = n;
    }
    for (int pass = 0; pass < kRecords - 1; ++pass)
        for (int i = kRecords - 2; i >= 0; --i)
            if (keys[size_t(i + 1)] > keys[size_t(i)]) {
                std::swap(keys[size_t(i)], keys[size_t(i + 1)]);
                std::swap(records[size_t(i)], records[size_t(i + 1)]);
                std::swap(from[size_t(i)], from[size_t(i + 1)]);
            }
    if (origins) *origins = from;
}

FaultRecords sortBuffer(FaultBytes& bytes, int currentMonth, std::array<int, kRecords>* origins) {
    FaultRecords records = decodeRecords(bytes);
    zeroEmptySlots(records);
    sortNewestFirst(records, currentMonth, origins);
    bytes = encodeRecords(records);
    return records;
}

BlockStates blockStates(unsigned failedNow, unsigned readBefore) {
    BlockStates states{};
    for (int b = 0; b < kBlocks; ++b) {
        const unsigned bit = 1u << b;
        states[size_t(b)] = !(failedNow & bit)   ? BlockState::Fresh
                            : (readBefore & bit) ? BlockState::Earlier
                                                 : BlockState::Never;
    }
    return states;
}

QString slotRanges(const BlockStates& states, BlockState state) {
    const int perBlock = kRecords / kBlocks;
    QStringList ranges;
    for (int b = 0; b < kBlocks; ++b) {
        if (states[size_t(b)] != state) continue;
        int last = b;
        while (last + 1 < kBlocks && states[size_t(last + 1)] == state)
            ++last;
        ranges << QStringLiteral("%1-%2").arg(b * perBlock + 1).arg((last + 1) * perBlock);
        b = last;
    }
    return ranges.join(QStringLiteral(", "));
}

bool validBcd(quint8 byte) {
    return (byte >> 4) <= 9 && (byte & 0x0F) <= 9;
}

RecordProblem recordProblem(const FaultRecord& r, int nowMonth, int nowDay, int nowHour, int nowMinute) {
    if (r == FaultRecord{}) return RecordProblem::None;
    if (!validBcd(r.month) || !validBcd(r.day) || !validBcd(r.hour) || !validBcd(r.minute))
        return RecordProblem::Corrupt;
    const int M = INT_BCD(r.month), D = INT_BCD(r.day), H = INT_BCD(r.hour), N = INT_BCD(r.minute);
    // Any year: 29 February is a valid trip date.
    static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (M < 1 || M > 12 || D < 1 || D > kDays[M - 1] || H > 23 || N > 59) return RecordProblem::Corrupt;
    if (M == nowMonth && std::make_tuple(D, H, N) > std::make_tuple(nowDay, nowHour, nowMinute))
        return RecordProblem::Future;
    return RecordProblem::None;
}

QString problemText(RecordProblem problem) {
    switch (problem) {
    case RecordProblem::Corrupt:
        return QCoreApplication::translate("FaultLog", "corrupt record");
    case RecordProblem::Future:
        return QCoreApplication::translate("FaultLog", "dated in the future");
    case RecordProblem::None:
        break;
    }
    return QString();
}

QString staleText() {
    return QCoreApplication::translate("FaultLog", "from an earlier read");
}

QString problemMarker(RecordProblem problem) {
    return problem == RecordProblem::None ? QString() : QStringLiteral(" (%1)").arg(problemText(problem));
}

BlockStates statesNow(unsigned freshBlocks, unsigned everRead) {
    return blockStates(~freshBlocks & ((1u << kBlocks) - 1), everRead);
}

namespace {

// The records no read has got, as a line; empty when there are none.
QString neverReadLine(const QString& never) {
    if (never.isEmpty()) return {};
    return QCoreApplication::translate("FaultLog",
                                       "Records %1 of the relay's memory could not be read: their "
                                       "trips are missing from the list.")
        .arg(never);
}

} // namespace

QStringList coverageNotice(const BlockStates& states) {
    QStringList lines;
    const QString never = slotRanges(states, BlockState::Never);
    if (never == QStringLiteral("1-%1").arg(kRecords))
        return {QCoreApplication::translate("FaultLog", "The fault log has not been read from the relay.")};
    if (!never.isEmpty()) lines << neverReadLine(never);
    const QString earlier = slotRanges(states, BlockState::Earlier);
    if (!earlier.isEmpty())
        lines << QCoreApplication::translate(
                     "FaultLog", "Records %1 of the relay's memory were not read now: their rows are from an "
                                 "earlier read and may no longer be in the relay.")
                     .arg(earlier);
    return lines;
}

QString pageNotice(const BlockStates& states) {
    QStringList lines;
    const QString earlier = slotRanges(states, BlockState::Earlier);
    if (!earlier.isEmpty())
        lines << QCoreApplication::translate(
                     "FaultLog", "Records %1 of the relay's memory were not read now: their rows (grey) are "
                                 "from an earlier read.")
                     .arg(earlier);
    const QString never = neverReadLine(slotRanges(states, BlockState::Never));
    if (!never.isEmpty()) lines << never;
    return lines.join(QLatin1Char('\n'));
}

QString causeText(int cause, const FaultTexts& texts) {
    QString out;
    if (cause & relay::Overload) out += texts.causes[0];
    if (cause & relay::ShortCircuit) out += texts.causes[1];
    if (cause & relay::Asymmetry) out += texts.causes[2];
    if (cause & relay::DryRunning) out += texts.causes[3];
    if (cause & relay::UnderVoltage) out += QStringLiteral("U<85%    ");
    if (cause & relay::OverVoltage) out += QStringLiteral("U>115%    ");
    if (cause & relay::PhaseSequence) out += texts.causes[4];
    return out;
}

QString monthName(const QString& month, const FaultTexts& texts) {
    for (int m = 1; m <= 12; ++m)
        if (month == zera(m, 2)) return texts.months[size_t(m - 1)];
    return QString();
}

FaultRow faultRow(const FaultRecord& r, const FaultTexts& texts) {
    FaultRow row;
    row.cause = causeText(r.cause, texts);
    if (row.cause.isEmpty()) {
        if (r != FaultRecord{}) row.cause = texts.noCause;
        return row;
    }
    QString month = monthName(zera(INT_BCD(r.month), 2), texts);
    if (month.isEmpty()) // no name for it: the two digits the relay stored
        month = QStringLiteral("%1").arg(int(r.month), 2, 16, QLatin1Char('0')).toUpper();
    row.date = QString::number(INT_BCD(r.day)) + QLatin1Char(' ') + month;
    row.time = QStringLiteral("  ") + QString::number(INT_BCD(r.hour)) + QLatin1Char(':') +
               zera(INT_BCD(r.minute), 2);
    return row;
}

} // namespace faults

#pragma once
// The relay's fault memory: 40 records of 5 bytes (cause, then BCD month,
// day, hour, minute) in registers 26..125, high byte first. Decoding, the
// newest-first order and the listing texts, as plain functions.
#include "protocol/relaymap.h"
#include <array>
#include <cstdint>
#include <QString>
#include <QStringList>
#include <QVector>

namespace faults {

constexpr int kRecords = 40;
constexpr int kRecordBytes = 5;
constexpr int kBytes = kRecords * kRecordBytes; // 200
constexpr int kBlocks = relay::kFaultMemoryBlocks;
constexpr int kBlockRegisters = relay::kFaultMemoryBlockRegisters; // ten records per block
constexpr int kFirstRegister = relay::kFaultMemoryFirst;
constexpr quint8 kEmptySlot = 0xFF;

using FaultBytes = std::array<quint8, kBytes>;

struct FaultRecord {
    quint8 cause = 0, month = 0, day = 0, hour = 0, minute = 0; // as stored (BCD)
    bool operator==(const FaultRecord&) const = default;
};
using FaultRecords = std::array<FaultRecord, kRecords>;

// ---- the texts the log starts with
QStringList initialFaultNumbers(); // rows 1..40 of column 0: " 1" .. " 40"
QStringList initialFaultHeader();  // row 0, columns 0..3

// The first register of block b (0..3).
inline int blockFirstRegister(int block) {
    return kFirstRegister + kBlockRegisters * block;
}
// Stores the 25 register values of block b as its 50 bytes, high byte first.
// Fewer values leave the rest of the block as it was.
void storeBlock(FaultBytes& bytes, int block, const QVector<qint32>& registers);

FaultRecords decodeRecords(const FaultBytes& bytes);
FaultBytes encodeRecords(const FaultRecords& records);
// A slot whose cause byte is 0xFF becomes five zero bytes.
void zeroEmptySlots(FaultRecords& records);

// The current month as the clock shows it, or 12 when the text is not a number.
int currentMonthNumber(const QString& currentMonth);
// Larger is newer: a trip in a month after the current one counts as last year's.
qint64 sortKey(const FaultRecord& record, int currentMonth);
// Newest first, by the relay's bubble order: 39 passes, each from the pair
// (38, 39) down to (0, 1), swapping only when the later key is strictly
// larger, so equal keys keep the order the relay stored them in.
// With origins, origins[n] becomes the memory slot (0..39) the record listed
// at n came from.
void sortNewestFirst(FaultRecords& records, int currentMonth, std::array<int, kRecords>* origins = nullptr);

// ---- listing
struct FaultTexts {
    std::array<QString, 5> causes;  // overload, short circuit, asymmetry, dry running, phase sequence
    std::array<QString, 12> months; // January .. December
    // Shown in column 1 for a stored trip whose cause names no protection
    // (cause 0 or only bit 7), so it does not look like an empty slot.
    QString noCause;
};
// The cause texts of every bit set, in bit order; bit 7 is ignored.
QString causeText(int cause, const FaultTexts& texts);
// The month's name for "01" .. "12"; an empty text for anything else.
QString monthName(const QString& month, const FaultTexts& texts);

struct FaultRow {
    QString cause, date, time; // columns 1, 2, 3
    bool operator==(const FaultRow&) const = default;
};
// A record with no cause text shows nothing in columns 2 and 3; column 1
// then holds texts.noCause unless the record is all zeros (an empty slot).
// A month byte that names no month shows as its two stored digits after the day.
FaultRow faultRow(const FaultRecord& record, const FaultTexts& texts);

// ---- records that cannot be taken at their word
enum class RecordProblem {
    None,
    Corrupt, // a date field is no valid BCD date or time (BCD day 0x1A, hour 25, month 13...)
    Future,  // dated later than now in the current month (the relay keeps no year)
};
// True when the byte is two BCD digits (each 0..9).
bool validBcd(quint8 byte);
// What is wrong with a stored trip (an empty slot has no problem). now is the
// PC's time; a month after its month counts as last year, as the sort takes it.
RecordProblem recordProblem(const FaultRecord& record, int nowMonth, int nowDay, int nowHour, int nowMinute);

// The listing's word for a problem ("corrupt record", "dated in the future"),
// and for a record that comes from an earlier read; empty for none.
QString problemText(RecordProblem problem);
QString staleText();
// What the grid appends to a marked record's causes: " (corrupt record)".
QString problemMarker(RecordProblem problem);

// The whole read-sort step on the kept bytes: empty slots zeroed, sorted by
// the current month, written back; returns the records in listing order.
FaultRecords sortBuffer(FaultBytes& bytes, int currentMonth, std::array<int, kRecords>* origins = nullptr);

// ---- a read that did not get every block
// The block (0..3) a memory slot (0..39) is read in.
inline int blockOfSlot(int slot) {
    return slot / (kRecords / kBlocks);
}
// What the kept buffer holds of each block after a read.
enum class BlockState {
    Fresh,   // read just now
    Earlier, // this read failed; the block holds what an earlier read got
    Never,   // no read has got it yet; its slots list nothing
};
using BlockStates = std::array<BlockState, kBlocks>;
// The state of each block after a read in which failedNow blocks failed and
// readBefore blocks had been read by an earlier read (bit b = block b).
BlockStates blockStates(unsigned failedNow, unsigned readBefore);
// The memory slots of the blocks in a state, as "11-20, 31-40" (1-based).
QString slotRanges(const BlockStates& states, BlockState state);
// The states after the reads so far: freshBlocks got by the last read,
// everRead by any read (bit b = block b). Before any read every block is Never.
BlockStates statesNow(unsigned freshBlocks, unsigned everRead);
// What a listing says about the records it cannot vouch for, one line each:
// never read (all or some blocks), and rows from an earlier read. Empty when
// the last read got every block.
QStringList coverageNotice(const BlockStates& states);
// What the fault page says under its list after a read that did not get every
// block: the grey rows from an earlier read, then the records never read.
// Empty when the read got every block.
QString pageNotice(const BlockStates& states);

} // namespace faults

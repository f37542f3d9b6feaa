#pragma once
// What the relay holds against what the table or a file says: the read-back
// after a write, the marks of changed cells and the comparison with a
// setpoint file. Plain functions over register images and value texts (no
// widgets), so a command-line tool can use them as well.
#include "setpoints/rules.h"

#include <array>
#include <cstdint>
#include <functional>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

namespace setpoints {

// One register the relay holds differently from what was sent.
struct Difference {
    int row = 0;      // 0..kWrittenRows-1, register kFirstRegister + row
    int sent = 0;     // the value written
    qint32 held = 0;  // the value read back
    QString heldText; // the held value as the table shows it
    bool operator==(const Difference&) const = default;
};

// Compares the values written to registers 12..22 with a read of registers
// 12..25 made after the write (the read's register 23 scales row 0's text).
// A register missing from the read counts as different, with held = -1 and no text.
QList<Difference> compareWritten(const std::array<int, kWrittenRows>& sent, const QVector<qint32>& read);

// Whether a table text and the relay's text mean the same value: equal texts,
// or two decimal numbers of equal value ("12,50" and "12,5").
bool sameValue(const QString& tableText, const QString& relayText);

// The state of one value cell against the relay's last read.
enum class CellState {
    NotCompared, // the date and time rows: the relay's clock runs on
    Unknown,     // no read yet (or the row has no text from the relay)
    Same,
    Changed,
};
struct CellMark {
    CellState state = CellState::NotCompared;
    QString relayText; // the relay's value as the table would show it (Same / Changed)
    bool operator==(const CellMark&) const = default;
};
// One mark per row (kRows) for the fourteen value texts and the image of
// registers 12..25 of the last good read (empty before any read).
QList<CellMark> cellMarks(const QStringList& cells, const QVector<qint32>& image);

// A parameter's name from its row text in the name column: the text before a
// colon that ends it or is followed by a space ("Prąd znamionowy:" gives
// "Prąd znamionowy"; "Godzina:minuta" stays whole).
QString parameterName(const QString& rowText);

// One row of the comparison of the relay's last read with a setpoint file.
struct FileComparison {
    int row = 0;
    QString relayText; // empty when the relay's value is unknown
    QString fileText;
    bool relayKnown = false;
    bool differs = false; // only when the relay's value is known
    bool operator==(const FileComparison&) const = default;
};
// Rows 0..kVariantRow (the parameters) of a file's lines against the image of
// the relay's last read (empty before any read).
QList<FileComparison> compareWithFile(const QStringList& fileLines, const QVector<qint32>& image);

} // namespace setpoints

namespace setpoints {

// ---- the reports after a write (texts in the current language)
// names: the name column's fourteen row texts (parameterName is applied).
// The rows whose write the relay did not confirm, of `sent` rows sent, and
// that the others were written; empty when every write was confirmed.
QString unconfirmedReport(const QList<int>& rows, int sent, const QStringList& names);
// What the read-back found: that it failed (readBack false), the values the
// relay holds differently, or, after unconfirmed writes, that it holds them
// all; empty when there is nothing to say.
QString readBackReport(bool readBack, const QList<Difference>& differences, bool anyUnconfirmed,
                       const QStringList& names);
// Whether the relay went silent during a write (the link is down, though the
// port is open): no write answered at all, or the last write unanswered and
// the read-back lost as well. rows: the unconfirmed rows of `sent` rows sent.
bool relayWentSilent(const QList<int>& rows, int sent, bool readBack);

// The status bar's short text after a confirmed write, at the given time
// "hh:mm", and the tooltip that says it in full, at "hh:mm:ss".
QString confirmedStatus(const QString& time);
QString confirmedStatusDetail(const QString& time);

} // namespace setpoints

namespace setpoints {

// ---- one register written as the setpoint page writes it
constexpr int kWriteAttempts = 4;          // tries per register
constexpr std::uint32_t kWriteWaitMs = 50; // the wait before each try, and before the read-back
// Up to kWriteAttempts tries of write(reg, value), each after wait(kWriteWaitMs);
// true at the first that the relay confirmed.
bool writeWithRetry(const std::function<void(std::uint32_t)>& wait,
                    const std::function<bool(int, int)>& write, int reg, int value);

} // namespace setpoints

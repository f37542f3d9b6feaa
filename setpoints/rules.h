#pragma once
// The rules of the setpoint table: what each row shows from its register,
// what is written back from its text, how a row is checked, which keys a
// cell takes, and the texts the table starts with. Plain functions over the
// fourteen value texts (column 3, rows 0..13); no window involved.
#include "protocol/relaymap.h"
#include <array>
#include <optional>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

namespace setpoints {

constexpr int kRows = relay::kSetpointBlock;          // registers 12..25, one row each
constexpr int kFirstRegister = relay::kSetpointFirst; // the register of row 0
constexpr int kParameters = 12;                       // rows 0..11 are checked as parameters 1..12
constexpr int kWrittenRows = relay::kSetpointWritten; // rows 0..10 go to registers 12..22
constexpr int kVariantRow = 11;                       // register 23, the relay's variant
constexpr int kDateRow = 12;                          // register 24, month.day
constexpr int kTimeRow = 13;                          // register 25, hour:minute

// ---- the texts the table starts with (column 0, 1 and 2 of rows 0..13)
QStringList initialSetpointNumbers(); // " 1" .. " 14"
QStringList initialSetpointNames();   // the built-in Polish parameter names
QStringList initialSetpointHints();   // the range hints

// ---- number parsing, with the decimal comma whatever the PC's locale
// A whole decimal number: an optional sign and digits, nothing else, within 32 bits.
std::optional<int> parseWhole(const QString& text);
// A decimal number with a decimal comma: optional sign, digits, optionally
// "," and digits (at least one digit in all). A full stop is not a separator.
std::optional<double> parseDecimal(const QString& text);
// value, written with up to 15 significant digits, as a whole number; nothing
// when that text has a fraction (or needs an exponent).
std::optional<qint64> wholeAt15Digits(double value);

// ---- the relay variant as the table holds it (row 11; not a whole number counts as 0)
int variantOf(const QStringList& cells);

// ---- display: the text shown in a row from its register value, or nothing
// when the row keeps its text (row 0 with an unknown variant).
std::optional<QString> textFromRaw(int row, qint32 raw, int variant);
// All fourteen rows from an image of registers 12..25; the variant is the image's register 23.
// An entry without a value leaves that row's text as it was.
QList<std::optional<QString>> textsFromImage(const QVector<qint32>& image);

// ---- writing: the values for registers 12..22 from the value texts of rows 0..10
int rawFromText(int row, const QString& text, int variant);
std::array<int, kWrittenRows> writeValues(const QStringList& cells);

// ---- validation: true when parameter n (1..12, row n-1) is invalid
bool parameterInvalid(int n, const QStringList& cells);
// Every failing parameter number, in increasing order.
QList<int> invalidParameters(const QStringList& cells);
// The error window's text for a refused write: prefix, n and CR LF per failing n.
QString writeRefusalMessage(const QString& prefix, const QList<int>& failing);
// The error window's text for a refused save: prefix, then "n," per failing n.
QString saveRefusalMessage(const QString& prefix, const QList<int>& failing);

// ---- the grid's key filter and cell rule
constexpr char16_t kEnter = 13;
constexpr char16_t kBackspace = 8;
// Whether a key typed into the table reaches the cell, judged by the current
// cell's row and present text.
bool keyAccepted(QChar key, int row, const QString& text);
// Rows 12 and 13 cannot be selected.
bool cellSelectable(int column, int row);

// ---- the texts of row 0 by the relay variant
struct Row0Texts {
    QString hint;  // column 2
    int nameLabel; // the hidden label whose text goes into column 1
};
// Nothing for a variant other than 0..3: row 0 stays as it is.
std::optional<Row0Texts> row0Texts(int variant);

// ---- the clock as the relay keeps it
struct ClockSetting {
    QString dateText; // "mm.dd"
    QString timeText; // "hh:mm"
    int dateRegister; // BCD month, BCD day
    int timeRegister; // BCD hour, BCD minute
};
ClockSetting clockSetting(int month, int day, int hour, int minute);

} // namespace setpoints

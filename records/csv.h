#pragma once
// The CSV files the program writes for spreadsheets: fields separated by a
// semicolon (so decimal commas stay inside their field), a field quoted when
// it holds a semicolon, a quote or a line end, lines ended by CR LF, UTF-8
// with a byte-order mark so a spreadsheet knows the encoding.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace records {

constexpr char kCsvSeparator = ';';
inline const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

// One line, its end included.
QByteArray csvLine(const QStringList& fields);
// A whole file: the byte-order mark, then the lines.
QByteArray csvFile(const QList<QStringList>& lines);
// Reads CSV back (byte-order mark, quoting and CR LF as csvLine writes them).
QList<QStringList> parseCsv(const QByteArray& bytes);

} // namespace records

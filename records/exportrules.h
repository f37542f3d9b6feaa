#pragma once
// What the exports hold: the listed trips of the fault log and the recorder's
// nine channels, as CSV and as plain text. Plain functions over the data the
// pages show.
#include "faults/rules.h"
#include "trends/rules.h"

#include <functional>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace records {

// ---- fault log
struct ListedTrip {
    QString number;             // the grid's column 0, trimmed
    faults::FaultRow row;       // the grid's columns 1..3 as listed, the cause without its marker
    faults::FaultRecord record; // the stored bytes (BCD) behind the row
    bool stale = false;         // from an earlier read: the last read did not get its block
    faults::RecordProblem problem = faults::RecordProblem::None;
};
// What a listing says beside a trip: "from an earlier read", "corrupt
// record"... joined by "; "; empty for a trip read now that is in order.
QString tripNote(const ListedTrip& trip);
// The trips the grid lists, in its order: the rows whose cause column holds
// a text. records are the listing's records (faults::sortBuffer's order);
// cells(column, row) reads the grid.
QList<ListedTrip> listedTrips(const faults::FaultRecords& records,
                              const std::function<QString(int column, int row)>& cells);
// The CSV lines: a header, then one line per trip: number, causes, day,
// month, hour, minute (decimal numbers; a byte that is no BCD number as its
// stored hex, "0x1A"; empty where the grid shows no date), the raw cause byte
// ("0x05") and the trip's note; then a line per range of records that were
// never read, its note saying so. states: the blocks' states of the last read.
QList<QStringList> faultCsvLines(const QList<ListedTrip>& trips, const faults::BlockStates& states);
// A text for a report: a title line, what was not read, then one aligned line
// per trip with its note.
QString faultText(const QList<ListedTrip>& trips, const QString& title, const faults::BlockStates& states);
// A text export's bytes as the CSV files are written: UTF-8 with a
// byte-order mark, every line ended by CR LF.
QByteArray textFileBytes(const QString& text);
// A BCD byte as its decimal value (0x59 -> 59).
int bcdValue(quint8 bcd);
// Every block read now.
faults::BlockStates allFresh();

// ---- recorder
class SampleTimes;
// The header with the units, then the samples of the nine channels, oldest
// first: the history index (0..499, the chart's x) and the time it was
// taken, then the values. With times (the live history) only the samples
// taken are listed; without (a recording from a file, which keeps no times)
// all 500 with an empty time. The power channel holds watts, cos phi
// hundredths, as the chart draws them.
QList<QStringList> chartCsvLines(const recorder::History& history, const SampleTimes* times);
QStringList chartCsvHeader();

} // namespace records

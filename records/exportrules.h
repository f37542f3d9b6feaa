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
    faults::FaultRow row;       // the grid's columns 1..3 as listed
    faults::FaultRecord record; // the stored bytes (BCD) behind the row
};
// The trips the grid lists, in its order: the rows whose cause column holds
// a text. records are the listing's records (faults::sortBuffer's order);
// cells(column, row) reads the grid.
QList<ListedTrip> listedTrips(const faults::FaultRecords& records,
                              const std::function<QString(int column, int row)>& cells);
// The CSV lines: a header, then one line per trip: number, causes, day,
// month, hour, minute (decimal numbers) and the raw cause byte ("0x05").
QList<QStringList> faultCsvLines(const QList<ListedTrip>& trips);
// A text for a report: a title line, then one aligned line per trip.
QString faultText(const QList<ListedTrip>& trips, const QString& title);
// A BCD byte as its decimal value (0x59 -> 59).
int bcdValue(quint8 bcd);

// ---- recorder
// The header with the units, then the 500 samples of the nine channels,
// oldest first, sample index 0..499 in the first column. The power channel
// holds watts, cos phi hundredths, as the chart draws them.
QList<QStringList> chartCsvLines(const recorder::History& history);
QStringList chartCsvHeader();

} // namespace records

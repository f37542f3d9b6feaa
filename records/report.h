#pragma once
// The commissioning report: one PDF (A4) of what was found and set on a
// visit, in the current language: who, where and which motor; the program
// and the line; the relay's variant and bus address; a snapshot of the
// measured values; the setpoints as read from the relay with their ranges,
// each value outside its range flagged; the differences to a setpoint file;
// the relay's clock against the PC's; the changes made on the relay since
// the program started; the fault log; signature lines. Every block says when
// it was read. Every page carries a header naming the relay and the date and
// "page x of y"; table cells wrap, never cut.
#include "records/exportrules.h"
#include "records/reportfields.h"
#include "setpoints/readback.h"

#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace records {

struct RelayClock {
    int month = 0, day = 0, hour = 0, minute = 0; // as decimal numbers
};
// The relay's clock from registers 24 (BCD month, BCD day) and 25 (BCD hour,
// BCD minute); nothing when a field is not a valid date or time.
std::optional<RelayClock> relayClock(qint32 dateRegister, qint32 timeRegister);
// The relay's clock minus the PC's, in whole minutes (the PC's seconds
// dropped); the relay keeps no year, so its date counts in the year that
// puts it nearest the PC's.
qint64 clockDifferenceMinutes(const RelayClock& relay, const QDateTime& pc);
// "+2 min", "-1 min", "0 min", beyond an hour "+1 h 05 min" (the sign always shown).
QString differenceText(qint64 minutes);

// A change made on the relay during the visit, as the service journal keeps it.
struct VisitAction {
    QDateTime time;
    QString action;    // "write", "clock", "reset"
    QString parameter; // the setpoint's name; empty for the clock and a reset
    QString before, sent;
    QString state; // "confirmed", "not confirmed", "not sent", "refused"
};

struct ReportData {
    QDateTime created;
    VisitFields visit;
    QString programVersion;
    QString port, line; // the connection: the port's name and "9600 8E1"
    int variant = 0;    // register 23; 0 when not known
    int busAddress = 0;
    bool connected = false; // the port was open when the report was made
    // Registers 1..12 read for the report; empty when not read.
    QVector<qint32> measurement;
    QDateTime measuredAt;
    // The setpoint table's rows (names and range hints in the current language).
    QStringList names, hints;
    QVector<qint32> setpointImage; // registers 12..25 of the last read; empty when never read
    QDateTime setpointsReadAt;     // invalid: the time is not known
    QString compareFile;           // empty: no file chosen
    QList<setpoints::FileComparison> comparison;
    std::optional<RelayClock> clock; // read for the report; nothing when not read
    QDateTime clockReadAt;           // the PC's time at that read
    // The changes made since the program started; nothing when they were not recorded.
    std::optional<QList<VisitAction>> actions;
    QString actionsError; // why they are not known
    bool faultsRead = false;
    QDateTime faultsReadAt;                       // invalid: the time is not known
    faults::BlockStates faultStates = allFresh(); // of the last read
    QList<ListedTrip> trips;
};

// The report's lines before layout, each with its kind (for tests and the PDF).
enum class LineKind {
    Title,
    Heading,
    Text,
    Field, // a label and its value
    TableHeader,
    Row,      // in the columns of the table header before it
    Signature // a place to sign and date for each party named
};
struct ReportLine {
    LineKind kind;
    QStringList cells;   // one cell for a title, heading or text
    QList<int> widths{}; // a table header's column widths, in per cent
};
QList<ReportLine> reportLines(const ReportData& data);
// The header every page carries: the relay and the date.
QString runningHeader(const ReportData& data);
// The PDF's bytes.
QByteArray reportPdf(const ReportData& data);

// The parameters (1..12) whose value as read lies outside its range.
QList<int> outOfRange(const QVector<qint32>& setpointImage);

// A table's column widths for a page width wide: each column its share in
// per cent, widened to its minimum (a heading's longest word, which must not
// break) with what the columns that have room to spare give up; they never
// give up more than their own room. The widths add up to width.
QList<int> columnWidths(const QList<int>& percents, const QList<int>& minimum, int width);

} // namespace records

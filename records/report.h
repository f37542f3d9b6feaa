#pragma once
// The commissioning report: one PDF (A4) of what was found and set on a
// visit, in the current language: the date, the relay's variant and bus
// address, the setpoints as read from the relay with their ranges, the
// differences to a setpoint file, the relay's clock against the PC's and the
// fault log.
#include "records/exportrules.h"
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

struct ReportData {
    QDateTime created;
    int variant = 0; // register 23; 0 when not known
    int busAddress = 0;
    // The setpoint table's rows (names and range hints in the current language).
    QStringList names, hints;
    QVector<qint32> setpointImage; // registers 12..25 of the last read; empty when never read
    QString compareFile;           // empty: no file chosen
    QList<setpoints::FileComparison> comparison;
    std::optional<RelayClock> clock; // read for the report; nothing when not read
    QDateTime clockReadAt;           // the PC's time at that read
    bool faultsRead = false;
    faults::BlockStates faultStates = allFresh(); // of the last read
    QList<ListedTrip> trips;
};

// The report's lines before layout, each with its kind (for tests and the PDF).
enum class LineKind { Title, Heading, Text, TableHeader, Row, PageBreak };
struct ReportLine {
    LineKind kind;
    QStringList cells; // one cell for a title, heading or text
};
QList<ReportLine> reportLines(const ReportData& data);
// The PDF's bytes.
QByteArray reportPdf(const ReportData& data);

} // namespace records

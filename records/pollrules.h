#pragma once
// The rows of the poll log: every good measurement read as one CSV row, the
// twelve registers decoded as the data page shows them (the data page's own
// rules, monitor/display.h), with the time it was read and the reads lost
// before it.
#include "protocol/relaymap.h"

#include <array>
#include <functional>
#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace records {

constexpr int kMeasurementRegisters = relay::kMeasurementCount; // registers 1..12
constexpr int kFaultBits = 7; // fault word bits 0..6, the data page's lamps Image1..Image7
using relay::kRelayK1;
using relay::kRelayK2;

using Measurements = std::array<int, kMeasurementRegisters>;

struct LogContext {
    int variant = 0;                            // register 23 as last read (1, 2, 3; else unknown)
    QChar decimalSeparator = QLatin1Char(',');  // the file's one separator, for every decimal number
    std::array<QString, kFaultBits> faultNames; // the lamp captions in the current language
};

// The time stamp: ISO 8601 with milliseconds and the offset from UTC the time
// had ("2026-10-25T02:30:00.250+01:00"), so an hour repeated when summer time
// ends is told apart.
QString isoTime(const QDateTime& time);
// The decimal separator a new file gets unless the user chose one: the
// point in English, the comma in Polish and Russian.
QChar defaultDecimalSeparator(const QLocale& language);
// A number's text with the file's separator for its decimal one.
QString withSeparator(QString number, QChar separator);
// The fault word as four hex digits ("0x0003").
QString faultWordHex(int faultWord);
// The names of the fault bits set, in bit order, joined by ", "; empty for none.
QString faultNames(int faultWord, const std::array<QString, kFaultBits>& names);

// The column titles with their units, in the current language.
QStringList logHeader();
// One row: regs as the poll left them (currents below 10 % already cut).
// The ampere columns and In are empty while the variant or the nominal
// current is not known.
QStringList logFields(const QDateTime& time, const Measurements& regs, int lostReads,
                      const LogContext& context);

// What happened while logging, written as a row of its own between the
// measurements: the time, what happened, and its details.
enum class LogEvent { Connected, Disconnected, Trip, Reset, Write, Clock, Language, Continued };
QStringList eventFields(const QDateTime& time, LogEvent event, const QString& details);
// The text of a trip: the fault bits set now that were not set before, named
// ("Overload, Asym"); empty when none was added.
QString newFaults(int before, int now, const std::array<QString, kFaultBits>& names);

// ---- which file a log goes on in
struct LogSplit {
    bool daily = false; // a new file when the date changes
    int megabytes = 0;  // a new file once the file reaches this size; 0: never
};
// Whether a row at `time` goes to a new file.
bool splitDue(const LogSplit& split, const QDate& fileDate, const QDate& rowDate, qint64 fileBytes);
// The name a log suggests for the relay at a bus address on a date
// ("vrk-log-addr3-2026-12-08.csv").
QString suggestedLogName(int address, const QDate& date);
// The next file of a log begun as firstPath, for a row on `date`: the date in
// the name (the first file's date replaced, or added), then "-2", "-3"... until
// `taken` says a name is free.
QString nextLogPath(const QString& firstPath, const QDate& firstDate, const QDate& date,
                    const std::function<bool(const QString&)>& taken);

} // namespace records

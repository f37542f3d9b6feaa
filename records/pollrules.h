#pragma once
// The rows of the poll log: every good measurement read as one CSV row, the
// twelve registers decoded as the data page shows them (the data page's own
// rules, monitor/display.h), with the time it was read and the reads lost
// before it.
#include "protocol/relaymap.h"

#include <array>
#include <QChar>
#include <QDateTime>
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
    QChar decimalSeparator = QLatin1Char(',');  // the power's separator, as the data page
    std::array<QString, kFaultBits> faultNames; // the lamp captions in the current language
};

// The time stamp: ISO 8601 with milliseconds, local time ("2026-12-08T09:14:03.250").
QString isoTime(const QDateTime& time);
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

} // namespace records

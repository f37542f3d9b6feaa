#pragma once
#include "protocol/registerbus.h"
#include "protocol/relaymap.h"
// How the poll's raw measurements become the data page's texts and lamps.
#include <array>
#include <optional>
#include <QByteArray>
#include <QChar>
#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QTime>

namespace display {

// Phase currents below 10 % of In are shown, recorded and averaged as 0.
int cutLowCurrent(int percent);

// The text of one phase current; nullopt leaves the label as it is (ampere
// mode without a known variant). variant 1/2: tenths of an ampere, 3: amperes.
std::optional<QString> currentText(int percent, bool ampereMode, int variant, int ampereScale);
// The average of the three currents from their sum, by the same rule.
std::optional<QString> averageText(int sum, bool ampereMode, int variant, int ampereScale);
// The bar position: 5 per per cent, full (1000) from 200 % up.
int barPosition(int percent);
// cos phi in hundredths: 85 -> "0,85".
QString cosText(int hundredths);
// Power in hundredths of a kilowatt, in the shortest general form with the PC's separator.
QString powerText(int hundredthsKw, QChar decimalSeparator);

// The ampere scale and the In / 2 x In scale labels for a variant; nullopt
// when the variant is not 1, 2 or 3 or the nominal current is 0.
struct AmpereScale {
    int scale;
    QString inLabel;
    QString twoInLabel;
};
std::optional<AmpereScale> ampereScaleFor(int variant, int nominalCurrentRaw);

// The fault lamps and the fault text of status panel 1 for one good read.
struct Lamps {
    std::optional<bool> ready;        // nullopt: the ready lamp is not touched
    std::array<bool, 7> faults;       // Image1..Image7
    std::optional<QString> faultText; // nullopt: panel 1 is not touched
};
Lamps lampsFor(int faultWord, const QString& faultSince, bool blinkDark);

// ---- the fault reset (the Reset button)
constexpr unsigned kResetWaitMs = 100; // the wait before the reset write
// Whether a reset is sent for this fault word (not while overload is in it).
bool resetAllowed(int faultWord);

// The PC's short date format and its time in its long time format. A PC
// without regional settings (the C locale) gets yyyy-MM-dd (2026-12-06) and
// 19:05:00; the time never carries a time-zone name.
QString shortDateFormat(const QLocale& locale);
QString longTime(const QTime& time, const QLocale& locale);

// Whether a short date format starts with a two-digit year ("yy" but not
// "yyyy"): only such a date gets "20" in front in the status bar.
bool needsCentury(const QString& shortFormat);
// The date as the status bar (and so a fault's time stamp) shows it: the
// locale's short date, with "20" in front when the format starts with a
// two-digit year ("26-12-06" -> "2026-12-06"); any other format unchanged
// ("8.12.2026", "12/8/26", "08.12.26").
QString statusDate(const QDate& date, const QLocale& locale, const QString& shortFormat);
QString statusDate(const QDate& date, const QLocale& locale);

// ---- the link dropped by the poll
// One failed measurement read: the bus's outcome and the bytes that came.
struct FailedRead {
    BusError error = BusError::NoReply;
    QByteArray reply;
};
// Keeps the failed reads in a row, the last kLostReadsLimit of them.
void addFailedRead(QList<FailedRead>& reads, const FailedRead& read);
// Why the poll dropped the link, for the error window's second line: the
// failed reads and what they met, each reason in the bus's words with what
// its bytes told (the other device's address, the exception's code and
// name), the most frequent first ("6 reads in a row failed: The relay did
// not answer." or "6 reads in a row failed: 4 x ... 2 x ...").
QString dropReason(const QList<FailedRead>& reads);

} // namespace display

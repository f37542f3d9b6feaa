#pragma once
// How the poll's raw measurements become the data page's texts and lamps.
#include <QChar>
#include <QDate>
#include <QTime>
#include <QString>
#include <array>
#include <optional>

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
    std::optional<bool> ready;  // nullopt: the ready lamp is not touched
    std::array<bool, 7> faults; // Image1..Image7
    std::optional<QString> faultText; // nullopt: panel 1 is not touched
};
Lamps lampsFor(int faultWord, const QString& faultSince, bool blinkDark);

// The PC's date in its short date format and its time in its long time
// format. A PC without regional settings (the C locale) gets 2026-12-06
// and 19:05:00; the time never carries a time-zone name.
QString shortDate(const QDate& date);
QString longTime(const QTime& time);

// The date as the status bar shows it: "20" goes in front of a short date
// that starts neither with "2" nor with a "0" as its second character.
QString statusDate(const QString& shortDate);

} // namespace display

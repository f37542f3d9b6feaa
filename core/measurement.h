#pragma once
// The one decode of the measurement registers 1..12, for the data page, the
// chart, the poll log and vrk-cli.
#include <array>
#include <optional>
#include <QVector>

namespace core {

struct Measurement {
    std::array<int, 3> currentPercent{}; // % of In, below 10 % cut to 0 as the page shows
    std::array<int, 3> voltage{};        // V
    int heat = 0;                        // motor heat, %
    int cosHundredths = 0;               // cos phi x 100
    int powerHundredthsKw = 0;           // P in hundredths of a kW
    int faultWord = 0;                   // register 10
    int outputRelays = 0;                // register 11
    int nominalCurrentRaw = 0;           // register 12, In as the relay stores it
    bool k1() const;                     // the motor contactor
    bool k2() const;                     // the alarm relay
    int averageCurrentPercent() const;   // as the page's average: sum / 3, whole
    int averageVoltage() const;
    // Registers 1..12 as the page keeps them (the currents cut).
    std::array<int, 12> registers() const;
    bool operator==(const Measurement&) const = default;
};

// registers1to12: the values of a good read of registers 1..12 (missing entries count as 0).
Measurement decodeMeasurement(const QVector<qint32>& registers1to12);

// A current in amperes for the relay's variant and its In register; nullopt
// when the variant is not 1..3 or In is 0.
std::optional<double> currentAmperes(int percent, int variant, int nominalCurrentRaw);
// The average of the three currents in amperes, by the same rule.
std::optional<double> averageAmperes(const Measurement& m, int variant);

} // namespace core

#include "core/measurement.h"

#include "monitor/display.h"
#include "protocol/relaymap.h"

namespace core {

bool Measurement::k1() const {
    return outputRelays & relay::kRelayK1;
}

bool Measurement::k2() const {
    return outputRelays & relay::kRelayK2;
}

int Measurement::averageCurrentPercent() const {
    return (currentPercent[0] + currentPercent[1] + currentPercent[2]) / 3;
}

int Measurement::averageVoltage() const {
    return (voltage[0] + voltage[1] + voltage[2]) / 3;
}

std::array<int, 12> Measurement::registers() const {
    return {currentPercent[0],
            currentPercent[1],
            currentPercent[2],
            voltage[0],
            voltage[1],
            voltage[2],
            heat,
            cosHundredths,
            powerHundredthsKw,
            faultWord,
            outputRelays,
            nominalCurrentRaw};
}

Measurement decodeMeasurement(const QVector<qint32>& r) {
    Measurement m;
    for (int i = 0; i < 3; ++i) {
        m.currentPercent[size_t(i)] = display::cutLowCurrent(r.value(i));
        m.voltage[size_t(i)] = r.value(3 + i);
    }
    m.heat = r.value(6);
    m.cosHundredths = r.value(7);
    m.powerHundredthsKw = r.value(8);
    m.faultWord = r.value(relay::kFaultWordRegister - 1);
    m.outputRelays = r.value(relay::kOutputRelaysRegister - 1);
    m.nominalCurrentRaw = r.value(relay::kSetpointFirst - 1);
    return m;
}

namespace {
// The page's own arithmetic (monitor/display.h): the scale in tenths of an
// ampere for variants 1 and 2, in amperes for 3, the product cut to whole units.
std::optional<double> amperesOf(qint64 percentTimesUnits, int divisor, int variant, int raw) {
    const std::optional<display::AmpereScale> s = display::ampereScaleFor(variant, raw);
    if (!s) return std::nullopt;
    const qint64 units = percentTimesUnits * s->scale / divisor;
    return variant == 3 ? double(units) : double(units) / 10.0;
}
} // namespace

std::optional<double> currentAmperes(int percent, int variant, int nominalCurrentRaw) {
    return amperesOf(percent, 100, variant, nominalCurrentRaw);
}

std::optional<double> averageAmperes(const Measurement& m, int variant) {
    const qint64 sum = qint64(m.currentPercent[0]) + m.currentPercent[1] + m.currentPercent[2];
    return amperesOf(sum, 300, variant, m.nominalCurrentRaw);
}

} // namespace core

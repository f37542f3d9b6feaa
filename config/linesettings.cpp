#include "config/linesettings.h"

#include "protocol/registerbus.h"
#include "protocol/relaymap.h"

#include <cmath>
#include <iterator>

namespace linesettings {

namespace {
const TPortNumber kPorts[] = {pnCOM1, pnCOM2};
const uint32_t kSpeeds[] = {19200, 9600, 4800, 2400};
const TParity kParities[] = {ptODD, ptEVEN, ptNONE};
const TDataBits kDataBits[] = {db8BITS, db7BITS};
const TStopBits kStopBits[] = {sb1BITS, sb2BITS};

template <typename T, size_t N> std::optional<T> entry(const T (&list)[N], int index) {
    if (index < 0 || size_t(index) >= N) return std::nullopt;
    return list[index];
}
template <typename T, size_t N> int indexOf(const T (&list)[N], T value) {
    for (size_t i = 0; i < N; ++i)
        if (list[i] == value) return int(i);
    return -1;
}
} // namespace

std::optional<TPortNumber> portOf(int index) {
    return entry(kPorts, index);
}
std::optional<uint32_t> speedOf(int index) {
    return entry(kSpeeds, index);
}
std::optional<TParity> parityOf(int index) {
    return entry(kParities, index);
}
std::optional<TDataBits> dataBitsOf(int index) {
    return entry(kDataBits, index);
}
std::optional<TStopBits> stopBitsOf(int index) {
    return entry(kStopBits, index);
}
int speedIndexOf(uint32_t baud) {
    return indexOf(kSpeeds, baud);
}
int parityIndexOf(TParity parity) {
    return indexOf(kParities, parity);
}

QList<uint32_t> offeredSpeeds() {
    return {std::begin(kSpeeds), std::end(kSpeeds)};
}
QList<TParity> offeredParities() {
    return {std::begin(kParities), std::end(kParities)};
}

TBaudRate baudRateOf(uint32_t baud) {
    for (int r = br110; r <= br256000; ++r)
        if (TSerialDriver::BaudValueOf(TBaudRate(r)) == baud) return TBaudRate(r);
    return brCustom;
}

Line lineOf(const ini::Selections& s, const Line& defaults) {
    Line l = defaults;
    if (auto p = portOf(s.port)) l.port = QStringLiteral("\\\\.\\COM%1").arg(int(*p));
    if (auto v = speedOf(s.speed)) l.baud = *v;
    if (auto v = parityOf(s.parity)) l.parity = *v;
    if (auto v = dataBitsOf(s.dataBits)) l.dataBits = *v;
    if (auto v = stopBitsOf(s.stopBits)) l.stopBits = *v;
    return l;
}

void applyTo(TSerialDriver& driver, const Line& line) {
    driver.setPortName(line.port);
    driver.setBaudRate(baudRateOf(line.baud));
    driver.setParity(line.parity);
    driver.setDataBits(line.dataBits);
    driver.setStopBits(line.stopBits);
    driver.setHwFlow(hfNONE);
    driver.setSwFlow(sfNONE);
    driver.setEnableDTROnOpen(false);
    driver.setCheckLineStatus(false);
}

} // namespace linesettings

namespace linescan {

QList<Speed> speeds(bool allSpeeds, const Speed& current) {
    if (!allSpeeds) return {current};
    QList<Speed> out;
    for (uint32_t baud : linesettings::offeredSpeeds())
        for (TParity parity : linesettings::offeredParities())
            out << Speed{baud, parity};
    return out;
}

int stepCount(const QList<Speed>& speeds, int from, int to) {
    return to < from ? 0 : int(speeds.size()) * (to - from + 1);
}

Step step(const QList<Speed>& speeds, int from, int to, int index) {
    const int perSpeed = to - from + 1;
    if (perSpeed <= 0 || index < 0 || index >= stepCount(speeds, from, to)) return {};
    return {from + index % perSpeed, speeds[index / perSpeed]};
}

uint32_t timeoutMs(const Speed& speed, TDataBits dataBits, TStopBits stopBits) {
    // The variant request's own time on the wire comes on top of the answer's.
    const QByteArray request = frames::readRequest(1, relay::kVariantRegister, relay::kVariantCount);
    const double wireMs =
        frames::earliestReplyMs(int(request.size()), speed.baud, dataBits, speed.parity, stopBits);
    return uint32_t(std::ceil(wireMs)) + kAnswerMs;
}

QString lineText(uint32_t baud, TParity parity, TDataBits dataBits, TStopBits stopBits) {
    const QChar letter = parity == ptODD ? u'O' : parity == ptEVEN ? u'E' : u'N';
    return QStringLiteral("%1 %2%3%4")
        .arg(baud)
        .arg(5 + int(dataBits))
        .arg(letter)
        .arg(stopBits == sb2BITS ? 2 : 1);
}

QString variantName(int variant) {
    switch (variant) {
    case 1:
        return QStringLiteral("20 A");
    case 2:
        return QStringLiteral("100 A");
    case 3:
        return QStringLiteral("250 A");
    default:
        return QStringLiteral("?");
    }
}

} // namespace linescan

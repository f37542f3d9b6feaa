#include "trends/rules.h"
#include "protocol/relaymap.h"

#include <algorithm>

namespace recorder {

void clearHistory(History& h) {
    for (Channel& c : h)
        c.fill(0);
}

std::array<qint32, kChannels> sampleFromRegisters(const std::array<int, 12>& regs) {
    std::array<qint32, kChannels> s{};
    for (int i = 0; i < 8; ++i)
        s[size_t(i)] = regs[size_t(i)];
    // The relay counts power in tens of watts; the recorder keeps watts.
    s[8] = qint32(qint64(regs[8]) * 10);
    return s;
}

void appendSample(History& h, const std::array<qint32, kChannels>& sample) {
    for (int c = 0; c < kChannels; ++c) {
        Channel& ch = h[size_t(c)];
        std::copy(ch.begin() + 1, ch.end(), ch.begin());
        ch[kSamples - 1] = sample[size_t(c)];
    }
}

const Channel* channelForItem(const History& h, int item) {
    if (item < 1 || item > kChannels) return nullptr;
    return &h[size_t(item - 1)];
}

AxisSetup axisSetup(int item) {
    switch (item) {
    case 1:
        return {hiddenTextNumber(HiddenText::AxisTitleFirst, 0), QString(), 1000};
    case 2:
        return {hiddenTextNumber(HiddenText::AxisTitleFirst, 1), QString(), 1000};
    case 3:
        return {hiddenTextNumber(HiddenText::AxisTitleFirst, 2), QString(), 1000};
    case 4:
        return {hiddenTextNumber(HiddenText::AxisTitleFirst, 3), QString(), 600};
    case 5:
        return {hiddenTextNumber(HiddenText::AxisTitleFirst, 4), QString(), 600};
    case 6:
        return {hiddenTextNumber(HiddenText::AxisTitleFirst, 5), QString(), 600};
    case 7:
        return {hiddenTextNumber(HiddenText::AxisTitleFirst, 6), QString(), 200};
    case 8:
        return {0, QStringLiteral("Cos(Fi) x0.01"), 100};
    case 9:
        return {int(HiddenText::AxisTitlePower), QString(), 32000};
    default:
        return {0, QString(), 1};
    }
}

QString axisTitle(int item, const std::function<QString(int)>& labelText) {
    const AxisSetup a = axisSetup(item);
    return a.titleLabel ? labelText(a.titleLabel) : a.fixedTitle;
}

QList<QPointF> tracePoints(const Channel& samples) {
    QList<QPointF> pts;
    pts.reserve(kSamples);
    for (int i = 0; i < kSamples; ++i)
        pts.append(QPointF(i, samples[size_t(i)]));
    return pts;
}

} // namespace recorder

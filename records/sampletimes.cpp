#include "records/sampletimes.h"

namespace records {

void SampleTimes::taken(const QDateTime& at, const QString& relay) {
    times_[size_t(next_)] = at;
    relays_[size_t(next_)] = relay;
    next_ = (next_ + 1) % recorder::kSamples;
    count_ = std::min(count_ + 1, recorder::kSamples);
}

void SampleTimes::clear() {
    times_.fill(QDateTime());
    relays_.fill(QString());
    next_ = 0;
    count_ = 0;
}

int SampleTimes::slot(int index) const {
    // The newest sample (index 499) sits just before next_.
    return ((next_ - (recorder::kSamples - index)) % recorder::kSamples + recorder::kSamples) %
           recorder::kSamples;
}

QDateTime SampleTimes::at(int index) const {
    if (index < firstTaken() || index >= recorder::kSamples) return QDateTime();
    return times_[size_t(slot(index))];
}

QString SampleTimes::relayAt(int index) const {
    if (index < firstTaken() || index >= recorder::kSamples) return QString();
    return relays_[size_t(slot(index))];
}

QStringList SampleTimes::relays() const {
    QStringList out;
    for (int i = firstTaken(); i < recorder::kSamples; ++i)
        if (!out.contains(relayAt(i))) out << relayAt(i);
    return out;
}

QList<TimeTick> timeTicks(const SampleTimes& times, int from, int to, int ticks) {
    QList<TimeTick> out;
    from = std::max(from, times.firstTaken());
    to = std::min(to, recorder::kSamples - 1);
    if (from > to || ticks < 1) return out;
    const int steps = std::min(ticks - 1, to - from);
    for (int k = 0; k <= steps; ++k) {
        const int index = steps == 0 ? to : from + int((qint64(to - from) * k) / steps);
        out << TimeTick{index, times.at(index).toString(QStringLiteral("HH:mm:ss"))};
    }
    return out;
}

} // namespace records

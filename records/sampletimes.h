#pragma once
// When each sample of the recorder's live history was taken and from which
// relay: the history itself holds values only, 500 of them from the start,
// zeros where no sample has been taken yet.
#include "trends/rules.h"

#include <array>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace records {

class SampleTimes : public QObject {
public:
    explicit SampleTimes(QObject* parent = nullptr) : QObject(parent) {}
    // A sample was appended to the history (which moved every sample one
    // place towards index 0): its time and the relay it came from.
    void taken(const QDateTime& at, const QString& relay);
    void clear();
    // Samples taken, at most recorder::kSamples; they are the history's last ones.
    int count() const { return count_; }
    // The first history index that holds a sample taken.
    int firstTaken() const { return recorder::kSamples - count_; }
    // The time and relay of history index i; invalid / empty where no sample was taken.
    QDateTime at(int index) const;
    QString relayAt(int index) const;
    // The relays the samples came from, oldest first, each once.
    QStringList relays() const;

private:
    int slot(int index) const; // the ring's slot of history index i
    std::array<QDateTime, recorder::kSamples> times_{};
    std::array<QString, recorder::kSamples> relays_{};
    int next_ = 0; // the ring's slot the next sample goes to
    int count_ = 0;
};

// Labels for a clock-time axis under a chart showing history indexes from..to:
// up to ticks sample indexes, evenly spread, each with its time "HH:mm:ss";
// only samples taken get one.
struct TimeTick {
    int index;
    QString label;
};
QList<TimeTick> timeTicks(const SampleTimes& times, int from, int to, int ticks);

} // namespace records

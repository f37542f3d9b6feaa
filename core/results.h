#pragma once
// The typed results of the relay operations: the values, each register
// confirmed or not, each failure with its reason, and the relay they came from.
#include "core/identity.h"
#include "core/measurement.h"
#include "protocol/registerbus.h"

#include <array>
#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

namespace core {

// Why an operation stopped: the bus's outcome and the bytes that came.
struct Failure {
    BusError error = BusError::NoReply;
    QByteArray reply;
    // The link was lost (port closed, device gone, the user disconnected), not only one exchange.
    bool linkLost = false;
    QString text() const; // in the current language, with what the bytes tell
};

// One setpoint register of a write.
struct RegisterWrite {
    int reg = 0;
    QString parameter;         // the setpoint's name
    std::optional<int> before; // the relay's raw value before, when known (last read)
    int sent = 0;
    enum class State { Confirmed, NotConfirmed, NotSent } state = State::NotSent;
    std::optional<int> readBack; // the raw value read back, when the read-back got it
    // Read back and equal in units to what was sent (the read-back's own variant scales In).
    bool heldAsSent = false;
};

struct WriteResult {
    Identity identity;
    QList<RegisterWrite> registers;
    std::optional<QString> refusal; // refused before sending (e.g. the variant differs)
    std::optional<Failure> failure;
    bool readBackDone = false;
    // Every register confirmed and read back as sent, nothing refused or failed.
    bool complete() const;
    // A write that stopped part way: some registers sent, not all confirmed and held.
    bool interrupted() const;
};

struct SetpointsRead {
    Identity identity;
    QVector<qint32> registers12to25; // empty when the read failed
    std::optional<Failure> failure;
};

struct ClockResult {
    Identity identity;
    QDateTime sent;
    bool confirmed = false;
    // Per register (month.day, hour:minute): confirmed, not confirmed or not sent.
    std::array<RegisterWrite::State, 2> states{RegisterWrite::State::NotSent, RegisterWrite::State::NotSent};
    std::optional<Failure> failure;
};

struct ResetResult {
    Identity identity;
    int faultWordBefore = 0;
    bool sent = false;
    bool confirmed = false;
    bool refused = false; // overload in the fault word: the relay does not clear it
    std::optional<Failure> failure;
};

struct FaultLogRead {
    Identity identity;
    std::array<quint8, 200> bytes{}; // the blocks read stored, the others as given to the read
    unsigned blocksRead = 0;         // bit b = block b was read now
    std::optional<Failure> failure;  // the last block's failure, when any failed
};

struct PollResult {
    Identity identity;
    std::optional<Measurement> measurement;
    std::optional<Failure> failure; // of the measurement read
    int lostReads = 0;              // failed measurement reads in a row (before this good one, when good)
    bool dropped = false;           // this failure ended the link
    bool skipped = false;           // another operation was running: nothing was sent
    std::optional<int> variant;     // register 23 of this tick, when read
};

struct ScanHit {
    int address = 0;
    std::optional<int> variant;
};
// One address asked during a scan: found, or why not.
struct ScanProbe {
    int address = 0;
    std::optional<int> variant;     // found
    std::optional<Failure> failure; // not found
};

// ---- texts in the current language
// After a write that stopped part way: one line per parameter, written and
// confirmed, not confirmed, not sent; empty for a complete write.
QString writeSummary(const WriteResult& result);
// The refusal of a write whose table is for another variant than the relay's.
QString variantMismatchText(int tableVariant, int relayVariant);

} // namespace core

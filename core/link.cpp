#include "core/link.h"

#include "faults/rules.h"
#include "monitor/display.h"
#include "protocol/relaymap.h"
#include "serial/tserialdriver.h"
#include "setpoints/readback.h"
#include "setpoints/rules.h"
#include "wait/czekaj.h"
#include "wait/idle.h"

#include <QPointer>
#include <QTimer>

namespace core {

namespace {

constexpr uint32_t kPollPauseMs = 20;     // between the measurement read and the variant read
constexpr uint32_t kTransferWaitMs = 100; // before a setpoint read and each fault-log block
constexpr int kPollIntervalMs = 200;

// A wait with the event loop running; false when the link was destroyed in it.
bool pause(const QPointer<Link>& self, uint32_t ms) {
    ::czekaj(ms);
    return !self.isNull();
}

bool linkLostBy(BusError e) {
    return e == BusError::PortClosed || e == BusError::DeviceGone;
}

} // namespace

// Marks an operation as running for its lifetime (nests), for the link and
// for the program's deferred dialogs; a link gone meanwhile is left alone.
class Link::Guard {
public:
    explicit Guard(Link* link) : link_(link) { ++link->depth_; }
    ~Guard() {
        if (link_) --link_->depth_;
    }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    QPointer<Link> link_;
    idle::Busy busy_;
};

Link::Link(QObject* parent) : QObject(parent) {
    driver_ = new TSerialDriver(this);
    driver_->setObjectName(QStringLiteral("SerialDriver1"));
    bus_ = std::make_unique<RegisterBus>(*driver_, [this] {
        if (scanAddress_) return *scanAddress_;
        return address_ ? address_() : 0;
    });
    pollTimer_ = new QTimer(this);
    pollTimer_->setObjectName(QStringLiteral("Timer2"));
    pollTimer_->setInterval(kPollIntervalMs);
    pollTimer_->setTimerType(Qt::PreciseTimer); // five polls a second, not within 5 %
}

Link::~Link() {
    pollTimer_->stop();
    driver_->ClosePort();
}

void Link::setAddress(std::function<int()> address) {
    address_ = std::move(address);
}

void Link::setAddress(int address) {
    address_ = [address] { return address; };
}

int Link::address() const {
    return address_ ? address_() : 0;
}

void Link::setTimeout(uint32_t ms) {
    driver_->setInputTimeout(ms);
}

bool Link::open(const linesettings::Line& line) {
    linesettings::applyTo(*driver_, line);
    return open();
}

bool Link::open() {
    lostReads_ = 0;
    image_.clear();
    const bool opened = driver_->OpenPort();
    identity_ = fresh();
    emit identityChanged(identity_);
    return opened;
}

void Link::close() {
    driver_->ClosePort();
    pollTimer_->stop();
    const bool known = identity_.variant.has_value();
    identity_.variant.reset();
    identity_.complete = false;
    image_.clear();
    if (known || !identity_.port.isEmpty()) emit identityChanged(identity_);
}

bool Link::isOpen() const {
    return driver_->IsOpen() && driver_->error() != TSerialDriver::Error::DeviceGone;
}

void Link::setSpeed(uint32_t baud, TParity parity) {
    driver_->setBaudRate(linesettings::baudRateOf(baud));
    driver_->setBaudRateValue(baud);
    driver_->setParity(parity);
    if (driver_->IsOpen()) driver_->ApplyLineSettings();
    const QString line = linescan::lineText(baud, parity, driver_->DataBits(), driver_->StopBits());
    if (line != identity_.line) {
        identity_.line = line;
        identity_.variant.reset();
        identity_.complete = false;
        emit identityChanged(identity_);
    }
}

QString Link::errorString() const {
    if (driver_->isNetwork() && driver_->error() != TSerialDriver::Error::NoError)
        return driver_->errorString();
    return bus_->errorString();
}

Identity Link::fresh() const {
    Identity id;
    id.port = driver_->PortName();
    id.line = linescan::lineText(driver_->BaudRateValue(), driver_->Parity(), driver_->DataBits(),
                                 driver_->StopBits());
    id.address = address();
    return id;
}

bool Link::read(int start, int n) {
    noteAddress();
    return bus_->Czytaj(start, n);
}

bool Link::write(int reg, int value) {
    noteAddress();
    return bus_->Zapis(reg, value);
}

Failure Link::failure() const {
    // A port closed in a wait (the user disconnected) is why, whatever the last exchange met.
    if (!driver_->IsOpen()) return Failure{BusError::PortClosed, {}, true};
    return Failure{bus_->error(), bus_->lastReply(), linkLostBy(bus_->error())};
}

void Link::noteAddress() {
    const int a = scanAddress_ ? *scanAddress_ : address();
    if (a == identity_.address) return;
    identity_.address = a;
    identity_.variant.reset();
    identity_.complete = false;
    identity_.readAt = QDateTime();
    if (!scanAddress_) emit identityChanged(identity_);
}

void Link::noteVariant(int variant) {
    if (identity_.variant == variant) return;
    identity_.variant = variant;
    identity_.complete = true;
    emit identityChanged(identity_);
}

void Link::noteRead() {
    const QDateTime now = QDateTime::currentDateTime();
    identity_.readAt = now.toOffsetFromUtc(now.offsetFromUtc());
}

// ---------------------------------------------------------------- the poll

PollResult Link::pollTick() {
    PollResult r;
    r.identity = identity_;
    // Exchanges never overlap: a tick that finds an operation under way (a
    // tick waiting in its pause, a transfer) sends nothing.
    if (busy()) {
        r.skipped = true;
        return r;
    }
    Guard guard(this);
    const QPointer<Link> self(this);
    if (read(relay::kMeasurementFirst, relay::kMeasurementCount) &&
        bus_->RegisterValues.size() >= relay::kMeasurementCount) {
        r.measurement = decodeMeasurement(bus_->RegisterValues);
        r.lostReads = lostReads_;
        lostReads_ = 0;
        noteRead();
    } else {
        r.failure = failure();
        r.lostReads = ++lostReads_;
        if (lostReads_ >= relay::kLostReadsLimit) {
            // The link ends here: the client says why (what the driver
            // still knows of a lost network connection) and closes it.
            r.dropped = true;
            return r;
        }
    }
    if (!pause(self, kPollPauseMs)) return r;
    if (read(relay::kVariantRegister, relay::kVariantCount) && !bus_->RegisterValues.isEmpty()) {
        r.variant = bus_->RegisterValues.value(0);
        noteVariant(*r.variant);
    }
    r.identity = identity_;
    return r;
}

PollResult Link::readMeasurement(bool withVariant) {
    PollResult r;
    Guard guard(this);
    const QPointer<Link> self(this);
    if (read(relay::kMeasurementFirst, relay::kMeasurementCount) &&
        bus_->RegisterValues.size() >= relay::kMeasurementCount) {
        r.measurement = decodeMeasurement(bus_->RegisterValues);
        noteRead();
    } else {
        r.failure = failure();
        r.identity = identity_;
        return r;
    }
    r.identity = identity_;
    if (!withVariant || !pause(self, kPollPauseMs)) return r;
    if (isOpen() && read(relay::kVariantRegister, relay::kVariantCount) && !bus_->RegisterValues.isEmpty()) {
        r.variant = bus_->RegisterValues.value(0);
        noteVariant(*r.variant);
    }
    r.identity = identity_;
    return r;
}

// ---------------------------------------------------------------- setpoints

SetpointsRead Link::readSetpoints(const Progress& progress) {
    SetpointsRead r;
    Guard guard(this);
    const QPointer<Link> self(this);
    if (!pause(self, kTransferWaitMs)) return r;
    if (progress) progress(1);
    if (!self) return r;
    if (driver_->IsOpen() && read(relay::kSetpointFirst, relay::kSetpointBlock) &&
        bus_->RegisterValues.size() >= relay::kSetpointBlock) {
        r.registers12to25 = bus_->RegisterValues.mid(0, relay::kSetpointBlock);
        image_ = r.registers12to25;
        noteRead();
        noteVariant(image_[setpoints::kVariantRow]);
        if (progress) progress(2);
    } else {
        r.failure = failure();
    }
    r.identity = identity_;
    return r;
}

WriteResult Link::writeSetpoints(const WriteOptions& o) {
    using namespace setpoints;
    WriteResult res;
    Guard guard(this);
    const QPointer<Link> self(this);
    for (int i = 0; i < kWrittenRows; ++i) {
        RegisterWrite w;
        w.reg = kFirstRegister + i;
        w.parameter = parameterName(o.names.value(i));
        if (image_.size() >= kRows) w.before = image_[i];
        res.registers << w;
    }
    const auto finish = [&]() -> WriteResult {
        if (!self) return res;
        res.identity = identity_;
        for (const auto& f : writeObservers_)
            f(res);
        return res;
    };
    // In is scaled by the variant the relay reports now, never by a table
    // that may be for another relay: register 23, with the tries of a write.
    bool variantRead = false;
    for (int attempt = 0; attempt < kWriteAttempts && !variantRead; ++attempt) {
        if (!pause(self, kWriteWaitMs)) return res;
        if (!driver_->IsOpen()) break;
        variantRead = read(relay::kVariantRegister, relay::kVariantCount) && !bus_->RegisterValues.isEmpty();
    }
    if (!variantRead) {
        res.failure = failure();
        return finish();
    }
    const int relayVariant = bus_->RegisterValues.value(0);
    noteVariant(relayVariant);
    const int tableVariant = variantOf(o.cells);
    if (tableVariant != relayVariant) {
        res.refusal = variantMismatchText(tableVariant, relayVariant);
        return finish();
    }
    if (o.progress) o.progress(1);
    if (!self) return res;

    const std::array<int, kWrittenRows> values = writeValues(o.cells);
    for (int i = 0; i < kWrittenRows; ++i)
        res.registers[i].sent = values[size_t(i)];
    int confirmed = 0;
    for (int i = 0; i < kWrittenRows; ++i) {
        // A disconnect in one of the waits closes the port: the rest cannot be sent.
        if (!driver_->IsOpen()) {
            res.failure = failure();
            break;
        }
        const bool ok = setpoints::writeWithRetry(
            [&self](std::uint32_t ms) { pause(self, ms); },
            [&self, this](int reg, int value) { return self && driver_->IsOpen() && write(reg, value); },
            kFirstRegister + i, values[size_t(i)]);
        if (!self) return res;
        RegisterWrite& w = res.registers[i];
        if (ok) {
            w.state = RegisterWrite::State::Confirmed;
            ++confirmed;
            // What the relay confirmed is what it holds, at once.
            if (image_.size() >= kRows) image_[i] = values[size_t(i)];
        } else {
            w.state = RegisterWrite::State::NotConfirmed;
            if (linkLostBy(bus_->error()) || !driver_->IsOpen()) res.failure = failure();
        }
        if (o.onRegister) o.onRegister(w);
        if (!self) return res;
        if (o.progress) o.progress(2 + i);
        if (!self) return res;
        if (res.failure && res.failure->linkLost) break;
    }
    // A relay that confirmed nothing went silent: the failure says why.
    if (!res.failure && confirmed == 0) res.failure = failure();

    // The read-back: registers 12..25 once, compared in units by the variant each side has.
    const bool anyAnswered =
        std::any_of(res.registers.cbegin(), res.registers.cend(),
                    [](const RegisterWrite& w) { return w.state == RegisterWrite::State::Confirmed; });
    if (o.readBack && anyAnswered && !(res.failure && res.failure->linkLost)) {
        if (!pause(self, kWriteWaitMs)) return res;
        if (driver_->IsOpen() && read(kFirstRegister, kRows) && bus_->RegisterValues.size() >= kRows) {
            const QVector<qint32> held = bus_->RegisterValues.mid(0, kRows);
            res.readBackDone = true;
            image_ = held;
            noteRead();
            noteVariant(held[kVariantRow]);
            const int heldVariant = held[kVariantRow];
            for (int i = 0; i < kWrittenRows; ++i) {
                RegisterWrite& w = res.registers[i];
                w.readBack = held[i];
                const std::optional<QString> sentText = textFromRaw(i, w.sent, tableVariant);
                const std::optional<QString> heldText = textFromRaw(i, held[i], heldVariant);
                w.heldAsSent = held[i] == w.sent && sentText && heldText && sameValue(*sentText, *heldText);
            }
        } else if (!driver_->IsOpen() || linkLostBy(bus_->error())) {
            res.failure = failure();
        }
    }
    return finish();
}

ClockResult Link::setClock(const QDateTime& at) {
    using namespace setpoints;
    ClockResult r;
    r.sent = at;
    Guard guard(this);
    const QPointer<Link> self(this);
    const ClockSetting s =
        clockSetting(at.date().month(), at.date().day(), at.time().hour(), at.time().minute());
    const std::array<std::pair<int, int>, 2> writes{std::pair{kDateRow, s.dateRegister},
                                                    std::pair{kTimeRow, s.timeRegister}};
    for (size_t k = 0; k < writes.size(); ++k) {
        if (!driver_->IsOpen()) break;
        const bool ok = setpoints::writeWithRetry(
            [&self](std::uint32_t ms) { pause(self, ms); },
            [&self, this](int reg, int value) { return self && driver_->IsOpen() && write(reg, value); },
            kFirstRegister + writes[k].first, writes[k].second);
        if (!self) return r;
        r.states[k] = ok ? RegisterWrite::State::Confirmed : RegisterWrite::State::NotConfirmed;
        if (ok && image_.size() >= kRows) image_[writes[k].first] = writes[k].second;
    }
    r.confirmed =
        r.states[0] == RegisterWrite::State::Confirmed && r.states[1] == RegisterWrite::State::Confirmed;
    if (!r.confirmed) r.failure = failure();
    r.identity = identity_;
    for (const auto& f : clockObservers_)
        f(r);
    return r;
}

// ---------------------------------------------------------------- fault log

FaultLogRead Link::readFaultLog(const std::array<quint8, 200>& previous, const Progress& progress) {
    FaultLogRead r;
    r.bytes = previous;
    Guard guard(this);
    const QPointer<Link> self(this);
    for (int b = 0; b < faults::kBlocks; ++b) {
        if (!pause(self, kTransferWaitMs)) return r;
        if (progress) progress(b + 1);
        if (!self) return r;
        // A block that cannot be read (the port closed too) keeps what it held before.
        if (driver_->IsOpen() && read(faults::blockFirstRegister(b), faults::kBlockRegisters) &&
            bus_->RegisterValues.size() >= faults::kBlockRegisters) {
            faults::storeBlock(r.bytes, b, bus_->RegisterValues);
            r.blocksRead |= 1u << b;
            noteRead();
        } else {
            r.failure = failure();
        }
    }
    r.identity = identity_;
    return r;
}

// ---------------------------------------------------------------- reset

ResetResult Link::reset(std::optional<int> faultWord) {
    ResetResult r;
    Guard guard(this);
    const QPointer<Link> self(this);
    const auto finish = [&]() -> ResetResult {
        if (!self) return r;
        r.identity = identity_;
        for (const auto& f : resetObservers_)
            f(r);
        return r;
    };
    if (!faultWord) {
        if (!read(relay::kMeasurementFirst, relay::kMeasurementCount) ||
            bus_->RegisterValues.size() < relay::kMeasurementCount) {
            r.failure = failure();
            r.identity = identity_;
            return r;
        }
        faultWord = decodeMeasurement(bus_->RegisterValues).faultWord;
    }
    r.faultWordBefore = *faultWord;
    // The relay does not clear an overload: nothing is sent then.
    if (!display::resetAllowed(*faultWord)) {
        r.refused = true;
        return finish();
    }
    if (!pause(self, display::kResetWaitMs)) return r;
    if (!driver_->IsOpen()) {
        r.failure = Failure{BusError::PortClosed, {}, true};
        return finish();
    }
    r.sent = true;
    r.confirmed = write(relay::kFaultWordRegister, relay::kFaultWordClear);
    if (!r.confirmed) r.failure = failure();
    return finish();
}

// ---------------------------------------------------------------- scan

QList<ScanHit> Link::scan(int first, int last, const std::function<void(const ScanProbe&)>& progress,
                          const std::function<bool()>& stop) {
    QList<ScanHit> hits;
    Guard guard(this);
    const QPointer<Link> self(this);
    for (int a = first; a <= last; ++a) {
        if (stop && stop()) break;
        if (!self || !isOpen()) break;
        scanAddress_ = a;
        ScanProbe probe;
        probe.address = a;
        if (read(relay::kVariantRegister, relay::kVariantCount) && !bus_->RegisterValues.isEmpty()) {
            probe.variant = bus_->RegisterValues.value(0);
            hits << ScanHit{a, probe.variant};
        } else {
            probe.failure = failure();
        }
        scanAddress_.reset();
        if (progress) progress(probe);
        if (!self) break;
        if (probe.failure && probe.failure->linkLost) break;
    }
    if (self) scanAddress_.reset();
    return hits;
}

} // namespace core

#pragma once
// The link to one relay: the serial driver, the register bus on it, the poll
// timer, the count of lost measurement reads and the mark of a running
// operation. Every operation with the relay is one function here with a
// typed result; the window and vrk-cli both go through it.
//
// The window connects the poll timer to its tick and shows each PollResult;
// vrk-cli opens a link with open(line), setAddress(n) and setTimeout(ms) and
// calls the operations one by one.
//
// One thread: an exchange does not let the event loop run, a wait between
// exchanges does (czekaj), so anything may happen in a wait: the port closed
// (close()), even the link destroyed. An operation that finds its link gone
// after a wait returns at once with what it has. While an operation runs,
// busy() is true and a poll tick is skipped.
#include "config/linesettings.h"
#include "core/identity.h"
#include "core/results.h"
#include "protocol/registerbus.h"

#include <functional>
#include <memory>
#include <optional>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVector>

class QTimer;
class TSerialDriver;
class RegisterBus;

namespace core {

class Link : public QObject {
    Q_OBJECT
public:
    explicit Link(QObject* parent = nullptr);
    ~Link() override;

    // ---- the line
    // The driver, for its settings before open() (the window's dialog) and
    // for what it tells of a network target.
    TSerialDriver& driver() { return *driver_; }
    const TSerialDriver& driver() const { return *driver_; }
    RegisterBus& bus() { return *bus_; }
    // The bus address: asked afresh at every exchange (the window's dialog),
    // or a fixed one.
    void setAddress(std::function<int()> address);
    void setAddress(int address);
    int address() const;
    // The reply time-out of the driver, ms.
    void setTimeout(uint32_t ms);
    // Applies the line (DTR and RTS off, no flow control) and opens it.
    bool open(const linesettings::Line& line);
    // Opens the driver as it is set up now.
    bool open();
    // Closes the port and stops the poll timer; an operation in one of its waits ends there.
    void close();
    // Open, and the device not gone.
    bool isOpen() const;
    // Another speed and parity on the open port (a scan's steps).
    void setSpeed(uint32_t baud, TParity parity);
    // The relay as last read in this connection.
    Identity identity() const { return identity_; }
    // The bus address setting may have changed: the identity follows it now,
    // not only at the next exchange.
    void checkAddress() { noteAddress(); }
    bool busy() const { return depth_ > 0; }
    // What went wrong with the port or the last exchange, in the current language
    // (a lost network connection named as such).
    QString errorString() const;

    // ---- the poll
    // 200 ms, precise; started by the client after open() (its timeout
    // connected to a tick that shows the result), stopped by close().
    QTimer* pollTimer() const { return pollTimer_; }
    int lostReads() const { return lostReads_; }
    // One tick: registers 1..12, 20 ms, register 23. Skipped while another
    // operation runs. After relay::kLostReadsLimit failed measurement reads
    // in a row the tick ends with dropped = true: the client says why and
    // closes the link.
    PollResult pollTick();
    // One measurement read and, when asked, the variant after the poll's
    // pause; without the poll's lost-read count (vrk-cli's read and watch).
    PollResult readMeasurement(bool withVariant = true);

    // ---- transfers. progress(step) is called between exchanges: step counts
    // the exchanges done (setpoint read: 1 after the wait, 2 after the read;
    // write: 1 + registers done; fault log: blocks done).
    using Progress = std::function<void(int step)>;
    // 100 ms, then registers 12..25.
    SetpointsRead readSetpoints(const Progress& progress = {});

    struct WriteOptions {
        QStringList cells; // the fourteen value texts, already checked (setpoints::invalidParameters empty)
        QStringList names; // the fourteen row names (for the results)
        bool readBack = true;
        Progress progress;
        // Each register as soon as its write is confirmed (or found not confirmed).
        std::function<void(const RegisterWrite&)> onRegister;
    };
    // Register 23 (the relay's variant) with up to four tries after 50 ms: a
    // table for another variant is refused, In is scaled by the relay's; then
    // registers 12..22, each with
    // up to four tries after 50 ms; then, unless every write failed, 50 ms
    // and the read-back of 12..25, compared in units.
    WriteResult writeSetpoints(const WriteOptions& options);

    // Registers 24 and 25 (month.day, hour:minute), each with up to four tries.
    ClockResult setClock(const QDateTime& at);

    // The four blocks of the fault memory, each after 100 ms; a block not
    // read keeps the bytes of `previous`.
    FaultLogRead readFaultLog(const std::array<quint8, 200>& previous = {}, const Progress& progress = {});

    // 100 ms, then the fault word cleared; refused (nothing sent) when the
    // fault word holds an overload. faultWord: the last poll's; nullopt reads it first.
    ResetResult reset(std::optional<int> faultWord = std::nullopt);

    // Asks register 23 of each address first..last at the current line; a
    // sound reply from that very address is a hit (the bus refuses another
    // device's). Stops when stop() says so, or at a lost link (isOpen() false).
    QList<ScanHit> scan(int first, int last, const std::function<void(const ScanProbe&)>& progress = {},
                        const std::function<bool()>& stop = {});

    // ---- observers of what changes the relay (the journal)
    void onWrite(std::function<void(const WriteResult&)> f) { writeObservers_ << std::move(f); }
    void onClock(std::function<void(const ClockResult&)> f) { clockObservers_ << std::move(f); }
    void onReset(std::function<void(const ResetResult&)> f) { resetObservers_ << std::move(f); }

    // The setpoint registers 12..25 as last known in this connection: a
    // read, each confirmed write, the read-back; empty until a read.
    const QVector<qint32>& setpointImage() const { return image_; }

signals:
    // The relay whose data clients show is another or gone: a disconnect, a
    // port, address or line change, a new variant read.
    void identityChanged(const core::Identity& identity);

private:
    class Guard;
    bool read(int start, int n);
    bool write(int reg, int value);
    Failure failure() const;
    void noteAddress();
    void noteVariant(int variant);
    void noteRead();
    Identity fresh() const;

    TSerialDriver* driver_ = nullptr;
    std::unique_ptr<RegisterBus> bus_;
    std::function<int()> address_;
    QTimer* pollTimer_ = nullptr;
    int lostReads_ = 0;
    std::optional<int> scanAddress_; // the address a scan asks now
    int depth_ = 0;
    Identity identity_;
    QVector<qint32> image_;
    QList<std::function<void(const WriteResult&)>> writeObservers_;
    QList<std::function<void(const ClockResult&)>> clockObservers_;
    QList<std::function<void(const ResetResult&)>> resetObservers_;
};

} // namespace core

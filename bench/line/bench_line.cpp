// A poll tick's measurement read on a timed line: the program's RegisterBus
// reading registers 1-12 through TSerialDriver, as the poll does, against
// vrk-sim with line timing on, at 19200, 9600, 4800 and 2400 bit/s (program
// and relay at the same speed, 8 data bits, no parity, 1 stop bit).
//   bench_line [TICKS]   (default 30 per speed)
// Per speed: the wire time of request and reply (computed), the measured
// exchange (median and largest), the polls per second that allows, and the
// reply timing margin: the driver's input time-out less the longest silence
// the program met before or within a reply.
#include "protocol/registerbus.h"
#include "serial/serialbackend.h"
#include "serial/tserialdriver.h"
#include "simfixture.h"
#include "wait/czekaj.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <vector>

namespace {

constexpr int kResponseMs = 5; // the simulator's default turnaround
constexpr int kRegisters = 12; // the poll's measurement read
constexpr int kRequestBytes = 8;
constexpr int kReplyBytes = 5 + 2 * kRegisters;
constexpr int kBitsPerCharacter = 10;     // start, 8 data bits, stop
constexpr uint32_t kInputTimeoutMs = 100; // as the main window sets it

// The system's backend, noting when the program's write went out and when
// each read brought bytes.
class TimedBackend : public SerialBackend {
public:
    explicit TimedBackend(QElapsedTimer& clock) : system_(makeSystemBackend()), clock_(clock) {}
    std::vector<double> reads; // ms of each read that brought bytes since the last write
    double written = 0;        // ms of the last write

    bool open(const std::string& path) override { return system_->open(path); }
    void close() override { system_->close(); }
    bool isOpen() const override { return system_->isOpen(); }
    bool applyLineState(const DeviceControlBlock& dcb) override { return system_->applyLineState(dcb); }
    bool setQueueSizes(uint32_t rx, uint32_t tx) override { return system_->setQueueSizes(rx, tx); }
    bool setShortTimeouts() override { return system_->setShortTimeouts(); }
    bool purge(bool rx, bool tx) override { return system_->purge(rx, tx); }
    bool inputCount(uint32_t& count) override { return system_->inputCount(count); }
    bool outputCount(uint32_t& count) override { return system_->outputCount(count); }
    bool modemStatus(uint32_t& bits) override { return system_->modemStatus(bits); }
    bool read(void* buffer, uint32_t size, uint32_t& count) override {
        const bool ok = system_->read(buffer, size, count);
        if (ok && count > 0) reads.push_back(now());
        return ok;
    }
    bool write(const void* data, uint32_t size, uint32_t& count) override {
        const bool ok = system_->write(data, size, count);
        if (ok && count > 0) {
            written = now();
            reads.clear();
        }
        return ok;
    }
    void waitReadable(uint32_t ms) override { system_->waitReadable(ms); }
    void waitWritable(uint32_t ms) override { system_->waitWritable(ms); }
    uint32_t ticks() const override { return system_->ticks(); }
    LineFault fault() const override { return system_->fault(); }
    DeviceAccess deviceAccess() const override { return system_->deviceAccess(); }
    std::string systemMessage() const override { return system_->systemMessage(); }
    bool hungUp() const override { return system_->hungUp(); }

    // The longest silence before the reply's first bytes or between two reads of it.
    double longestGap() const {
        double gap = 0, last = written;
        for (const double t : reads) {
            gap = std::max(gap, t - last);
            last = t;
        }
        return gap;
    }

private:
    double now() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; }
    std::unique_ptr<SerialBackend> system_;
    QElapsedTimer& clock_;
};

struct Row {
    int baud = 0;
    double wireMs = 0, medianMs = 0, maxMs = 0, marginMs = 0;
    int good = 0, ticks = 0;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

bool measure(int baud, int ticks, Row& row) {
    row.baud = baud;
    row.ticks = ticks;
    row.wireMs = (kRequestBytes + kReplyBytes) * kBitsPerCharacter * 1000.0 / baud + kResponseMs;
    SimRelay relay;
    if (!relay.start({QStringLiteral("--baud"), QString::number(baud), QStringLiteral("--line-timing"),
                      QStringLiteral("on"), QStringLiteral("--freeze")})) {
        std::fprintf(stderr, "bench_line: the relay simulator did not start at %d bit/s\n", baud);
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    auto owned = std::make_unique<TimedBackend>(clock);
    TimedBackend* backend = owned.get();
    TSerialDriver driver(std::move(owned), nullptr);
    driver.setPortName(relay.linkPath());
    driver.setBaudRateValue(static_cast<uint32_t>(baud));
    driver.setParity(ptNONE);
    driver.setDataBits(db8BITS);
    driver.setStopBits(sb1BITS);
    driver.setHwFlow(hfNONE);
    driver.setSwFlow(sfNONE);
    driver.setEnableDTROnOpen(false);
    driver.setOutputTimeout(50);
    driver.setInputTimeout(kInputTimeoutMs);
    if (!driver.OpenPort()) {
        std::fprintf(stderr, "bench_line: cannot open %s\n", qPrintable(relay.linkPath()));
        return false;
    }
    RegisterBus bus(driver, [] { return 3; });
    std::vector<double> took;
    double worstGap = 0;
    for (int i = 0; i < ticks; ++i) {
        czekaj(20); // the poll's pause between its reads
        const qint64 start = clock.nsecsElapsed();
        const bool good = bus.Czytaj(1, kRegisters);
        const double ms = static_cast<double>(clock.nsecsElapsed() - start) / 1e6;
        if (!good) continue;
        ++row.good;
        took.push_back(ms);
        worstGap = std::max(worstGap, backend->longestGap());
    }
    driver.ClosePort();
    row.medianMs = median(took);
    row.maxMs = took.empty() ? 0 : *std::max_element(took.begin(), took.end());
    row.marginMs = kInputTimeoutMs - worstGap;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    std::vector<Row> rows;
    for (const int baud : {19200, 9600, 4800, 2400}) {
        Row row;
        if (!measure(baud, ticks, row)) return 1;
        rows.push_back(row);
    }
    std::printf(
        "Measurement read of %d registers (8 + %d bytes, 8N1, %d ms turnaround), %d ticks per speed,\n"
        "input time-out %u ms:\n\n",
        kRegisters, kReplyBytes, kResponseMs, ticks, kInputTimeoutMs);
    std::printf("%7s  %9s  %11s  %8s  %9s  %11s  %6s\n", "bit/s", "wire ms", "median ms", "max ms", "polls/s",
                "margin ms", "good");
    for (const Row& r : rows)
        std::printf("%7d  %9.1f  %11.1f  %8.1f  %9.1f  %11.1f  %3d/%d\n", r.baud, r.wireMs, r.medianMs,
                    r.maxMs, r.medianMs > 0 ? 1000.0 / r.medianMs : 0.0, r.marginMs, r.good, r.ticks);
    std::printf(
        "\nwire: request and reply at the speed plus the turnaround; polls/s: back-to-back reads at the\n"
        "median; margin: the time-out less the longest silence before or within a reply.\n");
    return 0;
}

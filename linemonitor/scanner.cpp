#include "linemonitor/scanner.h"

#include "linemonitor/exchangelog.h"
#include "protocol/registerbus.h"
#include "protocol/relaymap.h"
#include "serial/tserialdriver.h"
#include "wait/czekaj.h"

namespace linemonitor {

namespace {
// The pause after each question in which the window is repainted and clicks are taken.
constexpr uint32_t kPumpMs = 1;
// As the main window's port: 50 ms to send.
constexpr uint16_t kOutputTimeoutMs = 50;
} // namespace

ScanEnd runScan(const ScanRequest& request, const ScanCallbacks& callbacks, QString* error) {
    // The port lives on this stack frame: whatever happens to the window
    // during a wait, the driver stays valid until the scan returns.
    TSerialDriver driver;
    linesettings::applyTo(driver, request.line);
    driver.setOutputTimeout(kOutputTimeoutMs);
    if (!driver.OpenPort()) {
        if (error) *error = driver.errorString();
        return ScanEnd::PortFailed;
    }
    int address = 0;
    RegisterBus bus(driver, [&address] { return address; });
    // Valid only with the asked address and function in the reply, not just a good CRC.
    Outcome outcome = Outcome::NoReply;
    bus.setObserver([&outcome, &callbacks](const BusExchange& e) {
        outcome = classify(e.request, e.reply, e.outcome);
        if (callbacks.exchanged) callbacks.exchanged(e);
    });
    const QList<linescan::Speed> speeds =
        linescan::speeds(request.allSpeeds, {request.line.baud, request.line.parity});
    const int total = linescan::stepCount(speeds, request.from, request.to);
    linescan::Speed current;
    ScanEnd end = ScanEnd::Finished;
    for (int i = 0; i < total; ++i) {
        const linescan::Step step = linescan::step(speeds, request.from, request.to, i);
        if (i == 0 || !(step.speed == current)) {
            current = step.speed;
            driver.setBaudRate(linesettings::baudRateOf(current.baud));
            driver.setParity(current.parity);
            driver.setInputTimeout(
                linescan::timeoutMs(current, request.line.dataBits, request.line.stopBits));
        }
        if (callbacks.progress) callbacks.progress(i, total, step);
        address = step.address;
        outcome = Outcome::NoReply;
        const bool answered = bus.Czytaj(relay::kVariantRegister, 1) && outcome == Outcome::Good;
        const int variant = answered ? bus.RegisterValues.value(0) : 0; // copied at once
        if (!driver.IsOpen() || bus.error() == BusError::DeviceGone) {
            if (error) *error = busErrorText(bus.error());
            end = ScanEnd::PortFailed;
            break;
        }
        // The read waits without the toolkit: the window is as it was before it.
        if (answered && callbacks.found) callbacks.found({step.address, step.speed, variant});
        czekaj(kPumpMs);
        if (callbacks.keepGoing && !callbacks.keepGoing()) {
            end = ScanEnd::Stopped;
            break;
        }
    }
    driver.ClosePort();
    return end;
}

} // namespace linemonitor

#include "cli/line.h"

#include "config/inifile.h"
#include "config/linesettings.h"
#include "files/files.h"

#include <QCoreApplication>

namespace cli {

QString tr(const char* source) {
    return QCoreApplication::translate("vrk-cli", source);
}

namespace {

TBaudRate baudRateOf(uint32_t value) {
    return linesettings::baudRateOf(value);
}

} // namespace

QList<uint32_t> offeredSpeeds() {
    return linesettings::offeredSpeeds();
}
QList<TParity> offeredParities() {
    return linesettings::offeredParities();
}

QString portNameFor(const QString& option) {
    const QString upper = option.toUpper();
    if (upper.startsWith(QLatin1String("COM"))) {
        bool ok = false;
        const int n = upper.mid(3).toInt(&ok);
        if (ok && n >= 1 && n <= 16) return QStringLiteral("\\\\.\\COM%1").arg(n);
    }
    return option;
}

QString parityName(TParity parity) {
    switch (parity) {
    case ptODD:
        return QStringLiteral("odd");
    case ptEVEN:
        return QStringLiteral("even");
    default:
        return QStringLiteral("none");
    }
}

QString lineText(uint32_t baud, TParity parity, TDataBits dataBits, TStopBits stopBits) {
    return linescan::lineText(baud, parity, dataBits, stopBits);
}

void addLineOptions(QCommandLineParser& p) {
    p.addOption({QStringLiteral("port"),
                 QCoreApplication::translate("vrk-cli", "The serial port: COM1, COM2 or a device path."),
                 QStringLiteral("DEVICE")});
    p.addOption({QStringLiteral("baud"),
                 QCoreApplication::translate("vrk-cli", "Line speed: 19200, 9600, 4800 or 2400."),
                 QStringLiteral("SPEED")});
    p.addOption({QStringLiteral("parity"),
                 QCoreApplication::translate("vrk-cli", "Parity: none, odd or even."),
                 QStringLiteral("PARITY")});
    p.addOption({QStringLiteral("data-bits"), QCoreApplication::translate("vrk-cli", "Data bits: 8 or 7."),
                 QStringLiteral("BITS")});
    p.addOption({QStringLiteral("stop-bits"), QCoreApplication::translate("vrk-cli", "Stop bits: 1 or 2."),
                 QStringLiteral("BITS")});
    p.addOption({QStringLiteral("address"),
                 QCoreApplication::translate("vrk-cli", "The relay's bus address, 1-247."),
                 QStringLiteral("N")});
    p.addOption({QStringLiteral("timeout-ms"),
                 QCoreApplication::translate("vrk-cli", "How long to wait for an answer, in milliseconds."),
                 QStringLiteral("MS")});
}

bool lineSettings(const QCommandLineParser& p, LineSettings* s, QString* error) {
    ini::Selections sel;
    if (files::entryExists(ini::fileName())) {
        const ini::ReadResult r = ini::readFile(ini::fileName());
        if (!r.ok) {
            *error = r.error;
            return false;
        }
        sel = ini::applyLines(r.lines, sel);
    }
    // An entry the dialog shows as unselected leaves the program's default.
    const linesettings::Line chosen =
        linesettings::lineOf(sel, {s->port, s->baud, s->parity, s->dataBits, s->stopBits});
    s->port = chosen.port;
    s->baud = chosen.baud;
    s->parity = chosen.parity;
    s->dataBits = chosen.dataBits;
    s->stopBits = chosen.stopBits;
    if (sel.address >= 0 && sel.address < ini::kAddressCount) s->address = sel.address + 1;

    auto number = [&](const char* name, int low, int high, int* out) {
        if (!p.isSet(QLatin1String(name))) return true;
        bool ok = false;
        const int v = p.value(QLatin1String(name)).toInt(&ok);
        if (!ok || v < low || v > high) {
            *error = QCoreApplication::translate("vrk-cli", "--%1 must be a number from %2 to %3.")
                         .arg(QLatin1String(name))
                         .arg(low)
                         .arg(high);
            return false;
        }
        *out = v;
        return true;
    };
    if (p.isSet(QStringLiteral("port"))) {
        const QString port = p.value(QStringLiteral("port"));
        if (port.isEmpty()) {
            *error = QCoreApplication::translate("vrk-cli", "--port needs a device.");
            return false;
        }
        s->port = portNameFor(port);
    }
    int baud = int(s->baud);
    if (!number("baud", 50, 4000000, &baud)) return false;
    if (p.isSet(QStringLiteral("baud")) && baudRateOf(uint32_t(baud)) == brCustom) {
        *error = QCoreApplication::translate("vrk-cli", "--baud %1 is not a standard line speed.").arg(baud);
        return false;
    }
    s->baud = uint32_t(baud);
    if (p.isSet(QStringLiteral("parity"))) {
        const QString v = p.value(QStringLiteral("parity")).toLower();
        if (v == QLatin1String("none") || v == QLatin1String("n"))
            s->parity = ptNONE;
        else if (v == QLatin1String("odd") || v == QLatin1String("o"))
            s->parity = ptODD;
        else if (v == QLatin1String("even") || v == QLatin1String("e"))
            s->parity = ptEVEN;
        else {
            *error = QCoreApplication::translate("vrk-cli", "--parity must be none, odd or even.");
            return false;
        }
    }
    int dataBits = 5 + int(s->dataBits);
    if (!number("data-bits", 7, 8, &dataBits)) return false;
    s->dataBits = dataBits == 8 ? db8BITS : db7BITS;
    int stopBits = s->stopBits == sb2BITS ? 2 : 1;
    if (!number("stop-bits", 1, 2, &stopBits)) return false;
    s->stopBits = stopBits == 2 ? sb2BITS : sb1BITS;
    if (!number("address", 1, ini::kAddressCount, &s->address)) return false;
    int timeout = int(s->timeoutMs);
    if (!number("timeout-ms", 1, 60000, &timeout)) return false;
    s->timeoutMs = uint32_t(timeout);
    return true;
}

Line::Line(const LineSettings& s) : address_(s.address), bus_(driver_, [this] { return address_; }) {
    // As the connect button: DTR and RTS off, no flow control.
    linesettings::applyTo(driver_, {s.port, s.baud, s.parity, s.dataBits, s.stopBits});
    driver_.setInputTimeout(s.timeoutMs);
}

bool Line::open(QString* error) {
    if (driver_.OpenPort()) return true;
    *error = driver_.errorString();
    return false;
}

QString Line::errorString() const {
    // The bus knows only that the port went away; the driver knows how.
    if (driver_.isNetwork() &&
        (bus_.error() == BusError::DeviceGone || bus_.error() == BusError::PortClosed) &&
        driver_.error() != TSerialDriver::Error::NoError)
        return driver_.errorString();
    return bus_.errorString();
}

void Line::setSpeed(uint32_t baud, TParity parity) {
    driver_.setBaudRate(baudRateOf(baud));
    driver_.setParity(parity);
}

} // namespace cli

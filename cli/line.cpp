#include "cli/line.h"

#include "config/inifile.h"
#include "config/linesettings.h"
#include "files/files.h"

#include <QCoreApplication>
#include <QRegularExpression>

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

bool lineSettings(const QCommandLineParser& p, bool manyAddresses, LineSettings* s, QString* error) {
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
    if (!manyAddresses && !number("address", 1, ini::kAddressCount, &s->address)) return false;
    int timeout = int(s->timeoutMs);
    if (!number("timeout-ms", 1, 60000, &timeout)) return false;
    s->timeoutMs = uint32_t(timeout);
    return true;
}

bool addressList(const QString& value, QList<int>* addresses, QString* error) {
    addresses->clear();
    for (const QString& part : value.split(QLatin1Char(','))) {
        const QStringList ends = part.split(QRegularExpression(QStringLiteral("[-:]")));
        bool okFirst = false, okLast = false;
        const int first = ends.value(0).trimmed().toInt(&okFirst);
        const int last = ends.size() == 2 ? ends[1].trimmed().toInt(&okLast) : first;
        if (ends.size() > 2 || !okFirst || (ends.size() == 2 && !okLast) || first < 1 ||
            last > ini::kAddressCount || last < first) {
            *error = QCoreApplication::translate(
                         "vrk-cli", "--address %1: give addresses from 1 to 247, such as 3,5,7 or 1-10.")
                         .arg(value);
            return false;
        }
        for (int a = first; a <= last; ++a)
            if (!addresses->contains(a)) *addresses << a;
    }
    return true;
}

std::unique_ptr<core::Link> openLink(const LineSettings& s, QString* error) {
    auto link = std::make_unique<core::Link>();
    link->setAddress(s.address);
    link->setTimeout(s.timeoutMs);
    // As the connect button: DTR and RTS off, no flow control.
    if (link->open({s.port, s.baud, s.parity, s.dataBits, s.stopBits})) return link;
    *error = link->driver().errorString();
    return nullptr;
}

} // namespace cli

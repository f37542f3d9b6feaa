#pragma once
// The serial line of a vrk-cli command: the line options every command
// takes, their defaults from vrk.ini (or the program's own), and the open
// port with its register bus.
#include "core/link.h"
#include "serial/tserialdriver.h"

#include <cstdint>
#include <memory>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitRelay = 1;   // the relay did not answer or did not confirm
constexpr int kExitUsage = 2;   // usage error, or a file or the standard output could not be read or written
constexpr int kExitPort = 3;    // the port could not be opened
constexpr int kExitRefused = 4; // refused before anything was sent (overload, another variant)
constexpr int kExitIncomplete = 5; // done in part: stopped early, values missing or outside their ranges

// A command-line text in the current language.
QString tr(const char* source);

struct LineSettings {
    QString port = QStringLiteral("\\\\.\\COM1"); // a port name as the driver takes it
    uint32_t baud = 4800;
    TParity parity = ptNONE;
    TDataBits dataBits = db8BITS;
    TStopBits stopBits = sb1BITS;
    int address = 3;
    uint32_t timeoutMs = 200;
};

// The speeds and parities the settings dialog offers, in its order.
QList<uint32_t> offeredSpeeds();
QList<TParity> offeredParities();

// "COM1"/"COM2" (any case) become the driver's "\\.\COMn"; anything else is a device path
// or a network target (tcp://HOST:PORT, rtu+tcp://HOST:PORT), taken as it is.
QString portNameFor(const QString& option);
// "none", "odd", "even" as the trace names them.
QString parityName(TParity parity);
// "9600 8N1" style: speed, data bits, parity letter, stop bits.
QString lineText(uint32_t baud, TParity parity, TDataBits dataBits, TStopBits stopBits);

// The settings: vrk.ini in the working folder when present, else the program's
// defaults, then the options given. False with *error on a bad value or an unreadable vrk.ini.
// manyAddresses: --address is a list, read by addressList() instead.
bool lineSettings(const QCommandLineParser& parser, bool manyAddresses, LineSettings* settings,
                  QString* error);

// The address option of read and watch: "3", "3,5,7", "1-10" or "1:5", in the
// order given, each once. False with *error when it names no address 1-247.
bool addressList(const QString& value, QList<int>* addresses, QString* error);

// The relay link on the port of these settings, opened as the connect button
// opens it; nullptr with the reason in *error.
std::unique_ptr<core::Link> openLink(const LineSettings& settings, QString* error);

} // namespace cli

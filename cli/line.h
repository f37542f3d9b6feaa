#pragma once
// The serial line of a vrk-cli command: the line options every command
// takes, their defaults from vrk.ini (or the program's own), and the open
// port with its register bus.
#include "protocol/registerbus.h"
#include "serial/tserialdriver.h"

#include <cstdint>
#include <memory>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitRelay = 1; // the relay did not answer or did not confirm
constexpr int kExitUsage = 2; // usage or file error
constexpr int kExitPort = 3;  // the port could not be opened

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

// Adds --port, --baud, --parity, --data-bits, --stop-bits, --address and --timeout-ms.
void addLineOptions(QCommandLineParser& parser);
// The settings: vrk.ini in the working folder when present, else the program's
// defaults, then the options given. False with *error on a bad value or an unreadable vrk.ini.
bool lineSettings(const QCommandLineParser& parser, LineSettings* settings, QString* error);

// An open port and the register bus on it.
class Line {
public:
    explicit Line(const LineSettings& settings);
    // Opens the port as the connect button does; false with the reason in *error.
    bool open(QString* error);
    // False also once the device went away or the connection was lost: from
    // then on every exchange fails, and a command reports the lost link.
    bool isOpen() const { return driver_.IsOpen() && driver_.error() != TSerialDriver::Error::DeviceGone; }
    void setAddress(int address) { address_ = address; }
    void setSpeed(uint32_t baud, TParity parity);
    void setTimeout(uint32_t ms) { driver_.setInputTimeout(ms); }
    bool read(int start, int n) { return bus_.Czytaj(start, n); }
    bool write(int reg, int value) { return bus_.Zapis(reg, value); }
    const QVector<int32_t>& values() const { return bus_.RegisterValues; }
    // The last exchange's outcome; for a lost network connection, how it was lost.
    QString errorString() const;
    // What the port really is when it is a network target ("Modbus TCP 10.0.0.5:502"); else empty.
    QString targetText() const { return driver_.isNetwork() ? driver_.targetText() : QString(); }
    BusError error() const { return bus_.error(); }

private:
    TSerialDriver driver_;
    int address_;
    RegisterBus bus_;
};

} // namespace cli

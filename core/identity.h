#pragma once
// Which relay the data came from: the port and line it was read on, the bus
// address asked and the variant it reported, and when.
#include <optional>
#include <QDateTime>
#include <QString>

namespace core {

struct Identity {
    QString port;               // the port name as the driver opens it
    QString line;               // "9600 8E1" as the settings say
    int address = 0;            // the bus address asked
    std::optional<int> variant; // register 23 as read; nullopt = not read in this connection
    QDateTime readAt;           // local time with offset of the last good read; invalid = never
    bool complete = false;      // the variant was read in this connection
    bool operator==(const Identity&) const = default;
};

// The same relay: port, address and variant equal.
bool sameRelay(const Identity& a, const Identity& b);

// "COM1, 9600 8E1, address 3, variant 2" in the current language (for reports and messages).
QString describe(const Identity& identity);

} // namespace core

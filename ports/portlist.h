#pragma once
// The serial ports this computer has, with the adapter's name where the
// system knows it: what a technician picks from to say which device COM1 or
// COM2 of the settings opens (written to the ports file). The listing comes
// from one backend file per system (portlist_linux.cpp, portlist_win32.cpp);
// the rules that turn the system's names into the list are here.
#include <QList>
#include <QMap>
#include <QString>

namespace portlist {

struct Port {
    QString target;      // what the ports file names: /dev/serial/by-id/..., /dev/ttyS0, COM7
    QString device;      // the system's device: /dev/ttyUSB0, \Device\Serial0
    QString description; // the adapter's name, or empty
    bool operator==(const Port&) const = default;
};

// The ports present now, sorted by target (COM ports by number).
QList<Port> present();

// An adapter's name from its /dev/serial/by-id entry:
// "usb-Serial_Adapter_A1B2C3-if00-port0" gives "Serial Adapter A1B2C3".
QString nameFromById(const QString& byIdName);

// Linux: the by-id links (name -> device they lead to) and the other serial
// devices present; a device reached by a by-id link is listed by that link,
// which stays the same whichever USB socket the adapter is in.
QList<Port> fromLinux(const QMap<QString, QString>& byId, const QStringList& devices);

// Windows: the registry's SERIALCOMM (device -> COMn) and the friendly names
// of the ports class (COMn -> name, "USB Serial Port (COM7)").
QList<Port> fromWindows(const QMap<QString, QString>& serialComm,
                        const QMap<QString, QString>& friendlyNames);

// Sorted as a technician reads them: COM2 before COM10, paths alphabetically.
void sortPorts(QList<Port>& ports);

} // namespace portlist

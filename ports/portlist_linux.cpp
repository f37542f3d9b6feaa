// The serial ports on Linux: the /dev/serial/by-id links and the tty devices
// that sysfs ties to hardware.
#include "ports/portlist.h"

#include <QDir>
#include <QFileInfo>

namespace portlist {

QList<Port> present() {
    QMap<QString, QString> byId;
    const QDir links(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : links.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString device = link.canonicalFilePath();
        if (!device.isEmpty()) byId.insert(link.fileName(), device);
    }
    // A tty with a "device" entry in sysfs is hardware (a UART, an adapter);
    // of the 32 built-in ttyS entries only those a driver found count.
    QStringList devices;
    const QDir ttys(QStringLiteral("/sys/class/tty"));
    for (const QString& name : ttys.entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot)) {
        if (!QFileInfo::exists(ttys.filePath(name + QStringLiteral("/device")))) continue;
        if (name.startsWith(QLatin1String("ttyS")) &&
            !QFileInfo(ttys.filePath(name + QStringLiteral("/device/driver"))).exists())
            continue;
        const QString device = QStringLiteral("/dev/") + name;
        if (QFileInfo::exists(device)) devices.append(device);
    }
    return fromLinux(byId, devices);
}

} // namespace portlist

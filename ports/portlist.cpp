#include "ports/portlist.h"

#include <QCollator>
#include <QRegularExpression>
#include <algorithm>

#include "config/portmap.h"

namespace portlist {

QString nameFromById(const QString& byIdName) {
    QString name = byIdName;
    static const QRegularExpression bus(QStringLiteral("^(usb|pci|platform)-"));
    static const QRegularExpression tail(QStringLiteral("-if[0-9A-Fa-f]+(-port[0-9]+)?$|-port[0-9]+$"));
    name.remove(bus);
    name.remove(tail);
    name.replace(QLatin1Char('_'), QLatin1Char(' '));
    return name.simplified();
}

QList<Port> fromLinux(const QMap<QString, QString>& byId, const QStringList& devices) {
    QList<Port> ports;
    QStringList reached;
    for (auto it = byId.cbegin(); it != byId.cend(); ++it) {
        ports.append({QStringLiteral("/dev/serial/by-id/") + it.key(), it.value(), nameFromById(it.key())});
        reached.append(it.value());
    }
    for (const QString& device : devices)
        if (!reached.contains(device)) ports.append({device, device, QString()});
    sortPorts(ports);
    return ports;
}

QList<Port> fromWindows(const QMap<QString, QString>& serialComm, const QMap<QString, QString>& friendlyNames) {
    QList<Port> ports;
    for (auto it = serialComm.cbegin(); it != serialComm.cend(); ++it) {
        const QString com = it.value().trimmed().toUpper();
        if (portmap::comNumber(com) == 0) continue;
        QString name = friendlyNames.value(com);
        // "USB Serial Port (COM7)": the port's own name is shown beside it anyway.
        name.remove(QRegularExpression(QStringLiteral("\\s*\\(") + QRegularExpression::escape(com) +
                                       QStringLiteral("\\)\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption));
        ports.append({com, it.key(), name.trimmed()});
    }
    sortPorts(ports);
    return ports;
}

void sortPorts(QList<Port>& ports) {
    QCollator numeric;
    numeric.setNumericMode(true);
    numeric.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(ports.begin(), ports.end(),
                     [&](const Port& a, const Port& b) { return numeric.compare(a.target, b.target) < 0; });
}

} // namespace portlist

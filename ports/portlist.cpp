#include "ports/portlist.h"

#include <algorithm>
#include <QRegularExpression>

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

QList<Port> fromWindows(const QMap<QString, QString>& serialComm,
                        const QMap<QString, QString>& friendlyNames) {
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

namespace {

// Compares names with their runs of digits as numbers: COM2 < COM10.
bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            const qulonglong x = a.mid(i, ei - i).toULongLong(), y = b.mid(j, ej - j).toULongLong();
            if (x != y) return x < y;
            i = ei;
            j = ej;
            continue;
        }
        const QChar ca = a[i].toLower(), cb = b[j].toLower();
        if (ca != cb) return ca < cb;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

} // namespace

void sortPorts(QList<Port>& ports) {
    std::stable_sort(ports.begin(), ports.end(),
                     [](const Port& a, const Port& b) { return naturalLess(a.target, b.target); });
}

} // namespace portlist

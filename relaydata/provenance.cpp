#include "relaydata/provenance.h"

#include <QCoreApplication>
#include <QLocale>

namespace relaydata {

bool stillCurrent(const core::Identity& from, const core::Identity& now, bool connected) {
    if (!connected || from.port.isEmpty()) return false;
    if (from.port != now.port || from.address != now.address) return false;
    // Just connected, the variant not read yet: the same relay as far as known.
    return !now.variant || !from.variant || *now.variant == *from.variant;
}

Source afterChange(const Source& source, const core::Identity& now, bool connected) {
    Source out = source;
    if (!stillCurrent(source.relay, now, connected)) out.earlier = true;
    return out;
}

QString portShown(const QString& port) {
    QString shown = port;
    if (shown.startsWith(QLatin1String("\\\\.\\"))) shown.remove(0, 4);
    return shown;
}

QString earlierNote(const core::Identity& from) {
    const QString at = from.readAt.isValid() ? QLocale().toString(from.readAt.time(), QLocale::ShortFormat)
                                             : QCoreApplication::translate("relaydata", "time unknown");
    return QCoreApplication::translate("relaydata", "earlier, from the relay at address %1 on %2, read %3")
        .arg(from.address)
        .arg(portShown(from.port), at);
}

} // namespace relaydata

#include "core/identity.h"

#include <QCoreApplication>

namespace core {

bool sameRelay(const Identity& a, const Identity& b) {
    return a.port == b.port && a.address == b.address && a.variant == b.variant;
}

QString describe(const Identity& identity) {
    const QString variant = identity.variant ? QString::number(*identity.variant)
                                             : QCoreApplication::translate("core", "not read");
    return QCoreApplication::translate("core", "%1, %2, address %3, variant %4")
        .arg(identity.port, identity.line)
        .arg(identity.address)
        .arg(variant);
}

} // namespace core

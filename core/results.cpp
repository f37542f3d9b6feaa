#include "core/results.h"

#include "setpoints/readback.h"

#include <QCoreApplication>

namespace core {

QString Failure::text() const {
    return busErrorText(error, reply);
}

bool WriteResult::complete() const {
    if (refusal || failure || registers.isEmpty()) return false;
    for (const RegisterWrite& w : registers)
        if (w.state != RegisterWrite::State::Confirmed || (readBackDone && !w.heldAsSent)) return false;
    return readBackDone;
}

bool WriteResult::interrupted() const {
    if (refusal) return false;
    for (const RegisterWrite& w : registers)
        if (w.state != RegisterWrite::State::NotSent) return !complete();
    return false;
}

QString writeSummary(const WriteResult& result) {
    if (!result.interrupted()) return QString();
    QStringList lines;
    lines << QCoreApplication::translate("core", "The write stopped part way; the relay now holds:");
    for (const RegisterWrite& w : result.registers) {
        QString state;
        switch (w.state) {
        case RegisterWrite::State::Confirmed:
            state = w.readBack && !w.heldAsSent
                        ? QCoreApplication::translate("core", "written, but the relay holds another value")
                        : QCoreApplication::translate("core", "written and confirmed");
            break;
        case RegisterWrite::State::NotConfirmed:
            state = QCoreApplication::translate("core", "not confirmed (may or may not be in the relay)");
            break;
        case RegisterWrite::State::NotSent:
            state = QCoreApplication::translate("core", "not sent (the relay keeps its old value)");
            break;
        }
        lines << QStringLiteral("%1. %2: %3")
                     .arg(w.reg - relay::kSetpointFirst + 1)
                     .arg(setpoints::parameterName(w.parameter), state);
    }
    return lines.join(QLatin1Char('\n'));
}

QString variantMismatchText(int tableVariant, int relayVariant) {
    return QCoreApplication::translate(
               "core", "The table is for variant %1, but the relay reports variant %2: nothing "
                       "was written.\nRead the relay's setpoints, or correct the variant in the "
                       "table.")
        .arg(tableVariant)
        .arg(relayVariant);
}

} // namespace core

#include "records/pollrules.h"

#include "monitor/display.h"

#include <QCoreApplication>

namespace records {

QString isoTime(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

QString faultWordHex(int faultWord) {
    return QStringLiteral("0x%1")
        .arg(unsigned(faultWord) & 0xFFFF, 4, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QLatin1String("0X"), QLatin1String("0x"));
}

QString faultNames(int faultWord, const std::array<QString, kFaultBits>& names) {
    QStringList out;
    for (int bit = 0; bit < kFaultBits; ++bit)
        if ((faultWord >> bit) & 1) out << names[size_t(bit)];
    return out.join(QLatin1String(", "));
}

QStringList logHeader() {
    return {QCoreApplication::translate("records", "Time"),
            QStringLiteral("Ir [%]"),
            QStringLiteral("Is [%]"),
            QStringLiteral("It [%]"),
            QCoreApplication::translate("records", "Iavg [%]"),
            QStringLiteral("Ir [A]"),
            QStringLiteral("Is [A]"),
            QStringLiteral("It [A]"),
            QCoreApplication::translate("records", "Iavg [A]"),
            QStringLiteral("In [A]"),
            QStringLiteral("Ur [V]"),
            QStringLiteral("Us [V]"),
            QStringLiteral("Ut [V]"),
            QCoreApplication::translate("records", "Uavg [V]"),
            QCoreApplication::translate("records", "Heat Q [%]"),
            QStringLiteral("cos phi"),
            QCoreApplication::translate("records", "P [kW]"),
            QCoreApplication::translate("records", "Fault word"),
            QCoreApplication::translate("records", "Faults"),
            QStringLiteral("K1"),
            QStringLiteral("K2"),
            QCoreApplication::translate("records", "Lost reads")};
}

QStringList logFields(const QDateTime& time, const Measurements& r, int lostReads, const LogContext& c) {
    QStringList f;
    f << isoTime(time);
    for (int i = 0; i < 3; ++i)
        f << *display::currentText(r[size_t(i)], false, c.variant, 0);
    f << *display::averageText(r[0] + r[1] + r[2], false, c.variant, 0);
    const auto scale = display::ampereScaleFor(c.variant, r[11]);
    for (int i = 0; i < 3; ++i)
        f << (scale ? display::currentText(r[size_t(i)], true, c.variant, scale->scale).value_or(QString())
                    : QString());
    f << (scale ? display::averageText(r[0] + r[1] + r[2], true, c.variant, scale->scale).value_or(QString())
                : QString());
    QString in = scale ? scale->inLabel : QString();
    if (in.endsWith(QLatin1Char('A'))) in.chop(1);
    f << in;
    f << QString::number(r[3]) << QString::number(r[4]) << QString::number(r[5])
      << QString::number((r[3] + r[4] + r[5]) / 3);
    f << QString::number(r[6]) << display::cosText(r[7]) << display::powerText(r[8], c.decimalSeparator);
    f << faultWordHex(r[9]) << faultNames(r[9], c.faultNames);
    f << QString::number((r[10] & kRelayK1) ? 1 : 0) << QString::number((r[10] & kRelayK2) ? 1 : 0);
    f << QString::number(lostReads);
    return f;
}

} // namespace records

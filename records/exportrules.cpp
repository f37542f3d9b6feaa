#include "records/exportrules.h"

#include <QCoreApplication>

namespace records {

namespace {} // namespace

int bcdValue(quint8 bcd) {
    return (bcd >> 4) * 10 + (bcd & 0x0F);
}

QList<ListedTrip> listedTrips(const faults::FaultRecords& records,
                              const std::function<QString(int column, int row)>& cells) {
    QList<ListedTrip> out;
    for (int n = 0; n < faults::kRecords; ++n) {
        const int gridRow = n + 1;
        const QString cause = cells(1, gridRow);
        if (cause.trimmed().isEmpty()) continue;
        ListedTrip t;
        t.number = cells(0, gridRow).trimmed();
        t.row = faults::FaultRow{cause, cells(2, gridRow), cells(3, gridRow)};
        t.record = records[size_t(n)];
        out << t;
    }
    return out;
}

QList<QStringList> faultCsvLines(const QList<ListedTrip>& trips) {
    QList<QStringList> lines;
    lines << QStringList{
        QCoreApplication::translate("records", "No."),       QCoreApplication::translate("records", "Causes"),
        QCoreApplication::translate("records", "Day"),       QCoreApplication::translate("records", "Month"),
        QCoreApplication::translate("records", "Hour"),      QCoreApplication::translate("records", "Minute"),
        QCoreApplication::translate("records", "Cause byte")};
    for (const ListedTrip& t : trips) {
        const faults::FaultRecord& r = t.record;
        lines << QStringList{t.number,
                             t.row.cause.trimmed(),
                             QString::number(bcdValue(r.day)),
                             QString::number(bcdValue(r.month)),
                             QString::number(bcdValue(r.hour)),
                             QString::number(bcdValue(r.minute)),
                             QStringLiteral("0x%1")
                                 .arg(r.cause, 2, 16, QLatin1Char('0'))
                                 .toUpper()
                                 .replace(QLatin1String("0X"), QLatin1String("0x"))};
    }
    return lines;
}

QString faultText(const QList<ListedTrip>& trips, const QString& title) {
    QString out = title + QLatin1Char('\n');
    if (trips.isEmpty())
        return out + QCoreApplication::translate("records", "No trips are listed.") + QLatin1Char('\n');
    int causeWidth = 0;
    for (const ListedTrip& t : trips)
        causeWidth = std::max<int>(causeWidth, int(t.row.cause.trimmed().size()));
    for (const ListedTrip& t : trips)
        out += QStringLiteral("%1  %2  %3  %4\n")
                   .arg(t.number, 3)
                   .arg(t.row.cause.trimmed(), -causeWidth)
                   .arg(t.row.date.trimmed(), -14)
                   .arg(t.row.time.trimmed(), 5);
    return out;
}

QStringList chartCsvHeader() {
    return {QCoreApplication::translate("records", "Sample"),
            QStringLiteral("Ir [%]"),
            QStringLiteral("Is [%]"),
            QStringLiteral("It [%]"),
            QStringLiteral("Ur [V]"),
            QStringLiteral("Us [V]"),
            QStringLiteral("Ut [V]"),
            QCoreApplication::translate("records", "Heat Q [%]"),
            QCoreApplication::translate("records", "cos phi [0.01]"),
            QCoreApplication::translate("records", "P [W]")};
}

QList<QStringList> chartCsvLines(const recorder::History& h) {
    QList<QStringList> lines;
    lines << chartCsvHeader();
    for (int i = 0; i < recorder::kSamples; ++i) {
        QStringList l{QString::number(i)};
        for (int c = 0; c < recorder::kChannels; ++c)
            l << QString::number(h[size_t(c)][size_t(i)]);
        lines << l;
    }
    return lines;
}

} // namespace records

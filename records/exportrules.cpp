#include "records/exportrules.h"

#include "records/csv.h"
#include "records/sampletimes.h"

#include <QCoreApplication>

namespace records {

namespace {

QString hexByte(quint8 byte) {
    return QStringLiteral("0x%1")
        .arg(int(byte), 2, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QLatin1String("0X"), QLatin1String("0x"));
}

// A date field as a number, or its stored bytes when it is no BCD number.
QString dateField(quint8 bcd) {
    return faults::validBcd(bcd) ? QString::number(bcdValue(bcd)) : hexByte(bcd);
}

} // namespace

faults::BlockStates allFresh() {
    faults::BlockStates states;
    states.fill(faults::BlockState::Fresh);
    return states;
}

QString tripNote(const ListedTrip& t) {
    QStringList notes;
    if (t.stale) notes << faults::staleText();
    if (t.problem != faults::RecordProblem::None) notes << faults::problemText(t.problem);
    return notes.join(QStringLiteral("; "));
}

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

QList<QStringList> faultCsvLines(const QList<ListedTrip>& trips, const faults::BlockStates& states) {
    QList<QStringList> lines;
    lines << QStringList{QCoreApplication::translate("records", "No."),
                         QCoreApplication::translate("records", "Causes"),
                         QCoreApplication::translate("records", "Day"),
                         QCoreApplication::translate("records", "Month"),
                         QCoreApplication::translate("records", "Hour"),
                         QCoreApplication::translate("records", "Minute"),
                         QCoreApplication::translate("records", "Cause byte"),
                         QCoreApplication::translate("records", "Note")};
    for (const ListedTrip& t : trips) {
        const faults::FaultRecord& r = t.record;
        // As the grid: a record without a cause shows no date.
        const bool dated = !t.row.date.isEmpty();
        lines << QStringList{t.number,
                             t.row.cause.trimmed(),
                             dated ? dateField(r.day) : QString(),
                             dated ? dateField(r.month) : QString(),
                             dated ? dateField(r.hour) : QString(),
                             dated ? dateField(r.minute) : QString(),
                             hexByte(r.cause),
                             tripNote(t)};
    }
    // The records never read: unknown, not empty.
    const QString never = faults::slotRanges(states, faults::BlockState::Never);
    if (!never.isEmpty())
        for (const QString& range : never.split(QStringLiteral(", ")))
            lines << QStringList{
                range,     QString(),
                QString(), QString(),
                QString(), QString(),
                QString(), QCoreApplication::translate("records", "not read from the relay")};
    return lines;
}

QString faultText(const QList<ListedTrip>& trips, const QString& title, const faults::BlockStates& states) {
    QString out = title + QLatin1Char('\n');
    const QStringList notice = faults::coverageNotice(states);
    for (const QString& line : notice)
        out += line + QLatin1Char('\n');
    if (faults::slotRanges(states, faults::BlockState::Never) == QStringLiteral("1-%1").arg(faults::kRecords))
        return out; // nothing known
    if (trips.isEmpty())
        return out + QCoreApplication::translate("records", "No trips are listed.") + QLatin1Char('\n');
    int causeWidth = 0;
    for (const ListedTrip& t : trips)
        causeWidth = std::max<int>(causeWidth, int(t.row.cause.trimmed().size()));
    for (const ListedTrip& t : trips) {
        const QString note = tripNote(t);
        QString line = QStringLiteral("%1  %2  %3  %4")
                           .arg(t.number, 3)
                           .arg(t.row.cause.trimmed(), -causeWidth)
                           .arg(t.row.date.trimmed(), -14)
                           .arg(t.row.time.trimmed(), 5);
        if (!note.isEmpty()) line += QStringLiteral("  (%1)").arg(note);
        out += line + QLatin1Char('\n');
    }
    return out;
}

QByteArray textFileBytes(const QString& text) {
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return kUtf8Bom + crlf.toUtf8();
}

QStringList chartCsvHeader() {
    return {QCoreApplication::translate("records", "Sample"),
            QCoreApplication::translate("records", "Time"),
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

QList<QStringList> chartCsvLines(const recorder::History& h, const SampleTimes* times) {
    QList<QStringList> lines;
    lines << chartCsvHeader();
    // Samples never taken are zeros in the history, not measurements: left out.
    for (int i = times ? times->firstTaken() : 0; i < recorder::kSamples; ++i) {
        QStringList l{QString::number(i),
                      times ? times->at(i).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) : QString()};
        for (int c = 0; c < recorder::kChannels; ++c)
            l << QString::number(h[size_t(c)][size_t(i)]);
        lines << l;
    }
    return lines;
}

} // namespace records

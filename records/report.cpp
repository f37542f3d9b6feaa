#include "records/report.h"

#include "setpoints/rules.h"

#include <cmath>
#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace records {

namespace {
bool validBcd(int byte) {
    return (byte & 0x0F) <= 9 && (byte >> 4) <= 9;
}
} // namespace

std::optional<RelayClock> relayClock(qint32 dateRegister, qint32 timeRegister) {
    const int bytes[4] = {(dateRegister >> 8) & 0xFF, dateRegister & 0xFF, (timeRegister >> 8) & 0xFF,
                          timeRegister & 0xFF};
    for (int b : bytes)
        if (!validBcd(b)) return std::nullopt;
    RelayClock c{bcdValue(quint8(bytes[0])), bcdValue(quint8(bytes[1])), bcdValue(quint8(bytes[2])),
                 bcdValue(quint8(bytes[3]))};
    if (c.month < 1 || c.month > 12 || c.day < 1 || c.day > 31 || c.hour > 23 || c.minute > 59)
        return std::nullopt;
    return c;
}

qint64 clockDifferenceMinutes(const RelayClock& relay, const QDateTime& pc) {
    const QDateTime pcMinute(pc.date(), QTime(pc.time().hour(), pc.time().minute()));
    std::optional<qint64> best;
    for (int year = pc.date().year() - 1; year <= pc.date().year() + 1; ++year) {
        const QDate d(year, relay.month, relay.day);
        if (!d.isValid()) continue; // 29 February in another year
        const QDateTime r(d, QTime(relay.hour, relay.minute));
        const qint64 diff = pcMinute.secsTo(r) / 60;
        if (!best || std::llabs(diff) < std::llabs(*best)) best = diff;
    }
    return best.value_or(0);
}

QString differenceText(qint64 minutes) {
    const QString sign = minutes > 0 ? QStringLiteral("+") : minutes < 0 ? QStringLiteral("-") : QString();
    const qint64 m = std::llabs(minutes);
    if (m < 60) return QCoreApplication::translate("records", "%1%2 min").arg(sign).arg(m);
    return QCoreApplication::translate("records", "%1%2 h %3 min")
        .arg(sign)
        .arg(m / 60)
        .arg(m % 60, 2, 10, QLatin1Char('0'));
}

QList<ReportLine> reportLines(const ReportData& d) {
    QList<ReportLine> out;
    auto text = [&out](LineKind k, const QString& s) { out << ReportLine{k, {s}}; };
    text(LineKind::Title, QCoreApplication::translate("records", "Commissioning report"));
    const QString created = QLocale().toString(d.created.date(), QLocale::LongFormat) + QLatin1Char(' ') +
                            d.created.time().toString(QStringLiteral("HH:mm"));
    text(LineKind::Text, QCoreApplication::translate("records", "Date: %1").arg(created));
    const QString variantText = d.variant >= 1 && d.variant <= 3
                                    ? QCoreApplication::translate("records", "%1 (%2 A relay)")
                                          .arg(d.variant)
                                          .arg(d.variant == 1   ? 20
                                               : d.variant == 2 ? 100
                                                                : 250)
                                    : QCoreApplication::translate("records", "not known");
    text(LineKind::Text, QCoreApplication::translate("records", "Relay variant: %1").arg(variantText));
    text(LineKind::Text, QCoreApplication::translate("records", "Bus address: %1").arg(d.busAddress));

    text(LineKind::Heading, QCoreApplication::translate("records", "Relay clock"));
    if (d.clock) {
        const RelayClock& c = *d.clock;
        text(LineKind::Text,
             QCoreApplication::translate("records", "Relay: %1.%2 %3:%4   PC: %5   difference: %6")
                 .arg(c.month, 2, 10, QLatin1Char('0'))
                 .arg(c.day, 2, 10, QLatin1Char('0'))
                 .arg(c.hour, 2, 10, QLatin1Char('0'))
                 .arg(c.minute, 2, 10, QLatin1Char('0'))
                 .arg(QLocale().toString(d.clockReadAt, QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                 .arg(differenceText(clockDifferenceMinutes(c, d.clockReadAt))));
    } else {
        text(LineKind::Text, QCoreApplication::translate("records", "The relay's clock could not be read."));
    }

    text(LineKind::Heading, QCoreApplication::translate("records", "Setpoints as read from the relay"));
    if (d.setpointImage.isEmpty()) {
        text(LineKind::Text,
             QCoreApplication::translate("records", "The setpoints have not been read from the relay."));
    } else {
        out << ReportLine{LineKind::TableHeader,
                          {QCoreApplication::translate("records", "No."),
                           QCoreApplication::translate("records", "Setpoint"),
                           QCoreApplication::translate("records", "Value"),
                           QCoreApplication::translate("records", "Range and unit")}};
        const auto texts = setpoints::textsFromImage(d.setpointImage);
        for (int r = 0; r <= setpoints::kVariantRow; ++r)
            out << ReportLine{LineKind::Row,
                              {QString::number(r + 1), setpoints::parameterName(d.names.value(r)),
                               texts.value(r).value_or(QStringLiteral("?")), d.hints.value(r).trimmed()}};
    }

    text(LineKind::Heading, QCoreApplication::translate("records", "Differences to a setpoint file"));
    if (d.compareFile.isEmpty()) {
        text(LineKind::Text, QCoreApplication::translate("records", "No setpoint file was chosen."));
    } else {
        text(LineKind::Text, QCoreApplication::translate("records", "File: %1").arg(d.compareFile));
        QList<ReportLine> rows;
        for (const setpoints::FileComparison& c : d.comparison)
            if (c.differs || !c.relayKnown)
                rows << ReportLine{
                    LineKind::Row,
                    {QString::number(c.row + 1), setpoints::parameterName(d.names.value(c.row)),
                     c.relayKnown ? c.relayText : QCoreApplication::translate("records", "not known"),
                     c.fileText}};
        if (rows.isEmpty()) {
            text(LineKind::Text,
                 QCoreApplication::translate("records", "The relay holds every value of the file."));
        } else {
            out << ReportLine{LineKind::TableHeader,
                              {QCoreApplication::translate("records", "No."),
                               QCoreApplication::translate("records", "Setpoint"),
                               QCoreApplication::translate("records", "Relay"),
                               QCoreApplication::translate("records", "File")}};
            out << rows;
        }
    }

    out << ReportLine{LineKind::PageBreak, {}};
    text(LineKind::Heading, QCoreApplication::translate("records", "Fault log"));
    if (!d.faultsRead) {
        text(LineKind::Text,
             QCoreApplication::translate("records", "The fault log has not been read from the relay."));
        return out;
    }
    // What the last read did not get: never read, or kept from an earlier read.
    for (const QString& line : faults::coverageNotice(d.faultStates))
        text(LineKind::Text, line);
    if (d.trips.isEmpty()) {
        text(LineKind::Text, QCoreApplication::translate("records", "No trips are listed."));
    } else {
        out << ReportLine{
            LineKind::TableHeader,
            {QCoreApplication::translate("records", "No."), QCoreApplication::translate("records", "Causes"),
             QCoreApplication::translate("records", "Date"), QCoreApplication::translate("records", "Time")}};
        for (const ListedTrip& t : d.trips) {
            // The note first, so a long cause cannot push it out of its column.
            const QString note = tripNote(t);
            const QString cause = note.isEmpty() ? t.row.cause.trimmed()
                                                 : QStringLiteral("(%1) %2").arg(note, t.row.cause.trimmed());
            out << ReportLine{LineKind::Row, {t.number, cause, t.row.date.trimmed(), t.row.time.trimmed()}};
        }
    }
    return out;
}

QByteArray reportPdf(const ReportData& d) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(96);
    pdf.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
    pdf.setTitle(QCoreApplication::translate("records", "Commissioning report"));
    pdf.setCreator(QCoreApplication::applicationName());
    QPainter p(&pdf);
    const int width = pdf.width();
    const int height = pdf.height();
    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPointSizeF(9.5);
    QFont bold = body;
    bold.setBold(true);
    QFont heading = bold;
    heading.setPointSizeF(12);
    QFont title = bold;
    title.setPointSizeF(17);
    const int columns[4] = {0, 40, int(width * 0.52), int(width * 0.66)};
    int y = 0;
    auto newPage = [&] {
        pdf.newPage();
        y = 0;
    };
    auto room = [&](int h) {
        if (y + h > height) newPage();
    };
    for (const ReportLine& l : reportLines(d)) {
        switch (l.kind) {
        case LineKind::PageBreak:
            newPage();
            break;
        case LineKind::Title: {
            p.setFont(title);
            const int h = QFontMetrics(title, &pdf).height();
            room(h);
            p.drawText(QRect(0, y, width, h), Qt::AlignLeft | Qt::AlignVCenter, l.cells.value(0));
            y += h + 10;
            break;
        }
        case LineKind::Heading: {
            p.setFont(heading);
            const int h = QFontMetrics(heading, &pdf).height();
            y += 12;
            room(h + 4);
            p.drawText(QRect(0, y, width, h), Qt::AlignLeft | Qt::AlignVCenter, l.cells.value(0));
            y += h;
            p.drawLine(0, y + 1, width, y + 1);
            y += 6;
            break;
        }
        case LineKind::Text: {
            p.setFont(body);
            const QRect r = QFontMetrics(body, &pdf)
                                .boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, l.cells.value(0));
            room(r.height());
            p.drawText(QRect(0, y, width, r.height()), Qt::TextWordWrap, l.cells.value(0));
            y += r.height() + 2;
            break;
        }
        case LineKind::TableHeader:
        case LineKind::Row: {
            const QFont& f = l.kind == LineKind::TableHeader ? bold : body;
            p.setFont(f);
            const QFontMetrics m(f, &pdf);
            const int h = m.height() + 3;
            room(h);
            for (int c = 0; c < 4 && c < l.cells.size(); ++c) {
                const int right = c + 1 < 4 ? columns[c + 1] - 6 : width;
                p.drawText(QRect(columns[c], y, right - columns[c], h), Qt::AlignLeft | Qt::AlignVCenter,
                           m.elidedText(l.cells[c], Qt::ElideRight, right - columns[c]));
            }
            y += h;
            if (l.kind == LineKind::TableHeader) {
                p.drawLine(0, y, width, y);
                y += 2;
            }
            break;
        }
        }
    }
    p.end();
    return buffer.data();
}

} // namespace records

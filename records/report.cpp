#include "records/report.h"

#include "monitor/display.h"
#include "records/pollrules.h"
#include "setpoints/rules.h"

#include <cmath>
#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QHash>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextOption>
#include <QtMath>

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

QList<int> columnWidths(const QList<int>& percents, const QList<int>& minimum, int width) {
    QList<int> w;
    for (int share : percents)
        w << width * share / 100;
    qint64 deficit = 0, room = 0;
    for (int c = 0; c < w.size(); ++c) {
        const int need = minimum.value(c);
        if (w[c] < need)
            deficit += need - w[c];
        else
            room += w[c] - need;
    }
    if (deficit > 0 && room > 0) {
        const qint64 taken = std::min(deficit, room);
        qint64 given = 0;
        for (int c = 0; c < w.size(); ++c)
            if (w[c] < minimum.value(c)) {
                const qint64 gets = (minimum.value(c) - w[c]) * taken / deficit;
                w[c] += int(gets);
                given += gets;
            }
        qint64 left = given; // what the others give, in proportion to their room
        for (int c = 0; c < w.size() && left > 0; ++c)
            if (w[c] > minimum.value(c)) {
                const qint64 spare = w[c] - minimum.value(c);
                const qint64 gives = std::min({left, spare, spare * given / room + 1});
                w[c] -= int(gives);
                left -= gives;
            }
    }
    // The last column ends at the page's edge.
    int used = 0;
    for (int c = 0; c + 1 < w.size(); ++c)
        used += w[c];
    if (!w.isEmpty()) w.last() = width - used;
    return w;
}

QList<int> outOfRange(const QVector<qint32>& image) {
    QList<int> out;
    if (image.size() < setpoints::kRows) return out;
    QStringList cells;
    for (const std::optional<QString>& t : setpoints::textsFromImage(image))
        cells << t.value_or(QString());
    for (int n = 1; n <= setpoints::kParameters; ++n)
        if (setpoints::parameterInvalid(n, cells)) out << n;
    return out;
}

namespace {

QString readAtText(const QDateTime& at) {
    return at.isValid()
               ? QCoreApplication::translate("records", "Read from the relay at %1.")
                     .arg(at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
               : QCoreApplication::translate(
                     "records",
                     "Read from the relay earlier in this session; the time of the read is not known.");
}

QString variantText(int variant) {
    if (variant < 1 || variant > 3) return QCoreApplication::translate("records", "not known");
    return QCoreApplication::translate("records", "%1 (%2 A relay)")
        .arg(variant)
        .arg(variant == 1   ? 20
             : variant == 2 ? 100
                            : 250);
}

QString actionText(const QString& action) {
    if (action == QLatin1String("write")) return QCoreApplication::translate("records", "setpoint written");
    if (action == QLatin1String("clock")) return QCoreApplication::translate("records", "clock set");
    if (action == QLatin1String("reset")) return QCoreApplication::translate("records", "fault reset");
    return action;
}

QString stateText(const QString& state) {
    if (state == QLatin1String("confirmed"))
        return QCoreApplication::translate("records", "confirmed by read-back");
    if (state == QLatin1String("not confirmed"))
        return QCoreApplication::translate("records", "NOT confirmed");
    if (state == QLatin1String("not sent")) return QCoreApplication::translate("records", "not sent");
    if (state == QLatin1String("refused")) return QCoreApplication::translate("records", "refused");
    return state;
}

void measurementLines(const ReportData& d, QList<ReportLine>& out) {
    auto field = [&out](const QString& label, const QString& value) {
        out << ReportLine{LineKind::Field, {label, value}};
    };
    if (d.measurement.size() < 12) {
        out << ReportLine{
            LineKind::Text,
            {d.connected
                 ? QCoreApplication::translate("records",
                                               "The measured values could not be read from the relay.")
                 : QCoreApplication::translate(
                       "records", "The measured values were not read: the relay was not connected.")}};
        return;
    }
    out << ReportLine{LineKind::Text, {readAtText(d.measuredAt)}};
    const QVector<qint32>& r = d.measurement;
    const auto scale = display::ampereScaleFor(d.variant, r[11]);
    QStringList currents;
    for (int i = 0; i < 3; ++i) {
        const int percent = display::cutLowCurrent(r[i]);
        QString c = QStringLiteral("%1 %").arg(percent);
        if (scale)
            if (const auto a = display::currentText(percent, true, d.variant, scale->scale))
                c += QStringLiteral(" (%1 A)").arg(*a);
        currents << c;
    }
    field(QCoreApplication::translate("records", "Phase currents Ir, Is, It"),
          currents.join(QStringLiteral(",   ")));
    field(QCoreApplication::translate("records", "Phase voltages Ur, Us, Ut"),
          QStringLiteral("%1 V,   %2 V,   %3 V").arg(r[3]).arg(r[4]).arg(r[5]));
    field(QCoreApplication::translate("records", "Motor heat Q"), QStringLiteral("%1 %").arg(r[6]));
    field(QCoreApplication::translate("records", "cos phi"), display::cosText(r[7]));
    field(QCoreApplication::translate("records", "Active power P"),
          display::powerText(r[8], QLocale().decimalPoint().at(0)) + QStringLiteral(" kW"));
    const bool k1 = r[10] & kRelayK1, k2 = r[10] & kRelayK2;
    field(QCoreApplication::translate("records", "Output relays"),
          QCoreApplication::translate("records", "K1 %1,   K2 %2")
              .arg(k1 ? QCoreApplication::translate("records", "on")
                      : QCoreApplication::translate("records", "off"),
                   k2 ? QCoreApplication::translate("records", "on")
                      : QCoreApplication::translate("records", "off")));
    field(QCoreApplication::translate("records", "Fault word"),
          r[9] == 0 ? QCoreApplication::translate("records", "%1 (no fault)").arg(faultWordHex(r[9]))
                    : faultWordHex(r[9]));
}

} // namespace

QString runningHeader(const ReportData& d) {
    QString relay = QCoreApplication::translate("records", "Relay at address %1").arg(d.busAddress);
    if (!d.port.isEmpty()) relay += QCoreApplication::translate("records", " on %1").arg(d.port);
    if (d.variant >= 1 && d.variant <= 3)
        relay += QCoreApplication::translate("records", ", variant %1").arg(variantText(d.variant));
    return relay + QStringLiteral("   \u2022   ") + QLocale().toString(d.created.date(), QLocale::LongFormat);
}

QList<ReportLine> reportLines(const ReportData& d) {
    QList<ReportLine> out;
    auto text = [&out](LineKind k, const QString& s) { out << ReportLine{k, {s}}; };
    auto field = [&out](const QString& label, const QString& value) {
        out << ReportLine{LineKind::Field, {label, value}};
    };
    auto header = [&out](const QStringList& cells, const QList<int>& widths) {
        out << ReportLine{LineKind::TableHeader, cells, widths};
    };
    text(LineKind::Title, QCoreApplication::translate("records", "Commissioning report"));
    const QString created = QLocale().toString(d.created.date(), QLocale::LongFormat) + QLatin1Char(' ') +
                            d.created.time().toString(QStringLiteral("HH:mm"));
    field(QCoreApplication::translate("records", "Date"), created);
    field(QCoreApplication::translate("records", "Technician"), d.visit.technician);
    field(QCoreApplication::translate("records", "Customer"), d.visit.customer);
    field(QCoreApplication::translate("records", "Site"), d.visit.site);
    field(QCoreApplication::translate("records", "Motor tag"), d.visit.motorTag);
    field(QCoreApplication::translate("records", "Nameplate In"), d.visit.nameplate);
    field(QCoreApplication::translate("records", "Remark"), d.visit.remark);

    text(LineKind::Heading, QCoreApplication::translate("records", "Relay and connection"));
    field(QCoreApplication::translate("records", "Relay variant"), variantText(d.variant));
    field(QCoreApplication::translate("records", "Bus address"), QString::number(d.busAddress));
    field(QCoreApplication::translate("records", "Port"), d.port);
    field(QCoreApplication::translate("records", "Line settings"), d.line);
    field(QCoreApplication::translate("records", "Program version"), d.programVersion);

    text(LineKind::Heading, QCoreApplication::translate("records", "Measured values"));
    measurementLines(d, out);

    text(LineKind::Heading, QCoreApplication::translate("records", "Setpoints as read from the relay"));
    if (d.setpointImage.isEmpty()) {
        text(LineKind::Text,
             QCoreApplication::translate("records", "The setpoints have not been read from the relay."));
    } else {
        text(LineKind::Text, readAtText(d.setpointsReadAt));
        const QList<int> outside = outOfRange(d.setpointImage);
        if (!outside.isEmpty()) {
            QStringList numbers;
            for (int n : outside)
                numbers << QString::number(n);
            text(LineKind::Text,
                 QCoreApplication::translate("records", "Values outside their ranges: parameter %1.")
                     .arg(numbers.join(QStringLiteral(", "))));
        }
        header({QCoreApplication::translate("records", "No."),
                QCoreApplication::translate("records", "Setpoint"),
                QCoreApplication::translate("records", "Value"),
                QCoreApplication::translate("records", "Range and unit"),
                QCoreApplication::translate("records", "Check")},
               {6, 38, 12, 22, 22});
        const auto texts = setpoints::textsFromImage(d.setpointImage);
        for (int r = 0; r <= setpoints::kVariantRow; ++r)
            out << ReportLine{LineKind::Row,
                              {QString::number(r + 1), setpoints::parameterName(d.names.value(r)),
                               texts.value(r).value_or(QStringLiteral("?")), d.hints.value(r).trimmed(),
                               outside.contains(r + 1)
                                   ? QCoreApplication::translate("records", "OUT OF RANGE")
                                   : QString()}};
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
            header({QCoreApplication::translate("records", "No."),
                    QCoreApplication::translate("records", "Setpoint"),
                    QCoreApplication::translate("records", "Relay"),
                    QCoreApplication::translate("records", "File")},
                   {6, 54, 20, 20});
            out << rows;
        }
    }

    text(LineKind::Heading, QCoreApplication::translate("records", "Relay clock"));
    if (d.clock) {
        const RelayClock& c = *d.clock;
        text(LineKind::Text,
             QCoreApplication::translate("records", "Relay: %1.%2 %3:%4   PC: %5   difference: %6")
                 .arg(c.month, 2, 10, QLatin1Char('0'))
                 .arg(c.day, 2, 10, QLatin1Char('0'))
                 .arg(c.hour, 2, 10, QLatin1Char('0'))
                 .arg(c.minute, 2, 10, QLatin1Char('0'))
                 .arg(d.clockReadAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                 .arg(differenceText(clockDifferenceMinutes(c, d.clockReadAt))));
    } else {
        text(LineKind::Text, QCoreApplication::translate("records", "The relay's clock could not be read."));
    }

    text(LineKind::Heading,
         QCoreApplication::translate("records", "Changes made on the relay during this session"));
    if (!d.actions) {
        text(LineKind::Text,
             QCoreApplication::translate("records",
                                         "The changes made on the relay could not be read from the service "
                                         "journal: %1")
                 .arg(d.actionsError));
    } else if (d.actions->isEmpty()) {
        text(LineKind::Text,
             QCoreApplication::translate(
                 "records", "No setpoint was written, the clock was not set and no fault reset was sent "
                            "since the program started."));
    } else {
        header(
            {QCoreApplication::translate("records", "Time"), QCoreApplication::translate("records", "Change"),
             QCoreApplication::translate("records", "Setpoint"),
             QCoreApplication::translate("records", "Before"), QCoreApplication::translate("records", "Sent"),
             QCoreApplication::translate("records", "Result")},
            {11, 20, 25, 11, 11, 22});
        for (const VisitAction& a : *d.actions)
            out << ReportLine{LineKind::Row,
                              {a.time.toString(QStringLiteral("HH:mm:ss")), actionText(a.action), a.parameter,
                               a.before, a.sent, stateText(a.state)}};
    }

    text(LineKind::Heading, QCoreApplication::translate("records", "Fault log"));
    if (!d.faultsRead) {
        text(LineKind::Text,
             QCoreApplication::translate("records", "The fault log has not been read from the relay."));
    } else {
        text(LineKind::Text, readAtText(d.faultsReadAt));
        // What the last read did not get: never read, or kept from an earlier read.
        for (const QString& line : faults::coverageNotice(d.faultStates))
            text(LineKind::Text, line);
        if (d.trips.isEmpty()) {
            text(LineKind::Text, QCoreApplication::translate("records", "No trips are listed."));
        } else {
            header({QCoreApplication::translate("records", "No."),
                    QCoreApplication::translate("records", "Causes"),
                    QCoreApplication::translate("records", "Date"),
                    QCoreApplication::translate("records", "Time")},
                   {7, 55, 26, 12});
            for (const ListedTrip& t : d.trips) {
                const QString note = tripNote(t);
                const QString cause = note.isEmpty()
                                          ? t.row.cause.trimmed()
                                          : QStringLiteral("%1 (%2)").arg(t.row.cause.trimmed(), note);
                out << ReportLine{LineKind::Row,
                                  {t.number, cause, t.row.date.trimmed(), t.row.time.trimmed()}};
            }
        }
    }

    text(LineKind::Heading, QCoreApplication::translate("records", "Signatures"));
    out << ReportLine{LineKind::Signature,
                      {QCoreApplication::translate("records", "Technician"),
                       QCoreApplication::translate("records", "Customer")}};
    return out;
}

namespace {

constexpr int kSignatureLines = 8; // the height of the signature block, in lines of text

// Lays the lines out on A4 pages and draws them; pages is the count the
// footers give ("page x of y"; 0 while counting). Returns the pages used.
int render(const ReportData& d, const QList<ReportLine>& lines, QIODevice* device, int pages) {
    QPdfWriter pdf(device);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(96);
    pdf.setPageMargins(QMarginsF(18, 14, 18, 14), QPageLayout::Millimeter);
    pdf.setTitle(QCoreApplication::translate("records", "Commissioning report"));
    pdf.setCreator(QCoreApplication::applicationName());
    QPainter p(&pdf);
    const int width = pdf.width();
    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPointSizeF(9.5);
    QFont bold = body;
    bold.setBold(true);
    QFont small = body;
    small.setPointSizeF(8);
    QFont heading = bold;
    heading.setPointSizeF(12);
    QFont title = bold;
    title.setPointSizeF(17);
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    auto textHeight = [&](const QFont& f, const QString& s, int w) {
        p.setFont(f);
        return qCeil(p.boundingRect(QRectF(0, 0, w, 100000), s, wrap).height());
    };
    // The header wraps like every text: a long port name is never cut.
    const QString headerText = runningHeader(d);
    const int headerHeight = textHeight(small, headerText, width) + 4;
    const int footerHeight = QFontMetrics(small, &pdf).height() + 6;
    const int top = headerHeight + 10;
    const int bottom = pdf.height() - footerHeight - 4;
    int page = 1;
    int y = top;
    auto decorate = [&] {
        p.save();
        p.setFont(small);
        p.setPen(Qt::darkGray);
        p.drawText(QRectF(0, 0, width, headerHeight), headerText, wrap);
        p.drawLine(0, headerHeight + 2, width, headerHeight + 2);
        const QString footer = QCoreApplication::translate("records", "Page %1 of %2")
                                   .arg(page)
                                   .arg(pages > 0 ? QString::number(pages) : QStringLiteral("?"));
        const int footerTop = pdf.height() - footerHeight;
        p.drawLine(0, footerTop, width, footerTop);
        p.drawText(QRect(0, footerTop + 2, width, footerHeight - 2), Qt::AlignRight | Qt::AlignVCenter,
                   footer);
        p.drawText(QRect(0, footerTop + 2, width, footerHeight - 2), Qt::AlignLeft | Qt::AlignVCenter,
                   QCoreApplication::translate("records", "Commissioning report"));
        p.restore();
    };
    auto newPage = [&] {
        pdf.newPage();
        ++page;
        y = top;
        decorate();
    };
    const ReportLine* tableHeader = nullptr;
    // A heading's words are never broken: its column is as wide as its longest word.
    QHash<const ReportLine*, QList<int>> columns;
    auto columnsOf = [&](const ReportLine& header) -> const QList<int>& {
        auto it = columns.find(&header);
        if (it != columns.end()) return *it;
        const QFontMetrics fm(bold, &pdf);
        QList<int> minimum;
        for (const QString& cell : header.cells) {
            int longest = 0;
            for (const QString& word : cell.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                longest = std::max(longest, fm.horizontalAdvance(word));
            minimum << longest + 8;
        }
        return *columns.insert(&header, columnWidths(header.widths, minimum, width));
    };
    auto cellBox = [&](const ReportLine& header, int c) {
        const QList<int>& w = columnsOf(header);
        int left = 0;
        for (int i = 0; i < c; ++i)
            left += w.value(i);
        const int cell = c + 1 < w.size() ? w.value(c) - 6 : width - left;
        return std::pair<int, int>{left, cell};
    };
    auto rowHeight = [&](const ReportLine& l, const ReportLine& header, const QFont& f) {
        int h = QFontMetrics(f, &pdf).height();
        for (int c = 0; c < l.cells.size(); ++c)
            h = std::max(h, textHeight(f, l.cells[c], cellBox(header, c).second));
        return h + 4;
    };
    auto drawRow = [&](const ReportLine& l, const ReportLine& header, bool isHeader) {
        const QFont& f = isHeader ? bold : body;
        const int h = rowHeight(l, header, f);
        p.setFont(f);
        for (int c = 0; c < l.cells.size(); ++c) {
            const auto [left, w] = cellBox(header, c);
            p.drawText(QRectF(left, y + 2, w, h), l.cells[c], wrap);
        }
        y += h;
        if (isHeader) {
            p.drawLine(0, y, width, y);
            y += 2;
        } else {
            p.save();
            p.setPen(QColor(210, 210, 210));
            p.drawLine(0, y, width, y);
            p.restore();
        }
    };
    const int bodyLine = QFontMetrics(body, &pdf).height();

    decorate();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ReportLine& l = lines[i];
        switch (l.kind) {
        case LineKind::Title: {
            const int h = textHeight(title, l.cells.value(0), width);
            p.drawText(QRectF(0, y, width, h), l.cells.value(0), wrap);
            y += h + 10;
            break;
        }
        case LineKind::Heading: {
            tableHeader = nullptr;
            const int h = textHeight(heading, l.cells.value(0), width);
            y += 12;
            // A heading never ends a page: it keeps a few lines of its section with it.
            const bool signature = i + 1 < lines.size() && lines[i + 1].kind == LineKind::Signature;
            if (y + h + 6 + (signature ? kSignatureLines : 3) * bodyLine > bottom) newPage();
            p.setFont(heading);
            p.drawText(QRectF(0, y, width, h), l.cells.value(0), wrap);
            y += h;
            p.drawLine(0, y + 1, width, y + 1);
            y += 6;
            break;
        }
        case LineKind::Text: {
            tableHeader = nullptr;
            const int h = textHeight(body, l.cells.value(0), width);
            if (y + h > bottom) newPage();
            p.setFont(body);
            p.drawText(QRectF(0, y, width, h), l.cells.value(0), wrap);
            y += h + 3;
            break;
        }
        case LineKind::Field: {
            const int labelWidth = width * 32 / 100;
            const int h = std::max(textHeight(bold, l.cells.value(0), labelWidth - 8),
                                   textHeight(body, l.cells.value(1), width - labelWidth));
            if (y + h > bottom) newPage();
            p.setFont(bold);
            p.drawText(QRectF(0, y, labelWidth - 8, h), l.cells.value(0), wrap);
            p.setFont(body);
            p.drawText(QRectF(labelWidth, y, width - labelWidth, h), l.cells.value(1), wrap);
            y += h + 3;
            break;
        }
        case LineKind::TableHeader: {
            tableHeader = &l;
            const int h = rowHeight(l, l, bold);
            const int next = i + 1 < lines.size() ? rowHeight(lines[i + 1], l, body) : 0;
            if (y + h + next > bottom) newPage();
            drawRow(l, l, true);
            break;
        }
        case LineKind::Row: {
            static const ReportLine none{LineKind::TableHeader, {}, {}};
            const ReportLine& header = tableHeader ? *tableHeader : none;
            if (y + rowHeight(l, header, body) > bottom) {
                newPage();
                // The table goes on under its header again.
                if (tableHeader) drawRow(*tableHeader, *tableHeader, true);
            }
            drawRow(l, header, false);
            break;
        }
        case LineKind::Signature: {
            // For each party: its name, then a line to sign on and one for the date.
            const int h = bodyLine * kSignatureLines;
            if (y + h > bottom) newPage();
            const int column = width / qMax<qsizetype>(1, l.cells.size());
            for (int c = 0; c < l.cells.size(); ++c) {
                const int left = c * column;
                p.setFont(bold);
                p.drawText(QRect(left, y, column - 20, bodyLine), Qt::AlignLeft, l.cells[c]);
                p.setFont(small);
                int lineY = y + bodyLine * 3;
                for (const QString& caption : {QCoreApplication::translate("records", "Date"),
                                               QCoreApplication::translate("records", "Signature")}) {
                    p.drawLine(left, lineY, left + column - 30, lineY);
                    p.drawText(QRect(left, lineY + 2, column - 30, bodyLine), Qt::AlignLeft, caption);
                    lineY += bodyLine * 3;
                }
            }
            y += h;
            break;
        }
        }
    }
    p.end();
    return page;
}

} // namespace

QByteArray reportPdf(const ReportData& d) {
    const QList<ReportLine> lines = reportLines(d);
    // Laid out once to count the pages, then again with "page x of y".
    QBuffer counting;
    counting.open(QIODevice::WriteOnly);
    const int pages = render(d, lines, &counting, 0);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    render(d, lines, &buffer, pages);
    return buffer.data();
}

} // namespace records

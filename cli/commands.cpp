#include "cli/commands.h"

#include "files/files.h"

#include "cli/stopsignal.h"
#include "config/linesettings.h"
#include "faults/rules.h"
#include "monitor/display.h"
#include "protocol/registerbus.h"
#include "setpoints/readback.h"
#include "setpoints/rules.h"
#include "setpoints/setpointfile.h"
#include "wait/czekaj.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <array>
#include <memory>

namespace cli {

namespace {

constexpr int kMeasurementRegisters = 12; // registers 1..12, as the poll reads them
constexpr int kVariantRegister = 23;
constexpr uint32_t kPollPauseMs = 20;     // the poll's pause before it reads the variant
constexpr uint32_t kTransferWaitMs = 100; // the wait before a setpoint or fault-log read
constexpr uint32_t kStopCheckMs = 50;     // how often a waiting loop looks for a stop
constexpr int kOutputK1 = 0x0100;
constexpr int kOutputK2 = 0x0200;
// The caption of each fault bit on the data page: language lines, or the page's fixed texts.
constexpr int kFaultCaptionLines[7] = {24, 25, 26, 27, 0, 0, 28};
const char* const kFaultCaptionFixed[7] = {"", "", "", "", "U<85%Un", "U>115%Un", ""};
constexpr int kConnectionLost = 32; // "Unable to communicate with VRK."
constexpr int kPortBusy = 30;       // "Port Com is busy."
constexpr int kParameterMessage = 72;

// A window message for the terminal: LF line ends, no empty line after it.
QString lf(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

std::unique_ptr<Line> openLine(const Context& c, int* status) {
    auto line = std::make_unique<Line>(c.line);
    QString why;
    if (!line->open(&why)) {
        c.err << c.text(kPortBusy) << '\n' << why << Qt::endl;
        *status = kExitPort;
        return nullptr;
    }
    return line;
}

// The window's "no connection" text, and on a second line why the last exchange failed.
int lost(const Context& c, const Line& line) {
    c.err << c.text(kConnectionLost) << '\n' << line.errorString() << Qt::endl;
    return kExitRelay;
}

// The relay variant's nominal range, as the table's hint names them.
QString variantName(int variant) {
    return linescan::variantName(variant);
}

// The setpoint table's name and hint columns in the chosen language, as the window shows them.
QStringList nameTexts(const Context& c, int variant) {
    QStringList names;
    for (int r = 0; r < setpoints::kRows; ++r)
        names << c.text(33 + r);
    if (auto t = setpoints::row0Texts(variant)) names[0] = c.text(t->nameLabel - 11);
    return names;
}
QStringList hintTexts(const Context& c, int variant) {
    QStringList hints = setpoints::initialSetpointHints();
    hints[setpoints::kDateRow] = c.text(47);
    hints[setpoints::kTimeRow] = c.text(48);
    if (auto t = setpoints::row0Texts(variant)) hints[0] = t->hint;
    return hints;
}

QString padded(const QString& text, int width) {
    return text.leftJustified(width);
}

// One poll of registers 1..12, the currents cut as the data page cuts them.
struct Measurement {
    std::array<int, kMeasurementRegisters> r{};
};
bool poll(Line& line, Measurement* m) {
    if (!line.read(1, kMeasurementRegisters) || line.values().size() < kMeasurementRegisters) return false;
    for (int i = 0; i < kMeasurementRegisters; ++i)
        m->r[size_t(i)] = line.values().value(i);
    for (int i = 0; i < 3; ++i)
        m->r[size_t(i)] = display::cutLowCurrent(m->r[size_t(i)]);
    return true;
}

QStringList faultCaptions(const Context& c, int faultWord) {
    QStringList out;
    for (int bit = 0; bit < 7; ++bit)
        if ((faultWord >> bit) & 1)
            out << (kFaultCaptionLines[bit] ? c.text(kFaultCaptionLines[bit])
                                            : QString::fromLatin1(kFaultCaptionFixed[bit]));
    return out;
}

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))) return text;
    QString t = text;
    t.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

QString hundredths(int value) {
    return QString::number(value / 100.0, 'f', 2);
}

} // namespace

// ---------------------------------------------------------------- scan

int scan(const Context& c, const ScanOptions& o) {
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    watchStopSignals();
    // The steps and their order are the relay finder's (config/linesettings.h).
    const QList<linescan::Speed> speeds = linescan::speeds(o.allSpeeds, {c.line.baud, c.line.parity});
    int found = 0;
    linescan::Speed current;
    const int steps = linescan::stepCount(speeds, o.from, o.to);
    for (int i = 0; i < steps && !stopRequested(); ++i) {
        const linescan::Step step = linescan::step(speeds, o.from, o.to, i);
        if (i == 0 || !(step.speed == current)) {
            current = step.speed;
            line->setSpeed(current.baud, current.parity);
            line->setTimeout(o.timeoutMs ? o.timeoutMs
                                         : linescan::timeoutMs(current, c.line.dataBits, c.line.stopBits));
        }
        if (!line->isOpen()) return lost(c, *line);
        line->setAddress(step.address);
        const QString where =
            QStringLiteral("address=%1 line=%2")
                .arg(step.address)
                .arg(lineText(current.baud, current.parity, c.line.dataBits, c.line.stopBits));
        // Only the bus's word makes a relay found: a reply it refused (another
        // device's, an exception, a broken one) is said, never listed.
        if (!line->read(kVariantRegister, 1)) {
            const BusError e = line->error();
            if (e == BusError::DeviceGone || e == BusError::PortClosed) return lost(c, *line);
            if (e != BusError::NoReply)
                c.err << where << QStringLiteral(": ") << line->errorString() << Qt::endl;
            continue;
        }
        const int variant = line->values().value(0);
        c.out << QStringLiteral("%1 variant=%2 (%3)")
                     .arg(where)
                     .arg(variant)
                     .arg(linescan::variantName(variant))
              << Qt::endl;
        ++found;
    }
    if (found == 0) {
        c.err << QCoreApplication::translate("vrk-cli", "No relay answered.") << Qt::endl;
        return kExitRelay;
    }
    return kExitOk;
}

// ---------------------------------------------------------------- read

int readOnce(const Context& c, bool json) {
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    Measurement m;
    if (!poll(*line, &m)) return lost(c, *line);
    const auto& r = m.r;
    // The variant, after the poll's pause, for the currents in amperes.
    czekaj(kPollPauseMs);
    std::optional<int> variant;
    if (line->isOpen() && line->read(kVariantRegister, 1)) variant = line->values().value(0);
    const std::optional<display::AmpereScale> scale =
        variant ? display::ampereScaleFor(*variant, r[11]) : std::nullopt;
    std::array<std::optional<QString>, 4> amperes;
    if (scale) {
        for (int i = 0; i < 3; ++i)
            amperes[size_t(i)] = display::currentText(r[size_t(i)], true, *variant, scale->scale);
        amperes[3] = display::averageText(r[0] + r[1] + r[2], true, *variant, scale->scale);
    }
    const QString cos = display::cosText(r[7]);
    const QString power = display::powerText(r[8], QLocale::system().decimalPoint().at(0));
    const QStringList faults = faultCaptions(c, r[9]);
    const bool k1 = r[10] & kOutputK1, k2 = r[10] & kOutputK2;

    if (json) {
        QJsonObject o;
        o[QStringLiteral("currents_percent")] = QJsonArray{r[0], r[1], r[2]};
        o[QStringLiteral("average_current_percent")] = (r[0] + r[1] + r[2]) / 3;
        if (scale) {
            QJsonArray a;
            for (const auto& t : amperes)
                a << (t ? QJsonValue(QString(*t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble())
                        : QJsonValue());
            o[QStringLiteral("currents_amperes")] = QJsonArray{a[0], a[1], a[2]};
            o[QStringLiteral("average_current_amperes")] = a[3];
        }
        o[QStringLiteral("voltages")] = QJsonArray{r[3], r[4], r[5]};
        o[QStringLiteral("average_voltage")] = (r[3] + r[4] + r[5]) / 3;
        o[QStringLiteral("heat_percent")] = r[6];
        o[QStringLiteral("cos_phi")] = r[7] / 100.0;
        o[QStringLiteral("power_kw")] = r[8] / 100.0;
        o[QStringLiteral("fault_word")] = r[9];
        o[QStringLiteral("faults")] = QJsonArray::fromStringList(faults);
        o[QStringLiteral("k1")] = k1;
        o[QStringLiteral("k2")] = k2;
        o[QStringLiteral("nominal_current_raw")] = r[11];
        o[QStringLiteral("variant")] = variant ? QJsonValue(*variant) : QJsonValue();
        c.out << QJsonDocument(o).toJson(QJsonDocument::Indented);
        c.out.flush();
        return kExitOk;
    }

    const QStringList heads = {c.text(17), c.text(18), c.text(19), c.text(20),
                               c.text(22), c.text(21), c.text(44)};
    int width = 0;
    for (const QString& h : heads)
        width = std::max(width, int(h.size()) + 2);
    auto head = [&](int i) {
        return padded(heads[i].endsWith(QLatin1Char(':')) ? heads[i] : heads[i] + QLatin1Char(':'), width);
    };
    const QString average = c.text(90), averageU = c.text(89);
    c.out << head(0)
          << QStringLiteral("Ir=%1 %  Is=%2 %  It=%3 %  %4%5 %")
                 .arg(r[0])
                 .arg(r[1])
                 .arg(r[2])
                 .arg(average)
                 .arg((r[0] + r[1] + r[2]) / 3)
          << '\n';
    if (scale)
        c.out << padded(QString(), width)
              << QStringLiteral("Ir=%1 A  Is=%2 A  It=%3 A  %4%5 A")
                     .arg(amperes[0].value_or(QStringLiteral("?")), amperes[1].value_or(QStringLiteral("?")),
                          amperes[2].value_or(QStringLiteral("?")), average,
                          amperes[3].value_or(QStringLiteral("?")))
              << '\n';
    c.out << head(1)
          << QStringLiteral("Ur=%1 V  Us=%2 V  Ut=%3 V  %4%5 V")
                 .arg(r[3])
                 .arg(r[4])
                 .arg(r[5])
                 .arg(averageU)
                 .arg((r[3] + r[4] + r[5]) / 3)
          << '\n';
    c.out << head(2) << QStringLiteral("Q=%1 %").arg(r[6]) << '\n';
    c.out << head(3) << QStringLiteral("cos(fi)=%1  P=%2 kW").arg(cos, power) << '\n';
    c.out << head(4)
          << (faults.isEmpty() ? QCoreApplication::translate("vrk-cli", "none")
                               : faults.join(QStringLiteral(", ")))
          << '\n';
    c.out << head(5)
          << QStringLiteral("K1=%1  K2=%2")
                 .arg(k1 ? QCoreApplication::translate("vrk-cli", "on")
                         : QCoreApplication::translate("vrk-cli", "off"),
                      k2 ? QCoreApplication::translate("vrk-cli", "on")
                         : QCoreApplication::translate("vrk-cli", "off"))
          << '\n';
    c.out << head(6)
          << (variant ? QStringLiteral("%1 (%2)").arg(*variant).arg(variantName(*variant))
                      : QStringLiteral("?"))
          << Qt::endl;
    return kExitOk;
}

// ---------------------------------------------------------------- watch

int watch(const Context& c, const WatchOptions& o) {
    // A file goes through the file module: never written through a symbolic
    // link, each row whole or the failure said (a full disk, a size limit).
    files::AppendFile file;
    if (!o.csvPath.isEmpty()) {
        QString error;
        if (!file.open(o.csvPath, &error)) {
            c.err << error << Qt::endl;
            return kExitUsage;
        }
    }
    auto emitRow = [&](const QString& row) {
        if (!file.isOpen() && o.csvPath.isEmpty()) {
            c.out << row << '\n';
            c.out.flush();
            return true;
        }
        QString error;
        if (!file.write((row + QLatin1Char('\n')).toUtf8(), &error)) {
            c.err << error << Qt::endl;
            return false;
        }
        return true;
    };
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    watchStopSignals();

    if (!emitRow(
            QStringLiteral("time,Ir_percent,Is_percent,It_percent,Ur_V,Us_V,Ut_V,heat_percent,cos_phi,P_kW,"
                           "fault_word,K1,K2,In_setting,lost_reads")))
        return kExitUsage;
    QElapsedTimer clock;
    clock.start();
    const qint64 end = o.durationS > 0 ? qint64(o.durationS * 1000) : -1;
    qint64 next = 0;
    int good = 0, lostReads = 0;
    bool failed = false;
    while (!stopRequested() && (end < 0 || clock.elapsed() < end)) {
        if (!line->isOpen() || line->error() == BusError::DeviceGone) break;
        Measurement m;
        if (poll(*line, &m)) {
            const auto& r = m.r;
            const QStringList fields = {QDateTime::currentDateTime().toString(Qt::ISODateWithMs),
                                        QString::number(r[0]),
                                        QString::number(r[1]),
                                        QString::number(r[2]),
                                        QString::number(r[3]),
                                        QString::number(r[4]),
                                        QString::number(r[5]),
                                        QString::number(r[6]),
                                        hundredths(r[7]),
                                        hundredths(r[8]),
                                        QString::number(r[9]),
                                        QString::number((r[10] & kOutputK1) ? 1 : 0),
                                        QString::number((r[10] & kOutputK2) ? 1 : 0),
                                        QString::number(r[11]),
                                        QString::number(lostReads)};
            if (!emitRow(fields.join(QLatin1Char(',')))) {
                failed = true;
                break;
            }
            ++good;
        } else {
            ++lostReads;
        }
        next += o.intervalMs;
        if (next < clock.elapsed()) next = clock.elapsed(); // a slow read does not make a burst
        while (!stopRequested()) {
            qint64 wait = next - clock.elapsed();
            if (end >= 0) wait = std::min(wait, end - clock.elapsed());
            if (wait <= 0) break;
            czekaj(uint32_t(std::min<qint64>(wait, kStopCheckMs)));
        }
    }
    file.close(); // every row reached the disk when it was written, unbuffered and checked
    if (failed) return kExitUsage;
    c.err << QCoreApplication::translate("vrk-cli", "%1 reads, %2 lost.").arg(good + lostReads).arg(lostReads)
          << Qt::endl;
    if (good == 0 || !line->isOpen() || line->error() == BusError::DeviceGone) return lost(c, *line);
    return kExitOk;
}

// ---------------------------------------------------------------- setpoints

int setpointsGet(const Context& c, const QString& path) {
    using namespace setpoints;
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    czekaj(kTransferWaitMs);
    if (!line->read(kFirstRegister, kRows) || line->values().size() < kRows) return lost(c, *line);
    const QVector<qint32> image = line->values().mid(0, kRows);
    QStringList cells;
    for (int r = 0; r < kRows; ++r)
        cells << QString();
    const QList<std::optional<QString>> texts = textsFromImage(image);
    for (int r = 0; r < kRows; ++r)
        if (texts[r]) cells[r] = *texts[r];

    if (!path.isEmpty()) {
        // As the save button: only a table that passes every check is saved.
        const QList<int> failing = invalidParameters(cells);
        if (!failing.isEmpty()) {
            c.err << lf(saveRefusalMessage(c.text(kParameterMessage), failing)) << Qt::endl;
            return kExitUsage;
        }
        const QString target = withSetpointExtension(path);
        QString error;
        if (!writeSetpointFile(target, cells, &error)) {
            c.err << error << Qt::endl;
            return kExitUsage;
        }
        c.out << target << Qt::endl;
        return kExitOk;
    }
    const int variant = variantOf(cells);
    const QStringList numbers = initialSetpointNumbers();
    const QStringList names = nameTexts(c, variant);
    const QStringList hints = hintTexts(c, variant);
    int nameWidth = 0, valueWidth = 0;
    for (int r = 0; r < kRows; ++r) {
        nameWidth = std::max(nameWidth, int(names[r].size()));
        valueWidth = std::max(valueWidth, int(cells[r].size()));
    }
    for (int r = 0; r < kRows; ++r)
        c.out << padded(numbers[r], 4) << padded(names[r], nameWidth + 2) << padded(cells[r], valueWidth + 2)
              << hints[r] << '\n';
    c.out.flush();
    return kExitOk;
}

int setpointsPut(const Context& c, const PutOptions& o) {
    using namespace setpoints;
    const SetpointFileRead file = readSetpointFile(o.path);
    if (!file.ok) {
        c.err << file.error << Qt::endl;
        return kExitUsage;
    }
    QStringList cells = file.lines;
    while (cells.size() < kRows)
        cells << QString();
    // The checks of the write button, with its message.
    const QList<int> failing = invalidParameters(cells);
    if (!failing.isEmpty()) {
        c.err << lf(writeRefusalMessage(c.text(kParameterMessage), failing)) << Qt::endl;
        return kExitUsage;
    }
    const QStringList names = nameTexts(c, variantOf(cells));
    const std::array<int, kWrittenRows> values = writeValues(cells);
    if (o.dryRun) {
        for (int i = 0; i < kWrittenRows; ++i)
            c.out << QStringLiteral("%1  %2  %3  %4")
                         .arg(kFirstRegister + i)
                         .arg(values[size_t(i)], 5)
                         .arg(padded(cells[i], 6), parameterName(names[i]))
                  << '\n';
        c.out.flush();
        return kExitOk;
    }

    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    const auto wait = [](uint32_t ms) { czekaj(ms); };
    const auto write = [&line](int reg, int value) { return line->write(reg, value); };
    czekaj(kWriteWaitMs);
    bool linkLost = false;
    QList<int> unconfirmed;
    for (int i = 0; i < kWrittenRows; ++i) {
        if (!line->isOpen()) {
            linkLost = true;
            break;
        }
        if (!writeWithRetry(wait, write, kFirstRegister + i, values[size_t(i)])) unconfirmed << i;
    }
    bool readBack = false;
    QVector<qint32> held;
    if (o.verify && !linkLost && unconfirmed.size() < kWrittenRows) {
        czekaj(kWriteWaitMs);
        if (line->isOpen() && line->read(kFirstRegister, kRows) && line->values().size() >= kRows) {
            held = line->values().mid(0, kRows);
            readBack = true;
        }
    }
    if (!line->isOpen()) linkLost = true;
    if (linkLost || unconfirmed.size() == kWrittenRows) return lost(c, *line);
    const QList<Difference> differences = readBack ? compareWritten(values, held) : QList<Difference>();
    if (unconfirmed.isEmpty() && (!o.verify || (readBack && differences.isEmpty()))) {
        const QString at = QTime::currentTime().toString(QStringLiteral("hh:mm:ss"));
        c.out << (o.verify ? confirmedStatusDetail(at)
                           : QCoreApplication::translate(
                                 "vrk-cli", "Every setpoint write was confirmed (no read-back)."))
              << Qt::endl;
        return kExitOk;
    }
    QStringList report;
    report << unconfirmedReport(unconfirmed, kWrittenRows, names);
    if (o.verify) report << readBackReport(readBack, differences, !unconfirmed.isEmpty(), names);
    report.removeAll(QString());
    c.err << lf(report.join(QLatin1Char('\n'))) << Qt::endl;
    return kExitRelay;
}

// ---------------------------------------------------------------- faults

int faultLog(const Context& c, bool csv) {
    using namespace faults;
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    FaultBytes bytes;
    bytes.fill(0);
    unsigned failed = 0;
    for (int b = 0; b < kBlocks; ++b) {
        czekaj(kTransferWaitMs);
        if (line->read(blockFirstRegister(b), kBlockRegisters) && line->values().size() >= kBlockRegisters)
            storeBlock(bytes, b, line->values());
        else
            failed |= 1u << b;
    }
    if (failed == (1u << kBlocks) - 1) return lost(c, *line);
    const BlockStates states = blockStates(failed, 0);
    const FaultRecords records = sortBuffer(bytes, QDate::currentDate().month());
    FaultTexts texts;
    for (int i = 0; i < 5; ++i)
        texts.causes[size_t(i)] = c.text(67 + i);
    for (int m = 0; m < 12; ++m)
        texts.months[size_t(m)] = c.text(77 + m);
    texts.noCause = QCoreApplication::translate("FaultLog", "(no cause recorded)");
    const QStringList numbers = initialFaultNumbers();
    QList<FaultRow> rows;
    int causeWidth = int(c.text(64).trimmed().size()), dateWidth = int(c.text(65).trimmed().size());
    for (int n = 0; n < kRecords; ++n) {
        FaultRow row = faultRow(records[size_t(n)], texts);
        row.cause = row.cause.trimmed();
        causeWidth = std::max(causeWidth, int(row.cause.size()));
        dateWidth = std::max(dateWidth, int(row.date.size()));
        rows << row;
    }
    if (csv) {
        c.out << QStringLiteral("no,cause,date,time") << '\n';
        for (int n = 0; n < kRecords; ++n)
            c.out << n + 1 << ',' << csvField(rows[n].cause) << ',' << csvField(rows[n].date.trimmed()) << ','
                  << csvField(rows[n].time.trimmed()) << '\n';
    } else {
        c.out << padded(QString(), 4) << padded(c.text(64).trimmed(), causeWidth + 2)
              << padded(c.text(65).trimmed(), dateWidth + 2) << c.text(66).trimmed() << '\n';
        for (int n = 0; n < kRecords; ++n)
            c.out << padded(numbers[n], 4) << padded(rows[n].cause, causeWidth + 2)
                  << padded(rows[n].date, dateWidth + 2) << rows[n].time << '\n';
    }
    c.out.flush();
    if (failed) {
        c.err << QCoreApplication::translate("FaultLog",
                                             "Records %1 of the relay's memory could not be read: their "
                                             "trips are missing from the list.")
                     .arg(slotRanges(states, BlockState::Never))
              << Qt::endl;
        return kExitRelay;
    }
    return kExitOk;
}

// ---------------------------------------------------------------- clock, reset

int clockSet(const Context& c, const QDateTime& at) {
    using namespace setpoints;
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    const ClockSetting s =
        clockSetting(at.date().month(), at.date().day(), at.time().hour(), at.time().minute());
    const QStringList names = nameTexts(c, -1);
    const auto wait = [](uint32_t ms) { czekaj(ms); };
    const auto write = [&line](int reg, int value) { return line->write(reg, value); };
    QList<int> unconfirmed;
    int sent = 0;
    for (const auto& [row, value] :
         {std::pair{kDateRow, s.dateRegister}, std::pair{kTimeRow, s.timeRegister}}) {
        if (!line->isOpen()) break;
        ++sent;
        if (!writeWithRetry(wait, write, kFirstRegister + row, value)) unconfirmed << row;
    }
    if (!line->isOpen() || unconfirmed.size() == 2) return lost(c, *line);
    if (!unconfirmed.isEmpty()) {
        c.err << lf(unconfirmedReport(unconfirmed, sent, names)) << Qt::endl;
        return kExitRelay;
    }
    c.out << s.dateText << ' ' << s.timeText << Qt::endl;
    return kExitOk;
}

int reset(const Context& c) {
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    // The fault word of a fresh poll decides, as the last poll does for the button.
    Measurement m;
    if (!poll(*line, &m)) return lost(c, *line);
    const int faultWord = m.r[9];
    if (!display::resetAllowed(faultWord)) {
        c.err << QCoreApplication::translate("vrk-cli",
                                             "The relay does not clear an overload: the reset was not sent.")
              << Qt::endl;
        return kExitRelay;
    }
    czekaj(display::kResetWaitMs);
    if (!line->isOpen() || !line->write(relay::kFaultWordRegister, relay::kFaultWordClear))
        return lost(c, *line);
    c.out << QCoreApplication::translate("vrk-cli", "Reset sent.") << Qt::endl;
    return kExitOk;
}

} // namespace cli

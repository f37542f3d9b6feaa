#include "cli/commands.h"

#include "files/files.h"

#include "cli/journal.h"
#include "cli/stopsignal.h"
#include "config/languagelines.h"
#include "config/linesettings.h"
#include "faults/rules.h"
#include "monitor/display.h"
#include "protocol/registerbus.h"
#include "protocol/relaymap.h"
#include "setpoints/readback.h"
#include "setpoints/rules.h"
#include "setpoints/setpointfile.h"
#include "wait/czekaj.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTimer>

#include <array>
#include <memory>

namespace cli {

namespace {

bool outputFailed = false; // said once

constexpr int kVariantRegister = relay::kVariantRegister;
constexpr uint32_t kStopCheckMs = 50; // how often a waiting loop looks for a stop
constexpr int kMaxReadCount = 125;    // registers one read may ask for
namespace langline = languages::line;

// A window message for the terminal: LF line ends, no empty line after it.
QString lf(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

int stopped(const Context& c) {
    c.err << QCoreApplication::translate("vrk-cli", "Stopped before the end: the command is incomplete.")
          << Qt::endl;
    return kExitIncomplete;
}

// A time stamp with its offset from UTC, which stays unique when summer time ends.
QString stamp(const QDateTime& t) {
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs);
}
QString now() {
    return stamp(QDateTime::currentDateTime());
}

// The link, opened. With closeOnStop, Ctrl+C closes it at once, which ends
// the operation under way in its next wait (the command then says so); the
// loops of watch and scan look for a stop themselves.
std::unique_ptr<core::Link> openLine(const Context& c, int* status, bool closeOnStop = true) {
    QString why;
    auto link = openLink(c.line, &why);
    if (!link) {
        c.err << c.text(langline::kPortBusy) << '\n' << why << Qt::endl;
        *status = kExitPort;
        return link;
    }
    if (closeOnStop) {
        auto* watcher = new QTimer(link.get());
        core::Link* l = link.get();
        QObject::connect(watcher, &QTimer::timeout, l, [l] {
            if (stopRequested() && l->isOpen()) l->close();
        });
        watcher->start(int(kStopCheckMs));
    }
    return link;
}

// The window's "no connection" text, and on a second line why the last exchange failed.
int lost(const Context& c, const QString& why) {
    c.err << c.text(langline::kNoConnection) << '\n' << why << Qt::endl;
    return kExitRelay;
}
int lost(const Context& c, const core::Link& link) {
    return lost(c, link.errorString());
}
// A lost link is told by the link itself (a network connection's own reason).
int lost(const Context& c, const std::optional<core::Failure>& failure, const core::Link& link) {
    return lost(c, failure && !failure->linkLost ? failure->text() : link.errorString());
}

// An operation that reads, asked again up to --retries times while it fails.
template <typename Result, typename Operation> Result withRetries(const Context& c, Operation operation) {
    Result r = operation();
    for (int i = 0; i < c.retries && r.failure && !(r.failure->linkLost) && !stopRequested(); ++i)
        r = operation();
    return r;
}

// The relay's registers 12..25, asked again as the command's retries allow;
// nullopt when stopped or the relay is lost (said, and *status set).
std::optional<QVector<qint32>> readSet(const Context& c, core::Link& line, int* status) {
    const core::SetpointsRead read =
        withRetries<core::SetpointsRead>(c, [&line] { return line.readSetpoints(); });
    if (stopRequested()) {
        *status = stopped(c);
        return std::nullopt;
    }
    if (read.registers12to25.size() < setpoints::kRows) {
        *status = lost(c, read.failure, line);
        return std::nullopt;
    }
    return read.registers12to25;
}

// The setpoint table's name and hint columns in the chosen language, as the window shows them.
QStringList nameTexts(const Context& c, int variant) {
    QStringList names;
    for (int r = 0; r < setpoints::kRows; ++r)
        names << c.text(langline::kSetpointNameFirst + r);
    if (auto t = setpoints::row0Texts(variant))
        names[0] = c.text(languages::hiddenTextLine(HiddenText(t->nameLabel)));
    return names;
}
QStringList hintTexts(const Context& c, int variant) {
    QStringList hints = setpoints::initialSetpointHints();
    hints[setpoints::kDateRow] = c.text(langline::kDateHint);
    hints[setpoints::kTimeRow] = c.text(langline::kTimeHint);
    if (auto t = setpoints::row0Texts(variant)) hints[0] = t->hint;
    return hints;
}

QString padded(const QString& text, int width) {
    return text.leftJustified(width);
}

QStringList faultCaptions(const Context& c, int faultWord) {
    QStringList out;
    for (size_t bit = 0; bit < languages::kLampCaptions.size(); ++bit)
        if ((faultWord >> bit) & 1) {
            const languages::LampCaption& caption = languages::kLampCaptions[bit];
            out << (caption.line ? c.text(caption.line) : QString::fromLatin1(caption.fixed));
        }
    return out;
}

// CSV in the chosen decimal separator: with a decimal comma the fields are separated by semicolons.
QChar csvSeparator(const Context& c) {
    return c.decimal == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
}
QString csvField(const Context& c, const QString& text) {
    if (!text.contains(csvSeparator(c)) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString t = text;
    t.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}
QString csvRow(const Context& c, const QStringList& fields) {
    QStringList quoted;
    for (const QString& f : fields)
        quoted << csvField(c, f);
    return quoted.join(csvSeparator(c));
}

// A number with the chosen decimal separator.
QString decimal(const Context& c, double value, int decimals) {
    QString t = QString::number(value, 'f', decimals);
    t.replace(QLatin1Char('.'), c.decimal);
    return t;
}
QString withDecimal(const Context& c, QString text) {
    return text.replace(QLatin1Char(','), c.decimal).replace(QLatin1Char('.'), c.decimal);
}

void printJson(const Context& c, const QJsonValue& v) {
    c.out << (v.isArray() ? QJsonDocument(v.toArray()) : QJsonDocument(v.toObject()))
                 .toJson(QJsonDocument::Indented);
    c.flush();
}

QJsonValue optionalInt(const std::optional<int>& v) {
    return v ? QJsonValue(*v) : QJsonValue();
}

} // namespace

bool outputFailureSaid() {
    return outputFailed;
}

QString defaultJournalPath() {
    return journal::defaultPath();
}

bool Context::flush() const {
    out.flush();
    if (out.status() == QTextStream::Ok && (!outDevice || outDevice->error() == QFileDevice::NoError))
        return true;
    if (!outputFailed) {
        outputFailed = true;
        err << QCoreApplication::translate("vrk-cli", "Cannot write the standard output: %1")
                   .arg(files::reasonInOwnWords(outDevice ? outDevice->errorString() : QString()))
            << Qt::endl;
    }
    return false;
}

void Context::note(const QString& text) const {
    if (!quiet) err << text << Qt::endl;
}

// ---------------------------------------------------------------- scan

int scan(const Context& c, const ScanOptions& o) {
    int status = kExitOk;
    auto link = openLine(c, &status, false);
    if (!link) return status;
    // The speeds and their order are the relay finder's (config/linesettings.h).
    const QList<linescan::Speed> speeds = linescan::speeds(o.allSpeeds, {c.line.baud, c.line.parity});
    const bool progress = !c.quiet && stderrIsTerminal();
    // The progress line is taken away before anything else is printed.
    const auto clearProgress = [&c, progress] {
        if (progress) c.err << '\r' << QString(40, QLatin1Char(' ')) << '\r' << Qt::flush;
    };
    QJsonArray found;
    bool linkLost = false;
    int nextAddress = o.from; // where a stop left off
    linescan::Speed current;
    int speedIndex = 0;
    for (; speedIndex < speeds.size() && !stopRequested() && !linkLost; ++speedIndex) {
        current = speeds[speedIndex];
        link->setSpeed(current.baud, current.parity);
        link->setTimeout(o.timeoutMs ? o.timeoutMs
                                     : linescan::timeoutMs(current, c.line.dataBits, c.line.stopBits));
        const QString lineName = lineText(current.baud, current.parity, c.line.dataBits, c.line.stopBits);
        nextAddress = o.from;
        bool failedOutput = false;
        link->scan(
            o.from, o.to,
            [&](const core::ScanProbe& probe) {
                nextAddress = probe.address + 1;
                const QString where = QStringLiteral("address=%1 line=%2").arg(probe.address).arg(lineName);
                if (progress) c.err << '\r' << where << QStringLiteral("   ") << Qt::flush;
                if (probe.failure) {
                    if (probe.failure->linkLost) linkLost = true;
                    // Only the bus's word makes a relay found: a reply it refused (another
                    // device's, an exception, a broken one) is said, never listed.
                    else if (probe.failure->error != BusError::NoReply) {
                        clearProgress();
                        c.err << where << QStringLiteral(": ") << probe.failure->text() << Qt::endl;
                    }
                    return;
                }
                const int variant = probe.variant.value_or(-1);
                clearProgress();
                found.append(QJsonObject{{QStringLiteral("address"), probe.address},
                                         {QStringLiteral("line"), lineName},
                                         {QStringLiteral("baud"), int(current.baud)},
                                         {QStringLiteral("parity"), parityName(current.parity)},
                                         {QStringLiteral("variant"), variant},
                                         {QStringLiteral("variant_name"), linescan::variantName(variant)}});
                if (!c.json) {
                    c.out << QStringLiteral("%1 variant=%2 (%3)")
                                 .arg(where)
                                 .arg(variant)
                                 .arg(linescan::variantName(variant))
                          << '\n';
                    if (!c.flush()) failedOutput = true;
                }
            },
            [&] { return stopRequested() || failedOutput; });
        if (failedOutput) return kExitUsage;
        if (nextAddress <= o.to) break; // stopped, or the link was lost
    }
    clearProgress();
    if (linkLost) return lost(c, *link);
    const bool complete = speedIndex >= speeds.size();
    if (!complete && nextAddress > o.to) { // stopped between two speeds
        current = speeds[speedIndex];
        nextAddress = o.from;
    }
    if (c.json) {
        printJson(c, QJsonObject{{QStringLiteral("relays"), found},
                                 {QStringLiteral("complete"), complete},
                                 {QStringLiteral("from"), o.from},
                                 {QStringLiteral("to"), o.to}});
    }
    if (!complete) {
        c.err << QCoreApplication::translate(
                     "vrk-cli", "The scan was stopped before address %1 at %2: it is incomplete.")
                     .arg(nextAddress)
                     .arg(lineText(current.baud, current.parity, c.line.dataBits, c.line.stopBits))
              << Qt::endl;
        return kExitIncomplete;
    }
    if (found.isEmpty()) {
        c.err << QCoreApplication::translate("vrk-cli", "No relay answered.") << Qt::endl;
        return kExitRelay;
    }
    return kExitOk;
}

// ---------------------------------------------------------------- read

namespace {

// One relay's measurements with what the page derives from them.
struct Reading {
    core::Measurement measurement;
    std::optional<int> variant;
    QString variantFailure; // why the variant is unknown
    std::optional<display::AmpereScale> scale;
    QString amperesUnknown;                       // why there are no amperes; empty when there are
    std::array<std::optional<double>, 4> amperes; // Ir, Is, It, average
    std::array<QString, 4> ampereTexts;
    QDateTime at;
};

Reading readRelay(const Context& c, core::Link& link, std::optional<core::Failure>* failure) {
    Reading x;
    x.at = QDateTime::currentDateTime();
    const core::PollResult p = withRetries<core::PollResult>(c, [&link] { return link.readMeasurement(); });
    if (!p.measurement) {
        *failure = p.failure ? p.failure : std::optional<core::Failure>(core::Failure{});
        return x;
    }
    x.measurement = *p.measurement;
    const core::Measurement& m = x.measurement;
    x.variant = p.variant;
    if (!x.variant) x.variantFailure = link.errorString();
    if (x.variant) x.scale = display::ampereScaleFor(*x.variant, m.nominalCurrentRaw);
    if (!x.variant)
        x.amperesUnknown = QCoreApplication::translate("vrk-cli", "the variant could not be read");
    else if (m.nominalCurrentRaw == 0)
        x.amperesUnknown = QCoreApplication::translate("vrk-cli", "the nominal current setting is 0");
    else if (!x.scale)
        x.amperesUnknown =
            QCoreApplication::translate("vrk-cli", "variant %1 has no current range").arg(*x.variant);
    if (x.scale) {
        for (int i = 0; i < 4; ++i) {
            const std::optional<QString> t =
                i < 3 ? display::currentText(m.currentPercent[size_t(i)], true, *x.variant, x.scale->scale)
                      : display::averageText(m.currentPercent[0] + m.currentPercent[1] + m.currentPercent[2],
                                             true, *x.variant, x.scale->scale);
            if (!t) continue;
            x.ampereTexts[size_t(i)] = *t;
            x.amperes[size_t(i)] = QString(*t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        }
        bool any = false;
        for (const auto& a : x.amperes)
            any = any || a.has_value();
        if (!any)
            x.amperesUnknown =
                QCoreApplication::translate("vrk-cli", "variant %1 has no current range").arg(*x.variant);
    }
    return x;
}

QJsonObject readingJson(const Context& c, int address, const Reading& x) {
    const core::Measurement& m = x.measurement;
    QJsonArray amperes;
    for (int i = 0; i < 3; ++i)
        amperes << (x.amperes[size_t(i)] ? QJsonValue(*x.amperes[size_t(i)]) : QJsonValue());
    QJsonObject o;
    o[QStringLiteral("address")] = address;
    o[QStringLiteral("time")] = stamp(x.at);
    o[QStringLiteral("currents_percent")] =
        QJsonArray{m.currentPercent[0], m.currentPercent[1], m.currentPercent[2]};
    o[QStringLiteral("average_current_percent")] = m.averageCurrentPercent();
    o[QStringLiteral("currents_amperes")] = amperes;
    o[QStringLiteral("average_current_amperes")] = x.amperes[3] ? QJsonValue(*x.amperes[3]) : QJsonValue();
    o[QStringLiteral("amperes_unknown")] =
        x.amperesUnknown.isEmpty() ? QJsonValue() : QJsonValue(x.amperesUnknown);
    o[QStringLiteral("voltages")] = QJsonArray{m.voltage[0], m.voltage[1], m.voltage[2]};
    o[QStringLiteral("average_voltage")] = m.averageVoltage();
    o[QStringLiteral("heat_percent")] = m.heat;
    o[QStringLiteral("cos_phi")] = m.cosHundredths / 100.0;
    o[QStringLiteral("power_kw")] = m.powerHundredthsKw / 100.0;
    o[QStringLiteral("fault_word")] = m.faultWord;
    o[QStringLiteral("faults")] = QJsonArray::fromStringList(faultCaptions(c, m.faultWord));
    o[QStringLiteral("k1")] = m.k1();
    o[QStringLiteral("k2")] = m.k2();
    o[QStringLiteral("nominal_current_raw")] = m.nominalCurrentRaw;
    o[QStringLiteral("variant")] = optionalInt(x.variant);
    o[QStringLiteral("variant_name")] =
        x.variant ? QJsonValue(linescan::variantName(*x.variant)) : QJsonValue();
    o[QStringLiteral("variant_unknown")] =
        x.variant ? QJsonValue()
                  : QJsonValue(x.variantFailure.isEmpty() ? QCoreApplication::translate("vrk-cli", "not read")
                                                          : x.variantFailure);
    return o;
}

void printReading(const Context& c, int address, const Reading& x, bool withAddress) {
    const core::Measurement& m = x.measurement;
    // The data page's frames and the name of setpoint row 11, as headings.
    auto frame = [&c](int i) { return c.text(langline::kFrameFirst + i); };
    const QStringList heads = {frame(0),
                               frame(1),
                               frame(2),
                               frame(3),
                               frame(5),
                               frame(4),
                               c.text(langline::kSetpointNameFirst + 11)};
    int width = 0;
    for (const QString& h : heads)
        width = std::max(width, int(h.size()) + 2);
    auto head = [&](int i) {
        return padded(heads[i].endsWith(QLatin1Char(':')) ? heads[i] : heads[i] + QLatin1Char(':'), width);
    };
    const QString average = c.text(langline::kAverageCurrent), averageU = c.text(langline::kAverageVoltage);
    if (withAddress) c.out << QStringLiteral("address=%1").arg(address) << '\n';
    c.out << head(0)
          << QStringLiteral("Ir=%1 %  Is=%2 %  It=%3 %  %4%5 %")
                 .arg(m.currentPercent[0])
                 .arg(m.currentPercent[1])
                 .arg(m.currentPercent[2])
                 .arg(average)
                 .arg(m.averageCurrentPercent())
          << '\n';
    if (x.amperesUnknown.isEmpty()) {
        auto a = [&](int i) {
            return x.amperes[size_t(i)] ? withDecimal(c, x.ampereTexts[size_t(i)]) : QStringLiteral("?");
        };
        c.out << padded(QString(), width)
              << QStringLiteral("Ir=%1 A  Is=%2 A  It=%3 A  %4%5 A").arg(a(0), a(1), a(2), average, a(3))
              << '\n';
    }
    c.out << head(1)
          << QStringLiteral("Ur=%1 V  Us=%2 V  Ut=%3 V  %4%5 V")
                 .arg(m.voltage[0])
                 .arg(m.voltage[1])
                 .arg(m.voltage[2])
                 .arg(averageU)
                 .arg(m.averageVoltage())
          << '\n';
    c.out << head(2) << QStringLiteral("Q=%1 %").arg(m.heat) << '\n';
    c.out << head(3)
          << QStringLiteral("cos(fi)=%1  P=%2 kW")
                 .arg(withDecimal(c, display::cosText(m.cosHundredths)),
                      decimal(c, m.powerHundredthsKw / 100.0, 2))
          << '\n';
    const QStringList faults = faultCaptions(c, m.faultWord);
    c.out << head(4)
          << (faults.isEmpty() ? QCoreApplication::translate("vrk-cli", "none")
                               : faults.join(QStringLiteral(", ")))
          << '\n';
    c.out << head(5)
          << QStringLiteral("K1=%1  K2=%2")
                 .arg(m.k1() ? QCoreApplication::translate("vrk-cli", "on")
                             : QCoreApplication::translate("vrk-cli", "off"),
                      m.k2() ? QCoreApplication::translate("vrk-cli", "on")
                             : QCoreApplication::translate("vrk-cli", "off"))
          << '\n';
    c.out << head(6)
          << (x.variant ? QStringLiteral("%1 (%2)").arg(*x.variant).arg(linescan::variantName(*x.variant))
                        : QStringLiteral("?"))
          << '\n';
}

} // namespace

int readOnce(const Context& c) {
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    QJsonArray all;
    int result = kExitOk;
    for (int address : c.addresses) {
        if (stopRequested()) return stopped(c);
        line->setAddress(address);
        std::optional<core::Failure> failure;
        const Reading x = readRelay(c, *line, &failure);
        if (stopRequested()) return stopped(c);
        if (failure) {
            if (c.addresses.size() > 1) c.err << QStringLiteral("address=%1: ").arg(address);
            lost(c, failure, *line);
            result = kExitRelay;
            continue;
        }
        if (!x.variant) {
            c.err << QCoreApplication::translate(
                         "vrk-cli",
                         "Warning: address %1: the variant could not be read (%2); the currents in A are "
                         "unknown.")
                         .arg(address)
                         .arg(x.variantFailure)
                  << Qt::endl;
            if (result == kExitOk) result = kExitIncomplete;
        }
        if (c.json)
            all << readingJson(c, address, x);
        else
            printReading(c, address, x, c.addresses.size() > 1);
        if (!c.flush()) return kExitUsage;
    }
    if (c.json && !all.isEmpty()) printJson(c, c.addresses.size() > 1 ? QJsonValue(all) : all.first());
    return result;
}

// ---------------------------------------------------------------- watch

int watch(const Context& c, const WatchOptions& o) {
    // The port first: a port that cannot be opened leaves the file as it was.
    int status = kExitOk;
    auto line = openLine(c, &status, false);
    if (!line) return status;
    const QStringList header = {
        QStringLiteral("time"),       QStringLiteral("Ir_percent"),   QStringLiteral("Is_percent"),
        QStringLiteral("It_percent"), QStringLiteral("Ur_V"),         QStringLiteral("Us_V"),
        QStringLiteral("Ut_V"),       QStringLiteral("heat_percent"), QStringLiteral("cos_phi"),
        QStringLiteral("P_kW"),       QStringLiteral("fault_word"),   QStringLiteral("K1"),
        QStringLiteral("K2"),         QStringLiteral("In_setting"),   QStringLiteral("lost_reads"),
        QStringLiteral("address"),    QStringLiteral("status"),       QStringLiteral("reason")};
    const QByteArray headerLine = (csvRow(c, header) + QLatin1Char('\n')).toUtf8();
    // A file goes through the file module: only a regular file (never a FIFO
    // or a device, never waited on), each row whole or the failure said (a
    // full disk, a size limit). Appending keeps what the file holds and adds
    // the header only to a new or empty file.
    const bool toFile = !o.csvPath.isEmpty() && o.csvPath != QLatin1String("-");
    files::AppendFile file;
    auto writeFile = [&](const QByteArray& bytes) {
        QString error;
        const bool ok =
            o.append ? files::appendToFile(o.csvPath, bytes, headerLine, &error) : file.write(bytes, &error);
        if (!ok) c.err << error << Qt::endl;
        return ok;
    };
    if (toFile) {
        QString error;
        if (o.append ? !files::appendToFile(o.csvPath, QByteArray(), headerLine, &error)
                     : !file.open(o.csvPath, &error) || !file.write(headerLine, &error)) {
            c.err << error << Qt::endl;
            return kExitUsage;
        }
    } else {
        c.out << QString::fromUtf8(headerLine);
        if (!c.flush()) return kExitUsage;
    }
    auto emitRow = [&](const QStringList& fields) {
        const QString row = csvRow(c, fields) + QLatin1Char('\n');
        if (toFile) return writeFile(row.toUtf8());
        c.out << row;
        return c.flush();
    };
    QElapsedTimer clock;
    clock.start();
    const qint64 end = o.durationS > 0 ? qint64(o.durationS * 1000) : -1;
    qint64 next = 0;
    int good = 0, lostReads = 0;
    QMap<int, int> lostAt; // by address
    bool failed = false, gone = false;
    while (!stopRequested() && !failed && !gone && (end < 0 || clock.elapsed() < end)) {
        for (int address : c.addresses) {
            if (!line->isOpen()) {
                gone = true;
                break;
            }
            line->setAddress(address);
            const core::PollResult p =
                withRetries<core::PollResult>(c, [&line] { return line->readMeasurement(false); });
            QStringList fields;
            if (p.measurement) {
                const core::Measurement& m = *p.measurement;
                fields = QStringList{now(),
                                     QString::number(m.currentPercent[0]),
                                     QString::number(m.currentPercent[1]),
                                     QString::number(m.currentPercent[2]),
                                     QString::number(m.voltage[0]),
                                     QString::number(m.voltage[1]),
                                     QString::number(m.voltage[2]),
                                     QString::number(m.heat),
                                     decimal(c, m.cosHundredths / 100.0, 2),
                                     decimal(c, m.powerHundredthsKw / 100.0, 2),
                                     QString::number(m.faultWord),
                                     QString::number(m.k1() ? 1 : 0),
                                     QString::number(m.k2() ? 1 : 0),
                                     QString::number(m.nominalCurrentRaw),
                                     QString::number(lostAt.value(address)),
                                     QString::number(address),
                                     QStringLiteral("ok"),
                                     QString()};
                ++good;
            } else {
                ++lostReads;
                lostAt[address] += 1;
                fields = QStringList{now()};
                for (int k = 0; k < 13; ++k)
                    fields << QString();
                fields << QString::number(lostAt.value(address)) << QString::number(address)
                       << QStringLiteral("lost") << (p.failure ? p.failure->text() : line->errorString());
                if (p.failure && p.failure->linkLost) gone = true;
            }
            if (!emitRow(fields)) {
                failed = true;
                break;
            }
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
    c.note(QCoreApplication::translate("vrk-cli", "%1 reads, %2 lost.").arg(good + lostReads).arg(lostReads));
    if (good == 0 || gone || !line->isOpen()) return lost(c, *line);
    return kExitOk;
}

// ---------------------------------------------------------------- setpoints

namespace {

// The table's value texts for an image of registers 12..25.
QStringList cellsOf(const QVector<qint32>& image) {
    using namespace setpoints;
    QStringList cells;
    for (int r = 0; r < kRows; ++r)
        cells << QString();
    const QList<std::optional<QString>> texts = textsFromImage(image);
    for (int r = 0; r < kRows; ++r)
        if (texts[r]) cells[r] = *texts[r];
    return cells;
}

// Why a value fails its check, beyond its range: the usual slips in a file.
QString slipHint(const QString& text) {
    if (text != text.trimmed())
        return QCoreApplication::translate("vrk-cli", "remove the space before or after the number");
    if (text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char(',')))
        return QCoreApplication::translate("vrk-cli", "write the decimal with a comma: %1")
            .arg(QString(text).replace(QLatin1Char('.'), QLatin1Char(',')));
    if (text.isEmpty()) return QCoreApplication::translate("vrk-cli", "the value is missing");
    return QString();
}

// One line per failing parameter: its number and name, the text and the allowed range.
QStringList parameterProblems(const Context& c, const QStringList& cells, const QList<int>& failing,
                              bool relayValues) {
    const int variant = setpoints::variantOf(cells);
    const QStringList names = nameTexts(c, variant);
    const QStringList hints = hintTexts(c, variant);
    QStringList lines;
    for (int n : failing) {
        const int row = n - 1;
        QString line =
            (relayValues
                 ? QCoreApplication::translate(
                       "vrk-cli", "Parameter %1 (%2): the relay's value \"%3\" is outside its range %4")
                 : QCoreApplication::translate(
                       "vrk-cli", "Parameter %1 (%2): the file's value \"%3\" is not valid; allowed: %4"))
                .arg(n)
                .arg(setpoints::parameterName(names.value(row)))
                .arg(cells.value(row))
                .arg(hints.value(row).trimmed());
        const QString hint = slipHint(cells.value(row));
        if (!hint.isEmpty()) line += QStringLiteral(" (") + hint + QLatin1Char(')');
        lines << line;
    }
    return lines;
}

QJsonObject setpointsJson(const Context& c, const QVector<qint32>& image, const QStringList& cells,
                          const QList<int>& failing) {
    using namespace setpoints;
    const int variant = variantOf(cells);
    const QStringList names = nameTexts(c, variant);
    const QStringList hints = hintTexts(c, variant);
    QJsonArray rows;
    for (int r = 0; r < kRows; ++r)
        rows << QJsonObject{{QStringLiteral("number"), r + 1},
                            {QStringLiteral("register"), kFirstRegister + r},
                            {QStringLiteral("name"), parameterName(names[r])},
                            {QStringLiteral("value"), cells[r]},
                            {QStringLiteral("raw"), int(image.value(r))},
                            {QStringLiteral("range"), hints[r].trimmed()},
                            {QStringLiteral("in_range"), !failing.contains(r + 1)}};
    return QJsonObject{{QStringLiteral("address"), c.line.address},
                       {QStringLiteral("read_at"), now()},
                       {QStringLiteral("variant"), int(image.value(kVariantRow))},
                       {QStringLiteral("setpoints"), rows}};
}

} // namespace

int setpointsGet(const Context& c, const QString& path) {
    using namespace setpoints;
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    const std::optional<QVector<qint32>> set = readSet(c, *line, &status);
    if (!set) return status;
    const QVector<qint32> image = *set;
    const QStringList cells = cellsOf(image);
    // The relay's set is kept as it is, values outside their ranges included,
    // so that it can be backed up; the warning names them.
    const QList<int> failing = invalidParameters(cells);
    const int result = failing.isEmpty() ? kExitOk : kExitIncomplete;
    auto warn = [&] {
        if (failing.isEmpty()) return;
        c.err << QCoreApplication::translate("vrk-cli",
                                             "Warning: the relay holds values outside their ranges:")
              << '\n'
              << parameterProblems(c, cells, failing, true).join(QLatin1Char('\n')) << Qt::endl;
    };

    if (path == QLatin1String("-")) {
        c.out << QString::fromLatin1(setpointFileBytes(cells));
        if (!c.flush()) return kExitUsage;
        warn();
        return result;
    }
    if (!path.isEmpty()) {
        const QString target = withSetpointExtension(path);
        QString error;
        if (!writeSetpointFile(target, cells, &error)) {
            c.err << error << Qt::endl;
            return kExitUsage;
        }
        warn();
        c.out << target << '\n';
        if (!c.flush()) return kExitUsage;
        return result;
    }
    if (c.json) {
        printJson(c, setpointsJson(c, image, cells, failing));
        warn();
        return result;
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
    if (!c.flush()) return kExitUsage;
    warn();
    return result;
}

namespace {

// The file's lines, from a file or ("-") the standard input, read as a setpoint file is read.
setpoints::SetpointFileRead readSetpointInput(const QString& path) {
    if (path != QLatin1String("-")) {
        return setpoints::readSetpointFile(path);
    }
    QFile in;
    setpoints::SetpointFileRead r;
    if (!in.open(stdin, QIODevice::ReadOnly)) {
        r.error = QCoreApplication::translate("vrk-cli", "Cannot read the standard input: %1")
                      .arg(files::reasonInOwnWords(in.errorString()));
        return r;
    }
    r.ok = setpoints::readBoundedLines(in, setpoints::kFileLines, setpoints::kMaxLineBytes, &r.lines);
    if (!r.ok)
        r.error = QCoreApplication::translate("vrk-cli", "Cannot read the standard input: %1")
                      .arg(files::reasonInOwnWords(in.errorString()));
    return r;
}

} // namespace

int setpointsPut(const Context& c, const PutOptions& o) {
    using namespace setpoints;
    const setpoints::SetpointFileRead file = readSetpointInput(o.path);
    if (!file.ok) {
        c.err << file.error << Qt::endl;
        return kExitUsage;
    }
    QStringList cells = file.lines;
    while (cells.size() < kRows)
        cells << QString();
    // The checks of the write button, with its message, then each failing value with its range.
    const QList<int> failing = invalidParameters(cells);
    if (!failing.isEmpty()) {
        c.err << lf(writeRefusalMessage(c.text(languages::hiddenTextLine(HiddenText::ParameterPrompt)),
                                        failing))
              << '\n'
              << parameterProblems(c, cells, failing, false).join(QLatin1Char('\n')) << Qt::endl;
        return kExitUsage;
    }
    const QStringList names = nameTexts(c, variantOf(cells));

    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    if (o.dryRun) {
        // The relay's present set against the file; the write's own variant check.
        const std::optional<QVector<qint32>> set = readSet(c, *line, &status);
        if (!set) return status;
        const QStringList relayCells = cellsOf(*set);
        const int relayVariant = int(set->value(kVariantRow));
        if (relayVariant != variantOf(cells)) {
            c.err << core::variantMismatchText(variantOf(cells), relayVariant) << '\n'
                  << QCoreApplication::translate("vrk-cli", "Nothing would be written.") << Qt::endl;
            return kExitRefused;
        }
        int nameWidth = 0, valueWidth = 0;
        for (int i = 0; i < kWrittenRows; ++i) {
            nameWidth = std::max(nameWidth, int(parameterName(names[i]).size()));
            valueWidth = std::max({valueWidth, int(relayCells[i].size()), int(cells[i].size())});
        }
        for (int i = 0; i < kWrittenRows; ++i)
            c.out << padded(QString::number(kFirstRegister + i), 4)
                  << padded(parameterName(names[i]), nameWidth + 2) << padded(relayCells[i], valueWidth + 1)
                  << QStringLiteral("-> ") << padded(cells[i], valueWidth + 2)
                  << (sameValue(cells[i], relayCells[i]) ? QCoreApplication::translate("vrk-cli", "same")
                                                         : QCoreApplication::translate("vrk-cli", "changes"))
                  << '\n';
        return c.flush() ? kExitOk : kExitUsage;
    }

    bool journalFailed = false;
    attachJournal(c, *line, &journalFailed);
    core::Link::WriteOptions w;
    w.cells = cells;
    w.names = names;
    w.readBack = o.verify;
    const core::WriteResult result = line->writeSetpoints(w);
    if (result.refusal) {
        c.err << *result.refusal << '\n'
              << QCoreApplication::translate("vrk-cli", "Nothing was written.") << Qt::endl;
        return kExitRefused;
    }
    if (stopRequested()) {
        const QString summary = core::writeSummary(result);
        if (!summary.isEmpty()) c.err << summary << Qt::endl;
        return stopped(c);
    }
    if (result.complete() ||
        (!o.verify &&
         std::all_of(result.registers.cbegin(), result.registers.cend(), [](const core::RegisterWrite& r) {
             return r.state == core::RegisterWrite::State::Confirmed;
         }))) {
        const QString at = QTime::currentTime().toString(QStringLiteral("hh:mm:ss"));
        c.out << (o.verify ? confirmedStatusDetail(at)
                           : QCoreApplication::translate(
                                 "vrk-cli", "Every setpoint write was confirmed (no read-back)."))
              << '\n';
        if (!c.flush()) return kExitUsage;
        return journalFailed ? kExitUsage : kExitOk;
    }
    // What was written and what not, then what the read-back found.
    QList<int> unconfirmed;
    QList<Difference> differences;
    int sent = 0;
    for (int i = 0; i < result.registers.size(); ++i) {
        const core::RegisterWrite& r = result.registers[i];
        if (r.state != core::RegisterWrite::State::NotSent) ++sent;
        if (r.state == core::RegisterWrite::State::NotConfirmed) unconfirmed << i;
        if (result.readBackDone && r.readBack && !r.heldAsSent)
            differences << Difference{
                i, r.sent, *r.readBack,
                textFromRaw(i, *r.readBack, variantOf(cells)).value_or(QString::number(*r.readBack))};
    }
    if (sent == 0 || unconfirmed.size() == sent) return lost(c, result.failure, *line);
    QStringList report;
    report << unconfirmedReport(unconfirmed, sent, names);
    if (o.verify) report << readBackReport(result.readBackDone, differences, !unconfirmed.isEmpty(), names);
    report.removeAll(QString());
    c.err << lf(report.join(QLatin1Char('\n'))) << Qt::endl;
    if (result.failure && result.failure->linkLost) return lost(c, result.failure, *line);
    return kExitRelay;
}

// ---------------------------------------------------------------- faults

namespace {

int fromBcd(quint8 v) {
    return (v >> 4) * 10 + (v & 0x0F);
}

} // namespace

int faultLog(const Context& c, bool csv) {
    using namespace faults;
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    // Another try reads the whole log again, keeping the blocks read before.
    core::FaultLogRead read = line->readFaultLog();
    unsigned got = read.blocksRead;
    for (int i = 0; i < c.retries && got != (1u << kBlocks) - 1 && !stopRequested() &&
                    !(read.failure && read.failure->linkLost);
         ++i) {
        read = line->readFaultLog(read.bytes);
        got |= read.blocksRead;
    }
    if (stopRequested()) return stopped(c);
    const unsigned failed = ((1u << kBlocks) - 1) & ~got;
    FaultBytes bytes = read.bytes;
    if (got == 0) return lost(c, read.failure, *line);
    const BlockStates states = blockStates(failed, 0);
    const FaultRecords records = sortBuffer(bytes, QDate::currentDate().month());
    FaultTexts texts;
    for (int i = 0; i < 5; ++i)
        texts.causes[size_t(i)] = c.text(languages::hiddenTextLine(HiddenText::CauseFirst, i));
    for (int m = 0; m < 12; ++m)
        texts.months[size_t(m)] = c.text(languages::hiddenTextLine(HiddenText::MonthFirst, m));
    texts.noCause = QCoreApplication::translate("FaultLog", "(no cause recorded)");
    const QStringList numbers = initialFaultNumbers();
    QList<FaultRow> rows;
    int causeWidth = int(c.text(langline::kFaultColumnFirst).trimmed().size()),
        dateWidth = int(c.text(langline::kFaultColumnFirst + 1).trimmed().size());
    for (int n = 0; n < kRecords; ++n) {
        FaultRow row = faultRow(records[size_t(n)], texts);
        row.cause = row.cause.trimmed();
        causeWidth = std::max(causeWidth, int(row.cause.size()));
        dateWidth = std::max(dateWidth, int(row.date.size()));
        rows << row;
    }
    // The machine formats: numbers, not month names; padded times; no empty slots.
    auto time = [&](const FaultRecord& r) {
        return QStringLiteral("%1:%2")
            .arg(fromBcd(r.hour), 2, 10, QLatin1Char('0'))
            .arg(fromBcd(r.minute), 2, 10, QLatin1Char('0'));
    };
    if (c.json) {
        QJsonArray list;
        for (int n = 0; n < kRecords; ++n) {
            const FaultRecord& r = records[size_t(n)];
            if (r == FaultRecord{}) continue;
            list << QJsonObject{{QStringLiteral("no"), n + 1},
                                {QStringLiteral("cause_code"), int(r.cause)},
                                {QStringLiteral("cause"), rows[n].cause.simplified()},
                                {QStringLiteral("month"), fromBcd(r.month)},
                                {QStringLiteral("day"), fromBcd(r.day)},
                                {QStringLiteral("time"), time(r)}};
        }
        printJson(c, QJsonObject{{QStringLiteral("address"), c.line.address},
                                 {QStringLiteral("read_at"), now()},
                                 {QStringLiteral("complete"), failed == 0},
                                 {QStringLiteral("records"), list}});
    } else if (csv) {
        c.out << csvRow(c, {QStringLiteral("no"), QStringLiteral("cause_code"), QStringLiteral("cause"),
                            QStringLiteral("month"), QStringLiteral("day"), QStringLiteral("time")})
              << '\n';
        for (int n = 0; n < kRecords; ++n) {
            const FaultRecord& r = records[size_t(n)];
            if (r == FaultRecord{}) continue;
            c.out << csvRow(c, {QString::number(n + 1), QString::number(r.cause), rows[n].cause.simplified(),
                                QString::number(fromBcd(r.month)), QString::number(fromBcd(r.day)), time(r)})
                  << '\n';
        }
    } else {
        c.out << padded(QString(), 4) << padded(c.text(langline::kFaultColumnFirst).trimmed(), causeWidth + 2)
              << padded(c.text(langline::kFaultColumnFirst + 1).trimmed(), dateWidth + 2)
              << c.text(langline::kFaultColumnFirst + 2).trimmed() << '\n';
        for (int n = 0; n < kRecords; ++n)
            c.out << padded(numbers[n], 4) << padded(rows[n].cause, causeWidth + 2)
                  << padded(rows[n].date, dateWidth + 2) << rows[n].time << '\n';
    }
    if (!c.flush()) return kExitUsage;
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

int clockGet(const Context& c) {
    using namespace setpoints;
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    const std::optional<QVector<qint32>> set = readSet(c, *line, &status);
    if (!set) return status;
    const int date = (*set)[kDateRow], time = (*set)[kTimeRow];
    const int month = fromBcd(quint8(date >> 8)), day = fromBcd(quint8(date)),
              hour = fromBcd(quint8(time >> 8)), minute = fromBcd(quint8(time));
    const QString hhmm =
        QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
    if (c.json)
        printJson(c, QJsonObject{{QStringLiteral("address"), c.line.address},
                                 {QStringLiteral("read_at"), now()},
                                 {QStringLiteral("month"), month},
                                 {QStringLiteral("day"), day},
                                 {QStringLiteral("time"), hhmm}});
    else
        c.out << QStringLiteral("%1-%2 %3")
                     .arg(month, 2, 10, QLatin1Char('0'))
                     .arg(day, 2, 10, QLatin1Char('0'))
                     .arg(hhmm)
              << '\n';
    return c.flush() ? kExitOk : kExitUsage;
}

int clockSet(const Context& c, const QDateTime& at) {
    using namespace setpoints;
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    bool journalFailed = false;
    attachJournal(c, *line, &journalFailed);
    const core::ClockResult r = line->setClock(at);
    if (stopRequested() && !r.confirmed) return stopped(c);
    QList<int> unconfirmed;
    int sent = 0;
    const int rows[2] = {kDateRow, kTimeRow};
    for (int k = 0; k < 2; ++k) {
        if (r.states[size_t(k)] != core::RegisterWrite::State::NotSent) ++sent;
        if (r.states[size_t(k)] != core::RegisterWrite::State::Confirmed) unconfirmed << rows[k];
    }
    if (sent == 0 || unconfirmed.size() == 2) return lost(c, r.failure, *line);
    if (!unconfirmed.isEmpty()) {
        c.err << lf(unconfirmedReport(unconfirmed, sent, nameTexts(c, -1))) << Qt::endl;
        return kExitRelay;
    }
    const ClockSetting s =
        clockSetting(at.date().month(), at.date().day(), at.time().hour(), at.time().minute());
    c.out << s.dateText << ' ' << s.timeText << '\n';
    if (!c.flush()) return kExitUsage;
    return journalFailed ? kExitUsage : kExitOk;
}

int reset(const Context& c) {
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    bool journalFailed = false;
    attachJournal(c, *line, &journalFailed);
    // The fault word of a fresh poll decides, as the last poll does for the button.
    const core::ResetResult r = line->reset();
    if (stopRequested() && !r.confirmed) return stopped(c);
    if (r.refused) {
        c.err << QCoreApplication::translate("vrk-cli",
                                             "The relay does not clear an overload: the reset was not sent.")
              << Qt::endl;
        return kExitRefused;
    }
    if (!r.confirmed) return lost(c, r.failure, *line);
    c.note(QCoreApplication::translate("vrk-cli", "Reset sent."));
    return journalFailed ? kExitUsage : kExitOk;
}

// ---------------------------------------------------------------- registers

int registersRead(const Context& c, int start, int count) {
    if (count < 1 || count > kMaxReadCount || start + count - 1 > 0xFFFF) {
        c.err << QCoreApplication::translate("vrk-cli",
                                             "COUNT must be a number from 1 to %1, within registers 0-65535.")
                     .arg(kMaxReadCount)
              << Qt::endl;
        return kExitUsage;
    }
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    // The bus checks the reply's address, function, length and CRC as for every read.
    RegisterBus& bus = line->bus();
    bool ok = bus.Czytaj(start, count);
    for (int i = 0; i < c.retries && !ok && line->isOpen() && !stopRequested(); ++i)
        ok = bus.Czytaj(start, count);
    if (!ok || bus.RegisterValues.size() < count) return lost(c, *line);
    const QVector<int32_t> read = bus.RegisterValues.mid(0, count);
    if (c.json) {
        QJsonArray values;
        for (int i = 0; i < count; ++i)
            values << int(read[i]);
        printJson(c, QJsonObject{{QStringLiteral("address"), c.line.address},
                                 {QStringLiteral("read_at"), now()},
                                 {QStringLiteral("start"), start},
                                 {QStringLiteral("values"), values}});
        return c.flush() ? kExitOk : kExitUsage;
    }
    for (int i = 0; i < count; ++i) {
        const int v = read[i];
        c.out << QStringLiteral("%1 %2 0x%3").arg(start + i).arg(v).arg(v & 0xFFFF, 4, 16, QLatin1Char('0'))
              << '\n';
    }
    return c.flush() ? kExitOk : kExitUsage;
}

int registersWrite(const Context& c, int reg, int value, bool yes) {
    if (!yes) {
        c.err << QCoreApplication::translate(
                     "vrk-cli",
                     "Writing a register can change how the relay protects the motor: nothing was written. "
                     "Add --yes to write it.")
              << Qt::endl;
        return kExitUsage;
    }
    int status = kExitOk;
    auto line = openLine(c, &status);
    if (!line) return status;
    RegisterBus& bus = line->bus();
    journal::Row row = journal::rowOf(line->identity(), QStringLiteral("vrk-cli"), QStringLiteral("write"));
    if (bus.Czytaj(reg, 1) && !bus.RegisterValues.isEmpty())
        row.before = QString::number(bus.RegisterValues[0]);
    // The bus checks that the reply echoes the register and the value.
    const bool ok = line->isOpen() && bus.Zapis(reg, value);
    row.parameter = QStringLiteral("register %1").arg(reg);
    row.reg = reg;
    row.sent = QString::number(value);
    row.state = ok ? journal::state::confirmed : journal::state::notConfirmed;
    if (!ok) row.note = line->errorString();
    const bool journaled = journalRows(c, {row});
    if (!ok) return lost(c, *line);
    c.note(QCoreApplication::translate("vrk-cli", "Register %1 = %2 written and confirmed.")
               .arg(reg)
               .arg(value));
    return journaled ? kExitOk : kExitUsage;
}

} // namespace cli

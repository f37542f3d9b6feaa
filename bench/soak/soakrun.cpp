#include "bench/soak/soakrun.h"
#include "seams/seams.h"
#include "tests/controls.h"

#include "bench/soak/pollwatch.h"
#include "tests/appfixture.h"
#include "tests/form1setup.h"
#include "tests/simfixture.h"

#include "faults/rules.h"
#include "monitor/display.h"
#include "serial/tserialdriver.h"
#include "setpoints/rules.h"
#include "widgets/controls.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QToolButton>

#include <array>
#include <functional>
#include <set>
#include <vector>

namespace {

constexpr int kMeasurementRegisters = 12;
using Registers = std::array<int, kMeasurementRegisters>;
using SetpointRegisters = std::array<int, setpoints::kRows>;

// What the script keeps of each tick and each setpoint read, in storage laid
// out before the run so that the resident memory measures the program.
struct TickRecord {
    bool good = false;
    Registers registers{};
    int variant = 0; // what the tick's variant read left in the setpoint table
};
struct SetpointRecord {
    bool good = false;
    SetpointRegisters image{};
};

// One request as the simulator logged it.
struct LoggedRead {
    QString action;
    // One of the two requests before it got a late reply: the bytes of that
    // reply, or of the reply it held back, can land in this read.
    bool afterLate = false;
    int line = 0; // its index in the log
    std::vector<int> values;
};

constexpr int kMaxProblems = 40;

void problem(SoakFigures& fig, const QString& text) {
    if (fig.problems.size() < kMaxProblems) fig.problems << text;
}

Registers cutCurrents(Registers r) {
    for (int i = 0; i < 3; ++i)
        r[size_t(i)] = display::cutLowCurrent(r[size_t(i)]);
    return r;
}

// What the data page shows of the values: the texts in the order currents,
// their average, voltages, their average, heat, cos phi, power; the three
// bars; the K1 and K2 lamps.
QStringList shownTexts(const TForm1* f) {
    QStringList out;
    for (const QLabel* l :
         {control<QLabel>(f, "Label11"), control<QLabel>(f, "Label23"), control<QLabel>(f, "Label26"),
          control<QLabel>(f, "Label29"), control<QLabel>(f, "Label41"), control<QLabel>(f, "Label43"),
          control<QLabel>(f, "Label46"), control<QLabel>(f, "Label49"), control<QLabel>(f, "Label53"),
          control<QLabel>(f, "Label57"), control<QLabel>(f, "Label59")})
        out << l->text();
    for (const QProgressBar* b :
         {control<QProgressBar>(f, "ProgressBar1"), control<QProgressBar>(f, "ProgressBar2"),
          control<QProgressBar>(f, "ProgressBar3")})
        out << QString::number(b->value());
    out << QString::number(!control<QLabel>(f, "Image10")->isHidden())
        << QString::number(!control<QLabel>(f, "Image11")->isHidden());
    return out;
}

// The same for a tick's registers (per cent shown).
QStringList textsFor(const Registers& r) {
    QStringList out;
    for (int i = 0; i < 3; ++i)
        out << QString::number(r[size_t(i)]);
    out << display::averageText(r[0] + r[1] + r[2], false, 0, 0).value_or(QString());
    for (int i = 3; i < 6; ++i)
        out << QString::number(r[size_t(i)]);
    out << QString::number((r[3] + r[4] + r[5]) / 3) << QString::number(r[6]) << display::cosText(r[7])
        << display::powerText(r[8], QLocale::system().decimalPoint().at(0));
    for (int i = 0; i < 3; ++i)
        out << QString::number(display::barPosition(r[size_t(i)]));
    out << QString::number(bool(r[10] & 0x0100)) << QString::number(bool(r[10] & 0x0200));
    return out;
}

QString tupleText(const Registers& r) {
    QStringList parts;
    for (int v : r)
        parts << QString::number(v);
    return parts.join(QLatin1Char(','));
}

std::vector<int> parseValues(const QString& text) {
    std::vector<int> out;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int v = part.toInt(&ok);
        if (!ok) return {};
        out.push_back(v);
    }
    return out;
}

// A reply the simulator spoiled so that no reader may take it; a late one
// comes after the program's 100 ms input time-out.
bool spoiled(const QString& action) {
    return action == QLatin1String("noreply") || action == QLatin1String("badcrc") ||
           action == QLatin1String("short") || action == QLatin1String("garbage-before");
}

faults::FaultTexts faultTexts(const TForm1* f) {
    faults::FaultTexts t;
    for (int i = 0; i < 5; ++i)
        t.causes[size_t(i)] = f->hiddenLabel(78 + i)->text();
    for (int m = 0; m < 12; ++m)
        t.months[size_t(m)] = f->hiddenLabel(88 + m)->text();
    return t;
}

QString rowText(const QString& cause, const QString& date, const QString& time) {
    return cause + QLatin1Char('|') + date + QLatin1Char('|') + time;
}

// Every fault-log row that the simulator's memory can give, and the empty
// row; trips: the rows of its trips, one for each (sorted as texts).
bool allowedFaultRows(SimRelay& relay, const TForm1* f, QSet<QString>& rows, QStringList& trips) {
    faults::FaultBytes bytes{};
    for (int k = 0; k < faults::kBytes / 2; ++k) {
        QString answer;
        if (!relay.control(QStringLiteral("get %1").arg(faults::kFirstRegister + k), &answer)) return false;
        const int v = answer.mid(3).toInt();
        bytes[size_t(2 * k)] = quint8(v >> 8);
        bytes[size_t(2 * k + 1)] = quint8(v & 0xFF);
    }
    faults::FaultRecords records = faults::decodeRecords(bytes);
    faults::zeroEmptySlots(records);
    const faults::FaultTexts texts = faultTexts(f);
    rows << rowText(QString(), QString(), QString());
    // A record dated after now (or not a date at all) is marked in the grid, as here.
    const QDateTime now = seams::now();
    for (const faults::FaultRecord& r : records) {
        const faults::FaultRow row = faults::faultRow(r, texts);
        const QString cause =
            row.cause + faults::problemMarker(faults::recordProblem(r, now.date().month(), now.date().day(),
                                                                    now.time().hour(), now.time().minute()));
        rows << rowText(cause, row.date, row.time);
        if (!row.cause.isEmpty()) trips << rowText(cause, row.date, row.time);
    }
    trips.sort();
    return true;
}

QStringList setpointCells(const StringGrid* g) {
    QStringList out;
    for (int r = 0; r < setpoints::kRows; ++r)
        out << g->cell(3, r);
    return out;
}

// Two valid tables for a relay of variant 2 (rows 0..10; row 11 is the relay's).
const QStringList kTableA = {QStringLiteral("12,5"), QStringLiteral("3,5"), QStringLiteral("150"),
                             QStringLiteral("40"),   QStringLiteral("10"),  QStringLiteral("30"),
                             QStringLiteral("5"),    QStringLiteral("400"), QStringLiteral("80"),
                             QStringLiteral("115"),  QStringLiteral("2,5")};
const QStringList kTableB = {QStringLiteral("15"),  QStringLiteral("4"),   QStringLiteral("150"),
                             QStringLiteral("50"),  QStringLiteral("12"),  QStringLiteral("30"),
                             QStringLiteral("6"),   QStringLiteral("400"), QStringLiteral("85"),
                             QStringLiteral("110"), QStringLiteral("3")};

void waitMs(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int requestsSoFar(SimRelay& relay) {
    QString answer;
    if (!relay.control(QStringLiteral("status"), &answer)) return -1;
    static const QRegularExpression re(QStringLiteral("\\brequests=(\\d+)"));
    const QRegularExpressionMatch m = re.match(answer);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

long residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (int i = 0; i < 100; ++i) {
        const QByteArray line = f.readLine(4096);
        if (line.isEmpty()) break;
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

SoakFigures runSoak(const SoakOptions& o) {
    SoakFigures fig;
    SimRelay relay;
    const QStringList args = {
        QStringLiteral("--seed"),         QString::number(o.seed),        QStringLiteral("--no-reply"),
        QString::number(o.noReply),       QStringLiteral("--bad-crc"),    QString::number(o.badCrc),
        QStringLiteral("--short-reply"),  QString::number(o.shortReply),  QStringLiteral("--garbage-before"),
        QString::number(o.garbageBefore), QStringLiteral("--late-reply"), QString::number(o.lateReply),
        QStringLiteral("--late-ms"),      QString::number(o.lateMs)};
    QStringList timing;
    if (!o.lineTiming.isEmpty()) timing << QStringLiteral("--line-timing") << o.lineTiming;
    if (o.responseMs >= 0) timing << QStringLiteral("--response-ms") << QString::number(o.responseMs);
    if (!relay.start(args + timing)) {
        fig.error = QStringLiteral("the relay simulator did not start");
        return fig;
    }
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    const QString noConnection = f->hiddenLabel(67)->text();

    QSet<QString> faultRows;
    QStringList trips;
    if (!allowedFaultRows(relay, f, faultRows, trips)) {
        fig.error = QStringLiteral("the simulator's fault memory could not be read");
        return fig;
    }

    // Room for every tick and read the run can make: each tick sends a request.
    const size_t tickRoom = size_t(o.exchanges) + 4000;
    std::vector<TickRecord> ticks(tickRoom);
    std::vector<SetpointRecord> reads(tickRoom / size_t(std::max(1, o.ticksPerAction)) + 100);
    size_t tickCount = 0;

    // The variant row as the window starts, before any read fills it.
    const int initialVariant = control<StringGrid>(f, "StringGrid1")->cell(3, setpoints::kVariantRow).toInt();
    fig.rssBeforeKb = residentKb();
    // The short interval (see SoakOptions); the window's own is 200 ms.
    f->Timer2->setInterval(o.pollIntervalMs);
    PollWatch watch(f);
    f->SpeedButton1Click();
    if (!f->SerialDriver1->IsOpen()) {
        fig.error = QStringLiteral("could not connect to the simulator");
        return fig;
    }
    watch.connected();

    QObject context;
    QEventLoop loop;
    bool stopping = false, actionRunning = false, actionPending = false, reconnectPending = false;
    int actionNumber = 0;
    std::array<bool, 3> actionDone{}; // setpoint read, fault-log read, write
    int expectedBeeps = 0;
    int forcedTick = -1;

    auto readSetpoints = [&] {
        if (!control<QToolButton>(f, "SpeedButton6")->isEnabled()) return;
        Form1TestSetup::forgetSetpointImage(*f); // so that a failed read is told from a good one
        control<QToolButton>(f, "SpeedButton6")->click();
        if (size_t(fig.setpointReads) >= reads.size()) {
            ++fig.setpointReads;
            return;
        }
        SetpointRecord& rec = reads[size_t(fig.setpointReads++)];
        actionDone[0] = true;
        rec.good = f->setpointPage().state().setpointImage.size() == setpoints::kRows;
        if (!rec.good) return;
        ++fig.setpointReadsGood;
        for (int i = 0; i < setpoints::kRows; ++i)
            rec.image[size_t(i)] = f->setpointPage().state().setpointImage[i];
        const QList<std::optional<QString>> texts =
            setpoints::textsFromImage(f->setpointPage().state().setpointImage);
        for (int r = 0; r < setpoints::kRows; ++r)
            if (texts[r] && control<StringGrid>(f, "StringGrid1")->cell(3, r) != *texts[r]) {
                ++fig.setpointTableMismatches;
                problem(fig,
                        QStringLiteral("setpoint read %1: row %2 shows \"%3\", its register gives \"%4\"")
                            .arg(fig.setpointReads)
                            .arg(r)
                            .arg(control<StringGrid>(f, "StringGrid1")->cell(3, r), *texts[r]));
            }
    };

    auto readFaultLog = [&] {
        if (!control<QToolButton>(f, "SpeedButton12")->isEnabled()) return;
        control<QToolButton>(f, "SpeedButton12")->click();
        ++fig.faultReads;
        actionDone[1] = true;
        QStringList listed;
        for (int r = 1; r <= faults::kRecords; ++r) {
            const QString row = rowText(control<StringGrid>(f, "StringGrid2")->cell(1, r),
                                        control<StringGrid>(f, "StringGrid2")->cell(2, r),
                                        control<StringGrid>(f, "StringGrid2")->cell(3, r));
            if (!control<StringGrid>(f, "StringGrid2")->cell(1, r).isEmpty()) listed << row;
            if (!faultRows.contains(row)) {
                ++fig.faultRowsNeverSent;
                problem(fig, QStringLiteral("fault read %1: row %2 \"%3\" is in no record the relay holds")
                                 .arg(fig.faultReads)
                                 .arg(r)
                                 .arg(row));
            }
        }
        // Each of the relay's trips once: what a read of every block lists.
        listed.sort();
        if (listed != trips) {
            QStringList rest = trips;
            bool twice = false;
            for (const QString& row : listed)
                if (!rest.removeOne(row)) twice = true;
            ++(twice ? fig.faultListingsWithRepeats : fig.faultListingsIncomplete);
        }
    };

    auto writeSetpoints = [&](const QStringList& table) {
        if (!control<QToolButton>(f, "SpeedButton7")->isEnabled()) return;
        for (int r = 0; r < table.size(); ++r)
            control<StringGrid>(f, "StringGrid1")->setCell(3, r, table[r]);
        const QStringList cells = setpointCells(control<StringGrid>(f, "StringGrid1"));
        if (!setpoints::invalidParameters(cells).isEmpty()) {
            // The table is refused with a beep; the variant row must have been spoiled.
            ++fig.writesRefused;
            ++expectedBeeps;
            problem(fig, QStringLiteral("write %1: the table was refused (%2)")
                             .arg(fig.writes + 1)
                             .arg(cells.join('/')));
        }
        const int beepsBefore = app.beeps;
        control<QToolButton>(f, "SpeedButton7")->click();
        ++fig.writes;
        actionDone[2] = true;
        if (app.beeps == beepsBefore) {
            // Reported as written: the relay must hold every value.
            const std::array<int, setpoints::kWrittenRows> values = setpoints::writeValues(cells);
            for (int i = 0; i < setpoints::kWrittenRows; ++i) {
                QString answer;
                relay.control(QStringLiteral("get %1").arg(setpoints::kFirstRegister + i), &answer);
                if (answer.mid(3).toInt() != values[size_t(i)]) {
                    ++fig.writesNotKept;
                    problem(fig, QStringLiteral("write %1: register %2 holds %3, not %4")
                                     .arg(fig.writes)
                                     .arg(setpoints::kFirstRegister + i)
                                     .arg(answer, QString::number(values[size_t(i)])));
                }
            }
        } else if (app.beeps == beepsBefore + 1 && !f->Label100->text().isEmpty()) {
            // Reported: no connection, the setpoints not confirmed, or the read-back lost.
            ++fig.writesReported;
            ++expectedBeeps;
        }
    };

    auto runAction = [&] {
        actionPending = false;
        if (stopping || actionRunning || !f->SerialDriver1->IsOpen()) return;
        actionRunning = true;
        switch (actionNumber++ % 6) {
        case 0:
        case 3:
            readSetpoints();
            break;
        case 1:
        case 4:
            readFaultLog();
            break;
        case 2:
            writeSetpoints(kTableA);
            break;
        default:
            writeSetpoints(kTableB);
            break;
        }
        actionRunning = false;
    };

    std::function<void()> reconnect;
    reconnect = [&] {
        reconnectPending = false;
        if (stopping || f->SerialDriver1->IsOpen()) return;
        f->SpeedButton1Click();
        if (f->SerialDriver1->IsOpen()) {
            ++fig.reconnects;
            watch.connected();
        } else {
            ++fig.reconnectFailures;
            ++expectedBeeps;
            reconnectPending = true;
            QTimer::singleShot(200, &context, [&] { reconnect(); });
        }
    };

    // The memory step the error window's first appearance makes (its window
    // surface): the resident size is taken at each tick until then.
    long rssLastTick = residentKb();
    auto trackErrorWindow = [&] {
        if (fig.firstErrorWindowStepKb >= 0) return;
        const long now = residentKb();
        if (app.f4()->isVisible())
            fig.firstErrorWindowStepKb = now - rssLastTick;
        else
            rssLastTick = now;
    };

    watch.onTick = [&](const PollWatch::Tick& t) {
        if (tickCount < ticks.size()) {
            TickRecord& rec = ticks[tickCount];
            rec.good = t.good;
            rec.variant = control<StringGrid>(f, "StringGrid1")->cell(3, setpoints::kVariantRow).toInt();
            if (t.good) {
                rec.registers = f->dataPage().state().registers;
                const QStringList shown = shownTexts(f);
                const QStringList expected = textsFor(rec.registers);
                if (shown != expected) {
                    ++fig.labelMismatches;
                    problem(fig, QStringLiteral("tick %1: the page shows %2 for the registers %3")
                                     .arg(t.index)
                                     .arg(shown.join('/'), tupleText(rec.registers)));
                }
            }
        }
        ++tickCount;
        trackErrorWindow();
        if (t.disconnected) {
            ++expectedBeeps;
            // The no-connection text, with the failed reads' reason on a second line.
            if (app.beeps != expectedBeeps ||
                f->Label100->text().section(QLatin1Char('\n'), 0, 0) != noConnection) {
                ++fig.disconnectsWithoutReport;
                problem(fig, QStringLiteral("tick %1: the drop gave %2 beeps in all (%3 expected) and \"%4\"")
                                 .arg(t.index)
                                 .arg(app.beeps)
                                 .arg(expectedBeeps)
                                 .arg(f->Label100->text()));
                expectedBeeps = app.beeps;
            }
            if (forcedTick >= 0 && t.index == forcedTick + 6) ++fig.forcedDisconnects;
            if (!reconnectPending && !stopping) {
                reconnectPending = true;
                QTimer::singleShot(20, &context, [&] { reconnect(); });
            }
            return;
        }
        if (forcedTick >= 0 && t.index == forcedTick + 6 && fig.forcedDisconnects == 0)
            problem(fig,
                    QStringLiteral("tick %1: six lost replies in a row did not drop the link").arg(t.index));
        // Eleven lost replies from here: the measurement reads of the next six
        // ticks and the five variant reads between them. Away from the script's
        // actions, so that no other exchange takes one of them.
        const int phase = t.index % o.ticksPerAction;
        if (o.forcedDisconnectAtTick > 0 && forcedTick < 0 && t.index >= o.forcedDisconnectAtTick && t.good &&
            phase > 0 && phase < o.ticksPerAction - 8 && !actionPending && !actionRunning) {
            if (relay.control(QStringLiteral("noreply next 11")))
                forcedTick = t.index;
            else
                problem(fig, QStringLiteral("the simulator refused the burst of lost replies"));
        }
        if (fig.rssStartKb == 0 && t.index >= o.warmupTicks && actionDone[0] && actionDone[1] &&
            actionDone[2])
            fig.rssStartKb = residentKb();
        if (t.index > 0 && t.index % 1000 == 0) fig.rssEvery1000Ticks << residentKb();
        if (!stopping && phase == o.ticksPerAction - 1 && !actionPending) {
            actionPending = true;
            // A click of its own, not inside the tick: it may come before the
            // next tick or during that tick's pause, as a user's does.
            QTimer::singleShot(0, &context, [&] { runAction(); });
        }
    };

    // Exchanges the bus refused for a reply that began too soon, from its trace.
    static int earlyReplies;
    static QtMessageHandler previousHandler;
    earlyReplies = 0;
    previousHandler =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& c, const QString& m) {
            if (qstrcmp(c.category, "vrk.bus") != 0)
                previousHandler(type, c, m);
            else if (m.endsWith(QLatin1String("-> early reply")))
                ++earlyReplies;
        });
    QLoggingCategory::setFilterRules(QStringLiteral("vrk.bus.debug=true"));

    QElapsedTimer wall;
    wall.start();
    QTimer progress;
    QObject::connect(&progress, &QTimer::timeout, &context, [&] {
        if (stopping) return;
        const int requests = requestsSoFar(relay);
        const bool reached = requests >= o.exchanges;
        if (reached || wall.elapsed() > qint64(o.maxSeconds) * 1000 || tickCount >= ticks.size()) {
            fig.reachedTarget = reached;
            stopping = true;
            loop.quit();
        }
    });
    progress.start(250);
    loop.exec();
    progress.stop();
    fig.wallSeconds = double(wall.elapsed()) / 1000.0;
    fig.rssEndKb = residentKb();

    // Stop the poll and let a late reply still on its way reach the log.
    fig.endedDisconnected = !f->SerialDriver1->IsOpen();
    if (!fig.endedDisconnected) f->SpeedButton2Click();
    waitMs(2 * o.lateMs + 200);
    watch.onTick = nullptr;
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previousHandler);
    fig.earlyRefused = earlyReplies;

    fig.ticks = watch.ticks();
    fig.goodTicks = watch.good();
    fig.failedTicks = watch.failed();
    fig.disconnects = watch.disconnects();
    fig.disconnectsNotAfterSix = watch.disconnectsNotAfterSix();
    fig.sixWithoutDisconnect = watch.sixWithoutDisconnect();
    fig.lostReadCountMismatches = watch.countMismatches();
    fig.beeps = app.beeps;
    fig.unexpectedReports = app.beeps - expectedBeeps;
    fig.errorBoxes = int(app.errorBoxes.size() + app.messageBoxes.size());
    if (o.forcedDisconnectAtTick > 0 && forcedTick >= 0 && fig.forcedDisconnects != 1)
        problem(fig, QStringLiteral("the burst after tick %1 did not drop the link once").arg(forcedTick));

    // ---- the simulator's log: what it received and what it sent
    const QStringList lines = relay.logLines();
    fig.exchanges = int(lines.size());
    std::vector<LoggedRead> measurement, setpointReads;
    std::set<Registers> sent;
    std::set<SetpointRegisters> sentSetpoints;
    std::set<int> sentVariants{initialVariant};
    QString previousAction, beforePreviousAction;
    bool previousWasWrite = false; // a read right after a write is the write's read-back
    for (int lineIndex = 0; lineIndex < lines.size(); ++lineIndex) {
        const QString& line = lines[lineIndex];
        const QMap<QString, QString> e = SimRelay::parseLogLine(line);
        const QString action = e.value(QStringLiteral("action"));
        const bool read = e.value(QStringLiteral("fn")) == QLatin1String("3");
        const int reg = e.value(QStringLiteral("reg")).toInt(), n = e.value(QStringLiteral("n")).toInt();
        if (read && reg == 23 && n == 1) sentVariants.insert(e.value(QStringLiteral("values")).toInt());
        if (read && ((reg == 1 && n == kMeasurementRegisters) ||
                     (reg == setpoints::kFirstRegister && n == setpoints::kRows))) {
            LoggedRead r;
            r.action = action;
            r.afterLate =
                previousAction == QLatin1String("late") || beforePreviousAction == QLatin1String("late");
            r.line = lineIndex;
            r.values = parseValues(e.value(QStringLiteral("values")));
            if (reg == 1) {
                if (r.values.size() == size_t(kMeasurementRegisters)) {
                    Registers v{};
                    std::copy(r.values.begin(), r.values.end(), v.begin());
                    sent.insert(cutCurrents(v));
                }
                if (spoiled(action) || action == QLatin1String("late")) ++fig.spoiledInLog;
                measurement.push_back(std::move(r));
            } else {
                if (r.values.size() == size_t(setpoints::kRows)) {
                    sentVariants.insert(r.values[size_t(setpoints::kVariantRow)]);
                    SetpointRegisters v{};
                    std::copy(r.values.begin(), r.values.end(), v.begin());
                    sentSetpoints.insert(v);
                }
                if (!previousWasWrite) setpointReads.push_back(std::move(r));
            }
        }
        previousWasWrite = e.value(QStringLiteral("fn")) == QLatin1String("6");
        beforePreviousAction = previousAction;
        previousAction = action;
    }

    // Every tick that ran sent one measurement read; the k-th tick's is the
    // k-th in the log.
    const size_t recorded = std::min(tickCount, ticks.size());
    fig.aligned = measurement.size() == tickCount && tickCount == size_t(fig.ticks);
    if (!fig.aligned)
        problem(fig, QStringLiteral("%1 ticks ran, the log holds %2 measurement reads")
                         .arg(tickCount)
                         .arg(measurement.size()));
    for (size_t k = 0; k < recorded; ++k) {
        const TickRecord& t = ticks[k];
        if (!sentVariants.count(t.variant)) {
            ++fig.variantsNeverSent;
            problem(fig,
                    QStringLiteral("tick %1 left the variant %2 in the table, which the relay never sent")
                        .arg(k)
                        .arg(t.variant));
        }
        const LoggedRead* own = fig.aligned ? &measurement[k] : nullptr;
        if (t.good) {
            if (!sent.count(t.registers)) {
                ++fig.valuesNeverSent;
                problem(fig, QStringLiteral("tick %1 showed %2, which the relay never sent")
                                 .arg(k)
                                 .arg(tupleText(t.registers)));
            }
            if (!own) continue;
            Registers mine{};
            if (own->values.size() == size_t(kMeasurementRegisters))
                std::copy(own->values.begin(), own->values.end(), mine.begin());
            if (cutCurrents(mine) != t.registers) {
                ++fig.notOwnReply;
                problem(fig, QStringLiteral("tick %1 showed %2; its own reply carried %3 (%4)")
                                 .arg(k)
                                 .arg(tupleText(t.registers), tupleText(cutCurrents(mine)), own->action));
            }
            if (spoiled(own->action)) {
                ++fig.spoiledAccepted;
                problem(
                    fig,
                    QStringLiteral("tick %1 took a reply the relay spoiled (%2)").arg(k).arg(own->action));
            }
        } else if (own && !spoiled(own->action) && own->action != QLatin1String("late")) {
            if (own->afterLate)
                ++fig.failedAfterLate;
            else {
                ++fig.failedUnexplained;
                if (fig.notes.size() < 5)
                    fig.notes << QStringLiteral("tick %1 failed on a good reply: %2 | then | %3")
                                     .arg(k)
                                     .arg(own->line > 0 ? lines[own->line - 1] : QString(), lines[own->line]);
            }
        }
    }

    const bool readsAligned = setpointReads.size() == size_t(fig.setpointReads);
    if (!readsAligned)
        problem(fig, QStringLiteral("%1 setpoint reads made, the log holds %2")
                         .arg(fig.setpointReads)
                         .arg(setpointReads.size()));
    for (size_t k = 0; k < std::min(size_t(fig.setpointReads), reads.size()); ++k) {
        const SetpointRecord& r = reads[k];
        if (!r.good) continue;
        if (!sentSetpoints.count(r.image)) {
            ++fig.setpointValuesNeverSent;
            problem(fig, QStringLiteral("setpoint read %1 took values the relay never sent").arg(k));
        }
        if (readsAligned) {
            const std::vector<int>& own = setpointReads[k].values;
            if (own.size() != size_t(setpoints::kRows) ||
                !std::equal(own.begin(), own.end(), r.image.begin())) {
                ++fig.setpointNotOwnReply;
                problem(fig, QStringLiteral("setpoint read %1 did not take its own reply (%2)")
                                 .arg(k)
                                 .arg(setpointReads[k].action));
            }
        }
    }
    return fig;
}

void printFigures(std::FILE* out, const SoakOptions& o, const SoakFigures& fig) {
    if (!fig.error.isEmpty()) {
        std::fprintf(out, "soak: %s\n", qPrintable(fig.error));
        return;
    }
    const double faults = o.noReply + o.badCrc + o.shortReply + o.garbageBefore + o.lateReply;
    std::fprintf(
        out,
        "soak: seed %u, Timer2 interval %d ms%s, injected: no reply %.0f %%, bad CRC %.0f %%, short %.0f %%, "
        "garbage before %.0f %%, late (%d ms) %.0f %% (%.0f %% in all)\n",
        o.seed, o.pollIntervalMs,
        o.pollIntervalMs == 200 ? " (the window's own)" : " (shortened for the run)", 100 * o.noReply,
        100 * o.badCrc, 100 * o.shortReply, 100 * o.garbageBefore, o.lateMs, 100 * o.lateReply, 100 * faults);
    std::fprintf(out, "simulator line timing  %s, response delay %s\n",
                 o.lineTiming.isEmpty() ? "its default" : qPrintable(o.lineTiming),
                 o.responseMs < 0 ? "its default" : qPrintable(QStringLiteral("%1 ms").arg(o.responseMs)));
    std::fprintf(out, "wall time              %.1f s%s\n", fig.wallSeconds,
                 fig.reachedTarget ? "" : " (stopped by the time guard)");
    std::fprintf(out, "exchanges              %d (request lines in the simulator's log), %.1f/s\n",
                 fig.exchanges, fig.wallSeconds > 0 ? fig.exchanges / fig.wallSeconds : 0.0);
    std::fprintf(out, "poll ticks             %d: %d good, %d failed measurement reads (failures seen)\n",
                 fig.ticks, fig.goodTicks, fig.failedTicks);
    std::fprintf(out,
                 "  spoiled in the log   %d measurement replies (no reply, bad CRC, short, garbage, late)\n",
                 fig.spoiledInLog);
    std::fprintf(
        out, "  failed behind a late reply (or one it held back) %d, failed with no cause in the log %d\n",
        fig.failedAfterLate, fig.failedUnexplained);
    std::fprintf(out,
                 "  refused as early replies (began before the request could have crossed the line) %d\n",
                 fig.earlyRefused);
    std::fprintf(
        out, "disconnects            %d (%d forced by a burst of lost replies), %d reconnects, %d refused\n",
        fig.disconnects, fig.forcedDisconnects, fig.reconnects, fig.reconnectFailures);
    std::fprintf(
        out,
        "  not after six failed reads in a row %d, six in a row without a drop %d, drops without report %d\n",
        fig.disconnectsNotAfterSix, fig.sixWithoutDisconnect, fig.disconnectsWithoutReport);
    std::fprintf(
        out,
        "values never sent      %d (of %d good ticks); not the tick's own reply %d; spoiled reply taken %d; "
        "page not showing the registers %d\n",
        fig.valuesNeverSent, fig.goodTicks, fig.notOwnReply, fig.spoiledAccepted, fig.labelMismatches);
    std::fprintf(out, "variants never sent    %d (the table's variant row after each tick)\n",
                 fig.variantsNeverSent);
    std::fprintf(
        out, "setpoint reads         %d (%d good): values never sent %d, not own reply %d, table wrong %d\n",
        fig.setpointReads, fig.setpointReadsGood, fig.setpointValuesNeverSent, fig.setpointNotOwnReply,
        fig.setpointTableMismatches);
    std::fprintf(out,
                 "fault-log reads        %d: rows the relay never held %d; listings with a trip repeated %d, "
                 "with trips missing %d (a block not read keeps its last sorted bytes)\n",
                 fig.faultReads, fig.faultRowsNeverSent, fig.faultListingsWithRepeats,
                 fig.faultListingsIncomplete);
    std::fprintf(
        out,
        "setpoint writes        %d: %d reported as not all written, %d written but not kept, %d refused\n",
        fig.writes, fig.writesReported, fig.writesNotKept, fig.writesRefused);
    std::fprintf(out, "beeps                  %d, unexplained %d; message boxes %d\n", fig.beeps,
                 fig.unexpectedReports, fig.errorBoxes);
    std::fprintf(
        out,
        "resident memory        %ld kB before connecting, %ld kB after the warm-up (%d ticks), %ld kB at "
        "the end: %+ld kB\n",
        fig.rssBeforeKb, fig.rssStartKb, o.warmupTicks, fig.rssEndKb, fig.rssEndKb - fig.rssStartKb);
    if (!fig.rssEvery1000Ticks.isEmpty()) {
        std::fprintf(out, "  every 1000 ticks:   ");
        for (long kb : fig.rssEvery1000Ticks)
            std::fprintf(out, " %ld", kb);
        std::fprintf(out, " kB\n");
    }
    if (fig.firstErrorWindowStepKb >= 0)
        std::fprintf(out, "  the error window's first appearance: %+ld kB\n", fig.firstErrorWindowStepKb);
    std::fprintf(out, "crashes                0\n");
    for (const QString& n : fig.notes)
        std::fprintf(out, "  note: %s\n", qPrintable(n));
    for (const QString& p : fig.problems)
        std::fprintf(out, "  problem: %s\n", qPrintable(p));
}

// The communication monitor of the real main window against the relay
// simulator: rows and counters of a noisy poll, pause, save and a failed
// save, finding the relay, stopping the search, and the button's place.
#include "appfixture.h"
#include "filetestsupport.h"
#include "simfixture.h"
#include "tests/controls.h"

#include "config/inifile.h"
#include "linemonitor/linemonitor.h"
#include "protocol/registerbus.h"
#include "serial/tserialdriver.h"

#include "widgets/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <functional>

namespace {

QString mtr(const char* s) {
    return QCoreApplication::translate("LineMonitor", s);
}

// The simulator's lines for received frames (not the heading comment).
QList<QMap<QString, QString>> simFrames(const SimRelay& relay) {
    QList<QMap<QString, QString>> out;
    for (const QString& line : relay.logLines())
        if (line.startsWith(QLatin1String("t="))) out << SimRelay::parseLogLine(line);
    return out;
}

// The bus address a received frame was for.
int addressOf(const QMap<QString, QString>& frame) {
    const QByteArray rx = QByteArray::fromHex(frame.value(QStringLiteral("rx")).toLatin1());
    return rx.isEmpty() ? -1 : quint8(rx[0]);
}

qint64 number(const QLabel* l) {
    return l->text().toLongLong();
}

LineMonitor* openMonitor(AppFixture& app) {
    QTest::mouseClick(control<QToolButton>(app.f1(), "LineMonitorButton"), Qt::LeftButton);
    auto* m = app.f1()->findChild<LineMonitor*>(QStringLiteral("LineMonitor"));
    if (m && !QTest::qWaitForWindowExposed(m)) return nullptr;
    return m;
}

// Runs `check` every 20 ms while a click's handler runs its own waits (the scan).
class DuringScan {
public:
    explicit DuringScan(std::function<bool()> check) : check_(std::move(check)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (check_()) timer_.stop();
        });
        timer_.start(20);
    }

private:
    std::function<bool()> check_;
    QTimer timer_;
};

bool simulatorHasLineSettings() {
    QProcess p;
    p.start(SimRelay::program(), {QStringLiteral("--help")});
    if (!p.waitForFinished(30000)) return false; // only a hang ends it
    return p.readAllStandardOutput().contains("--baud") || p.readAllStandardError().contains("--baud");
}

} // namespace

class TstLineMonitor : public QObject {
    Q_OBJECT
private slots:
    void buttonInTheFreeArea();
    void noisyPollRowsAndCounters();
    void saveAndFailedSave();
    void findsTheRelayAndPutsItIntoTheSettings();
    void stopStopsTheScan();
    void scanOnlyWhileDisconnected();
    void findsTheRelayAtAnotherSpeed();
    void exceptionsCountedAndNamed();
    void findsASlowRelay();
};

void TstLineMonitor::buttonInTheFreeArea() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    // Right of the log's size label, left of the logo, inside the toolbar.
    const int buttonLeft = control<QToolButton>(f, "LineMonitorButton")->mapTo(f, QPoint()).x();
    const int buttonRight = control<QToolButton>(f, "LineMonitorButton")
                                ->mapTo(f, QPoint(control<QToolButton>(f, "LineMonitorButton")->width(), 0))
                                .x();
    QVERIFY(buttonLeft >=
            control<QLabel>(f, "LogSize")->mapTo(f, QPoint(control<QLabel>(f, "LogSize")->width(), 0)).x());
    QVERIFY(buttonRight <= f->Image9->mapTo(f, QPoint()).x());
    QVERIFY(control<QToolButton>(f, "LineMonitorButton")->isVisible());
    // The size label still fits its texts in every language (the records' own test measures its file names).
    for (int language = 0; language < 3; ++language) {
        QTest::mouseClick(app.f2()->RadioGroup2->button(language), Qt::LeftButton);
        for (const QString& t : {QCoreApplication::translate("records", "Logging stopped"),
                                 QCoreApplication::translate("records", "%1: %2")
                                     .arg(QStringLiteral("poll-2026-12-08.csv"), QStringLiteral("999.9 MB"))})
            QVERIFY2(control<QLabel>(f, "LogSize")->fontMetrics().horizontalAdvance(t) <=
                         control<QLabel>(f, "LogSize")->width(),
                     qPrintable(QStringLiteral("%1: %2 > %3")
                                    .arg(t)
                                    .arg(control<QLabel>(f, "LogSize")->fontMetrics().horizontalAdvance(t))
                                    .arg(control<QLabel>(f, "LogSize")->width())));
        // The language change reaches the widgets when the event loop next runs.
        QTRY_COMPARE(control<QToolButton>(f, "LineMonitorButton")->toolTip(),
                     mtr("Communication monitor: the exchanges on the line, and finding the relay"));
    }
}

void TstLineMonitor::noisyPollRowsAndCounters() {
    SimRelay relay;
    QVERIFY(relay.start({QStringLiteral("--no-reply"), QStringLiteral("0.2"),
                         QStringLiteral("--other-address"), QStringLiteral("0.05")}));
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    LineMonitor* m = openMonitor(app);
    QVERIFY(m);
    QVERIFY(m->isWindow());
    QCOMPARE(m->windowTitle(), mtr("Communication monitor"));
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    QVERIFY(f->SerialDriver1->IsOpen());
    QTRY_VERIFY_WITH_TIMEOUT(
        number(m->NoReplyCount) > 2 && number(m->OtherReplyCount) > 0 && number(m->GoodCount) > 10, 30000);
    // The counters add up to the requests, and the rate is the failures' share.
    auto sum = [m] {
        return number(m->GoodCount) + number(m->NoReplyCount) + number(m->ShortReplyCount) +
               number(m->BadCrcCount) + number(m->OtherReplyCount) + number(m->EarlyReplyCount) +
               number(m->ExceptionCount) + number(m->OtherFailureCount);
    };
    QCOMPARE(sum(), number(m->RequestsCount));
    const double rate =
        100.0 * double(number(m->RequestsCount) - number(m->GoodCount)) / double(number(m->RequestsCount));
    QCOMPARE(m->FailureRate->text(), linemonitor::rateText(rate, QLocale()));
    // Every row is a frame the relay received, and its lost replies are the relay's dropped ones.
    QList<QMap<QString, QString>> log = simFrames(relay);
    QMap<QString, QStringList> actionsOf; // request bytes -> actions in the log
    for (const auto& fr : log)
        actionsOf[fr.value(QStringLiteral("rx"))] << fr.value(QStringLiteral("action"));
    linemonitor::ExchangeModel* model = m->model();
    QVERIFY(model->rowCount() >= number(m->RequestsCount) - 1);
    int noReplyRows = 0, otherRows = 0;
    for (int i = 0; i < model->rowCount(); ++i) {
        const linemonitor::Row& r = model->row(i);
        const QString rx = linemonitor::hexText(r.request);
        QVERIFY2(actionsOf.contains(rx), qPrintable(rx));
        if (r.outcome == linemonitor::Outcome::NoReply) {
            ++noReplyRows;
            QVERIFY(actionsOf[rx].contains(QStringLiteral("noreply")));
            QVERIFY(r.reply.isEmpty());
        }
        if (r.outcome == linemonitor::Outcome::OtherAddressOrFunction) {
            ++otherRows;
            QVERIFY(actionsOf[rx].contains(QStringLiteral("other-address")));
            QCOMPARE(quint8(r.reply[0]), quint8(r.request[0] + 1));
        }
        QCOMPARE(model->index(i, linemonitor::ExchangeModel::OutcomeColumn).data().toString(),
                 linemonitor::outcomeText(r));
    }
    QVERIFY(noReplyRows > 0);
    QVERIFY(otherRows > 0);
    // Newest at the bottom, followed; scrolled up, the view stays where the user put it, until back at the
    // bottom.
    QScrollBar* bar = m->ExchangeView->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
    QTest::keyClick(m->ExchangeView, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(bar->value(), 0);
    const int listed = model->rowCount();
    QTRY_VERIFY_WITH_TIMEOUT(model->rowCount() > listed + 3, 10000);
    QCOMPARE(bar->value(), 0);
    QTest::keyClick(m->ExchangeView, Qt::Key_End, Qt::ControlModifier);
    const int atEnd = model->rowCount();
    QTRY_VERIFY_WITH_TIMEOUT(model->rowCount() > atEnd + 3, 10000);
    QTRY_VERIFY(bar->value() == bar->maximum());

    // Clear starts list and counters afresh.
    QTest::mouseClick(m->ClearButton, Qt::LeftButton);
    QVERIFY(number(m->RequestsCount) <= 2);
    QVERIFY(model->rowCount() <= 2);

    // Paused: the list stands still, the counters go on, and no row is lost: going on lists them all.
    QTest::mouseClick(m->PauseButton, Qt::LeftButton);
    const int rows = model->rowCount();
    const qint64 requests = number(m->RequestsCount);
    QTRY_VERIFY_WITH_TIMEOUT(number(m->RequestsCount) > requests + 4, 10000);
    QCOMPARE(model->rowCount(), rows);
    QTest::mouseClick(m->PauseButton, Qt::LeftButton);
    m->refresh();
    QCOMPARE(qint64(model->rowCount()), m->counters().requests);

    // Closed, the monitor still counts and keeps every exchange the relay received.
    m->close();
    const int logAt = simFrames(relay).size();
    const qint64 closedAt = m->counters().requests;
    QTRY_VERIFY_WITH_TIMEOUT(simFrames(relay).size() > logAt + 10, 10000);
    m->refresh();
    const qint64 counted = m->counters().requests - closedAt;
    const int received = simFrames(relay).size() - logAt;
    QVERIFY2(counted >= received - 1 && counted <= received + 1,
             qPrintable(QStringLiteral("%1 counted, %2 received").arg(counted).arg(received)));
    QCOMPARE(qint64(model->rowCount()), m->counters().requests);

    // Connecting again starts the counters afresh.
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
    m = openMonitor(app);
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    QVERIFY(f->SerialDriver1->IsOpen());
    QCOMPARE(number(m->RequestsCount), qint64(0));
    QTRY_VERIFY_WITH_TIMEOUT(number(m->RequestsCount) > 0, 10000);
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
}

void TstLineMonitor::saveAndFailedSave() {
    SimRelay relay;
    QVERIFY(relay.start());
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    LineMonitor* m = openMonitor(app);
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(m->model()->rowCount() > 10, 20000);
    QTest::mouseClick(m->PauseButton, Qt::LeftButton); // the list as saved
    const QList<linemonitor::Row> rows = m->model()->rows();

    app.saveAnswers.enqueue(app.path(QStringLiteral("line")));
    QTest::mouseClick(m->SaveButton, Qt::LeftButton);
    QVERIFY(app.errorBoxes.isEmpty());
    const QStringList lines =
        QString::fromUtf8(filetest::readBack(app.path(QStringLiteral("line.txt")))).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), rows.size() + 3);
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(lines[i + 2], linemonitor::rowLine(rows[i]));
    QVERIFY(app.dialogFilters.last().contains(QStringLiteral("*.txt")));

    // A file the size limit cuts short is reported, not kept as if saved.
    {
        filetest::FileSizeLimit limit(200);
        QVERIFY(limit.ok());
        app.saveAnswers.enqueue(app.path(QStringLiteral("cut.txt")));
        QTest::mouseClick(m->SaveButton, Qt::LeftButton);
    }
    QCOMPARE(app.errorBoxes.size(), 1);
    QVERIFY(!app.errorBoxes[0].isEmpty());
    QVERIFY(filetest::readBack(app.path(QStringLiteral("cut.txt"))).size() !=
            lines.join(QLatin1Char('\n')).size());

    // Cancelled: nothing written, nothing said.
    QTest::mouseClick(m->SaveButton, Qt::LeftButton);
    QCOMPARE(app.errorBoxes.size(), 1);
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
}

void TstLineMonitor::findsTheRelayAndPutsItIntoTheSettings() {
    SimRelay relay;
    // A relay of its own line settings hears only those (the dialog is set to them below).
    QStringList line;
    if (simulatorHasLineSettings())
        line << QStringLiteral("--baud") << QStringLiteral("9600") << QStringLiteral("--parity")
             << QStringLiteral("even");
    QVERIFY(relay.start(QStringList{QStringLiteral("--address"), QStringLiteral("137"),
                                    QStringLiteral("--variant"), QStringLiteral("3")} +
                        line));
    AppFixture app;
    // The settings at another line than the initial one: the scan uses what the dialog holds.
    ini::Selections saved;
    saved.speed = 1;  // 9600
    saved.parity = 1; // even
    filetest::writeFile(app.path(QStringLiteral("vrk.ini")), ini::fileText(saved));
    app.start();
    TForm1* f = app.f1();
    LineMonitor* m = openMonitor(app);
    QVERIFY(m->FindButton->isEnabled());
    QVERIFY(!m->StopButton->isEnabled());
    // The dialog at another speed than its initial one: the scan uses what it shows.
    bool connectDisabled = true, progressed = false;
    DuringScan watch([&] {
        if (!m->scanning()) return false;
        connectDisabled = connectDisabled && !f->SpeedButton1->isEnabled();
        // Connecting is not possible while the scan holds the port.
        QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
        progressed = progressed || m->ScanProgress->value() > 10;
        return false;
    });
    QTest::mouseClick(m->FindButton, Qt::LeftButton);
    QVERIFY(!m->scanning());
    QVERIFY2(progressed, qPrintable(m->ScanStatus->text()));
    QVERIFY(connectDisabled);
    QVERIFY(!f->SerialDriver1->IsOpen());
    QVERIFY(f->SpeedButton1->isEnabled());
    QCOMPARE(m->found().size(), 1);
    QCOMPARE(m->found()[0].address, 137);
    QCOMPARE(m->found()[0].variant, 3);
    QCOMPARE(m->found()[0].speed.baud, 9600u);
    QCOMPARE(m->found()[0].speed.parity, ptEVEN);
    QCOMPARE(m->FoundList->count(), 1);
    QVERIFY(m->FoundList->item(0)->text().contains(QStringLiteral("137")));
    QCOMPARE(m->ScanStatus->text(), mtr("Finished: %1 found.").arg(1));
    // The relay was asked at every address, once each, for its variant register; it answered address 137.
    QSet<int> asked;
    for (const auto& fr : simFrames(relay)) {
        const int address = addressOf(fr);
        QVERIFY(!asked.contains(address));
        asked << address;
        QCOMPARE(fr.value(QStringLiteral("action")),
                 address == 137 ? QStringLiteral("reply") : QStringLiteral("ignored"));
        if (address == 137) QCOMPARE(fr.value(QStringLiteral("reg")), QStringLiteral("23"));
    }
    QCOMPARE(asked.size(), 247);
    // Its questions are listed in the monitor, the answer of address 137 as good.
    m->refresh();
    QCOMPARE(m->model()->rowCount(), 247);
    QCOMPARE(m->counters().requests, qint64(247));
    QCOMPARE(m->counters().count(linemonitor::Outcome::Good), qint64(1));
    QCOMPARE(quint8(m->model()->row(136).request[0]), quint8(137));
    QCOMPARE(m->model()->row(136).outcome, linemonitor::Outcome::Good);
    // The port is closed again: the program connects.
    QTest::mouseClick(m->UseButton, Qt::LeftButton);
    QVERIFY(app.f2()->isVisible());
    QCOMPARE(app.f2()->busAddress(), 137);
    QCOMPARE(app.f2()->ComboBox1->currentIndex(), 1);
    QCOMPARE(app.f2()->ComboBox2->currentIndex(), 1);
    QTest::mouseClick(app.f2()->Button1, Qt::LeftButton);
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    QVERIFY(f->SerialDriver1->IsOpen());
    QTRY_VERIFY_WITH_TIMEOUT(number(m->GoodCount) > 2, 10000);
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
}

void TstLineMonitor::stopStopsTheScan() {
    SimRelay relay;
    QVERIFY(relay.start({QStringLiteral("--address"), QStringLiteral("200")}));
    AppFixture app;
    app.start();
    LineMonitor* m = openMonitor(app);
    DuringScan watch([&] {
        if (m->ScanProgress->value() < 20) return false;
        QTest::mouseClick(m->StopButton, Qt::LeftButton);
        return true;
    });
    QTest::mouseClick(m->FindButton, Qt::LeftButton);
    QVERIFY(!m->scanning());
    QCOMPARE(m->ScanStatus->text(), mtr("Stopped: %1 found.").arg(0));
    QVERIFY(m->FindButton->isEnabled());
    // No further requests after a settle, and far fewer than a whole scan.
    QTest::qWait(300);
    const int asked = simFrames(relay).size();
    QTest::qWait(700);
    QCOMPARE(simFrames(relay).size(), asked);
    QVERIFY(asked < 100);
    QVERIFY(m->found().isEmpty());

    // Closing the window stops a scan too.
    DuringScan close([&] {
        if (m->ScanProgress->value() < 5) return false;
        m->close();
        return true;
    });
    QTest::mouseClick(m->FindButton, Qt::LeftButton);
    QVERIFY(!m->scanning());
    QTest::qWait(300);
    const int afterClose = simFrames(relay).size();
    QTest::qWait(700);
    QCOMPARE(simFrames(relay).size(), afterClose);
    QVERIFY(afterClose < asked + 100);
    QVERIFY(app.f1()->SpeedButton1->isEnabled());

    // So does closing the main window (the program ends): the monitor closes with it.
    m = openMonitor(app);
    app.f1()->show();
    DuringScan end([&] {
        if (m->ScanProgress->value() < 5) return false;
        app.f1()->close();
        return true;
    });
    QTest::mouseClick(m->FindButton, Qt::LeftButton);
    QVERIFY(!m->scanning());
    QVERIFY(!m->isVisible());
    QTest::qWait(300);
    const int afterEnd = simFrames(relay).size();
    QTest::qWait(700);
    QCOMPARE(simFrames(relay).size(), afterEnd);
    QVERIFY(afterEnd < afterClose + 100);
}

void TstLineMonitor::scanOnlyWhileDisconnected() {
    SimRelay relay;
    QVERIFY(relay.start());
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    LineMonitor* m = openMonitor(app);
    QVERIFY(m->FindButton->isEnabled());
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    QVERIFY(f->SerialDriver1->IsOpen());
    QVERIFY(!m->FindButton->isEnabled());
    const int before = simFrames(relay).size();
    QTest::mouseClick(m->FindButton, Qt::LeftButton);
    QVERIFY(!m->scanning());
    // Only the poll's reads: no question for the variant at another address.
    for (const auto& fr : simFrames(relay).mid(before))
        QCOMPARE(addressOf(fr), 3);
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
    QVERIFY(m->FindButton->isEnabled());

    // No device behind COM1: said, with the driver's reason, and nothing left held.
    relay.stop();
    QTest::mouseClick(m->FindButton, Qt::LeftButton);
    QVERIFY(!m->scanning());
    const QString prefix = mtr("The port could not be used: %1").arg(QString());
    QVERIFY2(m->ScanStatus->text().startsWith(prefix) && m->ScanStatus->text().size() > prefix.size(),
             qPrintable(m->ScanStatus->text()));
    QVERIFY(m->FindButton->isEnabled());
    QVERIFY(f->SpeedButton1->isEnabled());
}

void TstLineMonitor::findsTheRelayAtAnotherSpeed() {
    // The simulator is built with the tests: without its line settings this test cannot
    // do its work, and that is a failure, not a pass.
    QVERIFY2(simulatorHasLineSettings(),
             "vrk-sim --help names no --baud: the simulator has no line settings");
    SimRelay relay;
    QVERIFY(relay.start({QStringLiteral("--address"), QStringLiteral("2"), QStringLiteral("--baud"),
                         QStringLiteral("19200"), QStringLiteral("--parity"), QStringLiteral("even")}));
    AppFixture app;
    app.start();
    LineMonitor* m = openMonitor(app);
    QTest::mouseClick(m->AllSpeedsBox, Qt::LeftButton);
    QVERIFY(m->AllSpeedsBox->isChecked());
    // Stopped once found: 19200 even is the second of twelve line settings (the
    // first, 19200 odd, is not heard).
    DuringScan watch([&] {
        if (m->found().isEmpty()) return false;
        QTest::mouseClick(m->StopButton, Qt::LeftButton);
        return true;
    });
    QTest::mouseClick(m->FindButton, Qt::LeftButton);
    QCOMPARE(m->found().size(), 1);
    QCOMPARE(m->found()[0].address, 2);
    QCOMPARE(m->found()[0].speed.baud, 19200u);
    QCOMPARE(m->found()[0].speed.parity, ptEVEN);
    QTest::mouseClick(m->UseButton, Qt::LeftButton);
    QCOMPARE(app.f2()->busAddress(), 2);
    QCOMPARE(app.f2()->ComboBox1->currentIndex(), 0);
    QCOMPARE(app.f2()->ComboBox2->currentIndex(), 1);
}

// A relay that refuses: the rows name the exception by its name and code,
// its counter counts them, and the saved text carries the same words.
void TstLineMonitor::exceptionsCountedAndNamed() {
    SimRelay relay;
    QVERIFY(relay.start());
    QVERIFY(relay.control(QStringLiteral("exception-code 2")));
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    LineMonitor* m = openMonitor(app);
    QVERIFY(m);
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    QVERIFY(f->SerialDriver1->IsOpen());
    QTRY_VERIFY_WITH_TIMEOUT(number(m->GoodCount) > 2, 10000);
    QVERIFY(relay.control(QStringLiteral("exception next 3")));
    QTRY_VERIFY_WITH_TIMEOUT(number(m->ExceptionCount) == 3 && number(m->GoodCount) > 6, 10000);
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
    m->refresh();
    const QString named = mtr("refused: %1 (exception %2)").arg(frames::exceptionName(2)).arg(2);
    int refused = 0;
    for (int i = 0; i < m->model()->rowCount(); ++i) {
        const linemonitor::Row& r = m->model()->row(i);
        if (r.outcome != linemonitor::Outcome::Exception) continue;
        ++refused;
        QCOMPARE(r.reply.size(), frames::kExceptionReplyLength);
        const QModelIndex outcome = m->model()->index(i, linemonitor::ExchangeModel::OutcomeColumn);
        QCOMPARE(outcome.data().toString(), named);
        QCOMPARE(outcome.data(Qt::ToolTipRole).toString(), named);
    }
    QCOMPARE(refused, 3);
    QCOMPARE(number(m->OtherFailureCount), qint64(0));
    app.saveAnswers.enqueue(app.path(QStringLiteral("refused")));
    QTest::mouseClick(m->SaveButton, Qt::LeftButton);
    QCOMPARE(QString::fromUtf8(filetest::readBack(app.path(QStringLiteral("refused.txt")))).count(named), 3);

    // In Russian, the longest language, the counters' captions and the list as the user sees them.
    QTest::mouseClick(app.f2()->RadioGroup2->button(2), Qt::LeftButton);
    QTRY_COMPARE(m->windowTitle(), mtr("Communication monitor"));
    QCoreApplication::sendPostedEvents(); // the layouts follow the new texts
    QCoreApplication::processEvents();
    m->grab().save(app.path(QStringLiteral("monitor-ru.png")));
    if (!qEnvironmentVariableIsEmpty("VRK_SCREENSHOTS"))
        m->grab().save(qEnvironmentVariable("VRK_SCREENSHOTS") + QStringLiteral("/monitor-ru.png"));
    for (QLabel* caption : m->findChildren<QLabel*>())
        if (caption->wordWrap() && caption != m->ScanStatus)
            QVERIFY2(caption->heightForWidth(caption->width()) <= caption->height() ||
                         caption->text().isEmpty(),
                     qPrintable(caption->text()));
}

// A relay that takes 75 ms to turn round, as the poll reads it, is found,
// and the finder's questions go to the monitor.
void TstLineMonitor::findsASlowRelay() {
    SimRelay relay;
    QVERIFY(relay.start({QStringLiteral("--address"), QStringLiteral("137"), QStringLiteral("--line-timing"),
                         QStringLiteral("on"), QStringLiteral("--response-ms"), QStringLiteral("75")}));
    linemonitor::ScanRequest request;
    request.line.port = relay.linkPath();
    request.line.baud = 4800;
    request.from = 135;
    request.to = 139;
    QList<BusExchange> seen;
    QList<linescan::Found> found;
    linemonitor::ScanCallbacks callbacks;
    callbacks.found = [&](const linescan::Found& f) { found << f; };
    callbacks.exchanged = [&](const BusExchange& e) { seen << e; };
    QString error;
    QCOMPARE(linemonitor::runScan(request, callbacks, &error), linemonitor::ScanEnd::Finished);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].address, 137);
    QCOMPARE(seen.size(), 5);
    QCOMPARE(seen[2].outcome, BusError::NoError);
    // It answered no sooner than its turnaround after the request.
    QVERIFY2(seen[2].roundTripUs > 75000, qPrintable(QString::number(seen[2].roundTripUs)));

    // The window's poll reads the same relay.
    AppFixture app;
    ini::Selections saved;
    saved.address = 136; // 137
    filetest::writeFile(app.path(QStringLiteral("vrk.ini")), ini::fileText(saved));
    app.start();
    LineMonitor* m = openMonitor(app);
    QTest::mouseClick(app.f1()->SpeedButton1, Qt::LeftButton);
    QVERIFY(app.f1()->SerialDriver1->IsOpen());
    QTRY_VERIFY_WITH_TIMEOUT(number(m->GoodCount) > 2, 10000);
    QTest::mouseClick(app.f1()->SpeedButton2, Qt::LeftButton);
}

QTEST_MAIN(TstLineMonitor)
#include "tst_linemonitor.moc"

// The relay unplugged in the middle of an exchange: the simulator is killed
// (SIGKILL, so its pseudo-terminal vanishes under the open port) during a
// poll tick, during a setpoint write and during a fault-log read. The program
// neither crashes nor hangs, ends the operation the way it is meant to end,
// drops the link after six failed measurement reads in a row (one beep, the
// no-connection text), cannot connect while the relay is away, and connects
// again once it is back.
#include "appfixture.h"
#include "faultlisting.h"
#include "simfixture.h"
#include "tests/controls.h"

#include "bench/soak/pollwatch.h"
#include "protocol/registerbus.h"
#include "serial/tserialdriver.h"
#include "widgets/controls.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <optional>
#include <thread>

namespace {

// Frozen motor with known registers 1..12.
const QList<int> kMotor = {100, 101, 102, 398, 401, 404, 35, 85, 1234, 0, 0x0100, 200};

const QStringList kValidTable = {QStringLiteral("12,5"), QStringLiteral("3,5"), QStringLiteral("150"),
                                 QStringLiteral("40"),   QStringLiteral("10"),  QStringLiteral("30"),
                                 QStringLiteral("5"),    QStringLiteral("400"), QStringLiteral("80"),
                                 QStringLiteral("115"),  QStringLiteral("2,5")};
const QList<int> kValidValues = {25, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5};

// A handler that takes longer than this has hung: the slowest ending, a write
// whose every remaining register fails four times, takes a few seconds.
constexpr qint64 kHangMs = 60000;

bool setMotor(SimRelay& relay) {
    if (!relay.control(QStringLiteral("freeze"))) return false;
    for (int i = 0; i < kMotor.size(); ++i)
        if (!relay.control(QStringLiteral("set %1 %2").arg(i + 1).arg(kMotor[i]))) return false;
    return true;
}

using Exchange = QMap<QString, QString>;

QList<Exchange> since(const SimRelay& relay, int from) {
    QList<Exchange> out;
    const QStringList lines = relay.logLines();
    for (int i = from; i < lines.size(); ++i)
        out << SimRelay::parseLogLine(lines[i]);
    return out;
}

bool isRead(const Exchange& e, int reg, int n) {
    return e.value(QStringLiteral("fn")) == QLatin1String("3") &&
           e.value(QStringLiteral("reg")).toInt() == reg && e.value(QStringLiteral("n")).toInt() == n;
}

const QString kNoConnection = QString::fromUtf8("Nie można uzyskać połączenia z VRK.");

} // namespace

class TstUnplug : public QObject {
    Q_OBJECT
private slots:
    void cleanup();

    void killedDuringPoll_data();
    void killedDuringPoll();
    void killedDuringSetpointWrite();
    void killedDuringFaultLogRead();
    void disconnectedInATransfersWait_data();
    void disconnectedInATransfersWait();

private:
    // Starts the simulator and the program (the PC's clock at `now` when
    // given), connects and waits for the motor's values.
    void begin(const QStringList& simArgs, std::optional<QDateTime> now = std::nullopt);
    // The poll drops the link after six failed reads in a row, with one beep
    // more than `beepsBefore` and the no-connection text.
    void expectDrop(int beepsBefore);
    // Connecting fails while the relay is away; once it is back, connecting
    // works and the values appear.
    void plugBackIn();
    void connectNow();

    std::unique_ptr<SimRelay> relay_;
    std::unique_ptr<AppFixture> app_;
    std::unique_ptr<PollWatch> watch_;
    TForm1* f_ = nullptr;
};

void TstUnplug::cleanup() {
    if (f_ && f_->SerialDriver1->IsOpen()) f_->Rozlacz();
    watch_.reset();
    f_ = nullptr;
    app_.reset();
    relay_.reset();
}

void TstUnplug::connectNow() {
    f_->SpeedButton1Click();
    QVERIFY(f_->SerialDriver1->IsOpen());
    watch_->connected();
}

void TstUnplug::begin(const QStringList& simArgs, std::optional<QDateTime> now) {
    relay_ = std::make_unique<SimRelay>();
    QVERIFY(relay_->start(simArgs));
    QVERIFY(setMotor(*relay_));
    app_ = std::make_unique<AppFixture>();
    if (now) seams::current().now = [t = *now] { return t; };
    app_->start();
    f_ = app_->f1();
    f_->Timer1Timer(); // the clock's month, as its first tick sets it
    watch_ = std::make_unique<PollWatch>(f_);
    connectNow();
    if (QTest::currentTestFailed()) return;
    QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f_, "Label11")->text(), QStringLiteral("100"), 10000);
    QCOMPARE(app_->beeps, 0);
}

void TstUnplug::expectDrop(int beepsBefore) {
    QElapsedTimer took;
    took.start();
    QTRY_VERIFY_WITH_TIMEOUT(!f_->SerialDriver1->IsOpen(), 20000);
    qInfo("the poll dropped the link %lld ms later", took.elapsed());
    QVERIFY(watch_->last().disconnected);
    QCOMPARE(watch_->last().failedInARow, 6);
    QCOMPARE(f_->dataPage().state().lostReads, 6);
    QCOMPARE(watch_->disconnects(), 1);
    QCOMPARE(watch_->disconnectsNotAfterSix(), 0);
    QCOMPARE(app_->beeps, beepsBefore + 1);
    // The language file's text, and on a second line why: the reads met a device gone or silent.
    const QStringList lines = f_->Label100->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], kNoConnection);
    QVERIFY2(
        lines[1].startsWith(
            QCoreApplication::translate("display", "%1 reads in a row failed: %2").arg(6).arg(QString())),
        qPrintable(lines[1]));
    QVERIFY2(lines[1].contains(busErrorText(BusError::DeviceGone)) ||
                 lines[1].contains(busErrorText(BusError::NoReply)) ||
                 lines[1].contains(busErrorText(BusError::PortClosed)),
             qPrintable(lines[1]));
    QVERIFY(app_->f4()->isVisible());
    QVERIFY(!f_->Timer2->isActive());
    for (QLabel* l :
         {control<QLabel>(f_, "Label11"), control<QLabel>(f_, "Label41"), control<QLabel>(f_, "Label59")})
        QCOMPARE(l->text(), QStringLiteral("#"));
    for (QLabel* lamp : {control<QLabel>(f_, "Image8"), control<QLabel>(f_, "Image10")})
        QVERIFY(lamp->isHidden());
    QVERIFY(f_->SpeedButton1->isEnabled());
    QVERIFY(!f_->SpeedButton2->isEnabled());
    for (QToolButton* b :
         {control<QToolButton>(f_, "SpeedButton6"), control<QToolButton>(f_, "SpeedButton7"),
          control<QToolButton>(f_, "SpeedButton11"), control<QToolButton>(f_, "SpeedButton12")})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    // No tick after the drop.
    const int ticks = watch_->ticks();
    QTest::qWait(500);
    QCOMPARE(watch_->ticks(), ticks);
}

void TstUnplug::plugBackIn() {
    // The adapter's device is gone, as a pulled USB adapter's node is. (The
    // dangling link is removed: its terminal's number may already belong to
    // a simulator of a test running beside this one.)
    QFile::remove(relay_->linkPath());
    const int beeps = app_->beeps;
    f_->SpeedButton1Click();
    QVERIFY(!f_->SerialDriver1->IsOpen());
    QCOMPARE(app_->beeps, beeps + 1);
    QCOMPARE(f_->Label100->text(),
             f_->hiddenLabel(HiddenText::PortBusy)->text() + QLatin1Char('\n') +
                 QCoreApplication::translate("TSerialDriver", "No such device: %1").arg(relay_->linkPath()));
    QVERIFY(f_->SpeedButton1->isEnabled());

    QVERIFY(relay_->restart());
    QVERIFY(setMotor(*relay_));
    QVERIFY(relay_->control(QStringLiteral("set 1 120")));
    connectNow();
    if (QTest::currentTestFailed()) return;
    QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(f_, "Label11")->text(), QStringLiteral("120"), 10000);
    QCOMPARE(control<QLabel>(f_, "Label41")->text(), QStringLiteral("398"));
    QVERIFY(f_->Timer2->isActive());
    for (QToolButton* b :
         {control<QToolButton>(f_, "SpeedButton6"), control<QToolButton>(f_, "SpeedButton7"),
          control<QToolButton>(f_, "SpeedButton11"), control<QToolButton>(f_, "SpeedButton12")})
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    QCOMPARE(app_->beeps, beeps + 1);
}

void TstUnplug::killedDuringPoll_data() {
    QTest::addColumn<bool>("waitingForReply");
    // Killed from the test's thread while the tick waits its 20 ms between
    // the measurement read and the variant read.
    QTest::newRow("between the tick's two reads") << false;
    // Killed from another thread while the measurement read waits for a
    // reply (the simulator drops the replies and logs each request at once).
    QTest::newRow("while the measurement read waits for its reply") << true;
}

void TstUnplug::killedDuringPoll() {
    QFETCH(bool, waitingForReply);
    begin({});
    if (QTest::currentTestFailed()) return;

    if (!waitingForReply) {
        QTimer killer;
        // Only the poll runs here: a sequence under way is a tick in its pause.
        connect(&killer, &QTimer::timeout, this, [&] {
            if (f_->exchangeBusy() && relay_->isRunning()) relay_->kill();
        });
        killer.start(1);
        QTRY_VERIFY_WITH_TIMEOUT(!relay_->isRunning(), 10000);
        killer.stop();
        QCOMPARE(f_->dataPage().state().lostReads, 0); // the tick's measurement read was still good
    } else {
        const QString logPath = relay_->logPath();
        const pid_t pid = relay_->pid();
        QVERIFY(relay_->control(QStringLiteral("noreply 1")));
        qint64 from = 0;
        {
            QFile log(logPath);
            from = log.size();
        }
        std::atomic<bool> killed{false};
        std::thread killer([&] {
            QDeadlineTimer deadline(10000);
            while (!deadline.hasExpired()) {
                QFile log(logPath);
                if (log.open(QIODevice::ReadOnly) && log.seek(from)) {
                    for (int i = 0; i < 1000; ++i) {
                        const QByteArray line = log.readLine(4096);
                        if (line.isEmpty()) break;
                        if (line.contains(" fn=3 reg=1 n=12 ")) {
                            ::kill(pid, SIGKILL);
                            killed = true;
                            return;
                        }
                    }
                }
                QThread::usleep(200);
            }
        });
        // Joined on every way out of the test, a failed check included.
        struct Joiner {
            std::thread& t;
            ~Joiner() {
                if (t.joinable()) t.join();
            }
        } joiner{killer};
        QTRY_VERIFY_WITH_TIMEOUT(killed.load(), 15000);
        killer.join();
        relay_->kill(); // reaps it
    }
    expectDrop(0);
    if (QTest::currentTestFailed()) return;
    plugBackIn();
}

// The write goes on with the registers left, each failing its four
// attempts; then, as after any write, the buttons and the poll come back
// (the port is still open) and the error window reports that the relay did
// not answer. The poll then drops the link.
void TstUnplug::killedDuringSetpointWrite() {
    begin({});
    if (QTest::currentTestFailed()) return;
    QTRY_COMPARE_WITH_TIMEOUT(control<StringGrid>(f_, "StringGrid1")->cell(3, 11), QStringLiteral("2"),
                              10000);
    for (int r = 0; r < kValidTable.size(); ++r)
        control<StringGrid>(f_, "StringGrid1")->setCell(3, r, kValidTable[r]);
    const int from = int(relay_->logLines().size());

    QTimer killer;
    connect(&killer, &QTimer::timeout, this, [&] {
        if (!relay_->isRunning()) return;
        int writes = 0;
        for (const Exchange& e : since(*relay_, from))
            if (e.value(QStringLiteral("fn")) == QLatin1String("6")) ++writes;
        if (writes >= 3) relay_->kill();
    });
    killer.start(1);
    QElapsedTimer took;
    took.start();
    f_->SpeedButton7Click();
    const qint64 ms = took.elapsed();
    killer.stop();
    qInfo("the write returned %lld ms after the click", ms);
    QVERIFY2(ms < kHangMs, qPrintable(QStringLiteral("the write took %1 ms").arg(ms)));
    QVERIFY(!relay_->isRunning());

    // The relay took registers 12, 13 and 14, then vanished.
    QStringList regs;
    for (const Exchange& e : since(*relay_, from))
        if (e.value(QStringLiteral("fn")) == QLatin1String("6")) regs << e.value(QStringLiteral("reg"));
    QCOMPARE(regs, (QStringList{QStringLiteral("12"), QStringLiteral("13"), QStringLiteral("14")}));

    QVERIFY(f_->SerialDriver1->IsOpen());
    QVERIFY(f_->Timer2->isActive());
    for (QToolButton* b :
         {control<QToolButton>(f_, "SpeedButton6"), control<QToolButton>(f_, "SpeedButton7"),
          control<QToolButton>(f_, "SpeedButton11"), control<QToolButton>(f_, "SpeedButton12")})
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(f_->ProgressBar4->isHidden());
    QVERIFY(!f_->exchangeBusy());
    // No connection, and what the relay now holds, parameter by parameter.
    const QStringList lines = f_->Label100->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), kNoConnection);
    QCOMPARE(lines.size(), 2 + 11);
    // Registers 12..14 confirmed, 15 met the vanished relay; once the device
    // is known gone nothing more is tried.
    const QString confirmed = QCoreApplication::translate("core", "written and confirmed");
    const QString unconfirmed =
        QCoreApplication::translate("core", "not confirmed (may or may not be in the relay)");
    const QString notSent = QCoreApplication::translate("core", "not sent (the relay keeps its old value)");
    for (int row = 0; row < 11; ++row) {
        const QString& line = lines[2 + row];
        if (row < 3)
            QVERIFY2(line.endsWith(confirmed), qPrintable(line));
        else if (row == 3)
            QVERIFY2(line.endsWith(unconfirmed), qPrintable(line));
        else
            QVERIFY2(line.endsWith(unconfirmed) || line.endsWith(notSent), qPrintable(line));
    }
    QVERIFY(app_->f4()->isVisible());
    QCOMPARE(app_->beeps, 1);

    expectDrop(1);
    if (QTest::currentTestFailed()) return;
    plugBackIn();
    if (QTest::currentTestFailed()) return;

    // The relay back in place takes the whole table.
    QTRY_COMPARE_WITH_TIMEOUT(control<StringGrid>(f_, "StringGrid1")->cell(3, 11), QStringLiteral("2"),
                              10000);
    const int beeps = app_->beeps;
    f_->SpeedButton7Click();
    for (int i = 0; i < kValidValues.size(); ++i) {
        QString answer;
        QVERIFY(relay_->control(QStringLiteral("get %1").arg(12 + i), &answer));
        QCOMPARE(answer, QStringLiteral("ok %1").arg(kValidValues[i]));
    }
    QCOMPARE(app_->beeps, beeps);
}

// The blocks read before the relay vanished are listed afresh; the two it
// could not send keep what they held after the last read, and the whole is
// sorted again.
void TstUnplug::killedDuringFaultLogRead() {
    begin({QStringLiteral("--empty-memory")}, QDateTime(QDate(2026, 12, 28), QTime(10, 0)));
    if (QTest::currentTestFailed()) return;
    StringGrid* g = control<StringGrid>(f_, "StringGrid2");
    auto record = [&](int k, int cause, int month, int day, int hour) {
        return relay_->control(
            QStringLiteral("record %1 %2 %3 %4 %5 0").arg(k).arg(cause).arg(month).arg(day).arg(hour));
    };
    // First read: 22 trips in January in the relay's slots 0..21, so the
    // third block (slots 20..29), kept when it is lost, holds 21 and 22 January.
    for (int k = 0; k < 22; ++k)
        QVERIFY(record(k, 0x01, 1, k + 1, 10));
    f_->SpeedButton12Click();
    QCOMPARE(g->cell(2, 1), QStringLiteral("22 ") + f_->miesiac(QStringLiteral("01")));
    QCOMPARE(g->cell(2, 22), QStringLiteral("1 ") + f_->miesiac(QStringLiteral("01")));

    // The relay's memory now holds one trip in each block.
    QVERIFY(relay_->control(QStringLiteral("memory empty")));
    QVERIFY(record(3, 0x02, 6, 15, 12));  // block 1
    QVERIFY(record(13, 0x04, 7, 16, 13)); // block 2
    QVERIFY(record(23, 0x08, 8, 17, 14)); // block 3: never arrives
    QVERIFY(record(33, 0x10, 9, 18, 15)); // block 4: never arrives
    const int from = int(relay_->logLines().size());
    QTimer killer;
    connect(&killer, &QTimer::timeout, this, [&] {
        if (!relay_->isRunning()) return;
        for (const Exchange& e : since(*relay_, from))
            if (isRead(e, 51, 25)) relay_->kill();
    });
    killer.start(1);
    QElapsedTimer took;
    took.start();
    f_->SpeedButton12Click();
    const qint64 ms = took.elapsed();
    killer.stop();
    qInfo("the fault-log read returned %lld ms after the click", ms);
    QVERIFY2(ms < kHangMs, qPrintable(QStringLiteral("the read took %1 ms").arg(ms)));
    QVERIFY(!relay_->isRunning());

    QStringList blocks;
    for (const Exchange& e : since(*relay_, from))
        if (e.value(QStringLiteral("reg")).toInt() >= 26) blocks << e.value(QStringLiteral("reg"));
    QCOMPARE(blocks, (QStringList{QStringLiteral("26"), QStringLiteral("51")}));
    auto row = [&](int cause, int day, const char* month, const char* time) {
        return f_->przyczyna(cause) + QLatin1Char('|') + QString::number(day) + QLatin1Char(' ') +
               f_->miesiac(QLatin1String(month)) + QLatin1Char('|') + QLatin1String(time);
    };
    QCOMPARE(listing(g, 4), (QStringList{row(0x04, 16, "07", "  13:00"), row(0x02, 15, "06", "  12:00"),
                                         row(0x01, 22, "01", "  10:00"), row(0x01, 21, "01", "  10:00")}));
    QVERIFY(listingEmptyFrom(g, 5));
    QVERIFY(f_->ProgressBar4->isHidden());
    QVERIFY(!f_->exchangeBusy());
    QCOMPARE(app_->beeps, 0); // the fault log reports nothing itself

    expectDrop(0);
    if (QTest::currentTestFailed()) return;
    plugBackIn();
    if (QTest::currentTestFailed()) return;

    // The relay back in place (with its memory empty again) is read whole.
    f_->SpeedButton12Click();
    QVERIFY(listingEmptyFrom(g, 1));
}

// The user disconnects in the first wait of a transfer: nothing more goes
// to the relay, the disconnect's state stays, and the transfer reports what
// it always reports on a lost link.
void TstUnplug::disconnectedInATransfersWait_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("noConnection"); // the no-connection text in the error window
    QTest::addColumn<bool>("faultNotice");  // the fault page's notice of blocks not read
    QTest::newRow("setpoint read") << QStringLiteral("SpeedButton6") << false << false;
    QTest::newRow("setpoint write") << QStringLiteral("SpeedButton7") << true << false;
    QTest::newRow("clock") << QStringLiteral("SpeedButton11") << true << false;
    QTest::newRow("fault log") << QStringLiteral("SpeedButton12") << false << true;
    QTest::newRow("reset") << QStringLiteral("Button5") << false << false;
}

void TstUnplug::disconnectedInATransfersWait() {
    QFETCH(QString, button);
    QFETCH(bool, noConnection);
    QFETCH(bool, faultNotice);
    begin({});
    if (QTest::currentTestFailed()) return;
    QTRY_COMPARE_WITH_TIMEOUT(control<StringGrid>(f_, "StringGrid1")->cell(3, 11), QStringLiteral("2"),
                              10000);
    for (int r = 0; r < kValidTable.size(); ++r)
        control<StringGrid>(f_, "StringGrid1")->setCell(3, r, kValidTable[r]);
    auto* transfer = f_->findChild<QAbstractButton*>(button);
    QVERIFY(transfer);
    QVERIFY(transfer->isEnabled());
    f_->Timer2->stop(); // only the transfer waits from here on
    const int from = int(relay_->logLines().size());

    QTimer user;
    connect(&user, &QTimer::timeout, this, [&] {
        if (f_->exchangeBusy() && f_->SerialDriver1->IsOpen()) f_->SpeedButton2->click();
    });
    user.start(1);
    transfer->click();
    user.stop();

    QVERIFY(!f_->SerialDriver1->IsOpen());
    QVERIFY(!f_->exchangeBusy());
    QVERIFY(!f_->Timer2->isActive());
    for (QToolButton* b :
         {control<QToolButton>(f_, "SpeedButton6"), control<QToolButton>(f_, "SpeedButton7"),
          control<QToolButton>(f_, "SpeedButton11"), control<QToolButton>(f_, "SpeedButton12")})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(f_->SpeedButton1->isEnabled());
    QVERIFY(f_->ProgressBar4->isHidden());
    for (const Exchange& e : since(*relay_, from))
        QVERIFY2(!e.contains(QStringLiteral("fn")), qPrintable(relay_->logLines().join(QLatin1Char('\n'))));
    QCOMPARE(f_->Label100->text(), noConnection ? kNoConnection : QString());
    QCOMPARE(app_->beeps, noConnection ? 1 : 0);
    QCOMPARE(!control<QLabel>(f_, "FaultLogNotice")->isHidden(), faultNotice);
}

QTEST_MAIN(TstUnplug)
#include "tst_unplug.moc"

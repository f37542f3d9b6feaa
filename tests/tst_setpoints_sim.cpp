// The setpoint transfers of the real main window against the relay
// simulator over a pseudo-terminal: what is read, what is written in which
// order with which values, the retries, the report of a register that could
// not be written, and the clock.
#include "setpointtables.h"
#include "appfixture.h"
#include "simfixture.h"

#include "app/controls.h"
#include "serial/tserialdriver.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

const QList<int> kValidValues{25, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5};


using Exchange = QMap<QString, QString>;

} // namespace

class TstSetpointsSim : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readShowsTheRelaysSetpoints();
    void failedReadLeavesTableAlone();
    void writeSendsElevenRegistersInOrder();
    void writeRetriesDroppedReplies();
    void writeReportsRegisterThatFailed();
    void relayNeverAnswers();
    void disconnectDuringWrite();
    void clockAtNewYearsEve();
    void clockReportsRegisterThatFailed();
    void loadedFileTakesTheRelaysVariant();

private:
    // The exchanges the simulator logged from line `from` on.
    QList<Exchange> since(int from) const;
    QList<Exchange> writes(int from) const;
    int mark() const { return int(relay_->logLines().size()); }
    QString relayRegister(int reg) const;
    void checkRestored() const;

    std::unique_ptr<SimRelay> relay_;
    std::unique_ptr<AppFixture> app_;
    TForm1* f_ = nullptr;
    StringGrid* g_ = nullptr;
};

void TstSetpointsSim::init() {
    relay_ = std::make_unique<SimRelay>();
    QVERIFY(relay_->start({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze")}));
    app_ = std::make_unique<AppFixture>();
    app_->start();
    f_ = app_->f1();
    g_ = f_->findChild<StringGrid*>(QStringLiteral("StringGrid1"));
    QVERIFY(g_);
    f_->SpeedButton1Click();
    QVERIFY(f_->SerialDriver1->IsOpen());
    QVERIFY(f_->Timer2->isActive());
    // The poll writes the relay's variant into the table.
    QTRY_COMPARE_WITH_TIMEOUT(g_->cell(3, 11), QStringLiteral("2"), 10000);
}

void TstSetpointsSim::cleanup() {
    if (app_ && f_) f_->Rozlacz();
    g_ = nullptr;
    f_ = nullptr;
    app_.reset();
    relay_.reset();
}

QList<Exchange> TstSetpointsSim::since(int from) const {
    QList<Exchange> out;
    const QStringList lines = relay_->logLines();
    for (int i = from; i < lines.size(); ++i)
        out << SimRelay::parseLogLine(lines[i]);
    return out;
}

QList<Exchange> TstSetpointsSim::writes(int from) const {
    QList<Exchange> out;
    for (const Exchange& e : since(from))
        if (e.value(QStringLiteral("fn")) == QLatin1String("6")) out << e;
    return out;
}

QString TstSetpointsSim::relayRegister(int reg) const {
    QString answer;
    relay_->control(QStringLiteral("get %1").arg(reg), &answer);
    return answer.mid(3);
}

// The end of a write: the buttons and the poll are back.
void TstSetpointsSim::checkRestored() const {
    for (QToolButton* b : {f_->SpeedButton6, f_->SpeedButton7, f_->SpeedButton11, f_->SpeedButton12})
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(f_->Timer2->isActive());
    QVERIFY(f_->ProgressBar4->isHidden());
    QVERIFY(!f_->exchangeBusy());
}

void TstSetpointsSim::readShowsTheRelaysSetpoints() {
    for (int i = 0; i < 11; ++i)
        QVERIFY(relay_->control(QStringLiteral("set %1 %2").arg(12 + i).arg(kValidValues[i])));
    QVERIFY(relay_->control(QStringLiteral("clock 12 6 9 5")));
    QVERIFY(relay_->control(QStringLiteral("clock stop")));
    const int from = mark();
    f_->SpeedButton6Click();
    QCOMPARE(values(g_), validTable());
    QCOMPARE(f_->setpointImage.size(), 14);
    QCOMPARE(f_->setpointImage[12], 0x1206);
    QVERIFY(f_->ProgressBar4->isHidden());
    int reads = 0;
    for (const Exchange& e : since(from))
        if (e.value(QStringLiteral("fn")) == QLatin1String("3") &&
            e.value(QStringLiteral("reg")) == QLatin1String("12")) {
            QCOMPARE(e.value(QStringLiteral("n")), QStringLiteral("14"));
            ++reads;
        }
    QCOMPARE(reads, 1);
    QVERIFY(writes(from).isEmpty());
}

void TstSetpointsSim::failedReadLeavesTableAlone() {
    QStringList table = validTable();
    table[3] = QStringLiteral("77");
    fill(g_, table);
    f_->setpointImage = {1, 2, 3};
    const int from = mark();
    // No tick runs between here and the read: the dropped reply is the read's.
    QVERIFY(relay_->control(QStringLiteral("noreply next 1")));
    f_->SpeedButton6Click();
    QCOMPARE(since(from).first().value(QStringLiteral("action")), QStringLiteral("noreply"));
    QCOMPARE(since(from).first().value(QStringLiteral("reg")), QStringLiteral("12"));
    QCOMPARE(values(g_), table);
    QCOMPARE(f_->setpointImage, (QVector<qint32>{1, 2, 3}));
    QCOMPARE(app_->beeps, 0);
    QVERIFY(f_->Label100->text().isEmpty());
    QVERIFY(f_->ProgressBar4->isHidden());
}

void TstSetpointsSim::writeSendsElevenRegistersInOrder() {
    fill(g_, validTable());
    const int from = mark();
    f_->SpeedButton7Click();
    const QList<Exchange> all = since(from);
    QList<int> regs, sent, firstAndLast;
    for (int i = 0; i < all.size(); ++i)
        if (all[i].value(QStringLiteral("fn")) == QLatin1String("6")) {
            regs << all[i].value(QStringLiteral("reg")).toInt();
            sent << all[i].value(QStringLiteral("value")).toInt();
            if (firstAndLast.size() < 2)
                firstAndLast << i;
            else
                firstAndLast[1] = i;
        }
    QCOMPARE(regs, (QList<int>{12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22}));
    QCOMPARE(sent, kValidValues);
    // The poll stood still while the setpoints went out.
    for (int i = firstAndLast[0]; i <= firstAndLast[1]; ++i)
        QCOMPARE(all[i].value(QStringLiteral("fn")), QStringLiteral("6"));
    for (int i = 0; i < 11; ++i)
        QCOMPARE(relayRegister(12 + i), QString::number(kValidValues[i]));
    checkRestored();
    QVERIFY(f_->Label100->text().isEmpty());
    QVERIFY(!app_->f4()->isVisible());
    QCOMPARE(app_->beeps, 0);
}

void TstSetpointsSim::writeRetriesDroppedReplies() {
    fill(g_, validTable());
    const int from = mark();
    QVERIFY(relay_->control(QStringLiteral("noreply next 3")));
    f_->SpeedButton7Click();
    const QList<Exchange> w = writes(from);
    QCOMPARE(w.size(), 14);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(w[i].value(QStringLiteral("reg")), QStringLiteral("12"));
        QCOMPARE(w[i].value(QStringLiteral("value")), QStringLiteral("25"));
        QCOMPARE(w[i].value(QStringLiteral("action")),
                 i < 3 ? QStringLiteral("noreply") : QStringLiteral("reply"));
    }
    QCOMPARE(relayRegister(12), QStringLiteral("25"));
    checkRestored();
    QVERIFY(f_->Label100->text().isEmpty());
}

// Four dropped replies for register 12: the other ten are still written, the
// end is as after success, and then the error window says the relay did not answer.
void TstSetpointsSim::writeReportsRegisterThatFailed() {
    fill(g_, validTable());
    const int from = mark();
    QVERIFY(relay_->control(QStringLiteral("noreply next 4")));
    f_->SpeedButton7Click();
    const QList<Exchange> w = writes(from);
    QCOMPARE(w.size(), 14);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(w[i].value(QStringLiteral("reg")), QStringLiteral("12"));
    for (int i = 4; i < 14; ++i)
        QCOMPARE(w[i].value(QStringLiteral("reg")).toInt(), 13 + (i - 4));
    QCOMPARE(relayRegister(22), QStringLiteral("5"));
    checkRestored();
    QCOMPARE(f_->Label100->text(), f_->hiddenLabel(67)->text());
    QCOMPARE(f_->Label100->text(), QString::fromUtf8("Nie można uzyskać połączenia z VRK."));
    QVERIFY(app_->f4()->isVisible());
    QCOMPARE(app_->beeps, 1);
}

void TstSetpointsSim::relayNeverAnswers() {
    fill(g_, validTable());
    const int from = mark();
    QVERIFY(relay_->control(QStringLiteral("noreply 1")));
    f_->SpeedButton7Click();
    QVERIFY(relay_->control(QStringLiteral("inject off")));
    const QList<Exchange> w = writes(from);
    QCOMPARE(w.size(), 44);
    for (int i = 0; i < 44; ++i)
        QCOMPARE(w[i].value(QStringLiteral("reg")).toInt(), 12 + i / 4);
    checkRestored();
    QCOMPARE(f_->Label100->text(), f_->hiddenLabel(67)->text());
}

// The user disconnects during the write's first wait: nothing more is sent,
// and the window stays disconnected (no poll on a closed port, no transfer
// buttons) with the report that the setpoints did not all reach the relay.
void TstSetpointsSim::disconnectDuringWrite() {
    fill(g_, validTable());
    const int from = mark();
    QTimer::singleShot(0, f_, [this] { f_->SpeedButton2Click(); });
    f_->SpeedButton7Click();
    QVERIFY(writes(from).isEmpty());
    QVERIFY(!f_->SerialDriver1->IsOpen());
    QVERIFY(!f_->Timer2->isActive());
    for (QToolButton* b : {f_->SpeedButton6, f_->SpeedButton7, f_->SpeedButton11, f_->SpeedButton12})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(f_->SpeedButton1->isEnabled());
    QVERIFY(f_->ProgressBar4->isHidden());
    QCOMPARE(f_->Label100->text(), f_->hiddenLabel(67)->text());
}

void TstSetpointsSim::clockAtNewYearsEve() {
    seams::current().now = [] { return QDateTime(QDate(2025, 12, 31), QTime(23, 59, 30)); };
    const int from = mark();
    f_->SpeedButton11Click();
    const QList<Exchange> w = writes(from);
    QCOMPARE(w.size(), 2);
    QCOMPARE(w[0].value(QStringLiteral("reg")), QStringLiteral("24"));
    QCOMPARE(w[0].value(QStringLiteral("value")).toInt(), 0x1231);
    QCOMPARE(w[1].value(QStringLiteral("reg")), QStringLiteral("25"));
    QCOMPARE(w[1].value(QStringLiteral("value")).toInt(), 0x2359);
    QCOMPARE(g_->cell(3, 12), QStringLiteral("12.31"));
    QCOMPARE(g_->cell(3, 13), QStringLiteral("23:59"));
    QVERIFY(f_->Timer2->isActive());
    QCOMPARE(app_->beeps, 0);
    // The relay's clock now runs from there.
    f_->SpeedButton6Click();
    QCOMPARE(g_->cell(3, 12), QStringLiteral("12.31"));
}

// The relay drops every reply to the date: the time is still sent, and the
// error window says the relay did not take the clock.
void TstSetpointsSim::clockReportsRegisterThatFailed() {
    seams::current().now = [] { return QDateTime(QDate(2026, 12, 6), QTime(9, 5)); };
    const int from = mark();
    QVERIFY(relay_->control(QStringLiteral("noreply next 4")));
    f_->SpeedButton11Click();
    const QList<Exchange> w = writes(from);
    QCOMPARE(w.size(), 5);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(w[i].value(QStringLiteral("reg")), QStringLiteral("24"));
    QCOMPARE(w[4].value(QStringLiteral("reg")), QStringLiteral("25"));
    QCOMPARE(w[4].value(QStringLiteral("value")).toInt(), 0x0905);
    QCOMPARE(g_->cell(3, 12), QStringLiteral("12.06"));
    QCOMPARE(f_->Label100->text(), f_->hiddenLabel(67)->text());
    QVERIFY(app_->f4()->isVisible());
}

// A file of a 20 A relay loaded while a 100 A relay is connected: the poll
// puts the relay's own variant back into row 11, and the write then scales
// row 0 by it.
void TstSetpointsSim::loadedFileTakesTheRelaysVariant() {
    QStringList fileTable = validTable();
    fileTable[11] = QStringLiteral("1");
    QFile file(app_->path(QStringLiteral("small.vrk")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const QString& l : fileTable)
        file.write(l.toLatin1() + "\r\n");
    file.close();
    app_->openAnswers << file.fileName();
    f_->SpeedButton9Click();
    QCOMPARE(g_->cell(3, 11), QStringLiteral("1"));
    QCOMPARE(g_->cell(3, 0), QStringLiteral("12,5"));
    QTRY_COMPARE_WITH_TIMEOUT(g_->cell(3, 11), QStringLiteral("2"), 10000);
    const int from = mark();
    f_->SpeedButton7Click();
    const QList<Exchange> w = writes(from);
    QVERIFY(!w.isEmpty());
    QCOMPARE(w.first().value(QStringLiteral("value")), QStringLiteral("25"));
}

QTEST_MAIN(TstSetpointsSim)
#include "tst_setpoints_sim.moc"

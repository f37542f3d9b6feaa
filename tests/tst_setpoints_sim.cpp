// The setpoint transfers of the real main window against the relay
// simulator over a pseudo-terminal: what is read, what is written in which
// order with which values, the retries, the report of a register that could
// not be written, and the clock.
#include "appfixture.h"
#include "setpointtables.h"
#include "simfixture.h"
#include "tests/controls.h"

#include "core/results.h"

#include "serial/tserialdriver.h"
#include "setpoints/comparewindow.h"
#include "setpoints/readback.h"
#include "widgets/controls.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

const QList<int> kValidValues{25, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5};

using Exchange = QMap<QString, QString>;

QString tx(const char* source) {
    return QCoreApplication::translate("setpoints", source);
}

} // namespace

class TstSetpointsSim : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readShowsTheRelaysSetpoints();
    void unknownVariantSaysSo();
    void failedReadLeavesTableAlone();
    void writeSendsElevenRegistersInOrder();
    void writeRetriesDroppedReplies();
    void writeReportsRegisterThatFailed();
    void relayNeverAnswers();
    void disconnectDuringWrite();
    void clockAtNewYearsEve();
    void clockReportsRegisterThatFailed();
    void loadedFileTakesTheRelaysVariant();

    void writeTakesTheOpenEditor_data();
    void writeTakesTheOpenEditor();
    void confirmedWriteSaysSo();
    void readBackReportsWhatTheRelayHolds();
    void failedReadBackIsNoConfirmation();
    void disconnectBeforeReadBack();
    void marksFollowReadsEditsAndWrites();
    void compareWithFileAfterRead();

    void tableForAnotherVariantIsRefused_data();
    void tableForAnotherVariantIsRefused();
    void readBackComparesUnits();
    void partWriteKeepsConfirmedValues();

private:
    // Shows the window on the setpoint page.
    void showSetpointPage();
    // Opens the cell editor of a value row with a double-click and empties it
    // with real keys; the editor stays open.
    QLineEdit* openEmptyEditor(int row);
    // Runs a control command once the simulator has logged a write to reg
    // (from log line `from` on), while the program waits between its writes.
    void whenWritten(int reg, const QString& command, int from);
    void whenWritten(int reg, const std::function<void()>& act, int from);
    // Runs a control command once the simulator has logged the write's read of the variant.
    void whenVariantRead(const QString& command, int from);
    void clickButton(QToolButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    QString rowName(int row) const;

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
    for (QToolButton* b :
         {control<QToolButton>(f_, "SpeedButton6"), control<QToolButton>(f_, "SpeedButton7"),
          control<QToolButton>(f_, "SpeedButton11"), control<QToolButton>(f_, "SpeedButton12")})
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(f_->Timer2->isActive());
    QVERIFY(f_->ProgressBar4->isHidden());
    QVERIFY(!f_->exchangeBusy());
}

void TstSetpointsSim::showSetpointPage() {
    f_->show();
    f_->SpeedButton22Click();
    QVERIFY(QTest::qWaitForWindowExposed(f_));
}

QLineEdit* TstSetpointsSim::openEmptyEditor(int row) {
    const QRect r = g_->visualRect(g_->model()->index(row, 3));
    // A double-click as the mouse makes it: press and release, then the second press.
    QTest::mouseClick(g_->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(g_->viewport(), Qt::LeftButton, {}, r.center());
    auto* editor = qobject_cast<QLineEdit*>(g_->indexWidget(g_->model()->index(row, 3)));
    if (!editor) return nullptr;
    QTest::keyClick(editor, Qt::Key_End);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(editor, Qt::Key_Backspace);
    return editor;
}

void TstSetpointsSim::whenWritten(int reg, const QString& command, int from) {
    whenWritten(
        reg, [this, command] { QVERIFY(relay_->control(command)); }, from);
}

void TstSetpointsSim::whenWritten(int reg, const std::function<void()>& act, int from) {
    auto* t = new QTimer(f_);
    t->setInterval(2);
    connect(t, &QTimer::timeout, f_, [this, t, reg, act, from] {
        for (const Exchange& e : writes(from))
            if (e.value(QStringLiteral("reg")).toInt() == reg) {
                t->stop();
                t->deleteLater();
                act();
                return;
            }
    });
    t->start();
}

void TstSetpointsSim::whenVariantRead(const QString& command, int from) {
    auto* t = new QTimer(f_);
    t->setInterval(2);
    connect(t, &QTimer::timeout, f_, [this, t, command, from] {
        for (const Exchange& e : since(from))
            if (e.value(QStringLiteral("fn")) == QLatin1String("3") &&
                e.value(QStringLiteral("reg")) == "23") {
                t->stop();
                t->deleteLater();
                QVERIFY(relay_->control(command));
                return;
            }
    });
    t->start();
}

QString TstSetpointsSim::rowName(int row) const {
    return QStringLiteral("%1. %2").arg(row + 1).arg(setpoints::parameterName(g_->cell(1, row)));
}

void TstSetpointsSim::readShowsTheRelaysSetpoints() {
    for (int i = 0; i < 11; ++i)
        QVERIFY(relay_->control(QStringLiteral("set %1 %2").arg(12 + i).arg(kValidValues[i])));
    QVERIFY(relay_->control(QStringLiteral("clock 12 6 9 5")));
    QVERIFY(relay_->control(QStringLiteral("clock stop")));
    const int from = mark();
    f_->SpeedButton6Click();
    QCOMPARE(values(g_), validTable());
    QCOMPARE(f_->setpointPage().state().setpointImage.size(), 14);
    QCOMPARE(f_->setpointPage().state().setpointImage[12], 0x1206);
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

// A relay that reports a variant this program does not know: In is not kept
// from the last relay, and both the read and a write say what is wrong
// instead of asking the user to fix parameter 12.
void TstSetpointsSim::unknownVariantSaysSo() {
    for (int i = 0; i < 11; ++i)
        QVERIFY(relay_->control(QStringLiteral("set %1 %2").arg(12 + i).arg(kValidValues[i])));
    f_->SpeedButton6Click();
    QCOMPARE(g_->cell(3, 0), validTable()[0]);
    QVERIFY(relay_->control(QStringLiteral("set 23 4")));
    f_->SpeedButton6Click();
    QCOMPARE(g_->cell(3, 0), QString());
    QCOMPARE(g_->cell(3, 11), QStringLiteral("4"));
    QVERIFY(app_->f4()->isVisible());
    const QString said = f_->Label100->text();
    QCOMPARE(said,
             QCoreApplication::translate(
                 "setpoints",
                 "The relay reports variant %1, which this program does not know (1: 20 A, 2: 100 A, 3: "
                 "250 A). Its In cannot be shown, and no setpoint can be written to it. Check the relay's "
                 "type plate; a relay that keeps reporting this variant needs servicing.")
                 .arg(4));
    QCOMPARE(g_->cellToolTip(3, 0),
             QCoreApplication::translate("setpoints", "The relay reports variant %1, which this program "
                                                      "does not know: its In cannot be shown.")
                 .arg(4));
    app_->f4()->hide();
    f_->Label100->clear();
    const int from = mark();
    g_->setCell(3, 0, QStringLiteral("50"));
    f_->SpeedButton7Click();
    QCOMPARE(f_->Label100->text(), said);
    QVERIFY(writes(from).isEmpty());
}

void TstSetpointsSim::failedReadLeavesTableAlone() {
    // A good read first; then the relay's values change, and the read that
    // fails must bring none of them in.
    for (int i = 0; i < 11; ++i)
        QVERIFY(relay_->control(QStringLiteral("set %1 %2").arg(12 + i).arg(kValidValues[i])));
    f_->SpeedButton6Click();
    const QVector<qint32> held = f_->setpointPage().state().setpointImage;
    QCOMPARE(held.size(), 14);
    QVERIFY(relay_->control(QStringLiteral("set 15 %1").arg(kValidValues[3] + 1)));
    QStringList table = validTable();
    table[3] = QStringLiteral("77");
    fill(g_, table);
    const int from = mark();
    // No tick runs between here and the read: the dropped reply is the read's.
    QVERIFY(relay_->control(QStringLiteral("noreply next 1")));
    f_->SpeedButton6Click();
    QCOMPARE(since(from).first().value(QStringLiteral("action")), QStringLiteral("noreply"));
    QCOMPARE(since(from).first().value(QStringLiteral("reg")), QStringLiteral("12"));
    QCOMPARE(values(g_), table);
    QCOMPARE(f_->setpointPage().state().setpointImage, held);
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
    // Then the one read-back of registers 12..25.
    int readBacks = 0;
    for (int i = firstAndLast[1] + 1; i < all.size(); ++i)
        if (all[i].value(QStringLiteral("fn")) == QLatin1String("3") &&
            all[i].value(QStringLiteral("reg")) == QLatin1String("12")) {
            QCOMPARE(all[i].value(QStringLiteral("n")), QStringLiteral("14"));
            ++readBacks;
        }
    QCOMPARE(readBacks, 1);
    checkRestored();
    QVERIFY(f_->Label100->text().isEmpty());
    QVERIFY(!app_->f4()->isVisible());
    QCOMPARE(app_->beeps, 0);
}

void TstSetpointsSim::writeRetriesDroppedReplies() {
    fill(g_, validTable());
    const int from = mark();
    // The replies of the first three writes (after the read of the variant) are dropped.
    whenVariantRead(QStringLiteral("noreply next 3"), from);
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

// Four dropped replies for register 16 (T1), timed by the log: the other ten
// are still written, the end is as after success, and the error window names
// the parameter the relay did not confirm (the connection is fine).
void TstSetpointsSim::writeReportsRegisterThatFailed() {
    fill(g_, validTable());
    const int from = mark();
    whenWritten(15, QStringLiteral("noreply next 4"), from);
    f_->SpeedButton7Click();
    const QList<Exchange> w = writes(from);
    QCOMPARE(w.size(), 14);
    QList<int> regs;
    for (const Exchange& e : w) {
        regs << e.value(QStringLiteral("reg")).toInt();
        QCOMPARE(e.value(QStringLiteral("action")),
                 regs.last() == 16 ? QStringLiteral("noreply") : QStringLiteral("reply"));
    }
    QCOMPARE(regs, (QList<int>{12, 13, 14, 15, 16, 16, 16, 16, 17, 18, 19, 20, 21, 22}));
    QCOMPARE(relayRegister(22), QStringLiteral("5"));
    checkRestored();
    const QString message = f_->Label100->text();
    QVERIFY2(message.startsWith(tx("The relay did not confirm these setpoints:") + QLatin1Char('\n') +
                                rowName(4) + QLatin1Char('\n') + tx("The other setpoints were written.")),
             qPrintable(message));
    QVERIFY(rowName(4).contains(QString::fromUtf8("Czas zadziałania suchobiegu")));
    // The relay took the value all the same: the read-back says so.
    QVERIFY(message.endsWith(tx("Reading back shows that the relay holds every value sent.")));
    QVERIFY(message != f_->hiddenLabel(67)->text());
    QVERIFY(app_->f4()->isVisible());
    QCOMPARE(app_->beeps, 1);
}

void TstSetpointsSim::relayNeverAnswers() {
    fill(g_, validTable());
    const int from = mark();
    QVERIFY(relay_->control(QStringLiteral("noreply 1")));
    f_->SpeedButton7Click();
    QVERIFY(relay_->control(QStringLiteral("inject off")));
    // Without the relay's variant nothing is written: four tries to read it, then no connection and why.
    QVERIFY(writes(from).isEmpty());
    int variantReads = 0;
    for (const Exchange& e : since(from))
        if (e.value(QStringLiteral("fn")) == QLatin1String("3") && e.value(QStringLiteral("reg")) == "23")
            ++variantReads;
    QCOMPARE(variantReads, 4);
    checkRestored();
    QCOMPARE(f_->Label100->text(),
             f_->hiddenLabel(67)->text() + QLatin1Char('\n') + busErrorText(BusError::NoReply));
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
    for (QToolButton* b :
         {control<QToolButton>(f_, "SpeedButton6"), control<QToolButton>(f_, "SpeedButton7"),
          control<QToolButton>(f_, "SpeedButton11"), control<QToolButton>(f_, "SpeedButton12")})
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
// error window names the date as not confirmed and the time as written.
void TstSetpointsSim::clockReportsRegisterThatFailed() {
    seams::current().now = [] { return QDateTime(QDate(2026, 12, 6), QTime(9, 5)); };
    const int from = mark();
    QVERIFY(relay_->control(QStringLiteral("noreply next 4")));
    f_->SpeedButton11Click();
    const QList<Exchange> w = writes(from);
    QCOMPARE(w.size(), 5);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(w[i].value(QStringLiteral("reg")), QStringLiteral("24"));
        QCOMPARE(w[i].value(QStringLiteral("action")), QStringLiteral("noreply"));
    }
    QCOMPARE(w[4].value(QStringLiteral("reg")), QStringLiteral("25"));
    QCOMPARE(w[4].value(QStringLiteral("value")).toInt(), 0x0905);
    QCOMPARE(g_->cell(3, 12), QStringLiteral("12.06"));
    QCOMPARE(f_->Label100->text(), tx("The relay did not confirm these setpoints:") + QLatin1Char('\n') +
                                       rowName(12) + QLatin1Char('\n') +
                                       tx("The other setpoints were written."));
    QVERIFY(rowName(12).endsWith(g_->cell(1, 12)));
    QVERIFY(app_->f4()->isVisible());
    QVERIFY(f_->Timer2->isActive());
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

void TstSetpointsSim::writeTakesTheOpenEditor_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("written");
    QTest::newRow("valid T1") << QStringLiteral("20") << true;
    QTest::newRow("invalid T1") << QStringLiteral("999") << false;
}

// T1 typed into the open editor, no Enter, then "PC --> VRK" clicked: the
// typed value is checked and written, or refused with nothing written.
void TstSetpointsSim::writeTakesTheOpenEditor() {
    QFETCH(QString, typed);
    QFETCH(bool, written);
    showSetpointPage();
    fill(g_, validTable());
    QLineEdit* editor = openEmptyEditor(4);
    QVERIFY(editor);
    QTest::keyClicks(editor, typed);
    QCOMPARE(editor->text(), typed);
    const int from = mark();
    clickButton(control<QToolButton>(f_, "SpeedButton7"));
    const QList<Exchange> w = writes(from);
    if (written) {
        QCOMPARE(w.size(), 11);
        QCOMPARE(w[4].value(QStringLiteral("reg")), QStringLiteral("16"));
        QCOMPARE(w[4].value(QStringLiteral("value")), typed);
        QCOMPARE(relayRegister(16), typed);
        QVERIFY(f_->Label100->text().isEmpty());
        checkRestored();
    } else {
        QVERIFY(w.isEmpty());
        QCOMPARE(f_->Label100->text(),
                 setpoints::writeRefusalMessage(f_->hiddenLabel(83)->text(), QList<int>{5}));
        QCOMPARE(relayRegister(16), QStringLiteral("10"));
        QCOMPARE(app_->beeps, 2);
        QVERIFY(f_->Timer2->isActive());
    }
    // The grid shows what was judged, with the editor closed.
    QCOMPARE(g_->cell(3, 4), typed);
    QVERIFY(!g_->indexWidget(g_->model()->index(4, 3)));
}

// Every write confirmed by the read-back: the status bar says so, with the time.
void TstSetpointsSim::confirmedWriteSaysSo() {
    seams::current().now = [] { return QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7)); };
    showSetpointPage();
    fill(g_, validTable());
    clickButton(control<QToolButton>(f_, "SpeedButton7"));
    auto* status = f_->StatusBar2->findChild<QLabel*>(QStringLiteral("SetpointStatus"));
    QVERIFY(status);
    QCOMPARE(status->text(),
             setpoints::confirmedStatus(QLocale::system().toString(QTime(9, 5, 7), QLocale::ShortFormat)));
    QCOMPARE(status->toolTip(), setpoints::confirmedStatusDetail(QStringLiteral("09:05:07")));
    QVERIFY(status->isVisible());
    QVERIFY(f_->Label100->text().isEmpty());
    QVERIFY(!app_->f4()->isVisible());
    checkRestored();
    // The status bar's free space holds the longest text of every language.
    const QFontMetrics fm(status->font());
    // (English, and the Polish and Russian of i18n/pending/setpoints.tsv)
    for (const QString& t :
         {setpoints::confirmedStatus(QStringLiteral("09:05")),
          QString::fromUtf8("Nastawy potwierdzone 09:05"), QString::fromUtf8("Уставки подтверждены 09:05")})
        QVERIFY2(fm.horizontalAdvance(t) <= status->contentsRect().width(),
                 qPrintable(QStringLiteral("%1: %2 > %3")
                                .arg(t)
                                .arg(fm.horizontalAdvance(t))
                                .arg(status->contentsRect().width())));
}

// The simulator holds another T1 after the write: the error window names it
// with the relay's value as the table shows it; the table keeps what was sent.
void TstSetpointsSim::readBackReportsWhatTheRelayHolds() {
    showSetpointPage();
    fill(g_, validTable());
    const int from = mark();
    whenWritten(16, QStringLiteral("set 16 99"), from);
    clickButton(control<QToolButton>(f_, "SpeedButton7"));
    QCOMPARE(relayRegister(16), QStringLiteral("99"));
    QCOMPARE(writes(from).size(), 11);
    QCOMPARE(f_->Label100->text(), tx("The relay holds other values than those sent:") + QLatin1Char('\n') +
                                       rowName(4) + QStringLiteral(": 99"));
    QVERIFY(app_->f4()->isVisible());
    QCOMPARE(values(g_), validTable());
    // The cell is marked with the relay's value.
    QCOMPARE(g_->cellToolTip(3, 4), tx("In the relay: %1").arg(QStringLiteral("99")));
    QVERIFY(g_->cellBackground(3, 4) != QColor(Qt::white));
    QCOMPARE(g_->cellBackground(3, 3), QColor(Qt::white));
    auto* status = f_->StatusBar2->findChild<QLabel*>(QStringLiteral("SetpointStatus"));
    QVERIFY(!status || status->text().isEmpty());
    checkRestored();
}

// The reply to the read-back is lost: the writes went through, but nothing
// confirms them; the marks keep the relay's last good read (none here).
void TstSetpointsSim::failedReadBackIsNoConfirmation() {
    showSetpointPage();
    fill(g_, validTable());
    const int from = mark();
    whenWritten(22, QStringLiteral("noreply next 1"), from);
    clickButton(control<QToolButton>(f_, "SpeedButton7"));
    const QList<Exchange> all = since(from);
    QCOMPARE(writes(from).size(), 11);
    bool readBackLost = false;
    for (const Exchange& e : all)
        if (e.value(QStringLiteral("fn")) == QLatin1String("3") &&
            e.value(QStringLiteral("reg")) == QLatin1String("12"))
            readBackLost = e.value(QStringLiteral("action")) == QLatin1String("noreply");
    QVERIFY(readBackLost);
    QCOMPARE(f_->Label100->text(),
             tx("Reading the setpoints back failed: the values in the relay are not confirmed."));
    QVERIFY(app_->f4()->isVisible());
    QVERIFY(f_->setpointPage().state().setpointImage.isEmpty());
    QCOMPARE(g_->cellToolTip(3, 4), tx("The relay's value is not known: read the setpoints first."));
    checkRestored();
}

// The user disconnects in the wait after the last write: no read-back on the
// closed port, the window stays disconnected, and the report is the
// no-connection text.
void TstSetpointsSim::disconnectBeforeReadBack() {
    fill(g_, validTable());
    const int from = mark();
    whenWritten(
        22, [this] { f_->SpeedButton2Click(); }, from);
    f_->SpeedButton7Click();
    QCOMPARE(writes(from).size(), 11);
    for (const Exchange& e : since(from))
        QVERIFY(e.value(QStringLiteral("fn")) != QLatin1String("3") ||
                e.value(QStringLiteral("reg")) != QLatin1String("12"));
    QVERIFY(!f_->SerialDriver1->IsOpen());
    QVERIFY(!f_->Timer2->isActive());
    for (QToolButton* b :
         {control<QToolButton>(f_, "SpeedButton6"), control<QToolButton>(f_, "SpeedButton7"),
          control<QToolButton>(f_, "SpeedButton11"), control<QToolButton>(f_, "SpeedButton12")})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(f_->ProgressBar4->isHidden());
    QVERIFY(!f_->exchangeBusy());
    // The relay now holds what was confirmed: the report says so, parameter by parameter.
    const QStringList lines = f_->Label100->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), f_->hiddenLabel(67)->text());
    QCOMPARE(lines.size(), 2 + 11);
    for (int row = 0; row < 11; ++row) {
        QVERIFY2(lines[2 + row].startsWith(QStringLiteral("%1. ").arg(row + 1)), qPrintable(lines[2 + row]));
        QVERIFY2(lines[2 + row].endsWith(QStringLiteral(": ") +
                                         QCoreApplication::translate("core", "written and confirmed")),
                 qPrintable(lines[2 + row]));
    }
}

// Before any read nothing is marked and the tooltip says the relay's value is
// unknown; a read gives the relay's values; an edit committed with Enter is
// marked; a confirmed write clears the mark.
void TstSetpointsSim::marksFollowReadsEditsAndWrites() {
    const QString unknown = tx("The relay's value is not known: read the setpoints first.");
    showSetpointPage();
    fill(g_, validTable());
    for (int r = 0; r < 12; ++r) {
        QCOMPARE(g_->cellBackground(3, r), QColor(Qt::white));
        QCOMPARE(g_->cellToolTip(3, r), unknown);
    }
    for (int i = 0; i < 11; ++i)
        QVERIFY(relay_->control(QStringLiteral("set %1 %2").arg(12 + i).arg(kValidValues[i])));
    clickButton(control<QToolButton>(f_, "SpeedButton6"));
    for (int r = 0; r < 12; ++r) {
        QCOMPARE(g_->cellBackground(3, r), QColor(Qt::white));
        QCOMPARE(g_->cellToolTip(3, r), tx("In the relay: %1").arg(validTable()[r]));
    }
    QLineEdit* editor = openEmptyEditor(4);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("20"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(g_->cell(3, 4), QStringLiteral("20"));
    const QColor changed = g_->cellBackground(3, 4);
    QVERIFY(changed != QColor(Qt::white));
    QCOMPARE(g_->cellToolTip(3, 4), tx("In the relay: %1").arg(QStringLiteral("10")));
    QCOMPARE(g_->cellBackground(3, 5), QColor(Qt::white));
    // Typed back to the relay's value: the mark goes.
    editor = openEmptyEditor(4);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("10"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(g_->cellBackground(3, 4), QColor(Qt::white));
    // Typed again and written: the read-back confirms it, the mark goes.
    editor = openEmptyEditor(4);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("30"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(g_->cellBackground(3, 4), changed);
    clickButton(control<QToolButton>(f_, "SpeedButton7"));
    QCOMPARE(relayRegister(16), QStringLiteral("30"));
    QCOMPARE(g_->cellBackground(3, 4), QColor(Qt::white));
    QCOMPARE(g_->cellToolTip(3, 4), tx("In the relay: %1").arg(QStringLiteral("30")));
    // The relay changes behind the table: the next read marks the cell.
    QVERIFY(relay_->control(QStringLiteral("set 16 11")));
    clickButton(control<QToolButton>(f_, "SpeedButton6"));
    QCOMPARE(g_->cell(3, 4), QStringLiteral("11"));
    QCOMPARE(g_->cellBackground(3, 4), QColor(Qt::white));
}

// The grid's context menu compares a file with the relay's last read, in a
// window of its own, and leaves the table alone.
void TstSetpointsSim::compareWithFileAfterRead() {
    QStringList fileTable = validTable();
    fileTable[4] = QStringLiteral("20");
    fileTable[7] = QStringLiteral("410");
    QFile file(app_->path(QStringLiteral("other.vrk")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const QString& l : fileTable)
        file.write(l.toLatin1() + "\r\n");
    file.close();
    auto* action = g_->findChild<QAction*>(QStringLiteral("CompareWithFile"));
    QVERIFY(action);
    QVERIFY(g_->actions().contains(action));
    QCOMPARE(g_->contextMenuPolicy(), Qt::ActionsContextMenu);

    // Before any read the relay's column says unknown.
    app_->openAnswers << file.fileName();
    action->trigger();
    auto* window = f_->findChild<SetpointCompareWindow*>(QStringLiteral("SetpointCompare"));
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isModal());
    QTableWidget* t = window->CompareTable;
    QCOMPARE(t->rowCount(), 12);
    for (int r = 0; r < 12; ++r) {
        QCOMPARE(t->item(r, 1)->text(), SetpointCompareWindow::tr("unknown"));
        QCOMPARE(t->item(r, 2)->text(), fileTable[r]);
        QVERIFY(t->item(r, 3)->text().isEmpty());
    }

    for (int i = 0; i < 11; ++i)
        QVERIFY(relay_->control(QStringLiteral("set %1 %2").arg(12 + i).arg(kValidValues[i])));
    clickButton(control<QToolButton>(f_, "SpeedButton6"));
    QCOMPARE(values(g_).mid(0, 12), validTable().mid(0, 12));
    app_->openAnswers << file.fileName();
    action->trigger();
    QCOMPARE(app_->dialogFilters.last(),
             QStringLiteral("Pliki nastaw (*.vrk)|*.vrk|Wszystkie pliki (*.*)|*.*"));
    QCOMPARE(f_->findChildren<SetpointCompareWindow*>().size(), 1);
    for (int r = 0; r < 12; ++r) {
        QCOMPARE(t->item(r, 0)->text(), rowName(r));
        QCOMPARE(t->item(r, 1)->text(), validTable()[r]);
        QCOMPARE(t->item(r, 2)->text(), fileTable[r]);
        QCOMPARE(t->item(r, 3)->text().isEmpty(), r != 4 && r != 7);
    }
    // The table is as the read left it.
    QCOMPARE(values(g_).mid(0, 12), validTable().mid(0, 12));
    QVERIFY(app_->errorBoxes.isEmpty());
}

void TstSetpointsSim::tableForAnotherVariantIsRefused_data() {
    QTest::addColumn<int>("relayVariant");
    QTest::addColumn<QString>("nominal"); // In as the table shows it
    QTest::addColumn<QString>("typed");   // the variant typed into the open editor, or empty
    QTest::addColumn<int>("fileVariant"); // a file of this variant loaded while disconnected, or 0
    QTest::newRow("variant 2 relay, 1 typed") << 2 << "12,5"
                                              << "1" << 0;
    QTest::newRow("variant 1 relay, 2 typed") << 1 << "20,0"
                                              << "2" << 0;
    QTest::newRow("variant 3 file, written at once") << 2 << "25"
                                                     << "" << 3;
}

// The grid shows In for one variant, the relay is another: nothing is
// written, and the message names both.
void TstSetpointsSim::tableForAnotherVariantIsRefused() {
    QFETCH(int, relayVariant);
    QFETCH(QString, nominal);
    QFETCH(QString, typed);
    QFETCH(int, fileVariant);
    QVERIFY(relay_->control(QStringLiteral("variant %1").arg(relayVariant)));
    showSetpointPage();
    QStringList table = validTable();
    table[0] = nominal;
    if (fileVariant) {
        clickButton(f_->SpeedButton2);
        table[11] = QString::number(fileVariant);
        QFile file(app_->path(QStringLiteral("other.vrk")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(table.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
        file.close();
        app_->openAnswers << file.fileName();
        clickButton(control<QToolButton>(f_, "SpeedButton9"));
        QCOMPARE(values(g_), table);
        clickButton(f_->SpeedButton1);
    } else {
        fill(g_, table);
        QTRY_COMPARE_WITH_TIMEOUT(g_->cell(3, 11), QString::number(relayVariant), 10000);
        QLineEdit* editor = openEmptyEditor(11);
        QVERIFY(editor);
        QTest::keyClicks(editor, typed);
        QTest::qWait(500); // the poll does not replace what is being typed
        QCOMPARE(editor->text(), typed);
    }
    const QString before = relayRegister(12);
    const int from = mark();
    clickButton(control<QToolButton>(f_, "SpeedButton7"));
    QVERIFY(writes(from).isEmpty());
    QCOMPARE(relayRegister(12), before);
    const int tableVariant = fileVariant ? fileVariant : typed.toInt();
    QCOMPARE(f_->Label100->text(), core::variantMismatchText(tableVariant, relayVariant));
    auto* status = f_->StatusBar2->findChild<QLabel*>(QStringLiteral("SetpointStatus"));
    QVERIFY(!status || status->text().isEmpty());
}

// The relay changes its variant while the setpoints go in: register 12 holds
// the raw value sent, not the current the table shows. No confirmation.
void TstSetpointsSim::readBackComparesUnits() {
    showSetpointPage();
    fill(g_, validTable());
    const int from = mark();
    whenWritten(13, QStringLiteral("variant 1"), from);
    clickButton(control<QToolButton>(f_, "SpeedButton7"));
    QCOMPARE(writes(from).size(), 11);
    QCOMPARE(relayRegister(12), QStringLiteral("25"));
    auto* status = f_->StatusBar2->findChild<QLabel*>(QStringLiteral("SetpointStatus"));
    QVERIFY2(!status || status->text().isEmpty(), qPrintable(status->text()));
    QVERIFY2(f_->Label100->text().contains(QStringLiteral("2,5")), qPrintable(f_->Label100->text()));
}

// The relay goes silent after three registers: those three are the relay's
// (unmarked) at once, the rest stay marked, and the report gives each state.
void TstSetpointsSim::partWriteKeepsConfirmedValues() {
    showSetpointPage();
    clickButton(control<QToolButton>(f_, "SpeedButton6"));
    QStringList table = values(g_);
    const QStringList changed{"15,0", "4,0", "165", "45", "15"};
    for (int r = 0; r < 5; ++r) {
        QVERIFY(!setpoints::sameValue(changed[r], table[r]));
        table[r] = changed[r];
    }
    fill(g_, table);
    const int from = mark();
    whenWritten(14, QStringLiteral("noreply 1"), from);
    clickButton(control<QToolButton>(f_, "SpeedButton7"));
    QVERIFY(relay_->control(QStringLiteral("inject off")));
    const QColor marked(255, 220, 130);
    for (int r = 0; r < 5; ++r)
        QVERIFY2((g_->cellBackground(3, r) == marked) == (r >= 3), qPrintable(QString::number(r)));
    QCOMPARE(f_->setpointPage().state().setpointImage[0], 30);
    const QStringList lines = f_->Label100->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), f_->hiddenLabel(67)->text());
    QCOMPARE(lines.size(), 13);
    QVERIFY(lines[2].endsWith(QCoreApplication::translate("core", "written and confirmed")));
    QVERIFY(lines[5].endsWith(
        QCoreApplication::translate("core", "not confirmed (may or may not be in the relay)")));
}

QTEST_MAIN(TstSetpointsSim)
#include "tst_setpoints_sim.moc"

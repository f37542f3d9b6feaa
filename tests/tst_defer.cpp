// The real window against the relay simulator: no dialog opens inside a wait
// of an operation with the relay, the poll goes on while one is open, the
// settings never change under a running transfer, and a save writes the
// table it checked.
#include "appfixture.h"
#include "setpointtables.h"
#include "simfixture.h"

#include "config/tform2.h"
#include "linemonitor/linemonitor.h"
#include "relaydata/provenance.h"
#include "serial/tserialdriver.h"
#include "setpoints/comparewindow.h"
#include "setpoints/setpointfile.h"
#include "wait/idle.h"
#include "widgets/controls.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

using Exchange = QMap<QString, QString>;

// How a test reaches a command: a real click on a button, or a menu entry.
using Command = std::function<void(TForm1*)>;

Command click(const char* name) {
    return [name](TForm1* f) {
        auto* b = f->findChild<QAbstractButton*>(QLatin1String(name));
        QVERIFY2(b, name);
        QTest::mouseClick(b, Qt::LeftButton);
    };
}

Command menuEntry(const char* name) {
    return [name](TForm1* f) {
        auto* a = f->findChild<QAction*>(QLatin1String(name));
        QVERIFY2(a, name);
        a->trigger();
    };
}

} // namespace

Q_DECLARE_METATYPE(Command)

class TstDefer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void dialogOpensAfterTheTickAndThePollGoesOn_data();
    void dialogOpensAfterTheTickAndThePollGoesOn();
    void contextMenuOpensAfterTheTick();
    void addressChosenDuringWriteWaitsForItsEnd();
    void languageChosenDuringWriteWaitsForItsEnd();
    void saveWritesTheTableItChecked();
    void stillCurrent_data();
    void stillCurrent();
    void anotherRelaysDataIsMarkedEarlier();

private:
    // Runs act from inside the next wait of an operation with the relay (a
    // poll tick's pause, a transfer's wait), as a click queued there would.
    void inNextWait(const std::function<void()>& act);
    QList<Exchange> since(int from) const;
    int measurementReads() const;
    int mark() const { return int(relay_->logLines().size()); }

    std::unique_ptr<SimRelay> relay_;
    std::unique_ptr<AppFixture> app_;
    TForm1* f_ = nullptr;
};

void TstDefer::init() {
    relay_ = std::make_unique<SimRelay>();
    QVERIFY(relay_->start({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze")}));
    app_ = std::make_unique<AppFixture>();
    app_->start();
    f_ = app_->f1();
    f_->show();
    QVERIFY(QTest::qWaitForWindowExposed(f_));
    f_->SpeedButton1Click();
    QVERIFY(f_->SerialDriver1->IsOpen());
    QTRY_COMPARE_WITH_TIMEOUT(f_->StringGrid1->cell(3, 11), QStringLiteral("2"), 10000);
}

void TstDefer::cleanup() {
    if (app_ && f_) f_->Rozlacz();
    f_ = nullptr;
    app_.reset();
    relay_.reset();
}

void TstDefer::inNextWait(const std::function<void()>& act) {
    auto* t = new QTimer(f_);
    t->setInterval(1);
    connect(t, &QTimer::timeout, f_, [this, t, act] {
        // The timer fires outside an operation only from the event loop, and
        // inside one only from a wait.
        if (!f_->exchangeBusy()) return;
        t->stop();
        t->deleteLater();
        act();
    });
    t->start();
}

QList<Exchange> TstDefer::since(int from) const {
    QList<Exchange> out;
    const QStringList lines = relay_->logLines();
    for (int i = from; i < lines.size(); ++i)
        out << SimRelay::parseLogLine(lines[i]);
    return out;
}

int TstDefer::measurementReads() const {
    int n = 0;
    for (const Exchange& e : since(0))
        if (e.value(QStringLiteral("fn")) == QLatin1String("3") && e.value(QStringLiteral("reg")) == "1") ++n;
    return n;
}

void TstDefer::dialogOpensAfterTheTickAndThePollGoesOn_data() {
    QTest::addColumn<Command>("command");
    QTest::newRow("load setpoints") << click("SpeedButton9");
    QTest::newRow("save setpoints") << click("SpeedButton10");
    QTest::newRow("compare with a file") << menuEntry("CompareWithFile");
    QTest::newRow("commissioning report") << menuEntry("CommissioningReport");
    QTest::newRow("log to file") << click("LogButton");
    QTest::newRow("fault log as CSV") << menuEntry("ExportFaultsCsv");
    QTest::newRow("fault log as text") << menuEntry("ExportFaultsText");
    QTest::newRow("chart as PNG") << menuEntry("ExportChartPng");
    QTest::newRow("history as CSV") << menuEntry("ExportChartCsv");
    QTest::newRow("open recording") << click("SpeedButton13");
    QTest::newRow("save recording") << click("SpeedButton14");
    QTest::newRow("line monitor save") << Command([](TForm1* f) {
        QTest::mouseClick(f->LineMonitorButton, Qt::LeftButton);
        auto* save = f->LineMonitor1 ? f->LineMonitor1->findChild<QPushButton*>(QStringLiteral("SaveButton"))
                                     : nullptr;
        QVERIFY(save);
        QTest::mouseClick(save, Qt::LeftButton);
    });
}

void TstDefer::dialogOpensAfterTheTickAndThePollGoesOn() {
    QFETCH(Command, command);
    fill(f_->StringGrid1, validTable());
    int dialogs = 0;
    bool busyWhenOpened = false;
    int readsWhileOpen = -1;
    // The dialog runs a loop of its own, as a modal one does, until the poll
    // has read three times or long after it should have.
    auto dialog = [&](QWidget*, const QString&, const QString&, const QString&) {
        if (dialogs++ > 0) return QString();
        busyWhenOpened = idle::busy();
        const int before = measurementReads();
        QElapsedTimer t;
        t.start();
        while (measurementReads() < before + 3 && t.elapsed() < 10000)
            QTest::qWait(20);
        readsWhileOpen = measurementReads() - before;
        return QString();
    };
    app_->dialogFilters.clear();
    seams::current().openFileName = dialog;
    seams::current().saveFileName = dialog;
    bool clickedInWait = false;
    inNextWait([&] {
        clickedInWait = idle::busy();
        command(f_);
        // Queued, not run inside the tick.
        QCOMPARE(dialogs, 0);
    });
    QTRY_VERIFY_WITH_TIMEOUT(dialogs > 0, 10000);
    QVERIFY(clickedInWait);
    QVERIFY(!busyWhenOpened);
    QVERIFY2(readsWhileOpen >= 3, qPrintable(QString::number(readsWhileOpen)));
    QVERIFY(f_->Timer2->isActive());
}

void TstDefer::contextMenuOpensAfterTheTick() {
    QTest::mouseClick(f_->SpeedButton24, Qt::LeftButton);
    QWidget* grid = f_->StringGrid2->viewport();
    bool busyWhenOpened = true;
    QString menuText;
    // The menu's own loop ends when the menu closes; it is closed as soon as seen.
    auto* watch = new QTimer(f_);
    watch->setInterval(1);
    connect(watch, &QTimer::timeout, f_, [&] {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup) return;
        watch->stop();
        busyWhenOpened = idle::busy();
        for (QAction* a : popup->actions())
            menuText += a->objectName();
        popup->close();
    });
    watch->start();
    bool asked = false;
    inNextWait([&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(40, 40), grid->mapToGlobal(QPoint(40, 40)));
        QApplication::sendEvent(grid, &event);
        asked = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(asked && !watch->isActive(), 10000);
    delete watch;
    QVERIFY(!busyWhenOpened);
    QVERIFY2(menuText.contains(QStringLiteral("ExportFaultsCsv")), qPrintable(menuText));
}

void TstDefer::addressChosenDuringWriteWaitsForItsEnd() {
    fill(f_->StringGrid1, validTable());
    TForm2* f2 = app_->f2();
    f2->show(); // opened before, still there
    QCOMPARE(f2->busAddress(), 3);
    const int from = mark();
    bool changedInWrite = false;
    auto* t = new QTimer(f_);
    t->setInterval(2);
    connect(t, &QTimer::timeout, f_, [&, t] {
        // Once register 13 has been written, from the wait before register 14.
        for (const Exchange& e : since(from))
            if (e.value(QStringLiteral("fn")) == QLatin1String("6") &&
                e.value(QStringLiteral("reg")) == "13") {
                t->stop();
                QTest::keyClick(f2->ComboBox3, Qt::Key_Down);
                changedInWrite = f_->exchangeBusy();
                return;
            }
    });
    t->start();
    QTest::mouseClick(f_->SpeedButton7, Qt::LeftButton);
    delete t;
    QVERIFY(changedInWrite);
    QCOMPARE(f2->ComboBox3->currentText(), QStringLiteral("4"));
    QStringList addresses;
    int writes = 0;
    for (const Exchange& e : since(from))
        if (e.value(QStringLiteral("fn")) == QLatin1String("6")) {
            ++writes;
            addresses << e.value(QStringLiteral("rx")).left(2);
        }
    QCOMPARE(writes, 11);
    QCOMPARE(addresses, QStringList(11, QStringLiteral("03")));
    QVERIFY2(app_->f4()->isHidden(), qPrintable(f_->Label100->text()));
    // Once the write is over the new address is used.
    QTRY_COMPARE(f2->busAddress(), 4);
}

void TstDefer::languageChosenDuringWriteWaitsForItsEnd() {
    fill(f_->StringGrid1, validTable());
    TForm2* f2 = app_->f2();
    f2->show();
    const QString polish = f_->hiddenLabel(HiddenText::NoConnection)->text();
    const int from = mark();
    QString duringWrite;
    auto* t = new QTimer(f_);
    t->setInterval(2);
    connect(t, &QTimer::timeout, f_, [&, t] {
        for (const Exchange& e : since(from))
            if (e.value(QStringLiteral("fn")) == QLatin1String("6") &&
                e.value(QStringLiteral("reg")) == "13") {
                t->stop();
                QTest::mouseClick(f2->RadioGroup2->button(1), Qt::LeftButton);
                QVERIFY(f2->RadioGroup2->button(1)->isChecked());
                duringWrite = f_->hiddenLabel(HiddenText::NoConnection)->text();
                return;
            }
    });
    t->start();
    QTest::mouseClick(f_->SpeedButton7, Qt::LeftButton);
    delete t;
    QCOMPARE(duringWrite, polish);
    QTRY_VERIFY(f_->hiddenLabel(HiddenText::NoConnection)->text() != polish);
    QCOMPARE(f2->languageIndex(), 1);
}

void TstDefer::saveWritesTheTableItChecked() {
    fill(f_->StringGrid1, validTable());
    const QString path = app_->path(QStringLiteral("snapshot.vrk"));
    // While the dialog is open the relay turns out to be a 250 A one, and
    // the poll writes its variant into the table: In 12,5 A is out of its range.
    seams::current().saveFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
        relay_->control(QStringLiteral("variant 3"));
        QTest::qWaitFor([&] { return f_->StringGrid1->cell(3, 11) == QLatin1String("3"); }, 10000);
        return path;
    };
    QTest::mouseClick(f_->SpeedButton10, Qt::LeftButton);
    QCOMPARE(f_->StringGrid1->cell(3, 11), QStringLiteral("3"));
    QVERIFY(app_->errorBoxes.isEmpty());
    const setpoints::SetpointFileRead file = setpoints::readSetpointFile(path);
    QVERIFY2(file.ok, qPrintable(file.error));
    QCOMPARE(file.lines.mid(0, 12), validTable().mid(0, 12));
    QCOMPARE(setpoints::tableAfterLoad(file.lines).mid(0, 12), validTable().mid(0, 12));
}

void TstDefer::stillCurrent_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("variant"); // 0: not read yet
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("current");
    QTest::newRow("same relay") << "COM1" << 3 << 2 << true << true;
    QTest::newRow("variant not read yet") << "COM1" << 3 << 0 << true << true;
    QTest::newRow("disconnected") << "COM1" << 3 << 2 << false << false;
    QTest::newRow("another address") << "COM1" << 4 << 2 << true << false;
    QTest::newRow("another port") << "COM2" << 3 << 2 << true << false;
    QTest::newRow("another variant") << "COM1" << 3 << 3 << true << false;
}

void TstDefer::stillCurrent() {
    QFETCH(QString, port);
    QFETCH(int, address);
    QFETCH(int, variant);
    QFETCH(bool, connected);
    QFETCH(bool, current);
    core::Identity from{QStringLiteral("COM1"), QStringLiteral("19200 8O1"), 3, 2, {}, true};
    core::Identity now{port, from.line, address, std::nullopt, {}, false};
    if (variant) now.variant = variant;
    QCOMPARE(relaydata::stillCurrent(from, now, connected), current);
    const relaydata::Source after = relaydata::afterChange({from, false}, now, connected);
    QCOMPARE(after.earlier, !current);
    // Once earlier, it stays so until read again.
    QVERIFY(relaydata::afterChange({from, true}, from, true).earlier);
}

void TstDefer::anotherRelaysDataIsMarkedEarlier() {
    StringGrid* g = f_->StringGrid1;
    QTest::mouseClick(f_->SpeedButton6, Qt::LeftButton);  // the setpoints of the relay at address 3
    QTest::mouseClick(f_->SpeedButton12, Qt::LeftButton); // and its fault log
    QVERIFY(f_->faultLogState().faultBlocksFresh != 0);
    const QString relayValue = g->cell(3, 2);
    QVERIFY(g->item(2, 3)->toolTip().endsWith(relayValue));
    QVERIFY(!g->item(2, 3)->toolTip().contains(QStringLiteral("address 3")));
    g->setCell(3, 2, QStringLiteral("100")); // changed: marked
    QVERIFY(g->cellBackground(3, 2) != QColor(Qt::white));
    const QString file = app_->path(QStringLiteral("compare.vrk"));
    QString error;
    QVERIFY2(setpoints::writeSetpointFile(file, validTable(), &error), qPrintable(error));
    app_->openAnswers.enqueue(file);
    f_->findChild<QAction*>(QStringLiteral("CompareWithFile"))->trigger();
    auto* compare = f_->findChild<SetpointCompareWindow*>(QStringLiteral("SetpointCompare"));
    QVERIFY(compare);
    QVERIFY(compare->RelayLabel->isHidden());

    // Another address chosen in the settings window, still open.
    TForm2* f2 = app_->f2();
    f2->show();
    QTest::keyClick(f2->ComboBox3, Qt::Key_Down);
    QTRY_COMPARE(f2->busAddress(), 4);
    QVERIFY(f_->setpointState().source.earlier);
    QCOMPARE(f_->setpointState().source.relay.address, 3);
    const QString tip = g->item(2, 3)->toolTip();
    QVERIFY2(tip.contains(QStringLiteral("address 3")) && tip.contains(QStringLiteral("COM1")),
             qPrintable(tip));
    QCOMPARE(g->cellBackground(3, 2), QColor(Qt::white));
    QVERIFY(compare->RelayLabel->isVisible());
    QVERIFY(compare->RelayLabel->text().contains(QStringLiteral("address 3")));
    for (int r = 1; r <= 40; ++r)
        QCOMPARE(f_->StringGrid2->item(r, 1)->foreground().color(), QColor(Qt::gray));
    QVERIFY(!f_->FaultLogNotice->isHidden());
    QVERIFY(f_->FaultLogNotice->text().contains(QStringLiteral("address 3")));
    QCOMPARE(f_->faultLogState().faultBlocksFresh, 0u);

    // The relay at address 4 connected: its own reads make the data current again.
    QVERIFY(relay_->control(QStringLiteral("address 4")));
    QTest::mouseClick(f_->SpeedButton6, Qt::LeftButton);
    QVERIFY(!f_->setpointState().source.earlier);
    QCOMPARE(f_->setpointState().source.relay.address, 4);
    QVERIFY(!g->item(2, 3)->toolTip().contains(QStringLiteral("address")));
    // Disconnected: earlier again.
    f_->Rozlacz();
    QVERIFY(f_->setpointState().source.earlier);
    QVERIFY(g->item(2, 3)->toolTip().contains(QStringLiteral("address 4")));
}

QTEST_MAIN(TstDefer)
#include "tst_defer.moc"

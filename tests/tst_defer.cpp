// The real window against the relay simulator: no dialog or menu opens inside
// a wait of an operation with the relay and the poll goes on while one is
// open; settings never change under a running write; a save writes the table
// it checked; another relay's data is marked as earlier.
#include "appfixture.h"
#include "setpointtables.h"
#include "simfixture.h"

#include "linemonitor/linemonitor.h"
#include "serial/tserialdriver.h"
#include "setpoints/comparewindow.h"
#include "setpoints/setpointfile.h"
#include "widgets/controls.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using Command = std::function<void(TForm1*)>;
Q_DECLARE_METATYPE(Command)

class TstDefer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { app_.reset(), relay_.reset(); }
    void dialogOpensAfterTheTickAndThePollGoesOn_data();
    void dialogOpensAfterTheTickAndThePollGoesOn();
    void settingsChosenDuringWriteWaitForItsEnd();
    void saveWritesTheTableItChecked();
    void anotherRelaysDataIsMarkedEarlier();

private:
    // Runs act from inside the next wait of an operation with the relay, or of the
    // first one after the relay has logged a frame of function fn (to register reg).
    void inWait(const std::function<void()>& act, const QString& fn = {}, const QString& reg = {});
    int count(const QString& fn, const QString& reg, QStringList* addresses = nullptr) const;
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
    f_->SpeedButton1Click();
    QTRY_COMPARE_WITH_TIMEOUT(f_->StringGrid1->cell(3, 11), QStringLiteral("2"), 10000);
    fill(f_->StringGrid1, validTable());
}

void TstDefer::inWait(const std::function<void()>& act, const QString& fn, const QString& reg) {
    auto* t = new QTimer(f_);
    connect(t, &QTimer::timeout, f_, [=, this] {
        // Outside an operation the timer fires only from the event loop, inside one only from a wait.
        if (!f_->exchangeBusy() || (!fn.isEmpty() && count(fn, reg) == 0)) return;
        t->stop();
        t->deleteLater();
        act();
    });
    t->start(1);
}

int TstDefer::count(const QString& fn, const QString& reg, QStringList* addresses) const {
    int n = 0;
    for (const QString& line : relay_->logLines()) {
        const QMap<QString, QString> e = SimRelay::parseLogLine(line);
        if (e.value(QStringLiteral("fn")) != fn || (!reg.isEmpty() && e.value(QStringLiteral("reg")) != reg))
            continue;
        ++n;
        if (addresses) *addresses << e.value(QStringLiteral("rx")).left(2);
    }
    return n;
}

void TstDefer::dialogOpensAfterTheTickAndThePollGoesOn_data() {
    QTest::addColumn<Command>("command");
    auto click = [](const char* name) {
        return Command(
            [name](TForm1* f) { QTest::mouseClick(f->findChild<QAbstractButton*>(name), Qt::LeftButton); });
    };
    auto entry = [](const char* name) {
        return Command([name](TForm1* f) { f->findChild<QAction*>(name)->trigger(); });
    };
    for (const char* name : {"SpeedButton9", "SpeedButton10", "LogButton", "SpeedButton13", "SpeedButton14"})
        QTest::newRow(name) << click(name);
    for (const char* name : {"CompareWithFile", "CommissioningReport", "ExportFaultsCsv", "ExportFaultsText",
                             "ExportChartPng", "ExportChartCsv"})
        QTest::newRow(name) << entry(name);
    QTest::newRow("line monitor save") << Command([](TForm1* f) {
        QTest::mouseClick(f->LineMonitorButton, Qt::LeftButton);
        QTest::mouseClick(f->LineMonitor1->findChild<QPushButton*>(QStringLiteral("SaveButton")),
                          Qt::LeftButton);
    });
    QTest::newRow("context menu") << Command([](TForm1* f) {
        QContextMenuEvent ask(QContextMenuEvent::Keyboard, QPoint(40, 40), f->mapToGlobal(QPoint(40, 40)));
        QApplication::sendEvent(f->StringGrid2->viewport(), &ask);
    });
}

void TstDefer::dialogOpensAfterTheTickAndThePollGoesOn() {
    QFETCH(Command, command);
    int dialogs = 0, readsWhileOpen = -1;
    bool busyWhenOpened = true;
    // A modal dialog's loop, until the poll has read three times (or long after it should have).
    auto dialog = [&] {
        if (dialogs++ > 0) return;
        busyWhenOpened = idle::busy();
        const int before = count(QStringLiteral("3"), QStringLiteral("1"));
        QTest::qWaitFor([&] { return count(QStringLiteral("3"), QStringLiteral("1")) >= before + 3; }, 10000);
        readsWhileOpen = count(QStringLiteral("3"), QStringLiteral("1")) - before;
    };
    seams::current().openFileName =
        seams::current().saveFileName = [&](auto...) { return dialog(), QString(); };
    QTimer menus; // a context menu is a dialog too, closed once the poll has gone on
    connect(&menus, &QTimer::timeout, f_, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) dialog(), popup->close();
    });
    menus.start(1);
    inWait([&] {
        command(f_);
        QCOMPARE(dialogs, 0); // queued, not run inside the tick
    });
    QTRY_VERIFY_WITH_TIMEOUT(dialogs > 0, 10000);
    QVERIFY(!busyWhenOpened);
    QVERIFY2(readsWhileOpen >= 3, qPrintable(QString::number(readsWhileOpen)));
}

void TstDefer::settingsChosenDuringWriteWaitForItsEnd() {
    TForm2* f2 = app_->f2();
    f2->show(); // opened before, still there
    const QString polish = f_->hiddenLabel(HiddenText::NoConnection)->text();
    QString textDuringWrite;
    inWait(
        [&] {
            QTest::keyClick(f2->ComboBox3, Qt::Key_Down);                  // address 4
            QTest::mouseClick(f2->RadioGroup2->button(1), Qt::LeftButton); // English
            textDuringWrite = f_->hiddenLabel(HiddenText::NoConnection)->text();
        },
        QStringLiteral("6"), QStringLiteral("13"));
    QTest::mouseClick(f_->SpeedButton7, Qt::LeftButton);
    QStringList addresses;
    QCOMPARE(count(QStringLiteral("6"), QString(), &addresses), 11);
    QCOMPARE(addresses, QStringList(11, QStringLiteral("03")));
    QCOMPARE(textDuringWrite, polish);
    QVERIFY2(app_->f4()->isHidden(), qPrintable(f_->Label100->text()));
    QTRY_COMPARE(f2->busAddress(), 4);
    QVERIFY(f_->hiddenLabel(HiddenText::NoConnection)->text() != polish);
}

void TstDefer::saveWritesTheTableItChecked() {
    const QString path = app_->path(QStringLiteral("snapshot.vrk"));
    // While the dialog is open the relay turns out to be a 250 A one, and the
    // poll writes its variant into the table: In 12,5 A is out of its range.
    seams::current().saveFileName = [&](auto...) {
        relay_->control(QStringLiteral("variant 3"));
        QTest::qWaitFor([&] { return f_->StringGrid1->cell(3, 11) == QLatin1String("3"); }, 10000);
        return path;
    };
    QTest::mouseClick(f_->SpeedButton10, Qt::LeftButton);
    QCOMPARE(f_->StringGrid1->cell(3, 11), QStringLiteral("3"));
    const setpoints::SetpointFileRead file = setpoints::readSetpointFile(path);
    QVERIFY2(file.ok, qPrintable(file.error));
    QCOMPARE(setpoints::tableAfterLoad(file.lines).mid(0, 12), validTable().mid(0, 12));
}

void TstDefer::anotherRelaysDataIsMarkedEarlier() {
    StringGrid* g = f_->StringGrid1;
    QTest::mouseClick(f_->SpeedButton6, Qt::LeftButton);  // the relay at address 3: setpoints
    QTest::mouseClick(f_->SpeedButton12, Qt::LeftButton); // and fault log
    g->setCell(3, 2, QStringLiteral("100"));              // changed: marked
    QVERIFY(g->cellBackground(3, 2) != QColor(Qt::white));
    const QString file = app_->path(QStringLiteral("compare.vrk"));
    QVERIFY(setpoints::writeSetpointFile(file, validTable(), nullptr));
    app_->openAnswers.enqueue(file);
    f_->findChild<QAction*>(QStringLiteral("CompareWithFile"))->trigger();
    auto* compare = f_->findChild<SetpointCompareWindow*>(QStringLiteral("SetpointCompare"));
    QVERIFY(compare->RelayLabel->isHidden());
    QVERIFY(!g->item(2, 3)->toolTip().contains(QStringLiteral("address")));

    app_->f2()->show();
    QTest::keyClick(app_->f2()->ComboBox3, Qt::Key_Down); // another address, connected
    QVERIFY(g->item(2, 3)->toolTip().contains(QStringLiteral("address 3 on COM1")));
    QCOMPARE(g->cellBackground(3, 2), QColor(Qt::white));
    QVERIFY(compare->RelayLabel->text().contains(QStringLiteral("address 3 on COM1")));
    QVERIFY(f_->FaultLogNotice->text().contains(QStringLiteral("address 3 on COM1")));
    for (int r = 1; r <= 40; ++r)
        QCOMPARE(f_->StringGrid2->item(r, 1)->foreground().color(), QColor(Qt::gray));
    QCOMPARE(f_->faultLogState().faultBlocksFresh, 0u); // the exports say so too

    QVERIFY(relay_->control(QStringLiteral("address 4"))); // its own read is current again
    QTest::mouseClick(f_->SpeedButton6, Qt::LeftButton);
    QVERIFY(!g->item(2, 3)->toolTip().contains(QStringLiteral("address")));
    f_->Rozlacz(); // and earlier once disconnected
    QVERIFY(g->item(2, 3)->toolTip().contains(QStringLiteral("address 4 on COM1")));
}

QTEST_MAIN(TstDefer)
#include "tst_defer.moc"

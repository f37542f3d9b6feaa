// The real window against the relay simulator: no dialog or menu opens inside an operation's wait and the
// poll goes on while one is open; settings never change under a write; a save writes the table it checked;
// another relay's data is marked as earlier.
#include "appfixture.h"
#include "linemonitor/linemonitor.h"
#include "relaydata/provenance.h"
#include "setpoints/comparewindow.h"
#include "setpoints/setpointfile.h"
#include "setpointtables.h"
#include "simfixture.h"
#include "tests/controls.h"
#include "widgets/controls.h"

#include <QComboBox>
#include <QDialog>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using Command = std::function<void(TForm1*)>;
Q_DECLARE_METATYPE(Command)

class TstDefer : public QObject {
    Q_OBJECT
    std::unique_ptr<SimRelay> relay_;
    std::unique_ptr<AppFixture> app_;
    TForm1* f_ = nullptr;
    // The addresses of the frames of function fn (to register reg) the relay got.
    QStringList frames(const char* fn, const char* reg = nullptr) const {
        QStringList out;
        for (const QString& line : relay_->logLines())
            if (const auto e = SimRelay::parseLogLine(line);
                e.value("fn") == fn && (!reg || e.value("reg") == reg))
                out << e.value(QStringLiteral("rx")).left(2);
        return out;
    }
    // Runs act inside the next wait of an operation (after a frame fn to reg), as a queued click would.
    void inWait(const std::function<void()>& act, const char* fn = "3", const char* reg = nullptr) {
        auto* t = new QTimer(f_);
        connect(t, &QTimer::timeout, f_, [=, this] {
            if (f_->exchangeBusy() && !frames(fn, reg).isEmpty()) t->deleteLater(), t->stop(), act();
        });
        t->start(1);
    }
private slots:
    void init() {
        relay_ = std::make_unique<SimRelay>();
        QVERIFY(
            relay_->start({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze")}));
        app_ = std::make_unique<AppFixture>();
        app_->start();
        f_ = app_->f1();
        f_->SpeedButton1Click();
        QTRY_COMPARE_WITH_TIMEOUT(control<StringGrid>(f_, "StringGrid1")->cell(3, 11), QStringLiteral("2"),
                                  10000);
        fill(control<StringGrid>(f_, "StringGrid1"), validTable());
        app_->f2()->show(); // the settings window, opened before, stays open
    }
    void cleanup() { app_.reset(), relay_.reset(); }

    void dialogOpensAfterTheTickAndThePollGoesOn_data() {
        QTest::addColumn<Command>("command");
        for (const char* b : {"SpeedButton9", "SpeedButton10", "LogButton", "SpeedButton13", "SpeedButton14"})
            QTest::newRow(b) << Command(
                [b](TForm1* f) { QTest::mouseClick(f->findChild<QWidget*>(b), Qt::LeftButton); });
        for (const char* a : {"CompareWithFile", "CommissioningReport", "ExportFaultsCsv", "ExportFaultsText",
                              "ExportChartPng", "ExportChartCsv"})
            QTest::newRow(a) << Command([a](TForm1* f) { f->findChild<QAction*>(a)->trigger(); });
        QTest::newRow("line monitor save") << Command([](TForm1* f) {
            QTest::mouseClick(control<QToolButton>(f, "LineMonitorButton"), Qt::LeftButton);
            QTest::mouseClick(f->lineMonitorPage().monitor()->findChild<QWidget*>("SaveButton"),
                              Qt::LeftButton);
        });
        QTest::newRow("context menu") << Command([](TForm1* f) {
            QContextMenuEvent ask(QContextMenuEvent::Keyboard, QPoint(40, 40),
                                  f->mapToGlobal(QPoint(40, 40)));
            QApplication::sendEvent(control<StringGrid>(f, "StringGrid2")->viewport(), &ask);
        });
    }
    void dialogOpensAfterTheTickAndThePollGoesOn() {
        QFETCH(Command, command);
        int dialogs = 0;
        qsizetype readsWhileOpen = -1;
        bool busyWhenOpened = true;
        // A modal dialog's loop, until the poll has read three times (or long after it should have).
        auto dialog = [&] {
            if (dialogs++ > 0) return;
            busyWhenOpened = idle::busy();
            const qsizetype before = frames("3", "1").size();
            QTest::qWaitFor([&] { return frames("3", "1").size() >= before + 3; }, 10000);
            readsWhileOpen = frames("3", "1").size() - before;
        };
        seams::current().openFileName =
            seams::current().saveFileName = [&](auto...) { return dialog(), QString(); };
        QTimer menus; // a context menu or a dialog of the program's own, closed once the poll has gone on
        connect(&menus, &QTimer::timeout, f_, [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) dialog(), popup->close();
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog(), modal->reject();
        });
        menus.start(1);
        inWait([&] { command(f_); });
        QTRY_VERIFY_WITH_TIMEOUT(dialogs > 0, 10000);
        QVERIFY(!busyWhenOpened);
        QVERIFY2(readsWhileOpen >= 3, qPrintable(QString::number(readsWhileOpen)));
    }

    void settingsChosenDuringWriteWaitForItsEnd() {
        TForm2* f2 = app_->f2();
        const QString polish = f_->hiddenLabel(HiddenText::NoConnection)->text();
        QString textInWrite;
        inWait(
            [&] {
                QTest::keyClick(f2->ComboBox3, Qt::Key_Down);                  // address 4
                QTest::mouseClick(f2->RadioGroup2->button(1), Qt::LeftButton); // English
                textInWrite = f_->hiddenLabel(HiddenText::NoConnection)->text();
            },
            "6", "13");
        QTest::mouseClick(control<QToolButton>(f_, "SpeedButton7"), Qt::LeftButton);
        QCOMPARE(frames("6"), QStringList(11, QStringLiteral("03")));
        QCOMPARE(textInWrite, polish);
        QVERIFY2(app_->f4()->isHidden(), qPrintable(f_->Label100->text()));
        QTRY_COMPARE(f2->busAddress(), 4);
        QVERIFY(f_->hiddenLabel(HiddenText::NoConnection)->text() != polish);
    }

    void saveWritesTheTableItChecked() {
        // While the dialog is open the relay turns out to be a 250 A one, and the poll writes its variant
        // into the table: In 12,5 A is out of its range.
        seams::current().saveFileName = [&](auto...) {
            relay_->control(QStringLiteral("variant 3"));
            QTest::qWaitFor(
                [&] { return control<StringGrid>(f_, "StringGrid1")->cell(3, 11) == QLatin1String("3"); },
                10000);
            return app_->path(QStringLiteral("snapshot.vrk"));
        };
        QTest::mouseClick(control<QToolButton>(f_, "SpeedButton10"), Qt::LeftButton);
        QCOMPARE(control<StringGrid>(f_, "StringGrid1")->cell(3, 11), QStringLiteral("3"));
        const auto file = setpoints::readSetpointFile(app_->path(QStringLiteral("snapshot.vrk")));
        QCOMPARE(setpoints::tableAfterLoad(file.lines).mid(0, 12), validTable().mid(0, 12));
    }

    void anotherRelaysDataIsMarkedEarlier() {
        StringGrid* g = control<StringGrid>(f_, "StringGrid1");
        // The note in the language chosen: "earlier, from the relay at address 3 on COM1, read 14:05".
        auto note = [](const relaydata::Source& s) { return relaydata::earlierNote(s.relay); };
        QTest::mouseClick(control<QToolButton>(f_, "SpeedButton6"),
                          Qt::LeftButton); // the relay at address 3: setpoints
        QTest::mouseClick(control<QToolButton>(f_, "SpeedButton12"), Qt::LeftButton); // and fault log
        g->setCell(3, 2, QStringLiteral("100"));                                      // changed: marked
        QVERIFY(g->cellBackground(3, 2) != QColor(Qt::white) &&
                !g->item(2, 3)->toolTip().contains(note(f_->setpointPage().state().source)));
        QVERIFY(setpoints::writeSetpointFile(app_->path("c.vrk"), validTable(), nullptr));
        app_->openAnswers.enqueue(app_->path("c.vrk"));
        f_->findChild<QAction*>(QStringLiteral("CompareWithFile"))->trigger();
        QTest::keyClick(app_->f2()->ComboBox3, Qt::Key_Down); // another address, connected
        const QString earlier = note(f_->setpointPage().state().source);
        QVERIFY2(earlier.contains(QLatin1String("3")) && earlier.contains(QLatin1String("COM1")),
                 qPrintable(earlier));
        QVERIFY2(g->item(2, 3)->toolTip().contains(earlier), qPrintable(g->item(2, 3)->toolTip()));
        QCOMPARE(g->cellBackground(3, 2), QColor(Qt::white));
        QVERIFY(f_->findChild<SetpointCompareWindow*>()->RelayLabel->text().contains(earlier));
        QVERIFY(control<QLabel>(f_, "FaultLogNotice")->text().contains(note(f_->faultPage().state().source)));
        for (int r = 1; r <= 40; ++r)
            QCOMPARE(control<StringGrid>(f_, "StringGrid2")->item(r, 1)->foreground().color(),
                     QColor(Qt::gray));
        QCOMPARE(f_->faultPage().state().faultBlocksFresh, 0u); // the exports say so too
        QVERIFY(relay_->control(QStringLiteral("address 4")));  // its own read is current again
        QTest::mouseClick(control<QToolButton>(f_, "SpeedButton6"), Qt::LeftButton);
        QVERIFY(!f_->setpointPage().state().source.earlier);
        QVERIFY(!g->item(2, 3)->toolTip().contains(note(f_->setpointPage().state().source)));
        f_->Rozlacz(); // and earlier once disconnected
        const QString four = note(f_->setpointPage().state().source);
        QVERIFY2(four.contains(QLatin1String("4")) && four.contains(QLatin1String("COM1")), qPrintable(four));
        QVERIFY(g->item(2, 3)->toolTip().contains(four));
    }
};

QTEST_MAIN(TstDefer)
#include "tst_defer.moc"

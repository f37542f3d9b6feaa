// The recorder in the main window, started as the program starts it: the
// chart page's controls, the start-up state, the per-sample feed, pausing,
// and saving and opening through the window's buttons.
#include "serial/tserialdriver.h"
#include "tests/appfixture.h"
#include "tests/controls.h"
#include "tests/form1setup.h"
#include "tests/simfixture.h"
#include "tests/tst_trends_support.h"
#include "trends/polllogwindow.h"
#include "trends/recorderchart.h"
#include "widgets/controls.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace recorder;
using namespace trendstest;

namespace {

// The chart page is not the page shown at start: click() presses a control
// as the user's click does, without needing it on screen.
void pick(RadioGroup* g, int item) {
    g->button(item)->click();
}

// A frozen motor with these registers 1..12.
bool setMotor(SimRelay& relay, const QList<int>& regs) {
    if (!relay.control(QStringLiteral("freeze"))) return false;
    for (int i = 0; i < regs.size(); ++i)
        if (!relay.control(QStringLiteral("set %1 %2").arg(i + 1).arg(regs[i]))) return false;
    return true;
}

// The measurement reads the relay has answered so far.
int measurementReads(const SimRelay& relay) {
    int n = 0;
    for (const QString& line : relay.logLines()) {
        const auto f = SimRelay::parseLogLine(line);
        if (f.value(QStringLiteral("fn")) == QLatin1String("3") &&
            f.value(QStringLiteral("reg")) == QLatin1String("1") &&
            f.value(QStringLiteral("n")) == QLatin1String("12") && f.contains(QStringLiteral("tx")))
            ++n;
    }
    return n;
}

} // namespace

class TestTrendsForm1 : public QObject {
    Q_OBJECT
private slots:
    void controlsOnTheChartPage();
    void selectorsInsideThePage();
    void startState();
    void wykres1TakesThePollsRegisters();
    void recordingFromTheRelay();
    void pauseCaptionsFromLanguageLabels();
    void saveAndOpenThroughTheButtons();
    void refusedFileThroughTheButton();
    void pollLogFromTheWindowsChart();
};

void TestTrendsForm1::controlsOnTheChartPage() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QCOMPARE(f->TabSheet5->findChild<RecorderChart*>(QStringLiteral("Chart2")),
             control<RecorderChart>(f, "Chart2"));
    QCOMPARE(f->TabSheet5->findChild<QToolButton*>(QStringLiteral("SpeedButton8")),
             control<QToolButton>(f, "SpeedButton8"));
    QCOMPARE(f->TabSheet5->findChild<QToolButton*>(QStringLiteral("SpeedButton13")),
             control<QToolButton>(f, "SpeedButton13"));
    QCOMPARE(f->TabSheet5->findChild<QToolButton*>(QStringLiteral("SpeedButton14")),
             control<QToolButton>(f, "SpeedButton14"));
    QCOMPARE(f->TabSheet5->findChild<RadioGroup*>(QStringLiteral("RadioGroup1")),
             control<RadioGroup>(f, "RadioGroup1"));
    QCOMPARE(f->TabSheet5->findChild<RadioGroup*>(QStringLiteral("RadioGroup2")),
             control<RadioGroup>(f, "RadioGroup2"));
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->objectName(), QStringLiteral("Series4"));
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series5()->objectName(), QStringLiteral("Series5"));
}

void TestTrendsForm1::selectorsInsideThePage() {
    // The chart page as the window lays it out, shown by its page button.
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    QTest::mouseClick(f->SpeedButton23, Qt::LeftButton);
    QTRY_VERIFY(f->TabSheet5->isVisible());
    const QRect page = f->TabSheet5->rect();
    const QRect chart(control<RecorderChart>(f, "Chart2")->mapTo(f->TabSheet5, QPoint(0, 0)),
                      control<RecorderChart>(f, "Chart2")->size());
    QVERIFY(page.contains(chart));
    for (RadioGroup* g : {control<RadioGroup>(f, "RadioGroup1"), control<RadioGroup>(f, "RadioGroup2")}) {
        for (int i = 0; i < g->count(); ++i) {
            QRadioButton* b = g->button(i);
            const QString what = g->objectName() + QLatin1Char(' ') + b->text();
            QVERIFY2(g->contentsRect().contains(b->geometry()), qPrintable(what));
            const QRect onPage(b->mapTo(f->TabSheet5, QPoint(0, 0)), b->size());
            QVERIFY2(page.contains(onPage), qPrintable(what));
            QVERIFY2(onPage.left() > chart.right(), qPrintable(what));
            // A click in the middle of the item reaches it.
            QCOMPARE(f->TabSheet5->childAt(onPage.center()), static_cast<QWidget*>(b));
        }
    }
}

void TestTrendsForm1::startState() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QCOMPARE(control<RecorderChart>(f, "Chart2")->title(), QString());
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->count(), 0);
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series5()->count(), 0);
    QVERIFY(f->chartPage().state().recorderHistory == History{});
    QVERIFY(f->chartPage().state().fileHistory == History{});
    QVERIFY(control<QToolButton>(f, "SpeedButton8")->isChecked());
    QCOMPARE(control<QToolButton>(f, "SpeedButton8")->text(), QStringLiteral("Pauza"));
    QCOMPARE(control<RadioGroup>(f, "RadioGroup1")->itemIndex(), 1);
    QCOMPARE(control<RadioGroup>(f, "RadioGroup2")->itemIndex(), 4);
}

void TestTrendsForm1::wykres1TakesThePollsRegisters() {
    // With no poll yet the poll's registers are all 0: one sample of zeros
    // arrives at index 499 and everything else moves one place.
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    Form1TestSetup::setLiveHistory(*f, distinctHistory());
    f->Wykres1();
    const History before = distinctHistory();
    for (int c = 0; c < kChannels; ++c) {
        QCOMPARE(f->chartPage().state().recorderHistory[size_t(c)][0], before[size_t(c)][1]);
        QCOMPARE(f->chartPage().state().recorderHistory[size_t(c)][499],
                 f->dataPage().state().registers[size_t(c)] * (c == 8 ? 10 : 1));
    }
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->count(), 500);
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series5()->count(), 500);
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->at(0), QPointF(0, before[0][1]));
}

void TestTrendsForm1::recordingFromTheRelay() {
    SimRelay relay;
    QVERIFY(relay.start());
    // Ir of 9 % is below the poll's cut; power 1234 (12,34 kW) is kept in watts.
    QVERIFY(setMotor(relay, {9, 101, 102, 398, 401, 404, 35, 85, 1234, 0, 0x0100, 200}));
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->SpeedButton1Click();
    QVERIFY(f->SerialDriver1->IsOpen());
    QTRY_COMPARE_WITH_TIMEOUT(f->chartPage().state().recorderHistory[8][499], 12340, 10000);
    const QList<int> expected{0, 101, 102, 398, 401, 404, 35, 85, 12340};
    for (int c = 0; c < kChannels; ++c)
        QCOMPARE(f->chartPage().state().recorderHistory[size_t(c)][499], expected[c]);
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->count(), 500);
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->at(499), QPointF(499, 0));
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series5()->at(499), QPointF(499, 398));

    // Paused: the polls go on, the channels keep still.
    control<QToolButton>(f, "SpeedButton8")->click();
    const History frozen = f->chartPage().state().recorderHistory;
    QVERIFY(relay.control(QStringLiteral("set 4 420")));
    const int reads = measurementReads(relay);
    QTRY_VERIFY_WITH_TIMEOUT(measurementReads(relay) >= reads + 3, 10000);
    QVERIFY(f->chartPage().state().recorderHistory == frozen);
    QCOMPARE(control<QLabel>(f, "Label41")->text(), QStringLiteral("420"));

    // Recording again.
    control<QToolButton>(f, "SpeedButton8")->click();
    QTRY_COMPARE_WITH_TIMEOUT(f->chartPage().state().recorderHistory[3][499], 420, 10000);
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series5()->at(499), QPointF(499, 420));
    f->SpeedButton2Click();
}

void TestTrendsForm1::pauseCaptionsFromLanguageLabels() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->hiddenLabel(69)->setText(QStringLiteral("Start (label 69)"));
    f->hiddenLabel(68)->setText(QStringLiteral("Pauza (label 68)"));
    control<QToolButton>(f, "SpeedButton8")->click();
    QVERIFY(!control<QToolButton>(f, "SpeedButton8")->isChecked());
    QCOMPARE(control<QToolButton>(f, "SpeedButton8")->text(), QStringLiteral("Start (label 69)"));
    control<QToolButton>(f, "SpeedButton8")->click();
    QVERIFY(control<QToolButton>(f, "SpeedButton8")->isChecked());
    QCOMPARE(control<QToolButton>(f, "SpeedButton8")->text(), QStringLiteral("Pauza (label 68)"));
}

void TestTrendsForm1::saveAndOpenThroughTheButtons() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    Form1TestSetup::setLiveHistory(*f, distinctHistory());
    app.saveAnswers << app.path(QStringLiteral("rec"));
    control<QToolButton>(f, "SpeedButton14")->click();
    QVERIFY(app.errorBoxes.isEmpty());
    QCOMPARE(readFile(app.path(QStringLiteral("rec.rej"))), recordingBytes(distinctHistory()));
    QVERIFY(control<QToolButton>(f, "SpeedButton8")->isChecked());

    app.openAnswers << app.path(QStringLiteral("rec.rej"));
    control<QToolButton>(f, "SpeedButton13")->click();
    QVERIFY(!control<QToolButton>(f, "SpeedButton8")->isChecked());
    QCOMPARE(control<RecorderChart>(f, "Chart2")->title(),
             QStringLiteral("Wykres z pliku: ") +
                 QFileInfo(app.path(QStringLiteral("rec.rej"))).absoluteFilePath());
    QVERIFY(f->chartPage().state().fileHistory == distinctHistory());
    pick(control<RadioGroup>(f, "RadioGroup2"), 9);
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series5()->points(),
             tracePoints(f->chartPage().state().fileHistory[8]));
    QCOMPARE(control<RecorderChart>(f, "Chart2")->rightAxis()->max(), 32000.0);
    const QString filter = QStringLiteral("Pliki z wykresami   (*.rej )|*.rej|Wszystkie pliki  (*.*)|*.*");
    QCOMPARE(app.dialogFilters, (QStringList{filter, filter}));

    // Back to live recording.
    control<QToolButton>(f, "SpeedButton8")->click();
    QCOMPARE(control<RecorderChart>(f, "Chart2")->title(), QString());
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series5()->points(),
             tracePoints(f->chartPage().state().recorderHistory[8]));
}

void TestTrendsForm1::refusedFileThroughTheButton() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QVERIFY(writeFile(app.path(QStringLiteral("eight.rej")), "1 2 3 4 5 6 7 8 \r\n"));
    app.openAnswers << app.path(QStringLiteral("eight.rej"));
    control<QToolButton>(f, "SpeedButton13")->click();
    QVERIFY(app.errorBoxes.isEmpty());
    QVERIFY(!control<QToolButton>(f, "SpeedButton8")->isChecked());
    QCOMPARE(control<RecorderChart>(f, "Chart2")->title(), QString());
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series4()->count(), 0);
    QCOMPARE(control<RecorderChart>(f, "Chart2")->series5()->count(), 0);
}

void TestTrendsForm1::pollLogFromTheWindowsChart() {
    // The chart's own menu, with the window's exports after its entries; its
    // entry, after the recorder's buttons and selectors have been used, opens
    // the log over the window.
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    pick(control<RadioGroup>(f, "RadioGroup1"), 2);
    control<QToolButton>(f, "SpeedButton8")->click();
    control<QToolButton>(f, "SpeedButton8")->click();
    f->Wykres1();
    QVERIFY(writeFile(app.path(QStringLiteral("poll.csv")), threeRowPollLog()));
    app.openAnswers << app.path(QStringLiteral("poll.csv"));

    auto* chart = control<RecorderChart>(f, "Chart2");
    bool found = false;
    QStringList entries;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QAction* open = menu ? menu->findChild<QAction*>(QStringLiteral("chartOpenPollLog")) : nullptr;
        for (const QAction* a : menu ? menu->actions() : QList<QAction*>())
            if (!a->isSeparator()) entries << a->objectName();
        found = open;
        if (menu) menu->close();
        if (open) open->trigger();
    });
    const QPoint at = chart->rect().center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, chart->mapToGlobal(at));
    QApplication::sendEvent(chart, &menuEvent);
    QVERIFY(found);
    QCOMPARE(entries, (QStringList{"chartWholeView", "chartTimeAxis", "chartOpenPollLog", "ExportChartPng",
                                   "ExportChartCsv"}));
    QVERIFY2(app.errorBoxes.isEmpty(), qPrintable(app.errorBoxes.join(QLatin1Char('\n'))));
    PollLogWindow* shown = f->findChild<PollLogWindow*>();
    QVERIFY(shown);
    QScopedPointer<PollLogWindow> closer(shown);
    QCOMPARE(shown->parentWidget(), static_cast<QWidget*>(f));
    QCOMPARE(shown->log().times.size(), 3);
}

QTEST_MAIN(TestTrendsForm1)
#include "tst_trends_form1.moc"

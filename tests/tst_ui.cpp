// The windows as a user at the keyboard and on today's screens meets them.
#include "appfixture.h"
#include "tests/controls.h"

#include "app/about.h"
#include "app/keyboard.h"
#include "app/pictures.h"
#include "app/viewsize.h"
#include "linemonitor/exchangelog.h"
#include "linemonitor/linemonitor.h"
#include "trends/recorderchart.h"
#include "widgets/cellfit.h"
#include "widgets/controls.h"
#include "widgets/placement.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>

class TstUi : public QObject {
    Q_OBJECT
private slots:
    void keyboardWalk_data();
    void keyboardWalk();
    void faultGridKeys_data();
    void faultGridKeys();
    void settingsEscape();
    void shortcuts_data();
    void shortcuts();
    void placed_data();
    void placed();
    void monitorFitsTheScreen();
    void aboutAndManual();
    void viewSizeRules_data();
    void viewSizeRules();
    void viewSizeStored();
    void picturesForPixelRatio_data();
    void picturesForPixelRatio();
    void textsInTheChosenLanguage_data();
    void textsInTheChosenLanguage();
    void chartReadoutRules_data();
    void chartReadoutRules();
    void chartCursorFollowsTheMouse();
};

namespace {

QString nameOf(const QWidget* w) {
    return w ? w->objectName() : QStringLiteral("<none>");
}

// What a user expects Tab to reach on the window as it is shown: every
// enabled control that takes focus, a group of buttons with one down by
// that button, a grid or list as a whole.
QSet<QWidget*> expectedStops(QWidget* window) {
    QSet<QWidget*> stops;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisible() || !w->isEnabled()) continue;
        bool inside = false;
        for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
            inside = inside || qobject_cast<QAbstractScrollArea*>(p);
        if (inside) continue;
        auto* b = qobject_cast<QAbstractButton*>(w);
        const bool grouped = b && ((b->group() && b->group()->exclusive()) || b->autoExclusive());
        if (grouped) {
            const bool anyDown = b->group() ? b->group()->checkedButton() != nullptr : true;
            if (b->isChecked() || !anyDown) stops << w;
            continue;
        }
        if (w->focusPolicy() & Qt::TabFocus) stops << w;
    }
    return stops;
}

QWidget* pressTab(bool forward) {
    QWidget* from = QApplication::focusWidget();
    QTest::keyClick(from, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                    forward ? Qt::NoModifier : Qt::ShiftModifier);
    return QApplication::focusWidget();
}

} // namespace

void TstUi::keyboardWalk_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("forward");
    const char* pages[] = {"data", "setpoints", "chart", "faults"};
    for (int page = 0; page < 4; ++page) {
        QTest::addRow("%s, Tab", pages[page]) << page << true;
        QTest::addRow("%s, Shift+Tab", pages[page]) << page << false;
    }
}

// From the first control, Tab (or Shift+Tab) reaches the page buttons, the
// arrow keys choose the page, and Tab then visits every control of the
// toolbars and the page and comes back round.
void TstUi::keyboardWalk() {
    QFETCH(int, page);
    QFETCH(bool, forward);
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QApplication::setActiveWindow(f);
    QVERIFY(QTest::qWaitForWindowActive(f));
    f->SpeedButton1->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 20 && QApplication::focusWidget() != f->SpeedButton21; ++i)
        pressTab(true);
    QCOMPARE(nameOf(QApplication::focusWidget()), QStringLiteral("SpeedButton21"));
    for (int i = 0; i < page; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QToolButton* pageButtons[4] = {f->SpeedButton21, f->SpeedButton22, f->SpeedButton23, f->SpeedButton24};
    QWidget* sheets[4] = {f->TabSheet1, f->TabSheet4, f->TabSheet5, f->TabSheet6};
    QCOMPARE(f->PageControl1->currentWidget(), sheets[page]);
    QVERIFY(pageButtons[page]->isChecked());
    QCOMPARE(QApplication::focusWidget(), pageButtons[page]);

    QWidget* start = QApplication::focusWidget();
    QSet<QWidget*> seen{start};
    bool round = false;
    for (int i = 0; i < 200 && !round; ++i) {
        QWidget* now = pressTab(forward);
        QVERIFY2(now, "focus lost");
        round = now == start;
        seen << now;
    }
    QVERIFY2(round, "Tab never came back to the page button");
    QStringList missing;
    for (QWidget* w : expectedStops(f))
        if (!seen.contains(w)) missing << nameOf(w);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
    QCOMPARE(f->PageControl1->currentWidget(), sheets[page]);
}

void TstUi::faultGridKeys_data() {
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<int>("beeps");
    QTest::newRow("Down past rows 12 and 13") << 11 << int(Qt::Key_Down) << 1 << 14 << 0;
    QTest::newRow("Up past rows 13 and 12") << 14 << int(Qt::Key_Up) << 1 << 11 << 0;
    QTest::newRow("Down to the last row") << 1 << int(Qt::Key_Down) << 45 << 40 << 0;
    QTest::newRow("Up to the first row") << 40 << int(Qt::Key_Up) << 45 << 1 << 0;
    QTest::newRow("PgDn to the last row") << 1 << int(Qt::Key_PageDown) << 5 << 40 << 0;
    QTest::newRow("PgUp to the first row") << 40 << int(Qt::Key_PageUp) << 5 << 1 << 0;
}

// The fault log keeps rows 12 and 13 from being chosen (with a beep when
// clicked); the keys pass over them to the trips below.
void TstUi::faultGridKeys() {
    QFETCH(int, fromRow);
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(int, toRow);
    QFETCH(int, beeps);
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QApplication::setActiveWindow(f);
    QVERIFY(QTest::qWaitForWindowActive(f));
    QTest::keyClick(f, Qt::Key_4, Qt::ControlModifier);
    QCOMPARE(f->PageControl1->currentWidget(), f->TabSheet6);
    StringGrid* g = control<StringGrid>(f, "StringGrid2");
    g->setFocus();
    g->setCurrentCell(fromRow, 1);
    for (int i = 0; i < presses; ++i)
        QTest::keyClick(g, Qt::Key(key));
    QCOMPARE(g->currentRowIndex(), toRow);
    QCOMPARE(g->currentColumn(), 1);
    QCOMPARE(app.beeps, beeps);
    // The rows stay refused to a click.
    const QRect cell = g->visualRect(g->model()->index(12, 1));
    if (g->viewport()->rect().contains(cell.center())) {
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(g->currentRowIndex(), toRow);
        QCOMPARE(app.beeps, beeps + 1);
    }
}

void TstUi::settingsEscape() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    QTest::mouseClick(f->SpeedButton3, Qt::LeftButton);
    TForm2* settings = app.f2();
    QVERIFY(QTest::qWaitForWindowActive(settings));
    const QByteArray before = [&] {
        QFile ini(app.path(QStringLiteral("vrk.ini")));
        return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
    }();
    settings->ComboBox1->setCurrentIndex(2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!settings->isVisible());
    // Escape is the close box: nothing is stored.
    QFile ini(app.path(QStringLiteral("vrk.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QCOMPARE(ini.readAll(), before);
}

void TstUi::shortcuts_data() {
    QTest::addColumn<int>("page"); // 0..3 as the page buttons
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("dialogs");
    // The empty table fails its check before a file is asked for.
    QTest::newRow("Ctrl+S saves the setpoints")
        << 1 << QKeySequence(Qt::CTRL | Qt::Key_S) << "SpeedButton10" << 0;
    QTest::newRow("Ctrl+O loads setpoints") << 1 << QKeySequence(Qt::CTRL | Qt::Key_O) << "SpeedButton9" << 1;
    QTest::newRow("Ctrl+S saves the recording")
        << 2 << QKeySequence(Qt::CTRL | Qt::Key_S) << "SpeedButton14" << 1;
    QTest::newRow("Ctrl+O opens a recording")
        << 2 << QKeySequence(Qt::CTRL | Qt::Key_O) << "SpeedButton13" << 1;
}

// A shortcut presses the button of the page on show, as a click does (the
// file dialog opens; the fixture answers it with Cancel).
void TstUi::shortcuts() {
    QFETCH(int, page);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, button);
    QFETCH(int, dialogs);
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QApplication::setActiveWindow(f);
    QVERIFY(QTest::qWaitForWindowActive(f));
    QTest::keyClick(f, Qt::Key(Qt::Key_1 + page), Qt::ControlModifier);
    QToolButton* pageButtons[4] = {f->SpeedButton21, f->SpeedButton22, f->SpeedButton23, f->SpeedButton24};
    QVERIFY(pageButtons[page]->isChecked());
    auto* b = f->findChild<QAbstractButton*>(button);
    QVERIFY(b);
    int clicks = 0;
    connect(b, &QAbstractButton::clicked, this, [&] { ++clicks; });
    QTest::keySequence(f, keys);
    QCOMPARE(clicks, 1);
    QCOMPARE(app.dialogFilters.size(), dialogs);
    QCOMPARE(keyboard::shortcutOf(b), keys);
    // F5 reads from the relay only while connected: its buttons are disabled now.
    int reads = 0;
    connect(control<QToolButton>(f, "SpeedButton6"), &QAbstractButton::clicked, this, [&] { ++reads; });
    connect(control<QToolButton>(f, "SpeedButton12"), &QAbstractButton::clicked, this, [&] { ++reads; });
    QTest::keyClick(f, Qt::Key_F5);
    QCOMPARE(reads, 0);
}

void TstUi::placed_data() {
    QTest::addColumn<QRect>("over");
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");
    const QRect screen(0, 0, 1024, 600);
    QTest::newRow("centred on the main window")
        << QRect(200, 100, 600, 400) << QSize(300, 200) << QSize(0, 0) << screen << QRect(350, 200, 300, 200);
    QTest::newRow("too tall for the screen: cut to it")
        << QRect(200, 100, 600, 400) << QSize(1000, 680) << QSize(400, 300) << screen
        << QRect(0, 0, 1000, 600);
    QTest::newRow("main window at the edge: kept inside")
        << QRect(900, 500, 600, 400) << QSize(300, 200) << QSize(0, 0) << screen << QRect(724, 400, 300, 200);
    QTest::newRow("second screen to the right")
        << QRect(1300, 100, 600, 400) << QSize(1000, 680) << QSize(0, 0) << QRect(1024, 0, 1280, 900)
        << QRect(1100, 0, 1000, 680);
    QTest::newRow("minimum larger than the screen: top-left in sight")
        << QRect(200, 100, 600, 400) << QSize(1200, 700) << QSize(1100, 650) << screen
        << QRect(0, 0, 1100, 650);
    QTest::newRow("no main window: the screen's centre")
        << QRect() << QSize(300, 200) << QSize(0, 0) << screen << QRect(362, 200, 300, 200);
}

void TstUi::placed() {
    QFETCH(QRect, over);
    QFETCH(QSize, wanted);
    QFETCH(QSize, minimum);
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    QCOMPARE(placement::placed(over, wanted, minimum, available), expected);
}

// The communication monitor (1000 x 680 wanted) opens over the main window
// and inside the screen (the test screen is 800 x 600), its finder's list
// and button in sight.
void TstUi::monitorFitsTheScreen() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    QTest::mouseClick(control<QToolButton>(f, "LineMonitorButton"), Qt::LeftButton);
    auto* monitor = f->findChild<LineMonitor*>();
    QVERIFY(monitor);
    QVERIFY(QTest::qWaitForWindowExposed(monitor));
    const QRect screen = f->screen()->availableGeometry();
    QVERIFY2(screen.contains(monitor->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                       .arg(monitor->frameGeometry().x())
                                                                       .arg(monitor->frameGeometry().y())
                                                                       .arg(monitor->width())
                                                                       .arg(monitor->height())));
    if (screen.width() >= 1000 + 20)
        QCOMPARE(monitor->frameGeometry().center().x(), f->frameGeometry().center().x());
    for (const char* name : {"FoundList", "UseButton", "FindButton"}) {
        auto* w = monitor->findChild<QWidget*>(QLatin1String(name));
        QVERIFY2(w, name);
        const QRect r(w->mapTo(monitor, QPoint(0, 0)), w->size());
        QVERIFY2(monitor->rect().contains(r), name);
    }
}

void TstUi::aboutAndManual() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    about::showAbout(*f);
    auto* window = f->findChild<AboutWindow*>();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QString text = window->Text->text();
    QVERIFY2(text.contains(QDir::toNativeSeparators(app.dir.path())), qPrintable(text));
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("\\d{4}-\\d{2}-\\d{2}"))), qPrintable(text));
    QVERIFY(f->screen()->availableGeometry().contains(window->frameGeometry()));
    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());
    // F1 on the main window: the manual, or where it was looked for.
    QApplication::setActiveWindow(f);
    QVERIFY(QTest::qWaitForWindowActive(f));
    QTest::keyClick(f, Qt::Key_F1);
    auto* manual = f->findChild<ManualWindow*>();
    QVERIFY(manual);
    QTRY_VERIFY(manual->isVisible());
    const QString manualText = manual->Browser->toPlainText();
    if (about::manualPath().isEmpty())
        QVERIFY2(manualText.contains(QStringLiteral("README.md")), qPrintable(manualText));
    else
        QVERIFY2(manualText.contains(QStringLiteral("vrk")), qPrintable(manualText.left(200)));
    QCOMPARE(about::buildDate("Dec  8 2026"), QStringLiteral("2026-12-08"));
}

void TstUi::viewSizeRules_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("environment");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QByteArray>("factor");
    QTest::newRow("150 %") << QByteArray("150\n") << QByteArray() << 150 << QByteArray("1.5");
    QTest::newRow("no file") << QByteArray() << QByteArray() << 100 << QByteArray("1");
    QTest::newRow("not a number") << QByteArray("big") << QByteArray() << 100 << QByteArray("1");
    QTest::newRow("too large") << QByteArray("900") << QByteArray() << 200 << QByteArray("2");
    QTest::newRow("too small") << QByteArray("50") << QByteArray() << 100 << QByteArray("1");
    QTest::newRow("with the system's factor")
        << QByteArray("125") << QByteArray("2") << 125 << QByteArray("2.5");
    QTest::newRow("a bad system factor") << QByteArray("200") << QByteArray("x") << 200 << QByteArray("2");
}

void TstUi::viewSizeRules() {
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, environment);
    QFETCH(int, percent);
    QFETCH(QByteArray, factor);
    QCOMPARE(viewsize::parse(stored), percent);
    QCOMPARE(viewsize::scaleFactor(percent, environment), factor);
    QCOMPARE(viewsize::parse(viewsize::text(percent)), percent);
}

// The choice is stored in a file of its own, or the user is told why not.
void TstUi::viewSizeStored() {
    QStandardPaths::setTestModeEnabled(true);
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    QFile::remove(viewsize::filePath());
    QCOMPARE(viewsize::load(), 100);
    about::chooseViewSize(*f, 175);
    QCOMPARE(viewsize::load(), 175);
    QCOMPARE(app.messageBoxes.size(), 1);
    QVERIFY2(app.messageBoxes[0].contains(QStringLiteral("175")), qPrintable(app.messageBoxes[0]));
    // A folder where the file should be: refused, and said.
    QFile::remove(viewsize::filePath());
    QVERIFY(QDir().mkpath(viewsize::filePath()));
    about::chooseViewSize(*f, 150);
    QCOMPARE(app.messageBoxes.size(), 2);
    QVERIFY2(app.messageBoxes[1].contains(QDir::toNativeSeparators(viewsize::filePath())),
             qPrintable(app.messageBoxes[1]));
    QCOMPARE(viewsize::load(), 100);
    QDir(viewsize::filePath()).removeRecursively();
}

void TstUi::picturesForPixelRatio_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("1.5x") << 1.5;
    QTest::newRow("2x") << 2.0;
}

// Each picture has pixels for the screen's ratio: none is a 1x picture blown up.
void TstUi::picturesForPixelRatio() {
    QFETCH(qreal, ratio);
    for (const QIcon& icon :
         {pictures::connectIcon(), pictures::disconnectIcon(), pictures::settingsIcon()}) {
        const QPixmap pm = icon.pixmap(QSize(32, 28), ratio);
        QCOMPARE(pm.size(), QSize(qCeil(32 * ratio), qCeil(28 * ratio)));
        QCOMPARE(pm.devicePixelRatio(), ratio);
    }
    const QPixmap logo = pictures::logo(ratio);
    QCOMPARE(logo.size(), QSize(qCeil(136 * ratio), qCeil(35 * ratio)));
    QVERIFY(qAbs(logo.deviceIndependentSize().width() - 136) < 1);
    QVERIFY(qAbs(logo.deviceIndependentSize().height() - 35) < 1);
}

void TstUi::textsInTheChosenLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("compare");
    QTest::addColumn<QString>("rate");
    QTest::newRow("Polish") << 0 << QString::fromUtf8("Porównaj z plikiem...") << QStringLiteral("0,0 %");
    QTest::newRow("English") << 1 << QStringLiteral("Compare with a file...") << QStringLiteral("0.0 %");
    QTest::newRow("Russian") << 2 << QString::fromUtf8("Сравнить с файлом...") << QStringLiteral("0,0 %");
}

// In every language the setpoint names (with the step to enter) show whole,
// the grid's entry is in that language, and the monitor's numbers use its
// decimal separator.
void TstUi::textsInTheChosenLanguage() {
    QFETCH(int, language);
    QFETCH(QString, compare);
    QFETCH(QString, rate);
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    app.f2()->RadioGroup2->setItemIndex(language);
    app.f2()->RadioGroup2Click();
    QCoreApplication::processEvents();
    StringGrid* g = control<StringGrid>(f, "StringGrid1");
    const int margin = g->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, g) + 1;
    for (int r = 0; r < g->rowCount(); ++r) {
        const QTableWidgetItem* it = g->item(r, 1);
        QVERIFY(it);
        const QFont font = it->data(Qt::FontRole).isValid() ? it->font() : g->font();
        const QFontMetrics fm(font);
        const QRect need =
            fm.boundingRect(QRect(0, 0, g->columnWidth(1) - 2 * margin, 10000), Qt::TextWordWrap, it->text());
        const bool oneLine = fm.horizontalAdvance(it->text()) <= g->columnWidth(1) - 2 * margin;
        QVERIFY2(oneLine || need.height() <= g->rowHeight(r) - 2, qPrintable(it->text()));
        QVERIFY2(font.pixelSize() >= 8, qPrintable(it->text()));
    }
    auto* entry = g->findChild<QAction*>(QStringLiteral("CompareWithFile"));
    QVERIFY(entry);
    QCOMPARE(entry->text(), compare);
    QTest::mouseClick(control<QToolButton>(f, "LineMonitorButton"), Qt::LeftButton);
    auto* monitor = f->findChild<LineMonitor*>();
    QVERIFY(monitor);
    QTRY_COMPARE(monitor->FailureRate->text(), rate);
    // The round trip column of the list, in the same form.
    QCOMPARE(linemonitor::roundTripText(84000, QLocale()),
             QString(rate)
                 .replace(QStringLiteral("0,0 %"), QStringLiteral("84,0"))
                 .replace(QStringLiteral("0.0 %"), QStringLiteral("84.0")));
}

void TstUi::chartReadoutRules_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("newest, Polish") << 499 << "pl" << QString::fromUtf8("0,0 s   Ir [%]: 45   Ur [V]: 230,5");
    QTest::newRow("oldest, Polish") << 0 << "pl" << QString::fromUtf8("-99,8 s   Ir [%]: 45   Ur [V]: 230,5");
    QTest::newRow("middle, English") << 250 << "en"
                                     << QString::fromUtf8("-49.8 s   Ir [%]: 45   Ur [V]: 230.5");
}

void TstUi::chartReadoutRules() {
    QFETCH(int, index);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    const QList<QPair<QString, double>> values{{QStringLiteral("Ir [%]"), 45},
                                               {QStringLiteral("Ur [V]"), 230.5}};
    QCOMPARE(recorder::chart::readoutText(index, values, QLocale(locale)), expected);
    const QRectF plot(10, 10, 500, 100);
    QCOMPARE(recorder::chart::sampleAt(recorder::chart::sampleX(index, plot), plot), index);
    QCOMPARE(recorder::chart::sampleAt(9, plot), -1);
}

// Hovering the plot shows the time back and both traces' values under the
// pointer; a trace that shows nothing ("---") is left out; leaving clears it.
void TstUi::chartCursorFollowsTheMouse() {
    AppFixture app;
    app.start();
    TForm1* f = app.f1();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    QTest::mouseClick(f->SpeedButton23, Qt::LeftButton);
    RecorderChart* chart = control<RecorderChart>(f, "Chart2");
    QList<QPointF> red, blue;
    for (int i = 0; i < 500; ++i) {
        red << QPointF(i, i);
        blue << QPointF(i, 1000 - i);
    }
    chart->series4()->replace(red);
    chart->series5()->replace(blue);
    const QRect plot = chart->plotRect();
    const QRectF m(QPointF(plot.topLeft()), QPointF(plot.bottomRight()));
    const QPoint at(qRound(recorder::chart::sampleX(300, m)), plot.center().y());
    QTest::mouseMove(chart, at);
    const int sample = recorder::chart::sampleAt(at.x(), m);
    QVERIFY(qAbs(sample - 300) <= 1);
    const QLocale pc = QLocale::system();
    const QString readout = chart->cursorReadout();
    QVERIFY2(
        readout.startsWith(pc.toString(-recorder::chart::secondsBack(sample), 'f', 1) + QStringLiteral(" s")),
        qPrintable(readout));
    QVERIFY2(
        readout.contains(chart->leftAxis()->titleText() + QStringLiteral(": ") + QString::number(sample)),
        qPrintable(readout));
    QVERIFY2(readout.contains(chart->rightAxis()->titleText() + QStringLiteral(": ") +
                              QString::number(1000 - sample)),
             qPrintable(readout));
    // The readout is drawn at the plot's top left, on its pale background.
    const QImage shown = chart->grab().toImage();
    QCOMPARE(QColor(shown.pixel(plot.left() + 4, plot.top() + 4)), QColor(255, 255, 225));
    // The blue trace emptied: only the red one is read out.
    chart->series5()->clear();
    QTest::mouseMove(chart, at + QPoint(3, 0));
    QVERIFY2(!chart->cursorReadout().contains(chart->rightAxis()->titleText()),
             qPrintable(chart->cursorReadout()));
    // Off the plot: no readout.
    QTest::mouseMove(chart, QPoint(plot.left() - 3, plot.top() - 3));
    QCOMPARE(chart->cursorReadout(), QString());
}

// The suite runs on a screen of a small notebook, 1024 x 600, or on the one
// VRK_TEST_SCREEN gives ("2048x1200@2": pixels and pixel ratio), by the
// offscreen platform's screen configuration.
int main(int argc, char** argv) {
    QTemporaryDir configDir;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        const QString spec = qEnvironmentVariable("VRK_TEST_SCREEN", QStringLiteral("1024x600@1"));
        const QRegularExpression form(QStringLiteral("^(\\d+)x(\\d+)@([0-9.]+)$"));
        const QRegularExpressionMatch m = form.match(spec);
        if (!m.hasMatch()) qFatal("VRK_TEST_SCREEN is not WxH@ratio: %s", qPrintable(spec));
        QFile config(configDir.filePath(QStringLiteral("screen.json")));
        if (!config.open(QIODevice::WriteOnly) ||
            config.write(QStringLiteral("{\"screens\":[{\"name\":\"test\",\"x\":0,\"y\":0,\"width\":%1,"
                                        "\"height\":%2,\"logicalDpi\":96,\"dpr\":%3}]}")
                             .arg(m.captured(1), m.captured(2), m.captured(3))
                             .toUtf8()) < 0 ||
            !config.flush())
            qFatal("the screen configuration could not be written");
        config.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    }
    QApplication app(argc, argv);
    TstUi test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_ui.moc"

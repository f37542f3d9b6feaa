// The windows as a user at the keyboard and on today's screens meets them.
#include "appfixture.h"

#include "app/keyboard.h"
#include "widgets/controls.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
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
    QTest::keyClick(from, forward ? Qt::Key_Tab : Qt::Key_Backtab, forward ? Qt::NoModifier : Qt::ShiftModifier);
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
    StringGrid* g = f->StringGrid2;
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
    QTest::newRow("Ctrl+O opens a recording") << 2 << QKeySequence(Qt::CTRL | Qt::Key_O) << "SpeedButton13" << 1;
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
    connect(f->SpeedButton6, &QAbstractButton::clicked, this, [&] { ++reads; });
    connect(f->SpeedButton12, &QAbstractButton::clicked, this, [&] { ++reads; });
    QTest::keyClick(f, Qt::Key_F5);
    QCOMPARE(reads, 0);
}

QTEST_MAIN(TstUi)
#include "tst_ui.moc"

// The setpoint page of the real main window, without a relay: the grid's
// layout, typing through the key filter, the refused rows, the row-0 texts,
// the refresh, the refusal messages, and saving and loading setpoint files
// through the scripted dialogs.
#include "appfixture.h"
#include "form1setup.h"
#include "setpointtables.h"
#include "tests/controls.h"

#include "setpoints/comparewindow.h"
#include "setpoints/setpointfile.h"
#include "widgets/controls.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <sys/stat.h>

namespace {

QStringList emptyTable() {
    return QStringList(14, QString());
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray crlf(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += l.toLatin1() + "\r\n";
    return out;
}

const QString kPrefix = QString::fromUtf8("Wporowadź poprawnie parametr nr ");

} // namespace

class TstSetpointsForm1 : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pageLayout();
    void typingIntoTheEditor();
    void typedKeysByRow_data();
    void typedKeysByRow();
    void datesAndTimesCannotBeSelected();
    void faultGridSharesTheRules();
    void row0TextsFollowTheVariant_data();
    void row0TextsFollowTheVariant();
    void refreshFromImage();

    void writeRefusedListsEveryRow();
    void saveRefusedWritesNothing();
    void saveAndLoadBack();
    void saveFailureShowsErrorBox();
    void loadFiles_data();
    void loadFiles();
    void loadUnreadable_data();
    void loadUnreadable();
    void cancelledLoad();
    void keysStayInValueColumn_data();
    void keysStayInValueColumn();
    void variantHintShowsWhole();

    void saveTakesTheOpenEditor_data();
    void saveTakesTheOpenEditor();
    void loadCheckTakesTheOpenEditor_data();
    void loadCheckTakesTheOpenEditor();
    void nothingMarkedBeforeAnyRead();
    void compareBeforeAnyRead();
    void compareWindowFitsScreen();

private:
    // Shows the window on the setpoint page, opens the cell editor of a value
    // row with a double-click, empties it and types text, all with real
    // events; the editor stays open.
    QLineEdit* typeIntoEditor(int row, const QString& text);
    std::unique_ptr<AppFixture> app_;
    TForm1* f_ = nullptr;
    StringGrid* g_ = nullptr;
};

void TstSetpointsForm1::init() {
    app_ = std::make_unique<AppFixture>();
    app_->start();
    f_ = app_->f1();
    g_ = f_->findChild<StringGrid*>(QStringLiteral("StringGrid1"));
    QVERIFY(g_);
}

void TstSetpointsForm1::cleanup() {
    g_ = nullptr;
    f_ = nullptr;
    app_.reset();
}

void TstSetpointsForm1::pageLayout() {
    QCOMPARE(g_->parentWidget(), f_->TabSheet4);
    QCOMPARE(g_->columnCount(), 4);
    QCOMPARE(g_->rowCount(), 14);
    const int widths[4] = {38, 289, 152, 77};
    for (int c = 0; c < 4; ++c)
        QCOMPARE(g_->columnWidth(c), widths[c]);
    for (int r = 0; r < 14; ++r)
        QCOMPARE(g_->rowHeight(r), r == 3 ? 21 : 22);
    QCOMPARE(g_->font().family(), QStringLiteral("Arial"));
    QCOMPARE(g_->font().pixelSize(), 15);
    QCOMPARE(g_->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded); // all 14 rows fit: none shown
    for (int r = 0; r < 14; ++r) {
        for (int c = 0; c < 3; ++c)
            QVERIFY(!(g_->item(r, c)->flags() & Qt::ItemIsEditable));
        QVERIFY(g_->item(r, 3)->flags() & Qt::ItemIsEditable);
    }
    QCOMPARE(g_->currentColumn(), 3);
    QCOMPARE(g_->currentRowIndex(), 0);
    // Every row lies inside the grid: no row hides under its edge.
    f_->show();
    f_->SpeedButton22Click();
    QVERIFY(QTest::qWaitForWindowExposed(f_));
    QVERIFY(g_->viewport()->height() >= 13 * 22 + 21);
    QVERIFY(!g_->verticalScrollBar()->isVisible());

    const struct {
        const char* name;
        const char* caption;
    } buttons[] = {{"SpeedButton6", "VRK--> PC"},
                   {"SpeedButton7", "PC --> VRK"},
                   {"SpeedButton9", "Odczytaj  "},
                   {"SpeedButton10", "Zapisz"},
                   {"SpeedButton11", "Czas PC"}};
    for (const auto& b : buttons) {
        auto* button = f_->TabSheet4->findChild<QToolButton*>(QLatin1String(b.name));
        QVERIFY2(button, b.name);
        // The language step may have replaced the file buttons' captions already.
        if (QByteArray(b.name) == "SpeedButton6" || QByteArray(b.name) == "SpeedButton7")
            QCOMPARE(button->text(), QLatin1String(b.caption));
        // On the page, below the grid (the page is 663 x 357).
        QVERIFY(QRect(0, 0, 663, 357).contains(button->geometry()));
        QVERIFY(button->geometry().top() > g_->geometry().bottom());
    }
    // The fixed texts the window starts with.
    QCOMPARE(g_->cell(0, 0), QStringLiteral(" 1"));
    QCOMPARE(g_->cell(2, 7), QStringLiteral("Un= 350-550 [V]"));
    QCOMPARE(values(g_), emptyTable());
}

// The editor is open on row 1: a second comma and a full stop are dropped, each with one beep.
void TstSetpointsForm1::typingIntoTheEditor() {
    f_->show();
    f_->SpeedButton22Click();
    g_->setCurrentCell(1, 3);
    g_->editItem(g_->item(1, 3));
    auto* editor = qobject_cast<QLineEdit*>(g_->indexWidget(g_->currentIndex()));
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("3,,5."));
    QCOMPARE(editor->text(), QStringLiteral("3,5"));
    QCOMPARE(app_->beeps, 2);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(g_->cell(3, 1), QStringLiteral("3,5")); // the editor commits once events run
    QCOMPARE(app_->beeps, 2);
}

void TstSetpointsForm1::typedKeysByRow_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("beeps");
    QTest::newRow("comma twice in row 1") << 1 << QStringLiteral("3,,") << QStringLiteral("3,") << 1;
    QTest::newRow("comma in row 3") << 3 << QStringLiteral("4,0") << QStringLiteral("40") << 1;
    QTest::newRow("4 in row 11") << 11 << QStringLiteral("4") << QString() << 1;
    QTest::newRow("full stop anywhere") << 0 << QStringLiteral("1.2") << QStringLiteral("12") << 1;
    QTest::newRow("backspace") << 4 << QStringLiteral("12\b") << QStringLiteral("1") << 0;
}

// Keys typed while no editor is open, the way the grid passes them on.
void TstSetpointsForm1::typedKeysByRow() {
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, cell);
    QFETCH(int, beeps);
    g_->setCurrentCell(row, 3);
    for (QChar c : typed)
        g_->typeKey(c);
    QCOMPARE(g_->cell(3, row), cell);
    QCOMPARE(app_->beeps, beeps);
}

void TstSetpointsForm1::datesAndTimesCannotBeSelected() {
    f_->show();
    f_->SpeedButton22Click();
    QVERIFY(QTest::qWaitForWindowExposed(f_));
    g_->setCurrentCell(11, 3);
    for (int row : {12, 13}) {
        const QRect cellRect = g_->visualRect(g_->model()->index(row, 3));
        QVERIFY(g_->viewport()->rect().contains(cellRect.center()));
        QTest::mouseClick(g_->viewport(), Qt::LeftButton, {}, cellRect.center());
        QCOMPARE(g_->currentRowIndex(), 11);
    }
    QCOMPARE(app_->beeps, 2);
    // Moving down from row 11 with the keyboard is refused too.
    g_->setFocus();
    QTest::keyClick(g_, Qt::Key_Down);
    QCOMPARE(g_->currentRowIndex(), 11);
    QCOMPARE(app_->beeps, 3);
    // Other rows can be chosen.
    QTest::mouseClick(g_->viewport(), Qt::LeftButton, {}, g_->visualRect(g_->model()->index(4, 3)).center());
    QCOMPARE(g_->currentRowIndex(), 4);
    QCOMPARE(app_->beeps, 3);
    QVERIFY(!f_->StringGrid1SelectCell(3, 12));
    QVERIFY(f_->StringGrid1SelectCell(3, 0));
}

// The fault log refuses its rows 12 and 13 as well, and judges typed keys by
// the setpoint table's current cell.
void TstSetpointsForm1::faultGridSharesTheRules() {
    auto* g2 = f_->findChild<StringGrid*>(QStringLiteral("StringGrid2"));
    QVERIFY(g2);
    QVERIFY(g2->selectFilter);
    QVERIFY(g2->keyFilter);
    QVERIFY(!g2->selectFilter(1, 12));
    QVERIFY(!g2->selectFilter(1, 13));
    QVERIFY(g2->selectFilter(1, 14));
    QCOMPARE(app_->beeps, 2);
    g_->setCurrentCell(2, 3);
    QVERIFY(!g2->keyFilter(QLatin1Char(',')));
    g_->setCurrentCell(1, 3);
    QVERIFY(g2->keyFilter(QLatin1Char(',')));
    QCOMPARE(app_->beeps, 3);
}

void TstSetpointsForm1::row0TextsFollowTheVariant_data() {
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("label");
    QTest::newRow("1") << "1"
                       << "In= 2-20,0 [A]" << 85;
    QTest::newRow("2") << "2"
                       << "In= 10-100 [A]" << 86;
    QTest::newRow("3") << "3"
                       << "In= 25-250 [A]" << 87;
    QTest::newRow("empty counts as 0") << ""
                                       << "In         [A]" << 84;
    QTest::newRow("text counts as 0") << "x"
                                      << "In         [A]" << 84;
    QTest::newRow("7 leaves the row") << "7"
                                      << "" << 0;
}

void TstSetpointsForm1::row0TextsFollowTheVariant() {
    QFETCH(QString, variant);
    QFETCH(QString, hint);
    QFETCH(int, label);
    g_->setCell(1, 0, QStringLiteral("before"));
    g_->setCell(2, 0, QStringLiteral("before"));
    g_->setCell(3, 11, variant);
    f_->setpointPage().relabelSetpointRow0();
    if (label == 0) {
        QCOMPARE(g_->cell(1, 0), QStringLiteral("before"));
        QCOMPARE(g_->cell(2, 0), QStringLiteral("before"));
        return;
    }
    QCOMPARE(g_->cell(2, 0), hint);
    QCOMPARE(g_->cell(1, 0), f_->hiddenLabel(label)->text());
    QVERIFY(!g_->cell(1, 0).isEmpty());
    // The clock timer applies the same rule on its tick.
    g_->setCell(2, 0, QStringLiteral("before"));
    f_->Timer1Timer();
    QCOMPARE(g_->cell(2, 0), hint);
}

void TstSetpointsForm1::refreshFromImage() {
    fill(g_, QStringList(14, QStringLiteral("old")));
    QVector<qint32> image{25, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5, 2, 0x1206, 0x0905};
    Form1TestSetup::setSetpointImage(*f_, image);
    f_->Odswiez();
    QCOMPARE(values(g_), validTable());
    // A variant the table has no scale for leaves row 0 alone.
    g_->setCell(3, 0, QStringLiteral("kept"));
    image[11] = 0;
    Form1TestSetup::setSetpointImage(*f_, image);
    f_->Odswiez();
    QCOMPARE(g_->cell(3, 0), QStringLiteral("kept"));
    QCOMPARE(g_->cell(3, 11), QStringLiteral("0"));
}

void TstSetpointsForm1::writeRefusedListsEveryRow() {
    QStringList t = validTable();
    t[2] = QStringLiteral("16");
    t[6] = QStringLiteral("251");
    fill(g_, t);
    f_->SpeedButton7Click();
    QCOMPARE(f_->Label100->text(), kPrefix + QStringLiteral("3\r\n") + kPrefix + QStringLiteral("7\r\n"));
    QCOMPARE(app_->beeps, 2);
    QVERIFY(app_->f4()->isVisible());
    QVERIFY(f_->ProgressBar4->isHidden());
    QVERIFY(!f_->Timer2->isActive());
    QCOMPARE(values(g_), t);
}

void TstSetpointsForm1::saveRefusedWritesNothing() {
    QStringList t = validTable();
    t[4] = QStringLiteral("300");
    fill(g_, t);
    app_->saveAnswers << app_->path(QStringLiteral("never"));
    f_->SpeedButton10Click();
    QCOMPARE(f_->Label100->text(), kPrefix + QStringLiteral("5,"));
    QCOMPARE(app_->beeps, 1);
    QVERIFY(app_->f4()->isVisible());
    QVERIFY(app_->dialogFilters.isEmpty());
    QVERIFY(!QFile::exists(app_->path(QStringLiteral("never.vrk"))));
}

void TstSetpointsForm1::saveAndLoadBack() {
    fill(g_, validTable());
    app_->saveAnswers << app_->path(QStringLiteral("abc"));
    f_->SpeedButton10Click();
    QCOMPARE(app_->dialogFilters,
             QStringList{QStringLiteral("Pliki z nastawami   (*.vrk )|*.vrk|Wszystkie pliki  (*.*)|*.*")});
    QFile saved(app_->path(QStringLiteral("abc.vrk")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), crlf(validTable()));
    saved.close();

    // Confirming the overwrite of abc.vrk replaces abc.vrk (and makes no abc.vrk.vrk).
    g_->setCell(3, 3, QStringLiteral("41"));
    app_->saveAnswers << app_->path(QStringLiteral("abc.vrk"));
    f_->SpeedButton10Click();
    QVERIFY(!QFile::exists(app_->path(QStringLiteral("abc.vrk.vrk"))));
    QStringList expected = validTable();
    expected[3] = QStringLiteral("41");

    fill(g_, emptyTable());
    app_->openAnswers << app_->path(QStringLiteral("abc.vrk"));
    f_->SpeedButton9Click();
    QCOMPARE(app_->dialogFilters.last(),
             QStringLiteral("Pliki nastaw (*.vrk)|*.vrk|Wszystkie pliki (*.*)|*.*"));
    QCOMPARE(values(g_), expected);
    QVERIFY(app_->errorBoxes.isEmpty());
    QCOMPARE(app_->beeps, 0);
}

void TstSetpointsForm1::saveFailureShowsErrorBox() {
    fill(g_, validTable());
    app_->saveAnswers << app_->path(QStringLiteral("missing/abc"));
    f_->SpeedButton10Click();
    QCOMPARE(app_->errorBoxes.size(), 1);
    QVERIFY(app_->errorBoxes.first().contains(QLatin1String("abc.vrk")));
    QVERIFY(!app_->f4()->isVisible());
}

void TstSetpointsForm1::loadFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<bool>("refused"); // with the reason in the error box, the table as it was
    QStringList twelve = validTable();
    twelve[12] = twelve[13] = QString();
    QTest::newRow("12 lines") << crlf(validTable().mid(0, 12)) << twelve << false;
    QTest::newRow("11 lines") << crlf(validTable().mid(0, 11)) << emptyTable() << false;
    QStringList tooBig = validTable();
    tooBig[0] = QStringLiteral("50,0");
    tooBig[11] = QStringLiteral("1");
    QTest::newRow("50,0 A on a 20 A relay") << crlf(tooBig) << emptyTable() << false;
    QTest::newRow("LF only") << validTable().join(QLatin1Char('\n')).toLatin1() << validTable() << false;
    // Larger than any setpoint file can be.
    QTest::newRow("megabyte lines") << QByteArray(1 << 20, '1') + "\r\n" + QByteArray(1 << 20, ',')
                                    << validTable() << true;
    // 4,096 characters is the longest line; a longer one refuses the file instead of being cut.
    QStringList longest = validTable();
    longest[3] = QString(4097 - 5, QLatin1Char('0')) + QStringLiteral("40000");
    QTest::newRow("a line of 4097 characters") << crlf(longest) << validTable() << true;
}

void TstSetpointsForm1::loadFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, table);
    QFETCH(bool, refused);
    const QString p = app_->path(QStringLiteral("in.vrk"));
    QVERIFY(writeBytes(p, bytes));
    fill(g_, validTable());
    app_->openAnswers << p;
    f_->SpeedButton9Click();
    QCOMPARE(values(g_), table);
    QCOMPARE(app_->errorBoxes.size(), refused ? 1 : 0);
    if (refused) QVERIFY2(app_->errorBoxes[0].contains(p), qPrintable(app_->errorBoxes[0]));
    QCOMPARE(app_->beeps, 0);
    QVERIFY(!app_->f4()->isVisible());
}

void TstSetpointsForm1::loadUnreadable_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("vanished") << "missing";
    QTest::newRow("folder") << "folder";
    QTest::newRow("fifo") << "fifo";
}

// A file that cannot be read: the standard error box, and the table as it was.
void TstSetpointsForm1::loadUnreadable() {
    QFETCH(QString, kind);
    const QString p = app_->path(QStringLiteral("odd.vrk"));
    if (kind == QLatin1String("folder")) QVERIFY(QDir().mkdir(p));
    if (kind == QLatin1String("fifo")) QCOMPARE(::mkfifo(QFile::encodeName(p).constData(), 0600), 0);
    QStringList t = validTable();
    t[4] = QStringLiteral("4"); // invalid: a completed load would empty it
    fill(g_, t);
    app_->openAnswers << p;
    f_->SpeedButton9Click();
    QCOMPARE(app_->errorBoxes.size(), 1);
    QCOMPARE(values(g_), t);
}

void TstSetpointsForm1::cancelledLoad() {
    fill(g_, validTable());
    f_->SpeedButton9Click(); // no answer queued: cancelled
    QCOMPARE(app_->dialogFilters.size(), 1);
    QCOMPARE(values(g_), validTable());
    g_->setCell(3, 8, QStringLiteral("91"));
    f_->SpeedButton9Click();
    QCOMPARE(values(g_), emptyTable());
    QCOMPARE(app_->beeps, 0);
}

QLineEdit* TstSetpointsForm1::typeIntoEditor(int row, const QString& text) {
    f_->show();
    f_->SpeedButton22Click();
    if (!QTest::qWaitForWindowExposed(f_)) return nullptr;
    const QModelIndex at = g_->model()->index(row, 3);
    // A double-click as the mouse makes it: press and release, then the second press.
    QTest::mouseClick(g_->viewport(), Qt::LeftButton, {}, g_->visualRect(at).center());
    QTest::mouseDClick(g_->viewport(), Qt::LeftButton, {}, g_->visualRect(at).center());
    auto* editor = qobject_cast<QLineEdit*>(g_->indexWidget(at));
    if (!editor) return nullptr;
    QTest::keyClick(editor, Qt::Key_End);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, text);
    return editor;
}

void TstSetpointsForm1::saveTakesTheOpenEditor_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("valid T1") << QStringLiteral("20") << true;
    QTest::newRow("invalid T1") << QStringLiteral("999") << false;
}

// T1 typed into the open editor, no Enter, then "Zapisz" clicked: the typed
// value is checked and saved, or refused and nothing saved.
void TstSetpointsForm1::saveTakesTheOpenEditor() {
    QFETCH(QString, typed);
    QFETCH(bool, saved);
    fill(g_, validTable());
    QLineEdit* editor = typeIntoEditor(4, typed);
    QVERIFY(editor);
    QCOMPARE(editor->text(), typed);
    app_->saveAnswers << app_->path(QStringLiteral("typed"));
    QTest::mouseClick(control<QToolButton>(f_, "SpeedButton10"), Qt::LeftButton);
    QFile file(app_->path(QStringLiteral("typed.vrk")));
    if (saved) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList expected = validTable();
        expected[4] = typed;
        QCOMPARE(file.readAll(), crlf(expected));
        QVERIFY(f_->Label100->text().isEmpty());
    } else {
        QVERIFY(!file.exists());
        QCOMPARE(f_->Label100->text(), kPrefix + QStringLiteral("5,"));
        QVERIFY(app_->dialogFilters.isEmpty());
        QVERIFY(app_->f4()->isVisible());
    }
    // The grid shows what was judged, with the editor closed.
    QCOMPARE(g_->cell(3, 4), typed);
    QVERIFY(!g_->indexWidget(g_->model()->index(4, 3)));
}

void TstSetpointsForm1::loadCheckTakesTheOpenEditor_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("kept");
    QTest::newRow("valid T1") << QStringLiteral("20") << true;
    QTest::newRow("invalid T1") << QStringLiteral("999") << false;
}

// A cancelled load checks the table as the user sees it, the open editor's text included.
void TstSetpointsForm1::loadCheckTakesTheOpenEditor() {
    QFETCH(QString, typed);
    QFETCH(bool, kept);
    fill(g_, validTable());
    QVERIFY(typeIntoEditor(4, typed));
    QTest::mouseClick(control<QToolButton>(f_, "SpeedButton9"),
                      Qt::LeftButton); // no answer queued: cancelled
    QCOMPARE(app_->dialogFilters.size(), 1);
    QStringList expected = validTable();
    expected[4] = typed;
    QCOMPARE(values(g_), kept ? expected : emptyTable());
    QVERIFY(!g_->indexWidget(g_->model()->index(4, 3)));
}

// Before any read the relay's values are unknown: no cell is marked, whatever
// is typed, and the tooltip says so.
void TstSetpointsForm1::nothingMarkedBeforeAnyRead() {
    const QString unknown =
        QCoreApplication::translate("setpoints", "The relay's value is not known: read the setpoints first.");
    fill(g_, validTable());
    QLineEdit* editor = typeIntoEditor(4, QStringLiteral("20"));
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(g_->cell(3, 4), QStringLiteral("20"));
    for (int r = 0; r < 12; ++r) {
        QCOMPARE(g_->cellBackground(3, r), QColor(Qt::white));
        QCOMPARE(g_->cellToolTip(3, r), unknown);
    }
    // The date and time rows are never compared: the relay's clock runs on.
    QVERIFY(g_->cellToolTip(3, 12).isEmpty());
    QVERIFY(g_->cellToolTip(3, 13).isEmpty());
}

// A file with a 4,000-character line and a long name: the window stays on
// the screen, the long texts shortened, each whole in its tooltip.
void TstSetpointsForm1::compareWindowFitsScreen() {
    auto* action = g_->findChild<QAction*>(QStringLiteral("CompareWithFile"));
    QVERIFY(action);
    QStringList lines = validTable();
    const QString longValue = QString(4000, QLatin1Char('7'));
    lines[0] = longValue;
    const QString p = app_->path(QString(200, QLatin1Char('n')) + QStringLiteral(".vrk"));
    QVERIFY(writeBytes(p, crlf(lines)));
    app_->openAnswers << p;
    action->trigger();
    auto* window = f_->findChild<SetpointCompareWindow*>(QStringLiteral("SetpointCompare"));
    QVERIFY(window);
    QVERIFY(window->isVisible());
    const QScreen* screen = window->screen();
    QVERIFY(screen);
    QVERIFY2(window->width() <= screen->availableGeometry().width(),
             qPrintable(QString::number(window->width())));
    QCOMPARE(window->CompareTable->item(0, 2)->toolTip(), longValue);
    QVERIFY(window->FileLabel->toolTip().endsWith(QDir::toNativeSeparators(p)));
}

// A file that cannot be read: the standard error box and no compare window;
// a good one before any read: the relay's column says unknown.
void TstSetpointsForm1::compareBeforeAnyRead() {
    auto* action = g_->findChild<QAction*>(QStringLiteral("CompareWithFile"));
    QVERIFY(action);
    app_->openAnswers << app_->path(QStringLiteral("missing.vrk"));
    action->trigger();
    QCOMPARE(app_->errorBoxes.size(), 1);
    QVERIFY(!f_->findChild<SetpointCompareWindow*>());
    const QString p = app_->path(QStringLiteral("in.vrk"));
    QVERIFY(writeBytes(p, crlf(validTable())));
    fill(g_, emptyTable());
    app_->openAnswers << p;
    action->trigger();
    QCOMPARE(app_->dialogFilters.last(),
             QStringLiteral("Pliki nastaw (*.vrk)|*.vrk|Wszystkie pliki (*.*)|*.*"));
    auto* window = f_->findChild<SetpointCompareWindow*>(QStringLiteral("SetpointCompare"));
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->CompareTable->rowCount(), 12);
    for (int r = 0; r < 12; ++r) {
        QCOMPARE(window->CompareTable->item(r, 1)->text(), SetpointCompareWindow::tr("unknown"));
        QCOMPARE(window->CompareTable->item(r, 2)->text(), validTable()[r]);
        QVERIFY(window->CompareTable->item(r, 3)->text().isEmpty());
    }
    QCOMPARE(values(g_), emptyTable());
}

namespace {
// One key of a sequence: "Left", "Shift+Tab", "Ctrl+Home" ...
void pressKey(QWidget* w, const QString& name) {
    Qt::KeyboardModifiers mods;
    QString key = name;
    while (key.contains(QLatin1Char('+'))) {
        const QString mod = key.section(QLatin1Char('+'), 0, 0);
        key = key.section(QLatin1Char('+'), 1);
        mods |= mod == QLatin1String("Ctrl") ? Qt::ControlModifier : Qt::ShiftModifier;
    }
    static const QMap<QString, Qt::Key> keys = {
        {QStringLiteral("Left"), Qt::Key_Left},   {QStringLiteral("Right"), Qt::Key_Right},
        {QStringLiteral("Up"), Qt::Key_Up},       {QStringLiteral("Down"), Qt::Key_Down},
        {QStringLiteral("Home"), Qt::Key_Home},   {QStringLiteral("End"), Qt::Key_End},
        {QStringLiteral("PgUp"), Qt::Key_PageUp}, {QStringLiteral("PgDn"), Qt::Key_PageDown},
        {QStringLiteral("Tab"), Qt::Key_Tab}};
    Qt::Key k = keys.value(key, Qt::Key_unknown);
    if (k == Qt::Key_Tab && (mods & Qt::ShiftModifier)) k = Qt::Key_Backtab;
    QVERIFY2(k != Qt::Key_unknown, qPrintable(name));
    QTest::keyClick(w, k, mods);
}
} // namespace

// Navigation keys never make a fixed cell current: in the setpoint table only
// column 3 can be current, and what is typed next lands there. The fault log
// has its header row fixed and refuses rows 12 and 13 as the table does.
void TstSetpointsForm1::keysStayInValueColumn_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("startRow");
    QTest::addColumn<int>("startColumn");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("beeps");
    const QString g1 = QStringLiteral("StringGrid1"), g2 = QStringLiteral("StringGrid2");
    QTest::newRow("Left") << g1 << 4 << 3 << QStringList{"Left"} << 4 << 3 << 0;
    QTest::newRow("Left three times") << g1 << 4 << 3 << QStringList{"Left", "Left", "Left"} << 4 << 3 << 0;
    QTest::newRow("Left then Right") << g1 << 4 << 3 << QStringList{"Left", "Right"} << 4 << 3 << 0;
    QTest::newRow("Home") << g1 << 4 << 3 << QStringList{"Home"} << 4 << 3 << 0;
    QTest::newRow("End") << g1 << 4 << 3 << QStringList{"End"} << 4 << 3 << 0;
    QTest::newRow("Ctrl+Home") << g1 << 4 << 3 << QStringList{"Ctrl+Home"} << 0 << 3 << 0;
    QTest::newRow("Up past the top") << g1 << 1 << 3 << QStringList{"Up", "Up"} << 0 << 3 << 0;
    QTest::newRow("Down") << g1 << 4 << 3 << QStringList{"Down"} << 5 << 3 << 0;
    QTest::newRow("Tab") << g1 << 4 << 3 << QStringList{"Tab"} << 5 << 3 << 0;
    QTest::newRow("Shift+Tab") << g1 << 4 << 3 << QStringList{"Shift+Tab"} << 3 << 3 << 0;
    QTest::newRow("Tab, Shift+Tab, Left")
        << g1 << 0 << 3 << QStringList{"Tab", "Shift+Tab", "Left"} << 0 << 3 << 0;
    QTest::newRow("PgUp") << g1 << 8 << 3 << QStringList{"PgUp"} << 0 << 3 << 0;
    QTest::newRow("Down into row 12 refused") << g1 << 11 << 3 << QStringList{"Down"} << 11 << 3 << 1;
    QTest::newRow("PgDn into row 13 refused") << g1 << 10 << 3 << QStringList{"PgDn"} << 10 << 3 << 1;
    QTest::newRow("fault log: Up stays below the header")
        << g2 << 1 << 1 << QStringList{"Up", "PgUp"} << 1 << 1 << 0;
    QTest::newRow("fault log: Ctrl+Home") << g2 << 5 << 2 << QStringList{"Ctrl+Home"} << 1 << 0 << 0;
    QTest::newRow("fault log: Home, End") << g2 << 5 << 1 << QStringList{"Home", "End"} << 5 << 3 << 0;
    // Rows 12 and 13 are refused (a click on them beeps); the keys pass over them to the trips below.
    QTest::newRow("fault log: Down passes over rows 12 and 13")
        << g2 << 11 << 1 << QStringList{"Down"} << 14 << 1 << 0;
}

void TstSetpointsForm1::keysStayInValueColumn() {
    QFETCH(QString, grid);
    QFETCH(int, startRow);
    QFETCH(int, startColumn);
    QFETCH(QStringList, keys);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, beeps);
    auto* g = f_->findChild<StringGrid*>(grid);
    QVERIFY(g);
    f_->show();
    if (g == g_)
        QTest::mouseClick(f_->SpeedButton22, Qt::LeftButton);
    else
        QTest::mouseClick(f_->SpeedButton24, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(f_));
    g->setCurrentCell(startRow, startColumn);
    g->setFocus();
    for (const QString& k : keys)
        pressKey(g, k);
    QCOMPARE(g->currentRowIndex(), row);
    QCOMPARE(g->currentColumn(), column);
    QCOMPARE(app_->beeps, beeps);
    if (g != g_) return;
    // What is typed now goes into the value of that row.
    QTest::keyClicks(g, QStringLiteral("1"));
    auto* editor = qobject_cast<QLineEdit*>(g->indexWidget(g->currentIndex()));
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("1"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(g->cell(3, row), QStringLiteral("1"));
}

// The variant hint "1=20A  2=100A  3=250A" shows whole in its 152-pixel
// column, and as a tooltip of its cell whenever it would not.
void TstSetpointsForm1::variantHintShowsWhole() {
    QCOMPARE(g_->columnWidth(2), 152);
    QCOMPARE(g_->cell(2, 11), QStringLiteral("1=20A  2=100A  3=250A"));
    const QFont cellFont = g_->item(11, 2)->font();
    const int width = QFontMetrics(cellFont).horizontalAdvance(g_->cell(2, 11));
    if (g_->cellTextCut(2, 11)) {
        // Even 11 pixels are too wide here: the tooltip carries it.
        f_->show();
        QTest::mouseClick(f_->SpeedButton22, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(f_));
        const QRect cell = g_->visualRect(g_->model()->index(11, 2));
        QHelpEvent help(QEvent::ToolTip, cell.center(), g_->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(g_->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), g_->cell(2, 11));
    } else {
        QVERIFY2(width <= 152, qPrintable(QString::number(width)));
        QVERIFY(cellFont.pixelSize() >= 11);
    }
    // The other fixed hints show whole too.
    for (int r = 1; r <= 11; ++r)
        QVERIFY2(!g_->cellTextCut(2, r) || g_->item(r, 2)->font().pixelSize() == 11,
                 qPrintable(g_->cell(2, r)));
    QVERIFY(!g_->cellTextCut(0, 0));
    // A name too long for its column shows whole as a tooltip.
    const QString longName = QStringLiteral("Czas zwłoki przed zał. : (nastawa co 0,5s)").repeated(3);
    g_->setCell(1, 10, longName);
    QVERIFY(g_->cellTextCut(1, 10));
    f_->show();
    QTest::mouseClick(f_->SpeedButton22, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(f_));
    const QRect cell = g_->visualRect(g_->model()->index(10, 1));
    QHelpEvent help(QEvent::ToolTip, cell.center(), g_->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(g_->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), longName);
    QToolTip::hideText();
}

QTEST_MAIN(TstSetpointsForm1)
#include "tst_setpoints_form1.moc"

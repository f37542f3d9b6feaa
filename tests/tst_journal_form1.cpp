// The window's service journal and poll log with the relay simulator: what
// a technician finds in the files after a write cut short, a dropped link
// and a reset, and the journal's own window.
#include "appfixture.h"
#include "filetestsupport.h"
#include "journal/journal.h"
#include "journal/journalwindow.h"
#include "records/csv.h"
#include "records/polllog.h"
#include "setpointtables.h"
#include "simfixture.h"
#include "tests/controls.h"
#include "trends/polllogrows.h"
#include "widgets/controls.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

namespace {
const QStringList kValidTable = validTable().mid(0, 11); // rows 0..10, the ones written

QList<journal::Row> journalRows() {
    journal::Contents c;
    QString error;
    if (!journal::read(journal::defaultPath(), &c, &error)) qWarning() << error;
    if (c.badLines) qWarning() << "bad journal lines:" << c.badLines;
    return c.rows;
}
} // namespace

class TstJournalForm1 : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void writeCutShortByASilentRelay();
    void droppedLinkInThePollLog();
    void resetRefusedAndSent();
    void journalWindowFiltersAndExports();
    void logChoicesNameAndLanguage();
    void journalFromEitherMenu_data();
    void journalFromEitherMenu();

private:
    // Runs a control command once the simulator has received a write to reg,
    // while the window waits between its writes.
    void whenWritten(int reg, const QString& command);

    std::unique_ptr<SimRelay> relay_;
    std::unique_ptr<AppFixture> app_;
    TForm1* f_ = nullptr;
};

void TstJournalForm1::init() {
    relay_ = std::make_unique<SimRelay>();
    QVERIFY(relay_->start({QStringLiteral("--variant"), QStringLiteral("2"), QStringLiteral("--freeze")}));
    app_ = std::make_unique<AppFixture>();
    app_->start();
    f_ = app_->f1();
    QTest::mouseClick(f_->SpeedButton1, Qt::LeftButton);
    QVERIFY(f_->SerialDriver1->IsOpen());
    QTRY_COMPARE_WITH_TIMEOUT(control<StringGrid>(f_, "StringGrid1")->cell(3, 11), QStringLiteral("2"),
                              10000);
}

void TstJournalForm1::cleanup() {
    if (f_) f_->Rozlacz();
    f_ = nullptr;
    app_.reset();
    relay_.reset();
}

void TstJournalForm1::whenWritten(int reg, const QString& command) {
    const int from = int(relay_->logLines().size());
    auto* t = new QTimer(f_);
    t->setInterval(2);
    connect(t, &QTimer::timeout, f_, [this, t, reg, command, from] {
        const QStringList lines = relay_->logLines();
        for (int i = from; i < lines.size(); ++i) {
            const auto e = SimRelay::parseLogLine(lines[i]);
            if (e.value(QStringLiteral("fn")) == QLatin1String("6") &&
                e.value(QStringLiteral("reg")).toInt() == reg) {
                t->stop();
                t->deleteLater();
                QVERIFY(relay_->control(command));
                return;
            }
        }
    });
    t->start();
}

// The relay falls silent after confirming register 15: the journal says
// exactly that 12..15 were confirmed and 16..22 were not.
void TstJournalForm1::writeCutShortByASilentRelay() {
    f_->SpeedButton6Click(); // the values before, as read
    for (int r = 0; r < kValidTable.size(); ++r)
        control<StringGrid>(f_, "StringGrid1")->setCell(3, r, kValidTable[r]);
    whenWritten(15, QStringLiteral("noreply 1"));
    QTest::mouseClick(control<QToolButton>(f_, "SpeedButton7"), Qt::LeftButton);
    QVERIFY(relay_->control(QStringLiteral("inject off")));
    const QList<journal::Row> rows = journalRows();
    QCOMPARE(rows.size(), 11);
    for (int i = 0; i < rows.size(); ++i) {
        const journal::Row& r = rows[i];
        QCOMPARE(r.reg, 12 + i);
        QCOMPARE(r.sent, kValidTable[i]);
        QVERIFY2(r.state == (r.reg <= 15 ? journal::state::confirmed : journal::state::notConfirmed),
                 qPrintable(QStringLiteral("register %1: %2").arg(r.reg).arg(r.state)));
        QVERIFY(!r.before.isEmpty() && !r.parameter.isEmpty());
        QCOMPARE(r.note.isEmpty(), r.state == journal::state::confirmed);
    }
    QCOMPARE(rows[0].variant, std::optional<int>(2));
}

// Logging on; the relay stops answering and the link drops; it answers again
// and the user connects: the log, read by the chart's parser, has a
// disconnect with why and the lost reads, the connect, and the first row
// after it counting the reads lost before the drop.
void TstJournalForm1::droppedLinkInThePollLog() {
    const QString file = app_->path(QStringLiteral("poll.csv"));
    app_->saveAnswers.enqueue(file);
    QTest::mouseClick(control<QToolButton>(f_, "LogButton"), Qt::LeftButton);
    QVERIFY(control<QToolButton>(f_, "LogButton")->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(f_->recordsPage().pollLog()->rows() >= 3, 10000);
    QVERIFY(relay_->control(QStringLiteral("noreply 1")));
    QTRY_VERIFY_WITH_TIMEOUT(!f_->SerialDriver1->IsOpen(), 20000);
    // Still logging, and saying that nothing comes in.
    QVERIFY(control<QToolButton>(f_, "LogButton")->isChecked());
    QTRY_COMPARE(control<QToolButton>(f_, "LogButton")->text(),
                 QCoreApplication::translate("records", "Log paused"));
    QVERIFY(control<QLabel>(f_, "LogSize")
                ->toolTip()
                .contains(QCoreApplication::translate("records", "no connection")));
    QVERIFY(relay_->control(QStringLiteral("inject off")));
    const qint64 before = f_->recordsPage().pollLog()->rows();
    QTest::mouseClick(f_->SpeedButton1, Qt::LeftButton);
    QVERIFY(f_->SerialDriver1->IsOpen());
    QTRY_VERIFY_WITH_TIMEOUT(f_->recordsPage().pollLog()->rows() >= before + 2, 10000);
    QCOMPARE(control<QToolButton>(f_, "LogButton")->text(),
             QCoreApplication::translate("records", "Logging"));
    QTest::mouseClick(control<QToolButton>(f_, "LogButton"), Qt::LeftButton);
    QVERIFY(!control<QToolButton>(f_, "LogButton")->isChecked());
    // The file stays named, with its size.
    QVERIFY2(control<QLabel>(f_, "LogSize")->text().startsWith(QStringLiteral("poll.csv")),
             qPrintable(control<QLabel>(f_, "LogSize")->text()));

    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    recorder::polllog::Log log;
    QString error;
    QVERIFY(recorder::polllog::readLog(f, &log, &error));
    QCOMPARE(log.badRows, 0);
    QCOMPARE(log.events, 2);
    const QList<QStringList> rows = records::parseCsv(filetest::readBack(file));
    int disconnectAt = -1, connectAt = -1;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].size() != 3) continue;
        if (rows[i][1] == QCoreApplication::translate("records", "Disconnected")) disconnectAt = i;
        if (rows[i][1] == QCoreApplication::translate("records", "Connected")) connectAt = i;
    }
    QVERIFY(disconnectAt > 0 && connectAt == disconnectAt + 1);
    const QString lost = QCoreApplication::translate("records", "lost reads: %1").arg(relay::kLostReadsLimit);
    QVERIFY2(rows[disconnectAt][2].endsWith(lost), qPrintable(rows[disconnectAt][2]));
    QVERIFY2(rows[disconnectAt][2].size() > lost.size() + 2, "why the link dropped");
    QVERIFY(rows[connectAt][2].contains(f_->SerialDriver1->PortName()));
    QCOMPARE(rows[connectAt + 1].size(), records::logHeader().size());
    // (A busy machine may lose a read after the connect too.)
    QVERIFY2(rows[connectAt + 1][21].toInt() >= relay::kLostReadsLimit, qPrintable(rows[connectAt + 1][21]));
}

// A reset refused (an overload) and one sent, each a journal row.
void TstJournalForm1::resetRefusedAndSent() {
    QVERIFY(relay_->control(QStringLiteral("trip overload")));
    QTRY_VERIFY_WITH_TIMEOUT(f_->dataPage().state().faultWord & 1, 10000);
    QTest::mouseClick(control<QPushButton>(f_, "Button5"), Qt::LeftButton);
    QVERIFY(relay_->control(QStringLiteral("trip asymmetry")));
    QVERIFY(relay_->control(QStringLiteral("fault 4")));
    QTRY_COMPARE_WITH_TIMEOUT(f_->dataPage().state().faultWord, 4, 10000);
    QTest::mouseClick(control<QPushButton>(f_, "Button5"), Qt::LeftButton);
    const QList<journal::Row> rows = journalRows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].state, journal::state::refused);
    QCOMPARE(rows[1].state, journal::state::confirmed);
    QCOMPARE(rows[1].before, QStringLiteral("0x0004"));
}

void TstJournalForm1::journalWindowFiltersAndExports() {
    QDateTime t = QDateTime::currentDateTime();
    QList<journal::Row> rows;
    for (int address : {3, 7, 3}) {
        journal::Row r;
        r.time = t = t.addSecs(1);
        r.action = QStringLiteral("write");
        r.address = address;
        r.state = journal::state::confirmed;
        rows << r;
    }
    QString error;
    QVERIFY(journal::append(journal::defaultPath(), rows, &error));
    QAction* open = nullptr;
    for (QAction* a : control<StringGrid>(f_, "StringGrid1")->actions())
        if (a->objectName() == QLatin1String("ShowJournal")) open = a;
    QVERIFY(open);
    open->trigger();
    auto* w = f_->findChild<JournalWindow*>();
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->JournalGrid->rowCount(), 3);
    QCOMPARE(w->AddressFilter->count(), 3); // all, 3, 7
    w->AddressFilter->setCurrentIndex(w->AddressFilter->findData(7));
    QCOMPARE(w->JournalGrid->rowCount(), 1);
    const QString file = app_->path(QStringLiteral("address7.csv"));
    app_->saveAnswers.enqueue(file);
    QTest::mouseClick(w->ExportButton, Qt::LeftButton);
    journal::Contents exported;
    QVERIFY(journal::read(file, &exported, &error));
    QCOMPARE(exported.rows.size(), 1);
    QCOMPARE(exported.rows[0].address, 7);
}

// The log's choices from the button's context menu, the suggested name, a
// long name that leaves the size in sight, and a change of language
// mid-file: a row saying so and the titles again in the new language.
void TstJournalForm1::logChoicesNameAndLanguage() {
    f_->show();
    QAction* point =
        control<QToolButton>(f_, "LogButton")->findChild<QAction*>(QStringLiteral("LogDecimalPoint"));
    QVERIFY(point && !point->isChecked()); // Polish: the comma
    // A right click on the button, the entry clicked in its menu.
    bool clicked = false;
    QTimer::singleShot(0, f_, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(point).center());
        clicked = true;
    });
    const QPoint at = control<QToolButton>(f_, "LogButton")->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at,
                            control<QToolButton>(f_, "LogButton")->mapToGlobal(at));
    QApplication::sendEvent(control<QToolButton>(f_, "LogButton"), &event);
    QVERIFY(clicked);
    QVERIFY(point->isChecked());
    QString suggested;
    const QString file =
        app_->path(QStringLiteral("a-rather-long-name-for-the-log-of-the-motor-on-the-third-pump.csv"));
    seams::current().saveFileName = [&](QWidget*, const QString&, const QString& dir, const QString&) {
        suggested = dir;
        return file;
    };
    QTest::mouseClick(control<QToolButton>(f_, "LogButton"), Qt::LeftButton);
    QVERIFY(control<QToolButton>(f_, "LogButton")->isChecked());
    QCOMPARE(QFileInfo(suggested).fileName(),
             QStringLiteral("vrk-log-addr3-%1.csv").arg(QDate::currentDate().toString(Qt::ISODate)));
    QVERIFY(!point->isEnabled()); // one separator per file
    QTRY_VERIFY_WITH_TIMEOUT(f_->recordsPage().pollLog()->rows() >= 2, 10000);
    QTest::mouseClick(app_->f2()->RadioGroup2->button(2), Qt::LeftButton); // Russian
    QTRY_VERIFY_WITH_TIMEOUT(f_->recordsPage().pollLog()->rows() >= 4, 10000);
    QTest::mouseClick(control<QToolButton>(f_, "LogButton"), Qt::LeftButton);
    QTest::mouseClick(app_->f2()->RadioGroup2->button(0), Qt::LeftButton);
    // Stopped, the file stays named with its size, which stays in sight however long the name.
    QTRY_VERIFY(control<QLabel>(f_, "LogSize")
                    ->toolTip()
                    .endsWith(QCoreApplication::translate("records", "stopped")));
    const QString text = control<QLabel>(f_, "LogSize")->text();
    QVERIFY2(text.endsWith(records::sizeText(QFileInfo(file).size())), qPrintable(text));
    QVERIFY2(text.startsWith(QStringLiteral("a-rather")) && text.contains(QChar(0x2026)), qPrintable(text));
    QVERIFY2(control<QLabel>(f_, "LogSize")->fontMetrics().horizontalAdvance(text) <=
                 control<QLabel>(f_, "LogSize")->width(),
             qPrintable(text));

    const QList<QStringList> rows = records::parseCsv(filetest::readBack(file));
    int language = -1;
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].size() == 3) language = i;
    QVERIFY(language > 1);
    QCOMPARE(rows[language][2], QLocale(QLocale::Russian).nativeLanguageName());
    QCOMPARE(rows[language + 1].value(1), QStringLiteral("Ir [%]"));
    QVERIFY2(rows[language + 1].value(5).contains(QStringLiteral("[А]")), // Cyrillic A
             qPrintable(rows[language + 1].join(QLatin1Char(';'))));
    QVERIFY(rows[0].value(5).contains(QStringLiteral("[A]")));
    // Every decimal with a point, before and after the change.
    for (const QStringList& r : rows)
        if (r.size() == 22 && r[0].startsWith(QLatin1Char('2'))) {
            QVERIFY2(r[15].contains(QLatin1Char('.')) &&
                         !r.mid(1, 16).join(QString()).contains(QLatin1Char(',')),
                     qPrintable(r.join(QLatin1Char(';'))));
        }
}

void TstJournalForm1::journalFromEitherMenu_data() {
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QStringList>("entries"); // the menu's last entries, separators empty
    QTest::newRow("setpoint grid") << "StringGrid1" << QStringList{"CommissioningReport", "ShowJournal"};
    QTest::newRow("logging button") << "LogSize"
                                    << QStringList{"LogDecimalComma", "LogDecimalPoint", "",
                                                   "LogDaily",        "LogSplitNever",   "LogSplit1MB",
                                                   "LogSplit10MB",    "LogSplit100MB",   "ShowJournal"};
}

void TstJournalForm1::journalFromEitherMenu() {
    QFETCH(QString, owner);
    QFETCH(QStringList, entries);
    QWidget* w = control<QWidget>(f_, qPrintable(owner));
    QStringList names;
    for (const QAction* a : w->actions())
        names << a->objectName();
    QCOMPARE(names.mid(names.size() - entries.size()), entries);
    QAction* open = w->actions().constLast();
    QCOMPARE(open->text(), QCoreApplication::translate("records", "Service journal..."));
    QVERIFY(!f_->findChild<JournalWindow*>());
    open->trigger();
    auto* journalWindow = f_->findChild<JournalWindow*>();
    QVERIFY(journalWindow && journalWindow->isVisible());
    journalWindow->close();
}

QTEST_MAIN(TstJournalForm1)
#include "tst_journal_form1.moc"

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
#include "trends/polllogrows.h"
#include "widgets/controls.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
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
    QTRY_COMPARE_WITH_TIMEOUT(f_->StringGrid1->cell(3, 11), QStringLiteral("2"), 10000);
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
        f_->StringGrid1->setCell(3, r, kValidTable[r]);
    whenWritten(15, QStringLiteral("noreply 1"));
    QTest::mouseClick(f_->SpeedButton7, Qt::LeftButton);
    QVERIFY(relay_->control(QStringLiteral("inject off")));
    const QList<journal::Row> rows = journalRows();
    QCOMPARE(rows.size(), 11);
    for (int i = 0; i < rows.size(); ++i) {
        const journal::Row& r = rows[i];
        QCOMPARE(r.reg, 12 + i);
        QCOMPARE(r.action, QStringLiteral("write"));
        QCOMPARE(r.source, QStringLiteral("vrk"));
        QCOMPARE(r.address, 3);
        QCOMPARE(r.variant, std::optional<int>(2));
        QCOMPARE(r.sent, kValidTable[i]);
        QVERIFY2(r.state == (r.reg <= 15 ? journal::state::confirmed : journal::state::notConfirmed),
                 qPrintable(QStringLiteral("register %1: %2").arg(r.reg).arg(r.state)));
        QVERIFY(!r.before.isEmpty());
        QVERIFY(r.time.isValid());
        QCOMPARE(r.note.isEmpty(), r.state == journal::state::confirmed);
    }
    QVERIFY(!rows[0].parameter.isEmpty());
    // A clock setting after it is added, not written over it.
    f_->SpeedButton11Click();
    const QList<journal::Row> after = journalRows();
    QCOMPARE(after.size(), 13);
    QCOMPARE(after.mid(0, 11), rows);
    QCOMPARE(after[11].action, QStringLiteral("clock"));
    QCOMPARE(after[11].state, journal::state::confirmed);
    QCOMPARE(after[12].reg, 25);
    QVERIFY(app_->errorBoxes.isEmpty());
}

// Logging on; the relay stops answering and the link drops; it answers again
// and the user connects: the log, read by the chart's parser, has a
// disconnect with why and the lost reads, the connect, and the first row
// after it counting the reads lost before the drop.
void TstJournalForm1::droppedLinkInThePollLog() {
    const QString file = app_->path(QStringLiteral("poll.csv"));
    app_->saveAnswers.enqueue(file);
    QTest::mouseClick(f_->LogButton, Qt::LeftButton);
    QVERIFY(f_->LogButton->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(f_->PollLog1->rows() >= 3, 10000);
    QVERIFY(relay_->control(QStringLiteral("noreply 1")));
    QTRY_VERIFY_WITH_TIMEOUT(!f_->SerialDriver1->IsOpen(), 20000);
    // Still logging, and saying that nothing comes in.
    QVERIFY(f_->LogButton->isChecked());
    QTRY_COMPARE(f_->LogButton->text(), QCoreApplication::translate("records", "Log paused"));
    QVERIFY(f_->LogSize->text().contains(QCoreApplication::translate("records", "no connection")));
    QVERIFY(relay_->control(QStringLiteral("inject off")));
    const qint64 before = f_->PollLog1->rows();
    QTest::mouseClick(f_->SpeedButton1, Qt::LeftButton);
    QVERIFY(f_->SerialDriver1->IsOpen());
    QTRY_VERIFY_WITH_TIMEOUT(f_->PollLog1->rows() >= before + 2, 10000);
    QCOMPARE(f_->LogButton->text(), QCoreApplication::translate("records", "Logging"));
    QTest::mouseClick(f_->LogButton, Qt::LeftButton);
    QVERIFY(!f_->LogButton->isChecked());
    // The file stays named, with its size.
    QVERIFY2(f_->LogSize->text().startsWith(QStringLiteral("poll.csv")), qPrintable(f_->LogSize->text()));

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
    QCOMPARE(rows[connectAt + 1][21].toInt(), relay::kLostReadsLimit);
    for (int i = 1; i < disconnectAt; ++i)
        QCOMPARE(rows[i][21], QStringLiteral("0"));
}

// A reset refused (an overload) and one sent, each a journal row.
void TstJournalForm1::resetRefusedAndSent() {
    QVERIFY(relay_->control(QStringLiteral("trip overload")));
    QTRY_VERIFY_WITH_TIMEOUT(f_->pollState().faultWord & 1, 10000);
    QTest::mouseClick(f_->Button5, Qt::LeftButton);
    QVERIFY(relay_->control(QStringLiteral("trip asymmetry")));
    QVERIFY(relay_->control(QStringLiteral("fault 4")));
    QTRY_COMPARE_WITH_TIMEOUT(f_->pollState().faultWord, 4, 10000);
    QTest::mouseClick(f_->Button5, Qt::LeftButton);
    const QList<journal::Row> rows = journalRows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].state, journal::state::refused);
    QCOMPARE(rows[0].before, QStringLiteral("0x0001"));
    QCOMPARE(rows[1].action, QStringLiteral("reset"));
    QCOMPARE(rows[1].state, journal::state::confirmed);
    QCOMPARE(rows[1].before, QStringLiteral("0x0004"));
}

void TstJournalForm1::journalWindowFiltersAndExports() {
    QDateTime t = QDateTime::currentDateTime();
    QList<journal::Row> rows;
    for (int address : {3, 7, 3}) {
        journal::Row r;
        r.time = t = t.addSecs(1);
        r.source = QStringLiteral("vrk-cli");
        r.action = QStringLiteral("write");
        r.port = QStringLiteral("COM1");
        r.address = address;
        r.parameter = QStringLiteral("In");
        r.sent = QStringLiteral("22,5");
        r.state = journal::state::confirmed;
        rows << r;
    }
    QString error;
    QVERIFY(journal::append(journal::defaultPath(), rows, &error));
    QAction* open = nullptr;
    for (QAction* a : f_->StringGrid1->actions())
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
    QCOMPARE(exported.rows[0].time.toMSecsSinceEpoch() / 1000, rows[1].time.toMSecsSinceEpoch() / 1000);
}

QTEST_MAIN(TstJournalForm1)
#include "tst_journal_form1.moc"

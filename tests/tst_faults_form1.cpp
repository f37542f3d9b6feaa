// The fault page of the real main window: its layout, and the fault log read
// from the relay simulator's memory, sorted by the PC's month and listed.
#include "appfixture.h"
#include "faultlisting.h"
#include "simfixture.h"
#include "tests/controls.h"

#include "faults/rules.h"
#include "serial/tserialdriver.h"
#include "widgets/controls.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

using Exchange = QMap<QString, QString>;

} // namespace

class TstFaultsForm1 : public QObject {
    Q_OBJECT
private slots:
    void cleanup();

    void pageLayout();
    void emptyMemoryListsNothing();
    void mayListsMayMarchOctober();
    void decemberListsTheYear();
    void sameMinuteKeepsRelaysOrder();
    void causesDateAndTime();
    void monthWithoutName();
    void failedBlockKeepsItsRecords();
    void failedFirstReadIsNotAnEmptyMemory();

private:
    // Starts the simulator with an empty fault memory and the program with the
    // PC's clock at `now`, and connects.
    void connectAt(const QDateTime& now);
    QList<Exchange> since(int from) const;
    void record(int k, int cause, int month, int day, int hour, int minute);

    std::unique_ptr<SimRelay> relay_;
    std::unique_ptr<AppFixture> app_;
    TForm1* f_ = nullptr;
    StringGrid* g_ = nullptr;
};

void TstFaultsForm1::connectAt(const QDateTime& now) {
    relay_ = std::make_unique<SimRelay>();
    QVERIFY(relay_->start({QStringLiteral("--freeze"), QStringLiteral("--empty-memory")}));
    app_ = std::make_unique<AppFixture>();
    seams::current().now = [now] { return now; };
    app_->start();
    f_ = app_->f1();
    g_ = f_->findChild<StringGrid*>(QStringLiteral("StringGrid2"));
    QVERIFY(g_);
    f_->Timer1Timer(); // the clock's month, as its first tick sets it
    f_->SpeedButton1Click();
    QVERIFY(f_->SerialDriver1->IsOpen());
    QVERIFY(control<QToolButton>(f_, "SpeedButton12")->isEnabled());
}

void TstFaultsForm1::cleanup() {
    if (f_) f_->Rozlacz();
    g_ = nullptr;
    f_ = nullptr;
    app_.reset();
    relay_.reset();
}

QList<Exchange> TstFaultsForm1::since(int from) const {
    QList<Exchange> out;
    const QStringList lines = relay_->logLines();
    for (int i = from; i < lines.size(); ++i)
        out << SimRelay::parseLogLine(lines[i]);
    return out;
}

void TstFaultsForm1::record(int k, int cause, int month, int day, int hour, int minute) {
    QVERIFY(relay_->control(QStringLiteral("record %1 %2 %3 %4 %5 %6")
                                .arg(k)
                                .arg(cause)
                                .arg(month)
                                .arg(day)
                                .arg(hour)
                                .arg(minute)));
}

void TstFaultsForm1::pageLayout() {
    app_ = std::make_unique<AppFixture>();
    app_->start();
    f_ = app_->f1();
    g_ = f_->findChild<StringGrid*>(QStringLiteral("StringGrid2"));
    QVERIFY(g_);
    QCOMPARE(g_->parentWidget(), f_->TabSheet6);
    QCOMPARE(g_->columnCount(), 4);
    QCOMPARE(g_->rowCount(), 41);
    const int widths[4] = {28, 330, 113, 76};
    for (int c = 0; c < 4; ++c)
        QCOMPARE(g_->columnWidth(c), widths[c]);
    for (int r = 0; r < 41; ++r)
        QCOMPARE(g_->rowHeight(r), 22);
    QCOMPARE(g_->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    for (int c = 0; c < 4; ++c) {
        QVERIFY(!(g_->item(0, c)->flags() & Qt::ItemIsSelectable)); // the header row is fixed
        for (int r = 1; r < 41; ++r)
            QVERIFY(!(g_->item(r, c)->flags() & Qt::ItemIsEditable));
    }
    QCOMPARE(g_->cell(0, 0), QStringLiteral("LP"));
    QCOMPARE(g_->cell(1, 0), QStringLiteral("               PRZYCZYNA"));
    QCOMPARE(g_->cell(0, 1), QStringLiteral(" 1"));
    auto* button = f_->TabSheet6->findChild<QToolButton*>(QStringLiteral("SpeedButton12"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("VRK--> PC"));
    QVERIFY(!button->isEnabled()); // only while connected
    QVERIFY(QRect(0, 0, 663, 357).contains(button->geometry()));
    // The cause and month texts come from the language store at the moment of use.
    QCOMPARE(f_->przyczyna(0x11), QString::fromUtf8("przeciążenie    U<85%    "));
    QCOMPARE(f_->miesiac(QStringLiteral("12")), QString::fromUtf8("grudzień"));
    f_->hiddenLabel(99)->setText(QStringLiteral("december"));
    QCOMPARE(f_->miesiac(QStringLiteral("12")), QStringLiteral("december"));
    QCOMPARE(f_->miesiac(QStringLiteral("13")), QString());
}

void TstFaultsForm1::emptyMemoryListsNothing() {
    connectAt(QDateTime(QDate(2026, 5, 15), QTime(10, 0)));
    for (int r = 1; r <= 40; ++r)
        g_->setCell(1, r, QStringLiteral("old"));
    const int from = int(relay_->logLines().size());
    f_->SpeedButton12Click();
    QVERIFY(listingEmptyFrom(g_, 1));
    QVERIFY(f_->ProgressBar4->isHidden());
    // Four reads of 25 registers from 26, 51, 76 and 101.
    QStringList reads;
    for (const Exchange& e : since(from))
        if (e.value(QStringLiteral("fn")) == QLatin1String("3") &&
            e.value(QStringLiteral("reg")).toInt() >= 26)
            reads << e.value(QStringLiteral("reg")) + QLatin1Char('/') + e.value(QStringLiteral("n"));
    QCOMPARE(reads, (QStringList{QStringLiteral("26/25"), QStringLiteral("51/25"), QStringLiteral("76/25"),
                                 QStringLiteral("101/25")}));
    // The buffer keeps the relay's bytes (empty slots read 0xFF); only the
    // sorted copy that is listed has them zeroed.
    for (quint8 b : f_->faultPage().state().faultBuffer)
        QCOMPARE(int(b), 0xFF);
    QCOMPARE(app_->beeps, 0);
}

void TstFaultsForm1::mayListsMayMarchOctober() {
    connectAt(QDateTime(QDate(2026, 5, 15), QTime(10, 0)));
    record(0, 0x01, 10, 2, 8, 0); // October: last year
    record(1, 0x02, 3, 15, 10, 30);
    record(2, 0x04, 5, 1, 7, 3);
    f_->SpeedButton12Click();
    QCOMPARE(listing(g_, 3), (QStringList{QString::fromUtf8("asymetria prądu    |1 maj|  7:03"),
                                          QStringLiteral("zwarcie    |15 marzec|  10:30"),
                                          QString::fromUtf8("przeciążenie    |2 październik|  8:00")}));
    QVERIFY(listingEmptyFrom(g_, 4));
}

void TstFaultsForm1::decemberListsTheYear() {
    connectAt(QDateTime(QDate(2026, 12, 28), QTime(10, 0)));
    record(0, 0x08, 2, 28, 12, 0);
    record(11, 0x08, 10, 1, 0, 0);
    record(25, 0x08, 12, 24, 18, 0);
    record(39, 0x08, 11, 11, 11, 11);
    f_->SpeedButton12Click();
    QCOMPARE(listing(g_, 4), (QStringList{QString::fromUtf8("suchobieg    |24 grudzień|  18:00"),
                                          QStringLiteral("suchobieg    |11 listopad|  11:11"),
                                          QString::fromUtf8("suchobieg    |1 październik|  0:00"),
                                          QStringLiteral("suchobieg    |28 luty|  12:00")}));
    QVERIFY(listingEmptyFrom(g_, 5));
}

void TstFaultsForm1::sameMinuteKeepsRelaysOrder() {
    connectAt(QDateTime(QDate(2026, 6, 1), QTime(10, 0)));
    record(3, 0x01, 4, 10, 12, 30);
    record(4, 0x02, 4, 10, 12, 30);
    record(20, 0x40, 4, 10, 12, 30);
    record(21, 0x20, 4, 10, 12, 31);
    f_->SpeedButton12Click();
    QCOMPARE(g_->cell(1, 1), QStringLiteral("U>115%    "));
    QCOMPARE(g_->cell(1, 2), QString::fromUtf8("przeciążenie    "));
    QCOMPARE(g_->cell(1, 3), QStringLiteral("zwarcie    "));
    QCOMPARE(g_->cell(1, 4), QStringLiteral("kolejnosc faz    "));
    QVERIFY(listingEmptyFrom(g_, 5));
}

void TstFaultsForm1::causesDateAndTime() {
    connectAt(QDateTime(QDate(2026, 12, 28), QTime(10, 0)));
    record(0, 0x11, 12, 6, 7, 3);
    f_->SpeedButton12Click();
    QCOMPARE(listing(g_, 1), QStringList{QString::fromUtf8("przeciążenie    U<85%    |6 grudzień|  7:03")});
    QCOMPARE(g_->item(1, 1)->toolTip(), QString::fromUtf8("przeciążenie    U<85%"));
    // The texts follow the language store at the moment of the listing.
    f_->hiddenLabel(78)->setText(QStringLiteral("overload    "));
    f_->hiddenLabel(99)->setText(QStringLiteral("december"));
    f_->SpeedButton12Click();
    QCOMPARE(listing(g_, 1), QStringList{QStringLiteral("overload    U<85%    |6 december|  7:03")});
}

void TstFaultsForm1::monthWithoutName() {
    connectAt(QDateTime(QDate(2026, 12, 28), QTime(10, 0)));
    record(0, 0x02, 13, 6, 7, 3); // month 13 lies after December: counted as last year
    record(1, 0x00, 12, 6, 7, 3); // a record without a cause sorts as this year's: no date, marked
    record(2, 0x80, 11, 6, 7, 3); // only bit 7 is no cause either
    f_->SpeedButton12Click();
    const QString none = QCoreApplication::translate("FaultLog", "(no cause recorded)");
    // Month 13 is no month: its digits are shown, and the record is marked corrupt.
    QCOMPARE(listing(g_, 3), (QStringList{none + QStringLiteral("||"), none + QStringLiteral("||"),
                                          QStringLiteral("zwarcie    ") +
                                              faults::problemMarker(faults::RecordProblem::Corrupt) +
                                              QStringLiteral("|6 13|  7:03")}));
    QVERIFY(listingEmptyFrom(g_, 4));
}

// A block whose read fails keeps the relay's records it held at the last read;
// the other blocks are read afresh and everything is sorted again.
void TstFaultsForm1::failedBlockKeepsItsRecords() {
    connectAt(QDateTime(QDate(2026, 5, 15), QTime(10, 0)));
    for (int k = 0; k < 12; ++k)
        record(k, 0x01, 3, k + 1, 12, 0);
    f_->SpeedButton12Click();
    QCOMPARE(g_->cell(2, 1), QStringLiteral("12 marzec"));
    QCOMPARE(g_->cell(2, 12), QStringLiteral("1 marzec"));

    QVERIFY(relay_->control(QStringLiteral("memory empty")));
    record(15, 0x02, 4, 20, 9, 0);
    // No poll tick may take the queued fault before the read starts.
    f_->Timer2->stop();
    const int from = int(relay_->logLines().size());
    QVERIFY(relay_->control(QStringLiteral("noreply next 1"))); // the first block's read
    f_->SpeedButton12Click();
    const QList<Exchange> ex = since(from);
    QCOMPARE(ex.first().value(QStringLiteral("reg")), QStringLiteral("26"));
    QCOMPARE(ex.first().value(QStringLiteral("action")), QStringLiteral("noreply"));
    QStringList dates;
    for (int r = 1; r <= 12; ++r)
        dates << g_->cell(2, r);
    QStringList expected{QString::fromUtf8("20 kwiecień")};
    // The lost block is the relay's first ten slots as last read: 1 to 10 March.
    for (int d = 10; d >= 1; --d)
        expected << QStringLiteral("%1 marzec").arg(d);
    expected << QString();
    QCOMPARE(dates, expected);
    QVERIFY(listingEmptyFrom(g_, 12));
    QCOMPARE(app_->beeps, 0);
    QVERIFY(f_->ProgressBar4->isHidden());
    // The page says which records are from the earlier read, and greys them.
    QVERIFY(!control<QLabel>(f_, "FaultLogNotice")->isHidden());
    QVERIFY2(control<QLabel>(f_, "FaultLogNotice")->text().contains(QStringLiteral("1-10")),
             qPrintable(control<QLabel>(f_, "FaultLogNotice")->text()));
    QCOMPARE(g_->item(1, 2)->foreground(), QBrush());
    for (int r = 2; r <= 11; ++r)
        QCOMPARE(g_->item(r, 2)->foreground().color(), QColor(Qt::gray));

    // The next complete read takes the notice and the grey away.
    QTest::mouseClick(control<QToolButton>(f_, "SpeedButton12"), Qt::LeftButton);
    QVERIFY(control<QLabel>(f_, "FaultLogNotice")->isHidden());
    QCOMPARE(g_->cell(2, 1), QString::fromUtf8("20 kwiecień"));
    QVERIFY(listingEmptyFrom(g_, 2));
    QCOMPARE(g_->item(1, 2)->foreground(), QBrush());
}

// A first read that gets nothing must not look like a relay with an empty memory.
void TstFaultsForm1::failedFirstReadIsNotAnEmptyMemory() {
    connectAt(QDateTime(QDate(2026, 5, 15), QTime(10, 0)));
    record(0, 0x01, 3, 1, 12, 0);
    record(35, 0x02, 4, 2, 12, 0);
    f_->Timer2->stop(); // no poll tick may take the queued faults first
    const int from = int(relay_->logLines().size());
    QVERIFY(relay_->control(QStringLiteral("noreply next 1"))); // block 1
    QVERIFY(relay_->control(QStringLiteral("short next 1")));   // block 2
    QVERIFY(relay_->control(QStringLiteral("badcrc next 2")));  // blocks 3 and 4
    QTest::mouseClick(control<QToolButton>(f_, "SpeedButton12"), Qt::LeftButton);
    QStringList actions;
    for (const Exchange& e : since(from))
        if (e.value(QStringLiteral("reg")).toInt() >= 26) actions << e.value(QStringLiteral("action"));
    QCOMPARE(actions, (QStringList{QStringLiteral("noreply"), QStringLiteral("short"),
                                   QStringLiteral("badcrc"), QStringLiteral("badcrc")}));
    QVERIFY(listingEmptyFrom(g_, 1));
    QVERIFY(!control<QLabel>(f_, "FaultLogNotice")->isHidden());
    const QString notice = control<QLabel>(f_, "FaultLogNotice")->text();
    QVERIFY2(notice.contains(QStringLiteral("1-40")), qPrintable(notice));
    QVERIFY2(notice.startsWith(QCoreApplication::translate("FaultLog",
                                                           "Records %1 of the relay's memory could not "
                                                           "be read: their trips are missing from the "
                                                           "list.")
                                   .arg(QStringLiteral("1-40"))),
             qPrintable(notice));
    // The notice fits its place on the page.
    const QFontMetrics fm(control<QLabel>(f_, "FaultLogNotice")->font());
    const QRect needed = fm.boundingRect(QRect(0, 0, control<QLabel>(f_, "FaultLogNotice")->width(), 1000),
                                         Qt::TextWordWrap, notice);
    QVERIFY2(needed.height() <= control<QLabel>(f_, "FaultLogNotice")->height(),
             qPrintable(QString::number(needed.height())));

    // Blocks 2 and 4 read now: their two trips are listed, the others still missing.
    QVERIFY(relay_->control(QStringLiteral("noreply next 1")));
    QTest::mouseClick(control<QToolButton>(f_, "SpeedButton12"), Qt::LeftButton);
    QVERIFY(!control<QLabel>(f_, "FaultLogNotice")->isHidden());
    QVERIFY2(control<QLabel>(f_, "FaultLogNotice")->text().contains(QStringLiteral("1-10")),
             qPrintable(control<QLabel>(f_, "FaultLogNotice")->text()));
}

QTEST_MAIN(TstFaultsForm1)
#include "tst_faults_form1.moc"

// The fault-injection soak, short run: the program's windows poll the relay
// simulator over a pseudo-terminal while it spoils about a fifth of the
// replies (lost, bad CRC, cut short, garbage in front, 150 ms late), and a
// script reads the setpoints, reads the fault log and writes the setpoints
// now and then. No value may be shown that the relay never sent, the link may
// drop only after six failed measurement reads in a row, and the memory must
// stay flat. bench_soak runs the same soak for 10,000 exchanges.
#include "appfixture.h"
#include "bench/soak/soakrun.h"
#include "simfixture.h"
#include "tests/controls.h"

#include "serial/tserialdriver.h"
#include "widgets/controls.h"

#include <QtTest>

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif
} // namespace

class TstSoak : public QObject {
    Q_OBJECT
private slots:
    void shortSoak();
    void faultLogOnAFlakyLine_data();
    void faultLogOnAFlakyLine();
};

void TstSoak::shortSoak() {
    SoakOptions o;
    o.exchanges = 1200;
    // Timer2 ticks back to back (1 ms instead of the window's 200 ms) so that
    // the run makes its exchanges in well under a minute; every tick still
    // makes both reads and its 20 ms pause.
    o.pollIntervalMs = 1;
    o.seed = 20260611;
    // Once in the run, eleven lost replies in a row make six failed
    // measurement reads: the drop and the reconnect happen every time.
    o.forcedDisconnectAtTick = 200;
    // The run has some 500 ticks: memory counts from tick 100 (the recorder's
    // traces are still filling then, hence the generous bound below).
    o.warmupTicks = 100;
    const SoakFigures fig = runSoak(o);
    printFigures(stdout, o, fig);
    std::fflush(stdout);

    QVERIFY2(fig.error.isEmpty(), qPrintable(fig.error));
    // Only a hang keeps the run from its exchanges within the guard's minutes.
    QVERIFY(fig.reachedTarget);
    QVERIFY(fig.exchanges >= o.exchanges);
    QVERIFY(fig.aligned);

    // Nothing shown that the relay did not send, and each tick shows its own reply.
    QCOMPARE(fig.valuesNeverSent, 0);
    QCOMPARE(fig.notOwnReply, 0);
    QCOMPARE(fig.spoiledAccepted, 0);
    QCOMPARE(fig.labelMismatches, 0);
    QCOMPARE(fig.variantsNeverSent, 0);
    QVERIFY(fig.goodTicks > 0);
    QVERIFY(fig.failedTicks > 0);
    QVERIFY(fig.setpointReadsGood > 0);
    QCOMPARE(fig.setpointValuesNeverSent, 0);
    QCOMPARE(fig.setpointNotOwnReply, 0);
    QCOMPARE(fig.setpointTableMismatches, 0);
    QVERIFY(fig.faultReads > 0);
    QCOMPARE(fig.faultRowsNeverSent, 0);
    QVERIFY(fig.writes > 0);
    QCOMPARE(fig.writesRefused, 0);
    QCOMPARE(fig.writesNotKept, 0);

    // The link drops after six failed reads in a row, and only then.
    QVERIFY(fig.disconnects >= 1);
    QCOMPARE(fig.forcedDisconnects, 1);
    QCOMPARE(fig.disconnectsNotAfterSix, 0);
    QCOMPARE(fig.sixWithoutDisconnect, 0);
    QCOMPARE(fig.lostReadCountMismatches, 0);
    QCOMPARE(fig.disconnectsWithoutReport, 0);
    QCOMPARE(fig.reconnects, fig.disconnects - (fig.endedDisconnected ? 1 : 0));
    QCOMPARE(fig.unexpectedReports, 0);
    QCOMPARE(fig.errorBoxes, 0);

    // Memory: a generous bound here; bench_soak prints the real growth.
    // AddressSanitizer holds freed blocks back (its quarantine), so there the
    // resident size grows with every allocation; LeakSanitizer checks for
    // leaks at exit instead.
    QVERIFY(fig.rssStartKb > 0);
    if (kAddressSanitizer)
        qInfo("resident memory not bounded under AddressSanitizer (grew by %ld kB)",
              fig.rssEndKb - fig.rssStartKb);
    else
        QVERIFY2(
            fig.rssEndKb - fig.rssStartKb < 4 * 1024,
            qPrintable(QStringLiteral("resident memory grew by %1 kB").arg(fig.rssEndKb - fig.rssStartKb)));
    QVERIFY2(fig.problems.isEmpty(), qPrintable(fig.problems.join(QLatin1Char('\n'))));
}

void TstSoak::faultLogOnAFlakyLine_data() {
    QTest::addColumn<int>("lostBlock");
    for (int b = 0; b < 4; ++b)
        QTest::newRow(qPrintable(QStringLiteral("block %1 lost").arg(b + 1))) << b;
}

// The soak's fault-log check in small: a relay whose memory does not change
// is read twice, the second time with one block's reply lost. Listed are the
// blocks read afresh and, for the lost one, what the program kept; a listing
// should still show each of the relay's trips once.
void TstSoak::faultLogOnAFlakyLine() {
    QFETCH(int, lostBlock);
    SimRelay relay;
    QVERIFY(relay.start({QStringLiteral("--freeze"), QStringLiteral("--empty-memory")}));
    AppFixture app;
    seams::current().now = [] { return QDateTime(QDate(2026, 12, 28), QTime(10, 0)); };
    app.start();
    TForm1* f = app.f1();
    f->Timer1Timer(); // the clock's month
    f->SpeedButton1Click();
    QVERIFY(f->SerialDriver1->IsOpen());
    // 25 trips, 1 to 25 January, stored oldest first.
    QStringList trips;
    for (int k = 0; k < 25; ++k) {
        QVERIFY(relay.control(QStringLiteral("record %1 1 1 %2 10 0").arg(k).arg(k + 1)));
        trips << QStringLiteral("%1 ").arg(k + 1) + f->miesiac(QStringLiteral("01"));
    }
    trips.sort();
    auto listed = [&] {
        QStringList out;
        for (int r = 1; r <= 40; ++r)
            if (!control<StringGrid>(f, "StringGrid2")->cell(1, r).isEmpty())
                out << control<StringGrid>(f, "StringGrid2")->cell(2, r);
        out.sort();
        return out;
    };
    f->SpeedButton12Click();
    QCOMPARE(listed(), trips);

    // The blocks before the lost one get a good reply with a stray byte or
    // two after it (no tick runs between these commands and the read).
    if (lostBlock > 0) QVERIFY(relay.control(QStringLiteral("garbage-after next %1").arg(lostBlock)));
    QVERIFY(relay.control(QStringLiteral("noreply next 1")));
    f->SpeedButton12Click();
    int lost = 0;
    for (const QString& line : relay.logLines())
        if (SimRelay::parseLogLine(line).value(QStringLiteral("action")) == QLatin1String("noreply")) ++lost;
    QCOMPARE(lost, 1);
    // A lost block keeps its own ten trips from the last read, so every
    // trip is listed exactly once.
    QCOMPARE(listed(), trips);
    f->Rozlacz();
}

QTEST_MAIN(TstSoak)
#include "tst_soak.moc"

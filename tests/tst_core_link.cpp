// The relay link alone (no window), as vrk-cli uses it, against the relay
// simulator: the scan finds only the relay that answers for its own address,
// the measurement decode, the reset's overload rule, the clock's registers.
#include "simfixture.h"

#include "core/link.h"
#include "serial/tserialdriver.h"

#include <QtTest>

class TstCoreLink : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void scanFindsOnlyTheAddressThatAnswers_data();
    void scanFindsOnlyTheAddressThatAnswers();
    void measurementAndReset_data();
    void measurementAndReset();

private:
    std::unique_ptr<SimRelay> relay_;
    std::unique_ptr<core::Link> link_;
};

void TstCoreLink::init() {
    relay_ = std::make_unique<SimRelay>();
    QVERIFY(relay_->start({QStringLiteral("--variant"), QStringLiteral("3"), QStringLiteral("--freeze")}));
    link_ = std::make_unique<core::Link>();
    linesettings::Line line;
    line.port = QStringLiteral("\\\\.\\COM1"); // VRK_COM1: the simulator
    QVERIFY(link_->open(line));
    link_->setTimeout(100);
}

void TstCoreLink::cleanup() {
    link_.reset();
    relay_.reset();
}

void TstCoreLink::scanFindsOnlyTheAddressThatAnswers_data() {
    QTest::addColumn<QString>("injection"); // what the relay does to every reply
    QTest::addColumn<int>("hits");
    QTest::newRow("sound replies") << "" << 1;
    QTest::newRow("replies carrying another address") << "other-address 1" << 0;
    QTest::newRow("exception replies") << "exception 1" << 0;
}

void TstCoreLink::scanFindsOnlyTheAddressThatAnswers() {
    QFETCH(QString, injection);
    QFETCH(int, hits);
    QString status;
    QVERIFY(relay_->control(QStringLiteral("status"), &status));
    const int address = status.section(QStringLiteral("address="), 1).section(QLatin1Char(' '), 0, 0).toInt();
    QVERIFY(address >= 1);
    if (!injection.isEmpty()) QVERIFY(relay_->control(injection));
    QList<core::ScanProbe> probes;
    const QList<core::ScanHit> found =
        link_->scan(1, address + 1, [&](const core::ScanProbe& p) { probes << p; });
    QCOMPARE(probes.size(), address + 1);
    QCOMPARE(found.size(), hits);
    if (hits) {
        QCOMPARE(found[0].address, address);
        QCOMPARE(found[0].variant, std::optional<int>(3));
    } else {
        QVERIFY(probes[address - 1].failure);
        QVERIFY(probes[address - 1].failure->error != BusError::NoReply);
    }
    QVERIFY(link_->isOpen());
}

void TstCoreLink::measurementAndReset_data() {
    QTest::addColumn<int>("faultWord");
    QTest::addColumn<bool>("sent");
    QTest::newRow("short circuit: cleared") << 0x02 << true;
    QTest::newRow("overload: refused") << 0x03 << false;
}

void TstCoreLink::measurementAndReset() {
    QFETCH(int, faultWord);
    QFETCH(bool, sent);
    QString status;
    QVERIFY(relay_->control(QStringLiteral("status"), &status));
    link_->setAddress(status.section(QStringLiteral("address="), 1).section(QLatin1Char(' '), 0, 0).toInt());
    QVERIFY(relay_->control(QStringLiteral("fault %1").arg(faultWord)));
    for (int reg = 1; reg <= 3; ++reg)
        QVERIFY(relay_->control(QStringLiteral("set %1 %2").arg(reg).arg(reg == 2 ? 9 : 50)));
    QVERIFY(relay_->control(QStringLiteral("set 12 40")));
    const core::PollResult r = link_->readMeasurement();
    QVERIFY(r.measurement);
    QCOMPARE(r.measurement->currentPercent, (std::array<int, 3>{50, 0, 50})); // below 10 % cut
    QCOMPARE(r.measurement->faultWord, faultWord);
    QCOMPARE(r.variant, std::optional<int>(3));
    QCOMPARE(r.identity.variant, std::optional<int>(3));
    QVERIFY(r.identity.readAt.isValid());
    QCOMPARE(core::currentAmperes(50, 3, 40), std::optional<double>(20));
    QList<core::ResetResult> journal;
    link_->onReset([&](const core::ResetResult& x) { journal << x; });
    const core::ResetResult reset = link_->reset();
    QCOMPARE(reset.sent, sent);
    QCOMPARE(reset.refused, !sent);
    QCOMPARE(reset.faultWordBefore, faultWord);
    QCOMPARE(journal.size(), 1);
    QString word;
    QVERIFY(relay_->control(QStringLiteral("get 10"), &word));
    QCOMPARE(word.mid(3).toInt(), sent ? 0 : faultWord);
}

QTEST_MAIN(TstCoreLink)
#include "tst_core_link.moc"

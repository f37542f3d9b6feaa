// The rules that turn the poll's raw measurements into the data page's texts.
#include "monitor/display.h"

#include <QtTest>

Q_DECLARE_METATYPE(QList<display::FailedRead>)

class TstMonitorRules : public QObject {
    Q_OBJECT
private slots:
    void currents_data();
    void currents();
    void average_data();
    void average();
    void bars_data();
    void bars();
    void cosAndPower_data();
    void cosAndPower();
    void ampereScale_data();
    void ampereScale();
    void lamps_data();
    void lamps();
    void statusDate_data();
    void statusDate();
    void centuryRule_data();
    void centuryRule();
    void dropReason_data();
    void dropReason();
};

void TstMonitorRules::currents_data() {
    QTest::addColumn<int>("raw");
    QTest::addColumn<bool>("amperes");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("text"); // "<keep>" leaves the label
    QTest::newRow("percent 100") << 100 << false << 0 << 0 << "100";
    QTest::newRow("percent after cut of 9") << display::cutLowCurrent(9) << false << 1 << 200 << "0";
    QTest::newRow("percent 10 stays") << display::cutLowCurrent(10) << false << 1 << 200 << "10";
    QTest::newRow("v1 In 20,0 A, 50 %") << 50 << true << 1 << 200 << "10,0";
    QTest::newRow("v1 51 %") << 51 << true << 1 << 200 << "10,2";
    QTest::newRow("v2 In 100 A, 120 %") << 120 << true << 2 << 1000 << "120,0";
    QTest::newRow("v3 In 250 A, 80 %") << 80 << true << 3 << 250 << "200";
    QTest::newRow("first tick after amperes chosen") << 80 << true << 1 << 0 << "0,0";
    QTest::newRow("variant 0 keeps") << 80 << true << 0 << 200 << "<keep>";
    QTest::newRow("variant 4 keeps") << 80 << true << 4 << 200 << "<keep>";
    QTest::newRow("large current does not overflow") << 65535 << true << 2 << 5 * 65535 << "21474181,1";
}

void TstMonitorRules::currents() {
    QFETCH(int, raw);
    QFETCH(bool, amperes);
    QFETCH(int, variant);
    QFETCH(int, scale);
    QFETCH(QString, text);
    const auto t = display::currentText(raw, amperes, variant, scale);
    QCOMPARE(t.value_or(QStringLiteral("<keep>")), text);
}

void TstMonitorRules::average_data() {
    QTest::addColumn<int>("sum");
    QTest::addColumn<bool>("amperes");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("text");
    QTest::newRow("percent 100+101+102") << 303 << false << 0 << 0 << "101";
    QTest::newRow("v1 50+50+51, In 200") << 151 << true << 1 << 200 << "10,0";
    QTest::newRow("v3") << 240 << true << 3 << 250 << "200";
    QTest::newRow("variant 0") << 240 << true << 0 << 250 << "<keep>";
}

void TstMonitorRules::average() {
    QFETCH(int, sum);
    QFETCH(bool, amperes);
    QFETCH(int, variant);
    QFETCH(int, scale);
    QFETCH(QString, text);
    QCOMPARE(display::averageText(sum, amperes, variant, scale).value_or(QStringLiteral("<keep>")), text);
}

void TstMonitorRules::bars_data() {
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("position");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("100") << 100 << 500;
    QTest::newRow("101") << 101 << 505;
    QTest::newRow("200 full") << 200 << 1000;
    QTest::newRow("above 200 full") << 350 << 1000;
}

void TstMonitorRules::bars() {
    QFETCH(int, percent);
    QFETCH(int, position);
    QCOMPARE(display::barPosition(percent), position);
}

void TstMonitorRules::cosAndPower_data() {
    QTest::addColumn<int>("cos");
    QTest::addColumn<QString>("cosText");
    QTest::addColumn<int>("power");
    QTest::addColumn<QString>("powerText");
    QTest::newRow("85 / 1234") << 85 << "0,85" << 1234 << "12,34";
    QTest::newRow("100 / 1230") << 100 << "1,00" << 1230 << "12,3";
    QTest::newRow("5 / 1200") << 5 << "0,05" << 1200 << "12";
    QTest::newRow("0 / 0") << 0 << "0,00" << 0 << "0";
    QTest::newRow("7 / 1") << 7 << "0,07" << 1 << "0,01";
    QTest::newRow("max / max") << 65535 << "655,35" << 65535 << "655,35";
}

void TstMonitorRules::cosAndPower() {
    QFETCH(int, cos);
    QFETCH(QString, cosText);
    QFETCH(int, power);
    QFETCH(QString, powerText);
    QCOMPARE(display::cosText(cos), cosText);
    QCOMPARE(display::powerText(power, QLatin1Char(',')), powerText);
}

void TstMonitorRules::ampereScale_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("scale"); // -1: nothing set
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("twoIn");
    QTest::newRow("v1 200") << 1 << 200 << 200 << "20,0A"
                            << "40,0A";
    QTest::newRow("v2 200") << 2 << 200 << 1000 << "100,0A"
                            << "200,0A";
    QTest::newRow("v2 25") << 2 << 25 << 125 << "12,5A"
                           << "25,0A";
    QTest::newRow("v3 250") << 3 << 250 << 250 << "250A"
                            << "500A";
    QTest::newRow("v1 5") << 1 << 5 << 5 << "0,5A"
                          << "1,0A";
    QTest::newRow("zero In") << 1 << 0 << -1 << ""
                             << "";
    QTest::newRow("variant 0") << 0 << 200 << -1 << ""
                               << "";
    QTest::newRow("variant 4") << 4 << 200 << -1 << ""
                               << "";
}

void TstMonitorRules::ampereScale() {
    QFETCH(int, variant);
    QFETCH(int, raw);
    QFETCH(int, scale);
    QFETCH(QString, in);
    QFETCH(QString, twoIn);
    const auto s = display::ampereScaleFor(variant, raw);
    QCOMPARE(s.has_value(), scale >= 0);
    if (!s) return;
    QCOMPARE(s->scale, scale);
    QCOMPARE(s->inLabel, in);
    QCOMPARE(s->twoInLabel, twoIn);
}

void TstMonitorRules::lamps_data() {
    QTest::addColumn<int>("word");
    QTest::addColumn<bool>("dark");
    QTest::addColumn<int>("ready");    // -1 untouched
    QTest::addColumn<int>("lit");      // bit mask of Image1..Image7
    QTest::addColumn<QString>("text"); // "<keep>" untouched
    QTest::newRow("no fault, lit phase") << 0 << false << 1 << 0 << "<keep>";
    QTest::newRow("no fault, dark phase") << 0 << true << -1 << 0 << " ";
    QTest::newRow("short circuit, lit") << 2 << false << 0 << 2 << "AWARIA     12:00 ";
    QTest::newRow("short circuit, dark") << 2 << true << -1 << 0 << "12:00 ";
    QTest::newRow("all seven") << 0x7f << false << 0 << 0x7f << "AWARIA     12:00 ";
    QTest::newRow("bit 7 only: a fault, no lamp") << 0x80 << false << 0 << 0 << "AWARIA     12:00 ";
}

void TstMonitorRules::lamps() {
    QFETCH(int, word);
    QFETCH(bool, dark);
    QFETCH(int, ready);
    QFETCH(int, lit);
    QFETCH(QString, text);
    const display::Lamps l = display::lampsFor(word, QStringLiteral("12:00"), dark);
    QCOMPARE(l.ready.has_value() ? int(*l.ready) : -1, ready);
    int mask = 0;
    for (int i = 0; i < 7; ++i)
        mask |= int(l.faults[size_t(i)]) << i;
    QCOMPARE(mask, lit);
    QCOMPARE(l.faultText.value_or(QStringLiteral("<keep>")), text);
}

void TstMonitorRules::statusDate_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("format"); // empty: the locale's own short format
    QTest::addColumn<QString>("shown");
    const QLocale pl(QLocale::Polish, QLocale::Poland), us(QLocale::English, QLocale::UnitedStates),
        de(QLocale::German, QLocale::Germany), ru(QLocale::Russian, QLocale::Russia);
    QTest::newRow("pl_PL d.MM.yyyy") << pl << QString() << "8.12.2026";
    QTest::newRow("en_US M/d/yy") << us << QString() << "12/8/26";
    QTest::newRow("de_DE dd.MM.yy") << de << QString() << "08.12.26";
    QTest::newRow("ru_RU dd.MM.yyyy") << ru << QString() << "08.12.2026";
    QTest::newRow("C locale") << QLocale::c() << QString() << "2026-12-08";
    QTest::newRow("two-digit year first") << pl << "yy-MM-dd"
                                          << "2026-12-08";
    QTest::newRow("two-digit year first, dots") << de << "yy.MM.dd"
                                                << "2026.12.08";
    QTest::newRow("four-digit year first") << us << "yyyy/MM/dd"
                                           << "2026/12/08";
    QTest::newRow("day first, two-digit year") << de << "dd.MM.yy"
                                               << "08.12.26";
}

void TstMonitorRules::statusDate() {
    QFETCH(QLocale, locale);
    QFETCH(QString, format);
    QFETCH(QString, shown);
    const QDate date(2026, 12, 8);
    if (format.isEmpty())
        QCOMPARE(display::statusDate(date, locale), shown);
    else
        QCOMPARE(display::statusDate(date, locale, format), shown);
}

void TstMonitorRules::centuryRule_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("century");
    QTest::newRow("yy-MM-dd") << "yy-MM-dd" << true;
    QTest::newRow("yy/M/d") << "yy/M/d" << true;
    QTest::newRow("yyyy-MM-dd") << "yyyy-MM-dd" << false;
    QTest::newRow("d.MM.yyyy") << "d.MM.yyyy" << false;
    QTest::newRow("M/d/yy") << "M/d/yy" << false;
    QTest::newRow("dd.MM.yy") << "dd.MM.yy" << false;
    QTest::newRow("empty") << "" << false;
}

void TstMonitorRules::centuryRule() {
    QFETCH(QString, format);
    QFETCH(bool, century);
    QCOMPARE(display::needsCentury(format), century);
}

void TstMonitorRules::dropReason_data() {
    QTest::addColumn<QList<display::FailedRead>>("reads");
    QTest::addColumn<QString>("why"); // the reasons after "N reads in a row failed: "
    using R = display::FailedRead;
    const QByteArray busy = QByteArray::fromHex("0383069130");
    const QByteArray other = QByteArray::fromHex("07030200020000");
    const QString noReply = busErrorText(BusError::NoReply);
    QTest::newRow("six silent") << QList<R>(6, R{BusError::NoReply, {}}) << noReply;
    QTest::newRow("six refusals name the code")
        << QList<R>(6, R{BusError::Exception, busy}) << busErrorText(BusError::Exception, busy);
    QTest::newRow("another device names its address")
        << QList<R>(6, R{BusError::OtherDevice, other}) << busErrorText(BusError::OtherDevice, other);
    QTest::newRow("mixed: the most frequent first")
        << QList<R>{{BusError::BadCrc, {}},     {BusError::NoReply, {}}, {BusError::NoReply, {}},
                    {BusError::EarlyReply, {}}, {BusError::NoReply, {}}, {BusError::NoReply, {}}}
        << QStringLiteral("4 x %1 1 x %2 1 x %3")
               .arg(noReply, busErrorText(BusError::EarlyReply), busErrorText(BusError::BadCrc));
    QTest::newRow("two other devices are two reasons")
        << QList<R>{{BusError::OtherDevice, other}, {BusError::OtherDevice, QByteArray::fromHex("09")}}
        << QStringLiteral("1 x %1 1 x %2")
               .arg(busErrorText(BusError::OtherDevice, QByteArray::fromHex("09")),
                    busErrorText(BusError::OtherDevice, other));
    QTest::newRow("none") << QList<R>{} << QString();
}

void TstMonitorRules::dropReason() {
    QFETCH(QList<display::FailedRead>, reads);
    QFETCH(QString, why);
    const QString text = display::dropReason(reads);
    if (reads.isEmpty()) {
        QVERIFY(text.isEmpty());
        return;
    }
    QCOMPARE(text, QStringLiteral("%1 reads in a row failed: %2").arg(reads.size()).arg(why));
    QVERIFY(!text.contains(QLatin1Char('\n')));
    // Only the last six are kept in a row.
    QList<display::FailedRead> kept;
    for (int i = 0; i < 9; ++i)
        display::addFailedRead(kept, {i < 3 ? BusError::BadCrc : BusError::NoReply, {}});
    QCOMPARE(display::dropReason(kept),
             QStringLiteral("6 reads in a row failed: %1").arg(busErrorText(BusError::NoReply)));
}

QTEST_APPLESS_MAIN(TstMonitorRules)
#include "tst_monitor_rules.moc"

// The setpoint table's rules without a window: checks by variant, the
// encodings both ways, the key filter, the refusal messages, the clock.
#include "setpoints/rules.h"
#include "setpointtables.h"

#include <QLocale>
#include <QTest>

using namespace setpoints;

namespace {

// A valid table of a 100 A relay: the example values of a setpoint file.

QStringList tableWith(int row, const QString& text, const QString& variant = QString()) {
    QStringList t = validTable();
    t[row] = text;
    if (!variant.isNull()) t[kVariantRow] = variant;
    return t;
}

} // namespace

class TestSetpointRules : public QObject {
    Q_OBJECT
private slots:
    void parameterCheck_data();
    void parameterCheck();
    void unknownVariantSkipsRowZero_data();
    void unknownVariantSkipsRowZero();
    void checkIgnoresLocale();
    void checkIgnoresDateAndTimeRows();
    void refusalMessages();

    void textFromRaw_data();
    void textFromRaw();
    void refreshKeepsRowZeroForUnknownVariant();
    void writeValues_data();
    void writeValues();
    void shownValuesWriteBackUnchanged_data();
    void shownValuesWriteBackUnchanged();
    void hugeNumberIsNoRegisterValue();

    void keyFilter_data();
    void keyFilter();
    void keyFilterTakesOnlyItsCharacters();
    void datesAndTimesCannotBeSelected();

    void clock_data();
    void clock();
};

void TestSetpointRules::parameterCheck_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<bool>("invalid");

    const auto row0 = [](const char* variant, const char* text, bool invalid) {
        QTest::addRow("In %s v%s", text, variant)
            << 1 << tableWith(0, QString::fromLatin1(text), QString::fromLatin1(variant)) << invalid;
    };
    row0("1", "2,0", false);
    row0("1", "20,0", false);
    row0("1", "12,3", false);
    row0("1", "1,9", true);
    row0("1", "20,1", true);
    row0("1", "2,05", true);
    row0("2", "10,5", false);
    row0("2", "10,0", false);
    row0("2", "100,0", false);
    row0("2", "10,3", true);
    row0("2", "9,5", true);
    row0("2", "100,5", true);
    row0("3", "25", false);
    row0("3", "250", false);
    row0("3", "24", true);
    row0("3", "251", true);
    row0("3", "25,5", true);
    row0("2", "", true);
    row0("2", "12.5", true); // a full stop is no decimal separator
    row0("2", "12:5", true);

    const auto row = [](int n, const char* text, bool invalid) {
        QTest::addRow("n%d '%s'", n, text) << n << tableWith(n - 1, QString::fromLatin1(text)) << invalid;
    };
    // short circuit: 2,0..10,0 in steps of 0,1
    row(2, "2,0", false);
    row(2, "10,0", false);
    row(2, "2,5", false);
    row(2, "2,55", true);
    row(2, "1,9", true);
    row(2, "10,1", true);
    row(2, "", true);
    // the fifteen-digit rule: 2,00000000000001 x 10 has a fraction at 15 digits, one digit more has none
    row(2, "2,00000000000001", true);
    row(2, "2,000000000000001", false);
    // heat: 15..300 in steps of 15
    row(3, "15", false);
    row(3, "30", false);
    row(3, "300", false);
    row(3, "15,0", false);
    row(3, "16", true);
    row(3, "315", true);
    row(3, "0", true);
    row(3, "", true);
    // whole-number rows
    row(4, "20", false);
    row(4, "85", false);
    row(4, "19", true);
    row(4, "86", true);
    row(4, "20,0", true);
    row(4, "", true);
    row(4, "99999999999999999999", true);
    row(5, "5", false);
    row(5, "255", false);
    row(5, "4", true);
    row(5, "256", true);
    row(5, "20,0", true);
    row(6, "20", false);
    row(6, "55", false);
    row(6, "19", true);
    row(6, "56", true);
    row(6, "20,0", true);
    row(7, "0", false);
    row(7, "250", false);
    row(7, "251", true);
    row(7, "20,0", true);
    row(7, "", true);
    // nominal voltage: 350..550 in steps of 10
    row(8, "350", false);
    row(8, "550", false);
    row(8, "355", true);
    row(8, "560", true);
    row(8, "340", true);
    row(8, "", true);
    row(9, "70", false);
    row(9, "90", false);
    row(9, "69", true);
    row(9, "91", true);
    row(9, "", true);
    row(10, "110", false);
    row(10, "125", false);
    row(10, "109", true);
    row(10, "126", true);
    // delay before switching on: 0..30,0 in steps of 0,5
    row(11, "0", false);
    row(11, "0,5", false);
    row(11, "30,0", false);
    row(11, "30", false);
    row(11, "0,3", true);
    row(11, "30,5", true);
    row(11, "", true);
    // variant
    row(12, "1", false);
    row(12, "3", false);
    row(12, "0", true);
    row(12, "4", true);
    row(12, "", true);
}

void TestSetpointRules::parameterCheck() {
    QFETCH(int, n);
    QFETCH(QStringList, cells);
    QFETCH(bool, invalid);
    QCOMPARE(parameterInvalid(n, cells), invalid);
    QCOMPARE(invalidParameters(cells).contains(n), invalid);
}

void TestSetpointRules::unknownVariantSkipsRowZero_data() {
    QTest::addColumn<QString>("variant");
    QTest::newRow("0") << QStringLiteral("0");
    QTest::newRow("4") << QStringLiteral("4");
    QTest::newRow("empty") << QString(QLatin1String(""));
    QTest::newRow("text") << QStringLiteral("x");
}

void TestSetpointRules::unknownVariantSkipsRowZero() {
    QFETCH(QString, variant);
    const QStringList cells = tableWith(0, QStringLiteral("nonsense"), variant);
    QVERIFY(!parameterInvalid(1, cells));
    QCOMPARE(invalidParameters(cells), QList<int>{12});
}

void TestSetpointRules::checkIgnoresLocale() {
    const QLocale saved;
    for (const QLocale& l : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German),
                             QLocale(QLocale::Polish), QLocale::c()}) {
        QLocale::setDefault(l);
        QVERIFY2(invalidParameters(validTable()).isEmpty(), qPrintable(l.name()));
        QVERIFY(parameterInvalid(2, tableWith(1, QStringLiteral("3.5"))));
        QVERIFY(parameterInvalid(2, tableWith(1, QStringLiteral("1,000"))));
    }
    QLocale::setDefault(saved);
}

void TestSetpointRules::checkIgnoresDateAndTimeRows() {
    QStringList cells = validTable();
    cells[kDateRow] = QStringLiteral("garbage");
    cells[kTimeRow] = QString();
    QVERIFY(invalidParameters(cells).isEmpty());
    QVERIFY(!parameterInvalid(13, cells));
    QVERIFY(!parameterInvalid(0, cells));
}

void TestSetpointRules::refusalMessages() {
    const QString prefix = QString::fromUtf8("Wporowadź poprawnie parametr nr ");
    QStringList cells = validTable();
    cells[2] = QStringLiteral("16");
    cells[6] = QStringLiteral("251");
    const QList<int> failing = invalidParameters(cells);
    QCOMPARE(failing, (QList<int>{3, 7}));
    QCOMPARE(writeRefusalMessage(prefix, failing),
             prefix + QStringLiteral("3\r\n") + prefix + QStringLiteral("7\r\n"));
    QCOMPARE(saveRefusalMessage(prefix, failing), prefix + QStringLiteral("3,7,"));
    QCOMPARE(saveRefusalMessage(prefix, {5}), prefix + QStringLiteral("5,"));
    // Every row empty: every checked parameter fails, in order.
    const QList<int> all = invalidParameters(QStringList());
    QCOMPARE(all.size(), 11);
    QCOMPARE(all.first(), 2); // variant 0 leaves row 0 unchecked, but row 11 fails
    QCOMPARE(all.last(), 12);
}

void TestSetpointRules::textFromRaw_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("text");
    QTest::newRow("In v1 5") << 0 << 5 << 1 << QStringLiteral("0,5");
    QTest::newRow("In v1 200") << 0 << 200 << 1 << QStringLiteral("20,0");
    QTest::newRow("In v2 25") << 0 << 25 << 2 << QStringLiteral("12,5");
    QTest::newRow("In v2 200") << 0 << 200 << 2 << QStringLiteral("100,0");
    QTest::newRow("In v3 250") << 0 << 250 << 3 << QStringLiteral("250");
    QTest::newRow("In x 35") << 1 << 35 << 2 << QStringLiteral("3,5");
    QTest::newRow("Q 10") << 2 << 10 << 2 << QStringLiteral("150");
    QTest::newRow("Is 40") << 3 << 40 << 2 << QStringLiteral("40");
    QTest::newRow("T2 0") << 6 << 0 << 2 << QStringLiteral("0");
    QTest::newRow("Un 40") << 7 << 40 << 2 << QStringLiteral("400");
    QTest::newRow("Umax 115") << 9 << 115 << 2 << QStringLiteral("115");
    QTest::newRow("Td 3") << 10 << 3 << 2 << QStringLiteral("1,5");
    QTest::newRow("Td 0") << 10 << 0 << 2 << QStringLiteral("0,0");
    QTest::newRow("Td 60") << 10 << 60 << 2 << QStringLiteral("30,0");
    QTest::newRow("variant") << 11 << 2 << 2 << QStringLiteral("2");
    QTest::newRow("date 0x1206") << 12 << 0x1206 << 2 << QStringLiteral("12.06");
    QTest::newRow("date 0x0101") << 12 << 0x0101 << 2 << QStringLiteral("01.01");
    QTest::newRow("time 0x2359") << 13 << 0x2359 << 2 << QStringLiteral("23:59");
    QTest::newRow("time 0x0905") << 13 << 0x0905 << 2 << QStringLiteral("09:05");
    QTest::newRow("time 0xFFFF") << 13 << 0xFFFF << 2 << QStringLiteral("165:165");
}

void TestSetpointRules::textFromRaw() {
    QFETCH(int, row);
    QFETCH(int, raw);
    QFETCH(int, variant);
    QFETCH(QString, text);
    QCOMPARE(setpoints::textFromRaw(row, raw, variant).value_or(QStringLiteral("<kept>")), text);
}

void TestSetpointRules::refreshKeepsRowZeroForUnknownVariant() {
    QVector<qint32> image{25, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5, 4, 0x1206, 0x0905};
    QList<std::optional<QString>> texts = textsFromImage(image);
    QCOMPARE(texts.size(), kRows);
    QVERIFY(!texts[0].has_value());
    QCOMPARE(texts[11].value_or(QString()), QStringLiteral("4"));
    image[11] = 2;
    texts = textsFromImage(image);
    QStringList shown;
    for (const auto& t : texts)
        shown << t.value_or(QStringLiteral("<kept>"));
    QCOMPARE(shown, validTable());
    // Before the first read there is no image: nothing is touched.
    for (const auto& t : textsFromImage({}))
        QVERIFY(!t.has_value());
}

void TestSetpointRules::writeValues_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QList<int>>("values");
    QTest::newRow("variant 2") << validTable() << QList<int>{25, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5};
    QTest::newRow("variant 1") << tableWith(0, QStringLiteral("12,5"), QStringLiteral("1"))
                               << QList<int>{125, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5};
    QTest::newRow("variant 3") << tableWith(0, QStringLiteral("125"), QStringLiteral("3"))
                               << QList<int>{125, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5};
    QStringList edges{QStringLiteral("100,0"), QStringLiteral("10,0"), QStringLiteral("300"),
                      QStringLiteral("85"),    QStringLiteral("255"),  QStringLiteral("55"),
                      QStringLiteral("250"),   QStringLiteral("550"),  QStringLiteral("90"),
                      QStringLiteral("125"),   QStringLiteral("30,0"), QStringLiteral("2")};
    QTest::newRow("upper bounds") << edges << QList<int>{200, 100, 20, 85, 255, 55, 250, 55, 90, 125, 60};
}

void TestSetpointRules::writeValues() {
    QFETCH(QStringList, cells);
    QFETCH(QList<int>, values);
    QVERIFY(invalidParameters(cells).isEmpty());
    const auto got = setpoints::writeValues(cells);
    QCOMPARE(QList<int>(got.begin(), got.end()), values);
}

void TestSetpointRules::shownValuesWriteBackUnchanged_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("In v1") << 0 << 1 << 20 << 200;
    QTest::newRow("In v2") << 0 << 2 << 20 << 200;
    QTest::newRow("In v3") << 0 << 3 << 25 << 250;
    QTest::newRow("In x") << 1 << 2 << 20 << 100;
    QTest::newRow("Q") << 2 << 2 << 1 << 20;
    QTest::newRow("Is") << 3 << 2 << 20 << 85;
    QTest::newRow("T1") << 4 << 2 << 5 << 255;
    QTest::newRow("Ia") << 5 << 2 << 20 << 55;
    QTest::newRow("T2") << 6 << 2 << 0 << 250;
    QTest::newRow("Un") << 7 << 2 << 35 << 55;
    QTest::newRow("Umin") << 8 << 2 << 70 << 90;
    QTest::newRow("Umax") << 9 << 2 << 110 << 125;
    QTest::newRow("Td") << 10 << 2 << 0 << 60;
}

// Every value the relay can hold in range shows as a text that passes its
// check and writes back as the same register value; one beyond each end fails.
void TestSetpointRules::shownValuesWriteBackUnchanged() {
    QFETCH(int, row);
    QFETCH(int, variant);
    QFETCH(int, low);
    QFETCH(int, high);
    for (int raw = low - 1; raw <= high + 1; ++raw) {
        if (raw < 0) continue;
        const QString text = setpoints::textFromRaw(row, raw, variant).value();
        const QStringList cells = tableWith(row, text, QString::number(variant));
        const bool inRange = raw >= low && raw <= high;
        QVERIFY2(parameterInvalid(row + 1, cells) == !inRange, qPrintable(text));
        if (inRange) QCOMPARE(rawFromText(row, text, variant), raw);
    }
}

// A number no register can hold (only possible from a file) converts to -1,
// which the write refuses, without undefined arithmetic on the way.
void TestSetpointRules::hugeNumberIsNoRegisterValue() {
    QCOMPARE(rawFromText(0, QStringLiteral("123456789012345678901"), 1), -1);
    QCOMPARE(rawFromText(1, QStringLiteral("99999999999999999999,5"), 2), -1);
    QCOMPARE(rawFromText(7, QStringLiteral("1") + QString(300, QLatin1Char('0')), 2), -1);
}

void TestSetpointRules::keyFilter_data() {
    QTest::addColumn<QChar>("key");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    const auto add = [](const char* name, QChar key, int row, const char* text, bool accepted) {
        QTest::newRow(name) << key << row << QString::fromLatin1(text) << accepted;
    };
    add("comma row 0", QLatin1Char(','), 0, "12", true);
    add("comma row 1", QLatin1Char(','), 1, "3", true);
    add("second comma row 1", QLatin1Char(','), 1, "3,", false);
    add("second comma row 0", QLatin1Char(','), 0, "1,5", false);
    add("comma row 10", QLatin1Char(','), 10, "2", true);
    add("comma row 2", QLatin1Char(','), 2, "", false);
    add("comma row 3", QLatin1Char(','), 3, "4", false);
    add("comma row 11", QLatin1Char(','), 11, "", false);
    add("full stop row 3", QLatin1Char('.'), 3, "", false);
    add("full stop row 12", QLatin1Char('.'), 12, "", false);
    add("colon row 0", QLatin1Char(':'), 0, "", true);
    add("colon row 7", QLatin1Char(':'), 7, "", true);
    add("colon row 11", QLatin1Char(':'), 11, "", false);
    add("enter row 0", QChar(13), 0, "1", true);
    add("backspace row 0", QChar(8), 0, "1", true);
    add("1 row 11", QLatin1Char('1'), 11, "", true);
    add("3 row 11", QLatin1Char('3'), 11, "", true);
    add("0 row 11", QLatin1Char('0'), 11, "", false);
    add("4 row 11", QLatin1Char('4'), 11, "", false);
    add("9 row 11", QLatin1Char('9'), 11, "", false);
    add("enter row 11", QChar(13), 11, "2", true);
    add("backspace row 11", QChar(8), 11, "2", true);
    add("digit row 12", QLatin1Char('1'), 12, "", false);
    add("enter row 12", QChar(13), 12, "", false);
    add("backspace row 13", QChar(8), 13, "09:05", false);
    add("colon row 13", QLatin1Char(':'), 13, "", false);
}

void TestSetpointRules::keyFilter() {
    QFETCH(QChar, key);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(keyAccepted(key, row, text), accepted);
}

void TestSetpointRules::keyFilterTakesOnlyItsCharacters() {
    const QString allowed = QStringLiteral("0123456789:,\r\b");
    for (int c = 0; c < 0x3000; ++c) {
        const QChar key(c);
        QVERIFY2(keyAccepted(key, 0, QString()) == allowed.contains(key), qPrintable(QString::number(c)));
    }
}

void TestSetpointRules::datesAndTimesCannotBeSelected() {
    for (int r = 0; r < kRows; ++r)
        QCOMPARE(cellSelectable(3, r), r != 12 && r != 13);
}

void TestSetpointRules::clock_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<int>("dateRegister");
    QTest::addColumn<int>("timeRegister");
    QTest::newRow("new year's eve") << QDateTime(QDate(2025, 12, 31), QTime(23, 59, 58))
                                    << QStringLiteral("12.31") << QStringLiteral("23:59") << 0x1231 << 0x2359;
    QTest::newRow("6 December 9:05") << QDateTime(QDate(2026, 12, 6), QTime(9, 5)) << QStringLiteral("12.06")
                                     << QStringLiteral("09:05") << 0x1206 << 0x0905;
    QTest::newRow("midnight 1 January")
        << QDateTime(QDate(2026, 1, 1), QTime(0, 0)) << QStringLiteral("01.01") << QStringLiteral("00:00")
        << 0x0101 << 0x0000;
}

void TestSetpointRules::clock() {
    QFETCH(QDateTime, now);
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(int, dateRegister);
    QFETCH(int, timeRegister);
    const ClockSetting s =
        clockSetting(now.date().month(), now.date().day(), now.time().hour(), now.time().minute());
    QCOMPARE(s.dateText, date);
    QCOMPARE(s.timeText, time);
    QCOMPARE(s.dateRegister, dateRegister);
    QCOMPARE(s.timeRegister, timeRegister);
    // What the relay sends back shows as what was set.
    QCOMPARE(setpoints::textFromRaw(kDateRow, s.dateRegister, 0).value(), date);
    QCOMPARE(setpoints::textFromRaw(kTimeRow, s.timeRegister, 0).value(), time);
}

QTEST_APPLESS_MAIN(TestSetpointRules)
#include "tst_setpoints.moc"

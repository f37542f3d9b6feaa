// Zero padding, the decimal comma and packed BCD.
#include <QTest>

#include "protocol/formatting.h"

class TestFormatting : public QObject {
    Q_OBJECT
private slots:
    void zera_data();
    void zera();
    void przecinek_data();
    void przecinek();
    void intBcd_data();
    void intBcd();
    void bcdInt_data();
    void bcdInt();
    void bcdRoundTrip();
};

void TestFormatting::zera_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::newRow("7, 2") << 7 << 2 << "07";
    QTest::newRow("85, 3") << 85 << 3 << "085";
    QTest::newRow("123, 2 is not cut") << 123 << 2 << "123";
    QTest::newRow("0, 3") << 0 << 3 << "000";
    QTest::newRow("exact width") << 59 << 2 << "59";
    QTest::newRow("width 0") << 42 << 0 << "42";
    QTest::newRow("negative width") << 42 << -3 << "42";
    QTest::newRow("0, width 0") << 0 << 0 << "0";
    QTest::newRow("negative number") << -12 << 2 << "-12";
}

void TestFormatting::zera() {
    QFETCH(int, number);
    QFETCH(int, width);
    QFETCH(QString, text);
    QCOMPARE(::zera(number, width), text);
}

void TestFormatting::przecinek_data() {
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("text");
    QTest::newRow("1, 5") << 1 << "5"
                          << "0,5";
    QTest::newRow("1, 123") << 1 << "123"
                            << "12,3";
    QTest::newRow("1, 0") << 1 << "0"
                          << "0,0";
    QTest::newRow("1, 1000") << 1 << "1000"
                             << "100,0";
    QTest::newRow("2, 085") << 2 << "085"
                            << "0,85";
    QTest::newRow("2, 7") << 2 << "7"
                          << "0,07";
    QTest::newRow("2, 100") << 2 << "100"
                            << "1,00";
    QTest::newRow("1, empty") << 1 << ""
                              << "0,0";
    QTest::newRow("2, 5") << 2 << "5"
                          << "0,05";
    QTest::newRow("0, 123 unchanged") << 0 << "123"
                                      << "123";
    QTest::newRow("leading zero kept") << 1 << "012"
                                       << "01,2";
    QTest::newRow("2, 12: one digit before") << 2 << "12"
                                             << "0,12";
    QTest::newRow("negative decimals") << -1 << "123"
                                       << "123";
    QTest::newRow("not parsed") << 1 << "ab"
                                << "a,b";
}

void TestFormatting::przecinek() {
    QFETCH(int, decimals);
    QFETCH(QString, digits);
    QFETCH(QString, text);
    QCOMPARE(::przecinek(decimals, digits), text);
}

void TestFormatting::intBcd_data() {
    QTest::addColumn<int>("bcd");
    QTest::addColumn<int>("value");
    QTest::newRow("0x09") << 0x09 << 9;
    QTest::newRow("0x12") << 0x12 << 12;
    QTest::newRow("0x59") << 0x59 << 59;
    QTest::newRow("0x0A") << 0x0A << 10;
    QTest::newRow("0xFF") << 0xFF << 165;
    QTest::newRow("0x1234") << 0x1234 << 1234;
    QTest::newRow("0x2359") << 0x2359 << 2359;
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("0xFFFF") << 0xFFFF << 16665;
}

void TestFormatting::intBcd() {
    QFETCH(int, bcd);
    QFETCH(int, value);
    QCOMPARE(INT_BCD(bcd), value);
}

void TestFormatting::bcdInt_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("bcd");
    QTest::newRow("12") << 12 << 0x12;
    QTest::newRow("59") << 59 << 0x59;
    QTest::newRow("7") << 7 << 7;
    QTest::newRow("1206") << 1206 << 0x1206;
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("99") << 99 << 0x99;
    QTest::newRow("2359") << 2359 << 0x2359;
    QTest::newRow("9999") << 9999 << 0x9999;
}

void TestFormatting::bcdInt() {
    QFETCH(int, value);
    QFETCH(int, bcd);
    QCOMPARE(BCD_INT(value), bcd);
}

void TestFormatting::bcdRoundTrip() {
    for (int v = 0; v <= 9999; ++v)
        if (INT_BCD(BCD_INT(v)) != v) QFAIL(qPrintable(QStringLiteral("%1 does not come back").arg(v)));
}

QTEST_GUILESS_MAIN(TestFormatting)
#include "tst_formatting.moc"

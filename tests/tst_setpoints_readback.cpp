// What the relay holds against what was sent, what the table shows and what
// a file holds: the read-back comparison, the marks of changed cells, the
// file comparison and the reports, without a window.
#include "setpoints/readback.h"
#include "setpointtables.h"

#include <QCoreApplication>
#include <QTest>

using namespace setpoints;

namespace {

// Registers 12..25 of a relay holding validTable() (variant 2).
QVector<qint32> validImage() {
    return {25, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5, 2, 0x1206, 0x0905};
}

const std::array<int, kWrittenRows> kSent{25, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5};

QVector<qint32> imageWith(int row, qint32 value, QVector<qint32> image = validImage()) {
    image[row] = value;
    return image;
}

QStringList tableWith(int row, const QString& text, QStringList t = validTable()) {
    t[row] = text;
    return t;
}

QString tx(const char* source) {
    return QCoreApplication::translate("setpoints", source);
}

QStringList names() {
    QStringList n;
    for (int r = 0; r < kRows; ++r)
        n << QStringLiteral("Name %1:").arg(r + 1);
    return n;
}

} // namespace

Q_DECLARE_METATYPE(QList<setpoints::Difference>)
Q_DECLARE_METATYPE(QList<setpoints::CellMark>)

class TstSetpointsReadback : public QObject {
    Q_OBJECT
private slots:
    void compareWritten_data();
    void compareWritten();
    void cellMarks_data();
    void cellMarks();
    void parameterName_data();
    void parameterName();
    void compareWithFile_data();
    void compareWithFile();
    void relayWentSilent_data();
    void relayWentSilent();
    void reports_data();
    void reports();
};

void TstSetpointsReadback::compareWritten_data() {
    QTest::addColumn<QVector<qint32>>("read");
    QTest::addColumn<QList<Difference>>("differences");
    QTest::newRow("all equal") << validImage() << QList<Difference>{};
    QTest::newRow("T1 holds 20") << imageWith(4, 20) << QList<Difference>{{4, 10, 20, QStringLiteral("20")}};
    QTest::newRow("In shown by the read's variant")
        << imageWith(0, 30) << QList<Difference>{{0, 25, 30, QStringLiteral("15,0")}};
    QTest::newRow("Td and Un scaled")
        << imageWith(10, 7, imageWith(7, 41))
        << QList<Difference>{{7, 40, 41, QStringLiteral("410")}, {10, 5, 7, QStringLiteral("3,5")}};
    QTest::newRow("variant and clock not compared")
        << imageWith(11, 3, imageWith(12, 0x0101, imageWith(13, 0))) << QList<Difference>{};
    QTest::newRow("short read") << validImage().mid(0, 10) << QList<Difference>{{10, 5, -1, QString()}};
}

void TstSetpointsReadback::compareWritten() {
    QFETCH(QVector<qint32>, read);
    QFETCH(QList<Difference>, differences);
    QCOMPARE(setpoints::compareWritten(kSent, read), differences);
}

void TstSetpointsReadback::cellMarks_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QVector<qint32>>("image");
    QTest::addColumn<QString>("states"); // per row: n not compared, u unknown, s same, c changed
    QTest::addColumn<QString>("relay4"); // the relay text of row 4
    QTest::newRow("no read yet") << validTable() << QVector<qint32>{} << "uuuuuuuuuuuunn"
                                 << "";
    QTest::newRow("all same") << validTable() << validImage() << "ssssssssssssnn"
                              << "10";
    QTest::newRow("T1 typed") << tableWith(4, QStringLiteral("20")) << validImage() << "sssscsssssssnn"
                              << "10";
    QTest::newRow("T1 emptied") << tableWith(4, QString()) << validImage() << "sssscsssssssnn"
                                << "10";
    QTest::newRow("same value, other text")
        << tableWith(0, QStringLiteral("12,50")) << validImage() << "ssssssssssssnn"
        << "10";
    QTest::newRow("relay changed") << validTable() << imageWith(4, 11) << "sssscsssssssnn"
                                   << "11";
    QTest::newRow("unknown variant: row 0 unknown")
        << tableWith(11, QStringLiteral("0")) << imageWith(11, 0) << "usssssssssssnn"
        << "10";
    QTest::newRow("clock differs: not compared")
        << tableWith(12, QStringLiteral("01.01")) << validImage() << "ssssssssssssnn"
        << "10";
    QTest::newRow("short image: unknown") << validTable() << validImage().mid(0, 12) << "uuuuuuuuuuuunn"
                                          << "";
}

void TstSetpointsReadback::cellMarks() {
    QFETCH(QStringList, cells);
    QFETCH(QVector<qint32>, image);
    QFETCH(QString, states);
    QFETCH(QString, relay4);
    const QList<CellMark> marks = setpoints::cellMarks(cells, image);
    QCOMPARE(marks.size(), kRows);
    QString got;
    for (const CellMark& m : marks)
        got += m.state == CellState::NotCompared ? 'n'
               : m.state == CellState::Unknown   ? 'u'
               : m.state == CellState::Same      ? 's'
                                                 : 'c';
    QCOMPARE(got, states);
    QCOMPARE(marks[4].relayText, relay4);
}

void TstSetpointsReadback::parameterName_data() {
    QTest::addColumn<QString>("rowText");
    QTest::addColumn<QString>("name");
    QTest::newRow("colon at the end")
        << QString::fromUtf8("Prąd znamionowy:") << QString::fromUtf8("Prąd znamionowy");
    QTest::newRow("colon and a hint")
        << QString::fromUtf8("Ciepło silnika: (nastawa co 15)") << QString::fromUtf8("Ciepło silnika");
    QTest::newRow("space before the colon") << QString::fromUtf8("Czas zwłoki przed zał. : (nastawa co 0,5s)")
                                            << QString::fromUtf8("Czas zwłoki przed zał.");
    QTest::newRow("colon inside a word")
        << QStringLiteral("Godzina:minuta") << QStringLiteral("Godzina:minuta");
    QTest::newRow("no colon") << QString::fromUtf8("Miesiąc.dzień") << QString::fromUtf8("Miesiąc.dzień");
    QTest::newRow("empty") << QString() << QString();
}

void TstSetpointsReadback::parameterName() {
    QFETCH(QString, rowText);
    QFETCH(QString, name);
    QCOMPARE(setpoints::parameterName(rowText), name);
}

void TstSetpointsReadback::compareWithFile_data() {
    QTest::addColumn<QStringList>("file");
    QTest::addColumn<QVector<qint32>>("image");
    QTest::addColumn<QString>("differs"); // per row 0..11: d differs, = same, ? relay unknown
    QTest::newRow("same") << validTable() << validImage() << "============";
    QTest::newRow("T1 and Un differ")
        << tableWith(4, QStringLiteral("20"), tableWith(7, QStringLiteral("410"))) << validImage()
        << "====d==d====";
    QTest::newRow("no read yet") << validTable() << QVector<qint32>{} << "????????????";
    QTest::newRow("short file") << validTable().mid(0, 3) << validImage() << "===ddddddddd";
}

void TstSetpointsReadback::compareWithFile() {
    QFETCH(QStringList, file);
    QFETCH(QVector<qint32>, image);
    QFETCH(QString, differs);
    const QList<FileComparison> rows = setpoints::compareWithFile(file, image);
    QCOMPARE(rows.size(), 12);
    QString got;
    for (int r = 0; r < rows.size(); ++r) {
        QCOMPARE(rows[r].row, r);
        QCOMPARE(rows[r].fileText, file.value(r));
        got += !rows[r].relayKnown ? '?' : rows[r].differs ? 'd' : '=';
        if (!rows[r].relayKnown) QVERIFY(rows[r].relayText.isEmpty());
    }
    QCOMPARE(got, differs);
    if (!image.isEmpty()) QCOMPARE(rows[0].relayText, QStringLiteral("12,5"));
}

void TstSetpointsReadback::relayWentSilent_data() {
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<bool>("readBack");
    QTest::addColumn<bool>("silent");
    QList<int> all, lastEight;
    for (int r = 0; r < kWrittenRows; ++r)
        all << r;
    for (int r = 3; r < kWrittenRows; ++r)
        lastEight << r;
    QTest::newRow("all confirmed") << QList<int>{} << true << false;
    QTest::newRow("one unanswered, read back") << QList<int>{4} << true << false;
    QTest::newRow("one unanswered, read-back lost") << QList<int>{4} << false << false;
    QTest::newRow("read-back lost only") << QList<int>{} << false << false;
    QTest::newRow("the last eight, read back") << lastEight << true << false;
    QTest::newRow("the last eight, read-back lost") << lastEight << false << true;
    QTest::newRow("none answered") << all << false << true;
}

void TstSetpointsReadback::relayWentSilent() {
    QFETCH(QList<int>, rows);
    QFETCH(bool, readBack);
    QFETCH(bool, silent);
    QCOMPARE(setpoints::relayWentSilent(rows, kWrittenRows, readBack), silent);
}

void TstSetpointsReadback::reports_data() {
    QTest::addColumn<QList<int>>("unconfirmed");
    QTest::addColumn<bool>("readBack");
    QTest::addColumn<QList<Difference>>("differences");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    const QString unconf = tx("The relay did not confirm these setpoints:");
    const QString others = tx("The other setpoints were written.");
    const QString holds = tx("The relay holds other values than those sent:");
    QTest::newRow("all confirmed") << QList<int>{} << true << QList<Difference>{} << QString() << QString();
    QTest::newRow("T1 unanswered, read back equal")
        << QList<int>{4} << true << QList<Difference>{} << unconf + QStringLiteral("\n5. Name 5\n") + others
        << tx("Reading back shows that the relay holds every value sent.");
    QTest::newRow("two unanswered, read back failed")
        << QList<int>{0, 10} << false << QList<Difference>{}
        << unconf + QStringLiteral("\n1. Name 1\n11. Name 11\n") + others
        << tx("Reading the setpoints back failed: the values in the relay are not confirmed.");
    QTest::newRow("T1 held differently")
        << QList<int>{} << true << QList<Difference>{{4, 10, 20, QStringLiteral("20")}} << QString()
        << holds + QStringLiteral("\n5. Name 5: 20");
    QTest::newRow("not read") << QList<int>{} << true << QList<Difference>{{10, 5, -1, QString()}}
                              << QString() << holds + QStringLiteral("\n11. Name 11: ") + tx("not read");
}

void TstSetpointsReadback::reports() {
    QFETCH(QList<int>, unconfirmed);
    QFETCH(bool, readBack);
    QFETCH(QList<Difference>, differences);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QCOMPARE(unconfirmedReport(unconfirmed, kWrittenRows, names()), first);
    QCOMPARE(readBackReport(readBack, differences, !unconfirmed.isEmpty(), names()), second);
    // Every row unanswered: no "others were written".
    QList<int> all;
    for (int r = 0; r < kWrittenRows; ++r)
        all << r;
    QVERIFY(!unconfirmedReport(all, kWrittenRows, names()).contains(tx("The other setpoints were written.")));
    QVERIFY(confirmedStatus(QStringLiteral("09:05")).contains(QStringLiteral("09:05")));
    QVERIFY(confirmedStatusDetail(QStringLiteral("09:05:07")).contains(QStringLiteral("09:05:07")));
}

QTEST_GUILESS_MAIN(TstSetpointsReadback)
#include "tst_setpoints_readback.moc"

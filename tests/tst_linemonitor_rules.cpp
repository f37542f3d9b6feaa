// The communication monitor's rules without a window: the outcome of an
// exchange, the counters, the 10,000-row list, the saved text; the dialog's
// line selections as driver values and the relay finder's steps.
#include "config/linesettings.h"
#include "linemonitor/exchangelog.h"
#include "linemonitor/exchangerecord.h"
#include "protocol/registerbus.h"
#include "protocol/relaymap.h"

#include <QDateTime>
#include <QtTest>

using namespace linemonitor;

Q_DECLARE_METATYPE(BusError)
Q_DECLARE_METATYPE(linemonitor::Outcome)

namespace {
QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}
// A read reply of one register with its CRC.
QByteArray withCrc(QByteArray frame) {
    const uint16_t crc =
        frames::crc16(reinterpret_cast<const uint8_t*>(frame.constData()), size_t(frame.size()));
    frame.append(char(crc & 0xFF));
    frame.append(char(crc >> 8));
    return frame;
}
Row rowAt(qint64 ms) {
    Row r;
    r.sentMs = ms;
    r.request = frames::readRequest(3, relay::kVariantRegister, 1);
    return r;
}
} // namespace

class TstLineMonitorRules : public QObject {
    Q_OBJECT
private slots:
    void classify_data();
    void classify();
    void rowTexts_data();
    void rowTexts();
    void countersAddUp();
    void failuresText();
    void pauseKeepsEveryRow_data();
    void pauseKeepsEveryRow();
    void savedTextMarksWhatIsNotListed();
    void ringKeepsTheLast_data();
    void ringKeepsTheLast();
    void modelKeepsTenThousandRows();
    void texts();
    void savedText();
    void selections_data();
    void selections();
    void lineOfSelections();
    void scanSteps_data();
    void scanSteps();
    void scanTimeout_data();
    void scanTimeout();
};

void TstLineMonitorRules::classify_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<BusError>("error");
    QTest::addColumn<Outcome>("expected");
    const QByteArray request = frames::readRequest(3, relay::kVariantRegister, 1);
    const QByteArray good = withCrc(hex("03030200 02"));
    QTest::newRow("good") << request << good << BusError::NoError << Outcome::Good;
    QTest::newRow("another address, CRC right")
        << request << withCrc(hex("04030200 02")) << BusError::NoError << Outcome::OtherAddressOrFunction;
    QTest::newRow("another function, CRC right")
        << request << withCrc(hex("03040200 02")) << BusError::NoError << Outcome::OtherAddressOrFunction;
    QTest::newRow("write echoed") << frames::writeRequest(3, 11, 0) << frames::writeRequest(3, 11, 0)
                                  << BusError::NoError << Outcome::Good;
    QTest::newRow("no reply") << request << QByteArray() << BusError::NoReply << Outcome::NoReply;
    QTest::newRow("short reply") << request << good.left(3) << BusError::ShortReply << Outcome::ShortReply;
    QTest::newRow("bad CRC") << request << good.left(6) + char(0) << BusError::BadCrc << Outcome::BadCrc;
    QTest::newRow("bad CRC of another address stays bad CRC")
        << request << hex("04030200020000") << BusError::BadCrc << Outcome::BadCrc;
    QTest::newRow("port closed during it")
        << request << QByteArray() << BusError::PortClosed << Outcome::DeviceGone;
    QTest::newRow("device gone") << request << QByteArray() << BusError::DeviceGone << Outcome::DeviceGone;
    QTest::newRow("bad request") << QByteArray() << QByteArray() << BusError::BadRequest
                                 << Outcome::BadRequest;
    QTest::newRow("early reply") << request << good << BusError::EarlyReply << Outcome::EarlyReply;
    QTest::newRow("the bus's other device")
        << request << withCrc(hex("04030200 02")) << BusError::OtherDevice << Outcome::OtherAddressOrFunction;
    const QByteArray refusal = withCrc(hex("038302"));
    QTest::newRow("the bus's exception") << request << refusal << BusError::Exception << Outcome::Exception;
    // An exception reply is one whatever the bus made of its length.
    QTest::newRow("exception taken as short")
        << request << refusal << BusError::ShortReply << Outcome::Exception;
    QTest::newRow("exception still waited on")
        << request << refusal << BusError::NoReply << Outcome::Exception;
    QTest::newRow("exception of another address stays short")
        << request << withCrc(hex("048302")) << BusError::ShortReply << Outcome::ShortReply;
    QTest::newRow("exception of another function stays short")
        << request << withCrc(hex("038602")) << BusError::ShortReply << Outcome::ShortReply;
    QTest::newRow("exception with a bad CRC stays short")
        << request << hex("0383020000") << BusError::ShortReply << Outcome::ShortReply;
    QTest::newRow("exception bytes that came too early stay early")
        << request << refusal << BusError::EarlyReply << Outcome::EarlyReply;
    QTest::newRow("not sent") << request << QByteArray() << BusError::NotSent << Outcome::OtherFailure;
    // A reason the bus may give that the monitor has no word of its own for: told in the bus's words.
    QTest::newRow("another reason") << request << good << BusError(int(BusError::NotSent) + 1)
                                    << Outcome::OtherFailure;
}

void TstLineMonitorRules::classify() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QFETCH(BusError, error);
    QFETCH(Outcome, expected);
    QCOMPARE(linemonitor::classify(request, reply, error), expected);
    // The row of an exchange carries the same outcome and the bytes as they came.
    const Row r = rowOf({1000, request, reply, error, 1234});
    QCOMPARE(r.outcome, expected);
    QCOMPARE(r.reply, reply);
    QCOMPARE(r.roundTripUs, qint64(1234));
    QCOMPARE(r.error, error);
    QVERIFY(!outcomeText(expected).isEmpty());
    // (The texts that tell what the bytes say are rowTexts'.)
    if (expected != Outcome::OtherAddressOrFunction && expected != Outcome::Exception)
        QCOMPARE(outcomeText(r),
                 expected == Outcome::OtherFailure ? busErrorText(error, reply) : outcomeText(expected));
}

void TstLineMonitorRules::rowTexts_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<BusError>("error");
    QTest::addColumn<QString>("text");
    auto t = [](const char* s) { return QCoreApplication::translate("LineMonitor", s); };
    QTest::newRow("another device") << withCrc(hex("07030200 02")) << BusError::OtherDevice
                                    << t("reply from another device (address %1)").arg(7);
    QTest::newRow("another device, taken by the bus") << withCrc(hex("F7030200 02")) << BusError::NoError
                                                      << t("reply from another device (address %1)").arg(247);
    QTest::newRow("another function")
        << withCrc(hex("03040200 02")) << BusError::OtherDevice << t("reply of another function (%1)").arg(4);
    QTest::newRow("illegal data address")
        << withCrc(hex("038302")) << BusError::Exception
        << t("refused: %1 (exception %2)").arg(frames::exceptionName(2)).arg(2);
    QTest::newRow("busy, taken as short")
        << withCrc(hex("038306")) << BusError::ShortReply
        << t("refused: %1 (exception %2)").arg(frames::exceptionName(6)).arg(6);
    QTest::newRow("a code without a name")
        << withCrc(hex("038342")) << BusError::Exception
        << t("refused: %1 (exception %2)").arg(frames::exceptionName(0x42)).arg(0x42);
    QTest::newRow("not sent") << QByteArray() << BusError::NotSent << busErrorText(BusError::NotSent);
    QTest::newRow("early") << withCrc(hex("03030200 02")) << BusError::EarlyReply
                           << t("early reply (an old one)");
}

void TstLineMonitorRules::rowTexts() {
    QFETCH(QByteArray, reply);
    QFETCH(BusError, error);
    QFETCH(QString, text);
    const Row r = rowOf({1000, frames::readRequest(3, relay::kVariantRegister, 1), reply, error, 1});
    QCOMPARE(outcomeText(r), text);
    // The list shows it, whole in the tooltip however narrow the column, and the saved line carries it.
    ExchangeModel model;
    model.append(r);
    QCOMPARE(model.index(0, ExchangeModel::OutcomeColumn).data().toString(), text);
    QCOMPARE(model.index(0, ExchangeModel::OutcomeColumn).data(Qt::ToolTipRole).toString(), text);
    QCOMPARE(rowLine(r).split(QLatin1Char('\t')).value(3), text);
}

void TstLineMonitorRules::countersAddUp() {
    Counters c;
    QCOMPARE(c.failureRate(), 0.0);
    const Outcome seen[] = {
        Outcome::Good,       Outcome::Good,        Outcome::NoReply, Outcome::Good,
        Outcome::BadCrc,     Outcome::ShortReply,  Outcome::Good,    Outcome::OtherAddressOrFunction,
        Outcome::DeviceGone, Outcome::OtherFailure};
    for (Outcome o : seen)
        c.add(o);
    QCOMPARE(c.requests, qint64(10));
    QCOMPARE(c.otherFailures(), qint64(2));
    qint64 sum = 0;
    for (qint64 n : c.byOutcome)
        sum += n;
    QCOMPARE(sum, c.requests);
    QCOMPARE(c.count(Outcome::Good), qint64(4));
    QCOMPARE(c.failures(), qint64(6));
    QCOMPARE(c.failureRate(), 60.0);
    QCOMPARE(rateText(12.345), QStringLiteral("12.3 %"));
}

void TstLineMonitorRules::failuresText() {
    Counters c;
    QCOMPARE(linemonitor::failuresText(c), QString());
    for (Outcome o : {Outcome::Good, Outcome::NoReply, Outcome::Exception, Outcome::NoReply, Outcome::Good,
                      Outcome::OtherAddressOrFunction, Outcome::NoReply, Outcome::Exception})
        c.add(o);
    auto part = [](Outcome o, int n) {
        return QCoreApplication::translate("LineMonitor", "%1: %2").arg(outcomeText(o)).arg(n);
    };
    QCOMPARE(linemonitor::failuresText(c), part(Outcome::NoReply, 3) + QStringLiteral(", ") +
                                               part(Outcome::Exception, 2) + QStringLiteral(", ") +
                                               part(Outcome::OtherAddressOrFunction, 1));
}

void TstLineMonitorRules::pauseKeepsEveryRow_data() {
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("during");
    QTest::newRow("a short pause") << 100 << 5 << 3;
    QTest::newRow("a pause longer than the list") << 4 << 2 << 10;
    QTest::newRow("paused from the start") << 10 << 0 << 7;
}

void TstLineMonitorRules::pauseKeepsEveryRow() {
    QFETCH(int, capacity);
    QFETCH(int, before);
    QFETCH(int, during);
    ExchangeRecord record(nullptr, capacity);
    auto exchange = [](int i) {
        return BusExchange{i, frames::readRequest(3, relay::kVariantRegister, 1), {}, BusError::NoReply, 1};
    };
    int sent = 0;
    for (; sent < before; ++sent)
        record.record(exchange(sent));
    record.setPaused(true);
    const int listed = std::min(before, capacity);
    QCOMPARE(record.model()->rowCount(), listed);
    for (; sent < before + during; ++sent)
        record.record(exchange(sent));
    record.refresh();
    // The list stood still; every exchange is counted, and the rows kept run on without a gap.
    QCOMPARE(record.model()->rowCount(), listed);
    QCOMPARE(record.counters().requests, qint64(sent));
    const QList<Row> kept = record.rows();
    QCOMPARE(kept.size(), std::min(sent, capacity));
    for (int i = 0; i < kept.size(); ++i)
        QCOMPARE(kept[i].sentMs, qint64(sent - kept.size() + i));
    record.setPaused(false);
    QCOMPARE(record.model()->rowCount(), kept.size());
    QCOMPARE(record.model()->rows().last().sentMs, qint64(sent - 1));
    // Connecting starts the counters again, the rows stay; Clear empties both.
    record.resetCounters();
    QCOMPARE(record.counters().requests, qint64(0));
    QCOMPARE(record.model()->rowCount(), kept.size());
    record.clear();
    QCOMPARE(record.model()->rowCount(), 0);
    QVERIFY(record.rows().isEmpty());
}

void TstLineMonitorRules::savedTextMarksWhatIsNotListed() {
    Counters c;
    for (int i = 0; i < 5; ++i)
        c.add(Outcome::Good);
    const QList<Row> rows{rowAt(1), rowAt(2)};
    const QStringList lines = QString::fromUtf8(textFile(rows, c)).split(QLatin1Char('\n'));
    QCOMPARE(lines[1],
             QCoreApplication::translate("LineMonitor", "Listed: the last %1 of the %2 exchanges counted.")
                 .arg(2)
                 .arg(5));
    QCOMPARE(lines.size(), 2 + 1 + 2 + 1);
}

void TstLineMonitorRules::ringKeepsTheLast_data() {
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("pushed");
    QTest::newRow("not full") << 5 << 3;
    QTest::newRow("just full") << 5 << 5;
    QTest::newRow("wrapped once") << 5 << 7;
    QTest::newRow("wrapped many times") << 5 << 23;
    QTest::newRow("one row") << 1 << 4;
    QTest::newRow("a batch beyond the capacity") << 2 << 3;
}

void TstLineMonitorRules::ringKeepsTheLast() {
    QFETCH(int, capacity);
    QFETCH(int, pushed);
    RowRing ring(capacity);
    for (int i = 0; i < pushed; ++i)
        ring.push(rowAt(i));
    const int kept = std::min(capacity, pushed);
    QCOMPARE(ring.size(), kept);
    for (int i = 0; i < kept; ++i)
        QCOMPARE(ring.at(i).sentMs, qint64(pushed - kept + i));
    QCOMPARE(ring.all().size(), kept);
    // The list takes the same rows in batches of three and keeps the same.
    ExchangeModel model(nullptr, capacity);
    QList<Row> batch;
    for (int i = 0; i < pushed; ++i) {
        batch << rowAt(i);
        if (batch.size() == 3 || i == pushed - 1) model.append(std::exchange(batch, {}));
    }
    QCOMPARE(model.rowCount(), kept);
    for (int i = 0; i < kept; ++i)
        QCOMPARE(model.row(i).sentMs, ring.at(i).sentMs);
    ring.clear();
    QCOMPARE(ring.size(), 0);
    ring.push(rowAt(99));
    QCOMPARE(ring.at(0).sentMs, qint64(99));
}

void TstLineMonitorRules::modelKeepsTenThousandRows() {
    ExchangeModel model;
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    const int fed = ExchangeModel::kMaxRows + 5;
    for (int i = 0; i < fed; ++i)
        model.append(rowAt(i));
    QCOMPARE(model.rowCount(), 10000);
    QCOMPARE(removed.count(), 5);
    // Oldest at the top, newest at the bottom.
    QCOMPARE(model.row(0).sentMs, qint64(5));
    QCOMPARE(model.row(9999).sentMs, qint64(fed - 1));
    QCOMPARE(model.index(9999, ExchangeModel::TimeColumn).data().toString(), timeText(fed - 1));
    QCOMPARE(model.index(0, ExchangeModel::RequestColumn).data().toString(),
             QStringLiteral("03 03 00 16 00 01 64 2C"));
    QCOMPARE(model.rows().size(), 10000);
    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

void TstLineMonitorRules::texts() {
    const qint64 ms = QDateTime(QDate(2026, 12, 8), QTime(9, 5, 7, 42)).toMSecsSinceEpoch();
    QCOMPARE(timeText(ms), QStringLiteral("09:05:07.042"));
    QCOMPARE(hexText(hex("0a03ff")), QStringLiteral("0A 03 FF"));
    QCOMPARE(hexText({}), QString());
    QCOMPARE(roundTripText(12345), QStringLiteral("12.3"));
    QCOMPARE(roundTripText(400), QStringLiteral("0.4"));
}

void TstLineMonitorRules::savedText() {
    Row a = rowAt(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 0, 1)).toMSecsSinceEpoch());
    a.reply = withCrc(hex("03030200 02"));
    a.roundTripUs = 2500;
    Row b = rowAt(a.sentMs + 200);
    b.outcome = Outcome::NoReply;
    b.roundTripUs = 100000;
    Counters c;
    c.add(Outcome::Good);
    c.add(Outcome::NoReply);
    const QStringList lines = QString::fromUtf8(textFile({a, b}, c)).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 5); // heading, column names, two rows, the empty rest after the last LF
    QVERIFY(lines[0].contains(QStringLiteral("50.0 %")));
    QCOMPARE(lines[2], QStringLiteral("10:00:00.001\t03 03 00 16 00 01 64 2C\t03 03 02 00 02 40 45\t") +
                           outcomeText(Outcome::Good) + QStringLiteral("\t2.5"));
    QCOMPARE(lines[3].split(QLatin1Char('\t')).value(2), QString());
    QCOMPARE(lines[3].split(QLatin1Char('\t')).value(3), outcomeText(Outcome::NoReply));
    QCOMPARE(lines[4], QString());
}

void TstLineMonitorRules::selections_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("port");     // TPortNumber, -1 none
    QTest::addColumn<int>("speed");    // bit/s, -1 none
    QTest::addColumn<int>("parity");   // TParity, -1 none
    QTest::addColumn<int>("dataBits"); // TDataBits, -1 none
    QTest::addColumn<int>("stopBits"); // TStopBits, -1 none
    QTest::newRow("none selected") << -1 << -1 << -1 << -1 << -1 << -1;
    QTest::newRow("first") << 0 << int(pnCOM1) << 19200 << int(ptODD) << int(db8BITS) << int(sb1BITS);
    QTest::newRow("second") << 1 << int(pnCOM2) << 9600 << int(ptEVEN) << int(db7BITS) << int(sb2BITS);
    QTest::newRow("third") << 2 << -1 << 4800 << int(ptNONE) << -1 << -1;
    QTest::newRow("fourth") << 3 << -1 << 2400 << -1 << -1 << -1;
    QTest::newRow("beyond") << 4 << -1 << -1 << -1 << -1 << -1;
}

void TstLineMonitorRules::selections() {
    QFETCH(int, index);
    QFETCH(int, port);
    QFETCH(int, speed);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    auto value = [](auto v) { return v ? int(*v) : -1; };
    QCOMPARE(value(linesettings::portOf(index)), port);
    QCOMPARE(value(linesettings::speedOf(index)), speed);
    QCOMPARE(value(linesettings::parityOf(index)), parity);
    QCOMPARE(value(linesettings::dataBitsOf(index)), dataBits);
    QCOMPARE(value(linesettings::stopBitsOf(index)), stopBits);
    // And back, for putting a found relay into the dialog.
    if (speed > 0) QCOMPARE(linesettings::speedIndexOf(uint32_t(speed)), index);
    if (parity >= 0) QCOMPARE(linesettings::parityIndexOf(TParity(parity)), index);
    if (speed > 0)
        QCOMPARE(TSerialDriver::BaudValueOf(linesettings::baudRateOf(uint32_t(speed))), uint32_t(speed));
}

void TstLineMonitorRules::lineOfSelections() {
    QCOMPARE(linesettings::speedIndexOf(115200), -1);
    QCOMPARE(linesettings::parityIndexOf(ptMARK), -1);
    QCOMPARE(linesettings::baudRateOf(12345), brCustom);
    ini::Selections s; // the dialog's initial choices: COM1, 4800, none, 8, 1
    const linesettings::Line initial = linesettings::lineOf(s);
    QCOMPARE(initial.port, QStringLiteral("\\\\.\\COM1"));
    QCOMPARE(initial.baud, 4800u);
    QCOMPARE(initial.parity, ptNONE);
    QCOMPARE(initial.dataBits, db8BITS);
    QCOMPARE(initial.stopBits, sb1BITS);
    s.port = 1;
    s.speed = 0;
    s.parity = 1;
    s.dataBits = 1;
    s.stopBits = 1;
    QCOMPARE(linesettings::lineOf(s),
             (linesettings::Line{QStringLiteral("\\\\.\\COM2"), 19200, ptEVEN, db7BITS, sb2BITS}));
    // Nothing selected keeps the defaults given.
    s.port = s.speed = s.parity = s.dataBits = s.stopBits = -1;
    const linesettings::Line defaults{QStringLiteral("/dev/ttyUSB0"), 2400, ptODD, db7BITS, sb2BITS};
    QCOMPARE(linesettings::lineOf(s, defaults), defaults);
}

void TstLineMonitorRules::scanSteps_data() {
    QTest::addColumn<bool>("allSpeeds");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::newRow("one speed, first") << false << 1 << 247 << 0 << 247 << 1 << 9600 << int(ptEVEN);
    QTest::newRow("one speed, last") << false << 1 << 247 << 246 << 247 << 247 << 9600 << int(ptEVEN);
    QTest::newRow("all, first: 19200 odd") << true << 1 << 247 << 0 << 12 * 247 << 1 << 19200 << int(ptODD);
    QTest::newRow("all, second line: 19200 even")
        << true << 1 << 247 << 247 << 12 * 247 << 1 << 19200 << int(ptEVEN);
    QTest::newRow("all, 4th line: 9600 odd")
        << true << 1 << 247 << 3 * 247 + 136 << 12 * 247 << 137 << 9600 << int(ptODD);
    QTest::newRow("all, last: 2400 none")
        << true << 1 << 247 << 12 * 247 - 1 << 12 * 247 << 247 << 2400 << int(ptNONE);
    QTest::newRow("a range") << true << 5 << 7 << 4 << 36 << 6 << 19200 << int(ptEVEN);
    QTest::newRow("beyond the end") << false << 1 << 247 << 247 << 247 << 0 << 0 << int(ptNONE);
    QTest::newRow("empty range") << true << 9 << 3 << 0 << 0 << 0 << 0 << int(ptNONE);
}

void TstLineMonitorRules::scanSteps() {
    QFETCH(bool, allSpeeds);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, index);
    QFETCH(int, count);
    QFETCH(int, address);
    QFETCH(int, baud);
    QFETCH(int, parity);
    const QList<linescan::Speed> speeds = linescan::speeds(allSpeeds, {9600, ptEVEN});
    QCOMPARE(speeds.size(), allSpeeds ? 12 : 1);
    QCOMPARE(linescan::stepCount(speeds, from, to), count);
    const linescan::Step s = linescan::step(speeds, from, to, index);
    QCOMPARE(s.address, address);
    QCOMPARE(int(s.speed.baud), baud);
    QCOMPARE(int(s.speed.parity), parity);
}

void TstLineMonitorRules::scanTimeout_data() {
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<int>("timeout");
    // 8 characters of 10 or 11 bits, rounded up, + 100 ms (the main window's poll waits as long).
    QTest::newRow("19200 8N1") << 19200 << int(ptNONE) << int(sb1BITS) << 105;
    QTest::newRow("19200 8E1") << 19200 << int(ptEVEN) << int(sb1BITS) << 105;
    QTest::newRow("9600 8N2") << 9600 << int(ptNONE) << int(sb2BITS) << 110;
    QTest::newRow("4800 8N1") << 4800 << int(ptNONE) << int(sb1BITS) << 117;
    QTest::newRow("2400 8O1") << 2400 << int(ptODD) << int(sb1BITS) << 137;
    QTest::newRow("no speed") << 0 << int(ptNONE) << int(sb1BITS) << 100;
}

void TstLineMonitorRules::scanTimeout() {
    QFETCH(int, baud);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    QFETCH(int, timeout);
    QCOMPARE(int(linescan::timeoutMs({uint32_t(baud), TParity(parity)}, db8BITS, TStopBits(stopBits))),
             timeout);
}

QTEST_GUILESS_MAIN(TstLineMonitorRules)
#include "tst_linemonitor_rules.moc"

// The rules of network targets without a network: the address a port name
// maps to, and the Modbus TCP framing the backend puts around the serial
// frames (hex vectors from the Modbus application protocol's examples and
// from our own requests).
#include "network/mbap.h"
#include "network/networktarget.h"

#include <QtTest>

class TstNetworkRules : public QObject {
    Q_OBJECT
private slots:
    void parseTarget_data();
    void parseTarget();
    void requestFromRtu_data();
    void requestFromRtu();
    void takeReply_data();
    void takeReply();
};

void TstNetworkRules::parseTarget_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("good");
    QTest::addColumn<bool>("modbusTcp");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<QString>("shown");
    QTest::newRow("tcp default port")
        << "tcp://127.0.0.1" << true << true << "127.0.0.1" << 502 << 1000 << "Modbus TCP 127.0.0.1:502";
    QTest::newRow("tcp port timeout") << "tcp://10.1.2.3:5020?timeout=300" << true << true << "10.1.2.3"
                                      << 5020 << 300 << "Modbus TCP 10.1.2.3:5020";
    QTest::newRow("scheme any case") << "TCP://gw.plant.local:502" << true << true << "gw.plant.local" << 502
                                     << 1000 << "Modbus TCP gw.plant.local:502";
    QTest::newRow("ipv6") << "tcp://[::1]:1502" << true << true << "::1" << 1502 << 1000
                          << "Modbus TCP [::1]:1502";
    QTest::newRow("rtu over tcp") << "rtu+tcp://192.168.0.7:4001" << true << false << "192.168.0.7" << 4001
                                  << 1000 << "RTU over TCP 192.168.0.7:4001";
    QTest::newRow("rtu needs port") << "rtu+tcp://192.168.0.7" << false << false << "" << 0 << 0 << "";
    QTest::newRow("no host") << "tcp://:502" << false << true << "" << 0 << 0 << "";
    QTest::newRow("port 0") << "tcp://h:0" << false << true << "" << 0 << 0 << "";
    QTest::newRow("port too big") << "tcp://h:70000" << false << true << "" << 0 << 0 << "";
    QTest::newRow("timeout 0") << "tcp://h?timeout=0" << false << true << "" << 0 << 0 << "";
    QTest::newRow("timeout text") << "tcp://h?timeout=soon" << false << true << "" << 0 << 0 << "";
    QTest::newRow("timeout too long") << "tcp://h?timeout=60001" << false << true << "" << 0 << 0 << "";
    QTest::newRow("unknown setting") << "tcp://h?unit=4" << false << true << "" << 0 << 0 << "";
    QTest::newRow("path") << "tcp://h:502/relay" << false << true << "" << 0 << 0 << "";
    QTest::newRow("user") << "tcp://me@h:502" << false << true << "" << 0 << 0 << "";
    QTest::newRow("other scheme") << "udp://h:502" << false << true << "" << 0 << 0 << "";
    QTest::newRow("device path") << "/dev/ttyUSB0" << false << true << "" << 0 << 0 << "";
}

void TstNetworkRules::parseTarget() {
    QFETCH(QString, text);
    QFETCH(bool, good);
    QFETCH(bool, modbusTcp);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(int, timeout);
    QFETCH(QString, shown);
    QString error;
    const auto t = net::parseTarget(text, &error);
    QCOMPARE(t.has_value(), good);
    if (!good) {
        // The reason names what was given.
        QVERIFY2(error.contains(text), qPrintable(error));
        return;
    }
    QCOMPARE(t->framing == net::Framing::ModbusTcp, modbusTcp);
    QCOMPARE(t->host, host);
    QCOMPARE(int(t->port), port);
    QCOMPARE(int(t->replyTimeoutMs), timeout);
    QCOMPARE(net::describe(*t), shown);
    QVERIFY(net::isNetworkTarget(text));
}

void TstNetworkRules::requestFromRtu_data() {
    QTest::addColumn<QByteArray>("rtu");
    QTest::addColumn<int>("transaction");
    QTest::addColumn<QByteArray>("mbap");
    // Read 10 registers from register 1 of address 3; write 1234 to register 12.
    QTest::newRow("read") << QByteArray::fromHex("0303000000 0ac42f") << 1
                          << QByteArray::fromHex("000100000006 030300000 00a");
    QTest::newRow("write") << QByteArray::fromHex("0306000b04d2 7b77") << 0xBEEF
                           << QByteArray::fromHex("beef00000006 0306000b04d2");
    QTest::newRow("bad crc") << QByteArray::fromHex("0303000000 0ac42e") << 1 << QByteArray();
    QTest::newRow("too short") << QByteArray::fromHex("0383") << 1 << QByteArray();
}

void TstNetworkRules::requestFromRtu() {
    QFETCH(QByteArray, rtu);
    QFETCH(int, transaction);
    QFETCH(QByteArray, mbap);
    QCOMPARE(mbap::requestFromRtu(rtu, uint16_t(transaction)).toHex(' '), mbap.toHex(' '));
}

void TstNetworkRules::takeReply_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("take"); // mbap::Take
    QTest::addColumn<int>("transaction");
    QTest::addColumn<QByteArray>("rtu");
    QTest::addColumn<int>("left"); // bytes left in the stream
    const QByteArray reply = QByteArray::fromHex("00070000000 7 0303040001 0002");
    QTest::newRow("whole") << reply << int(mbap::Take::Taken) << 7
                           << QByteArray::fromHex("030304000100 0209f2") << 0;
    QTest::newRow("and the next") << reply + reply.left(3) << int(mbap::Take::Taken) << 7
                                  << QByteArray::fromHex("030304000100 0209f2") << 3;
    QTest::newRow("header only") << reply.left(7) << int(mbap::Take::Incomplete) << 0 << QByteArray() << 7;
    QTest::newRow("one byte short") << reply.chopped(1) << int(mbap::Take::Incomplete) << 0 << QByteArray()
                                    << 12;
    QTest::newRow("exception") << QByteArray::fromHex("0009000000030383 02") << int(mbap::Take::Taken) << 9
                               << QByteArray::fromHex("038302 6131") << 0;
    QTest::newRow("protocol not 0") << QByteArray::fromHex("00070001") << int(mbap::Take::Broken) << 0
                                    << QByteArray() << 4;
    QTest::newRow("length 1") << QByteArray::fromHex("00070000000103") << int(mbap::Take::Broken) << 0
                              << QByteArray() << 7;
    QTest::newRow("length 255") << QByteArray::fromHex("000700000 0ff03") << int(mbap::Take::Broken) << 0
                                << QByteArray() << 7;
}

void TstNetworkRules::takeReply() {
    QFETCH(QByteArray, stream);
    QFETCH(int, take);
    QFETCH(int, transaction);
    QFETCH(QByteArray, rtu);
    QFETCH(int, left);
    mbap::Reply r;
    QCOMPARE(int(mbap::takeReply(stream, &r)), take);
    QCOMPARE(int(stream.size()), left);
    if (take != int(mbap::Take::Taken)) return;
    QCOMPARE(int(r.transaction), transaction);
    QCOMPARE(r.rtu.toHex(' '), rtu.toHex(' '));
    // What comes back is a sound serial frame, as the bus checks it.
    QVERIFY(mbap::isWholeRtuFrame(r.rtu));
}

QTEST_GUILESS_MAIN(TstNetworkRules)
#include "tst_network_rules.moc"

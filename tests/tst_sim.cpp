// The relay simulator, driven with raw frames through its pseudo-terminal the
// way the program drives a relay: requests in, replies (or their absence) out,
// and the log line for every frame.
#include "protocol/relaymap.h"
#include "sim/frames.h"
#include "sim/line.h"
#include "sim/relay.h"
#include "tests/simfixture.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kReplyMs = 5000; // bound for a reply that must come: only catches hangs

// Milliseconds that n characters take at the speed: start bit, 8 data bits, the
// parity bit if any, the stop bits.
double wireMs(int n, int baud, bool parity, int stopBits) {
    return n * (1.0 + 8 + (parity ? 1 : 0) + stopBits) * 1000.0 / baud;
}

QByteArray withCrc(QByteArray f) {
    const uint16_t crc =
        sim::crc16(reinterpret_cast<const uint8_t*>(f.constData()), static_cast<size_t>(f.size()));
    f.append(static_cast<char>(crc & 0xFF));
    f.append(static_cast<char>(crc >> 8));
    return f;
}

QByteArray readRequest(int address, int reg, int n) {
    QByteArray f;
    f.append(char(address)).append(char(3)).append(char((reg - 1) >> 8)).append(char((reg - 1) & 0xFF));
    f.append(char(n >> 8)).append(char(n & 0xFF));
    return withCrc(f);
}

QByteArray writeRequest(int address, int reg, int value) {
    QByteArray f;
    f.append(char(address)).append(char(6)).append(char((reg - 1) >> 8)).append(char((reg - 1) & 0xFF));
    f.append(char(value >> 8)).append(char(value & 0xFF));
    return withCrc(f);
}

bool crcOk(const QByteArray& f) {
    const sim::Bytes b(f.begin(), f.end());
    return sim::crcMatches(b);
}

QString hexOf(const QByteArray& b) {
    return QString::fromLatin1(b.toHex(' ').toUpper());
}

QVector<int> registersOf(const QByteArray& reply) {
    QVector<int> v;
    for (int i = 3; i + 1 < reply.size() - 2; i += 2)
        v.append((uint8_t(reply[i]) << 8) | uint8_t(reply[i + 1]));
    return v;
}

// The test's end of the relay's line, opened as the program opens its port.
class Line {
public:
    ~Line() { close(); }
    bool open(const QString& path) {
        close();
        fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) return false;
        termios t{};
        if (::tcgetattr(fd_, &t) != 0) return false;
        ::cfmakeraw(&t);
        return ::tcsetattr(fd_, TCSANOW, &t) == 0;
    }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    // The program's end of the line set as a program sets a serial port:
    // speed, parity ("none", "odd", "even"), data and stop bits.
    bool setLine(int baud, const QString& parity, int dataBits, int stopBits) {
        static const QMap<int, speed_t> speeds{{300, B300},   {2400, B2400},   {4800, B4800},
                                               {9600, B9600}, {19200, B19200}, {38400, B38400}};
        termios t{};
        if (!speeds.contains(baud) || ::tcgetattr(fd_, &t) != 0) return false;
        t.c_cflag &= ~tcflag_t(CSIZE | CSTOPB | PARENB | PARODD);
        t.c_cflag |= (dataBits == 7 ? CS7 : CS8) | (stopBits == 2 ? CSTOPB : 0);
        if (parity != QLatin1String("none")) t.c_cflag |= PARENB;
        if (parity == QLatin1String("odd")) t.c_cflag |= PARODD;
        ::cfsetispeed(&t, speeds[baud]);
        ::cfsetospeed(&t, speeds[baud]);
        if (::tcsetattr(fd_, TCSANOW, &t) == 0) return true;
        // The C library reports EINVAL when the call changed nothing, as when
        // only the parity-enable flag or the data bits, which a pseudo-terminal
        // does not keep, were asked to change: good when what it keeps holds.
        const tcflag_t kept = CSTOPB | PARODD;
        termios now{};
        return errno == EINVAL && ::tcgetattr(fd_, &now) == 0 && (now.c_cflag & kept) == (t.c_cflag & kept) &&
               ::cfgetospeed(&now) == speeds[baud];
    }
    bool send(const QByteArray& b) {
        return ::write(fd_, b.constData(), static_cast<size_t>(b.size())) == b.size();
    }
    // Reads until `want` bytes came, or `idleMs` passed without a byte once something
    // came, or `firstMs` passed with nothing at all. With a clock, *firstByteMs is
    // its reading when the first byte came.
    QByteArray receive(int want, int firstMs = kReplyMs, int idleMs = 100,
                       const QElapsedTimer* clock = nullptr, double* firstByteMs = nullptr) {
        QByteArray got;
        QDeadlineTimer wait(firstMs);
        while (got.size() < want) {
            pollfd p{fd_, POLLIN, 0};
            const int left = static_cast<int>(wait.remainingTime());
            if (left <= 0 || ::poll(&p, 1, left) <= 0) break;
            char buf[512];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n > 0) {
                if (got.isEmpty() && clock && firstByteMs) *firstByteMs = clock->nsecsElapsed() / 1e6;
                got.append(buf, static_cast<int>(n));
                wait.setRemainingTime(idleMs);
            }
        }
        return got;
    }
    QByteArray exchange(const QByteArray& request, int want) {
        if (!send(request)) return {};
        return receive(want);
    }
    // Sends the request and reads its reply byte by byte: when the first byte
    // came after the request was written, and how long the rest took.
    QByteArray timedExchange(const QByteArray& request, int want, double& firstMs, double& restMs) {
        QElapsedTimer clock;
        clock.start();
        if (!send(request)) return {};
        const QByteArray got = receive(want, kReplyMs, kReplyMs, &clock, &firstMs);
        restMs = clock.nsecsElapsed() / 1e6 - firstMs;
        return got;
    }

private:
    int fd_ = -1;
};

} // namespace

class TstSim : public QObject {
    Q_OBJECT

private:
    SimRelay relay_;
    Line line_;

    bool up(const QStringList& args = {}) {
        if (!relay_.start(args)) return false;
        return line_.open(relay_.linkPath());
    }
    QVector<int> readRegisters(int reg, int n, int address = 3) {
        const QByteArray r = line_.exchange(readRequest(address, reg, n), 2 * n + 5);
        if (r.size() != 2 * n + 5 || !crcOk(r)) return {};
        return registersOf(r);
    }
    // True when nothing comes back within a while (the relay did not hear it).
    bool unanswered(const QByteArray& request) {
        return line_.send(request) && line_.receive(1, 300).isEmpty();
    }
    bool writeRegister(int reg, int value) {
        const QByteArray req = writeRequest(3, reg, value);
        return line_.exchange(req, 8) == req;
    }
    QMap<QString, QString> lastLog() {
        const QStringList lines = relay_.logLines();
        return lines.isEmpty() ? QMap<QString, QString>{} : SimRelay::parseLogLine(lines.last());
    }

private slots:
    void cleanup() {
        line_.close();
        relay_.stop();
    }

    // The simulator keeps its own copy of the relay's register map: it must
    // agree with the one the program talks to.
    void registerMapAgrees() {
        QCOMPARE(sim::kRegisterCount, relay::kRegisterCount);
        QCOMPARE(sim::kFaultWordRegister, relay::kFaultWordRegister);
        QCOMPARE(sim::kOutputRelaysRegister, relay::kOutputRelaysRegister);
        QCOMPARE(sim::kNominalCurrentRegister, relay::kSetpointFirst);
        QCOMPARE(sim::kLastSetpointRegister, relay::kSetpointFirst + relay::kSetpointWritten - 1);
        QCOMPARE(sim::kVariantRegister, relay::kVariantRegister);
        QCOMPARE(sim::kDateRegister, relay::kDateRegister);
        QCOMPARE(sim::kTimeRegister, relay::kTimeRegister);
        QCOMPARE(relay::kSetpointFirst + relay::kSetpointBlock - 1, relay::kTimeRegister);
        QCOMPARE(sim::kFirstMemoryRegister, relay::kFaultMemoryFirst);
        QCOMPARE(2 * relay::kFaultMemoryBlocks * relay::kFaultMemoryBlockRegisters, sim::kMemoryBytes);
        QCOMPARE(relay::kFaultMemoryFirst + relay::kFaultMemoryBlocks * relay::kFaultMemoryBlockRegisters - 1,
                 sim::kRegisterCount);
        QCOMPARE(int(sim::kRelayK1), int(relay::kRelayK1));
        QCOMPARE(int(sim::kRelayK2), int(relay::kRelayK2));
        const QList<QPair<int, int>> bits{
            {sim::Overload, relay::Overload},          {sim::ShortCircuit, relay::ShortCircuit},
            {sim::Asymmetry, relay::Asymmetry},        {sim::DryRunning, relay::DryRunning},
            {sim::UnderVoltage, relay::UnderVoltage},  {sim::OverVoltage, relay::OverVoltage},
            {sim::PhaseSequence, relay::PhaseSequence}};
        for (const auto& [simBit, relayBit] : bits)
            QCOMPARE(simBit, relayBit);
    }

    void crcVectors_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("crc");
        QTest::newRow("read 1 register from address 1")
            << QByteArray::fromHex("010300000001") << QByteArray::fromHex("840A");
        QTest::newRow("fault reset at address 3")
            << QByteArray::fromHex("030600090000") << QByteArray::fromHex("582A");
    }
    void crcVectors() {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, crc);
        QCOMPARE(withCrc(frame).right(2), crc);
    }

    void measurementBlock() {
        QVERIFY(up());
        const QByteArray r = line_.exchange(readRequest(3, 1, 12), 29);
        QCOMPARE(r.size(), 29);
        QVERIFY(crcOk(r));
        QCOMPARE(r.left(3), QByteArray::fromHex("030318"));
        const QVector<int> v = registersOf(r);
        for (int k = 0; k < 3; ++k) {
            QVERIFY2(v[k] >= 75 && v[k] <= 115, qPrintable(QString::number(v[k])));
            QVERIFY2(v[3 + k] >= 380 && v[3 + k] <= 420, qPrintable(QString::number(v[3 + k])));
        }
        QVERIFY(v[6] > 40 && v[6] < 140); // heat at about the square of the load
        QVERIFY(v[7] >= 80 && v[7] <= 90);
        QCOMPARE(v[9], 0); // no fault
        QCOMPARE(v[10], int(sim::kRelayK1));
        QCOMPARE(v[11], 25); // In = 12,5 A on a variant 2 relay
    }

    void powerFollowsVoltageCurrentAndCosPhi_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<double>("ampsPerUnit");
        QTest::newRow("20 A relay") << 1 << 0.1;
        QTest::newRow("100 A relay") << 2 << 0.5;
        QTest::newRow("250 A relay") << 3 << 1.0;
    }
    void powerFollowsVoltageCurrentAndCosPhi() {
        QFETCH(int, variant);
        QFETCH(double, ampsPerUnit);
        QVERIFY(up({"--variant", QString::number(variant), "--freeze"}));
        const QVector<int> v = readRegisters(1, 12);
        QCOMPARE(v.size(), 12);
        double sum = 0;
        for (int k = 0; k < 3; ++k)
            sum += v[3 + k] * (v[k] / 100.0 * v[11] * ampsPerUnit);
        const double watts = v[7] / 100.0 * sum / std::sqrt(3.0);
        QVERIFY2(std::abs(v[8] * 10 - watts) <= 10,
                 qPrintable(QString("%1 vs %2 W").arg(v[8] * 10).arg(watts)));
        QCOMPARE(readRegisters(1, 12), v); // frozen: the same values again
    }

    void runningMotorMoves() {
        QVERIFY(up());
        QSet<QVector<int>> seen;
        for (int i = 0; i < 20; ++i)
            seen.insert(readRegisters(1, 3));
        QVERIFY(seen.size() > 1);
    }

    void setpointsStartValid_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<int>("inLow");
        QTest::addColumn<int>("inHigh");
        QTest::newRow("variant 1") << 1 << 20 << 200;
        QTest::newRow("variant 2") << 2 << 20 << 200;
        QTest::newRow("variant 3") << 3 << 25 << 250;
    }
    void setpointsStartValid() {
        QFETCH(int, variant);
        QFETCH(int, inLow);
        QFETCH(int, inHigh);
        QVERIFY(up({"--variant", QString::number(variant)}));
        const QVector<int> v = readRegisters(12, 14);
        QCOMPARE(v.size(), 14);
        QVERIFY(v[0] >= inLow && v[0] <= inHigh);
        const int low[] = {20, 1, 20, 5, 20, 0, 35, 70, 110, 0};
        const int high[] = {100, 20, 85, 255, 55, 250, 55, 90, 125, 60};
        for (int k = 0; k < 10; ++k)
            QVERIFY2(v[1 + k] >= low[k] && v[1 + k] <= high[k], qPrintable(QString::number(12 + 1 + k)));
        QCOMPARE(v[11], variant);
        int month = 0, day = 0, hour = 0, minute = 0;
        QVERIFY(sim::decodeMonthDay(uint16_t(v[12]), month, day));
        QVERIFY(sim::decodeHourMinute(uint16_t(v[13]), hour, minute));
        if (variant == 2) QCOMPARE(v.mid(0, 11), (QVector<int>{25, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5}));
    }

    void setpointWritesAreKept_data() {
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("value");
        QTest::newRow("In 100 A") << 12 << 200;
        QTest::newRow("short 10 x In") << 13 << 100;
        QTest::newRow("Q 300") << 14 << 20;
        QTest::newRow("Is 85") << 15 << 85;
        QTest::newRow("T1 255") << 16 << 255;
        QTest::newRow("Ia 55") << 17 << 55;
        QTest::newRow("T2 0") << 18 << 0;
        QTest::newRow("Un 550") << 19 << 55;
        QTest::newRow("Umin 70") << 20 << 70;
        QTest::newRow("Umax 125") << 21 << 125;
        QTest::newRow("Td 30,0") << 22 << 60;
        QTest::newRow("out of range is kept as written") << 13 << 65535;
    }
    void setpointWritesAreKept() {
        QFETCH(int, reg);
        QFETCH(int, value);
        QVERIFY(up());
        QVERIFY(writeRegister(reg, value)); // the reply echoes the request
        QCOMPARE(readRegisters(reg, 1), QVector<int>{value});
        QCOMPARE(lastLog().value("fn"), QString("3"));
        const QStringList lines = relay_.logLines();
        const auto write = SimRelay::parseLogLine(lines.at(lines.size() - 2));
        QCOMPARE(write.value("value"), QString::number(value));
        QCOMPARE(write.value("kept"), QString::number(value));
    }

    void writesAnsweredButIgnored_data() {
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("value");
        QTest::newRow("variant") << 23 << 3;
        QTest::newRow("a measurement") << 1 << 500;
        QTest::newRow("fault memory") << 26 << 0x1234;
        QTest::newRow("fault word, not 0") << 10 << 7;
    }
    void writesAnsweredButIgnored() {
        QFETCH(int, reg);
        QFETCH(int, value);
        QVERIFY(up({"--freeze"}));
        const QVector<int> before = readRegisters(reg, 1);
        QVERIFY(writeRegister(reg, value));
        QCOMPARE(readRegisters(reg, 1), before);
    }

    void clockRunsFromWhatWasWritten() {
        QVERIFY(up());
        QVERIFY(writeRegister(24, 0x1231));
        QVERIFY(writeRegister(25, 0x2359));
        const QVector<int> v = readRegisters(24, 2);
        // Read within the minute, or just after it rolled over into the new year.
        QVERIFY2(v == (QVector<int>{0x1231, 0x2359}) || v == (QVector<int>{0x0101, 0x0000}),
                 qPrintable(QString::number(v.value(0), 16) + " " + QString::number(v.value(1), 16)));
    }

    void invalidClockWriteHolds() {
        QVERIFY(up());
        QVERIFY(writeRegister(24, 0x1340));
        QCOMPARE(readRegisters(24, 1), QVector<int>{0x1340});
        QString status;
        QVERIFY(relay_.control("status", &status));
        QVERIFY(status.contains("clock=stopped"));
    }

    void clockModel_data() {
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<double>("after");
        QTest::addColumn<int>("monthDay");
        QTest::addColumn<int>("hourMinute");
        QTest::newRow("same minute") << 12 << 6 << 9 << 5 << 59.0 << 0x1206 << 0x0905;
        QTest::newRow("next minute") << 12 << 6 << 9 << 5 << 60.0 << 0x1206 << 0x0906;
        QTest::newRow("next hour") << 6 << 30 << 12 << 59 << 60.0 << 0x0630 << 0x1300;
        QTest::newRow("next month") << 4 << 30 << 23 << 59 << 60.0 << 0x0501 << 0x0000;
        QTest::newRow("new year") << 12 << 31 << 23 << 59 << 60.0 << 0x0101 << 0x0000;
        QTest::newRow("february has 29 days") << 2 << 28 << 23 << 59 << 60.0 << 0x0229 << 0x0000;
        QTest::newRow("then march") << 2 << 29 << 23 << 59 << 60.0 << 0x0301 << 0x0000;
        QTest::newRow("a whole year") << 3 << 1 << 0 << 0 << 366 * 86400.0 << 0x0301 << 0x0000;
    }
    void clockModel() {
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(double, after);
        QFETCH(int, monthDay);
        QFETCH(int, hourMinute);
        sim::RelayClock clock;
        clock.start(month, day, hour, minute, 0, 1000.0);
        QCOMPARE(int(clock.monthDay(1000.0 + after)), monthDay);
        QCOMPARE(int(clock.hourMinute(1000.0 + after)), hourMinute);
    }

    void clockWrites_data() {
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("monthDay");
        QTest::addColumn<int>("hourMinute");
        QTest::newRow("new date keeps the time") << 24 << 0x0704 << true << 0x0704 << 0x1030;
        QTest::newRow("new time keeps the date") << 25 << 0x2015 << true << 0x0506 << 0x2015;
        QTest::newRow("month 13 stops the clock") << 24 << 0x1301 << false << 0x1301 << 0x1030;
        QTest::newRow("february 30") << 24 << 0x0230 << false << 0x0230 << 0x1030;
        QTest::newRow("not BCD") << 25 << 0x0A00 << false << 0x0506 << 0x0A00;
        QTest::newRow("minute 60") << 25 << 0x1260 << false << 0x0506 << 0x1260;
    }
    void clockWrites() {
        QFETCH(int, reg);
        QFETCH(int, value);
        QFETCH(bool, running);
        QFETCH(int, monthDay);
        QFETCH(int, hourMinute);
        sim::RelayClock clock;
        clock.start(5, 6, 10, 30, 0, 0.0);
        clock.write(reg, uint16_t(value), 10.0);
        QCOMPARE(clock.running(), running);
        QCOMPARE(int(clock.monthDay(20.0)), monthDay);
        QCOMPARE(int(clock.hourMinute(20.0)), hourMinute);
    }

    void faultReset_data() {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("after");
        QTest::newRow("asymmetry clears") << 0x04 << 0;
        QTest::newRow("several faults clear") << 0x7E << 0;
        QTest::newRow("overload stays") << 0x01 << 0x01;
        QTest::newRow("overload keeps the others too") << 0x05 << 0x05;
    }
    void faultReset() {
        QFETCH(int, word);
        QFETCH(int, after);
        QVERIFY(up());
        QVERIFY(relay_.control(QString("fault %1").arg(word)));
        QCOMPARE(readRegisters(10, 2), (QVector<int>{word, int(sim::kRelayK2)}));
        QVERIFY(line_.exchange(QByteArray::fromHex("030600090000582A"), 8) ==
                QByteArray::fromHex("030600090000582A"));
        QCOMPARE(readRegisters(10, 2), (QVector<int>{after, int(after ? sim::kRelayK2 : sim::kRelayK1)}));
        const auto write = SimRelay::parseLogLine(relay_.logLines().at(1));
        QCOMPARE(write.value("rx"), QString("03 06 00 09 00 00 58 2A"));
        QCOMPARE(write.value("kept"), QString::number(after));
    }

    void tripScenario_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("bits");
        QTest::newRow("overload") << "overload" << 0x01;
        QTest::newRow("short circuit") << "short" << 0x02;
        QTest::newRow("asymmetry") << "asymmetry" << 0x04;
        QTest::newRow("dry running") << "dryrun" << 0x08;
        QTest::newRow("undervoltage") << "undervoltage" << 0x10;
        QTest::newRow("overvoltage") << "overvoltage" << 0x20;
        QTest::newRow("phase sequence") << "phase" << 0x40;
        QTest::newRow("two at once") << "overload,undervoltage" << 0x11;
    }
    void tripScenario() {
        QFETCH(QString, name);
        QFETCH(int, bits);
        QVERIFY(up({"--trip", name, "--empty-memory"}));
        const QVector<int> v = readRegisters(1, 11);
        QCOMPARE(v.value(9), bits);
        QCOMPARE(v.value(10), int(sim::kRelayK2));
        if (bits & 0x01) QVERIFY(v[0] > 110);
        if (bits & 0x10) QVERIFY(v[3] < 340);
        // The trip is in the fault memory, stamped with the relay's clock.
        const QVector<int> clock = readRegisters(24, 2);
        const QVector<int> memory = readRegisters(26, 3);
        QCOMPARE(memory.value(0) >> 8, bits);
        QCOMPARE(memory.value(0) & 0xFF, clock.value(0) >> 8);
        QCOMPARE(memory.value(1) >> 8, clock.value(0) & 0xFF);
        QVERIFY(relay_.control("trip none"));
        QCOMPARE(readRegisters(10, 1), QVector<int>{0});
    }

    void otherAddressesAreIgnored() {
        QVERIFY(up());
        QVERIFY(line_.send(readRequest(5, 1, 12)));
        QCOMPARE(line_.receive(1, 300), QByteArray());
        // The next request for this relay is answered as usual.
        QCOMPARE(readRegisters(12, 1), QVector<int>{25});
        const QStringList lines = relay_.logLines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(SimRelay::parseLogLine(lines[0]).value("action"), QString("ignored"));
        QCOMPARE(SimRelay::parseLogLine(lines[0]).value("reason"), QString("address"));
    }

    void busAddress_data() {
        QTest::addColumn<int>("address");
        QTest::newRow("1") << 1;
        QTest::newRow("32, a blank") << 32;
        QTest::newRow("247") << 247;
    }
    void busAddress() {
        QFETCH(int, address);
        QVERIFY(up({"--address", QString::number(address)}));
        QCOMPARE(readRegisters(12, 1, address), QVector<int>{25});
        QVERIFY(line_.send(readRequest(3, 12, 1)));
        QCOMPARE(line_.receive(1, 300), QByteArray());
        QVERIFY(relay_.control("address 3"));
        QCOMPARE(readRegisters(12, 1, 3), QVector<int>{25});
    }

    void badFramesAreIgnored_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("reason");
        QTest::newRow("wrong CRC") << QByteArray::fromHex("03030000000C0000") << "crc";
        QTest::newRow("stops short") << QByteArray::fromHex("0303000000") << "incomplete";
    }
    void badFramesAreIgnored() {
        QFETCH(QByteArray, frame);
        QFETCH(QString, reason);
        QVERIFY(up());
        QVERIFY(line_.send(frame));
        QCOMPARE(line_.receive(1, 300), QByteArray());
        QCOMPARE(readRegisters(12, 1), QVector<int>{25});
        const auto first = SimRelay::parseLogLine(relay_.logLines().value(0));
        QCOMPARE(first.value("rx"), hexOf(frame));
        QCOMPARE(first.value("action"), QString("ignored"));
        QCOMPARE(first.value("reason"), reason);
    }

    void unknownFunctionGetsAnException() {
        QVERIFY(up());
        QByteArray req = QByteArray::fromHex("030400000001");
        req = withCrc(req);
        const QByteArray r = line_.exchange(req, 5);
        QCOMPARE(r.left(3), QByteArray::fromHex("038401"));
        QVERIFY(crcOk(r));
        QCOMPARE(lastLog().value("exception"), QString("1"));
    }

    void broadcastWriteIsAppliedWithoutReply() {
        QVERIFY(up());
        QVERIFY(line_.send(writeRequest(0, 13, 50)));
        QCOMPARE(line_.receive(1, 300), QByteArray());
        QCOMPARE(readRegisters(13, 1), QVector<int>{50});
        QCOMPARE(SimRelay::parseLogLine(relay_.logLines().value(0)).value("action"), QString("broadcast"));
    }

    void backToBackRequests() {
        QVERIFY(up());
        const QByteArray both = readRequest(3, 1, 12) + readRequest(3, 23, 1);
        const QByteArray r = line_.exchange(both, 29 + 7);
        QCOMPARE(r.size(), 36);
        QVERIFY(crcOk(r.left(29)));
        QVERIFY(crcOk(r.mid(29)));
        QCOMPARE(registersOf(r.mid(29)), QVector<int>{2});
    }

    void injectedFaults_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("noreply") << "noreply";
        QTest::newRow("badcrc") << "badcrc";
        QTest::newRow("short") << "short";
        QTest::newRow("garbage-before") << "garbage-before";
        QTest::newRow("garbage-after") << "garbage-after";
        QTest::newRow("other-address") << "other-address";
    }
    void injectedFaults() {
        QFETCH(QString, command);
        QVERIFY(up({"--seed", "11"}));
        QVERIFY(relay_.control(command + " next 1"));
        const QByteArray r = line_.exchange(readRequest(3, 1, 12), 32);
        const auto log = lastLog();
        QCOMPARE(log.value("action"), command);
        QCOMPARE(log.value("tx"), hexOf(r)); // the log has exactly what came
        if (command == "noreply") {
            QVERIFY(r.isEmpty());
        } else if (command == "badcrc") {
            QCOMPARE(r.size(), 29);
            QVERIFY(!crcOk(r));
        } else if (command == "short") {
            QVERIFY(r.size() >= 1 && r.size() < 29);
        } else if (command == "garbage-before") {
            QVERIFY(r.size() > 29 && r.size() <= 32);
            QVERIFY(!crcOk(r.left(29)));
            QVERIFY(crcOk(r.right(29)));
        } else if (command == "garbage-after") {
            QVERIFY(r.size() > 29 && r.size() <= 32);
            QVERIFY(crcOk(r.left(29)));
        } else if (command == "other-address") {
            QCOMPARE(r.size(), 29);
            QVERIFY(crcOk(r));
            QVERIFY(r[0] != char(3));
        }
        // One reply only: the next is whole again.
        QCOMPARE(readRegisters(12, 1), QVector<int>{25});
    }

    void lateReply() {
        QVERIFY(up({"--late-ms", "400"}));
        QVERIFY(relay_.control("late next 1"));
        QVERIFY(line_.send(readRequest(3, 12, 1)));
        // The relay waits at least 400 ms, so nothing can be here after 100 ms.
        QCOMPARE(line_.receive(1, 100), QByteArray());
        const QByteArray r = line_.receive(7);
        QCOMPARE(r.size(), 7);
        QVERIFY(crcOk(r));
        QCOMPARE(lastLog().value("action"), QString("late"));
        QCOMPARE(lastLog().value("late"), QString("400"));
    }

    void countsComeInOrder() {
        QVERIFY(up());
        QVERIFY(relay_.control("noreply next 3"));
        QVERIFY(relay_.control("badcrc next 1"));
        QString status;
        QVERIFY(relay_.control("status", &status));
        QVERIFY(status.contains("queued=4"));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(line_.send(readRequest(3, 12, 1)));
            QCOMPARE(line_.receive(1, 200), QByteArray());
        }
        const QByteArray bad = line_.exchange(readRequest(3, 12, 1), 7);
        QCOMPARE(bad.size(), 7);
        QVERIFY(!crcOk(bad));
        QCOMPARE(readRegisters(12, 1), QVector<int>{25});
        QStringList actions;
        for (const QString& l : relay_.logLines())
            actions << SimRelay::parseLogLine(l).value("action");
        QCOMPARE(actions, (QStringList{"noreply", "noreply", "noreply", "badcrc", "reply"}));
    }

    void probabilities() {
        QVERIFY(up({"--seed", "7", "--no-reply", "0.3", "--bad-crc", "0.2"}));
        QMap<QString, int> seen;
        for (int i = 0; i < 100; ++i) {
            QVERIFY(line_.send(readRequest(3, 1, 12)));
            // The log line is written before the reply goes out: it tells what to expect.
            QStringList lines;
            QDeadlineTimer wait(kReplyMs);
            while ((lines = relay_.logLines()).size() <= i && !wait.hasExpired())
                QTest::qWait(1);
            QCOMPARE(lines.size(), i + 1);
            const QString action = SimRelay::parseLogLine(lines.last()).value("action");
            ++seen[action];
            if (action == "noreply") continue;
            const QByteArray r = line_.receive(29);
            QCOMPARE(r.size(), 29);
            QCOMPARE(crcOk(r), action == "reply");
        }
        QCOMPARE(seen.keys(), (QStringList{"badcrc", "noreply", "reply"}));
        // Binomial spreads of about 5 around 30, 20 and 50.
        QVERIFY2(seen["noreply"] >= 10 && seen["noreply"] <= 50,
                 qPrintable(QString::number(seen["noreply"])));
        QVERIFY2(seen["badcrc"] >= 5 && seen["badcrc"] <= 40, qPrintable(QString::number(seen["badcrc"])));
        QVERIFY(relay_.control("inject off"));
        QCOMPARE(readRegisters(12, 1), QVector<int>{25});
    }

    void probabilitiesAboveOneAreRefused() {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("SimRelay: the simulator ended at start.*"));
        QVERIFY(!relay_.start({"--no-reply", "0.7", "--bad-crc", "0.5"}));
        QVERIFY(up({"--no-reply", "0.7"}));
        QString answer;
        QVERIFY(!relay_.control("badcrc 0.5", &answer));
        QVERIFY(answer.startsWith("error"));
    }

    void logRecordsWhatWasSent() {
        QVERIFY(up());
        const QByteArray req = readRequest(3, 1, 12);
        const QByteArray r = line_.exchange(req, 29);
        QVERIFY(writeRegister(15, 33));
        const QStringList lines = relay_.logLines();
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith("t="));
        const auto read = SimRelay::parseLogLine(lines[0]);
        QCOMPARE(read.value("rx"), QString("03 03 00 00 00 0C 44 2D"));
        QCOMPARE(read.value("fn"), QString("3"));
        QCOMPARE(read.value("reg"), QString("1"));
        QCOMPARE(read.value("n"), QString("12"));
        QCOMPARE(read.value("action"), QString("reply"));
        QCOMPARE(read.value("tx"), hexOf(r));
        QStringList values;
        for (int v : registersOf(r))
            values << QString::number(v);
        QCOMPARE(read.value("values"), values.join(','));
        const auto write = SimRelay::parseLogLine(lines[1]);
        QCOMPARE(write.value("fn"), QString("6"));
        QCOMPARE(write.value("reg"), QString("15"));
        QCOMPARE(write.value("value"), QString("33"));
        QCOMPARE(write.value("tx"), write.value("rx"));
        QVERIFY(read.value("t").toDouble() <= write.value("t").toDouble());
    }

    void setRegisterFreezesTheMotor() {
        QVERIFY(up());
        QString answer;
        QVERIFY(relay_.control("set 1 9", &answer));
        QCOMPARE(answer, QString("ok 9"));
        const QVector<int> v = readRegisters(1, 12);
        QCOMPARE(v.value(0), 9);
        QCOMPARE(readRegisters(1, 12), v);
        QVERIFY(relay_.control("run"));
        QVERIFY(relay_.control("variant 3"));
        QCOMPARE(readRegisters(23, 1), QVector<int>{3});
        QVERIFY(relay_.control("set 23 0"));
        QCOMPARE(readRegisters(23, 1), QVector<int>{0});
    }

    void faultMemory() {
        QVERIFY(up({"--seed", "3"}));
        QVector<int> regs;
        for (int first : {26, 51, 76, 101})
            regs += readRegisters(first, 25);
        QCOMPARE(regs.size(), 100);
        QByteArray bytes;
        for (int r : regs)
            bytes.append(char(r >> 8)).append(char(r & 0xFF));
        int empty = 0;
        QSet<int> months;
        for (int k = 0; k < 40; ++k) {
            const QByteArray rec = bytes.mid(5 * k, 5);
            if (uint8_t(rec[0]) == 0xFF) {
                ++empty;
                continue;
            }
            int month = 0, day = 0, hour = 0, minute = 0;
            QVERIFY(sim::decodeMonthDay(uint16_t((uint8_t(rec[1]) << 8) | uint8_t(rec[2])), month, day));
            QVERIFY(sim::decodeHourMinute(uint16_t((uint8_t(rec[3]) << 8) | uint8_t(rec[4])), hour, minute));
            QVERIFY(rec[0] != 0 && !(uint8_t(rec[0]) & 0x80));
            months.insert(month);
        }
        QVERIFY(empty > 0 && empty < 40);
        QVERIFY(months.size() >= 4);

        QVERIFY(relay_.control("memory empty"));
        QCOMPARE(readRegisters(26, 25), QVector<int>(25, 0xFFFF));
        QVERIFY(relay_.control("record 0 0x11 12 6 19 5"));
        QVERIFY(relay_.control("record 1 2 1 31 0 0"));
        QCOMPARE(readRegisters(26, 5), (QVector<int>{0x1112, 0x0619, 0x0502, 0x0131, 0x0000}));
    }

    void controlErrors_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("unknown") << "bogus";
        QTest::newRow("empty") << "";
        QTest::newRow("register 0") << "set 0 1";
        QTest::newRow("register 126") << "set 126 1";
        QTest::newRow("value too big") << "set 12 65536";
        QTest::newRow("probability 2") << "noreply 2";
        QTest::newRow("negative count") << "noreply next -1";
        QTest::newRow("record 40") << "record 40 empty";
        QTest::newRow("trip unknown") << "trip fire";
        QTest::newRow("clock 31 april") << "clock 4 31 10 0";
        QTest::newRow("line baud 1234") << "line baud 1234";
        QTest::newRow("line baud 0") << "line baud 0";
        QTest::newRow("line parity mark") << "line parity mark";
        QTest::newRow("line data-bits 5") << "line data-bits 5";
        QTest::newRow("line stop-bits 3") << "line stop-bits 3";
        QTest::newRow("line timing maybe") << "line timing maybe";
        QTest::newRow("line response-ms -1") << "line response-ms -1";
        QTest::newRow("line response-ms 20000") << "line response-ms 20000";
        QTest::newRow("line speed 9600") << "line speed 9600";
    }
    void controlErrors() {
        QFETCH(QString, command);
        QVERIFY(up());
        QString answer;
        QVERIFY(!relay_.control(command, &answer));
        QVERIFY2(answer.startsWith("error"), qPrintable(answer));
        QVERIFY(relay_.control("help"));
    }

    void overlongControlLine() {
        QVERIFY(up());
        QString answer;
        QVERIFY(!relay_.control(QString(10000, 'x'), &answer));
        QCOMPARE(answer, QString("error line too long"));
        QVERIFY(relay_.control("get 12", &answer));
        QCOMPARE(answer, QString("ok 25"));
    }

    // Character time and what the relay hears, as plain rules.
    void lineRules_data() {
        QTest::addColumn<int>("parity"); // sim::Parity
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<int>("bits");
        QTest::newRow("8N1") << int(sim::Parity::None) << 8 << 1 << 10;
        QTest::newRow("8E1") << int(sim::Parity::Even) << 8 << 1 << 11;
        QTest::newRow("8O2") << int(sim::Parity::Odd) << 8 << 2 << 12;
        QTest::newRow("7E1") << int(sim::Parity::Even) << 7 << 1 << 10;
        QTest::newRow("7N2") << int(sim::Parity::None) << 7 << 2 << 10;
    }
    void lineRules() {
        QFETCH(int, parity);
        QFETCH(int, dataBits);
        QFETCH(int, stopBits);
        QFETCH(int, bits);
        const sim::LineFormat own{9600, sim::Parity(parity), dataBits, stopBits};
        QCOMPARE(sim::bitsPerCharacter(own), bits);
        QCOMPARE(sim::characterSeconds(own), bits / 9600.0);
        // The program as the terminal shows it at the relay's own settings is heard;
        // its character is taken as the longest the terminal leaves open (a
        // parity bit and 8 data bits), never shorter than the relay's own.
        const sim::SeenLine same{9600, own.parity == sim::Parity::Odd, stopBits};
        QVERIFY(sim::hearsProgram(own, same));
        const int longest = 1 + 8 + 1 + stopBits;
        QCOMPARE(sim::bitsPerCharacter(sim::programFormat(own, same)), longest);
        QVERIFY(longest >= bits);
        sim::SeenLine other = same;
        other.baud = 19200;
        QVERIFY(!sim::hearsProgram(own, other));
        QCOMPARE(sim::characterSeconds(sim::programFormat(own, other)), longest / 19200.0);
        other = same;
        other.stopBits = 3 - stopBits;
        QVERIFY(!sim::hearsProgram(own, other));
        QCOMPARE(sim::bitsPerCharacter(sim::programFormat(own, other)), longest - stopBits + other.stopBits);
        other = same;
        other.odd = !same.odd;
        QVERIFY(!sim::hearsProgram(own, other));
    }

    // The relay answers only a program at its own line settings, as far as the
    // terminal shows them: the speed, the stop bits, odd parity or not. None
    // and even parity, and 7 and 8 data bits, look alike on a pseudo-terminal.
    void lineSettings_data() {
        QTest::addColumn<QStringList>("relayArgs");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("parity");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<QString>("seen"); // empty: answered; else the log's line field
        const QStringList none;
        const QStringList at9600{"--baud", "9600"};
        QTest::newRow("defaults, 4800 8N1") << none << 4800 << "none" << 8 << 1 << "";
        QTest::newRow("program at 9600") << none << 9600 << "none" << 8 << 1 << "9600,none/even,1";
        QTest::newRow("program at 2400") << none << 2400 << "none" << 8 << 1 << "2400,none/even,1";
        QTest::newRow("program with 2 stop bits") << none << 4800 << "none" << 8 << 2 << "4800,none/even,2";
        QTest::newRow("program with odd parity") << none << 4800 << "odd" << 8 << 1 << "4800,odd,1";
        QTest::newRow("relay at 9600, program too") << at9600 << 9600 << "none" << 8 << 1 << "";
        QTest::newRow("relay at 9600, program at 4800")
            << at9600 << 4800 << "none" << 8 << 1 << "4800,none/even,1";
        QTest::newRow("relay at 9600, program at 19200")
            << at9600 << 19200 << "none" << 8 << 1 << "19200,none/even,1";
        QTest::newRow("relay odd, program none")
            << QStringList{"--parity", "odd"} << 4800 << "none" << 8 << 1 << "4800,none/even,1";
        QTest::newRow("relay odd, program even")
            << QStringList{"--parity", "odd"} << 4800 << "even" << 8 << 1 << "4800,none/even,1";
        QTest::newRow("relay 19200 8O2, program too")
            << QStringList{"--baud", "19200", "--parity", "odd", "--stop-bits", "2"} << 19200 << "odd" << 8
            << 2 << "";
        QTest::newRow("relay with 2 stop bits, program 1")
            << QStringList{"--stop-bits", "2"} << 4800 << "none" << 8 << 1 << "4800,none/even,1";
        QTest::newRow("timed relay, program at its speed")
            << QStringList{"--line-timing", "on", "--baud", "2400"} << 2400 << "none" << 8 << 1 << "";
        QTest::newRow("timed relay, program at another speed")
            << QStringList{"--line-timing", "on", "--baud", "2400"} << 4800 << "none" << 8 << 1
            << "4800,none/even,1";
        // What the terminal cannot show is not told apart.
        QTest::newRow("even parity looks like none") << none << 4800 << "even" << 8 << 1 << "";
        QTest::newRow("relay even, program none")
            << QStringList{"--parity", "even"} << 4800 << "none" << 8 << 1 << "";
        QTest::newRow("7 data bits look like 8") << none << 4800 << "none" << 7 << 1 << "";
        QTest::newRow("relay 7E1, program 8N1")
            << QStringList{"--parity", "even", "--data-bits", "7"} << 4800 << "none" << 8 << 1 << "";
    }
    void lineSettings() {
        QFETCH(QStringList, relayArgs);
        QFETCH(int, baud);
        QFETCH(QString, parity);
        QFETCH(int, dataBits);
        QFETCH(int, stopBits);
        QFETCH(QString, seen);
        QVERIFY(up(relayArgs));
        QVERIFY(line_.setLine(baud, parity, dataBits, stopBits));
        const QByteArray request = readRequest(3, 12, 1);
        if (seen.isEmpty()) {
            QCOMPARE(readRegisters(12, 1), QVector<int>{25});
            QCOMPARE(lastLog().value("action"), QString("reply"));
            QVERIFY(!lastLog().contains("line"));
            return;
        }
        QVERIFY(line_.send(request));
        QTRY_COMPARE_WITH_TIMEOUT(relay_.logLines().size(), 1, kReplyMs);
        QCOMPARE(line_.receive(1, 200), QByteArray());
        const auto log = lastLog();
        QCOMPARE(log.value("rx"), hexOf(request));
        QCOMPARE(log.value("action"), QString("ignored"));
        QCOMPARE(log.value("reason"), QString("line-settings"));
        QCOMPARE(log.value("line"), seen);
        QVERIFY(!log.contains("tx"));
    }

    // The program may change its settings, or close and reopen its port,
    // between two exchanges: each frame is judged by the settings it came with.
    void settingsReadAtEveryFrame() {
        QVERIFY(up({"--baud", "9600"}));
        QVERIFY(line_.setLine(9600, "none", 8, 1));
        QCOMPARE(readRegisters(12, 1), QVector<int>{25});
        QVERIFY(line_.setLine(9600, "none", 8, 2));
        QVERIFY(unanswered(readRequest(3, 12, 1)));
        QVERIFY(line_.open(relay_.linkPath())); // the terminal keeps the last settings
        QVERIFY(unanswered(readRequest(3, 12, 1)));
        QVERIFY(line_.setLine(9600, "even", 8, 1));
        QCOMPARE(readRegisters(12, 1), QVector<int>{25});
        QStringList actions;
        for (const QString& l : relay_.logLines())
            actions << SimRelay::parseLogLine(l).value("action");
        QCOMPARE(actions, (QStringList{"reply", "ignored", "ignored", "reply"}));
    }

    // The relay's own settings change at run time through the control socket.
    void lineCommands() {
        QVERIFY(up());
        QString answer;
        QVERIFY(relay_.control("line", &answer));
        QCOMPARE(answer,
                 QString("ok baud=4800 parity=none data-bits=8 stop-bits=1 timing=off response-ms=5"));
        QVERIFY(relay_.control("line baud 9600", &answer));
        QCOMPARE(answer,
                 QString("ok baud=9600 parity=none data-bits=8 stop-bits=1 timing=off response-ms=5"));
        QVERIFY(unanswered(readRequest(3, 12, 1))); // the program still at 4800
        QVERIFY(line_.setLine(9600, "none", 8, 1));
        QCOMPARE(readRegisters(12, 1), QVector<int>{25});
        QVERIFY(relay_.control("line parity odd"));
        QVERIFY(unanswered(readRequest(3, 12, 1)));
        QVERIFY(line_.setLine(9600, "odd", 8, 1));
        QCOMPARE(readRegisters(12, 1), QVector<int>{25});
        QVERIFY(relay_.control("line stop-bits 2"));
        QVERIFY(relay_.control("line data-bits 7"));
        QVERIFY(relay_.control("line timing on"));
        QVERIFY(relay_.control("line response-ms 20"));
        QVERIFY(line_.setLine(9600, "odd", 7, 2));
        QCOMPARE(readRegisters(12, 1), QVector<int>{25});
        QVERIFY(relay_.control("status", &answer));
        QVERIFY2(answer.endsWith(" baud=9600 parity=odd data-bits=7 stop-bits=2 timing=on response-ms=20"),
                 qPrintable(answer));
        QStringList reasons;
        for (const QString& l : relay_.logLines())
            reasons << SimRelay::parseLogLine(l).value("reason", "-");
        QCOMPARE(reasons, (QStringList{"line-settings", "-", "line-settings", "-", "-"}));
    }

    // With line timing no relay answers before it has heard the request: the
    // reply's first byte comes no sooner than the request's time on the wire
    // and the response delay, its bytes one character time apart. Without,
    // the relay answers at once, as a software peer on a port pair does.
    // Lower bounds only: a loaded machine makes everything later, never sooner.
    void replyWaitsForTheWire_data() {
        QTest::addColumn<QStringList>("relayArgs");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("baud");
        QTest::addColumn<bool>("odd");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<double>("delayMs"); // the relay's wait after hearing the request
        QTest::addColumn<bool>("paced");
        QTest::addColumn<double>(
            "beforeMs"); // without line timing: the first byte sooner than this (-1: no bound)
        QTest::newRow("timing off at 2400")
            << QStringList{"--baud", "2400"} << "" << 2400 << false << 1 << 0.0 << false << -1.0;
        QTest::newRow("timing off at 19200")
            << QStringList{"--baud", "19200"} << "" << 19200 << false << 1 << 0.0 << false << -1.0;
        // At 300 bit/s the request alone takes 267 ms on a wire: a relay
        // without line timing has answered long before.
        QTest::newRow("timing off at 300: at once")
            << QStringList{"--baud", "300"} << "" << 300 << false << 1 << 0.0 << false << 130.0;
        QTest::newRow("timing off, late reply") << QStringList{"--late-ms", "100"} << "late next 1" << 4800
                                                << false << 1 << 100.0 << false << -1.0;
        QTest::newRow("timing on at 2400") << QStringList{"--line-timing", "on", "--baud", "2400"} << ""
                                           << 2400 << false << 1 << 5.0 << true << -1.0;
        QTest::newRow("timing on at 9600, 30 ms turnaround")
            << QStringList{"--line-timing", "on", "--baud", "9600", "--response-ms", "30"} << "" << 9600
            << false << 1 << 30.0 << true << -1.0;
        QTest::newRow("timing on at 4800 8O2")
            << QStringList{"--line-timing", "on", "--parity", "odd", "--stop-bits", "2"} << "" << 4800 << true
            << 2 << 5.0 << true << -1.0;
        QTest::newRow("timing on, late reply")
            << QStringList{"--line-timing", "on", "--baud", "19200", "--late-ms", "100"} << "late next 1"
            << 19200 << false << 1 << 105.0 << true << -1.0;
    }
    void replyWaitsForTheWire() {
        QFETCH(QStringList, relayArgs);
        QFETCH(QString, command);
        QFETCH(int, baud);
        QFETCH(bool, odd);
        QFETCH(int, stopBits);
        QFETCH(double, delayMs);
        QFETCH(bool, paced);
        QFETCH(double, beforeMs);
        QVERIFY(up(relayArgs));
        QVERIFY(line_.setLine(baud, odd ? "odd" : "none", 8, stopBits));
        if (!command.isEmpty()) QVERIFY(relay_.control(command));
        double firstMs = 0, restMs = 0;
        const QByteArray r = line_.timedExchange(readRequest(3, 1, 12), 29, firstMs, restMs);
        QCOMPARE(r.size(), 29);
        QVERIFY(crcOk(r));
        const double requestMs = wireMs(8, baud, odd, stopBits);
        const QString figures = QString("first byte after %1 ms, the rest in %2 ms; request %3 ms")
                                    .arg(firstMs)
                                    .arg(restMs)
                                    .arg(requestMs);
        // With line timing the request's own time on the wire comes first.
        QVERIFY2(firstMs >= (paced ? requestMs : 0.0) + delayMs - 0.2, qPrintable(figures));
        if (beforeMs >= 0) QVERIFY2(firstMs < beforeMs, qPrintable(figures));
        // Paced: the last byte comes no sooner than the whole reply's wire time after that.
        if (paced)
            QVERIFY2(firstMs + restMs >= requestMs + delayMs + wireMs(29, baud, odd, stopBits) - 0.2,
                     qPrintable(figures));
        QCOMPARE(lastLog().value("action"), command.isEmpty() ? QString("reply") : QString("late"));
    }

    // The frame cutter works on the line as modelled, not on how the bytes
    // came through the terminal: a request whose bytes trickle in is still
    // one request, and a real silence still ends a frame.
    void trickledRequest_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("chunk");   // bytes written at once
        QTest::addColumn<int>("pauseMs"); // between the chunks
        QTest::addColumn<bool>("answered");
        QTest::newRow("byte by byte at 300 bit/s") << 300 << 1 << 5 << true;
        QTest::newRow("two halves at 2400 bit/s") << 2400 << 4 << 2 << true;
        QTest::newRow("two bytes at a time at 4800 bit/s") << 4800 << 2 << 1 << true;
        QTest::newRow("halves 100 ms apart at 19200 bit/s") << 19200 << 4 << 100 << false;
        QTest::newRow("halves 100 ms apart at 2400 bit/s") << 2400 << 4 << 100 << false;
    }
    void trickledRequest() {
        QFETCH(int, baud);
        QFETCH(int, chunk);
        QFETCH(int, pauseMs);
        QFETCH(bool, answered);
        QVERIFY(up({"--baud", QString::number(baud), "--line-timing", "on"}));
        QVERIFY(line_.setLine(baud, "none", 8, 1));
        const QByteArray request = readRequest(3, 12, 1);
        for (int i = 0; i < request.size(); i += chunk) {
            if (i > 0) QThread::msleep(static_cast<unsigned long>(pauseMs));
            QVERIFY(line_.send(request.mid(i, chunk)));
        }
        if (answered) {
            QCOMPARE(line_.receive(7), withCrc(QByteArray::fromHex("0303020019")));
            QCOMPARE(relay_.logLines().size(), 1);
            QCOMPARE(lastLog().value("rx"), hexOf(request));
            QCOMPARE(lastLog().value("action"), QString("reply"));
            return;
        }
        QCOMPARE(line_.receive(1, 500), QByteArray());
        QTRY_COMPARE_WITH_TIMEOUT(relay_.logLines().size(), 2, kReplyMs);
        const auto first = SimRelay::parseLogLine(relay_.logLines().at(0));
        QCOMPARE(first.value("rx"), hexOf(request.left(4)));
        QCOMPARE(first.value("action"), QString("ignored"));
        QCOMPARE(lastLog().value("rx"), hexOf(request.mid(4)));
        QCOMPARE(lastLog().value("action"), QString("ignored"));
    }

    void linkFollowsTheSimulator() {
        QVERIFY(up());
        const QString link = relay_.linkPath();
        QCOMPARE(QFileInfo(link).symLinkTarget(), relay_.slavePath());
        line_.close();
        relay_.stop();
        QVERIFY(!QFileInfo(link).isSymLink());

        QVERIFY(up());
        line_.close();
        relay_.kill(); // unplugged: the link is left dangling
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(relay_.restart());
        QVERIFY(line_.open(link));
        QCOMPARE(readRegisters(12, 1), QVector<int>{25});

        line_.close();
        ::kill(relay_.pid(), SIGINT);
        for (int i = 0; i < 500 && QFileInfo(link).isSymLink(); ++i)
            QTest::qWait(10);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void linkRefusesToReplaceAFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath("plain");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("SimRelay: the simulator ended at start.*"));
        QVERIFY(!relay_.start({"--link", file}));
        QVERIFY(QFileInfo(file).isFile());
    }
};

QTEST_GUILESS_MAIN(TstSim)
#include "tst_sim.moc"

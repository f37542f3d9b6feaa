// Register exchanges with a relay behind a network gateway on loopback: the
// round trip of a 12-register read through the driver and the register bus,
// over Modbus TCP and over RTU frames on TCP, against vrk-sim ($VRK_SIM, else
// this build's bin/vrk-sim); and the time a connect takes.
//
//   bench_network [exchanges]   (default 2000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <vector>

#include "protocol/registerbus.h"
#include "serial/tserialdriver.h"

namespace {

double nowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void measure(const QString& target, int exchanges) {
    TSerialDriver driver;
    driver.setPortName(target);
    RegisterBus bus(driver, [] { return 3; });
    const double c0 = nowMs();
    if (!driver.OpenPort()) {
        std::printf("%s: %s\n", qPrintable(target), qPrintable(driver.errorString()));
        return;
    }
    const double connectMs = nowMs() - c0;
    for (int i = 0; i < 50; ++i)
        (void)bus.Czytaj(1, 12); // warm-up
    std::vector<double> rtt;
    rtt.reserve(size_t(exchanges));
    int failed = 0;
    const double start = nowMs();
    for (int i = 0; i < exchanges; ++i) {
        const double t = nowMs();
        if (!bus.Czytaj(1, 12)) ++failed;
        rtt.push_back(nowMs() - t);
    }
    const double total = nowMs() - start;
    std::sort(rtt.begin(), rtt.end());
    const auto at = [&](double q) { return rtt[std::min(rtt.size() - 1, size_t(q * double(rtt.size())))]; };
    std::printf("%-26s connect %.2f ms; read of 12 registers: min %.3f, median %.3f, p99 %.3f, max %.3f ms; "
                "%.0f exchanges/s; %d failed of %d\n",
                qPrintable(driver.targetText()), connectMs, rtt.front(), at(0.5), at(0.99), rtt.back(),
                double(exchanges) / total * 1000.0, failed, exchanges);
    driver.ClosePort();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int exchanges = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    QString sim = qEnvironmentVariable("VRK_SIM");
    if (sim.isEmpty()) sim = QCoreApplication::applicationDirPath() + QStringLiteral("/vrk-sim");
    QProcess relay;
    relay.start(sim, {QStringLiteral("--freeze"), QStringLiteral("--tcp"), QStringLiteral("0"),
                      QStringLiteral("--rtu-tcp"), QStringLiteral("0")});
    QString tcp, rtu;
    QByteArray out;
    while ((tcp.isEmpty() || rtu.isEmpty()) && relay.waitForReadyRead(5000)) {
        out += relay.readAllStandardOutput();
        for (const QByteArray& line : out.split('\n')) {
            if (line.startsWith("modbus-tcp "))
                tcp = QStringLiteral("tcp://") + QString::fromLatin1(line.mid(11));
            if (line.startsWith("rtu-tcp "))
                rtu = QStringLiteral("rtu+tcp://") + QString::fromLatin1(line.mid(8));
        }
    }
    if (tcp.isEmpty() || rtu.isEmpty()) {
        std::fprintf(stderr, "bench_network: %s did not start\n", qPrintable(sim));
        return 1;
    }
    std::printf("vrk-sim on loopback, %d exchanges each\n", exchanges);
    measure(tcp, exchanges);
    measure(rtu, exchanges);
    relay.terminate();
    relay.waitForFinished();
    return 0;
}

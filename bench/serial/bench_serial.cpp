// Register exchanges over a pseudo-terminal: how fast and how cheaply the
// driver and the register bus read 12 registers, what a read without reply
// costs, and how the round trip compares with a master built on libmodbus.
//
// The far end is vrk-sim when $VRK_SIM names the built simulator, else a
// small responder inside this program that answers at once, as a software
// peer on a port pair does (a line without wire time: the bus takes such
// replies however soon they come, since they come faster than a wire could
// carry them). Round trips and their ratio count good exchanges only; the
// failed ones are counted and shown beside them.
//
//   bench_serial [exchanges [ours|libmodbus|unplug]]   (default 1000, both masters)
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <modbus.h>
#include <numeric>
#include <QCoreApplication>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "protocol/registerbus.h"
#include "serial/testing/pseudoterminal.h"
#include "serial/tserialdriver.h"
#include "wait/czekaj.h"

extern char** environ;

namespace {

constexpr int relayAddress = 3;
constexpr int silentAddress = 4; // nobody answers there
constexpr uint32_t inputTimeout = 100;

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double nowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Answers function 3 at relayAddress at once, from a thread of its own.
class Responder {
public:
    explicit Responder(PseudoTerminal& pty) : pty_(pty), thread_([this] { run(); }) {}
    ~Responder() {
        stop_ = true;
        thread_.join();
    }

private:
    void run() {
        std::vector<uint8_t> pending;
        std::vector<uint8_t> reply;
        reply.reserve(512);
        while (!stop_) {
            pollfd p{pty_.master(), POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            uint8_t buf[256];
            const ssize_t n = ::read(pty_.master(), buf, sizeof buf);
            if (n <= 0) continue;
            pending.insert(pending.end(), buf, buf + n);
            while (pending.size() >= 8) {
                const uint8_t* r = pending.data();
                const bool good = frames::crc16(r, 6) == (r[6] | r[7] << 8);
                if (good && r[0] == relayAddress && r[1] == 3) {
                    const int start = r[2] << 8 | r[3];
                    const int count = r[5];
                    reply.assign({r[0], 3, uint8_t(2 * count)});
                    for (int i = 0; i < count; ++i) {
                        const int v = 1000 + start + i;
                        reply.push_back(uint8_t(v >> 8));
                        reply.push_back(uint8_t(v));
                    }
                    const uint16_t crc = frames::crc16(reply.data(), reply.size());
                    reply.push_back(uint8_t(crc));
                    reply.push_back(uint8_t(crc >> 8));
                    pty_.send(reply.data(), reply.size());
                }
                pending.erase(pending.begin(), pending.begin() + 8);
            }
        }
    }
    PseudoTerminal& pty_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// vrk-sim on a pty of its own, linked to a path of ours.
class Simulator {
public:
    bool start(const std::string& program) {
        char dir[] = "/tmp/bench_serial_XXXXXX";
        if (!mkdtemp(dir)) return false;
        dir_ = dir;
        link_ = dir_ + "/tty";
        std::vector<std::string> args = {
            program,    "--link", link_,   "--address", std::to_string(relayAddress),
            "--freeze", "--baud", "19200", "--parity",  "odd"};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
            return false;
        }
        for (int i = 0; i < 500; ++i) {
            struct stat st {};
            if (stat(link_.c_str(), &st) == 0) return true;
            usleep(10000);
        }
        return false;
    }
    ~Simulator() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int waited = 0;
            while (waitpid(pid_, nullptr, WNOHANG) == 0) {
                if (++waited == 200) kill(pid_, SIGKILL); // 2 s
                usleep(10000);
            }
        }
        if (!link_.empty()) unlink(link_.c_str());
        if (!dir_.empty()) rmdir(dir_.c_str());
    }
    const std::string& path() const { return link_; }

private:
    pid_t pid_ = -1;
    std::string dir_, link_;
};

struct Figures {
    std::vector<double> rtt; // seconds, good exchanges only
    double wall = 0, cpu = 0;
    int exchanges = 0, failed = 0;
    double cpuPerExchange() const { return exchanges ? cpu / double(exchanges) : 0; }
};

void printFigures(const char* who, Figures f) {
    std::sort(f.rtt.begin(), f.rtt.end());
    const size_t n = f.rtt.size();
    if (n == 0) {
        std::printf("%-10s %6d exchanges, ALL FAILED: no round trip; CPU %6.1f us per exchange\n", who,
                    f.exchanges, f.cpuPerExchange() * 1e6);
        return;
    }
    const double mean = std::accumulate(f.rtt.begin(), f.rtt.end(), 0.0) / double(n);
    const double p50 = f.rtt[n / 2];
    const double p99 = f.rtt[std::min(n - 1, size_t(double(n) * 0.99))];
    std::printf("%-10s %6d exchanges, %zu good, %d FAILED: %8.0f exchanges/s; good ones' round trip mean "
                "%7.1f us, p50 %7.1f us, p99 %7.1f us, max %7.1f us; CPU %6.1f us per exchange\n",
                who, f.exchanges, n, f.failed, double(f.exchanges) / f.wall, mean * 1e6, p50 * 1e6, p99 * 1e6,
                f.rtt.back() * 1e6, f.cpuPerExchange() * 1e6);
}

double meanOf(const std::vector<double>& v) {
    return std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
}

void openDriver(TSerialDriver& driver, const std::string& path) {
    driver.setPortName(QString::fromStdString(path));
    driver.setBaudRateValue(19200);
    driver.setParity(ptODD);
    driver.setOutputTimeout(50);
    driver.setInputTimeout(inputTimeout);
    if (!driver.OpenPort()) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::exit(1);
    }
}

// One block of reads through the driver and the register bus, added to f.
void runOurs(const std::string& path, int count, Figures& f) {
    TSerialDriver driver;
    openDriver(driver, path);
    RegisterBus bus(driver, [] { return relayAddress; });
    for (int i = 0; i < 5; ++i)
        bus.Czytaj(1, 12);
    const double c0 = cpuSeconds(), w0 = nowSeconds();
    for (int i = 0; i < count; ++i) {
        const double t0 = nowSeconds();
        const bool good = bus.Czytaj(1, 12);
        const double rtt = nowSeconds() - t0;
        if (good)
            f.rtt.push_back(rtt);
        else
            ++f.failed;
        ++f.exchanges;
    }
    f.wall += nowSeconds() - w0;
    f.cpu += cpuSeconds() - c0;
}

void runNoReply(TSerialDriver& driver) {
    RegisterBus bus(driver, [] { return silentAddress; });
    constexpr int reads = 20;
    double wallMax = 0, wallSum = 0, cpuSum = 0;
    int answered = 0;
    for (int i = 0; i < reads; ++i) {
        const double c0 = cpuSeconds(), w0 = nowSeconds();
        if (bus.Czytaj(1, 12)) ++answered;
        const double wall = nowSeconds() - w0, cpu = cpuSeconds() - c0;
        wallSum += wall;
        cpuSum += cpu;
        wallMax = std::max(wallMax, wall);
    }
    const double wall = wallSum / reads;
    std::printf(
        "no reply   %6d reads%s: wall mean %.2f ms, max %.2f ms (InputTimeout %u ms, over by %.2f ms, "
        "target <= 2); CPU %.2f ms per read = %.1f %% of wall (target <= 10 %%)\n",
        reads, answered ? " (SOME WERE ANSWERED)" : "", wall * 1e3, wallMax * 1e3, inputTimeout,
        wall * 1e3 - inputTimeout, cpuSum / reads * 1e3, cpuSum / wallSum * 100);
}

// The adapter pulled while connected: the far end's side of the terminal
// closes under the open port and the poll goes on with its ticks (every
// 200 ms: the measurement read, 20 ms, the variant read) until it would drop
// the link after six failed reads. Printed: the process's CPU over that
// time as a share of one core (target < 1 %).
void runUnplug() {
    PseudoTerminal far;
    if (!far.ok()) return;
    TSerialDriver driver;
    driver.setPortName(QString::fromStdString(far.slavePath()));
    driver.setEnableDTROnOpen(false);
    driver.setHwFlow(hfNONE);
    if (!driver.OpenPort()) {
        std::fprintf(stderr, "cannot open %s\n", far.slavePath().c_str());
        return;
    }
    RegisterBus bus(driver, [] { return relayAddress; });
    far.closeMaster();
    constexpr int ticks = 6;
    constexpr uint32_t tickMs = 200;
    int failed = 0;
    rusage r0{}, r1{};
    getrusage(RUSAGE_SELF, &r0);
    const double w0 = nowSeconds();
    for (int i = 0; i < ticks; ++i) {
        const double t0 = nowSeconds();
        if (!bus.Czytaj(1, 12)) ++failed;
        czekaj(20);
        (void)bus.Czytaj(23, 1);
        const double spent = (nowSeconds() - t0) * 1e3;
        if (spent < tickMs) czekaj(uint32_t(tickMs - spent));
    }
    const double wall = nowSeconds() - w0;
    getrusage(RUSAGE_SELF, &r1);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    const double cpu =
        seconds(r1.ru_utime) - seconds(r0.ru_utime) + seconds(r1.ru_stime) - seconds(r0.ru_stime);
    std::printf(
        "unplugged  %6d poll ticks, %d measurement reads failed: wall %.0f ms, CPU %.1f ms = %.2f %% of "
        "a core (target < 1 %%)\n",
        ticks, failed, wall * 1e3, cpu * 1e3, cpu / wall * 100);
}

// The same block through libmodbus.
bool runLibmodbus(const std::string& path, int count, Figures& f) {
    modbus_t* ctx = modbus_new_rtu(path.c_str(), 19200, 'O', 8, 1);
    if (!ctx) return false;
    modbus_set_slave(ctx, relayAddress);
    modbus_set_response_timeout(ctx, 0, inputTimeout * 1000);
    if (modbus_connect(ctx) != 0) {
        std::fprintf(stderr, "libmodbus: connect failed: %s\n", modbus_strerror(errno));
        modbus_free(ctx);
        return false;
    }
    uint16_t dest[12];
    for (int i = 0; i < 5; ++i)
        modbus_read_registers(ctx, 0, 12, dest);
    const double c0 = cpuSeconds(), w0 = nowSeconds();
    for (int i = 0; i < count; ++i) {
        const double t0 = nowSeconds();
        const bool good = modbus_read_registers(ctx, 0, 12, dest) == 12;
        const double rtt = nowSeconds() - t0;
        if (good)
            f.rtt.push_back(rtt);
        else
            ++f.failed;
        ++f.exchanges;
    }
    f.wall += nowSeconds() - w0;
    f.cpu += cpuSeconds() - c0;
    modbus_close(ctx);
    modbus_free(ctx);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const std::string only = argc > 2 ? argv[2] : "";
    const bool runOursToo = only != "libmodbus", runReference = only != "ours";

    PseudoTerminal pty;
    std::unique_ptr<Responder> responder;
    Simulator sim;
    std::string path;
    const char* simProgram = std::getenv("VRK_SIM");
    if (simProgram && *simProgram && access(simProgram, X_OK) == 0 && sim.start(simProgram)) {
        path = sim.path();
        std::printf("far end: vrk-sim (%s) on %s\n", simProgram, path.c_str());
    } else {
        if (!pty.ok()) {
            std::fprintf(stderr, "no pseudo-terminal\n");
            return 1;
        }
        responder = std::make_unique<Responder>(pty);
        path = pty.slavePath();
        std::printf("far end: in-bench responder on %s%s\n", path.c_str(),
                    simProgram && *simProgram ? " (VRK_SIM did not start)" : "");
    }
    if (only == "unplug") {
        runUnplug();
        return 0;
    }
    std::printf("reads of registers 1-12 (29-byte replies), 19200 8O1 on a pty (no wire time)\n\n");

    // The two masters take turns in blocks, so that the load of the machine
    // falls on both alike.
    constexpr int rounds = 10;
    Figures ours, reference;
    for (int r = 0; r < rounds; ++r) {
        const int block = count / rounds + (r < count % rounds ? 1 : 0);
        if (runOursToo) runOurs(path, block, ours);
        if (runReference && !runLibmodbus(path, block, reference)) {
            std::fprintf(stderr, "libmodbus master could not run\n");
            return 1;
        }
    }
    if (runOursToo) printFigures("ours", ours);
    if (runReference) printFigures("libmodbus", reference);
    if (!runOursToo || !runReference) return 0;
    {
        TSerialDriver driver;
        openDriver(driver, path);
        runNoReply(driver);
    }
    runUnplug();
    std::sort(ours.rtt.begin(), ours.rtt.end());
    std::sort(reference.rtt.begin(), reference.rtt.end());
    // A ratio only over good exchanges of both, and only when nearly all were good.
    const bool comparable = !ours.rtt.empty() && !reference.rtt.empty() &&
                            ours.failed * 100 <= ours.exchanges &&
                            reference.failed * 100 <= reference.exchanges;
    if (!comparable) {
        std::printf("\nround trip ours / libmodbus: NO RATIO: %d of %d of ours and %d of %d of libmodbus's "
                    "exchanges failed (more than 1 %% on a side)\n",
                    ours.failed, ours.exchanges, reference.failed, reference.exchanges);
        return 1;
    }
    std::printf(
        "\nround trip ours / libmodbus over the good exchanges (%zu of %d ours, %zu of %d libmodbus): "
        "mean %.2f, p50 %.2f (target <= 1.2); CPU per exchange ours %.1f us / libmodbus %.1f us = "
        "%.2f\n",
        ours.rtt.size(), ours.exchanges, reference.rtt.size(), reference.exchanges,
        meanOf(ours.rtt) / meanOf(reference.rtt),
        ours.rtt[ours.rtt.size() / 2] / reference.rtt[reference.rtt.size() / 2], ours.cpuPerExchange() * 1e6,
        reference.cpuPerExchange() * 1e6, ours.cpuPerExchange() / reference.cpuPerExchange());
    return 0;
}

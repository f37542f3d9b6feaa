// vrk-sim: a stand-in relay on a pseudo-terminal. The program under test opens
// the terminal's slave side (or the --link symlink to it) as its serial port;
// the simulator reads the requests from the master side, cuts them into
// frames, lets libmodbus answer them from the relay model, spoils the replies
// as the fault injection says, writes them back and logs every exchange.
//
// With line timing on the line is modelled in time: each byte the program
// writes is heard one character time (at the program's speed, as the terminal
// shows it) after the line was free for it, a request is taken only once its
// last byte has been heard, and the reply follows after the response delay,
// one character time a byte. With it off the relay answers at once, as a
// software peer on a port pair does.
#include "sim/control.h"
#include "sim/controlsocket.h"
#include "sim/exchangelog.h"
#include "sim/injection.h"
#include "sim/line.h"
#include "sim/modbusslave.h"
#include "sim/netserver.h"
#include "sim/relay.h"
#include "sim/terminal.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <random>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>
#include <vector>

using namespace sim;

namespace {

constexpr double kFrameGap = 0.003; // silence that ends a frame, seconds
constexpr size_t kFixedRequest = 8; // function 3 and 6 requests are always 8 bytes
constexpr size_t kMaxFrame = 256;   // the longest RTU frame
constexpr size_t kMaxControlClients = 16;

volatile sig_atomic_t g_stop = 0;
int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    g_stop = 1;
    const char c = 's';
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

double monotonicNow() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

const char* const kUsage =
    "usage: vrk-sim [options]\n"
    "  --link PATH            symlink PATH to the terminal's slave device (replaces a stale link)\n"
    "  --address N            bus address 1..247 (default 3)\n"
    "  --variant 1|2|3        relay variant: 20 A, 100 A, 250 A (default 2)\n"
    "  --seed N               seed of the noise, the fault memory and the injection draws\n"
    "  --log FILE             append one line per received frame to FILE\n"
    "  --control PATH         listen for control commands on a UNIX stream socket at PATH\n"
    "  --no-reply P           probability 0..1 of dropping a reply\n"
    "  --bad-crc P            ... of a reply with a wrong CRC\n"
    "  --short-reply P        ... of a reply cut short\n"
    "  --late-reply P         ... of a reply sent late (see --late-ms)\n"
    "  --late-ms N            delay of a late reply in ms (default 150)\n"
    "  --garbage-before P     ... of 1-3 stray bytes before the reply\n"
    "  --garbage-after P      ... of 1-3 stray bytes after the reply\n"
    "  --other-address P      ... of a reply carrying another bus address\n"
    "  --trip NAME[,NAME]     start tripped: overload short asymmetry dryrun undervoltage\n"
    "                         overvoltage phase\n"
    "  --freeze               motor values without noise or drift\n"
    "  --empty-memory         fault memory with every slot empty\n"
    "  --command TEXT         run a control command at start (repeatable)\n"
    "  --baud N               the relay's line speed (default 4800)\n"
    "  --parity none|odd|even the relay's parity (default none)\n"
    "  --data-bits 7|8        the relay's data bits (default 8)\n"
    "  --stop-bits 1|2        the relay's stop bits (default 1)\n"
    "  --line-timing on|off   requests and replies take their time on the wire (default off)\n"
    "  --response-ms N        with line timing: the relay's turnaround in ms (default 5)\n"
    "  --tcp PORT             also serve the relay as Modbus TCP at PORT (0: any free port)\n"
    "  --rtu-tcp PORT         also serve its serial frames over TCP at PORT (a serial device server)\n"
    "  --listen HOST          the address --tcp and --rtu-tcp listen at (default 127.0.0.1)\n"
    "  --end-with-parent PID  end (as on SIGTERM) when process PID, the one that started it, ends\n"
    "  --tell PATH COMMAND..  send one control command to a running simulator, print the answer\n"
    "  --version              print the version and exit\n"
    "  --help                 print this text and exit\n";

struct Options {
    std::string link, log, control;
    int address = 3;
    int variant = 2;
    bool seedGiven = false;
    uint64_t seed = 0;
    int lateMs = 150;
    std::vector<std::pair<Action, double>> probabilities;
    std::string trip;
    bool freeze = false;
    bool emptyMemory = false;
    std::vector<std::string> commands;
    LineSettings line;
    int tcpPort = -1, rtuTcpPort = -1; // -1: not served
    std::string listen = "127.0.0.1";
    long parent = 0; // 0: outlives whoever started it
};

[[noreturn]] void usageError(const std::string& what) {
    std::fprintf(stderr, "vrk-sim: %s\n%s", what.c_str(), kUsage);
    std::exit(2);
}

Options parseOptions(int argc, char** argv) {
    Options o;
    static const struct {
        const char* option;
        Action action;
    } injections[] = {
        {"--no-reply", Action::NoReply},
        {"--bad-crc", Action::BadCrc},
        {"--short-reply", Action::Short},
        {"--late-reply", Action::Late},
        {"--garbage-before", Action::GarbageBefore},
        {"--garbage-after", Action::GarbageAfter},
        {"--other-address", Action::OtherAddress},
    };
    for (int i = 1; i < argc; ++i) {
        std::string opt = argv[i];
        std::string value;
        bool inlineValue = false;
        if (const auto eq = opt.find('='); opt.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = opt.substr(eq + 1);
            opt = opt.substr(0, eq);
            inlineValue = true;
        }
        auto arg = [&]() -> std::string {
            if (inlineValue) return value;
            if (i + 1 >= argc) usageError(opt + " needs a value");
            return argv[++i];
        };
        long n = 0;
        if (opt == "--help" || opt == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (opt == "--version") {
            std::printf("vrk-sim %s\n", VRK_VERSION);
            std::exit(0);
        } else if (opt == "--link") {
            o.link = arg();
        } else if (opt == "--log") {
            o.log = arg();
        } else if (opt == "--control") {
            o.control = arg();
        } else if (opt == "--address") {
            if (!parseInt(arg(), 1, 247, n)) usageError("--address must be 1..247");
            o.address = static_cast<int>(n);
        } else if (opt == "--variant") {
            if (!parseInt(arg(), 1, 3, n)) usageError("--variant must be 1, 2 or 3");
            o.variant = static_cast<int>(n);
        } else if (opt == "--seed") {
            const std::string s = arg();
            char* end = nullptr;
            errno = 0;
            o.seed = std::strtoull(s.c_str(), &end, 0);
            if (s.empty() || *end != '\0' || errno != 0) usageError("--seed must be a number");
            o.seedGiven = true;
        } else if (opt == "--late-ms") {
            if (!parseInt(arg(), 0, 60000, n)) usageError("--late-ms must be 0..60000");
            o.lateMs = static_cast<int>(n);
        } else if (opt == "--trip") {
            o.trip = arg();
        } else if (opt == "--freeze") {
            o.freeze = true;
        } else if (opt == "--empty-memory") {
            o.emptyMemory = true;
        } else if (opt == "--command") {
            o.commands.push_back(arg());
        } else if (opt == "--baud") {
            if (!parseInt(arg(), 1, 4000000, n) || !isLineSpeed(n))
                usageError("--baud must be a standard speed from 110 to 115200");
            o.line.own.baud = static_cast<int>(n);
        } else if (opt == "--parity") {
            if (!parityByName(arg(), o.line.own.parity)) usageError("--parity must be none, odd or even");
        } else if (opt == "--data-bits") {
            if (!parseInt(arg(), 7, 8, n)) usageError("--data-bits must be 7 or 8");
            o.line.own.dataBits = static_cast<int>(n);
        } else if (opt == "--stop-bits") {
            if (!parseInt(arg(), 1, 2, n)) usageError("--stop-bits must be 1 or 2");
            o.line.own.stopBits = static_cast<int>(n);
        } else if (opt == "--line-timing") {
            const std::string v = arg();
            if (v != "on" && v != "off") usageError("--line-timing must be on or off");
            o.line.timing = v == "on";
        } else if (opt == "--tcp" || opt == "--rtu-tcp") {
            if (!parseInt(arg(), 0, 65535, n)) usageError(opt + " must be a port 0..65535");
            (opt == "--tcp" ? o.tcpPort : o.rtuTcpPort) = static_cast<int>(n);
        } else if (opt == "--listen") {
            o.listen = arg();
        } else if (opt == "--end-with-parent") {
            if (!parseInt(arg(), 1, 4194304, n)) usageError("--end-with-parent must be a process id");
            o.parent = n;
        } else if (opt == "--response-ms") {
            if (!parseInt(arg(), 0, kMaxResponseMs, n)) usageError("--response-ms must be 0..10000");
            o.line.responseMs = static_cast<int>(n);
        } else {
            bool found = false;
            for (const auto& inj : injections) {
                if (opt == inj.option) {
                    double p = 0;
                    if (!parseProbability(arg(), p)) usageError(opt + " must be a probability 0..1");
                    o.probabilities.emplace_back(inj.action, p);
                    found = true;
                }
            }
            if (!found) usageError("unknown option " + opt);
        }
    }
    return o;
}

// ---- the simulator

// A byte from the program: when it arrived, when its transmission began on
// the modelled line and when the relay has heard all of it.
struct RxByte {
    uint8_t value = 0;
    double start = 0;
    double heard = 0;
    bool heardRight = true; // the relay's line settings agreed with the program's
    SeenLine seen;
};

// A reply waiting for its time. With line timing byte k reaches the program
// at due + (k + 1) character times (after its stop bit); without, all at due.
struct Pending {
    double due = 0;
    double characterSeconds = 0; // 0: all bytes at once
    size_t sent = 0;
    bool logged = false;
    Exchange exchange;
    // A request that came over the network: the reply goes back on its connection.
    int server = -1;
    NetRequest request;
    Action action = Action::Reply;
    Bytes clean;
    double nextByteAt() const {
        return exchange.tx.empty() ? due : due + static_cast<double>(sent + 1) * characterSeconds;
    }
};

class Simulator {
public:
    Simulator(const Options& o, double start)
        : opt_(o), start_(start), relay_(o.variant, o.seed, start), injection_(o.seed ^ 0x1A7E5EEDULL),
          address_(o.address), line_(o.line) {}

    int run();

private:
    bool setUp();
    void tearDown();
    double now() const { return monotonicNow(); }
    void readLine();
    void cutFrames();
    double nextRxEvent() const;
    void process(const Bytes& frame, double takenAt, const RxByte* misheard, int server = -1,
                 const NetRequest* request = nullptr);
    void serveNetwork(int server, const std::vector<pollfd>& fds, size_t first);
    void sendDue();
    void writeLog(Exchange& e);
    void acceptControl();
    std::string command(const std::string& line);

    Options opt_;
    double start_;
    Relay relay_;
    Injection injection_;
    int address_;
    LineSettings line_;
    Counters counters_;
    ModbusSlave slave_;
    int master_ = -1, slaveFd_ = -1, logFd_ = -1, controlFd_ = -1;
    std::vector<int> claims_; // descriptors holding the --link and --control paths
    std::string slaveName_;
    bool linked_ = false;
    std::deque<RxByte> rx_;
    double lineFree_ = 0; // when the modelled line has carried every byte received so far
    std::deque<Pending> out_;
    std::vector<ControlClient> clients_;
    std::unique_ptr<NetServer> net_[2]; // Modbus TCP, RTU over TCP
    int dropAfter_ = 0;                 // > 0: the connection of that request from now is closed unanswered
};

std::string Simulator::command(const std::string& line) {
    // The network's own faults: connections closed now, or at a coming request.
    if (line == "disconnect") {
        size_t n = 0;
        for (auto& server : net_)
            if (server) n += server->dropAll();
        return "ok " + std::to_string(n) + " connection(s) closed";
    }
    if (line.rfind("disconnect after ", 0) == 0) {
        long n = 0;
        if (!parseInt(line.substr(17), 1, 1000000, n))
            return "error: disconnect after N (1 or more requests)";
        dropAfter_ = static_cast<int>(n);
        return "ok";
    }
    const std::string a =
        runCommand(line, Controlled{relay_, injection_, address_, counters_, opt_.seed, line_}, now());
    if (address_ != slave_.address()) slave_.setAddress(address_);
    return a;
}

bool Simulator::setUp() {
    std::string error;
    char name[256] = {0};
    if (::openpty(&master_, &slaveFd_, name, nullptr, nullptr) != 0) {
        std::fprintf(stderr, "vrk-sim: openpty: %s\n", std::strerror(errno));
        return false;
    }
    slaveName_ = name;
    // The simulator keeps the slave side open itself so that the terminal
    // survives the program under test closing and reopening its port.
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slaveFd_, F_SETFD, FD_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (!makeRaw(slaveFd_, line_.own)) {
        std::fprintf(stderr, "vrk-sim: raw mode: %s\n", std::strerror(errno));
        return false;
    }
    if (!slave_.open(address_, error)) {
        std::fprintf(stderr, "vrk-sim: %s\n", error.c_str());
        return false;
    }
    const struct {
        int port;
        NetFraming framing;
    } served[2] = {{opt_.tcpPort, NetFraming::ModbusTcp}, {opt_.rtuTcpPort, NetFraming::RtuOverTcp}};
    std::string netText;
    for (int i = 0; i < 2; ++i) {
        if (served[i].port < 0) continue;
        net_[i] = std::make_unique<NetServer>();
        if (!net_[i]->listen(served[i].framing, opt_.listen, served[i].port, error)) {
            std::fprintf(stderr, "vrk-sim: %s\n", error.c_str());
            return false;
        }
        netText += " " + net_[i]->describe();
    }
    if (!opt_.log.empty()) {
        logFd_ = ::open(opt_.log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (logFd_ < 0) {
            std::fprintf(stderr, "vrk-sim: log %s: %s\n", opt_.log.c_str(), std::strerror(errno));
            return false;
        }
        const std::string head = "# vrk-sim slave=" + slaveName_ + " address=" + std::to_string(address_) +
                                 " variant=" + std::to_string(opt_.variant) +
                                 " seed=" + std::to_string(opt_.seed) + " " + describe(line_) + netText +
                                 "\n";
        [[maybe_unused]] const ssize_t n = ::write(logFd_, head.data(), head.size());
    }
    // A live simulator's link or control socket is never taken over.
    for (const std::string& path : {opt_.link, opt_.control}) {
        if (path.empty()) continue;
        const int claim = claimPath(path, error);
        if (claim < 0) {
            std::fprintf(stderr, "vrk-sim: %s\n", error.c_str());
            return false;
        }
        claims_.push_back(claim);
    }
    if (!opt_.control.empty()) {
        controlFd_ = listenControl(opt_.control, error);
        if (controlFd_ < 0) {
            std::fprintf(stderr, "vrk-sim: %s\n", error.c_str());
            return false;
        }
    }
    // Start-up state, then the commands given on the command line.
    injection_.setLateMs(opt_.lateMs);
    for (const auto& [action, p] : opt_.probabilities) {
        if (!injection_.setProbability(action, p)) {
            std::fprintf(stderr, "vrk-sim: the injection probabilities add up to more than 1\n");
            return false;
        }
    }
    if (opt_.emptyMemory) relay_.clearMemory();
    if (!opt_.trip.empty()) {
        const std::string a = command("trip " + opt_.trip);
        if (a.rfind("ok", 0) != 0) {
            std::fprintf(stderr, "vrk-sim: --trip: %s\n", a.c_str());
            return false;
        }
    }
    if (opt_.freeze) relay_.freeze(true, now());
    for (const auto& c : opt_.commands) {
        const std::string a = command(c);
        if (a.rfind("ok", 0) != 0) {
            std::fprintf(stderr, "vrk-sim: --command %s: %s\n", c.c_str(), a.c_str());
            return false;
        }
    }
    if (!opt_.link.empty()) {
        if (!makeLink(opt_.link, slaveName_, error)) {
            std::fprintf(stderr, "vrk-sim: %s\n", error.c_str());
            return false;
        }
        linked_ = true;
    }
    // Everything is in place: tell whoever started us where the relay is.
    std::printf("%s\n", slaveName_.c_str());
    for (const auto& server : net_)
        if (server) std::printf("%s\n", server->describe().c_str());
    std::fflush(stdout);
    return true;
}

void Simulator::tearDown() {
    if (linked_) removeLink(opt_.link, slaveName_);
    if (controlFd_ >= 0) {
        ::close(controlFd_);
        ::unlink(opt_.control.c_str());
    }
    for (auto& c : clients_)
        if (c.fd >= 0) ::close(c.fd);
    if (logFd_ >= 0) ::close(logFd_);
    for (const int claim : claims_)
        ::close(claim);
    claims_.clear();
    if (master_ >= 0) ::close(master_);
    if (slaveFd_ >= 0) ::close(slaveFd_);
}

void Simulator::writeLog(Exchange& e) {
    if (logFd_ < 0) return;
    e.t = now() - start_;
    const std::string line = logLine(e);
    // One write per line on an append-only descriptor: a reader never sees half a line.
    [[maybe_unused]] const ssize_t n = ::write(logFd_, line.data(), line.size());
}

void Simulator::readLine() {
    uint8_t buf[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            // The program may have changed its settings since the last bytes:
            // read them again for every batch.
            const double t = now();
            SeenLine seen;
            if (!readSeenLine(master_, seen)) seen.baud = 0;
            const bool right = hearsProgram(line_.own, seen);
            // Without line timing the relay hears a request the moment it is
            // written, as a software peer on a port pair does.
            const double character = line_.timing ? characterSeconds(programFormat(line_.own, seen)) : 0.0;
            for (ssize_t i = 0; i < n; ++i) {
                RxByte b;
                b.value = buf[i];
                b.start = std::max(t, lineFree_);
                b.heard = b.start + character;
                b.heardRight = right;
                b.seen = seen;
                lineFree_ = b.heard;
                rx_.push_back(b);
            }
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break; // EAGAIN; EIO cannot happen while we hold the slave side open
    }
    cutFrames();
}

// A frame ends after 8 bytes of a function 3 or 6 request (the program sends
// requests back to back), at kMaxFrame bytes, or at a silence of kFrameGap
// after a byte: all on the modelled line, so a request is taken only once its
// last byte has been heard, however its bytes came through the terminal.
void Simulator::cutFrames() {
    for (;;) {
        const double t = now();
        size_t take = 0;
        double takenAt = 0;
        for (size_t k = 0; k < rx_.size() && k < kMaxFrame; ++k) {
            const RxByte& b = rx_[k];
            if (b.heard > t) break; // still on the line
            if (k + 1 == kFixedRequest && (rx_[1].value == 3 || rx_[1].value == 6)) {
                take = kFixedRequest;
                takenAt = b.heard;
                break;
            }
            if (k + 1 == kMaxFrame) {
                take = kMaxFrame;
                takenAt = b.heard;
                break;
            }
            const double silenceEnd = k + 1 < rx_.size() ? rx_[k + 1].start : t;
            if (silenceEnd - b.heard >= kFrameGap) {
                take = k + 1;
                takenAt = b.heard + kFrameGap;
                break;
            }
        }
        if (take == 0) return;
        Bytes frame;
        const RxByte* misheard = nullptr;
        for (size_t k = 0; k < take; ++k) {
            frame.push_back(rx_[k].value);
            if (!rx_[k].heardRight && !misheard) misheard = &rx_[k];
        }
        const RxByte first = misheard ? *misheard : rx_.front();
        rx_.erase(rx_.begin(), rx_.begin() + static_cast<long>(take));
        process(frame, takenAt, misheard ? &first : nullptr);
    }
}

// When the line next needs a look: the next byte heard, or the silence after
// the last one.
double Simulator::nextRxEvent() const {
    for (const RxByte& b : rx_)
        if (b.heard > now()) return b.heard;
    return rx_.back().heard + kFrameGap;
}

void Simulator::process(const Bytes& frame, double takenAt, const RxByte* misheard, int server,
                        const NetRequest* request) {
    ++counters_.requests;
    const double t = now();
    Pending p;
    Exchange& e = p.exchange;
    e.rx = frame;
    // Never before the request was heard; with line timing after the turnaround too.
    p.due = takenAt + (line_.timing ? line_.responseMs / 1000.0 : 0.0);
    if (line_.timing) p.characterSeconds = characterSeconds(line_.own);
    if (request) {
        // Over the network there is no wire time: the reply leaves at once.
        p.server = server;
        p.request = *request;
        p.due = takenAt;
        p.characterSeconds = 0;
    }
    if (misheard) {
        // At other line settings the relay hears garbage and answers nothing.
        ++counters_.ignored;
        p.due = takenAt;
        e.action = "ignored";
        e.reason = "line-settings";
        e.line = describe(misheard->seen);
        out_.push_back(std::move(p));
        sendDue();
        return;
    }
    const Outcome o = slave_.handle(frame, relay_, t);
    if (o.kind == Outcome::Ignored) {
        ++counters_.ignored;
        e.action = "ignored";
        e.reason = o.reason;
    } else {
        e.fn = o.fn;
        e.reg = o.reg;
        e.count = o.count;
        e.value = o.value;
        e.kept = o.kept;
        e.exception = o.exception;
        e.values = o.values;
        e.hasTx = true;
        if (o.kind == Outcome::Broadcast) {
            e.action = "broadcast";
        } else {
            const Action a = injection_.next();
            e.action = actionName(a);
            e.tx = injection_.apply(a, o.reply, address_);
            p.action = a;
            p.clean = o.reply;
            if (a == Action::Late) {
                e.lateMs = injection_.lateMs();
                p.due += injection_.lateMs() / 1000.0;
            }
        }
    }
    out_.push_back(std::move(p));
    sendDue();
}

// Replies leave in the order their requests came: a late reply holds back
// the replies to requests that arrived while it waited. With line timing one
// byte goes out per character time; the loop sleeps between them.
void Simulator::sendDue() {
    while (!out_.empty() && out_.front().nextByteAt() <= now()) {
        Pending& p = out_.front();
        const Bytes& tx = p.exchange.tx;
        // The line goes to the log before the bytes go out, so whoever has the
        // reply in hand finds its line already there.
        if (!p.logged) {
            writeLog(p.exchange);
            p.logged = true;
        }
        if (p.server >= 0) {
            if (net_[p.server]) net_[p.server]->reply(p.request, p.action, p.clean, tx);
            p.sent = tx.size();
        }
        while (p.sent < tx.size()) {
            size_t count = tx.size() - p.sent;
            if (p.characterSeconds > 0) {
                // Is the next byte's time come?
                const double t = now();
                count = 0;
                while (p.sent + count < tx.size() &&
                       p.due + static_cast<double>(p.sent + count + 1) * p.characterSeconds <= t)
                    ++count;
                if (count == 0) return;
                // A line never bursts: after a late wake-up the bytes still leave
                // one character time apart, from now on.
                if (count > 1) {
                    count = 1;
                    p.due = t - static_cast<double>(p.sent + 1) * p.characterSeconds;
                }
            }
            const ssize_t n = ::write(master_, tx.data() + p.sent, count);
            if (n > 0) {
                p.sent += static_cast<size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                return; // the terminal is full: go on when it takes more
            } else {
                p.sent = tx.size(); // the line is gone: drop the rest
            }
        }
        if (!tx.empty()) ++counters_.replies;
        out_.pop_front();
    }
}

void Simulator::serveNetwork(int server, const std::vector<pollfd>& fds, size_t first) {
    std::vector<NetRequest> requests;
    net_[server]->serve(fds, first, requests);
    for (const NetRequest& r : requests) {
        if (dropAfter_ > 0 && --dropAfter_ == 0) {
            // The connection goes before this request is answered.
            net_[server]->drop(r.connection);
            ++counters_.requests;
            Exchange e;
            e.rx = r.rtu;
            e.action = "disconnect";
            writeLog(e);
            continue;
        }
        process(r.rtu, now(), nullptr, server, &r);
    }
}

void Simulator::acceptControl() {
    for (;;) {
        const int fd = ::accept4(controlFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        if (clients_.size() >= kMaxControlClients || !peerAllowed(fd)) {
            ::close(fd);
            continue;
        }
        clients_.push_back(ControlClient{fd, {}, false});
    }
}

int Simulator::run() {
    if (!setUp()) {
        tearDown();
        return 1;
    }
    while (!g_stop) {
        std::vector<pollfd> fds;
        fds.push_back({g_signalPipe[0], POLLIN, 0});
        const bool blocked = !out_.empty() && out_.front().nextByteAt() <= now();
        fds.push_back({master_, static_cast<short>(POLLIN | (blocked ? POLLOUT : 0)), 0});
        if (controlFd_ >= 0) fds.push_back({controlFd_, POLLIN, 0});
        const size_t firstClient = fds.size();
        for (const auto& c : clients_)
            fds.push_back({c.fd, POLLIN, 0});
        const size_t clientsEnd = fds.size();
        size_t firstNet[2] = {0, 0};
        for (int i = 0; i < 2; ++i)
            if (net_[i]) {
                firstNet[i] = fds.size();
                net_[i]->addPollFds(fds);
            }

        // Sleep until the next thing on the line is due, to the microsecond:
        // at 19200 bit/s a character takes about half a millisecond.
        double wait = -1;
        if (!rx_.empty()) wait = std::max(0.0, nextRxEvent() - now());
        if (!out_.empty() && !blocked) {
            const double w = std::max(0.0, out_.front().nextByteAt() - now());
            wait = wait < 0 ? w : std::min(wait, w);
        }
        timespec timeout{};
        if (wait >= 0) {
            const auto ns = static_cast<long long>(wait * 1e9) + 20000; // just past the moment
            timeout.tv_sec = static_cast<time_t>(ns / 1000000000LL);
            timeout.tv_nsec = static_cast<long>(ns % 1000000000LL);
        }
        const int ready = ::ppoll(fds.data(), fds.size(), wait < 0 ? nullptr : &timeout, nullptr);
        if (ready < 0 && errno != EINTR) {
            std::fprintf(stderr, "vrk-sim: poll: %s\n", std::strerror(errno));
            break;
        }
        if (g_stop) break;
        // Control first: a command sent before a request applies to that request.
        if (controlFd_ >= 0 && (fds[2].revents & POLLIN)) acceptControl();
        for (size_t i = firstClient; i < clientsEnd; ++i)
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR))
                clients_[i - firstClient].serve([this](const std::string& line) { return command(line); });
        clients_.erase(
            std::remove_if(clients_.begin(), clients_.end(), [](const ControlClient& c) { return c.fd < 0; }),
            clients_.end());
        for (int i = 0; i < 2; ++i)
            if (net_[i]) serveNetwork(i, fds, firstNet[i]);
        if (fds[1].revents & POLLIN) readLine();
        cutFrames();
        sendDue();
    }
    tearDown();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--tell") == 0) {
            if (i + 2 >= argc) usageError("--tell needs a socket path and a command");
            std::string command;
            for (int k = i + 2; k < argc; ++k)
                command += (command.empty() ? "" : " ") + std::string(argv[k]);
            const std::string answer = tellControl(argv[i + 1], command);
            if (!answer.empty()) std::printf("%s\n", answer.c_str());
            return answer.rfind("ok", 0) == 0 ? 0 : 1;
        }

    const Options opt = [&] {
        Options o = parseOptions(argc, argv);
        if (!o.seedGiven) o.seed = std::random_device{}();
        return o;
    }();

    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("vrk-sim: pipe");
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // At a file-size limit a write fails with EFBIG instead of ending the simulator.
    std::signal(SIGXFSZ, SIG_IGN);
    // A test that crashes must not leave its simulator holding the test's standard error open.
    if (opt.parent != 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != static_cast<pid_t>(opt.parent)) { // gone before the line above
            std::fprintf(stderr, "vrk-sim: process %ld, which started it, has ended\n", opt.parent);
            return 1;
        }
    }

    Simulator sim(opt, monotonicNow());
    return sim.run();
}

#include "tests/simfixture.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {
constexpr int kStartMs = 10000; // generous: only there to catch a simulator that never comes up
constexpr int kStopMs = 5000;
constexpr int kAnswerMs = 5000;
constexpr qint64 kMaxLine = 4096;
constexpr int kMaxLogLines = 2000000;

// Reads one line of at most kMaxLine bytes; the rest of a longer line is skipped unread.
bool readBoundedLine(QFile& f, QByteArray& line) {
    line = f.readLine(kMaxLine);
    if (line.isEmpty()) return false;
    if (!line.endsWith('\n')) {
        char c = 0;
        while (f.getChar(&c) && c != '\n') {
        }
    }
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return true;
}
} // namespace

SimRelay::SimRelay() = default;

SimRelay::~SimRelay() {
    stop();
}

QString SimRelay::program() {
    const QString env = qEnvironmentVariable("VRK_SIM");
    if (!env.isEmpty()) return env;
#ifdef VRK_SIM_PATH
    return QStringLiteral(VRK_SIM_PATH);
#else
    return qEnvironmentVariable("VRK_BIN_DIR") + QStringLiteral("/bin/vrk-sim");
#endif
}

QString SimRelay::linkPath() const {
    return dir_.filePath(QStringLiteral("com1"));
}
QString SimRelay::logPath() const {
    return dir_.filePath(QStringLiteral("sim.log"));
}
QString SimRelay::controlPath() const {
    return dir_.filePath(QStringLiteral("control"));
}

bool SimRelay::start(const QStringList& extraArgs) {
    stop();
    QFile::remove(logPath());
    return launch(extraArgs);
}

bool SimRelay::launch(const QStringList& extraArgs) {
    stop();
    if (!dir_.isValid()) {
        qWarning("SimRelay: no temporary folder");
        return false;
    }
    args_ = extraArgs;
    slavePath_.clear();
    const QString out = dir_.filePath(QStringLiteral("stdout"));
    QFile::remove(out);

    QStringList all = {program(),
                       QStringLiteral("--link"),
                       linkPath(),
                       QStringLiteral("--log"),
                       logPath(),
                       QStringLiteral("--control"),
                       controlPath(),
                       QStringLiteral("--end-with-parent"),
                       QString::number(QCoreApplication::applicationPid())};
    all += extraArgs;
    std::vector<QByteArray> bytes;
    for (const QString& a : all)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (auto& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray outPath = out.toLocal8Bit();
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // The simulator must not hold the test's own descriptors (a terminal the test has open, say).
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    // Default signal handling and an empty mask, whatever the test process has set.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, stops;
    sigemptyset(&none);
    sigemptyset(&stops);
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGPIPE})
        sigaddset(&stops, sig);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &stops);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        qWarning("SimRelay: cannot start %s: %s", argv[0], std::strerror(rc));
        return false;
    }
    pid_ = pid;
    if (!waitReady()) {
        stop();
        return false;
    }
    qputenv("VRK_COM1", linkPath().toLocal8Bit());
    return true;
}

// Ready when the simulator has printed its terminal's name: it does so after the
// link, the log and the control socket are in place.
bool SimRelay::waitReady() {
    const QString out = dir_.filePath(QStringLiteral("stdout"));
    QDeadlineTimer deadline(kStartMs);
    while (!deadline.hasExpired()) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            qWarning("SimRelay: the simulator ended at start (status %d)", status);
            pid_ = -1;
            return false;
        }
        QFile f(out);
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray line = f.readLine(kMaxLine);
            if (line.endsWith('\n') && QFileInfo(linkPath()).isSymLink()) {
                slavePath_ = QString::fromLocal8Bit(line.trimmed());
                return true;
            }
        }
        QThread::msleep(5);
    }
    qWarning("SimRelay: the simulator did not come up within %d ms", kStartMs);
    return false;
}

bool SimRelay::reap(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_ || (r < 0 && errno == ECHILD)) {
            pid_ = -1;
            return true;
        }
        if (deadline.hasExpired()) return false;
        QThread::msleep(2);
    }
}

void SimRelay::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    if (reap(kStopMs)) return;
    qWarning("SimRelay: the simulator ignored SIGTERM; killing it");
    kill();
}

void SimRelay::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    reap(kStopMs);
    pid_ = -1;
}

bool SimRelay::restart() {
    const QStringList args = args_;
    return launch(args);
}

bool SimRelay::control(const QString& command, QString* answer) {
    if (answer) answer->clear();
    const QByteArray path = controlPath().toLocal8Bit();
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    if (static_cast<size_t>(path.size()) >= sizeof sa.sun_path) return false;
    std::memcpy(sa.sun_path, path.constData(), static_cast<size_t>(path.size()) + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool ok = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) {
        const QByteArray line = command.toUtf8() + '\n';
        if (::send(fd, line.constData(), static_cast<size_t>(line.size()), MSG_NOSIGNAL) == line.size()) {
            QByteArray reply;
            QDeadlineTimer deadline(kAnswerMs);
            char buf[256];
            while (!reply.contains('\n') && reply.size() < kMaxLine && !deadline.hasExpired()) {
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, static_cast<int>(qMax<qint64>(1, deadline.remainingTime()))) <= 0) continue;
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n <= 0) break;
                reply.append(buf, static_cast<int>(n));
            }
            const QString text = QString::fromUtf8(reply.left(reply.indexOf('\n')));
            if (answer) *answer = text;
            ok = reply.contains('\n') && text.startsWith(QLatin1String("ok"));
        }
    }
    ::close(fd);
    return ok;
}

QStringList SimRelay::logLines() const {
    QStringList lines;
    QFile f(logPath());
    // The log is the simulator's regular file; anything else is not read.
    if (!QFileInfo(f).isFile() || !f.open(QIODevice::ReadOnly)) return lines;
    QByteArray line;
    while (lines.size() < kMaxLogLines && readBoundedLine(f, line)) {
        if (!line.isEmpty() && !line.startsWith('#')) lines.append(QString::fromLatin1(line));
    }
    return lines;
}

QMap<QString, QString> SimRelay::parseLogLine(const QString& line) {
    QMap<QString, QString> fields;
    QString key;
    for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int eq = word.indexOf(QLatin1Char('='));
        if (eq > 0) {
            key = word.left(eq);
            fields[key] = word.mid(eq + 1);
        } else if (!key.isEmpty()) {
            // A hex byte list goes on over blanks.
            QString& v = fields[key];
            v += v.isEmpty() ? word : QLatin1Char(' ') + word;
        }
    }
    return fields;
}

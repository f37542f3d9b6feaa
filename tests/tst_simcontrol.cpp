// The simulator's control socket and paths as a shared machine sees them: the
// socket is its owner's alone whatever the umask, another user's commands are
// not obeyed, and a second simulator never takes over a live one's link or
// socket.
#include "tests/simfixture.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

// In a child process running as another user: connects to the socket, sends
// "trip overload" and reads for up to 2 s. Exit status 0: connection refused
// or no answer; 1: an answer came; 2: the child could not change its user.
int tripAsOtherUser(const QString& socketPath) {
    const QByteArray path = QFile::encodeName(socketPath);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un sa{};
        sa.sun_family = AF_UNIX;
        std::memcpy(sa.sun_path, path.constData(), size_t(path.size()) + 1);
        if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) ::_exit(0);
        const char command[] = "trip overload\n";
        if (::send(fd, command, sizeof command - 1, MSG_NOSIGNAL) != ssize_t(sizeof command - 1)) ::_exit(0);
        pollfd p{fd, POLLIN, 0};
        char c = 0;
        if (::poll(&p, 1, 2000) > 0 && ::read(fd, &c, 1) == 1) ::_exit(1);
        ::_exit(0);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

} // namespace

class TstSimControl : public QObject {
    Q_OBJECT
private slots:
    void socketIsTheOwners_data();
    void socketIsTheOwners();
    void otherUserNotObeyed_data();
    void otherUserNotObeyed();
    void secondSimulatorRefused_data();
    void secondSimulatorRefused();
    void endsWithTheProcessThatStartedIt();
};

void TstSimControl::socketIsTheOwners_data() {
    QTest::addColumn<int>("mask");
    QTest::newRow("umask 000") << 0;
    QTest::newRow("umask 022") << 022;
}

void TstSimControl::socketIsTheOwners() {
    QFETCH(int, mask);
    SimRelay relay;
    const mode_t old = ::umask(mode_t(mask)); // the simulator inherits it
    const bool started = relay.start();
    ::umask(old);
    QVERIFY(started);
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(relay.controlPath()).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 07777), 0600);
}

void TstSimControl::otherUserNotObeyed_data() {
    QTest::addColumn<bool>("openToAll"); // the socket's mode opened to everyone after the start
    QTest::newRow("as created") << false;
    QTest::newRow("mode opened to everyone") << true;
}

// Even where the file's mode lets another user connect, the simulator asks
// the kernel who the peer is and ignores a stranger.
void TstSimControl::otherUserNotObeyed() {
    QFETCH(bool, openToAll);
    QVERIFY2(::geteuid() == 0, "this test needs to run as root to act as another user");
    SimRelay relay;
    QVERIFY(relay.start());
    QVERIFY(relay.control(QStringLiteral("trip none")));
    QString before;
    QVERIFY(relay.control(QStringLiteral("get 10"), &before));
    if (openToAll) {
        QCOMPARE(::chmod(QFile::encodeName(relay.controlPath()).constData(), 0777), 0);
        // The folder too, so the path can be reached.
        QCOMPARE(::chmod(QFile::encodeName(QFileInfo(relay.controlPath()).absolutePath()).constData(), 0777),
                 0);
    }
    QCOMPARE(tripAsOtherUser(relay.controlPath()), 0);
    QString after;
    QVERIFY(relay.control(QStringLiteral("get 10"), &after));
    QCOMPARE(after, before); // no trip
}

void TstSimControl::secondSimulatorRefused_data() {
    QTest::addColumn<bool>("sameLink"); // else the same control socket
    QTest::newRow("the same --link") << true;
    QTest::newRow("the same --control") << false;
}

void TstSimControl::secondSimulatorRefused() {
    QFETCH(bool, sameLink);
    SimRelay relay;
    QVERIFY(relay.start());
    const QString target = QFileInfo(relay.linkPath()).symLinkTarget();
    QVERIFY(!target.isEmpty());
    QTemporaryDir other;
    QVERIFY(other.isValid());
    QProcess second;
    second.start(SimRelay::program(),
                 {QStringLiteral("--link"),
                  sameLink ? relay.linkPath() : other.filePath(QStringLiteral("link")),
                  QStringLiteral("--control"),
                  sameLink ? other.filePath(QStringLiteral("control")) : relay.controlPath()});
    QVERIFY(second.waitForStarted());
    if (!second.waitForFinished(10000)) {
        second.kill();
        second.waitForFinished();
        QFAIL("the second simulator took over instead of refusing");
    }
    QVERIFY(second.exitCode() != 0);
    QVERIFY2(second.readAllStandardError().contains("another simulator"), "no reason given");
    // The first one is untouched: its link, its socket.
    QCOMPARE(QFileInfo(relay.linkPath()).symLinkTarget(), target);
    QVERIFY(relay.control(QStringLiteral("status")));
}

// A test that crashes leaves no simulator behind holding its standard error: the shell here
// stands for the test, and is killed outright.
void TstSimControl::endsWithTheProcessThatStartedIt() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("link"));
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), QStringLiteral("\"$0\" --link \"$1\" --end-with-parent $$ & wait"),
                 SimRelay::program(), link});
    QVERIFY(shell.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), 20000);
    shell.kill();
    QVERIFY(shell.waitForFinished());
    // Ended as on SIGTERM: its link goes with it.
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo(link).isSymLink(), 20000);
    // Told to end with a process that is not its parent (init), it does not start and says why.
    QProcess orphan;
    orphan.start(SimRelay::program(),
                 {QStringLiteral("--link"), link, QStringLiteral("--end-with-parent"), QStringLiteral("1")});
    QVERIFY(orphan.waitForFinished(20000));
    QCOMPARE(orphan.exitCode(), 1);
    QVERIFY(orphan.readAllStandardError().contains("has ended"));
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_MAIN(TstSimControl)
#include "tst_simcontrol.moc"

#pragma once
// Small helpers for tests that write files and watch the process's memory.
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace filetest {

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline QByteArray readBack(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<unreadable>";
    return f.readAll();
}

// Peak resident memory of this process, in kB; resettable on Linux.
inline qint64 peakRssKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

inline bool resetPeakRss() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

// Limits the size of any file this process writes, for as long as it lives:
// the one way to make a write fail for the superuser.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tiny = old_;
        tiny.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &tiny) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

private:
    struct rlimit old_ {};
    void (*handler_)(int) = nullptr;
    bool ok_ = false;
};

} // namespace filetest

namespace filetest {

// Makes a folder immutable for as long as it lives: no entry can be created,
// renamed or removed in it, even by the superuser, while the files in it stay
// writable. Needs a file system with the flag (ext4, xfs, btrfs) and the
// right to set it; ok() tells whether it was set.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const QString& path) : path_(path) {
        ok_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path_}) == 0;
    }
    ~ImmutableFolder() {
        if (ok_) QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
    }
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;
    bool ok() const { return ok_; }

private:
    QString path_;
    bool ok_ = false;
};

} // namespace filetest

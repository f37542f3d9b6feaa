#pragma once
// What every fuzzer shares: the Qt application object, a scratch folder on
// tmpfs for the readers that take a path, a cursor over the input bytes, and
// a check that turns a broken promise into a crash libFuzzer records.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace fuzz {

// A promise of the code under test that the input broke.
[[noreturn]] inline void broken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "\n==fuzz== broken promise at %s:%d: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) ::fuzz::broken(#cond, __FILE__, __LINE__);                                              \
    } while (0)

// The application object some Qt classes want (timers, text codecs).
inline void initQt() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

// One scratch folder per process, on tmpfs when there is one, removed at exit.
inline const QString& scratchDir() {
    static std::unique_ptr<QTemporaryDir> dir = [] {
        const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                                : QDir::tempPath();
        auto d = std::make_unique<QTemporaryDir>(base + QStringLiteral("/vrk-fuzz-XXXXXX"));
        if (!d->isValid()) broken("no scratch folder", __FILE__, __LINE__);
        return d;
    }();
    static const QString path = dir->path();
    return path;
}

// Writes the bytes as the whole content of the scratch file `name`; returns its path.
inline QString writeScratch(const char* name, const uint8_t* data, size_t size) {
    const QString path = scratchDir() + QLatin1Char('/') + QLatin1String(name);
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) broken("cannot create the scratch file", __FILE__, __LINE__);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) broken("cannot write the scratch file", __FILE__, __LINE__);
        done += size_t(n);
    }
    ::close(fd);
    return path;
}

// Takes the input apart: small numbers from the front, the rest as bytes.
class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : p_(data), n_(size) {}
    bool empty() const { return n_ == 0; }
    size_t left() const { return n_; }
    uint8_t byte() {
        if (n_ == 0) return 0;
        --n_;
        return *p_++;
    }
    uint16_t word() { return uint16_t(byte() << 8 | byte()); }
    // Up to count bytes (fewer at the end of the input).
    QByteArray bytes(size_t count) {
        if (count > n_) count = n_;
        QByteArray out(reinterpret_cast<const char*>(p_), qsizetype(count));
        p_ += count;
        n_ -= count;
        return out;
    }
    QByteArray rest() { return bytes(n_); }

private:
    const uint8_t* p_;
    size_t n_;
};

} // namespace fuzz

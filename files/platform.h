#pragma once
// The operating system's part of the file module: plain C++ without Qt, one
// implementation per platform (platform_posix.cpp, platform_win32.cpp).
#include <string>

namespace files::platform {

enum class OpenOutcome {
    Opened,      // a regular file, open for reading
    IsDirectory, // refused
    NotRegular,  // refused: a FIFO, a device, a socket or the like
    Failed,      // the system refused; reason holds its words
};

struct OpenedFile {
    OpenOutcome outcome = OpenOutcome::Failed;
    int fd = -1;        // a C runtime descriptor for reading, when Opened
    std::string reason; // the system's reason (UTF-8), when not Opened
};

// Opens the existing file at utf8Path for reading when, and only when, it is
// a regular file (a symbolic link is followed). Never waits: a FIFO without a
// writer or a device is looked at without being opened for good, then
// refused. The caller owns fd and closes it.
OpenedFile openRegularForReading(const std::string& utf8Path);

// Closes a descriptor that openRegularForReading gave and nothing else took.
void closeDescriptor(int fd);

// The common reasons a file operation fails, which the program says in its
// own words.
enum class Reason {
    NoSpace,
    ReadOnly,
    Permission,
    TooLarge,
    Quota,
    NotFound,
    InputOutput,
    IsFolder,
    NameTooLong
};
constexpr Reason kReasons[] = {Reason::NoSpace,     Reason::ReadOnly, Reason::Permission,
                               Reason::TooLarge,    Reason::Quota,    Reason::NotFound,
                               Reason::InputOutput, Reason::IsFolder, Reason::NameTooLong};
// The system's own text for a reason, as the toolkit passes it on (UTF-8).
std::string systemText(Reason reason);

// Renames the file at from over the entry at to, whatever that entry is
// (a symbolic link is replaced, not followed). False with the system's reason.
bool replaceEntry(const std::string& fromUtf8, const std::string& toUtf8, std::string* reason);

// Makes the system put what was written through fd on the disk itself.
// False with the system's reason.
bool syncDescriptor(int fd, std::string* reason);

// The process's file-size limit in bytes; -1 when there is none.
long long fileSizeLimit();

// A write beyond the process's file-size limit fails with its error instead
// of ending the process, so the checked writes report it.
void reportFileSizeLimitAsError();

} // namespace files::platform

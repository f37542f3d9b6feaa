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

} // namespace files::platform

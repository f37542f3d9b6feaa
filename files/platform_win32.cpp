// The file module's Win32 part.
#include "files/platform.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace files::platform {
namespace {

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

std::string systemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out;
    if (n > 0 && text) {
        const int len = WideCharToMultiByte(CP_UTF8, 0, text, int(n), nullptr, 0, nullptr, nullptr);
        out.resize(size_t(len > 0 ? len : 0));
        if (len > 0) WideCharToMultiByte(CP_UTF8, 0, text, int(n), out.data(), len, nullptr, nullptr);
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
            out.pop_back();
    }
    if (text) LocalFree(text);
    if (out.empty()) out = "Windows error " + std::to_string(code);
    return out;
}

} // namespace

OpenedFile openRegularForReading(const std::string& utf8Path) {
    OpenedFile r;
    const std::wstring path = wide(utf8Path);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        r.outcome = OpenOutcome::IsDirectory;
        r.reason = systemMessage(ERROR_DIRECTORY);
        return r;
    }
    // A busy pipe or an absent device fails at once; nothing here waits.
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        r.reason = systemMessage(GetLastError());
        return r;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(h);
        r.outcome = OpenOutcome::NotRegular;
        return r;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        r.reason = systemMessage(GetLastError());
        CloseHandle(h);
        return r;
    }
    r.outcome = OpenOutcome::Opened;
    r.fd = fd;
    return r;
}

void closeDescriptor(int fd) {
    if (fd >= 0) _close(fd);
}

std::string systemText(Reason reason) {
    switch (reason) {
    case Reason::NoSpace:
        return systemMessage(ERROR_DISK_FULL);
    case Reason::ReadOnly:
        return systemMessage(ERROR_WRITE_PROTECT);
    case Reason::Permission:
        return systemMessage(ERROR_ACCESS_DENIED);
    case Reason::TooLarge:
        return systemMessage(ERROR_FILE_TOO_LARGE);
    case Reason::Quota:
        return systemMessage(ERROR_HANDLE_DISK_FULL);
    case Reason::NotFound:
        return systemMessage(ERROR_FILE_NOT_FOUND);
    case Reason::InputOutput:
        return systemMessage(ERROR_IO_DEVICE);
    case Reason::IsFolder:
        return systemMessage(ERROR_DIRECTORY);
    case Reason::NameTooLong:
        return systemMessage(ERROR_FILENAME_EXCED_RANGE);
    }
    return {};
}

bool replaceEntry(const std::string& fromUtf8, const std::string& toUtf8, std::string* reason) {
    if (MoveFileExW(wide(fromUtf8).c_str(), wide(toUtf8).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *reason = systemMessage(GetLastError());
    return false;
}

bool syncDescriptor(int fd, std::string* reason) {
    const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (h != INVALID_HANDLE_VALUE && FlushFileBuffers(h)) return true;
    *reason = systemMessage(h == INVALID_HANDLE_VALUE ? ERROR_INVALID_HANDLE : GetLastError());
    return false;
}

long long fileSizeLimit() {
    return -1; // no per-process limit
}

void reportFileSizeLimitAsError() {
    // Windows has no signal for a file-size limit: a write beyond it fails.
}

} // namespace files::platform

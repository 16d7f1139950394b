// The run log's file on Windows. Its path may lie in a folder that another
// account could have prepared: nothing here follows a link, writes to a file
// that has a second name, or renames anything by its path.
#include <windows.h>

#include <fcntl.h>

#include <string>
#include <vector>

#include "platform/HandleStream.h"
#include "platform/Platform.h"
#include "platform/WideText.h"

namespace {

constexpr DWORD kNoLinkFollowed = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;

// What a handle opened without following a link has reached.
LogFileState::Status Inspect(HANDLE file, long long& size) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return LogFileState::kUnopenable;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return LogFileState::kLink;
    }
    if (info.nNumberOfLinks > 1) {
        return LogFileState::kSecondName;
    }
    size = (static_cast<long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return LogFileState::kOpened;
}

// The new name as the file system takes it from a handle: a full NT path, so
// that it names the log's own folder, never the current directory.
std::wstring NtPath(const char* path) {
    const std::wstring wide = AnsiToWide(path);
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
        return std::wstring();
    }
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), length, &full[0], nullptr);
    if (written == 0 || written >= length) {
        return std::wstring();
    }
    full.resize(written);
    return L"\\??\\" + full;
}

// The record holds its name past its own end: its room is counted in words,
// so that it starts aligned for the handle it holds.
bool RenameByHandle(HANDLE file, const std::wstring& target) {
    const size_t nameBytes = target.size() * sizeof(wchar_t);
    const size_t bytes = sizeof(FILE_RENAME_INFO) + nameBytes;
    std::vector<ULONGLONG> buffer((bytes + sizeof(ULONGLONG) - 1) / sizeof(ULONGLONG), 0);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    target.copy(rename->FileName, target.size());
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(bytes)) != 0;
}

} // namespace

// Append access alone: the system puts each write at the end of the file in
// one piece, so a second process appending to the same log cannot land
// inside a line or be overwritten (fopen's "a" seeks, then writes).
FILE* PlatformOpenLogFile(const char* path, LogFileState& state) {
    state = LogFileState();
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              kNoLinkFollowed, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    state.status = Inspect(file, state.size);
    if (state.status != LogFileState::kOpened) {
        CloseHandle(file);
        return nullptr;
    }
    FILE* stream = StreamOverHandle(file, _O_APPEND | _O_BINARY, "ab");
    if (stream == nullptr) {
        state.status = LogFileState::kUnopenable;
    }
    return stream;
}

void PlatformRotateLogFile(const char* path, long long limit) {
    HANDLE file = CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, kNoLinkFollowed, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return; // no log yet
    }
    long long size = 0;
    if (Inspect(file, size) == LogFileState::kOpened && size > limit) {
        const std::wstring older = NtPath((std::string(path) + ".1").c_str());
        // A log that cannot be renamed grows on, and the run goes on.
        (void)(!older.empty() && RenameByHandle(file, older));
    }
    CloseHandle(file);
}

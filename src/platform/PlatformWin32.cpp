#include <windows.h>

#include <cstring>

#include "platform/Platform.h"
#include "platform/WideText.h"

namespace {
char g_testDirectory[kPathSize] = {};
}

void SetProgramDirectoryForTesting(const char* directory) {
    memset(g_testDirectory, 0, sizeof g_testDirectory);
    if (directory != nullptr) {
        lstrcpynA(g_testDirectory, directory, kPathSize);
    }
}

void GetProgramDirectory(char (&directory)[kPathSize]) {
    memset(directory, 0, sizeof directory);
    if (g_testDirectory[0] != '\0') {
        lstrcpynA(directory, g_testDirectory, kPathSize);
        return;
    }
    // At most 259 characters, so the buffer always keeps its terminator.
    GetModuleFileNameA(nullptr, directory, kPathSize - 1);
    char* lastBackslash = strrchr(directory, '\\');
    if (lastBackslash != nullptr) {
        *lastBackslash = '\0';
    }
}

bool PlatformDeleteFile(const char* path) {
    return DeleteFileA(path) != 0;
}

// Without MOVEFILE_REPLACE_EXISTING: a file already under the new name stays.
MoveAside PlatformMoveAside(const char* path, const char* newPath) {
    if (MoveFileExA(path, newPath, 0) != 0) {
        return MoveAside::Moved;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? MoveAside::Missing
                                                                          : MoveAside::Refused;
}

void PlatformDebugOutput(const char* text) {
    OutputDebugStringA(text);
}

void PlatformSecureZero(void* data, size_t size) {
    SecureZeroMemory(data, size);
}

std::wstring AnsiToWide(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

std::string WideToUtf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::string();
    }
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length - 1));
    return utf8;
}

std::string PlatformAnsiToUtf8(const char* text) {
    return WideToUtf8(AnsiToWide(text).c_str());
}

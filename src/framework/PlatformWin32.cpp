#include <windows.h>

#include <cstring>

#include "framework/Platform.h"

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

bool PlatformDeleteFile(const char* path) { return DeleteFileA(path) != 0; }

void PlatformDebugOutput(const char* text) { OutputDebugStringA(text); }

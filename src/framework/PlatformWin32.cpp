#include <windows.h>

#include <cstring>

#include "framework/Platform.h"

void GetProgramDirectory(char (&directory)[kPathSize]) {
    memset(directory, 0, sizeof directory);
    // At most 259 characters, so the buffer always keeps its terminator.
    GetModuleFileNameA(nullptr, directory, kPathSize - 1);
    char* lastBackslash = strrchr(directory, '\\');
    if (lastBackslash != nullptr) {
        *lastBackslash = '\0';
    }
}

bool PlatformDeleteFile(const char* path) { return DeleteFileA(path) != 0; }

void PlatformDebugOutput(const char* text) { OutputDebugStringA(text); }

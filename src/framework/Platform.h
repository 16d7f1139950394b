// The few operating-system services the portable core uses. Win32 builds
// implement them over the Windows API, native builds over POSIX; the program
// directory is settable so tests can point it at a folder of their own.
#pragma once

#include <cstddef>

constexpr size_t kPathSize = 260;

// The running executable's full path cut at its last backslash (the text stays
// whole without one).
void GetProgramDirectory(char (&directory)[kPathSize]);

// Deletes a file; false when it could not be deleted or did not exist.
bool PlatformDeleteFile(const char* path);

// Sends text to the debugger output.
void PlatformDebugOutput(const char* text);

// Tests: makes GetProgramDirectory report directory instead (null or empty
// restores the real one on Windows).
void SetProgramDirectoryForTesting(const char* directory);

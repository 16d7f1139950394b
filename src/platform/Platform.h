// The few operating-system services the portable core uses. Win32 builds
// implement them over the Windows API, native builds over POSIX; the program
// directory is settable so tests can point it at a folder of their own.
#pragma once

#include <cstddef>
#include <string>
#include <cstdio>

constexpr size_t kPathSize = 260;

// The running executable's full path cut at its last backslash (the text stays
// whole without one).
void GetProgramDirectory(char (&directory)[kPathSize]);

// Deletes a file; false when it could not be deleted or did not exist.
bool PlatformDeleteFile(const char* path);

// What became of a file that was to be moved aside.
enum class MoveAside { Moved, Missing, Refused };

// Gives the file at path the name newPath (in the same folder), never
// replacing a file that already has that name.
MoveAside PlatformMoveAside(const char* path, const char* newPath);

// A file held open by the program (null: none). The system deletes the file
// once its hold is released and no stream reads it any more, or when the
// process ends, however it ends.
using HeldFile = void*;

// Creates path anew as a held file that only the administrators, the system
// and the process's own user may open; where the file system keeps no such
// restriction the file is made all the same and unrestricted is set (else
// cleared). Returns a stream for binary writing (closing it keeps the hold)
// and sets hold; null when the file cannot be made, with hold null and
// nothing left at path.
FILE* PlatformCreateHeldFile(const char* path, HeldFile& hold, bool& unrestricted);

// Releases a hold (a null one is left alone). Hosts delete no file on close:
// there the file is removed by its path.
void PlatformReleaseHeldFile(HeldFile& hold, const char* path);

// Opens an existing file for reading in mode "r" or "rb", a held one too.
FILE* PlatformOpenForReading(const char* path, const char* mode);

// Sends text to the debugger output as it is: the record of the run masks
// its passwords first (DebugLine in record/RunLog.h).
void PlatformDebugOutput(const char* text);

// Overwrites size bytes at data with zeros in a way the compiler keeps, for
// memory that held a password.
void PlatformSecureZero(void* data, size_t size);

// A log file as PlatformOpenLogFile found it.
struct LogFileState {
    // kLink: path is a reparse point (a symbolic link, a junction);
    // kSecondName: the file has more than one name (a hard link), so writing
    // to it would write to another file too. Neither is opened.
    enum Status { kOpened, kUnopenable, kLink, kSecondName } status = kUnopenable;
    long long size = 0; // kOpened: its size before this run
};

// Opens the log at path for appending, creating it when missing, without
// following a link: every write lands at the file's end as one piece, also
// when another process appends to the same file. Binary; null unless
// state.status is kOpened.
FILE* PlatformOpenLogFile(const char* path, LogFileState& state);

// When the file at path is larger than limit bytes, it becomes path + ".1",
// replacing an older one: renamed through a handle to the file itself, opened
// without following a link (a link, or a file of more than one name, is left
// as it is). A file that cannot be renamed stays and grows on.
void PlatformRotateLogFile(const char* path, long long limit);

// Text in the system's ANSI code page as UTF-8 (hosts take it as it is).
std::string PlatformAnsiToUtf8(const char* text);

// Tests: makes GetProgramDirectory report directory instead (null or empty
// restores the real one on Windows).
void SetProgramDirectoryForTesting(const char* directory);

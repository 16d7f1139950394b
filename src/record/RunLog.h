// The run log: what every run did, for the administrator and the deployment
// tool, who keep log files rather than the debugger output. UTF-8 with a
// byte order mark and CRLF line ends, one timestamped line per entry. It
// never holds a password: every entry passes MaskRunSecrets (RunSecrets.h).
// A log that cannot be written never changes what the program does: the
// debugger output says so once, and the run goes on.
#pragma once

#include <cstddef>

#include "platform/Platform.h"

// Past this size, at the start of a run, the log becomes "<path>.1"
// (replacing an older one) and a new log begins.
constexpr long kRunLogLimit = 1024L * 1024;

// Opens path (ANSI) for this run's lines; false when it cannot be written, or
// is refused as a link or a file with a second name (status, when given,
// says which; see PlatformOpenLogFile). The caller has checked the folder.
// Each entry reaches the file in one write at its end, so a second process
// appending to it never lands inside one.
bool OpenRunLog(const char* path, LogFileState::Status* status = nullptr);
// For a run that must not disturb another run writing the same log: never
// rotates it, and keeps this run's entries until CloseRunLog writes them in
// one piece at the end of the file.
bool OpenRunLogBehindAnother(const char* path, LogFileState::Status* status = nullptr);
// The first line of a run: a rule, the local time with its UTC offset, and
// what runs (ANSI).
void LogRunHeader(const char* description);
// The path of the open log, or "" when none is open.
const char* RunLogPath();
void CloseRunLog();

// One entry of UTF-8 text; each line break in it starts a line of its own.
void LogUtf8(const char* text);
// One entry from text in the ANSI code page, printf style; its passwords
// are masked before a line longer than 1023 bytes is cut.
void LogLine(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// Text (ANSI) on the debugger output alone, every password of the run masked.
void DebugLine(const char* text);
// An entry (ANSI) that also goes to the debugger output, as it always has.
void LogAndDebug(const char* text);

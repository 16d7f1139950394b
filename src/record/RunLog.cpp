#include "record/RunLog.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

#include "common/BoundedCopy.h"
#include "platform/Platform.h"
#include "record/RunSecrets.h"

namespace {

FILE* g_log = nullptr;
char g_path[kPathSize] = {};
bool g_complained = false;
// Behind another run's log: this run's lines wait for CloseRunLog.
bool g_deferred = false;
// Room for every entry whole, so that each reaches the file in one write.
constexpr size_t kEntryBufferSize = size_t{16} * 1024;
// The worker of a run and the dialog's thread both write.
std::mutex g_lock;

// A line of LogLine, its passwords masked before it is cut to this.
constexpr size_t kLineLimit = 1023;

// The debugger output hears once that the log cannot be written.
void Complain(const char* path, const char* what) {
    if (g_complained) {
        return;
    }
    g_complained = true;
    DebugLine(
        (std::string("Run log ") + path + " " + what + "; the run goes on without it").c_str());
}

// printf's text whole, however long.
std::string Formatted(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) {
        return std::string();
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return text;
}

// A write that fails shows at the flush that ends each entry.
void WriteLine(const char* stamp, const char* text, size_t length) {
    (void)std::fputs(stamp, g_log);
    (void)std::fwrite(text, 1, length, g_log);
    (void)std::fputs("\r\n", g_log);
}

// "hh:mm:ss  " of now; dashes where the clock cannot be read.
void TimeStamp(char (&stamp)[16]) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (local == nullptr || std::strftime(stamp, sizeof stamp, "%H:%M:%S  ", local) == 0) {
        CopyField(stamp, "--:--:--  ");
    }
}

// One entry, its passwords already masked (masking twice would mask the
// masks of a password such as "*").
void WriteEntry(std::string rest) {
    const std::lock_guard<std::mutex> hold(g_lock);
    if (g_log == nullptr) {
        return;
    }
    char stamp[16] = {};
    TimeStamp(stamp);
    // Lines of a box's text keep their breaks, each on a line of its own.
    for (size_t at; (at = rest.find_first_of("\r\n")) != std::string::npos;) {
        WriteLine(stamp, rest.c_str(), at);
        const size_t next = rest.compare(at, 2, "\r\n") == 0 ? at + 2 : at + 1;
        rest.erase(0, next);
        std::snprintf(stamp, sizeof stamp, "          ");
    }
    WriteLine(stamp, rest.c_str(), rest.size());
    // On the disk at once: a run that is killed loses nothing it logged.
    if (!g_deferred && std::fflush(g_log) != 0) {
        Complain(g_path, "cannot be written");
    }
}

// Appends to path; false when it cannot be opened or is refused.
bool Open(const char* path, LogFileState::Status* status) {
    LogFileState state;
    g_log = PlatformOpenLogFile(path, state);
    if (status != nullptr) {
        *status = state.status;
    }
    if (g_log == nullptr) {
        // A link or a second name is the caller's to refuse, with its reason.
        if (state.status == LogFileState::kUnopenable) {
            Complain(path, "cannot be opened");
        }
        return false;
    }
    (void)std::setvbuf(g_log, nullptr, _IOFBF, kEntryBufferSize);
    CopyField(g_path, path);
    if (state.size == 0) {
        (void)std::fputs("\xEF\xBB\xBF", g_log); // shows at the first entry's flush
    }
    return true;
}

} // namespace

bool OpenRunLog(const char* path, LogFileState::Status* status) {
    CloseRunLog();
    PlatformRotateLogFile(path, kRunLogLimit);
    return Open(path, status);
}

bool OpenRunLogBehindAnother(const char* path, LogFileState::Status* status) {
    CloseRunLog();
    g_deferred = true;
    return Open(path, status);
}

const char* RunLogPath() {
    return g_log != nullptr ? g_path : "";
}

void CloseRunLog() {
    if (g_log != nullptr) {
        (void)std::fclose(g_log); // every entry was flushed when written
        g_log = nullptr;
    }
    g_path[0] = '\0';
    g_deferred = false;
}

void LogUtf8(const char* text) {
    WriteEntry(MaskRunSecrets(text));
}

void LogRunHeader(const char* description) {
    const std::time_t now = std::time(nullptr);
    std::tm local = *std::localtime(&now);
    std::tm utc = *std::gmtime(&now);
    // UTC's fields read as local time are off by the offset.
    utc.tm_isdst = local.tm_isdst;
    const long offset = static_cast<long>(std::difftime(now, std::mktime(&utc))) / 60;
    char stamp[32] = {};
    if (std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local) == 0) {
        CopyField(stamp, "(no date)");
    }
    const long minutes = offset < 0 ? -offset : offset;
    LogLine("==== %s %c%02ld:%02ld  %s", stamp, offset < 0 ? '-' : '+', minutes / 60, minutes % 60,
            description);
}

// printf's own convention, checked by the compiler (the format attribute), and
// handed on to vsnprintf: what cert-dcl50-cpp warns of cannot happen here.
// Masked whole first: a password that a cut went through would leave its
// first letters behind.
void LogLine(const char* format, ...) { // NOLINT(cert-dcl50-cpp)
    va_list args;
    va_start(args, format);
    const std::string text = Formatted(format, args);
    va_end(args);
    std::string masked = MaskRunSecrets(text.c_str());
    if (masked.size() > kLineLimit) {
        masked.resize(kLineLimit);
    }
    WriteEntry(PlatformAnsiToUtf8(masked.c_str()));
}

void DebugLine(const char* text) {
    PlatformDebugOutput(MaskRunSecrets(text).c_str());
}

void LogAndDebug(const char* text) {
    DebugLine(text);
    LogUtf8(PlatformAnsiToUtf8(text).c_str());
}

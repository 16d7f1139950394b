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

// The debugger output hears once that the log cannot be written.
void Complain(const char* path, const char* what) {
    if (g_complained) {
        return;
    }
    g_complained = true;
    char message[kPathSize + 96];
    std::snprintf(message, sizeof message, "Run log %s %s; the run goes on without it", path, what);
    PlatformDebugOutput(message);
}

long FileSize(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return 0;
    }
    long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : 0;
    (void)std::fclose(file); // read only: nothing to lose
    return size < 0 ? 0 : size;
}

// The older log goes; the one that grew too big takes its place.
void Rotate(const char* path) {
    std::string older = std::string(path) + ".1";
    // Without an older log there is nothing to remove; a log that cannot be
    // renamed grows on, and the run goes on.
    (void)std::remove(older.c_str());
    (void)std::rename(path, older.c_str());
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

// Appends to path; false when it cannot be opened.
bool Open(const char* path) {
    const bool fresh = FileSize(path) == 0;
    g_log = PlatformOpenForAppending(path);
    if (g_log == nullptr) {
        Complain(path, "cannot be opened");
        return false;
    }
    (void)std::setvbuf(g_log, nullptr, _IOFBF, kEntryBufferSize);
    CopyField(g_path, path);
    if (fresh) {
        (void)std::fputs("\xEF\xBB\xBF", g_log); // shows at the first entry's flush
    }
    return true;
}

} // namespace

bool OpenRunLog(const char* path) {
    CloseRunLog();
    if (FileSize(path) > kRunLogLimit) {
        Rotate(path);
    }
    return Open(path);
}

bool OpenRunLogBehindAnother(const char* path) {
    CloseRunLog();
    g_deferred = true;
    return Open(path);
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
    const std::lock_guard<std::mutex> hold(g_lock);
    if (g_log != nullptr) {
        char stamp[16] = {};
        TimeStamp(stamp);
        // Lines of a box's text keep their breaks, each on a line of its own.
        std::string rest = MaskRunSecrets(text);
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
void LogLine(const char* format, ...) { // NOLINT(cert-dcl50-cpp)
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    LogUtf8(PlatformAnsiToUtf8(text).c_str());
}

void LogAndDebug(const char* text) {
    PlatformDebugOutput(text);
    LogUtf8(PlatformAnsiToUtf8(text).c_str());
}

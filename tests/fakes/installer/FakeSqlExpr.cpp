// A stand-in for the SQL Server Express installer, for tests. It installs
// nothing: it appends its command line and current directory to a log, writes
// the instance's "TcpPort" value as a finished installation would, and exits.
//
// Environment:
//   FAKE_SQLEXPR_LOG      Windows path of the log (default: SqlExpr.log beside
//                         this program)
//   FAKE_SQLEXPR_PORT     the port text to write (default 14330); "none"
//                         writes no value
//   FAKE_SQLEXPR_SLEEP_MS how long to run before exiting (default 0)
//   FAKE_SQLEXPR_EXIT     the exit code (default 0; 259 tests the waiter)
//
// Log lines, appended per run:
//   program=<its own full path>
//   commandLine=<GetCommandLineA>
//   currentDirectory=<GetCurrentDirectoryA>
//   passwordVariable=<set|unset>  whether DUNMOOR_PASSWORD reached it
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kPortKey =
    "SOFTWARE\\Microsoft\\Microsoft SQL Server\\QNSERVER\\MSSQLServer\\SuperSocketNetLib\\Tcp";

// The variable's text, or fallback when it is not set.
void ReadVariable(const char* name, const char* fallback, char* text, DWORD size) {
    DWORD n = GetEnvironmentVariableA(name, text, size);
    if (n == 0 || n >= size) {
        snprintf(text, size, "%s", fallback);
    }
}

void LogPath(char (&path)[MAX_PATH]) {
    DWORD n = GetEnvironmentVariableA("FAKE_SQLEXPR_LOG", path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        return;
    }
    memset(path, 0, sizeof path);
    GetModuleFileNameA(nullptr, path, MAX_PATH - 16);
    char* slash = strrchr(path, '\\');
    strcpy(slash != nullptr ? slash + 1 : path, "SqlExpr.log");
}

void AppendLog() {
    char path[MAX_PATH] = {};
    LogPath(path);
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH - 1);
    FILE* log = fopen(path, "ab");
    if (log == nullptr) {
        return;
    }
    const bool password = GetEnvironmentVariableA("DUNMOOR_PASSWORD", nullptr, 0) > 0;
    fprintf(log, "program=%s\ncommandLine=%s\ncurrentDirectory=%s\npasswordVariable=%s\n", program,
            GetCommandLineA(), directory, password ? "set" : "unset");
    fclose(log);
}

void WritePort() {
    char port[64] = {};
    ReadVariable("FAKE_SQLEXPR_PORT", "14330", port, sizeof port);
    if (strcmp(port, "none") == 0) {
        return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPortKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, "TcpPort", 0, REG_SZ, reinterpret_cast<const BYTE*>(port),
                   static_cast<DWORD>(strlen(port) + 1));
    RegCloseKey(key);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    AppendLog();
    WritePort();
    char text[32] = {};
    ReadVariable("FAKE_SQLEXPR_SLEEP_MS", "0", text, sizeof text);
    Sleep(static_cast<DWORD>(atoi(text)));
    ReadVariable("FAKE_SQLEXPR_EXIT", "0", text, sizeof text);
    return atoi(text);
}

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "app/PasswordVariable.h"
#include "platform/Platform.h"
#include "platform/WideText.h"
#include "ui/SqlExpress.h"

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOA) == 68, "the start-up record of a 32-bit process is 68 bytes");
#endif

namespace {

constexpr const char* kInstallerArguments =
    " /qb INSTANCENAME=%s ADDLOCAL=ALL DISABLENETWORKPROTOCOLS=0";
constexpr DWORD kPollIntervalMs = 1000;

// Sleeps in one-second steps until the process has ended. The end is taken
// from the process handle, not the exit code, so an installer that exits with
// 259 (the value that means "still active") does not keep us waiting forever.
void WaitInSteps(HANDLE process) {
    do {
        Sleep(kPollIntervalMs);
    } while (WaitForSingleObject(process, 0) == WAIT_TIMEOUT);
}

// The instance's "TcpPort" in one registry view; false when the key or the
// value is missing there.
bool ReadPortText(REGSAM view, char (&text)[257]) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSqlExpressPortKey, 0, KEY_READ | view, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    // 256 bytes are offered; the extra byte keeps a full value terminated.
    memset(text, 0, sizeof text);
    DWORD size = 256;
    const bool read = RegQueryValueExA(key, kSqlExpressPortValue, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read;
}

// This process's environment without DUNMOOR_PASSWORD (its name in any letter
// case, as Windows compares names), as a block for CreateProcess: the child
// and whatever it starts never inherit the password, even where something
// put it back after start-up took it out.
std::wstring EnvironmentWithoutPassword() {
    const std::wstring name = AnsiToWide(kPasswordVariable) + L"=";
    std::wstring block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* at = strings; at != nullptr && *at != L'\0'; at += wcslen(at) + 1) {
        if (_wcsnicmp(at, name.c_str(), name.size()) != 0) {
            block.append(at, wcslen(at) + 1);
        }
    }
    if (strings != nullptr) {
        FreeEnvironmentStringsW(strings);
    }
    // The block ends with an empty entry; an empty block is two NULs.
    block.append(block.empty() ? 2 : 1, L'\0');
    return block;
}

} // namespace

int RunAndWait(const char* applicationPath, const char* arguments) {
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof process);
    const DWORD flags =
        HIGH_PRIORITY_CLASS | CREATE_DEFAULT_ERROR_MODE | CREATE_UNICODE_ENVIRONMENT;

    // The program is named by its full path, never found by splitting a
    // command line at its blanks: an unquoted "C:\a b\Support\SqlExpr.exe"
    // would first run "C:\a.exe", which anyone may have put there. The command
    // line (a copy, which CreateProcessA may write into) quotes the path as
    // its first word, so the child reads its own name whole.
    std::string commandLine = std::string("\"") + applicationPath + "\"";
    if (arguments != nullptr) {
        commandLine += std::string(" ") + arguments;
    }
    std::wstring environment = EnvironmentWithoutPassword();
    const BOOL started = CreateProcessA(applicationPath, &commandLine[0], nullptr, nullptr, FALSE,
                                        flags, &environment[0], nullptr, &startup, &process);
    if (!started) {
        return 0;
    }
    WaitInSteps(process.hProcess);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return started;
}

void RunSqlExpressInstaller(const char* programDirectory) {
    char supportDirectory[kPathSize] = {};
    char installerPath[kPathSize] = {};
    char arguments[kPathSize] = {};
    int supportLength =
        snprintf(supportDirectory, sizeof supportDirectory, "%s\\Support", programDirectory);
    int pathLength =
        snprintf(installerPath, sizeof installerPath, "%s\\Support\\SqlExpr.exe", programDirectory);
    snprintf(arguments, sizeof arguments, kInstallerArguments, kSqlExpressInstance);

    // A directory too long for the paths would run whatever the cut path
    // names; then nothing is started, as with a missing installer.
    const bool fits =
        supportLength < static_cast<int>(kPathSize) && pathLength < static_cast<int>(kPathSize);
    if (fits) {
        SetCurrentDirectoryA(supportDirectory);
        RunAndWait(installerPath, arguments);
    }
    SetCurrentDirectoryA(programDirectory);
}

int GetSqlExpressPort() {
    // The instance keeps its port in the view of its own bitness: a 64-bit
    // server in the 64-bit view, a 32-bit one in the 32-bit view.
    char text[257] = {};
    if (ReadPortText(KEY_WOW64_64KEY, text) || ReadPortText(KEY_WOW64_32KEY, text)) {
        // The leading number as atoi reads it, with strtol's defined result
        // for a value out of range.
        return static_cast<int>(strtol(text, nullptr, 10));
    }
    return kDefaultSqlServerPort;
}

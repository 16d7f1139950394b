// A Kelvane.dll for tests: talks to no server, records every ConnectDB and
// QueryExecuteDB call in Kelvane.log (beside itself, or at the path in
// KELVANE_LOG) and answers from KELVANE_CONNECT and KELVANE_RESULTS. Tests rely
// on the line format.
//
// KELVANE_LOST_AFTER=N plays a server that goes away: once the N-th
// QueryExecuteDB call has returned, IsConnectedDB answers 0 and every further
// QueryExecuteDB fails (-1, still recorded), until a ConnectDB succeeds
// again. Absent or 0: the connection never goes. IsConnectedDB records
// nothing.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/KelvaneInterface.h"

namespace {

HMODULE g_self = nullptr;
int g_connectCalls = 0;
int g_executeCalls = 0;
bool g_connected = false;
bool g_lost = false;

std::string LogPath() {
    char path[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA("KELVANE_LOG", path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        return path;
    }
    GetModuleFileNameA(g_self, path, MAX_PATH - 1);
    char* slash = strrchr(path, '\\');
    if (slash != nullptr) {
        slash[1] = '\0';
    }
    return std::string(path) + "Kelvane.log";
}

// The index-th entry of a comma-separated list in an environment variable,
// or fallback when the variable or the entry is absent.
int ScriptedResult(const char* variable, int index, int fallback) {
    char list[4096] = {};
    DWORD n = GetEnvironmentVariableA(variable, list, sizeof list);
    if (n == 0 || n >= sizeof list) {
        return fallback;
    }
    const char* p = list;
    for (int i = 0; i < index; ++i) {
        p = strchr(p, ',');
        if (p == nullptr) {
            return fallback;
        }
        ++p;
    }
    return atoi(p);
}

void AppendEscaped(std::string& out, const char* text, size_t limit) {
    for (size_t i = 0; i < limit && text[i] != '\0'; ++i) {
        switch (text[i]) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        default: out += text[i];
        }
    }
}

template <size_t N> void AppendField(std::string& out, const char* name, const char (&field)[N]) {
    out += ' ';
    out += name;
    out += '=';
    AppendEscaped(out, field, N);
}

void WriteLine(const std::string& line) {
    FILE* log = fopen(LogPath().c_str(), "ab");
    if (log == nullptr) {
        return;
    }
    fwrite(line.data(), 1, line.size(), log);
    fputs("\r\n", log);
    fclose(log);
}

} // namespace

extern "C" __declspec(dllexport) int __cdecl ConnectDB(ConnectionParams* params) {
    std::string line = "ConnectDB dbType=" + std::to_string(params->dbType);
    AppendField(line, "server", params->server);
    AppendField(line, "userId", params->userId);
    AppendField(line, "password", params->password);
    AppendField(line, "databaseName", params->databaseName);
    line += " port=" + std::to_string(params->port);
    line += " windowsAuth=" + std::to_string(params->windowsAuth);
    line += " valid=" + std::to_string(params->valid);
    WriteLine(line);
    int result = ScriptedResult("KELVANE_CONNECT", g_connectCalls++, 1);
    if (result == 0) {
        lstrcpynA(params->errorText, "recorded connection refused", kErrorTextSize);
    } else {
        g_connected = true;
        g_lost = false;
    }
    return result;
}

extern "C" __declspec(dllexport) int __cdecl QueryExecuteDB(int, const char* statement, int) {
    std::string line = "QueryExecuteDB ";
    AppendEscaped(line, statement, static_cast<size_t>(-1));
    WriteLine(line);
    const int call = g_executeCalls++;
    if (g_lost) {
        return -1;
    }
    const int result = ScriptedResult("KELVANE_RESULTS", call, 0);
    if (call + 1 == ScriptedResult("KELVANE_LOST_AFTER", 0, 0)) {
        g_lost = true;
    }
    return result;
}

extern "C" __declspec(dllexport) int __cdecl IsConnectedDB(void) {
    return g_connected && !g_lost ? 1 : 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
    }
    return TRUE;
}

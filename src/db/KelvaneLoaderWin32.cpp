// Loads Kelvane.dll from the program directory once at start-up. The library
// stays loaded until the process ends.
#include <windows.h>

#include <cstdio>

#include "db/DbLibrary.h"
#include "framework/Platform.h"

int LoadDbLibrary(const char* programDirectory) {
    char path[kPathSize] = {};
    snprintf(path, sizeof path, "%s\\%s", programDirectory, "Kelvane.dll");
    HMODULE module = LoadLibraryA(path);
    if (module == nullptr) {
        SetDbEntryPoints(nullptr, nullptr);
        return 0;
    }
    auto connect = reinterpret_cast<ConnectDBFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "ConnectDB")));
    QueryExecuteDBFn execute = nullptr;
    if (connect != nullptr) {
        execute = reinterpret_cast<QueryExecuteDBFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "QueryExecuteDB")));
    }
    // Optional: the maker's library has no such export, and works as before.
    auto isConnected = reinterpret_cast<IsConnectedDBFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "IsConnectedDB")));
    SetDbEntryPoints(connect, execute, isConnected);
    return connect != nullptr && execute != nullptr ? 1 : 0;
}

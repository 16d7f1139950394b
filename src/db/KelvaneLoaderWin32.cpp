// Loads Kelvane.dll from the program directory once at start-up. The library
// stays loaded until the process ends.
#include <windows.h>

#include <cstdio>

#include "db/DbLibrary.h"
#include "platform/Platform.h"

int LoadDbLibrary(const char* programDirectory) {
    char path[kPathSize] = {};
    const int length = snprintf(path, sizeof path, "%s\\%s", programDirectory, "Kelvane.dll");
    // By its full path, never a cut one (that would name another file), and
    // with its own dependencies looked for in its directory first, then in
    // the system directories and PATH.
    HMODULE module = length > 0 && static_cast<size_t>(length) < sizeof path
                         ? LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)
                         : nullptr;
    if (module == nullptr) {
        SetDbEntryPoints(nullptr, nullptr);
        return 0;
    }
    auto connect =
        reinterpret_cast<ConnectDBFn>(reinterpret_cast<void*>(GetProcAddress(module, "ConnectDB")));
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

#include "DriverConfig.h"

#include <windows.h>

#include <cstring>

namespace {

// "<directory of this DLL>\Kelvane.ini"; empty when the path does not fit.
void IniPath(char (&path)[MAX_PATH]) {
    path[0] = '\0';
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&LoadDriverNames), &self)) {
        return;
    }
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        path[0] = '\0';
        return;
    }
    char* slash = strrchr(path, '\\');
    const char* name = "Kelvane.ini";
    size_t dirLength = slash == nullptr ? 0 : static_cast<size_t>(slash - path) + 1;
    if (dirLength + strlen(name) + 1 > MAX_PATH) {
        path[0] = '\0';
        return;
    }
    strcpy(path + dirLength, name);
}

// Replaces name with the ini value when the key is present and not empty.
void Override(const char* iniPath, const char* key, char (&name)[kDriverNameSize]) {
    char value[kDriverNameSize] = {};
    GetPrivateProfileStringA("Drivers", key, "", value, sizeof value, iniPath);
    if (value[0] != '\0') {
        memcpy(name, value, sizeof name);
    }
}

} // namespace

DriverNames LoadDriverNames() {
    DriverNames names = DefaultDriverNames();
    char path[MAX_PATH];
    IniPath(path);
    if (path[0] == '\0' || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        return names;
    }
    Override(path, "MsSql", names.msSql);
    Override(path, "MySql", names.mySql);
    Override(path, "Oracle", names.oracle);
    return names;
}

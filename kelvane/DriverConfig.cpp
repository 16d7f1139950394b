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
                            reinterpret_cast<LPCSTR>(&LoadDriverConfig), &self)) {
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
    memcpy(path + dirLength, name, strlen(name) + 1); // fits: measured above
}

// Replaces name with the ini value when the key is present and not empty.
// The value is read into a buffer twice the field's size, so a name that
// does not fit the field shows as longer (a cut read returns its buffer's
// size less one); tooLong is then set and name kept.
void Override(const char* iniPath, const char* key, char (&name)[kDriverNameSize], bool& tooLong) {
    char value[kDriverNameSize * 2] = {};
    DWORD n = GetPrivateProfileStringA("Drivers", key, "", value, sizeof value, iniPath);
    tooLong = n >= kDriverNameSize;
    if (value[0] != '\0' && !tooLong) {
        memcpy(name, value, sizeof name);
    }
}

// A value too long for the field arrives cut to its last byte; such options
// fill the whole connection-string buffer, so the builder refuses them.
void ReadOptions(const char* iniPath, const char* key, char (&options)[kOptionsSize]) {
    GetPrivateProfileStringA("Options", key, "", options, sizeof options, iniPath);
}

} // namespace

DriverConfig LoadDriverConfig() {
    DriverConfig config = {};
    config.names = DefaultDriverNames();
    char path[MAX_PATH];
    IniPath(path);
    if (path[0] == '\0' || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        return config;
    }
    Override(path, "MsSql", config.names.msSql, config.msSqlNameTooLong);
    Override(path, "MySql", config.names.mySql, config.mySqlNameTooLong);
    Override(path, "Oracle", config.names.oracle, config.oracleNameTooLong);
    ReadOptions(path, "MsSql", config.options.msSql);
    ReadOptions(path, "MySql", config.options.mySql);
    ReadOptions(path, "Oracle", config.options.oracle);
    return config;
}

// The record lives in the Quenlor key, 32-bit view, beside the settings it
// precedes: the preflight has proved the key writable before the create
// changes anything, and the registry, flushed, survives a power cut.
#include <windows.h>

#include "config/ServerKeyWin32.h"
#include "config/UnfinishedCreate.h"

bool RecordUnfinishedCreate(const UnfinishedCreate& record, long& error) {
    LONG result = ERROR_SUCCESS;
    HKEY key = OpenServerKey(KEY_SET_VALUE, &result);
    if (key != nullptr) {
        result = RegSetValueExA(key, kUnfinishedCreateValue, 0, REG_BINARY,
                                reinterpret_cast<const BYTE*>(&record), sizeof record);
        // On the disk before the first change: a power cut must not lose it.
        if (result == ERROR_SUCCESS) {
            result = RegFlushKey(key);
        }
        RegCloseKey(key);
    }
    error = result;
    return result == ERROR_SUCCESS;
}

bool ReadUnfinishedCreate(UnfinishedCreate& record) {
    LONG result = ERROR_SUCCESS;
    HKEY key = OpenServerKey(KEY_QUERY_VALUE, &result);
    if (key == nullptr) {
        return false;
    }
    DWORD type = 0;
    DWORD size = sizeof record;
    result = RegQueryValueExA(key, kUnfinishedCreateValue, nullptr, &type,
                              reinterpret_cast<BYTE*>(&record), &size);
    RegCloseKey(key);
    // Only a record of exactly our layout counts; anything else names nothing.
    return result == ERROR_SUCCESS && type == REG_BINARY && size == sizeof record &&
           record.server[sizeof record.server - 1] == '\0' &&
           record.databaseName[sizeof record.databaseName - 1] == '\0';
}

bool ClearUnfinishedCreate(long& error) {
    LONG result = ERROR_SUCCESS;
    HKEY key = OpenServerKey(KEY_SET_VALUE, &result);
    if (key != nullptr) {
        result = RegDeleteValueA(key, kUnfinishedCreateValue);
        if (result == ERROR_FILE_NOT_FOUND) {
            result = ERROR_SUCCESS; // none there: nothing to clear
        }
        if (result == ERROR_SUCCESS) {
            result = RegFlushKey(key);
        }
        RegCloseKey(key);
    }
    error = result;
    return result == ERROR_SUCCESS;
}

// The Quenlor server's registry key: saving the connection after a create and
// reading it back on the next interactive start.
#pragma once

#include <string>
#include <vector>

#include "common/KelvaneInterface.h"
#include "config/SavedConnection.h"

// HKEY_LOCAL_MACHINE subkey; the program opens it but never creates it.
constexpr const char* kServerKey = "Software\\Moravel\\Quenlor Server";

// The server's configuration vocabulary, in order, ended by a null entry.
extern const char* const kServerValueNames[12];

// Where saving failed: the value (null for the key itself) and the system's
// error code.
struct SaveFailure {
    const char* value = nullptr;
    long error = 0;
};

// A folder, or the program in it, that others than the administrators may
// change: the path and who ("DOMAIN\name"). Empty path: none.
struct OpenFolder {
    std::string path;
    std::string account;
};

// 1 when the key could be opened for writing, every value was written and the
// key flushed to the disk. A value that cannot be written does not stop the
// others; the first failure goes into failure when given (a failed flush as
// one of the key itself). openSsl (when given) gets the folder of the
// program "OpenSSL Path" names when others may change it.
bool SaveServerConfig(const SavedConnection& saved, int dbType, SaveFailure* failure = nullptr,
                      OpenFolder* openSsl = nullptr);

// Who besides the administrators and SYSTEM may read the key's values, and
// so the saved password ("DB Info" is encrypted with the program's key, which
// the program carries). False, with the system's error, when the key or its
// descriptor cannot be read.
bool FindServerKeyReaders(std::vector<std::string>& accounts, long& error);

// Whether SaveServerConfig could write: the key exists in the 32-bit view and
// opens for setting and reading values. Nothing is written. On false,
// failure (when given) holds the system's reason for the key itself.
bool CanSaveServerConfig(SaveFailure* failure = nullptr);

// 1 when "DB Type" and "DB Info" were read and params (cleared by the caller)
// has been filled.
bool LoadServerConfig(ConnectionParams& params);

// The saved non-empty server name, else "localhost".
void LoadSavedServerName(char (&server)[kTextFieldSize]);

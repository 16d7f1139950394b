// The registry half of the server configuration store. The key belongs to the
// Quenlor server: we only open it (never create it), write our values ("OpenSSL
// Path" only where there is none) and read two, and close every key we open
// before returning.
#include "config/ServerConfig.h"

#include <windows.h>

#include <cstring>

#include "common/BoundedCopy.h"
#include "config/OpenSslPathWin32.h"
#include "config/ServerKeyWin32.h"
#include "record/RunSecrets.h"
#include "security/FileAccess.h"

namespace {

// Positions of our values in the server's vocabulary.
enum ValueIndex {
    kDbTypeValue = 0,
    kTcpPortValue = 4,
    kMaxConnectionValue = 5,
    kOpenSslPathValue = 7,
    kDbInfoValue = 10,
};

constexpr DWORD kQuenlorTcpPort = 1480;
constexpr DWORD kQuenlorMaxConnections = 32;
constexpr const char* kDefaultServer = "localhost";

// Room offered for every value we read; anything larger is refused.
constexpr DWORD kValueRoom = 256;
// Query buffers keep a few zero bytes past the room offered.
constexpr size_t kQueryBufferSize = 260;

// The first value that could not be written is the one reported.
void Note(SaveFailure* failure, ValueIndex index, LONG result) {
    if (result != ERROR_SUCCESS && failure != nullptr && failure->error == 0) {
        failure->value = kServerValueNames[index];
        failure->error = result;
    }
}

// A value that cannot be written does not stop the others.
LONG SetDword(HKEY key, ValueIndex index, DWORD value) {
    return RegSetValueExA(key, kServerValueNames[index], 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// The key is opened for writing only; whether a path is already there is
// asked through a handle for reading.
LONG SetOpenSslPath(HKEY key, OpenFolder& open) {
    HKEY readKey = OpenServerKey(KEY_READ);
    const LONG result = SaveOpenSslPath(key, readKey, kServerValueNames[kOpenSslPathValue], open);
    if (readKey != nullptr) {
        RegCloseKey(readKey);
    }
    return result;
}

LONG SetDbInfo(HKEY key, const SavedConnection& saved) {
    uint8_t encrypted[kDbInfoSize] = {};
    EncodeDbInfo(saved, encrypted);
    return RegSetValueExA(key, kServerValueNames[kDbInfoValue], 0, REG_BINARY, encrypted,
                          sizeof encrypted);
}

// Reads a value of at most 256 bytes into buffer (zeroed first); size is the
// number of bytes the registry returned. The registry type is not examined.
bool QueryValue(HKEY key, ValueIndex index, uint8_t (&buffer)[kQueryBufferSize], DWORD& size) {
    std::memset(buffer, 0, sizeof buffer);
    size = kValueRoom;
    return RegQueryValueExA(key, kServerValueNames[index], nullptr, nullptr, buffer, &size) ==
           ERROR_SUCCESS;
}

// "DB Type" may hold up to 256 bytes of anything; it gets a buffer of its own
// and only its first four bytes are taken, so nothing spills into errorText.
bool ReadDbType(HKEY key, int32_t& dbType) {
    uint8_t buffer[kQueryBufferSize];
    DWORD size = 0;
    if (!QueryValue(key, kDbTypeValue, buffer, size)) {
        return false;
    }
    std::memcpy(&dbType, buffer, sizeof dbType);
    return true;
}

} // namespace

// The Quenlor server is a 32-bit program and its installer keeps the key in
// the 32-bit view; on 64-bit Windows a 64-bit build would otherwise look in
// the other view, find no key, and save settings the server never reads.
HKEY OpenServerKey(REGSAM access, LONG* error) {
    HKEY key = nullptr;
    const LONG opened =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, access | KEY_WOW64_32KEY, &key);
    if (error != nullptr) {
        *error = opened;
    }
    return opened == ERROR_SUCCESS ? key : nullptr;
}

bool SaveServerConfig(const SavedConnection& saved, int dbType, SaveFailure* failure,
                      OpenFolder* openSsl) {
    SaveFailure first;
    OpenFolder open;
    LONG opened = ERROR_SUCCESS;
    HKEY key = OpenServerKey(KEY_WRITE, &opened);
    if (key == nullptr) {
        first.error = opened;
    } else {
        Note(&first, kDbTypeValue, SetDword(key, kDbTypeValue, static_cast<DWORD>(dbType)));
        Note(&first, kTcpPortValue, SetDword(key, kTcpPortValue, kQuenlorTcpPort));
        Note(&first, kMaxConnectionValue,
             SetDword(key, kMaxConnectionValue, kQuenlorMaxConnections));
        Note(&first, kOpenSslPathValue, SetOpenSslPath(key, open));
        Note(&first, kDbInfoValue, SetDbInfo(key, saved));
        // On the disk before the run says it succeeded: a power cut right
        // after the outcome must not take the settings with it.
        const LONG flushed = RegFlushKey(key);
        if (first.error == 0 && flushed != ERROR_SUCCESS) {
            first.error = flushed;
        }
        RegCloseKey(key);
    }
    if (failure != nullptr) {
        *failure = first;
    }
    if (openSsl != nullptr) {
        *openSsl = open;
    }
    return first.error == 0;
}

bool FindServerKeyReaders(std::vector<std::string>& accounts, long& error) {
    LONG opened = ERROR_SUCCESS;
    HKEY key = OpenServerKey(KEY_READ, &opened);
    if (key == nullptr) {
        error = opened;
        return false;
    }
    unsigned long why = 0;
    const bool read = FindOutsideReaders(key, accounts, why);
    RegCloseKey(key);
    error = static_cast<long>(why);
    return read;
}

bool LoadServerConfig(ConnectionParams& params) {
    HKEY key = OpenServerKey(KEY_READ);
    if (key == nullptr) {
        return false;
    }
    bool loaded = false;
    uint8_t stored[kQueryBufferSize];
    DWORD size = 0;
    // dbType may be set even when "DB Info" is then missing; the caller only
    // uses the record on success.
    if (ReadDbType(key, params.dbType) && QueryValue(key, kDbInfoValue, stored, size)) {
        DecodeDbInfo(stored, static_cast<int>(size), params);
        // The saved password is this run's too: masked wherever it shows.
        RegisterRunSecret(params.password, sizeof params.password);
        loaded = true;
    }
    RegCloseKey(key);
    return loaded;
}

void LoadSavedServerName(char (&server)[kTextFieldSize]) {
    CopyField(server, kDefaultServer);
    HKEY key = OpenServerKey(KEY_READ);
    if (key == nullptr) {
        return;
    }
    uint8_t stored[kQueryBufferSize];
    DWORD size = 0;
    if (QueryValue(key, kDbInfoValue, stored, size)) {
        // Always the whole block, whatever size was read.
        char saved[kTextFieldSize] = {};
        DecodeSavedServer(stored, static_cast<int>(kDbInfoSize), saved);
        if (saved[0] != '\0') {
            CopyField(server, saved);
        }
    }
    RegCloseKey(key);
}

bool CanSaveServerConfig(SaveFailure* failure) {
    LONG opened = ERROR_SUCCESS;
    HKEY key = OpenServerKey(KEY_SET_VALUE | KEY_QUERY_VALUE, &opened);
    if (key == nullptr) {
        if (failure != nullptr) {
            *failure = SaveFailure();
            failure->error = opened;
        }
        return false;
    }
    RegCloseKey(key);
    return true;
}

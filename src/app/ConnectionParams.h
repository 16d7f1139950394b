// The one record that says how to reach a database server. Kelvane.dll
// receives it by pointer, so its layout is an interface fixed to the byte.
#pragma once

#include <cstddef>
#include <cstdint>

// Engine numbers, shared by the record, the main dialog's list and the
// registry value "DB Type".
enum DbType : int32_t {
    MySql = 1,
    MsSql = 2,
    Oracle = 3,
};

constexpr size_t kTextFieldSize = 32; // 31 characters and a NUL
constexpr size_t kErrorTextSize = 256;

struct ConnectionParams {
    int32_t dbType;
    char errorText[kErrorTextSize];
    char userId[kTextFieldSize];
    char password[kTextFieldSize];
    int32_t valid;
    char server[kTextFieldSize];
    char databaseName[kTextFieldSize];
    int32_t port;
    uint8_t windowsAuth;
    uint8_t reserved[3];
};

static_assert(sizeof(ConnectionParams) == 400, "ConnectionParams is 400 bytes");
static_assert(offsetof(ConnectionParams, dbType) == 0, "dbType offset");
static_assert(offsetof(ConnectionParams, errorText) == 4, "errorText offset");
static_assert(offsetof(ConnectionParams, userId) == 260, "userId offset");
static_assert(offsetof(ConnectionParams, password) == 292, "password offset");
static_assert(offsetof(ConnectionParams, valid) == 324, "valid offset");
static_assert(offsetof(ConnectionParams, server) == 328, "server offset");
static_assert(offsetof(ConnectionParams, databaseName) == 360, "databaseName offset");
static_assert(offsetof(ConnectionParams, port) == 392, "port offset");
static_assert(offsetof(ConnectionParams, windowsAuth) == 396, "windowsAuth offset");
static_assert(offsetof(ConnectionParams, reserved) == 397, "fill offset");

// The default database name, used instead of the record's whenever the
// program was started with arguments.
constexpr const char* kDefaultDatabaseName = "Quenlor";

// Wherever a workflow needs the database name: the default when launched with
// a command line, else the record's own. Never writes into the record.
inline const char* EffectiveDatabaseName(int launchedWithCommandLine,
                                         const ConnectionParams& params) {
    return launchedWithCommandLine ? kDefaultDatabaseName : params.databaseName;
}

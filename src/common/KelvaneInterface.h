// The interface of Kelvane.dll, the database-access library: the record that
// says how to reach a database server, which the library receives by pointer
// (so its layout is fixed to the byte), and the types of its exports. The
// program, the ODBC stand-in and the test doubles all build against this one
// header.
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

// The exports are cdecl with undecorated names; on x64 there is only one
// calling convention.
#if defined(_WIN32) && !defined(_WIN64)
#define KELVANE_CALL __cdecl
#else
#define KELVANE_CALL
#endif

// int ConnectDB(ConnectionParams*): nonzero when connected; on failure the
// library leaves its reason in errorText.
using ConnectDBFn = int(KELVANE_CALL*)(ConnectionParams*);
// int QueryExecuteDB(0, statement, 0): negative on failure.
using QueryExecuteDBFn = int(KELVANE_CALL*)(int, const char*, int);
// int IsConnectedDB(void), an optional export: 0 once the connection of the
// latest successful ConnectDB is gone (the server went away), 1 while it is
// usable. It tells a lost connection from a statement the server refused; a
// library without it is taken as one that cannot tell.
using IsConnectedDBFn = int(KELVANE_CALL*)();

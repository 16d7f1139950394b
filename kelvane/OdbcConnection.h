// The library's one ODBC connection: the environment, the connection of the
// last successful ConnectDB, its statement handle, its engine and whether it
// has been lost.
#pragma once

#include <windows.h>

#include <sql.h>

#include <cstdint>

#include "common/KelvaneInterface.h"

bool Succeeded(SQLRETURN rc);

// The ODBC environment, made once; false (errorText set) when there is none.
bool EnsureEnvironment(ConnectionParams* params);

// Connects a new handle; on failure the diagnostic is in errorText and the
// handle is freed.
SQLHDBC OpenConnection(ConnectionParams* params, char* connectionString);

// Makes connection the library's one, closing the one before.
void AdoptConnection(SQLHDBC connection, int32_t dbType);

// The connection in use (SQL_NULL_HDBC: none), its engine, and its statement
// handle, allocated on first use.
SQLHDBC CurrentConnection();
int32_t ConnectedEngine();
SQLHSTMT StatementHandle();

// A lost connection sends nothing more until the next ConnectDB.
bool ConnectionLost();
void MarkConnectionLost();

// The driver's own view of the connection, where it keeps one.
bool DriverSaysDead();

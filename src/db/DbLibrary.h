// The program's binding to the exports of Kelvane.dll: ConnectDB and
// QueryExecuteDB, and the optional IsConnectedDB. The entry points are
// process-wide and null until resolved; the wrappers never call through a
// null pointer.
#pragma once

#include "common/KelvaneInterface.h"

// Result of QueryExecuteDB when no entry point is bound.
constexpr int kNotConnected = -1;

// Installs the entry points (any may be null). The loader and tests use it.
void SetDbEntryPoints(ConnectDBFn connect, QueryExecuteDBFn execute,
                      IsConnectedDBFn isConnected = nullptr);

// Calls the library's ConnectDB. Without a bound library: 0, with a reason in
// errorText.
int ConnectDB(ConnectionParams* params);

// Calls the library's QueryExecuteDB. Without a bound library: kNotConnected.
int QueryExecuteDB(int reserved1, const char* statement, int reserved2);

// True only when the library can tell and says the connection is gone. A
// library without IsConnectedDB never reports a loss.
bool DbConnectionLost();

#ifdef _WIN32
// Loads "%s\Kelvane.dll" from programDirectory and resolves both exports,
// and IsConnectedDB where the library has it. Returns 1 when both required
// exports were found, else 0.
int LoadDbLibrary(const char* programDirectory);
#endif

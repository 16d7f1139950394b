// The program's binding to the two exports of Kelvane.dll. The entry points
// are process-wide and null until resolved; the wrappers never call through a
// null pointer.
#pragma once

#include "common/KelvaneInterface.h"

// Result of QueryExecuteDB when no entry point is bound.
constexpr int kNotConnected = -1;

// Installs the entry points (either may be null). The loader and tests use it.
void SetDbEntryPoints(ConnectDBFn connect, QueryExecuteDBFn execute);

// Calls the library's ConnectDB. Without a bound library: 0, with a reason in
// errorText.
int ConnectDB(ConnectionParams* params);

// Calls the library's QueryExecuteDB. Without a bound library: kNotConnected.
int QueryExecuteDB(int reserved1, const char* statement, int reserved2);

#ifdef _WIN32
// Loads "%s\Kelvane.dll" from programDirectory and resolves both exports.
// Returns 1 when both were found, else 0.
int LoadDbLibrary(const char* programDirectory);
#endif

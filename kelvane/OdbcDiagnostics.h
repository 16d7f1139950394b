// ODBC diagnostics: into the record's errorText for a failed connection, to
// the debugger output for a failed statement.
#pragma once

#include <windows.h>

#include <sql.h>

#include "common/KelvaneInterface.h"

void SetErrorText(ConnectionParams* params, const char* text);

// "[state] message" of the handle's first diagnostic record, bounded to
// errorText; a fixed text when the driver gave none.
void CopyDiagnostic(SQLSMALLINT handleType, SQLHANDLE handle, ConnectionParams* params);

void ReportStatementFailure(SQLHSTMT statement);

// Whether a diagnostic record of the handle says the connection itself
// failed, not the statement: SQLSTATE class 08 (the MariaDB driver gives
// 08S01 with its errors 2013 "Lost connection" during a statement and 2006
// "Server has gone away" after it), or HY000 with one of those client errors,
// as other driver versions report them.
bool IsCommunicationFailure(SQLSMALLINT handleType, SQLHANDLE handle);

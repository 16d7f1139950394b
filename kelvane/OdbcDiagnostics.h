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

// Whether a diagnostic record of the handle says the connection to engine
// dbType failed, not the statement (IsConnectionLoss).
bool IsCommunicationFailure(int32_t dbType, SQLSMALLINT handleType, SQLHANDLE handle);

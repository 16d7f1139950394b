// Kelvane.dll over ODBC: the exports the program calls, and how a batch is
// run. A statement that fails because the server is out of reach marks the
// connection lost: IsConnectedDB then answers 0 and no further statement is
// sent on it, so that a half-run script never goes on over a connection the
// driver might open anew.
#include <windows.h>

#include <sql.h>
#include <sqlext.h>

#include <cstring>
#include <vector>

#include "AnsiText.h"
#include "ConnectionRequest.h"
#include "OdbcConnection.h"
#include "OdbcDiagnostics.h"
#include "common/KelvaneInterface.h"

namespace {

constexpr int kExecuteFailed = -1;

// A statement failed: its diagnostic goes to the debugger output, and tells
// whether the connection is gone. Oracle's driver reports some losses only
// through its dead-connection attribute, so on Oracle that is asked too. The
// handle is closed, which clears it.
void FailStatement(SQLHSTMT statement) {
    ReportStatementFailure(statement);
    if (IsCommunicationFailure(ConnectedEngine(), SQL_HANDLE_STMT, statement) ||
        (ConnectedEngine() == Oracle && DriverSaysDead())) {
        MarkConnectionLost();
    }
    SQLFreeStmt(statement, SQL_CLOSE);
}

// Walks through every result of the batch, so that a failure in a later
// statement of a multi-statement batch is seen, and no rows stay pending.
// The handle is idle again when this ends with SQL_NO_DATA; any other end
// closes it, so that nothing of this batch is in the way of the next.
bool DrainResults(SQLHSTMT statement) {
    for (int guard = 0; guard < 1000000; ++guard) {
        SQLRETURN rc = SQLMoreResults(statement);
        if (rc == SQL_NO_DATA) {
            return true;
        }
        if (!Succeeded(rc)) {
            FailStatement(statement);
            return false;
        }
    }
    SQLFreeStmt(statement, SQL_CLOSE);
    return true;
}

} // namespace

extern "C" __declspec(dllexport) int __cdecl ConnectDB(ConnectionParams* params) {
    if (params == nullptr) {
        return 0;
    }
    memset(params->errorText, 0, sizeof params->errorText);
    if (!EnsureEnvironment(params)) {
        return 0;
    }
    char connectionString[kConnectionStringSize] = {};
    if (!BuildConnection(params, connectionString)) {
        return 0;
    }
    SQLHDBC connection = OpenConnection(params, connectionString);
    SecureZeroMemory(connectionString, sizeof connectionString);
    if (connection == SQL_NULL_HDBC) {
        return 0;
    }
    AdoptConnection(connection, params->dbType);
    return 1;
}

extern "C" __declspec(dllexport) int __cdecl QueryExecuteDB(int, const char* statement, int) {
    if (CurrentConnection() == SQL_NULL_HDBC || ConnectionLost() || statement == nullptr) {
        return kExecuteFailed;
    }
    SQLHSTMT handle = StatementHandle();
    if (handle == SQL_NULL_HSTMT) {
        return kExecuteFailed;
    }
    std::vector<SQLWCHAR> wide = WidenAnsi(statement);
    SQLRETURN rc = SQLExecDirectW(handle, wide.data(), SQL_NTS);
    if (rc == SQL_ERROR || rc == SQL_INVALID_HANDLE) {
        FailStatement(handle);
        return kExecuteFailed;
    }
    return DrainResults(handle) ? 0 : kExecuteFailed;
}

// Asked by the program after a failed batch only, so the driver is not
// consulted on the path of a successful one.
extern "C" __declspec(dllexport) int __cdecl IsConnectedDB(void) {
    if (CurrentConnection() == SQL_NULL_HDBC) {
        return 0;
    }
    if (!ConnectionLost() && DriverSaysDead()) {
        MarkConnectionLost();
    }
    return ConnectionLost() ? 0 : 1;
}

// Kelvane.dll over ODBC: the exports the program calls. One connection per
// process; each successful ConnectDB replaces it, a failed one leaves it.
// A statement that fails because the server is out of reach marks the
// connection lost: IsConnectedDB then answers 0 and no further statement is
// sent on it, so that a half-run script never goes on over a connection the
// driver might open anew.
// The connection keeps one statement handle for every batch: a script runs
// tens of thousands of them, and a handle allocated and freed per batch costs
// the driver's set-up and tear-down each time.
#include <windows.h>

#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "AnsiText.h"
#include "ConnectionString.h"
#include "DriverConfig.h"
#include "OdbcDiagnostics.h"
#include "common/KelvaneInterface.h"

namespace {

SQLHENV g_env = SQL_NULL_HENV;
SQLHDBC g_connection = SQL_NULL_HDBC;
SQLHSTMT g_statement = SQL_NULL_HSTMT;
bool g_lost = false;
int32_t g_dbType = 0; // the engine of g_connection: its error numbers are its own

constexpr SQLULEN kLoginTimeoutSeconds = 15;
constexpr int kExecuteFailed = -1;

bool Succeeded(SQLRETURN rc) {
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

bool EnsureEnvironment(ConnectionParams* params) {
    if (g_env != SQL_NULL_HENV) {
        return true;
    }
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &g_env))) {
        g_env = SQL_NULL_HENV;
        SetErrorText(params, "Kelvane: no ODBC environment (is the driver manager installed?)");
        return false;
    }
    SQLSetEnvAttr(g_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    return true;
}

void CloseConnection() {
    if (g_statement != SQL_NULL_HSTMT) {
        SQLFreeHandle(SQL_HANDLE_STMT, g_statement);
        g_statement = SQL_NULL_HSTMT;
    }
    SQLDisconnect(g_connection);
    SQLFreeHandle(SQL_HANDLE_DBC, g_connection);
    g_connection = SQL_NULL_HDBC;
}

// The connection's statement handle, allocated on first use.
SQLHSTMT StatementHandle() {
    if (g_statement == SQL_NULL_HSTMT &&
        !Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, g_connection, &g_statement))) {
        g_statement = SQL_NULL_HSTMT;
    }
    return g_statement;
}

// Connects a new handle; on failure the diagnostic is in errorText and the
// handle is freed.
SQLHDBC OpenConnection(ConnectionParams* params, char* connectionString) {
    SQLHDBC connection = SQL_NULL_HDBC;
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, g_env, &connection))) {
        CopyDiagnostic(SQL_HANDLE_ENV, g_env, params);
        return SQL_NULL_HDBC;
    }
    SQLSetConnectAttr(connection, SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds), 0);
    std::vector<SQLWCHAR> wide = WidenAnsi(connectionString);
    SQLRETURN rc = SQLDriverConnectW(connection, nullptr, wide.data(), SQL_NTS, nullptr, 0, nullptr,
                                     SQL_DRIVER_NOPROMPT);
    SecureZeroMemory(wide.data(), wide.size() * sizeof(SQLWCHAR));
    if (!Succeeded(rc)) {
        CopyDiagnostic(SQL_HANDLE_DBC, connection, params);
        SQLFreeHandle(SQL_HANDLE_DBC, connection);
        return SQL_NULL_HDBC;
    }
    return connection;
}

// The driver's own view, where it keeps one; a driver that does not answer
// says nothing either way.
bool DriverSaysDead() {
    SQLUINTEGER dead = SQL_CD_FALSE;
    SQLRETURN rc = SQLGetConnectAttrW(g_connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return Succeeded(rc) && dead == SQL_CD_TRUE;
}

// A statement failed: its diagnostic goes to the debugger output, and tells
// whether the connection is gone. Oracle's driver reports some losses only
// through its dead-connection attribute, so on Oracle that is asked too. The
// handle is closed, which clears it.
void FailStatement(SQLHSTMT statement) {
    ReportStatementFailure(statement);
    if (IsCommunicationFailure(g_dbType, SQL_HANDLE_STMT, statement) ||
        (g_dbType == Oracle && DriverSaysDead())) {
        g_lost = true;
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

// Braces and their doubling work on bytes, the driver reads characters: on a
// double-byte system code page a lead byte would take the '}' after it into
// its character, so a doubled '}' would close the value and a value's own
// closing brace could vanish. Values holding one are refused, not sent with
// their attributes ambiguous. Single-byte code pages (1250 among them) and
// UTF-8 have no lead bytes.
bool RecordHoldsLeadByte(const ConnectionParams& params) {
    UINT codePage = GetACP();
    return HoldsLeadByte(params.server, sizeof params.server, codePage) ||
           HoldsLeadByte(params.userId, sizeof params.userId, codePage) ||
           HoldsLeadByte(params.password, sizeof params.password, codePage) ||
           HoldsLeadByte(params.databaseName, sizeof params.databaseName, codePage);
}

// Why the record gives no connection string, for errorText.
const char* Refusal(ConnectionStringResult result) {
    switch (result) {
    case ConnectionStringResult::UnknownEngine:
        return "Kelvane: unknown database type";
    case ConnectionStringResult::TooLong:
        return "Kelvane: the connection string would be over 1023 bytes; shorten [Options] in "
               "Kelvane.ini";
    case ConnectionStringResult::BlankAtEdge:
        return "Kelvane: a server, user, password or database name begins or ends with a blank, "
               "which the MySQL driver would drop";
    case ConnectionStringResult::RepeatsAttribute: // named by the caller
    case ConnectionStringResult::Built:
        break;
    }
    return "";
}

// The engine's key in both sections of Kelvane.ini.
const char* EngineKey(int32_t dbType) {
    switch (dbType) {
    case MsSql:
        return "MsSql";
    case MySql:
        return "MySql";
    case Oracle:
        return "Oracle";
    default:
        return "?";
    }
}

bool DriverNameTooLong(const DriverConfig& config, int32_t dbType) {
    return (dbType == MsSql && config.msSqlNameTooLong) ||
           (dbType == MySql && config.mySqlNameTooLong) ||
           (dbType == Oracle && config.oracleNameTooLong);
}

// A [Drivers] name longer than its field is refused, never used cut.
bool RefuseLongDriverName(ConnectionParams* params, const DriverConfig& config) {
    if (!DriverNameTooLong(config, params->dbType)) {
        return false;
    }
    char reason[kErrorTextSize] = {};
    snprintf(reason, sizeof reason,
             "Kelvane: [Drivers] %s= in Kelvane.ini is over %u bytes, too long for a driver "
             "name; it is not used cut",
             EngineKey(params->dbType), static_cast<unsigned>(kDriverNameSize - 1));
    SetErrorText(params, reason);
    return true;
}

void RefuseRepeatedAttribute(ConnectionParams* params, const char* attribute) {
    char reason[kErrorTextSize] = {};
    snprintf(reason, sizeof reason,
             "Kelvane: [Options] %s= in Kelvane.ini sets %s, which the library sets itself; "
             "remove it from the options",
             EngineKey(params->dbType), attribute);
    SetErrorText(params, reason);
}

// The record's connection string in out; on failure the reason is in
// errorText.
bool BuildConnection(ConnectionParams* params, char (&out)[kConnectionStringSize]) {
    if (RecordHoldsLeadByte(*params)) {
        SetErrorText(params, "Kelvane: a server, user, password or database name holds a "
                             "double-byte character, which the connection string cannot carry");
        return false;
    }
    DriverConfig config = LoadDriverConfig();
    if (RefuseLongDriverName(params, config)) {
        return false;
    }
    const char* repeated = "";
    ConnectionStringResult result =
        BuildConnectionString(*params, config.names, config.options, out, sizeof out, &repeated);
    if (result == ConnectionStringResult::RepeatsAttribute) {
        RefuseRepeatedAttribute(params, repeated);
        return false;
    }
    if (result != ConnectionStringResult::Built) {
        SetErrorText(params, Refusal(result));
        return false;
    }
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
    if (g_connection != SQL_NULL_HDBC) {
        CloseConnection();
    }
    g_connection = connection;
    g_dbType = params->dbType;
    g_lost = false;
    return 1;
}

extern "C" __declspec(dllexport) int __cdecl QueryExecuteDB(int, const char* statement, int) {
    if (g_connection == SQL_NULL_HDBC || g_lost || statement == nullptr) {
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
    if (g_connection == SQL_NULL_HDBC) {
        return 0;
    }
    if (!g_lost && DriverSaysDead()) {
        g_lost = true;
    }
    return g_lost ? 0 : 1;
}

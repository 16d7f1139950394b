// The one connection of Kelvane.dll. Each successful ConnectDB replaces it, a
// failed one leaves it. It keeps one statement handle for every batch: a
// script runs tens of thousands of them, and a handle allocated and freed per
// batch costs the driver's set-up and tear-down each time.
#include "OdbcConnection.h"

#include <sqlext.h>

#include <vector>

#include "AnsiText.h"
#include "OdbcDiagnostics.h"

namespace {

SQLHENV g_env = SQL_NULL_HENV;
SQLHDBC g_connection = SQL_NULL_HDBC;
SQLHSTMT g_statement = SQL_NULL_HSTMT;
bool g_lost = false;
int32_t g_dbType = 0; // the engine of g_connection: its error numbers are its own

constexpr SQLULEN kLoginTimeoutSeconds = 15;

} // namespace

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

namespace {

void CloseConnection() {
    if (g_statement != SQL_NULL_HSTMT) {
        SQLFreeHandle(SQL_HANDLE_STMT, g_statement);
        g_statement = SQL_NULL_HSTMT;
    }
    SQLDisconnect(g_connection);
    SQLFreeHandle(SQL_HANDLE_DBC, g_connection);
    g_connection = SQL_NULL_HDBC;
}

} // namespace

SQLHSTMT StatementHandle() {
    if (g_statement == SQL_NULL_HSTMT &&
        !Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, g_connection, &g_statement))) {
        g_statement = SQL_NULL_HSTMT;
    }
    return g_statement;
}

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

// A driver that does not answer says nothing either way.
bool DriverSaysDead() {
    SQLUINTEGER dead = SQL_CD_FALSE;
    SQLRETURN rc = SQLGetConnectAttrW(g_connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return Succeeded(rc) && dead == SQL_CD_TRUE;
}

void AdoptConnection(SQLHDBC connection, int32_t dbType) {
    if (g_connection != SQL_NULL_HDBC) {
        CloseConnection();
    }
    g_connection = connection;
    g_dbType = dbType;
    g_lost = false;
}

SQLHDBC CurrentConnection() {
    return g_connection;
}

int32_t ConnectedEngine() {
    return g_dbType;
}

bool ConnectionLost() {
    return g_lost;
}

void MarkConnectionLost() {
    g_lost = true;
}

#include "db/DbLibrary.h"

#include "common/BoundedCopy.h"

namespace {

// Process-wide entry points, null until the library has been bound.
ConnectDBFn g_connectDB = nullptr;
QueryExecuteDBFn g_queryExecuteDB = nullptr;
IsConnectedDBFn g_isConnectedDB = nullptr;

} // namespace

void SetDbEntryPoints(ConnectDBFn connect, QueryExecuteDBFn execute, IsConnectedDBFn isConnected) {
    g_connectDB = connect;
    g_queryExecuteDB = execute;
    g_isConnectedDB = isConnected;
}

int ConnectDB(ConnectionParams* params) {
    if (g_connectDB == nullptr || g_queryExecuteDB == nullptr) {
        // A library that cannot run statements is no connection either: the
        // workflows report it through their connection-failure path.
        CopyField(params->errorText, "Kelvane.dll is not loaded or lacks ConnectDB or "
                                     "QueryExecuteDB: not connected");
        return 0;
    }
    return g_connectDB(params);
}

int QueryExecuteDB(int reserved1, const char* statement, int reserved2) {
    if (g_queryExecuteDB == nullptr) {
        return kNotConnected;
    }
    return g_queryExecuteDB(reserved1, statement, reserved2);
}

bool DbConnectionLost() {
    return g_isConnectedDB != nullptr && g_isConnectedDB() == 0;
}

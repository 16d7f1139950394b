#include "record/RunReport.h"

#include "common/BoundedCopy.h"
#include "record/RunLog.h"

std::string EngineName(int dbType) {
    switch (dbType) {
    case MsSql:
        return "MS SQL Server";
    case MySql:
        return "MySQL";
    case Oracle:
        return "Oracle";
    default:
        return "engine " + std::to_string(dbType);
    }
}

std::string DatabaseOn(const ConnectionParams& params, int dbType, const char* database) {
    std::string server = FieldText(params.server);
    if (params.port > 0) {
        server += ':' + std::to_string(params.port);
    }
    return std::string("database ") + database + " on " + server + " (" + EngineName(dbType) + ")";
}

void LogConnection(const char* action, const ConnectionParams& params, int dbType,
                   const char* database) {
    const std::string authentication = params.windowsAuth == 1
                                           ? "Windows authentication"
                                           : "server authentication as " + FieldText(params.userId);
    LogLine("%s: %s, %s", action, DatabaseOn(params, dbType, database).c_str(),
            authentication.c_str());
}

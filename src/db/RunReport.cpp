#include "db/RunReport.h"

#include "framework/RunLog.h"

namespace {

// A record field read only up to its end, NUL or not.
template <size_t N> std::string Field(const char (&field)[N]) {
    size_t n = 0;
    while (n < N && field[n] != '\0') {
        ++n;
    }
    return std::string(field, n);
}

} // namespace

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
    std::string server = Field(params.server);
    if (params.port > 0) {
        server += ':' + std::to_string(params.port);
    }
    return std::string("database ") + database + " on " + server + " (" + EngineName(dbType) + ")";
}

void LogConnection(const char* action, const ConnectionParams& params, int dbType,
                   const char* database) {
    const std::string authentication = params.windowsAuth == 1
                                           ? "Windows authentication"
                                           : "server authentication as " + Field(params.userId);
    LogLine("%s: %s, %s", action, DatabaseOn(params, dbType, database).c_str(),
            authentication.c_str());
}

#include "ConnectionString.h"

#include <cstdio>
#include <string>

#include "common/BoundedCopy.h"

namespace {

// A record field may lack its NUL when a caller filled it carelessly; read it
// only up to the field's end.
template <size_t N> std::string FieldText(const char (&field)[N]) {
    size_t n = 0;
    while (n < N && field[n] != '\0') {
        ++n;
    }
    return std::string(field, n);
}

// Every value goes in braces, with '}' doubled, so a password holding ';' or
// '=' stays one value and cannot add attributes of its own.
void Append(std::string& out, const char* key, const std::string& value) {
    out += key;
    out += "={";
    for (char c : value) {
        out += c;
        if (c == '}') {
            out += '}';
        }
    }
    out += "};";
}

void AppendCredentials(std::string& out, const ConnectionParams& params) {
    Append(out, "UID", FieldText(params.userId));
    Append(out, "PWD", FieldText(params.password));
}

void AppendDatabase(std::string& out, const ConnectionParams& params) {
    std::string name = FieldText(params.databaseName);
    if (!name.empty()) {
        Append(out, "DATABASE", name);
    }
}

// SQL Server: "server,port", but an instance name is reached as given (the
// browser service finds its port).
std::string MsSqlServer(const ConnectionParams& params) {
    std::string server = FieldText(params.server);
    if (server.find('\\') == std::string::npos && params.port > 0) {
        server += ',' + std::to_string(params.port);
    }
    return server;
}

std::string MsSqlString(const ConnectionParams& params, const DriverNames& drivers) {
    std::string out;
    Append(out, "DRIVER", FieldText(drivers.msSql));
    Append(out, "SERVER", MsSqlServer(params));
    if (params.windowsAuth == 1) {
        out += "Trusted_Connection=Yes;";
    } else {
        AppendCredentials(out, params);
    }
    AppendDatabase(out, params);
    return out;
}

std::string MySqlString(const ConnectionParams& params, const DriverNames& drivers) {
    std::string out;
    Append(out, "DRIVER", FieldText(drivers.mySql));
    Append(out, "SERVER", FieldText(params.server));
    if (params.port > 0) {
        out += "PORT=" + std::to_string(params.port) + ';';
    }
    AppendCredentials(out, params);
    AppendDatabase(out, params);
    out += "OPTION=";
    out += kMultiStatementOption;
    out += ';';
    return out;
}

std::string OracleDbq(const ConnectionParams& params) {
    std::string dbq = FieldText(params.server);
    if (params.port > 0) {
        dbq += ':' + std::to_string(params.port);
    }
    return dbq;
}

std::string OracleString(const ConnectionParams& params, const DriverNames& drivers) {
    std::string out;
    Append(out, "DRIVER", FieldText(drivers.oracle));
    Append(out, "DBQ", OracleDbq(params));
    AppendCredentials(out, params);
    AppendDatabase(out, params);
    return out;
}

} // namespace

DriverNames DefaultDriverNames() {
    DriverNames names = {};
    CopyField(names.msSql, "SQL Server");
    CopyField(names.mySql, "MariaDB ODBC 3.1 Driver");
    CopyField(names.oracle, "Oracle in OraClient19Home1");
    return names;
}

bool BuildConnectionString(const ConnectionParams& params, const DriverNames& drivers, char* out,
                           size_t outSize) {
    if (outSize == 0) {
        return false;
    }
    out[0] = '\0';
    std::string text;
    switch (params.dbType) {
    case MsSql:
        text = MsSqlString(params, drivers);
        break;
    case MySql:
        text = MySqlString(params, drivers);
        break;
    case Oracle:
        text = OracleString(params, drivers);
        break;
    default:
        return false;
    }
    if (text.size() + 1 > outSize) {
        return false;
    }
    CopyBounded(out, outSize, text.c_str());
    return true;
}

#include "ConnectionString.h"

#include <cstdio>
#include <string>

#include "common/BoundedCopy.h"

namespace {

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

// The MariaDB driver drops blanks (space, tab, CR, LF, VT, FF) around every
// value, braced or not: a value that begins or ends with one would reach the
// server changed, so it is refused instead, whichever driver the engine uses.
bool BlankAtEdge(const std::string& value) {
    auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    return !value.empty() && (blank(value.front()) || blank(value.back()));
}

bool MySqlKeepsValues(const ConnectionParams& params) {
    return !BlankAtEdge(FieldText(params.server)) && !BlankAtEdge(FieldText(params.userId)) &&
           !BlankAtEdge(FieldText(params.password)) && !BlankAtEdge(FieldText(params.databaseName));
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

ConnectionStringResult BuildConnectionString(const ConnectionParams& params,
                                             const DriverNames& drivers,
                                             const ConnectionOptions& options, char* out,
                                             size_t outSize, std::string* refused) {
    if (outSize > 0) {
        out[0] = '\0';
    }
    // Every attribute built from the record ends with ';', so the options
    // begin an attribute of their own.
    std::string text;
    std::string extra;
    switch (params.dbType) {
    case MsSql:
        text = MsSqlString(params, drivers);
        extra = FieldText(options.msSql);
        break;
    case MySql:
        if (!MySqlKeepsValues(params)) {
            return ConnectionStringResult::BlankAtEdge;
        }
        text = MySqlString(params, drivers);
        extra = FieldText(options.mySql);
        break;
    case Oracle:
        text = OracleString(params, drivers);
        extra = FieldText(options.oracle);
        break;
    default:
        return ConnectionStringResult::UnknownEngine;
    }
    if (const char* name = ReservedAttributeIn(extra)) {
        if (refused != nullptr) {
            *refused = name;
        }
        return ConnectionStringResult::RepeatsAttribute;
    }
    const std::string foreign = AttributeNotAllowedIn(params.dbType, extra);
    if (!foreign.empty()) {
        if (refused != nullptr) {
            *refused = foreign;
        }
        return ConnectionStringResult::NotAllowed;
    }
    text += extra;
    if (text.size() + 1 > outSize) {
        return ConnectionStringResult::TooLong;
    }
    CopyBounded(out, outSize, text.c_str());
    return ConnectionStringResult::Built;
}

#include "ConnectionString.h"

#include <cstdio>
#include <string>

#include "common/AsciiCase.h"
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

// What the builders write, and the names drivers take for the same settings:
// the MariaDB driver's OPTIONS, USER, PASSWORD, DB and SERVERNAME, the SQL
// Server driver's ADDRESS and ADDR (a server's address, used before SERVER).
constexpr const char* kReservedAttributes[] = {"DRIVER",  "SERVER",     "PORT",
                                               "UID",     "PWD",        "DATABASE",
                                               "OPTION",  "DBQ",        "Trusted_Connection",
                                               "OPTIONS", "USER",       "PASSWORD",
                                               "DB",      "SERVERNAME", "ADDRESS",
                                               "ADDR"};

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A name holds no NUL: it is cut from the text of Kelvane.ini.
bool SameName(const std::string& name, const char* reserved) {
    return SameIgnoringCase(name.c_str(), reserved);
}

// The name between at and end without the blanks around it.
std::string TrimmedName(const std::string& text, size_t at, size_t end) {
    while (at < end && IsBlank(text[at])) {
        ++at;
    }
    while (end > at && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(at, end - at);
}

// From just past an attribute's '=' to the ';' that ends it (or the end): a
// value in braces ends at the brace that is not doubled, whatever it holds.
size_t ValueEnd(const std::string& text, size_t at) {
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    if (at < text.size() && text[at] == '{') {
        for (++at; at < text.size(); ++at) {
            if (text[at] == '}' && (at + 1 >= text.size() || text[at + 1] != '}')) {
                break;
            }
            at += text[at] == '}' ? 1 : 0;
        }
    }
    const size_t end = text.find(';', at);
    return end == std::string::npos ? text.size() : end;
}

} // namespace

const char* ReservedAttributeIn(const std::string& options) {
    for (size_t at = 0; at < options.size(); ++at) {
        size_t end = options.find_first_of("=;", at);
        end = end == std::string::npos ? options.size() : end;
        const std::string name = TrimmedName(options, at, end);
        for (const char* reserved : kReservedAttributes) {
            if (SameName(name, reserved)) {
                return reserved;
            }
        }
        at = end < options.size() && options[end] == '=' ? ValueEnd(options, end + 1) : end;
    }
    return nullptr;
}

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
                                             size_t outSize, const char** repeated) {
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
        if (repeated != nullptr) {
            *repeated = name;
        }
        return ConnectionStringResult::RepeatsAttribute;
    }
    text += extra;
    if (text.size() + 1 > outSize) {
        return ConnectionStringResult::TooLong;
    }
    CopyBounded(out, outSize, text.c_str());
    return ConnectionStringResult::Built;
}

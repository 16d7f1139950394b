// The connection string of a ConnectDB: refused whole when the record or
// Kelvane.ini would make it ambiguous or cut, never sent in part.
#include "ConnectionRequest.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "AnsiText.h"
#include "DriverConfig.h"
#include "OdbcDiagnostics.h"

namespace {

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
    case ConnectionStringResult::NotAllowed:
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

// The attribute's name is the administrator's text: at most 40 of its bytes
// are quoted, so that the reason itself always fits errorText.
void RefuseAttribute(ConnectionParams* params, ConnectionStringResult result,
                     const std::string& attribute) {
    char reason[kErrorTextSize] = {};
    const char* why = result == ConnectionStringResult::RepeatsAttribute
                          ? "which the library sets itself"
                          : "which the library does not pass on (only encryption, certificate, "
                            "timeout and application-name options)";
    snprintf(reason, sizeof reason,
             "Kelvane: [Options] %s= in Kelvane.ini sets %.40s, %s; "
             "remove it from the options",
             EngineKey(params->dbType), attribute.c_str(), why);
    SetErrorText(params, reason);
}

} // namespace

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
    std::string refused;
    ConnectionStringResult result =
        BuildConnectionString(*params, config.names, config.options, out, sizeof out, &refused);
    if (result == ConnectionStringResult::RepeatsAttribute ||
        result == ConnectionStringResult::NotAllowed) {
        RefuseAttribute(params, result, refused);
        return false;
    }
    if (result != ConnectionStringResult::Built) {
        SetErrorText(params, Refusal(result));
        return false;
    }
    return true;
}

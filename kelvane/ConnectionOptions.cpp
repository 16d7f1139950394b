// The administrator's extra attributes of a connection string ([Options] of
// Kelvane.ini): which of them the library takes. Portable, as ConnectionString.
#include "ConnectionOptions.h"

#include "common/AsciiCase.h"
#include "common/KelvaneInterface.h"

namespace {

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

// The name of every attribute of an options text, in order, to visit until
// it answers true; that name, or "" when none did.
template <typename Visit> std::string FirstName(const std::string& options, Visit visit) {
    for (size_t at = 0; at < options.size(); ++at) {
        size_t end = options.find_first_of("=;", at);
        end = end == std::string::npos ? options.size() : end;
        std::string name = TrimmedName(options, at, end);
        if (visit(name)) {
            return name;
        }
        at = end < options.size() && options[end] == '=' ? ValueEnd(options, end + 1) : end;
    }
    return std::string();
}

// What a site may need to set per engine, under its drivers' own names:
// encryption and certificate trust, timeouts, the application's name. Nothing
// that writes a file (SAVEFILE), loads code (a plug-in folder), reads other
// settings (a DSN, an option file) or runs a statement at connect.
// SQL Server drivers (the old "SQL Server" one and ODBC Driver 17/18).
constexpr const char* kMsSqlAllowed[] = {"Encrypt",
                                         "TrustServerCertificate",
                                         "HostNameInCertificate",
                                         "ServerCertificate",
                                         "ConnectRetryCount",
                                         "ConnectRetryInterval",
                                         "ConnectTimeout",
                                         "KeepAlive",
                                         "KeepAliveInterval",
                                         "APP"};
// The MariaDB driver, and MySQL's (SSLMODE, READTIMEOUT, WRITETIMEOUT).
constexpr const char* kMySqlAllowed[] = {
    "SSLMODE",      "SSLCA",         "SSLCAPATH",   "SSLCIPHER",   "SSLVERIFY",     "SSLCRL",
    "SSLCRLPATH",   "TLSVERSION",    "FORCETLS",    "TLSPEERFP",   "TLSPEERFPLIST", "CONN_TIMEOUT",
    "READ_TIMEOUT", "WRITE_TIMEOUT", "READTIMEOUT", "WRITETIMEOUT"};
// Oracle's driver: the query timeout and the failover retries (encryption is
// Oracle Net's, in sqlnet.ora).
constexpr const char* kOracleAllowed[] = {"QTO", "FRC", "FDL"};

template <size_t N> bool Listed(const std::string& name, const char* const (&list)[N]) {
    for (const char* allowed : list) {
        if (SameName(name, allowed)) {
            return true;
        }
    }
    return false;
}

bool Allowed(int32_t dbType, const std::string& name) {
    switch (dbType) {
    case MsSql:
        return Listed(name, kMsSqlAllowed);
    case MySql:
        return Listed(name, kMySqlAllowed);
    case Oracle:
        return Listed(name, kOracleAllowed);
    default:
        return false;
    }
}

} // namespace

const char* ReservedAttributeIn(const std::string& options) {
    const char* found = nullptr;
    FirstName(options, [&found](const std::string& name) {
        for (const char* reserved : kReservedAttributes) {
            if (SameName(name, reserved)) {
                found = reserved;
                return true;
            }
        }
        return false;
    });
    return found;
}

std::string AttributeNotAllowedIn(int32_t dbType, const std::string& options) {
    // An empty attribute (";;") names nothing, so it passes nothing on.
    return FirstName(options, [dbType](const std::string& name) {
        return !name.empty() && !Allowed(dbType, name);
    });
}

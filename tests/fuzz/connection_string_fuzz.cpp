// The connection string of a record whose text fields hold arbitrary bytes,
// read back by ODBC's rules (attribute=value pairs separated by ';', a value
// in braces with "}}" for '}'): it names exactly the engine's attributes, in
// order, each with the record's value unchanged, so no field adds or alters
// an attribute. A MySQL value with white space at either end is refused.
//
// Input: engine (1 byte), Windows authentication (bit 0 of 1 byte), port (4
// bytes), then server, user, password and database name, 32 bytes each, as
// far as the input reaches; a field need not hold a NUL.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "ConnectionString.h"
#include "FuzzCheck.h"
#include "common/BoundedCopy.h"

namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

constexpr size_t kHeaderSize = 6;

// A braced value up to its closing brace; at is on the opening one and ends
// past the closing one. False when the brace is never closed.
bool ParseBraced(const std::string& text, size_t& at, std::string& value) {
    for (++at; at < text.size(); ++at) {
        if (text[at] != '}') {
            value += text[at];
        } else if (at + 1 < text.size() && text[at + 1] == '}') {
            value += '}';
            ++at;
        } else {
            ++at;
            return true;
        }
    }
    return false;
}

// False when the text is not a well-formed connection string.
bool Parse(const std::string& text, Attributes& out) {
    size_t at = 0;
    while (at < text.size()) {
        size_t equals = text.find('=', at);
        if (equals == std::string::npos) {
            return false;
        }
        std::string key = text.substr(at, equals - at);
        if (key.empty() || key.find_first_of(";{}") != std::string::npos) {
            return false;
        }
        std::string value;
        at = equals + 1;
        if (at < text.size() && text[at] == '{') {
            if (!ParseBraced(text, at, value) || (at < text.size() && text[at] != ';')) {
                return false;
            }
        } else {
            size_t end = text.find(';', at);
            value = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
            if (value.find_first_of("{}") != std::string::npos) {
                return false;
            }
            at += value.size();
        }
        out.emplace_back(key, value);
        at += at < text.size() ? 1 : 0; // the ';'
    }
    return true;
}

std::string Text(const char (&field)[kTextFieldSize]) {
    return std::string(field, strnlen(field, kTextFieldSize));
}

// What the engine's string must name, from the record alone.
Attributes Expected(const ConnectionParams& p, const DriverNames& drivers) {
    const std::string port = std::to_string(p.port);
    Attributes a;
    if (p.dbType == MsSql) {
        std::string server = Text(p.server);
        if (server.find('\\') == std::string::npos && p.port > 0) {
            server += "," + port;
        }
        a = {{"DRIVER", drivers.msSql}, {"SERVER", server}};
    } else if (p.dbType == MySql) {
        a = {{"DRIVER", drivers.mySql}, {"SERVER", Text(p.server)}};
        if (p.port > 0) {
            a.emplace_back("PORT", port);
        }
    } else {
        a = {{"DRIVER", drivers.oracle}, {"DBQ", Text(p.server) + (p.port > 0 ? ":" + port : "")}};
    }
    if (p.dbType == MsSql && p.windowsAuth == 1) {
        a.emplace_back("Trusted_Connection", "Yes");
    } else {
        a.emplace_back("UID", Text(p.userId));
        a.emplace_back("PWD", Text(p.password));
    }
    if (p.databaseName[0] != '\0') {
        a.emplace_back("DATABASE", Text(p.databaseName));
    }
    if (p.dbType == MySql) {
        a.emplace_back("OPTION", kMultiStatementOption);
    }
    return a;
}

// The MariaDB driver trims C-locale white space around values: such a value
// must be refused, not sent.
bool MySqlDropsABlank(const ConnectionParams& p) {
    for (const std::string& value :
         {Text(p.server), Text(p.userId), Text(p.password), Text(p.databaseName)}) {
        if (!value.empty() && (std::isspace(static_cast<unsigned char>(value.front())) ||
                               std::isspace(static_cast<unsigned char>(value.back())))) {
            return true;
        }
    }
    return false;
}

ConnectionParams RecordOf(const uint8_t* data, size_t size) {
    ConnectionParams params = {};
    params.dbType = static_cast<int8_t>(data[0]);
    params.windowsAuth = data[1] & 1;
    std::memcpy(&params.port, data + 2, sizeof params.port);
    char* fields[] = {params.server, params.userId, params.password, params.databaseName};
    size_t at = kHeaderSize;
    for (char* field : fields) {
        size_t n = size > at ? std::min(size - at, kTextFieldSize) : 0;
        std::memcpy(field, data + at, n);
        at += n;
    }
    return params;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeaderSize) {
        return 0;
    }
    const ConnectionParams params = RecordOf(data, size);
    DriverNames drivers = {};
    CopyField(drivers.msSql, "SQL {Server}");
    CopyField(drivers.mySql, "MariaDB Unicode");
    CopyField(drivers.oracle, "Ora;Client");
    const ConnectionOptions options = {};
    char out[kConnectionStringSize];
    std::memset(out, 'X', sizeof out);
    ConnectionStringResult result =
        BuildConnectionString(params, drivers, options, out, sizeof out);
    FUZZ_CHECK(IsTerminatedField(out, sizeof out));
    if (params.dbType != MsSql && params.dbType != MySql && params.dbType != Oracle) {
        FUZZ_CHECK(result == ConnectionStringResult::UnknownEngine && out[0] == '\0');
        return 0;
    }
    if (params.dbType == MySql && MySqlDropsABlank(params)) {
        FUZZ_CHECK(result == ConnectionStringResult::BlankAtEdge && out[0] == '\0');
        return 0;
    }
    // Four fields of 32 bytes, each '}' doubled, fit with room to spare.
    FUZZ_CHECK(result == ConnectionStringResult::Built);
    Attributes parsed;
    FUZZ_CHECK(Parse(out, parsed));
    FUZZ_CHECK(parsed == Expected(params, drivers));
    return 0;
}

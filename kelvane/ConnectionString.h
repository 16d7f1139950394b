// Builds the ODBC connection string of one ConnectionParams record. Portable:
// no ODBC or Windows headers, so the rules are testable on their own.
#pragma once

#include <cstddef>
#include <string>

#include "ConnectionOptions.h"
#include "common/KelvaneInterface.h"

// ODBC driver names per engine, as registered with the driver manager.
constexpr size_t kDriverNameSize = 128;
struct DriverNames {
    char msSql[kDriverNameSize];
    char mySql[kDriverNameSize];
    char oracle[kDriverNameSize];
};

// The names a Windows machine has when the vendors' drivers are installed.
DriverNames DefaultDriverNames();

// Lets MariaDB and MySQL drivers take several statements in one batch.
constexpr const char* kMultiStatementOption = "67108864";

// BlankAtEdge: a MySQL value begins or ends with a blank, which the driver
// would drop. RepeatsAttribute: the engine's options name an attribute the
// library writes itself (ReservedAttributeIn). NotAllowed: they name one the
// engine's allow list lacks (AttributeNotAllowedIn).
enum class ConnectionStringResult {
    Built,
    UnknownEngine,
    TooLong,
    BlankAtEdge,
    RepeatsAttribute,
    NotAllowed
};

// Writes the connection string into out (outSize bytes, NUL-terminated).
// Unless it is Built, out holds an empty string. On RepeatsAttribute and
// NotAllowed, *refused (when given) names the attribute.
ConnectionStringResult BuildConnectionString(const ConnectionParams& params,
                                             const DriverNames& drivers,
                                             const ConnectionOptions& options, char* out,
                                             size_t outSize, std::string* refused = nullptr);

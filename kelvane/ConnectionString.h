// Builds the ODBC connection string of one ConnectionParams record. Portable:
// no ODBC or Windows headers, so the rules are testable on their own.
#pragma once

#include <cstddef>

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

// The library's buffer for one connection string, its NUL included.
constexpr size_t kConnectionStringSize = 1024;

// ODBC attributes the administrator adds per engine, appended as given after
// the ones built from the record ("Encrypt=Optional;TrustServerCertificate=Yes").
// As large as the whole string: an options text that had to be cut on reading
// can never fit, so it is refused, never sent cut.
constexpr size_t kOptionsSize = kConnectionStringSize;
struct ConnectionOptions {
    char msSql[kOptionsSize];
    char mySql[kOptionsSize];
    char oracle[kOptionsSize];
};

// BlankAtEdge: a MySQL value begins or ends with a blank, which the driver
// would drop.
enum class ConnectionStringResult { Built, UnknownEngine, TooLong, BlankAtEdge };

// Writes the connection string into out (outSize bytes, NUL-terminated).
// Unless it is Built, out holds an empty string.
ConnectionStringResult BuildConnectionString(const ConnectionParams& params,
                                             const DriverNames& drivers,
                                             const ConnectionOptions& options, char* out,
                                             size_t outSize);

// Builds the ODBC connection string of one ConnectionParams record. Portable:
// no ODBC or Windows headers, so the rules are testable on their own.
#pragma once

#include <cstddef>
#include <string>

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

// The first attribute of an options text that the library writes itself
// (under its own name or a driver's other name for it), as the library spells
// it ("OPTION" for " option =3"), or null when there is none. Names are
// compared without case and without the blanks around them; a braced value is
// one value, whatever ';' it holds. Every engine's attributes count for every
// engine: which of two equal attributes a driver takes is its own choice (the
// MariaDB driver takes the last, so an OPTION= would turn multi-statement
// batches off), and none of them is the administrator's to set.
const char* ReservedAttributeIn(const std::string& options);

// BlankAtEdge: a MySQL value begins or ends with a blank, which the driver
// would drop. RepeatsAttribute: the engine's options name an attribute the
// library writes itself (ReservedAttributeIn).
enum class ConnectionStringResult { Built, UnknownEngine, TooLong, BlankAtEdge, RepeatsAttribute };

// Writes the connection string into out (outSize bytes, NUL-terminated).
// Unless it is Built, out holds an empty string. On RepeatsAttribute,
// *repeated (when given) names the attribute.
ConnectionStringResult BuildConnectionString(const ConnectionParams& params,
                                             const DriverNames& drivers,
                                             const ConnectionOptions& options, char* out,
                                             size_t outSize, const char** repeated = nullptr);

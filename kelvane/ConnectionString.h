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

// Writes the connection string into out (outSize bytes, NUL-terminated).
// Returns false for an unknown engine or when the string does not fit; out
// then holds an empty string.
bool BuildConnectionString(const ConnectionParams& params, const DriverNames& drivers, char* out,
                           size_t outSize);

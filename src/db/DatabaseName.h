// The database name the workflows work with.
#pragma once

#include "common/KelvaneInterface.h"

// The default database name, used instead of the record's whenever the
// program was started with arguments.
constexpr const char* kDefaultDatabaseName = "Quenlor";

// Wherever a workflow needs the database name: the default when launched with
// a command line, else the record's own. Never writes into the record.
inline const char* EffectiveDatabaseName(int launchedWithCommandLine,
                                         const ConnectionParams& params) {
    return launchedWithCommandLine ? kDefaultDatabaseName : params.databaseName;
}

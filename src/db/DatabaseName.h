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

// The statements carry the name unquoted and the existence check compares it
// as a string, so only names that every engine takes unquoted and compares
// exactly are accepted: 1 to 31 letters of the ANSI code page, digits and
// underscores, not starting with a digit. Anything else (a blank, a quote, a
// backtick, a semicolon) could make a statement other than the one meant.
bool IsAcceptedDatabaseName(const char* name);

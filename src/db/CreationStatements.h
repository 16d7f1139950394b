// Engine-specific statements that find out whether the database exists, and
// that create and select it.
#pragma once

#include <cstddef>

#include "platform/Platform.h"

// What the existence check found.
enum class DatabaseProbe {
    Absent,         // the check's statement succeeded: nothing of that name
    Exists,         // it failed: the database is there, or the cause is unknown
    ConnectionLost, // it failed and the library says the connection is gone
};

// Asks the server, with one statement per engine that fails when the database
// exists and succeeds when it does not (on Oracle: when the connected user's
// schema already holds tables). A library that answers every statement with
// success thus lets the create go on as before; a failure whose cause is not
// known counts as Exists, so that nothing is ever dropped unasked.
DatabaseProbe ProbeDatabase(const char* name, int dbType);

// What the sequence did besides its statements, for the run's outcome.
struct CreationOutcome {
    // Leftover data files moved aside: where each of them lies now.
    char kept[2][kPathSize] = {};
    int keptCount = 0;
    // Replacing, the server refused to drop the database: nothing more was sent.
    bool dropRefused = false;
};

// Returns 1 when the database was created and selected (Oracle: always), else
// 0. name is the effective database name. A DROP is sent only when replacing
// (the administrator chose to; the MS SQL form that drops nothing when there
// is nothing always comes first), and one the server refuses then stops the
// sequence. A lost connection stops it at the statement that found it:
// nothing more is sent, and no leftover file is touched. On Microsoft SQL
// Server the files an earlier database left in the default data directory
// are moved aside (never deleted: they may be a detached database's) only
// when serverIsThisMachine: another machine's files are not on this disk.
int CreateDatabaseObjects(const char* name, int launchedWithCommandLine, int dbType,
                          bool serverIsThisMachine, bool replacing = false,
                          CreationOutcome* outcome = nullptr);

// text with every ' doubled, for a literal between single quotes; false (and
// out empty) when that does not fit out.
bool QuoteLiteral(const char* text, char* out, size_t size);

// Engine-specific statements that find out whether the database exists, and
// that create and select it.
#pragma once

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

// Returns 1 when the database was created and selected (Oracle: always), else
// 0. name is the effective database name. A lost connection stops the
// sequence at the statement that found it: nothing more is sent, and no
// leftover file is deleted. On Microsoft SQL Server the files an earlier
// database left in the default data directory are deleted only when
// serverIsThisMachine: another machine's files are not on this disk, and
// the ones that are belong to a local instance that has nothing to do with
// this create.
int CreateDatabaseObjects(const char* name, int launchedWithCommandLine, int dbType,
                          bool serverIsThisMachine);

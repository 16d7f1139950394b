// Engine-specific statements that create and select the database.
#pragma once

// Returns 1 when the database was created and selected (Oracle: always), else
// 0. name is the effective database name.
int CreateDatabaseObjects(const char* name, int launchedWithCommandLine, int dbType);

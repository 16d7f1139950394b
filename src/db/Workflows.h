// The create and patch workflows, run synchronously by the dialogs.
#pragma once

#include "common/KelvaneInterface.h"
#include "db/ProgressBar.h"

// Provisions a new database and saves the settings. 1 on success, 0 on any
// failure (after the messages the failure calls for). params.databaseName is
// blanked for the connection and put back.
int CreateDatabase(int launchedWithCommandLine, ConnectionParams& params,
                   IProgressBar* progressBar, int dbType);

// Brings an existing database up to date with the engine's patch script.
// 1 when the script ran (or the engine is unknown), 0 on failure. Silent.
int PatchDatabase(int launchedWithCommandLine, const ConnectionParams& params,
                  IProgressBar* progressBar);

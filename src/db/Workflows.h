// The create and patch workflows, run synchronously by the dialogs.
#pragma once

#include "common/KelvaneInterface.h"
#include "db/ProgressBar.h"

// What the create does when a database of the effective name is already on
// the server: it is never dropped unasked.
enum class ExistingDatabase {
    Ask,     // the main dialog: a Yes/No question, No the default
    Keep,    // unattended: nothing is changed, the reason is shown
    Replace, // unattended with /replace: dropped and created again
};

enum class CreateResult {
    Failed, // after the messages the failure calls for
    Created,
    // The database exists and stays as it was: nothing was dropped, deleted,
    // created or saved.
    KeptExisting,
    // The database was created, but its settings could not be saved (the key
    // is missing or refused): a failure, though the database is there.
    SettingsNotSaved,
};

// Provisions a new database and saves the settings. params.databaseName is
// blanked for the connection and put back.
CreateResult CreateDatabase(int launchedWithCommandLine, ConnectionParams& params,
                            IProgressBar* progressBar, int dbType, ExistingDatabase existing);

// Brings an existing database up to date with the engine's patch script.
// 1 when the script ran (or the engine is unknown), 0 on failure. Silent.
int PatchDatabase(int launchedWithCommandLine, const ConnectionParams& params,
                  IProgressBar* progressBar);

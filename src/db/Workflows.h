// The create and patch workflows, run synchronously by the dialogs.
#pragma once

#include <string>

#include "common/KelvaneInterface.h"
#include "db/ProgressBar.h"

// What the create does when a database of the effective name is already on
// the server: it is never dropped unasked.
enum class ExistingDatabase {
    Ask,     // the main dialog: a Yes/No question, No the default; after No,
             // whether to keep it instead
    Keep,    // unattended: nothing is changed, the reason is shown
    Replace, // unattended with /replace: dropped and created again
    // Unattended with /keep: none of the creation statements; the settings are
    // saved for it and the patch script runs in it.
    KeepAndPatch,
};

enum class CreateResult {
    Failed, // after the messages the failure calls for
    // Something the create needs (the name, a script, the Quenlor key) is not
    // there: nothing was sent, and a box has named what is missing.
    NotReady,
    Created,
    // Created and saved, but the server refused batches of the scripts: a
    // success (the scripts may rely on a statement failing), in plain sight.
    CreatedWithRefusedBatches,
    // The database exists and stays as it was: nothing was dropped, deleted,
    // created or saved.
    KeptExisting,
    // The database exists and was kept as the administrator asked: its
    // settings were saved and the patch script ran in it; or, a failure,
    // the patch did not run (the settings are saved: the next start patches).
    KeptAndPatched,
    KeptPatchNotRun,
    // The database was created, but its settings could not be saved (the key
    // is missing or refused): a failure, though the database is there.
    SettingsNotSaved,
};

// What a create tells its caller beyond its result.
struct CreateDetails {
    // The batches the server refused during the create, of those sent.
    long long refused = 0;
    long long sent = 0;
    // Leftover data files of an earlier database moved aside: where they lie
    // now, one path a line; empty when none were.
    std::string keptFiles;
};

// Provisions a new database and saves the settings. Nothing is sent before
// the name, both scripts and the Quenlor key have been found ready (the
// scripts are decrypted then, and run later). params.databaseName is blanked
// for the connection and put back. details, when given, receives what the
// caller may have to show.
CreateResult CreateDatabase(int launchedWithCommandLine, ConnectionParams& params,
                            IProgressBar* progressBar, int dbType, ExistingDatabase existing,
                            CreateDetails* details = nullptr);

// What the same create would come to, short of the server refusing a
// statement: the checks before the first change, the connection and the
// existence check, then nothing more. Nothing is dropped, created, run,
// deleted or saved. The result is shown (a box, the run log, the debugger).
enum class CheckResult { Failed, WouldCreate, WouldReplace, Exists, WouldKeep };
CheckResult CheckCreate(int launchedWithCommandLine, ConnectionParams& params, int dbType,
                        ExistingDatabase existing);

// Brings an existing database up to date with the engine's patch script.
// 1 when the script ran (or the engine is unknown), 0 on failure. Silent.
int PatchDatabase(int launchedWithCommandLine, const ConnectionParams& params,
                  IProgressBar* progressBar);
// The same without an outcome of its own, for a create that keeps a database.
int RunPatch(int launchedWithCommandLine, const ConnectionParams& params,
             IProgressBar* progressBar);

// The patch's dry run: connects, selects the database and decrypts the patch
// script, then runs nothing. True when the patch could run; the result goes
// to the run log and the debugger output.
bool CheckPatch(int launchedWithCommandLine, const ConnectionParams& params);

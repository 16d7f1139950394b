// The two modal dialogs start-up can run; each becomes the application's main
// window while it runs.
#pragma once

#include "common/KelvaneInterface.h"
#include "db/Workflows.h"

class CWinApp;

// Exit statuses of the unattended runs.
constexpr int kExitCreated = 0;
constexpr int kExitFailed = 1;
constexpr int kExitDatabaseKept = 2; // the database exists: nothing changed
// Windows Installer's codes, which deployment tools know: another run holds
// the machine (they retry by themselves), and a command line refused.
constexpr int kExitAnotherRun = 1618;
constexpr int kExitCommandLineRefused = 1639;

// The progress dialog in create mode, on a copy of params, whose
// databaseName names the database; existing says what becomes of one that
// is there (replaced, kept, or kept and patched). Returns the exit status: 0
// created (or kept and patched), 1 failed (or never run), 2 kept as it was. With checkOnly the dialog runs the dry
// run instead, and the status is the one the create would end with.
int RunCreateDialog(CWinApp& app, const ConnectionParams& params, ExistingDatabase existing,
                    bool checkOnly);

// The progress dialog in patch mode on the saved settings (or the patch's
// dry run): 0 when the patch ran (would run), 1 when it did not, also when
// no settings are saved. A failure is shown in a box.
int RunPatchDialog(CWinApp& app, bool checkOnly);

// The main dialog (interactive mode).
void RunMainDialog(CWinApp& app);

// The two modal dialogs start-up can run; each becomes the application's main
// window while it runs.
#pragma once

#include "common/KelvaneInterface.h"

class CWinApp;

// Exit statuses of the unattended create.
constexpr int kExitCreated = 0;
constexpr int kExitFailed = 1;
constexpr int kExitDatabaseKept = 2; // the database exists: nothing changed

// The progress dialog in create mode, on a copy of params; an existing
// database is replaced only when replaceExisting is set. Returns the exit
// status: 0 created, 1 failed (or never run), 2 kept as it was. With
// checkOnly the dialog runs the dry run instead, and the status is the one
// the create would end with.
int RunCreateDialog(CWinApp& app, const ConnectionParams& params, bool replaceExisting,
                    bool checkOnly);

// The main dialog (interactive mode).
void RunMainDialog(CWinApp& app);

// The two modal dialogs start-up can run; each becomes the application's main
// window while it runs.
#pragma once

#include "common/KelvaneInterface.h"

class CWinApp;

// The progress dialog in create mode, on a copy of params. True when the
// create ran and succeeded.
bool RunCreateDialog(CWinApp& app, const ConnectionParams& params);

// The main dialog (interactive mode).
void RunMainDialog(CWinApp& app);

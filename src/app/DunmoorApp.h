// The application object of Dunmoor: prepares the cipher, loads the database
// library and runs exactly one modal dialog.
#pragma once

#include <cstdint>

#include "common/KelvaneInterface.h"
#include "framework/WinApp.h"

class CDunmoorApp : public CWinApp {
  public:
    BOOL InitInstance() override;
    // 0, or 1 after an unattended create that failed.
    int ExitInstance() override { return m_exitStatus; }

    // Fills params from the argument text: 1 for an unattended create, 0 when
    // "/find" is present (params untouched).
    int ParseCommandLine(ConnectionParams& params);

    // 1 when the program was started with non-empty arguments. Set once.
    int32_t launchedWithCommandLine = 0;

  private:
    int m_exitStatus = 0;
};

// The single application object.
CDunmoorApp& TheApp();

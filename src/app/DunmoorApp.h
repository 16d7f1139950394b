// The application object of Dunmoor: prepares the cipher, loads the database
// library and runs exactly one modal dialog.
#pragma once

#include <cstdint>

#include "common/KelvaneInterface.h"
#include "framework/WinApp.h"

class CDunmoorApp : public CWinApp {
  public:
    BOOL InitInstance() override;
    // 0; after an unattended create 1 when it failed, 2 when the database
    // was already there and kept.
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

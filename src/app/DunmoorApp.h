// The application object of Dunmoor: prepares the cipher, loads the database
// library and runs exactly one modal dialog.
#pragma once

#include <cstdint>
#include <string>

#include "common/KelvaneInterface.h"
#include "framework/WinApp.h"

class CDunmoorApp : public CWinApp {
  public:
    BOOL InitInstance() override;
    // 0; after an unattended run 1 when it failed, 2 when the database was
    // already there and kept, 1618 when another run holds the machine, 1639
    // when the command line was refused.
    int ExitInstance() override { return m_exitStatus; }

    // Fills params from the argument text (without its /log: switch): 1 for
    // an unattended create, 0 when "/find" is present (params untouched).
    int ParseCommandLine(ConnectionParams& params);

    // 1 when the program was started with non-empty arguments. Set once.
    int32_t launchedWithCommandLine = 0;

  private:
    // Everything after the cipher is ready: the run log, the mode, the dialog.
    // Returns the exit status.
    // runNote: what taking the machine's run hold had to say, or "".
    int Run(const char* programDirectory, const char* runNote);
    // Another run holds the machine: reason logged, box, exit status 1.
    int RefuseSecondRun(const char* reason);
    void LogStart(const char* mode) const;

    int m_exitStatus = 0;
    // The argument text without "/log:<path>" and its surrounding blanks.
    std::string m_arguments;
};

// The single application object.
CDunmoorApp& TheApp();

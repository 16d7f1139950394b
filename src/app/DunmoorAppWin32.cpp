#include "app/DunmoorApp.h"

#include <commctrl.h>

#include <cstring>

#include "app/AppDialogs.h"
#include "app/CommandLine.h"
#include "crypto/Cipher.h"
#include "db/DbLibrary.h"
#include "db/MessageBox.h"
#include "framework/Platform.h"

int CDunmoorApp::ParseCommandLine(ConnectionParams& params) {
    return ::ParseCommandLine(m_lpCmdLine, params);
}

BOOL CDunmoorApp::InitInstance() {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = 8;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    AfxEnableControlContainer(nullptr);

    BuildCipherTables();
    ExpandKey();

    SetRegistryKey("Local AppWizard-Generated Applications");
    if (!AfxOleInit()) {
        // No dialog runs: an unattended create asked for has not happened.
        ConnectionParams params = {};
        if (m_lpCmdLine[0] != '\0' && ParseCommandLine(params) == 1) {
            m_exitStatus = kExitFailed;
        }
        return FALSE;
    }

    char programDirectory[kPathSize];
    GetProgramDirectory(programDirectory);
    LoadDbLibrary(programDirectory);

    if (m_lpCmdLine[0] == '\0') {
        launchedWithCommandLine = 0;
        RunMainDialog(*this);
        return FALSE;
    }
    launchedWithCommandLine = 1;
    ConnectionParams params;
    memset(&params, 0, sizeof params);
    if (ParseCommandLine(params) == 1) {
        // A deployment tool learns the outcome from the exit status; with /q
        // that and the debugger output are all it gets, no box waits on it.
        if (HasQuietSwitch(m_lpCmdLine)) {
            UseQuietMessages();
        }
        m_exitStatus = RunCreateDialog(*this, params, HasWordSwitch(m_lpCmdLine, "/replace"));
        return FALSE;
    }
    RunMainDialog(*this);
    return FALSE;
}

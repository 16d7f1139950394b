#include "app/DunmoorApp.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "app/AppDialogs.h"
#include "app/CommandLine.h"
#include "crypto/Cipher.h"
#include "db/DbLibrary.h"
#include "db/MessageBox.h"
#include "db/ScriptPaths.h"
#include "framework/Platform.h"

namespace {

// A run that a power cut ended left its plain script behind. One that another
// start is running is held against deletion and stays. Each name removed
// goes to the debugger output.
void RemoveLeftoverPlainScripts(const char* programDirectory) {
    const char* deleted[kScriptCount] = {};
    const size_t count = DeleteLeftoverPlainScripts(programDirectory, deleted);
    for (size_t i = 0; i < count; ++i) {
        char message[96] = {};
        snprintf(message, sizeof message, "Leftover plain script deleted: %s", deleted[i]);
        PlatformDebugOutput(message);
    }
}

} // namespace

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

    char programDirectory[kPathSize];
    GetProgramDirectory(programDirectory);
    RemoveLeftoverPlainScripts(programDirectory);

    SetRegistryKey("Local AppWizard-Generated Applications");
    if (!AfxOleInit()) {
        // No dialog runs: an unattended create asked for has not happened.
        ConnectionParams params = {};
        if (m_lpCmdLine[0] != '\0' && ParseCommandLine(params) == 1) {
            m_exitStatus = kExitFailed;
        }
        return FALSE;
    }

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

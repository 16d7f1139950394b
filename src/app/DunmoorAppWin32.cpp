#include "app/DunmoorApp.h"

#include <commctrl.h>

#include <cstring>

#include "app/CommandLine.h"
#include "crypto/Cipher.h"
#include "db/DbLibrary.h"
#include "framework/Platform.h"
#include "ui/DBCommandSetup.h"
#include "ui/DunmoorDlg.h"

CDunmoorApp& TheApp() { return *static_cast<CDunmoorApp*>(AfxGetApp()); }

int CDunmoorApp::ParseCommandLine(ConnectionParams& params) {
    return ::ParseCommandLine(m_lpCmdLine, params);
}

namespace {

void RunCreateDialog(CDunmoorApp& app, const ConnectionParams& params) {
    CDBCommandSetup dialog(nullptr);
    memcpy(&dialog.m_params, &params, sizeof params);
    dialog.m_mode = 1;
    app.m_pMainWnd = &dialog;
    dialog.DoModal();
    app.m_pMainWnd = nullptr;
}

void RunMainDialog(CDunmoorApp& app) {
    CDunmoorDlg dialog(nullptr);
    app.m_pMainWnd = &dialog;
    dialog.DoModal();
    app.m_pMainWnd = nullptr;
}

} // namespace

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
        RunCreateDialog(*this, params);
        return FALSE;
    }
    RunMainDialog(*this);
    return FALSE;
}

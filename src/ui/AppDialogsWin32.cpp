// The unattended create: the progress dialog in create mode as the
// application's main window.
#include <cstring>

#include "app/AppDialogs.h"
#include "framework/WinApp.h"
#include "ui/DBCommandSetup.h"

bool RunCreateDialog(CWinApp& app, const ConnectionParams& params) {
    CDBCommandSetup dlg;
    memcpy(&dlg.m_params, &params, sizeof dlg.m_params);
    dlg.m_mode = CDBCommandSetup::kModeCreate;
    app.m_pMainWnd = &dlg;
    dlg.DoModal();
    app.m_pMainWnd = nullptr;
    // Still armed: the dialog could not be created or was dismissed before
    // its run, so nothing was created.
    return dlg.m_armed == 0 && dlg.m_succeeded != 0;
}

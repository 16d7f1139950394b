// The unattended create: the progress dialog in create mode as the
// application's main window.
#include <cstring>

#include "app/AppDialogs.h"
#include "framework/WinApp.h"
#include "ui/DBCommandSetup.h"

namespace {

int CheckExitStatus(CheckResult result) {
    switch (result) {
    case CheckResult::WouldCreate:
    case CheckResult::WouldReplace:
        return kExitCreated;
    case CheckResult::Exists:
        return kExitDatabaseKept;
    case CheckResult::Failed:
        break;
    }
    return kExitFailed;
}

} // namespace

int RunCreateDialog(CWinApp& app, const ConnectionParams& params, bool replaceExisting,
                    bool checkOnly) {
    CDBCommandSetup dlg;
    memcpy(&dlg.m_params, &params, sizeof dlg.m_params);
    dlg.m_mode = checkOnly ? CDBCommandSetup::kModeCheck : CDBCommandSetup::kModeCreate;
    dlg.m_existing = replaceExisting ? ExistingDatabase::Replace : ExistingDatabase::Keep;
    app.m_pMainWnd = &dlg;
    dlg.DoModal();
    app.m_pMainWnd = nullptr;
    // Still armed: the dialog could not be created or was dismissed before
    // its run, so nothing was created.
    if (dlg.m_armed != 0) {
        return kExitFailed;
    }
    if (checkOnly) {
        return CheckExitStatus(dlg.m_checkResult);
    }
    switch (dlg.m_createResult) {
    case CreateResult::Created:
    case CreateResult::CreatedWithRefusedBatches:
        return kExitCreated;
    case CreateResult::KeptExisting:
        return kExitDatabaseKept;
    case CreateResult::Failed:
    case CreateResult::NotReady:
    case CreateResult::SettingsNotSaved:
        break;
    }
    return kExitFailed;
}

// The unattended create: the progress dialog in create mode as the
// application's main window.
#include <cstring>
#include <string>

#include "app/AppDialogs.h"
#include "common/BoundedCopy.h"
#include "config/ServerConfig.h"
#include "db/MessageBox.h"
#include "framework/WinApp.h"
#include "record/EventLog.h"
#include "record/RunLog.h"
#include "ui/DBCommandSetup.h"

namespace {

int CheckExitStatus(CheckResult result) {
    switch (result) {
    case CheckResult::WouldCreate:
    case CheckResult::WouldReplace:
    case CheckResult::WouldKeep:
        return kExitCreated;
    case CheckResult::Exists:
        return kExitDatabaseKept;
    case CheckResult::Failed:
        break;
    }
    return kExitFailed;
}

} // namespace

int RunCreateDialog(CWinApp& app, const ConnectionParams& params, ExistingDatabase existing,
                    bool checkOnly) {
    CDBCommandSetup dlg;
    memcpy(&dlg.m_params, &params, sizeof dlg.m_params);
    dlg.m_mode = checkOnly ? CDBCommandSetup::kModeCheck : CDBCommandSetup::kModeCreate;
    dlg.m_existing = existing;
    dlg.m_nameFromRecord = true;
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
    case CreateResult::KeptAndPatched:
        return kExitCreated;
    case CreateResult::KeptExisting:
        return kExitDatabaseKept;
    case CreateResult::Failed:
    case CreateResult::NotReady:
    case CreateResult::SettingsNotSaved:
    case CreateResult::KeptPatchNotRun:
        break;
    }
    return kExitFailed;
}

int RunPatchDialog(CWinApp& app, bool checkOnly) {
    CDBCommandSetup dlg;
    if (!LoadServerConfig(dlg.m_params)) {
        const std::string reason = std::string("no settings are saved in HKEY_LOCAL_MACHINE\\") +
                                   kServerKey + " (32-bit registry view)";
        if (checkOnly) {
            LogAndDebug(
                ("Check: the patch would fail: " + reason + "; nothing was changed").c_str());
        } else {
            ReportOutcome(RunEvent::PatchFailed, ("Patching failed: " + reason).c_str());
        }
        Messages().ShowError(kStrPatchFailed);
        return kExitFailed;
    }
    dlg.m_mode = checkOnly ? CDBCommandSetup::kModePatchCheck : CDBCommandSetup::kModePatch;
    // The saved settings name the database, also on MS SQL.
    dlg.m_nameFromRecord = true;
    app.m_pMainWnd = &dlg;
    dlg.DoModal();
    app.m_pMainWnd = nullptr;
    if (dlg.m_succeeded == 0) {
        Messages().ShowError(kStrPatchFailed);
        return kExitFailed;
    }
    if (checkOnly) {
        const std::string name = FieldText(dlg.m_params.databaseName);
        const std::string server = FieldText(dlg.m_params.server);
        Messages().ShowNotice(NoticeKind::Information, kStrPatchCheckPasses,
                              BoxInserts{name.c_str(), server.c_str()});
    }
    return kExitCreated;
}

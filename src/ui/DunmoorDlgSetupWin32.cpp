// The main dialog's input handlers: the create run from the controls, the
// authentication radios, the engine list and the SQL Server Express install.
#include "ui/DunmoorDlg.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/DunmoorApp.h"
#include "common/KelvaneInterface.h"
#include "db/MessageBox.h"
#include "db/Workflows.h"
#include "platform/Platform.h"
#include "ui/SqlExpress.h"
#include "ui/resource.h"

int CDunmoorDlg::SelectedDbType() const {
    const int selection = m_dbTypeCombo.GetCurSel();
    return static_cast<int>(m_dbTypeCombo.GetItemData(selection));
}

void CDunmoorDlg::OnSetup() {
    if (m_run.IsRunning()) {
        return;
    }
    ConnectionParams params;
    if (!ReadConnection(params)) {
        return; // a value that does not fit its field: nothing is sent
    }
    const int launched = TheApp().launchedWithCommandLine;
    const int dbType = SelectedDbType();
    struct Outcome {
        CreateResult result = CreateResult::Failed;
        CreateDetails details;
    };
    auto outcome = std::make_shared<Outcome>();
    LockInput(true);
    const bool started = m_run.Start(
        *this, IDC_PROGRESS,
        [params, launched, dbType, outcome](IProgressBar* progress) mutable {
            outcome->result = CreateDatabase(launched, params, progress, dbType,
                                             ExistingDatabase::Ask, &outcome->details);
        },
        [this, outcome] { OnCreateDone(outcome->result, outcome->details); });
    if (!started) {
        OnCreateDone(CreateResult::Failed, CreateDetails());
    }
}

void CDunmoorDlg::OnCreateDone(CreateResult result, const CreateDetails& details) {
    LockInput(false);
    const bool created =
        result == CreateResult::Created || result == CreateResult::CreatedWithRefusedBatches;
    if (created && !details.keptFiles.empty()) {
        // The files of an earlier database went aside, not away: where to.
        char name[kTextFieldSize] = {};
        m_dbNameEdit.GetWindowText(name, sizeof name);
        Messages().ShowNotice(NoticeKind::Information, kStrLeftoversKept,
                              BoxInserts{name, details.keptFiles.c_str()});
    }
    if (result == CreateResult::CreatedWithRefusedBatches) {
        // Complete as far as the server let it: said before the finish button.
        const std::string count = std::to_string(details.refused);
        const std::string sent = std::to_string(details.sent);
        Messages().ShowNotice(NoticeKind::Warning, kStrBatchesRefused,
                              BoxInserts{count.c_str(), sent.c_str()});
    }
    switch (result) {
    case CreateResult::KeptPatchNotRun:
        // Saved, so the next start patches it again; the patch said nothing.
        Messages().ShowError(kStrPatchFailed);
        [[fallthrough]];
    case CreateResult::Created:
    case CreateResult::CreatedWithRefusedBatches:
    case CreateResult::KeptAndPatched:
    case CreateResult::SettingsNotSaved:
        // The database is there; the workflow said why its settings are not.
        ShowDlgItem(IDC_SETUP, SW_HIDE);
        ShowDlgItem(IDC_FINISH, SW_SHOW);
        break;
    case CreateResult::KeptExisting:
        // The administrator said No: nothing happened, the dialog stays as it is.
    case CreateResult::NotReady:
        // Nothing was sent; the workflow's box has named what is missing.
        break;
    case CreateResult::Failed:
        // Everything stays as typed, so the user can correct it and retry.
        Messages().ShowError(kStrServerUnreachable);
        break;
    }
}

void CDunmoorDlg::LockInput(bool locked) {
    static const int kControls[] = {IDC_SETUP, IDC_FINISH, IDC_SET_NAME, IDC_DB_TYPE, IDC_INSTALL};
    static_assert(sizeof kControls / sizeof kControls[0] == sizeof m_enabledBeforeRun,
                  "one remembered state per control");
    for (size_t i = 0; i < sizeof m_enabledBeforeRun; ++i) {
        if (locked) {
            m_enabledBeforeRun[i] = IsDlgItemEnabled(kControls[i]);
        }
        EnableDlgItem(kControls[i], !locked && m_enabledBeforeRun[i]);
    }
}

void CDunmoorDlg::OnCancel() {
    if (m_run.IsRunning()) {
        return; // closing is ignored until the create has ended
    }
    CDialog::OnCancel();
}

void CDunmoorDlg::OnTimer(UINT_PTR eventId) {
    if (!m_run.OnTimer(eventId)) {
        Default();
    }
}

BOOL CDunmoorDlg::OnQueryEndSession() {
    m_run.WaitUntilDone();
    return TRUE;
}

void CDunmoorDlg::OnServerAuth() {
    EnableDlgItem(IDC_SERVER, true);
    EnableDlgItem(IDC_LOGIN_ID, true);
    EnableDlgItem(IDC_PASSWORD, true);
    const int type = SelectedDbType();
    if (type == MySql || type == MsSql) {
        EnableDlgItem(IDC_PORT, true);
    } else if (type == Oracle) {
        EnableDlgItem(IDC_PORT, false);
    }
}

void CDunmoorDlg::OnWindowsAuth() {
    // The disabled fields keep their texts.
    EnableDlgItem(IDC_SERVER, true);
    EnableDlgItem(IDC_PORT, false);
    EnableDlgItem(IDC_LOGIN_ID, false);
    EnableDlgItem(IDC_PASSWORD, false);
}

void CDunmoorDlg::OnDbTypeChange() {
    // The password is never cleared here.
    switch (SelectedDbType()) {
    case MySql:
        EnableDlgItem(IDC_SET_NAME, true);
        EnableDlgItem(IDC_WINDOWS_AUTH, false);
        EnableDlgItem(IDC_PORT, true);
        CheckRadioButton(IDC_WINDOWS_AUTH, IDC_SERVER_AUTH, IDC_SERVER_AUTH);
        OnServerAuth();
        SetDlgItemText(IDC_PORT, "3306");
        SetDlgItemText(IDC_LOGIN_ID, "root");
        break;
    case MsSql:
        // The radios stay as they are; the port is enabled either way.
        EnableDlgItem(IDC_SET_NAME, true);
        EnableDlgItem(IDC_WINDOWS_AUTH, true);
        SetDlgItemText(IDC_PORT, "1433");
        EnableDlgItem(IDC_PORT, true);
        SetDlgItemText(IDC_LOGIN_ID, "sa");
        break;
    case Oracle:
        EnableDlgItem(IDC_SET_NAME, false);
        EnableDlgItem(IDC_WINDOWS_AUTH, false);
        CheckRadioButton(IDC_WINDOWS_AUTH, IDC_SERVER_AUTH, IDC_SERVER_AUTH);
        OnServerAuth();
        SetDlgItemText(IDC_PORT, "1521");
        EnableDlgItem(IDC_PORT, false);
        SetDlgItemText(IDC_LOGIN_ID, "");
        break;
    default:
        break;
    }
}

void CDunmoorDlg::InstallSqlExpress() {
    char programDirectory[kPathSize];
    GetProgramDirectory(programDirectory);
    // Runs from Support and makes the program directory current again; a
    // missing installer changes nothing of what follows.
    RunSqlExpressInstaller(programDirectory);

    char server[kTextFieldSize] = {};
    snprintf(server, sizeof server, "localhost\\%s", kSqlExpressInstance);
    SetDlgItemText(IDC_SERVER, server);
    SendDlgItemMessage(IDC_WINDOWS_AUTH, BM_SETCHECK, BST_CHECKED);
    SendDlgItemMessage(IDC_SERVER_AUTH, BM_SETCHECK, BST_UNCHECKED);
    char port[16] = {};
    snprintf(port, sizeof port, "%ld", static_cast<long>(GetSqlExpressPort()));
    SetDlgItemText(IDC_PORT, port);
    EnableDlgItem(IDC_SERVER, true);
    EnableDlgItem(IDC_PORT, false);
    EnableDlgItem(IDC_LOGIN_ID, false);
    EnableDlgItem(IDC_PASSWORD, false);
    OnSetup();
}

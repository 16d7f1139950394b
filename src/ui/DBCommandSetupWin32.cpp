#include "ui/DBCommandSetup.h"

#include <cstring>

#include "app/DunmoorApp.h"
#include "db/MessageBox.h"
#include "db/Workflows.h"
#include "record/RunLog.h"
#include "ui/resource.h"

IMPLEMENT_DYNAMIC(CDBCommandSetup, CDialog)

BEGIN_MESSAGE_MAP(CDBCommandSetup, CDialog)
ON_WM_TIMER()
ON_WM_QUERYENDSESSION()
END_MESSAGE_MAP()

namespace {
constexpr char kPatchCaption[] = "Patch Database [Quenlor]";
}

CDBCommandSetup::CDBCommandSetup() : CDialog(IDD_DBCOMMANDSETUP), m_succeeded(1), m_armed(1) {
    memset(&m_params, 0, sizeof m_params);
}

INT_PTR CDBCommandSetup::DoModal() {
    const INT_PTR result = CDialog::DoModal();
    const DWORD error = GetLastError();
    if (m_armed) {
        m_succeeded = 0;
        const char* what = m_mode == kModePatch || m_mode == kModePatchCheck ? "patch" : "create";
        if (result == -1) {
            LogLine("The progress dialog could not be created (error %lu): the %s did not run",
                    error, what);
        } else {
            LogLine("The progress dialog was closed before its run: the %s did not run", what);
        }
    }
    return result;
}

BOOL CDBCommandSetup::OnInitDialog() {
    CDialog::OnInitDialog();
    AppendSystemMenuItem(IDM_ABOUTBOX, IDS_ABOUTBOX);
    if (m_mode == kModePatch || m_mode == kModePatchCheck) {
        SetDlgItemText(IDC_STATUS_TEXT, kPatchCaption);
    }
    SetTimer(kRunTimer, kRunDelayMs);
    return TRUE;
}

void CDBCommandSetup::OnOK() {
    if (m_run.IsRunning()) {
        return;
    }
    if (m_armed) {
        m_succeeded = 0;
    }
    CDialog::OnOK();
}

void CDBCommandSetup::OnCancel() {
    if (m_run.IsRunning()) {
        return;
    }
    if (m_armed) {
        m_succeeded = 0;
    }
    CDialog::OnCancel();
}

void CDBCommandSetup::OnTimer(UINT_PTR eventId) {
    if (eventId == kRunTimer && m_armed && !m_run.IsRunning()) {
        // Killed first: the tick is one-shot, and the run takes a while.
        KillTimer(kRunTimer);
        StartWorkflow();
    } else {
        m_run.OnTimer(eventId);
    }
    Default();
}

BOOL CDBCommandSetup::OnQueryEndSession() {
    m_run.WaitUntilDone();
    return TRUE;
}

void CDBCommandSetup::StartWorkflow() {
    if (m_mode < kModeCreate || m_mode > kModePatchCheck) {
        OnWorkflowDone();
        return;
    }
    const bool started = m_run.Start(
        *this, IDC_PROGRESS, [this](IProgressBar* progress) { RunWorkflow(progress); },
        [this] { OnWorkflowDone(); });
    if (!started) {
        // No worker, no run: neither a create nor a patch happened.
        m_succeeded = 0;
        OnWorkflowDone();
    }
}

void CDBCommandSetup::RunWorkflow(IProgressBar* progress) {
    // A launch flag of 0 makes the workflows take the record's own name.
    const int launched = m_nameFromRecord ? 0 : TheApp().launchedWithCommandLine;
    switch (m_mode) {
    case kModeCreate:
        m_createResult = CreateDatabase(launched, m_params, progress, m_params.dbType, m_existing);
        break;
    case kModeCheck:
        m_checkResult = CheckCreate(launched, m_params, m_params.dbType, m_existing);
        break;
    case kModePatchCheck:
        m_succeeded = CheckPatch(launched, m_params) ? 1 : 0;
        break;
    default:
        if (PatchDatabase(launched, m_params, progress) == 0) {
            m_succeeded = 0;
        }
        break;
    }
}

void CDBCommandSetup::OnWorkflowDone() {
    if (m_mode == kModeCreate) {
        // Told to the creator for the exit status. A database kept as it was
        // has been explained by the workflow; only a failure is shown here.
        if (m_createResult == CreateResult::Failed) {
            Messages().ShowError(kStrServerUnreachable);
        } else if (m_createResult == CreateResult::KeptPatchNotRun) {
            Messages().ShowError(kStrPatchFailed);
        }
        if (m_createResult != CreateResult::Created &&
            m_createResult != CreateResult::CreatedWithRefusedBatches &&
            m_createResult != CreateResult::KeptAndPatched) {
            m_succeeded = 0;
        }
    } else if (m_mode == kModeCheck && m_checkResult == CheckResult::Failed) {
        m_succeeded = 0; // its own box has said why
    }
    m_armed = 0;
    CDialog::OnOK();
}

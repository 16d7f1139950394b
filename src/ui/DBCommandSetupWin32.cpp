#include "ui/DBCommandSetup.h"

#include <cstring>

#include "app/DunmoorApp.h"
#include "db/MessageBox.h"
#include "db/ProgressBarWin32.h"
#include "db/Workflows.h"
#include "ui/resource.h"

IMPLEMENT_DYNAMIC(CDBCommandSetup, CDialog)

BEGIN_MESSAGE_MAP(CDBCommandSetup, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {
constexpr char kPatchCaption[] = "Patch Database [Quenlor]";
}

CDBCommandSetup::CDBCommandSetup() : CDialog(IDD_DBCOMMANDSETUP), m_succeeded(1), m_armed(1) {
    memset(&m_params, 0, sizeof m_params);
}

BOOL CDBCommandSetup::OnInitDialog() {
    CDialog::OnInitDialog();
    AppendSystemMenuItem(IDM_ABOUTBOX, IDS_ABOUTBOX);
    if (m_mode == kModePatch) {
        SetDlgItemText(IDC_STATUS_TEXT, kPatchCaption);
    }
    SetTimer(kRunTimer, kRunDelayMs);
    return TRUE;
}

void CDBCommandSetup::OnOK() {
    if (m_armed) {
        m_succeeded = 0;
    }
    CDialog::OnOK();
}

void CDBCommandSetup::OnCancel() {
    if (m_armed) {
        m_succeeded = 0;
    }
    CDialog::OnCancel();
}

void CDBCommandSetup::OnTimer(UINT_PTR eventId) {
    if (eventId == kRunTimer && m_armed) {
        // Killed first: a message box inside the run pumps messages, and a
        // second tick must not start the workflow again.
        KillTimer(kRunTimer);
        RunWorkflow();
        m_armed = 0;
        OnOK();
    }
    Default();
}

void CDBCommandSetup::RunWorkflow() {
    Win32ProgressBar progress(GetDlgItem(IDC_PROGRESS));
    progress.SetRange(0, 100);
    const int launched = TheApp().launchedWithCommandLine;
    switch (m_mode) {
    case kModeCreate:
        // Told to the creator for the exit status. A database kept as it was
        // has been explained by the workflow; only a failure is shown here.
        m_createResult = CreateDatabase(launched, m_params, &progress, m_params.dbType, m_existing);
        if (m_createResult == CreateResult::Failed) {
            Messages().ShowError(kStrServerUnreachable);
        }
        if (m_createResult != CreateResult::Created) {
            m_succeeded = 0;
        }
        break;
    case kModePatch:
        if (PatchDatabase(launched, m_params, &progress) == 0) {
            m_succeeded = 0;
        }
        break;
    default:
        break;
    }
}

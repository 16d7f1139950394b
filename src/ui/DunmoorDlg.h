// CDunmoorDlg: the main dialog. The administrator picks the engine, the
// database name, the server and the credentials here and creates the database
// with one button. When settings of an earlier create are saved, the dialog
// first patches that database and, if the patch succeeds, ends unseen.
#pragma once

#include <windows.h>

#include "db/Workflows.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "ui/WorkflowRun.h"

class CDunmoorDlg : public CDialog {
  public:
    CDunmoorDlg();

    BOOL OnInitDialog() override;

    // Set-up button: builds a record from the controls and starts the create
    // beside the dialog; the buttons follow when it has ended.
    void OnSetup();
    // Escape or the close box: ends the dialog, except while a create runs.
    void OnCancel() override;
    // Installs the local SQL Server Express instance, points the controls at
    // it and runs the set-up.
    void InstallSqlExpress();

    HICON m_hIcon;
    CComboBox m_dbTypeCombo;
    CEdit m_dbNameEdit;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnServerAuth();
    void OnWindowsAuth();
    void OnDbTypeChange();
    void OnEnterKey();
    void OnSetName();
    void OnTimer(UINT_PTR eventId);
    // The session ends: not before the create has.
    BOOL OnQueryEndSession();

    DECLARE_MESSAGE_MAP()

  private:
    // Runs the saved settings' patch; true when it succeeded.
    bool PatchSavedDatabase();
    void FillDefaults();
    void AskToInstall();
    void ShowLocalPort();
    // The engine number of the combo's current selection (CB_ERR without one).
    int SelectedDbType() const;
    // During a create nothing may start, repeat or cut it short: the buttons
    // and the engine list are disabled, and given back as they were after it.
    void LockInput(bool locked);
    void OnCreateDone(CreateResult result, const CreateDetails& details);
    // The record of a create from the controls; false, with a box and the
    // field focused, when a text is longer than its field: it is never cut.
    bool ReadConnection(ConnectionParams& params);
    bool ReadField(int id, const char* what, char (&field)[kTextFieldSize]);

    CWorkflowRun m_run;
    bool m_enabledBeforeRun[5] = {};
};

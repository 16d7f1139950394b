// CDunmoorDlg: the main dialog. The administrator picks the engine, the
// database name, the server and the credentials here and creates the database
// with one button. When settings of an earlier create are saved, the dialog
// first patches that database and, if the patch succeeds, ends unseen.
#pragma once

#include <windows.h>

#include "framework/Controls.h"
#include "framework/Dialog.h"

class CDunmoorDlg : public CDialog {
  public:
    CDunmoorDlg();

    BOOL OnInitDialog() override;

    // Set-up button: builds a record from the controls and runs the create.
    void OnSetup();
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

    DECLARE_MESSAGE_MAP()

  private:
    // Runs the saved settings' patch; true when it succeeded.
    bool PatchSavedDatabase();
    void FillDefaults();
    void AskToInstall();
    void ShowLocalPort();
    // The engine number of the combo's current selection (CB_ERR without one).
    int SelectedDbType() const;
};

#include "app/AppDialogs.h"

#include "framework/WinApp.h"
#include "ui/DunmoorDlg.h"

void RunMainDialog(CWinApp& app) {
    CDunmoorDlg dlg;
    app.m_pMainWnd = &dlg;
    // The program ends when the dialog does, whatever it returned.
    dlg.DoModal();
    app.m_pMainWnd = nullptr;
}

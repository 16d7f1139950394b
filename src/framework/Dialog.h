// CDialog: a modal dialog on a dialog template from the program's resources.
//
//   class CMyDlg : public CDialog {
//     public:
//       CMyDlg() : CDialog(IDD_MY) {}
//       BOOL OnInitDialog() override;          // call CDialog::OnInitDialog first
//     protected:
//       void DoDataExchange(CDataExchange* pDX) override;  // DDX_Control(...)
//       DECLARE_MESSAGE_MAP()
//   };
//
// DoModal runs the dialog's own message loop until a handler calls EndDialog
// (OnOK and OnCancel do). IDOK and IDCANCEL, which the Enter and Escape keys
// and the close box send, reach the virtual OnOK and OnCancel through
// CDialog's message map unless a derived map takes them first. m_hWnd is the
// dialog window from WM_INITDIALOG until DoModal returns, null otherwise.
//
// A dialog without a parent of its own is owned by the application's running
// main window (see AfxGetOwnerWindow), which stays disabled while the dialog is
// up; the main window itself has no owner.
//
// Once OnInitDialog has returned, the dialog is centred over its owner, or on
// the work area of its monitor when it has none (or the owner is not shown
// yet), unless OnInitDialog moved it or ended it.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

class CDialog;

// What DoDataExchange receives: the dialog whose controls are bound.
class CDataExchange {
  public:
    CDataExchange(CDialog* dialog, bool saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
};

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

  public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    // On a template built in memory (it must outlive DoModal).
    explicit CDialog(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr);

    // Creates the dialog, runs it and returns the value given to EndDialog,
    // or -1 when the dialog could not be created.
    INT_PTR DoModal();

    // Binds the controls (DoDataExchange) and returns TRUE, so the system
    // sets the initial focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();     // EndDialog(IDOK)
    virtual void OnCancel(); // EndDialog(IDCANCEL)
    void EndDialog(INT_PTR result);

    // Runs DoDataExchange; with save true, from the controls to the members.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Appends a separator and a text item with the string-table text
    // stringId to the system menu, when the window has a system menu and the
    // string loads as a non-empty text.
    void AppendSystemMenuItem(UINT commandId, UINT stringId);

    UINT GetTemplateId() const { return m_templateId; }

    DECLARE_MESSAGE_MAP()

  protected:
    virtual void DoDataExchange(CDataExchange* pDX);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HWND Owner() const;
    BOOL HandleInitDialog();
    void Center();

    UINT m_templateId = 0;
    const DLGTEMPLATE* m_template = nullptr;
    HWND m_parent = nullptr;
    bool m_ending = false; // EndDialog was called during this DoModal
};

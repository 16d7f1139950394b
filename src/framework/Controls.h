// Wrappers of the dialog controls that dialogs keep as members, bound to
// their control ids by DDX_Control in DoDataExchange. Texts are 8-bit in the
// ANSI code page.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"
#include "framework/Wnd.h"

class CComboBox : public CWnd {
  public:
    // CB_INSERTSTRING: at position index (-1 appends), bypassing the sorted
    // style. Returns the position or CB_ERR.
    int InsertString(int index, const char* text);
    int AddString(const char* text);
    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const; // CB_ERR for a bad index
    int GetCurSel() const;                  // CB_ERR when nothing is selected
    int SetCurSel(int index);
    int GetCount() const;
};

class CEdit : public CWnd {
  public:
    void SetReadOnly(bool readOnly = true);
    void LimitText(int maxChars);
};

// Binds control to the dialog's control id (on every call, so a dialog can be
// run more than once).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

#include "framework/Controls.h"

int CComboBox::InsertString(int index, const char* text) {
    return static_cast<int>(
        SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

int CComboBox::AddString(const char* text) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
    return static_cast<int>(
        SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}

DWORD_PTR CComboBox::GetItemData(int index) const {
    return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int CComboBox::GetCurSel() const {
    return static_cast<int>(SendMessage(CB_GETCURSEL));
}

int CComboBox::SetCurSel(int index) {
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}

int CComboBox::GetCount() const {
    return static_cast<int>(SendMessage(CB_GETCOUNT));
}

void CEdit::SetReadOnly(bool readOnly) {
    SendMessage(EM_SETREADONLY, readOnly ? TRUE : FALSE);
}

void CEdit::LimitText(int maxChars) {
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(maxChars));
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    control.m_hWnd = pDX->m_pDlgWnd->GetDlgItem(id);
}

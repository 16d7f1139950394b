#include "framework/Dialog.h"

#include <algorithm>

#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_BN_CLICKED(IDOK, OnOK)
ON_BN_CLICKED(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

// Where a dialog of that size is centred: over the owner when it is shown
// and not minimised, else on the work area of the monitor the dialog opens
// on (an owner still hidden in its own initialisation has no place yet). It
// is kept on that work area, so an owner near a screen edge cannot push it
// off the screen.
POINT CentredPosition(HWND dialog, HWND owner, LONG width, LONG height) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    HWND placed = owner != nullptr ? owner : dialog;
    if (!::GetMonitorInfoW(::MonitorFromWindow(placed, MONITOR_DEFAULTTONEAREST), &monitor)) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    }
    const RECT& work = monitor.rcWork;
    RECT outer = work;
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &outer);
    }
    LONG x = outer.left + (outer.right - outer.left - width) / 2;
    LONG y = outer.top + (outer.bottom - outer.top - height) / 2;
    x = std::max(work.left, std::min(x, work.right - width));
    y = std::max(work.top, std::min(y, work.bottom - height));
    return POINT{x, y};
}

} // namespace

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::CDialog(const DLGTEMPLATE* dialogTemplate, HWND parent)
    : m_template(dialogTemplate), m_parent(parent) {}

HWND CDialog::Owner() const {
    if (m_parent != nullptr) {
        return m_parent;
    }
    const CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) {
        return nullptr;
    }
    return AfxGetOwnerWindow();
}

INT_PTR CDialog::DoModal() {
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    // The system disables the owner while the dialog runs, so nothing beneath
    // it (a second dialog, Escape on the main window) can fire meanwhile.
    const HWND owner = Owner();
    INT_PTR result;
    m_ending = false;
    if (m_template != nullptr) {
        result = ::DialogBoxIndirectParamW(AfxGetInstanceHandle(), m_template, owner,
                                           &CDialog::DialogProc, self);
    } else {
        result = ::DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_templateId), owner,
                                   &CDialog::DialogProc, self);
    }
    m_hWnd = nullptr;
    return result;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(INT_PTR result) {
    m_ending = true;
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate != FALSE);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::Center() {
    RECT self;
    if (!::GetWindowRect(m_hWnd, &self)) {
        return;
    }
    const POINT at = CentredPosition(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER), self.right - self.left,
                                     self.bottom - self.top);
    ::SetWindowPos(m_hWnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDialog::HandleInitDialog() {
    RECT before = {};
    ::GetWindowRect(m_hWnd, &before);
    const BOOL result = OnInitDialog();
    // Centred once its own initialisation is done, unless that moved it or
    // ended it (a dialog with nothing to ask ends before it is ever shown).
    RECT after = {};
    if (!m_ending && ::IsWindow(m_hWnd) && ::GetWindowRect(m_hWnd, &after) &&
        after.left == before.left && after.top == before.top) {
        Center();
    }
    return result;
}

void CDialog::AppendSystemMenuItem(UINT commandId, UINT stringId) {
    HMENU menu = GetSystemMenu(FALSE);
    if (menu == nullptr) {
        return;
    }
    wchar_t text[256] = {};
    if (::LoadStringW(AfxGetInstanceHandle(), stringId, text, 256) <= 0 || text[0] == L'\0') {
        return;
    }
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, commandId, text);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The object arrives with WM_INITDIALOG and is kept in the dialog's own
    // user slot; the few messages before it go to default processing.
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
        dialog->m_hWnd = hWnd;
        return dialog->HandleInitDialog();
    }
    auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hWnd, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hWnd, DWLP_USER, 0);
        return FALSE;
    }
    return dialog->OnMessage(message, wParam, lParam);
}

INT_PTR CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!DispatchMessageMap(message, wParam, lParam, result)) {
        return FALSE;
    }
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

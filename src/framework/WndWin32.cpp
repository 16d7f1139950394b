#include "framework/Wnd.h"

IMPLEMENT_DYNAMIC_ROOT(CWnd)

namespace {

// The terminator of every map chain.
const MessageMapEntry kNoEntries[] = {{0, 0, 0, nullptr}};
const MessageMap kRootMap = {nullptr, kNoEntries};

// A bounded read: never more than capacity bytes, always terminated.
int ReadText(HWND hWnd, char* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) {
        return 0;
    }
    buffer[0] = '\0';
    if (hWnd == nullptr) {
        return 0;
    }
    return ::GetWindowTextA(hWnd, buffer, capacity);
}

} // namespace

const MessageMap* CWnd::GetThisMessageMap() {
    return &kRootMap;
}

bool CWnd::DispatchMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    for (const MessageMap* map = GetMessageMap(); map != nullptr;
         map = map->base != nullptr ? map->base() : nullptr) {
        for (const MessageMapEntry* e = map->entries; e->thunk != nullptr; ++e) {
            if (!MessageMapEntryMatches(*e, message, wParam)) {
                continue;
            }
            // A handler may run a nested modal loop that dispatches other
            // messages to this window; each dispatch keeps its own request.
            const bool outer = m_passToDefault;
            m_passToDefault = false;
            result = e->thunk(*this, wParam, lParam);
            const bool wantsDefault = m_passToDefault;
            m_passToDefault = outer;
            return !wantsDefault;
        }
    }
    return false;
}

void CWnd::SetWindowText(const char* text) {
    ::SetWindowTextA(m_hWnd, text);
}

int CWnd::GetWindowText(char* buffer, int capacity) const {
    return ReadText(m_hWnd, buffer, capacity);
}

void CWnd::EnableWindow(bool enable) {
    ::EnableWindow(m_hWnd, enable ? TRUE : FALSE);
}

void CWnd::ShowWindow(int cmdShow) {
    ::ShowWindow(m_hWnd, cmdShow);
}

bool CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd) != FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

HMENU CWnd::GetSystemMenu(BOOL revert) const {
    return ::GetSystemMenu(m_hWnd, revert);
}

UINT_PTR CWnd::SetTimer(UINT_PTR eventId, UINT elapseMs) {
    return ::SetTimer(m_hWnd, eventId, elapseMs, nullptr);
}

BOOL CWnd::KillTimer(UINT_PTR eventId) {
    return ::KillTimer(m_hWnd, eventId);
}

HWND CWnd::GetDlgItem(int id) const {
    return ::GetDlgItem(m_hWnd, id);
}

void CWnd::SetDlgItemText(int id, const char* text) {
    ::SetDlgItemTextA(m_hWnd, id, text);
}

int CWnd::GetDlgItemText(int id, char* buffer, int capacity) const {
    return ReadText(GetDlgItem(id), buffer, capacity);
}

void CWnd::EnableDlgItem(int id, bool enable) {
    ::EnableWindow(GetDlgItem(id), enable ? TRUE : FALSE);
}

bool CWnd::IsDlgItemEnabled(int id) const {
    return ::IsWindowEnabled(GetDlgItem(id)) != FALSE;
}

void CWnd::ShowDlgItem(int id, int cmdShow) {
    ::ShowWindow(GetDlgItem(id), cmdShow);
}

bool CWnd::IsDlgItemVisible(int id) const {
    return (::GetWindowLongPtrA(GetDlgItem(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void CWnd::CheckRadioButton(int first, int last, int check) {
    ::CheckRadioButton(m_hWnd, first, last, check);
}

void CWnd::CheckDlgButton(int id, UINT state) {
    ::CheckDlgButton(m_hWnd, id, state);
}

UINT CWnd::IsDlgButtonChecked(int id) const {
    return ::IsDlgButtonChecked(m_hWnd, id);
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
}

// CWnd: a window handle with the few operations the dialogs use on it and on
// their controls, addressed by control id. Texts are 8-bit in the ANSI code
// page; every read is bounded by the caller's capacity.
#pragma once

#include <windows.h>

#include "framework/MessageMap.h"
#include "framework/RuntimeClass.h"

class CWnd {
  public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    DECLARE_DYNAMIC(CWnd)
    bool IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }

    // This window.
    void SetWindowText(const char* text);
    // Copies at most capacity - 1 bytes and a NUL; returns the bytes copied.
    int GetWindowText(char* buffer, int capacity) const;
    void EnableWindow(bool enable);
    void ShowWindow(int cmdShow);
    bool IsIconic() const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HMENU GetSystemMenu(BOOL revert = FALSE) const;

    // One-shot or periodic WM_TIMER ticks to this window.
    UINT_PTR SetTimer(UINT_PTR eventId, UINT elapseMs);
    BOOL KillTimer(UINT_PTR eventId);

    // Child controls by id.
    HWND GetDlgItem(int id) const;
    void SetDlgItemText(int id, const char* text);
    // Copies at most capacity - 1 bytes and a NUL; returns the bytes copied.
    int GetDlgItemText(int id, char* buffer, int capacity) const;
    void EnableDlgItem(int id, bool enable);
    bool IsDlgItemEnabled(int id) const;
    // SW_SHOW, SW_HIDE.
    void ShowDlgItem(int id, int cmdShow);
    bool IsDlgItemVisible(int id) const;
    // Checks `check` and clears every other radio button with an id in
    // first..last.
    void CheckRadioButton(int first, int last, int check);
    void CheckDlgButton(int id, UINT state);
    UINT IsDlgButtonChecked(int id) const;
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    HWND m_hWnd = nullptr;

    // Message maps: each class with handlers declares its own table, chained
    // to its base class's (see MessageMap.h).
    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const { return GetThisMessageMap(); }

  protected:
    // From a handler: let the window's default processing handle the current
    // message as well, once the handler returns.
    void Default() { m_passToDefault = true; }

    // Runs the first entry of the map chain that matches the message.
    // False when no entry matches or its handler asked for Default().
    bool DispatchMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  private:
    bool m_passToDefault = false;
};

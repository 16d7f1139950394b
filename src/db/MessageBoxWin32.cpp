// The application's error boxes: string-table texts through the wide API, so
// the Hungarian reads right whatever the ANSI code page.
#include <windows.h>

#include "db/MessageBox.h"
#include "framework/WinApp.h"

namespace {

// The executable's file name without its extension: the caption of every box.
void ApplicationTitle(wchar_t (&title)[MAX_PATH]) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH - 1);
    const wchar_t* base = wcsrchr(path, L'\\');
    base = base != nullptr ? base + 1 : path;
    lstrcpynW(title, base, MAX_PATH);
    wchar_t* dot = wcsrchr(title, L'.');
    if (dot != nullptr) {
        *dot = L'\0';
    }
}

class Win32MessageSink final : public IMessageSink {
  public:
    void ShowError(unsigned stringId) override {
        wchar_t text[512] = {};
        LoadStringW(AfxGetInstanceHandle(), stringId, text, 511);
        wchar_t title[MAX_PATH] = {};
        ApplicationTitle(title);
        // Owned as a dialog without a parent is: by the running main window
        // (or its dialog that is up); before one runs, by the active window.
        HWND owner = AfxGetOwnerWindow();
        if (owner == nullptr) {
            owner = GetActiveWindow();
        }
        MessageBoxW(owner, text, title, MB_OK | MB_ICONERROR);
    }
};

Win32MessageSink g_defaultSink;
IMessageSink* g_sink = &g_defaultSink;

} // namespace

IMessageSink& Messages() { return *g_sink; }

void SetMessageSink(IMessageSink* sink) { g_sink = sink != nullptr ? sink : &g_defaultSink; }

// The application's error boxes: string-table texts through the wide API, so
// the Hungarian reads right whatever the ANSI code page.
#include <windows.h>

#include <cwchar>

#include "db/MessageBox.h"
#include "framework/Platform.h"
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

// What an error box with a string-table text shows.
struct BoxText {
    explicit BoxText(unsigned stringId) {
        ApplicationTitle(title);
        LoadStringW(AfxGetInstanceHandle(), stringId, text, 511);
    }
    wchar_t title[MAX_PATH] = {};
    wchar_t text[512] = {};
};

class Win32MessageSink final : public IMessageSink {
  public:
    void ShowError(unsigned stringId) override {
        const BoxText box(stringId);
        // Owned as a dialog without a parent is: by the running main window
        // (or its dialog that is up); before one runs, by the active window.
        HWND owner = AfxGetOwnerWindow();
        if (owner == nullptr) {
            owner = GetActiveWindow();
        }
        MessageBoxW(owner, box.text, box.title, MB_OK | MB_ICONERROR);
    }
};

// "<caption>: <text>" in the ANSI code page, as the library's reason beside it.
class QuietMessageSink final : public IMessageSink {
  public:
    void ShowError(unsigned stringId) override {
        const BoxText box(stringId);
        wchar_t line[MAX_PATH + 2 + 512] = {};
        std::swprintf(line, sizeof line / sizeof line[0], L"%ls: %ls", box.title, box.text);
        char output[sizeof line] = {};
        WideCharToMultiByte(CP_ACP, 0, line, -1, output, sizeof output - 1, nullptr, nullptr);
        PlatformDebugOutput(output);
    }
};

Win32MessageSink g_defaultSink;
QuietMessageSink g_quietSink;
IMessageSink* g_sink = &g_defaultSink;

} // namespace

IMessageSink& Messages() { return *g_sink; }

void SetMessageSink(IMessageSink* sink) { g_sink = sink != nullptr ? sink : &g_defaultSink; }

void UseQuietMessages() {
    g_sink = &g_quietSink;
}

// The application's boxes: string-table texts through the wide API, so the
// Hungarian reads right whatever the ANSI code page.
#include <windows.h>

#include <cwchar>
#include <string>

#include "db/MessageBox.h"
#include "record/LoggedBox.h"
#include "record/RunLog.h"
#include "framework/UiThread.h"
#include "platform/WideText.h"
#include "framework/WinApp.h"

namespace {

constexpr int kTextSize = 1024;

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

// What a box with a string-table text shows: %1 and %2 of the text replaced
// by the inserts, with nothing else of the inserts interpreted.
struct BoxText {
    BoxText(unsigned stringId, const BoxInserts& inserts) {
        ApplicationTitle(title);
        wchar_t pattern[kTextSize] = {};
        LoadStringW(AfxGetInstanceHandle(), stringId, pattern, kTextSize - 1);
        const std::wstring first = AnsiToWide(inserts.first != nullptr ? inserts.first : "");
        const std::wstring second = AnsiToWide(inserts.second != nullptr ? inserts.second : "");
        DWORD_PTR args[] = {reinterpret_cast<DWORD_PTR>(first.c_str()),
                            reinterpret_cast<DWORD_PTR>(second.c_str())};
        if (FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, pattern, 0,
                           0, text, kTextSize, reinterpret_cast<va_list*>(args)) == 0) {
            lstrcpynW(text, pattern, kTextSize);
        }
    }
    wchar_t title[MAX_PATH] = {};
    wchar_t text[kTextSize] = {};
};

// Owned as a dialog without a parent is: by the running main window (or its
// dialog that is up); before one runs, by the active window.
HWND BoxOwner() {
    HWND owner = AfxGetOwnerWindow();
    return owner != nullptr ? owner : GetActiveWindow();
}

// A workflow on a worker thread has its boxes shown by the dialog's thread,
// which owns their owner, and waits for the answer.
int ShowBox(const BoxText& box, UINT style) {
    int answer = 0;
    RunOnUiThread([&] { answer = ShowLoggedBox(BoxOwner(), box.text, box.title, style); });
    return answer;
}

class Win32MessageSink final : public IMessageSink {
  public:
    using IMessageSink::ShowError;
    void ShowError(unsigned stringId, const BoxInserts& inserts) override {
        ShowBox(BoxText(stringId, inserts), MB_OK | MB_ICONERROR);
    }
    bool AskYesNo(unsigned stringId, const BoxInserts& inserts) override {
        return ShowBox(BoxText(stringId, inserts), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
               IDYES;
    }
    void ShowNotice(NoticeKind kind, unsigned stringId, const BoxInserts& inserts) override {
        const UINT icon = kind == NoticeKind::Warning ? MB_ICONWARNING : MB_ICONINFORMATION;
        ShowBox(BoxText(stringId, inserts), MB_OK | icon);
    }
};

// "<caption>: <text>" in the ANSI code page, as the library's reason beside it.
class QuietMessageSink final : public IMessageSink {
  public:
    using IMessageSink::ShowError;
    void ShowError(unsigned stringId, const BoxInserts& inserts) override {
        Say(BoxText(stringId, inserts));
    }
    // Nobody is there to answer: No, which changes nothing.
    bool AskYesNo(unsigned stringId, const BoxInserts& inserts) override {
        Say(BoxText(stringId, inserts));
        return false;
    }
    void ShowNotice(NoticeKind, unsigned stringId, const BoxInserts& inserts) override {
        Say(BoxText(stringId, inserts));
    }

  private:
    // Whole, so that its passwords are masked before anything could cut it.
    static void Say(const BoxText& box) {
        LogBoxText(box.title, box.text);
        const std::wstring line = std::wstring(box.title) + L": " + box.text;
        const int size =
            WideCharToMultiByte(CP_ACP, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string output(size > 0 ? static_cast<size_t>(size) : 1, '\0');
        WideCharToMultiByte(CP_ACP, 0, line.c_str(), -1, &output[0], size, nullptr, nullptr);
        DebugLine(output.c_str());
    }
};

Win32MessageSink g_defaultSink;
QuietMessageSink g_quietSink;
IMessageSink* g_sink = &g_defaultSink;

} // namespace

IMessageSink& Messages() {
    return *g_sink;
}

void SetMessageSink(IMessageSink* sink) {
    g_sink = sink != nullptr ? sink : &g_defaultSink;
}

void UseQuietMessages() {
    g_sink = &g_quietSink;
}

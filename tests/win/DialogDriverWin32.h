// Drives modal dialogs from inside their own message loops, as a user would:
// a thread timer plays a list of steps, one per tick, while the code under
// test sits in DoModal or MessageBox. Steps act by posting messages, so a
// click that opens another modal dialog never runs inside the timer callback.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

namespace dialogdriver {

// The program's resources (templates, icon, strings) come from the built
// executable, loaded as a data file.
inline HMODULE LoadProgramResources(const std::string& exePath) {
    return LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

inline std::wstring WideText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// Bytes of the ANSI code page, as the program reads them.
inline std::string AnsiText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

inline bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}
inline bool Visible(HWND dialog, int id) {
    return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}
inline bool Checked(HWND dialog, int id) {
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A visible dialog-class window of this thread with exactly this caption.
inline HWND FindDialog(const std::wstring& caption) {
    struct Search {
        const std::wstring* caption;
        HWND found;
    } search = {&caption, nullptr};
    // A lambda converts to a plain function pointer, which on 32-bit Windows
    // is not the stdcall WNDENUMPROC; a static member of a local class is.
    struct Visit {
        static BOOL CALLBACK Each(HWND w, LPARAM p) {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t cls[32] = {};
            GetClassNameW(w, cls, 32);
            if (IsWindowVisible(w) && std::wstring(cls) == L"#32770" &&
                WideText(w) == *s->caption) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        }
    };
    EnumThreadWindows(GetCurrentThreadId(), Visit::Each, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The caption of the program's boxes: the running executable's name without
// its extension.
inline std::wstring BoxCaption() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH - 1);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L'\\') + 1);
    return name.substr(0, name.find_last_of(L'.'));
}

// The text of a message box (its static text control).
inline std::wstring MessageBoxText(HWND box) {
    return WideText(GetDlgItem(box, 0xFFFF));
}

inline void PostCommand(HWND dialog, int id, int code = BN_CLICKED) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)GetDlgItem(dialog, id));
}
// A real click: auto radio buttons change their check before notifying.
inline void PostClick(HWND dialog, int id) {
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
// Selects a combo item and tells the parent, as a user's choice does.
inline void PostSelect(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
    PostCommand(dialog, id, CBN_SELCHANGE);
}

class Script {
  public:
    // A step returns true when it is done; until then it is retried each tick.
    using Step = std::function<bool()>;

    Script& Then(Step step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    // Waits for the dialog with this caption (and, given ready, until ready
    // says so of it), then acts on it.
    Script& On(const std::wstring& caption, std::function<void(HWND)> action,
               std::function<bool(HWND)> ready = nullptr) {
        return Then([caption, action, ready]() {
            HWND w = FindDialog(caption);
            if (w == nullptr || (ready && !ready(w))) {
                return false;
            }
            action(w);
            return true;
        });
    }

    // Runs body (which enters the modal loops) while the steps play. When the
    // steps stall past the timeout, every dialog of the thread is cancelled
    // so the test ends instead of hanging.
    void Play(const std::function<void()>& body, DWORD timeoutMs = 15000) {
        current_ = this;
        deadline_ = GetTickCount() + timeoutMs;
        timedOut_ = false;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, &Script::Tick);
        body();
        KillTimer(nullptr, timer);
        current_ = nullptr;
    }

    bool Done() const { return steps_.empty(); }
    bool TimedOut() const { return timedOut_; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Script* s = current_;
        if (s == nullptr || s->busy_) {
            return;
        }
        s->busy_ = true;
        if (!s->steps_.empty() && s->steps_.front()()) {
            s->steps_.pop_front();
        } else if (GetTickCount() > s->deadline_) {
            s->timedOut_ = true;
            s->CancelEverything();
        }
        s->busy_ = false;
    }

    static void CancelEverything() { EnumThreadWindows(GetCurrentThreadId(), CancelOne, 0); }

    static BOOL CALLBACK CancelOne(HWND w, LPARAM) {
        PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
        PostMessageW(w, WM_COMMAND, IDNO, 0);
        PostMessageW(w, WM_COMMAND, IDOK, 0);
        return TRUE;
    }

    std::deque<Step> steps_;
    DWORD deadline_ = 0;
    bool timedOut_ = false;
    bool busy_ = false;
    static inline Script* current_ = nullptr;
};

} // namespace dialogdriver

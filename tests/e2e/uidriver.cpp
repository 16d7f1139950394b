// uidriver: drives a running program's windows from the outside, through
// window messages, the way UI automation does on Windows. One command per
// run; the exit status says whether it held (0), failed or timed out (1), or
// was misused (2). Texts on the command line and on the output are UTF-8.
//
//   uidriver [--timeout MS] [--exe PATH] COMMAND ARGS...
//   --exe: only windows of processes started from that executable, so runs
//   sharing one desktop never touch each other's windows.
//   window selectors:  title=TEXT            top-level window with that exact title
//                      child=ID=TEXT         top-level window whose control ID shows TEXT
//   wait SEL                  until the window is visible
//   watch SEL [SHOT.bmp]      until it is visible (screen saved), then until it is gone
//   closed SEL                until no such window is left
//   click SEL ID              BM_CLICK on control ID
//   settext SEL ID TEXT       WM_SETTEXT on control ID
//   gettext SEL ID            prints the control's text
//   syscommand SEL CMD        posts WM_SYSCOMMAND CMD to the window
//   title SEL                 prints the window's title
//   ping SEL                  whether the window answers a WM_NULL within a second
//   select SEL ID INDEX       CB_SETCURSEL, then CBN_SELCHANGE to the window
//   state SEL ID              prints enabled=N visible=N checked=N
//   window SEL                prints enabled=N rect=LEFT,TOP,RIGHT,BOTTOM owner=TITLE
//                             of the window itself (TITLE empty when it has no owner)
//   labels SEL DIALOG         prints cut=TEXT needs=WxH has=WxH for each static text
//                             of the window that its control cuts, in the font of
//                             --exe's dialog template DIALOG; fails when there is one
//   msgbox TEXT BUTTON        finds a message box, prints caption|text; when the
//                             text is TEXT (or begins with it, for TEXT*) presses
//                             BUTTON (ok, cancel, yes, no)
//   run PROGRAM [ARG...]      starts PROGRAM (a full Windows path) with the command
//                             line "PROGRAM" ARG ARG..., each ARG after one blank and
//                             as given (no quotes added: /log:"Z:\a b\x.log" goes as
//                             typed), with this process's environment and standard
//                             streams; waits for it (terminated and failed after the
//                             timeout) and prints its whole exit code as an unsigned
//                             decimal (3221225477 for an access violation), which a
//                             Unix exit status would cut to its low 8 bits. Status 0
//                             when it ran and ended, whatever its code.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

DWORD g_timeoutMs = 20000;
std::wstring g_exe;
constexpr DWORD kPollMs = 25;
// Id of the text of a message box.
constexpr int kMessageBoxTextId = 0xFFFF;

void PrintUtf8(const std::wstring& text) {
    char buffer[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    std::printf("%s\n", buffer);
    std::fflush(stdout);
}

// WM_GETTEXT works across processes also for controls, where GetWindowText
// would only see captions.
std::wstring TextOf(HWND window) {
    wchar_t text[2048] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 2047, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, &ignored);
    return text;
}

struct Selector {
    bool byChild = false;
    int childId = 0;
    std::wstring text;
};

bool ParseSelector(const std::wstring& arg, Selector& sel) {
    if (arg.rfind(L"title=", 0) == 0) {
        sel.text = arg.substr(6);
        return true;
    }
    if (arg.rfind(L"child=", 0) == 0) {
        const size_t eq = arg.find(L'=', 6);
        if (eq == std::wstring::npos) {
            return false;
        }
        sel.byChild = true;
        sel.childId = _wtoi(arg.substr(6, eq - 6).c_str());
        sel.text = arg.substr(eq + 1);
        return true;
    }
    return false;
}

bool OfWatchedProgram(HWND window) {
    if (g_exe.empty()) {
        return true;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        return false;
    }
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const BOOL ok = QueryFullProcessImageNameW(process, 0, image, &size);
    CloseHandle(process);
    return ok && lstrcmpiW(image, g_exe.c_str()) == 0;
}

bool Matches(HWND window, const Selector& sel) {
    if (!IsWindowVisible(window) || !OfWatchedProgram(window)) {
        return false;
    }
    if (!sel.byChild) {
        return TextOf(window) == sel.text;
    }
    HWND child = GetDlgItem(window, sel.childId);
    return child != nullptr && TextOf(child) == sel.text;
}

struct Search {
    const Selector* sel;
    HWND found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (Matches(window, *search->sel)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND Find(const Selector& sel) {
    Search search = {&sel, nullptr};
    EnumWindows(&FindProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Polls until want(window) holds or the time is up.
template <class Want> bool Poll(const Selector& sel, HWND& window, Want want) {
    const DWORD start = GetTickCount();
    for (;;) {
        window = Find(sel);
        if (want(window)) {
            return true;
        }
        if (GetTickCount() - start > g_timeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
}

HWND WaitVisible(const Selector& sel) {
    HWND window = nullptr;
    Poll(sel, window, [](HWND w) { return w != nullptr; });
    if (window == nullptr) {
        std::fprintf(stderr, "uidriver: no such window within %lu ms\n", g_timeoutMs);
    }
    return window;
}

bool WaitGone(const Selector& sel) {
    HWND window = nullptr;
    if (!Poll(sel, window, [](HWND w) { return w == nullptr; })) {
        std::fprintf(stderr, "uidriver: the window is still there after %lu ms\n", g_timeoutMs);
        return false;
    }
    return true;
}

// The whole screen as a 24-bit bottom-up BMP.
bool SaveScreen(const std::wstring& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (out == nullptr) {
        return false;
    }
    fwrite(&file, sizeof file, 1, out);
    fwrite(&info, sizeof info, 1, out);
    fwrite(pixels.data(), 1, pixels.size(), out);
    return fclose(out) == 0;
}

HWND Control(HWND window, const std::wstring& id) {
    HWND control = GetDlgItem(window, _wtoi(id.c_str()));
    if (control == nullptr) {
        std::fprintf(stderr, "uidriver: no control %ls\n", id.c_str());
    }
    return control;
}

// A visible dialog-class window with a message-box text; its text goes to text.
BOOL CALLBACK FindMessageBoxProc(HWND window, LPARAM lParam) {
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (!IsWindowVisible(window) || !OfWatchedProgram(window) ||
        std::wcscmp(className, L"#32770") != 0 ||
        GetDlgItem(window, kMessageBoxTextId) == nullptr) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(lParam) = window;
    return FALSE;
}

int PressMessageBox(const std::wstring& expected, const std::wstring& button) {
    int buttonId = 0;
    if (button == L"ok")
        buttonId = IDOK;
    if (button == L"cancel")
        buttonId = IDCANCEL;
    if (button == L"yes")
        buttonId = IDYES;
    if (button == L"no")
        buttonId = IDNO;
    if (buttonId == 0) {
        return 2;
    }
    const DWORD start = GetTickCount();
    HWND box = nullptr;
    while (box == nullptr) {
        EnumWindows(&FindMessageBoxProc, reinterpret_cast<LPARAM>(&box));
        if (box == nullptr) {
            if (GetTickCount() - start > g_timeoutMs) {
                std::fprintf(stderr, "uidriver: no message box within %lu ms\n", g_timeoutMs);
                return 1;
            }
            Sleep(kPollMs);
        }
    }
    const std::wstring text = TextOf(GetDlgItem(box, kMessageBoxTextId));
    PrintUtf8(TextOf(box) + L"|" + text);
    // "TEXT*" matches a text that begins with TEXT.
    const bool prefix = !expected.empty() && expected.back() == L'*';
    const std::wstring wanted = prefix ? expected.substr(0, expected.size() - 1) : expected;
    if (prefix ? text.compare(0, wanted.size(), wanted) != 0 : text != expected) {
        std::fprintf(stderr, "uidriver: the message box says something else\n");
        return 1;
    }
    HWND control = GetDlgItem(box, buttonId);
    if (control == nullptr) {
        std::fprintf(stderr, "uidriver: the message box has no such button\n");
        return 1;
    }
    // The button's own command, as its click would send it: BM_CLICK needs the
    // mouse capture, which a box that is not in the foreground may not get.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
    // Gone before we return, so that the next msgbox command meets the next
    // box and not this one again.
    const DWORD pressed = GetTickCount();
    while (IsWindow(box)) {
        if (GetTickCount() - pressed > g_timeoutMs) {
            std::fprintf(stderr, "uidriver: the message box did not close\n");
            return 1;
        }
        Sleep(kPollMs);
    }
    return 0;
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The font the dialog manager makes for a template of the watched program.
// A font handle belongs to its process, so it is read from a hidden copy of
// the dialog of our own.
struct TemplateFont {
    HMODULE module = nullptr;
    HWND copy = nullptr;
    explicit TemplateFont(int id) {
        InitCommonControls(); // the classes of its controls
        module = LoadLibraryExW(g_exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        copy = CreateDialogParamW(module, MAKEINTRESOURCEW(id), nullptr, &InertDialogProc, 0);
    }
    ~TemplateFont() {
        DestroyWindow(copy);
        FreeLibrary(module);
    }
    HFONT Get() const { return reinterpret_cast<HFONT>(SendMessageW(copy, WM_GETFONT, 0, 0)); }
};

struct LabelCheck {
    HFONT font;
    int cut;
};

// A static text is cut when, drawn as its control draws it (wrapped at the
// control's width unless it is a one-line control), it needs more than the
// control's client area.
BOOL CALLBACK CutLabelProc(HWND control, LPARAM lParam) {
    auto* check = reinterpret_cast<LabelCheck*>(lParam);
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const LONG type = style & SS_TYPEMASK;
    const bool oneLine = type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
    if (lstrcmpiW(className, L"Static") != 0 ||
        (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && !oneLine)) {
        return TRUE;
    }
    const std::wstring text = TextOf(control);
    RECT client = {};
    GetClientRect(control, &client);
    RECT needed = {0, 0, client.right, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, check->font);
    DrawTextW(dc, text.c_str(), -1, &needed,
              DT_CALCRECT | DT_EXPANDTABS | (oneLine ? DT_SINGLELINE : DT_WORDBREAK) |
                  ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    if (needed.right > client.right || needed.bottom > client.bottom) {
        wchar_t sizes[64] = {};
        swprintf(sizes, 64, L" needs=%ldx%ld has=%ldx%ld", needed.right, needed.bottom,
                 client.right, client.bottom);
        PrintUtf8(L"cut=" + text + sizes);
        ++check->cut;
    }
    return TRUE;
}

int RunWindowCommand(const std::wstring& cmd, const Selector& sel,
                     const std::vector<std::wstring>& args) {
    if (cmd == L"closed") {
        return WaitGone(sel) ? 0 : 1;
    }
    HWND window = WaitVisible(sel);
    if (window == nullptr) {
        return 1;
    }
    if (cmd == L"wait") {
        return 0;
    }
    if (cmd == L"watch") {
        if (args.size() > 0 && !SaveScreen(args[0])) {
            std::fprintf(stderr, "uidriver: could not save the screen\n");
        }
        return WaitGone(sel) ? 0 : 1;
    }
    if (cmd == L"title") {
        PrintUtf8(TextOf(window));
        return 0;
    }
    if (cmd == L"window") {
        RECT r = {};
        GetWindowRect(window, &r);
        HWND owner = GetWindow(window, GW_OWNER);
        wchar_t line[128] = {};
        swprintf(line, 128, L"enabled=%d rect=%ld,%ld,%ld,%ld owner=",
                 IsWindowEnabled(window) ? 1 : 0, r.left, r.top, r.right, r.bottom);
        PrintUtf8(line + (owner != nullptr ? TextOf(owner) : std::wstring()));
        return 0;
    }
    if (cmd == L"ping") {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored) != 0 ? 0 : 1;
    }
    if (args.empty()) {
        return 2;
    }
    if (cmd == L"labels") {
        const TemplateFont font(_wtoi(args[0].c_str()));
        LabelCheck check = {font.Get(), 0};
        if (check.font == nullptr) {
            std::fprintf(stderr, "uidriver: no dialog %ls with a font in --exe\n", args[0].c_str());
            return 2;
        }
        EnumChildWindows(window, &CutLabelProc, reinterpret_cast<LPARAM>(&check));
        return check.cut == 0 ? 0 : 1;
    }
    if (cmd == L"syscommand") {
        // Posted, like a click: the command may open a modal window.
        PostMessageW(window, WM_SYSCOMMAND, static_cast<WPARAM>(_wtoi(args[0].c_str())), 0);
        return 0;
    }
    HWND control = Control(window, args[0]);
    if (control == nullptr) {
        return 1;
    }
    DWORD_PTR ignored = 0;
    if (cmd == L"click") {
        // Posted: the click may open a modal window that would block a send.
        // A push button's click is its command to the window; radio buttons
        // and check boxes need the real click, which also changes their state.
        const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                         reinterpret_cast<LPARAM>(control));
        } else {
            SetForegroundWindow(window);
            PostMessageW(control, BM_CLICK, 0, 0);
        }
        return 0;
    }
    if (cmd == L"gettext") {
        PrintUtf8(TextOf(control));
        return 0;
    }
    if (cmd == L"state") {
        const LRESULT checked = SendMessageW(control, BM_GETCHECK, 0, 0);
        std::printf("enabled=%d visible=%d checked=%d\n", IsWindowEnabled(control) ? 1 : 0,
                    (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) ? 1 : 0,
                    checked == BST_CHECKED ? 1 : 0);
        return 0;
    }
    if (args.size() < 2) {
        return 2;
    }
    if (cmd == L"settext") {
        SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()),
                            SMTO_ABORTIFHUNG, 2000, &ignored);
        return 0;
    }
    if (cmd == L"select") {
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(_wtoi(args[1].c_str())), 0);
        const int id = GetDlgCtrlID(control);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        return 0;
    }
    return 2;
}

// A drive and its root, or a share: the program is started by that path
// alone, never looked for in the current directory.
bool IsFullPath(const std::wstring& path) {
    const bool drive = path.size() > 3 && path[1] == L':' && path[2] == L'\\';
    return (drive || path.rfind(L"\\\\", 0) == 0) && path.find(L'"') == std::wstring::npos;
}

int RunProgram(const std::wstring& program, const std::vector<std::wstring>& args) {
    if (!IsFullPath(program)) {
        std::fprintf(stderr, "uidriver: run needs the program's full path\n");
        return 2;
    }
    std::wstring line = L"\"" + program + L"\"";
    for (const std::wstring& arg : args) {
        line += L" " + arg;
    }
    std::vector<wchar_t> writable(line.begin(), line.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), writable.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "uidriver: %ls could not be started (error %lu)\n", program.c_str(),
                     GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process.hProcess, g_timeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.hProcess, ERROR_TIMEOUT);
        WaitForSingleObject(process.hProcess, 5000);
        std::fprintf(stderr, "uidriver: the program did not end within %lu ms: terminated\n",
                     g_timeoutMs);
    }
    const bool read = ended && GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    if (!read) {
        return 1;
    }
    std::printf("%lu\n", static_cast<unsigned long>(code));
    std::fflush(stdout);
    return 0;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args(argv + 1, argv + argc);
    LocalFree(argv);
    if (args.size() >= 2 && args[0] == L"--timeout") {
        g_timeoutMs = static_cast<DWORD>(_wtoi(args[1].c_str()));
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() >= 2 && args[0] == L"--exe") {
        g_exe = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: uidriver [--timeout MS] [--exe PATH] COMMAND ARGS...\n");
        return 2;
    }
    const std::wstring cmd = args[0];
    if (cmd == L"run") {
        return RunProgram(args[1], std::vector<std::wstring>(args.begin() + 2, args.end()));
    }
    if (cmd == L"msgbox") {
        return args.size() == 3 ? PressMessageBox(args[1], args[2]) : 2;
    }
    Selector sel;
    if (!ParseSelector(args[1], sel)) {
        std::fprintf(stderr, "uidriver: bad window selector\n");
        return 2;
    }
    const int result =
        RunWindowCommand(cmd, sel, std::vector<std::wstring>(args.begin() + 2, args.end()));
    if (result == 2) {
        std::fprintf(stderr, "uidriver: bad command or arguments\n");
    }
    return result;
}

#include "framework/UiThread.h"

#include <windows.h>

namespace {

// The one private message: the task in lParam; wParam 1 when it was posted
// (and is owned by the message), 0 when sent (and owned by the sender).
constexpr UINT kRunTask = WM_USER + 1;

HWND g_dispatch = nullptr;
DWORD g_uiThread = 0;

LRESULT CALLBACK DispatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kRunTask) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto* task = reinterpret_cast<std::function<void()>*>(lParam);
    (*task)();
    if (wParam == 1) {
        delete task;
    }
    return 0;
}

} // namespace

void BindUiThread() {
    if (g_dispatch != nullptr && g_uiThread == GetCurrentThreadId()) {
        return;
    }
    static const wchar_t kClass[] = L"FrameworkUiTasks";
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DispatchProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass); // fails harmlessly when already registered
    // A message-only window: never shown, never enumerated with the top-level
    // windows, and it lives as long as its thread.
    g_dispatch = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 windowClass.hInstance, nullptr);
    g_uiThread = g_dispatch != nullptr ? GetCurrentThreadId() : 0;
}

void RunOnUiThread(const std::function<void()>& task) {
    if (g_dispatch == nullptr || GetCurrentThreadId() == g_uiThread) {
        task();
        return;
    }
    auto* sent = const_cast<std::function<void()>*>(&task);
    SendMessageW(g_dispatch, kRunTask, 0, reinterpret_cast<LPARAM>(sent));
}

bool PostToUiThread(std::function<void()> task) {
    if (g_dispatch == nullptr) {
        return false;
    }
    auto* posted = new std::function<void()>(std::move(task));
    if (!PostMessageW(g_dispatch, kRunTask, 1, reinterpret_cast<LPARAM>(posted))) {
        delete posted;
        return false;
    }
    // The message owns the task now and DispatchProc deletes it; the analyzer
    // loses the pointer in the LPARAM it travels in.
    return true; // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks)
}

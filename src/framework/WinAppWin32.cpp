#include "framework/WinApp.h"

#include <ole2.h>

#include <cstring>

#include "common/BoundedCopy.h"
#include "framework/ArgumentText.h"
#include "framework/Dialog.h"
#include "framework/SafeDllSearch.h"

namespace {

CWinApp* g_app = nullptr;

// The executable's file name without directory and extension.
void ModuleBaseName(char (&name)[MAX_PATH]) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    const char* base = strrchr(path, '\\');
    base = base != nullptr ? base + 1 : path;
    CopyField(name, base);
    char* dot = strrchr(name, '.');
    if (dot != nullptr) {
        *dot = '\0';
    }
}

} // namespace

CWinApp::CWinApp() noexcept { g_app = this; }

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() {
    return 0;
}

void CWinApp::SetRegistryKey(const char* company) { m_pszRegistryKey = company; }

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() {
    return g_app != nullptr && g_app->m_hInstance != nullptr ? g_app->m_hInstance
                                                             : GetModuleHandleA(nullptr);
}

HWND AfxGetOwnerWindow() {
    if (g_app == nullptr || g_app->m_pMainWnd == nullptr) {
        return nullptr;
    }
    HWND main = g_app->m_pMainWnd->m_hWnd;
    if (main == nullptr || !IsWindow(main)) {
        return nullptr;
    }
    return GetLastActivePopup(main);
}

void AfxEnableControlContainer(void*) {
    // The dialogs host no embedded controls; nothing to prepare.
}

BOOL AfxOleInit() {
    HRESULT hr = OleInitialize(nullptr);
    return SUCCEEDED(hr) ? TRUE : FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // First of all: nothing the program loads from here on (OLE's helpers,
    // the common controls' themes, Kelvane.dll) may come from the current
    // directory.
    MakeDllSearchSafe();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 0;
    }
    app->m_hInstance = instance;
    app->m_lpCmdLine = SkipProgramName(GetCommandLineA());
    ModuleBaseName(app->m_pszAppName);
    // The process ends when InitInstance returns.
    app->InitInstance();
    return app->ExitInstance();
}

// The application object: one static instance per process. WinMain hands it
// the argument text and calls InitInstance once; the process ends when that
// returns, with the exit status ExitInstance gives.
#pragma once

#include <windows.h>

class CDialog;

class CWinApp {
  public:
    // Constructed before WinMain, where nothing could catch an exception.
    CWinApp() noexcept;
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    // The process's exit status, asked once InitInstance has returned.
    virtual int ExitInstance();

    // Where the framework would keep per-user profile settings.
    void SetRegistryKey(const char* company);

    HINSTANCE m_hInstance = nullptr;
    // The command line after the program's own name, leading blanks and
    // control characters already skipped.
    const char* m_lpCmdLine = "";
    CDialog* m_pMainWnd = nullptr; // the application's main window while a dialog runs
    // The executable's file name without its extension: the caption of every
    // message box.
    char m_pszAppName[MAX_PATH] = {};
    const char* m_pszRegistryKey = nullptr;
};

// The single application object.
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// The owner of a dialog or message box shown without a parent of its own: the
// running main window, or the dialog of it that was last active while one is
// up; null while no main window runs.
HWND AfxGetOwnerWindow();

// Control containers and OLE: what start-up asks of the framework.
void AfxEnableControlContainer(void* manager = nullptr);
BOOL AfxOleInit();

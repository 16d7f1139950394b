#include "app/DunmoorApp.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "app/AppDialogs.h"
#include "app/CommandLine.h"
#include "app/ProgramFileAccess.h"
#include "common/BoundedCopy.h"
#include "common/Version.h"
#include "crypto/Cipher.h"
#include "db/DbLibrary.h"
#include "db/MessageBox.h"
#include "db/ScriptPaths.h"
#include "framework/Platform.h"
#include "framework/RunLog.h"

namespace {

constexpr char kPasswordVariable[] = "DUNMOOR_PASSWORD";

// A run that a power cut ended left its plain script behind. One that another
// start is running is held against deletion and stays. Each name removed
// goes to the debugger output and the run log.
void RemoveLeftoverPlainScripts(const char* programDirectory) {
    const char* deleted[kScriptCount] = {};
    const size_t count = DeleteLeftoverPlainScripts(programDirectory, deleted);
    for (size_t i = 0; i < count; ++i) {
        char message[96] = {};
        snprintf(message, sizeof message, "Leftover plain script deleted: %s", deleted[i]);
        LogAndDebug(message);
    }
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The password of an unattended run from the environment, where deployment
// tools keep it off the command line (and so out of their logs and the
// process list).
void TakePasswordFromEnvironment(ConnectionParams& params) {
    char value[kPathSize] = {};
    const DWORD length = GetEnvironmentVariableA(kPasswordVariable, value, sizeof value);
    if (length == 0 || length >= sizeof value) {
        return;
    }
    CopyField(params.password, value);
    SecureZeroMemory(value, sizeof value);
    LogLine("Password taken from %s", kPasswordVariable);
}

} // namespace

int CDunmoorApp::ParseCommandLine(ConnectionParams& params) {
    return ::ParseCommandLine(m_arguments.c_str(), params);
}

BOOL CDunmoorApp::InitInstance() {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = 8;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    AfxEnableControlContainer(nullptr);

    BuildCipherTables();
    ExpandKey();

    char programDirectory[kPathSize];
    GetProgramDirectory(programDirectory);
    m_exitStatus = Run(programDirectory);
    LogLine("Exit status %d", m_exitStatus);
    CloseRunLog();
    return FALSE;
}

void CDunmoorApp::LogStart(bool unattended) const {
    const char* mode = unattended            ? "unattended create"
                       : m_arguments.empty() ? "interactive"
                                             : "interactive (/find)";
    LogRunHeader((std::string("Dunmoor ") + DUNMOOR_FILE_VERSION + ", " +
                  (sizeof(void*) == 8 ? "64-bit" : "32-bit") + ", " + mode)
                     .c_str());
    LogLine("Command line: %s",
            m_lpCmdLine[0] != '\0' ? MaskPassword(m_lpCmdLine).c_str() : "(none)");
}

int CDunmoorApp::Run(const char* programDirectory) {
    // "/log:<path>" names the log in either mode; a command line of nothing
    // else is no unattended create.
    std::string arguments = m_lpCmdLine;
    std::string logPath = std::string(programDirectory) + "\\Dunmoor.log";
    TakeLogSwitch(arguments, logPath);
    m_arguments = Trimmed(arguments);
    OpenRunLog(logPath.c_str());

    ConnectionParams params;
    memset(&params, 0, sizeof params);
    const bool unattended = !m_arguments.empty() && ParseCommandLine(params) == 1;
    LogStart(unattended);
    // A deployment tool learns the outcome from the exit status; with /q
    // that, the run log and the debugger output are all it gets, no box
    // waits on it (the first may come right here).
    if (unattended && HasWordSwitch(m_arguments.c_str(), "/q")) {
        UseQuietMessages();
    }
    // Before anything of the program directory is deleted, loaded or run.
    WarnOfOpenProgramFiles(programDirectory);
    RemoveLeftoverPlainScripts(programDirectory);

    SetRegistryKey("Local AppWizard-Generated Applications");
    if (!AfxOleInit()) {
        // No dialog runs: an unattended create asked for has not happened.
        LogLine("OLE could not be initialised: nothing ran");
        return unattended ? kExitFailed : 0;
    }
    if (LoadDbLibrary(programDirectory) == 0) {
        LogLine("Kelvane.dll could not be loaded, or lacks ConnectDB or QueryExecuteDB");
    }
    launchedWithCommandLine = m_arguments.empty() ? 0 : 1;
    if (unattended) {
        return RunUnattended(params);
    }
    RunMainDialog(*this);
    return 0;
}

int CDunmoorApp::RunUnattended(ConnectionParams& params) {
    if (params.windowsAuth == 0 && !NamesPassword(m_arguments.c_str())) {
        TakePasswordFromEnvironment(params);
    }
    return RunCreateDialog(*this, params, HasWordSwitch(m_arguments.c_str(), "/replace"));
}

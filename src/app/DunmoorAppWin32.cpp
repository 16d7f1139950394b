#include "app/DunmoorApp.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "app/AppDialogs.h"
#include "app/CommandLine.h"
#include "app/PasswordVariable.h"
#include "app/ProgramFileAccess.h"
#include "app/RunGuards.h"
#include "app/UnattendedRun.h"
#include "common/Version.h"
#include "crypto/Cipher.h"
#include "db/DbLibrary.h"
#include "db/MessageBox.h"
#include "db/ScriptPaths.h"
#include "platform/Platform.h"
#include "record/RunLog.h"
#include "record/RunSecrets.h"

namespace {

// The whole argument text that asks for the list of switches.
constexpr char kUsageSwitch[] = "/?";

// What the run log's header says the run is.
const char* ModeName(const UnattendedRequest* unattended, const std::string& arguments) {
    if (unattended != nullptr) {
        return UnattendedModeName(*unattended);
    }
    if (arguments == kUsageSwitch) {
        return "usage (/?)";
    }
    return arguments.empty() ? "interactive" : "interactive (/find)";
}

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

// Masked from the first line on, whether or not this run takes it (or
// refuses it as too long).
void RegisterEnvironmentPassword() {
    char value[kPathSize] = {};
    if (ReadPasswordVariable(value) > 0 && value[0] != '\0') {
        RegisterRunSecret(value);
    }
    SecureZeroMemory(value, sizeof value);
}

// The run log's path, from "/log:<path>" or beside the program; arguments
// becomes the command line without it.
std::string TakeLogPath(const char* programDirectory, const char* commandLine,
                        std::string& arguments) {
    std::string path = std::string(programDirectory) + "\\Dunmoor.log";
    std::string rest = commandLine;
    TakeLogSwitch(rest, path);
    arguments = Trimmed(rest);
    return path;
}

} // namespace

int CDunmoorApp::ParseCommandLine(ConnectionParams& params) {
    return ::ParseCommandLine(m_arguments.c_str(), params);
}

BOOL CDunmoorApp::InitInstance() {
    // One run at a time on the machine: a second start ends here, before it
    // loads the library or touches a file the first one works on.
    char runNote[kRunNoteSize];
    if (!TakeMachineRun(runNote)) {
        m_exitStatus = RefuseSecondRun(runNote);
        return FALSE;
    }
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
    m_exitStatus = Run(programDirectory, runNote);
    LogLine("Exit status %d", m_exitStatus);
    CloseRunLog();
    ClearRunSecrets();
    ForgetPasswordVariable();
    ReleaseMachineRun();
    return FALSE;
}

// Its lines go behind the running one's, in one piece, and rotate nothing.
int CDunmoorApp::RefuseSecondRun(const char* reason) {
    char programDirectory[kPathSize];
    GetProgramDirectory(programDirectory);
    OpenCheckedRunLog(TakeLogPath(programDirectory, m_lpCmdLine, m_arguments).c_str(), true);
    LogStart("second start, refused");
    // Deployment tools retry this code by themselves, later.
    const int status = RefuseRun(reason, kStrAlreadyRunning, m_arguments.c_str(), kExitAnotherRun);
    LogLine("Exit status %d", status);
    CloseRunLog();
    return status;
}

void CDunmoorApp::LogStart(const char* mode) const {
    LogRunHeader((std::string("Dunmoor ") + DUNMOOR_FILE_VERSION + ", " +
                  (sizeof(void*) == 8 ? "64-bit" : "32-bit") + ", " + mode)
                     .c_str());
    LogLine("Command line: %s",
            m_lpCmdLine[0] != '\0' ? MaskCommandLine(m_lpCmdLine).c_str() : "(none)");
}

int CDunmoorApp::Run(const char* programDirectory, const char* runNote) {
    // "/log:<path>" names the log in either mode; a command line of nothing
    // else is no unattended create.
    const LogCheck log =
        OpenCheckedRunLog(TakeLogPath(programDirectory, m_lpCmdLine, m_arguments).c_str(), false);
    RegisterEnvironmentPassword();
    // Before anything of the program directory is deleted, loaded or run.
    const std::vector<OpenPath> openFiles = FindOpenProgramFiles(programDirectory);
    if (log.refused || !openFiles.empty()) {
        LogStart("start refused");
        return RefuseUnsafeStart(openFiles, log, m_arguments.c_str());
    }
    if (!FitsWorkingCopy(m_arguments.c_str())) {
        // Switches cut off would run with another password or box than asked.
        LogStart("command line refused");
        char reason[128] = {};
        snprintf(reason, sizeof reason,
                 "Command line refused: its switches take %u characters, %d at most: nothing done",
                 static_cast<unsigned>(m_arguments.size()), kWorkingCopySize - 1);
        return RefuseRun(reason, kStrCommandLineTooLong, m_arguments.c_str(),
                         kExitCommandLineRefused);
    }

    ConnectionParams params;
    memset(&params, 0, sizeof params);
    UnattendedRequest request;
    const bool usage = m_arguments == kUsageSwitch;
    const bool unattended = !usage && !m_arguments.empty() && ParseCommandLine(params) == 1;
    if (unattended) {
        ParseUnattended(m_arguments.c_str(), params, request);
    }
    RegisterRunSecret(params.password, sizeof params.password);
    LogStart(ModeName(unattended ? &request : nullptr, m_arguments));
    if (runNote[0] != '\0') {
        LogAndDebug(runNote);
    }
    if (usage) {
        // What every command-line tool answers: nothing is connected or run.
        Messages().ShowNotice(NoticeKind::Information, kStrUsage, BoxInserts());
        return 0;
    }
    // A deployment tool learns the outcome from the exit status; with /q
    // that, the run log and the debugger output are all it gets, no box
    // waits on it (the first may come right here).
    if (unattended && request.quiet) {
        UseQuietMessages();
    }
    // Before anything is loaded or connected: a run that might reach another
    // server, or drop data, than the one meant never starts.
    if (unattended) {
        const int refused = CheckUnattendedRequest(m_arguments.c_str(), params, request);
        if (refused >= 0) {
            return refused;
        }
    }
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
        return RunUnattendedRequest(*this, params, request);
    }
    RunMainDialog(*this);
    return 0;
}

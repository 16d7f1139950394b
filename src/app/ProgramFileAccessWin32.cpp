// The descriptors of the program's own files and of the run log's folder,
// read at start, before anything of them is loaded, run or written.
#include "app/ProgramFileAccess.h"

#include <windows.h>

#include <cstdio>

#include "app/AppDialogs.h"
#include "app/CommandLine.h"
#include "db/MessageBox.h"
#include "db/ScriptPaths.h"
#include "record/EventLog.h"
#include "record/RunLog.h"
#include "security/FileAccess.h"

namespace {

// The account of a descriptor that cannot be read, in the box's language
// but ASCII, as every insert must survive any ANSI code page.
std::string UnreadableAccount(unsigned long error) {
    char text[48] = {};
    snprintf(text, sizeof text, "ismeretlen (hiba: %lu)", error);
    return text;
}

// A missing file is nothing to check; a descriptor that cannot be read
// counts as open, since nobody can tell it is not.
void Check(const char* path, bool directory, std::vector<OpenPath>& found) {
    if (path[0] == '\0') {
        return; // a path too long for its buffer names nothing
    }
    const OutsideWriter writer = FindOutsideWriter(path, directory);
    if (writer.status == OutsideWriter::kUnreadable) {
        found.push_back({path, UnreadableAccount(writer.error)});
    } else if (writer.status == OutsideWriter::kFound) {
        found.push_back({path, writer.account});
    }
}

std::string FullPath(const char* path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full) : std::string(path);
}

LogCheck Refused(unsigned stringId, const std::string& path, const std::string& account,
                 const std::string& reason) {
    LogCheck check;
    check.refused = true;
    check.stringId = stringId;
    check.where = {path, account};
    check.reason = "Run log refused: " + reason;
    return check;
}

// The folder's verdict; an empty check lets the log be opened.
LogCheck CheckFolder(const std::string& folder, bool& exists) {
    exists = true;
    const OutsideWriter writer = HoldFolder(folder.c_str());
    switch (writer.status) {
    case OutsideWriter::kNone:
        break;
    case OutsideWriter::kMissing:
        exists = false;
        break;
    case OutsideWriter::kFound:
        return Refused(kStrLogFolderOpen, folder, writer.account,
                       "its folder " + folder + " can be changed by " + writer.account);
    case OutsideWriter::kUnreadable:
        return Refused(kStrLogFolderOpen, folder, UnreadableAccount(writer.error),
                       "who may change its folder " + folder + " cannot be read (error " +
                           std::to_string(writer.error) + ")");
    case OutsideWriter::kLink:
        return Refused(kStrLogIsLink, folder, "", "its folder " + folder + " is a link");
    }
    return LogCheck();
}

} // namespace

LogCheck OpenCheckedRunLog(const char* logPath, bool behindAnother) {
    const std::string path = FullPath(logPath);
    const size_t slash = path.find_last_of("\\/");
    // A drive's root keeps its backslash: "C:" alone names a current directory.
    const bool root = slash > 0 && slash != std::string::npos && path[slash - 1] == ':';
    const std::string folder =
        slash == std::string::npos ? "." : path.substr(0, root ? slash + 1 : slash);
    bool exists = true;
    LogCheck check = CheckFolder(folder, exists);
    if (check.refused) {
        return check;
    }
    if (!exists) {
        DebugLine(("Run log " + path +
                   " cannot be opened: its folder does not exist; the run "
                   "goes on without it")
                      .c_str());
        return check;
    }
    LogFileState::Status status = LogFileState::kUnopenable;
    const bool opened = behindAnother ? OpenRunLogBehindAnother(path.c_str(), &status)
                                      : OpenRunLog(path.c_str(), &status);
    if (!opened && (status == LogFileState::kLink || status == LogFileState::kSecondName)) {
        check = Refused(
            kStrLogIsLink, path, "",
            path + (status == LogFileState::kLink ? " is a link" : " is a second name of a file"));
    }
    return check;
}

std::vector<OpenPath> FindOpenProgramFiles(const char* programDirectory) {
    std::vector<OpenPath> found;
    Check(programDirectory, true, found);
    char path[kPathSize] = {};
    // Kelvane.ini names the ODBC driver and adds its options; the installer
    // runs as it is.
    const struct {
        const char* name;
        bool directory;
    } kOwnFiles[] = {{"Kelvane.dll", false},
                     {"Kelvane.ini", false},
                     {"Support", true},
                     {"Support\\SqlExpr.exe", false}};
    for (const auto& file : kOwnFiles) {
        FormatScriptPath(path, programDirectory, file.name);
        Check(path, file.directory, found);
    }
    for (const ScriptFilePair* pair : kAllScripts) {
        FormatScriptPath(path, programDirectory, pair->encrypted);
        Check(path, false, found);
    }
    return found;
}

int RefuseUnsafeStart(const std::vector<OpenPath>& files, const LogCheck& log,
                      const char* arguments) {
    std::string summary = "Refused at start: others than the administrators can change what "
                          "this program runs or writes:";
    for (const OpenPath& file : files) {
        const std::string line = "Open to others: " + file.path + " can be changed by " +
                                 file.account + ": nothing done";
        LogAndDebug(line.c_str());
        summary += "\n" + file.path + " (" + file.account + ")";
    }
    if (log.refused) {
        LogAndDebug(log.reason.c_str());
        summary += "\n" + log.reason;
    }
    ReportRunEvent(RunEvent::OpenToOthers, summary.c_str());
    // Nobody may be waited on by a deployment tool that asked for /q.
    if (HasWordSwitch(arguments, "/q")) {
        UseQuietMessages();
    }
    const OpenPath& first = files.empty() ? log.where : files.front();
    Messages().ShowError(files.empty() ? log.stringId : kStrProgramFilesOpen,
                         BoxInserts{first.path.c_str(), first.account.c_str()});
    return kExitFailed;
}

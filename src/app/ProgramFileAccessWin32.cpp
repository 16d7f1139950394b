// The descriptors of the program's own files, read at start, before anything
// of them is loaded or run.
#include "app/ProgramFileAccess.h"

#include <string>
#include <vector>

#include "db/MessageBox.h"
#include "db/ScriptPaths.h"
#include "record/EventLog.h"
#include "record/RunLog.h"
#include "security/FileAccess.h"

namespace {

struct Finding {
    std::string path;
    std::string account;
};

// A missing file is nothing to check; a descriptor that cannot be read is
// said so, and not guessed at.
void Check(const char* path, bool directory, std::vector<Finding>& findings) {
    if (path[0] == '\0') {
        return; // a path too long for its buffer names nothing
    }
    const OutsideWriter writer = FindOutsideWriter(path, directory);
    if (writer.status == OutsideWriter::kUnreadable) {
        LogLine("Who may change %s could not be read (error %lu): not checked", path, writer.error);
    } else if (writer.status == OutsideWriter::kFound) {
        findings.push_back({path, writer.account});
    }
}

} // namespace

void WarnOfOpenProgramFiles(const char* programDirectory) {
    std::vector<Finding> findings;
    Check(programDirectory, true, findings);
    char path[kPathSize] = {};
    // Kelvane.ini names the ODBC driver and may add its options (a driver's
    // plugin folder among them); the installer runs as it is.
    const struct {
        const char* name;
        bool directory;
    } kOwnFiles[] = {{"Kelvane.dll", false},
                     {"Kelvane.ini", false},
                     {"Support", true},
                     {"Support\\SqlExpr.exe", false}};
    for (const auto& file : kOwnFiles) {
        FormatScriptPath(path, programDirectory, file.name);
        Check(path, file.directory, findings);
    }
    for (const ScriptFilePair* pair : kAllScripts) {
        FormatScriptPath(path, programDirectory, pair->encrypted);
        Check(path, false, findings);
    }
    if (findings.empty()) {
        return;
    }
    std::string summary = "Others than the administrators can change what this program runs:";
    for (const Finding& finding : findings) {
        LogLine("Open to others: %s can be changed by %s", finding.path.c_str(),
                finding.account.c_str());
        summary += "\n" + finding.path + " (" + finding.account + ")";
    }
    ReportRunEvent(RunEvent::ProgramFilesOpen, summary.c_str());
    BoxInserts inserts;
    inserts.first = findings.front().path.c_str();
    inserts.second = findings.front().account.c_str();
    Messages().ShowNotice(NoticeKind::Warning, kStrProgramFilesOpen, inserts);
}

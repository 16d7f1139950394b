// The connection of a create, and the create's dry run (/check): everything
// the create does before its first change, and then nothing more.
#include <cstring>
#include <string>

#include "common/BoundedCopy.h"
#include "db/CreateSteps.h"
#include "db/DatabaseName.h"
#include "db/DbLibrary.h"
#include "db/MessageBox.h"
#include "record/RunReport.h"
#include "platform/Platform.h"
#include "record/RunLog.h"

namespace {

CheckResult Decide(CreateRun& run) {
    switch (DecideOnExisting(run, true)) {
    case Decision::Create:
        return CheckResult::WouldCreate;
    case Decision::Replace:
        return CheckResult::WouldReplace;
    case Decision::Keep:
        return CheckResult::Exists;
    case Decision::KeepAndPatch:
        return CheckResult::WouldKeep;
    case Decision::Stop:
        break;
    }
    return CheckResult::Failed;
}

// The outcome in the run log and on the debugger output, and in a box
// unless the boxes are quiet. A failure has shown its own box.
void ReportCheck(CheckResult result, const CreateRun& run) {
    const std::string database = DatabaseOn(*run.params, run.dbType, run.name);
    const std::string server = FieldText(run.params->server);
    const std::string user = FieldText(run.params->userId);
    const BoxInserts inserts = {run.name, server.c_str()};
    std::string outcome = "Check: " + database;
    switch (result) {
    case CheckResult::WouldCreate:
        outcome += " would be created";
        Messages().ShowNotice(NoticeKind::Information, kStrCheckWouldCreate, inserts);
        break;
    case CheckResult::WouldReplace:
        outcome += run.unfinished ? " is the unfinished database of an earlier run and would be "
                                    "made again"
                                  : " exists and would be replaced (/replace)";
        Messages().ShowNotice(NoticeKind::Warning, kStrCheckWouldReplace, inserts);
        break;
    case CheckResult::Exists:
        outcome += run.dbType == Oracle ? " would be kept: the user's schema already holds tables"
                                        : " exists and would be kept (no /replace)";
        if (run.dbType == Oracle) {
            Messages().ShowError(kStrSchemaHoldsTables, BoxInserts{user.c_str(), server.c_str()});
        } else {
            Messages().ShowNotice(NoticeKind::Warning, kStrCheckExists, inserts);
        }
        break;
    case CheckResult::WouldKeep:
        outcome += " exists and would be kept, its settings saved and patched (/keep)";
        Messages().ShowNotice(NoticeKind::Information, kStrCheckWouldKeep, inserts);
        break;
    case CheckResult::Failed:
        outcome += " would fail" + (run.reason.empty() ? std::string() : ": " + run.reason);
        break;
    }
    LogAndDebug((outcome + "; nothing was changed").c_str());
}

} // namespace

void StartRun(CreateRun& run, int launchedWithCommandLine, ConnectionParams& params, int dbType,
              ExistingDatabase existing, const char* action) {
    run.launchedWithCommandLine = launchedWithCommandLine;
    run.params = &params;
    run.dbType = dbType;
    run.existing = existing;
    CopyField(run.name, EffectiveDatabaseName(launchedWithCommandLine, params));
    LogConnection(action, params, dbType, run.name);
}

bool ConnectToServer(ConnectionParams& params) {
    char savedName[kPathSize] = {};
    CopyBounded(savedName, sizeof savedName, params.databaseName, sizeof params.databaseName);
    memset(params.databaseName, 0, sizeof params.databaseName);
    const int connected = ConnectDB(&params);
    // Put back on both paths: the caller's record keeps the name it gave.
    CopyField(params.databaseName, savedName);
    if (connected == 0) {
        // The library's reason: in the log before the box, on the debugger
        // output (for an administrator with a debug viewer) once it is closed.
        char reason[kErrorTextSize + 1] = {};
        CopyBounded(reason, sizeof reason, params.errorText, sizeof params.errorText);
        LogLine("Connection failed: %s", reason);
        Messages().ShowError(kStrServerUnreachable);
        DebugLine(reason);
        return false;
    }
    LogLine("Connected to the server");
    return true;
}

CheckResult CheckCreate(int launchedWithCommandLine, ConnectionParams& params, int dbType,
                        ExistingDatabase existing) {
    CreateRun run;
    StartRun(run, launchedWithCommandLine, params, dbType, existing, "Check");

    char directory[kPathSize];
    GetProgramDirectory(directory);
    CheckResult result = CheckResult::Failed;
    {
        // Held only for the check: released (and so deleted) before the report.
        PreparedScripts scripts;
        if (Preflight(run, directory, scripts)) {
            if (ConnectToServer(params)) {
                result = Decide(run);
            } else {
                run.reason = "the server cannot be reached";
            }
        }
    }
    ReportCheck(result, run);
    return result;
}

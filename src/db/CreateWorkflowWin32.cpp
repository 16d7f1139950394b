// Provisioning a new database: check, connect, create, run the schema and
// the initial data, save the settings. Nothing is sent before the checks
// have passed, and the settings are saved only at the very end, so a failed
// create leaves the registry as it was.
#include <string>

#include "common/BoundedCopy.h"
#include "db/CreateSteps.h"
#include "db/CreationStatements.h"
#include "db/DatabaseName.h"
#include "db/DbLibrary.h"
#include "db/MessageBox.h"
#include "record/RunReport.h"
#include "db/ScriptRunner.h"
#include "db/ServerHost.h"
#include "record/EventLog.h"
#include "record/RunLog.h"

namespace {

bool RunSchemaScript(PreparedScripts& scripts, int dbType, IProgressBar* progressBar,
                     BatchTally& tally) {
    if (!scripts.hasSchema) {
        return true;
    }
    const char* plain = scripts.schema.plain;
    const int ran = RunScript(plain, progressBar, CountBatches(plain), tally);
    if (ran == 0 && dbType == MsSql) {
        Messages().ShowError(kStrServerUnreachable);
    }
    PlatformDeleteFile(plain);
    return ran != 0;
}

// The initial data runs without progress.
bool RunInitialData(PreparedScripts& scripts, BatchTally& tally) {
    const int ran = RunScript(scripts.initialData.plain, nullptr, 0, tally);
    PlatformDeleteFile(scripts.initialData.plain);
    return ran != 0;
}

bool CreateObjects(CreateRun& run) {
    const bool local = ServerIsThisMachine(FieldText(run.params->server).c_str());
    if (CreateDatabaseObjects(run.name, run.launchedWithCommandLine, run.dbType, local,
                              run.replacing, &run.creation) != 0) {
        return true;
    }
    if (run.creation.dropRefused) {
        run.reason = "the server refused to drop the database, which stays as it was";
    } else if (DbConnectionLost()) {
        run.reason = "the connection was lost during the creation statements";
        LogAndDebug("Create stopped: the connection was lost during the creation statements");
    }
    Messages().ShowError(kStrCreateFailed);
    return false;
}

// None of the creation statements: the settings are saved for the database
// that is there, and its patch script runs in it (a patch that fails leaves
// the settings saved, so the next start patches it again).
CreateResult KeepAndPatch(CreateRun& run, IProgressBar* progressBar) {
    run.keeping = true;
    LogLine("Kept: database %s stays as it is; its settings are saved and it is patched", run.name);
    if (!SaveSettings(run)) {
        return CreateResult::SettingsNotSaved;
    }
    ConnectionParams patched = *run.params;
    CopyField(patched.databaseName, run.name);
    // The record names the database: the launch flag is not to choose it.
    return RunPatch(0, patched, progressBar) != 0 ? CreateResult::KeptAndPatched
                                                  : CreateResult::KeptPatchNotRun;
}

CreateResult Provision(CreateRun& run, IProgressBar* progressBar, BatchTally& tally) {
    char directory[kPathSize];
    GetProgramDirectory(directory);
    PreparedScripts scripts;
    if (!Preflight(run, directory, scripts)) {
        return CreateResult::NotReady;
    }
    if (!ConnectToServer(*run.params)) {
        return CreateResult::Failed;
    }
    switch (DecideOnExisting(run, false)) {
    case Decision::Create:
        break;
    case Decision::Replace:
        run.replacing = true;
        break;
    case Decision::Keep:
        return CreateResult::KeptExisting;
    case Decision::KeepAndPatch:
        return KeepAndPatch(run, progressBar);
    case Decision::Stop:
        return CreateResult::Failed;
    }
    if (!RecordRun(run) || !CreateObjects(run) ||
        !RunSchemaScript(scripts, run.dbType, progressBar, tally) ||
        !RunInitialData(scripts, tally)) {
        return CreateResult::Failed;
    }
    if (!SaveSettings(run)) {
        return CreateResult::SettingsNotSaved;
    }
    ClearRunRecord();
    return tally.refused > 0 ? CreateResult::CreatedWithRefusedBatches : CreateResult::Created;
}

std::string WithReason(const std::string& summary, const std::string& reason) {
    return reason.empty() ? summary : summary + ": " + reason;
}

// Where the leftover data files went; empty when none moved.
std::string KeptFiles(const CreationOutcome& creation, const char* separator) {
    std::string paths;
    for (int i = 0; i < creation.keptCount; ++i) {
        paths += (i > 0 ? separator : "") + std::string(creation.kept[i]);
    }
    return paths;
}

// Whatever the outcome, it says where files the run moved aside now lie.
void ReportCreateOutcome(CreateResult result, const CreateRun& run, const BatchTally& tally) {
    const std::string kept = KeptFiles(run.creation, ", ");
    const std::string database =
        DatabaseOn(*run.params, run.dbType, run.name) +
        (run.unfinished && run.replacing
             ? " (the unfinished database of an earlier run, made again)"
             : "") +
        (kept.empty() ? ""
                      : " (leftover data files of an earlier database moved aside: " + kept + ")");
    switch (result) {
    case CreateResult::Created:
        ReportOutcome(RunEvent::CreateSucceeded, ("Created " + database).c_str());
        break;
    case CreateResult::CreatedWithRefusedBatches:
        ReportOutcome(RunEvent::CreatedWithRefusedBatches,
                      ("Created " + database + ", but the server refused " +
                       std::to_string(tally.refused) + " of " + std::to_string(tally.sent) +
                       " batches")
                          .c_str());
        break;
    case CreateResult::SettingsNotSaved:
        ReportOutcome(RunEvent::CreateFailed, ((run.keeping ? "Kept " : "Created ") + database +
                                               ", but its settings could not be saved")
                                                  .c_str());
        break;
    case CreateResult::KeptExisting:
        ReportOutcome(RunEvent::DatabaseKept, WithReason("Kept " + database, run.reason).c_str());
        break;
    case CreateResult::KeptAndPatched:
        ReportOutcome(RunEvent::PatchSucceeded,
                      ("Kept " + database + ", saved its settings and patched it").c_str());
        break;
    case CreateResult::KeptPatchNotRun:
        ReportOutcome(
            RunEvent::PatchFailed,
            ("Kept " + database + " and saved its settings, but patching it failed").c_str());
        break;
    case CreateResult::NotReady:
    case CreateResult::Failed:
        ReportOutcome(RunEvent::CreateFailed,
                      WithReason("Creating " + database + " failed", run.reason).c_str());
        break;
    }
}

} // namespace

CreateResult CreateDatabase(int launchedWithCommandLine, ConnectionParams& params,
                            IProgressBar* progressBar, int dbType, ExistingDatabase existing,
                            CreateDetails* details) {
    CreateRun run;
    StartRun(run, launchedWithCommandLine, params, dbType, existing, "Create");
    BatchTally tally;
    const CreateResult result = Provision(run, progressBar, tally);
    ReportCreateOutcome(result, run, tally);
    if (details != nullptr) {
        details->refused = tally.refused;
        details->sent = tally.sent;
        details->keptFiles = KeptFiles(run.creation, "\n");
    }
    return result;
}

// Bringing an existing database up to date from the saved settings. No box:
// the caller decides what a failure means; the run log and the event log say
// what happened.
#include <cstdio>
#include <string>

#include "common/BoundedCopy.h"
#include "db/DatabaseName.h"
#include "db/DbLibrary.h"
#include "db/ScriptPaths.h"
#include "db/ScriptRunner.h"
#include "db/Workflows.h"
#include "record/EventLog.h"
#include "record/RunLog.h"
#include "record/RunReport.h"

namespace {

const ScriptFilePair* PatchScript(int dbType) {
    switch (dbType) {
    case MySql:
        return &kMySqlPatch;
    case MsSql:
        return &kMsSqlPatch;
    case Oracle:
        return &kOraclePatch;
    default:
        return nullptr;
    }
}

// On MS SQL the saved connection names no database of its own to work in.
bool SelectDatabase(int launchedWithCommandLine, const ConnectionParams& params) {
    char statement[256] = {};
    snprintf(statement, sizeof statement, "use %.*s", static_cast<int>(kTextFieldSize),
             EffectiveDatabaseName(launchedWithCommandLine, params));
    return QueryExecuteDB(0, statement, 0) >= 0;
}

// Why a patch could not run, or "" when it is ready.
std::string Prepare(int launchedWithCommandLine, const ConnectionParams& params,
                    const ScriptFilePair& pair, ScriptPaths& paths) {
    char directory[kPathSize];
    GetProgramDirectory(directory);
    // The library takes a writable record; the caller's stays as it was.
    ConnectionParams connection = params;
    if (ConnectDB(&connection) == 0) {
        char reason[kErrorTextSize + 1] = {};
        CopyBounded(reason, sizeof reason, connection.errorText, sizeof connection.errorText);
        LogLine("Connection failed: %s", reason);
        return "the server cannot be reached";
    }
    LogLine("Connected to the server");
    if (params.dbType == MsSql && !SelectDatabase(launchedWithCommandLine, params)) {
        LogLine("The database could not be selected");
        return "the database could not be selected";
    }
    FormScriptPaths(paths, directory, pair);
    // Random bytes decrypt too: a damaged copy is never run against the data.
    if (DecryptIfPresent(paths) == Decryption::Damaged) {
        LogLine("Patch script %s is damaged: what it decrypts to is not a script; nothing ran",
                pair.encrypted);
        return std::string(pair.encrypted) + " is damaged";
    }
    return std::string();
}

// The name the patch works on, for the log: the effective one on MS SQL.
void PatchedName(int launchedWithCommandLine, const ConnectionParams& params,
                 char (&name)[kTextFieldSize + 1]) {
    const char* database = params.dbType == MsSql
                               ? EffectiveDatabaseName(launchedWithCommandLine, params)
                               : params.databaseName;
    CopyBounded(name, sizeof name, database, kTextFieldSize);
}

} // namespace

int RunPatch(int launchedWithCommandLine, const ConnectionParams& params,
             IProgressBar* progressBar) {
    const ScriptFilePair* pair = PatchScript(params.dbType);
    ScriptPaths paths;
    if (pair == nullptr) {
        // An unknown engine: connected, and nothing to run.
        ConnectionParams connection = params;
        return ConnectDB(&connection) != 0 ? 1 : 0;
    }
    if (!Prepare(launchedWithCommandLine, params, *pair, paths).empty()) {
        return 0;
    }
    int batchCount = CountBatches(paths.plain);
    int ran = RunScript(paths.plain, progressBar, batchCount);
    PlatformDeleteFile(paths.plain);
    return ran != 0 ? 1 : 0;
}

int PatchDatabase(int launchedWithCommandLine, const ConnectionParams& params,
                  IProgressBar* progressBar) {
    char name[kTextFieldSize + 1] = {};
    PatchedName(launchedWithCommandLine, params, name);
    LogConnection("Patch", params, params.dbType, name);
    const int patched = RunPatch(launchedWithCommandLine, params, progressBar);
    const std::string what = DatabaseOn(params, params.dbType, name);
    if (patched != 0) {
        ReportOutcome(RunEvent::PatchSucceeded, ("Patched " + what).c_str());
    } else {
        ReportOutcome(RunEvent::PatchFailed, ("Patching " + what + " failed").c_str());
    }
    return patched;
}

bool CheckPatch(int launchedWithCommandLine, const ConnectionParams& params) {
    char name[kTextFieldSize + 1] = {};
    PatchedName(launchedWithCommandLine, params, name);
    LogConnection("Patch check", params, params.dbType, name);
    const ScriptFilePair* pair = PatchScript(params.dbType);
    std::string reason = pair == nullptr ? "the engine is unknown" : std::string();
    if (pair != nullptr) {
        // Held only for the check: released (and so deleted) before the report.
        ScriptPaths paths;
        reason = Prepare(launchedWithCommandLine, params, *pair, paths);
    }
    const std::string what = "Check: the patch of " + DatabaseOn(params, params.dbType, name);
    LogAndDebug((what + (reason.empty() ? " would run" : " would fail: " + reason) +
                 "; nothing was changed")
                    .c_str());
    return reason.empty();
}

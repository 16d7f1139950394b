// Bringing an existing database up to date from the saved settings. No box:
// the caller decides what a failure means; the run log and the event log say
// what happened.
#include <cstdio>
#include <string>

#include "common/BoundedCopy.h"
#include "db/DatabaseName.h"
#include "db/DbLibrary.h"
#include "record/RunReport.h"
#include "db/ScriptPaths.h"
#include "db/ScriptRunner.h"
#include "db/Workflows.h"
#include "record/EventLog.h"
#include "record/RunLog.h"

namespace {

const ScriptFilePair* PatchScript(int dbType) {
    switch (dbType) {
    case MySql: return &kMySqlPatch;
    case MsSql: return &kMsSqlPatch;
    case Oracle: return &kOraclePatch;
    default: return nullptr;
    }
}

// On MS SQL the saved connection names no database of its own to work in.
bool SelectDatabase(int launchedWithCommandLine, const ConnectionParams& params) {
    char statement[256] = {};
    snprintf(statement, sizeof statement, "use %.*s", static_cast<int>(kTextFieldSize),
             EffectiveDatabaseName(launchedWithCommandLine, params));
    return QueryExecuteDB(0, statement, 0) >= 0;
}

int Patch(int launchedWithCommandLine, const ConnectionParams& params, IProgressBar* progressBar) {
    char directory[kPathSize];
    GetProgramDirectory(directory);

    // The library takes a writable record; the caller's stays as it was.
    ConnectionParams connection = params;
    if (ConnectDB(&connection) == 0) {
        char reason[kErrorTextSize + 1] = {};
        CopyBounded(reason, sizeof reason, connection.errorText, sizeof connection.errorText);
        LogLine("Connection failed: %s", reason);
        return 0;
    }
    LogLine("Connected to the server");
    const ScriptFilePair* pair = PatchScript(params.dbType);
    if (pair == nullptr) {
        return 1;
    }
    if (params.dbType == MsSql && !SelectDatabase(launchedWithCommandLine, params)) {
        LogLine("The database could not be selected");
        return 0;
    }
    ScriptPaths paths;
    FormScriptPaths(paths, directory, *pair);
    // Random bytes decrypt too: a damaged copy is never run against the data.
    if (DecryptIfPresent(paths) == Decryption::Damaged) {
        LogLine("Patch script %s is damaged: what it decrypts to is not a script; nothing ran",
                pair->encrypted);
        return 0;
    }
    int batchCount = CountBatches(paths.plain);
    int ran = RunScript(paths.plain, progressBar, batchCount);
    PlatformDeleteFile(paths.plain);
    return ran != 0 ? 1 : 0;
}

} // namespace

int PatchDatabase(int launchedWithCommandLine, const ConnectionParams& params,
                  IProgressBar* progressBar) {
    const char* database = params.dbType == MsSql
                               ? EffectiveDatabaseName(launchedWithCommandLine, params)
                               : params.databaseName;
    char name[kTextFieldSize + 1] = {};
    CopyBounded(name, sizeof name, database, kTextFieldSize);
    LogConnection("Patch", params, params.dbType, name);
    const int patched = Patch(launchedWithCommandLine, params, progressBar);
    const std::string what = DatabaseOn(params, params.dbType, name);
    if (patched != 0) {
        ReportOutcome(RunEvent::PatchSucceeded, ("Patched " + what).c_str());
    } else {
        ReportOutcome(RunEvent::PatchFailed, ("Patching " + what + " failed").c_str());
    }
    return patched;
}

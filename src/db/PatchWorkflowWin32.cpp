// Bringing an existing database up to date from the saved settings. Silent:
// the caller decides what a failure means.
#include <cstdio>

#include "db/DatabaseName.h"
#include "db/DbLibrary.h"
#include "db/ScriptPaths.h"
#include "db/ScriptRunner.h"
#include "db/Workflows.h"

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

} // namespace

int PatchDatabase(int launchedWithCommandLine, const ConnectionParams& params,
                  IProgressBar* progressBar) {
    char directory[kPathSize];
    GetProgramDirectory(directory);

    // The library takes a writable record; the caller's stays as it was.
    ConnectionParams connection = params;
    if (ConnectDB(&connection) == 0) {
        return 0;
    }
    const ScriptFilePair* pair = PatchScript(params.dbType);
    if (pair == nullptr) {
        return 1;
    }
    if (params.dbType == MsSql && !SelectDatabase(launchedWithCommandLine, params)) {
        return 0;
    }
    ScriptPaths paths;
    FormScriptPaths(paths, directory, *pair);
    DecryptIfPresent(paths);
    int batchCount = CountBatches(paths.plain);
    int ran = RunScript(paths.plain, progressBar, batchCount);
    PlatformDeleteFile(paths.plain);
    return ran != 0 ? 1 : 0;
}

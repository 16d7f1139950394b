// Provisioning a new database: connect, create, run the schema and the
// initial data, save the settings. The settings are saved only at the very
// end, so a failed create leaves the registry as it was.
#include <cstring>

#include "common/BoundedCopy.h"
#include "config/ServerConfig.h"
#include "db/CreationStatements.h"
#include "db/DatabaseName.h"
#include "db/DbLibrary.h"
#include "db/MessageBox.h"
#include "db/ScriptPaths.h"
#include "db/ScriptRunner.h"
#include "db/Workflows.h"

namespace {

const ScriptFilePair* SchemaScript(int dbType) {
    switch (dbType) {
    case MySql:
        return &kMySqlSchema;
    case MsSql:
        return &kMsSqlSchema;
    case Oracle:
        return &kOracleSchema;
    default:
        return nullptr;
    }
}

// Connects to the server alone: the database name is blanked for the call and
// put back afterwards.
bool ConnectToServer(ConnectionParams& params) {
    char savedName[kPathSize] = {};
    CopyBounded(savedName, sizeof savedName, params.databaseName, sizeof params.databaseName);
    memset(params.databaseName, 0, sizeof params.databaseName);
    const int connected = ConnectDB(&params);
    // Put back on both paths: the caller's record keeps the name it gave.
    CopyField(params.databaseName, savedName);
    if (connected == 0) {
        Messages().ShowError(kStrServerUnreachable);
        // The library's reason, for an administrator with a debug viewer.
        char reason[kErrorTextSize + 1] = {};
        CopyBounded(reason, sizeof reason, params.errorText, sizeof params.errorText);
        PlatformDebugOutput(reason);
        return false;
    }
    return true;
}

bool RunSchemaScript(const char* directory, int dbType, IProgressBar* progressBar) {
    const ScriptFilePair* pair = SchemaScript(dbType);
    if (pair == nullptr) {
        return true;
    }
    ScriptPaths paths;
    FormScriptPaths(paths, directory, *pair);
    DecryptIfPresent(paths);
    int batchCount = CountBatches(paths.plain);
    int ran = RunScript(paths.plain, progressBar, batchCount);
    if (ran == 0 && dbType == MsSql) {
        Messages().ShowError(kStrServerUnreachable);
    }
    PlatformDeleteFile(paths.plain);
    return ran != 0;
}

// The initial data runs without progress. A file that could not be opened is
// left as it lies; one whose run stopped on a lost connection holds decrypted
// data and goes.
bool RunInitialData(const char* directory) {
    ScriptPaths paths;
    FormScriptPaths(paths, directory, kInitialData);
    DecryptIfPresent(paths);
    if (RunScript(paths.plain, nullptr, 0) == 0) {
        if (DbConnectionLost()) {
            PlatformDeleteFile(paths.plain);
        }
        return false;
    }
    PlatformDeleteFile(paths.plain);
    return true;
}

void SaveSettings(const ConnectionParams& params, const char* effectiveName, int dbType) {
    SavedConnection saved;
    memset(&saved, 0, sizeof saved);
    CopyBounded(saved.userId, sizeof saved.userId, params.userId, sizeof params.userId);
    CopyBounded(saved.password, sizeof saved.password, params.password, sizeof params.password);
    CopyBounded(saved.server, sizeof saved.server, params.server, sizeof params.server);
    CopyField(saved.databaseName, effectiveName);
    saved.port = params.port;
    saved.valid = 1;
    saved.windowsAuth = params.windowsAuth;
    SaveServerConfig(saved, dbType);
}

} // namespace

int CreateDatabase(int launchedWithCommandLine, ConnectionParams& params, IProgressBar* progressBar,
                   int dbType) {
    char directory[kPathSize];
    GetProgramDirectory(directory);

    if (!ConnectToServer(params)) {
        return 0;
    }
    char effectiveName[kTextFieldSize] = {};
    CopyField(effectiveName, EffectiveDatabaseName(launchedWithCommandLine, params));
    if (CreateDatabaseObjects(effectiveName, launchedWithCommandLine, dbType) == 0) {
        Messages().ShowError(kStrCreateFailed);
        return 0;
    }
    if (!RunSchemaScript(directory, dbType, progressBar)) {
        return 0;
    }
    if (!RunInitialData(directory)) {
        return 0;
    }
    SaveSettings(params, effectiveName, dbType);
    return 1;
}

// Provisioning a new database: connect, create, run the schema and the
// initial data, save the settings. The settings are saved only at the very
// end, so a failed create leaves the registry as it was.
#include <cstdio>
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

void ReportKept(const char* name, const char* server) {
    char reason[160];
    snprintf(reason, sizeof reason,
             "Database %s already exists on %s (or could not be checked): nothing changed; "
             "/replace re-creates it",
             name, server);
    PlatformDebugOutput(reason);
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

// What happens to a database of that name already on the server.
enum class Decision { Create, Keep, Stop };

// The existence check and, when the database is there, the administrator's
// answer (or the unattended policy): it is replaced only with a yes or with
// /replace. A connection lost during the check stops the create at once.
Decision DecideOnExisting(const char* name, const ConnectionParams& params, int dbType,
                          ExistingDatabase existing) {
    switch (ProbeDatabase(name, dbType)) {
    case DatabaseProbe::Absent:
        return Decision::Create;
    case DatabaseProbe::ConnectionLost:
        PlatformDebugOutput("Create stopped: the connection was lost during the existence check");
        Messages().ShowError(kStrCreateFailed);
        return Decision::Stop;
    case DatabaseProbe::Exists:
        break;
    }
    char server[kTextFieldSize + 1] = {};
    CopyBounded(server, sizeof server, params.server, sizeof params.server);
    const BoxInserts inserts = {name, server};
    switch (existing) {
    case ExistingDatabase::Replace:
        return Decision::Create;
    case ExistingDatabase::Ask:
        return Messages().AskYesNo(kStrReplaceQuestion, inserts) ? Decision::Create
                                                                 : Decision::Keep;
    case ExistingDatabase::Keep:
        break;
    }
    ReportKept(name, server);
    Messages().ShowError(kStrDatabaseKept, inserts);
    return Decision::Keep;
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

CreateResult CreateDatabase(int launchedWithCommandLine, ConnectionParams& params,
                            IProgressBar* progressBar, int dbType, ExistingDatabase existing) {
    char directory[kPathSize];
    GetProgramDirectory(directory);

    if (!ConnectToServer(params)) {
        return CreateResult::Failed;
    }
    char effectiveName[kTextFieldSize] = {};
    CopyField(effectiveName, EffectiveDatabaseName(launchedWithCommandLine, params));
    switch (DecideOnExisting(effectiveName, params, dbType, existing)) {
    case Decision::Create:
        break;
    case Decision::Keep:
        return CreateResult::KeptExisting;
    case Decision::Stop:
        return CreateResult::Failed;
    }
    if (CreateDatabaseObjects(effectiveName, launchedWithCommandLine, dbType) == 0) {
        if (DbConnectionLost()) {
            PlatformDebugOutput("Create stopped: the connection was lost during the creation "
                                "statements");
        }
        Messages().ShowError(kStrCreateFailed);
        return CreateResult::Failed;
    }
    if (!RunSchemaScript(directory, dbType, progressBar) || !RunInitialData(directory)) {
        return CreateResult::Failed;
    }
    SaveSettings(params, effectiveName, dbType);
    return CreateResult::Created;
}

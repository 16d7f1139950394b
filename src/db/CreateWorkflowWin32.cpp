// Provisioning a new database: connect, create, run the schema and the
// initial data, save the settings. The settings are saved only at the very
// end, so a failed create leaves the registry as it was.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/BoundedCopy.h"
#include "config/ServerConfig.h"
#include "db/CreationStatements.h"
#include "db/DatabaseName.h"
#include "db/DbLibrary.h"
#include "db/MessageBox.h"
#include "db/RunReport.h"
#include "db/ScriptPaths.h"
#include "db/ScriptRunner.h"
#include "db/Workflows.h"
#include "framework/EventLog.h"
#include "framework/RunLog.h"

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
        // The library's reason: in the log before the box, on the debugger
        // output (for an administrator with a debug viewer) once it is closed.
        char reason[kErrorTextSize + 1] = {};
        CopyBounded(reason, sizeof reason, params.errorText, sizeof params.errorText);
        LogLine("Connection failed: %s", reason);
        Messages().ShowError(kStrServerUnreachable);
        PlatformDebugOutput(reason);
        return false;
    }
    LogLine("Connected to the server");
    return true;
}

void ReportKept(const char* name, const char* server) {
    char reason[160];
    snprintf(reason, sizeof reason,
             "Database %s already exists on %s (or could not be checked): nothing changed; "
             "/replace re-creates it",
             name, server);
    LogAndDebug(reason);
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
        LogLine("Existence check: no database %s yet", name);
        return Decision::Create;
    case DatabaseProbe::ConnectionLost:
        LogAndDebug("Create stopped: the connection was lost during the existence check");
        Messages().ShowError(kStrCreateFailed);
        return Decision::Stop;
    case DatabaseProbe::Exists:
        LogLine("Existence check: database %s is there (or the check failed)", name);
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

// Which key, which view, which value and why, for the log and the debugger.
void ReportNotSaved(const SaveFailure& failure) {
    char why[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(failure.error), 0, why, sizeof why - 1, nullptr);
    why[strcspn(why, "\r\n")] = '\0';
    char reason[512];
    snprintf(reason, sizeof reason,
             "Settings not saved: HKEY_LOCAL_MACHINE\\%s (32-bit registry view), %s%s%s: %s "
             "(error %ld)",
             kServerKey, failure.value != nullptr ? "value \"" : "the key itself",
             failure.value != nullptr ? failure.value : "", failure.value != nullptr ? "\"" : "",
             why, failure.error);
    LogAndDebug(reason);
}

// The database is there whatever happens here; settings that cannot be saved
// are still a failure, since the Quenlor server would not find it.
bool SaveSettings(const ConnectionParams& params, const char* effectiveName, int dbType) {
    SavedConnection saved;
    memset(&saved, 0, sizeof saved);
    CopyBounded(saved.userId, sizeof saved.userId, params.userId, sizeof params.userId);
    CopyBounded(saved.password, sizeof saved.password, params.password, sizeof params.password);
    CopyBounded(saved.server, sizeof saved.server, params.server, sizeof params.server);
    CopyField(saved.databaseName, effectiveName);
    saved.port = params.port;
    saved.valid = 1;
    saved.windowsAuth = params.windowsAuth;
    SaveFailure failure;
    if (!SaveServerConfig(saved, dbType, &failure)) {
        ReportNotSaved(failure);
        Messages().ShowError(kStrSettingsNotSaved);
        return false;
    }
    LogLine("Settings saved in HKEY_LOCAL_MACHINE\\%s (32-bit registry view)", kServerKey);
    return true;
}

void ReportCreateOutcome(CreateResult result, const std::string& database) {
    switch (result) {
    case CreateResult::Created:
        ReportOutcome(RunEvent::CreateSucceeded, ("Created " + database).c_str());
        break;
    case CreateResult::SettingsNotSaved:
        ReportOutcome(RunEvent::CreateFailed,
                      ("Created " + database + ", but its settings could not be saved").c_str());
        break;
    case CreateResult::KeptExisting:
        ReportOutcome(RunEvent::DatabaseKept,
                      ("Kept " + database + ", which already exists: nothing changed").c_str());
        break;
    case CreateResult::Failed:
        ReportOutcome(RunEvent::CreateFailed, ("Creating " + database + " failed").c_str());
        break;
    }
}

CreateResult Provision(int launchedWithCommandLine, ConnectionParams& params,
                       IProgressBar* progressBar, int dbType, ExistingDatabase existing,
                       const char* effectiveName) {
    char directory[kPathSize];
    GetProgramDirectory(directory);

    if (!ConnectToServer(params)) {
        return CreateResult::Failed;
    }
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
            LogAndDebug("Create stopped: the connection was lost during the creation statements");
        }
        Messages().ShowError(kStrCreateFailed);
        return CreateResult::Failed;
    }
    if (!RunSchemaScript(directory, dbType, progressBar) || !RunInitialData(directory)) {
        return CreateResult::Failed;
    }
    return SaveSettings(params, effectiveName, dbType) ? CreateResult::Created
                                                       : CreateResult::SettingsNotSaved;
}

} // namespace

CreateResult CreateDatabase(int launchedWithCommandLine, ConnectionParams& params,
                            IProgressBar* progressBar, int dbType, ExistingDatabase existing) {
    char effectiveName[kTextFieldSize] = {};
    CopyField(effectiveName, EffectiveDatabaseName(launchedWithCommandLine, params));
    LogConnection("Create", params, dbType, effectiveName);
    const CreateResult result =
        Provision(launchedWithCommandLine, params, progressBar, dbType, existing, effectiveName);
    ReportCreateOutcome(result, DatabaseOn(params, dbType, effectiveName));
    return result;
}

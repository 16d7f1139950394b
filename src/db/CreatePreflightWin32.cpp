// What a create makes sure of before it sends its first statement: a name the
// statements can carry, both scripts decrypted, and the Quenlor key
// writable. Until all of these hold nothing is sent, deleted or saved, so an
// administrator's Yes to replacing a database never ends in an empty one.
#include "config/ServerConfig.h"
#include "db/CreateSteps.h"
#include "db/DatabaseName.h"
#include "db/MessageBox.h"
#include "record/RunLog.h"

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

const char* DecryptionProblem(Decryption result) {
    switch (result) {
    case Decryption::Missing:
        return "is missing from the program directory";
    case Decryption::Unreadable:
        return "cannot be read";
    case Decryption::Failed:
        return "could not be decrypted (damaged, or its plain file could not be written)";
    case Decryption::Damaged:
        return "is damaged: what it decrypts to is not a script (no batch, or control "
               "characters before its last separator)";
    case Decryption::Done:
        break;
    }
    return "is ready";
}

void Refuse(CreateRun& run, const std::string& reason, unsigned stringId, const char* insert) {
    run.reason = reason;
    LogAndDebug(("Preflight: " + reason + "; nothing was sent, deleted or saved").c_str());
    Messages().ShowError(stringId, insert != nullptr ? BoxInserts{insert, ""} : BoxInserts());
}

bool Prepare(CreateRun& run, const char* directory, const ScriptFilePair& pair,
             ScriptPaths& paths) {
    FormScriptPaths(paths, directory, pair);
    const Decryption result = DecryptIfPresent(paths);
    if (result == Decryption::Done) {
        return true;
    }
    Refuse(run, std::string(pair.encrypted) + " " + DecryptionProblem(result),
           result == Decryption::Damaged ? kStrScriptDamaged : kStrScriptNotReady, pair.encrypted);
    return false;
}

bool KeyWritable(CreateRun& run) {
    SaveFailure failure;
    if (CanSaveServerConfig(&failure)) {
        return true;
    }
    Refuse(run,
           std::string("HKEY_LOCAL_MACHINE\\") + kServerKey +
               " (32-bit registry view) cannot be written: " + SystemReason(failure.error),
           kStrKeyNotWritable, nullptr);
    return false;
}

} // namespace

bool Preflight(CreateRun& run, const char* directory, PreparedScripts& scripts) {
    if (!IsAcceptedDatabaseName(run.name)) {
        Refuse(run, std::string("the database name \"") + run.name + "\" is not accepted",
               kStrNameRefused, run.name);
        return false;
    }
    const ScriptFilePair* schema = SchemaScript(run.dbType);
    scripts.hasSchema = schema != nullptr;
    if (scripts.hasSchema && !Prepare(run, directory, *schema, scripts.schema)) {
        return false;
    }
    if (!Prepare(run, directory, kInitialData, scripts.initialData) || !KeyWritable(run)) {
        return false;
    }
    LogLine("Preflight: the name, %s and the Quenlor key are ready",
            scripts.hasSchema ? "both scripts" : "InitEn.dat");
    return true;
}

// A database of the effective name already on the server is never dropped
// unasked: it is replaced only after a Yes or with /replace, and on Oracle,
// where the create drops nothing, a schema that holds tables is never
// "replaced" at all.
#include <cstdio>

#include "common/BoundedCopy.h"
#include "db/CreateSteps.h"
#include "db/CreationStatements.h"
#include "db/MessageBox.h"
#include "record/RunLog.h"

namespace {

Decision KeepOracleSchema(CreateRun& run, const std::string& server, bool dryRun) {
    run.reason = "the user's schema already holds tables; the program does not empty a schema, "
                 "so nothing was run or saved";
    if (!dryRun) {
        const std::string user = FieldText(run.params->userId);
        LogAndDebug(
            ("Kept: the schema of " + user + " on " + server + " already holds tables").c_str());
        Messages().ShowError(kStrSchemaHoldsTables, BoxInserts{user.c_str(), server.c_str()});
    }
    return Decision::Keep;
}

void ReportKept(CreateRun& run, const std::string& server) {
    run.reason = "it already exists: nothing changed";
    char reason[160];
    snprintf(reason, sizeof reason,
             "Database %s already exists on %s (or could not be checked): nothing changed; "
             "/replace re-creates it",
             run.name, server.c_str());
    LogAndDebug(reason);
    Messages().ShowError(kStrDatabaseKept, BoxInserts{run.name, server.c_str()});
}

} // namespace

Decision DecideOnExisting(CreateRun& run, bool dryRun) {
    switch (ProbeDatabase(run.name, run.dbType)) {
    case DatabaseProbe::Absent:
        LogLine("Existence check: no database %s yet", run.name);
        return Decision::Create;
    case DatabaseProbe::ConnectionLost:
        run.reason = "the connection was lost during the existence check";
        LogAndDebug("Create stopped: the connection was lost during the existence check");
        Messages().ShowError(kStrCreateFailed);
        return Decision::Stop;
    case DatabaseProbe::Exists:
        LogLine("Existence check: database %s is there (or the check failed)", run.name);
        break;
    }
    const std::string server = FieldText(run.params->server);
    if (run.dbType == Oracle) {
        return KeepOracleSchema(run, server, dryRun);
    }
    switch (run.existing) {
    case ExistingDatabase::Replace:
        return Decision::Replace;
    case ExistingDatabase::Ask:
        if (Messages().AskYesNo(kStrReplaceQuestion, BoxInserts{run.name, server.c_str()})) {
            return Decision::Replace;
        }
        run.reason = "it already exists and the administrator said No: nothing changed";
        return Decision::Keep;
    case ExistingDatabase::Keep:
        break;
    }
    if (dryRun) {
        return Decision::Keep;
    }
    ReportKept(run, server);
    return Decision::Keep;
}

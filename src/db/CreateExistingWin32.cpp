// A database of the effective name already on the server is never dropped
// unasked: it is replaced only after a Yes or with /replace, and on Oracle,
// where the create drops nothing, a schema that holds tables is never
// "replaced" at all. The one exception is the program's own unfinished
// database, which the record of the create that began it names exactly.
#include <cstdio>

#include "common/BoundedCopy.h"
#include "config/UnfinishedCreate.h"
#include "db/CreateSteps.h"
#include "db/CreationStatements.h"
#include "db/MessageBox.h"
#include "record/RunLog.h"

namespace {

// Whether the record of an earlier create names exactly this database.
bool IsUnfinished(const CreateRun& run) {
    UnfinishedCreate recorded;
    return ReadUnfinishedCreate(recorded) &&
           SameDatabase(recorded, DescribeCreate(run.dbType, *run.params, run.name));
}

Decision KeepOracleSchema(CreateRun& run, const std::string& server, bool dryRun) {
    const std::string user = FieldText(run.params->userId);
    if (run.existing == ExistingDatabase::KeepAndPatch ||
        (!dryRun && run.existing == ExistingDatabase::Ask &&
         Messages().AskYesNo(kStrKeepOracleSchema, BoxInserts{user.c_str(), server.c_str()}))) {
        return Decision::KeepAndPatch;
    }
    run.reason = "the user's schema already holds tables; the program does not empty a schema, "
                 "so nothing was run or saved";
    if (!dryRun) {
        // Its own unfinished schema too: nothing is dropped on Oracle.
        LogAndDebug(("Kept: the schema of " + user + " on " + server + " already holds tables" +
                     (IsUnfinished(run) ? " (an earlier run of this create began it and did "
                                          "not finish: empty the schema by hand, then run again)"
                                        : ""))
                        .c_str());
        if (run.existing != ExistingDatabase::Ask) {
            Messages().ShowError(kStrSchemaHoldsTables, BoxInserts{user.c_str(), server.c_str()});
        }
    }
    return Decision::Keep;
}

void ReportKept(CreateRun& run, const std::string& server) {
    run.reason = "it already exists: nothing changed";
    char reason[192];
    snprintf(reason, sizeof reason,
             "Database %s already exists on %s (or could not be checked): nothing changed; "
             "/replace re-creates it, /keep keeps it",
             run.name, server.c_str());
    LogAndDebug(reason);
    Messages().ShowError(kStrDatabaseKept, BoxInserts{run.name, server.c_str()});
}

// The main dialog: replace, else keep with its settings, else nothing.
Decision Ask(CreateRun& run, const std::string& server) {
    const BoxInserts inserts = {run.name, server.c_str()};
    if (run.unfinished) {
        if (Messages().AskYesNo(kStrReplaceUnfinished, inserts)) {
            return Decision::Replace;
        }
    } else if (Messages().AskYesNo(kStrReplaceQuestion, inserts)) {
        return Decision::Replace;
    } else if (Messages().AskYesNo(kStrKeepQuestion, inserts)) {
        return Decision::KeepAndPatch;
    }
    run.reason = "it already exists and the administrator said No: nothing changed";
    return Decision::Keep;
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
    run.unfinished = IsUnfinished(run);
    if (run.unfinished) {
        LogAndDebug(("Database " + std::string(run.name) + " on " + server +
                     " is the unfinished database of an earlier run of this create, which "
                     "ended before it was complete")
                        .c_str());
    }
    switch (run.existing) {
    case ExistingDatabase::Replace:
        return Decision::Replace;
    case ExistingDatabase::Ask:
        return dryRun ? Decision::Keep : Ask(run, server);
    case ExistingDatabase::KeepAndPatch:
        // A half-made database is no database to keep: it is made again.
        return run.unfinished ? Decision::Replace : Decision::KeepAndPatch;
    case ExistingDatabase::Keep:
        break;
    }
    if (run.unfinished) {
        return Decision::Replace;
    }
    if (!dryRun) {
        ReportKept(run, server);
    }
    return Decision::Keep;
}

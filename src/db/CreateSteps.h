// The steps of a create, shared by the create itself and its dry run.
#pragma once

#include <string>

#include "common/KelvaneInterface.h"
#include "db/CreationStatements.h"
#include "db/ScriptPaths.h"
#include "db/Workflows.h"

// A create or a check in progress: what it works on and what it found.
struct CreateRun {
    int launchedWithCommandLine = 0;
    ConnectionParams* params = nullptr;
    int dbType = 0;
    ExistingDatabase existing = ExistingDatabase::Keep;
    char name[kTextFieldSize] = {};
    // The administrator chose to replace a database that is there.
    bool replacing = false;
    // The database there is the one an earlier create of the program began
    // and never finished (its record names exactly it): it is made again.
    bool unfinished = false;
    // The database there is kept: its settings saved, its patch run.
    bool keeping = false;
    // What the creation statements did besides creating: files moved aside.
    CreationOutcome creation;
    // Why the run stopped or kept the database, for the outcome line.
    std::string reason;
};

// Fills run for a create or a check and logs its connection line.
void StartRun(CreateRun& run, int launchedWithCommandLine, ConnectionParams& params, int dbType,
              ExistingDatabase existing, const char* action);

// The engine's schema script and the initial data, decrypted and held.
struct PreparedScripts {
    bool hasSchema = false;
    ScriptPaths schema;
    ScriptPaths initialData;
};

// Everything that must hold before the first statement, checked in this
// order: the name, the schema script, the initial data, the Quenlor key.
// The first that does not hold is named in a box and in run.reason.
bool Preflight(CreateRun& run, const char* directory, PreparedScripts& scripts);

// Connects to the server alone (the name is blanked for the call).
bool ConnectToServer(ConnectionParams& params);

// What happens to a database of that name already on the server: created
// (none there), replaced, kept as it is, kept with its settings saved and
// patched, or the run stops.
enum class Decision { Create, Replace, Keep, KeepAndPatch, Stop };

// The existence check and, when the database is there, the policy: asked,
// kept or replaced; the program's own unfinished database (the record of an
// earlier create names exactly it) is made again. On Oracle a schema that
// holds tables is never replaced. In a dry run nothing is asked or shown:
// the check reports itself.
Decision DecideOnExisting(CreateRun& run, bool dryRun);

// Records, before the first change, which database the run makes; false
// (reported, nothing sent) when the record cannot be written.
bool RecordRun(CreateRun& run);
// Once the settings are saved and on the disk: the run is no longer
// unfinished.
void ClearRunRecord();

// Saves the settings at the very end; false (reported) when they cannot be.
bool SaveSettings(const CreateRun& run);

// The system's text for a Windows error code, and the code: "<text> (error N)".
std::string SystemReason(long error);

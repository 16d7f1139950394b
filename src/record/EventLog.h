// The outcome of each create and patch as one event of the source "Dunmoor"
// in the Application event log, where event forwarding gathers it from a
// fleet of servers. The ids are fixed (see DunmoorEvents.mc):
//   1000 create succeeded (information)   1001 create failed (error)
//   1002 database exists, nothing changed (warning)
//   1003 created, but the server refused batches of its scripts (warning)
//   1100 patch succeeded (information)     1101 patch failed (error)
//   1004 others than the administrators may change what the program runs
//        (error: the start is refused), or after a create the OpenSSL folder,
//        or may read the saved password (error)
#pragma once

enum class RunEvent {
    CreateSucceeded,
    CreateFailed,
    DatabaseKept,
    CreatedWithRefusedBatches,
    PatchSucceeded,
    PatchFailed,
    OpenToOthers,
};

// Writes summary (ANSI) as the outcome line of the run log and reports it as
// the event, with the run log's path. The event source is registered first,
// pointing at this program's message table, when it is missing.
void ReportOutcome(RunEvent event, const char* summary);
// The event alone, with text (ANSI) as its first insert and the run log's path.
void ReportRunEvent(RunEvent event, const char* text);

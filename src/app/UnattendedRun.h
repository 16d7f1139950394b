// An unattended run: what its command line asks for, checked before anything
// is loaded or connected, then the progress dialog's workflow.
#pragma once

#include "app/CommandLine.h"
#include "common/KelvaneInterface.h"

class CWinApp;

// What the run log's header says the unattended run is.
const char* UnattendedModeName(const UnattendedRequest& request);

// Names the words the program does not know, takes the password from
// DUNMOOR_PASSWORD where the line gives none, and fills params' database
// name. A request that cannot be carried out as asked (the parser's
// refusal, a password from the environment too long for its field, a name
// the statements cannot carry) is refused: its reason in the run log, on the
// debugger output and in a box unless /q; the exit status then is 1639
// (returned), else -1.
int CheckUnattendedRequest(const char* arguments, ConnectionParams& params,
                           const UnattendedRequest& request);

// Runs the request's workflow; returns the exit status.
int RunUnattendedRequest(CWinApp& app, const ConnectionParams& params,
                         const UnattendedRequest& request);

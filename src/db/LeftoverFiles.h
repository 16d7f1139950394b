// The data files an earlier database of the same name left in Microsoft SQL
// Server's default data directory. CREATE DATABASE fails on them; they are
// moved aside in their folder, never deleted, since they may be the files of
// a database that was detached to be moved and is wanted still.
#pragma once

#include "db/CreationStatements.h"

// Moves name.mdf and name_log.ldf of the default data directory to
// "<file>.kept-YYYYMMDD-HHMMSS" beside them, and records where in outcome.
// A file that is missing is passed over; one that cannot be moved stays as it
// is (the run log says so). A name that could lead out of the data directory
// moves nothing.
void MoveLeftoverFilesAside(const char* name, CreationOutcome& outcome);

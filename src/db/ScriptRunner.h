// Runs plain script files batch by batch through QueryExecuteDB.
#pragma once

#include "db/ProgressBar.h"

// Number of separator lines in the file ("r" mode), or 0 when it cannot be
// opened.
int CountBatches(const char* path);

// Sends every batch of the file ("rb" mode) to QueryExecuteDB and moves the
// progress bar to 100*k/batchCount after the k-th batch. Returns 1 when the
// file was read to its end, whatever the batches gave; 0 when it cannot be
// opened, or when the library reports the connection lost after a failed
// batch (the run stops there).
int RunScript(const char* path, IProgressBar* progressBar, int batchCount);

// The batches a run sent and those the server refused, added up over runs.
struct BatchTally {
    long long sent = 0;
    long long refused = 0;
};

// RunScript, adding this run's batches to tally.
int RunScript(const char* path, IProgressBar* progressBar, int batchCount, BatchTally& tally);

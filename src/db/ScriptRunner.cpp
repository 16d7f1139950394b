// The script runner reads a plain script as a sequence of pieces
// (ScriptPieces.h). A piece that begins with g/G o/O is a separator and sends
// the batch gathered since the previous one; every other piece is appended to
// the batch followed by one space.
//
// The batch lives in a string that starts at the classic 26000 bytes and
// grows when a batch needs more, so no batch is ever cut or overrun.
#include "db/ScriptRunner.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "db/DbLibrary.h"
#include "db/ScriptPieces.h"
#include "platform/Platform.h"
#include "record/RunLog.h"

namespace {

constexpr size_t kBatchBufferSize = 26000;

// Longest part of a failed batch's first line sent to the debugger output.
constexpr int kReportedLineLength = 200;

// Names a batch the server refused on the debugger output, by its number and
// its first line with text, so an administrator can find the statement.
void ReportFailedBatch(long long number, int result, const std::string& batch) {
    size_t first = batch.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        first = batch.size();
    }
    size_t lineEnd = batch.find_first_of("\r\n", first);
    if (lineEnd == std::string::npos) {
        lineEnd = batch.size();
    }
    size_t shown = lineEnd - first;
    if (shown > static_cast<size_t>(kReportedLineLength)) {
        shown = kReportedLineLength;
    }
    char message[kReportedLineLength + 80];
    std::snprintf(message, sizeof message, "Script batch %lld failed (result %d): %.*s", number,
                  result, static_cast<int>(shown), batch.c_str() + first);
    LogAndDebug(message);
}

void ReportLostConnection(long long number) {
    char message[96];
    std::snprintf(message, sizeof message, "Script run stopped: connection lost after batch %lld",
                  number);
    LogAndDebug(message);
}

// The script's own name, without its directory.
const char* FileName(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash != nullptr ? slash + 1 : path;
}

void MoveProgress(IProgressBar* progressBar, long long accumulator, int batchCount) {
    if (batchCount <= 0 || progressBar == nullptr) {
        return;
    }
    const long long position = accumulator / batchCount;
    if (position > 0) {
        progressBar->SetPos(position > INT_MAX ? INT_MAX : static_cast<int>(position));
    }
}

} // namespace

int CountBatches(const char* path) {
    ScriptFile script(path, "r");
    if (script.file == nullptr) {
        return 0;
    }
    PieceReader reader(script.file);
    int count = 0;
    const char* text = nullptr;
    size_t length = 0;
    while (reader.Next(text, length)) {
        if (IsSeparator(text, TextLength(text, length)) && count < INT_MAX) {
            ++count;
        }
    }
    return count;
}

int RunScript(const char* path, IProgressBar* progressBar, int batchCount) {
    BatchTally unused;
    return RunScript(path, progressBar, batchCount, unused);
}

int RunScript(const char* path, IProgressBar* progressBar, int batchCount, BatchTally& tally) {
    ScriptFile script(path, "rb");
    if (script.file == nullptr) {
        LogLine("Script %s could not be opened", FileName(path));
        return 0;
    }
    PieceReader reader(script.file);
    std::string batch;
    batch.reserve(kBatchBufferSize);
    long long executed = 0;
    long long refused = 0;
    const char* text = nullptr;
    size_t length = 0;
    while (reader.Next(text, length)) {
        const size_t textLength = TextLength(text, length);
        if (!IsSeparator(text, textLength)) {
            batch.append(text, textLength);
            batch.push_back(' ');
            continue;
        }
        ++executed;
        ++tally.sent;
        const int result = QueryExecuteDB(0, batch.c_str(), 0);
        if (result < 0) {
            ++refused;
            ++tally.refused;
            ReportFailedBatch(executed, result, batch);
            // The library is asked only here, so a batch that succeeds costs
            // nothing more. The rest of the script must not run on a new
            // connection, nor fail batch by batch as if it had run.
            if (DbConnectionLost()) {
                ReportLostConnection(executed);
                return 0;
            }
        }
        batch.clear();
        MoveProgress(progressBar, executed * 100, batchCount);
    }
    LogLine("Script %s: %lld batches, %lld refused by the server", FileName(path), executed,
            refused);
    return 1;
}

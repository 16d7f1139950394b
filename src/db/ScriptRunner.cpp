// The script runner reads a plain script as a sequence of pieces, each what
// one fgets into a 1040-byte line buffer returns: at most 1039 characters,
// ending early after a line end. A piece that begins with g/G o/O is a
// separator and sends the batch gathered since the previous one; every other
// piece is appended to the batch followed by one space.
//
// The reading goes through a chunk buffer rather than one fgets per line, but
// hands out exactly the pieces fgets would, so the line rule is unchanged.
// The batch lives in a string that starts at the classic 26000 bytes and
// grows when a batch needs more, so no batch is ever cut or overrun.
#include "db/ScriptRunner.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "db/DbLibrary.h"
#include "platform/Platform.h"
#include "record/RunLog.h"

namespace {

constexpr size_t kLineBufferSize = 1040;
constexpr size_t kMaxPiece = kLineBufferSize - 1;
constexpr size_t kBatchBufferSize = 26000;
constexpr size_t kChunkSize = size_t{32} * 1024;

// Longest part of a failed batch's first line sent to the debugger output.
constexpr int kReportedLineLength = 200;

// Hands out the pieces of an open stream. A piece that lies wholly inside the
// chunk is returned in place; one that straddles two chunks is gathered in the
// line buffer.
class PieceReader {
  public:
    explicit PieceReader(FILE* file) : file_(file) {}

    // The next piece, or false at the end of the file or after a read error.
    // As with fgets, a read error drops the piece being read, while the end of
    // the file returns what was read before it.
    bool Next(const char*& text, size_t& length) {
        if (pos_ == end_ && !Refill()) {
            return false;
        }
        const size_t available = end_ - pos_;
        const size_t window = available < kMaxPiece ? available : kMaxPiece;
        const char* start = chunk_ + pos_;
        if (const void* lineEnd = std::memchr(start, '\n', window)) {
            length = static_cast<const char*>(lineEnd) - start + 1;
        } else if (window == kMaxPiece) {
            length = kMaxPiece;
        } else {
            return GatherAcrossChunks(text, length);
        }
        pos_ += length;
        text = start;
        return true;
    }

  private:
    bool Refill() {
        pos_ = 0;
        end_ = std::fread(chunk_, 1, kChunkSize, file_);
        return end_ > 0;
    }

    // The chunk ended before a line end or a full piece: copy what is left
    // into the line buffer and go on reading into the next chunk.
    bool GatherAcrossChunks(const char*& text, size_t& length) {
        size_t filled = 0;
        for (;;) {
            const size_t want = kMaxPiece - filled;
            const size_t available = end_ - pos_;
            const size_t take = available < want ? available : want;
            const char* start = chunk_ + pos_;
            const void* lineEnd = std::memchr(start, '\n', take);
            const size_t count = lineEnd ? static_cast<const char*>(lineEnd) - start + 1 : take;
            std::memcpy(line_ + filled, start, count);
            filled += count;
            pos_ += count;
            if (lineEnd || filled == kMaxPiece) {
                break;
            }
            if (!Refill()) {
                if (std::ferror(file_)) {
                    return false;
                }
                break;
            }
        }
        line_[filled] = '\0';
        text = line_;
        length = filled;
        return true;
    }

    FILE* file_;
    size_t pos_ = 0;
    size_t end_ = 0;
    char chunk_[kChunkSize];
    char line_[kLineBufferSize];
};

// What a piece holds as a C string: fgets leaves embedded NULs in the line
// buffer, and the line is then taken up to its first NUL.
size_t TextLength(const char* text, size_t length) {
    const void* nul = std::memchr(text, '\0', length);
    return nul ? static_cast<const char*>(nul) - text : length;
}

bool IsSeparator(const char* text, size_t length) {
    return length >= 2 && (text[0] == 'g' || text[0] == 'G') && (text[1] == 'o' || text[1] == 'O');
}

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

// One pass over the script: the file is closed whichever way the pass ends.
struct ScriptFile {
    explicit ScriptFile(const char* path, const char* mode)
        : file(PlatformOpenForReading(path, mode)) {}
    ~ScriptFile() {
        if (file != nullptr) {
            (void)std::fclose(file); // read only: nothing to lose
        }
    }
    ScriptFile(const ScriptFile&) = delete;
    ScriptFile& operator=(const ScriptFile&) = delete;
    FILE* file;
};

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

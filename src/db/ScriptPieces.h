// A plain script as the runner reads it: a sequence of pieces, each what one
// fgets into a 1040-byte line buffer returns (at most 1039 characters, ending
// early after a line end). The reading goes through a chunk buffer rather
// than one fgets per line, but hands out exactly the pieces fgets would.
#pragma once

#include <cstdio>
#include <cstring>

#include "platform/Platform.h"

inline constexpr size_t kLineBufferSize = 1040;
inline constexpr size_t kMaxPiece = kLineBufferSize - 1;
inline constexpr size_t kChunkSize = size_t{32} * 1024;

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
inline size_t TextLength(const char* text, size_t length) {
    const void* nul = std::memchr(text, '\0', length);
    return nul ? static_cast<const char*>(nul) - text : length;
}

inline bool IsSeparator(const char* text, size_t length) {
    return length >= 2 && (text[0] == 'g' || text[0] == 'G') && (text[1] == 'o' || text[1] == 'O');
}

// One pass over a script: the file is closed whichever way the pass ends.
struct ScriptFile {
    ScriptFile(const char* path, const char* mode) : file(PlatformOpenForReading(path, mode)) {}
    ~ScriptFile() {
        if (file != nullptr) {
            (void)std::fclose(file); // read only: nothing to lose
        }
    }
    ScriptFile(const ScriptFile&) = delete;
    ScriptFile& operator=(const ScriptFile&) = delete;
    FILE* file;
};

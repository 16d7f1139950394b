// Decryption of an encrypted script file into its plain file, 4096 bytes at a
// time through two fixed buffers.
#include "crypto/ScriptFile.h"

#include <cstdint>
#include <cstring>

#include "crypto/Cipher.h"

namespace {

constexpr size_t kChunkSize = 4096;
static_assert(kChunkSize % kBlockSize == 0, "every block lies inside one chunk");

// Process-wide, as the program has one thread and decrypts one file at a time.
uint8_t g_readBuffer[kChunkSize];
uint8_t g_workBuffer[kChunkSize];

class PlainFileAtPath : public IPlainScriptFile {
  public:
    explicit PlainFileAtPath(const char* path) : path_(path) {}
    FILE* Create() override { return std::fopen(path_, "wb"); }
    // Whatever is left of a plain file is removed; a file that is not there
    // is already what this wants.
    void Discard() override { (void)std::remove(path_); }

  private:
    const char* path_;
};

// Closes both files and removes whatever part of the plain file was written.
int Fail(FILE* input, FILE* stream, IPlainScriptFile& plain) {
    (void)std::fclose(input);  // read only: nothing to lose
    (void)std::fclose(stream); // discarded next, whatever it holds
    plain.Discard();
    return kDecryptFailed;
}

// Decrypts n bytes of the read buffer into the work buffer. A trailing partial
// block is completed with the zeros the read buffer was filled with.
void DecryptChunk(size_t n) {
    uint8_t key[kKeySize];
    DeriveProgramKey(key);
    ComputeKeySchedule(key);
    std::memset(key, 0, sizeof key);
    const size_t rounded = (n + kBlockSize - 1) / kBlockSize * kBlockSize;
    std::memcpy(g_workBuffer, g_readBuffer, rounded);
    DecryptEcb(g_workBuffer, rounded / kBlockSize);
}

} // namespace

int DecryptScriptFile(FILE* input, IPlainScriptFile& plain) {
    FILE* stream = plain.Create();
    if (stream == nullptr) {
        (void)std::fclose(input); // read only: nothing to lose
        return kDecryptFailed;
    }
    for (;;) {
        std::memset(g_readBuffer, 0, kChunkSize);
        const size_t n = std::fread(g_readBuffer, 1, kChunkSize, input);
        // A read error ends the loop like a failed write: the plain file
        // would otherwise be silently cut short.
        if (std::ferror(input)) {
            return Fail(input, stream, plain);
        }
        if (n == 0) {
            break;
        }
        DecryptChunk(n);
        if (std::fwrite(g_workBuffer, 1, n, stream) != n) {
            return Fail(input, stream, plain);
        }
        if (n < kChunkSize) {
            break; // fread only returns less at the end of the file
        }
    }
    (void)std::fclose(input); // read only: nothing to lose
    // Buffered bytes reach the disk only here; a full disk can show up now.
    if (std::fclose(stream) != 0) {
        plain.Discard();
        return kDecryptFailed;
    }
    return 0;
}

int DecryptScriptFile(FILE* input, const char* plainPath) {
    PlainFileAtPath plain(plainPath);
    return DecryptScriptFile(input, plain);
}

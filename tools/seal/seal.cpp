// seal: the packaging tool for the encrypted script files. It encrypts and
// decrypts with the program's own cipher and key, and prints the key so that
// the files can be checked with any other AES-256 ECB implementation.
//
//   seal encrypt IN OUT   IN zero-filled to whole 16-byte blocks, encrypted
//   seal decrypt IN OUT   OUT has the same length as IN
//   seal key              the derived 32-byte key as 64 hex digits
//
// Built with nothing but the crypto sources, so that any host compiler can
// make it during a cross build.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "crypto/Cipher.h"
#include "crypto/ScriptFile.h"

namespace {

constexpr size_t kChunkSize = 4096;
static_assert(kChunkSize % kBlockSize == 0, "chunks hold whole blocks");

// A message on stderr: when even that fails, nothing is left to tell.
void Complain(const char* what, const char* path) {
    (void)std::fprintf(stderr, "seal: %s %s\n", what, path);
}

int Usage() {
    (void)std::fprintf(stderr, "usage: seal encrypt IN OUT\n"
                               "       seal decrypt IN OUT\n"
                               "       seal key\n");
    return 2;
}

int PrintKey() {
    uint8_t key[kKeySize];
    DeriveProgramKey(key);
    for (int i = 0; i < kKeySize; ++i) {
        std::printf("%02x", key[i]);
    }
    std::printf("\n");
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// After a failure, which decided the result: IN (read only) closed, OUT
// closed and removed when it was made.
int GiveUp(const char* what, const char* path, FILE* in, FILE* out, const char* outPath) {
    Complain(what, path);
    (void)std::fclose(in);
    if (out != nullptr) {
        (void)std::fclose(out);
        (void)std::remove(outPath);
    }
    return 1;
}

// Encrypts IN chunk by chunk; only the last chunk can need zero fill.
int Encrypt(const char* inPath, const char* outPath) {
    FILE* in = std::fopen(inPath, "rb");
    if (in == nullptr) {
        Complain("cannot open", inPath);
        return 1;
    }
    FILE* out = std::fopen(outPath, "wb");
    if (out == nullptr) {
        return GiveUp("cannot create", outPath, in, nullptr, outPath);
    }
    static uint8_t buffer[kChunkSize];
    ExpandKey();
    for (;;) {
        std::memset(buffer, 0, sizeof buffer);
        const size_t n = std::fread(buffer, 1, sizeof buffer, in);
        if (std::ferror(in)) {
            return GiveUp("cannot read", inPath, in, out, outPath);
        }
        const size_t rounded = (n + kBlockSize - 1) / kBlockSize * kBlockSize;
        for (size_t offset = 0; offset < rounded; offset += kBlockSize) {
            EncryptBlock(buffer + offset);
        }
        if (std::fwrite(buffer, 1, rounded, out) != rounded) {
            return GiveUp("cannot write", outPath, in, out, outPath);
        }
        if (n < sizeof buffer) {
            break;
        }
    }
    (void)std::fclose(in); // read only: nothing to lose
    if (std::fclose(out) != 0) {
        Complain("cannot write", outPath);
        (void)std::remove(outPath);
        return 1;
    }
    return 0;
}

// The program's own decryption, so what seal reads back is what it will read.
int Decrypt(const char* inPath, const char* outPath) {
    FILE* in = std::fopen(inPath, "rb");
    if (in == nullptr) {
        Complain("cannot open", inPath);
        return 1;
    }
    if (DecryptScriptFile(in, outPath) != 0) {
        (void)std::fprintf(stderr, "seal: cannot decrypt %s into %s\n", inPath, outPath);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    BuildCipherTables();
    if (argc == 2 && std::strcmp(argv[1], "key") == 0) {
        return PrintKey();
    }
    if (argc == 4 && std::strcmp(argv[1], "encrypt") == 0) {
        return Encrypt(argv[2], argv[3]);
    }
    if (argc == 4 && std::strcmp(argv[1], "decrypt") == 0) {
        return Decrypt(argv[2], argv[3]);
    }
    return Usage();
}

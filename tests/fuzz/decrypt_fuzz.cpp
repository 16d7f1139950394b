// DecryptScriptFile on arbitrary encrypted files: the plain file has the
// encrypted file's length, every whole block encrypts back to the input, a
// partial last block is the zero-completed block cut to its length, a
// longer earlier plain file is replaced, and the input is always closed.
// Besides, both decryption paths give the same bytes under a key taken from
// the input.
#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "../ProcessorAes.h"
#include "FuzzCheck.h"
#include "FuzzFiles.h"
#include "crypto/Cipher.h"
#include "crypto/ScriptFile.h"

namespace {

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    FUZZ_CHECK(file != nullptr);
    uint8_t buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    std::fclose(file);
    return bytes;
}

void CheckPlain(const uint8_t* data, size_t size, const std::vector<uint8_t>& plain) {
    FUZZ_CHECK(plain.size() == size);
    const size_t whole = size / kBlockSize * kBlockSize;
    for (size_t offset = 0; offset < whole; offset += kBlockSize) {
        uint8_t block[kBlockSize];
        std::memcpy(block, plain.data() + offset, kBlockSize);
        EncryptBlock(block);
        FUZZ_CHECK(std::memcmp(block, data + offset, kBlockSize) == 0);
    }
    if (whole < size) {
        uint8_t block[kBlockSize] = {};
        std::memcpy(block, data + whole, size - whole);
        DecryptBlock(block);
        FUZZ_CHECK(std::memcmp(block, plain.data() + whole, size - whole) == 0);
    }
}

// The input's first 32 bytes (zero-completed) are the key, its whole blocks
// the ciphertext.
void CheckPathsAgree(const uint8_t* data, size_t size) {
    static const bool kHasAes = ProcessorHasAes();
    if (!kHasAes) {
        return; // said once, at start-up
    }
    const DecryptPath before = CurrentDecryptPath();
    FUZZ_CHECK(UseDecryptPath(DecryptPath::AesNi));
    uint8_t key[kKeySize] = {};
    std::memcpy(key, data, std::min(size, sizeof key));
    ComputeKeySchedule(key);
    const size_t blocks = size / kBlockSize;
    std::vector<uint8_t> aesNi(data, data + blocks * kBlockSize);
    std::vector<uint8_t> tables = aesNi;
    DecryptEcb(aesNi.data(), blocks);
    UseDecryptPath(DecryptPath::Tables);
    DecryptEcb(tables.data(), blocks);
    FUZZ_CHECK(aesNi == tables);
    UseDecryptPath(before);
    ExpandKey();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    BuildCipherTables();
    ExpandKey();
    // The program's own check must agree with the processor, read here.
    FUZZ_CHECK(DecryptPathAvailable(DecryptPath::AesNi) == ProcessorHasAes());
    if (!ProcessorHasAes()) {
        std::fprintf(stderr, "decrypt: no AES instructions (CPUID): the round tables alone\n");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckPathsAgree(data, size);
    static const std::string inputPath = ScratchPath("script.dat");
    static const std::string plainPath = ScratchPath("script.sql");
    FUZZ_CHECK(WriteWholeFile(inputPath, data, size));
    // An earlier plain file, longer than the new one, must not shine through.
    const std::vector<uint8_t> stale(size + kBlockSize + 1, 'S');
    FUZZ_CHECK(WriteWholeFile(plainPath, stale.data(), stale.size()));

    FILE* input = std::fopen(inputPath.c_str(), "rb");
    FUZZ_CHECK(input != nullptr);
    const int fd = fileno(input);
    FUZZ_CHECK(DecryptScriptFile(input, plainPath.c_str()) == 0);
    FUZZ_CHECK(fcntl(fd, F_GETFD) == -1 && errno == EBADF);

    CheckPlain(data, size, ReadWholeFile(plainPath));
    return 0;
}

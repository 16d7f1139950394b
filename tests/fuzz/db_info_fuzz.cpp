// "DB Info" decoding on 0 to 300 arbitrary stored bytes: every text field
// ends inside its 32 bytes, only the connection fields change, and the
// result is the decryption of the first 256 bytes, zero-completed.
#include <cstdint>
#include <cstring>

#include "FuzzCheck.h"
#include "config/SavedConnection.h"
#include "crypto/Cipher.h"

namespace {

constexpr unsigned char kSentinel = 0x5A;
constexpr size_t kMaxStored = 300;

bool FieldMatches(const char* decoded, const char* plain) {
    return std::strncmp(decoded, plain, kTextFieldSize - 1) == 0 &&
           std::strlen(decoded) == strnlen(plain, kTextFieldSize - 1);
}

void CheckAgainstPlain(const uint8_t* data, size_t size, const ConnectionParams& params) {
    const size_t used = size > kDbInfoSize ? kDbInfoSize : size;
    uint8_t source[kDbInfoSize] = {};
    uint8_t plain[kDbInfoSize + 16] = {};
    if (used > 0) {
        std::memcpy(source, data, used);
        DecryptBuffer(static_cast<int>(used), source, plain);
    }
    SavedConnection saved;
    std::memcpy(&saved, plain, sizeof saved);
    FUZZ_CHECK(FieldMatches(params.userId, saved.userId));
    FUZZ_CHECK(FieldMatches(params.password, saved.password));
    FUZZ_CHECK(FieldMatches(params.server, saved.server));
    FUZZ_CHECK(FieldMatches(params.databaseName, saved.databaseName));
    FUZZ_CHECK(params.port == saved.port);
    FUZZ_CHECK(params.windowsAuth == static_cast<uint8_t>(saved.windowsAuth & 0xFF));
}

// What we write we read back: a record built from the input, with its text
// fields terminated, survives encoding and decoding unchanged.
void CheckRoundTrip(const uint8_t* data, size_t size) {
    if (size < sizeof(SavedConnection)) {
        return;
    }
    SavedConnection saved;
    std::memcpy(&saved, data, sizeof saved);
    saved.userId[kTextFieldSize - 1] = '\0';
    saved.password[kTextFieldSize - 1] = '\0';
    saved.server[kTextFieldSize - 1] = '\0';
    saved.databaseName[kTextFieldSize - 1] = '\0';
    uint8_t encoded[kDbInfoSize];
    EncodeDbInfo(saved, encoded);
    ConnectionParams params = {};
    DecodeDbInfo(encoded, static_cast<int>(kDbInfoSize), params);
    FUZZ_CHECK(std::strcmp(params.userId, saved.userId) == 0);
    FUZZ_CHECK(std::strcmp(params.password, saved.password) == 0);
    FUZZ_CHECK(std::strcmp(params.server, saved.server) == 0);
    FUZZ_CHECK(std::strcmp(params.databaseName, saved.databaseName) == 0);
    FUZZ_CHECK(params.port == saved.port);
}

bool Untouched(const void* bytes, size_t n) { return ::Untouched(bytes, n, kSentinel); }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    BuildCipherTables();
    ExpandKey();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxStored) {
        return 0;
    }
    // The stored value lives in a buffer of exactly its own length, so any
    // read past it is a sanitizer finding.
    uint8_t* stored = new uint8_t[size == 0 ? 1 : size];
    if (size > 0) {
        std::memcpy(stored, data, size);
    }
    ConnectionParams params;
    std::memset(&params, kSentinel, sizeof params);
    DecodeDbInfo(size == 0 ? nullptr : stored, static_cast<int>(size), params);

    FUZZ_CHECK(IsTerminatedField(params.userId, kTextFieldSize));
    FUZZ_CHECK(IsTerminatedField(params.password, kTextFieldSize));
    FUZZ_CHECK(IsTerminatedField(params.server, kTextFieldSize));
    FUZZ_CHECK(IsTerminatedField(params.databaseName, kTextFieldSize));
    FUZZ_CHECK(params.valid == 1);
    FUZZ_CHECK(Untouched(&params.dbType, sizeof params.dbType));
    FUZZ_CHECK(Untouched(params.errorText, sizeof params.errorText));
    FUZZ_CHECK(Untouched(params.reserved, sizeof params.reserved));
    CheckAgainstPlain(data, size, params);

    char server[kTextFieldSize];
    std::memset(server, kSentinel, sizeof server);
    DecodeSavedServer(size == 0 ? nullptr : stored, static_cast<int>(size), server);
    FUZZ_CHECK(std::strcmp(server, params.server) == 0);

    delete[] stored;
    CheckRoundTrip(data, size);
    return 0;
}

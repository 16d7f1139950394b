#include "config/SavedConnection.h"

#include <cstring>

#include "common/BoundedCopy.h"
#include "crypto/Cipher.h"

namespace {

// Room for the decrypted record; the four bytes past 256 stay zero.
constexpr size_t kDecodeBufferSize = 260;

// Decrypts up to 256 stored bytes, rounded up to whole blocks, into plain
// (zeroed first). The stored bytes are first copied into a zeroed block of
// their own, so a value shorter than its last block is never read past its
// end: the missing bytes of that block decrypt as zeros would.
void DecryptStored(const uint8_t* stored, int length, uint8_t (&plain)[kDecodeBufferSize]) {
    std::memset(plain, 0, sizeof plain);
    if (length <= 0 || stored == nullptr) {
        return;
    }
    const int used =
        length > static_cast<int>(kDbInfoSize) ? static_cast<int>(kDbInfoSize) : length;
    uint8_t source[kDbInfoSize] = {};
    std::memcpy(source, stored, static_cast<size_t>(used));
    const int rounded = (used + kBlockSize - 1) / kBlockSize * kBlockSize;
    DecryptBuffer(rounded, source, plain);
}

// The decrypted record, read out of the byte buffer without aliasing it.
SavedConnection ReadSaved(const uint8_t (&plain)[kDecodeBufferSize]) {
    SavedConnection saved;
    std::memcpy(&saved, plain, sizeof saved);
    return saved;
}

// A field of a record not written by this program may hold no NUL: the copy
// stops at the field's end and the text is used cut to 31 characters.
template <size_t N> void CopySavedField(char (&dest)[N], const char (&source)[kTextFieldSize]) {
    CopyBounded(dest, N, source, kTextFieldSize);
}

} // namespace

void BuildDbInfoPlainBlock(const SavedConnection& saved, uint8_t (&block)[kDbInfoSize]) {
    std::memset(block, 0, sizeof block);
    std::memcpy(block, &saved, sizeof saved);
}

void EncodeDbInfo(const SavedConnection& saved, uint8_t (&encrypted)[kDbInfoSize]) {
    uint8_t plain[kDbInfoSize];
    BuildDbInfoPlainBlock(saved, plain);
    EncryptConfigBlob(plain, encrypted);
}

void DecodeDbInfo(const uint8_t* stored, int length, ConnectionParams& params) {
    uint8_t plain[kDecodeBufferSize];
    DecryptStored(stored, length, plain);
    const SavedConnection saved = ReadSaved(plain);

    CopySavedField(params.userId, saved.userId);
    CopySavedField(params.password, saved.password);
    CopySavedField(params.server, saved.server);
    CopySavedField(params.databaseName, saved.databaseName);
    params.port = saved.port;
    params.windowsAuth = static_cast<uint8_t>(saved.windowsAuth & 0xFF);
    // The saved valid word is not consulted: every record we build is valid.
    params.valid = 1;
}

void DecodeSavedServer(const uint8_t* stored, int length, char (&server)[kTextFieldSize]) {
    uint8_t plain[kDecodeBufferSize];
    DecryptStored(stored, length, plain);
    const SavedConnection saved = ReadSaved(plain);
    CopySavedField(server, saved.server);
}

// Process-wide state of the cipher, shared by its source files: the tables
// built once at start-up, and the parameters with the one key schedule.
// Internal to src/crypto; callers use Cipher.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "crypto/Cipher.h"

namespace cipher {

constexpr int kColumns = 4;  // Nb: the state and each round key have 4 words
constexpr int kKeyWords = 8; // Nk: AES-256 only
constexpr int kRounds = 14;  // Nr for a 256-bit key
constexpr int kScheduleWords = kColumns * (kRounds + 1); // 60
constexpr int kRoundConstants = 30;
constexpr int kRows = 4;

static_assert(kBlockSize == 4 * kColumns, "a block is Nb words of 4 bytes");
static_assert(kKeySize == 4 * kKeyWords, "the key is Nk words of 4 bytes");

// Read-only once BuildCipherTables has run.
struct Tables {
    uint8_t log[256];     // log[x]: power of 3 that gives x (x != 0)
    uint8_t antilog[256]; // antilog[i] = 3^i in GF(2^8)
    uint8_t sbox[256];
    uint8_t invSbox[256];
    uint32_t roundConstant[kRoundConstants]; // 2^i in the low byte
    // Column of one state byte after SubBytes and MixColumns, for row 0; the
    // other rows use the same entry rotated.
    uint32_t encryptRound[256];
    // Column of one state byte after InvSubBytes and InvMixColumns, row 0.
    uint32_t decryptRound[256];
};
static_assert(sizeof(Tables) == 4 * 256 + 4 * kRoundConstants + 2 * 4 * 256, "no padding");

// Rewritten (with the same values) by every ComputeKeySchedule.
struct Schedule {
    int nb;
    int nk;
    int nr;
    // shift[row][j]: the input column that feeds row `row` of output column j.
    uint8_t encryptShift[kRows][kColumns];
    uint8_t decryptShift[kRows][kColumns];
    uint32_t encryptKeys[kScheduleWords];
    // Round keys of the equivalent inverse cipher, in the order they are used.
    uint32_t decryptKeys[kScheduleWords];
};
static_assert(sizeof(Schedule) == 3 * 4 + 2 * kRows * kColumns + 2 * 4 * kScheduleWords,
              "no padding");

// 31 printable characters and a zero byte, from which the key is derived.
extern const uint8_t kStoredConstant[kKeySize];

extern Tables g_tables;
extern Schedule g_schedule;

// The path on the processor's AES instructions (AesNiDecrypt.cpp), on x86
// only. Only the functions there are compiled for those instructions, and the
// decryption may run only where ProcessorHasAesNi says yes.
#if defined(__x86_64__) || defined(__i386__)
#define DUNMOOR_AESNI_PATH 1
bool ProcessorHasAesNi() noexcept;
// Decrypts count blocks in place with round keys derived from the nr + 1
// encryption round keys (four words each) by InvMixColumns.
void DecryptEcbAesNi(const uint32_t* encryptKeys, int nr, uint8_t* blocks, size_t count);
#else
#define DUNMOOR_AESNI_PATH 0
#endif

inline uint32_t RotateLeft(uint32_t w, int bits) {
    return (w << bits) | (w >> (32 - bits));
}

inline uint32_t LoadWord(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void StoreWord(uint8_t* p, uint32_t w) {
    p[0] = uint8_t(w);
    p[1] = uint8_t(w >> 8);
    p[2] = uint8_t(w >> 16);
    p[3] = uint8_t(w >> 24);
}

// Zeroes words in a way the optimiser may not drop as dead stores.
inline void WipeWords(uint32_t* words, int count) {
    volatile uint32_t* p = words;
    for (int i = 0; i < count; ++i) {
        p[i] = 0;
    }
}

inline void WipeBytes(uint8_t* bytes, int count) {
    volatile uint8_t* p = bytes;
    for (int i = 0; i < count; ++i) {
        p[i] = 0;
    }
}

} // namespace cipher

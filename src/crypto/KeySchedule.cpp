// The program's key and the AES-256 key expansion, with the round keys of the
// equivalent inverse cipher derived from the encryption round keys.
#include "crypto/CipherState.h"

#include <cstddef>

namespace cipher {

Schedule g_schedule;

// The key is never stored: the program keeps this constant and derives the
// key from it at run time. Every shipped script file and every saved "DB Info"
// value is bound to it, so it must never change.
const uint8_t kStoredConstant[kKeySize] = "Dm7#Kv2$pX9&wR4*tZ6^hB8!nL3@qF5";
static_assert(sizeof(kStoredConstant) == 32, "31 characters and a zero byte");

namespace {

constexpr int kDerivedBytes = kKeySize - 1; // the last byte stays zero
constexpr uint8_t kDerivationOffset = 2;

uint32_t SubstituteWord(uint32_t w) {
    const uint8_t* s = g_tables.sbox;
    return uint32_t(s[w & 0xFF]) | uint32_t(s[(w >> 8) & 0xFF]) << 8 |
           uint32_t(s[(w >> 16) & 0xFF]) << 16 | uint32_t(s[w >> 24]) << 24;
}

// InvMixColumns of one column. decryptRound[sbox[b]] is InvMixColumns of the
// column (b,0,0,0), since the inverse S-box undoes the S-box.
uint32_t InvMixColumn(uint32_t w) {
    const uint32_t* t = g_tables.decryptRound;
    const uint8_t* s = g_tables.sbox;
    return t[s[w & 0xFF]] ^ RotateLeft(t[s[(w >> 8) & 0xFF]], 8) ^
           RotateLeft(t[s[(w >> 16) & 0xFF]], 16) ^ RotateLeft(t[s[w >> 24]], 24);
}

void SetParameters() {
    g_schedule.nb = kColumns;
    g_schedule.nk = kKeyWords;
    g_schedule.nr = kRounds;
}

// Row r of output column j comes from input column j + r when encrypting
// (ShiftRows) and j - r when decrypting (InvShiftRows).
void BuildShiftTables() {
    const int nb = g_schedule.nb;
    for (int row = 0; row < kRows; ++row) {
        for (int j = 0; j < nb; ++j) {
            g_schedule.encryptShift[row][j] = uint8_t((j + row) % nb);
            g_schedule.decryptShift[row][j] = uint8_t((j - row + nb) % nb);
        }
    }
}

// The FIPS-197 expansion for Nk = 8. A word's byte 0 is its low byte, so
// RotWord (a0,a1,a2,a3) -> (a1,a2,a3,a0) is a right rotation by 8 bits.
void ExpandEncryptionKeys(const uint8_t key[kKeySize]) {
    uint32_t* w = g_schedule.encryptKeys;
    const int nk = g_schedule.nk;
    const int total = g_schedule.nb * (g_schedule.nr + 1);
    for (ptrdiff_t i = 0; i < nk; ++i) {
        w[i] = LoadWord(key + 4 * i);
    }
    for (int i = nk; i < total; ++i) {
        uint32_t temp = w[i - 1];
        if (i % nk == 0) {
            temp = SubstituteWord(RotateLeft(temp, 24)) ^ g_tables.roundConstant[i / nk - 1];
        } else if (i % nk == 4) {
            temp = SubstituteWord(temp);
        }
        w[i] = w[i - nk] ^ temp;
    }
}

// Decryption round key r is encryption round key Nr - r, with InvMixColumns
// applied to all but the first and the last.
void DeriveDecryptionKeys() {
    const int nb = g_schedule.nb;
    const int nr = g_schedule.nr;
    const uint32_t* ek = g_schedule.encryptKeys;
    uint32_t* dk = g_schedule.decryptKeys;
    for (int r = 0; r <= nr; ++r) {
        for (int j = 0; j < nb; ++j) {
            uint32_t w = ek[(nr - r) * nb + j];
            dk[r * nb + j] = (r == 0 || r == nr) ? w : InvMixColumn(w);
        }
    }
}

} // namespace
} // namespace cipher

void ComputeKeySchedule(const uint8_t key[kKeySize]) {
    cipher::SetParameters();
    cipher::BuildShiftTables();
    cipher::ExpandEncryptionKeys(key);
    cipher::DeriveDecryptionKeys();
}

void DeriveProgramKey(uint8_t key[kKeySize]) {
    for (int i = 0; i < kKeySize; ++i) {
        key[i] = cipher::kStoredConstant[i];
    }
    for (int i = 0; i < cipher::kDerivedBytes; ++i) {
        key[i] = uint8_t(key[i] + cipher::kDerivationOffset);
    }
}

void ExpandKey() {
    uint8_t key[kKeySize];
    DeriveProgramKey(key);
    ComputeKeySchedule(key);
    cipher::WipeBytes(key, kKeySize);
}

// Single-block AES: the cipher and the equivalent inverse cipher in their
// table-driven form, one 256-word round table per direction. The table entry
// is the contribution of a row-0 byte; rows 1, 2 and 3 use it rotated left by
// 8, 16 and 24 bits, which moves each coefficient down by that many rows.
#include "crypto/CipherState.h"

#include <cstddef>

namespace cipher {
namespace {

inline uint8_t Byte(uint32_t w, int row) {
    return uint8_t(w >> (8 * row));
}

// One full round: every output column is four table lookups and a round key
// word. shift names the input column of each row.
inline void Round(const uint32_t* table, const uint8_t (*shift)[kColumns], const uint32_t* in,
                  uint32_t* out, const uint32_t* roundKey, ptrdiff_t nb) {
    for (ptrdiff_t j = 0; j < nb; ++j) {
        out[j] = table[Byte(in[j], 0)] ^ RotateLeft(table[Byte(in[shift[1][j]], 1)], 8) ^
                 RotateLeft(table[Byte(in[shift[2][j]], 2)], 16) ^
                 RotateLeft(table[Byte(in[shift[3][j]], 3)], 24) ^ roundKey[j];
    }
}

// The last round: substitution and row shift only, no column mixing.
inline void FinalRound(const uint8_t* box, const uint8_t (*shift)[kColumns], const uint32_t* in,
                       uint32_t* out, const uint32_t* roundKey, ptrdiff_t nb) {
    for (ptrdiff_t j = 0; j < nb; ++j) {
        out[j] = (uint32_t(box[Byte(in[j], 0)]) | uint32_t(box[Byte(in[shift[1][j]], 1)]) << 8 |
                  uint32_t(box[Byte(in[shift[2][j]], 2)]) << 16 |
                  uint32_t(box[Byte(in[shift[3][j]], 3)]) << 24) ^
                 roundKey[j];
    }
}

// The 128-bit block of AES proper (four columns): the same rounds with the
// row shifts known at compile time, so the state stays in registers. Row r of
// output column j comes from column j + r (cipher) or j - r (inverse).
template <bool kInverse> inline ptrdiff_t Source(ptrdiff_t j, ptrdiff_t row) {
    return (kInverse ? j - row + kColumns : j + row) % kColumns;
}

// s and t are the caller's, which wipes them once it is done with them: once
// per block, or once per run of blocks.
template <bool kInverse>
inline void Transform4(uint8_t block[kBlockSize], const uint32_t* keys, const uint32_t* table,
                       const uint8_t* box, ptrdiff_t nr, uint32_t (&s)[4], uint32_t (&t)[4]) {
    for (ptrdiff_t j = 0; j < 4; ++j) {
        s[j] = LoadWord(block + 4 * j) ^ keys[j];
    }
    for (ptrdiff_t round = 1; round < nr; ++round) {
        const uint32_t* k = keys + 4 * round;
        for (ptrdiff_t j = 0; j < 4; ++j) {
            t[j] = table[Byte(s[j], 0)] ^ RotateLeft(table[Byte(s[Source<kInverse>(j, 1)], 1)], 8) ^
                   RotateLeft(table[Byte(s[Source<kInverse>(j, 2)], 2)], 16) ^
                   RotateLeft(table[Byte(s[Source<kInverse>(j, 3)], 3)], 24) ^ k[j];
        }
        for (ptrdiff_t j = 0; j < 4; ++j) {
            s[j] = t[j];
        }
    }
    const uint32_t* k = keys + 4 * nr;
    for (ptrdiff_t j = 0; j < 4; ++j) {
        t[j] =
            (uint32_t(box[Byte(s[j], 0)]) | uint32_t(box[Byte(s[Source<kInverse>(j, 1)], 1)]) << 8 |
             uint32_t(box[Byte(s[Source<kInverse>(j, 2)], 2)]) << 16 |
             uint32_t(box[Byte(s[Source<kInverse>(j, 3)], 3)]) << 24) ^
            k[j];
    }
    for (ptrdiff_t j = 0; j < 4; ++j) {
        StoreWord(block + 4 * j, t[j]);
    }
}

inline void Transform(uint8_t block[kBlockSize], const uint32_t* keys, const uint32_t* table,
                      const uint8_t* box, const uint8_t (*shift)[kColumns]) {
    // Offsets are counted in ptrdiff_t: no product is widened after the fact.
    const ptrdiff_t nb = g_schedule.nb;
    const ptrdiff_t nr = g_schedule.nr;
    uint32_t state[kColumns];
    uint32_t next[kColumns];
    for (ptrdiff_t j = 0; j < nb; ++j) {
        state[j] = LoadWord(block + 4 * j) ^ keys[j];
    }
    for (ptrdiff_t round = 1; round < nr; ++round) {
        Round(table, shift, state, next, keys + round * nb, nb);
        for (ptrdiff_t j = 0; j < nb; ++j) {
            state[j] = next[j];
        }
    }
    FinalRound(box, shift, state, next, keys + nr * nb, nb);
    for (ptrdiff_t j = 0; j < nb; ++j) {
        StoreWord(block + 4 * j, next[j]);
    }
    // Neither intermediate state may outlive the call.
    WipeWords(state, kColumns);
    WipeWords(next, kColumns);
}

// The table path of DecryptEcb. The state is wiped once, after the last block.
void DecryptWithTables(uint8_t* blocks, size_t count) {
    if (g_schedule.nb != 4) {
        for (size_t i = 0; i < count; ++i) {
            Transform(blocks + i * 4 * g_schedule.nb, g_schedule.decryptKeys, g_tables.decryptRound,
                      g_tables.invSbox, g_schedule.decryptShift);
        }
        return;
    }
    uint32_t s[4];
    uint32_t t[4];
    for (size_t i = 0; i < count; ++i) {
        Transform4<true>(blocks + i * kBlockSize, g_schedule.decryptKeys, g_tables.decryptRound,
                         g_tables.invSbox, g_schedule.nr, s, t);
    }
    WipeWords(s, 4);
    WipeWords(t, 4);
}

#if DUNMOOR_AESNI_PATH
const bool g_hasAesNi = ProcessorHasAesNi();
#else
const bool g_hasAesNi = false;
#endif

// Chosen once, before main runs; only tests and benchmarks change it.
DecryptPath g_decryptPath = g_hasAesNi ? DecryptPath::AesNi : DecryptPath::Tables;

} // namespace
} // namespace cipher

void EncryptBlock(uint8_t block[kBlockSize]) {
    using namespace cipher;
    if (g_schedule.nb == 4) {
        uint32_t s[4];
        uint32_t t[4];
        Transform4<false>(block, g_schedule.encryptKeys, g_tables.encryptRound, g_tables.sbox,
                          g_schedule.nr, s, t);
        WipeWords(s, 4);
        WipeWords(t, 4);
        return;
    }
    Transform(block, g_schedule.encryptKeys, g_tables.encryptRound, g_tables.sbox,
              g_schedule.encryptShift);
}

void DecryptBlock(uint8_t block[kBlockSize]) {
    DecryptEcb(block, 1);
}

void DecryptEcb(uint8_t* blocks, size_t count) {
    using namespace cipher;
#if DUNMOOR_AESNI_PATH
    if (g_decryptPath == DecryptPath::AesNi && g_schedule.nb == kColumns) {
        DecryptEcbAesNi(g_schedule.encryptKeys, g_schedule.nr, blocks, count);
        return;
    }
#endif
    DecryptWithTables(blocks, count);
}

bool DecryptPathAvailable(DecryptPath path) {
    return path == DecryptPath::Tables || cipher::g_hasAesNi;
}

DecryptPath CurrentDecryptPath() {
    return cipher::g_decryptPath;
}

bool UseDecryptPath(DecryptPath path) {
    if (!DecryptPathAvailable(path)) {
        return false;
    }
    cipher::g_decryptPath = path;
    return true;
}

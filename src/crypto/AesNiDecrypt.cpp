// Block decryption with the processor's AES instructions. Every function here
// names the instruction set in a target attribute, so the rest of the build
// needs no compiler flags and runs on processors without it; the caller asks
// ProcessorHasAesNi first. ECB blocks are independent of each other, so
// several go through the rounds together: one round instruction takes several
// cycles to finish, but the next may start a cycle later.
#include "crypto/CipherState.h"

#if DUNMOOR_AESNI_PATH
#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>

// The 32-bit Windows stack is only 4-byte aligned on entry: the entry point
// realigns it for the 16-byte vectors it keeps there.
#if defined(__i386__)
#define AESNI_ENTRY __attribute__((target("aes,sse2"), force_align_arg_pointer))
#else
#define AESNI_ENTRY __attribute__((target("aes,sse2")))
#endif
#define AESNI_INLINE __attribute__((target("aes,sse2"), always_inline)) inline

namespace cipher {
namespace {

// Eight blocks keep the AES unit busy; the 32-bit build has only eight vector
// registers in all, so it takes four and leaves room for the round key.
constexpr size_t kLanes = sizeof(void*) == 8 ? 8 : 4;

// A round-key word holds row 0 in its low byte, and lane j of the vector is
// column j with row 0 in its low byte: vector byte i is round-key byte i,
// whatever order the words have in memory.
AESNI_INLINE __m128i RoundKey(const uint32_t* words) {
    return _mm_setr_epi32(int(words[0]), int(words[1]), int(words[2]), int(words[3]));
}

// The equivalent inverse cipher: decryption round key r is encryption round
// key nr - r, with InvMixColumns applied to all but the first and the last.
AESNI_INLINE void DeriveDecryptionKeys(const uint32_t* encryptKeys, int nr, __m128i* keys) {
    keys[0] = RoundKey(encryptKeys + static_cast<ptrdiff_t>(kColumns) * nr);
    for (int r = 1; r < nr; ++r) {
        keys[r] =
            _mm_aesimc_si128(RoundKey(encryptKeys + static_cast<ptrdiff_t>(kColumns) * (nr - r)));
    }
    keys[nr] = RoundKey(encryptKeys);
}

// Unaligned loads and stores: the callers' buffers have no particular
// alignment.
template <size_t kCount>
AESNI_INLINE void DecryptGroup(uint8_t* blocks, const __m128i* keys, int nr) {
    __m128i b[kCount];
#pragma GCC unroll 8
    for (size_t i = 0; i < kCount; ++i) {
        const __m128i* in = reinterpret_cast<const __m128i*>(blocks + kBlockSize * i);
        b[i] = _mm_xor_si128(_mm_loadu_si128(in), keys[0]);
    }
    for (int r = 1; r < nr; ++r) {
        const __m128i key = keys[r];
#pragma GCC unroll 8
        for (size_t i = 0; i < kCount; ++i) {
            b[i] = _mm_aesdec_si128(b[i], key);
        }
    }
#pragma GCC unroll 8
    for (size_t i = 0; i < kCount; ++i) {
        __m128i* out = reinterpret_cast<__m128i*>(blocks + kBlockSize * i);
        _mm_storeu_si128(out, _mm_aesdeclast_si128(b[i], keys[nr]));
    }
}

} // namespace

bool ProcessorHasAesNi() noexcept {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) {
        return false;
    }
    return (ecx & bit_AES) != 0 && (edx & bit_SSE2) != 0;
}

AESNI_ENTRY void DecryptEcbAesNi(const uint32_t* encryptKeys, int nr, uint8_t* blocks,
                                 size_t count) {
    __m128i keys[kRounds + 1];
    DeriveDecryptionKeys(encryptKeys, nr, keys);
    for (; count >= kLanes; count -= kLanes, blocks += kLanes * kBlockSize) {
        DecryptGroup<kLanes>(blocks, keys, nr);
    }
    if (kLanes > 4 && count >= 4) {
        DecryptGroup<4>(blocks, keys, nr);
        count -= 4;
        blocks += static_cast<ptrdiff_t>(4) * kBlockSize;
    }
    for (; count > 0; --count, blocks += kBlockSize) {
        DecryptGroup<1>(blocks, keys, nr);
    }
    // The decryption round keys may not outlive the call.
    WipeBytes(reinterpret_cast<uint8_t*>(keys), int(sizeof keys));
}

} // namespace cipher

#endif

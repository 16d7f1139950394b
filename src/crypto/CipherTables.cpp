// Construction of the GF(2^8) tables, the S-boxes, the round constants and
// the two round tables. Nothing here is stored in the program; it is all
// computed once at start-up.
#include "crypto/CipherState.h"

namespace cipher {

Tables g_tables;

namespace {

// Multiplication by 2 modulo the AES polynomial x^8 + x^4 + x^3 + x + 1.
uint8_t Times2(uint8_t x) {
    return uint8_t((x << 1) ^ ((x & 0x80) ? 0x1B : 0x00));
}

uint8_t Multiply(uint8_t a, uint8_t b) {
    if (a == 0 || b == 0) {
        return 0;
    }
    return g_tables.antilog[(g_tables.log[a] + g_tables.log[b]) % 255];
}

uint8_t Inverse(uint8_t x) {
    return x == 0 ? 0 : g_tables.antilog[255 - g_tables.log[x]];
}

uint8_t RotateByte(uint8_t b, int bits) {
    return uint8_t((b << bits) | (b >> (8 - bits)));
}

// 3 generates the multiplicative group, so its powers visit every non-zero
// element once: x * 3 = x * 2 + x.
void BuildLogTables() {
    uint8_t x = 1;
    for (int i = 0; i < 255; ++i) {
        g_tables.antilog[i] = x;
        g_tables.log[x] = uint8_t(i);
        x = uint8_t(x ^ Times2(x));
    }
    g_tables.antilog[255] = 1;
    g_tables.log[0] = 0;
}

// Multiplicative inverse followed by the affine transformation.
void BuildSboxes() {
    for (int x = 0; x < 256; ++x) {
        uint8_t b = Inverse(uint8_t(x));
        uint8_t s = uint8_t(b ^ RotateByte(b, 1) ^ RotateByte(b, 2) ^ RotateByte(b, 3) ^
                            RotateByte(b, 4) ^ 0x63);
        g_tables.sbox[x] = s;
        g_tables.invSbox[s] = uint8_t(x);
    }
}

void BuildRoundConstants() {
    uint8_t rc = 1;
    for (int i = 0; i < kRoundConstants; ++i) {
        g_tables.roundConstant[i] = rc;
        rc = Times2(rc);
    }
}

uint32_t Column(uint8_t row0, uint8_t row1, uint8_t row2, uint8_t row3) {
    return uint32_t(row0) | uint32_t(row1) << 8 | uint32_t(row2) << 16 | uint32_t(row3) << 24;
}

// The entries are the first column of MixColumns (2,1,1,3) and of
// InvMixColumns (0E,09,0D,0B) times the substituted byte.
void BuildRoundTables() {
    for (int x = 0; x < 256; ++x) {
        uint8_t s = g_tables.sbox[x];
        g_tables.encryptRound[x] = Column(Multiply(2, s), s, s, Multiply(3, s));
        uint8_t y = g_tables.invSbox[x];
        g_tables.decryptRound[x] =
            Column(Multiply(0x0E, y), Multiply(0x09, y), Multiply(0x0D, y), Multiply(0x0B, y));
    }
}

} // namespace
} // namespace cipher

void BuildCipherTables() {
    cipher::BuildLogTables();
    cipher::BuildSboxes();
    cipher::BuildRoundConstants();
    cipher::BuildRoundTables();
}

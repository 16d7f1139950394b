// AES-256 (FIPS-197) in ECB mode with the program's one key. Portable: no
// platform headers. Tables and the key schedule are process-wide state.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kKeySize = 32;
constexpr int kBlockSize = 16;
constexpr int kConfigBlobSize = 256;

// Computes the GF(2^8) tables, the S-boxes, the round constants and the two
// round tables. Must run once before anything else here.
void BuildCipherTables();

// Sets the cipher parameters and computes both key schedules from key.
void ComputeKeySchedule(const uint8_t key[kKeySize]);

// Writes the program's cipher key (derived from the stored constant) into key.
void DeriveProgramKey(uint8_t key[kKeySize]);

// Derives the program's key and computes the key schedule with it.
void ExpandKey();

void EncryptBlock(uint8_t block[kBlockSize]);
void DecryptBlock(uint8_t block[kBlockSize]);

// Decrypts count consecutive blocks in place (ECB) with the current
// decryption round keys.
void DecryptEcb(uint8_t* blocks, size_t count);

// Decryption runs on the processor's AES instructions where it has them
// (asked once, at start-up) and on the round tables otherwise. Both give the
// same bytes; tests and benchmarks choose a path to run each one.
enum class DecryptPath { Tables, AesNi };

bool DecryptPathAvailable(DecryptPath path);
DecryptPath CurrentDecryptPath();
// Returns false, changing nothing, when the processor lacks the path.
bool UseDecryptPath(DecryptPath path);

// Encrypts 256 bytes of source into destination; source is left unchanged.
// Returns 256.
int EncryptConfigBlob(const uint8_t* source, uint8_t* destination);

// Copies length (rounded up to a multiple of 16) bytes from source to
// destination and decrypts them there, block by block.
void DecryptBuffer(int length, const uint8_t* source, uint8_t* destination);

// The buffer operations of the configuration store: ECB over a buffer, in
// place in the destination, each block independent of the others.
#include <cstddef>
#include <cstring>

#include "crypto/CipherState.h"

int EncryptConfigBlob(const uint8_t* source, uint8_t* destination) {
    ExpandKey();
    std::memcpy(destination, source, kConfigBlobSize);
    const int blockSize = 4 * cipher::g_schedule.nb;
    for (int offset = 0; offset < kConfigBlobSize; offset += blockSize) {
        EncryptBlock(destination + offset);
    }
    return kConfigBlobSize;
}

void DecryptBuffer(int length, const uint8_t* source, uint8_t* destination) {
    ExpandKey();
    if (length <= 0) {
        return; // nothing to copy; a negative length must not become a huge one
    }
    const size_t blockSize = 4 * size_t(cipher::g_schedule.nb);
    const size_t rounded = (size_t(length) + blockSize - 1) / blockSize * blockSize;
    std::memcpy(destination, source, rounded);
    DecryptEcb(destination, rounded / blockSize);
}

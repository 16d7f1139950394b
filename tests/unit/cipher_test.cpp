// The AES-256 block cipher, the program's key and the buffer operations of
// the configuration store.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ProcessorAes.h"
#include "crypto/Cipher.h"
#include "crypto/CipherState.h"

#ifdef DUNMOOR_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromHex(const char* hex) {
    Bytes out;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        char pair[3] = {hex[i], hex[i + 1], 0};
        out.push_back(uint8_t(std::strtoul(pair, nullptr, 16)));
    }
    return out;
}

Bytes RandomBytes(std::mt19937& rng, size_t n) {
    Bytes out(n);
    for (auto& b : out) {
        b = uint8_t(rng());
    }
    return out;
}

// ECB decryption block by block on the round tables with the program's key,
// as a reference for both paths.
Bytes DecryptBlocks(Bytes data) {
    const DecryptPath path = CurrentDecryptPath();
    UseDecryptPath(DecryptPath::Tables);
    ExpandKey();
    for (size_t off = 0; off < data.size(); off += kBlockSize) {
        DecryptBlock(data.data() + off);
    }
    UseDecryptPath(path);
    return data;
}

// Every test runs on each decryption path; the AES-NI instance is skipped
// where the processor lacks the instructions (by the test's own reading).
class CipherTest : public ::testing::TestWithParam<DecryptPath> {
  protected:
    void SetUp() override {
        BuildCipherTables();
        if (GetParam() == DecryptPath::AesNi && !ProcessorHasAes()) {
            GTEST_SKIP() << "no AES instructions on this processor (CPUID)";
        }
        ASSERT_TRUE(UseDecryptPath(GetParam())) << "the processor has AES, the program says no";
    }
    void TearDown() override { UseDecryptPath(before_); }

  private:
    const DecryptPath before_ = CurrentDecryptPath();
};

const DecryptPath kPaths[] = {DecryptPath::Tables, DecryptPath::AesNi};

std::string PathName(const ::testing::TestParamInfo<DecryptPath>& info) {
    return info.param == DecryptPath::AesNi ? "AesNi" : "Tables";
}

// FIPS-197 Appendix C.3.
const char kFipsKey[] = "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";
const char kFipsPlain[] = "00112233445566778899aabbccddeeff";
const char kFipsCipher[] = "8ea2b7ca516745bfeafc49904b496089";

using FipsVector = CipherTest;

TEST_P(FipsVector, EncryptBlockGivesTheAppendixCiphertext) {
    ComputeKeySchedule(FromHex(kFipsKey).data());
    Bytes block = FromHex(kFipsPlain);
    EncryptBlock(block.data());
    EXPECT_EQ(block, FromHex(kFipsCipher));
}

TEST_P(FipsVector, DecryptBlockGivesThePlaintextBack) {
    ComputeKeySchedule(FromHex(kFipsKey).data());
    Bytes block = FromHex(kFipsCipher);
    DecryptBlock(block.data());
    EXPECT_EQ(block, FromHex(kFipsPlain));
}

// The program takes the AES-NI path where the processor has it, and only there
// (its instructions would fault elsewhere).
TEST(DecryptPaths, AesNiIsAvailableExactlyWhereTheProcessorHasAes) {
    EXPECT_EQ(DecryptPathAvailable(DecryptPath::AesNi), ProcessorHasAes());
    EXPECT_TRUE(DecryptPathAvailable(DecryptPath::Tables));
}

// AES-256 uses only the first seven; the rest must still be the powers of 2.
TEST(RoundConstants, ArePowersOfTwoInTheLowByte) {
    BuildCipherTables();
    const uint32_t expected[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40,
                                 0x80, 0x1B, 0x36, 0x6C, 0xD8, 0xAB, 0x4D};
    for (size_t i = 0; i < sizeof expected / sizeof expected[0]; ++i) {
        EXPECT_EQ(cipher::g_tables.roundConstant[i], expected[i]) << "constant " << i;
    }
}

#ifdef DUNMOOR_HAVE_OPENSSL
Bytes OpensslEcb(const Bytes& key, const Bytes& in, bool encrypt) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_CipherInit_ex(ctx, EVP_aes_256_ecb(), nullptr, key.data(), nullptr, encrypt ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    Bytes out(in.size());
    int len = 0;
    EVP_CipherUpdate(ctx, out.data(), &len, in.data(), int(in.size()));
    EVP_CIPHER_CTX_free(ctx);
    return out;
}

using AgreesWithOpenssl = CipherTest;

TEST_P(AgreesWithOpenssl, OnRandomKeysAndBlocksBothWays) {
    std::mt19937 rng(20240420);
    for (int trial = 0; trial < 3000; ++trial) {
        Bytes key = RandomBytes(rng, kKeySize);
        Bytes plain = RandomBytes(rng, kBlockSize);
        ComputeKeySchedule(key.data());
        Bytes block = plain;
        EncryptBlock(block.data());
        ASSERT_EQ(block, OpensslEcb(key, plain, true)) << "trial " << trial;
        Bytes cipherText = RandomBytes(rng, kBlockSize);
        block = cipherText;
        DecryptBlock(block.data());
        ASSERT_EQ(block, OpensslEcb(key, cipherText, false)) << "trial " << trial;
    }
}

TEST_P(AgreesWithOpenssl, OnTheConfigBlobWithTheProgramKey) {
    std::mt19937 rng(7);
    Bytes source = RandomBytes(rng, kConfigBlobSize);
    Bytes sealed(kConfigBlobSize);
    EncryptConfigBlob(source.data(), sealed.data());
    Bytes key(kKeySize);
    DeriveProgramKey(key.data());
    EXPECT_EQ(sealed, OpensslEcb(key, source, true));
}
#endif

using ProgramKey = CipherTest;

TEST_P(ProgramKey, IsTheStoredConstantPlusTwoWithALastZeroByte) {
    uint8_t key[kKeySize];
    DeriveProgramKey(key);
    for (int i = 0; i < kKeySize - 1; ++i) {
        EXPECT_GE(cipher::kStoredConstant[i], 0x20) << "printable at " << i;
        EXPECT_LE(cipher::kStoredConstant[i], 0x7E) << "printable at " << i;
        EXPECT_EQ(key[i], uint8_t(cipher::kStoredConstant[i] + 2)) << "byte " << i;
    }
    EXPECT_EQ(cipher::kStoredConstant[31], 0);
    EXPECT_EQ(key[31], 0);
}

// Shipped script files and saved "DB Info" values depend on this exact key.
TEST_P(ProgramKey, NeverChanges) {
    uint8_t key[kKeySize];
    DeriveProgramKey(key);
    EXPECT_EQ(Bytes(key, key + kKeySize),
              FromHex("466f39254d783426725a3b287954362c765c38606a443a23704e354273483700"));
}

// The buffer operations must not depend on whatever schedule was left behind.
TEST_P(ProgramKey, IsRestoredByEveryBufferOperation) {
    Bytes plain(kConfigBlobSize, 0x41);
    Bytes expected(kConfigBlobSize);
    EncryptConfigBlob(plain.data(), expected.data());

    ComputeKeySchedule(FromHex(kFipsKey).data());
    Bytes sealed(kConfigBlobSize);
    EncryptConfigBlob(plain.data(), sealed.data());
    EXPECT_EQ(sealed, expected);

    ComputeKeySchedule(FromHex(kFipsKey).data());
    Bytes opened(kConfigBlobSize);
    DecryptBuffer(kConfigBlobSize, sealed.data(), opened.data());
    EXPECT_EQ(opened, plain);
}

constexpr size_t kGuard = 32;
constexpr uint8_t kGuardByte = 0xA5;

using ConfigBlob = CipherTest;

TEST_P(ConfigBlob, RoundTripsAndLeavesTheSourceAndBytesPast256Alone) {
    std::mt19937 rng(1);
    const Bytes source = RandomBytes(rng, kConfigBlobSize);
    Bytes input = source;
    Bytes sealed(kConfigBlobSize + kGuard, kGuardByte);
    EXPECT_EQ(EncryptConfigBlob(input.data(), sealed.data()), 256);
    EXPECT_EQ(input, source);
    EXPECT_EQ(Bytes(sealed.begin() + kConfigBlobSize, sealed.end()), Bytes(kGuard, kGuardByte));
    EXPECT_NE(Bytes(sealed.begin(), sealed.begin() + kConfigBlobSize), source);

    Bytes opened(kConfigBlobSize);
    DecryptBuffer(kConfigBlobSize, sealed.data(), opened.data());
    EXPECT_EQ(opened, source);
}

// ECB: no chaining, so equal plaintext blocks stay equal.
TEST_P(ConfigBlob, EqualBlocksGiveEqualCiphertext) {
    Bytes source(kConfigBlobSize, 0);
    for (int i = 0; i < kBlockSize; ++i) {
        source[i] = source[kBlockSize + i] = uint8_t(i * 7 + 1);
    }
    Bytes sealed(kConfigBlobSize);
    EncryptConfigBlob(source.data(), sealed.data());
    EXPECT_TRUE(std::equal(sealed.begin(), sealed.begin() + 16, sealed.begin() + 16));
    EXPECT_FALSE(std::equal(sealed.begin(), sealed.begin() + 16, sealed.begin() + 32));
}

using DecryptBufferLength = CipherTest;

TEST_P(DecryptBufferLength, ZeroCopiesNothing) {
    Bytes source(64, 0x11);
    Bytes dest(64, kGuardByte);
    DecryptBuffer(0, source.data(), dest.data());
    EXPECT_EQ(dest, Bytes(64, kGuardByte));
}

TEST_P(DecryptBufferLength, IsRoundedUpToWholeBlocksAndNoFurther) {
    std::mt19937 rng(2);
    const Bytes source = RandomBytes(rng, 112);
    Bytes dest(112 + kGuard, kGuardByte);
    DecryptBuffer(100, source.data(), dest.data());
    EXPECT_EQ(Bytes(dest.begin(), dest.begin() + 112), DecryptBlocks(source));
    EXPECT_EQ(Bytes(dest.begin() + 112, dest.end()), Bytes(kGuard, kGuardByte));
}

TEST_P(DecryptBufferLength, OfAWholeBlobHandlesExactlySixteenBlocks) {
    std::mt19937 rng(3);
    const Bytes source = RandomBytes(rng, kConfigBlobSize);
    Bytes dest(kConfigBlobSize + kGuard, kGuardByte);
    DecryptBuffer(kConfigBlobSize, source.data(), dest.data());
    EXPECT_EQ(Bytes(dest.begin(), dest.begin() + kConfigBlobSize), DecryptBlocks(source));
    EXPECT_EQ(Bytes(dest.begin() + kConfigBlobSize, dest.end()), Bytes(kGuard, kGuardByte));
}

INSTANTIATE_TEST_SUITE_P(Paths, FipsVector, ::testing::ValuesIn(kPaths), PathName);
#ifdef DUNMOOR_HAVE_OPENSSL
INSTANTIATE_TEST_SUITE_P(Paths, AgreesWithOpenssl, ::testing::ValuesIn(kPaths), PathName);
#endif
INSTANTIATE_TEST_SUITE_P(Paths, ProgramKey, ::testing::ValuesIn(kPaths), PathName);
INSTANTIATE_TEST_SUITE_P(Paths, ConfigBlob, ::testing::ValuesIn(kPaths), PathName);
INSTANTIATE_TEST_SUITE_P(Paths, DecryptBufferLength, ::testing::ValuesIn(kPaths), PathName);

} // namespace

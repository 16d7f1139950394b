// The portable half of the saved connection: the plain block, its encryption
// and the bounded decoding of whatever "DB Info" holds.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/BoundedCopy.h"
#include "config/SavedConnection.h"
#include "config/ServerConfig.h"
#include "crypto/Cipher.h"

namespace {

class SavedConnectionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { BuildCipherTables(); }
};

SavedConnection MakeSaved(const char* user, const char* password, const char* server,
                          const char* database, int32_t port, int32_t windowsAuth) {
    SavedConnection saved;
    std::memset(&saved, 0, sizeof saved);
    CopyField(saved.userId, user);
    CopyField(saved.password, password);
    CopyField(saved.server, server);
    CopyField(saved.databaseName, database);
    saved.port = port;
    saved.valid = 1;
    saved.windowsAuth = windowsAuth;
    return saved;
}

ConnectionParams ClearedParams() {
    ConnectionParams params;
    std::memset(&params, 0, sizeof params);
    return params;
}

// Encrypts a plain block given byte by byte, as a foreign "DB Info" would be.
std::vector<uint8_t> EncryptPlain(const uint8_t (&plain)[kDbInfoSize]) {
    std::vector<uint8_t> stored(kDbInfoSize);
    EncryptConfigBlob(plain, stored.data());
    return stored;
}

bool HasNul(const char (&field)[kTextFieldSize]) {
    return std::memchr(field, '\0', kTextFieldSize) != nullptr;
}

TEST_F(SavedConnectionTest, PlainBlockIsTheRecordFollowedByZeros) {
    const SavedConnection saved = MakeSaved("sa", "titok", "db01\\SQLEXPRESS", "Quenlor", 1433, 0);
    uint8_t block[kDbInfoSize];
    std::memset(block, 0xEE, sizeof block);

    BuildDbInfoPlainBlock(saved, block);

    EXPECT_EQ(0, std::memcmp(block, &saved, sizeof saved));
    for (size_t i = sizeof saved; i < kDbInfoSize; ++i) {
        ASSERT_EQ(0, block[i]) << "byte " << i;
    }
}

TEST_F(SavedConnectionTest, EncodedBlockDecryptsToThePlainBlock) {
    const SavedConnection saved = MakeSaved("quen", "p4ss", "10.0.0.7", "QuenlorTest", 3306, 0);
    uint8_t plain[kDbInfoSize];
    BuildDbInfoPlainBlock(saved, plain);
    uint8_t encrypted[kDbInfoSize];
    EncodeDbInfo(saved, encrypted);
    uint8_t again[kDbInfoSize];
    EncodeDbInfo(saved, again);

    EXPECT_NE(0, std::memcmp(encrypted, plain, kDbInfoSize));
    EXPECT_EQ(0, std::memcmp(encrypted, again, kDbInfoSize)) << "same connection, same bytes";

    uint8_t decrypted[kDbInfoSize];
    DecryptBuffer(static_cast<int>(kDbInfoSize), encrypted, decrypted);
    EXPECT_EQ(0, std::memcmp(decrypted, plain, kDbInfoSize));
}

TEST_F(SavedConnectionTest, DecodingGivesBackTheConnectionAndLeavesTheRestAlone) {
    const SavedConnection saved = MakeSaved("quen", "p4ss", "db01", "Quenlor", 1521, 0);
    uint8_t encrypted[kDbInfoSize];
    EncodeDbInfo(saved, encrypted);
    ConnectionParams params = ClearedParams();
    params.dbType = Oracle;
    CopyField(params.errorText, "left as it was");

    DecodeDbInfo(encrypted, static_cast<int>(kDbInfoSize), params);

    EXPECT_STREQ("quen", params.userId);
    EXPECT_STREQ("p4ss", params.password);
    EXPECT_STREQ("db01", params.server);
    EXPECT_STREQ("Quenlor", params.databaseName);
    EXPECT_EQ(1521, params.port);
    EXPECT_EQ(0, params.windowsAuth);
    EXPECT_EQ(1, params.valid);
    EXPECT_EQ(Oracle, params.dbType);
    EXPECT_STREQ("left as it was", params.errorText);

    char server[kTextFieldSize];
    std::memset(server, 'x', sizeof server);
    DecodeSavedServer(encrypted, static_cast<int>(kDbInfoSize), server);
    EXPECT_STREQ("db01", server);
}

TEST_F(SavedConnectionTest, WindowsAuthenticationIsTheLowByteOfItsWord) {
    const SavedConnection saved = MakeSaved("", "", "HOST\\QUENLOR", "Quenlor", 0, 1);
    uint8_t plain[kDbInfoSize];
    BuildDbInfoPlainBlock(saved, plain);
    const uint8_t word[4] = {1, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(plain + offsetof(SavedConnection, windowsAuth), word, 4));

    uint8_t encrypted[kDbInfoSize];
    EncodeDbInfo(saved, encrypted);
    ConnectionParams params = ClearedParams();
    DecodeDbInfo(encrypted, static_cast<int>(kDbInfoSize), params);
    EXPECT_EQ(1, params.windowsAuth);
    EXPECT_STREQ("", params.userId);
    EXPECT_STREQ("", params.password);

    // A foreign word: only its low byte counts.
    const SavedConnection foreign = MakeSaved("", "", "h", "d", 0, 0x0100);
    EncodeDbInfo(foreign, encrypted);
    DecodeDbInfo(encrypted, static_cast<int>(kDbInfoSize), params);
    EXPECT_EQ(0, params.windowsAuth);
}

TEST_F(SavedConnectionTest, FieldWithoutNulIsCutAtItsEnd) {
    uint8_t plain[kDbInfoSize] = {};
    std::memset(plain, 'U', 32);      // userId fills its field
    std::memcpy(plain + 32, "pw", 3); // password right behind it
    std::memset(plain + 64, 'S', 32); // server too
    std::memset(plain + 96, 'D', 32); // and databaseName, up to port
    const std::vector<uint8_t> stored = EncryptPlain(plain);
    ConnectionParams params = ClearedParams();

    DecodeDbInfo(stored.data(), static_cast<int>(stored.size()), params);

    EXPECT_EQ(std::string(31, 'U'), params.userId);
    EXPECT_STREQ("pw", params.password);
    EXPECT_EQ(std::string(31, 'S'), params.server);
    EXPECT_EQ(std::string(31, 'D'), params.databaseName);

    char server[kTextFieldSize];
    DecodeSavedServer(stored.data(), static_cast<int>(stored.size()), server);
    EXPECT_EQ(std::string(31, 'S'), server);
}

TEST_F(SavedConnectionTest, ShortValueDecryptsWholeBlocksOnly) {
    const SavedConnection saved = MakeSaved("quen", "p4ss", "db01", "Quenlor", 1433, 1);
    uint8_t encrypted[kDbInfoSize];
    EncodeDbInfo(saved, encrypted);
    // Exactly 100 bytes, so reading past them is caught by the sanitizer.
    const std::vector<uint8_t> stored(encrypted, encrypted + 100);
    ConnectionParams params = ClearedParams();

    DecodeDbInfo(stored.data(), static_cast<int>(stored.size()), params);

    // Blocks 0..5 are whole; block 6 (bytes 96..111) is garbage; 112 on zero.
    EXPECT_STREQ("quen", params.userId);
    EXPECT_STREQ("p4ss", params.password);
    EXPECT_STREQ("db01", params.server);
    EXPECT_TRUE(HasNul(params.databaseName));
    EXPECT_EQ(0, params.port);
    EXPECT_EQ(0, params.windowsAuth);
    EXPECT_EQ(1, params.valid);
}

TEST_F(SavedConnectionTest, NothingStoredDecodesToAnEmptyConnection) {
    for (int length : {0, -1, -256}) {
        ConnectionParams params = ClearedParams();
        std::memset(params.userId, 'x', sizeof params.userId);
        std::memset(params.server, 'x', sizeof params.server);
        params.port = 99;
        DecodeDbInfo(nullptr, length, params);
        EXPECT_STREQ("", params.userId) << length;
        EXPECT_STREQ("", params.server) << length;
        EXPECT_EQ(0, params.port) << length;
        EXPECT_EQ(1, params.valid) << length;
    }
}

TEST_F(SavedConnectionTest, ArbitraryStoredBytesStayWithinBounds) {
    std::mt19937 random(20240420u);
    std::uniform_int_distribution<int> lengthOf(0, 300);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 3000; ++round) {
        const int length = lengthOf(random);
        std::vector<uint8_t> stored(static_cast<size_t>(length));
        for (uint8_t& b : stored) {
            b = static_cast<uint8_t>(byte(random));
        }
        ConnectionParams params = ClearedParams();
        params.dbType = MsSql;
        const uint8_t* data = stored.empty() ? nullptr : stored.data();

        DecodeDbInfo(data, length, params);

        ASSERT_TRUE(HasNul(params.userId)) << "round " << round;
        ASSERT_TRUE(HasNul(params.password)) << "round " << round;
        ASSERT_TRUE(HasNul(params.server)) << "round " << round;
        ASSERT_TRUE(HasNul(params.databaseName)) << "round " << round;
        ASSERT_EQ(1, params.valid);
        ASSERT_EQ(MsSql, params.dbType);
        ASSERT_EQ('\0', params.errorText[0]);
        for (uint8_t fill : params.reserved) {
            ASSERT_EQ(0, fill);
        }

        char server[kTextFieldSize];
        DecodeSavedServer(data, length, server);
        ASSERT_TRUE(HasNul(server));
    }
}

TEST(ServerValueNamesTest, ElevenNamesInTheServersOrderThenTheEndMarker) {
    const char* const expected[11] = {"DB Type",     "DB Conn String", "DB User ID", "DB Password",
                                      "TCP Port",    "Max Connection", "EXE Path",   "OpenSSL Path",
                                      "Pass Phrase", "Use SSL",        "DB Info"};
    for (int i = 0; i < 11; ++i) {
        ASSERT_NE(nullptr, kServerValueNames[i]);
        EXPECT_STREQ(expected[i], kServerValueNames[i]) << i;
    }
    EXPECT_EQ(nullptr, kServerValueNames[11]);
}

} // namespace

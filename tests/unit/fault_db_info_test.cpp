// "DB Info" written by someone else (or damaged): whatever the bytes, the
// record that reaches the library holds terminated fields no longer than
// theirs, and a connection the library refuses runs nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/BoundedCopy.h"
#include "config/SavedConnection.h"
#include "crypto/Cipher.h"
#include "db/DbLibrary.h"

namespace {

std::vector<std::string> g_failures;
int g_statements = 0;

void ExpectField(const char* name, const char* field) {
    if (std::memchr(field, '\0', kTextFieldSize) == nullptr) {
        g_failures.push_back(std::string(name) + " without NUL");
    }
}

// The library's view: it reads the record as C strings.
int KELVANE_CALL RefusingConnect(ConnectionParams* params) {
    ExpectField("userId", params->userId);
    ExpectField("password", params->password);
    ExpectField("server", params->server);
    ExpectField("databaseName", params->databaseName);
    CopyField(params->errorText, "[28000] login failed");
    return 0;
}

int KELVANE_CALL CountStatement(int, const char*, int) {
    ++g_statements;
    return 0;
}

std::vector<uint8_t> ForeignBytes(size_t n, std::mt19937& random) {
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    return bytes;
}

class ForeignDbInfo : public ::testing::Test {
  protected:
    void SetUp() override {
        BuildCipherTables();
        g_failures.clear();
        g_statements = 0;
        SetDbEntryPoints(RefusingConnect, CountStatement);
    }
    void TearDown() override { SetDbEntryPoints(nullptr, nullptr); }
};

// Lengths around every block edge of the 256-byte value and past it; each
// value sits in a buffer of exactly its length.
TEST_F(ForeignDbInfo, ReachesTheLibraryBoundedAndARefusalRunsNothing) {
    std::mt19937 random(1250);
    for (size_t length : {1u, 15u, 16u, 17u, 139u, 140u, 141u, 255u, 256u, 257u, 300u}) {
        const std::vector<uint8_t> stored = ForeignBytes(length, random);
        ConnectionParams params = {};
        params.dbType = MsSql;
        DecodeDbInfo(stored.data(), static_cast<int>(length), params);

        EXPECT_EQ(0, ConnectDB(&params)) << length;
        EXPECT_STREQ("[28000] login failed", params.errorText);
        EXPECT_EQ(MsSql, params.dbType) << length;
    }
    EXPECT_TRUE(g_failures.empty()) << g_failures.front();
    EXPECT_EQ(0, g_statements);
}

// Only the first 256 bytes are the record: a longer foreign value decodes
// as its first 256 bytes, and the server the main dialog shows is the one
// the connection uses.
TEST_F(ForeignDbInfo, LongerValueIsItsFirst256BytesAndBothReadersAgree) {
    std::mt19937 random(256);
    const std::vector<uint8_t> stored = ForeignBytes(300, random);
    ConnectionParams whole = {};
    ConnectionParams first256 = {};
    DecodeDbInfo(stored.data(), 300, whole);
    DecodeDbInfo(stored.data(), 256, first256);
    char shown[kTextFieldSize];
    DecodeSavedServer(stored.data(), 300, shown);

    EXPECT_EQ(0, std::memcmp(&whole, &first256, sizeof whole));
    EXPECT_STREQ(whole.server, shown);
}

} // namespace

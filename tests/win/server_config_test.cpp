// The server configuration store on the real registry of the Wine prefix. The
// program never creates the Quenlor server's key, so each test creates it
// itself when it needs one, and removes it before and after. The key lives in
// the 32-bit registry view, where the server's installer puts it.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/BoundedCopy.h"
#include "config/SavedConnection.h"
#include "config/ServerConfig.h"
#include "TestSupportWin32.h"
#include "crypto/Cipher.h"
#include "record/RunLog.h"
#include "security/FileAccess.h"

namespace {

constexpr REGSAM k32 = KEY_WOW64_32KEY;
constexpr REGSAM k64 = KEY_WOW64_64KEY;

struct RegValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
};

void DeleteServerKey(REGSAM view = k32) {
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kServerKey, view, 0);
}

bool ServerKeyExists(REGSAM view = k32) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// The caller closes the returned key.
HKEY CreateServerKey(REGSAM view = k32) {
    HKEY key = nullptr;
    const LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, nullptr, 0,
                                    KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

void SetValue(const char* name, DWORD type, const void* data, DWORD size, REGSAM view = k32) {
    HKEY key = CreateServerKey(view);
    ASSERT_NE(nullptr, key);
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

void SetDwordValue(const char* name, DWORD value) {
    SetValue(name, REG_DWORD, &value, sizeof value);
}

void SetTextValue(const char* name, const char* text) {
    SetValue(name, REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1));
}

RegValue ReadValue(const char* name) {
    RegValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ | k32, &key) != ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.present = RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(),
                                         &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(key);
    return value;
}

DWORD DwordOf(const RegValue& value) {
    DWORD result = 0;
    if (value.data.size() == sizeof result) {
        std::memcpy(&result, value.data.data(), sizeof result);
    }
    return result;
}

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

bool AllZero(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

class ServerConfigTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { BuildCipherTables(); }
    void SetUp() override {
        DeleteServerKey();
        ASSERT_FALSE(ServerKeyExists()) << "a test key was left behind";
    }
    void TearDown() override {
        DeleteServerKey();
        DeleteServerKey(k64);
    }

    static void CreateEmptyKey() {
        HKEY key = CreateServerKey();
        ASSERT_NE(nullptr, key);
        RegCloseKey(key);
    }
};

TEST_F(ServerConfigTest, SaveWritesOurFiveValuesWithTheirTypesAndSizes) {
    CreateEmptyKey();
    const SavedConnection saved = MakeSaved("sa", "titok", "db01\\SQLEXPRESS", "Quenlor", 1433, 0);

    ASSERT_TRUE(SaveServerConfig(saved, MsSql));

    const RegValue dbType = ReadValue("DB Type");
    ASSERT_TRUE(dbType.present);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), dbType.type);
    EXPECT_EQ(4u, dbType.data.size());
    EXPECT_EQ(2u, DwordOf(dbType));

    const RegValue tcpPort = ReadValue("TCP Port");
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), tcpPort.type);
    EXPECT_EQ(1480u, DwordOf(tcpPort));
    const RegValue maxConnection = ReadValue("Max Connection");
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), maxConnection.type);
    EXPECT_EQ(32u, DwordOf(maxConnection));

    const RegValue openSsl = ReadValue("OpenSSL Path");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), openSsl.type);
    const char expectedPath[] = "C:\\OpenSSL\\bin\\openssl.exe";
    ASSERT_EQ(27u, openSsl.data.size());
    EXPECT_EQ(0, std::memcmp(expectedPath, openSsl.data.data(), sizeof expectedPath));

    const RegValue dbInfo = ReadValue("DB Info");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), dbInfo.type);
    ASSERT_EQ(kDbInfoSize, dbInfo.data.size());
    uint8_t plain[kDbInfoSize];
    DecryptBuffer(static_cast<int>(kDbInfoSize), dbInfo.data.data(), plain);
    EXPECT_EQ(0, std::memcmp(plain, &saved, sizeof saved));
    EXPECT_TRUE(AllZero(plain + sizeof saved, kDbInfoSize - sizeof saved));

    ASSERT_TRUE(SaveServerConfig(saved, MsSql));
    EXPECT_EQ(dbInfo.data, ReadValue("DB Info").data) << "same connection, same bytes";
}

// "OpenSSL Path" names the program the server starts with its own rights: one
// already there is kept, the default goes only where there is none, and the
// run log says which, with a warning for a folder that is missing or that
// others may change (that one also for the caller's box). The default's
// folders are made where missing, for the administrators alone to change.
TEST_F(ServerConfigTest, SaveKeepsAnOpenSslPathAlreadyThere) {
    RemoveDirectoryA("C:\\OpenSSL\\bin");
    RemoveDirectoryA("C:\\OpenSSL");
    const std::string dir = FreshDirectory("openssl_path");
    const std::string open = dir + "\\open";
    CreateDirectoryA(open.c_str(), nullptr);
    PSECURITY_DESCRIPTOR everyone = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;WD)", SDDL_REVISION_1, &everyone, nullptr));
    ASSERT_TRUE(SetFileSecurityA(open.c_str(), DACL_SECURITY_INFORMATION, everyone));
    LocalFree(everyone);
    const std::string log = dir + "\\Dunmoor.log";
    ASSERT_TRUE(OpenRunLog(log.c_str()));
    const SavedConnection saved = MakeSaved("u", "p", "s", "d", 1, 0);
    CreateEmptyKey();

    ASSERT_TRUE(SaveServerConfig(saved, MsSql)); // none there
    EXPECT_EQ(OutsideWriter::kNone, FindOutsideWriter("C:\\OpenSSL\\bin", true).status);
    const std::string kept = dir + "\\missing\\openssl.exe";
    SetTextValue("OpenSSL Path", kept.c_str());
    ASSERT_TRUE(SaveServerConfig(saved, MsSql));
    const RegValue keptValue = ReadValue("OpenSSL Path");
    SetTextValue("OpenSSL Path", (open + "\\openssl.exe").c_str());
    OpenFolder found;
    ASSERT_TRUE(SaveServerConfig(saved, MsSql, nullptr, &found));
    CloseRunLog();
    EXPECT_EQ(open, found.path);

    EXPECT_EQ(kept + '\0', std::string(keptValue.data.begin(), keptValue.data.end()));
    const std::string text = ReadWholeFile(log);
    for (const std::string& line :
         {std::string(
              "OpenSSL Path: none there, the default C:\\OpenSSL\\bin\\openssl.exe written"),
          std::string("OpenSSL Path: the folder C:\\OpenSSL\\bin made"),
          "OpenSSL Path kept: " + kept,
          "Warning: OpenSSL Path: the folder " + dir + "\\missing does not exist",
          "Warning: OpenSSL Path: the folder " + open + " can be changed by "}) {
        EXPECT_NE(std::string::npos, text.find(line)) << line << "\n" << text;
    }
}

// Whoever may read the key's values can recover the saved password: read
// from the key's own descriptor.
TEST_F(ServerConfigTest, TheKeysReadersAreNamed) {
    HKEY key = CreateServerKey();
    ASSERT_NE(nullptr, key);
    PSECURITY_DESCRIPTOR users = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "O:BAD:P(A;;KA;;;BA)(A;;KA;;;SY)(A;;KR;;;BU)", SDDL_REVISION_1, &users, nullptr));
    ASSERT_EQ(
        ERROR_SUCCESS,
        RegSetKeySecurity(key, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, users));
    LocalFree(users);
    RegCloseKey(key);
    std::vector<std::string> readers;
    long error = 0;
    ASSERT_TRUE(FindServerKeyReaders(readers, error)) << error;
    EXPECT_EQ(std::vector<std::string>{"BUILTIN\\Users"}, readers);
}

TEST_F(ServerConfigTest, SaveLeavesTheServersOwnValuesAndResetsItsFixedOnes) {
    SetTextValue("DB Conn String", "Provider=keep");
    SetTextValue("DB User ID", "keep-user");
    SetTextValue("DB Password", "keep-password");
    SetTextValue("EXE Path", "C:\\Quenlor\\server.exe");
    SetTextValue("Pass Phrase", "keep-phrase");
    SetDwordValue("Use SSL", 1);
    SetDwordValue("TCP Port", 9999);
    SetDwordValue("Max Connection", 5);

    ASSERT_TRUE(SaveServerConfig(MakeSaved("u", "p", "s", "d", 3306, 0), MySql));

    const char* const untouched[][2] = {{"DB Conn String", "Provider=keep"},
                                        {"DB User ID", "keep-user"},
                                        {"DB Password", "keep-password"},
                                        {"EXE Path", "C:\\Quenlor\\server.exe"},
                                        {"Pass Phrase", "keep-phrase"}};
    for (const auto& entry : untouched) {
        const RegValue value = ReadValue(entry[0]);
        ASSERT_TRUE(value.present) << entry[0];
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type) << entry[0];
        EXPECT_EQ(std::string(entry[1]) + '\0', std::string(value.data.begin(), value.data.end()))
            << entry[0];
    }
    EXPECT_EQ(1u, DwordOf(ReadValue("Use SSL")));
    EXPECT_EQ(1480u, DwordOf(ReadValue("TCP Port")));
    EXPECT_EQ(32u, DwordOf(ReadValue("Max Connection")));
}

TEST_F(ServerConfigTest, SaveThenLoadGivesBackTheConnection) {
    CreateEmptyKey();
    for (int dbType : {MySql, MsSql, Oracle}) {
        ASSERT_TRUE(SaveServerConfig(
            MakeSaved("quen", "p4ss w0rd", "db01\\QUENLOR", "QuenlorTest", 1400 + dbType, 0),
            dbType));
        ConnectionParams params = ClearedParams();

        ASSERT_TRUE(LoadServerConfig(params)) << dbType;

        EXPECT_EQ(dbType, params.dbType);
        EXPECT_STREQ("quen", params.userId);
        EXPECT_STREQ("p4ss w0rd", params.password);
        EXPECT_STREQ("db01\\QUENLOR", params.server);
        EXPECT_STREQ("QuenlorTest", params.databaseName);
        EXPECT_EQ(1400 + dbType, params.port);
        EXPECT_EQ(0, params.windowsAuth);
        EXPECT_EQ(1, params.valid);
        EXPECT_TRUE(AllZero(params.errorText, sizeof params.errorText));
    }
}

TEST_F(ServerConfigTest, WindowsAuthenticationLoadsWithEmptyCredentials) {
    CreateEmptyKey();
    ASSERT_TRUE(SaveServerConfig(MakeSaved("", "", "HOST\\QUENLOR", "Quenlor", 0, 1), MsSql));
    const RegValue dbInfo = ReadValue("DB Info");
    ASSERT_EQ(kDbInfoSize, dbInfo.data.size());
    uint8_t plain[kDbInfoSize];
    DecryptBuffer(static_cast<int>(kDbInfoSize), dbInfo.data.data(), plain);
    const uint8_t word[4] = {1, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(plain + offsetof(SavedConnection, windowsAuth), word, 4));

    ConnectionParams params = ClearedParams();
    ASSERT_TRUE(LoadServerConfig(params));
    EXPECT_EQ(1, params.windowsAuth);
    EXPECT_STREQ("", params.userId);
    EXPECT_STREQ("", params.password);
    EXPECT_STREQ("HOST\\QUENLOR", params.server);
}

TEST_F(ServerConfigTest, LoadNeedsTheKeyAndBothValues) {
    ConnectionParams params = ClearedParams();
    const ConnectionParams before = params;
    EXPECT_FALSE(LoadServerConfig(params)) << "no key";
    EXPECT_EQ(0, std::memcmp(&before, &params, sizeof params)) << "untouched without the key";

    CreateEmptyKey();
    EXPECT_FALSE(LoadServerConfig(params)) << "empty key";

    SetDwordValue("DB Type", MsSql);
    EXPECT_FALSE(LoadServerConfig(params)) << "DB Type without DB Info";

    uint8_t encrypted[kDbInfoSize];
    EncodeDbInfo(MakeSaved("u", "p", "s", "d", 1, 0), encrypted);
    SetValue("DB Info", REG_BINARY, encrypted, sizeof encrypted);
    HKEY key = CreateServerKey();
    ASSERT_NE(nullptr, key);
    RegDeleteValueA(key, "DB Type");
    RegCloseKey(key);
    params = ClearedParams();
    EXPECT_FALSE(LoadServerConfig(params)) << "DB Info without DB Type";
}

TEST_F(ServerConfigTest, LoadRefusesValuesOver256Bytes) {
    uint8_t big[257] = {};
    SetDwordValue("DB Type", MySql);
    SetValue("DB Info", REG_BINARY, big, sizeof big);
    ConnectionParams params = ClearedParams();
    EXPECT_FALSE(LoadServerConfig(params)) << "DB Info of 257 bytes";

    SetValue("DB Info", REG_BINARY, big, 256);
    SetValue("DB Type", REG_BINARY, big, sizeof big);
    EXPECT_FALSE(LoadServerConfig(params)) << "DB Type of 257 bytes";
}

TEST_F(ServerConfigTest, ShortDbInfoDecryptsWholeBlocksAndLoads) {
    uint8_t encrypted[kDbInfoSize];
    EncodeDbInfo(MakeSaved("quen", "p4ss", "db01", "Quenlor", 1433, 1), encrypted);
    SetDwordValue("DB Type", MsSql);
    SetValue("DB Info", REG_BINARY, encrypted, 100);
    ConnectionParams params = ClearedParams();

    ASSERT_TRUE(LoadServerConfig(params));

    // Bytes 0..95 are whole blocks; port and windowsAuth lie past byte 112.
    EXPECT_STREQ("quen", params.userId);
    EXPECT_STREQ("p4ss", params.password);
    EXPECT_STREQ("db01", params.server);
    EXPECT_NE(nullptr, std::memchr(params.databaseName, '\0', sizeof params.databaseName));
    EXPECT_EQ(0, params.port);
    EXPECT_EQ(0, params.windowsAuth);
    EXPECT_EQ(1, params.valid);
}

TEST_F(ServerConfigTest, OversizedDbTypeNeverReachesErrorText) {
    uint8_t garbage[256];
    std::memset(garbage, 0xAB, sizeof garbage);
    garbage[0] = 3;
    garbage[1] = garbage[2] = garbage[3] = 0;
    SetValue("DB Type", REG_BINARY, garbage, sizeof garbage);
    uint8_t encrypted[kDbInfoSize];
    EncodeDbInfo(MakeSaved("u", "p", "orahost", "d", 1521, 0), encrypted);
    SetValue("DB Info", REG_BINARY, encrypted, sizeof encrypted);
    ConnectionParams params = ClearedParams();

    ASSERT_TRUE(LoadServerConfig(params));

    EXPECT_EQ(Oracle, params.dbType);
    EXPECT_TRUE(AllZero(params.errorText, sizeof params.errorText));
    EXPECT_STREQ("orahost", params.server);
}

TEST_F(ServerConfigTest, SaveWithoutTheKeyWritesNothing) {
    EXPECT_FALSE(SaveServerConfig(MakeSaved("u", "p", "s", "d", 1, 0), MsSql));
    EXPECT_FALSE(ServerKeyExists());
}

// On 64-bit Windows the server's key is in the 32-bit view only: the program
// writes and reads it there, and settings in the 64-bit view are not its.
TEST_F(ServerConfigTest, OnlyThe32BitViewHoldsTheServersKey) {
    if (!RegistryHasTwoViews()) {
        GTEST_SKIP() << "this registry has one view";
    }
    DeleteServerKey(k64);
    CreateEmptyKey();
    ASSERT_TRUE(SaveServerConfig(MakeSaved("u", "p", "db01", "d", 1, 0), MsSql));
    EXPECT_FALSE(ServerKeyExists(k64)) << "a key appeared in the 64-bit view";

    DeleteServerKey();
    const DWORD dbType = MsSql;
    uint8_t encrypted[kDbInfoSize];
    EncodeDbInfo(MakeSaved("u", "p", "db64", "d", 1, 0), encrypted);
    SetValue("DB Type", REG_DWORD, &dbType, sizeof dbType, k64);
    SetValue("DB Info", REG_BINARY, encrypted, sizeof encrypted, k64);
    ConnectionParams params = ClearedParams();
    EXPECT_FALSE(LoadServerConfig(params));
    char server[kTextFieldSize] = {};
    LoadSavedServerName(server);
    EXPECT_STREQ("localhost", server);
    EXPECT_FALSE(SaveServerConfig(MakeSaved("u", "p", "s", "d", 1, 0), MsSql));
    EXPECT_FALSE(ServerKeyExists());
}

TEST_F(ServerConfigTest, SaveToAKeyWeMayNotWriteWritesNothing) {
    // Keep a handle with full access, so the test can undo the restriction.
    HKEY owner = CreateServerKey();
    ASSERT_NE(nullptr, owner);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(owner, DACL_SECURITY_INFORMATION, readOnly));
    LocalFree(readOnly);

    HKEY probe = nullptr;
    const bool writable =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_WRITE | k32, &probe) == ERROR_SUCCESS;
    if (probe != nullptr) {
        RegCloseKey(probe);
    }
    bool saved = false;
    if (!writable) {
        saved = SaveServerConfig(MakeSaved("u", "p", "s", "d", 1, 0), MsSql);
    }

    PSECURITY_DESCRIPTOR open = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:P(A;;KA;;;WD)", SDDL_REVISION_1, &open, nullptr));
    RegSetKeySecurity(owner, DACL_SECURITY_INFORMATION, open);
    LocalFree(open);
    RegCloseKey(owner);

    if (writable) {
        GTEST_SKIP() << "this registry does not enforce key access rights";
    }
    EXPECT_FALSE(saved);
    EXPECT_FALSE(ReadValue("DB Type").present);
    EXPECT_FALSE(ReadValue("DB Info").present);
}

TEST_F(ServerConfigTest, SavedServerNameFallsBackToLocalhost) {
    char server[kTextFieldSize];
    std::memset(server, 'x', sizeof server);
    LoadSavedServerName(server);
    EXPECT_STREQ("localhost", server) << "no key";

    SetDwordValue("DB Type", MsSql);
    LoadSavedServerName(server);
    EXPECT_STREQ("localhost", server) << "no DB Info";

    ASSERT_TRUE(SaveServerConfig(MakeSaved("u", "p", "", "d", 1, 0), MsSql));
    LoadSavedServerName(server);
    EXPECT_STREQ("localhost", server) << "empty saved server";
}

TEST_F(ServerConfigTest, SavedServerNameIsTheSavedServer) {
    CreateEmptyKey();
    ASSERT_TRUE(SaveServerConfig(MakeSaved("u", "p", "db01\\SQLEXPRESS", "d", 1, 0), MsSql));
    char server[kTextFieldSize] = {};

    LoadSavedServerName(server);

    EXPECT_STREQ("db01\\SQLEXPRESS", server);
}

} // namespace

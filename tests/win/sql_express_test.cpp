// The installer runner and the port lookup, against the real registry of the
// Wine prefix and the fake installer built beside the tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

#include "TestSupportWin32.h"
#include "ui/SqlExpress.h"

namespace {

const char* const kInstallerArgs =
    " /qb INSTANCENAME=QNServer ADDLOCAL=ALL DISABLENETWORKPROTOCOLS=0";

std::string FakeInstaller() {
    return WindowsPath(DUNMOOR_BINARY_DIR "/fakes/installer/SqlExpr.exe");
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh scratch folder under the build, with the fake installer's log
// pointed into it and the port key removed.
class SqlExpressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = WindowsPath(DUNMOOR_BINARY_DIR "/scratch/sql_express_") + info->name();
        CreateDirectoryA(WindowsPath(DUNMOOR_BINARY_DIR "/scratch").c_str(), nullptr);
        CreateDirectoryA(dir_.c_str(), nullptr);
        log_ = dir_ + "\\SqlExpr.log";
        DeleteFileA(log_.c_str());
        SetEnvironmentVariableA("FAKE_SQLEXPR_LOG", log_.c_str());
        SetEnvironmentVariableA("FAKE_SQLEXPR_EXIT", nullptr);
        SetEnvironmentVariableA("FAKE_SQLEXPR_PORT", "none");
        RemovePortKey();
        GetCurrentDirectoryA(MAX_PATH, savedDirectory_);
    }

    void TearDown() override {
        RemovePortKey();
        SetCurrentDirectoryA(savedDirectory_);
    }

    static void RemovePortKey() {
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSqlExpressPortKey, KEY_WOW64_64KEY, 0);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSqlExpressPortKey, KEY_WOW64_32KEY, 0);
    }

    // In the process's own registry view unless another is named.
    static void SetPortValue(const char* text, REGSAM view = 0) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSqlExpressPortKey, 0, nullptr,
                                                 0, KEY_WRITE | view, nullptr, &key, nullptr));
        if (text != nullptr) {
            RegSetValueExA(key, kSqlExpressPortValue, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(text), DWORD(strlen(text) + 1));
        }
        RegCloseKey(key);
    }

    std::string Log() const { return ReadFile(log_); }

    std::string dir_;
    std::string log_;
    char savedDirectory_[MAX_PATH] = {};
};

TEST_F(SqlExpressTest, PortIsTheLeadingNumberOfTheValue) {
    SetPortValue("14330");
    EXPECT_EQ(14330, GetSqlExpressPort());
    SetPortValue("1500 dynamic");
    EXPECT_EQ(1500, GetSqlExpressPort());
}

TEST_F(SqlExpressTest, PortOfAValueWithoutDigitsIsZero) {
    SetPortValue("");
    EXPECT_EQ(0, GetSqlExpressPort());
}

TEST_F(SqlExpressTest, PortDefaultsTo1433WithoutValueOrKey) {
    EXPECT_EQ(1433, GetSqlExpressPort());
    SetPortValue(nullptr); // the key without its value
    EXPECT_EQ(1433, GetSqlExpressPort());
}

// A 64-bit instance keeps its port in the 64-bit view, a 32-bit one in the
// 32-bit view; the 64-bit view is asked first.
TEST_F(SqlExpressTest, PortIsLookedUpInThe64BitViewThenThe32BitOne) {
    SetPortValue("1501", KEY_WOW64_32KEY);
    EXPECT_EQ(1501, GetSqlExpressPort());
    if (RegistryHasTwoViews()) {
        SetPortValue(nullptr, KEY_WOW64_64KEY); // the key without its value
        EXPECT_EQ(1501, GetSqlExpressPort());
        SetPortValue("1502", KEY_WOW64_64KEY);
        EXPECT_EQ(1502, GetSqlExpressPort());
    }
}

TEST_F(SqlExpressTest, CommandLineIsTheQuotedPathSpaceAndArguments) {
    ASSERT_NE(0, RunAndWait(FakeInstaller().c_str(), kInstallerArgs));
    EXPECT_NE(std::string::npos, Log().find("commandLine=\"" + FakeInstaller() +
                                            "\"  /qb INSTANCENAME=QNServer "
                                            "ADDLOCAL=ALL DISABLENETWORKPROTOCOLS=0\n"))
        << Log();
}

TEST_F(SqlExpressTest, WaitLastsAtLeastOneSecondForAnInstantExit) {
    auto start = std::chrono::steady_clock::now();
    ASSERT_NE(0, RunAndWait(FakeInstaller().c_str(), kInstallerArgs));
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(950));
    EXPECT_NE(std::string::npos, Log().find("commandLine=")); // it did run
}

TEST_F(SqlExpressTest, WaitEndsWithTheProcessEvenForExitCode259) {
    SetEnvironmentVariableA("FAKE_SQLEXPR_EXIT", "259");
    auto start = std::chrono::steady_clock::now();
    ASSERT_NE(0, RunAndWait(FakeInstaller().c_str(), kInstallerArgs));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(SqlExpressTest, WaitFollowsAnInstallerThatRunsLonger) {
    SetEnvironmentVariableA("FAKE_SQLEXPR_SLEEP_MS", "2500");
    auto start = std::chrono::steady_clock::now();
    ASSERT_NE(0, RunAndWait(FakeInstaller().c_str(), kInstallerArgs));
    SetEnvironmentVariableA("FAKE_SQLEXPR_SLEEP_MS", nullptr);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
}

TEST_F(SqlExpressTest, MissingProgramReturnsZero) {
    std::string missing = dir_ + "\\NoSuchInstaller.exe";
    EXPECT_EQ(0, RunAndWait(missing.c_str(), kInstallerArgs));
    EXPECT_EQ(0, RunAndWait(missing.c_str(), nullptr));
}

// Without arguments the path is the application name, so a folder with a
// blank in its name needs no quoting and the child sees the path alone.
TEST_F(SqlExpressTest, WithoutArgumentsThePathIsTheApplicationName) {
    std::string spaced = dir_ + "\\with blank";
    CreateDirectoryA(spaced.c_str(), nullptr);
    std::string copy = spaced + "\\SqlExpr.exe";
    ASSERT_TRUE(CopyFileA(FakeInstaller().c_str(), copy.c_str(), FALSE));
    ASSERT_NE(0, RunAndWait(copy.c_str(), nullptr));
    std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("commandLine=")) << log;
    EXPECT_EQ(std::string::npos, log.find(kInstallerArgs + 1)) << log;
    EXPECT_NE(std::string::npos, log.find(copy)) << log;
}

// The installer runs with Support as its current directory; afterwards the
// program directory is current again, and the port it wrote is readable. The
// program directory's name holds a blank, and a program planted at that blank
// (the first thing an unquoted command line would run) never runs.
TEST_F(SqlExpressTest, InstallerRunsFromSupportAndReturnsToProgramDirectory) {
    const std::string program = dir_ + "\\a b";
    const std::string support = program + "\\Support";
    CreateDirectoryA(program.c_str(), nullptr);
    CreateDirectoryA(support.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(FakeInstaller().c_str(), (support + "\\SqlExpr.exe").c_str(), FALSE));
    const std::string planted = dir_ + "\\a.exe";
    ASSERT_TRUE(CopyFileA(FakeInstaller().c_str(), planted.c_str(), FALSE));
    SetEnvironmentVariableA("FAKE_SQLEXPR_PORT", "14999");

    RunSqlExpressInstaller(program.c_str());

    std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("program=" + support + "\\SqlExpr.exe\n")) << log;
    EXPECT_EQ(std::string::npos, log.find("program=" + planted)) << log;
    EXPECT_NE(std::string::npos, log.find("commandLine=\"" + support +
                                          "\\SqlExpr.exe\"  /qb "
                                          "INSTANCENAME=QNServer ADDLOCAL=ALL "
                                          "DISABLENETWORKPROTOCOLS=0\n"))
        << log;
    EXPECT_NE(std::string::npos, log.find("currentDirectory=" + support + "\n")) << log;
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_STRCASEEQ(program.c_str(), current);
    EXPECT_EQ(14999, GetSqlExpressPort());
}

TEST_F(SqlExpressTest, MissingInstallerStillRestoresTheProgramDirectory) {
    SetCurrentDirectoryA("C:\\");
    RunSqlExpressInstaller(dir_.c_str());
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_STRCASEEQ(dir_.c_str(), current);
    EXPECT_EQ(1433, GetSqlExpressPort());
}

} // namespace

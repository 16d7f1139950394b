// The Microsoft SQL Server sequence against the real file system of the Wine
// prefix, and once through the recording Kelvane.dll.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "db/CreationStatements.h"
#include "db/ServerHost.h"
#include "db/DbLibrary.h"

namespace {

const std::string kMssqlDir = "C:\\Program Files\\Microsoft SQL Server\\MSSQL.1\\MSSQL";
const std::string kDataDir = kMssqlDir + "\\Data";

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CreateDirectoryChain(const std::string& path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

void Touch(const std::string& path) {
    std::ofstream(path, std::ios::binary) << "leftover";
    ASSERT_TRUE(Exists(path)) << path;
}

// The files watched, and for every CREATE DATABASE whether each was there.
std::vector<std::string> g_watched;
std::vector<std::vector<bool>> g_presentAtCreate;
std::vector<int> g_results;
int g_calls = 0;

int KELVANE_CALL WatchFiles(int, const char* statement, int) {
    if (std::string(statement).rfind("CREATE DATABASE", 0) == 0) {
        std::vector<bool> present;
        for (const std::string& path : g_watched) {
            present.push_back(Exists(path));
        }
        g_presentAtCreate.push_back(present);
    }
    const size_t n = g_calls++;
    return n < g_results.size() ? g_results[n] : 0;
}

class LeftoverFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateDirectoryChain(kDataDir);
        CreateDirectoryA((kDataDir + "\\sub").c_str(), nullptr);
        g_presentAtCreate.clear();
        g_calls = 0;
        g_results = {0, -1, 0, 0}; // first CREATE refused, second accepted
        SetDbEntryPoints(nullptr, WatchFiles);
    }
    void TearDown() override {
        for (const std::string& path : g_watched) {
            DeleteFileA(path.c_str());
        }
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((kDataDir + "\\*.kept-*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more;
             more = FindNextFileA(search, &found)) {
            DeleteFileA((kDataDir + "\\" + found.cFileName).c_str());
        }
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
        }
        SetDbEntryPoints(nullptr, nullptr);
    }
    void Watch(std::vector<std::string> paths) {
        g_watched = std::move(paths);
        for (const std::string& path : g_watched) {
            Touch(path);
        }
    }
};

using Presence = std::vector<std::vector<bool>>;

// Only a server on this machine has its files on this disk. There they go
// aside, whole, under a name that says when: they may be a detached
// database's, so they are never deleted.
TEST_F(LeftoverFilesTest, BothFilesMoveAsideBetweenTheCreatesForThisMachineOnly) {
    Watch({kDataDir + "\\DunmoorLeftover.mdf", kDataDir + "\\DunmoorLeftover_log.ldf"});
    CreationOutcome outcome;
    EXPECT_EQ(CreateDatabaseObjects("DunmoorLeftover", 0, MsSql, false, false, &outcome), 1);
    EXPECT_EQ(g_presentAtCreate, (Presence{{true, true}, {true, true}})) << "another machine";
    EXPECT_EQ(outcome.keptCount, 0);
    g_presentAtCreate.clear();
    g_calls = 0;
    EXPECT_EQ(CreateDatabaseObjects("DunmoorLeftover", 0, MsSql, true, false, &outcome), 1);
    EXPECT_EQ(g_presentAtCreate, (Presence{{true, true}, {false, false}}));
    ASSERT_EQ(outcome.keptCount, 2);
    for (int i = 0; i < 2; ++i) {
        const std::string kept = outcome.kept[i];
        // "<file>.kept-YYYYMMDD-HHMMSS"
        EXPECT_EQ(kept.rfind(g_watched[i] + ".kept-", 0), 0u) << kept;
        EXPECT_EQ(kept.size(), g_watched[i].size() + 21) << kept;
        std::ifstream moved(kept, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(moved), {}), "leftover") << kept;
    }
}

// A file its server still holds cannot be moved: it stays as it is, and the
// second CREATE fails on it as it would have.
TEST_F(LeftoverFilesTest, AFileThatCannotBeMovedStays) {
    Watch({kDataDir + "\\Quenlor.mdf", kDataDir + "\\Quenlor_log.ldf"});
    const HANDLE held = CreateFileA(g_watched[0].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    g_results = {0, -1, -1, -1};
    CreationOutcome outcome;
    EXPECT_EQ(CreateDatabaseObjects("Quenlor", 1, MsSql, true, false, &outcome), 0);
    CloseHandle(held);
    EXPECT_EQ(g_presentAtCreate, (Presence{{true, true}, {true, false}, {true, false}}));
    EXPECT_EQ(outcome.keptCount, 1);
}

TEST(ServerHost, ThisMachineByAnyOfItsNamesWhateverTheInstanceOrPort) {
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof computer;
    ASSERT_TRUE(GetComputerNameA(computer, &size));
    const std::string lower = CharLowerA(computer);
    for (const std::string& local :
         {std::string(), std::string("."), std::string("(LOCAL)"),
          std::string(" localhost\\QNServer"), std::string("127.0.0.1,1433"), std::string("::1"),
          lower + "\\QNServer", lower}) {
        EXPECT_TRUE(ServerIsThisMachine(local.c_str())) << local;
    }
    for (const char* remote : {"dbhost", "10.0.0.5\\QNServer", "localhost.example.com", "x,1433"}) {
        EXPECT_FALSE(ServerIsThisMachine(remote)) << remote;
    }
}

TEST_F(LeftoverFilesTest, LaunchedWithCommandLineMovesTheDefaultNamesFiles) {
    Watch({kDataDir + "\\Quenlor.mdf", kDataDir + "\\Quenlor_log.ldf", kDataDir + "\\Other.mdf"});
    EXPECT_EQ(CreateDatabaseObjects("Other", 1, MsSql, true), 1);
    EXPECT_EQ(g_presentAtCreate, (Presence{{true, true, true}, {false, false, true}}));
}

TEST_F(LeftoverFilesTest, NameThatLeavesTheDataDirectoryMovesNothing) {
    Watch({kMssqlDir + "\\Victim.mdf", kMssqlDir + "\\Victim_log.ldf", kDataDir + "\\sub\\x.mdf"});
    for (const char* name : {"..\\Victim", "sub/x", "sub\\x"}) {
        g_presentAtCreate.clear();
        g_calls = 0;
        EXPECT_EQ(CreateDatabaseObjects(name, 0, MsSql, true), 1) << name;
        EXPECT_EQ(g_presentAtCreate, (Presence{{true, true, true}, {true, true, true}})) << name;
    }
}

int KELVANE_CALL ConnectionGone() {
    return 0;
}

// A server that went down no longer locks the files of a database still in
// its catalogue: they must stay.
TEST_F(LeftoverFilesTest, ALostConnectionMovesNothing) {
    Watch({kDataDir + "\\Quenlor.mdf", kDataDir + "\\Quenlor_log.ldf"});
    SetDbEntryPoints(nullptr, WatchFiles, ConnectionGone);
    EXPECT_EQ(CreateDatabaseObjects("Quenlor", 1, MsSql, true), 0);
    EXPECT_EQ(g_presentAtCreate, (Presence{{true, true}}));
    EXPECT_TRUE(Exists(g_watched[0]) && Exists(g_watched[1]));
}

std::string WindowsPath(std::string unixPath) {
    for (char& c : unixPath) {
        c = c == '/' ? '\\' : c;
    }
    return "Z:" + unixPath;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

TEST(RecordingLibrary, MsSqlSequenceWithTheSecondCreateSucceeding) {
    const std::string fakes = WindowsPath(DUNMOOR_BINARY_DIR "/fakes");
    ASSERT_TRUE(Exists(fakes + "\\Kelvane.dll")) << "build the target fake_kelvane first";
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string log = std::string(temp) + "creation_statements_kelvane.log";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("KELVANE_LOG", log.c_str());
    SetEnvironmentVariableA("KELVANE_RESULTS", "0,-1,0,0");

    ASSERT_EQ(LoadDbLibrary(fakes.c_str()), 1);
    // Connected, so that the library does not report the failed CREATE as a
    // lost connection.
    ConnectionParams params = {};
    ASSERT_EQ(ConnectDB(&params), 1);
    EXPECT_EQ(CreateDatabaseObjects("Quenlor", 1, MsSql, true), 1);
    SetDbEntryPoints(nullptr, nullptr);
    SetEnvironmentVariableA("KELVANE_RESULTS", nullptr);
    SetEnvironmentVariableA("KELVANE_LOG", nullptr);

    std::vector<std::string> lines = ReadLines(log);
    ASSERT_FALSE(lines.empty());
    lines.erase(lines.begin());
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "QueryExecuteDB IF EXISTS (SELECT name FROM "
                         "master.dbo.sysdatabases WHERE name = N'Quenlor') "
                         "DROP DATABASE Quenlor",
                         "QueryExecuteDB CREATE DATABASE Quenlor",
                         "QueryExecuteDB CREATE DATABASE Quenlor",
                         "QueryExecuteDB USE Quenlor",
                     }));
    DeleteFileA(log.c_str());
}

} // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/CreationStatements.h"
#include "db/DbLibrary.h"
#include "platform/Platform.h"

namespace {

using Statements = std::vector<std::string>;

Statements g_sent;
std::vector<int> g_results; // successive results, 0 after the list
bool g_connected = true;

int KELVANE_CALL IsConnected() {
    return g_connected ? 1 : 0;
}

int KELVANE_CALL RecordStatement(int first, const char* statement, int third) {
    EXPECT_EQ(first, 0);
    EXPECT_EQ(third, 0);
    const size_t n = g_sent.size();
    g_sent.emplace_back(statement);
    return n < g_results.size() ? g_results[n] : 0;
}

const std::string kMsSqlDrop = "IF EXISTS (SELECT name FROM master.dbo.sysdatabases WHERE name = "
                               "N'Quenlor') DROP DATABASE Quenlor";

class CreationStatementsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_sent.clear();
        g_results.clear();
        g_connected = true;
        SetDbEntryPoints(nullptr, RecordStatement, IsConnected);
#ifndef _WIN32
        SetProgramDirectoryForTesting("C:\\Setup");
#endif
    }
    void TearDown() override {
        SetDbEntryPoints(nullptr, nullptr);
    }

    int Create(std::vector<int> results, const char* name, int dbType, bool replacing = false) {
        g_results = std::move(results);
        return CreateDatabaseObjects(name, 0, dbType, true, replacing, &outcome_);
    }
    CreationOutcome outcome_;

    // The last-resort CREATE, with the files beside the program.
    static std::string CreateBesideProgram(const std::string& name) {
        char directory[kPathSize];
        GetProgramDirectory(directory);
        const std::string dir = directory;
        return "CREATE DATABASE " + name + " ON (NAME = '" + name + "_dat', FILENAME = '" + dir +
               "\\" + name + ".mdf') LOG ON (NAME = '" + name + "_log', FILENAME = '" + dir + "\\" +
               name + "_log.ldf')";
    }
};

// Nothing is dropped that the administrator did not choose to replace.
TEST_F(CreationStatementsTest, MySqlDropsOnlyWhenReplacing) {
    EXPECT_EQ(Create({0, 0}, "Shop", MySql), 1);
    EXPECT_EQ(g_sent, (Statements{"CREATE DATABASE Shop", "USE Shop"}));
    g_sent.clear();
    EXPECT_EQ(Create({0, 0, 0}, "Shop", MySql, true), 1);
    EXPECT_EQ(g_sent, (Statements{"DROP DATABASE Shop", "CREATE DATABASE Shop", "USE Shop"}));
}

// Replacing, a DROP the server refuses (the database in use, no right) is the
// end of the create: nothing is created over what is still there.
TEST_F(CreationStatementsTest, RefusedDropStopsAReplace) {
    EXPECT_EQ(Create({-1}, "Shop", MySql, true), 0);
    EXPECT_EQ(g_sent, (Statements{"DROP DATABASE Shop"}));
    EXPECT_TRUE(outcome_.dropRefused);
    g_sent.clear();
    outcome_ = CreationOutcome();
    EXPECT_EQ(Create({-1}, "Quenlor", MsSql, true), 0);
    EXPECT_EQ(g_sent, (Statements{kMsSqlDrop}));
    EXPECT_TRUE(outcome_.dropRefused);
}

TEST_F(CreationStatementsTest, MySqlStopsAfterAFailedCreate) {
    EXPECT_EQ(Create({-1}, "Shop", MySql), 0);
    EXPECT_EQ(g_sent, (Statements{"CREATE DATABASE Shop"}));
}

TEST_F(CreationStatementsTest, FailingUseGivesZero) {
    EXPECT_EQ(Create({0, -1}, "Shop", MySql), 0);
    EXPECT_EQ(g_sent.size(), 2u);
    g_sent.clear();
    EXPECT_EQ(Create({-1, 0, -1}, "Quenlor", MsSql), 0);
    EXPECT_EQ(g_sent, (Statements{kMsSqlDrop, "CREATE DATABASE Quenlor", "USE Quenlor"}));
}

TEST_F(CreationStatementsTest, MsSqlFirstCreateSucceeding) {
    EXPECT_EQ(Create({-1, 0, 0}, "Quenlor", MsSql), 1);
    EXPECT_EQ(g_sent, (Statements{kMsSqlDrop, "CREATE DATABASE Quenlor", "USE Quenlor"}));
}

TEST_F(CreationStatementsTest, MsSqlSecondCreateAfterTheLeftoversAreGone) {
    EXPECT_EQ(Create({0, -1, 0, 0}, "Quenlor", MsSql), 1);
    EXPECT_EQ(g_sent, (Statements{kMsSqlDrop, "CREATE DATABASE Quenlor", "CREATE DATABASE Quenlor",
                                  "USE Quenlor"}));
}

TEST_F(CreationStatementsTest, MsSqlLastResortPutsTheFilesBesideTheProgram) {
#ifndef _WIN32
    EXPECT_EQ(
        CreateBesideProgram("Quenlor"),
        "CREATE DATABASE Quenlor ON (NAME = 'Quenlor_dat', FILENAME = 'C:\\Setup\\Quenlor.mdf') "
        "LOG ON (NAME = 'Quenlor_log', FILENAME = 'C:\\Setup\\Quenlor_log.ldf')");
#endif
    EXPECT_EQ(Create({0, -1, -1, 0, 0}, "Quenlor", MsSql), 1);
    EXPECT_EQ(g_sent, (Statements{kMsSqlDrop, "CREATE DATABASE Quenlor", "CREATE DATABASE Quenlor",
                                  CreateBesideProgram("Quenlor"), "USE Quenlor"}));
}

TEST_F(CreationStatementsTest, MsSqlEveryAttemptFailingSendsNoUse) {
    EXPECT_EQ(Create({0, -1, -1, -1}, "Quenlor", MsSql), 0);
    EXPECT_EQ(g_sent, (Statements{kMsSqlDrop, "CREATE DATABASE Quenlor", "CREATE DATABASE Quenlor",
                                  CreateBesideProgram("Quenlor")}));
}

// An identifier goes in as it is; every literal keeps its quotes doubled, the
// program directory's path among them.
TEST_F(CreationStatementsTest, LiteralsCarryTheirQuotesDoubled) {
    EXPECT_EQ(Create({}, "a b'c", MySql), 1);
    EXPECT_EQ(g_sent[0], "CREATE DATABASE a b'c");
#ifndef _WIN32
    SetProgramDirectoryForTesting("C:\\Users\\O'Hara\\setup");
    g_sent.clear();
    EXPECT_EQ(Create({0, -1, -1, 0, 0}, "Quenlor", MsSql), 1);
    EXPECT_EQ(g_sent[3], "CREATE DATABASE Quenlor ON (NAME = 'Quenlor_dat', FILENAME = "
                         "'C:\\Users\\O''Hara\\setup\\Quenlor.mdf') LOG ON (NAME = 'Quenlor_log', "
                         "FILENAME = 'C:\\Users\\O''Hara\\setup\\Quenlor_log.ldf')");
#endif
    char out[8];
    EXPECT_FALSE(QuoteLiteral("''''", out, sizeof out)) << "never cut";
    EXPECT_STREQ(out, "");
}

TEST_F(CreationStatementsTest, UnsafeNameStillTriesEveryCreate) {
    EXPECT_EQ(Create({0, -1, -1, 0, 0}, "..\\x", MsSql), 1);
    EXPECT_EQ(g_sent.size(), 5u);
    EXPECT_EQ(g_sent[2], "CREATE DATABASE ..\\x");
}

TEST_F(CreationStatementsTest, StatementThatWouldNotFitIsNeverSentCut) {
    const std::string longName(1100, 'n');
    EXPECT_EQ(Create({}, longName.c_str(), MySql, true), 0);
    EXPECT_TRUE(g_sent.empty());
    // Fits the statement but not the 260-byte file paths: no last resort.
    const std::string name(250, 'm');
    EXPECT_EQ(Create({0, -1, -1}, name.c_str(), MsSql), 0);
    EXPECT_EQ(g_sent.size(), 3u);
}

TEST_F(CreationStatementsTest, OracleAndUnknownEnginesSendNothing) {
    EXPECT_EQ(CreateDatabaseObjects("Quenlor", 1, Oracle, true), 1);
    // No caller passes another engine; such a call creates nothing.
    EXPECT_EQ(CreateDatabaseObjects("Quenlor", 1, 0, true), 0);
    EXPECT_EQ(CreateDatabaseObjects("Quenlor", 1, 4, true), 0);
    EXPECT_TRUE(g_sent.empty());
}

// Each engine's check fails only when the database is there; a failure is
// "exists" unless the library says the connection went.
TEST_F(CreationStatementsTest, ExistenceCheckPerEngine) {
    const DbType engines[] = {MySql, MsSql, Oracle};
    for (DbType engine : engines) {
        g_sent.clear();
        g_results = {0, -1, -1};
        EXPECT_EQ(ProbeDatabase("Shop", engine), DatabaseProbe::Absent) << engine;
        EXPECT_EQ(ProbeDatabase("Shop", engine), DatabaseProbe::Exists) << engine;
        g_connected = false;
        EXPECT_EQ(ProbeDatabase("Shop", engine), DatabaseProbe::ConnectionLost) << engine;
        g_connected = true;
        ASSERT_EQ(g_sent.size(), 3u);
        EXPECT_EQ(g_sent[0], g_sent[2]);
    }
    EXPECT_NE(g_sent[0].find("user_tables"), std::string::npos) << "Oracle: the user's tables";
    g_sent.clear();
    EXPECT_EQ(ProbeDatabase("Shop", 4), DatabaseProbe::Absent);
    EXPECT_TRUE(g_sent.empty());
}

// A lost connection stops the sequence at the statement that found it: no
// further CREATE, and (before the second MS SQL CREATE) no file deletion.
TEST_F(CreationStatementsTest, LostConnectionStopsTheSequenceAtOnce) {
    g_connected = false;
    EXPECT_EQ(Create({-1}, "Shop", MySql, true), 0);
    EXPECT_EQ(g_sent, (Statements{"DROP DATABASE Shop"}));
    EXPECT_FALSE(outcome_.dropRefused) << "lost, not refused";
    g_sent.clear();
    EXPECT_EQ(Create({0, -1}, "Quenlor", MsSql), 0);
    EXPECT_EQ(g_sent, (Statements{kMsSqlDrop, "CREATE DATABASE Quenlor"}));
}

} // namespace

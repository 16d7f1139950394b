// Faults of the database library as the portable core meets them: no library,
// a library without QueryExecuteDB, and a library whose second connection in
// one process fails. None may call through a null entry point or report a
// connection that does not exist.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/BoundedCopy.h"
#include "db/CreationStatements.h"
#include "db/DbLibrary.h"
#include "db/ScriptRunner.h"

namespace {

int g_connectCalls = 0;
std::vector<int> g_connectResults;
std::vector<std::string> g_sent;

int KELVANE_CALL ScriptedConnect(ConnectionParams* params) {
    const size_t n = static_cast<size_t>(g_connectCalls++);
    const int result = n < g_connectResults.size() ? g_connectResults[n] : 1;
    if (result == 0) {
        CopyField(params->errorText, "[08001] server refused the second connection");
    }
    return result;
}

int KELVANE_CALL RecordStatement(int, const char* statement, int) {
    g_sent.emplace_back(statement);
    return 0;
}

// A record as a workflow hands it over, with the error text not yet cut.
ConnectionParams Record() {
    ConnectionParams params = {};
    params.dbType = MsSql;
    CopyField(params.server, "db01");
    std::memset(params.errorText, 'x', sizeof params.errorText);
    return params;
}

bool ErrorTextIsTerminatedAndSaysSomething(const ConnectionParams& params) {
    return std::memchr(params.errorText, '\0', sizeof params.errorText) != nullptr &&
           params.errorText[0] != '\0';
}

class LibraryFault : public ::testing::Test {
  protected:
    void SetUp() override {
        g_connectCalls = 0;
        g_connectResults.clear();
        g_sent.clear();
        script_ = (std::filesystem::temp_directory_path() / "dunmoor-fault-library.sql").string();
        std::ofstream(script_, std::ios::binary) << "create table t (a int)\nGO\n";
    }
    void TearDown() override {
        SetDbEntryPoints(nullptr, nullptr);
        std::remove(script_.c_str());
    }
    std::string script_;
};

TEST_F(LibraryFault, MissingLibraryIsANamedConnectionFailureAndRunsNothing) {
    SetDbEntryPoints(nullptr, nullptr);
    ConnectionParams params = Record();

    EXPECT_EQ(0, ConnectDB(&params));
    EXPECT_TRUE(ErrorTextIsTerminatedAndSaysSomething(params)) << params.errorText;
    EXPECT_EQ(kNotConnected, QueryExecuteDB(0, "select 1", 0));
    EXPECT_EQ(0, CreateDatabaseObjects("Quenlor", 1, MySql, true));
    // The runner still reads the file to its end; there is nothing to call.
    EXPECT_EQ(1, RunScript(script_.c_str(), nullptr, CountBatches(script_.c_str())));
}

TEST_F(LibraryFault, LibraryWithoutQueryExecuteIsRefusedBeforeItConnects) {
    SetDbEntryPoints(ScriptedConnect, nullptr);
    ConnectionParams params = Record();

    EXPECT_EQ(0, ConnectDB(&params));
    EXPECT_EQ(0, g_connectCalls);
    EXPECT_TRUE(ErrorTextIsTerminatedAndSaysSomething(params)) << params.errorText;
    EXPECT_EQ(kNotConnected, QueryExecuteDB(0, "select 1", 0));
}

TEST_F(LibraryFault, SecondConnectionFailingInOneProcessIsReportedAsAFailure) {
    SetDbEntryPoints(ScriptedConnect, RecordStatement);
    g_connectResults = {1, 0};
    ConnectionParams first = Record();
    ConnectionParams second = Record();

    EXPECT_EQ(1, ConnectDB(&first));
    EXPECT_EQ(1, RunScript(script_.c_str(), nullptr, CountBatches(script_.c_str())));
    EXPECT_EQ(0, ConnectDB(&second));

    EXPECT_EQ(2, g_connectCalls);
    EXPECT_EQ(1u, g_sent.size());
    EXPECT_STREQ("[08001] server refused the second connection", second.errorText);
}

} // namespace

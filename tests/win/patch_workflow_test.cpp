// Bringing an existing database up to date through the recording library.
#include <windows.h>

#include <cstring>

#include "TestSupportWorkflowsWin32.h"
#include "db/DbLibrary.h"
#include "db/Workflows.h"

namespace {

using Strings = std::vector<std::string>;

class PatchWorkflow : public WorkflowTest {};

TEST_F(PatchWorkflow, MsSqlSelectsTheEffectiveDatabaseFirst) {
    CopySealed("QuenlorPatch");
    const ConnectionParams params = Connection(MsSql, "Sales");

    ASSERT_EQ(PatchDatabase(1, params, &bar_), 1);
    Strings statements = Statements();
    ASSERT_EQ(statements.size(), 1u + SourceBatches("QuenlorPatch"));
    EXPECT_EQ(statements[0], "use Quenlor");
    EXPECT_EQ(bar_.positions.back(), 100);
    EXPECT_FALSE(Exists("QuenlorPatch.dat"));
    EXPECT_TRUE(Exists("QuenlorPatchEn.dat"));

    CopySealed("QuenlorPatch");
    ASSERT_EQ(PatchDatabase(0, params, &bar_), 1);
    statements = Statements();
    EXPECT_EQ(statements[1 + SourceBatches("QuenlorPatch")], "use Sales");
}

TEST_F(PatchWorkflow, MySqlConnectsWithTheSavedRecordAndRunsThePatchAtOnce) {
    CopySealed("QuenlorPatchMySQL");
    const ConnectionParams params = Connection(MySql, "Sales");

    ASSERT_EQ(PatchDatabase(0, params, &bar_), 1);
    const Strings calls = Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "ConnectDB dbType=1 server=dbhost userId=quenlor password=s3cret "
                        "databaseName=Sales port=3306 windowsAuth=0 valid=1");
    EXPECT_EQ(calls[1].rfind("QueryExecuteDB -- Patch", 0), 0u) << calls[1];
    EXPECT_EQ(Statements().size(), static_cast<size_t>(SourceBatches("QuenlorPatchMySQL")));
    EXPECT_FALSE(Exists("QuenlorPatchMySQL.dat"));
    EXPECT_FALSE(RegistryHas("DB Info")) << "a patch never writes the settings";
}

TEST_F(PatchWorkflow, FailedConnectionRunsNothing) {
    CopySealed("QuenlorPatch");
    SetEnvironmentVariableA("KELVANE_CONNECT", "0");
    EXPECT_EQ(PatchDatabase(0, Connection(MsSql, "Quenlor"), &bar_), 0);
    EXPECT_EQ(Calls().size(), 1u);
    EXPECT_FALSE(Exists("QuenlorPatch.dat"));
    EXPECT_TRUE(DebugOutput().empty());
}

TEST_F(PatchWorkflow, RefusedUseStopsBeforeTheScript) {
    CopySealed("QuenlorPatch");
    SetEnvironmentVariableA("KELVANE_RESULTS", "-1");
    EXPECT_EQ(PatchDatabase(0, Connection(MsSql, "Quenlor"), &bar_), 0);
    EXPECT_EQ(Statements(), Strings{"use Quenlor"});
    EXPECT_FALSE(Exists("QuenlorPatch.dat"));
}

// Missing, or damaged (bytes that decrypt, but to no script): nothing runs.
TEST_F(PatchWorkflow, MissingOrDamagedPatchScriptFails) {
    EXPECT_EQ(PatchDatabase(0, Connection(MsSql, "Quenlor"), &bar_), 0);
    EXPECT_EQ(Statements(), Strings{"use Quenlor"});
    EXPECT_EQ(PatchDatabase(0, Connection(Oracle, "Quenlor"), &bar_), 0);
    WritePlain("QuenlorPatchOracleEn.dat", std::string(4096, '\x5a'));
    EXPECT_EQ(PatchDatabase(0, Connection(Oracle, "Quenlor"), &bar_), 0);
    EXPECT_EQ(Statements(), Strings{"use Quenlor"});
    EXPECT_FALSE(Exists("QuenlorPatchOracle.dat"));
}

TEST_F(PatchWorkflow, PlainPatchWithoutItsEncryptedFileRunsAndIsDeleted) {
    WritePlain("QuenlorPatchOracle.dat", "ALTER TABLE t ADD (c NUMBER)\r\nGO\r\n");
    EXPECT_EQ(PatchDatabase(0, Connection(Oracle, "Quenlor"), &bar_), 1);
    EXPECT_EQ(Statements(), Strings{"ALTER TABLE t ADD (c NUMBER)\\r\\n "});
    EXPECT_FALSE(Exists("QuenlorPatchOracle.dat"));
}

TEST_F(PatchWorkflow, UnknownEngineConnectsThenSucceedsWithNothingRun) {
    CopySealed("QuenlorPatch");
    EXPECT_EQ(PatchDatabase(0, Connection(7, "Quenlor"), &bar_), 1);
    EXPECT_EQ(Calls().size(), 1u);
}

// The server goes away after the patch's first batch: the run stops at the
// second, and the patch fails (the main dialog then offers a create).
TEST_F(PatchWorkflow, ConnectionLostMidPatchStopsTheRunAndFails) {
    CopySealed("QuenlorPatch");
    SetEnvironmentVariableA("KELVANE_LOST_AFTER", "2"); // "use" and one batch
    EXPECT_EQ(PatchDatabase(0, Connection(MsSql, "Quenlor"), &bar_), 0);
    EXPECT_EQ(Statements().size(), 3u);
    EXPECT_FALSE(Exists("QuenlorPatch.dat"));

    CopySealed("QuenlorPatchMySQL");
    SetEnvironmentVariableA("KELVANE_LOST_AFTER", "4");
    EXPECT_EQ(PatchDatabase(0, Connection(MySql, "Quenlor"), &bar_), 0);
    EXPECT_EQ(Statements().size(), 5u);
    EXPECT_FALSE(Exists("QuenlorPatchMySQL.dat"));
    EXPECT_NE(DebugOutput().find("connection lost after batch 2"), std::string::npos);
}

TEST_F(PatchWorkflow, WithoutALibraryFailsSilently) {
    CopySealed("QuenlorPatchMySQL");
    SetDbEntryPoints(nullptr, nullptr);
    EXPECT_EQ(PatchDatabase(0, Connection(MySql, "Quenlor"), &bar_), 0);
    EXPECT_FALSE(Exists("QuenlorPatchMySQL.dat"));
}

} // namespace

// Provisioning a new database through the recording library, in a program
// directory holding the sealed sample scripts.
#include <windows.h>

#include <sddl.h>

#include <cstring>
#include <fstream>
#include <string>

#include "TestSupportWin32.h"
#include "TestSupportWorkflowsWin32.h"
#include "common/BoundedCopy.h"
#include "config/ServerConfig.h"
#include "db/DbLibrary.h"
#include "db/MessageBox.h"
#include "db/Workflows.h"

namespace {

using Strings = std::vector<std::string>;
using Ids = std::vector<unsigned>;

class CreateWorkflow : public WorkflowTest {
  protected:
    CreateResult Create(int launched, ConnectionParams& params, int dbType,
                        ExistingDatabase existing = ExistingDatabase::Ask) {
        return CreateDatabase(launched, params, &bar_, dbType, existing);
    }
    void CopyAllScripts() {
        for (const char* name : {"Quenlor", "QuenlorMySQL", "QuenlorOracle", "Init"}) {
            CopySealed(name);
        }
    }
};

// What a library of the test's own sees of the plain schema during its run.
std::string g_plainPath;
DWORD g_unsharedDeleteOpen = 0;
std::string g_plainDacl;
bool g_daclProtected = false;

int KELVANE_CALL ConnectAlways(ConnectionParams*) {
    return 1;
}

int KELVANE_CALL InspectPlainScript(int, const char*, int) {
    if (!g_plainDacl.empty() || !FileExists(g_plainPath)) {
        return 0;
    }
    HANDLE file = CreateFileA(g_plainPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    g_unsharedDeleteOpen = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    CloseHandle(file);
    alignas(8) BYTE descriptor[1024];
    DWORD size = 0;
    char* text = nullptr;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (GetFileSecurityA(g_plainPath.c_str(), DACL_SECURITY_INFORMATION, descriptor,
                         sizeof descriptor, &size) &&
        GetSecurityDescriptorControl(descriptor, &control, &revision) &&
        ConvertSecurityDescriptorToStringSecurityDescriptorA(
            descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
        g_daclProtected = (control & SE_DACL_PROTECTED) != 0;
        g_plainDacl = text;
        LocalFree(text);
    }
    return 0;
}

// First in this file: the restriction that could not be applied is reported
// once per process.
TEST_F(CreateWorkflow, PlainScriptIsHeldAndForAdministratorsOnlyDuringItsRun) {
    CopyAllScripts();
    g_plainPath = dir_ + "\\QuenlorMySQL.dat";
    SetDbEntryPoints(ConnectAlways, InspectPlainScript);
    ConnectionParams params = Connection(MySql, "Quenlor");

    ASSERT_EQ(Create(0, params, MySql), CreateResult::Created);

    EXPECT_FALSE(Exists("QuenlorMySQL.dat"));
    EXPECT_EQ(g_unsharedDeleteOpen, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    ASSERT_FALSE(g_plainDacl.empty()) << "the plain schema's descriptor was not read";
    for (const char* others : {";WD)", ";BU)", ";AU)"}) {
        EXPECT_EQ(g_plainDacl.find(others), std::string::npos) << g_plainDacl;
    }
    if (!g_daclProtected) {
        EXPECT_NE(DebugOutput().find("restriction could not be applied"), std::string::npos);
        GTEST_SKIP() << "this file system keeps no security descriptor; read back: " << g_plainDacl;
    }
    EXPECT_EQ(g_plainDacl.rfind("D:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;FA;;;S-1-5-", 0), 0u)
        << g_plainDacl;
}

TEST_F(CreateWorkflow, RunsSchemaThenInitialDataAndSavesTheEffectiveName) {
    CopyAllScripts();
    ConnectionParams params = Connection(MySql, "Sales");

    ASSERT_EQ(Create(1, params, MySql, ExistingDatabase::Keep), CreateResult::Created);

    // The server is reached without a database; the caller's name comes back.
    const Strings calls = Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], "ConnectDB dbType=1 server=dbhost userId=quenlor password=s3cret "
                        "databaseName= port=3306 windowsAuth=0 valid=1");
    EXPECT_STREQ(params.databaseName, "Sales");

    // Launched with switches, the database is always the default one.
    const Strings statements = Statements();
    const int schema = SourceBatches("QuenlorMySQL");
    const int init = SourceBatches("Init");
    ASSERT_GT(schema, 5);
    ASSERT_GT(init, 0);
    ASSERT_EQ(statements.size(), 3u + schema + init);
    // The existence check first: the recording library's success means
    // absent, so nothing is dropped.
    EXPECT_EQ(statements[0], "SELECT (SELECT 'exists' UNION ALL SELECT SCHEMA_NAME) FROM "
                             "information_schema.SCHEMATA WHERE SCHEMA_NAME = 'Quenlor'");
    EXPECT_EQ(statements[1], "CREATE DATABASE Quenlor");
    EXPECT_EQ(statements[2], "USE Quenlor");
    EXPECT_EQ(statements[3].rfind("-- ", 0), 0u) << "the schema's first batch: " << statements[3];
    EXPECT_NE(statements[3].find("CREATE TABLE"), std::string::npos);
    EXPECT_NE(statements[3 + schema].find("INSERT"), std::string::npos);

    // Only the schema moves the bar, up to its end.
    ASSERT_EQ(bar_.positions.size(), static_cast<size_t>(schema));
    EXPECT_EQ(bar_.positions.back(), 100);

    EXPECT_FALSE(Exists("QuenlorMySQL.dat"));
    EXPECT_FALSE(Exists("Init.dat"));
    EXPECT_TRUE(Exists("QuenlorMySQLEn.dat"));
    EXPECT_TRUE(Exists("InitEn.dat"));
    EXPECT_EQ(Messages(), Ids{});

    ConnectionParams loaded;
    memset(&loaded, 0, sizeof loaded);
    ASSERT_TRUE(LoadServerConfig(loaded));
    EXPECT_EQ(loaded.dbType, MySql);
    EXPECT_STREQ(loaded.databaseName, "Quenlor");
    EXPECT_STREQ(loaded.server, "dbhost");
    EXPECT_STREQ(loaded.userId, "quenlor");
    EXPECT_STREQ(loaded.password, "s3cret");
    EXPECT_EQ(loaded.port, 3306);
}

TEST_F(CreateWorkflow, InteractiveRunUsesTheTypedNameOnMsSql) {
    CopyAllScripts();
    ConnectionParams params = Connection(MsSql, "Sales");
    ASSERT_EQ(Create(0, params, MsSql), CreateResult::Created);
    const Strings statements = Statements();
    ASSERT_GE(statements.size(), 4u);
    EXPECT_EQ(statements[0], "IF EXISTS (SELECT name FROM master.dbo.sysdatabases WHERE name = "
                             "N'Sales') RAISERROR('Dunmoor: the database already exists', 16, 1)");
    EXPECT_EQ(statements[2], "CREATE DATABASE Sales");
    EXPECT_EQ(statements[3], "USE Sales");
    ConnectionParams loaded;
    memset(&loaded, 0, sizeof loaded);
    ASSERT_TRUE(LoadServerConfig(loaded));
    EXPECT_EQ(loaded.dbType, MsSql);
    EXPECT_STREQ(loaded.databaseName, "Sales");
}

TEST_F(CreateWorkflow, UnreachableServerShowsString102AndTellsTheDebugger) {
    CopyAllScripts();
    SetEnvironmentVariableA("KELVANE_CONNECT", "0");
    ConnectionParams params = Connection(MsSql, "Sales");

    EXPECT_EQ(Create(0, params, MsSql), CreateResult::Failed);

    EXPECT_EQ(Messages(), Ids{kStrServerUnreachable});
    EXPECT_NE(DebugOutput().find("recorded connection refused"), std::string::npos);
    EXPECT_EQ(Calls().size(), 1u);
    EXPECT_STREQ(params.databaseName, "Sales");
    EXPECT_FALSE(Exists("Quenlor.dat"));
    EXPECT_FALSE(RegistryHas("DB Info"));
}

TEST_F(CreateWorkflow, FailedCreationShowsString103AndRunsNoScript) {
    CopyAllScripts();
    SetEnvironmentVariableA("KELVANE_RESULTS", "0,-1");
    ConnectionParams params = Connection(MySql, "Quenlor");

    EXPECT_EQ(Create(0, params, MySql), CreateResult::Failed);

    EXPECT_EQ(Messages(), Ids{kStrCreateFailed});
    EXPECT_EQ(Statements().size(), 2u) << "the check and the CREATE refused";
    EXPECT_EQ(Statements().back(), "CREATE DATABASE Quenlor");
    EXPECT_FALSE(Exists("QuenlorMySQL.dat"));
    EXPECT_FALSE(RegistryHas("DB Info"));
}

// The check fails: the database is there. It is dropped only after a yes or
// with /replace; otherwise nothing follows the check and nothing is saved.
TEST_F(CreateWorkflow, AnExistingDatabaseIsReplacedOnlyAfterAYesOrWithReplace) {
    CopyAllScripts();
    SetEnvironmentVariableA("KELVANE_RESULTS", "-1,-1,-1");
    ConnectionParams params = Connection(MsSql, "Sales");
    EXPECT_EQ(Create(0, params, MsSql), CreateResult::KeptExisting);
    EXPECT_EQ(Messages(), (Ids{kStrReplaceQuestion, kStrKeepQuestion})) << "No, then No";
    EXPECT_EQ(BoxInserted(), "Sales|dbhost");
    EXPECT_EQ(Create(1, params, MsSql, ExistingDatabase::Keep), CreateResult::KeptExisting);
    EXPECT_EQ(Messages(), (Ids{kStrReplaceQuestion, kStrKeepQuestion, kStrDatabaseKept}));
    EXPECT_NE(DebugOutput().find("Quenlor already exists on dbhost"), std::string::npos);
    EXPECT_EQ(Statements().size(), 2u) << "nothing but the two checks";
    EXPECT_FALSE(RegistryHas("DB Info"));

    EXPECT_EQ(Create(1, params, MsSql, ExistingDatabase::Replace), CreateResult::Created);
    const size_t replaced = Statements().size();
    EXPECT_EQ(Statements()[4], "CREATE DATABASE Quenlor") << "after the third check and the drop";
    std::string results(replaced, ','); // only the next check fails
    SetEnvironmentVariableA("KELVANE_RESULTS", (results + "-1").c_str());
    AnswerQuestions(true);
    EXPECT_EQ(Create(0, params, MsSql), CreateResult::Created);
    EXPECT_EQ(Statements()[replaced + 2], "CREATE DATABASE Sales");
    EXPECT_TRUE(RegistryHas("DB Info"));
}

// Everything the create needs is there before it sends its first statement:
// a missing or undecryptable script, or a key that cannot be written, stops
// it with a box naming what is missing, and nothing is sent or saved. A
// plain file lying under a script's name does not stand in for it.
TEST_F(CreateWorkflow, NothingIsSentUntilTheScriptsAndTheKeyAreReady) {
    CopySealed("Init");
    WritePlain("QuenlorOracle.dat", "CREATE TABLE a (x NUMBER)\r\nGO\r\n");
    for (int dbType : {MsSql, Oracle}) {
        ConnectionParams params = Connection(dbType, "Quenlor");
        EXPECT_EQ(Create(0, params, dbType), CreateResult::NotReady);
    }
    EXPECT_EQ(Messages(), (Ids{kStrScriptNotReady, kStrScriptNotReady}));
    EXPECT_EQ(BoxInserted(), "QuenlorOracleEn.dat|");

    DeleteFileA((dir_ + "\\InitEn.dat").c_str());
    CopySealed("QuenlorMySQL");
    ConnectionParams mySql = Connection(MySql, "Quenlor");
    EXPECT_EQ(Create(0, mySql, MySql), CreateResult::NotReady);
    EXPECT_EQ(BoxInserted(), "InitEn.dat|");

    // Bytes that decrypt, but to no script: damaged, and refused as such.
    CopySealed("Init");
    std::ifstream sealed(dir_ + "\\QuenlorMySQLEn.dat", std::ios::binary | std::ios::ate);
    std::string noise(static_cast<size_t>(sealed.tellg()), '\0');
    for (size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    std::ofstream(dir_ + "\\QuenlorMySQLEn.dat", std::ios::binary) << noise;
    EXPECT_EQ(Create(0, mySql, MySql), CreateResult::NotReady);
    EXPECT_EQ(Messages().back(), kStrScriptDamaged);
    EXPECT_EQ(BoxInserted(), "QuenlorMySQLEn.dat|");

    CopySealed("QuenlorMySQL");
    RemoveServerKey();
    EXPECT_EQ(Create(0, mySql, MySql), CreateResult::NotReady);
    EXPECT_EQ(Messages().back(), kStrKeyNotWritable);
    EXPECT_NE(DebugOutput().find("Quenlor Server (32-bit registry view) cannot be written"),
              std::string::npos);

    EXPECT_EQ(Calls(), Strings{}) << "not even a connection";
    EXPECT_FALSE(Exists("QuenlorMySQL.dat"));
    EXPECT_FALSE(Exists("Init.dat"));
    EXPECT_TRUE(Exists("QuenlorOracle.dat")) << "a file the create did not make is not its own";
}

// Names go into the statements unquoted: one that would need quoting, or
// would end the statement, is refused before anything is sent. The letters
// of the code page are letters.
TEST_F(CreateWorkflow, ANameTheStatementsCannotCarryIsRefused) {
    CopyAllScripts();
    for (const char* name : {"`quenlor-prod`", "a;DROP DATABASE b", "1st", "", "Quenlor x"}) {
        ConnectionParams params = Connection(MySql, name);
        EXPECT_EQ(Create(0, params, MySql), CreateResult::NotReady) << name;
    }
    EXPECT_EQ(Messages(), Ids(5, kStrNameRefused));
    EXPECT_EQ(Calls(), Strings{});
    ConnectionParams params = Connection(MySql, "_Rakt\xe1r_2");
    EXPECT_EQ(Create(0, params, MySql), CreateResult::Created);
}

// The database is there, but the Quenlor server would not find it: a
// failure, with the key, its view and the reason reported. (The key went
// after the checks, while the scripts ran.)
int KELVANE_CALL RemoveKeyMidRun(int, const char* statement, int) {
    if (strncmp(statement, "USE ", 4) == 0) {
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kServerKey, KEY_WOW64_32KEY, 0);
    }
    return 0;
}

TEST_F(CreateWorkflow, SettingsThatCannotBeSavedFailTheCreate) {
    CopyAllScripts();
    SetDbEntryPoints(ConnectAlways, RemoveKeyMidRun);
    ConnectionParams params = Connection(MySql, "Quenlor");
    EXPECT_EQ(Create(0, params, MySql), CreateResult::SettingsNotSaved);
    EXPECT_EQ(Messages(), Ids{kStrSettingsNotSaved});
    EXPECT_NE(DebugOutput().find("Settings not saved: HKEY_LOCAL_MACHINE\\Software\\Moravel\\"
                                 "Quenlor Server (32-bit registry view), the key itself"),
              std::string::npos)
        << DebugOutput();
}

TEST_F(CreateWorkflow, WithoutALibraryTakesTheConnectionFailurePath) {
    CopyAllScripts();
    SetDbEntryPoints(nullptr, nullptr);
    ConnectionParams params = Connection(MsSql, "Quenlor");
    EXPECT_EQ(Create(0, params, MsSql), CreateResult::Failed);
    EXPECT_EQ(Messages(), Ids{kStrServerUnreachable});
    EXPECT_FALSE(DebugOutput().empty());
    EXPECT_FALSE(Exists("Quenlor.dat"));
}

TEST_F(CreateWorkflow, SecondConnectionRefusedLeavesTheFirstSettings) {
    CopyAllScripts();
    SetEnvironmentVariableA("KELVANE_CONNECT", "1,0");
    ConnectionParams first = Connection(MySql, "Sales");
    ASSERT_EQ(Create(0, first, MySql), CreateResult::Created);

    CopyAllScripts();
    ConnectionParams second = Connection(MySql, "Other");
    strcpy(second.server, "elsewhere");
    EXPECT_EQ(Create(0, second, MySql), CreateResult::Failed);

    EXPECT_EQ(Messages(), Ids{kStrServerUnreachable});
    EXPECT_FALSE(Exists("QuenlorMySQL.dat"));
    ConnectionParams loaded;
    memset(&loaded, 0, sizeof loaded);
    ASSERT_TRUE(LoadServerConfig(loaded));
    EXPECT_STREQ(loaded.server, "dbhost");
    EXPECT_STREQ(loaded.databaseName, "Sales");
}

TEST_F(CreateWorkflow, LibraryWithoutQueryExecuteIsNeverUsed) {
    CopyAllScripts();
    ASSERT_TRUE(CopyTo(BinaryDir() + "\\fakes\\partial\\Kelvane.dll", dir_ + "\\partial.dll"));
    const std::string partialDir = dir_ + "\\partial";
    CreateDirectoryA(partialDir.c_str(), nullptr);
    ASSERT_TRUE(
        MoveFileA((dir_ + "\\partial.dll").c_str(), (partialDir + "\\Kelvane.dll").c_str()));
    EXPECT_EQ(LoadDbLibrary(partialDir.c_str()), 0);

    ConnectionParams params = Connection(MsSql, "Quenlor");
    EXPECT_EQ(Create(0, params, MsSql), CreateResult::Failed);
    EXPECT_EQ(Messages(), Ids{kStrServerUnreachable});
    EXPECT_FALSE(Exists("Quenlor.dat"));
    EXPECT_FALSE(RegistryHas("DB Info"));
}

// The server goes away mid-script: the run stops at the batch that failed,
// and the create fails as when its script cannot run, with nothing plain left
// and nothing saved. MS SQL loses it in the schema, MySQL in the initial data.
TEST_F(CreateWorkflow, ConnectionLostMidScriptStopsTheRunAndSavesNothing) {
    CopyAllScripts();
    // The check, three creation statements and the schema's first batch,
    // then the loss.
    SetEnvironmentVariableA("KELVANE_LOST_AFTER", "5");
    ConnectionParams msSql = Connection(MsSql, "Quenlor");
    EXPECT_EQ(Create(0, msSql, MsSql), CreateResult::Failed);
    EXPECT_EQ(Messages(), Ids{kStrServerUnreachable});
    EXPECT_EQ(Statements().size(), 6u) << "nothing is sent after the failed batch";
    EXPECT_NE(DebugOutput().find("connection lost after batch 2"), std::string::npos);
    EXPECT_FALSE(Exists("Quenlor.dat"));

    // A new connection for the next run; it goes after the first initial batch.
    const size_t before = Statements().size() + 3 + SourceBatches("QuenlorMySQL");
    SetEnvironmentVariableA("KELVANE_LOST_AFTER", std::to_string(before + 1).c_str());
    ConnectionParams mySql = Connection(MySql, "Quenlor");
    EXPECT_EQ(Create(0, mySql, MySql), CreateResult::Failed);
    EXPECT_EQ(Messages(), Ids{kStrServerUnreachable}) << "no box of its own on MySQL";
    EXPECT_EQ(Statements().size(), before + 2);
    EXPECT_FALSE(Exists("QuenlorMySQL.dat"));
    EXPECT_FALSE(Exists("Init.dat"));
    EXPECT_FALSE(RegistryHas("DB Type"));
    EXPECT_FALSE(RegistryHas("DB Info"));
}

// The plain file cannot be written (its name is taken by a directory): the
// create stops before it sends anything, and the encrypted file stays intact.
TEST_F(CreateWorkflow, PlainScriptThatCannotBeWrittenStopsTheCreateBeforeItStarts) {
    CopyAllScripts();
    ASSERT_TRUE(CreateDirectoryA((dir_ + "\\QuenlorMySQL.dat").c_str(), nullptr));
    const std::string sealed = ReadWholeFile(dir_ + "\\QuenlorMySQLEn.dat");
    ConnectionParams params = Connection(MySql, "Quenlor");

    EXPECT_EQ(Create(0, params, MySql), CreateResult::NotReady);

    EXPECT_EQ(Messages(), Ids{kStrScriptNotReady});
    EXPECT_EQ(Calls(), Strings{});
    EXPECT_EQ(ReadWholeFile(dir_ + "\\QuenlorMySQLEn.dat"), sealed);
    EXPECT_FALSE(RegistryHas("DB Info"));
}

// Oracle drops nothing: a schema that already holds tables is reported, never
// replaced, and nothing more is sent; it can only be kept, and patched.
TEST_F(CreateWorkflow, AnOracleSchemaWithTablesIsNeverReplaced) {
    CopyAllScripts();
    SetEnvironmentVariableA("KELVANE_RESULTS", "-1,-1,-1");
    for (ExistingDatabase existing : {ExistingDatabase::Keep, ExistingDatabase::Replace}) {
        ConnectionParams params = Connection(Oracle, "Quenlor");
        EXPECT_EQ(Create(0, params, Oracle, existing), CreateResult::KeptExisting);
    }
    EXPECT_EQ(Messages(), (Ids{kStrSchemaHoldsTables, kStrSchemaHoldsTables}));
    EXPECT_EQ(BoxInserted(), "quenlor|dbhost");
    EXPECT_EQ(Statements().size(), 2u) << "the two checks alone";
    EXPECT_FALSE(RegistryHas("DB Info"));
    ConnectionParams params = Connection(Oracle, "Quenlor");
    CopySealed("QuenlorPatchOracle");
    AnswerQuestions(true);
    EXPECT_EQ(Create(0, params, Oracle), CreateResult::KeptAndPatched);
    EXPECT_EQ(Messages().back(), kStrKeepOracleSchema);
    EXPECT_TRUE(RegistryHas("DB Info"));
}

// Refused batches leave the create a success, but not a plain one.
TEST_F(CreateWorkflow, RefusedBatchesAreCountedInTheOutcome) {
    CopyAllScripts();
    SetEnvironmentVariableA("KELVANE_RESULTS", "0,0,0,0,-1,0,-1");
    ConnectionParams params = Connection(MySql, "Quenlor");
    CreateDetails details;
    EXPECT_EQ(CreateDatabase(0, params, &bar_, MySql, ExistingDatabase::Ask, &details),
              CreateResult::CreatedWithRefusedBatches);
    EXPECT_EQ(details.refused, 2);
    EXPECT_EQ(details.sent, SourceBatches("QuenlorMySQL") + SourceBatches("Init"));
    EXPECT_TRUE(RegistryHas("DB Info"));
}

// On this machine's SQL Server, the files an earlier database left go aside:
// the caller, the run log and the outcome learn where they lie now.
TEST_F(CreateWorkflow, LeftoverFilesMovedAsideAreNamedInTheOutcome) {
    CopyAllScripts();
    std::string data = "C:\\Program Files";
    for (const char* folder : {"Microsoft SQL Server", "MSSQL.1", "MSSQL", "Data"}) {
        CreateDirectoryA((data += std::string("\\") + folder).c_str(), nullptr);
    }
    std::ofstream(data + "\\Ledger.mdf") << "detached";
    SetEnvironmentVariableA("KELVANE_RESULTS", "0,0,-1");
    ConnectionParams params = Connection(MsSql, "Ledger");
    CopyField(params.server, ".");
    CreateDetails details;
    EXPECT_EQ(CreateDatabase(0, params, &bar_, MsSql, ExistingDatabase::Ask, &details),
              CreateResult::Created);
    EXPECT_EQ(details.keptFiles.rfind(data + "\\Ledger.mdf.kept-", 0), 0u) << details.keptFiles;
    EXPECT_TRUE(DeleteFileA(details.keptFiles.c_str())) << "moved, not deleted";
    EXPECT_NE(DebugOutput().find("Ledger.mdf is now " + details.keptFiles), std::string::npos);
}

// The dry run: what the create would come to, with the connection and the
// existence check alone sent, and nothing deleted, created or saved.
TEST_F(CreateWorkflow, CheckTellsWhatTheCreateWouldDoAndChangesNothing) {
    CopyAllScripts();
    ConnectionParams params = Connection(MsSql, "Quenlor");
    EXPECT_EQ(CheckCreate(1, params, MsSql, ExistingDatabase::Keep), CheckResult::WouldCreate);
    SetEnvironmentVariableA("KELVANE_RESULTS", "0,-1,-1");
    EXPECT_EQ(CheckCreate(1, params, MsSql, ExistingDatabase::Keep), CheckResult::Exists);
    EXPECT_EQ(CheckCreate(1, params, MsSql, ExistingDatabase::Replace), CheckResult::WouldReplace);
    SetEnvironmentVariableA("KELVANE_CONNECT", "1,1,1,0");
    EXPECT_EQ(CheckCreate(1, params, MsSql, ExistingDatabase::Replace), CheckResult::Failed);
    EXPECT_EQ(Messages(), (Ids{kStrCheckWouldCreate, kStrCheckExists, kStrCheckWouldReplace,
                               kStrServerUnreachable}));
    EXPECT_EQ(Statements().size(), 3u);
    EXPECT_EQ(Calls().size(), 7u);
    EXPECT_FALSE(Exists("Quenlor.dat"));
    EXPECT_FALSE(Exists("Init.dat"));
    EXPECT_FALSE(RegistryHas("DB Type"));
    EXPECT_NE(
        DebugOutput().find("Check: database Quenlor on dbhost:3306 (MS SQL Server) would fail"),
        std::string::npos);
}

// A create that ended part way (here its server went; a kill leaves the same)
// left the record of what it was making: a later create makes exactly that
// database again unasked, and no other. A complete create clears it.
TEST_F(CreateWorkflow, TheUnfinishedDatabaseOfAnEarlierRunIsMadeAgainAndNoOther) {
    CopyAllScripts();
    SetEnvironmentVariableA("KELVANE_LOST_AFTER", "6");
    ConnectionParams params = Connection(MsSql, "Quenlor");
    EXPECT_EQ(Create(1, params, MsSql, ExistingDatabase::Keep), CreateResult::Failed);
    EXPECT_TRUE(RegistryHas("Unfinished Create"));
    SetEnvironmentVariableA("KELVANE_LOST_AFTER", nullptr);
    const std::string exists = std::string(Statements().size(), ',') + "-1";
    SetEnvironmentVariableA("KELVANE_RESULTS", exists.c_str());
    params.port = 1500; // another server's database of that name
    EXPECT_EQ(Create(1, params, MsSql, ExistingDatabase::Keep), CreateResult::KeptExisting);
    params.port = 3306;
    SetEnvironmentVariableA("KELVANE_RESULTS",
                            (std::string(Statements().size(), ',') + "-1").c_str());
    EXPECT_EQ(Create(1, params, MsSql, ExistingDatabase::Keep), CreateResult::Created);
    EXPECT_NE(DebugOutput().find("is the unfinished database of an earlier run"),
              std::string::npos);
    EXPECT_FALSE(RegistryHas("Unfinished Create"));
    EXPECT_TRUE(RegistryHas("DB Info"));
    EXPECT_EQ(Messages(), (Ids{kStrServerUnreachable, kStrDatabaseKept}));
}

// /keep, or Yes to keeping after No to replacing: none of the creation
// statements; the settings are saved for that database and it is patched.
TEST_F(CreateWorkflow, AnExistingDatabaseCanBeKeptWithItsSettingsSavedAndPatched) {
    CopyAllScripts();
    CopySealed("QuenlorPatchMySQL");
    SetEnvironmentVariableA("KELVANE_RESULTS", "-1");
    ConnectionParams params = Connection(MySql, "Sales");
    EXPECT_EQ(Create(0, params, MySql, ExistingDatabase::KeepAndPatch),
              CreateResult::KeptAndPatched);
    const Strings calls = Calls();
    ASSERT_EQ(calls.size(), 3u + SourceBatches("QuenlorPatchMySQL"));
    EXPECT_NE(calls[2].find("databaseName=Sales "), std::string::npos) << "the patch's connection";
    ConnectionParams loaded;
    memset(&loaded, 0, sizeof loaded);
    ASSERT_TRUE(LoadServerConfig(loaded));
    EXPECT_STREQ(loaded.databaseName, "Sales");
    EXPECT_FALSE(RegistryHas("Unfinished Create"));
    // Without its patch script: kept and saved, but the patch did not run.
    DeleteFileA((dir_ + "\\QuenlorPatchMySQLEn.dat").c_str());
    SetEnvironmentVariableA("KELVANE_RESULTS",
                            (std::string(Statements().size(), ',') + "-1").c_str());
    EXPECT_EQ(Create(0, params, MySql, ExistingDatabase::KeepAndPatch),
              CreateResult::KeptPatchNotRun);
    EXPECT_EQ(Messages(), Ids{});
}

} // namespace

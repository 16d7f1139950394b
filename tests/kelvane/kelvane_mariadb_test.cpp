// Kelvane.dll against a real MariaDB server (the private sandbox), through the
// program's own binding, under Wine: Wine's odbc32 hands the calls to the
// host's unixODBC and its MariaDB driver.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "TestSupportWin32.h"
#include "common/BoundedCopy.h"
#include "db/DbLibrary.h"

namespace {

constexpr int kSkipped = 77;
const std::string kWorkUnix = std::string(DUNMOOR_BINARY_DIR) + "/testdirs/kelvane_mariadb";
std::string g_work; // kWorkUnix as Wine sees it

// This checkout's sandbox, as `scripts/mariadb-sandbox env` names it.
struct Sandbox {
    std::string host;
    int port = 0;
    std::string user;
    std::string password;
} g_sandbox;

// Runs a shell command on the host and waits for it. Wine starts a unix
// program without a handle to wait on or an exit code, so the command writes
// both into files of the work directory, the status last.
int RunHost(const std::string& command, std::string* output = nullptr, DWORD timeoutMs = 120000) {
    static int serial = 0;
    std::string tag = std::to_string(++serial);
    std::string script = g_work + "\\host" + tag + ".sh";
    std::string out = kWorkUnix + "/host" + tag + ".out";
    std::string status = kWorkUnix + "/host" + tag + ".status";
    FILE* f = fopen(script.c_str(), "wb");
    if (f == nullptr) {
        return -1;
    }
    fprintf(f, "cd '%s'\n(%s) >'%s' 2>&1\necho $? >'%s.tmp' && mv '%s.tmp' '%s'\n",
            DUNMOOR_SOURCE_DIR, command.c_str(), out.c_str(), status.c_str(), status.c_str(),
            status.c_str());
    fclose(f);
    char line[512];
    snprintf(line, sizeof line, "/bin/sh %s/host%s.sh", kWorkUnix.c_str(), tag.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return -1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string statusPath = g_work + "\\host" + tag + ".status";
    for (DWORD waited = 0; !FileExists(statusPath); waited += 100) {
        if (waited > timeoutMs) {
            return -1;
        }
        Sleep(100);
    }
    if (output != nullptr) {
        *output = ReadWholeFile(g_work + "\\host" + tag + ".out");
    }
    return atoi(ReadWholeFile(statusPath).c_str());
}

// One value of `scripts/mariadb-sandbox env`.
std::string EnvValue(const std::string& env, const std::string& key) {
    size_t at = env.find(key + "=");
    if (at == std::string::npos) {
        return "";
    }
    size_t begin = at + key.size() + 1;
    return env.substr(begin, env.find('\n', begin) - begin);
}

// The `mariadb` client's answer to one query, tab-separated, no headers.
std::string Client(const std::string& sql) {
    std::string out;
    int rc = RunHost("mariadb --no-defaults -N -B -h " + g_sandbox.host + " -P " +
                         std::to_string(g_sandbox.port) + " -u" + g_sandbox.user + " -p" +
                         g_sandbox.password + " -e \"" + sql + "\"",
                     &out);
    return rc == 0 ? out : "client failed: " + out;
}

ConnectionParams SandboxRecord(const char* databaseName = "") {
    ConnectionParams params;
    memset(&params, 0, sizeof params);
    params.dbType = MySql;
    params.valid = 1;
    CopyField(params.server, g_sandbox.host.c_str());
    CopyField(params.userId, g_sandbox.user.c_str());
    CopyField(params.password, g_sandbox.password.c_str());
    CopyField(params.databaseName, databaseName);
    params.port = g_sandbox.port;
    return params;
}

// errorText must end within its field.
bool Terminated(const ConnectionParams& params) {
    return memchr(params.errorText, '\0', sizeof params.errorText) != nullptr;
}

class KelvaneMariaDb : public ::testing::Test {
  protected:
    void SetUp() override {
        ConnectionParams params = SandboxRecord();
        ASSERT_EQ(ConnectDB(&params), 1) << params.errorText;
        ASSERT_EQ(QueryExecuteDB(0, "DROP DATABASE IF EXISTS kelvane_probe", 0), 0);
        ASSERT_EQ(QueryExecuteDB(0, "CREATE DATABASE kelvane_probe", 0), 0);
    }
};

TEST_F(KelvaneMariaDb, CreatesADatabaseTheClientSees) {
    EXPECT_EQ(Client("SHOW DATABASES LIKE 'kelvane_probe'"), "kelvane_probe\n");
}

TEST_F(KelvaneMariaDb, RunsAMultiStatementBatchWhole) {
    EXPECT_EQ(QueryExecuteDB(0,
                             "USE kelvane_probe;\r\n"
                             "CREATE TABLE t (a INT);\r\n"
                             "INSERT INTO t VALUES (1), (2);\r\n"
                             "INSERT INTO t VALUES (3);\r\n",
                             0),
              0);
    EXPECT_EQ(Client("SELECT COUNT(*), SUM(a) FROM kelvane_probe.t"), "3\t6\n");
}

TEST_F(KelvaneMariaDb, AFailureLaterInABatchIsReported) {
    EXPECT_LT(QueryExecuteDB(0,
                             "CREATE TABLE kelvane_probe.t (a INT);"
                             "INSERT INTO kelvane_probe.missing VALUES (1);",
                             0),
              0);
    EXPECT_EQ(Client("SHOW TABLES FROM kelvane_probe"), "t\n");
    // Nothing of the failed batch is left pending for the next one.
    EXPECT_EQ(QueryExecuteDB(0, "INSERT INTO kelvane_probe.t VALUES (7)", 0), 0);
    EXPECT_EQ(Client("SELECT a FROM kelvane_probe.t"), "7\n");
}

TEST_F(KelvaneMariaDb, DiscardsResultsSoTheNextStatementRuns) {
    EXPECT_EQ(QueryExecuteDB(0, "SELECT 1; SELECT 2, 3", 0), 0);
    EXPECT_EQ(QueryExecuteDB(0, "CREATE TABLE kelvane_probe.after_select (a INT)", 0), 0);
    EXPECT_EQ(Client("SHOW TABLES FROM kelvane_probe"), "after_select\n");
}

TEST_F(KelvaneMariaDb, SendsAnsiTextInTheSystemCodePage) {
    // "árvíztűrő" in code page 1250, as the program's buffers hold it.
    const char statement[] = "CREATE TABLE kelvane_probe.words CHARACTER SET utf8mb4 AS SELECT "
                             "'\xE1rv\xEDzt\xFBr\xF5' AS w";
    ASSERT_EQ(GetACP(), 1250u) << "the tests run with the Hungarian ANSI code page";
    EXPECT_EQ(QueryExecuteDB(0, statement, 0), 0);
    EXPECT_EQ(Client("SELECT HEX(w) FROM kelvane_probe.words"), "C3A17276C3AD7A74C5B172C591\n");
}

TEST_F(KelvaneMariaDb, AFailedStatementIsNegativeAndTheNextOneRuns) {
    EXPECT_LT(QueryExecuteDB(0, "CREATE TABLE kelvane_probe.t (a NOSUCHTYPE)", 0), 0);
    EXPECT_EQ(QueryExecuteDB(0, "CREATE TABLE kelvane_probe.t (a INT)", 0), 0);
    EXPECT_EQ(Client("SHOW TABLES FROM kelvane_probe"), "t\n");
}

TEST_F(KelvaneMariaDb, ConnectsToTheRecordsDatabase) {
    ConnectionParams params = SandboxRecord("kelvane_probe");
    ASSERT_EQ(ConnectDB(&params), 1) << params.errorText;
    EXPECT_EQ(QueryExecuteDB(0, "CREATE TABLE in_probe (a INT)", 0), 0);
    EXPECT_EQ(Client("SHOW TABLES FROM kelvane_probe"), "in_probe\n");
}

TEST_F(KelvaneMariaDb, AWrongPasswordGivesTheServersErrorAndKeepsTheConnection) {
    ConnectionParams params = SandboxRecord();
    CopyField(params.password, "not-the-password");
    EXPECT_EQ(ConnectDB(&params), 0);
    ASSERT_TRUE(Terminated(params));
    EXPECT_NE(strstr(params.errorText, "Access denied for user 'root'"), nullptr)
        << params.errorText;
    EXPECT_EQ(params.errorText[0], '[') << "the ODBC state leads the text";
    RecordProperty("errorText", params.errorText);
    // The failed attempt leaves the earlier connection in place.
    EXPECT_EQ(QueryExecuteDB(0, "CREATE TABLE kelvane_probe.still (a INT)", 0), 0);
    EXPECT_EQ(Client("SHOW TABLES FROM kelvane_probe"), "still\n");
}

TEST_F(KelvaneMariaDb, ANewConnectionReplacesTheOldOne) {
    ConnectionParams params = SandboxRecord("kelvane_probe");
    ASSERT_EQ(ConnectDB(&params), 1);
    ASSERT_EQ(QueryExecuteDB(0, "CREATE TABLE first_one (a INT)", 0), 0);
    ConnectionParams again = SandboxRecord();
    ASSERT_EQ(ConnectDB(&again), 1);
    // The new connection has no current database, and its statements run
    // on it, not on the one it replaced.
    EXPECT_LT(QueryExecuteDB(0, "CREATE TABLE second_one (a INT)", 0), 0);
    EXPECT_EQ(QueryExecuteDB(0, "CREATE TABLE kelvane_probe.second_one (a INT)", 0), 0);
    EXPECT_EQ(Client("SHOW TABLES FROM kelvane_probe"), "first_one\nsecond_one\n");
}

// Kelvane.ini with the MariaDB driver's name and the engine's [Options]; the
// library reads it on every ConnectDB.
bool WriteIni(const std::string& mySqlOptions = "") {
    FILE* ini = fopen((g_work + "\\Kelvane.ini").c_str(), "wb");
    if (ini == nullptr) {
        return false;
    }
    fprintf(ini, "[Drivers]\r\nMySql=MariaDB Unicode\r\n[Options]\r\nMySql=%s\r\n",
            mySqlOptions.c_str());
    return fclose(ini) == 0;
}

// The administrator's options reach the driver after the record's own
// attributes, every attribute of the line: here the server's certificate
// to be verified, on a server that offers no TLS, which fails. An option outside the engine's allow
// list (a statement run on connecting) or one that sets what the library sets is refused with its
// reason, and so are options too long for the string.
TEST(KelvaneMariaDbOptions, TheDriverActsOnTheEnginesOptions) {
    struct RestoreIni {
        ~RestoreIni() { WriteIni(); }
    } restore;
    ConnectionParams params = SandboxRecord();
    ASSERT_TRUE(WriteIni("CONN_TIMEOUT=5;SSLVERIFY=0"));
    EXPECT_EQ(ConnectDB(&params), 1) << params.errorText;
    ASSERT_TRUE(WriteIni("CONN_TIMEOUT=5;SSLVERIFY=1"));
    EXPECT_EQ(ConnectDB(&params), 0);
    EXPECT_EQ(strstr(params.errorText, "Kelvane:"), nullptr) << params.errorText;
    ASSERT_TRUE(WriteIni("CONN_TIMEOUT=5;INITSTMT={SET @kelvane=1}"));
    EXPECT_EQ(ConnectDB(&params), 0);
    EXPECT_NE(strstr(params.errorText, "sets INITSTMT, which the library does not pass on"),
              nullptr)
        << params.errorText;
    ASSERT_TRUE(WriteIni("CONN_TIMEOUT=5; option = 0"));
    EXPECT_EQ(ConnectDB(&params), 0);
    EXPECT_NE(strstr(params.errorText, "MySql= in Kelvane.ini sets OPTION,"), nullptr)
        << params.errorText;
    ASSERT_TRUE(WriteIni("SSLCA={" + std::string(1100, 'x') + "}"));
    EXPECT_EQ(ConnectDB(&params), 0);
    EXPECT_NE(strstr(params.errorText, "over 1023 bytes"), nullptr) << params.errorText;
}

// The driver reads braces and doubled '}' as the library writes them: a
// password in the connection string's own syntax logs in.
TEST_F(KelvaneMariaDb, APasswordInTheStringsOwnSyntaxLogsIn) {
    ASSERT_EQ(
        QueryExecuteDB(0, "CREATE OR REPLACE USER kelvane_odd IDENTIFIED BY 'a}b;{c=d}}e} f}'", 0),
        0);
    ConnectionParams params = SandboxRecord();
    CopyField(params.userId, "kelvane_odd");
    CopyField(params.password, "a}b;{c=d}}e} f}");
    EXPECT_EQ(ConnectDB(&params), 1) << params.errorText;
    ConnectionParams root = SandboxRecord();
    ASSERT_EQ(ConnectDB(&root), 1) << root.errorText;
    EXPECT_EQ(QueryExecuteDB(0, "DROP USER kelvane_odd", 0), 0);
}

TEST(KelvaneMariaDbRefused, NoServerOnThePortGivesADiagnostic) {
    ConnectionParams params = SandboxRecord();
    params.port = 1; // nothing listens there
    EXPECT_EQ(ConnectDB(&params), 0);
    ASSERT_TRUE(Terminated(params));
    EXPECT_EQ(params.errorText[0], '[') << params.errorText;
    EXPECT_GT(strlen(params.errorText), 8u);
}

// The program directory: the built Kelvane.dll and a Kelvane.ini naming the
// MariaDB driver as it is registered with unixODBC here (written by WriteIni
// above).
bool PrepareProgramDirectory() {
    g_work = FreshDirectory("kelvane_mariadb");
    if (!CopyTo(BinaryDir() + "\\dist\\Kelvane.dll", g_work + "\\Kelvane.dll")) {
        fprintf(stderr, "no built Kelvane.dll in dist\n");
        return false;
    }
    return WriteIni() && LoadDbLibrary(g_work.c_str()) == 1;
}

// The sandbox's address, from the script that started it: the server there
// is this checkout's (its status checks that over TCP).
bool ReadSandboxAddress() {
    std::string env;
    if (RunHost("scripts/mariadb-sandbox env", &env) != 0) {
        fprintf(stderr, "scripts/mariadb-sandbox env failed:\n%s\n", env.c_str());
        return false;
    }
    g_sandbox.host = EnvValue(env, "MARIADB_HOST");
    g_sandbox.port = atoi(EnvValue(env, "MARIADB_PORT").c_str());
    g_sandbox.user = EnvValue(env, "MARIADB_USER");
    g_sandbox.password = EnvValue(env, "MARIADB_PASSWORD");
    return !g_sandbox.host.empty() && g_sandbox.port > 0;
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!PrepareProgramDirectory()) {
        return 1;
    }
    // 1 is the shell's "not found"; anything else (-1: the host shell did not
    // run or answer) is a fault of this run, never a missing server.
    const int installed = RunHost("command -v mariadbd || test -x /usr/sbin/mariadbd");
    if (installed == 1) {
        fprintf(stderr, "no MariaDB server installed: skipped\n");
        return kSkipped;
    }
    if (installed != 0) {
        fprintf(stderr, "the host shell did not answer (%d)\n", installed);
        return 1;
    }
    bool startedHere = false;
    std::string out;
    if (RunHost("scripts/mariadb-sandbox status", &out) != 0) {
        if (RunHost("scripts/mariadb-sandbox start", &out) != 0) {
            fprintf(stderr, "the sandbox did not start:\n%s\n", out.c_str());
            return 1;
        }
        startedHere = true;
    }
    if (!ReadSandboxAddress()) {
        return 1;
    }
    int result = RUN_ALL_TESTS();
    Client("DROP DATABASE IF EXISTS kelvane_probe");
    if (startedHere) {
        RunHost("scripts/mariadb-sandbox stop");
    }
    if (result == 0 && ::testing::UnitTest::GetInstance()->skipped_test_count() > 0) {
        result = kSkipped;
    }
    return result;
}

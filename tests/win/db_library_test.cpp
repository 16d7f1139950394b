// The binding to Kelvane.dll, with the recording double in a program
// directory of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "TestSupportWin32.h"
#include "db/DbLibrary.h"

namespace {

class DbLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = FreshDirectory("db_library");
        ASSERT_TRUE(CopyTo(BinaryDir() + "\\fakes\\Kelvane.dll", dir_ + "\\Kelvane.dll"));
        SetEnvironmentVariableA("KELVANE_LOG", nullptr);
        SetEnvironmentVariableA("KELVANE_CONNECT", "1,0");
        SetEnvironmentVariableA("KELVANE_RESULTS", "5,-2");
    }
    std::string Log() { return ReadWholeFile(dir_ + "\\Kelvane.log"); }
    std::string dir_;
};

TEST_F(DbLibraryTest, LoadsTheLibraryAndRecordsEveryCall) {
    ASSERT_EQ(LoadDbLibrary(dir_.c_str()), 1);

    ConnectionParams params;
    memset(&params, 0, sizeof params);
    params.dbType = MsSql;
    strcpy(params.server, "db\\inst");
    strcpy(params.userId, "sa");
    strcpy(params.password, "pw");
    params.port = 1500;
    params.valid = 1;
    EXPECT_EQ(ConnectDB(&params), 1);
    EXPECT_EQ(QueryExecuteDB(0, "CREATE TABLE t\r\n (a int)\t", 0), 5);
    EXPECT_EQ(QueryExecuteDB(0, "SELECT 1", 0), -2);
    EXPECT_EQ(QueryExecuteDB(0, "SELECT 2", 0), 0);

    EXPECT_EQ(ConnectDB(&params), 0);
    EXPECT_STREQ(params.errorText, "recorded connection refused");

    EXPECT_EQ(Log(), "ConnectDB dbType=2 server=db\\\\inst userId=sa password=pw databaseName= "
                     "port=1500 windowsAuth=0 valid=1\r\n"
                     "QueryExecuteDB CREATE TABLE t\\r\\n (a int)\\t\r\n"
                     "QueryExecuteDB SELECT 1\r\n"
                     "QueryExecuteDB SELECT 2\r\n"
                     "ConnectDB dbType=2 server=db\\\\inst userId=sa password=pw databaseName= "
                     "port=1500 windowsAuth=0 valid=1\r\n");
}

} // namespace

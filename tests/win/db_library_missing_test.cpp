// The binding with no Kelvane.dll, or with one that lacks QueryExecuteDB:
// nothing is ever called through an unresolved entry point.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "TestSupportWin32.h"
#include "db/DbLibrary.h"

namespace {

ConnectionParams ServerRecord() {
    ConnectionParams params;
    memset(&params, 0, sizeof params);
    params.dbType = MsSql;
    params.valid = 1;
    strcpy(params.server, "db");
    return params;
}

TEST(DbLibraryMissing, NoLibraryMeansNotConnected) {
    std::string dir = FreshDirectory("db_library_none");
    EXPECT_EQ(LoadDbLibrary(dir.c_str()), 0);
    ConnectionParams params = ServerRecord();
    EXPECT_EQ(ConnectDB(&params), 0);
    EXPECT_NE(params.errorText[0], '\0');
    EXPECT_LT(QueryExecuteDB(0, "SELECT 1", 0), 0);
}

TEST(DbLibraryMissing, ALibraryWithoutQueryExecuteIsNotConnectedEither) {
    std::string dir = FreshDirectory("db_library_partial");
    ASSERT_TRUE(CopyTo(BinaryDir() + "\\fakes\\partial\\Kelvane.dll", dir + "\\Kelvane.dll"));
    EXPECT_EQ(LoadDbLibrary(dir.c_str()), 0);
    ConnectionParams params = ServerRecord();
    EXPECT_EQ(ConnectDB(&params), 0);
    EXPECT_NE(strstr(params.errorText, "QueryExecuteDB"), nullptr);
    EXPECT_LT(QueryExecuteDB(0, "SELECT 1", 0), 0);
}

} // namespace

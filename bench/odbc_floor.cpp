// The floor this platform sets under Dunmoor's batches: a plain script's
// batches sent one by one through ODBC to the driver, the way Kelvane.dll
// sends them (one statement handle, wide text in the ANSI code page, every
// result drained), with nothing of Dunmoor around them: no decryption, no
// script runner, no library boundary, no dialog. A batch is every line
// before a line that begins with go (any case), each followed by a space, as
// the program gathers it.
//   odbc_floor.exe CONNECTION-STRING SCRIPT
// Exits 0 when every batch ran, 1 otherwise.
#include <windows.h>

#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n : 0);
    return wide;
}

bool Run(SQLHSTMT statement, const std::string& batch) {
    std::wstring wide = Widen(batch);
    SQLRETURN rc = SQLExecDirectW(statement, reinterpret_cast<SQLWCHAR*>(&wide[0]), SQL_NTS);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
        SQLFreeStmt(statement, SQL_CLOSE);
        return false;
    }
    while ((rc = SQLMoreResults(statement)) != SQL_NO_DATA) {
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
            SQLFreeStmt(statement, SQL_CLOSE);
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        (void)std::fprintf(stderr, "usage: odbc_floor CONNECTION-STRING SCRIPT\n");
        return 2;
    }
    std::ifstream file(argv[2], std::ios::binary);
    std::stringstream script;
    script << file.rdbuf();
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC connection = SQL_NULL_HDBC;
    SQLHSTMT statement = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &connection);
    std::wstring text = Widen(argv[1]);
    SQLRETURN rc = SQLDriverConnectW(connection, nullptr, reinterpret_cast<SQLWCHAR*>(&text[0]),
                                     SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    if ((rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) ||
        SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement) != SQL_SUCCESS) {
        (void)std::fprintf(stderr, "odbc_floor: could not connect\n");
        return 1;
    }
    std::string batch;
    std::string line;
    int sent = 0;
    int failed = 0;
    while (std::getline(script, line)) {
        if (line.size() >= 2 && (line[0] | 0x20) == 'g' && (line[1] | 0x20) == 'o') {
            failed += Run(statement, batch) ? 0 : 1;
            ++sent;
            batch.clear();
        } else {
            batch += line + "\n ";
        }
    }
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    SQLDisconnect(connection);
    std::printf("%d batches, %d failed\n", sent, failed);
    return failed == 0 ? 0 : 1;
}

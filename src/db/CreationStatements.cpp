// The statements that create the empty database right after the connection
// and make it current. Each engine has its fixed sequence; the name goes into
// the statements as an identifier as given (the create accepts only names
// that need no quoting), and every text between single quotes has its
// quotes doubled.
//
// Every text is formatted into its fixed buffer. A text that would not fit is
// never sent or used cut short, since a shortened name could drop, create or
// delete something else: the step is treated as failed instead. Names from
// the 32-byte record always fit.
#include "db/CreationStatements.h"

#include <cstdio>
#include <cstring>

#include "common/BoundedCopy.h"
#include "common/KelvaneInterface.h"
#include "db/DatabaseName.h"
#include "db/DbLibrary.h"
#include "db/LeftoverFiles.h"
#include "platform/Platform.h"
#include "record/RunLog.h"

namespace {

constexpr size_t kStatementSize = 1040;

// Result standing for a statement that was not sent because it did not fit.
constexpr int kNotSent = -1;

// The existence checks: each fails when the database is there. Microsoft SQL
// Server raises an error of its own when the catalogue holds the name; MySQL
// evaluates, for the schema's row only, a subquery of two rows, which the
// server refuses; Oracle raises an application error when the user's schema
// holds tables, since the schema script would run into them.
constexpr const char* kMsSqlProbe =
    "IF EXISTS (SELECT name FROM master.dbo.sysdatabases WHERE name = N'%s') "
    "RAISERROR('Dunmoor: the database already exists', 16, 1)";
constexpr const char* kMySqlProbe =
    "SELECT (SELECT 'exists' UNION ALL SELECT SCHEMA_NAME) FROM information_schema.SCHEMATA "
    "WHERE SCHEMA_NAME = '%s'";
constexpr const char* kOracleProbe =
    "DECLARE n NUMBER; BEGIN SELECT COUNT(*) INTO n FROM user_tables; IF n > 0 THEN "
    "RAISE_APPLICATION_ERROR(-20001, 'Dunmoor: the schema already holds tables'); END IF; END;";

// Formats one statement with up to five texts and runs it.
int Execute(const char* format, const char* a, const char* b = "", const char* c = "",
            const char* d = "", const char* e = "") {
    char statement[kStatementSize];
    if (!FormatBounded(statement, sizeof statement, format, a, b, c, d, e)) {
        return kNotSent;
    }
    const int result = QueryExecuteDB(0, statement, 0);
    if (result < 0) {
        LogLine("Statement refused (result %d): %s", result, statement);
    }
    return result;
}

// Files an earlier database of this name left in the default data directory
// make CREATE DATABASE fail; they go aside before the second attempt.
void MoveLeftoverFiles(const char* name, int launchedWithCommandLine, CreationOutcome& outcome) {
    MoveLeftoverFilesAside(launchedWithCommandLine ? kDefaultDatabaseName : name, outcome);
}

// Last resort: the database with its files beside the program. The paths go
// into literals: a folder such as C:\Users\O'Hara\setup keeps its quote.
int CreateInProgramDirectory(const char* name) {
    char directory[kPathSize];
    std::memset(directory, 0, sizeof directory);
    GetProgramDirectory(directory);
    char dataFile[kPathSize];
    char logFile[kPathSize];
    char quotedData[2 * kPathSize];
    char quotedLog[2 * kPathSize];
    char quotedName[2 * kPathSize];
    if (!FormatBounded(dataFile, sizeof dataFile, "%s\\%s.mdf", directory, name) ||
        !FormatBounded(logFile, sizeof logFile, "%s\\%s_log.ldf", directory, name) ||
        !QuoteLiteral(dataFile, quotedData, sizeof quotedData) ||
        !QuoteLiteral(logFile, quotedLog, sizeof quotedLog) ||
        !QuoteLiteral(name, quotedName, sizeof quotedName)) {
        return kNotSent;
    }
    return Execute("CREATE DATABASE %s ON (NAME = '%s_dat', FILENAME = '%s') "
                   "LOG ON (NAME = '%s_log', FILENAME = '%s')",
                   name, quotedName, quotedData, quotedName, quotedLog);
}

// A failed statement after which nothing more may be sent.
bool Lost(int result) {
    return result < 0 && DbConnectionLost();
}

int Select(const char* name) {
    return Execute("USE %s", name) >= 0 ? 1 : 0;
}

// Replacing: a DROP the server refuses (the database in use, no permission)
// stops the create, so that nothing is created over what is still there.
bool DropRefused(int result, bool replacing, const char* name, CreationOutcome& outcome) {
    if (result >= 0 || !replacing || DbConnectionLost()) {
        return false;
    }
    outcome.dropRefused = true;
    char message[160];
    std::snprintf(message, sizeof message,
                  "Create stopped: the server refused to drop database %s (result %d); it stays "
                  "as it was, and nothing more was sent",
                  name, result);
    LogAndDebug(message);
    return true;
}

// Nothing is dropped unless the administrator chose to replace the database.
int CreateMySql(const char* name, bool replacing, CreationOutcome& outcome) {
    if (replacing) {
        const int dropped = Execute("DROP DATABASE %s", name);
        if (Lost(dropped) || DropRefused(dropped, replacing, name, outcome)) {
            return 0;
        }
    }
    if (Execute("CREATE DATABASE %s", name) < 0) {
        return 0;
    }
    return Select(name);
}

// The IF EXISTS form drops nothing when nothing is there, so it always comes
// first. A server that went down no longer locks the files of a database
// that is still in its catalogue: after a lost connection they must stay.
int CreateMsSql(const char* name, int launchedWithCommandLine, bool serverIsThisMachine,
                bool replacing, CreationOutcome& outcome) {
    char quoted[2 * kPathSize];
    if (!QuoteLiteral(name, quoted, sizeof quoted)) {
        return 0;
    }
    const int dropped = Execute("IF EXISTS (SELECT name FROM master.dbo.sysdatabases WHERE name = "
                                "N'%s') DROP DATABASE %s",
                                quoted, name);
    if (Lost(dropped) || DropRefused(dropped, replacing, name, outcome)) {
        return 0;
    }
    int created = Execute("CREATE DATABASE %s", name);
    if (created < 0) {
        if (Lost(created)) {
            return 0;
        }
        if (serverIsThisMachine) {
            MoveLeftoverFiles(name, launchedWithCommandLine, outcome);
        } else {
            LogLine("Leftover data files left alone: the server is another machine");
        }
        created = Execute("CREATE DATABASE %s", name);
        if (Lost(created)) {
            return 0;
        }
        if (created < 0 && CreateInProgramDirectory(name) < 0) {
            return 0;
        }
    }
    return Select(name);
}

} // namespace

bool QuoteLiteral(const char* text, char* out, size_t size) {
    size_t n = 0;
    for (; *text != '\0'; ++text) {
        const size_t need = *text == '\'' ? 2 : 1;
        if (n + need >= size) {
            if (size > 0) {
                out[0] = '\0';
            }
            return false;
        }
        out[n++] = *text;
        if (need == 2) {
            out[n++] = '\'';
        }
    }
    out[n] = '\0';
    return true;
}

DatabaseProbe ProbeDatabase(const char* name, int dbType) {
    char quoted[2 * kPathSize];
    if (!QuoteLiteral(name, quoted, sizeof quoted)) {
        return DatabaseProbe::Exists; // not checked: never taken for absent
    }
    int result = 0;
    switch (dbType) {
    case MySql:
        result = Execute(kMySqlProbe, quoted);
        break;
    case MsSql:
        result = Execute(kMsSqlProbe, quoted);
        break;
    case Oracle:
        result = Execute(kOracleProbe, "");
        break;
    default:
        return DatabaseProbe::Absent; // no statement for an unknown engine
    }
    if (result >= 0) {
        return DatabaseProbe::Absent;
    }
    return DbConnectionLost() ? DatabaseProbe::ConnectionLost : DatabaseProbe::Exists;
}

int CreateDatabaseObjects(const char* name, int launchedWithCommandLine, int dbType,
                          bool serverIsThisMachine, bool replacing, CreationOutcome* outcome) {
    CreationOutcome unused;
    CreationOutcome& out = outcome != nullptr ? *outcome : unused;
    switch (dbType) {
    case MySql:
        return CreateMySql(name, replacing, out);
    case MsSql:
        return CreateMsSql(name, launchedWithCommandLine, serverIsThisMachine, replacing, out);
    case Oracle:
        // Nothing to create on this engine before its schema script.
        return 1;
    default:
        // No caller passes another engine; nothing is sent for one.
        return 0;
    }
}

// The ODBC connection strings Kelvane.dll builds for each engine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ConnectionString.h"
#include "common/BoundedCopy.h"

namespace {

ConnectionParams Record(int32_t dbType) {
    ConnectionParams params;
    memset(&params, 0, sizeof params);
    params.dbType = dbType;
    params.valid = 1;
    CopyField(params.server, "db.example");
    CopyField(params.userId, "app");
    CopyField(params.password, "secret");
    params.port = 3306;
    return params;
}

DriverNames Drivers() {
    DriverNames names = {};
    CopyField(names.msSql, "MsDriver");
    CopyField(names.mySql, "MariaDB Unicode");
    CopyField(names.oracle, "OraDriver");
    return names;
}

const ConnectionOptions kNoOptions = {};

std::string Build(const ConnectionParams& params, const ConnectionOptions& options = kNoOptions) {
    char out[kConnectionStringSize];
    EXPECT_EQ(BuildConnectionString(params, Drivers(), options, out, sizeof out),
              ConnectionStringResult::Built);
    return out;
}

TEST(MySqlConnectionString, NamesServerPortCredentialsAndAllowsMultiStatementBatches) {
    EXPECT_EQ(Build(Record(MySql)), "DRIVER={MariaDB Unicode};SERVER={db.example};PORT=3306;"
                                    "UID={app};PWD={secret};OPTION=67108864;");
}

TEST(MySqlConnectionString, NamesTheDatabaseOnlyWhenOneIsGiven) {
    ConnectionParams params = Record(MySql);
    EXPECT_EQ(Build(params).find("DATABASE"), std::string::npos);
    CopyField(params.databaseName, "Quenlor");
    EXPECT_NE(Build(params).find("DATABASE={Quenlor};"), std::string::npos);
}

TEST(MySqlConnectionString, UsesServerCredentialsEvenWithWindowsAuthentication) {
    ConnectionParams params = Record(MySql);
    params.windowsAuth = 1;
    EXPECT_NE(Build(params).find("UID={app};PWD={secret};"), std::string::npos);
    EXPECT_EQ(Build(params).find("Trusted_Connection"), std::string::npos);
}

TEST(MsSqlConnectionString, JoinsServerAndPortWithAComma) {
    ConnectionParams params = Record(MsSql);
    params.port = 1433;
    EXPECT_EQ(Build(params), "DRIVER={MsDriver};SERVER={db.example,1433};UID={app};PWD={secret};");
}

TEST(MsSqlConnectionString, KeepsAnInstanceNameAsGiven) {
    ConnectionParams params = Record(MsSql);
    CopyField(params.server, "HOST\\QUENLOR");
    EXPECT_NE(Build(params).find("SERVER={HOST\\QUENLOR};"), std::string::npos);
}

TEST(MsSqlConnectionString, WindowsAuthenticationSendsNoCredentials) {
    ConnectionParams params = Record(MsSql);
    params.windowsAuth = 1;
    std::string text = Build(params);
    EXPECT_NE(text.find("Trusted_Connection=Yes;"), std::string::npos);
    EXPECT_EQ(text.find("UID"), std::string::npos);
    EXPECT_EQ(text.find("PWD"), std::string::npos);
}

TEST(OracleConnectionString, ServerAndPortFormTheDbq) {
    ConnectionParams params = Record(Oracle);
    params.port = 1521;
    EXPECT_EQ(Build(params), "DRIVER={OraDriver};DBQ={db.example:1521};UID={app};PWD={secret};");
}

TEST(ConnectionStringValues, APasswordWithSeparatorsStaysOneValue) {
    ConnectionParams params = Record(MySql);
    CopyField(params.password, "a;DATABASE=x}y");
    std::string text = Build(params);
    EXPECT_NE(text.find("PWD={a;DATABASE=x}}y};"), std::string::npos);
}

TEST(ConnectionStringValues, AFieldWithoutItsNulIsReadOnlyToItsEnd) {
    ConnectionParams params = Record(MySql);
    memset(params.server, 'h', sizeof params.server);
    std::string text = Build(params);
    EXPECT_NE(text.find("SERVER={" + std::string(32, 'h') + "};PORT="), std::string::npos);
}

TEST(ConnectionStringOptions, EachEngineGetsItsOwnOptionsAfterItsAttributes) {
    ConnectionOptions options = {};
    CopyField(options.msSql, "Encrypt=Optional;TrustServerCertificate=Yes");
    CopyField(options.mySql, "SSLMODE=DISABLED");
    EXPECT_EQ(Build(Record(MsSql), options), Build(Record(MsSql)) + options.msSql);
    EXPECT_EQ(Build(Record(MySql), options), Build(Record(MySql)) + options.mySql);
    EXPECT_EQ(Build(Record(Oracle), options), Build(Record(Oracle)));
}

// Builds with options for engine, expecting the refusal result and nothing
// built; gives the attribute named.
std::string RefusedBuild(int engine, const char* text, ConnectionStringResult expected) {
    ConnectionOptions options = {};
    CopyField(engine == Oracle  ? options.oracle
              : engine == MySql ? options.mySql
                                : options.msSql,
              text);
    char out[kConnectionStringSize] = "stale";
    std::string named;
    EXPECT_EQ(BuildConnectionString(Record(engine), Drivers(), options, out, sizeof out, &named),
              expected);
    EXPECT_STREQ(out, "");
    return named;
}

// Any attribute of any engine's string, or a driver's other name for one, in
// any case, with blanks around its name; a braced value is one value,
// whatever it holds.
TEST(ConnectionStringOptions, AnOptionRepeatingTheLibrarysAttributeIsRefused) {
    EXPECT_STREQ(ReservedAttributeIn("SSLMODE=DISABLED; option =3"), "OPTION");
    EXPECT_STREQ(ReservedAttributeIn("Encrypt=No;\ttrusted_CONNECTION=Yes"), "Trusted_Connection");
    EXPECT_STREQ(ReservedAttributeIn("A={x}};y};Dbq=z"), "DBQ");
    EXPECT_STREQ(ReservedAttributeIn("Options=0"), "OPTIONS"); // the MariaDB driver's other name
    EXPECT_EQ(ReservedAttributeIn("InitStmt={SET a=1;OPTION=3};Description= {UID=a;PWD=b}"),
              nullptr);
    EXPECT_EQ(RefusedBuild(Oracle, "PORT=1", ConnectionStringResult::RepeatsAttribute), "PORT");
}

// Only what a site needs passes, under each engine's own drivers' names (in
// any case); a file the driver would write, a statement run at connect, or
// another engine's key is refused by name, and nothing is built.
TEST(ConnectionStringOptions, OnlyTheEnginesAllowedAttributesPass) {
    EXPECT_EQ(AttributeNotAllowedIn(MsSql, " encrypt =Yes;TrustServerCertificate={yes};APP=x;"),
              "");
    EXPECT_EQ(AttributeNotAllowedIn(MySql, "sslverify=1;SSLCA={C:\\a;b.pem};CONN_TIMEOUT=5"), "");
    EXPECT_EQ(AttributeNotAllowedIn(Oracle, "QTO=T"), "");
    EXPECT_EQ(AttributeNotAllowedIn(MsSql, "Encrypt=Yes; SAVEFILE =C:\\x.dsn"), "SAVEFILE");
    EXPECT_EQ(AttributeNotAllowedIn(MySql, "SSLVERIFY=1;InitStmt={SET a=1}"), "InitStmt");
    EXPECT_EQ(AttributeNotAllowedIn(MySql, "PLUGIN_DIR=C:\\p"), "PLUGIN_DIR");
    EXPECT_EQ(AttributeNotAllowedIn(Oracle, "Encrypt=Yes"), "Encrypt");
    EXPECT_EQ(
        RefusedBuild(MySql, "SSLMODE=REQUIRED;SAVEFILE=x", ConnectionStringResult::NotAllowed),
        "SAVEFILE");
}

TEST(ConnectionStringFailures, AnUnknownEngineGivesNothing) {
    char out[256] = "stale";
    EXPECT_EQ(BuildConnectionString(Record(7), Drivers(), kNoOptions, out, sizeof out),
              ConnectionStringResult::UnknownEngine);
    EXPECT_STREQ(out, "");
}

TEST(ConnectionStringFailures, AStringThatDoesNotFitIsNotCut) {
    char out[40] = "stale";
    EXPECT_EQ(BuildConnectionString(Record(MySql), Drivers(), kNoOptions, out, sizeof out),
              ConnectionStringResult::TooLong);
    EXPECT_STREQ(out, "");
}

TEST(DefaultDrivers, EveryEngineHasAWindowsDriverName) {
    DriverNames names = DefaultDriverNames();
    EXPECT_STREQ(names.msSql, "SQL Server");
    EXPECT_STRNE(names.mySql, "");
    EXPECT_STRNE(names.oracle, "");
}

} // namespace

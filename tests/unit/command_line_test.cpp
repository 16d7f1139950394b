#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "app/CommandLine.h"
#include "framework/ArgumentText.h"

namespace {

// What ParseCommandLine (result) or ParseUnattended (request) made of a text.
struct Parsed {
    int result = 0;
    ConnectionParams params;
    UnattendedRequest request;
};

Parsed Parse(const std::string& arguments, bool unattended = false) {
    Parsed parsed;
    memset(&parsed.params, 0, sizeof parsed.params);
    if (unattended) {
        ParseUnattended(arguments.c_str(), parsed.params, parsed.request);
    } else {
        parsed.result = ParseCommandLine(arguments.c_str(), parsed.params);
    }
    return parsed;
}

Parsed Unattended(const std::string& arguments) {
    return Parse(arguments, true);
}

bool AllZero(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

TEST(ParseCommandLine, FillsTheRecordFromTheSwitches) {
    Parsed p = Parse("/sdbhost /isa /psecret /P1500");
    ASSERT_EQ(p.result, 1);
    EXPECT_STREQ(p.params.server, "dbhost");
    EXPECT_STREQ(p.params.userId, "sa");
    EXPECT_STREQ(p.params.password, "secret");
    EXPECT_EQ(p.params.port, 1500);
    EXPECT_EQ(p.params.windowsAuth, 0);
    EXPECT_EQ(p.params.dbType, MsSql);
    EXPECT_EQ(p.params.valid, 1);
    EXPECT_TRUE(AllZero(p.params.databaseName, sizeof p.params.databaseName));
    EXPECT_TRUE(AllZero(p.params.errorText, sizeof p.params.errorText));
    EXPECT_TRUE(AllZero(p.params.reserved, sizeof p.params.reserved));
}

TEST(ParseCommandLine, SwitchOrderDoesNotMatterAndTheFirstOccurrenceWins) {
    Parsed p = Parse("/P1600 /psecret /isa /sfirst /ssecond");
    EXPECT_STREQ(p.params.server, "first");
    EXPECT_EQ(p.params.port, 1600);
    // A switch spelled inside another value counts where it first appears.
    Parsed inside = Parse("/ia/sb /sc");
    EXPECT_STREQ(inside.params.server, "b");
    EXPECT_STREQ(inside.params.userId, "a/sb");
}

TEST(ParseCommandLine, LowerAndUpperCasePAreDifferentSwitches) {
    Parsed p = Parse("/Pxyz /ppass");
    EXPECT_STREQ(p.params.password, "pass");
    EXPECT_EQ(p.params.port, 0);
    EXPECT_EQ(Parse("/sx").params.port, 1433);
}

TEST(ParseCommandLine, WindowsAuthenticationNeedsAPositiveNumber) {
    for (const char* text : {"/w1", "/w12abc", "/w 1", "/w  7x"}) {
        EXPECT_EQ(Parse(text).params.windowsAuth, 1) << text;
    }
    for (const char* text : {"/w0", "/w", "/w /q", "/wyes", "/w-3", "/w -3"}) {
        EXPECT_EQ(Parse(text).params.windowsAuth, 0) << text;
    }
}

TEST(ParseCommandLine, ABlankAfterASwitchTakesTheNextWordUnlessItIsASwitch) {
    Parsed p = Parse("/s dbhost /P  1500 /i sa /p secret");
    EXPECT_STREQ(p.params.server, "dbhost");
    EXPECT_EQ(p.params.port, 1500);
    EXPECT_STREQ(p.params.userId, "sa");
    EXPECT_STREQ(p.params.password, "secret");
    Parsed none = Parse("/s /isa /p /q /P");
    EXPECT_STREQ(none.params.server, "");
    EXPECT_STREQ(none.params.password, "");
    EXPECT_EQ(none.params.port, 0);
    EXPECT_TRUE(NamesPassword("/p /q"));
}

// "/patch" is a word of its own in any case, never "/p" or "/P" with a value.
TEST(ParseCommandLine, WordSwitchesAreNeverReadAsValueSwitches) {
    Parsed r = Unattended("/PATCH /Patch /patch /check /Keep");
    EXPECT_STREQ(r.params.password, "");
    EXPECT_EQ(r.params.port, 1433);
    EXPECT_TRUE(r.request.patch && r.request.check && r.request.keep);
    EXPECT_FALSE(NamesPassword("/patch /q"));
    EXPECT_STREQ(Parse("/patch /pab/patch").params.password, "ab/patch");
    EXPECT_STREQ(Parse("/patchy").params.password, "atchy");
}

TEST(ParseUnattended, TheEngineChoosesTheDefaultPort) {
    Parsed r = Unattended("/sdb");
    EXPECT_EQ(r.params.dbType, MsSql);
    EXPECT_STREQ(r.request.databaseName, "Quenlor");
    const std::tuple<const char*, int, int> engines[] = {{"/engine:MySQL", MySql, 3306},
                                                         {"/ENGINE:oracle", Oracle, 1521},
                                                         {"/engine:mssql", MsSql, 1433}};
    for (const auto& [text, type, port] : engines) {
        r = Unattended(text);
        EXPECT_EQ(r.params.port, port) << text;
        EXPECT_EQ(r.params.dbType, type) << text;
        EXPECT_EQ(r.request.dbType, type) << text;
    }
    EXPECT_EQ(Parse("/engine:mysql /P 3307 /db:prod").params.port, 3307);
    EXPECT_STREQ(Unattended("/db:prod_2").request.databaseName, "prod_2");
    r = Unattended("/engine:db2");
    EXPECT_EQ(r.params.dbType, 0);
    EXPECT_EQ(r.request.refusal, "/engine: \"db2\" is not mssql, mysql or oracle");
}

TEST(ParseUnattended, APortIsADecimalNumberFrom1To65535) {
    EXPECT_EQ(Unattended("/P1").params.port, 1);
    EXPECT_EQ(Unattended("/P 065535").params.port, 65535);
    for (const char* text : {"/P0", "/P65536", "/P15x0", "/P+15", "/P99999999999", "/P", "/P /q"}) {
        Parsed r = Unattended(text);
        EXPECT_EQ(r.params.port, 0) << text;
        EXPECT_EQ(r.request.refusal.rfind("/P: ", 0), 0U) << text;
    }
    EXPECT_EQ(Unattended("/P15x0").request.refusal, "/P: \"15x0\" is not a port (1-65535)");
}

TEST(ParseCommandLine, FindAnywhereAsksForTheDialogAndLeavesTheRecordAlone) {
    for (const char* text : {"/find", "/sx /find", "x/findy", "/sdb/find"}) {
        ConnectionParams params;
        memset(&params, 0xAB, sizeof params);
        EXPECT_EQ(ParseCommandLine(text, params), 0) << text;
        EXPECT_EQ(params.dbType, static_cast<int32_t>(0xABABABAB)) << text;
    }
}

TEST(ParseCommandLine, AnyOtherTextStartsACreateWithDefaults) {
    Parsed p = Parse("hello");
    EXPECT_EQ(p.result, 1);
    EXPECT_STREQ(p.params.server, "");
    EXPECT_EQ(p.params.port, 1433);
    EXPECT_EQ(p.params.windowsAuth, 0);
    EXPECT_STREQ(p.params.userId, "");
}

TEST(ParseUnattended, ValuesThatDoNotFitAreRefusedNeverCut) {
    const std::string fits(31, 'v'), over(32, 'v');
    Parsed r = Unattended("/s" + fits + " /i " + fits + " /p" + fits + " /db:" + fits);
    EXPECT_EQ(r.params.server + r.request.refusal, fits);
    EXPECT_EQ(std::string(r.params.userId) + r.params.password, fits + fits);
    EXPECT_EQ(r.request.databaseName, fits);
    r = Unattended("/s" + over + " /i " + over + " /p" + over + " /db:" + over);
    EXPECT_TRUE(AllZero(&r.params.userId, sizeof r.params.userId * 2));
    EXPECT_TRUE(AllZero(&r.params.server, sizeof r.params.server));
    EXPECT_STREQ(r.request.databaseName, "");
    EXPECT_EQ(r.request.refusal,
              "/s: the server \"" + over + "\" takes 32 bytes, 31 at most; " +
                  "/i: the user id \"" + over + "\" takes 32 bytes, 31 at most; " +
                  "/p: the password takes 32 bytes, 31 at most; " + "/db: the database name \"" +
                  over + "\" takes 32 bytes, 31 at most");
    EXPECT_EQ(Unattended("/db: /sx").request.refusal, "/db: no database name given");
    // A value quoted in a refusal never shows a password within it.
    EXPECT_EQ(Unattended("/pab/s" + over).request.refusal,
              "/s: the server \"***\" takes 32 bytes, 31 at most; /p: the password takes 36 bytes, "
              "31 at most");
    EXPECT_EQ(Unattended("/P1/pX").request.refusal, "/P: \"1/p***\" is not a port (1-65535)");
}

// A run that may drop data must say exactly what it wants.
TEST(ParseUnattended, UnknownWordsAreListedAndRefuseAReplace) {
    Parsed r = Unattended("/sA /chek /s B /q hello /i sa /w 1 /pone /db:x /db:y /p two");
    const std::vector<std::string> ignored = {"/chek", "/s", "B", "hello", "/db:y", "/p", "***"};
    EXPECT_EQ(r.request.ignored, ignored);
    EXPECT_EQ(r.request.refusal, "");
    EXPECT_EQ(Unattended("/replace /sdb /pab/cd /chek /pX").request.refusal,
              "/replace with words the program does not know: /chek /p***");
    EXPECT_EQ(Unattended("/REPLACE /s db /check /q /engine:oracle").request.refusal, "");
}

TEST(ParseUnattended, RefusesSwitchesThatWouldBeIgnored) {
    const std::pair<const char*, const char*> refused[] = {
        {"/keep /replace /sdb", "/keep with /replace: a database is either kept or replaced"},
        {"/patch /replace", "/patch with /replace: a patch never re-creates the database"},
        {"/patch /keep", "/patch with /keep: /patch uses the saved settings, /keep saves new ones"},
        {"/patch /sdb /w1 /db:x /P 1",
         "/patch with /s /w /P /db:: a patch connects with the saved settings"},
        {"/engine:mysql /patch", "/patch with /engine:: a patch connects with the saved settings"},
        {"x/iy /patch", "/patch with /i: a patch connects with the saved settings"}};
    for (const auto& [text, why] : refused) {
        EXPECT_EQ(Unattended(text).request.refusal, why) << text;
    }
    for (const char* text : {"/patch /check /q", "/keep /check /sdb /q"}) {
        EXPECT_EQ(Unattended(text).request.refusal, "") << text;
    }
}

TEST(ParseCommandLine, OverLongArgumentTextIsCutToTheWorkingCopy) {
    // The port switch lies beyond the 259 characters kept, so it is not seen.
    std::string text = "/sx " + std::string(300, 'a') + " /P1500";
    Parsed p = Parse(text);
    EXPECT_EQ(p.params.port, 1433);
    // "/find" beyond the working copy is not seen either.
    EXPECT_EQ(Parse(std::string(300, 'a') + "/find").result, 1);
    EXPECT_EQ(Unattended(text).request.refusal,
              "the command line takes 311 characters, 259 at most");
}

TEST(HasWordSwitch, OnlyAWordOfItsOwnInAnyCaseAndNeverPartOfAValue) {
    for (const char* text : {"/q", "/Q /sdb", "/sdb /q", "/sdb  /q  /psecret"}) {
        EXPECT_TRUE(HasWordSwitch(text, "/q")) << text;
    }
    for (const char* text : {"/pab/q", "/p/q", "/q1", "/qx /sdb", "x/q", "/s\t/q"}) {
        EXPECT_FALSE(HasWordSwitch(text, "/q")) << text;
    }
    EXPECT_TRUE(HasWordSwitch("/sdb /RePlace", "/replace"));
    EXPECT_FALSE(HasWordSwitch("/p/replace", "/replace"));
    // The other switches read as before: the password still runs to its blank.
    Parsed p = Parse("/sdb /q /pab/q /isa");
    EXPECT_STREQ(p.params.password, "ab/q");
    EXPECT_STREQ(p.params.server, "db");
    EXPECT_STREQ(p.params.userId, "sa");
    // Seen in the whole text, so that a command line too long to run is
    // still refused without a box.
    EXPECT_TRUE(HasWordSwitch((std::string(300, 'a') + " /q").c_str(), "/q"));
}

// The run log's path leaves the text, so no switch is read inside it, and
// it leaves one blank, so it takes no room from the switches.
TEST(TakeLogSwitch, QuotedPathsMayHoldBlanksAndLeaveOneBlank) {
    std::string text = "/sdb   /LOG:\"C:\\My /sLogs\\d.log\"  /psecret /isa";
    std::string path;
    ASSERT_TRUE(TakeLogSwitch(text, path));
    EXPECT_EQ(path, "C:\\My /sLogs\\d.log");
    EXPECT_EQ(text, "/sdb /psecret /isa");
    EXPECT_FALSE(TakeLogSwitch(text, path));

    const std::string log = "/log:D:/" + std::string(240, 'd') + ".log";
    std::string longer = "/sdbhost " + log + " /isa /pS3cret /q";
    ASSERT_TRUE(TakeLogSwitch(longer, path));
    ASSERT_TRUE(FitsWorkingCopy(longer.c_str()));
    EXPECT_STREQ(Parse(longer).params.password, "S3cret");
    EXPECT_TRUE(HasWordSwitch(longer.c_str(), "/q"));
}

TEST(FitsWorkingCopy, SwitchesBeyondTheWorkingCopyAreRefusedNotCut) {
    EXPECT_TRUE(FitsWorkingCopy(std::string(kWorkingCopySize - 1, 'a').c_str()));
    EXPECT_FALSE(FitsWorkingCopy(std::string(kWorkingCopySize, 'a').c_str()));
}

// Masked where the parser finds it, in the text without the /log: word; the
// line logged keeps that word as given.
TEST(MaskCommandLine, MasksThePasswordTheParserReadsNeverTheLogPath) {
    EXPECT_EQ(MaskCommandLine("/log:D:/provision/q.log /sdbhost /isa /pS3cret"),
              "/log:D:/provision/q.log /sdbhost /isa /p***");
    EXPECT_EQ(MaskCommandLine("/pS3cret   /log:\"C:\\a /pX\\d.log\"  /isa"),
              "/p***   /log:\"C:\\a /pX\\d.log\"  /isa");
    EXPECT_EQ(MaskCommandLine("/sdb  /log:x/p  /pab/q /isa"), "/sdb  /log:x/p  /p*** /isa");
    EXPECT_EQ(MaskCommandLine("/log:D:/pub/d.log"), "/log:D:/pub/d.log");
    EXPECT_EQ(MaskCommandLine("/log:D:/pub/d.log  /p secret /patch /pX"),
              "/log:D:/pub/d.log  /p *** /patch /p***");
    EXPECT_EQ(MaskCommandLine("/p /log:\"D:/a b.log\" secret"), "/p /log:\"D:/a b.log\" ***");
    // Past the working copy too: a refused command line is logged as well.
    const std::string far = std::string(300, 'a') + " /pS3cret";
    EXPECT_EQ(MaskCommandLine(far.c_str()), std::string(300, 'a') + " /p***");
}

TEST(ParseLeadingInt, ReadsLikeAtoiWithoutOverflow) {
    EXPECT_EQ(ParseLeadingInt("  42x"), 42);
    EXPECT_EQ(ParseLeadingInt("-7"), -7);
    EXPECT_EQ(ParseLeadingInt("+9"), 9);
    EXPECT_EQ(ParseLeadingInt("abc"), 0);
    EXPECT_EQ(ParseLeadingInt(""), 0);
    EXPECT_EQ(ParseLeadingInt("99999999999999999999"), 2147483647);
    EXPECT_EQ(ParseLeadingInt("-99999999999999999999"), -2147483647 - 1);
}

TEST(SkipProgramName, GivesTheArgumentTextAfterTheProgramName) {
    EXPECT_STREQ(SkipProgramName("Dunmoor.exe /sx"), "/sx");
    EXPECT_STREQ(SkipProgramName("\"C:\\Program Files\\Dunmoor.exe\"  /sx /i"), "/sx /i");
    EXPECT_STREQ(SkipProgramName("Dunmoor.exe    "), "");
    EXPECT_STREQ(SkipProgramName("Dunmoor.exe \t\r\n /find"), "/find");
    EXPECT_STREQ(SkipProgramName("Dunmoor.exe"), "");
    EXPECT_STREQ(SkipProgramName("\"unterminated"), "");
}

} // namespace

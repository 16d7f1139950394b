#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/CommandLine.h"
#include "framework/ArgumentText.h"

namespace {

struct Parsed {
    int result;
    ConnectionParams params;
};

Parsed Parse(const std::string& arguments) {
    Parsed parsed;
    memset(&parsed.params, 0, sizeof parsed.params);
    parsed.result = ParseCommandLine(arguments.c_str(), parsed.params);
    return parsed;
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
    EXPECT_EQ(Parse("/P0").params.port, 0);
    EXPECT_EQ(Parse("/sx").params.port, 1433);
    EXPECT_EQ(Parse("/P 1500").params.port, 1433);
}

TEST(ParseCommandLine, WindowsAuthenticationNeedsAPositiveNumberRightAfterTheSwitch) {
    EXPECT_EQ(Parse("/w1").params.windowsAuth, 1);
    EXPECT_EQ(Parse("/w12abc").params.windowsAuth, 1);
    EXPECT_EQ(Parse("/w0").params.windowsAuth, 0);
    EXPECT_EQ(Parse("/w").params.windowsAuth, 0);
    EXPECT_EQ(Parse("/w 1").params.windowsAuth, 0);
    EXPECT_EQ(Parse("/wyes").params.windowsAuth, 0);
    EXPECT_EQ(Parse("/w-3").params.windowsAuth, 0);
}

TEST(ParseCommandLine, ABlankAfterASwitchGivesAnEmptyValue) {
    Parsed p = Parse("/s dbhost /i sa");
    EXPECT_EQ(p.result, 1);
    EXPECT_STREQ(p.params.server, "");
    EXPECT_STREQ(p.params.userId, "");
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

TEST(ParseCommandLine, OverLongValuesAreCutToTheirField) {
    std::string host(100, 'h');
    Parsed p = Parse("/s" + host + " /i" + std::string(40, 'u'));
    EXPECT_EQ(std::string(p.params.server), std::string(31, 'h'));
    EXPECT_EQ(std::string(p.params.userId), std::string(31, 'u'));
    EXPECT_TRUE(AllZero(p.params.reserved, sizeof p.params.reserved));
    EXPECT_EQ(p.params.valid, 1);
}

TEST(ParseCommandLine, OverLongArgumentTextIsCutToTheWorkingCopy) {
    // The port switch lies beyond the 259 characters kept, so it is not seen.
    std::string text = "/sx " + std::string(300, 'a') + " /P1500";
    Parsed p = Parse(text);
    EXPECT_EQ(p.params.port, 1433);
    // "/find" beyond the working copy is not seen either.
    EXPECT_EQ(Parse(std::string(300, 'a') + "/find").result, 1);
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

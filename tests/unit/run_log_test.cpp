// The run log's bound: past 1 MiB at the start of a run it becomes ".1",
// replacing the older one, and a new log begins with its byte order mark.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "record/RunLog.h"
#include "record/RunSecrets.h"

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(RunLog, PastItsBoundALogMakesRoomAndANewOneBegins) {
    const std::string path = "run_log_test.log";
    std::ofstream(path + ".1", std::ios::binary) << "the older one";
    std::ofstream(path, std::ios::binary) << std::string(kRunLogLimit, 'x');

    // At the bound it is kept and appended to, with no second mark.
    ASSERT_TRUE(OpenRunLog(path.c_str()));
    LogUtf8("a\nb");
    CloseRunLog();
    const std::string kept = Read(path);
    ASSERT_GT(kept.size(), static_cast<size_t>(kRunLogLimit));
    EXPECT_EQ(kept.find("\xEF\xBB\xBF"), std::string::npos);
    EXPECT_EQ(kept.substr(kept.size() - 16), "a\r\n          b\r\n");

    ASSERT_TRUE(OpenRunLog(path.c_str()));
    LogLine("after %d", 1);
    CloseRunLog();
    EXPECT_EQ(Read(path + ".1"), kept);
    const std::string fresh = Read(path);
    EXPECT_EQ(fresh.rfind("\xEF\xBB\xBF", 0), 0u);
    EXPECT_EQ(fresh.substr(fresh.size() - 9), "after 1\r\n");
    std::remove(path.c_str());
    std::remove((path + ".1").c_str());
}

// Every entry loses the run's passwords, each whole, however short, in the
// code page's bytes and as UTF-8 ("jelszó" in code page 1250 under Wine).
TEST(RunLog, NoEntryCarriesAPasswordOfTheRun) {
    const std::string path = "run_log_secrets.log";
    std::remove(path.c_str());
    RegisterRunSecret("S3cret");
    RegisterRunSecret("S3cretS3cret!");
    RegisterRunSecret("*");
    RegisterRunSecret("jelsz\xf3xx", 6);
    RegisterRunSecret("");
    ASSERT_TRUE(OpenRunLog(path.c_str()));
    LogLine("pwd=S3cretS3cret! S3cret a*b jelsz\xf3 %s", "end");
    // A password that the line's bound would cut through is masked whole first.
    LogLine("%s%s", std::string(1018, 'x').c_str(), "S3cret");
    ClearRunSecrets();
    LogLine("S3cret");
    CloseRunLog();
    const std::string log = Read(path);
    EXPECT_NE(log.find("  pwd=*** *** a***b *** end\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("xx***\r\n"), std::string::npos) << "masked, then cut";
    // Cleared at the end of the run: nothing is held any more.
    EXPECT_NE(log.find("  S3cret\r\n"), std::string::npos);
    std::remove(path.c_str());
}

// A log that is a second name of another file is not written, nor rotated:
// the other file stays as it was.
TEST(RunLog, ALogWithASecondNameIsRefused) {
    const std::string other = "run_log_other.txt";
    const std::string path = "run_log_linked.log";
    std::remove(path.c_str());
    std::ofstream(other, std::ios::binary) << std::string(kRunLogLimit + 1, 'k');
    std::filesystem::create_hard_link(other, path);
    LogFileState::Status status = LogFileState::kOpened;
    EXPECT_FALSE(OpenRunLog(path.c_str(), &status));
    EXPECT_EQ(status, LogFileState::kSecondName);
    LogLine("not here");
    CloseRunLog();
    EXPECT_EQ(Read(other), std::string(kRunLogLimit + 1, 'k'));
    EXPECT_FALSE(std::filesystem::exists(path + ".1"));
    std::remove(path.c_str());
    std::remove(other.c_str());
}

} // namespace

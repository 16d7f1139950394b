#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "db/DbLibrary.h"
#include "db/ScriptRunner.h"

namespace {

std::vector<std::string> g_sent;
std::vector<int> g_results; // successive results, 0 after the list

int KELVANE_CALL RecordStatement(int, const char* statement, int) {
    const size_t n = g_sent.size();
    g_sent.emplace_back(statement);
    return n < g_results.size() ? g_results[n] : 0;
}

struct RecordingBar final : IProgressBar {
    void SetRange(int, int) override {}
    void SetPos(int position) override { positions.push_back(position); }
    std::vector<int> positions;
};

class ScriptRunnerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_sent.clear();
        g_results.clear();
        SetDbEntryPoints(nullptr, RecordStatement);
        path_ = (std::filesystem::temp_directory_path() /
                 ("dunmoor_runner_" + std::to_string(++serial_) + ".sql"))
                    .string();
    }
    void TearDown() override {
        std::remove(path_.c_str());
        SetDbEntryPoints(nullptr, nullptr);
    }
    const char* Script(const std::string& bytes) {
        std::ofstream(path_, std::ios::binary) << bytes;
        return path_.c_str();
    }
    // Counts, then runs, as the workflows do.
    std::vector<std::string> Run(const std::string& bytes, int* count = nullptr) {
        const char* path = Script(bytes);
        const int counted = CountBatches(path);
        if (count != nullptr) {
            *count = counted;
        }
        EXPECT_EQ(RunScript(path, &bar_, counted), 1);
        EXPECT_EQ(static_cast<size_t>(counted), g_sent.size());
        return g_sent;
    }
    std::string path_;
    RecordingBar bar_;
    static inline int serial_ = 0;
};

using Batches = std::vector<std::string>;

TEST_F(ScriptRunnerTest, BatchIsEveryLineAsReadFollowedByOneSpace) {
    EXPECT_EQ(Run("A\r\nB\r\nGO\r\n"), Batches{"A\r\n B\r\n "});
    g_sent.clear();
    EXPECT_EQ(Run("A\nB\ngo"), Batches{"A\n B\n "}) << "a last line without line end";
}

TEST_F(ScriptRunnerTest, OnlyTextBeforeASeparatorIsExecuted) {
    EXPECT_EQ(Run(""), Batches{});
    EXPECT_EQ(Run("select 1\nselect 2\n"), Batches{});
    EXPECT_EQ(Run("A\nGO\nB\n"), Batches{"A\n "});
}

TEST_F(ScriptRunnerTest, SeparatorsInARowSendEmptyBatchesThatCount) {
    int count = 0;
    EXPECT_EQ(Run("GO\nGO\nA\nGO\n", &count), (Batches{"", "", "A\n "}));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(bar_.positions, (std::vector<int>{33, 66, 100}));
}

TEST_F(ScriptRunnerTest, SeparatorIsAnyLineBeginningWithGoInAnyCase) {
    for (const char* line : {"go", "GO", "Go", "gO", "GO 5", "goto x", "Good"}) {
        g_sent.clear();
        EXPECT_EQ(Run(std::string("A\n") + line + "\nB\n"), Batches{"A\n "}) << line;
    }
    for (const char* line : {" go", "\tGO", "g", "og", "xgo"}) {
        g_sent.clear();
        EXPECT_EQ(Run(std::string("A\n") + line + "\nGO\n"),
                  Batches{"A\n " + std::string(line) + "\n "})
            << line;
    }
}

TEST_F(ScriptRunnerTest, LongLineArrivesInPiecesOf1039EachFollowedByASpace) {
    const std::string x(2500, 'x');
    EXPECT_EQ(Run(x + "\nGO\n"), Batches{x.substr(0, 1039) + " " + x.substr(1039, 1039) + " " +
                                         x.substr(2078) + "\n "});
    // A piece is a line of its own: one beginning with go ends the batch.
    g_sent.clear();
    EXPECT_EQ(Run(std::string(1039, 'y') + "go on\nB\nGO\n"),
              (Batches{std::string(1039, 'y') + " ", "B\n "}));
}

TEST_F(ScriptRunnerTest, LineEndsReachTheServerUnchangedAndCountAlike) {
    const std::string y(1038, 'y'); // with its CR the read is full and the LF comes alone
    int count = 0;
    EXPECT_EQ(Run("A\r\ngo\r\n" + y + "\r\nGO\r\n", &count), (Batches{"A\r\n ", y + "\r \n "}));
    EXPECT_EQ(count, 2);
}

TEST_F(ScriptRunnerTest, BatchBeyondTheClassicBufferRunsWhole) {
    std::string script, expected;
    for (int i = 0; i < 1100; ++i) {
        const std::string line = std::to_string(i) + std::string(95, 'z') + "\n";
        script += line;
        expected += line + " ";
    }
    ASSERT_GT(expected.size(), 100000u);
    EXPECT_EQ(Run(script + "GO\nB\nGO\n"), (Batches{expected, "B\n "}));
}

// What reading the file with fgets into a 1040-byte buffer gives.
Batches ReadLineByLine(const char* path) {
    Batches batches;
    std::string batch;
    FILE* file = std::fopen(path, "rb");
    char line[1040] = {};
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if ((line[0] == 'g' || line[0] == 'G') && (line[1] == 'o' || line[1] == 'O')) {
            batches.push_back(batch);
            batch.clear();
        } else {
            batch += std::string(line) + " ";
        }
        std::memset(line, 0, sizeof line);
    }
    std::fclose(file);
    return batches;
}

TEST_F(ScriptRunnerTest, PiecesMatchLineByLineReadingAcrossAnyLayout) {
    std::mt19937 random(4);
    std::string script;
    // The last tail holds a NUL, so it carries its length with it.
    const std::string tails[] = {"\n", "\r\n", "\nGO\n", "\ngo 2\r\n", "", std::string("\0x\n", 3)};
    while (script.size() < 300000) {
        script += std::string(random() % 3000, static_cast<char>('a' + random() % 26));
        script += tails[random() % 6];
    }
    const Batches expected = ReadLineByLine(Script(script));
    ASSERT_GT(expected.size(), 50u);
    EXPECT_EQ(Run(script), expected);
}

TEST_F(ScriptRunnerTest, PositionIsThePercentageOfCountedBatches) {
    std::string script;
    for (int i = 0; i < 200; ++i) {
        script += "A\nGO\n";
    }
    Run(script);
    ASSERT_EQ(bar_.positions.size(), 199u) << "no position after the first batch";
    EXPECT_EQ(bar_.positions.front(), 1);
    EXPECT_EQ(bar_.positions.back(), 100);
}

TEST_F(ScriptRunnerTest, NoProgressWithoutCountOrBar) {
    const char* path = Script("A\nGO\nB\nGO\n");
    EXPECT_EQ(RunScript(path, &bar_, 0), 1);
    EXPECT_EQ(RunScript(path, &bar_, -1), 1);
    EXPECT_EQ(RunScript(path, nullptr, 2), 1);
    EXPECT_TRUE(bar_.positions.empty());
    EXPECT_EQ(g_sent.size(), 6u);
}

TEST_F(ScriptRunnerTest, MissingFileGivesZeroAndSendsNothing) {
    const std::string missing = path_ + ".missing";
    EXPECT_EQ(CountBatches(missing.c_str()), 0);
    EXPECT_EQ(RunScript(missing.c_str(), &bar_, 1), 0);
    EXPECT_TRUE(g_sent.empty());
}

TEST_F(ScriptRunnerTest, FailingBatchesDoNotStopTheRun) {
    g_results = {0, -5, 0};
#ifndef _WIN32
    ::testing::internal::CaptureStderr();
#endif
    EXPECT_EQ(Run("A\nGO\n\r\n  CREATE TABLE t\r\n(x int)\r\nGO\nC\nGO\n").size(), 3u);
#ifndef _WIN32
    // The refused batch is named by its number and its first line with text.
    const std::string debug = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(debug, "Script batch 2 failed (result -5): CREATE TABLE t\n");
#endif
}

} // namespace

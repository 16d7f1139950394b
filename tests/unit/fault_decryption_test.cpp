// Faults between an encrypted script and its run: whatever goes wrong while
// the plain script is written, no plain script is left behind for the runner,
// no stale one from an earlier run survives, and the encrypted file is never
// touched.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "crypto/Cipher.h"
#include "crypto/ScriptFile.h"
#include "db/DbLibrary.h"
#include "db/ScriptPaths.h"
#include "db/ScriptRunner.h"

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<std::string> g_sent;

int KELVANE_CALL RecordStatement(int, const char* statement, int) {
    g_sent.emplace_back(statement);
    return 0;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

// A script of many batches, sealed with the program's key: three full
// decryption chunks and a bit.
Bytes SealedScript() {
    std::string text;
    for (int i = 0; text.size() < 3 * 4096 + 100; ++i) {
        text += "insert into t values (" + std::to_string(i) + ")\r\nGO\r\n";
    }
    Bytes data(text.begin(), text.end());
    data.resize((data.size() + 15) / 16 * 16, ' ');
    ExpandKey();
    for (size_t off = 0; off < data.size(); off += kBlockSize) {
        EncryptBlock(data.data() + off);
    }
    return data;
}

const Bytes kStalePlain = {'d', 'r', 'o', 'p', ' ', 'x', '\n', 'G', 'O', '\n'};

class DecryptionFault : public ::testing::Test {
  protected:
    void SetUp() override {
        BuildCipherTables();
        g_sent.clear();
        SetDbEntryPoints(nullptr, RecordStatement);
        std::random_device seed;
        dir_ = fs::temp_directory_path() / ("dunmoor-fault-" + std::to_string(seed()));
        fs::create_directories(dir_);
        FormScriptPaths(paths_, dir_.string().c_str(), kMsSqlPatch);
        sealed_ = SealedScript();
    }
    void TearDown() override {
        SetDbEntryPoints(nullptr, nullptr);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
        fs::remove(paths_.encrypted, ignored);
        fs::remove_all(paths_.plain, ignored);
    }

    // What a workflow does with the pair: decrypt, count, run.
    void DecryptAndRun() {
        DecryptIfPresent(paths_);
        const int count = CountBatches(paths_.plain);
        RunScript(paths_.plain, nullptr, count);
    }

    void ExpectNoPlainScriptAndNothingRun() {
        EXPECT_FALSE(fs::exists(paths_.plain));
        EXPECT_TRUE(g_sent.empty()) << g_sent.size() << " batches ran, the first: " << g_sent[0];
    }

    fs::path dir_;
    ScriptPaths paths_;
    Bytes sealed_;
};

TEST_F(DecryptionFault, NoneAtAllRunsEveryBatchAsTheBaseline) {
    WriteFile(paths_.encrypted, sealed_);
    DecryptAndRun();
    EXPECT_GT(g_sent.size(), 200u);
}

#ifndef _WIN32
// The disk fills after the first chunk: the file-size limit makes the second
// chunk's write come up short, as a full disk does.
TEST_F(DecryptionFault, DiskFullMidwayLeavesNoPartialOrStalePlainScript) {
    WriteFile(paths_.encrypted, sealed_);
    WriteFile(paths_.plain, kStalePlain);

    struct rlimit saved;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    struct rlimit limited = saved;
    limited.rlim_cur = 4096 + 1000;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limited));
    FILE* input = std::fopen(paths_.encrypted, "rb");
    ASSERT_NE(input, nullptr);
    const int result = DecryptScriptFile(input, paths_.plain);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(kDecryptFailed, result);
    const int count = CountBatches(paths_.plain);
    EXPECT_EQ(0, RunScript(paths_.plain, nullptr, count));
    ExpectNoPlainScriptAndNothingRun();
    EXPECT_EQ(sealed_, ReadFile(paths_.encrypted));
}

// A name that opens but cannot be read (here a directory): the read error
// fails the decryption instead of passing for the end of the file.
TEST_F(DecryptionFault, UnreadableEncryptedScriptLeavesNoPlainScript) {
    fs::create_directory(paths_.encrypted);
    WriteFile(paths_.plain, kStalePlain);

    DecryptAndRun();

    ExpectNoPlainScriptAndNothingRun();
    EXPECT_TRUE(fs::is_directory(paths_.encrypted));
}
#endif

// The plain script cannot be created where it belongs (its name is taken by
// a directory, which no write can replace, not even for an administrator).
TEST_F(DecryptionFault, PlainScriptThatCannotBeCreatedRunsNothing) {
    WriteFile(paths_.encrypted, sealed_);
    fs::create_directory(paths_.plain);

    FILE* input = std::fopen(paths_.encrypted, "rb");
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(kDecryptFailed, DecryptScriptFile(input, paths_.plain));
    const int count = CountBatches(paths_.plain);
    RunScript(paths_.plain, nullptr, count);

    EXPECT_EQ(0, count);
    EXPECT_TRUE(g_sent.empty());
    EXPECT_TRUE(fs::is_directory(paths_.plain));
    EXPECT_EQ(sealed_, ReadFile(paths_.encrypted));
}

TEST_F(DecryptionFault, MissingEncryptedScriptCreatesNoPlainScript) {
    DecryptAndRun();
    ExpectNoPlainScriptAndNothingRun();
}

} // namespace

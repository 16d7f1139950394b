// Decryption of encrypted script files into plain files.
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

#ifndef _WIN32
#include <fcntl.h>
#endif

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

Bytes RandomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto& b : out) {
        b = uint8_t(rng());
    }
    return out;
}

// The whole file decrypted at once with the program's key; a trailing partial
// block is completed with zeros and cut back afterwards.
Bytes WholeFileDecryption(Bytes data) {
    const size_t n = data.size();
    data.resize((n + 15) / 16 * 16, 0);
    ExpandKey();
    for (size_t off = 0; off < data.size(); off += kBlockSize) {
        DecryptBlock(data.data() + off);
    }
    data.resize(n);
    return data;
}

Bytes Seal(Bytes plain) {
    plain.resize((plain.size() + 15) / 16 * 16, 0);
    ExpandKey();
    for (size_t off = 0; off < plain.size(); off += kBlockSize) {
        EncryptBlock(plain.data() + off);
    }
    return plain;
}

// Whether DecryptScriptFile closed the stream behind fd. On Windows an open
// file cannot be deleted, which tells the same.
bool InputWasClosed(int fd, const fs::path& path) {
#ifdef _WIN32
    (void)fd;
    return std::remove(path.string().c_str()) == 0;
#else
    (void)path;
    return fcntl(fd, F_GETFD) == -1;
#endif
}

class ScriptFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BuildCipherTables();
        std::random_device seed;
        dir_ = fs::temp_directory_path() / ("dunmoor-script-file-" + std::to_string(seed()));
        fs::create_directories(dir_);
        encPath_ = dir_ / "QuenlorEn.dat";
        plainPath_ = dir_ / "Quenlor.dat";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    int Decrypt(const Bytes& encrypted) {
        WriteFile(encPath_, encrypted);
        return DecryptPath(plainPath_);
    }
    int DecryptPath(const fs::path& plain) {
        FILE* input = std::fopen(encPath_.string().c_str(), "rb");
        EXPECT_NE(input, nullptr);
        inputFd_ = fileno(input);
        return DecryptScriptFile(input, plain.string().c_str());
    }

    fs::path dir_;
    fs::path encPath_;
    fs::path plainPath_;
    int inputFd_ = -1;
};

using DecryptsEveryChunk = ScriptFileTest;

// Sizes around the 4096-byte chunk and the 16-byte block.
TEST_F(DecryptsEveryChunk, IntoAPlainFileOfTheSameLengthAsWholeFileEcb) {
    const size_t sizes[] = {0, 1, 16, 4095, 4096, 4100, 4112, 3 * 4096, 5 * 4096 + 37};
    for (size_t size : sizes) {
        const Bytes encrypted = RandomBytes(size, unsigned(size));
        ASSERT_EQ(Decrypt(encrypted), 0) << size << " bytes";
        EXPECT_TRUE(InputWasClosed(inputFd_, encPath_)) << size << " bytes";
        EXPECT_EQ(ReadFile(plainPath_), WholeFileDecryption(encrypted)) << size << " bytes";
    }
}

TEST_F(DecryptsEveryChunk, GivesBackTheSealedTextWithItsCrLf) {
    const std::string text = "CREATE TABLE roles (id INT)\r\nGO\r\nSELECT 1\r\ngo\r\n";
    Bytes plain(text.begin(), text.end());
    const Bytes sealed = Seal(plain);
    ASSERT_EQ(Decrypt(sealed), 0);
    plain.resize(sealed.size(), 0); // the zero fill of the last block comes out as it is
    EXPECT_EQ(ReadFile(plainPath_), plain);
}

// The schedule is derived again for every chunk, whatever was computed before.
TEST_F(DecryptsEveryChunk, WithTheProgramKeyWhateverScheduleWasLeft) {
    const Bytes plain = RandomBytes(2 * 4096 + 48, 9);
    const Bytes sealed = Seal(plain);
    uint8_t otherKey[kKeySize] = {1, 2, 3};
    ComputeKeySchedule(otherKey);
    ASSERT_EQ(Decrypt(sealed), 0);
    EXPECT_EQ(ReadFile(plainPath_), plain);
}

using ReplacesThePlainFile = ScriptFileTest;

TEST_F(ReplacesThePlainFile, CompletelyEvenWithShorterContent) {
    WriteFile(plainPath_, Bytes(10000, 'x'));
    const Bytes encrypted = RandomBytes(32, 4);
    ASSERT_EQ(Decrypt(encrypted), 0);
    EXPECT_EQ(ReadFile(plainPath_), WholeFileDecryption(encrypted));
}

TEST_F(ReplacesThePlainFile, WithAnEmptyOneForAnEmptyInput) {
    WriteFile(plainPath_, Bytes(100, 'x'));
    ASSERT_EQ(Decrypt(Bytes()), 0);
    ASSERT_TRUE(fs::exists(plainPath_));
    EXPECT_EQ(fs::file_size(plainPath_), 0u);
}

using FailsWith304 = ScriptFileTest;

TEST_F(FailsWith304, WhenThePlainFileCannotBeCreatedAndClosesTheInput) {
    WriteFile(encPath_, RandomBytes(64, 5));
    const fs::path missing = dir_ / "missing" / "Quenlor.dat";
    EXPECT_EQ(DecryptPath(missing), kDecryptFailed);
    EXPECT_TRUE(InputWasClosed(inputFd_, encPath_));
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

#ifndef _WIN32
// A stream that cannot be read stands for a failing disk. (The Windows C
// runtime reports end of file, not an error, for a write-only stream.)
TEST_F(FailsWith304, OnAReadErrorAndLeavesNoPlainFile) {
    WriteFile(encPath_, RandomBytes(64, 6));
    FILE* input = std::fopen(encPath_.string().c_str(), "ab");
    ASSERT_NE(input, nullptr);
    const int fd = fileno(input);
    EXPECT_EQ(DecryptScriptFile(input, plainPath_.string().c_str()), kDecryptFailed);
    EXPECT_TRUE(InputWasClosed(fd, encPath_));
    EXPECT_FALSE(fs::exists(plainPath_));
}

// A link to /dev/full: every write fails for want of space. Deleting the plain
// file removes the link, never the device.
TEST_F(FailsWith304, OnAShortWriteAndDeletesThePartialPlainFile) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    const fs::path full = dir_ / "Full.dat";
    fs::create_symlink("/dev/full", full);
    WriteFile(encPath_, RandomBytes(3 * 4096 + 16, 7));
    EXPECT_EQ(DecryptPath(full), kDecryptFailed);
    EXPECT_TRUE(InputWasClosed(inputFd_, encPath_));
    EXPECT_FALSE(fs::exists(fs::symlink_status(full)));
    EXPECT_TRUE(fs::exists("/dev/full"));
}

// Whatever stays in the stream's buffer is written only when it is closed.
TEST_F(FailsWith304, WhenOnlyTheFinalFlushFails) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    const fs::path full = dir_ / "Full.dat";
    fs::create_symlink("/dev/full", full);
    WriteFile(encPath_, RandomBytes(16, 8));
    EXPECT_EQ(DecryptPath(full), kDecryptFailed);
    EXPECT_FALSE(fs::exists(fs::symlink_status(full)));
}
#endif

} // namespace

// Block throughput of the program's AES-256 against OpenSSL's AES-256-ECB on
// the same data: our decryption on each of its paths (round tables, AES-NI)
// against OpenSSL with and without AES-NI, and our encryption (tables only)
// against OpenSSL's table code. OpenSSL reads its capability mask once, as it
// loads, so its table code runs in a second process of this program, started
// with AES-NI masked (OPENSSL_ia32cap). The summary at the end gives every
// pair side by side; a ratio of 1.0 or more means at least as fast.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "crypto/Cipher.h"

#if DUNMOOR_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

extern char** environ;

namespace {

constexpr size_t kBytes = 1u << 20;
// Started with this first argument, the program measures OpenSSL alone and
// prints one "name bytes-per-second" line per benchmark.
constexpr char kOpenSslTablesFlag[] = "--openssl-tables-only";
constexpr char kOpenSslFilter[] = "--benchmark_filter=^OpenSsl/";
constexpr char kMaskAesNi[] = "~0x200000000000000";

std::map<std::string, double> g_rates;

std::vector<uint8_t> Data() {
    std::vector<uint8_t> data(kBytes);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 131u + 7u);
    }
    return data;
}

void OursEncrypt(benchmark::State& state) {
    BuildCipherTables();
    ExpandKey();
    std::vector<uint8_t> data = Data();
    for ([[maybe_unused]] auto _ : state) {
        for (size_t at = 0; at < data.size(); at += kBlockSize) {
            EncryptBlock(&data[at]);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

void OursDecrypt(benchmark::State& state, DecryptPath path) {
    BuildCipherTables();
    ExpandKey();
    const DecryptPath before = CurrentDecryptPath();
    if (!UseDecryptPath(path)) {
        state.SkipWithError("no AES instructions on this processor");
        return;
    }
    std::vector<uint8_t> data = Data();
    for ([[maybe_unused]] auto _ : state) {
        DecryptEcb(data.data(), kBytes / kBlockSize);
        benchmark::ClobberMemory();
    }
    UseDecryptPath(before);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

BENCHMARK(OursEncrypt);
BENCHMARK_CAPTURE(OursDecrypt, tables, DecryptPath::Tables);
BENCHMARK_CAPTURE(OursDecrypt, aesni, DecryptPath::AesNi);

#if DUNMOOR_HAVE_OPENSSL
void OpenSsl(benchmark::State& state, bool decrypt) {
    uint8_t key[kKeySize];
    DeriveProgramKey(key);
    std::vector<uint8_t> data = Data();
    std::vector<uint8_t> out(kBytes + kBlockSize);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_CipherInit_ex(ctx, EVP_aes_256_ecb(), nullptr, key, nullptr, decrypt ? 0 : 1);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    for ([[maybe_unused]] auto _ : state) {
        int n = 0;
        EVP_CipherUpdate(ctx, out.data(), &n, data.data(), static_cast<int>(kBytes));
        benchmark::DoNotOptimize(n);
    }
    EVP_CIPHER_CTX_free(ctx);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK_CAPTURE(OpenSsl, Encrypt, false);
BENCHMARK_CAPTURE(OpenSsl, Decrypt, true);
#endif

double RateOf(const benchmark::BenchmarkReporter::Run& run) {
    const auto it = run.counters.find("bytes_per_second");
    return it == run.counters.end() ? 0.0 : double(it->second);
}

// The full table of each run, and its rate kept for the summary.
class RateReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            g_rates[run.benchmark_name()] = RateOf(run);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

// The masked process's answer to its parent.
class LineReporter : public benchmark::BenchmarkReporter {
  public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            std::printf("%s %.0f\n", run.benchmark_name().c_str(), RateOf(run));
        }
    }
};

// Runs this program again, by its full path, with OpenSSL's AES-NI masked and
// the same benchmark options, and reads the rates it prints.
void MeasureOpenSslTables(const std::vector<std::string>& options) {
    char self[PATH_MAX] = {};
    int pipeEnds[2];
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0 || pipe(pipeEnds) != 0) {
        return;
    }
    std::vector<char*> args = {self, const_cast<char*>(kOpenSslTablesFlag)};
    for (const std::string& option : options) {
        if (option.rfind("--benchmark_filter", 0) != 0) { // its benchmarks are fixed
            args.push_back(const_cast<char*>(option.c_str()));
        }
    }
    args.push_back(const_cast<char*>(kOpenSslFilter));
    args.push_back(nullptr);
    setenv("OPENSSL_ia32cap", kMaskAesNi, 1); // read by the child's OpenSSL only
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, self, &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    FILE* lines = fdopen(pipeEnds[0], "r");
    // "<name> <rate>" lines; one that does not read as such ends the reading.
    char line[256];
    while (spawned == 0 && lines != nullptr && std::fgets(line, sizeof line, lines) != nullptr) {
        char* blank = std::strchr(line, ' ');
        if (blank == nullptr) {
            break;
        }
        *blank = '\0';
        char* end = nullptr;
        const double rate = std::strtod(blank + 1, &end);
        if (end == blank + 1) {
            break;
        }
        g_rates[std::string("Masked") + line] = rate;
    }
    if (lines != nullptr) {
        (void)std::fclose(lines); // read to its end: nothing is lost
    }
    if (spawned == 0) {
        waitpid(child, nullptr, 0);
    }
}

void PrintPair(const char* what, const char* ours, const char* theirs) {
    const double a = g_rates.count(ours) ? g_rates[ours] : 0.0;
    const double b = g_rates.count(theirs) ? g_rates[theirs] : 0.0;
    if (a <= 0 || b <= 0) {
        return;
    }
    std::printf("%-40s %10.1f %10.1f %8.2f\n", what, a / 1048576, b / 1048576, a / b);
}

} // namespace

int main(int argc, char** argv) {
    const bool tablesOnly = argc > 1 && std::strcmp(argv[1], kOpenSslTablesFlag) == 0;
    const std::vector<std::string> options(argv + 1, argv + argc);
    benchmark::Initialize(&argc, argv); // leaves the flag it does not know alone
    if (tablesOnly) {
        LineReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        return 0;
    }
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
#if DUNMOOR_HAVE_OPENSSL
    MeasureOpenSslTables(options);
#endif
    std::printf("\n%-40s %10s %10s %8s\n", "AES-256 ECB, MiB/s", "ours", "OpenSSL", "ratio");
    PrintPair("decrypt: our tables, OpenSSL no AES-NI", "OursDecrypt/tables",
              "MaskedOpenSsl/Decrypt");
    if (DecryptPathAvailable(DecryptPath::AesNi)) {
        PrintPair("decrypt: our AES-NI, OpenSSL AES-NI", "OursDecrypt/aesni", "OpenSsl/Decrypt");
    }
    PrintPair("encrypt: our tables, OpenSSL no AES-NI", "OursEncrypt", "MaskedOpenSsl/Encrypt");
    return 0;
}

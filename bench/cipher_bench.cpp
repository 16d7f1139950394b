// Block throughput of the program's AES-256 against OpenSSL's AES-256-ECB on
// the same data. scripts/bench runs it with OpenSSL's AES-NI path masked, so
// the comparison is table code against table code; the ratios printed at the
// end are ours divided by OpenSSL's (1.0 or more means at least as fast).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "crypto/Cipher.h"

#if DUNMOOR_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

namespace {

constexpr size_t kBytes = 1u << 20;
double g_ours[2] = {};
double g_openssl[2] = {};

std::vector<uint8_t> Data() {
    std::vector<uint8_t> data(kBytes);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 131u + 7u);
    }
    return data;
}

void Ours(benchmark::State& state, bool decrypt) {
    BuildCipherTables();
    ExpandKey();
    std::vector<uint8_t> data = Data();
    for ([[maybe_unused]] auto _ : state) {
        for (size_t at = 0; at < data.size(); at += kBlockSize) {
            decrypt ? DecryptBlock(&data[at]) : EncryptBlock(&data[at]);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

void OursEncrypt(benchmark::State& state) { Ours(state, false); }
void OursDecrypt(benchmark::State& state) { Ours(state, true); }
BENCHMARK(OursEncrypt);
BENCHMARK(OursDecrypt);

#if DUNMOOR_HAVE_OPENSSL
void OpenSsl(benchmark::State& state, bool decrypt) {
    uint8_t key[kKeySize];
    DeriveProgramKey(key);
    std::vector<uint8_t> data = Data();
    std::vector<uint8_t> out(kBytes + kBlockSize);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    (decrypt ? EVP_DecryptInit_ex : EVP_EncryptInit_ex)(ctx, EVP_aes_256_ecb(), nullptr, key,
                                                        nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    for ([[maybe_unused]] auto _ : state) {
        int n = 0;
        (decrypt ? EVP_DecryptUpdate : EVP_EncryptUpdate)(ctx, out.data(), &n, data.data(),
                                                          static_cast<int>(kBytes));
        benchmark::DoNotOptimize(n);
    }
    EVP_CIPHER_CTX_free(ctx);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
void OpenSslEncrypt(benchmark::State& state) { OpenSsl(state, false); }
void OpenSslDecrypt(benchmark::State& state) { OpenSsl(state, true); }
BENCHMARK(OpenSslEncrypt);
BENCHMARK(OpenSslDecrypt);
#endif

// Collects bytes per second of each run for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const auto it = run.counters.find("bytes_per_second");
            const double rate = it == run.counters.end() ? 0.0 : double(it->second);
            double* slot = name.rfind("Ours", 0) == 0 ? g_ours : g_openssl;
            slot[name.find("Decrypt") != std::string::npos ? 1 : 0] = rate;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (g_openssl[0] > 0 && g_openssl[1] > 0) {
        std::printf("ratio encrypt (ours / OpenSSL): %.2f\n", g_ours[0] / g_openssl[0]);
        std::printf("ratio decrypt (ours / OpenSSL): %.2f\n", g_ours[1] / g_openssl[1]);
    }
    return 0;
}

// Throughput of the script runner with a library that does nothing, on two
// generated 64 MiB scripts: many short batches, and batches of one 1 MiB line.
// The peak resident size before and after the runs shows that memory stays
// bounded by the largest batch, not by the script.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "db/DbLibrary.h"
#include "db/ScriptRunner.h"

namespace {

constexpr size_t kScriptSize = 64u << 20;

int DoNothing(int, const char* statement, int) {
    benchmark::DoNotOptimize(statement);
    return 0;
}

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Writes unit over and over until the file holds kScriptSize bytes, a unit at
// a time, so the generator itself never holds the script in memory.
std::string Generate(const char* name, const std::string& unit) {
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    FILE* file = std::fopen(path.c_str(), "wb");
    bool whole = file != nullptr;
    for (size_t written = 0; whole && written < kScriptSize; written += unit.size()) {
        whole = std::fwrite(unit.data(), 1, unit.size(), file) == unit.size();
    }
    // A script cut short would time other work than the one named.
    if (file == nullptr || std::fclose(file) != 0 || !whole) {
        (void)std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

// Generated once, removed when the benchmark ends.
struct Scripts {
    Scripts()
        : shortBatches(Generate("dunmoor_bench_short.sql",
                                "INSERT INTO Item (Id, Name) VALUES (1042, 'Kard');\r\n"
                                "UPDATE Item SET Price = 12 WHERE Id = 1042;\r\n"
                                "GO\r\n")),
          longLines(Generate("dunmoor_bench_long.sql",
                             "SELECT '" + std::string((1u << 20) - 12, 'q') + "'\r\nGO\r\n")) {}
    ~Scripts() {
        // Temporary files: one that stays behind harms nothing.
        (void)std::remove(shortBatches.c_str());
        (void)std::remove(longLines.c_str());
    }
    std::string shortBatches;
    std::string longLines;
};

const Scripts& TheScripts() {
    static const Scripts scripts;
    return scripts;
}

void Run(benchmark::State& state, const std::string& path) {
    SetDbEntryPoints(nullptr, DoNothing);
    const int batches = CountBatches(path.c_str());
    const long before = PeakResidentKiB();
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(RunScript(path.c_str(), nullptr, batches));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
    state.counters["batches"] = batches;
    state.counters["peak_rss_before_KiB"] = static_cast<double>(before);
    state.counters["peak_rss_after_KiB"] = static_cast<double>(PeakResidentKiB());
    SetDbEntryPoints(nullptr, nullptr);
}

void BM_RunScriptShortBatches(benchmark::State& state) {
    Run(state, TheScripts().shortBatches);
}
void BM_RunScriptLongLines(benchmark::State& state) {
    Run(state, TheScripts().longLines);
}
void BM_CountBatchesShortBatches(benchmark::State& state) {
    const std::string& path = TheScripts().shortBatches;
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(CountBatches(path.c_str()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
}

BENCHMARK(BM_RunScriptShortBatches)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunScriptLongLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountBatchesShortBatches)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

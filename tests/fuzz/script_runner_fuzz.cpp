// CountBatches and RunScript on arbitrary bytes. The count pass and the run
// pass must agree with each other and with line-by-line fgets reading into
// the 1040-byte line buffer; the progress only ever climbs to 100.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzFiles.h"
#include "db/DbLibrary.h"
#include "db/ScriptRunner.h"

namespace {

std::vector<std::string> g_sent;
long g_runs = 0;
int g_refusalsLeft = 0;

// The first three batches of every 512th run are refused, so the report of
// a failed batch is fuzzed too while its output stays a trickle.
int KELVANE_CALL RecordStatement(int, const char* statement, int) {
    FUZZ_CHECK(statement != nullptr);
    g_sent.emplace_back(statement);
    if (g_refusalsLeft > 0) {
        --g_refusalsLeft;
        return -1;
    }
    return 0;
}

struct RecordingBar final : IProgressBar {
    void SetRange(int, int) override {}
    void SetPos(int position) override { positions.push_back(position); }
    std::vector<int> positions;
};

// The batches the classic fgets loop would send.
std::vector<std::string> ReferenceBatches(const std::string& path) {
    std::vector<std::string> batches;
    FILE* file = std::fopen(path.c_str(), "rb");
    FUZZ_CHECK(file != nullptr);
    char line[1040] = {};
    std::string batch;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        const size_t n = std::strlen(line);
        if (n >= 2 && (line[0] == 'g' || line[0] == 'G') && (line[1] == 'o' || line[1] == 'O')) {
            batches.push_back(batch);
            batch.clear();
        } else {
            batch.append(line, n);
            batch.push_back(' ');
        }
        std::memset(line, 0, sizeof line);
    }
    std::fclose(file);
    return batches;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = ScratchPath("script.sql");
    FUZZ_CHECK(WriteWholeFile(path, data, size));
    SetDbEntryPoints(nullptr, RecordStatement);
    g_sent.clear();
    g_refusalsLeft = ++g_runs % 512 == 0 ? 3 : 0;

    const int counted = CountBatches(path.c_str());
    RecordingBar bar;
    FUZZ_CHECK(RunScript(path.c_str(), &bar, counted) == 1);
    FUZZ_CHECK(counted >= 0);
    FUZZ_CHECK(static_cast<size_t>(counted) == g_sent.size());
    FUZZ_CHECK(g_sent == ReferenceBatches(path));

    int last = 0;
    for (int position : bar.positions) {
        FUZZ_CHECK(position >= last);
        FUZZ_CHECK(position >= 1 && position <= 100);
        last = position;
    }
    FUZZ_CHECK(counted == 0 ? bar.positions.empty() : last == 100);
    FUZZ_CHECK(bar.positions.size() <= g_sent.size());

    // Without a count the run sends the same batches and moves nothing.
    const std::vector<std::string> first = g_sent;
    g_sent.clear();
    RecordingBar quiet;
    FUZZ_CHECK(RunScript(path.c_str(), &quiet, 0) == 1);
    FUZZ_CHECK(g_sent == first);
    FUZZ_CHECK(quiet.positions.empty());
    return 0;
}

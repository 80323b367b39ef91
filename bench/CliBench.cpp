// The command-line tool's list edits as a script calls them, in-process: one rename per call
// against 4000 renames in one batch (target: the batch under 1 s, reading and writing the full
// list included).
#include "bench/FullList.h"
#include "core/lists/ListFile.h"
#include "tests/support/FileTestSupport.h"
#include "tools/cli/Cli.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fw {
namespace {

std::string FullListText() {
    const ListDocument doc = bench::FullListDocument();
    return BuildListFileText(doc.listType, "full", doc.pool, doc.banks);
}

void RunTool(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    if (cli::RunCli(arguments, out, err) != cli::kExitOk)
        throw std::runtime_error(err.str());
}

void BM_SingleRename(benchmark::State& state) {
    const test::TempDir dir;
    const std::string list = dir.File("full.lst");
    test::WriteBytes(list, FullListText());
    int row = 0;
    for (auto _ : state) {
        RunTool({"list", "set", list, std::to_string(row), "2", "Renamed " + std::to_string(row)});
        row = (row + 1) % kPoolRows;
    }
}
BENCHMARK(BM_SingleRename)->Unit(benchmark::kMillisecond);

void BM_Batch4000Renames(benchmark::State& state) {
    const test::TempDir dir;
    const std::string list = dir.File("full.lst");
    const std::string script = dir.File("renames.txt");
    const std::string text = FullListText();
    std::string lines;
    for (int row = 0; row < kPoolRows; ++row)
        lines += "set " + std::to_string(row) + " 2 \"Das Erste HD " + std::to_string(row) + "\"\n";
    test::WriteBytes(script, lines);
    for (auto _ : state) {
        state.PauseTiming();
        test::WriteBytes(list, text);
        state.ResumeTiming();
        RunTool({"list", "batch", list, "--script", script});
    }
}
BENCHMARK(BM_Batch4000Renames)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace fw

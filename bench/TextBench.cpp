// Text conversion runs on every cell a 4000-row list shows or saves; it must stay cheap.
#include "core/util/Cp1252.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string ListSizedText() {
    std::string text;
    for (int row = 0; row < 4000; ++row)
        text +=
            "0\tDas Erste \xC4\xD6\xDC\t11836\tH\t27500\t3/4\t28106\t101\t102\t101\tAstra 19.2\xB0"
            "E\r\n";
    return text;
}

void BM_DecodeList(benchmark::State& state) {
    const std::string text = ListSizedText();
    for (auto _ : state)
        benchmark::DoNotOptimize(fw::Cp1252ToUtf8(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DecodeList);

void BM_EncodeList(benchmark::State& state) {
    const std::string utf8 = fw::Cp1252ToUtf8(ListSizedText());
    for (auto _ : state)
        benchmark::DoNotOptimize(fw::Utf8ToCp1252(utf8));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * utf8.size()));
}
BENCHMARK(BM_EncodeList);

} // namespace

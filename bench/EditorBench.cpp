// Every editor command, with its undo step, on a full list: 4000 programs and ten banks of
// 1000 entries. Target: each under 16.7 ms, one frame at 60 Hz; reading and writing the list's
// text under 50 ms.
#include "bench/FullList.h"
#include "core/favourites/BankCommands.h"
#include "core/lists/EditHistory.h"
#include "core/lists/ListFile.h"
#include "core/lists/PoolCommands.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <numeric>
#include <string>
#include <vector>

namespace fw {
namespace {

const ListDocument& FullList() {
    static const ListDocument doc = bench::FullListDocument();
    return doc;
}

std::vector<int> Range(int first, int count) {
    std::vector<int> items(static_cast<std::size_t>(count));
    std::iota(items.begin(), items.end(), first);
    return items;
}

// Times command on a fresh copy of the full list, recorded in a history as the editor does.
void TimeCommand(benchmark::State& state, const std::function<EditResult(ListDocument&)>& command) {
    CEditHistory history;
    for (auto _ : state) {
        state.PauseTiming();
        ListDocument doc = FullList();
        state.ResumeTiming();
        benchmark::DoNotOptimize(history.Run(doc, command));
    }
}

void BM_EditCell(benchmark::State& state) {
    TimeCommand(state, [](ListDocument& d) { return EditCell(d, 2000, 2, "Renamed"); });
}
BENCHMARK(BM_EditCell);

void BM_InsertEmptyRow(benchmark::State& state) {
    TimeCommand(state, [](ListDocument& d) { return InsertEmptyRows(d, 0, 1); });
}
BENCHMARK(BM_InsertEmptyRow);

void BM_ClearRows(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    TimeCommand(state, [count](ListDocument& d) { return ClearRows(d, Range(0, count)); });
}
BENCHMARK(BM_ClearRows)->Arg(1)->Arg(kPoolRows);

void BM_DeleteRows(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    TimeCommand(state, [count](ListDocument& d) { return DeleteRows(d, Range(0, count)); });
}
BENCHMARK(BM_DeleteRows)->Arg(1)->Arg(kPoolRows);

void BM_CopyRows(benchmark::State& state) {
    ListDocument doc = FullList();
    for (auto _ : state)
        benchmark::DoNotOptimize(CopyRows(doc, Range(0, kPoolRows)));
}
BENCHMARK(BM_CopyRows);

void BM_PasteOverwriting(benchmark::State& state) {
    ListDocument source = FullList();
    const std::string text = CopyRows(source, Range(0, kPoolRows));
    TimeCommand(state, [&text](ListDocument& d) { return PasteOverwriting(d, 1, text); });
}
BENCHMARK(BM_PasteOverwriting);

void BM_PasteInserting(benchmark::State& state) {
    ListDocument source = FullList();
    const std::string text = CopyRows(source, Range(0, kPoolRows));
    TimeCommand(state, [&text](ListDocument& d) { return PasteInserting(d, 0, text); });
}
BENCHMARK(BM_PasteInserting);

void BM_MoveRows(benchmark::State& state) {
    const bool inserting = state.range(0) != 0;
    TimeCommand(state, [inserting](ListDocument& d) {
        const std::string text = CutRows(d, Range(0, 2000));
        return inserting ? PasteInserting(d, 3999, text) : PasteOverwriting(d, 3999, text);
    });
}
BENCHMARK(BM_MoveRows)->Arg(0)->Arg(1);

void BM_AddToBank(benchmark::State& state) {
    TimeCommand(state, [](ListDocument& d) {
        DeleteBankEntries(d, 0, Range(0, kBankCapacity));
        return AddToBank(d, Range(0, kBankCapacity), 0, -1);
    });
}
BENCHMARK(BM_AddToBank);

void BM_SearchPoolWithoutHit(benchmark::State& state) {
    const ListDocument& doc = FullList();
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchPool(doc, "m\xFCnchen", 0));
}
BENCHMARK(BM_SearchPoolWithoutHit);

void BM_PoolMarks(benchmark::State& state) {
    const ListDocument& doc = FullList();
    for (auto _ : state)
        benchmark::DoNotOptimize(PoolMarks(doc.banks, 3));
}
BENCHMARK(BM_PoolMarks);

void BM_DeleteBankEntries(benchmark::State& state) {
    TimeCommand(state, [](ListDocument& d) { return DeleteBankEntries(d, 0, Range(0, 999)); });
}
BENCHMARK(BM_DeleteBankEntries);

void BM_CopyBankEntries(benchmark::State& state) {
    ListDocument doc = FullList();
    for (auto _ : state)
        benchmark::DoNotOptimize(CopyBankEntries(doc, 0, Range(0, kBankCapacity)));
}
BENCHMARK(BM_CopyBankEntries);

void BM_MoveBankEntries(benchmark::State& state) {
    TimeCommand(state, [](ListDocument& d) {
        const std::string text = CutBankEntries(d, 0, Range(0, kBankCapacity));
        return PasteBankEntries(d, 0, -1, text);
    });
}
BENCHMARK(BM_MoveBankEntries);

void BM_SearchBankWithoutHit(benchmark::State& state) {
    const ListDocument& doc = FullList();
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchBank(doc, 0, "m\xFCnchen", 0));
}
BENCHMARK(BM_SearchBankWithoutHit);

// Undo and redo of a step that changed every row and every bank.
void BM_UndoRedo(benchmark::State& state) {
    ListDocument doc = FullList();
    CEditHistory history;
    history.Run(doc, [](ListDocument& d) { return DeleteRows(d, {0}); });
    for (auto _ : state) {
        history.Undo(doc);
        history.Redo(doc);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2);
}
BENCHMARK(BM_UndoRedo);

// The editor's share of opening and saving a full list, without the disk.
void BM_ParseFullList(benchmark::State& state) {
    const ListDocument& full = FullList();
    const std::string text = BuildListFileText(kListTv, "Astra", full.pool, full.banks);
    for (auto _ : state) {
        ListDocument doc;
        benchmark::DoNotOptimize(ParseListText(text, doc.pool, doc.banks));
    }
}
BENCHMARK(BM_ParseFullList);

void BM_BuildFullListText(benchmark::State& state) {
    const ListDocument& full = FullList();
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildListFileText(kListTv, "Astra", full.pool, full.banks));
}
BENCHMARK(BM_BuildFullListText);

} // namespace
} // namespace fw

// Every editor command as the user waits for it on a full list (4000 programs, ten banks of
// 1000 entries): the command with its undo step, the signals of the grid's and the bank lists'
// models and the one repaint they cause in the editor and its favourites window. Target: each
// under 16.7 ms, one frame at 60 Hz. Searching and reading and writing the list's text are
// timed without a screen.
#include "bench/FullList.h"
#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/editor/BankCommands.h"
#include "core/editor/CsvList.h"
#include "core/editor/Duplicates.h"
#include "core/editor/EditHistory.h"
#include "core/editor/OrderLike.h"
#include "core/editor/PoolCommands.h"
#include "core/editor/SortCommands.h"
#include "core/lists/ListFile.h"
#include "gui/favourites/DlgFavoriten.h"
#include "gui/favourites/FavListCtrl.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/lists/PoolModel.h"
#include "gui/page/AppContext.h"
#include "gui/ui/ListClipboard.h"
#include "tests/support/FileTestSupport.h"

#include <QApplication>
#include <QItemSelectionModel>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <numeric>
#include <stdexcept>
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

// The editor and its favourites window on screen, over the full list.
class Editor {
public:
    Editor() {
        std::string reason;
        if (!CreateDataFolders(m_folders, reason))
            throw std::runtime_error(reason);
        m_dialog = std::make_unique<CDlgProgrammpool>(m_context, nullptr);
        m_dialog->show();
        Favourites().show();
        QApplication::processEvents();
    }

    // Back to the full list with an empty history, shown and painted, outside the timing.
    void Reset() {
        Grid().CloseEditor();
        Grid().SetFilter({});
        m_dialog->Document() = FullList();
        m_dialog->History().Clear();
        m_dialog->Refresh();
        Favourites().Refresh();
        Grid().clearSelection();
        Bank(0).clearSelection();
        Repaint();
    }

    // Another list in place of the full one, shown, outside the timing.
    void Show(const ListDocument& doc) {
        m_dialog->Document() = doc;
        m_dialog->History().Clear();
        m_dialog->Refresh();
        Favourites().Refresh();
        Repaint();
    }

    // The repaint the commands asked for, as the next frame would show it.
    static void Repaint() { QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest); }

    CPoolListCtrl& Grid() { return *m_dialog->Grid(); }
    CDlgFavoriten& Favourites() { return *m_dialog->Favourites(); }
    CFavListCtrl& Bank(int bank) { return *Favourites().List(bank); }
    EditHistory& History() { return m_dialog->History(); }
    ListDocument& Document() { return m_dialog->Document(); }

private:
    test::TempDir m_root;
    DataFolders m_folders = FoldersUnder(m_root.Path().string());
    CKonfiguration m_config;
    AppContext m_context{m_config, m_folders};
    std::unique_ptr<CDlgProgrammpool> m_dialog;
};

std::unique_ptr<Editor> g_editor;

Editor& TheEditor() {
    if (!g_editor)
        g_editor = std::make_unique<Editor>();
    return *g_editor;
}

// Times command until its repaint is done, each time on a fresh full list made ready by
// prepare. The counter tells what the undo history holds afterwards.
void TimeOnScreen(benchmark::State& state, const std::function<void(Editor&)>& prepare,
                  const std::function<void(Editor&)>& command) {
    Editor& editor = TheEditor();
    for (auto _ : state) {
        state.PauseTiming();
        editor.Reset();
        prepare(editor);
        Editor::Repaint();
        state.ResumeTiming();
        command(editor);
        Editor::Repaint();
    }
    state.counters["undo_bytes"] = static_cast<double>(editor.History().AccountedBytes());
}

void Nothing(Editor&) {}

std::function<void(Editor&)> SelectPoolRows(int first, int count) {
    return [first, count](Editor& e) { e.Grid().SelectRows(first, count); };
}

// The clipboard holding every row of the full list, as a copy from another editor left it.
const std::string& AllRowsText() {
    static const std::string text = [] {
        ListDocument source = FullList();
        return CopyRows(source, Range(0, kPoolRows));
    }();
    return text;
}

void SelectFirstRowUnderAllRows(Editor& e) {
    SetListClipboardText(AllRowsText());
    e.Grid().SelectRows(0, 1);
}

void BM_EditCell(benchmark::State& state) {
    TimeOnScreen(
        state,
        [](Editor& e) {
            e.Grid().BeginEdit(2000, PoolModel::ColumnName);
            e.Grid().Editor()->setText("Renamed");
        },
        [](Editor& e) { e.Grid().CommitEditor(); });
}
BENCHMARK(BM_EditCell)->Unit(benchmark::kMillisecond);

void BM_InsertEmptyRow(benchmark::State& state) {
    TimeOnScreen(state, SelectPoolRows(0, 1), [](Editor& e) { e.Grid().OnInsertEmptyRow(); });
}
BENCHMARK(BM_InsertEmptyRow)->Unit(benchmark::kMillisecond);

void BM_ClearRows(benchmark::State& state) {
    TimeOnScreen(state, SelectPoolRows(0, static_cast<int>(state.range(0))),
                 [](Editor& e) { e.Grid().OnClearRows(); });
}
BENCHMARK(BM_ClearRows)->Arg(1)->Arg(kPoolRows)->Unit(benchmark::kMillisecond);

void BM_DeleteRows(benchmark::State& state) {
    TimeOnScreen(state, SelectPoolRows(0, static_cast<int>(state.range(0))),
                 [](Editor& e) { e.Grid().OnDeleteRows(); });
}
BENCHMARK(BM_DeleteRows)->Arg(1)->Arg(kPoolRows)->Unit(benchmark::kMillisecond);

void BM_CopyRows(benchmark::State& state) {
    TimeOnScreen(state, SelectPoolRows(0, kPoolRows), [](Editor& e) { e.Grid().OnCopy(); });
}
BENCHMARK(BM_CopyRows)->Unit(benchmark::kMillisecond);

void BM_PasteOverwriting(benchmark::State& state) {
    // One row down, so that every row changes.
    TimeOnScreen(
        state,
        [](Editor& e) {
            SetListClipboardText(AllRowsText());
            e.Grid().SelectRows(1, 1);
        },
        [](Editor& e) { e.Grid().OnPasteOverwriting(); });
}
BENCHMARK(BM_PasteOverwriting)->Unit(benchmark::kMillisecond);

void BM_PasteInserting(benchmark::State& state) {
    TimeOnScreen(state, SelectFirstRowUnderAllRows, [](Editor& e) { e.Grid().OnPasteInserting(); });
}
BENCHMARK(BM_PasteInserting)->Unit(benchmark::kMillisecond);

void BM_UndoPasteInserting(benchmark::State& state) {
    TimeOnScreen(
        state,
        [](Editor& e) {
            SelectFirstRowUnderAllRows(e);
            e.Grid().OnPasteInserting();
        },
        [](Editor& e) { e.Grid().OnUndo(); });
}
BENCHMARK(BM_UndoPasteInserting)->Unit(benchmark::kMillisecond);

void BM_RedoPasteInserting(benchmark::State& state) {
    TimeOnScreen(
        state,
        [](Editor& e) {
            SelectFirstRowUnderAllRows(e);
            e.Grid().OnPasteInserting();
            e.Grid().OnUndo();
        },
        [](Editor& e) { e.Grid().OnRedo(); });
}
BENCHMARK(BM_RedoPasteInserting)->Unit(benchmark::kMillisecond);

void BM_MoveRows(benchmark::State& state) {
    TimeOnScreen(state, Nothing, [](Editor& e) { e.Grid().MoveRows(Range(0, 2000), 3999); });
}
BENCHMARK(BM_MoveRows)->Unit(benchmark::kMillisecond);

void BM_MoveRowsOnePlace(benchmark::State& state) {
    TimeOnScreen(state, SelectPoolRows(1, 2000), [](Editor& e) { e.Grid().OnMoveRows(-1); });
}
BENCHMARK(BM_MoveRowsOnePlace)->Unit(benchmark::kMillisecond);

// By name the full list's "Program N" change places; its frequencies are all alike, so that
// sort times the check that finds the pool in order.
void BM_SortPool(benchmark::State& state) {
    const auto key = static_cast<SortKey>(state.range(0));
    const bool descending = state.range(1) != 0;
    TimeOnScreen(state, Nothing, [key, descending](Editor& e) {
        e.Grid().Sort(0, kPoolRows - 1, key, descending);
    });
}
BENCHMARK(BM_SortPool)
    ->Args({static_cast<int>(SortKey::Name), 0})
    ->Args({static_cast<int>(SortKey::Name), 1})
    ->Args({static_cast<int>(SortKey::Frequency), 0})
    ->Unit(benchmark::kMillisecond);

// Typing the filter's text (one letter matches many rows, more letters few) and clearing it.
void BM_FilterPool(benchmark::State& state) {
    static const QString texts[] = {"a", "radio", ""};
    const QString& text = texts[state.range(0)];
    TimeOnScreen(
        state, [&](Editor& e) { e.Grid().SetFilter(text.isEmpty() ? "e" : QString()); },
        [&](Editor& e) { e.Grid().SetFilter(text); });
}
BENCHMARK(BM_FilterPool)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_AddToBank(benchmark::State& state) {
    TimeOnScreen(
        state,
        [](Editor& e) {
            DeleteBankEntries(e.Document(), 0, Range(0, kBankCapacity));
            e.Favourites().Refresh();
            e.Grid().SelectRows(0, kBankCapacity);
        },
        [](Editor& e) { e.Grid().OnAddToBank(); });
}
BENCHMARK(BM_AddToBank)->Unit(benchmark::kMillisecond);

std::function<void(Editor&)> SelectBankEntries(int count) {
    return [count](Editor& e) {
        CFavListCtrl& list = e.Bank(0);
        list.selectionModel()->select(
            QItemSelection(list.model()->index(0, 0), list.model()->index(count - 1, 0)),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
}

void BM_DeleteBankEntries(benchmark::State& state) {
    TimeOnScreen(state, SelectBankEntries(999), [](Editor& e) { e.Bank(0).DeleteSelected(); });
}
BENCHMARK(BM_DeleteBankEntries)->Unit(benchmark::kMillisecond);

void BM_MoveBankEntries(benchmark::State& state) {
    // The first half behind the second.
    TimeOnScreen(state, SelectBankEntries(kBankCapacity / 2), [](Editor& e) {
        e.Bank(0).CutSelected();
        e.Bank(0).clearSelection();
        e.Bank(0).PasteClipboard();
    });
}
BENCHMARK(BM_MoveBankEntries)->Unit(benchmark::kMillisecond);

void BM_SearchPoolWithoutHit(benchmark::State& state) {
    const ListDocument& doc = FullList();
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchPool(doc, "m\xFCnchen", 0));
}
BENCHMARK(BM_SearchPoolWithoutHit);

void BM_SearchBankWithoutHit(benchmark::State& state) {
    const ListDocument& doc = FullList();
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchBank(doc, 0, "m\xFCnchen", 0));
}
BENCHMARK(BM_SearchBankWithoutHit);

// A full list in which every program stands four times (1000 services under 4000 names,
// places i, i + 1000, ...), the banks as in the full list.
const ListDocument& FullListOfDuplicates() {
    static const ListDocument doc = [] {
        ListDocument dupes = FullList();
        for (int row = 0; row < kPoolRows; ++row)
            dupes.pool.SetCell(row, kFieldSid, std::to_string(28000 + row % 1000));
        return dupes;
    }();
    return doc;
}

// Removing the 3000 duplicates on screen: the grid runs it as one step and repaints.
void BM_RemoveDuplicates(benchmark::State& state) {
    TimeOnScreen(
        state,
        [](Editor& e) {
            e.Document() = FullListOfDuplicates();
            e.Grid().Refresh();
        },
        [](Editor& e) {
            e.Grid().RunCommand([](ListDocument& doc) {
                return RemoveDuplicates(doc, MatchRule::Program, DuplicateKeep::Banked);
            });
        });
}
BENCHMARK(BM_RemoveDuplicates)->Unit(benchmark::kMillisecond);

// Finding the groups alone, as the duplicates window does on every change.
void BM_FindDuplicates(benchmark::State& state) {
    const ListDocument& doc = FullListOfDuplicates();
    for (auto _ : state)
        benchmark::DoNotOptimize(FindDuplicates(doc.pool, MatchRule::Program));
}
BENCHMARK(BM_FindDuplicates)->Unit(benchmark::kMillisecond);

// Two full lists of one receiver: the reference holds 4000 programs with SIDs of their own, the
// edited list the same a quarter of the list further on, every 40th replaced by one the
// reference lacks, both with ten banks of 1000 entries (so that the reference's banks and the
// edited list's own entries of its new programs just fill them). Argument 1: both are the full
// list, whose programs all match one another (one SID, one frequency), the matching's worst case.
ListDocument OrderLikeList(bool shifted) {
    ListDocument doc = FullList();
    for (int row = 0; row < kPoolRows; ++row) {
        const int number = shifted ? (row + kPoolRows / 4) % kPoolRows : row;
        const bool lacking = shifted && row % 40 == 0;
        const int sid = lacking ? 100000 + row : 1000 + number;
        doc.pool.SetRowFromLine(row, "\tProgram " + std::to_string(number) + "\t" +
                                         std::to_string(10700 + number % 1000 * 5) +
                                         "\tH\t27500\t3\\4\t" + std::to_string(sid) +
                                         "\t101\t102\t101\t19.2E");
    }
    return doc;
}

void BM_OrderLike(benchmark::State& state) {
    const bool alike = state.range(0) != 0;
    static const ListDocument distinct = OrderLikeList(false);
    static const ListDocument shifted = OrderLikeList(true);
    const ListDocument& reference = alike ? FullList() : distinct;
    const ListDocument& list = alike ? FullList() : shifted;
    // A refusal would wait for its message box to be closed.
    ListDocument trial = list;
    OrderLikeReport report;
    if (OrderLike(trial, reference.pool, reference.banks, RestPlacement::End, report).status ==
        EditStatus::BankFull) {
        state.SkipWithError("the lists do not fit");
        return;
    }
    TimeOnScreen(
        state, [&](Editor& e) { e.Show(list); },
        [&](Editor& e) {
            e.Grid().RunCommand([&](ListDocument& doc) {
                return OrderLike(doc, reference.pool, reference.banks, RestPlacement::End, report);
            });
        });
    state.counters["matched"] = report.matched;
}
BENCHMARK(BM_OrderLike)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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

// A spreadsheet's 4000 rows with every bank full, read and put into an empty list, as Import
// CSV does it.
void BM_ImportCsv(benchmark::State& state) {
    const ListDocument& full = FullList();
    const std::string csv = BuildCsvText(full.pool, full.banks, {});
    const auto empty = [](Editor& e) {
        e.Document() = ListDocument{};
        e.History().Clear();
        e.Grid().Refresh();
        e.Favourites().Refresh();
    };
    TimeOnScreen(state, empty, [&csv](Editor& e) {
        const CsvTable table = ReadCsvTable(csv);
        CsvImportReport report;
        e.Grid().RunCommand(
            [&](ListDocument& doc) { return ImportCsv(doc, table, false, report); });
        if (report.taken != kPoolRows || !report.AllTaken() || !e.History().CanUndo())
            throw std::runtime_error("the import left rows out");
    });
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace fw

int main(int argc, char** argv) {
    // The figures are the toolkit's own work, without a display server's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    fw::g_editor.reset();
    benchmark::Shutdown();
    return 0;
}

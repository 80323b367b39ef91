// Opening the program pool editor on a full list (4000 programs, ten banks of 1000 entries)
// until its grid and the favourites window have been painted once, and saving the list from
// it. Target: each under 50 ms. Printing the full pool to a PDF (about 80 pages, every cell
// measured once): under 2 s.
#include "bench/FullList.h"
#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/lists/ListFile.h"
#include "core/lists/ListenDat.h"
#include "core/util/FileIo.h"
#include "gui/favourites/DlgFavoriten.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/page/AppContext.h"
#include "gui/print/ListDruck.h"
#include "tests/support/FileTestSupport.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace fw {
namespace {

constexpr const char* kFileName = "full.lst";

// A data folder of its own holding the full list, removed at the end of the run.
struct FullListFolder {
    FullListFolder() {
        const ListDocument full = bench::FullListDocument();
        const std::string text = BuildListFileText(full.listType, "Full", full.pool, full.banks);
        std::string reason;
        if (!CreateDataFolders(folders, reason) || !WriteFileAtomically(Path(), text, reason))
            throw std::runtime_error(reason);
    }

    std::string Path() const { return folders.lists + "/" + kFileName; }
    CListenDat Record() const { return CListenDat({"TV", "Full", Path(), kFileName, "0"}); }

    test::TempDir root;
    DataFolders folders = FoldersUnder(root.Path().string());
};

FullListFolder& Folder() {
    static FullListFolder folder;
    return folder;
}

void BM_OpenEditor(benchmark::State& state) {
    CKonfiguration config;
    AppContext context(config, Folder().folders);
    const CListenDat record = Folder().Record();
    for (auto _ : state) {
        CDlgProgrammpool editor(context, &record);
        editor.show();
        editor.Favourites()->show();
        QApplication::processEvents();
        if (editor.LoadFailed())
            state.SkipWithError("the list could not be read");
    }
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond);

void BM_SaveFromEditor(benchmark::State& state) {
    CKonfiguration config;
    AppContext context(config, Folder().folders);
    const CListenDat record = Folder().Record();
    for (auto _ : state) {
        state.PauseTiming();
        CDlgProgrammpool editor(context, &record);
        state.ResumeTiming();
        if (!editor.Save())
            state.SkipWithError("the list was not saved");
    }
}
BENCHMARK(BM_SaveFromEditor)->Unit(benchmark::kMillisecond);

void BM_PrintFullPoolToPdf(benchmark::State& state) {
    CKonfiguration config;
    config.ResetPrint();
    const ListDocument full = bench::FullListDocument();
    const std::atomic<bool> never{false};
    for (auto _ : state) {
        CListDruck printout(full.pool, config.m_printSettings, std::nullopt);
        if (!RenderPdf(printout, QStringLiteral("bench"), never))
            state.SkipWithError("no PDF");
        state.counters["pages"] = printout.PageCount();
    }
}
BENCHMARK(BM_PrintFullPoolToPdf)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace fw

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

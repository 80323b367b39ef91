// Opening and saving a full list (4000 programs, ten banks of 1000 entries) from the
// program-list page as the user waits for it. Opening runs until the editor and the favourites
// window have been painted and the event queue is idle; saving runs from OK until the editor
// is closed and the page's catalogue has been painted with the file. Targets: opening under
// 100 ms, saving under 50 ms. Printing the full pool to a PDF (about 80 pages, every cell
// measured once): under 2 s.
//
// Runs on the xcb platform under a display server: the given one, else a virtual one started
// through xvfb-run when it is installed, else offscreen. The context line "platform" says which.
#include "bench/FullList.h"
#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/lists/ListFile.h"
#include "core/util/FileIo.h"
#include "gui/favourites/DlgFavoriten.h"
#include "gui/lists/DlgProgrammlisten.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/page/AppContext.h"
#include "gui/print/ListDruck.h"
#include "gui/ui/DateiListCtrl.h"
#include "tests/support/FileTestSupport.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QPageRanges>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

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
        config.m_chosenListFile = kFileName;
    }

    std::string Path() const { return folders.lists + "/" + kFileName; }

    test::TempDir root;
    DataFolders folders = FoldersUnder(root.Path().string());
    CKonfiguration config;
    AppContext context{config, folders};
};

// Which widgets have been painted since the last Clear.
class PaintWatch : public QObject {
public:
    void Watch(QWidget* widget) {
        widget->installEventFilter(this);
        m_watched.insert(widget);
    }
    void Clear() { m_painted.clear(); }
    bool AllPainted() const { return m_painted.size() == m_watched.size(); }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            m_painted.insert(object);
        return false;
    }

private:
    std::set<QObject*> m_watched;
    std::set<QObject*> m_painted;
};

// Calls done once, the first time the event loop is about to wait with every watched widget
// painted: the user sees them and the program has nothing left to do.
class IdleAfterPaint : public QObject {
public:
    IdleAfterPaint(PaintWatch& watch, std::function<void()> done)
        : m_watch(watch), m_done(std::move(done)) {
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                [this] {
                    if (m_done && m_watch.AllPainted())
                        std::exchange(m_done, nullptr)();
                });
    }

private:
    PaintWatch& m_watch;
    std::function<void()> m_done;
};

// The page on screen with the full list selected, as the user finds it.
class Page {
public:
    Page() : m_page(m_folder.context) {
        m_page.show();
        WaitUntilIdleAfterPaint(m_page.List()->viewport());
    }

    // Opens the selected list in the editor as the page's edit command does; whenOpen runs
    // once the editor and its favourites window are painted and the program is idle.
    void Edit(const std::function<void(CDlgProgrammpool&)>& whenOpen) {
        PaintWatch watch;
        std::unique_ptr<IdleAfterPaint> idle;
        // The editor exists only inside the page's command: it is found once it has started.
        QTimer::singleShot(0, &m_page, [&] {
            auto* editor = m_page.findChild<CDlgProgrammpool*>();
            if (editor == nullptr)
                qFatal("the editor did not open");
            watch.Watch(editor);
            watch.Watch(editor->Favourites());
            idle =
                std::make_unique<IdleAfterPaint>(watch, [editor, &whenOpen] { whenOpen(*editor); });
        });
        m_page.OnEdit();
    }

    void WaitUntilIdleAfterPaint(QWidget* widget) {
        PaintWatch watch;
        watch.Watch(widget);
        QEventLoop loop;
        IdleAfterPaint idle(watch, [&loop] { loop.quit(); });
        loop.exec();
    }

    CDlgProgrammlisten& Widget() { return m_page; }

private:
    FullListFolder m_folder;
    CDlgProgrammlisten m_page;
};

void BM_OpenEditor(benchmark::State& state) {
    Page page;
    for (auto _ : state) {
        page.Edit([&state](CDlgProgrammpool& editor) {
            state.PauseTiming();
            if (editor.Grid()->model()->index(3999, 2).data().toString().isEmpty())
                state.SkipWithError("the list was not shown");
            editor.reject();
        });
        // The page reads its folder again after the editor; that belongs to saving.
        page.WaitUntilIdleAfterPaint(page.Widget().List()->viewport());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveFromEditor(benchmark::State& state) {
    Page page;
    for (auto _ : state) {
        state.PauseTiming();
        page.Edit([&state](CDlgProgrammpool& editor) {
            state.ResumeTiming();
            editor.findChild<QPushButton*>(QStringLiteral("1"))->click();
        });
        page.WaitUntilIdleAfterPaint(page.Widget().List()->viewport());
        if (page.Widget().List()->RowCount() != 1)
            state.SkipWithError("the catalogue does not show the saved list");
    }
}
BENCHMARK(BM_SaveFromEditor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PrintFullPoolToPdf(benchmark::State& state) {
    CKonfiguration config;
    config.ResetPrint();
    const ListDocument full = bench::FullListDocument();
    const std::atomic<bool> never{false};
    for (auto _ : state) {
        CListDruck printout(full.pool, config.m_printSettings, std::nullopt);
        if (RenderPdf(printout, QStringLiteral("bench"), QPageSize(QPageSize::A4), QPageRanges(),
                      never)
                .outcome != PrintOutcome::Printed)
            state.SkipWithError("no PDF");
        state.counters["pages"] = printout.PageCount();
    }
}
BENCHMARK(BM_PrintFullPoolToPdf)->Unit(benchmark::kMillisecond);

// Starts this program again under xvfb-run when no display is given; returns only when that
// cannot be done.
void RunUnderVirtualDisplay(char** argv) {
    constexpr const char* kStarted = "FLASHWERK_BENCH_UNDER_XVFB";
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || qEnvironmentVariableIsSet(kStarted))
        return;
    ::setenv(kStarted, "1", 1);
    std::vector<char*> args{const_cast<char*>("xvfb-run"), const_cast<char*>("-a")};
    for (char** arg = argv; *arg != nullptr; ++arg)
        args.push_back(*arg);
    args.push_back(nullptr);
    ::execvp("xvfb-run", args.data());
}

} // namespace
} // namespace fw

int main(int argc, char** argv) {
    fw::RunUnderVirtualDisplay(argv);
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY");
    qputenv("QT_QPA_PLATFORM", display ? "xcb" : "offscreen");
    QApplication app(argc, argv);
    benchmark::AddCustomContext("platform", display ? "xcb" : "offscreen (no display server)");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

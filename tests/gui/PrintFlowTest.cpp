#include "gui/print/PrintFlow.h"
#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/print/DlgDrucke.h"
#include "gui/print/ListPrintDialog.h"
#include "gui/ui/Texts.h"
#include "tests/gui/ModalHelper.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <vector>

namespace fw {
namespace {

using namespace std::chrono_literals;

template <typename T> T* Control(const QWidget* window, int id) {
    return window->findChild<T*>(QString::number(id));
}

TEST(ProgressWindowTest, ShowsThePageBeingPaintedAndCancelStopsAfterIt) {
    QWidget owner;
    owner.show();
    CDlgDrucke progress(ResText(str::kPrintDocumentTitle), "Laser", "laser_queue", &owner);
    std::promise<void> looked;
    bool cancelDisabled = false;
    QTimer::singleShot(0, &progress, [&] {
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return Control<QLabel>(&progress, ids::printing::kPage)->text() == "Page 2 of 5";
        }));
        EXPECT_EQ(Control<QLabel>(&progress, ids::printing::kPercent)->text(), "40 %");
        EXPECT_EQ(Control<QProgressBar>(&progress, ids::printing::kProgress)->value(), 2);
        EXPECT_EQ(Control<QProgressBar>(&progress, ids::printing::kProgress)->maximum(), 5);
        EXPECT_EQ(Control<QLabel>(&progress, ids::printing::kTarget)->text(),
                  "Print programpool: Laser PORT:laser_queue");
        const std::string folder = FLASHWERK_SCREENSHOT_DIR;
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(progress.grab().save(QString::fromStdString(folder + "/en-printing.png")));
        EXPECT_EQ(progress.windowModality(), Qt::WindowModal);
        EXPECT_TRUE(owner.isEnabled()) << "a disabled owner would take Cancel along";
        QPushButton* cancel = Control<QPushButton>(&progress, ids::printing::kCancel);
        cancel->click();
        cancelDisabled = !cancel->isEnabled();
        EXPECT_TRUE(progress.isVisible()) << "the window waits for the page in hand";
        looked.set_value();
    });
    int pagesPainted = 0;
    const PrintOutcome outcome = progress.Run([&](const auto& cancel, const auto& pageStarted) {
        for (int page = 1; page <= 5; ++page) {
            pageStarted(page, 5);
            if (page == 2 && looked.get_future().wait_for(10s) != std::future_status::ready)
                return PrintOutcome::PageFailed;
            ++pagesPainted;
            if (cancel.load())
                return PrintOutcome::Cancelled;
        }
        return PrintOutcome::Printed;
    });
    EXPECT_EQ(outcome, PrintOutcome::Cancelled);
    EXPECT_EQ(pagesPainted, 2);
    EXPECT_TRUE(cancelDisabled);
    EXPECT_FALSE(progress.isVisible());
}

using test::NumberedProgram;

// The editor over a list of 400 programs, shown, with print settings as a first start makes.
class PrintFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(CreateDataFolders(folders, reason)) << reason;
        config.ResetPrint();
        for (int i = 0; i < kPrograms; ++i)
            editor.Document().pool.SetRowFromLine(i, NumberedProgram(i));
        editor.Refresh();
        editor.show();
    }
    // Shortcuts need the editor active, which a closed dialog may have left to another window.
    void PressCtrlP() {
        editor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
        QTest::keyClick(editor.Grid(), Qt::Key_P, Qt::ControlModifier);
    }
    void SelectOnly(const std::vector<int>& rows) {
        CPoolListCtrl* grid = editor.Grid();
        grid->clearSelection();
        for (int row : rows)
            grid->selectionModel()->select(grid->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void RunMenuCommand(int command) {
        QMenu* menu = editor.Grid()->BuildContextMenu(-1);
        QAction* action = editor.Grid()->Command(command);
        ASSERT_TRUE(menu->actions().contains(action));
        action->trigger();
        delete menu;
    }
    std::string Pdf(const std::string& name) const { return dir.File(name); }
    // One page total per job, read once the jobs have ended: joining their workers orders the
    // writes before.
    void RecordPageTotals() {
        editor.Printing().SetWorkerPageObserver([this](int page, int total) {
            if (page == 1)
                pageTotals.push_back(total);
        });
    }
    static void TypeFileName(QFileDialog* dialog, const std::string& path) {
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
        static_cast<QDialog*>(dialog)->accept();
    }

    static constexpr int kPrograms = 400;
    std::vector<int> pageTotals;
    test::TempDir folder;
    test::TempDir dir;
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
    test::ScriptedInteraction& script = context.script;
    CDlgProgrammpool editor{context, nullptr};
};

// Each way into printing opens its first window, named by class, which the case closes, or
// first asks which rows to print, which the script cancels.
TEST_F(PrintFlowTest, KeysMenuAndButtonReachTheirWindows) {
    struct Case {
        const char* what;
        std::vector<int> selected;
        std::function<void()> start;
        std::vector<std::string> windows; // in order; each is closed
        bool asksForRows = false;
    };
    const auto menu = [this](int command) { return [this, command] { RunMenuCommand(command); }; };
    const Case cases[] = {
        {"Ctrl+P", {}, [this] { PressCtrlP(); }, {"fw::CListPrintDialog"}},
        {"hidden button",
         {},
         [this] { Control<QPushButton>(&editor, ids::pool::kPrint)->click(); },
         {"fw::CListPrintDialog"}},
        {"menu print", {2}, menu(CPoolListCtrl::CmdPrint), {"fw::CListPrintDialog"}},
        {"menu preview", {}, menu(CPoolListCtrl::CmdPrintPreview), {"QPrintPreviewDialog"}},
        {"menu preview, rows", {2, 3}, menu(CPoolListCtrl::CmdPrintPreview), {}, true},
        {"menu export", {}, menu(CPoolListCtrl::CmdExportPdf), {"QFileDialog"}},
        {"menu export, rows", {2, 3}, menu(CPoolListCtrl::CmdExportPdf), {}, true},
        {"menu page setup", {}, menu(CPoolListCtrl::CmdPageSetup), {"fw::PageSetupDialog"}},
    };
    EXPECT_FALSE(Control<QPushButton>(&editor, ids::pool::kPrint)->isVisible());
    for (const Case& c : cases) {
        SelectOnly(c.selected);
        script.asked.clear();
        ModalDriver driver(&editor);
        std::vector<std::string> seen;
        for (std::size_t i = 0; i < c.windows.size(); ++i)
            driver.Then([&seen](QWidget* modal) {
                seen.push_back(modal->metaObject()->className());
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
                else
                    modal->close();
            });
        c.start();
        EXPECT_EQ(seen, c.windows) << c.what;
        ExpectAllAnswered(driver);
        ASSERT_EQ(script.asked.size(), c.asksForRows ? 1u : 0u) << c.what;
        if (c.asksForRows) {
            const Question& asked = script.asked[0];
            EXPECT_EQ(asked.text, FormatText(LoadResString(str::kPrintOnlySelection), {"2"}));
            EXPECT_EQ(asked.answers, AnswerSet::YesNoCancel);
            EXPECT_EQ(asked.defaultAnswer, Answer::Yes);
        }
    }
}

TEST_F(PrintFlowTest, PrintDialogOffersTheSelectionOnlyWithSelectedRowsAndPassesItOn) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "the dialog prints to a file only on a machine without printers";
    struct Case {
        std::vector<int> selected;
        bool chooseSelection;
        bool onePage; // three rows fit one page, four hundred do not
    };
    const Case cases[] = {
        {{}, false, false},
        {{5, 6, 7}, false, false},
        {{5, 6, 7}, true, true},
    };
    RecordPageTotals();
    int run = 0;
    for (const Case& c : cases) {
        SelectOnly(c.selected);
        const std::string path = Pdf("printed" + std::to_string(run++) + ".pdf");
        ModalDriver driver(&editor);
        driver.Then([&](QWidget* modal) {
            auto* dialog = qobject_cast<CListPrintDialog*>(modal);
            ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
            EXPECT_EQ(!dialog->findChild<QRadioButton*>("printSelection")->isHidden(),
                      !c.selected.empty());
            EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintPageRange));
            EXPECT_NE(Control<QPushButton>(dialog, CListPrintDialog::kPageSetupButton), nullptr);
            if (c.chooseSelection)
                dialog->findChild<QRadioButton*>("printSelection")->setChecked(true);
            auto* fileName = dialog->findChild<QLineEdit*>("filename");
            EXPECT_TRUE(fileName->text().endsWith(QStringLiteral("/Programpool list.pdf")))
                << fileName->text().toStdString();
            fileName->setText(QString::fromStdString(path));
            dialog->accept();
        });
        PressCtrlP();
        ExpectAllAnswered(driver);
        EXPECT_EQ(test::ReadBytes(path).substr(0, 4), "%PDF") << path;
    }
    ASSERT_EQ(pageTotals.size(), 3u);
    EXPECT_GT(pageTotals[0], 1);
    EXPECT_EQ(pageTotals[1], pageTotals[0]) << "rows selected but all chosen";
    EXPECT_EQ(pageTotals[2], 1);
}

TEST_F(PrintFlowTest, PreviewLaysOutAgainAfterThePageSetup) {
    int paints = 0;
    ModalDriver driver(&editor);
    driver.Then([&](QWidget* modal) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
        ASSERT_NE(preview, nullptr) << modal->metaObject()->className();
        QObject::connect(preview, &QPrintPreviewDialog::paintRequested, [&] { ++paints; });
        auto* pageSetup =
            preview->findChild<QAction*>(QString::number(CListPrintDialog::kPageSetupButton));
        ASSERT_NE(pageSetup, nullptr);
        driver.Later(preview, [&, preview, pageSetup] {
            pageSetup->trigger();
            preview->reject();
        });
    });
    driver.Then([](QWidget* modal) {
        EXPECT_STREQ(modal->metaObject()->className(), "fw::PageSetupDialog");
        static_cast<QDialog*>(modal)->reject();
    });
    RunMenuCommand(CPoolListCtrl::CmdPrintPreview);
    ExpectAllAnswered(driver);
    EXPECT_EQ(paints, 1);
}

TEST_F(PrintFlowTest, ExportWritesAPdfWithItsSuffixAndReportsAFailedWrite) {
    std::filesystem::create_directory(Pdf("folder.pdf"));
    struct Case {
        std::string typed;
        std::string written; // empty: nothing
        std::string message; // part of the one error shown, if any
    };
    const Case cases[] = {
        {Pdf("list"), Pdf("list.pdf"), {}},
        {Pdf("Other.PDF"), Pdf("Other.PDF"), {}},
        // Replacing a folder fails: the user hears why, and the folder stays.
        {Pdf("folder"), {}, "folder.pdf"},
    };
    for (const Case& c : cases) {
        ModalDriver driver(&editor);
        driver.Then([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
            TypeFileName(dialog, c.typed);
        });
        script.shown.clear();
        script.lastErrors.clear();
        script.answers = {Answer::Yes}; // replace it?
        RunMenuCommand(CPoolListCtrl::CmdExportPdf);
        ExpectAllAnswered(driver);
        if (!c.written.empty()) {
            EXPECT_EQ(test::ReadBytes(c.written).substr(0, 5), "%PDF-") << c.typed;
        }
        if (!c.message.empty()) {
            ASSERT_EQ(script.shown.size(), 2u);
            ASSERT_EQ(script.lastErrors.size(), 1u);
            EXPECT_NE(script.lastErrors[0].find(c.message), std::string::npos)
                << script.lastErrors[0];
            EXPECT_TRUE(std::filesystem::is_directory(Pdf("folder.pdf")));
        } else {
            EXPECT_TRUE(script.shown.empty());
        }
    }
    EXPECT_EQ(test::EntryCount(dir.Path()), 3u) << "no temporary file stays behind";
}

TEST_F(PrintFlowTest, ExportAsksForTheSelectionOnlyWhenSeveralRowsAreSelected) {
    const struct {
        std::vector<int> selected;
        std::optional<Answer> answer; // none: no question
        bool onePage;
    } cases[] = {
        {{}, std::nullopt, false},
        {{5}, std::nullopt, false},
        {{5, 6, 7}, Answer::Yes, true},
        {{5, 6, 7}, Answer::No, false},
    };
    RecordPageTotals();
    int run = 0;
    for (const auto& c : cases) {
        SelectOnly(c.selected);
        script.asked.clear();
        if (c.answer)
            script.answers = {*c.answer};
        ModalDriver driver(&editor);
        driver.Then([&](QWidget* modal) {
            TypeFileName(qobject_cast<QFileDialog*>(modal), Pdf("rows" + std::to_string(run++)));
        });
        RunMenuCommand(CPoolListCtrl::CmdExportPdf);
        ExpectAllAnswered(driver);
        EXPECT_EQ(script.asked.size(), c.answer ? 1u : 0u);
    }
    ASSERT_EQ(pageTotals.size(), 4u);
    for (std::size_t i = 0; i < pageTotals.size(); ++i)
        EXPECT_EQ(pageTotals[i] == 1, cases[i].onePage) << i;
}

TEST_F(PrintFlowTest, CancelledExportWritesNothing) {
    // The worker waits at its first page until Cancel has been pressed.
    std::promise<void> pressed;
    std::future<void> pressedSeen = pressed.get_future();
    editor.Printing().SetWorkerPageObserver([&](int page, int) {
        if (page != 1)
            return;
        QMetaObject::invokeMethod(&editor, [&] {
            auto* progress = qobject_cast<CDlgDrucke*>(QApplication::activeModalWidget());
            ASSERT_NE(progress, nullptr);
            Control<QPushButton>(progress, ids::printing::kCancel)->click();
            pressed.set_value();
        });
        pressedSeen.wait_for(10s);
    });
    ModalDriver driver(&editor);
    driver.Then(
        [&](QWidget* modal) { TypeFileName(qobject_cast<QFileDialog*>(modal), Pdf("gone")); });
    RunMenuCommand(CPoolListCtrl::CmdExportPdf);
    ExpectAllAnswered(driver);
    EXPECT_EQ(pressedSeen.wait_for(0s), std::future_status::ready);
    EXPECT_EQ(test::EntryCount(dir.Path()), 0u);
}

TEST_F(PrintFlowTest, DeviceThatCannotStartShowsTheMessage) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(Pdf("missing/folder/out.pdf")));
    CListDruck printout(editor.Document().pool, config.m_printSettings, std::nullopt);
    editor.Printing().PrintOn(printer, printout);
    EXPECT_EQ(script.shown, std::vector<std::string>{LoadResString(str::kPrintStartFailed)});
    EXPECT_EQ(script.messageIcons, std::vector<MessageIcon>{MessageIcon::Stop});
}

} // namespace
} // namespace fw

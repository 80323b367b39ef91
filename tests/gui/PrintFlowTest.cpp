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
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <regex>
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

// The text of a PDF's pages (all without a page number), read by pdftotext (poppler-utils).
std::string PrintedPdfText(const std::string& pdf, int page = 0) {
    QStringList arguments{QStringLiteral("-layout")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  arguments << QString::fromStdString(pdf) << QStringLiteral("-"));
    EXPECT_TRUE(process.waitForFinished(60000)) << "pdftotext is needed";
    return process.readAllStandardOutput().toStdString();
}

int PrintedPdfPageCount(const std::string& pdf) {
    // pdftotext ends every page with a form feed.
    const std::string text = PrintedPdfText(pdf);
    return static_cast<int>(std::count(text.begin(), text.end(), '\f'));
}

// Lines of the fixture's programs, "TV 0" .. "TV 399".
int ProgramLinesIn(const std::string& text) {
    const std::regex program(R"((^|\n)\s*\d+\s+TV \d+)");
    return static_cast<int>(
        std::distance(std::sregex_iterator(text.begin(), text.end(), program), {}));
}

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
        std::pair<int, int> pageRange; // {0, 0}: all pages
        std::vector<int> pagesPrinted; // empty: all, more than one
        std::string message;           // the one message shown, if any
    };
    const Case cases[] = {
        {{}, false, {}, {}, {}},
        {{5, 6, 7}, false, {}, {}, {}},
        {{5, 6, 7}, true, {}, {1}, {}},
        // Only the pages asked for, and the progress counts only those.
        {{}, false, {2, 3}, {2, 3}, {}},
        {{}, false, {3, 3}, {3}, {}},
        {{},
         false,
         {98, 99},
         {},
         "The printout has 10 pages; none of them lies in the chosen "
         "page range."},
    };
    RecordPageTotals();
    std::size_t printed = 0;
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(run);
        SelectOnly(c.selected);
        script.shown.clear();
        const std::string path = Pdf("printed" + std::to_string(run++) + ".pdf");
        ModalDriver driver(&editor);
        driver.Then([&](QWidget* modal) {
            auto* dialog = qobject_cast<CListPrintDialog*>(modal);
            ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
            EXPECT_EQ(!dialog->findChild<QRadioButton*>("printSelection")->isHidden(),
                      !c.selected.empty());
            EXPECT_TRUE(dialog->testOption(QAbstractPrintDialog::PrintPageRange));
            EXPECT_NE(Control<QPushButton>(dialog, CListPrintDialog::kPageSetupButton), nullptr);
            if (c.chooseSelection)
                dialog->findChild<QRadioButton*>("printSelection")->setChecked(true);
            if (c.pageRange.first > 0) {
                dialog->findChild<QRadioButton*>("printRange")->setChecked(true);
                dialog->findChild<QSpinBox*>("to")->setValue(c.pageRange.second);
                dialog->findChild<QSpinBox*>("from")->setValue(c.pageRange.first);
            }
            auto* fileName = dialog->findChild<QLineEdit*>("filename");
            EXPECT_TRUE(fileName->text().endsWith(QStringLiteral("/Programpool list.pdf")))
                << fileName->text().toStdString();
            fileName->setText(QString::fromStdString(path));
            dialog->accept();
        });
        PressCtrlP();
        ExpectAllAnswered(driver);
        if (!c.message.empty()) {
            EXPECT_EQ(script.shown, std::vector<std::string>{c.message});
            EXPECT_FALSE(std::filesystem::exists(path));
            continue;
        }
        EXPECT_TRUE(script.shown.empty());
        ASSERT_EQ(pageTotals.size(), ++printed);
        if (c.pagesPrinted.empty()) {
            EXPECT_EQ(pageTotals.back(), 10);
            EXPECT_EQ(PrintedPdfPageCount(path), 10);
            continue;
        }
        EXPECT_EQ(pageTotals.back(), static_cast<int>(c.pagesPrinted.size()));
        ASSERT_EQ(PrintedPdfPageCount(path), static_cast<int>(c.pagesPrinted.size()));
        for (std::size_t i = 0; i < c.pagesPrinted.size(); ++i) {
            const std::string page = PrintedPdfText(path, static_cast<int>(i) + 1);
            EXPECT_NE(page.find("Page " + std::to_string(c.pagesPrinted[i]) + "\n"),
                      std::string::npos)
                << page;
        }
    }
}

// The preview and the PDF of the same list and settings have the same pages with the same rows;
// a picture of each, side by side, shows it by eye in both languages.
TEST_F(PrintFlowTest, PreviewAndPdfShareOneLayout) {
    for (const Language language : {Language::German, Language::English}) {
        SetLanguage(language);
        config.ResetPrint(); // the header text in the language of the run
        const std::string tag = language == Language::German ? "de" : "en";
        std::vector<PrintLayout> layouts;
        editor.Printing().SetLayoutObserver(
            [&layouts](const PrintLayout& layout) { layouts.push_back(layout); });
        int previewPages = 0;
        QImage previewPicture;
        ModalDriver driver(&editor);
        driver.Then([&](QWidget* modal) {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
            ASSERT_NE(preview, nullptr) << modal->metaObject()->className();
            auto* pages = preview->findChild<QPrintPreviewWidget*>();
            previewPages = pages->pageCount();
            preview->resize(700, 900);
            pages->setViewMode(QPrintPreviewWidget::SinglePageView);
            pages->fitInView();
            previewPicture = preview->grab().toImage();
            preview->reject();
        });
        driver.Then([&](QWidget* modal) {
            TypeFileName(qobject_cast<QFileDialog*>(modal), Pdf(tag + "-same"));
        });
        RunMenuCommand(CPoolListCtrl::CmdPrintPreview);
        RunMenuCommand(CPoolListCtrl::CmdExportPdf);
        ExpectAllAnswered(driver);
        SetLanguage(Language::English);

        const std::string pdf = Pdf(tag + "-same.pdf");
        ASSERT_EQ(layouts.size(), 2u) << "one preview, one PDF";
        const PrintLayout& shown = layouts[0];
        const PrintLayout& written = layouts[1];
        EXPECT_EQ(previewPages, PrintedPdfPageCount(pdf));
        EXPECT_EQ(static_cast<int>(shown.pages.size()), previewPages);
        EXPECT_EQ(static_cast<int>(shown.pages.front().rows.size()),
                  ProgramLinesIn(PrintedPdfText(pdf, 1)));
        EXPECT_EQ(shown.pages.front().rows, written.pages.front().rows);
        EXPECT_EQ(shown.columnX, written.columnX);
        EXPECT_EQ(shown.rowHeight, written.rowHeight);

        // The PDF's first page at the height of the preview's picture, beside it.
        const QString rendered = QString::fromStdString(Pdf(tag + "-page"));
        QProcess render;
        render.start(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-png"), QStringLiteral("-singlefile"),
                      QStringLiteral("-scale-to-y"), QString::number(previewPicture.height()),
                      QStringLiteral("-scale-to-x"), QStringLiteral("-1"),
                      QString::fromStdString(pdf), rendered});
        ASSERT_TRUE(render.waitForFinished(60000));
        const QImage page(rendered + QStringLiteral(".png"));
        ASSERT_FALSE(page.isNull());
        constexpr int kGap = 16;
        QImage both(previewPicture.width() + kGap + page.width(), previewPicture.height(),
                    QImage::Format_RGB32);
        both.fill(Qt::darkGray);
        QPainter painter(&both);
        painter.drawImage(0, 0, previewPicture);
        painter.drawImage(previewPicture.width() + kGap, 0, page);
        painter.end();
        const std::string pictures = FLASHWERK_SCREENSHOT_DIR;
        std::filesystem::create_directories(pictures);
        EXPECT_TRUE(
            both.save(QString::fromStdString(pictures + "/" + tag + "-print-preview-and-pdf.png")));
    }
}

// Settings that leave no room for a row are refused with their message, and nothing is written.
TEST_F(PrintFlowTest, SettingsWithoutRoomForOneRowAreRefusedBeforeAnythingIsWritten) {
    config.m_printSettings.m_topMargin = 178956971;
    ModalDriver driver(&editor);
    driver.Then(
        [&](QWidget* modal) { TypeFileName(qobject_cast<QFileDialog*>(modal), Pdf("none")); });
    RunMenuCommand(CPoolListCtrl::CmdExportPdf);
    ExpectAllAnswered(driver);
    EXPECT_EQ(script.shown, std::vector<std::string>{"The top and bottom margins (UP=178956971, "
                                                     "DOWN=0) leave no room on the page for one "
                                                     "table row."});
    EXPECT_EQ(script.messageIcons, std::vector<MessageIcon>{MessageIcon::Warning});
    EXPECT_EQ(test::EntryCount(dir.Path()), 0u);
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

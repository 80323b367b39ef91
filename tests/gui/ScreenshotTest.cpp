#include "gui/page/AppContext.h"
#include "app/DemoFiles.h"
#include "gui/page/PropertyPagePlus.h"
#include "gui/app/ReceiverSheet.h"
#include "core/config/Konfiguration.h"
#include "gui/link/DlgHinweis.h"
#include "gui/link/DlgSenden.h"
#include "tests/linkjobs/JobHarness.h"
#include "core/res/StringTable.h"
#include "core/lists/ListFile.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/print/DlgDruckbereich.h"

#include <QApplication>
#include <QAbstractButton>
#include <QLabel>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fw {
namespace {

// Each page and the transfer dialog in both languages, at the size the program opens with,
// saved as pictures in the build folder for a look by eye. Longer German captions are what
// most often push a window beyond a small screen or the tabs into scroll arrows.
class ScreenshotTest : public test::LinkJobTest, public ::testing::WithParamInterface<Language> {
protected:
    void SetUp() override {
        LinkJobTest::SetUp();
        SetLanguage(GetParam());
        std::string reason;
        ASSERT_TRUE(CreateDataFolders(folders, reason)) << reason;
        ASSERT_TRUE(SeedDemoFiles(folders, reason)) << reason;
        std::filesystem::create_directories(kScreenshotFolder);
    }
    void TearDown() override {
        SetLanguage(Language::English);
        LinkJobTest::TearDown();
    }

    std::string PictureName(const std::string& what) const {
        return std::string(kScreenshotFolder) + "/" +
               (GetParam() == Language::German ? "de-" : "en-") + what + ".png";
    }
    // The smallest size the layout allows still fits a small laptop screen.
    static void ExpectFitsSmallScreen(const QWidget& window) {
        const QSize least = window.minimumSizeHint();
        EXPECT_LE(least.width(), 1024) << window.metaObject()->className();
        EXPECT_LE(least.height(), 700) << window.metaObject()->className();
    }

    static constexpr const char* kScreenshotFolder = FLASHWERK_SCREENSHOT_DIR;
    test::TempDir folder;
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    AppContext context{config, folders};
};

TEST_P(ScreenshotTest, EveryPageFitsItsTextsAtTheOpeningSize) {
    config.m_bFertigung = 1; // the options page with everything it can show
    CReceiverSheet sheet(context);
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    const QTabBar* tabs = sheet.Tabs()->tabBar();
    EXPECT_LE(tabs->sizeHint().width(), sheet.Tabs()->width()) << "the tabs need scroll arrows";
    for (int page = 0; page < CReceiverSheet::kPageCount; ++page) {
        sheet.SetActivePage(page);
        QApplication::processEvents();
        ExpectFitsSmallScreen(sheet);
        EXPECT_TRUE(sheet.grab().save(QString::fromStdString(PictureName("page" + std::to_string(page)))));
    }
    // At the smallest size the layout allows, every tab still shows without scroll arrows.
    sheet.resize(sheet.minimumSizeHint());
    QApplication::processEvents();
    EXPECT_LE(tabs->sizeHint().width(), sheet.Tabs()->width()) << "the tabs need scroll arrows";
    EXPECT_TRUE(sheet.grab().save(QString::fromStdString(PictureName("smallest"))));
    sheet.reject();
}

TEST_P(ScreenshotTest, DialogsBeforeTheyWork) {
    VersionWarning warning;
    warning.mode = VersionWarningMode::SameVersion;
    warning.first = "ABC V1.30";
    CDlgHinweis hint(warning);
    hint.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hint));
    // No line of the warning runs into the window's edge.
    for (const QLabel* line : hint.findChildren<QLabel*>())
        EXPECT_LT(line->sizeHint().width(), hint.width() - 2 * line->fontMetrics().averageCharWidth());
    EXPECT_TRUE(hint.grab().save(QString::fromStdString(PictureName("version-warning"))));
    hint.reject();

    TransferJob job;
    job.kind = TransferJobKind::ListSend;
    job.list.m_strFileName = "demo-tv.lst";
    job.list.m_strName = "Demo TV-Liste";
    job.list.m_strType = "TV";
    CDlgSenden dialog(job, LinkSettings{}, PortMap({}, {}), context.chain, context.cancel,
                      folders.lists, folders.settings);
    dialog.adjustSize();
    // The values of the fields and the status start in one column.
    const int column = dialog.findChild<QLabel*>(QString::number(ids::transfer::kStatus))->geometry().left();
    EXPECT_EQ(dialog.findChild<QLabel*>(QString::number(ids::transfer::kFileName))->geometry().left(), column);
    EXPECT_TRUE(dialog.grab().save(QString::fromStdString(PictureName("send-dialog"))));
}

TEST_P(ScreenshotTest, PageSetupShowsEveryTextWhole) {
    config.ResetPrint();
    CDlgDruckbereich dialog(config.m_printSettings);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (const QWidget* control : dialog.findChildren<QWidget*>()) {
        if (qobject_cast<const QLabel*>(control) != nullptr ||
            qobject_cast<const QAbstractButton*>(control) != nullptr) {
            EXPECT_GE(control->width(), control->sizeHint().width())
                << control->metaObject()->className() << " " << control->objectName().toStdString();
        }
    }
    ExpectFitsSmallScreen(dialog);
    EXPECT_TRUE(dialog.grab().save(QString::fromStdString(PictureName("page-setup"))));
    dialog.reject();
}

TEST_P(ScreenshotTest, TransferDialogWhileItWorks) {
    sim::SimulatorOptions options;
    options.pacing = true; // so that the picture catches the bar on its way
    auto receiver = test::StartReceiver(options);
    ASSERT_TRUE(receiver);
    TransferJob job;
    job.kind = TransferJobKind::ListLoad;
    job.listKind = 'T';
    LinkSettings settings;
    settings.comPort = 1;
    CDlgSenden dialog(job, settings, PortMap({{"COM1", receiver->DevicePath()}}, {}), context.chain,
                      context.cancel, folders.lists, folders.settings);
    bool taken = false;
    bool connected = false; // the bar stands at 100 once the receiver answered
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        // Midway through the program lines: status, progress and buttons as they work.
        const auto* bar = dialog.findChild<QProgressBar*>();
        if (bar == nullptr || !dialog.isVisible() || !dialog.WorkerRunning())
            return;
        connected = connected || bar->value() == 100;
        if (!taken && connected && bar->value() >= 20 && bar->value() < 100) {
            taken = true;
            ExpectFitsSmallScreen(dialog);
            EXPECT_TRUE(dialog.grab().save(QString::fromStdString(PictureName("transfer"))));
            dialog.reject();
        }
    });
    watch.start(5);
    dialog.exec();
    EXPECT_TRUE(taken) << test::LogOf(*receiver);
}

TEST_P(ScreenshotTest, PoolEditorWithTheDemoList) {
    const NormalizeResult list = NormalizeListFile(folders.lists + "/" + std::string(kDemoListFile));
    ASSERT_EQ(list.result, 1);
    CDlgProgrammpool editor(context, &list.record);
    editor.resize(900, 600);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    editor.Grid()->SelectRows(2, 2);
    ExpectFitsSmallScreen(editor);
    EXPECT_TRUE(editor.grab().save(QString::fromStdString(PictureName("pool-editor"))));
    editor.reject();
}

INSTANTIATE_TEST_SUITE_P(Languages, ScreenshotTest,
                         ::testing::Values(Language::German, Language::English),
                         [](const auto& language) {
                             return std::string(language.param == Language::German ? "German" : "English");
                         });

} // namespace
} // namespace fw

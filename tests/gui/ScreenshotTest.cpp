#include "app/DemoFiles.h"
#include "core/config/Konfiguration.h"
#include "core/editor/CsvList.h"
#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/safety/SafetyCopyStore.h"
#include "gui/app/ReceiverSheet.h"
#include "gui/favourites/DlgFavoriten.h"
#include "gui/favourites/FavListCtrl.h"
#include "gui/link/DlgHinweis.h"
#include "gui/link/DlgSenden.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/DuplicatesWindow.h"
#include "gui/lists/ListCompareWindow.h"
#include "gui/lists/OrderLikeTool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/lists/SortDialog.h"
#include "gui/page/PropertyPagePlus.h"
#include "gui/print/PageSetupDialog.h"
#include "gui/production/ProductionWindow.h"
#include "gui/ui/ReportWindow.h"
#include "gui/ui/Texts.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

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

    // The demo list as the list page registers it.
    CListenDat DemoList() const {
        const NormalizeResult list =
            NormalizeListFile(folders.lists + "/" + std::string(kDemoListFile));
        EXPECT_EQ(list.status, NormalizeStatus::Registered);
        return list.record;
    }

    // The editor at the size its pictures are taken.
    static void ShowEditor(CDlgProgrammpool& editor) {
        editor.resize(900, 600);
        editor.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&editor));
    }

    std::string PictureName(const std::string& what) const {
        // A run at another scale factor keeps its pictures beside those of the normal run.
        const double ratio = ScreenPixelRatio();
        const std::string scale =
            ratio == 1.0 ? "" : "x" + QString::number(ratio).toStdString() + "-";
        return std::string(kScreenshotFolder) + "/" + scale +
               (GetParam() == Language::German ? "de-" : "en-") + what + ".png";
    }
    // 2 in the run under QT_SCALE_FACTOR=2, else 1.
    static double ScreenPixelRatio() {
        return qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                   ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                   : 1.0;
    }
    // Shows the sheet and runs check(page) on each of its pages in turn.
    template <typename Check> static void OnEveryPage(CReceiverSheet& sheet, Check check) {
        sheet.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
        for (int page = 0; page < CReceiverSheet::kPageCount; ++page) {
            sheet.SetActivePage(page);
            QApplication::processEvents();
            check(page);
        }
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
    test::ScriptedContext context{config, folders};
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
        EXPECT_TRUE(
            sheet.grab().save(QString::fromStdString(PictureName("page" + std::to_string(page)))));
    }
    // At the smallest size the layout allows, every tab still shows without scroll arrows.
    sheet.resize(sheet.minimumSizeHint());
    QApplication::processEvents();
    EXPECT_LE(tabs->sizeHint().width(), sheet.Tabs()->width()) << "the tabs need scroll arrows";
    EXPECT_TRUE(sheet.grab().save(QString::fromStdString(PictureName("smallest"))));
    sheet.reject();
}

TEST_P(ScreenshotTest, ListAndSettingsPagesWithSafetyCopies) {
    LocalDateTime now{2026, 12, 7, 21, 5, 40};
    SafetyCopyStore store(folders, 20, [&now] { return now; });
    const std::vector<std::string> lines(3, "\tDas Erste\t11836");
    ASSERT_TRUE(store.WriteListCopy('T', lines, CFavoritenDat(), "ZEB30").written);
    ASSERT_TRUE(store.WriteSettingsCopy(std::string(2048, 'g'), "ZEB30").written);
    now.day = 8;
    ASSERT_TRUE(store.WriteListCopy('R', lines, CFavoritenDat(), "ZEB10").written);
    ASSERT_TRUE(store.WriteSettingsCopy(std::string(2048, 'g'), "ZEB10").written);

    CReceiverSheet sheet(context);
    OnEveryPage(sheet, [&](int page) {
        if (page != 1 && page != 2)
            return;
        ExpectFitsSmallScreen(sheet);
        const std::string what = page == 1 ? "lists" : "settings";
        EXPECT_TRUE(
            sheet.grab().save(QString::fromStdString(PictureName("safety-copies-" + what))));
    });
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
        EXPECT_LT(line->sizeHint().width(),
                  hint.width() - 2 * line->fontMetrics().averageCharWidth());
    EXPECT_TRUE(hint.grab().save(QString::fromStdString(PictureName("version-warning"))));
    hint.reject();

    ListSend job;
    job.list.m_strFileName = "demo-tv.lst";
    job.list.m_strName = "Demo TV-Liste";
    job.list.m_strType = "TV";
    CDlgSenden dialog(job, LinkSettings{}, PortMap({}, {}), context.chain, context.cancel,
                      folders.lists, folders.settings, context.script);
    dialog.adjustSize();
    // The values of the fields and the status start in one column.
    const int column =
        dialog.findChild<QLabel*>(QString::number(ids::transfer::kStatus))->geometry().left();
    EXPECT_EQ(
        dialog.findChild<QLabel*>(QString::number(ids::transfer::kFileName))->geometry().left(),
        column);
    EXPECT_TRUE(dialog.grab().save(QString::fromStdString(PictureName("send-dialog"))));
}

TEST_P(ScreenshotTest, PageSetupShowsEveryTextWhole) {
    config.ResetPrint();
    PageSetupDialog dialog(config.m_printSettings, context.script);
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
    ListLoad job;
    job.listKind = 'T';
    LinkSettings settings;
    settings.comPort = 1;
    CDlgSenden dialog(job, settings, PortMap({{"COM1", receiver->DevicePath()}}, {}), context.chain,
                      context.cancel, folders.lists, folders.settings, context.script);
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

// A settings send with its safety copy and check, against a receiver that stores one byte
// otherwise: the dialog at the copy, at the check and at the end, and the check's report.
TEST_P(ScreenshotTest, TransferDialogStepsAndVerdict) {
    sim::SimulatorOptions options;
    options.pacing = true; // each step lasts long enough to be caught
    options.storeFaults.settingsByte = sim::StoreFaults::SettingsByte{17, 200};
    auto receiver = test::StartReceiver(options);
    ASSERT_TRUE(receiver);
    SettingsSend job;
    job.settings.m_strPath = folder.File("new.grd");
    job.settings.m_strFileName = "new.grd";
    test::WriteBytes(job.settings.m_strPath, std::string(2048, '\x11'));
    LinkSettings settings;
    settings.comPort = 1;
    CDlgSenden dialog(job, settings, PortMap({{"COM1", receiver->DevicePath()}}, {}), context.chain,
                      context.cancel, folders.lists, folders.settings, context.script);
    dialog.KeepRecords({folders, true, 20, true});
    const QString steps[] = {
        QString::fromStdString(FormatText(LoadResString(str::kJobStep),
                                          {"1", "3", LoadResString(str::kStepSafetyCopy)})),
        QString::fromStdString(
            FormatText(LoadResString(str::kJobStep), {"3", "3", LoadResString(str::kStepCheck)}))};
    const char* names[] = {"transfer-step-copy", "transfer-step-check"};
    int taken = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const auto* status = dialog.findChild<QLabel*>(QString::number(ids::transfer::kStatus));
        if (taken < 2 && status != nullptr && status->text().startsWith(steps[taken])) {
            EXPECT_TRUE(dialog.grab().save(QString::fromStdString(PictureName(names[taken]))));
            ++taken;
        }
    });
    watch.start(5);
    QSignalSpy finished(&dialog, &CDlgSenden::WorkerFinished);
    dialog.open();
    ASSERT_TRUE(finished.wait(60000)) << test::LogOf(*receiver);
    watch.stop();
    EXPECT_EQ(taken, 2) << test::LogOf(*receiver);
    ASSERT_TRUE(dialog.ReportButton()->isVisible());
    EXPECT_TRUE(dialog.grab().save(QString::fromStdString(PictureName("transfer-end"))));

    bool reportTaken = false;
    QTimer::singleShot(0, &dialog, [&] {
        auto* report = dialog.findChild<ReportWindow*>();
        ASSERT_NE(report, nullptr);
        report->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(report));
        EXPECT_TRUE(report->grab().save(QString::fromStdString(PictureName("check-report"))));
        EXPECT_TRUE(report->Text().contains("17")) << report->Text().toStdString();
        reportTaken = true;
        report->reject();
    });
    dialog.ReportButton()->click();
    EXPECT_TRUE(reportTaken);
    dialog.reject();
}

TEST_P(ScreenshotTest, PoolEditorWithTheDemoList) {
    const CListenDat list = DemoList();
    CDlgProgrammpool editor(context, &list);
    ShowEditor(editor);
    editor.Grid()->SelectRows(2, 2);
    ExpectFitsSmallScreen(editor);
    EXPECT_TRUE(editor.grab().save(QString::fromStdString(PictureName("pool-editor"))));
    editor.reject();
}

// The demo list against a copy with a program renamed, one moved, one gone and one new.
TEST_P(ScreenshotTest, ComparisonOfTheDemoListWithAnEditedCopy) {
    const CListenDat list = DemoList();
    CDlgProgrammpool editor(context, &list);
    ListDocument other = editor.Document();
    other.description = "copy";
    other.pool.SetCell(1, kFieldName, "Renamed HD");
    ProgramRow moved = other.pool.Row(3);
    other.pool.SetRow(3, ProgramRow{});
    other.pool.SetRow(other.pool.LastUsedRow() + 2, moved);
    other.pool.SetRow(5, ProgramRow{});
    ProgramRow added{};
    added[kFieldName] = "Neu";
    added[kFieldSid] = "999";
    other.pool.SetRow(other.pool.LastUsedRow() + 1, added);
    other.banks.Insert(0, CFavEintrag{2}, 0);
    ListCompareWindow window(&editor, editor.Document(), std::move(other), "demo.lst", "copy.lst");
    window.Filter(PairMark::Same)->setChecked(true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.RightGrid()->selectRow(1);
    ExpectFitsSmallScreen(window);
    EXPECT_TRUE(window.grab().save(QString::fromStdString(PictureName("compare-window"))));
    window.reject();
    editor.reject();
}

TEST_P(ScreenshotTest, SortDialogAndFilteredPool) {
    const CListenDat list = DemoList();
    CDlgProgrammpool editor(context, &list);
    ShowEditor(editor);
    editor.FilterField()->setText("12480");
    EXPECT_TRUE(editor.grab().save(QString::fromStdString(PictureName("pool-filtered"))));

    SortDialog sort({2, 40}, SortKey::Frequency, &editor);
    sort.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sort));
    ExpectFitsSmallScreen(sort);
    EXPECT_TRUE(sort.grab().save(QString::fromStdString(PictureName("sort-dialog"))));
    sort.reject();
    editor.reject();
}

// The duplicates window over the demo list with three of its programs copied to its end, the
// first group chosen.
TEST_P(ScreenshotTest, DuplicatesWindow) {
    const CListenDat list = DemoList();
    CDlgProgrammpool editor(context, &list);
    ShowEditor(editor);
    ProgramPool& pool = editor.Document().pool;
    const int end = pool.LastUsedRow() + 1;
    for (int copy = 0; copy < 3; ++copy)
        pool.SetRow(end + copy, pool.Row(copy * 2));
    editor.Refresh();
    editor.ToolsMenu()->findChild<QAction*>("findDuplicates")->trigger();
    auto* window = editor.findChild<DuplicatesWindow*>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    ASSERT_GE(window->GroupList()->topLevelItemCount(), 3);
    window->GroupList()->setCurrentItem(window->GroupList()->topLevelItem(0));
    ExpectFitsSmallScreen(*window);
    EXPECT_TRUE(window->grab().save(QString::fromStdString(PictureName("duplicates"))));
    window->reject();
    editor.reject();
}

// The report of a CSV import that took some rows and refused others, each with line and column.
TEST_P(ScreenshotTest, CsvImportReport) {
    ListDocument doc;
    const CsvTable table =
        ReadCsvTable("Name,Place,SID,FEC,Banks\r\nA,0,1,2/3,F0:1\r\nB,0,2,,\r\nC,5000,,,\r\n"
                     "D,,12a,,F1:0 F1\r\n");
    CsvImportReport report;
    ImportCsv(doc, table, false, report);
    ReportWindow window(ResText(str::kCsvImportTitle),
                        QString::fromStdString(CsvReportText(table, report)), context.script);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ExpectFitsSmallScreen(window);
    EXPECT_TRUE(window.grab().save(QString::fromStdString(PictureName("csv-import-report"))));
}

// The report of "Order like": the demo list ordered like a list holding its programs in reverse,
// without the first one, with one the demo list lacks and one twice.
TEST_P(ScreenshotTest, OrderLikeReport) {
    const CListenDat list = DemoList();
    CDlgProgrammpool editor(context, &list);
    ShowEditor(editor);
    ProgramPool reference;
    const ProgramPool& pool = editor.Document().pool;
    int place = 0;
    for (int row = pool.LastUsedRow(); row > 0; --row)
        reference.SetRow(place++, pool.Row(row));
    reference.SetRowFromLine(place++, test::ProgramLine("Archiv", 1));
    reference.SetRow(place, pool.Row(pool.LastUsedRow())); // twice: ambiguous
    const std::string path = folders.lists + "/reference.lst";
    test::WriteBytes(path, BuildListFileText(kListTv, "Reference", reference, CFavoritenDat()));
    ReportWindow* report = OrderEditorLike(editor, context.script, QString::fromStdString(path));
    ASSERT_NE(report, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(report));
    ExpectFitsSmallScreen(*report);
    EXPECT_TRUE(report->grab().save(QString::fromStdString(PictureName("order-like-report"))));
    report->close();
    editor.reject();
}

// The favourites window beside the editor, as it opens on the demo list: each tab counts its
// bank's entries, and the ten tabs fit without scroll arrows.
TEST_P(ScreenshotTest, FavouritesWindowCountsTheBanksOfTheDemoList) {
    const CListenDat list = DemoList();
    CDlgProgrammpool editor(context, &list);
    CDlgFavoriten* favourites = editor.Favourites();
    favourites->Tabs()->setCurrentIndex(0);
    favourites->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(favourites));
    const int entries = static_cast<int>(editor.Document().banks.GetCount(0));
    EXPECT_GT(entries, 0);
    EXPECT_EQ(favourites->Tabs()->tabText(0), CDlgFavoriten::TabText(0, entries));
    EXPECT_LE(favourites->Tabs()->tabBar()->sizeHint().width(), favourites->Tabs()->width());
    favourites->List(0)->selectRow(1);
    EXPECT_TRUE(favourites->grab().save(QString::fromStdString(PictureName("favourites-demo"))));
    favourites->hide();
}

// The application's palette or font for one test, restored however the test ends.
// The production window while two receivers are prepared and after the run, one of them
// failing in its TV list; the day's report below.
TEST_P(ScreenshotTest, ProductionWindowDuringAndAfterARun) {
    sim::SimulatorOptions paced;
    paced.model = sim::Model::RecOk; // the shortest list, so that the run stays short
    paced.pacing = true;
    sim::SimulatorOptions aborting = paced;
    aborting.faults.push_back({sim::Step::LineAnswer, 600, sim::FaultKind::Abort0A});
    auto first = test::StartReceiver(paced);
    auto second = test::StartReceiver(aborting);
    ASSERT_TRUE(first && second);
    test::WriteBytes(folders.settings + "/shop.grd", std::string(2048, '\x33'));
    test::WriteBytes(folders.lists + "/shop-tv.lst", test::NumberedList("TV", "Shop", 40));
    config.m_productionRecipe =
        ProductionRecipeSetting{"", "settings/shop.grd", "lists/shop-tv.lst", "", 0, 0};
    context.ports = PortMap({{"COM1", first->DevicePath()}, {"COM2", second->DevicePath()}}, {});
    test::TempDir noAdapters;
    ProductionWindow window(context, nullptr, noAdapters.Path().string());
    window.PortBox("COM1")->setChecked(true);
    window.PortBox("COM2")->setChecked(true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ExpectFitsSmallScreen(window);
    bool taken = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const int progress = window.PortProgress("COM1")->value();
        if (!taken && window.Running() && progress >= 40 && progress < 90) {
            taken = true;
            EXPECT_TRUE(window.grab().save(QString::fromStdString(PictureName("production-run"))));
        }
    });
    watch.start(5);
    QSignalSpy finished(&window, &ProductionWindow::RunFinished);
    window.StartButton()->click();
    ASSERT_TRUE(finished.wait(60000)) << test::LogOf(*second);
    watch.stop();
    EXPECT_TRUE(taken);
    EXPECT_EQ(window.ReportTable()->rowCount(), 2);
    EXPECT_TRUE(window.grab().save(QString::fromStdString(PictureName("production-end"))));
    window.close();
}

class ApplicationLook {
public:
    ApplicationLook() : m_palette(QApplication::palette()), m_font(QApplication::font()) {}
    ~ApplicationLook() {
        QApplication::setPalette(m_palette);
        QApplication::setFont(m_font);
    }
    ApplicationLook(const ApplicationLook&) = delete;
    ApplicationLook& operator=(const ApplicationLook&) = delete;

private:
    QPalette m_palette;
    QFont m_font;
};

QPalette DarkPalette() {
    QPalette dark;
    const QColor window(0x2d, 0x2d, 0x30), base(0x1e, 0x1e, 0x1e), text(0xe6, 0xe6, 0xe6);
    for (const auto& [role, colour] : {std::pair{QPalette::Window, window},
                                       {QPalette::WindowText, text},
                                       {QPalette::Base, base},
                                       {QPalette::AlternateBase, window},
                                       {QPalette::Text, text},
                                       {QPalette::Button, QColor(0x3c, 0x3c, 0x40)},
                                       {QPalette::ButtonText, text},
                                       {QPalette::BrightText, QColor(Qt::white)},
                                       {QPalette::Light, QColor(0x55, 0x55, 0x5a)},
                                       {QPalette::Midlight, QColor(0x48, 0x48, 0x4c)},
                                       {QPalette::Mid, QColor(0x40, 0x40, 0x44)},
                                       {QPalette::Dark, QColor(0x1a, 0x1a, 0x1c)},
                                       {QPalette::Shadow, QColor(Qt::black)},
                                       {QPalette::Highlight, QColor(0x2a, 0x5d, 0x8f)},
                                       {QPalette::HighlightedText, QColor(Qt::white)},
                                       {QPalette::ToolTipBase, window},
                                       {QPalette::ToolTipText, text},
                                       {QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90)}})
        dark.setColor(role, colour);
    return dark;
}

// The share of pixels a light palette would paint: near white, whatever the hue.
double BrightShare(QWidget& window) {
    const QImage picture = window.grab().toImage();
    qsizetype bright = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            bright += qGray(picture.pixel(x, y)) > 170 ? 1 : 0;
    }
    return static_cast<double>(bright) / static_cast<double>(picture.width() * picture.height());
}

// Under a dark desktop palette nothing keeps a light colour of its own: texts and icons are
// the only bright parts left, a few per cent of a window.
TEST_P(ScreenshotTest, ADarkPaletteLeavesLittleOfTheWindowsBright) {
    const ApplicationLook restore;
    QApplication::setPalette(DarkPalette());
    CReceiverSheet sheet(context);
    OnEveryPage(sheet, [&](int page) {
        EXPECT_LT(BrightShare(sheet), 0.05) << "page " << page;
        EXPECT_TRUE(sheet.grab().save(
            QString::fromStdString(PictureName("dark-page" + std::to_string(page)))));
    });
    sheet.reject();

    const CListenDat list = DemoList();
    CDlgProgrammpool editor(context, &list);
    ShowEditor(editor);
    EXPECT_LT(BrightShare(editor), 0.05);
    EXPECT_TRUE(editor.grab().save(QString::fromStdString(PictureName("dark-pool-editor"))));
    editor.reject();
}

// Every icon is drawn for the screen's pixel ratio (2 in the run under QT_SCALE_FACTOR=2), not
// scaled up from a smaller picture.
TEST_P(ScreenshotTest, IconsAreSharpAtTheScreensPixelRatio) {
    const double ratio = ScreenPixelRatio();
    CReceiverSheet sheet(context);
    int icons = 0;
    OnEveryPage(sheet, [&](int) {
        EXPECT_DOUBLE_EQ(sheet.grab().devicePixelRatio(), ratio);
        for (const QAbstractButton* button : sheet.findChildren<QAbstractButton*>()) {
            if (button->icon().isNull() || !button->isVisible())
                continue;
            ++icons;
            const QPixmap drawn = button->icon().pixmap(button->iconSize(), ratio);
            EXPECT_EQ(drawn.size(), button->iconSize() * ratio)
                << button->objectName().toStdString();
        }
    });
    EXPECT_DOUBLE_EQ(sheet.devicePixelRatioF(), ratio);
    EXPECT_GT(icons, 0);
    const QPixmap windowIcon = sheet.windowIcon().pixmap(QSize(64, 64), ratio);
    EXPECT_EQ(windowIcon.size(), QSize(64, 64) * ratio);
    sheet.reject();
}

// With a larger desktop font nothing is cut short: every visible label and button gets at
// least the room its text asks for.
TEST_P(ScreenshotTest, ALargerFontClipsNoText) {
    const ApplicationLook restore;
    QFont larger = QApplication::font();
    larger.setPointSizeF(larger.pointSizeF() * 1.25);
    QApplication::setFont(larger);
    config.m_bFertigung = 1;
    CReceiverSheet sheet(context);
    OnEveryPage(sheet, [&](int page) {
        for (const QWidget* widget : sheet.findChildren<QWidget*>()) {
            if (!widget->isVisible() || (!qobject_cast<const QLabel*>(widget) &&
                                         !qobject_cast<const QAbstractButton*>(widget)))
                continue;
            const QSize least = widget->minimumSizeHint();
            EXPECT_TRUE(widget->width() >= least.width() && widget->height() >= least.height())
                << "page " << page << ": " << widget->metaObject()->className() << " "
                << widget->objectName().toStdString() << " is " << widget->width() << "x"
                << widget->height() << ", needs " << least.width() << "x" << least.height();
        }
        EXPECT_TRUE(sheet.grab().save(
            QString::fromStdString(PictureName("large-font-page" + std::to_string(page)))));
    });
    sheet.reject();
}

INSTANTIATE_TEST_SUITE_P(Languages, ScreenshotTest,
                         ::testing::Values(Language::German, Language::English),
                         [](const auto& language) {
                             return std::string(language.param == Language::German ? "German"
                                                                                   : "English");
                         });

} // namespace
} // namespace fw

#include "gui/production/ProductionWindow.h"

#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/config/ProfileFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/app/DlgOptionen.h"
#include "gui/app/ReceiverSheet.h"
#include "gui/ui/Texts.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/ListFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

namespace fw {
namespace {

class ProductionWindowTest : public test::LinkJobTest {
protected:
    void SetUp() override {
        LinkJobTest::SetUp();
        std::string reason;
        ASSERT_TRUE(CreateDataFolders(folders, reason)) << reason;
        test::WriteBytes(folders.firmware + "/new.bsr", test::FirmwareImage(4096, "ABC V1.20"));
        test::WriteBytes(folders.settings + "/shop.grd", std::string(2048, '\x33'));
        test::WriteBytes(folders.lists + "/shop-tv.lst", test::NumberedList("TV", "Shop", 5));
        test::WriteBytes(folders.lists + "/shop-radio.lst", test::NumberedList("RA", "Shop", 2));
        config.m_versionHint = 0;
    }

    std::unique_ptr<ProductionWindow> Window(const PortMap::Entries& ports) {
        context.ports = PortMap(ports, {});
        return std::make_unique<ProductionWindow>(context, nullptr, byId.Path().string());
    }
    static void Choose(ProductionWindow& window, ProductionWindow::FileStep step,
                       const char* name) {
        QComboBox* box = window.FileChoice(step);
        const int index = box->findData(QString::fromUtf8(name));
        ASSERT_GE(index, 0) << name;
        box->setCurrentIndex(index);
    }
    // Runs what start does to the end of the run.
    static bool RunToEnd(ProductionWindow& window, QAbstractButton* start) {
        QSignalSpy finished(&window, &ProductionWindow::RunFinished);
        start->click();
        return finished.wait(60000) || finished.count() > 0;
    }
    // The report table as port -> results, newest first.
    static std::map<QString, QStringList> ReportResults(const QTableWidget& table) {
        int port = -1;
        int result = -1;
        for (int column = 0; column < table.columnCount(); ++column) {
            const QString title = table.horizontalHeaderItem(column)->text();
            port = title == ResText(str::kProductionColumnPort) ? column : port;
            result = title == ResText(str::kProductionColumnResult) ? column : result;
        }
        std::map<QString, QStringList> results;
        for (int row = 0; row < table.rowCount() && port >= 0 && result >= 0; ++row)
            results[table.item(row, port)->text()] << table.item(row, result)->text();
        return results;
    }

    test::TempDir folder;
    test::TempDir byId; // no adapters unless a test puts them there
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
};

TEST_F(ProductionWindowTest, RunsOnTwoReceiversAndRepeatsOnlyTheFailedOne) {
    auto good = test::StartReceiver({});
    sim::SimulatorOptions aborting;
    aborting.faults.push_back({sim::Step::LineAnswer, 2, sim::FaultKind::Abort0A});
    auto failing = test::StartReceiver(aborting);
    ASSERT_TRUE(good && failing);
    auto window = Window({{"COM1", good->DevicePath()}, {"COM2", failing->DevicePath()}});
    Choose(*window, ProductionWindow::kSettings, "settings/shop.grd");
    Choose(*window, ProductionWindow::kTvList, "lists/shop-tv.lst");
    window->PortBox("COM1")->setChecked(true);
    window->PortBox("COM2")->setChecked(true);
    ASSERT_TRUE(RunToEnd(*window, window->StartButton())) << test::LogOf(*failing);

    EXPECT_EQ(window->PortVerdict("COM1"), ResText(str::kProductionVerdictOk));
    EXPECT_EQ(window->PortProgress("COM1")->value(), 100);
    // The verdict of a failure is its reason.
    EXPECT_EQ(window->PortVerdict("COM2").toStdString(), LoadResString(str::kCliReceiverCancelled));
    // A failing port shows its reason in its row, not in a box of its own.
    EXPECT_TRUE(context.script.shown.empty()) << context.script.shown.front();
    EXPECT_EQ(ReportResults(*window->ReportTable()),
              (std::map<QString, QStringList>{{"COM1", {"ok"}}, {"COM2", {"failed"}}}));
    EXPECT_TRUE(window->RepeatFailedButton()->isEnabled());
    EXPECT_FALSE(window->CancelAllButton()->isEnabled());

    const std::size_t goodCommands = good->Commands().size();
    ASSERT_TRUE(RunToEnd(*window, window->RepeatFailedButton()));
    EXPECT_EQ(good->Commands().size(), goodCommands) << "the port that succeeded ran again";
    EXPECT_EQ(window->PortVerdict("COM2"), ResText(str::kProductionVerdictOk))
        << test::LogOf(*failing);
    EXPECT_EQ(window->PortVerdict("COM1"), ResText(str::kProductionVerdictOk));
    EXPECT_EQ(ReportResults(*window->ReportTable()),
              (std::map<QString, QStringList>{{"COM1", {"ok"}}, {"COM2", {"ok", "failed"}}}));
    EXPECT_FALSE(window->RepeatFailedButton()->isEnabled());
}

TEST_F(ProductionWindowTest, StartRefusesWhatCannotRunAndSendsNothing) {
    auto receiver = test::StartReceiver({});
    ASSERT_TRUE(receiver);
    struct Case {
        const char* name;
        const char* settings; // nullptr: none chosen
        bool tick;
        int message;
    };
    const Case cases[] = {
        {"no file chosen", nullptr, true, str::kRecipeNoStep},
        {"no port ticked", "settings/shop.grd", false, str::kProductionNoPortChosen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        context.script.shown.clear();
        auto window = Window({{"COM1", receiver->DevicePath()}});
        if (c.settings)
            Choose(*window, ProductionWindow::kSettings, c.settings);
        window->PortBox("COM1")->setChecked(c.tick);
        window->StartButton()->click();
        EXPECT_FALSE(window->Running());
        ASSERT_EQ(context.script.shown.size(), 1u);
        EXPECT_NE(context.script.shown[0].find(LoadResString(c.message)), std::string::npos)
            << context.script.shown[0];
    }
    EXPECT_TRUE(receiver->Commands().empty());
}

// The version warning of one port is asked naming the port; No leaves that receiver as it was.
TEST_F(ProductionWindowTest, APortsQuestionNamesThePort) {
    config.m_versionHint = 1;
    sim::SimulatorOptions same;
    same.softwareText = "ABC V1.20"; // the file's own version
    auto receiver = test::StartReceiver(same);
    ASSERT_TRUE(receiver);
    auto window = Window({{"COM1", receiver->DevicePath()}});
    Choose(*window, ProductionWindow::kFirmware, "OS/new.bsr");
    window->PortBox("COM1")->setChecked(true);
    ASSERT_TRUE(RunToEnd(*window, window->StartButton())) << test::LogOf(*receiver);
    ASSERT_EQ(context.script.asked.size(), 1u);
    EXPECT_EQ(context.script.asked[0].text.rfind("Receiver on COM1:\n", 0), 0u)
        << context.script.asked[0].text;
    EXPECT_EQ(context.script.asked[0].defaultAnswer, Answer::No);
    EXPECT_EQ(window->PortVerdict("COM1"), ResText(str::kProductionVerdictFailedPlain));
    EXPECT_TRUE(window->RepeatFailedButton()->isEnabled());
}

// Closing during a run never drops a receiver silently: No keeps the run and the window, Yes
// cancels every port and closes once they have stopped. Ending the program asks the same and
// keeps it open meanwhile.
TEST_F(ProductionWindowTest, ClosingDuringARunAsksFirst) {
    sim::SimulatorOptions paced;
    paced.pacing = true;
    auto receiver = test::StartReceiver(paced);
    ASSERT_TRUE(receiver);
    context.ports = PortMap({{"COM1", receiver->DevicePath()}}, {});
    config.m_bFertigung = 1;
    config.m_activePage = 3;
    config.m_productionRecipe = ProductionRecipeSetting{"", "", "lists/shop-tv.lst", "", 1, 0};
    CReceiverSheet sheet(context);
    sheet.show();
    ProductionWindow* window = static_cast<CDlgOptionen*>(sheet.Page(3))->OpenStation();
    window->PortBox("COM1")->setChecked(true);
    QSignalSpy finished(window, &ProductionWindow::RunFinished);
    window->StartButton()->click();
    ASSERT_TRUE(window->Running());

    sheet.done(QDialog::Accepted);
    QTest::keyClick(window, Qt::Key_Escape);
    ASSERT_EQ(context.script.asked.size(), 2u);
    EXPECT_EQ(context.script.asked[0].defaultAnswer, Answer::No);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Running());

    context.script.answers.push_back(Answer::Yes);
    window->close();
    EXPECT_TRUE(window->isVisible()) << "closed before its port stopped";
    ASSERT_TRUE(finished.wait(30000) || finished.count() > 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_NE(window->PortVerdict("COM1").toStdString().find(LoadResString(str::kCheckCancelled)),
              std::string::npos)
        << window->PortVerdict("COM1").toStdString();
    sheet.done(QDialog::Accepted);
    EXPECT_FALSE(sheet.isVisible());
}

// The day's report follows every receiver as it is written, whoever writes it, from a day
// without any file on.
TEST_F(ProductionWindowTest, TheReportFollowsTheDaysFile) {
    auto window = Window({});
    EXPECT_EQ(window->ReportTable()->rowCount(), 0);
    ProductionRow row;
    row.port = "COM3";
    row.settings = StepVerdict::Ok;
    for (int rows = 1; rows <= 2; ++rows) {
        std::string reason;
        ASSERT_TRUE(
            AppendProductionRow(folders.program, row, std::chrono::system_clock::now(), reason))
            << reason;
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->ReportTable()->rowCount() == rows; }))
            << rows;
    }
}

// The recipe as left, through upd.ini and through a recipe file; the section only once a
// recipe was kept.
TEST_F(ProductionWindowTest, TheRecipeComesBackAsItWasLeft) {
    ProfileFile profile;
    profile.SetPath(folders.profile);
    std::string reason;
    ASSERT_EQ(config.Save(profile).status, ConfigSaveStatus::Saved);
    EXPECT_EQ(test::ReadBytes(folders.profile).find("[PRODUCTION]"), std::string::npos);

    const std::string outside = folder.File("elsewhere.grd");
    test::WriteBytes(outside, std::string(2048, '\x44'));
    const Recipe chosen{"OS/new.bsr", outside, "lists/shop-tv.lst", "", false, true};
    {
        auto window = Window({});
        Choose(*window, ProductionWindow::kFirmware, "OS/new.bsr");
        Choose(*window, ProductionWindow::kTvList, "lists/shop-tv.lst");
        window->VerifyBox()->setChecked(false);
        window->BackupBox()->setChecked(true);
        // A file outside the catalogue comes in through a recipe file.
        Recipe withOutside = window->CurrentRecipe();
        withOutside.settings = outside;
        ASSERT_TRUE(SaveRecipe(folder.File("shop.recipe"), withOutside, reason)) << reason;
        ASSERT_TRUE(window->OpenRecipeFile(folder.File("shop.recipe")));
        EXPECT_EQ(window->CurrentRecipe(), chosen);
        ASSERT_TRUE(window->SaveRecipeFile(folder.File("again.recipe")));
        Recipe saved;
        ASSERT_TRUE(LoadRecipe(folder.File("again.recipe"), saved, reason)) << reason;
        EXPECT_EQ(saved, chosen);
    }
    ASSERT_EQ(config.Save(profile).status, ConfigSaveStatus::Saved);

    ProfileFile stored;
    ASSERT_TRUE(stored.Load(folders.profile));
    CKonfiguration loaded;
    loaded.Load(stored);
    test::ScriptedContext otherContext{loaded, folders};
    otherContext.ports = PortMap({}, {});
    ProductionWindow reopened(otherContext, nullptr, byId.Path().string());
    EXPECT_EQ(reopened.CurrentRecipe(), chosen);
}

// Every caption the keyboard reaches has its own letter, in both languages; the options page
// offers the window only in production mode; Esc closes it.
TEST_F(ProductionWindowTest, KeyboardReachesEveryControl) {
    for (Language language : {Language::English, Language::German}) {
        SetLanguage(language);
        auto window = Window({{"COM1", "/dev/null"}});
        std::multiset<QChar> letters;
        const auto take = [&letters](const QString& caption) {
            const int at = caption.indexOf(QLatin1Char('&'));
            ASSERT_GE(at, 0) << caption.toStdString();
            letters.insert(caption.at(at + 1).toLower());
        };
        for (const QPushButton* button : window->findChildren<QPushButton*>())
            take(button->text());
        for (const QCheckBox* box : window->findChildren<QCheckBox*>()) {
            if (!box->objectName().startsWith("port:"))
                take(box->text());
        }
        take(window->findChild<QGroupBox*>("receivers")->title());
        for (const QLabel* label : window->findChildren<QLabel*>()) {
            if (label->buddy() != nullptr)
                take(label->text());
        }
        for (const QChar letter : letters)
            EXPECT_EQ(letters.count(letter), 1u) << QString(letter).toStdString();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QTest::keyClick(window.get(), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    }
    SetLanguage(Language::English);

    for (const int production : {0, 1}) {
        config.m_bFertigung = production;
        config.m_activePage = 3;
        CReceiverSheet sheet(context);
        auto* page = static_cast<CDlgOptionen*>(sheet.Page(3));
        EXPECT_EQ(!page->StationButton()->isHidden(), production == 1);
        if (production == 1) {
            ProductionWindow* opened = page->OpenStation();
            EXPECT_TRUE(opened->isVisible());
            EXPECT_EQ(page->OpenStation(), opened) << "a second window";
            opened->close();
        }
    }
}

} // namespace
} // namespace fw

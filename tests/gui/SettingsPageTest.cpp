#include "tests/gui/ModalHelper.h"

#include "core/config/Konfiguration.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/safety/SafetyCopyStore.h"
#include "gui/link/DlgSenden.h"
#include "gui/settings/DlgGrundeinstellung.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/IconButton.h"
#include "gui/ui/Texts.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/linkjobs/JobHarness.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fw {
namespace {

// The page with its file dialog replaced by a chosen path.
class TestPage : public CDlgGrundeinstellung {
public:
    using CDlgGrundeinstellung::CDlgGrundeinstellung;
    QString importChoice;

protected:
    QString ChooseImportFile() override { return importChoice; }
};

class SettingsPageTest : public test::LinkJobTest {
protected:
    SettingsPageTest() {
        folders.program = root.Path().string();
        folders.settings = root.File("settings");
        folders.lists = root.File("lists");
        folders.firmware = root.File("firmware");
        folders.settingsBackups = root.File("settings/backup");
        std::filesystem::create_directory(folders.settings);
        std::filesystem::create_directory(folders.lists);
    }

    std::unique_ptr<TestPage> Page() {
        auto page = std::make_unique<TestPage>(context);
        page->show();
        return page;
    }

    std::string Settings(const std::string& name) const { return folders.settings + "/" + name; }
    static QStringList Names(const CDlgGrundeinstellung& page) {
        QStringList names;
        for (int row = 0; row < page.List()->RowCount(); ++row)
            names << page.List()->topLevelItem(row)->text(0);
        return names;
    }
    static QString SelectedName(const CDlgGrundeinstellung& page) {
        const int row = page.List()->GetSelectedIndex();
        return row >= 0 ? page.List()->topLevelItem(row)->text(0) : QString();
    }
    static CIconButton* Button(const QWidget& page, int id) {
        return page.findChild<CIconButton*>(QString::number(id));
    }
    static bool CommandsEnabled(const QWidget& page) {
        return Button(page, ids::settings::kSend)->isEnabled() &&
               Button(page, ids::settings::kDelete)->isEnabled();
    }
    static bool CommandsDisabled(const QWidget& page) {
        return !Button(page, ids::settings::kSend)->isEnabled() &&
               !Button(page, ids::settings::kDelete)->isEnabled();
    }
    static QAction* MenuItem(QMenu& menu, int id) {
        return menu.findChild<QAction*>(QString::number(id));
    }

    // Closes the transfer dialog the page opens once its job has ended.
    void CloseTransferWhenDone(QWidget& page) {
        auto* poll = new QTimer(&page);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [poll, &page] {
            auto* dialog = page.findChild<CDlgSenden*>();
            if (dialog == nullptr || !dialog->isVisible())
                return;
            poll->stop();
            QObject::connect(dialog, &CDlgSenden::WorkerFinished, dialog, [dialog] {
                QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
            });
        });
        poll->start();
    }
    void ConnectReceiver() {
        context.ports = PortMap({{"COM1", receiver->DevicePath()}}, {});
        config.m_comPort = 1;
    }

    test::TempDir root;
    CKonfiguration config;
    DataFolders folders;
    test::ScriptedContext context{config, folders};
    test::ScriptedInteraction& script = context.script;
    std::unique_ptr<sim::ReceiverSimulator> receiver;
};

TEST_F(SettingsPageTest, ListsBothCasesWithSizesAndSelectsTheRememberedFile) {
    test::WriteBytes(Settings("alpha.grd"), std::string(2048, 'a'));
    test::WriteBytes(Settings("BETA.GRD"), std::string(100, 'b'));
    test::WriteBytes(Settings("notes.txt"), "x");
    config.m_chosenSettingsFile = "beta.grd";
    auto page = Page();

    EXPECT_EQ(Names(*page), (QStringList{"alpha.grd", "BETA.GRD"}));
    EXPECT_EQ(page->List()->topLevelItem(0)->text(1), "3 KB");
    EXPECT_EQ(page->List()->topLevelItem(1)->text(1), "1 KB");
    EXPECT_EQ(SelectedName(*page), "BETA.GRD") << "the remembered name ignores case";
    EXPECT_EQ(page->InfoText().toStdString(), Settings("BETA.GRD"));
    EXPECT_TRUE(CommandsEnabled(*page));
    EXPECT_EQ(config.m_chosenSettingsFile, "BETA.GRD");

    // Selecting by hand follows into the configuration and the info line.
    page->List()->SelectRow(0, true);
    EXPECT_EQ(config.m_chosenSettingsFile, "alpha.grd");
    EXPECT_EQ(page->InfoText().toStdString(), Settings("alpha.grd"));
    page->List()->clearSelection();
    EXPECT_EQ(page->InfoText(), ResText(str::kChooseSettingsHint));
    EXPECT_TRUE(CommandsDisabled(*page));
}

TEST_F(SettingsPageTest, ImportFromTheSettingsFolderItselfChangesNothing) {
    test::WriteBytes(Settings("a.grd"), "aaa");
    test::WriteBytes(Settings("b.grd"), "bbb");
    auto page = Page();
    page->importChoice = QString::fromStdString(Settings("b.grd"));
    page->OnImport();
    EXPECT_TRUE(script.shown.empty()) << "no overwrite question for the file itself";
    EXPECT_EQ(test::ReadBytes(Settings("b.grd")), "bbb");
    EXPECT_EQ(SelectedName(*page), "a.grd") << "the selection stays";
}

TEST_F(SettingsPageTest, ImportRefusesWhatTheFolderWouldNeverList) {
    test::TempDir elsewhere;
    test::WriteBytes(elsewhere.File("list.lst"), "not settings");
    test::WriteBytes(elsewhere.File("empty.grd"), "");
    test::WriteBytes(elsewhere.File("ANY.GRD"), "x"); // no length is checked
    auto page = Page();
    for (const char* name : {"list.lst", "empty.grd", "ANY.GRD"}) {
        page->importChoice = QString::fromStdString(elsewhere.File(name));
        page->OnImport();
    }
    EXPECT_EQ(
        script.shown,
        (std::vector<std::string>{
            FormatText(LoadResString(str::kNotASettingsFile), {elsewhere.File("list.lst")}),
            FormatText(LoadResString(str::kEmptySettingsFile), {elsewhere.File("empty.grd")})}));
    EXPECT_EQ(Names(*page), QStringList{"ANY.GRD"});
    EXPECT_EQ(test::EntryCount(folders.settings), 1u);
}

TEST_F(SettingsPageTest, ImportOfAnUnreadableFileShowsTheErrorAndKeepsTheList) {
    test::WriteBytes(Settings("a.grd"), "a");
    auto page = Page();
    page->importChoice = QString::fromStdString(root.File("missing.grd"));
    page->OnImport();
    ASSERT_EQ(script.lastErrors.size(), 1u);
    EXPECT_NE(script.lastErrors[0].find("missing.grd"), std::string::npos);
    EXPECT_EQ(Names(*page), QStringList{"a.grd"});
    EXPECT_FALSE(std::filesystem::exists(Settings("missing.grd")));
}

TEST_F(SettingsPageTest, AnEmptyFileIsAskedAboutAndEndsThePass) {
    test::WriteBytes(Settings("a.grd"), "a");
    test::WriteBytes(Settings("m.grd"), "");
    test::WriteBytes(Settings("z.grd"), "z");

    // Kept: the files after it wait for the next pass.
    // Files are scanned while the page is built: the answer goes in before.
    script.answers = {Answer::No};
    auto page = Page();
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_NE(script.asked[0].text.find(Settings("m.grd")), std::string::npos);
    EXPECT_EQ(Names(*page), QStringList{"a.grd"});
    EXPECT_TRUE(std::filesystem::exists(Settings("m.grd")));

    // Deleted: this pass still ends there; the next one lists the rest.
    script.answers = {Answer::Yes};
    Button(*page, ids::settings::kRefresh)->click();
    EXPECT_FALSE(std::filesystem::exists(Settings("m.grd")));
    EXPECT_EQ(Names(*page), QStringList{"a.grd"});
    page->OnRefresh();
    EXPECT_EQ(Names(*page), (QStringList{"a.grd", "z.grd"}));
    EXPECT_EQ(script.shown.size(), 2u);
}

TEST_F(SettingsPageTest, SortedColumnHoldsAfterRefreshAndRestart) {
    test::WriteBytes(Settings("b.grd"), std::string(3000, 'b'));
    test::WriteBytes(Settings("C.grd"), std::string(100, 'c'));
    test::WriteBytes(Settings("a.grd"), std::string(5000, 'a'));
    test::WriteBytes(Settings("D.grd"), std::string(2000, 'd'));
    config.m_chosenSettingsFile = "C.grd";
    {
        auto page = Page();
        EXPECT_EQ(Names(*page), (QStringList{"a.grd", "b.grd", "C.grd", "D.grd"}));
        page->List()->header()->sectionClicked(1);
        EXPECT_EQ(config.m_sortSettings, 1);
        EXPECT_EQ(Names(*page), (QStringList{"C.grd", "D.grd", "b.grd", "a.grd"}));
        EXPECT_EQ(SelectedName(*page), "C.grd") << "the selection follows its row";

        page->List()->header()->sectionClicked(0);
        EXPECT_EQ(config.m_sortSettings, 0);
        test::WriteBytes(Settings("B0.grd"), "x");
        page->OnRefresh();
        EXPECT_EQ(Names(*page), (QStringList{"a.grd", "b.grd", "B0.grd", "C.grd", "D.grd"}));
    }
    config.m_sortSettings = 1;
    auto restarted = Page();
    EXPECT_EQ(Names(*restarted), (QStringList{"B0.grd", "C.grd", "D.grd", "b.grd", "a.grd"}));
    EXPECT_EQ(SelectedName(*restarted), "C.grd");
}

TEST_F(SettingsPageTest, LoadFromTheReceiverListsAndSelectsTheNewFile) {
    sim::SimulatorOptions options;
    options.settings = std::string(2048, '\x3C');
    options.settings[7] = '\0';
    receiver = test::StartReceiver(options);
    ASSERT_TRUE(receiver);
    ConnectReceiver();
    test::WriteBytes(Settings("a.grd"), "a");
    auto page = Page();
    ModalDriver driver(page.get());
    driver.ThenSaveAs("from receiver");
    CloseTransferWhenDone(*page);

    Button(*page, ids::settings::kLoadReceiver)->click();

    EXPECT_TRUE(driver.Done()) << test::LogOf(*receiver);
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_TRUE(script.shown.empty());
    EXPECT_EQ(test::ReadBytes(Settings("from receiver.grd")), options.settings);
    EXPECT_EQ(Names(*page), (QStringList{"a.grd", "from receiver.grd"}));
    EXPECT_EQ(SelectedName(*page), "from receiver.grd");
    EXPECT_EQ(config.m_chosenSettingsFile, "from receiver.grd");
    EXPECT_EQ(page->List()->topLevelItem(1)->text(1), "3 KB");
}

TEST_F(SettingsPageTest, AFailedSafetyCopySendsNothingUnlessTheUserSaysSendWithoutIt) {
    receiver = test::StartReceiver({});
    ASSERT_TRUE(receiver);
    ConnectReceiver();
    // The backup folder cannot be made: a file stands where it would go.
    test::WriteBytes(root.File("blocker"), "x");
    folders.settingsBackups = root.File("blocker") + "/backup";
    const std::string image(2048, '\x33');
    test::WriteBytes(Settings("b.grd"), image);
    auto page = Page();
    ModalDriver driver(page.get());
    page->List()->SelectRow(0, true);

    const struct {
        Answer answer;
        std::vector<std::string> commands; // all so far
        std::string received;
    } cases[] = {
        {Answer::No, {"LOAD DEFW"}, ""},
        {Answer::Yes, {"LOAD DEFW", "LOAD DEFW", "PROG DEFW", "LOAD DEFW"}, image},
    };
    int jobs = 0;
    for (const auto& c : cases) {
        script.shown.clear();
        script.answers = {c.answer};
        CloseTransferWhenDone(*page);
        Button(*page, ids::settings::kSend)->click();
        jobs = static_cast<int>(c.commands.size());
        ASSERT_TRUE(test::WaitForJobs(*receiver, jobs));
        EXPECT_EQ(receiver->Commands(), c.commands);
        EXPECT_EQ(receiver->ReceivedSettings(), c.received);
        ASSERT_FALSE(script.shown.empty());
        EXPECT_THAT(script.shown[0], ::testing::StartsWith("The safety copy failed: "));
    }
    EXPECT_EQ(script.shown.back(), "The receiver holds the settings as sent (2048 bytes).");
    EXPECT_TRUE(driver.Unexpected().empty());
}

TEST_F(SettingsPageTest, CompareWithReceiverShowsTheVerdictAndSendsNothing) {
    sim::SimulatorOptions options;
    options.settings = std::string(2048, '\x44');
    receiver = test::StartReceiver(options);
    ASSERT_TRUE(receiver);
    ConnectReceiver();
    test::WriteBytes(Settings("a.grd"), options.settings);
    std::string changed = options.settings;
    changed[7] = '\x01';
    test::WriteBytes(Settings("b.grd"), changed);
    auto page = Page();
    ModalDriver driver(page.get());

    const std::string verdicts[] = {
        "The receiver holds the settings as sent (2048 bytes).",
        "The receiver holds different settings: the byte at offset 7 differs: sent 1, holds 68."};
    for (int row = 0; row < 2; ++row) {
        page->List()->SelectRow(row, true);
        script.shown.clear();
        CloseTransferWhenDone(*page);
        const std::unique_ptr<QMenu> menu = page->CreateContextMenu();
        auto* compare = menu->findChild<QAction*>(QString::number(str::kCompareWithReceiver));
        ASSERT_NE(compare, nullptr);
        compare->trigger();
        EXPECT_EQ(script.shown, std::vector<std::string>{verdicts[row]});
        ASSERT_TRUE(test::WaitForJobs(*receiver, row + 1));
    }
    EXPECT_EQ(receiver->Commands(), (std::vector<std::string>{"LOAD DEFW", "LOAD DEFW"}));
    EXPECT_EQ(receiver->ReceivedSettings(), "");
    EXPECT_TRUE(driver.Unexpected().empty());
}

TEST_F(SettingsPageTest, SendTransmitsTheSelectedFileAndAChainedRowBeyondTheListSendsNothing) {
    receiver = test::StartReceiver({});
    ASSERT_TRUE(receiver);
    ConnectReceiver();
    std::string image(2048, '\0');
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 13);
    test::WriteBytes(Settings("a.grd"), "short");
    test::WriteBytes(Settings("b.grd"), image);
    auto page = Page();
    ModalDriver driver(page.get());

    // Beyond the last row nothing is sent and the chain stops.
    EXPECT_EQ(page->SendChained(2, 0), 0);
    EXPECT_EQ(page->findChild<CDlgSenden*>(), nullptr);

    // A plain send of the row chosen by hand.
    page->List()->SelectRow(1, true);
    CloseTransferWhenDone(*page);
    Button(*page, ids::settings::kSend)->click();
    EXPECT_TRUE(receiver->ReceivedSettings() == image) << test::LogOf(*receiver);
    EXPECT_TRUE(driver.Unexpected().empty());
    // A safety copy before, the check after.
    EXPECT_EQ(receiver->Commands(),
              (std::vector<std::string>{"LOAD DEFW", "PROG DEFW", "LOAD DEFW"}));
    EXPECT_EQ(script.shown,
              std::vector<std::string>{"The receiver holds the settings as sent (2048 bytes)."});
    EXPECT_EQ(ListSafetyCopies(folders.settingsBackups).size(), 1u);
    ASSERT_TRUE(test::WaitForJobs(*receiver, 3));
}

} // namespace
} // namespace fw

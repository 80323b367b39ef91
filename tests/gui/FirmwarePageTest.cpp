#include "core/config/Konfiguration.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/firmware/DlgFlashwerk.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/Texts.h"
#include "tests/gui/ModalHelper.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/linkjobs/JobHarness.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace fw {
namespace {

class FirmwarePageTest : public test::LinkJobTest {
protected:
    void SetUp() override {
        LinkJobTest::SetUp();
        folders.firmware = dir.File("OS");
        folders.lists = dir.File("lists");
        folders.settings = dir.File("settings");
        for (const std::string& folder : {folders.firmware, folders.lists, folders.settings})
            std::filesystem::create_directory(folder);
        std::filesystem::create_directory(dir.File("outside"));
        config.m_versionHint = 0;
    }

    std::string InFolder(const std::string& name) const { return folders.firmware + "/" + name; }
    std::string Outside(const std::string& name) const { return dir.File("outside/" + name); }

    std::unique_ptr<CDlgFlashwerk> Page() {
        auto page = std::make_unique<CDlgFlashwerk>(context);
        page->resize(640, 480);
        page->show();
        return page;
    }

    template <typename T = QWidget> static T* Control(const QWidget& page, int id) {
        return page.findChild<T*>(QString::number(id));
    }
    static QStringList Names(const CDlgFlashwerk& page) {
        QStringList names;
        for (int row = 0; row < page.List()->RowCount(); ++row)
            names << page.List()->topLevelItem(row)->text(0);
        return names;
    }
    static QString SelectedName(const CDlgFlashwerk& page) {
        const int row = page.List()->GetSelectedIndex();
        return row >= 0 ? page.List()->topLevelItem(row)->text(0) : QString();
    }
    static bool Enabled(const CDlgFlashwerk& page, int id) {
        return Control(page, id)->isEnabled();
    }
    static void ExpectNoSelectionState(const CDlgFlashwerk& page) {
        EXPECT_EQ(page.List()->GetSelectedIndex(), -1);
        EXPECT_FALSE(Enabled(page, ids::firmware::kSend));
        EXPECT_FALSE(Enabled(page, ids::firmware::kDelete));
        EXPECT_EQ(Control<QPlainTextEdit>(page, ids::firmware::kDescription)->toPlainText(),
                  ResText(110));
        EXPECT_EQ(Control<QLabel>(page, ids::firmware::kPath)->text(), ResText(111));
    }

    // Runs the import command, choosing path in the file dialog.
    static void ChooseInFileDialog(ModalDriver& driver, const std::string& path) {
        driver.Then([path](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
            // The typed name, not the view's selection: the view fills in on its own thread.
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            name->setText(QString::fromStdString(path));
            static_cast<QDialog*>(dialog)->accept();
            ASSERT_FALSE(dialog->isVisible()) << "the file dialog did not take " << path;
        });
    }

    test::TempDir dir;
    DataFolders folders;
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
};

TEST_F(FirmwarePageTest, RefreshAsksAboutEachBadFileAndListsTheGoodOnes) {
    test::WriteBytes(InFolder("good.bsr"), test::FirmwareImage(4000, "ABC V1.20", "Beschreibung"));
    test::WriteBytes(InFolder("short.bsr"), std::string(2999, 'x'));
    test::WriteBytes(InFolder("notes.txt"), "not listed");

    context.script.answers = {Answer::No};
    auto page = Page();
    const std::string question = FormatText(LoadResString(107), {InFolder("short.bsr")});
    EXPECT_EQ(context.script.shown, std::vector<std::string>{question});
    EXPECT_EQ(Names(*page), QStringList{"good.bsr"});
    EXPECT_TRUE(std::filesystem::exists(InFolder("short.bsr"))) << "No keeps the file";
    EXPECT_EQ(page->List()->topLevelItem(0)->text(1), "ABC V1.20");
    EXPECT_EQ(page->List()->topLevelItem(0)->text(2), "4 KB");

    context.script.answers = {Answer::Yes};
    Control<QPushButton>(*page, ids::firmware::kRefresh)->click();
    EXPECT_FALSE(std::filesystem::exists(InFolder("short.bsr"))) << "Yes deletes it";
    EXPECT_EQ(Names(*page), QStringList{"good.bsr"});
    EXPECT_EQ(context.script.shown, std::vector<std::string>(2, question));
}

TEST_F(FirmwarePageTest, SelectionShowsTheDescriptionAndIsRemembered) {
    test::WriteBytes(InFolder("a.bsr"), test::FirmwareImage(3000, "A V1", "first"));
    test::WriteBytes(InFolder("b.bsr"), test::FirmwareImage(3000, "B V1",
                                                            std::string("Gr\xF6\xDF"
                                                                        "e")));
    config.m_chosenFirmwareFile = "B.BSR"; // the catalogue's search ignores case
    auto page = Page();
    EXPECT_EQ(SelectedName(*page), "b.bsr");
    EXPECT_EQ(Control<QPlainTextEdit>(*page, ids::firmware::kDescription)->toPlainText(),
              QStringLiteral("Größe"));
    EXPECT_EQ(Control<QLabel>(*page, ids::firmware::kPath)->text().toStdString(),
              InFolder("b.bsr"));
    EXPECT_TRUE(Enabled(*page, ids::firmware::kSend));
    EXPECT_TRUE(Enabled(*page, ids::firmware::kDelete));

    page->List()->SelectRow(0, true);
    EXPECT_EQ(config.m_chosenFirmwareFile, "a.bsr");
    EXPECT_EQ(Control<QPlainTextEdit>(*page, ids::firmware::kDescription)->toPlainText(), "first");
    page->List()->clearSelection();
    ExpectNoSelectionState(*page);
    EXPECT_EQ(config.m_chosenFirmwareFile, "a.bsr") << "no selection keeps the remembered name";
}

TEST_F(FirmwarePageTest, ColumnSortIsKeptForTheNextStart) {
    test::WriteBytes(InFolder("a.bsr"), test::FirmwareImage(9000, "zeta V1"));
    test::WriteBytes(InFolder("B.bsr"), test::FirmwareImage(3000, "Alpha V1"));
    test::WriteBytes(InFolder("c.bsr"), test::FirmwareImage(5000, "beta V1"));
    config.m_chosenFirmwareFile = "c.bsr";
    {
        auto page = Page();
        page->show();
        EXPECT_EQ(Names(*page), (QStringList{"a.bsr", "B.bsr", "c.bsr"}));
        QHeaderView* header = page->List()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
        EXPECT_EQ(config.m_sortFirmware, 2);
        EXPECT_EQ(Names(*page), (QStringList{"B.bsr", "c.bsr", "a.bsr"})) << "by size";
        EXPECT_EQ(SelectedName(*page), "c.bsr") << "the sort keeps the selection";
        page->SortByColumn(1);
        EXPECT_EQ(Names(*page), (QStringList{"B.bsr", "c.bsr", "a.bsr"}))
            << "versions ignoring case";
        page->SortByColumn(0);
        EXPECT_EQ(Names(*page), (QStringList{"a.bsr", "B.bsr", "c.bsr"}));
        page->SortByColumn(2);
    }
    // A new start sorts again and finds the remembered file wherever it went.
    auto page = Page();
    EXPECT_EQ(Names(*page), (QStringList{"B.bsr", "c.bsr", "a.bsr"}));
    EXPECT_EQ(SelectedName(*page), "c.bsr");
    // With the remembered file gone, the top row of the sorted list is chosen.
    config.m_chosenFirmwareFile.clear();
    page->OnRefresh();
    EXPECT_EQ(SelectedName(*page), "B.bsr");
}

TEST_F(FirmwarePageTest, ImportCopiesFirmwareAndSelectsItsNewRow) {
    test::WriteBytes(InFolder("old.bsr"), test::FirmwareImage(3000, "OLD V1"));
    const std::string image = test::FirmwareImage(6000, "NEW V2", "fresh");
    test::WriteBytes(Outside("new.bsr"), image);
    auto page = Page();
    ModalDriver driver(page.get());

    ChooseInFileDialog(driver, Outside("new.bsr"));
    page->OnImport();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_EQ(test::ReadBytes(InFolder("new.bsr")), image);
    EXPECT_EQ(Names(*page), (QStringList{"old.bsr", "new.bsr"}));
    EXPECT_EQ(SelectedName(*page), "new.bsr");
    EXPECT_EQ(Control<QPlainTextEdit>(*page, ids::firmware::kDescription)->toPlainText(), "fresh");
    EXPECT_TRUE(Enabled(*page, ids::firmware::kSend));
    EXPECT_EQ(config.m_chosenFirmwareFile, "new.bsr");

    // A file of the folder itself: nothing happens, no question, no second row.
    ChooseInFileDialog(driver, InFolder("old.bsr"));
    page->OnImport();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_EQ(Names(*page), (QStringList{"old.bsr", "new.bsr"}));
    EXPECT_TRUE(context.script.shown.empty());
}

TEST_F(FirmwarePageTest, ImportOfAnExistingNameAsksBeforeReplacing) {
    const std::string first = test::FirmwareImage(3000, "SAME V1", "", 'a');
    const std::string second = test::FirmwareImage(3000, "SAME V2", "", 'b');
    test::WriteBytes(InFolder("same.bsr"), first);
    test::WriteBytes(InFolder("zz.bsr"), test::FirmwareImage(3000, "ZZ V1"));
    test::WriteBytes(Outside("same.bsr"), second);
    auto page = Page();
    ModalDriver driver(page.get());

    ChooseInFileDialog(driver, Outside("same.bsr"));
    context.script.answers = {Answer::No, Answer::Yes};
    page->OnImport();
    EXPECT_EQ(context.script.shown,
              std::vector<std::string>{FormatText(LoadResString(109), {InFolder("same.bsr")})});
    EXPECT_EQ(test::ReadBytes(InFolder("same.bsr")), first);
    EXPECT_EQ(Names(*page), (QStringList{"same.bsr", "zz.bsr"}));

    ChooseInFileDialog(driver, Outside("same.bsr"));
    page->OnImport();
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(test::ReadBytes(InFolder("same.bsr")), second);
    // One row for the name, at the end, showing the new version.
    EXPECT_EQ(Names(*page), (QStringList{"zz.bsr", "same.bsr"}));
    EXPECT_EQ(page->List()->topLevelItem(1)->text(1), "SAME V2");
    EXPECT_EQ(SelectedName(*page), "same.bsr");
    EXPECT_TRUE(Enabled(*page, ids::firmware::kSend));
    EXPECT_TRUE(driver.Unexpected().empty());
}

TEST_F(FirmwarePageTest, ImportOfAFileThatIsNoFirmwareLeavesTheFolderAlone) {
    const std::string good = test::FirmwareImage(3000, "KEEP V1");
    test::WriteBytes(InFolder("keep.bsr"), good);
    test::WriteBytes(Outside("small.bsr"), std::string(2000, 'x'));
    test::WriteBytes(Outside("keep.bsr"), std::string(5000, 'y')); // no signature
    auto page = Page();
    ModalDriver driver(page.get());

    ChooseInFileDialog(driver, Outside("small.bsr"));
    page->OnImport();
    EXPECT_FALSE(std::filesystem::exists(InFolder("small.bsr")));

    // Not firmware under the name of a good file: no overwrite question, the good file stays.
    ChooseInFileDialog(driver, Outside("keep.bsr"));
    page->OnImport();
    EXPECT_EQ(context.script.shown, std::vector<std::string>(2, LoadResString(1028)));
    EXPECT_EQ(test::ReadBytes(InFolder("keep.bsr")), good);
    EXPECT_EQ(Names(*page), QStringList{"keep.bsr"});
    EXPECT_EQ(test::EntryCount(folders.firmware), 1u);
    EXPECT_TRUE(driver.Unexpected().empty());
}

// ---- sending through the transfer dialog ----

class FirmwarePageSendTest : public FirmwarePageTest {
protected:
    void StartReceiver(sim::SimulatorOptions options) {
        receiver = test::StartReceiver(std::move(options));
        ASSERT_TRUE(receiver);
        context.ports = PortMap({{"COM1", receiver->DevicePath()}}, {});
        config.m_comPort = 1;
    }

    std::unique_ptr<sim::ReceiverSimulator> receiver;
};

TEST_F(FirmwarePageSendTest, SendWritesTheSelectedFileIntoTheReceiver) {
    sim::SimulatorOptions options;
    options.loaderVersion = "1.1";
    options.softwareText = "ABC V1.20";
    StartReceiver(options);
    const std::string image = test::FirmwareImage(6144, "ABC V1.30", "update");
    test::WriteBytes(InFolder("update.bsr"), image);
    auto page = Page();
    ModalDriver driver(page.get());
    TransferCloser closer;

    Control<QPushButton>(*page, ids::firmware::kSend)->click();
    EXPECT_EQ(closer.outcomes, std::vector<JobOutcome>{JobOutcome::Succeeded})
        << test::LogOf(*receiver);
    const std::vector<unsigned char> received = receiver->ReceivedFirmware();
    EXPECT_EQ(std::string(received.begin(), received.end()), image);
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_TRUE(context.script.shown.empty()) << ::testing::PrintToString(context.script.shown);
}

TEST_F(FirmwarePageSendTest, CancelledSimpleDownloadTellsToRestartTheReceiver) {
    sim::SimulatorOptions options;
    options.loaderVersion = "1.0";
    options.softwareText = "NONE";
    options.pacing = true;
    StartReceiver(options);
    test::WriteBytes(InFolder("big.bsr"), test::FirmwareImage(250000, "ABC V1.30"));
    auto page = Page();
    ModalDriver driver(page.get());

    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<CDlgSenden*>(QApplication::activeModalWidget());
        auto* status = dialog != nullptr
                           ? dialog->findChild<QLabel*>(QString::number(ids::transfer::kStatus))
                           : nullptr;
        if (status != nullptr && status->text() == ResText(str::kDataTransmitted)) {
            watch.stop();
            dialog->findChild<QPushButton*>(QString::number(ids::transfer::kCancel))->click();
        }
    });
    watch.start();
    page->OnSend();

    EXPECT_FALSE(watch.isActive()) << "the data phase was never seen";
    EXPECT_EQ(context.script.shown, std::vector<std::string>{LoadResString(1103)});
    EXPECT_EQ(page->ChainResult(), 0);
    EXPECT_TRUE(driver.Unexpected().empty());
}

TEST_F(FirmwarePageSendTest, ChainedSendReturnsTheChainResult) {
    sim::SimulatorOptions options;
    options.softwareText = "ABC V1.20";
    StartReceiver(options);
    test::WriteBytes(InFolder("a.bsr"), test::FirmwareImage(3072, "ABC V1.30"));
    test::WriteBytes(InFolder("b.bsr"), test::FirmwareImage(4096, "ABC V1.40"));
    auto page = Page();
    ModalDriver driver(page.get());

    EXPECT_EQ(page->SendChained(2, 0), 0) << "no such row: nothing is sent";
    EXPECT_TRUE(receiver->ReceivedFirmware().empty());
    EXPECT_EQ(page->SendChained(1, 0), 1) << test::LogOf(*receiver);
    EXPECT_EQ(SelectedName(*page), "b.bsr");
    EXPECT_EQ(receiver->ReceivedFirmware().size(), 4096u);
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_TRUE(context.script.shown.empty());
}

} // namespace
} // namespace fw

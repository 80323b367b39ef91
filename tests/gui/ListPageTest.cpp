#include "core/config/Konfiguration.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/lists/DlgProgrammlisten.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/DlgRadioTV.h"
#include "tests/gui/ModalHelper.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/ListFixture.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fw {
namespace {

namespace fs = std::filesystem;

QString Text(int id) {
    return QString::fromStdString(LoadResString(id));
}

using test::NumberedList;

class ListPageTest : public test::LinkJobTest {
protected:
    void SetUp() override {
        LinkJobTest::SetUp();
        fs::create_directories(folders.lists);
        fs::create_directories(folders.settings);
    }

    std::unique_ptr<CDlgProgrammlisten> Page() {
        auto page = std::make_unique<CDlgProgrammlisten>(context);
        page->show();
        return page;
    }
    std::string ListFile(const std::string& name) const { return folders.lists + "/" + name; }
    void WriteList(const std::string& name, const std::string& text) const {
        test::WriteBytes(ListFile(name), text);
    }
    static QPushButton* Button(const QWidget& page, int id) {
        return page.findChild<QPushButton*>(QString::number(id));
    }
    static QString Status(const QWidget& page) { return page.findChild<QLabel*>("1046")->text(); }
    static QStringList Column(const CDlgProgrammlisten& page, int column) {
        QStringList cells;
        for (int row = 0; row < page.List()->RowCount(); ++row)
            cells << page.List()->topLevelItem(row)->text(column);
        return cells;
    }
    static QString SelectedName(const CDlgProgrammlisten& page) {
        const int row = page.List()->GetSelectedIndex();
        return row < 0 ? QString() : page.List()->topLevelItem(row)->text(0);
    }
    void UseReceiver(const sim::SimulatorOptions& options) {
        receiver = test::StartReceiver(options);
        ASSERT_TRUE(receiver);
        context.ports = PortMap({{"COM1", receiver->DevicePath()}}, {});
        config.m_comPort = 1;
    }
    static void ExpectNothingUnexpected(const ModalDriver& driver) {
        EXPECT_TRUE(driver.Done());
        for (const QString& text : driver.Unexpected())
            ADD_FAILURE() << "unexpected window: " << text.toStdString();
    }

    test::TempDir folder;
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    AppContext context{config, folders};
    std::unique_ptr<sim::ReceiverSimulator> receiver;
};

TEST_F(ListPageTest, NewIsAlwaysOfferedWhileEditSendAndDeleteFollowTheSelection) {
    WriteList("a.lst", NumberedList("TV", "Astra", 2));
    auto page = Page();
    ASSERT_EQ(page->List()->RowCount(), 1);
    EXPECT_EQ(SelectedName(*page), "a.lst");
    EXPECT_EQ(Status(*page).toStdString(), ListFile("a.lst"));
    EXPECT_TRUE(Button(*page, ids::lists::kSend)->isEnabled());
    EXPECT_TRUE(Button(*page, ids::lists::kDelete)->isEnabled());
    EXPECT_TRUE(Button(*page, ids::lists::kLoadTv)->isEnabled());
    EXPECT_TRUE(Button(*page, ids::lists::kLoadRadio)->isEnabled());
    EXPECT_TRUE(Button(*page, ids::lists::kEdit)->isEnabled());
    EXPECT_TRUE(Button(*page, ids::lists::kNew)->isEnabled());
    std::unique_ptr<QMenu> menu = page->CreateContextMenu();
    EXPECT_TRUE(menu->findChild<QAction*>("509")->isEnabled());
    EXPECT_TRUE(menu->findChild<QAction*>("1048")->isEnabled());
    EXPECT_TRUE(menu->findChild<QAction*>("1052")->isEnabled());
    // No empty row for the command without a download service: named, but greyed.
    EXPECT_FALSE(menu->findChild<QAction*>("4")->text().isEmpty());
    EXPECT_FALSE(menu->findChild<QAction*>("4")->isEnabled());

    page->List()->clearSelection();
    EXPECT_EQ(Status(*page), Text(139));
    EXPECT_FALSE(Button(*page, ids::lists::kSend)->isEnabled());
    EXPECT_FALSE(Button(*page, ids::lists::kEdit)->isEnabled());
    EXPECT_TRUE(Button(*page, ids::lists::kNew)->isEnabled());
    menu = page->CreateContextMenu();
    EXPECT_FALSE(menu->findChild<QAction*>("509")->isEnabled());
    EXPECT_FALSE(menu->findChild<QAction*>("1048")->isEnabled());
    EXPECT_FALSE(menu->findChild<QAction*>("1047")->isEnabled());

    // The Z key brings the list and its first row back.
    QTest::keyClick(Button(*page, ids::lists::kRefresh), Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(SelectedName(*page), "a.lst");
    EXPECT_TRUE(Button(*page, ids::lists::kSend)->isEnabled());
}

TEST_F(ListPageTest, NewAndEditOpenTheEditorAndSelectTheSavedList) {
    WriteList("a.lst", NumberedList("TV", "Astra", 2));
    auto page = Page();
    ModalDriver driver(page.get());
    // Edit: a description is changed and saved under the same name.
    driver.Then([&driver](QWidget* modal) {
        auto* editor = qobject_cast<CDlgProgrammpool*>(modal);
        ASSERT_NE(editor, nullptr) << modal->metaObject()->className();
        EXPECT_EQ(editor->Document().pool.Cell(1, kFieldName), "TV 1");
        auto* description = editor->findChild<QLineEdit*>("1076");
        description->setText("Hotbird");
        emit description->editingFinished();
        driver.Click(editor->findChild<QPushButton*>("1"));
    });
    // New: a name is given, the type chosen, and saved.
    driver.Then([&driver](QWidget* modal) {
        auto* editor = qobject_cast<CDlgProgrammpool*>(modal);
        ASSERT_NE(editor, nullptr) << modal->metaObject()->className();
        editor->findChild<QLineEdit*>("1075")->setText("fresh");
        editor->findChild<QRadioButton*>("1073")->click();
        driver.Click(editor->findChild<QPushButton*>("1"));
    });
    Button(*page, ids::lists::kEdit)->click();
    EXPECT_EQ(SelectedName(*page), "a.lst");
    EXPECT_NE(test::ReadBytes(ListFile("a.lst")).find("HEADER:\tTV\tHotbird\r\n"),
              std::string::npos);
    Button(*page, ids::lists::kNew)->click();
    ExpectNothingUnexpected(driver);
    EXPECT_EQ(page->List()->RowCount(), 2);
    EXPECT_EQ(SelectedName(*page), "fresh.lst");
    EXPECT_NE(test::ReadBytes(ListFile("fresh.lst")).find("HEADER:\tRA\tNDEF\r\n"),
              std::string::npos);
}

TEST_F(ListPageTest, ImportCopiesRepairsAndRefusesWhatIsNoList) {
    auto page = Page();
    test::TempDir outside;
    // Another extension is ignored without a word.
    test::WriteBytes(outside.File("notes.txt"), NumberedList("TV", "x", 1));
    ModalDriver driver(page.get());
    page->ImportFrom(QString::fromStdString(outside.File("notes.txt")));
    EXPECT_EQ(page->List()->RowCount(), 0);

    // A foreign file of program lines gets a header; the extension is written in upper case.
    const std::string program = "\tZDF\t11954\tH\t27500\t3\\4\t28006\t110\t120\t130\t1\r\n";
    test::WriteBytes(outside.File("foreign.lst"), program + program);
    page->ImportFrom(QString::fromStdString(outside.File("foreign.lst")));
    ASSERT_EQ(page->List()->RowCount(), 1);
    EXPECT_EQ(SelectedName(*page), "foreign.LST");
    EXPECT_EQ(page->List()->topLevelItem(0)->text(2), "NDEF");
    EXPECT_EQ(test::ReadBytes(ListFile("foreign.LST")),
              test::ListHead("NDEF", "NDEF") + program + program);
    EXPECT_EQ(test::ReadBytes(outside.File("foreign.lst")), program + program);

    // A file that is no list: kept on No, deleted on Yes.
    test::WriteBytes(outside.File("broken.lst"), "no line end");
    driver.ThenAnswerQuestion(QMessageBox::No);
    page->ImportFrom(QString::fromStdString(outside.File("broken.lst")));
    EXPECT_TRUE(fs::exists(ListFile("broken.LST")));
    fs::remove(ListFile("broken.LST"));
    driver.ThenAnswerQuestion(QMessageBox::Yes);
    page->ImportFrom(QString::fromStdString(outside.File("broken.lst")));
    EXPECT_FALSE(fs::exists(ListFile("broken.LST")));
    EXPECT_EQ(page->List()->RowCount(), 1);
    ASSERT_EQ(driver.Messages().size(), 2u);
    EXPECT_EQ(driver.Messages()[1].toStdString(),
              FormatText(LoadResString(str::kWrongFormatDeleteFile), {ListFile("broken.LST")}));

    // Never in place of a good list: the old file stays as it was.
    test::WriteBytes(outside.File("foreign.lst"), "no line end");
    driver.ThenAnswerQuestion(QMessageBox::Yes);
    driver.ThenAcceptMessage();
    page->ImportFrom(QString::fromStdString(outside.File("foreign.lst")));
    EXPECT_EQ(test::ReadBytes(ListFile("foreign.LST")),
              test::ListHead("NDEF", "NDEF") + program + program);
    EXPECT_EQ(Column(*page, 0), QStringList{"foreign.LST"});
    ASSERT_EQ(driver.Messages().size(), 4u);
    EXPECT_EQ(driver.Messages()[3].toStdString(),
              FormatText(LoadResString(str::kNoListNotReplaced), {outside.File("foreign.lst")}));
    ExpectNothingUnexpected(driver);
}

TEST_F(ListPageTest, ImportOverAnExistingListAsksAndReplacesOnlyOnYes) {
    WriteList("astra.LST", NumberedList("TV", "Old", 1));
    auto page = Page();
    test::TempDir outside;
    test::WriteBytes(outside.File("astra.lst"), NumberedList("RA", "New", 3));
    ModalDriver driver(page.get());

    driver.ThenAnswerQuestion(QMessageBox::No);
    page->ImportFrom(QString::fromStdString(outside.File("astra.lst")));
    EXPECT_EQ(test::ReadBytes(ListFile("astra.LST")), NumberedList("TV", "Old", 1));
    EXPECT_EQ(Column(*page, 1), QStringList{"Old"});

    driver.ThenAnswerQuestion(QMessageBox::Yes);
    page->ImportFrom(QString::fromStdString(outside.File("astra.lst")));
    EXPECT_EQ(test::ReadBytes(ListFile("astra.LST")), NumberedList("RA", "New", 3));
    EXPECT_EQ(Column(*page, 1), QStringList{"New"}) << "the old row is replaced";
    EXPECT_EQ(page->List()->RowCount(), 1);
    ASSERT_EQ(driver.Messages().size(), 2u);
    EXPECT_EQ(driver.Messages()[0].toStdString(),
              FormatText(LoadResString(str::kFileExists), {ListFile("astra.LST")}));

    // Chosen from the lists folder itself: nothing is copied (not even to an upper-case
    // extension), the file is only registered again.
    page->ImportFrom(QString::fromStdString(ListFile("astra.LST")));
    EXPECT_EQ(page->List()->RowCount(), 1);
    WriteList("other.lst", NumberedList("TV", "Other", 1));
    page->ImportFrom(QString::fromStdString(ListFile("other.lst")));
    EXPECT_EQ(Column(*page, 0), (QStringList{"astra.LST", "other.lst"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(folders.lists), fs::directory_iterator()), 2);
    EXPECT_EQ(SelectedName(*page), "other.lst");
    ExpectNothingUnexpected(driver);
}

TEST_F(ListPageTest, SortColumnAndSelectionSurviveARestart) {
    WriteList("big.lst", NumberedList("TV", "alpha", 9));
    WriteList("mid.lst", NumberedList("RA", "Beta", 4));
    WriteList("small.lst", NumberedList("TV", "gamma", 1));
    config.m_sortLists = 3;
    config.m_chosenListFile = "MID.LST"; // names compare without case
    auto page = Page();
    EXPECT_EQ(Column(*page, 0), (QStringList{"small.lst", "mid.lst", "big.lst"}));
    EXPECT_EQ(SelectedName(*page), "mid.lst");

    page->List()->header()->sectionClicked(2);
    EXPECT_EQ(config.m_sortLists, 2);
    EXPECT_EQ(Column(*page, 2), (QStringList{"RA", "TV", "TV"}));
    page->List()->header()->sectionClicked(1);
    EXPECT_EQ(Column(*page, 1), (QStringList{"alpha", "Beta", "gamma"}));
    EXPECT_EQ(SelectedName(*page), "mid.lst") << "sorting keeps the selection";

    // The remembered file has gone: the first row is taken.
    page.reset();
    fs::remove(ListFile("mid.lst"));
    page = Page();
    EXPECT_EQ(Column(*page, 0), (QStringList{"big.lst", "small.lst"}));
    EXPECT_EQ(SelectedName(*page), "big.lst");
    EXPECT_EQ(config.m_chosenListFile, "big.lst");
}

TEST_F(ListPageTest, RefreshReportsAndOffersToDeleteAFileThatIsNoList) {
    WriteList("good.lst", NumberedList("TV", "A", 1));
    WriteList("bad.lst", "");
    ModalDriver driver(nullptr);
    driver.ThenAnswerQuestion(QMessageBox::No);
    auto page = Page();
    EXPECT_EQ(Column(*page, 0), QStringList{"good.lst"});
    EXPECT_TRUE(fs::exists(ListFile("bad.lst")));
    driver.ThenAnswerQuestion(QMessageBox::Yes);
    Button(*page, ids::lists::kRefresh)->click();
    EXPECT_FALSE(fs::exists(ListFile("bad.lst")));
    ExpectNothingUnexpected(driver);
}

TEST_F(ListPageTest, TvListLoadedFromTheReceiverIsListed) {
    sim::SimulatorOptions options;
    options.model = sim::Model::RecOk;
    options.tvList = {"\tARD\t11836\tH\t27500\t3\\4\t28106\t101\t102\t104\t1"};
    UseReceiver(options);
    WriteList("a.lst", NumberedList("RA", "Older", 1));
    auto page = Page();
    ModalDriver driver(page.get());
    driver.ThenSaveAs("received", "From receiver");
    TransferCloser closer;
    Button(*page, ids::lists::kLoadTv)->click();
    ExpectNothingUnexpected(driver);
    ASSERT_EQ(closer.outcomes, std::vector<JobOutcome>{JobOutcome::Succeeded})
        << test::LogOf(*receiver);
    ASSERT_EQ(Column(*page, 0), (QStringList{"a.lst", "received.lst"}));
    EXPECT_EQ(Column(*page, 1)[1], "From receiver");
    EXPECT_EQ(Column(*page, 2)[1], "TV");
    EXPECT_EQ(SelectedName(*page), "received.lst") << "the new file is the selected one";
}

TEST_F(ListPageTest, UntypedListAsksItsTypeWhichStaysEvenWhenTheSendIsCancelledLater) {
    WriteList("plain.lst", NumberedList("NDEF", "Mixed", 3));
    sim::SimulatorOptions options;
    options.model = sim::Model::RecOk;
    UseReceiver(options);
    auto page = Page();
    ModalDriver driver(page.get());

    // Cancel at the question: nothing changes, nothing is sent.
    driver.Then([&driver](QWidget* modal) {
        ASSERT_NE(qobject_cast<CDlgRadioTV*>(modal), nullptr) << modal->metaObject()->className();
        driver.Click(modal->findChild<QPushButton*>("2"));
    });
    Button(*page, ids::lists::kSend)->click();
    EXPECT_EQ(test::ReadBytes(ListFile("plain.lst")), NumberedList("NDEF", "Mixed", 3));

    driver.Then([&driver](QWidget* modal) {
        ASSERT_NE(qobject_cast<CDlgRadioTV*>(modal), nullptr) << modal->metaObject()->className();
        driver.Click(modal->findChild<QPushButton*>("3"));
    });
    TransferCloser closer;
    Button(*page, ids::lists::kSend)->click();
    ExpectNothingUnexpected(driver);
    EXPECT_EQ(test::ReadBytes(ListFile("plain.lst")), NumberedList("TV", "Mixed", 3));
    EXPECT_EQ(Column(*page, 2), QStringList{"TV"});
    EXPECT_EQ(page->Records().front().m_strType, "TV");
    ASSERT_EQ(closer.outcomes, std::vector<JobOutcome>{JobOutcome::Succeeded})
        << test::LogOf(*receiver);
    const std::vector<std::string> received = receiver->ReceivedList(true);
    ASSERT_GE(received.size(), 3u);
    EXPECT_EQ(received[2], test::NumberedProgram(2));
}

TEST_F(ListPageTest, UntypedListThatCannotBeRepairedOnDiskSaysWhyItTakesNoType) {
    // No header: the repair would add one, but the list is reached through a link and is
    // never written through it, so there is no header line to hold the type either.
    const std::string program = test::NumberedProgram(0) + "\r\n";
    const std::string target = folder.File("elsewhere.lst");
    test::WriteBytes(target, "Title\r\n" + program + program);
    fs::create_symlink(target, ListFile("linked.lst"));
    ModalDriver driver(nullptr);
    driver.ThenAcceptMessage(); // why the repair is not written
    auto page = Page();
    ASSERT_TRUE(QTest::qWaitFor([&] { return driver.Done(); }));
    ASSERT_EQ(Column(*page, 2), QStringList{"NDEF"});

    page->List()->SelectRow(0, true);
    driver.Then([&driver](QWidget* modal) {
        ASSERT_NE(qobject_cast<CDlgRadioTV*>(modal), nullptr) << modal->metaObject()->className();
        driver.Click(modal->findChild<QPushButton*>(QString::number(ids::radioTv::kTv)));
    });
    driver.ThenAcceptMessage();
    Button(*page, ids::lists::kSend)->click();
    ExpectNothingUnexpected(driver);
    ASSERT_EQ(driver.Messages().size(), 2u);
    EXPECT_EQ(driver.Messages()[1].toStdString(),
              FormatText(LoadResString(str::kTypeNeedsRepairedFile), {ListFile("linked.lst")}));
    EXPECT_EQ(test::ReadBytes(target), "Title\r\n" + program + program);
    EXPECT_TRUE(fs::is_symlink(ListFile("linked.lst")));
}

TEST_F(ListPageTest, ChainedSendClosesByItselfAndReportsTheChainResult) {
    WriteList("a.lst", NumberedList("RA", "A", 1));
    WriteList("b.lst", NumberedList("TV", "B", 2));
    sim::SimulatorOptions options;
    options.model = sim::Model::Zeb20;
    UseReceiver(options);
    // Firmware and settings went first and found the receiver; the list follows.
    test::JobRig first, second;
    ASSERT_NO_FATAL_FAILURE(
        test::RunChainedFirmwareAndSettingsSteps(first, second, folder, *receiver));
    context.chain = second.chain;
    auto page = Page();
    ModalDriver driver(page.get());
    page->List()->SelectRow(0, true);
    const int jobsBefore = receiver->JobsFinished();
    EXPECT_EQ(page->SendChained(2, 1), 0) << "a row that is not there sends nothing";
    EXPECT_EQ(receiver->JobsFinished(), jobsBefore);
    EXPECT_EQ(page->SendChained(1, 1), 1) << test::LogOf(*receiver);
    EXPECT_EQ(SelectedName(*page), "b.lst");
    const std::vector<std::string> received = receiver->ReceivedList(true);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front(), test::NumberedProgram(0));
    ExpectNothingUnexpected(driver);
}

} // namespace
} // namespace fw

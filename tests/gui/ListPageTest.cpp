#include "core/app/Logbook.h"
#include "core/config/Konfiguration.h"
#include "core/lists/FavoritenDat.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/safety/SafetyCopyStore.h"
#include "gui/lists/DlgProgrammlisten.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/ListCompareWindow.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/Texts.h"
#include "tests/gui/ModalHelper.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/ListFixture.h"

#include <QAction>
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
    static QString Status(const QWidget& page) {
        return page.findChild<QLabel*>(QString::number(ids::lists::kStatus))->text();
    }
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

    test::TempDir folder;
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
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
    const auto item = [&menu](int id) { return menu->findChild<QAction*>(QString::number(id)); };
    EXPECT_TRUE(item(ids::lists::kSend)->isEnabled());
    EXPECT_TRUE(item(ids::lists::kEdit)->isEnabled());
    EXPECT_TRUE(item(ids::lists::kNew)->isEnabled());
    // No empty row for the command without a download service: named, but greyed.
    EXPECT_FALSE(item(ids::lists::kInternet)->text().isEmpty());
    EXPECT_FALSE(item(ids::lists::kInternet)->isEnabled());

    page->List()->clearSelection();
    EXPECT_EQ(Status(*page), ResText(139));
    EXPECT_FALSE(Button(*page, ids::lists::kSend)->isEnabled());
    EXPECT_FALSE(Button(*page, ids::lists::kEdit)->isEnabled());
    EXPECT_TRUE(Button(*page, ids::lists::kNew)->isEnabled());
    menu = page->CreateContextMenu();
    EXPECT_FALSE(item(ids::lists::kSend)->isEnabled());
    EXPECT_FALSE(item(ids::lists::kEdit)->isEnabled());
    EXPECT_FALSE(item(ids::lists::kDelete)->isEnabled());

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
        auto* description = editor->findChild<QLineEdit*>(QString::number(ids::pool::kDescription));
        description->setText("Hotbird");
        emit description->editingFinished();
        driver.Click(editor->findChild<QPushButton*>(QString::number(ids::pool::kOk)));
    });
    // New: a name is given, the type chosen, and saved.
    driver.Then([&driver](QWidget* modal) {
        auto* editor = qobject_cast<CDlgProgrammpool*>(modal);
        ASSERT_NE(editor, nullptr) << modal->metaObject()->className();
        editor->findChild<QLineEdit*>(QString::number(ids::pool::kFileName))->setText("fresh");
        editor->findChild<QRadioButton*>(QString::number(ids::pool::kRadio))->click();
        driver.Click(editor->findChild<QPushButton*>(QString::number(ids::pool::kOk)));
    });
    Button(*page, ids::lists::kEdit)->click();
    EXPECT_EQ(SelectedName(*page), "a.lst");
    EXPECT_NE(test::ReadBytes(ListFile("a.lst")).find("HEADER:\tTV\tHotbird\r\n"),
              std::string::npos);
    Button(*page, ids::lists::kNew)->click();
    ExpectAllAnswered(driver);
    EXPECT_TRUE(context.script.shown.empty());
    EXPECT_EQ(page->List()->RowCount(), 2);
    EXPECT_EQ(SelectedName(*page), "fresh.lst");
    EXPECT_NE(test::ReadBytes(ListFile("fresh.lst")).find("HEADER:\tRA\tNDEF\r\n"),
              std::string::npos);
}

TEST_F(ListPageTest, DoubleClickOnAListOpensTheEditorOnIt) {
    WriteList("a.lst", NumberedList("TV", "Astra", 2));
    WriteList("b.lst", NumberedList("TV", "Hotbird", 3));
    auto page = Page();
    ModalDriver driver(page.get());
    std::string opened;
    driver.Then([&opened](QWidget* modal) {
        auto* editor = qobject_cast<CDlgProgrammpool*>(modal);
        ASSERT_NE(editor, nullptr) << modal->metaObject()->className();
        opened = editor->Document().pool.Cell(2, kFieldName);
        editor->reject();
    });
    QTreeWidgetItem* second = page->List()->topLevelItem(1);
    const QPoint at = page->List()->visualItemRect(second).center();
    // The first click of a double click selects the row.
    QTest::mouseClick(page->List()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(page->List()->viewport(), Qt::LeftButton, {}, at);
    ExpectAllAnswered(driver);
    EXPECT_EQ(opened, "TV 2") << "the editor opened on b.lst";
}

TEST_F(ListPageTest, ImportCopiesRepairsAndRefusesWhatIsNoList) {
    auto page = Page();
    test::TempDir outside;
    // Another extension is ignored without a word.
    test::WriteBytes(outside.File("notes.txt"), NumberedList("TV", "x", 1));
    test::ScriptedInteraction& script = context.script;
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

    // A file that is no list is refused with the reason, before it is copied or a good list
    // of its name is offered for replacement.
    struct Case {
        const char* name;
        const char* content;
        int reason;
    };
    for (const Case& c : {Case{"broken.lst", "no line end", str::kImportNoLineEnds},
                          Case{"empty.lst", "", str::kImportFileEmpty},
                          Case{"foreign.lst", "no line end", str::kImportNoLineEnds}}) {
        script.shown.clear();
        test::WriteBytes(outside.File(c.name), c.content);
        page->ImportFrom(QString::fromStdString(outside.File(c.name)));
        EXPECT_EQ(script.shown, std::vector<std::string>{
                                    FormatText(LoadResString(str::kImportRefused),
                                               {outside.File(c.name), LoadResString(c.reason)})});
    }
    EXPECT_EQ(test::ReadBytes(ListFile("foreign.LST")),
              test::ListHead("NDEF", "NDEF") + program + program);
    EXPECT_EQ(test::EntryCount(folders.lists), 1u);
    EXPECT_EQ(Column(*page, 0), QStringList{"foreign.LST"});
}

TEST_F(ListPageTest, ImportOverAnExistingListAsksAndReplacesOnlyOnYes) {
    WriteList("astra.LST", NumberedList("TV", "Old", 1));
    auto page = Page();
    test::TempDir outside;
    test::WriteBytes(outside.File("astra.lst"), NumberedList("RA", "New", 3));
    test::ScriptedInteraction& script = context.script;

    script.answers = {Answer::No, Answer::Yes};
    page->ImportFrom(QString::fromStdString(outside.File("astra.lst")));
    EXPECT_EQ(test::ReadBytes(ListFile("astra.LST")), NumberedList("TV", "Old", 1));
    EXPECT_EQ(Column(*page, 1), QStringList{"Old"});

    page->ImportFrom(QString::fromStdString(outside.File("astra.lst")));
    EXPECT_EQ(test::ReadBytes(ListFile("astra.LST")), NumberedList("RA", "New", 3));
    EXPECT_EQ(Column(*page, 1), QStringList{"New"}) << "the old row is replaced";
    EXPECT_EQ(page->List()->RowCount(), 1);
    EXPECT_EQ(script.shown, std::vector<std::string>(2, FormatText(LoadResString(str::kFileExists),
                                                                   {ListFile("astra.LST")})));

    // Chosen from the lists folder itself: nothing is copied (not even to an upper-case
    // extension), the file is only registered again.
    page->ImportFrom(QString::fromStdString(ListFile("astra.LST")));
    EXPECT_EQ(page->List()->RowCount(), 1);
    WriteList("other.lst", NumberedList("TV", "Other", 1));
    page->ImportFrom(QString::fromStdString(ListFile("other.lst")));
    EXPECT_EQ(Column(*page, 0), (QStringList{"astra.LST", "other.lst"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(folders.lists), fs::directory_iterator()), 2);
    EXPECT_EQ(SelectedName(*page), "other.lst");
    EXPECT_EQ(script.shown.size(), 2u);
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
    context.script.answers = {Answer::No, Answer::Yes};
    auto page = Page();
    EXPECT_EQ(Column(*page, 0), QStringList{"good.lst"});
    EXPECT_TRUE(fs::exists(ListFile("bad.lst")));
    Button(*page, ids::lists::kRefresh)->click();
    EXPECT_FALSE(fs::exists(ListFile("bad.lst")));
    EXPECT_EQ(context.script.shown,
              std::vector<std::string>(2, FormatText(LoadResString(str::kWrongFormatDeleteFile),
                                                     {ListFile("bad.lst")})));
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
    ExpectAllAnswered(driver);
    EXPECT_TRUE(context.script.shown.empty());
    ASSERT_EQ(closer.outcomes, std::vector<JobOutcome>{JobOutcome::Succeeded})
        << test::LogOf(*receiver);
    ASSERT_EQ(Column(*page, 0), (QStringList{"a.lst", "received.lst"}));
    EXPECT_EQ(Column(*page, 1)[1], "From receiver");
    EXPECT_EQ(Column(*page, 2)[1], "TV");
    EXPECT_EQ(SelectedName(*page), "received.lst") << "the new file is the selected one";
}

TEST_F(ListPageTest, CompareWithReceiverShowsTheFileAndTheReceivedListSideBySide) {
    sim::SimulatorOptions options;
    options.model = sim::Model::RecOk;
    options.tvList = {test::NumberedProgram(0), test::ProgramLine("Renamed", 28001)};
    UseReceiver(options);
    WriteList("a.lst", NumberedList("TV", "Mine", 2));
    auto page = Page();
    ModalDriver driver(page.get());
    std::vector<PairMark> marks;
    bool offersTakeOver = true;
    driver.Then([&](QWidget* modal) {
        auto* window = qobject_cast<ListCompareWindow*>(modal);
        ASSERT_NE(window, nullptr) << modal->metaObject()->className();
        for (const PlacePair& pair : window->Diff().pairs)
            marks.push_back(pair.mark);
        offersTakeOver = window->TakeOverButton() != nullptr;
        window->reject();
    });
    TransferCloser closer;
    page->List()->SelectRow(0, true);
    const std::unique_ptr<QMenu> menu = page->CreateContextMenu();
    menu->findChild<QAction*>(QString::number(str::kCompareWithReceiver))->trigger();
    ExpectAllAnswered(driver);
    ASSERT_EQ(closer.outcomes, std::vector<JobOutcome>{JobOutcome::Succeeded})
        << test::LogOf(*receiver);
    EXPECT_EQ(context.script.shown.size(), 1u) << "the verdict";
    EXPECT_EQ(marks, (std::vector<PairMark>{PairMark::Same, PairMark::Changed}));
    EXPECT_FALSE(offersTakeOver);
}

TEST_F(ListPageTest, UntypedListAsksItsTypeWhichStaysEvenWhenTheSendIsCancelledLater) {
    WriteList("plain.lst", NumberedList("NDEF", "Mixed", 3));
    sim::SimulatorOptions options;
    options.model = sim::Model::RecOk;
    UseReceiver(options);
    auto page = Page();
    ModalDriver driver(page.get());

    // Cancel at the question: nothing changes, nothing is sent.
    context.script.radioOrTvAnswers = {ListTypeChoice::Cancelled, ListTypeChoice::Tv};
    Button(*page, ids::lists::kSend)->click();
    EXPECT_EQ(test::ReadBytes(ListFile("plain.lst")), NumberedList("NDEF", "Mixed", 3));

    TransferCloser closer;
    Button(*page, ids::lists::kSend)->click();
    ExpectAllAnswered(driver);
    // The send took a safety copy and checked the receiver afterwards.
    EXPECT_EQ(
        context.script.shown,
        (std::vector<std::string>{"<radio or tv>", "<radio or tv>",
                                  "The receiver holds the list as sent (1000 places, 10 banks)."}));
    EXPECT_EQ(closer.closeCaptions, std::vector<std::string>{LoadResString(str::kOkCaption)})
        << "the check is the end of the transfer";
    EXPECT_EQ(ListSafetyCopies(folders.listBackups).size(), 1u);
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
    test::ScriptedInteraction& script = context.script;
    auto page = Page();
    ASSERT_EQ(script.shown.size(), 1u) << "why the repair is not written";
    ASSERT_EQ(Column(*page, 2), QStringList{"NDEF"});

    page->List()->SelectRow(0, true);
    script.radioOrTvAnswers = {ListTypeChoice::Tv};
    Button(*page, ids::lists::kSend)->click();
    ASSERT_EQ(script.shown.size(), 3u);
    EXPECT_EQ(script.shown[1], "<radio or tv>");
    EXPECT_EQ(script.shown[2],
              FormatText(LoadResString(str::kTypeNeedsRepairedFile), {ListFile("linked.lst")}));
    EXPECT_EQ(test::ReadBytes(target), "Title\r\n" + program + program);
    EXPECT_TRUE(fs::is_symlink(ListFile("linked.lst")));
}

TEST_F(ListPageTest, SafetyCopiesShowNewestFirstBesideTheListsAndSendLikeAnyList) {
    LocalDateTime now{2026, 12, 7, 23, 26, 5};
    SafetyCopyStore store(folders, 20, [&now] { return now; });
    const std::vector<std::string> lines = {test::NumberedProgram(0), test::NumberedProgram(1)};
    ASSERT_TRUE(store.WriteListCopy('T', lines, CFavoritenDat(), "ZEB30").written);
    now.hour = 23;
    now.minute = 40;
    ASSERT_TRUE(store.WriteListCopy('R', {}, CFavoritenDat(), "ZEB10").written);
    UseReceiver({});
    auto page = Page();

    CDateiListCtrl* copies = page->SafetyCopyList();
    ASSERT_NE(copies, nullptr);
    QStringList rows;
    for (int row = 0; row < copies->RowCount(); ++row) {
        const QTreeWidgetItem* item = copies->topLevelItem(row);
        rows << item->text(0) + " " + item->text(1) + " " + item->text(2);
    }
    EXPECT_EQ(rows, (QStringList{"2026-12-07 23:40:05 ZEB10 radio-20261207-234005.lst",
                                 "2026-12-07 23:26:05 ZEB30 tv-20261207-232605.lst"}));
    EXPECT_TRUE(Column(*page, 0).isEmpty()) << "the copies stay out of the catalogue";
    QPushButton* send = Button(*page, str::kSendSafetyCopyTip);
    EXPECT_FALSE(send->isEnabled()) << "nothing chosen yet";

    copies->SelectRow(1, true);
    ASSERT_TRUE(send->isEnabled());
    TransferCloser closer;
    send->click();
    ASSERT_EQ(closer.outcomes, std::vector<JobOutcome>{JobOutcome::Succeeded})
        << test::LogOf(*receiver);
    const std::vector<std::string> received = receiver->ReceivedList(true);
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(received[1], test::NumberedProgram(1));
    // Sending a copy is a send like any other: it takes a copy of its own first.
    EXPECT_EQ(
        context.script.shown,
        std::vector<std::string>{"The receiver holds the list as sent (4000 places, 10 banks)."});
    EXPECT_EQ(ListSafetyCopies(folders.listBackups).size(), 3u);
    EXPECT_EQ(copies->RowCount(), 3);
    std::vector<LogbookRecord> log;
    std::string reason;
    ASSERT_TRUE(ReadLogbook(folders.program, kWholeLogbook, log, reason)) << reason;
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].job, "list check");
    EXPECT_EQ(log[1].safetyCopy, ListSafetyCopies(folders.listBackups)[0].path);
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
    ExpectAllAnswered(driver);
    EXPECT_TRUE(context.script.shown.empty());
}

} // namespace
} // namespace fw

#include "gui/lists/ListCompareWindow.h"
#include "core/config/Konfiguration.h"
#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/ui/Texts.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace fw {
namespace {

// Mine: A, B, C at 0..2, bank 0 = A. Theirs: A, B renamed, D new at 5, bank 0 = A, D.
const std::string kMine = test::ListHead("TV", "Mine") + test::ProgramLine("A", 1) + "\r\n" +
                          test::ProgramLine("B", 2) + "\r\n" + test::ProgramLine("C", 3) + "\r\n" +
                          test::kBankLabels + "\r\n0\r\n";
const std::string kTheirs = test::ListHead("TV", "Theirs") + test::ProgramLine("A", 1) + "\r\n" +
                            test::ProgramLine("B HD", 2) + "\r\n\r\n\r\n\r\n" +
                            test::ProgramLine("D", 4) + "\r\n" + test::kBankLabels +
                            "\r\n0\r\n5\r\n";

class ListCompareWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(CreateDataFolders(folders, reason)) << reason;
        test::WriteBytes(folders.lists + "/mine.lst", kMine);
        test::WriteBytes(folders.lists + "/theirs.lst", kTheirs);
        const NormalizeResult mine = NormalizeListFile(folders.lists + "/mine.lst");
        ASSERT_EQ(mine.status, NormalizeStatus::Registered);
        record = mine.record;
    }
    // The marks of the rows the window shows, top to bottom.
    static std::vector<PairMark> ShownMarks(const ListCompareWindow& window) {
        std::vector<PairMark> marks;
        for (int row = 0; row < window.Model()->rowCount(); ++row)
            marks.push_back(
                window.Diff().pairs[static_cast<std::size_t>(window.Model()->PairOfRow(row))].mark);
        return marks;
    }

    test::TempDir folder;
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
    CListenDat record;
};

TEST_F(ListCompareWindowTest, FiltersTakeOverAndUndoInTheEditor) {
    CDlgProgrammpool editor(context, &record);
    auto* entry = editor.ToolsMenu()->findChild<QAction*>("compareWithFile");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), ResText(str::kToolCompareWithFile));
    const auto window =
        editor.ComparisonWith(QString::fromStdString(folders.lists + "/theirs.lst"));
    ASSERT_NE(window, nullptr);
    window->show();

    // Equal programs are hidden until asked for; each mark has its box.
    using M = PairMark;
    EXPECT_EQ(ShownMarks(*window), (std::vector<M>{M::Changed, M::OnlyLeft, M::OnlyRight}));
    window->Filter(M::Same)->setChecked(true);
    window->Filter(M::OnlyLeft)->setChecked(false);
    EXPECT_EQ(ShownMarks(*window), (std::vector<M>{M::Same, M::Changed, M::OnlyRight}));
    // The changed field is highlighted on both sides, the others in the row's colour.
    const QModelIndex name = window->Model()->index(1, ComparisonModel::kRightAdr + 2);
    const QModelIndex frequency = window->Model()->index(1, ComparisonModel::kRightAdr + 3);
    EXPECT_NE(name.data(Qt::BackgroundRole), frequency.data(Qt::BackgroundRole));
    EXPECT_EQ(window->Model()->index(1, 0).data().toString().toStdString(),
              PairMarkText(M::Changed));
    ASSERT_EQ(window->BankTable()->topLevelItemCount(), 1);
    EXPECT_EQ(window->BankTable()->topLevelItem(0)->text(1), "+D");

    // The renamed B and the new D, chosen in the right grid, go in at their places.
    window->RightGrid()->selectRow(1);
    window->RightGrid()->selectionModel()->select(
        window->Model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ListDocument& doc = editor.Document();
    const std::string before = BuildListFileText(kListTv, "Mine", doc.pool, doc.banks);
    window->TakeOverButton()->click();
    EXPECT_EQ(doc.pool.Cell(1, kFieldName), "B HD");
    EXPECT_EQ(doc.pool.Cell(5, kFieldName), "D");
    EXPECT_EQ(doc.pool.Cell(2, kFieldName), "C");
    EXPECT_EQ(editor.History().UndoName(), str::kStepTakeOver);
    EXPECT_EQ(editor.Grid()->SelectedRows(), (std::vector<int>{1, 5}));
    EXPECT_FALSE(window->Status()->text().isEmpty());
    // Shown again: only C (hidden: only left) and the bank still differ.
    EXPECT_EQ(ShownMarks(*window), (std::vector<M>{M::Same, M::Same, M::Same}));

    ASSERT_TRUE(editor.History().Undo(doc));
    EXPECT_EQ(BuildListFileText(kListTv, "Mine", doc.pool, doc.banks), before);
    EXPECT_FALSE(editor.History().CanUndo());

    // Nothing on the right chosen: the editor says so and nothing changes.
    window->LeftGrid()->clearSelection();
    window->TakeOverButton()->click();
    EXPECT_EQ(context.script.shown.back(), LoadResString(str::kCompareChooseRight));
    EXPECT_FALSE(editor.History().CanUndo());

    QTest::keyClick(window->LeftGrid(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ListCompareWindowTest, AFileThatIsNoListIsRefusedAndWithoutEditorTheWindowOnlyShows) {
    CDlgProgrammpool editor(context, &record);
    test::WriteBytes(folders.lists + "/bad.lst", "");
    EXPECT_EQ(editor.ComparisonWith(QString::fromStdString(folders.lists + "/bad.lst")), nullptr);
    ASSERT_EQ(context.script.shown.size(), 1u);
    EXPECT_NE(context.script.shown[0].find("bad.lst"), std::string::npos);

    ListDocument mine;
    ParseListText(kMine, mine.pool, mine.banks);
    ListDocument theirs;
    ParseListText(kTheirs, theirs.pool, theirs.banks);
    ListCompareWindow window(nullptr, mine, theirs, "mine.lst", "Receiver");
    EXPECT_EQ(window.TakeOverButton(), nullptr);
    EXPECT_NE(window.findChild<QLabel*>("viewOnly"), nullptr);
    EXPECT_EQ(window.Diff().Count(PairMark::Changed), 1);
}

} // namespace
} // namespace fw

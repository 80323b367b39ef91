#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/editor/EditHistory.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/lists/PoolModel.h"
#include "gui/lists/SortDialog.h"
#include "gui/ui/DlgSuchen.h"
#include "gui/ui/Texts.h"
#include "tests/gui/ModalHelper.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/support/ScriptedInteraction.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fw {
namespace {

// A grid over rows 0..9 holding "TV 0".."TV 9" (SID 28000 + number); bank 3 holds place 2.
class SortFilterGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 10; ++i)
            doc.pool.SetRowFromLine(i, test::NumberedProgram(i));
        doc.banks.Insert(3, CFavEintrag{2}, -1);
        grid.SetCurrentBankSource([] { return 3; });
        grid.resize(900, 500);
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    }
    std::vector<std::string> Names(int first, int count) const {
        std::vector<std::string> names;
        for (int row = first; row < first + count; ++row)
            names.push_back(doc.pool.Cell(row, kFieldName));
        return names;
    }
    void Select(const std::vector<int>& rows) {
        grid.clearSelection();
        for (int row : rows)
            grid.selectionModel()->select(grid.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        grid.selectionModel()->setCurrentIndex(grid.model()->index(rows.front(), 2),
                                               QItemSelectionModel::NoUpdate);
    }
    std::string BankName() const { return doc.pool.Cell(doc.banks.GetAddress(3, 0), kFieldName); }

    ListDocument doc;
    EditHistory history;
    test::ScriptedInteraction interaction;
    CPoolListCtrl grid{doc, history, interaction};
};

TEST_F(SortFilterGridTest, CtrlArrowsMoveTheSelectionOnePlacePerPressWithTheBank) {
    Select({2, 3});
    QTest::keyClick(&grid, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Up, Qt::ControlModifier); // at the top: nothing
    EXPECT_EQ(Names(0, 4), (std::vector<std::string>{"TV 2", "TV 3", "TV 0", "TV 1"}));
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{0, 1}));
    EXPECT_EQ(BankName(), "TV 2");
    EXPECT_EQ(history.StepCount(), 2u);
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Names(0, 3), (std::vector<std::string>{"TV 0", "TV 2", "TV 3"}));
}

TEST_F(SortFilterGridTest, FilterShowsMatchingRowsAndGreysWhatWouldTouchHiddenOnes) {
    grid.SetFilter(QString::fromUtf8("tv 5"));
    EXPECT_FALSE(grid.isRowHidden(5));
    EXPECT_TRUE(grid.isRowHidden(4));
    EXPECT_TRUE(grid.isRowHidden(20)) << "empty rows match nothing";
    grid.SetFilter("28007");
    EXPECT_FALSE(grid.isRowHidden(7)) << "the SID is filtered";
    EXPECT_EQ(grid.model()->index(7, PoolModel::ColumnAdr).data().toString(), "7");

    grid.selectAll();
    EXPECT_EQ(grid.SelectedRows(), std::vector<int>{7}) << "hidden rows are not selected";
    QMenu* menu = grid.BuildContextMenu(-1);
    for (const int id :
         {CPoolListCtrl::CmdCut, CPoolListCtrl::CmdPasteInserting,
          CPoolListCtrl::CmdPasteOverwriting, CPoolListCtrl::CmdInsertEmptyRow,
          CPoolListCtrl::CmdMoveUp, CPoolListCtrl::CmdMoveDown, CPoolListCtrl::CmdSort})
        EXPECT_FALSE(grid.Command(id)->isEnabled()) << id;
    EXPECT_TRUE(grid.Command(CPoolListCtrl::CmdClearRows)->isEnabled());
    delete menu;
    QTest::keyClick(&grid, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(Names(6, 2), (std::vector<std::string>{"TV 6", "TV 7"}));

    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(Names(6, 2), (std::vector<std::string>{"TV 6", "TV 8"})) << "only the shown row";
    EXPECT_TRUE(grid.isRowHidden(7)) << "the filter follows the change";
    grid.SetFilter("");
    EXPECT_FALSE(grid.isRowHidden(7));
    EXPECT_FALSE(grid.isRowHidden(kPoolRows - 1));
}

TEST_F(SortFilterGridTest, SortDialogSortsTheSelectedRangeAsOneStep) {
    ModalDriver driver(&grid);
    driver.Then([&](QWidget* modal) {
        ASSERT_NE(qobject_cast<SortDialog*>(modal), nullptr);
        modal->findChild<QCheckBox*>(QString::number(ids::sort::kDescending))->setChecked(true);
        driver.Click(modal->findChild<QPushButton*>(QString::number(ids::sort::kOk)));
    });
    Select({1, 4});
    grid.OnSort(SortKey::Name);
    ExpectAllAnswered(driver);
    EXPECT_EQ(Names(0, 6),
              (std::vector<std::string>{"TV 0", "TV 4", "TV 3", "TV 2", "TV 1", "TV 5"}));
    EXPECT_EQ(BankName(), "TV 2");
    EXPECT_EQ(history.StepCount(), 1u);
}

TEST_F(SortFilterGridTest, AColumnTitleOffersSortButNeverReorders) {
    EXPECT_EQ(grid.BuildColumnMenu(ColumnOfField(kFieldFec)), nullptr);
    QMenu* menu = grid.BuildColumnMenu(ColumnOfField(kFieldName));
    ASSERT_NE(menu, nullptr);
    const QString title =
        grid.model()->headerData(ColumnOfField(kFieldName), Qt::Horizontal).toString();
    EXPECT_EQ(menu->actions().value(0)->text(), ResText(str::kMenuSortByColumn).arg(title));
    delete menu;

    Select({3});
    QHeaderView* header = grid.horizontalHeader();
    const int x = header->sectionViewportPosition(ColumnOfField(kFieldName)) + 5;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    popup->close();
    EXPECT_EQ(Names(0, 3), (std::vector<std::string>{"TV 0", "TV 1", "TV 2"}));
    EXPECT_EQ(grid.SelectedRows(), std::vector<int>{3}) << "a title click selects nothing";
}

TEST_F(SortFilterGridTest, MenuKeysOpenTheContextMenuWithKeysInTheShortcutColumn) {
    Select({3});
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_F10, Qt::KeyboardModifiers(Qt::ShiftModifier)},
          std::pair{Qt::Key_Menu, Qt::KeyboardModifiers()}}) {
        QTest::keyClick(&grid, key, modifiers);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << key;
        EXPECT_TRUE(menu->actions().contains(grid.Command(CPoolListCtrl::CmdAddToBank)));
        menu->close();
    }
    QAction* add = grid.Command(CPoolListCtrl::CmdAddToBank);
    EXPECT_EQ(add->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    EXPECT_TRUE(add->isShortcutVisibleInContextMenu());
    EXPECT_TRUE(add->text().contains('&'));
    EXPECT_FALSE(add->text().contains('(')) << "keys are not written into the text";
}

TEST_F(SortFilterGridTest, SearchInAllColumnsFindsAFrequencyOrSid) {
    CDlgSuchen search(str::kPoolSearchTitle);
    search.OfferAllColumns();
    grid.SetSearchDialog(&search);
    search.SetSearchText("28007");
    search.OnSearch();
    EXPECT_EQ(interaction.shown.size(), 1u) << "names only: not found";
    search.findChild<QCheckBox*>(QString::number(ids::search::kAllColumns))->setChecked(true);
    search.OnSearch();
    EXPECT_EQ(grid.SelectedRows(), std::vector<int>{7});
}

TEST(PoolMenuMnemonicTest, EachItemOfTheContextMenuHasItsOwnLetterInBothLanguages) {
    for (const Language language : {Language::German, Language::English}) {
        SetLanguage(language);
        ListDocument doc;
        EditHistory history;
        test::ScriptedInteraction interaction;
        CPoolListCtrl grid(doc, history, interaction);
        grid.SetCurrentBankSource([] { return 0; });
        const std::unique_ptr<QMenu> menu(grid.BuildContextMenu(-1));
        std::map<QChar, QString> letters;
        for (QAction* action : menu->actions()) {
            const QString text = action->text();
            const auto amp = text.indexOf('&');
            if (action->isSeparator() || amp < 0)
                continue;
            const QChar letter = text.at(amp + 1).toLower();
            EXPECT_FALSE(letters.count(letter))
                << text.toStdString() << " and " << letters[letter].toStdString();
            letters[letter] = text;
        }
        EXPECT_GE(letters.size(), 14u);
    }
    SetLanguage(Language::English);
}

TEST(PoolFilterFieldTest, EscapeEmptiesTheFieldAndKeepsTheEditorOpen) {
    test::TempDir folder;
    const DataFolders folders = FoldersUnder(folder.Path().string());
    std::string reason;
    ASSERT_TRUE(CreateDataFolders(folders, reason)) << reason;
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
    CDlgProgrammpool editor(context, nullptr);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    QLineEdit* filter = editor.FilterField();
    filter->setFocus();
    QTest::keyClicks(filter, "abc");
    EXPECT_TRUE(editor.Grid()->isRowHidden(0));
    QTest::keyClick(filter, Qt::Key_Escape);
    EXPECT_TRUE(filter->text().isEmpty());
    EXPECT_FALSE(editor.Grid()->isRowHidden(0));
    EXPECT_TRUE(editor.isVisible());
    editor.reject();
}

} // namespace
} // namespace fw

#include "gui/lists/DuplicatesWindow.h"
#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/editor/EditHistory.h"
#include "core/res/StringIds.h"
#include "gui/favourites/DlgFavoriten.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "tests/core/editor/TestDocument.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace fw {
namespace {

// The window over an editor whose places 0 and 2 hold one service under two names and places
// 1 and 3 share a name; bank 0 names place 2.
class DuplicatesWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(CreateDataFolders(folders, reason)) << reason;
        ListDocument& doc = editor.Document();
        doc.listType = kListTv;
        doc.pool.SetRowFromLine(0, test::ProgramLine("TV 1", 28001));
        doc.pool.SetRowFromLine(1, test::ProgramLine("TV 2", 28002));
        doc.pool.SetRowFromLine(2, test::ProgramLine("TV 1 HD", 28001));
        doc.pool.SetRowFromLine(3, test::ProgramLine("tv 2", 99));
        doc.banks.Insert(0, CFavEintrag{2}, -1);
        editor.Refresh();
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    }
    // Opens the window as the Tools menu does.
    DuplicatesWindow* Open() {
        auto* action = editor.ToolsMenu()->findChild<QAction*>("findDuplicates");
        if (action == nullptr)
            return nullptr;
        action->trigger();
        auto* window = editor.findChild<DuplicatesWindow*>();
        if (window != nullptr &&
            !QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }))
            return nullptr;
        return window;
    }

    test::TempDir folder;
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
    CDlgProgrammpool editor{context, nullptr};
};

TEST_F(DuplicatesWindowTest, SelectsAGroupRemovesAsOneStepAndFollowsTheUndo) {
    DuplicatesWindow* window = Open();
    ASSERT_NE(window, nullptr);
    QTreeWidget* list = window->GroupList();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Group 1: 2 programs");
    EXPECT_EQ(list->topLevelItem(0)->child(1)->text(0), "2");
    EXPECT_EQ(list->topLevelItem(0)->child(1)->text(1), "TV 1 HD");

    // The group selects its rows, one of its places that row.
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(0));
    EXPECT_EQ(editor.Grid()->SelectedRows(), (std::vector<int>{0, 2}));
    list->setCurrentItem(list->topLevelItem(0)->child(1));
    EXPECT_EQ(editor.Grid()->SelectedRows(), (std::vector<int>{2}));

    // The choices by their mnemonics (a button's mnemonic clicks it a moment later): names
    // only pairs places 1 and 3.
    const auto press = [&](Qt::Key key, const char* choice) {
        auto* button = window->findChild<QRadioButton*>(choice);
        QTest::keyClick(list, key, Qt::AltModifier);
        return QTest::qWaitFor([button] { return button->isChecked(); });
    };
    ASSERT_TRUE(press(Qt::Key_N, "byName"));
    EXPECT_EQ(window->Groups(), (std::vector<DuplicateGroup>{{1, 3}}));
    ASSERT_TRUE(press(Qt::Key_P, "byProgram"));
    EXPECT_EQ(window->Groups(), (std::vector<DuplicateGroup>{{0, 2}}));

    // Keeping the banked one deletes place 0; the bank follows its program.
    ASSERT_TRUE(press(Qt::Key_B, "keepBanked"));
    window->findChild<QPushButton*>("remove")->click();
    EXPECT_EQ(test::Names(editor.Document(), 0, 4),
              (std::vector<std::string>{"TV 2", "TV 1 HD", "tv 2", ""}));
    EXPECT_EQ(editor.Document().banks.GetAddress(0, 0), 1);
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(window->Summary()->text(), "Duplicates removed: 1  No duplicates found.");
    EXPECT_FALSE(window->findChild<QPushButton*>("remove")->isEnabled());
    EXPECT_EQ(editor.History().StepCount(), 1u);
    EXPECT_EQ(editor.History().UndoName(), str::kStepRemoveDuplicates);

    // The editor's undo brings the places back, and the window its group.
    editor.Grid()->OnUndo();
    EXPECT_EQ(test::Names(editor.Document(), 0, 4),
              (std::vector<std::string>{"TV 1", "TV 2", "TV 1 HD", "tv 2"}));
    EXPECT_EQ(editor.Document().banks.GetAddress(0, 0), 2);
    EXPECT_EQ(list->topLevelItemCount(), 1);

    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    editor.Favourites()->hide();
}

} // namespace
} // namespace fw

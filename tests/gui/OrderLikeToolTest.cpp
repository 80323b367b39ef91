#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/ui/ReportWindow.h"
#include "tests/core/editor/TestDocument.h"
#include "tests/gui/ModalHelper.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fw {
namespace {

class OrderLikeToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(CreateDataFolders(folders, reason)) << reason;
        test::WriteBytes(ListPath("new.lst"), test::NumberedListText({3, 9, 1, 0}, {1}));
        test::WriteBytes(ListPath("old.lst"), test::NumberedListText({0, 1, 2, 3}, {3, 0}));
        test::WriteBytes(ListPath("broken.lst"), "no list");
    }
    std::string ListPath(const std::string& name) const { return folders.lists + "/" + name; }
    // Chooses the reference in the file dialog of the menu entry.
    void OrderLike(CDlgProgrammpool& editor, const std::string& reference) {
        QAction* action = editor.ToolsMenu()->findChild<QAction*>("orderLike");
        ASSERT_NE(action, nullptr);
        ModalDriver driver(&editor);
        driver.Then([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->directory().absolutePath().toStdString(), folders.lists);
            dialog->findChild<QLineEdit*>("fileNameEdit")
                ->setText(QString::fromStdString(ListPath(reference)));
            static_cast<QDialog*>(dialog)->accept();
        });
        action->trigger();
        ExpectAllAnswered(driver);
    }

    test::TempDir folder;
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
    CListenDat record{{"TV", "Mine", ListPath("new.lst"), "new.lst", "0"}};
};

TEST_F(OrderLikeToolTest, OrdersAsOneUndoStepAndSelectsTheNewOnes) {
    CDlgProgrammpool editor(context, &record);
    ASSERT_FALSE(editor.ToolsMenu()->actions().isEmpty());
    EXPECT_EQ(editor.ToolsMenu()->actions().front()->text(), "Order &like...");
    const std::vector<std::string> before = test::Names(editor.Document(), 0, 5);

    OrderLike(editor, "old.lst");
    EXPECT_EQ(test::Names(editor.Document(), 0, 5),
              (std::vector<std::string>{"TV 0", "TV 1", "", "TV 3", "TV 9"}));
    auto* report = editor.findChild<ReportWindow*>("orderLikeReport");
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_EQ(report->windowTitle(), "Ordered like old.lst");
    EXPECT_THAT(report->Text().toStdString(), ::testing::HasSubstr("place 4 \"TV 9\" (was 1)"));
    report->findChild<QPushButton*>("selectNew")->click();
    EXPECT_EQ(editor.Grid()->SelectedRows(), std::vector<int>{4});
    report->close();

    editor.Grid()->OnUndo();
    EXPECT_EQ(test::Names(editor.Document(), 0, 5), before);
    EXPECT_FALSE(editor.History().CanUndo()) << "one step";
}

TEST_F(OrderLikeToolTest, AReferenceThatIsNoListIsToldAndChangesNothing) {
    CDlgProgrammpool editor(context, &record);
    const std::vector<std::string> before = test::Names(editor.Document(), 0, 5);
    OrderLike(editor, "broken.lst");
    EXPECT_EQ(test::Names(editor.Document(), 0, 5), before);
    EXPECT_FALSE(editor.History().CanUndo());
    EXPECT_EQ(editor.findChild<ReportWindow*>("orderLikeReport"), nullptr);
    ASSERT_FALSE(context.script.shown.empty());
    EXPECT_THAT(context.script.shown.back(), ::testing::HasSubstr("is not a program list"));
}

} // namespace
} // namespace fw

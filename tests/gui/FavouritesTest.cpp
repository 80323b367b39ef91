#include "gui/favourites/BankModel.h"
#include "gui/favourites/DlgFavoriten.h"
#include "gui/favourites/FavListCtrl.h"
#include "gui/ui/ListClipboard.h"

#include "core/config/ProfileFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/ui/Texts.h"
#include "tests/core/editor/TestDocument.h"
#include "tests/gui/KeyCommands.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ScriptedInteraction.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>

namespace fw {
namespace {

using test::Bank;

class FavouritesTest : public ::testing::Test {
protected:
    void SetUp() override { QApplication::clipboard()->clear(); }

    // F0 holds 1, 2, 3; F1 holds 5, 6.
    ListDocument doc = [] {
        ListDocument filled = test::Document(20, {1, 2, 3});
        filled.banks.Insert(1, CFavEintrag{5}, -1);
        filled.banks.Insert(1, CFavEintrag{6}, -1);
        return filled;
    }();
    EditHistory history;
    test::ScriptedInteraction interaction;
    CDlgFavoriten dialog{doc, history, interaction, "", nullptr};

    CFavListCtrl* Show(int bank) {
        dialog.Tabs()->setCurrentIndex(bank);
        return dialog.List(bank);
    }
    static void Select(CFavListCtrl* list, const std::vector<int>& rows) {
        list->clearSelection();
        for (int row : rows)
            list->selectionModel()->select(list->Model().index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    static void Key(CFavListCtrl* list, int key,
                    Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(list, static_cast<Qt::Key>(key), modifiers);
    }
    static void PutText(const QString& text) { QApplication::clipboard()->setText(text); }
};

TEST_F(FavouritesTest, BankModelShowsEntriesAndATrailingRow) {
    BankModel model(doc, 0);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.data(model.index(1, BankModel::kColPosition)).toInt(), 1);
    EXPECT_EQ(model.data(model.index(1, BankModel::kColName)).toString(), "P2");
    EXPECT_EQ(model.data(model.index(1, BankModel::kColAddress)).toInt(), 2);
    EXPECT_FALSE(model.data(model.index(3, BankModel::kColName)).isValid());
    EXPECT_EQ(model.headerData(BankModel::kColName, Qt::Horizontal).toString(), "Programname");
    doc.banks.RemoveAt(0, 0);
    model.Reload();
    EXPECT_EQ(model.rowCount(), 3);
}

TEST_F(FavouritesTest, TabsNameTheBanksWithTheirCountsAndTheCurrentBankIsAnnounced) {
    ASSERT_EQ(dialog.Tabs()->count(), kBankCount);
    EXPECT_EQ(dialog.Tabs()->tabText(0), "F0\n(3)");
    EXPECT_EQ(dialog.Tabs()->tabText(1), "F1\n(2)");
    EXPECT_EQ(dialog.Tabs()->tabText(9), "F9\n(0)");
    Select(dialog.List(0), {0, 2});
    Key(dialog.List(0), Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(dialog.Tabs()->tabText(0), "F0\n(1)") << "a change counts at once";
    Key(dialog.List(0), Qt::Key_Z);
    EXPECT_EQ(dialog.Tabs()->tabText(0), "F0\n(3)") << "and so does its undo";
    QSignalSpy changed(&dialog, &CDlgFavoriten::CurrentBankChanged);
    Show(3);
    EXPECT_EQ(dialog.CurrentBank(), 3);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.front().front().toInt(), 3);
    EXPECT_EQ(dialog.Tabs()->currentWidget(), dialog.List(3));
}

TEST_F(FavouritesTest, ContextMenuGreysWhatCannotRun) {
    struct Case {
        int bank;
        std::vector<int> selected;
        bool clipboardText;
        bool entryCommands; // delete, copy, cut
    };
    const Case cases[] = {
        {2, {}, false, false},  // empty bank: only the searches
        {2, {0}, true, false},  // its trailing row selected, text to paste
        {0, {}, true, false},   // entries, none selected
        {0, {3}, false, false}, // only the trailing row
        {0, {0, 2}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bank * 100 + static_cast<int>(c.selected.size()));
        CFavListCtrl* list = Show(c.bank);
        Select(list, c.selected);
        c.clipboardText ? PutText("x") : QApplication::clipboard()->clear();
        const std::unique_ptr<QMenu> menu = list->CreateContextMenu();
        std::map<QString, bool> enabled;
        for (const QAction* action : menu->actions())
            if (!action->isSeparator())
                enabled[action->objectName()] = action->isEnabled();
        EXPECT_EQ(enabled["40013"], c.entryCommands);
        EXPECT_EQ(enabled["40016"], c.entryCommands);
        EXPECT_EQ(enabled["40014"], c.entryCommands);
        EXPECT_EQ(enabled["40015"], c.clipboardText);
        EXPECT_TRUE(enabled["40017"]);
        EXPECT_TRUE(enabled["40018"]);
        EXPECT_FALSE(enabled["40019"]); // nothing to undo yet
    }
}

TEST_F(FavouritesTest, UndoAndRedoNameTheStepAndRestoreTheBanks) {
    CFavListCtrl* list = Show(0);
    QSignalSpy changed(&dialog, &CDlgFavoriten::DocumentChanged);
    Select(list, {0, 2});
    Key(list, Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(Bank(doc, 0), std::vector<int>{2});
    EXPECT_EQ(list->Model().rowCount(), 2);
    std::unique_ptr<QMenu> menu = list->CreateContextMenu();
    const QAction* undo = list->Command(CFavListCtrl::kCmdUndo);
    ASSERT_TRUE(menu->actions().contains(undo));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "Undo Delete bank entries (Ctrl + Z)");

    Key(list, Qt::Key_Z);
    EXPECT_EQ(Bank(doc, 0), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list->Model().rowCount(), 4);
    Key(list, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Bank(doc, 0), std::vector<int>{2});
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(FavouritesTest, EachKeyRunsTheActionItsMenuShows) {
    dialog.SetSearchTextSource([] { return std::optional<QString>("P2"); });
    CFavListCtrl* list = Show(0);
    const std::unique_ptr<QMenu> menu = list->CreateContextMenu();
    test::ExpectEachKeyRunsItsMenuAction(
        *list, *menu,
        {
            {Qt::Key_C, Qt::ControlModifier, CFavListCtrl::kCmdCopy},
            {Qt::Key_V, Qt::ControlModifier, CFavListCtrl::kCmdPaste},
            {Qt::Key_X, Qt::ControlModifier, CFavListCtrl::kCmdCut},
            {Qt::Key_Delete, Qt::NoModifier, CFavListCtrl::kCmdDelete},
            {Qt::Key_F, Qt::ControlModifier, CFavListCtrl::kCmdSearch},
            {Qt::Key_F3, Qt::NoModifier, CFavListCtrl::kCmdSearchAgain},
            {Qt::Key_Z, Qt::ControlModifier, CFavListCtrl::kCmdUndo},
            {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, CFavListCtrl::kCmdRedo},
        },
        [&] { Select(list, {0}); });
}

TEST_F(FavouritesTest, PasteWithinABankInsertsBeforeTheSelectedRow) {
    CFavListCtrl* list = Show(0);
    Select(list, {0, 2});
    Key(list, Qt::Key_C);
    EXPECT_EQ(QApplication::clipboard()->text(), "P1\t1\r\nP3\t3\r\n");
    Select(list, {1});
    Key(list, Qt::Key_V);
    EXPECT_EQ(Bank(doc, 0), (std::vector<int>{1, 1, 3, 2, 3}));
}

TEST_F(FavouritesTest, CutInOneBankMovesToAnotherOnPaste) {
    CFavListCtrl* source = Show(1);
    Select(source, {0});
    Key(source, Qt::Key_X);
    EXPECT_EQ(Bank(doc, 1), (std::vector<int>{5, 6})); // a cut moves only when pasted
    CFavListCtrl* target = Show(4);
    Select(target, {0});
    Key(target, Qt::Key_V);
    EXPECT_EQ(Bank(doc, 1), std::vector<int>{6});
    EXPECT_EQ(Bank(doc, 4), std::vector<int>{5});
    EXPECT_EQ(source->Model().rowCount(), 2);
    EXPECT_EQ(source->Model().data(source->Model().index(0, BankModel::kColPosition)).toInt(), 0);
}

// Copies keep the names' bytes exactly beside the text; text from elsewhere is converted.
TEST_F(FavouritesTest, PastedNamesMatchThePoolsBytes) {
    doc.pool.SetCell(2, kFieldName, std::string("Caf\x81\xE9", 5));
    CFavListCtrl* list = Show(0);
    Select(list, {1});
    Key(list, Qt::Key_C);
    EXPECT_EQ(QApplication::clipboard()->mimeData()->data(kCp1252MimeType).toStdString(),
              std::string("Caf\x81\xE9\t2\r\n", 9));
    Select(list, {3});
    Key(list, Qt::Key_V);
    doc.pool.SetCell(3, kFieldName, "Caf\xE9");
    PutText(QString::fromUtf8("Caf\u00E9\t3"));
    Key(list, Qt::Key_V);
    EXPECT_EQ(Bank(doc, 0), (std::vector<int>{1, 2, 3, 3, 2}));
}

TEST_F(FavouritesTest, RefusedPasteChangesNothing) {
    // Text from another program with a character no list can store.
    PutText(QString::fromUtf8("P1\u65E5\t1\r\n"));
    CFavListCtrl* list = Show(0);
    Select(list, {0});
    Key(list, Qt::Key_V);

    // A move into a bank that cannot take it: checked before the cut entries are removed.
    for (int k = 0; k < kBankCapacity; ++k)
        doc.banks.Insert(2, CFavEintrag{7}, -1);
    dialog.Refresh();
    CFavListCtrl* source = Show(1);
    Select(source, {0, 1});
    Key(source, Qt::Key_X);
    CFavListCtrl* full = Show(2);
    Select(full, {0});
    Key(full, Qt::Key_V);

    EXPECT_EQ(Bank(doc, 0), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Bank(doc, 1), (std::vector<int>{5, 6}));
    EXPECT_EQ(doc.banks.GetCount(2), kBankCapacity);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(interaction.shown,
              (std::vector<std::string>{LoadResString(str::kClipboardNotCp1252),
                                        LoadResString(str::kFavouriteBankFull)}));
}

TEST_F(FavouritesTest, DroppedPoolRowsAreAddedBeforeTheRowUnderThePointer) {
    CFavListCtrl* list = Show(0);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto drop = [&](const QByteArray& rows, int atRow) {
        QMimeData mime;
        mime.setData(kPoolRowsMimeType, rows);
        const QPoint at = list->visualRect(list->Model().index(atRow, 1)).center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &enter);
        QDropEvent event(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &event);
        QApplication::processEvents();
    };
    const std::string clipboardBefore = "untouched";
    PutText(QString::fromStdString(clipboardBefore));
    drop("9,4", 1);
    EXPECT_EQ(Bank(doc, 0), (std::vector<int>{1, 4, 9, 2, 3}));
    drop("4,x", 0); // not a list of rows
    drop("4000", 0);
    EXPECT_EQ(doc.banks.GetCount(0), 5);
    drop("7", 5); // the trailing row: at the end
    EXPECT_EQ(Bank(doc, 0), (std::vector<int>{1, 4, 9, 2, 3, 7}));
    drop("25", 0); // an empty pool row
    drop("9", 0);  // already in the bank
    EXPECT_EQ(doc.banks.GetCount(0), 6);
    EXPECT_EQ(interaction.shown,
              (std::vector<std::string>{
                  LoadResString(str::kAddIncompleteProgram),
                  "\"P9\" (place 9) is already entry 2 of bank F0; nothing was added."}));
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), clipboardBefore);
    dialog.hide();
}

TEST_F(FavouritesTest, DragOverTheListShowsALineWhereTheProgramsWouldLand) {
    CFavListCtrl* list = Show(0);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QMimeData mime;
    mime.setData(kPoolRowsMimeType, "9");
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &enter);
    const auto over = [&](QPoint at) {
        QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &move);
        return list->DropLine().Row();
    };
    const auto row = [&](int r) { return list->visualRect(list->Model().index(r, 1)).center(); };
    EXPECT_EQ(over(row(1)), 1) << "before the entry under the pointer";
    EXPECT_EQ(over(row(3)), 3) << "the trailing row: after the last entry";
    EXPECT_EQ(over(QPoint(20, list->viewport()->height() - 2)), 3) << "below the rows too";
    const QImage picture = list->viewport()->grab().toImage();
    EXPECT_EQ(picture.pixelColor(30, list->rowViewportPosition(3)),
              list->palette().color(QPalette::Highlight));
    QDragLeaveEvent leave;
    QApplication::sendEvent(list->viewport(), &leave);
    EXPECT_EQ(list->DropLine().Row(), -1);
    dialog.hide();
}

TEST_F(FavouritesTest, PoolAddsToTheCurrentBankOnlyWhileTheWindowIsShown) {
    CFavListCtrl* list = Show(1);
    Select(list, {1});
    EXPECT_EQ(dialog.AddPosition(), std::nullopt) << "nothing is added while hidden";
    dialog.show();
    EXPECT_EQ(dialog.AddPosition(), std::optional<int>(1)) << "before the selected entry";
    list->clearSelection();
    EXPECT_EQ(dialog.AddPosition(), std::optional<int>(-1)) << "else at the end";
    dialog.hide();
}

// Without a selection the keys do nothing, and the view's own copy of the current cell must
// not replace the clipboard either.
TEST_F(FavouritesTest, KeysWithoutASelectionLeaveBankAndClipboardAlone) {
    CFavListCtrl* list = Show(0);
    list->selectionModel()->setCurrentIndex(list->Model().index(1, 1),
                                            QItemSelectionModel::NoUpdate);
    PutText("before");
    Key(list, Qt::Key_C);
    Key(list, Qt::Key_X);
    Key(list, Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    EXPECT_EQ(Bank(doc, 0), (std::vector<int>{1, 2, 3}));
}

// Each key goes to whatever list has the focus, as the user presses them one after another.
TEST_F(FavouritesTest, KeysSwitchBanksRoundTheTenOpenTheMenuAndTabLeavesTheList) {
    dialog.Present();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int bank;
    };
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const std::vector<Case> cases = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},    {Qt::Key_PageDown, Qt::ControlModifier, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 1}, {Qt::Key_Backtab, ctrlShift, 0},
        {Qt::Key_Backtab, ctrlShift, 9},          {Qt::Key_Tab, Qt::ControlModifier, 0},
        {Qt::Key_7, Qt::AltModifier, 7},          {Qt::Key_0, Qt::AltModifier, 0},
        {Qt::Key_PageUp, Qt::ControlModifier, 9}, {Qt::Key_9, Qt::AltModifier, 9},
    };
    for (const Case& c : cases) {
        QWidget* list = dialog.List(dialog.CurrentBank());
        ASSERT_TRUE(list->hasFocus()) << "the shown bank's list has the focus";
        QTest::keyClick(list, c.key, c.modifiers);
        EXPECT_EQ(dialog.CurrentBank(), c.bank)
            << QKeySequence(c.key | c.modifiers).toString().toStdString();
    }
    CFavListCtrl* list = dialog.List(9);
    QStringList menu;
    QTimer::singleShot(0, list, [&menu] {
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr);
        for (const QAction* action : popup->actions())
            menu << action->objectName();
        popup->close();
    });
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(menu.contains(QString::number(CFavListCtrl::kCmdDelete))) << "Shift+F10: menu";
    list->setCurrentIndex(list->Model().index(0, 0));
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_FALSE(list->hasFocus()) << "Tab walked the cells";
    dialog.hide();
}

TEST_F(FavouritesTest, SearchAsksForTheTextAndF3GoesOnWrappingRound) {
    int asked = 0;
    dialog.SetSearchTextSource([&] {
        ++asked;
        return std::optional<QString>("p");
    });
    CFavListCtrl* list = Show(0);
    Select(list, {1});
    Key(list, Qt::Key_F3, Qt::NoModifier); // no text yet
    EXPECT_EQ(list->InsertionPoint(), 1);
    EXPECT_EQ(asked, 0);
    Key(list, Qt::Key_F);
    EXPECT_EQ(list->InsertionPoint(), 2);
    Key(list, Qt::Key_F3, Qt::NoModifier);
    EXPECT_EQ(list->InsertionPoint(), 0); // past the trailing row, round to the top
    EXPECT_EQ(asked, 1);
}

TEST(FavouritesPlacementTest, SitsBesideTheEditorOnWideDesktops) {
    const QRect editor(24, 0, 655, 668);
    EXPECT_EQ(CDlgFavoriten::PlacementBeside(editor, QRect(0, 0, 1024, 768)),
              QRect(679, 0, 320, 668));
    EXPECT_TRUE(CDlgFavoriten::PlacementBeside(editor, QRect(0, 0, 800, 600)).isEmpty());
    // Off the right edge it starts at the desktop's left edge.
    EXPECT_EQ(CDlgFavoriten::PlacementBeside(QRect(900, 10, 655, 500), QRect(0, 0, 1280, 1024)).x(),
              0);
}

// The window keeps its own geometry in section "cc"; once the user resized it, that geometry
// wins over the place beside the editor.
TEST(FavouritesPlacementTest, ResizedGeometryIsStoredAndWinsOverThePlaceBesideTheEditor) {
    test::TempDir folder;
    const std::string profile = folder.File("upd.ini");
    test::WriteBytes(profile, "[OPTIONEN]\nSPRACHE=1\n");
    ListDocument doc = test::Document(20, {1});
    EditHistory history;
    test::ScriptedInteraction interaction;
    const QRect editor(24, 0, 655, 668);
    const QRect desktop(0, 0, 1024, 768);
    QRect closed;
    {
        CDlgFavoriten dialog(doc, history, interaction, profile, nullptr);
        dialog.SetDesktopForTest(desktop);
        dialog.PlaceBeside(editor);
        dialog.show();
        EXPECT_EQ(dialog.pos(), QPoint(679, 0));
        dialog.resize(dialog.width() + 60, dialog.height() - 40);
        dialog.move(100, 50);
        closed = QRect(dialog.pos(), dialog.size());
        dialog.hide();
    }
    ProfileFile stored;
    ASSERT_TRUE(stored.Load(profile));
    EXPECT_EQ(stored.GetInt("cc", "CX", 0), closed.width());
    EXPECT_EQ(stored.GetInt("cc", "Y", 0), closed.y());

    CDlgFavoriten dialog(doc, history, interaction, profile, nullptr);
    dialog.SetDesktopForTest(desktop);
    dialog.PlaceBeside(editor);
    dialog.show();
    EXPECT_EQ(QRect(dialog.pos(), dialog.size()), closed);
    dialog.hide();
}

class FavouritesLanguageTest : public ::testing::TestWithParam<Language> {
protected:
    void SetUp() override { SetLanguage(GetParam()); }
    void TearDown() override { SetLanguage(Language::English); }
};

TEST_P(FavouritesLanguageTest, HelpAndScreenshotInTheChosenLanguage) {
    ListDocument doc = test::Document(40, {0, 3, 5, 8, 13, 21, 34});
    EditHistory history;
    test::ScriptedInteraction interaction;
    CDlgFavoriten dialog(doc, history, interaction, "", nullptr);
    dialog.resize(CDlgFavoriten::kWidth, 560);
    EXPECT_LE(dialog.minimumSizeHint().width(), CDlgFavoriten::kWidth);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(),
              GetParam() == Language::German ? "Favoritenlisten" : "Favorite lists");
    EXPECT_LE(dialog.Tabs()->tabBar()->sizeHint().width(), dialog.Tabs()->width())
        << "the tabs need scroll arrows";
    dialog.List(0)->selectRow(2);
    const std::string folder = FLASHWERK_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    const std::string prefix = GetParam() == Language::German ? "/de-" : "/en-";
    EXPECT_TRUE(dialog.grab().save(QString::fromStdString(folder + prefix + "favourites.png")));

    dialog.ShowKeysHelp();
    QDialog* help = dialog.KeysHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_FALSE(help->isModal());
    const QLabel* text = help->findChild<QLabel*>();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->text().contains(GetParam() == Language::German ? "Strg + Z" : "Ctrl + Z"));
    help->grab().save(QString::fromStdString(folder + prefix + "favourites-help.png"));
    help->close();
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, FavouritesLanguageTest,
                         ::testing::Values(Language::German, Language::English));

} // namespace
} // namespace fw

#include "core/config/Konfiguration.h"
#include "core/config/ProfileFile.h"
#include "core/editor/EditHistory.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/favourites/FavListCtrl.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/lists/PoolModel.h"
#include "gui/page/AppContext.h"
#include "gui/ui/DlgSuchen.h"
#include "gui/ui/ListClipboard.h"
#include "gui/ui/Texts.h"
#include "tests/gui/KeyCommands.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/support/ScriptedInteraction.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fw {
namespace {

using test::NumberedProgram;

// A grid over a pool whose rows 0..9 hold "TV 0".."TV 9", shown as the editor shows it.
class PoolGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 10; ++i)
            doc.pool.SetRowFromLine(i, NumberedProgram(i));
        grid.SetCurrentBankSource([this] { return bank; });
        grid.resize(900, 500);
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        QGuiApplication::clipboard()->clear();
    }
    std::string Name(int row) const { return doc.pool.Cell(row, kFieldName); }
    QString Shown(int row, int column) const {
        return grid.model()->index(row, column).data().toString();
    }
    QPoint CellCentre(int row, int column) const {
        return grid.visualRect(grid.model()->index(row, column)).center();
    }
    void SelectOnly(std::vector<int> rows) {
        grid.clearSelection();
        for (int row : rows)
            grid.selectionModel()->select(grid.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QAction* MenuItem(QMenu* menu, int command) const {
        QAction* action = grid.Command(command);
        return menu->actions().contains(action) ? action : nullptr;
    }

    ListDocument doc;
    EditHistory history;
    int bank = 3;
    test::ScriptedInteraction interaction;
    CPoolListCtrl grid{doc, history, interaction};
};

TEST_F(PoolGridTest, ModelKeepsItsContractAndRefusesEditsOutsideTheFields) {
    QAbstractItemModelTester tester(grid.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    PoolModel& model = *grid.GridModel();
    EXPECT_EQ(model.rowCount(), 4000);
    EXPECT_EQ(model.columnCount(), 12);
    EXPECT_FALSE(model.setData(model.index(2, PoolModel::ColumnAdr), "7", Qt::EditRole));
    EXPECT_FALSE(model.setData(model.index(4000, PoolModel::ColumnName), "x", Qt::EditRole));
    EXPECT_FALSE(model.setData(model.index(2, PoolModel::ColumnSid), "no number", Qt::EditRole));
    EXPECT_EQ(model.LastCommit().status, EditStatus::CellRejected);
    EXPECT_TRUE(model.setData(model.index(2, PoolModel::ColumnName), QString::fromUtf8("Ü 2"),
                              Qt::EditRole));
    EXPECT_EQ(Name(2), "\xDC 2");
    // A character the list's code page lacks would be stored as '?'.
    EXPECT_FALSE(model.setData(model.index(2, PoolModel::ColumnName), QString::fromUtf8("€ ✓"),
                               Qt::EditRole));
    EXPECT_EQ(Name(2), "\xDC 2");
    EXPECT_EQ(history.StepCount(), 1u);
}

struct MoveCase {
    int row, column;
    int key;
    Qt::KeyboardModifiers modifiers;
    int wantRow, wantColumn;
};

TEST_F(PoolGridTest, EditorKeysMoveAsTheGridPromises) {
    const MoveCase cases[] = {
        {5, 11, Qt::Key_Tab, Qt::NoModifier, 5, 1},        // wraps to the first field, same row
        {5, 1, Qt::Key_Backtab, Qt::ShiftModifier, 5, 11}, // and back again
        {5, 7, Qt::Key_Return, Qt::NoModifier, 6, 1},      // next row, first field
        {5, 3, Qt::Key_Enter, Qt::KeypadModifier, 6, 1},
        {3999, 4, Qt::Key_Down, Qt::NoModifier, 3999, 4}, // the last row stays
        {0, 4, Qt::Key_Up, Qt::NoModifier, 0, 4},
        {5, 4, Qt::Key_Up, Qt::NoModifier, 4, 4},
    };
    for (const MoveCase& c : cases) {
        grid.BeginEdit(c.row, c.column);
        ASSERT_TRUE(grid.IsEditing());
        QTest::keyClick(grid.Editor(), static_cast<Qt::Key>(c.key), c.modifiers);
        EXPECT_TRUE(grid.IsEditing()) << c.key;
        EXPECT_EQ(grid.EditRow(), c.wantRow) << c.row << "/" << c.column << " key " << c.key;
        EXPECT_EQ(grid.EditColumn(), c.wantColumn) << c.row << "/" << c.column << " key " << c.key;
    }
    grid.CloseEditor();
    EXPECT_EQ(history.StepCount(), 0u) << "moving over unchanged cells writes nothing";
}

TEST_F(PoolGridTest, EditorTrimsCommitsAndKeepsARefusedValueUntilEscape) {
    grid.BeginEdit(2, PoolModel::ColumnSid);
    grid.Editor()->setText(" 123 ");
    QTest::keyClick(grid.Editor(), Qt::Key_Tab);
    EXPECT_EQ(doc.pool.Cell(2, kFieldSid), "123");

    grid.BeginEdit(2, PoolModel::ColumnSid);
    grid.Editor()->setText("abc");
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(6, 4));
    EXPECT_EQ(interaction.messageIcons, std::vector<MessageIcon>{MessageIcon::Stop});
    EXPECT_TRUE(grid.IsEditing()) << "a refused value keeps the editor open";
    EXPECT_EQ(grid.EditRow(), 2);
    EXPECT_EQ(grid.SelectedRows(), std::vector<int>{2}) << "the click selected nothing";
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.Editor()->hasFocus(); }));
    QTest::keyClick(grid.Editor(), Qt::Key_Escape);
    EXPECT_FALSE(grid.IsEditing());
    EXPECT_EQ(doc.pool.Cell(2, kFieldSid), "123");
    EXPECT_EQ(interaction.shown.size(), 1u);
}

TEST_F(PoolGridTest, DoubleClickEditsAFieldButAddsToTheBankOnTheGreyColumn) {
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(4, 2));
    EXPECT_TRUE(grid.IsEditing());
    EXPECT_EQ(grid.EditColumn(), 2);
    grid.CloseEditor();

    SelectOnly({4});
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(4, 0));
    EXPECT_FALSE(grid.IsEditing()) << "the grey column is never edited";
    ASSERT_EQ(doc.banks.GetCount(3), 1);
    EXPECT_EQ(doc.banks.GetAddress(3, 0), 4);
    EXPECT_EQ(Shown(4, 0), "4 =");

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::AltModifier, CellCentre(7, 3));
    EXPECT_EQ(doc.banks.GetAddress(3, 1), 7) << "Alt+click adds the clicked row";
    bank = 5;
    grid.Refresh();
    EXPECT_EQ(Shown(4, 0), "4") << "the marks follow the current bank";
}

// The grid adds where the bank list would: before the entry it has selected, else at the end,
// and not at all while the bank is not on display.
TEST_F(PoolGridTest, AddToBankLandsWhereTheBankListSays) {
    doc.banks.Insert(3, CFavEintrag{1}, -1);
    doc.banks.Insert(3, CFavEintrag{2}, -1);
    std::optional<int> position = 1;
    grid.SetBankPositionSource([&] { return position; });
    SelectOnly({6, 5});
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(5, 0));
    auto entries = [this] {
        std::vector<int> addresses;
        for (int i = 0; i < doc.banks.GetCount(3); ++i)
            addresses.push_back(doc.banks.GetAddress(3, i));
        return addresses;
    };
    EXPECT_EQ(entries(), (std::vector<int>{1, 5, 6, 2}));
    position = -1;
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::AltModifier, CellCentre(8, 3));
    EXPECT_EQ(entries(), (std::vector<int>{1, 5, 6, 2, 8}));
    position = std::nullopt;
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::AltModifier, CellCentre(9, 3));
    EXPECT_EQ(doc.banks.GetCount(3), 5) << "nothing added while the bank is hidden";
}

TEST_F(PoolGridTest, ContextMenuGreysWhatCannotRunAndNamesThePendingCut) {
    struct Case {
        std::vector<int> rows;
        bool clipboardText;
        bool single; // 503, 504
        bool paste;  // 501, 507
    };
    const Case cases[] = {
        {{2}, false, true, false},
        {{2}, true, true, true},
        {{2, 5}, true, false, false},
    };
    for (const Case& c : cases) {
        if (c.clipboardText)
            QGuiApplication::clipboard()->setText("x\r\n");
        else
            QGuiApplication::clipboard()->clear();
        SelectOnly(c.rows);
        QMenu* menu = grid.BuildContextMenu(-1);
        EXPECT_EQ(MenuItem(menu, 503)->isEnabled(), c.single);
        EXPECT_EQ(MenuItem(menu, 504)->isEnabled(), c.single);
        EXPECT_EQ(MenuItem(menu, 501)->isEnabled(), c.paste);
        EXPECT_EQ(MenuItem(menu, 507)->isEnabled(), c.paste);
        EXPECT_TRUE(MenuItem(menu, 506)->isEnabled());
        delete menu;
    }

    SelectOnly({1, 2});
    QTest::keyClick(&grid, Qt::Key_X, Qt::ControlModifier);
    QMenu* menu = grid.BuildContextMenu(-1);
    EXPECT_EQ(MenuItem(menu, 507)->text(), ResText(2028));
    delete menu;
    // Whatever replaced the cut's text on the clipboard ends the cut.
    QGuiApplication::clipboard()->setText("other\r\n");
    menu = grid.BuildContextMenu(-1);
    EXPECT_EQ(MenuItem(menu, 507)->text(), ResText(2029));
    delete menu;
    EXPECT_FALSE(doc.poolCut.has_value());
}

TEST_F(PoolGridTest, ClicksAndShiftArrowsSelectWholeRows) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(2, 5));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(4, 2));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ControlModifier, CellCentre(7, 9));
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{2, 3, 4, 7}));
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{2, 3, 4, 7, 8}));
    EXPECT_EQ(grid.selectionModel()->selectedIndexes().size(), 5 * PoolModel::ColumnCount);
}

TEST_F(PoolGridTest, KeysRunTheCommandsWithModifiersReadPerKey) {
    SelectOnly({3, 5});
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              NumberedProgram(3) + "\r\n" + NumberedProgram(5) + "\r\n");
    SelectOnly({3});
    QTest::keyClick(&grid, Qt::Key_F, Qt::ControlModifier); // opens nothing: no search window
    QTest::keyClick(&grid, Qt::Key_M);                      // a plain M deletes nothing
    EXPECT_EQ(Name(3), "TV 3");
    QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Name(4), "TV 3");
    EXPECT_TRUE(doc.pool.IsRowEmpty(3));
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Name(3), "TV 3");
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Name(4), "TV 3");

    grid.clearSelection();
    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(Name(4), "TV 3") << "Delete without a selection does nothing";
}

TEST_F(PoolGridTest, EachKeyRunsTheActionItsMenuShows) {
    CDlgSuchen search(str::kPoolSearchTitle);
    grid.SetSearchDialog(&search);
    const std::unique_ptr<QMenu> menu(grid.BuildContextMenu(-1));
    test::ExpectEachKeyRunsItsMenuAction(
        grid, *menu,
        {
            {Qt::Key_C, Qt::ControlModifier, CPoolListCtrl::CmdCopy},
            {Qt::Key_O, Qt::ControlModifier, CPoolListCtrl::CmdPasteOverwriting},
            {Qt::Key_V, Qt::ControlModifier, CPoolListCtrl::CmdPasteInserting},
            {Qt::Key_Y, Qt::ControlModifier, CPoolListCtrl::CmdInsertEmptyRow},
            {Qt::Key_N, Qt::ControlModifier, CPoolListCtrl::CmdClearRows},
            {Qt::Key_M, Qt::ControlModifier, CPoolListCtrl::CmdDeleteRows},
            {Qt::Key_Delete, Qt::NoModifier, CPoolListCtrl::CmdDeleteRows},
            {Qt::Key_Delete, Qt::KeypadModifier, CPoolListCtrl::CmdDeleteRows},
            {Qt::Key_X, Qt::ControlModifier, CPoolListCtrl::CmdCut},
            {Qt::Key_Z, Qt::ControlModifier, CPoolListCtrl::CmdUndo},
            {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, CPoolListCtrl::CmdRedo},
            {Qt::Key_F3, Qt::NoModifier, CPoolListCtrl::CmdSearchAgain},
            {Qt::Key_P, Qt::ControlModifier, CPoolListCtrl::CmdPrint},
            {Qt::Key_E, Qt::ControlModifier, CPoolListCtrl::CmdEditCell},
            {Qt::Key_F, Qt::ControlModifier, CPoolListCtrl::CmdSearch},
            {Qt::Key_B, Qt::ControlModifier, CPoolListCtrl::CmdAddToBank},
            {Qt::Key_Up, Qt::ControlModifier, CPoolListCtrl::CmdMoveUp},
            {Qt::Key_Down, Qt::ControlModifier, CPoolListCtrl::CmdMoveDown},
        },
        [&] { SelectOnly({2}); });
}

TEST_F(PoolGridTest, PastedTextFromElsewhereIsConvertedOrRefused) {
    SelectOnly({20});
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8("\tMünchen\t11954\tH\t27500\t3/4\t1\t2\t3\t4\t1"));
    QTest::keyClick(&grid, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Name(20), "M\xFCnchen") << "a last line without a line end is pasted";

    SelectOnly({21});
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8("\tКиев\t11954\tH\t27500\t3/4\t1\t2\t3\t4\t1"));
    QTest::keyClick(&grid, Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(doc.pool.IsRowEmpty(21));
    EXPECT_EQ(interaction.shown, std::vector<std::string>{LoadResString(str::kClipboardNotCp1252)});

    // Bytes without a Unicode character survive a copy and paste within the program.
    doc.pool.SetCell(0, kFieldName,
                     "A\x81"
                     "B");
    SelectOnly({0});
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    SelectOnly({30});
    QTest::keyClick(&grid, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Name(30), "A\x81"
                        "B");
}

TEST_F(PoolGridTest, ProgramsPushedOffTheEndAreNamedFirstAndKeptByDefault) {
    const std::string two = NumberedProgram(50) + "\r\n" + NumberedProgram(51) + "\r\n";
    struct Case {
        Qt::Key key;
        int row;
        std::optional<Answer> answer; // none: no question
        std::string question;
        std::string last; // the name in place 3999 afterwards
        int bankEntries;  // of bank 0, which holds place 3999
    };
    const std::string pushed =
        "1 program at the end of the list (place 3999) and 1 favourite entry would be removed.\n";
    const std::vector<Case> cases = {
        {Qt::Key_Y, 0, std::nullopt, pushed + "Insert anyway?", "Last", 1},
        {Qt::Key_V, 5, Answer::Yes, pushed + "Insert anyway?", "", 0},
        {Qt::Key_O, 3999, std::nullopt,
         "Programs that would land past place 3999 would be left out: 1.\nPaste anyway?", "Last",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.question + (c.answer ? " yes" : " no"));
        doc.pool.SetRowFromLine(3999, test::ProgramLine("Last"));
        doc.pool.SetRowFromLine(3998, "");
        doc.banks.Clear();
        doc.banks.Insert(0, CFavEintrag{3999}, -1);
        grid.Refresh();
        QGuiApplication::clipboard()->setText(QString::fromStdString(two));
        interaction.asked.clear();
        interaction.answers.clear();
        if (c.answer)
            interaction.answers = {*c.answer};
        SelectOnly({c.row});
        QTest::keyClick(&grid, c.key, Qt::ControlModifier);
        ASSERT_EQ(interaction.asked.size(), 1u);
        EXPECT_EQ(interaction.asked[0].text, c.question);
        EXPECT_EQ(interaction.asked[0].defaultAnswer, Answer::No);
        EXPECT_EQ(Name(3999), c.last);
        EXPECT_EQ(doc.banks.GetCount(0), c.bankEntries);
    }
    // Empty rows fall off without a question.
    doc.pool.SetRowFromLine(3999, "");
    doc.pool.SetRowFromLine(0, NumberedProgram(0));
    grid.Refresh();
    interaction.asked.clear();
    SelectOnly({0});
    QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(interaction.asked.empty());
    EXPECT_EQ(Name(1), "TV 0");
}

TEST_F(PoolGridTest, DroppedRowsLandBeforeTheRowUnderThePointerAsOneStep) {
    doc.banks.Insert(0, CFavEintrag{1}, -1);
    QGuiApplication::clipboard()->setText("untouched");
    SelectOnly({1, 2});
    std::unique_ptr<QMimeData> rows(
        grid.GridModel()->mimeData(grid.selectionModel()->selectedRows()));
    // The bank lists read the same drag.
    EXPECT_EQ(ParsePoolRows(rows->data(kPoolRowsMimeType)), (std::vector<int>{1, 2}));
    EXPECT_TRUE(grid.DropRows(rows.get(), CellCentre(6, 3)));
    // Rows 1 and 2 leave, so program 6 moves up to row 4 and the two land before it.
    EXPECT_EQ(Name(1), "TV 3");
    EXPECT_EQ(Name(4), "TV 1");
    EXPECT_EQ(Name(5), "TV 2");
    EXPECT_EQ(Name(6), "TV 6");
    EXPECT_EQ(doc.banks.GetAddress(0, 0), 4) << "the bank follows the program";
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{4, 5}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "untouched");
    EXPECT_EQ(history.StepCount(), 1u);

    // Onto one of the dragged rows: nothing moves.
    grid.DropRows(rows.get(), CellCentre(2, 3));
    EXPECT_EQ(history.StepCount(), 1u);

    EditHistory otherHistory;
    CPoolListCtrl otherGrid(doc, otherHistory, interaction);
    EXPECT_FALSE(otherGrid.DropRows(rows.get(), CellCentre(8, 3))) << "rows of another grid";
}

// A line across the grid marks where the rows would land; none onto the rows themselves.
TEST_F(PoolGridTest, DragShowsALineWhereTheRowsWouldLand) {
    SelectOnly({1, 2});
    std::unique_ptr<QMimeData> rows(
        grid.GridModel()->mimeData(grid.selectionModel()->selectedRows()));
    QDragEnterEvent enter(CellCentre(0, 3), Qt::MoveAction, rows.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &enter);
    struct Case {
        int row;
        int line; // -1: no line, the drop is refused
    };
    for (const Case& c : {Case{6, 6}, Case{2, -1}, Case{0, 0}, Case{1, -1}, Case{7, 7}}) {
        QDragMoveEvent move(CellCentre(c.row, 3), Qt::MoveAction, rows.get(), Qt::LeftButton,
                            Qt::NoModifier);
        QApplication::sendEvent(grid.viewport(), &move);
        EXPECT_EQ(grid.DropLine().Row(), c.line) << "over row " << c.row;
        EXPECT_EQ(move.isAccepted(), c.line >= 0) << "over row " << c.row;
    }
    const QImage picture = grid.viewport()->grab().toImage();
    const QColor line = grid.palette().color(QPalette::Highlight);
    EXPECT_EQ(picture.pixelColor(200, grid.rowViewportPosition(7)), line);
    EXPECT_NE(picture.pixelColor(200, grid.rowViewportPosition(6)), line);
    QDragLeaveEvent leave;
    QApplication::sendEvent(grid.viewport(), &leave);
    EXPECT_EQ(grid.DropLine().Row(), -1);
}

TEST_F(PoolGridTest, UndoAndRedoThroughTheMenuNameTheStep) {
    doc.banks.Insert(2, CFavEintrag{5}, -1);
    SelectOnly({4, 5});
    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(Name(4), "TV 6");
    EXPECT_EQ(doc.banks.GetCount(2), 0);

    QMenu* menu = grid.BuildContextMenu(-1);
    QAction* undo = MenuItem(menu, CPoolListCtrl::CmdUndo);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text().toStdString(), history.UndoText());
    EXPECT_NE(undo->text().indexOf(ResText(str::kStepDeleteRows)), -1);
    EXPECT_FALSE(MenuItem(menu, CPoolListCtrl::CmdRedo)->isEnabled());
    undo->trigger();
    delete menu;
    EXPECT_EQ(Name(4), "TV 4");
    EXPECT_EQ(doc.banks.GetAddress(2, 0), 5);

    menu = grid.BuildContextMenu(-1);
    MenuItem(menu, CPoolListCtrl::CmdRedo)->trigger();
    delete menu;
    EXPECT_EQ(Name(4), "TV 6");
}

TEST_F(PoolGridTest, SearchFoldsCaseAndWrapsRound) {
    CDlgSuchen search(str::kPoolSearchTitle);
    grid.SetSearchDialog(&search);
    doc.pool.SetCell(8, kFieldName, "M\xDCNCHEN");
    SelectOnly({9});
    search.SetSearchText(QString::fromUtf8("münchen"));
    search.OnSearch();
    EXPECT_EQ(grid.SelectedRows(), std::vector<int>{8});

    search.SetSearchText("nowhere");
    QTest::keyClick(&grid, Qt::Key_F3);
    EXPECT_EQ(interaction.shown, std::vector<std::string>{LoadResString(str::kSearchTextNotFound)});
    EXPECT_EQ(interaction.messageIcons, std::vector<MessageIcon>{MessageIcon::Information});
}

TEST(SearchDialogTest, HistoryKeepsElevenTextsNewestFirstRegardlessOfCase) {
    CDlgSuchen search(str::kPoolSearchTitle);
    for (int i = 0; i < 12; ++i) {
        search.SetSearchText(QString("text %1").arg(i));
        search.OnSearch();
    }
    search.SetSearchText(QString::fromUtf8("MÜNCHEN"));
    search.OnSearch();
    search.SetSearchText(QString::fromUtf8("münchen"));
    search.OnSearch();
    const QStringList history = search.History();
    ASSERT_EQ(history.size(), CDlgSuchen::kHistorySize);
    EXPECT_EQ(history.front(), QString::fromUtf8("münchen"));
    EXPECT_EQ(history.count(QString::fromUtf8("MÜNCHEN")), 0);
    EXPECT_EQ(history.back(), "text 2");
}

} // namespace
} // namespace fw

#include "core/editor/PoolCommands.h"
#include "core/editor/ClipboardText.h"
#include "core/res/StringIds.h"
#include "tests/core/editor/TestDocument.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fw {
namespace {

using namespace test;

constexpr int kName = ColumnOfField(kFieldName);

TEST(ClipboardTextTest, SplitsAtEveryLineEndAndKeepsALastLineWithoutOne) {
    const std::vector<std::pair<std::string, std::vector<std::string_view>>> cases = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\nb", {"a", "", "b"}},
        {"\r\n", {""}},
    };
    for (const auto& [text, lines] : cases)
        EXPECT_EQ(SplitClipboardLines(text), lines) << text;
}

TEST(PoolCommandsTest, EditCellChecksTrimsAndWritesOnlyChanges) {
    struct Case {
        int column;
        std::string text;
        EditStatus status;
        int messageId;
        std::string cell;
    };
    const std::vector<Case> cases = {
        {kName, "a\tb", EditStatus::CellRejected, str::kCellNoLineBreaks, "P3"},
        {kName, "x\ny", EditStatus::CellRejected, str::kCellNoLineBreaks, "P3"},
        {kName, "  New  ", EditStatus::Done, 0, "New"},
        {kName, "P3", EditStatus::NothingToDo, 0, "P3"},
        {ColumnOfField(kFieldPolarisation), "v", EditStatus::Done, 0, "V"},
        {ColumnOfField(kFieldSid), " 17 ", EditStatus::Done, 0, "17"},
        {ColumnOfField(kFieldSid), "1a", EditStatus::CellRejected, str::kCellOnlyDigits, "28106"},
        {kAdrColumn, "9", EditStatus::NothingToDo, 0, ""},
    };
    for (const Case& c : cases) {
        ListDocument doc = Document(5);
        const EditResult result = EditCell(doc, 3, c.column, c.text);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.messageId, c.messageId);
        if (c.column != kAdrColumn) {
            EXPECT_EQ(doc.pool.Cell(3, FieldOfColumn(c.column)), c.cell);
        }
    }
}

TEST(PoolCommandsTest, CopyAndPasteOverwritingWritesTheLinesFromTheTarget) {
    ListDocument doc = Document(6, {10});
    const std::string text = CopyRows(doc, {5, 3, 3});
    EXPECT_EQ(text, ProgramLine("P3") + "\r\n" + ProgramLine("P5") + "\r\n");

    EXPECT_EQ(PasteOverwriting(doc, 10, text).status, EditStatus::Done);
    EXPECT_EQ(Names(doc, 9, 4), (std::vector<std::string>{"", "P3", "P5", ""}));
    EXPECT_EQ(Bank(doc, 0), std::vector<int>{10}) << "an overwritten row keeps its references";

    // Invalid fields are emptied; lines past the last row are dropped.
    PasteOverwriting(doc, kPoolRows - 1, "$$\tX\t1\tH\t1\t3\\4\t1\t1\t1\t1\t1\nY\n");
    EXPECT_EQ(doc.pool.Cell(kPoolRows - 1, kFieldCa), "");
    EXPECT_EQ(doc.pool.Cell(kPoolRows - 1, kFieldName), "X");
}

TEST(PoolCommandsTest, PasteInsertingShiftsRowsAndBankReferences) {
    ListDocument doc = Document(3, {0, 2});
    doc.pool.SetRowFromLine(kPoolRows - 1, ProgramLine("Last"));
    doc.banks.Insert(1, CFavEintrag{kPoolRows - 1}, -1);

    const std::string text = CopyRows(doc, {1, 2});
    EXPECT_EQ(PasteInserting(doc, 0, text).status, EditStatus::Done);
    EXPECT_EQ(Names(doc, 0, 5), (std::vector<std::string>{"P1", "P2", "P0", "P1", "P2"}));
    EXPECT_EQ(Bank(doc, 0), (std::vector<int>{2, 4}));
    EXPECT_EQ(doc.banks.GetCount(1), 0) << "the program pushed off the end takes its entry along";
    EXPECT_TRUE(doc.pool.IsRowEmpty(kPoolRows - 1));
}

TEST(PoolCommandsTest, CutAndPasteMovesProgramsAndBankReferences) {
    struct Case {
        bool inserting;
        int target;
        std::vector<std::string> names; // rows 0..11 afterwards
    };
    const std::vector<Case> cases = {
        // The target program moves up to row 8, the cut rows land just before it.
        {true, 10, {"P0", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P1", "P2", "P10", "P11"}},
        {true, 0, {"P1", "P2", "P0", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P10", "P11"}},
        // Overwriting at row 10 (row 8 once the cut rows are gone) replaces P10 and P11.
        {false, 10, {"P0", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P1", "P2", "P12", "P13"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        ListDocument doc = Document(14, {0, 1, 2, 10, 13});
        const std::vector<std::string> bankBefore = BankNames(doc, 0);
        const std::string text = CutRows(doc, {1, 2});
        const EditResult result = c.inserting ? PasteInserting(doc, c.target, text)
                                              : PasteOverwriting(doc, c.target, text);
        EXPECT_EQ(result.status, EditStatus::Done);
        EXPECT_EQ(Names(doc, 0, 12), c.names);
        EXPECT_EQ(Names(doc, 12, 2)[1], c.inserting ? "P13" : "");
        EXPECT_FALSE(doc.poolCut);
        std::vector<std::string> expected = bankBefore;
        if (!c.inserting)
            std::erase(expected, "P10"); // overwritten: its entries go
        EXPECT_EQ(BankNames(doc, 0), expected);
        // Rows emptied at the end map to nothing, so no entry points at them.
        for (int address : Bank(doc, 0))
            EXPECT_FALSE(doc.pool.IsRowEmpty(address)) << address;
    }
}

TEST(PoolCommandsTest, APendingCutChangesNothingUnlessItsPasteCanLand) {
    ListDocument doc = Document(6, {1});
    const std::string text = CutRows(doc, {1, 2});

    // Several rows selected: checked before the cut rows are taken out.
    EXPECT_EQ(PasteInserting(doc, -1, text).status, EditStatus::NothingToDo);
    EXPECT_EQ(PasteOverwriting(doc, -1, text).status, EditStatus::NothingToDo);
    EXPECT_EQ(Names(doc, 0, 3), (std::vector<std::string>{"P0", "P1", "P2"}));
    ASSERT_TRUE(doc.poolCut);

    EXPECT_EQ(PasteInserting(doc, 2, text).status, EditStatus::TargetInCut);
    EXPECT_EQ(Names(doc, 0, 3), (std::vector<std::string>{"P0", "P1", "P2"}));
    EXPECT_FALSE(doc.poolCut);

    // Something else was copied meanwhile: the paste is a plain copy.
    CutRows(doc, {1});
    PasteInserting(doc, 4, text + "x");
    EXPECT_EQ(Names(doc, 0, 8),
              (std::vector<std::string>{"P0", "P1", "P2", "P3", "P1", "P2", "", "P4"}));
    EXPECT_EQ(Bank(doc, 0), std::vector<int>{1});
}

TEST(PoolCommandsTest, ClearAndDeleteRemoveTheProgramsFromTheBanks) {
    ListDocument doc = Document(10, {4, 8, 7, 3});
    doc.banks.Insert(2, CFavEintrag{9}, -1);
    EXPECT_EQ(DeleteRows(doc, {7, 4}).status, EditStatus::Done);
    EXPECT_EQ(Bank(doc, 0), (std::vector<int>{6, 3}));
    EXPECT_EQ(Bank(doc, 2), std::vector<int>{7});
    EXPECT_EQ(Names(doc, 3, 6), (std::vector<std::string>{"P3", "P5", "P6", "P8", "P9", ""}));

    ClearRows(doc, {3});
    EXPECT_TRUE(doc.pool.IsRowEmpty(3));
    EXPECT_EQ(Bank(doc, 0), std::vector<int>{6});

    InsertEmptyRows(doc, 6, 2);
    EXPECT_EQ(Bank(doc, 0), std::vector<int>{8});
    EXPECT_EQ(Bank(doc, 2), std::vector<int>{9});
}

TEST(PoolCommandsTest, AddToBankChecksCapacityThenCompleteness) {
    ListDocument doc = Document(6);
    for (int i = 0; i < kBankCapacity - 4; ++i)
        doc.banks.Insert(3, CFavEintrag{0}, -1);
    EXPECT_EQ(AddToBank(doc, {1, 2, 3, 4, 5}, 3, -1).messageId, str::kBankAlreadyFull);
    EXPECT_EQ(doc.banks.GetCount(3), kBankCapacity - 4);
    EXPECT_EQ(AddToBank(doc, {1, 2, 4, 5}, 3, -1).status, EditStatus::Done);
    EXPECT_EQ(doc.banks.GetCount(3), kBankCapacity);

    doc.pool.SetCell(3, kFieldVideoPid, "");
    doc.pool.SetCell(3, kFieldSid, "");
    const EditResult result = AddToBank(doc, {3, 2, 1}, 1, -1);
    EXPECT_EQ(result.messageId, str::kAddIncompleteProgram);
    EXPECT_EQ(result.row, 3);
    EXPECT_EQ(Bank(doc, 1), (std::vector<int>{1, 2})) << "rows before the incomplete one stay";

    // Untyped lists use the radio rule, which needs no video PID.
    doc.listType = kListUnknown;
    EXPECT_EQ(AddToBank(doc, {3, 9}, 1, 1).messageId, str::kAddIncompleteProgram)
        << "an empty row is never complete";
    EXPECT_EQ(Bank(doc, 1), (std::vector<int>{1, 3, 2}));
}

TEST(PoolCommandsTest, AddToBankRefusesAProgramTheBankHoldsAndNamesItsEntry) {
    struct Case {
        const char* what;
        std::vector<int> rows;
        int bank;
        std::vector<int> bankAfter;
        std::string message; // empty: added
    };
    const std::vector<Case> cases = {
        {"one already there", {4}, 0, {2, 4}, "\"P4\" (place 4) is already entry 1 of bank F0"},
        {"one of several", {1, 2, 3}, 0, {2, 4}, "\"P2\" (place 2) is already entry 0 of bank F0"},
        {"another bank may hold it", {4}, 1, {4}, ""},
        {"twice in one add counts once", {5, 5}, 0, {2, 4, 5}, ""},
    };
    for (const Case& c : cases) {
        ListDocument doc = Document(6, {2, 4});
        const EditResult result = AddToBank(doc, c.rows, c.bank, -1);
        EXPECT_EQ(Bank(doc, c.bank), c.bankAfter) << c.what;
        EXPECT_EQ(result.status, c.message.empty() ? EditStatus::Done : EditStatus::AlreadyInBank)
            << c.what;
        EXPECT_THAT(result.message, ::testing::StartsWith(c.message)) << c.what;
    }
}

TEST(PoolCommandsTest, SearchFoldsCaseOfTheCodePageAndWraps) {
    ListDocument doc = Document(3);
    doc.pool.SetCell(1, kFieldName, "Radio M\xDCNCHEN");  // MÜNCHEN in Windows-1252
    doc.pool.SetCell(2, kFieldName, "\xA0m\xFCnchen TV"); // münchen
    struct Case {
        std::string text;
        int selected;
        int row;
    };
    const std::vector<Case> cases = {
        {"m\xFCnchen", -1, 1}, {"m\xFCnchen", 1, 2}, {"M\xDCNCHEN", 2, 1},
        {"p0", 0, 0},          {"radio", 1, 1},      {"\xDF", -1, -1},
    };
    for (const Case& c : cases) {
        const EditResult result = SearchPool(doc, c.text, c.selected);
        EXPECT_EQ(result.row, c.row) << c.text << " after " << c.selected;
        EXPECT_EQ(result.messageId, c.row < 0 ? str::kSearchTextNotFound : 0);
    }
    EXPECT_EQ(SearchPool(doc, "", -1).status, EditStatus::NothingToDo);
}

} // namespace
} // namespace fw

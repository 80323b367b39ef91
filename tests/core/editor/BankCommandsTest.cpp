#include "core/editor/BankCommands.h"
#include "core/editor/PoolCommands.h"
#include "core/res/StringIds.h"
#include "tests/core/editor/TestDocument.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

using namespace test;

TEST(BankCommandsTest, MarksFollowTheBankOnDisplay) {
    ListDocument doc = Document(8, {3, 5, 3});
    doc.banks.Insert(4, CFavEintrag{6}, -1);
    std::vector<bool> marks = PoolMarks(doc.banks, 0);
    EXPECT_TRUE(marks[3] && marks[5]);
    EXPECT_FALSE(marks[6]);
    EXPECT_TRUE(PoolMarks(doc.banks, 4)[6]);
    EXPECT_EQ(AdrColumnText(17, true), "17 =");
    EXPECT_EQ(AdrColumnText(17, false), "17");

    // One of two occurrences deleted: still marked; the last one deleted: not.
    DeleteBankEntries(doc, 0, {0, kBankCapacity});
    EXPECT_TRUE(PoolMarks(doc.banks, 0)[3]);
    DeleteBankEntries(doc, 0, {1});
    EXPECT_FALSE(PoolMarks(doc.banks, 0)[3]);
    EXPECT_EQ(Bank(doc, 0), std::vector<int>{5});
}

TEST(BankCommandsTest, CopyAndPasteTakeOnlyLinesThatNameAPoolProgram) {
    ListDocument doc = Document(8, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(CopyBankEntries(doc, 0, {5, 2, 6}), "P3\t3\r\nP6\t6\r\n");

    struct Case {
        std::string clipboard;
        int position;
        std::vector<int> bank1; // bank 1 starts as {7, 0}
        int messageId;
    };
    const std::vector<Case> cases = {
        {"P3\t3\r\nP6\t6\r\n", -1, {7, 0, 3, 6}, 0},
        {"P3\t3\nP6\t6", 1, {7, 3, 6, 0}, 0}, // LF line ends, no line end at the last line
        {"P3\t3\rP6\t6\r", 5, {7, 0, 3, 6}, 0},
        {"p3\t3\r\nP6\t6\r\n", -1, {7, 0, 6}, str::kNotAllProgramsPasted}, // case matters
        {"P3\t4\r\nP6\t6\textra\r\n", -1, {7, 0}, str::kNotAllProgramsPasted},
        {"\t\r\n\t4000\r\nP0\t\r\n", -1, {7, 0, 0}, str::kNotAllProgramsPasted},
        {"\t99999999999\r\n", -1, {7, 0}, str::kNotAllProgramsPasted},
    };
    for (const Case& c : cases) {
        ListDocument target = doc;
        target.banks.Insert(1, CFavEintrag{7}, -1);
        target.banks.Insert(1, CFavEintrag{0}, -1);
        const EditResult result = PasteBankEntries(target, 1, c.position, c.clipboard);
        EXPECT_EQ(Bank(target, 1), c.bank1) << c.clipboard;
        EXPECT_EQ(result.messageId, c.messageId) << c.clipboard;
    }
}

TEST(BankCommandsTest, ACopyFillsTheBankAndStops) {
    ListDocument doc = Document(3);
    for (int i = 0; i < kBankCapacity - 1; ++i)
        doc.banks.Insert(2, CFavEintrag{0}, -1);
    const EditResult result = PasteBankEntries(doc, 2, -1, "P1\t1\r\nP2\t2\r\nP1\t1\r\n");
    EXPECT_EQ(result.messageId, str::kFavouriteBankFull);
    EXPECT_EQ(doc.banks.GetCount(2), kBankCapacity);
    EXPECT_EQ(doc.banks.GetAddress(2, kBankCapacity - 1), 1);
}

TEST(BankCommandsTest, CutAndPasteMovesEntriesWithinAndBetweenBanks) {
    struct Case {
        int targetBank;
        int position;
        std::vector<int> bank1;
        std::vector<int> bank4;
    };
    // Bank 1 holds {0, 1, 2, 3, 4}; entries 1 and 2 are cut.
    const std::vector<Case> cases = {
        {4, -1, {0, 3, 4}, {9, 1, 2}},
        {4, 0, {0, 3, 4}, {1, 2, 9}},
        {1, 4, {0, 3, 1, 2, 4}, {9}}, // before entry 4, counted before the cut
        {1, 2, {0, 3, 4, 1, 2}, {9}}, // the position was cut: at the end
    };
    for (const Case& c : cases) {
        ListDocument doc = Document(10);
        for (int address = 0; address < 5; ++address)
            doc.banks.Insert(1, CFavEintrag{address}, -1);
        doc.banks.Insert(4, CFavEintrag{9}, -1);
        const std::string text = CutBankEntries(doc, 1, {1, 2});
        EXPECT_EQ(PasteBankEntries(doc, c.targetBank, c.position, text).status, EditStatus::Done);
        EXPECT_EQ(Bank(doc, 1), c.bank1) << c.targetBank << "/" << c.position;
        EXPECT_EQ(Bank(doc, 4), c.bank4) << c.targetBank << "/" << c.position;
        EXPECT_FALSE(doc.bankCut);
        // Pasting the same text again is a copy.
        PasteBankEntries(doc, 7, -1, text);
        EXPECT_EQ(Bank(doc, 1), c.bank1);
    }
}

TEST(BankCommandsTest, AMoveIntoABankThatCannotTakeItRemovesNothing) {
    ListDocument doc = Document(3, {1, 2});
    for (int i = 0; i < kBankCapacity - 1; ++i)
        doc.banks.Insert(5, CFavEintrag{0}, -1);
    const std::string text = CutBankEntries(doc, 0, {0, 1});
    EXPECT_EQ(PasteBankEntries(doc, 5, -1, text).messageId, str::kFavouriteBankFull);
    EXPECT_EQ(Bank(doc, 0), (std::vector<int>{1, 2}));
    EXPECT_EQ(doc.banks.GetCount(5), kBankCapacity - 1);
    EXPECT_TRUE(doc.bankCut) << "the cut can still be pasted elsewhere";

    // Within a full bank, a move frees the places it needs.
    ListDocument full = Document(3);
    for (int i = 0; i < kBankCapacity; ++i)
        full.banks.Insert(5, CFavEintrag{i % 3}, -1);
    const std::string moved = CutBankEntries(full, 5, {0, 1});
    EXPECT_EQ(PasteBankEntries(full, 5, -1, moved).status, EditStatus::Done);
    EXPECT_EQ(full.banks.GetAddress(5, kBankCapacity - 1), 1);
}

TEST(BankCommandsTest, APendingBankCutEndsWhenItsBankChangesElsewhere) {
    struct Case {
        const char* what;
        void (*change)(ListDocument&);
        bool kept;
    };
    const std::vector<Case> cases = {
        {"copy in the pool", [](ListDocument& d) { CopyRows(d, {1}); }, true},
        {"a cell that is not the name", [](ListDocument& d) { EditCell(d, 1, 7, "5"); }, true},
        {"rename", [](ListDocument& d) { EditCell(d, 1, 2, "New"); }, false},
        {"clear a row in the bank", [](ListDocument& d) { ClearRows(d, {2}); }, false},
        {"clear a row in no bank", [](ListDocument& d) { ClearRows(d, {5}); }, true},
        {"add to that bank", [](ListDocument& d) { AddToBank(d, {4}, 0, 0); }, false},
        {"add to another bank", [](ListDocument& d) { AddToBank(d, {4}, 3, 0); }, true},
        {"delete a row", [](ListDocument& d) { DeleteRows(d, {6}); }, false},
        {"insert a row", [](ListDocument& d) { InsertEmptyRows(d, 6, 1); }, false},
    };
    for (const Case& c : cases) {
        ListDocument doc = Document(8, {1, 2, 3});
        CutBankEntries(doc, 0, {2});
        c.change(doc);
        EXPECT_EQ(doc.bankCut.has_value(), c.kept) << c.what;
    }
}

TEST(BankCommandsTest, SearchWrapsOverTheEntries) {
    ListDocument doc = Document(5, {4, 1, 4});
    EXPECT_EQ(SearchBank(doc, 0, "p4", -1).row, 0);
    EXPECT_EQ(SearchBank(doc, 0, "p4", 0).row, 2);
    EXPECT_EQ(SearchBank(doc, 0, "p4", 2).row, 0);
    EXPECT_EQ(SearchBank(doc, 0, "P1", 3).row, 1) << "from the trailing empty row";
    EXPECT_EQ(SearchBank(doc, 0, "P0", -1).messageId, str::kSearchTextNotFound);
    EXPECT_EQ(SearchBank(doc, 0, "", -1).status, EditStatus::NothingToDo);
}

} // namespace
} // namespace fw

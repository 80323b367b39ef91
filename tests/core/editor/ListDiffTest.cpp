#include "core/editor/ListDiff.h"
#include "core/editor/EditHistory.h"
#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "tests/core/editor/TestDocument.h"

#include <gtest/gtest.h>

#include <random>

namespace fw {
namespace {

using namespace test;

std::string DiffProgram(const std::string& name, int sid) {
    return ProgramLine(name, sid);
}

void PutBank(ListDocument& doc, int bank, const std::vector<int>& places) {
    for (int place : places)
        doc.banks.Insert(bank, CFavEintrag{place}, -1);
}

// Left and right lists holding one place of every mark.
struct DiffLists {
    ListDocument left;
    ListDocument right;
};

DiffLists MarkLists() {
    DiffLists lists;
    ListDocument& a = lists.left;
    ListDocument& b = lists.right;
    a.listType = kListTv;
    a.description = "Mine";
    b.listType = kListRadio;
    b.description = "Theirs";
    const std::vector<std::string> left = {DiffProgram("A", 1), DiffProgram("B", 2),
                                           DiffProgram("C", 3), DiffProgram("D", 4),
                                           DiffProgram("E", 5)};
    for (std::size_t place = 0; place < left.size(); ++place)
        a.pool.SetRowFromLine(static_cast<int>(place), left[place]);
    // Nothing the rule recognises (no name, no SID): equal places still pair.
    a.pool.SetRowFromLine(6, "\t\t12345");
    b.pool.SetRowFromLine(0, DiffProgram("A", 1));
    b.pool.SetRowFromLine(1, DiffProgram("B2", 2));
    b.pool.SetRowFromLine(3, DiffProgram("F", 6));
    b.pool.SetRowFromLine(5, DiffProgram("G", 7));
    b.pool.SetRowFromLine(6, "\t\t12345");
    b.pool.SetRowFromLine(7, DiffProgram("C", 3));
    b.pool.SetRowFromLine(8, DiffProgram("E HD", 5));
    PutBank(a, 0, {0, 1, 2});
    PutBank(b, 0, {0, 1, 7}); // the same programs
    PutBank(a, 1, {0, 3});
    PutBank(b, 1, {0, 3}); // D left the bank, F came
    PutBank(a, 2, {0, 1});
    PutBank(b, 2, {1, 0});
    PutBank(b, 3, {70000}); // as a receiver may send it: beyond the places
    return lists;
}

std::string PlainBytes(std::string_view bytes) {
    return std::string(bytes);
}

TEST(ListDiffTest, PairsEveryMarkAndListsTheDifferences) {
    const DiffLists lists = MarkLists();
    const ListDiff diff = CompareListDocuments(lists.left, lists.right);
    struct Expected {
        int left;
        int right;
        PairMark mark;
        unsigned fields;
    };
    const unsigned name = 1u << kFieldName;
    const std::vector<Expected> expected = {
        {0, 0, PairMark::Same, 0},       {1, 1, PairMark::Changed, name},
        {2, 7, PairMark::Moved, 0},      {3, -1, PairMark::OnlyLeft, 0},
        {-1, 3, PairMark::OnlyRight, 0}, {4, 8, PairMark::Moved, name},
        {-1, 5, PairMark::OnlyRight, 0}, {6, 6, PairMark::Same, 0},
    };
    ASSERT_EQ(diff.pairs.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(diff.pairs[i].left, expected[i].left);
        EXPECT_EQ(diff.pairs[i].right, expected[i].right);
        EXPECT_EQ(diff.pairs[i].mark, expected[i].mark);
        EXPECT_EQ(diff.pairs[i].changedFields, expected[i].fields);
    }
    EXPECT_EQ(diff.Count(PairMark::OnlyRight), 2);
    ASSERT_EQ(diff.banks.size(), 3u);
    EXPECT_EQ(diff.banks[0].bank, 1);
    EXPECT_EQ(diff.banks[0].added, std::vector<int>{3});
    EXPECT_EQ(diff.banks[0].removed, std::vector<int>{3});
    EXPECT_TRUE(diff.banks[1].reordered);

    const std::vector<DiffLine> lines = DiffLines(diff, lists.left, lists.right, PlainBytes);
    std::vector<std::string> texts;
    for (const DiffLine& line : lines)
        texts.push_back(line.text + (line.counts ? "" : " [free]"));
    const std::vector<std::string> wanted = {
        R"(type "TV" -> "RA" (not counted) [free])",
        R"(description "Mine" -> "Theirs" (not counted) [free])",
        R"(place 1 changed: name "B" -> "B2")",
        R"(moved 2 -> 7: "C")",
        R"(place 3 only in A: "D" (11836 H, SID 4, 1))",
        R"(place 3 only in B: "F" (11836 H, SID 6, 1))",
        R"(moved 4 -> 8: "E", changed: name "E" -> "E HD")",
        R"(place 5 only in B: "G" (11836 H, SID 7, 1))",
        "bank F1: +F, -D",
        "bank F2: same entries, other order",
        "bank F3: +(place 70000)",
    };
    EXPECT_EQ(texts, wanted);
    EXPECT_TRUE(AnyCountingLine(lines));
    EXPECT_EQ(BankDiffText(diff.banks[0], lists.left, lists.right), "+F, -D");
}

TEST(ListDiffTest, TypeAndDescriptionAloneDoNotCount) {
    ListDocument a = Document(3, {0, 2});
    ListDocument b = a;
    b.listType = kListRadio;
    b.description = "other";
    const ListDiff diff = CompareListDocuments(a, b);
    const std::vector<DiffLine> lines = DiffLines(diff, a, b, PlainBytes);
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_FALSE(AnyCountingLine(lines));
    EXPECT_FALSE(diff.Differs());
}

// The exit code follows the lines; both must agree with "every place and every bank entry equal,
// in order", whatever changed. Random edits of small lists, duplicates and empty names included.
TEST(ListDiffTest, LinesCountExactlyWhenPlacesOrBanksDiffer) {
    std::mt19937 random(19);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::vector<std::string> programs = {
        DiffProgram("X", 1), DiffProgram("Y", 2), DiffProgram("X", 1), "\t\t500", "\tZ",
        DiffProgram("y", 0)};
    for (int round = 0; round < 120; ++round) {
        ListDocument a;
        for (int place = 0; place < 6; ++place)
            if (pick(3) != 0)
                a.pool.SetRowFromLine(place, programs[static_cast<std::size_t>(pick(6))]);
        for (int entry = pick(4); entry > 0; --entry)
            a.banks.Insert(pick(2), CFavEintrag{pick(6)}, -1);
        ListDocument b = a;
        switch (pick(5)) {
        case 0:
            b.pool.SetRowFromLine(pick(6), programs[static_cast<std::size_t>(pick(6))]);
            break;
        case 1:
            b.pool.SetRowFromLine(pick(6), "");
            break;
        case 2:
            b.banks.Insert(pick(2), CFavEintrag{pick(6)}, 0);
            break;
        case 3:
            b.banks.RemoveAt(pick(2), 0);
            break;
        default:
            break;
        }
        bool equal = a.banks.SameBanks(b.banks);
        for (int place = 0; place < kPoolRows; ++place)
            equal = equal && a.pool.Row(place) == b.pool.Row(place);
        const ListDiff diff = CompareListDocuments(a, b);
        SCOPED_TRACE(round);
        EXPECT_EQ(AnyCountingLine(DiffLines(diff, a, b, PlainBytes)), !equal);
        EXPECT_EQ(diff.Differs(), !equal);
    }
}

std::vector<int> AllPairIndices(const ListDiff& diff) {
    std::vector<int> indices(diff.pairs.size());
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<int>(i);
    return indices;
}

TEST(ListDiffTest, TakeOverAtPlaceOrAtEndIsOneUndoStep) {
    struct Case {
        TakeOverPlace where;
        std::vector<std::string> names; // places 0..9 afterwards
        std::vector<int> bank0;
        TakeOverReport report;
    };
    const std::vector<Case> cases = {
        // B updated; C and E move to their empty right places, C's bank entry with it; F finds
        // its place taken by D and goes after the last program; G lands on its free place.
        {TakeOverPlace::AtPlace,
         {"A", "B2", "", "D", "", "G", "", "C", "E HD", "F"},
         {0, 1, 7},
         {{1, 5, 7, 8, 9}, 1, 2, 1, 1}},
        // Programs the list has take the right fields where they stand; new ones follow.
        {TakeOverPlace::AtEnd,
         {"A", "B2", "C", "D", "E HD", "", "", "F", "G", ""},
         {0, 1, 2},
         {{1, 4, 7, 8}, 2, 0, 0, 2}},
    };
    for (const Case& c : cases) {
        DiffLists lists = MarkLists();
        const std::string before =
            BuildListFileText(kListTv, "Mine", lists.left.pool, lists.left.banks);
        const ListDiff diff = CompareListDocuments(lists.left, lists.right);
        EditHistory history;
        TakeOverReport report;
        // Same pairs and only-left ones in the choice are passed over.
        const EditResult result = history.Run(lists.left, [&](ListDocument& doc) {
            return TakeOver(doc, lists.right, diff, AllPairIndices(diff), c.where, &report);
        });
        SCOPED_TRACE(static_cast<int>(c.where));
        EXPECT_EQ(result.status, EditStatus::Done);
        EXPECT_EQ(history.UndoName(), str::kStepTakeOver);
        EXPECT_EQ(Names(lists.left, 0, 10), c.names);
        EXPECT_EQ(Bank(lists.left, 0), c.bank0);
        EXPECT_EQ(report.rows, c.report.rows);
        EXPECT_EQ(report.updated, c.report.updated);
        EXPECT_EQ(report.moved, c.report.moved);
        EXPECT_EQ(report.atPlace, c.report.atPlace);
        EXPECT_EQ(report.atEnd, c.report.atEnd);
        ASSERT_TRUE(history.Undo(lists.left));
        EXPECT_EQ(BuildListFileText(kListTv, "Mine", lists.left.pool, lists.left.banks), before);
        EXPECT_FALSE(history.CanUndo());
    }
}

TEST(ListDiffTest, TakeOverRefusesWhatDoesNotFitAndNeedsARightProgram) {
    ListDocument full;
    for (int place = 0; place < kPoolRows; ++place)
        full.pool.SetRowFromLine(place, DiffProgram("P" + std::to_string(place), 10000 + place));
    ListDocument other;
    other.pool.SetRowFromLine(0, DiffProgram("New", 1));
    const ListDiff diff = CompareListDocuments(full, other);
    const std::string before = BuildListFileText(kListTv, "", full.pool, full.banks);
    int onlyRight = -1;
    int onlyLeft = -1;
    for (std::size_t i = 0; i < diff.pairs.size(); ++i) {
        if (diff.pairs[i].mark == PairMark::OnlyRight)
            onlyRight = static_cast<int>(i);
        if (diff.pairs[i].mark == PairMark::OnlyLeft && onlyLeft < 0)
            onlyLeft = static_cast<int>(i);
    }
    const EditResult refused = TakeOver(full, other, diff, {onlyRight}, TakeOverPlace::AtPlace);
    EXPECT_EQ(refused.status, EditStatus::LinesRejected);
    EXPECT_EQ(refused.messageId, str::kTakeOverNoRoom);
    EXPECT_NE(refused.message.find('1'), std::string::npos);
    EXPECT_EQ(BuildListFileText(kListTv, "", full.pool, full.banks), before);
    const EditResult nothing = TakeOver(full, other, diff, {onlyLeft}, TakeOverPlace::AtEnd);
    EXPECT_EQ(nothing.status, EditStatus::NothingToDo);
    EXPECT_EQ(nothing.messageId, str::kCompareChooseRight);

    // With room only at the top, a new program takes the first free place there.
    full.pool.SetRowFromLine(2, "");
    const ListDiff again = CompareListDocuments(full, other);
    std::vector<int> chosen;
    for (std::size_t i = 0; i < again.pairs.size(); ++i)
        if (again.pairs[i].mark == PairMark::OnlyRight)
            chosen.push_back(static_cast<int>(i));
    TakeOverReport report;
    EXPECT_EQ(TakeOver(full, other, again, chosen, TakeOverPlace::AtEnd, &report).status,
              EditStatus::Done);
    EXPECT_EQ(report.rows, std::vector<int>{2});
    EXPECT_EQ(full.pool.Cell(2, kFieldName), "New");
}

} // namespace
} // namespace fw

#include "core/editor/OrderLike.h"
#include "core/editor/EditHistory.h"
#include "core/res/StringTable.h"
#include "tests/core/editor/TestDocument.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace fw {
namespace {

using namespace test;
using ::testing::HasSubstr;

// The SID comes from the first letter, so "Ard" and "Ard HD" are one program renamed.
std::string OrderProgram(const std::string& name) {
    return ProgramLine(name, 28000 + static_cast<unsigned char>(name.front()));
}

// "0=A 3=B | b0=3,0 b1=0": programs by place, then banks by their entries' places.
ListDocument OrderDocument(const std::string& spec) {
    ListDocument doc;
    doc.listType = kListTv;
    std::istringstream words(spec);
    std::string word;
    bool banks = false;
    while (words >> word) {
        if (word == "|") {
            banks = true;
            continue;
        }
        const auto equals = word.find('=');
        if (!banks) {
            doc.pool.SetRowFromLine(std::stoi(word.substr(0, equals)),
                                    OrderProgram(word.substr(equals + 1)));
            continue;
        }
        const int bank = std::stoi(word.substr(1, equals - 1));
        std::istringstream entries(word.substr(equals + 1));
        for (std::string entry; std::getline(entries, entry, ',');)
            doc.banks.Insert(bank, CFavEintrag{std::stoi(entry)}, -1);
    }
    return doc;
}

struct OrderCounts {
    int matched;
    std::vector<int> added; // new places
    std::vector<int> onlyInReference;
    int ambiguous;
};

std::string OrderStateOf(const ListDocument& doc) {
    return test::ListState(doc.pool, doc.banks);
}

TEST(OrderLikeTest, PutsTheListIntoTheReferenceOrder) {
    struct Case {
        const char* what;
        std::string reference;
        std::string list;
        RestPlacement rest;
        std::string expected;
        OrderCounts counts;
    };
    const std::vector<Case> cases = {
        {"matched to reference places, missing left empty, new after the last matched",
         "0=A 1=B 2=C 3=D",
         "0=D 1=X 2=B 3=A",
         RestPlacement::End,
         "0=A 1=B 3=D 4=X |",
         {3, {4}, {2}, 0}},
        {"a renamed program matches by SID and keeps the list's name",
         "0=Ard 1=Zdf",
         "0=Zdf 1=Ard_HD",
         RestPlacement::End,
         "0=Ard_HD 1=Zdf |",
         {2, {}, {}, 0}},
        {"end: the rest in its order after the last matched",
         "0=A 1=B 2=C 3=D",
         "0=D 1=X 2=B 3=A 6=Y",
         RestPlacement::End,
         "0=A 1=B 3=D 4=X 5=Y |",
         {3, {4, 5}, {2}, 0}},
        {"keep: the rest stays where free, the others as with end",
         "0=A 1=B 2=C 3=D",
         "0=D 1=X 2=B 3=A 6=Y",
         RestPlacement::Keep,
         "0=A 1=B 3=D 4=X 6=Y |",
         {3, {4, 6}, {2}, 0}},
        {"keep: a kept program's place is skipped by the displaced ones",
         "0=A 1=B",
         "0=B 1=X 2=Y 3=A",
         RestPlacement::Keep,
         "0=A 1=B 2=Y 3=X |",
         {2, {2, 3}, {}, 0}},
        {"no match at all: the rest from place 0",
         "0=A",
         "5=X 7=Y",
         RestPlacement::End,
         "0=X 1=Y |",
         {0, {0, 1}, {0}, 0}},
        {"past the last place into the free places from the top",
         "3998=A",
         "0=X 1=A 2=Y 3=Z",
         RestPlacement::End,
         "0=Y 1=Z 3998=A 3999=X |",
         {1, {0, 1, 3999}, {}, 0}},
        {"two reference programs match one: the first wins, the second stays empty",
         "0=A 1=A 2=B",
         "0=B 1=A",
         RestPlacement::End,
         "0=A 2=B |",
         {2, {}, {1}, 1}},
        {"one reference program matches two: the second is new, never dropped",
         "0=A 1=B",
         "0=A 1=A 2=B",
         RestPlacement::End,
         "0=A 1=B 2=A |",
         {2, {2}, {}, 1}},
        {"duplicates on both sides pair up in order",
         "0=A 1=A",
         "0=A 1=A",
         RestPlacement::End,
         "0=A 1=A |",
         {2, {}, {}, 0}},
        {"reference banks carried over, the list's own entries of new programs after them",
         "0=A 1=B 2=C 3=D | b0=2,3,0 b1=1 b2=3",
         "0=D 1=X 2=B 3=A 4=Y | b0=1,3,1,4 b1=0 b3=4",
         RestPlacement::End,
         "0=A 1=B 3=D 4=X 5=Y | b0=3,0,4,5 b1=1 b2=3 b3=5",
         {3, {4, 5}, {2}, 0}},
        {"the list's entries of matched programs and of empty places go",
         "0=A",
         "0=A | b0=5,0",
         RestPlacement::End,
         "0=A |",
         {1, {}, {}, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ListDocument reference = OrderDocument(c.reference);
        ListDocument doc = OrderDocument(c.list);
        OrderLikeReport report;
        OrderLike(doc, reference.pool, reference.banks, c.rest, report);
        EXPECT_EQ(OrderStateOf(doc), c.expected);
        EXPECT_EQ(report.matched, c.counts.matched);
        EXPECT_EQ(AddedPlaces(report), c.counts.added);
        std::vector<int> onlyInReference;
        for (const auto& program : report.onlyInReference)
            onlyInReference.push_back(program.place);
        EXPECT_EQ(onlyInReference, c.counts.onlyInReference);
        EXPECT_EQ(static_cast<int>(report.ambiguous.size()), c.counts.ambiguous);
    }
}

TEST(OrderLikeTest, ReportsAmbiguousMatchesWithTheirWinners) {
    const ListDocument reference = OrderDocument("0=A 1=B 2=A");
    ListDocument doc = OrderDocument("0=B 1=A 2=A 3=A");
    OrderLikeReport report;
    OrderLike(doc, reference.pool, reference.banks, RestPlacement::End, report);
    // Reference 0 takes place 1, reference 2 place 2; place 3 lost to reference 0.
    EXPECT_EQ(OrderStateOf(doc), "0=A 1=B 2=A 3=A |");
    ASSERT_EQ(report.ambiguous.size(), 1u);
    const auto& loser = report.ambiguous.front();
    EXPECT_FALSE(loser.inReference);
    EXPECT_EQ(loser.oldPlace, 3);
    EXPECT_EQ(loser.place, 3);
    EXPECT_EQ(loser.otherPlace, 0);
    EXPECT_EQ(loser.winnerPlace, 1);
    EXPECT_THAT(OrderLikeReportText(report),
                HasSubstr("place 3 \"A\" (was 3): reference place 0 took place 1 first, so new"));

    const ListDocument twice = OrderDocument("0=A 1=A");
    ListDocument single = OrderDocument("0=A");
    OrderLike(single, twice.pool, twice.banks, RestPlacement::End, report);
    ASSERT_EQ(report.ambiguous.size(), 1u);
    EXPECT_TRUE(report.ambiguous.front().inReference);
    EXPECT_THAT(OrderLikeReportText(report),
                HasSubstr("reference place 1 \"A\": place 0 went to reference place 0 first, so "
                          "empty"));
}

TEST(OrderLikeTest, RefusesWhatDoesNotFitAndChangesNothing) {
    // Bank 0 of the reference is full with matched programs; the list's own entry of a new
    // program would be the 1001st.
    ListDocument reference, doc;
    for (int row = 0; row < kBankCapacity; ++row) {
        reference.pool.SetRowFromLine(row, NumberedProgram(row));
        reference.banks.Insert(0, CFavEintrag{row}, -1);
        doc.pool.SetRowFromLine(row, NumberedProgram(row));
    }
    doc.pool.SetRowFromLine(kBankCapacity, ProgramLine("New", 1));
    doc.banks.Insert(0, CFavEintrag{kBankCapacity}, -1);
    const std::string before = OrderStateOf(doc);
    EditHistory history;
    OrderLikeReport report;
    const EditResult result = history.Run(doc, [&](ListDocument& d) {
        return OrderLike(d, reference.pool, reference.banks, RestPlacement::End, report);
    });
    EXPECT_EQ(result.status, EditStatus::BankFull);
    EXPECT_EQ(result.message, "Bank F0 would get 1001 entries but holds only 1000; nothing was "
                              "changed.");
    EXPECT_EQ(OrderStateOf(doc), before);
    EXPECT_FALSE(history.CanUndo());
}

TEST(OrderLikeTest, IsOneUndoStepAndNothingWhenInOrder) {
    const ListDocument reference = OrderDocument("0=A 1=B | b0=1");
    ListDocument doc = OrderDocument("0=B 1=A 2=X | b0=0,2");
    const std::string before = OrderStateOf(doc);
    EditHistory history;
    OrderLikeReport report;
    const auto orderLike = [&](ListDocument& d) {
        return OrderLike(d, reference.pool, reference.banks, RestPlacement::End, report);
    };
    EXPECT_EQ(history.Run(doc, orderLike).status, EditStatus::Done);
    EXPECT_EQ(OrderStateOf(doc), "0=A 1=B 2=X | b0=1,2");
    EXPECT_EQ(history.UndoName(), str::kStepOrderLike);
    EXPECT_EQ(history.Run(doc, orderLike).status, EditStatus::NothingToDo);
    ASSERT_TRUE(history.Undo(doc));
    EXPECT_EQ(OrderStateOf(doc), before);
    EXPECT_FALSE(history.CanUndo());
}

TEST(OrderLikeTest, ReportTextInBothLanguages) {
    const ListDocument reference = OrderDocument("0=A 1=C");
    ListDocument doc = OrderDocument("0=X 1=A");
    OrderLikeReport report;
    OrderLike(doc, reference.pool, reference.banks, RestPlacement::End, report);
    EXPECT_EQ(OrderLikeReportText(report), "Matched: 1\n"
                                           "New in this list: 1\n"
                                           "  place 1 \"X\" (was 0)\n"
                                           "Only in the reference list: 1\n"
                                           "  place 1 \"C\"\n");
    SetLanguage(Language::German);
    const std::string german = OrderLikeReportText(report);
    SetLanguage(Language::English);
    EXPECT_EQ(german, "Zugeordnet: 1\n"
                      "Neu in dieser Liste: 1\n"
                      "  Platz 1 \xE2\x80\x9EX\xE2\x80\x9C (vorher 0)\n"
                      "Nur in der Vorlage: 1\n"
                      "  Platz 1 \xE2\x80\x9E"
                      "C\xE2\x80\x9C\n");
}

} // namespace
} // namespace fw

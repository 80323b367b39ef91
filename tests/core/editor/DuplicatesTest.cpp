#include "core/editor/Duplicates.h"
#include "core/editor/EditHistory.h"
#include "core/res/StringIds.h"
#include "tests/core/editor/TestDocument.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

using namespace test;

// A place as the rule sees it; an empty name leaves the place empty.
struct DupRow {
    std::string name;
    std::string sid;
    std::string satellite = "Astra";
    std::string frequency = "11836";
    std::string polarisation = "H";
};

ListDocument DupDocument(const std::vector<DupRow>& rows) {
    ListDocument doc;
    doc.listType = kListTv;
    for (std::size_t place = 0; place < rows.size(); ++place) {
        const DupRow& r = rows[place];
        if (!r.name.empty())
            doc.pool.SetRowFromLine(static_cast<int>(place),
                                    "\t" + r.name + "\t" + r.frequency + "\t" + r.polarisation +
                                        "\t27500\t3\\4\t" + r.sid + "\t1\t1\t1\t" + r.satellite);
    }
    return doc;
}

TEST(DuplicatesTest, GroupsByEitherRule) {
    const ListDocument doc = DupDocument({
        {"Das Erste", "28106"},
        {"ZDF", "28006", "Astra", "11953"},
        {"Das Erste HD", "28106", "Astra", "11837"},   // same service, 1 MHz off
        {"das \xE9rste", "99", "Astra", "12000", "V"}, // same folded name only
        {},
        {"ZDF", "28006", "", "11953"}, // an empty satellite agrees with any
        {"Arte", ""},
        {" ARTE ", ""}, // no SID: by name and satellite
        {"Das Erste", "28106", "Hotbird"},
        {"X", "500"},
        {"X", "500", ""},
        {"X", "500", "Hotbird"}, // matches only place 10, which is taken by the group of 9
    });
    EXPECT_EQ(FindDuplicates(doc.pool, MatchRule::Program),
              (std::vector<DuplicateGroup>{{0, 2}, {1, 5}, {6, 7}, {9, 10}}));
    EXPECT_EQ(FindDuplicates(doc.pool, MatchRule::Name),
              (std::vector<DuplicateGroup>{{0, 3, 8}, {1, 5}, {6, 7}, {9, 10, 11}}));
    EXPECT_TRUE(FindDuplicates(ListDocument().pool, MatchRule::Program).empty());
}

TEST(DuplicatesTest, RemovalKeepsOneOfEachGroupAndRepointsTheBanksInOneStep) {
    // A, A2 and A3 are one service under three names, B and B2 another.
    const std::vector<DupRow> rows = {{"A", "1"}, {"B", "2"},  {"A2", "1"},
                                      {"C", "3"}, {"A3", "1"}, {"B2", "2"}};
    const std::vector<std::vector<int>> banks = {{4, 3, 2}, {5}, {3}, {3, 3}};
    struct Case {
        const char* what;
        MatchRule rule;
        DuplicateKeep keep;
        int removed;
        std::vector<std::string> names;
        std::vector<std::vector<std::string>> banks;
    };
    const std::vector<Case> cases = {
        {"first of each group",
         MatchRule::Program,
         DuplicateKeep::First,
         3,
         {"A", "B", "C", ""},
         {{"A", "C"}, {"B"}, {"C"}, {"C", "C"}}},
        {"first one a bank names",
         MatchRule::Program,
         DuplicateKeep::Banked,
         3,
         {"A2", "C", "B2", ""},
         {{"A2", "C"}, {"B2"}, {"C"}, {"C", "C"}}},
        {"no two names alike",
         MatchRule::Name,
         DuplicateKeep::First,
         0,
         {"A", "B", "A2", "C", "A3", "B2"},
         {{"A3", "C", "A2"}, {"B2"}, {"C"}, {"C", "C"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListDocument doc = DupDocument(rows);
        for (std::size_t bank = 0; bank < banks.size(); ++bank)
            for (int address : banks[bank])
                doc.banks.Insert(static_cast<int>(bank), CFavEintrag{address}, -1);
        const ListDocument before = doc;
        EditHistory history;
        int removed = -1;
        const EditResult result = history.Run(
            doc, [&](ListDocument& d) { return RemoveDuplicates(d, c.rule, c.keep, &removed); });
        EXPECT_EQ(removed, c.removed);
        EXPECT_EQ(result.status, c.removed > 0 ? EditStatus::Done : EditStatus::NothingToDo);
        EXPECT_EQ(Names(doc, 0, static_cast<int>(c.names.size())), c.names);
        for (std::size_t bank = 0; bank < c.banks.size(); ++bank)
            EXPECT_EQ(BankNames(doc, static_cast<int>(bank)), c.banks[bank]) << "bank " << bank;
        EXPECT_TRUE(FindDuplicates(doc.pool, c.rule).empty());
        // One step, named, brings every place and entry back.
        EXPECT_EQ(history.StepCount(), c.removed > 0 ? 1u : 0u);
        if (c.removed == 0)
            continue;
        EXPECT_EQ(history.UndoName(), str::kStepRemoveDuplicates);
        ASSERT_TRUE(history.Undo(doc));
        EXPECT_EQ(Names(doc, 0, static_cast<int>(rows.size())),
                  Names(before, 0, static_cast<int>(rows.size())));
        EXPECT_TRUE(doc.banks.SameBanks(before.banks));
    }
}

} // namespace
} // namespace fw

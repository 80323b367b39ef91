#include "core/editor/SortCommands.h"
#include "core/editor/EditHistory.h"
#include "core/editor/PoolCommands.h"
#include "tests/core/editor/TestDocument.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

using namespace test;

// One program per row from row 0; the name "-" leaves its row empty.
struct SortRow {
    std::string name;
    std::string frequency = "11836";
    std::string polarisation = "H";
    std::string satellite = "1";
    std::string sid = "1";
};

ListDocument SortDocument(const std::vector<SortRow>& rows) {
    ListDocument doc;
    doc.listType = kListTv;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const SortRow& r = rows[k];
        if (r.name == "-")
            continue;
        doc.pool.SetRowFromLine(static_cast<int>(k), "\t" + r.name + "\t" + r.frequency + "\t" +
                                                         r.polarisation + "\t27500\t3\\4\t" +
                                                         r.sid + "\t1\t1\t1\t" + r.satellite);
    }
    return doc;
}

TEST(SortCommandsTest, SortsByEachKeyStableWithEmptyKeysAndRowsLast) {
    struct Case {
        const char* what;
        SortKey key;
        bool descending;
        std::vector<SortRow> rows;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {"folded names, bytewise digits",
         SortKey::Name,
         false,
         {{"b"}, {"-"}, {"\xC4rger"}, {"B"}, {"a10"}, {"a9"}},
         {"a10", "a9", "\xC4rger", "b", "B", ""}},
        {"descending keeps equal keys in order",
         SortKey::Name,
         true,
         {{"b"}, {"a"}, {"B"}, {"-"}, {"c"}},
         {"c", "b", "B", "a", ""}},
        {"frequency numeric, then H before V, empty after",
         SortKey::Frequency,
         false,
         {{"v", "11836", "V"}, {"none", ""}, {"low", "3800"}, {"h", "11836", "H"}},
         {"low", "h", "v", "none"}},
        {"empty key after in descending too",
         SortKey::Sid,
         true,
         {{"none", "1", "H", "1", ""}, {"two", "1", "H", "1", "2"}, {"ten", "1", "H", "1", "10"}},
         {"ten", "two", "none"}},
        {"satellite numeric, then name",
         SortKey::Satellite,
         false,
         {{"z", "1", "H", "10"}, {"y", "1", "H", "2"}, {"x", "1", "H", "10"}, {"w", "1", "H", "2"}},
         {"w", "y", "x", "z"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListDocument doc = SortDocument(c.rows);
        const int last = static_cast<int>(c.rows.size()) - 1;
        EXPECT_EQ(SortRows(doc, 0, last, c.key, c.descending).status, EditStatus::Done);
        EXPECT_EQ(Names(doc, 0, last + 1), c.names);
    }
}

TEST(SortCommandsTest, BanksFollowAndASortedRangeIsNoStep) {
    ListDocument doc = SortDocument({{"d"}, {"c"}, {"b"}, {"a"}, {"e"}});
    doc.banks.Insert(0, CFavEintrag{1}, -1); // c
    doc.banks.Insert(0, CFavEintrag{4}, -1); // e, outside the range
    EditHistory history;
    const auto sort = [](ListDocument& d) { return SortRows(d, 1, 3, SortKey::Name, false); };
    EXPECT_EQ(history.Run(doc, sort).status, EditStatus::Done);
    EXPECT_EQ(Names(doc, 0, 5), (std::vector<std::string>{"d", "a", "b", "c", "e"}));
    EXPECT_EQ(BankNames(doc, 0), (std::vector<std::string>{"c", "e"}));
    EXPECT_EQ(history.StepCount(), 1u);
    EXPECT_EQ(history.Run(doc, sort).status, EditStatus::NothingToDo);
    EXPECT_EQ(history.StepCount(), 1u) << "an already sorted range adds no step";
    EXPECT_EQ(SortRows(doc, 3, 1, SortKey::Name, false).status, EditStatus::NothingToDo);
    history.Undo(doc);
    EXPECT_EQ(Names(doc, 0, 5), (std::vector<std::string>{"d", "c", "b", "a", "e"}));
    EXPECT_EQ(BankNames(doc, 0), (std::vector<std::string>{"c", "e"}));
}

TEST(SortCommandsTest, SortRangeRunsFromFirstToLastSelectedRow) {
    EXPECT_EQ(SortRange({7, 3, 5}), std::make_pair(3, 7));
    EXPECT_EQ(SortRange({}), std::make_pair(0, kPoolRows - 1));
    EXPECT_EQ(SortKeyOfColumn(ColumnOfField(kFieldPolarisation)), SortKey::Frequency);
    EXPECT_EQ(SortKeyOfColumn(ColumnOfField(kFieldFec)), std::nullopt);
}

TEST(SortCommandsTest, MoveOnePlaceTakesBlocksAndBanksAlongAndStopsAtTheEdge) {
    struct Case {
        std::vector<int> rows;
        int step;
        EditStatus status;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {{2}, -1, EditStatus::Done, {"P0", "P2", "P1", "P3", "P4"}},
        {{1, 2}, -1, EditStatus::Done, {"P1", "P2", "P0", "P3", "P4"}},
        {{1, 3}, 1, EditStatus::Done, {"P0", "P2", "P1", "P4", "P3"}},
        {{0, 2}, -1, EditStatus::NothingToDo, {"P0", "P1", "P2", "P3", "P4"}},
        {{kPoolRows - 1}, 1, EditStatus::NothingToDo, {"P0", "P1", "P2", "P3", "P4"}},
    };
    for (const Case& c : cases) {
        ListDocument doc = Document(5, {0, 1, 2, 3});
        const std::vector<std::string> before = BankNames(doc, 0);
        EXPECT_EQ(MoveRowsOnePlace(doc, c.rows, c.step).status, c.status);
        EXPECT_EQ(Names(doc, 0, 5), c.names);
        EXPECT_EQ(BankNames(doc, 0), before) << "banks point at the same programs";
    }
}

TEST(SortCommandsTest, FilterAndSearchMatchFoldedTextInTheirColumns) {
    ListDocument doc = SortDocument({{"Das Erste"}, {"M\xDCNCHEN TV", "10713"}, {"-"}, {"x"}});
    doc.pool.SetCell(3, kFieldSatellite, "19");
    doc.pool.SetCell(3, kFieldVideoPid, "777");
    EXPECT_EQ(MatchingRows(doc.pool, "munchen"), std::vector<int>{1});
    EXPECT_EQ(MatchingRows(doc.pool, "107"), std::vector<int>{1});
    EXPECT_EQ(MatchingRows(doc.pool, "19"), std::vector<int>{3});
    EXPECT_EQ(MatchingRows(doc.pool, "777"), std::vector<int>{}) << "the video PID is not filtered";
    EXPECT_EQ(MatchingRows(doc.pool, "").size(), static_cast<std::size_t>(kPoolRows));

    EXPECT_EQ(SearchPool(doc, "10713", -1).status, EditStatus::NotFound);
    EXPECT_EQ(SearchPool(doc, "10713", -1, SearchColumns::All).row, 1);
    EXPECT_EQ(SearchPool(doc, "erste", 1, SearchColumns::Name).row, 0) << "wraps round";
}

} // namespace
} // namespace fw

#include "core/lists/ProgramPool.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace fw {
namespace {

TEST(ProgramPoolTest, OutOfRangeAccessReadsEmptyAndChangesNothing) {
    ProgramPool pool;
    for (auto [row, field] : {std::pair{-1, 0}, {kPoolRows, 0}, {0, -1}, {0, kFieldCount}}) {
        EXPECT_FALSE(pool.SetCell(row, field, "x")) << row << "/" << field;
        EXPECT_EQ(pool.Cell(row, field), "");
    }
    EXPECT_FALSE(pool.SetRowFromLine(kPoolRows, "a\tb"));
    EXPECT_TRUE(pool.IsRowEmpty(-5));
    EXPECT_EQ(pool.LastUsedRow(), -1);
}

TEST(ProgramPoolTest, RowsFromLinesAndBack) {
    ProgramPool pool;
    ASSERT_TRUE(pool.SetRowFromLine(5, "$\tName\t11836\tH\t27500\t3\\4\t1\t2\t3\t4\t1\tignored"));
    ASSERT_TRUE(pool.SetRowFromLine(2, "\tShort"));
    EXPECT_EQ(pool.Cell(5, kFieldSatellite), "1");
    EXPECT_EQ(pool.LineOfRow(5), "$\tName\t11836\tH\t27500\t3\\4\t1\t2\t3\t4\t1");
    EXPECT_EQ(pool.LineOfRow(2), "\tShort" + std::string(9, '\t'));
    EXPECT_EQ(pool.LineOfRow(0), std::string(10, '\t'));
    EXPECT_EQ(pool.LastUsedRow(), 5);

    // A cell is one line of the file: separators typed or pasted into it become blanks.
    pool.SetCell(2, kFieldName, "a\tb\rc\nd");
    EXPECT_EQ(pool.Cell(2, kFieldName), "a b c d");
    pool.Clear();
    EXPECT_EQ(pool.LastUsedRow(), -1);
}

TEST(ProgramPoolTest, InsertingRowsKeepsTheSize) {
    ProgramPool pool;
    for (int row : {0, 1, 2, kPoolRows - 2, kPoolRows - 1})
        pool.SetCell(row, kFieldName, "P" + std::to_string(row));

    pool.InsertEmptyRows(1, 2);
    EXPECT_EQ(pool.Cell(0, kFieldName), "P0");
    EXPECT_TRUE(pool.IsRowEmpty(1));
    EXPECT_TRUE(pool.IsRowEmpty(2));
    EXPECT_EQ(pool.Cell(3, kFieldName), "P1");
    EXPECT_EQ(pool.Cell(4, kFieldName), "P2");
    EXPECT_EQ(pool.LastUsedRow(), 4) << "the programs of the last two rows are dropped";

    pool.SetCell(kPoolRows - 1, kFieldName, "last");
    pool.InsertEmptyRows(kPoolRows - 1, 50); // clipped to the rows that exist
    pool.InsertEmptyRows(-1, 1);
    EXPECT_EQ(pool.LastUsedRow(), 4);
    EXPECT_EQ(pool.Cell(3, kFieldName), "P1");
}

// Snapshots share rows and row blocks with the pool: every change must copy what it touches.
TEST(ProgramPoolTest, ASnapshotKeepsItsRowsWhateverThePoolDoesAfter) {
    const std::vector<std::pair<const char*, std::function<void(ProgramPool&)>>> changes = {
        {"cell", [](ProgramPool& p) { p.SetCell(49, kFieldName, "changed"); }},
        {"emptied cell", [](ProgramPool& p) { p.SetCell(50, kFieldName, ""); }},
        {"row", [](ProgramPool& p) { p.SetRowFromLine(3999, "\tother"); }},
        {"insert", [](ProgramPool& p) { p.InsertEmptyRows(10, 45); }},
        {"rearrange",
         [](ProgramPool& p) {
             p.Rearrange({50, 49});
         }},
        {"clear", [](ProgramPool& p) { p.Clear(); }},
    };
    ProgramPool pool;
    for (int row : {0, 49, 50, 3999})
        pool.SetCell(row, kFieldName, "P" + std::to_string(row));
    const auto lines = [](const ProgramPool& p) {
        std::vector<std::string> all;
        for (int row = 0; row < kPoolRows; ++row)
            all.push_back(p.LineOfRow(row));
        return all;
    };
    const std::vector<std::string> before = lines(pool);
    for (const auto& [what, change] : changes) {
        ProgramPool changed = pool;
        const PoolSnapshot snapshot = changed.Snapshot();
        change(changed);
        EXPECT_NE(lines(changed), before) << what;
        ProgramPool restored;
        restored.Restore(snapshot);
        EXPECT_EQ(lines(restored), before) << what;
        EXPECT_EQ(lines(pool), before) << what << ": the copy shared its rows";
    }
}

} // namespace
} // namespace fw

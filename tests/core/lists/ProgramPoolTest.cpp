#include "core/lists/ProgramPool.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(ProgramPoolTest, OutOfRangeAccessReadsEmptyAndChangesNothing) {
    CProgramPool pool;
    for (auto [row, field] : {std::pair{-1, 0}, {kPoolRows, 0}, {0, -1}, {0, kFieldCount}}) {
        EXPECT_FALSE(pool.SetCell(row, field, "x")) << row << "/" << field;
        EXPECT_EQ(pool.Cell(row, field), "");
    }
    EXPECT_FALSE(pool.SetRowFromLine(kPoolRows, "a\tb"));
    EXPECT_TRUE(pool.IsRowEmpty(-5));
    EXPECT_EQ(pool.LastUsedRow(), -1);
}

TEST(ProgramPoolTest, RowsFromLinesAndBack) {
    CProgramPool pool;
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
    CProgramPool pool;
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

} // namespace
} // namespace fw

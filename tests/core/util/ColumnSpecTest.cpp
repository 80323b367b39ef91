#include "core/util/ColumnSpec.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

using A = ColumnAlignment;

TEST(ColumnSpecTest, FillersWidenButAreNotShown) {
    const std::vector<ColumnHeader> expected = {
        {A::Left, "Prg", "Prg#"},
        {A::Left, "Programmname", "Programmname##########"},
        {A::Left, "Adr", "Adr#"},
    };
    EXPECT_EQ(ParseColumnSpec("Prg#|Programmname##########|Adr#"), expected);
}

TEST(ColumnSpecTest, AlignmentMarkOnlyAtTheStartAndNeverMeasured) {
    const std::vector<ColumnHeader> expected = {
        {A::Left, "Adr", "Adr###"},
        {A::Centre, "Ca", "Ca"},
        {A::Right, "Size", "Size##"},
        {A::Left, "a<b>c^", "a<b>c^"}, // marks inside a header are text
        {A::Right, "", ""},
    };
    EXPECT_EQ(ParseColumnSpec("<Adr###|^Ca|>Size##|a<b>c^|>"), expected);
}

TEST(ColumnSpecTest, BlanksAndEmptyHeadersAreKept) {
    const auto pool = ParseColumnSpec("Adr###|Ca|Programmname#########|FreqMHz|Pol|Symbol|FEC|SID|"
                                      "V-PID|A-PID|PCR |Sat");
    ASSERT_EQ(pool.size(), 12u);
    EXPECT_EQ(pool[10].text, "PCR ");
    EXPECT_EQ(pool[10].measureText, "PCR ");
    EXPECT_EQ(pool[11].text, "Sat");

    const auto gaps = ParseColumnSpec("a||b|");
    ASSERT_EQ(gaps.size(), 4u);
    EXPECT_EQ(gaps[1].text, "");
    EXPECT_EQ(gaps[3].text, "");
}

TEST(ColumnSpecTest, EmptyStringHasNoColumnsAndOneHeaderIsOneColumn) {
    EXPECT_TRUE(ParseColumnSpec("").empty());
    const auto single = ParseColumnSpec("Größe");
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].text, "Größe"); // UTF-8 bytes pass through untouched
}

} // namespace
} // namespace fw

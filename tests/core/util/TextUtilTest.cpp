#include "core/util/TextUtil.h"
#include "core/util/ByteOrder.h"

#include "tests/support/GermanLocale.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <string>
#include <vector>

namespace fw {
namespace {

TEST(ByteOrderTest, StoresMostSignificantByteFirst) {
    std::array<unsigned char, 4> four{};
    EXPECT_EQ(PutU32BE(115200, four.data()), 1);
    EXPECT_EQ(four, (std::array<unsigned char, 4>{0x00, 0x01, 0xC2, 0x00}));
    std::array<unsigned char, 2> two{};
    EXPECT_EQ(PutU16BE(0x1234, two.data()), 1);
    EXPECT_EQ(two, (std::array<unsigned char, 2>{0x12, 0x34}));
    // Only the low 16 bits count.
    PutU16BE(0xABCD1234, two.data());
    EXPECT_EQ(two, (std::array<unsigned char, 2>{0x12, 0x34}));
}

TEST(TextUtilTest, CaseAndBlanksAreAsciiWhateverTheLocale) {
    // In a Latin-1 locale the C library lowers "\xC4" to "\xE4" and takes "\xA0" for a blank:
    // names and list bytes would then match where the Windows original never did.
    const test::GermanLocale german(LC_CTYPE);
    ASSERT_TRUE(german.Active());
    EXPECT_EQ(ToLowerAscii("ABC.Lst\xC4"), "abc.lst\xC4");
    EXPECT_TRUE(EqualsNoCase("Astra.LST", "astra.lst"));
    EXPECT_FALSE(EqualsNoCase("\xC4.lst", "\xE4.lst"));
    EXPECT_FALSE(EqualsNoCase("a", "ab"));
    EXPECT_TRUE(EndsWithNoCase("A.BSR", ".bsr"));
    EXPECT_FALSE(EndsWithNoCase("bsr", ".bsr"));
    EXPECT_FALSE(IsAsciiSpace('\xA0'));
    EXPECT_TRUE(IsAsciiSpace('\t'));
    // Bytes above 127 sort after ASCII, as in the C locale.
    EXPECT_LT(CompareNoCase("b", "\xE4"), 0);
    EXPECT_LT(CompareNoCase("a", "AB"), 0);
    EXPECT_EQ(CompareNoCase("ABC", "abc"), 0);
    EXPECT_GT(CompareNoCase("b", "A"), 0);
}

TEST(TextUtilTest, IsAllDigits) {
    EXPECT_TRUE(IsAllDigits("1234"));
    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_FALSE(IsAllDigits("12 34"));
    EXPECT_FALSE(IsAllDigits("-1"));
    EXPECT_FALSE(IsAllDigits("12a"));
}

TEST(TextUtilTest, FileNameOfPath) {
    EXPECT_EQ(FileNameOfPath("/data/lists/astra.lst"), "astra.lst");
    EXPECT_EQ(FileNameOfPath("/data/lists/"), "");
    EXPECT_EQ(FileNameOfPath("astra.lst"), "");
    EXPECT_EQ(FileNameOfPath("/x"), "x");
}

struct FindCase {
    std::string data;
    std::string pattern;
    std::optional<std::size_t> expected;
};

TEST(TextUtilTest, FindPatternNeedsTheWholePatternInsideTheData) {
    const std::vector<FindCase> cases = {
        {"abc\r", "\r\n", std::nullopt}, // CR as the last byte is no CR LF
        {"abc\r\nx", "\r\n", 3},
        {"\r\n\r\n", "\r\n", 0},
        {"xyz", "", 0},
        {"", "", 0},
        {"ab", "abc", std::nullopt},
        {"aab", "ab", 1},
        {std::string("\0\0SOFT", 6), "SOFT", 2}, // NUL bytes in the data do not end it
        {"q", "q", 0},                           // one byte patterns work too
    };
    for (const FindCase& c : cases) {
        const std::span data(reinterpret_cast<const unsigned char*>(c.data.data()), c.data.size());
        EXPECT_EQ(FindPattern(data, c.pattern), c.expected) << "data '" << c.data << "'";
    }
}

TEST(TextUtilTest, TrimAndToIntC) {
    EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(ToIntC("  42abc"), 42);
    EXPECT_EQ(ToIntC("-7"), -7);
    EXPECT_EQ(ToIntC("abc"), 0);
    EXPECT_EQ(ToIntC(""), 0);
    EXPECT_EQ(ToIntC("99999999999999"), 2147483647);
    EXPECT_EQ(ToIntC(std::string_view("12345").substr(0, 2)), 12);
}

} // namespace
} // namespace fw

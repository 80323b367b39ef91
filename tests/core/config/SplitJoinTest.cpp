#include "core/config/SplitJoin.h"
#include "core/config/FontText.h"

#include "tests/core/config/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fw {
namespace {

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

TEST(SplitStrings, KeepsInnerPiecesAndTrimsTheLast) {
    const struct {
        const char* text;
        Strings expected;
    } cases[] = {
        {"", {}},
        {"   ", {""}},
        {"a", {"a"}},
        {"a|", {"a", ""}},
        {"|", {"", ""}},
        {"a||b", {"a", "", "b"}},
        {" a | b ", {" a ", "b"}},
        {"PCR |Sat", {"PCR ", "Sat"}},
        {"Adr|Ca|Sat\r\n", {"Adr", "Ca", "Sat"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitStrings(c.text, '|'), c.expected) << '"' << c.text << '"';
}

TEST(SplitInts, ConvertsEachPieceLikeAtoi) {
    const struct {
        const char* text;
        Ints expected;
    } cases[] = {
        {"", {}},     {"1|0|1", {1, 0, 1}}, {"1|", {1, 0}}, {" 7x|-3| 12 ", {7, -3, 12}},
        {"abc", {0}}, {"||", {0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitInts(c.text, '|'), c.expected) << '"' << c.text << '"';
}

TEST(Join, PutsTheSeparatorOnlyBetween) {
    EXPECT_EQ(JoinStrings({}, '|'), "");
    EXPECT_EQ(JoinStrings({"a"}, '|'), "a");
    EXPECT_EQ(JoinStrings({"a", "", "PCR ", "b"}, '|'), "a||PCR |b");
    EXPECT_EQ(JoinInts({}, '|'), "");
    EXPECT_EQ(JoinInts({-1, 0, 115200}, '|'), "-1|0|115200");

    const Strings titles = {"Adr", "", "PCR ", "Sat"};
    EXPECT_EQ(SplitStrings(JoinStrings(titles, '|'), '|'), titles);
    const Ints flags = {1, 0, -7, 1};
    EXPECT_EQ(SplitInts(JoinInts(flags, '|'), '|'), flags);
}

LogFont Font(int height, int weight, int pitchAndFamily, std::string face) {
    LogFont font;
    font.height = height;
    font.weight = weight;
    font.pitchAndFamily = static_cast<std::uint8_t>(pitchAndFamily);
    font.faceName = std::move(face);
    return font;
}

TEST(FontText, WritesTheFieldsInStoredOrder) {
    EXPECT_EQ(FontToString(Font(-27, 400, 48, "ARIAL")), "0|0|-27|0|0|0|48|0|0|0|400|0|0|ARIAL");
    EXPECT_EQ(FontToString(Font(-13, 400, 0, "Courier New")),
              "0|0|-13|0|0|0|0|0|0|0|400|0|0|Courier New");
    LogFont bytes;
    bytes.charSet = 255;
    bytes.clipPrecision = 200;
    EXPECT_EQ(FontToString(bytes), "200|0|0|0|0|0|0|0|0|0|0|0|255|");
}

TEST(FontText, ReadsBackEveryField) {
    LogFont font;
    font.clipPrecision = 1;
    font.escapement = 2;
    font.height = -3;
    font.italic = 4;
    font.orientation = 5;
    font.outPrecision = 6;
    font.pitchAndFamily = 7;
    font.quality = 8;
    font.strikeOut = 9;
    font.underline = 10;
    font.weight = 11;
    font.width = 12;
    font.charSet = 13;
    font.faceName = "A face name that is longer than thirty-one characters";
    EXPECT_EQ(StringToFont(FontToString(font)), font);
    EXPECT_EQ(StringToFont("0|0|-27|0|0|0|48|0|0|0|400|0|0|ARIAL"), Font(-27, 400, 48, "ARIAL"));
}

TEST(FontText, OddTexts) {
    EXPECT_EQ(StringToFont(""), DefaultPrintFont());
    EXPECT_EQ(StringToFont("0|0|-27|0|0|0|48|0|0|0|400|0|0"), DefaultPrintFont())
        << "thirteen pieces: damaged";
    EXPECT_EQ(StringToFont("0|0|-27|0|0|0|48|0|0|0|400|0|0|").faceName, "");
    EXPECT_EQ(StringToFont("0|0|-27|0|0|0|48|0|0|0|400|0|0|ARIAL|junk").faceName, "ARIAL");
    // Byte fields wrap like the bytes they are stored in.
    const LogFont wrapped = StringToFont("-1|0|0|256|0|0|304|0|0|0|0|0|x|F");
    EXPECT_EQ(wrapped.clipPrecision, 255);
    EXPECT_EQ(wrapped.italic, 0);
    EXPECT_EQ(wrapped.pitchAndFamily, 48);
    EXPECT_EQ(wrapped.charSet, 0);

    const LogFont expected = Font(22, 900, 48, "ARIAL");
    LogFont withEffects = expected;
    withEffects.italic = 1;
    withEffects.underline = 1;
    EXPECT_EQ(DefaultPrintFont(), withEffects);
}

} // namespace
} // namespace fw

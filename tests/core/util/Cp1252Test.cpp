#include "core/util/Cp1252.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(Cp1252Test, EveryByteSurvivesDecodeAndEncode) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all), &lossless), all);
    EXPECT_TRUE(lossless);
}

TEST(Cp1252Test, DecodesTheCodePageSpecials) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("Gr\xF6\xDF"
                           "e"),
              "Größe");
    EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\u0178");
    EXPECT_EQ(Cp1252ToUtf8("\x81"), "\u0081");
}

TEST(Cp1252Test, UnrepresentableAndMalformedTextBecomesQuestionMarks) {
    bool lossless = true;
    EXPECT_EQ(Utf8ToCp1252("a\u4E2Db", &lossless), "a?b");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToCp1252("\xC3", &lossless), "?"); // cut sequence
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF", &lossless), "?"); // overlong slash
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80x", &lossless), "?x");
    EXPECT_EQ(Utf8ToCp1252("\u20AC", &lossless), "\x80");
    EXPECT_TRUE(lossless);
}

TEST(Cp1252Test, CaseFoldsEveryLetterPairOfTheCodePage) {
    // Each lower-case letter with its upper-case byte, from the decoded characters' own case.
    for (int byte = 0; byte < 256; ++byte) {
        const std::string lower(1, static_cast<char>(byte));
        const std::string upper(1, UpperCp1252(lower[0]));
        const std::string decoded = Cp1252ToUtf8(lower);
        const bool isPair = upper != lower;
        EXPECT_EQ(isPair, (byte >= 'a' && byte <= 'z') ||
                              std::string("šœžÿàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþ").find(decoded) !=
                                  std::string::npos)
            << byte;
    }
    EXPECT_TRUE(EqualsIgnoringCaseCp1252("M\xFCNCHEN \x9A", "m\xDCnchen \x8A"));
    EXPECT_FALSE(EqualsIgnoringCaseCp1252("stra\xDF"
                                          "e",
                                          "STRASSE"));
    EXPECT_TRUE(ContainsIgnoringCaseCp1252("Radio M\xDCNCHEN", "m\xFCnchen"));
    EXPECT_FALSE(ContainsIgnoringCaseCp1252("\xF7", "\xD7")) << "division and multiplication signs";
}

} // namespace
} // namespace fw

#include "core/util/Cp1252.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

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
}

TEST(Cp1252Test, FoldsCaseThenDiacriticsToBaseLetters) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ABC xyz 09", "abc xyz 09"},
        {"\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE5", "aaaaaaaa"},
        {"\xC6\xE6\x8C\x9C", "aeaeoeoe"},
        {"\xC7\xE7\xC8\xCB\xE8\xEB\xCC\xEF\xD0\xF0\xD1\xF1", "cceeeeiiddnn"},
        {"\xD2\xD6\xD8\xF2\xF6\xF8", "oooooo"},
        {"\xD9\xDC\xF9\xFC\xDD\xFD\x9F\xFF", "uuuuyyyy"},
        {"\x8A\x9A\x8E\x9E\xDF\xDE\xFE", "sszzssthth"},
        // Not letters: the multiplication and division signs, the euro sign, digits.
        {"\xD7\xF7\x80\xB5", "\xD7\xF7\x80\xB5"},
    };
    for (const auto& [text, folded] : cases)
        EXPECT_EQ(FoldCp1252(text), folded) << text;
    EXPECT_TRUE(ContainsFoldedCp1252("Radio M\xDCNCHEN", "munchen"));
    EXPECT_TRUE(ContainsFoldedCp1252("Stra\xDF"
                                     "e",
                                     "STRASSE"));
    EXPECT_FALSE(ContainsFoldedCp1252("\xF7", "\xD7")) << "division and multiplication signs";
}

} // namespace
} // namespace fw

#include "core/util/TextDecoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw {
namespace {

TEST(TextDecodingTest, ValidUtf8StaysElseWindows1252IsDecoded) {
    struct Case {
        std::string bytes;
        std::string utf8;
        bool cp1252;
    };
    const std::vector<Case> cases = {
        {"plain ASCII", "plain ASCII", false},
        {"", "", false},
        {"M\xC3\xBCnchen \xE2\x82\xAC \xF0\x9F\x98\x80",
         "M\xC3\xBCnchen \xE2\x82\xAC \xF0\x9F\x98\x80", false},
        {"\xEF\xBB\xBFset 1 2 x", "set 1 2 x", false},            // byte order mark dropped
        {"M\xFCnchen \x80", "M\xC3\xBCnchen \xE2\x82\xAC", true}, // Windows-1252
        {"\xC3", "\xC3\x83", true},                               // cut sequence
        {"\xC0\xAF", "\xC3\x80\xC2\xAF", true},                   // overlong
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC", true},   // surrogate
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC", true}, // past U+10FFFF
        {"\xEF\xBB\xBF\xFC", "\xC3\xAF\xC2\xBB\xC2\xBF\xC3\xBC", true}, // a mark in 1252 is text
    };
    for (const Case& c : cases) {
        bool cp1252 = !c.cp1252;
        EXPECT_EQ(DecodeUtf8OrCp1252(c.bytes, &cp1252), c.utf8) << c.bytes;
        EXPECT_EQ(cp1252, c.cp1252) << c.bytes;
        EXPECT_EQ(IsValidUtf8(c.bytes), !c.cp1252) << c.bytes;
    }
}

} // namespace
} // namespace fw

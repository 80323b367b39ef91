#include "core/util/ShellWords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw {
namespace {

TEST(ShellWordsTest, SplitsAsAShellDoesWithoutExpansions) {
    using Words = std::vector<std::string>;
    using E = ShellWordsError;
    struct Case {
        std::string line;
        Words words;
        E error;
    };
    const std::vector<Case> cases = {
        {"set 12 2 \"Das Erste HD\"", {"set", "12", "2", "Das Erste HD"}, E::None},
        {"  move\t1-3   --to 0 ", {"move", "1-3", "--to", "0"}, E::None},
        {"", {}, E::None},
        {" \t ", {}, E::None},
        {"# a comment", {}, E::None},
        {"clear 4 # trailing comment", {"clear", "4"}, E::None},
        {"set 1 2 A#B", {"set", "1", "2", "A#B"}, E::None}, // # inside a word is a character
        {"set 1 2 \"#1\"", {"set", "1", "2", "#1"}, E::None},
        {"set 1 2 \"\"", {"set", "1", "2", ""}, E::None}, // empty word
        {"set 1 2 ''", {"set", "1", "2", ""}, E::None},
        {"a\"b c\"'d e'f", {"ab cd ef"}, E::None}, // quoted parts join their word
        {"'it''s'", {"its"}, E::None},
        {"'a \\\" b'", {"a \\\" b"}, E::None}, // nothing special inside single quotes
        {"\"say \\\"hi\\\"\"", {"say \"hi\""}, E::None},
        {"\"3\\4\" \"a\\\\b\"", {"3\\4", "a\\b"}, E::None}, // other backslashes stay in "..."
        {"3\\\\4 3\\4 a\\ b", {"3\\4", "34", "a b"}, E::None},
        {"\\# \\'", {"#", "'"}, E::None},
        {"set 1 2 \"M\xC3\xBCnchen\"\r", {"set", "1", "2", "M\xC3\xBCnchen"}, E::None},
        {"a\rb", {"a\rb"}, E::None}, // only a CR at the end is the line's
        {"set 1 2 'open", {}, E::UnclosedSingleQuote},
        {"set 1 2 \"open\\\"", {}, E::UnclosedDoubleQuote},
        {"set 1 2 x\\", {}, E::TrailingBackslash},
        {std::string("set 1 2 'a\0b'", 13), {}, E::NulCharacter},
    };
    for (const Case& c : cases) {
        const ShellWords split = SplitShellWords(c.line);
        EXPECT_EQ(split.words, c.words) << c.line;
        EXPECT_EQ(split.error, c.error) << c.line;
    }
}

} // namespace
} // namespace fw

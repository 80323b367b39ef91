#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw {

// Splits one line of a command script into words the way a POSIX shell splits plain words,
// without expansions: blanks (space, TAB) separate words; '...' keeps everything inside as it
// is; "..." keeps everything except that a backslash before " or \ stands for that character;
// outside quotes a backslash takes the next character as it is. Quoted parts join the word they
// touch ("a"'b'c is abc), and "" is an empty word. A # that starts a word begins a comment up to
// the end of the line. A CR at the end of the line (a script saved with CR LF) is ignored.
enum class ShellWordsError {
    None,
    UnclosedSingleQuote,
    UnclosedDoubleQuote,
    TrailingBackslash, // a line does not continue on the next one
    NulCharacter,      // no command line can hold one
};

struct ShellWords {
    std::vector<std::string> words;
    ShellWordsError error = ShellWordsError::None; // words is empty when there is one
};

ShellWords SplitShellWords(std::string_view line);

} // namespace fw

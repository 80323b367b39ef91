#include "core/util/ShellWords.h"

namespace fw {

ShellWords SplitShellWords(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    ShellWords result;
    if (line.find('\0') != std::string_view::npos) {
        result.error = ShellWordsError::NulCharacter;
        return result;
    }
    std::string word;
    bool inWord = false; // also true for a word that is so far only "" or ''
    const auto fail = [&](ShellWordsError error) {
        result.words.clear();
        result.error = error;
        return result;
    };
    std::size_t pos = 0;
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == ' ' || c == '\t') {
            if (inWord)
                result.words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else if (c == '#' && !inWord) {
            break;
        } else if (c == '\\') {
            if (pos == line.size())
                return fail(ShellWordsError::TrailingBackslash);
            word += line[pos++];
            inWord = true;
        } else if (c == '\'') {
            const std::size_t end = line.find('\'', pos);
            if (end == std::string_view::npos)
                return fail(ShellWordsError::UnclosedSingleQuote);
            word.append(line.substr(pos, end - pos));
            pos = end + 1;
            inWord = true;
        } else if (c == '"') {
            inWord = true;
            for (;;) {
                if (pos == line.size())
                    return fail(ShellWordsError::UnclosedDoubleQuote);
                const char inner = line[pos++];
                if (inner == '"')
                    break;
                // As in a shell, other backslashes stay: "3\4" is the FEC 3\4.
                if (inner == '\\' && pos < line.size() && (line[pos] == '"' || line[pos] == '\\'))
                    word += line[pos++];
                else
                    word += inner;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        result.words.push_back(std::move(word));
    return result;
}

} // namespace fw

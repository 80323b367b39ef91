#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw {

// One element per separator-ended piece, kept as it is, plus the rest after the last
// separator trimmed of white space: "a|" gives "a" and "", "" gives nothing.
std::vector<std::string> SplitStrings(std::string_view text, char separator = '|');
// The same pieces, each converted with C atoi rules.
std::vector<int> SplitInts(std::string_view text, char separator = '|');

// The elements with the separator between them, none after the last.
std::string JoinStrings(const std::vector<std::string>& elements, char separator = '|');
std::string JoinInts(const std::vector<int>& elements, char separator = '|');

} // namespace fw

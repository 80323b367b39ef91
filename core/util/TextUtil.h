#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// True when every character is a decimal digit; an empty text counts as digits.
bool IsAllDigits(std::string_view text);

// First position at which the whole pattern lies inside data. An empty pattern matches at 0.
std::optional<std::size_t> FindPattern(std::span<const unsigned char> data,
                                       std::string_view pattern);

// The part of a path after its last separator; "" when the path has none.
std::string FileNameOfPath(std::string_view path);

// White space at both ends removed (blank, tab, CR, LF, VT, FF).
std::string_view Trim(std::string_view text);

// ASCII case and blanks, the same in every locale: the Qt program runs under the user's locale,
// where the C library's tolower or isspace may also change bytes above 127 (Windows-1252 text).
char ToLowerAscii(char c);
std::string ToLowerAscii(std::string_view text);
bool IsAsciiSpace(char c);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Negative, 0 or positive as a is before, equal to or after b, ignoring ASCII case; bytes
// compare as unsigned.
int CompareNoCase(std::string_view a, std::string_view b);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// C library decimal conversion: leading blanks skipped, stops at the first non-digit, 0 if none.
int ToIntC(std::string_view text);

// Unsigned decimal within [low, high], nothing else around it.
std::optional<int> NumberInRange(std::string_view text, int low, int high);
// "4,7,10-12": numbers and inclusive ranges within [low, high], in any order, repeats allowed.
std::optional<std::vector<int>> ParseNumberList(std::string_view text, int low, int high);

} // namespace fw

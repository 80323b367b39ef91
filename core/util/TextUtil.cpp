#include "core/util/TextUtil.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace fw {

bool IsAllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::size_t> FindPattern(std::span<const unsigned char> data,
                                       std::string_view pattern) {
    if (pattern.empty())
        return 0;
    if (pattern.size() > data.size())
        return std::nullopt;
    auto found =
        std::search(data.begin(), data.end(), pattern.begin(), pattern.end(),
                    [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); });
    if (found == data.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - data.begin());
}

std::string FileNameOfPath(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return {};
    return std::string(path.substr(slash + 1));
}

namespace {
constexpr std::string_view kBlanks = " \t\r\n\v\f";
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

char ToLowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string ToLowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return ToLowerAscii(c); });
    return lower;
}

bool IsAsciiSpace(char c) {
    return c != '\0' && kBlanks.find(c) != std::string_view::npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return CompareNoCase(a, b) == 0;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return static_cast<unsigned char>(ToLowerAscii(c)); };
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return lower(x) == lower(y); });
    if (ia == a.end())
        return ib == b.end() ? 0 : -1;
    if (ib == b.end())
        return 1;
    return lower(*ia) < lower(*ib) ? -1 : 1;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return suffix.size() <= text.size() &&
           EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

int ToIntC(std::string_view text) {
    // atoi needs a terminated string; a copy keeps views of larger buffers safe.
    const std::string copy(text);
    const long value = std::strtol(copy.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// Longer digit strings cannot lie in any range used here and would overflow.
std::optional<int> NumberInRange(std::string_view text, int low, int high) {
    if (text.empty() || text.size() > 6 || !IsAllDigits(text))
        return std::nullopt;
    const int value = ToIntC(text);
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<std::vector<int>> ParseNumberList(std::string_view text, int low, int high) {
    std::vector<int> items;
    std::string_view rest = text;
    while (true) {
        const std::size_t comma = rest.find(',');
        const std::string_view part = rest.substr(0, comma);
        const std::size_t dash = part.find('-');
        const auto first = NumberInRange(part.substr(0, dash), low, high);
        const auto last = dash == std::string_view::npos
                              ? first
                              : NumberInRange(part.substr(dash + 1), low, high);
        if (!first || !last || *last < *first)
            return std::nullopt;
        for (int item = *first; item <= *last; ++item)
            items.push_back(item);
        if (comma == std::string_view::npos)
            return items;
        rest.remove_prefix(comma + 1);
    }
}

} // namespace fw

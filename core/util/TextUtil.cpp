#include "core/util/TextUtil.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace fw {

bool IsAllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::size_t> FindPattern(std::span<const unsigned char> data, std::string_view pattern) {
    if (pattern.empty())
        return 0;
    if (pattern.size() > data.size())
        return std::nullopt;
    auto found = std::search(data.begin(), data.end(), pattern.begin(), pattern.end(),
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

std::string_view Trim(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

int ToIntC(std::string_view text) {
    // atoi needs a terminated string; a copy keeps views of larger buffers safe.
    const std::string copy(text);
    const long value = std::strtol(copy.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

} // namespace fw

#include "core/config/SplitJoin.h"

#include "core/util/TextUtil.h"

namespace fw {
namespace {

template <typename Add> void WalkPieces(std::string_view text, char separator, Add add) {
    if (text.empty())
        return;
    std::size_t start = 0;
    for (auto found = text.find(separator); found != std::string_view::npos;
         found = text.find(separator, start)) {
        add(text.substr(start, found - start));
        start = found + 1;
    }
    add(Trim(text.substr(start)));
}

template <typename T, typename Format>
std::string Join(const std::vector<T>& elements, char separator, Format format) {
    std::string joined;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i > 0)
            joined += separator;
        joined += format(elements[i]);
    }
    return joined;
}

} // namespace

std::vector<std::string> SplitStrings(std::string_view text, char separator) {
    std::vector<std::string> elements;
    WalkPieces(text, separator, [&](std::string_view piece) { elements.emplace_back(piece); });
    return elements;
}

std::vector<int> SplitInts(std::string_view text, char separator) {
    std::vector<int> elements;
    WalkPieces(text, separator, [&](std::string_view piece) { elements.push_back(ToIntC(piece)); });
    return elements;
}

std::string JoinStrings(const std::vector<std::string>& elements, char separator) {
    return Join(elements, separator, [](const std::string& element) { return element; });
}

std::string JoinInts(const std::vector<int>& elements, char separator) {
    return Join(elements, separator, [](int element) { return std::to_string(element); });
}

} // namespace fw

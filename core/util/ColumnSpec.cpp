#include "core/util/ColumnSpec.h"

#include <algorithm>

namespace fw {
namespace {

ColumnHeader ParseHeader(std::string_view header) {
    ColumnHeader column;
    if (!header.empty()) {
        switch (header.front()) {
        case '<':
            column.alignment = ColumnAlignment::Left;
            header.remove_prefix(1);
            break;
        case '>':
            column.alignment = ColumnAlignment::Right;
            header.remove_prefix(1);
            break;
        case '^':
            column.alignment = ColumnAlignment::Centre;
            header.remove_prefix(1);
            break;
        default:
            break;
        }
    }
    column.measureText = std::string(header);
    column.text = column.measureText;
    std::erase(column.text, '#');
    return column;
}

} // namespace

std::vector<ColumnHeader> ParseColumnSpec(std::string_view titles) {
    std::vector<ColumnHeader> columns;
    if (titles.empty())
        return columns;
    for (;;) {
        const std::size_t bar = titles.find('|');
        columns.push_back(ParseHeader(titles.substr(0, bar)));
        if (bar == std::string_view::npos)
            break;
        titles.remove_prefix(bar + 1);
    }
    return columns;
}

} // namespace fw

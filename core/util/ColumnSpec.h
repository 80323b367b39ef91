#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw {

enum class ColumnAlignment { Left, Right, Centre };

// One column of a column string such as "<Adr###|^Ca|Programmname####".
struct ColumnHeader {
    ColumnAlignment alignment = ColumnAlignment::Left;
    std::string text;        // shown: without the alignment mark and without '#'
    std::string measureText; // sets the width: without the alignment mark, '#' kept

    friend bool operator==(const ColumnHeader&, const ColumnHeader&) = default;
};

// Headers are separated by '|'. A header may start with '<' (left), '>' (right) or '^'
// (centred); '#' characters only widen the column. Blanks are kept ("PCR " stays "PCR ").
// An empty string has no columns; empty headers between separators stay columns.
std::vector<ColumnHeader> ParseColumnSpec(std::string_view titles);

} // namespace fw

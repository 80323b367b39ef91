#pragma once

#include "core/editor/ListDocument.h"

#include <optional>
#include <string_view>
#include <vector>

namespace fw {

// What the rows are sorted by; each key compares numbers as numbers and names folded
// (FoldCp1252), byte by byte.
enum class SortKey {
    Name,
    Frequency, // then polarisation, H before V
    Satellite, // then name
    Sid,
};

// The key of a grid column, nothing for a column that has none. The polarisation sorts with
// the frequency.
std::optional<SortKey> SortKeyOfColumn(int column);

// Sorts the rows first..last (inclusive) by key, stable; programs whose key field is empty
// follow those with one, and rows without a program go to the end of the range, in either
// direction. The banks follow their programs. A range already in order is NothingToDo.
EditResult SortRows(ListDocument& doc, int first, int last, SortKey key, bool descending);

// The rows a sort of the selection works on: from its first to its last row, or the whole
// pool when nothing is selected.
std::pair<int, int> SortRange(const std::vector<int>& selectedRows);

// Moves the selected rows one place up (step -1) or down (+1), the rows they pass going the
// other way, the banks following. Nothing moves when a selected row is at the pool's edge.
EditResult MoveRowsOnePlace(ListDocument& doc, std::vector<int> rows, int step);

// The rows whose name, satellite, frequency or SID contains the text once both are folded,
// ascending; every row for an empty text.
std::vector<int> MatchingRows(const ProgramPool& pool, std::string_view text);

} // namespace fw

#pragma once

#include "core/editor/ListDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace fw {

// The commands of the program pool grid. Rows are pool rows (addresses); a selection may come
// in any order, with repeats and rows outside the pool, which are left out. Every command that
// moves programs moves the bank references with them. Run a command that changes the document
// through EditHistory::Run to make it one undo step.

// Rearranges the pool (row i takes the program of row sources[i], -1 an empty row) and moves
// every bank reference with its program; references to programs that are gone are removed.
// Returns the banks that changed.
ChangedBanks MovePrograms(ListDocument& doc, const std::vector<int>& sources);

// Commits an edited cell (grid column: 1..11, 0 is the address) after the cell check; the
// text is trimmed at both ends as the grid writes it.
EditResult EditCell(ListDocument& doc, int row, int column, std::string text);
// Empty rows at row; the programs pushed past the last row are dropped.
EditResult InsertEmptyRows(ListDocument& doc, int row, int count);
// Empties the rows and removes their programs from the banks.
EditResult ClearRows(ListDocument& doc, std::vector<int> rows);
// Removes the rows; the rows below move up and empty rows fill the pool's end.
EditResult DeleteRows(ListDocument& doc, std::vector<int> rows);

// The clipboard text of the rows. A cut leaves the rows in place; the next paste of exactly
// this text moves them.
std::string CopyRows(ListDocument& doc, std::vector<int> rows);
std::string CutRows(ListDocument& doc, std::vector<int> rows);

// target is the single selected row, -1 when not exactly one row is selected; then, or with
// no text, nothing changes. Invalid fields of a pasted line are emptied; lines that would
// fall past the last row are dropped.
EditResult PasteOverwriting(ListDocument& doc, int target, std::string_view clipboard);
EditResult PasteInserting(ListDocument& doc, int target, std::string_view clipboard);

// Adds the rows' programs in ascending order at position of the bank (-1: at the end).
// Refused as a whole when one of them is in the bank already (the message names its entry) or
// when the bank cannot take them all; stops at the first row the receiver could not take (the
// rows before stay added).
EditResult AddToBank(ListDocument& doc, std::vector<int> rows, int bank, int position);

enum class SearchColumns { Name, All };

// The next row after selectedRow (from row 0 when it is -1) whose program name (or any field)
// contains the text, wrapping round to selectedRow itself; both are folded (FoldCp1252).
EditResult SearchPool(const ListDocument& doc, std::string_view text, int selectedRow,
                      SearchColumns columns = SearchColumns::Name);

} // namespace fw

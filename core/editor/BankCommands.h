#pragma once

#include "core/editor/ListDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace fw {

// The commands of a favourite bank list. Positions count the bank's entries from 0; a
// position at or past the count (the list's trailing empty row) takes no entry.

// The pool rows that the bank refers to; the pool marks them " =" in its first column.
std::vector<bool> PoolMarks(const CFavoritenDat& banks, int bank);
// The pool's first column: the address, followed by " =" when marked.
std::string AdrColumnText(int row, bool marked);

EditResult DeleteBankEntries(ListDocument& doc, int bank, std::vector<int> positions);

// One line per entry: the program name in the pool, TAB, the address, CR LF. A cut leaves the
// entries in place; the next paste of exactly this text, into any bank, moves them.
std::string CopyBankEntries(ListDocument& doc, int bank, std::vector<int> positions);
std::string CutBankEntries(ListDocument& doc, int bank, std::vector<int> positions);

// Inserts the entries of the clipboard's lines before position (-1 or past the end: at the
// end). A line is taken only as "name TAB address" naming a program of the pool exactly.
// A moving paste that the bank cannot take whole changes nothing; a copy fills the bank and
// stops.
EditResult PasteBankEntries(ListDocument& doc, int bank, int position, std::string_view clipboard);

// The next position after selected (from 0 when it is -1) whose program name contains the
// text, wrapping round; case is folded as in the pool's search.
EditResult SearchBank(const ListDocument& doc, int bank, std::string_view text, int selected);

} // namespace fw

#pragma once

#include "core/editor/ListDocument.h"

#include <string>
#include <string_view>

namespace fw {

// What an edit would lose at the end of the pool: programs (empty rows do not count) and the
// bank entries that point at them.
struct RowsPastEnd {
    bool inserting = true; // pushed off the end by an insert; else written past it
    int programs = 0;
    // The places the lost programs hold now; -1 for pasted lines, which have none yet.
    int firstPlace = -1;
    int lastPlace = -1;
    int bankEntries = 0;
};

// An insert of count rows at row, as InsertEmptyRows does it.
RowsPastEnd RowsPastEndOfInsert(const ListDocument& doc, int row, int count);
// A paste of the clipboard at target, as PasteInserting or PasteOverwriting would do it; pasted
// lines carry no bank entries, and a pending cut that the clipboard still holds moves without
// loss.
RowsPastEnd RowsPastEndOfPaste(const ListDocument& doc, int target, std::string_view clipboard,
                               bool inserting);

// "3 programs at the end of the list (places 3997-3999) and 5 favourite entries would be
// removed."; empty when no program is lost.
std::string RowsPastEndText(const RowsPastEnd& lost);

} // namespace fw

#pragma once

#include "core/editor/ListDocument.h"
#include "core/lists/ProgramRecord.h"

#include <string>

namespace fw::bench {

// A full list: by default 4000 programs and ten banks of 1000 entries. A receiver with fewer
// places gets a list that fills those places and banks that point only into them.
inline ListDocument FullListDocument(int listType = kListTv, int places = kPoolRows,
                                     int bankEntries = kBankCapacity) {
    ListDocument full;
    full.listType = listType;
    for (int row = 0; row < places; ++row)
        full.pool.SetRowFromLine(row, "\tProgram " + std::to_string(row) +
                                          "\t11836\tH\t27500\t3\\4\t28106\t101\t102\t101\t1");
    for (int bank = 0; bank < kBankCount; ++bank)
        for (int entry = 0; entry < bankEntries; ++entry)
            full.banks.Insert(bank, CFavEintrag{(entry * 4 + bank) % places}, -1);
    return full;
}

} // namespace fw::bench

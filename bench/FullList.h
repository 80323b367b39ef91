#pragma once

#include "core/editor/ListDocument.h"
#include "core/lists/ProgramRecord.h"

#include <string>

namespace fw::bench {

// A full list: 4000 programs and ten banks of 1000 entries.
inline ListDocument FullListDocument() {
    ListDocument full;
    full.listType = kListTv;
    for (int row = 0; row < kPoolRows; ++row)
        full.pool.SetRowFromLine(row, "\tProgram " + std::to_string(row) +
                                          "\t11836\tH\t27500\t3\\4\t28106\t101\t102\t101\t1");
    for (int bank = 0; bank < kBankCount; ++bank)
        for (int entry = 0; entry < kBankCapacity; ++entry)
            full.banks.Insert(bank, CFavEintrag{(entry * 4 + bank) % kPoolRows}, -1);
    return full;
}

} // namespace fw::bench

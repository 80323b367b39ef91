#pragma once

#include "core/editor/ListDocument.h"
#include "tests/support/ListFixture.h"

#include <string>
#include <vector>

namespace fw::test {

// A TV list with programs "P0".."P<count-1>" in rows 0..count-1; bank 0 holds bank0.
inline ListDocument Document(int count, const std::vector<int>& bank0 = {}) {
    ListDocument doc;
    doc.listType = kListTv;
    for (int row = 0; row < count; ++row)
        doc.pool.SetRowFromLine(row, ProgramLine("P" + std::to_string(row)));
    for (int address : bank0)
        doc.banks.Insert(0, CFavEintrag{address}, -1);
    return doc;
}

inline std::vector<std::string> Names(const ListDocument& doc, int first, int count) {
    std::vector<std::string> names;
    for (int row = first; row < first + count; ++row)
        names.push_back(doc.pool.Cell(row, kFieldName));
    return names;
}

inline std::vector<int> Bank(const ListDocument& doc, int bank) {
    std::vector<int> addresses;
    for (int index = 0; index < doc.banks.GetCount(bank); ++index)
        addresses.push_back(doc.banks.GetAddress(bank, index));
    return addresses;
}

// The names the bank's entries point at: what every move must keep.
inline std::vector<std::string> BankNames(const ListDocument& doc, int bank) {
    std::vector<std::string> names;
    for (int address : Bank(doc, bank))
        names.push_back(doc.pool.Cell(address, kFieldName));
    return names;
}

} // namespace fw::test

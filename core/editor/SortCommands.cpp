#include "core/editor/SortCommands.h"

#include "core/editor/PoolCommands.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/util/Cp1252.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string>

namespace fw {
namespace {

// Negative, 0 or positive. Digits compare by value (leading zeros aside) without limit on
// their length; the fields hold digits only, so any other byte just compares byte by byte.
int CompareNumbers(std::string_view a, std::string_view b) {
    const auto significant = [](std::string_view text) {
        const std::size_t first = text.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view() : text.substr(first);
    };
    a = significant(a);
    b = significant(b);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

int CompareBytes(const std::string& a, const std::string& b) {
    return a.compare(b);
}

// One row's sort fields, folded once before the sort.
struct SortEntry {
    int row = 0;
    bool empty = false;    // no program: after everything else
    bool keyless = false;  // the key field is empty: after the programs with one
    std::string primary;   // the key field (folded for a name)
    std::string secondary; // polarisation or folded name
};

SortEntry EntryOf(const ProgramPool& pool, int row, SortKey key) {
    SortEntry entry;
    entry.row = row;
    entry.empty = pool.IsRowEmpty(row);
    switch (key) {
    case SortKey::Name:
        entry.primary = FoldCp1252(pool.Cell(row, kFieldName));
        break;
    case SortKey::Frequency:
        entry.primary = pool.Cell(row, kFieldFrequency);
        entry.secondary = pool.Cell(row, kFieldPolarisation);
        break;
    case SortKey::Satellite:
        entry.primary = pool.Cell(row, kFieldSatellite);
        entry.secondary = FoldCp1252(pool.Cell(row, kFieldName));
        break;
    case SortKey::Sid:
        entry.primary = pool.Cell(row, kFieldSid);
        break;
    }
    entry.keyless = entry.primary.empty();
    return entry;
}

// The order of two programs that both have the key field, ascending.
int CompareKeys(const SortEntry& a, const SortEntry& b, SortKey key) {
    switch (key) {
    case SortKey::Name:
        return CompareBytes(a.primary, b.primary);
    case SortKey::Frequency:
        if (const int order = CompareNumbers(a.primary, b.primary); order != 0)
            return order;
        return CompareBytes(a.secondary, b.secondary);
    case SortKey::Satellite:
        if (const int order = CompareNumbers(a.primary, b.primary); order != 0)
            return order;
        return CompareBytes(a.secondary, b.secondary);
    case SortKey::Sid:
        return CompareNumbers(a.primary, b.primary);
    }
    return 0;
}

} // namespace

std::optional<SortKey> SortKeyOfColumn(int column) {
    switch (FieldOfColumn(column)) {
    case kFieldName:
        return SortKey::Name;
    case kFieldFrequency:
    case kFieldPolarisation:
        return SortKey::Frequency;
    case kFieldSatellite:
        return SortKey::Satellite;
    case kFieldSid:
        return SortKey::Sid;
    default:
        return std::nullopt;
    }
}

EditResult SortRows(ListDocument& doc, int first, int last, SortKey key, bool descending) {
    if (!ProgramPool::IsValidRow(first) || !ProgramPool::IsValidRow(last) || last < first)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepSortRows);
    std::vector<SortEntry> entries;
    entries.reserve(static_cast<std::size_t>(last - first + 1));
    for (int row = first; row <= last; ++row)
        entries.push_back(EntryOf(doc.pool, row, key));
    std::stable_sort(entries.begin(), entries.end(), [&](const SortEntry& a, const SortEntry& b) {
        if (a.empty != b.empty)
            return b.empty;
        if (a.keyless != b.keyless)
            return b.keyless;
        const int order = CompareKeys(a, b, key);
        return descending ? order > 0 : order < 0;
    });
    const bool inOrder =
        std::is_sorted(entries.begin(), entries.end(),
                       [](const SortEntry& a, const SortEntry& b) { return a.row < b.row; });
    if (inOrder)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepSortRows);
    std::vector<int> sources(kPoolRows);
    std::iota(sources.begin(), sources.end(), 0);
    for (std::size_t k = 0; k < entries.size(); ++k)
        sources[static_cast<std::size_t>(first) + k] = entries[k].row;
    doc.poolCut.reset();
    doc.bankCut.reset();
    MovePrograms(doc, sources);
    return Done(str::kStepSortRows);
}

std::pair<int, int> SortRange(const std::vector<int>& selectedRows) {
    const std::vector<int> rows = SortedItems(selectedRows, kPoolRows);
    if (rows.empty())
        return {0, kPoolRows - 1};
    return {rows.front(), rows.back()};
}

EditResult MoveRowsOnePlace(ListDocument& doc, std::vector<int> rows, int step) {
    rows = SortedItems(std::move(rows), kPoolRows);
    const bool atEdge = rows.empty() || (step < 0 && rows.front() == 0) ||
                        (step > 0 && rows.back() == kPoolRows - 1);
    if ((step != -1 && step != 1) || atEdge)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepMoveRows);
    std::vector<int> sources(kPoolRows);
    std::iota(sources.begin(), sources.end(), 0);
    // Each selected row swaps with its neighbour, nearest to the edge first, so a block of
    // selected rows moves as one and the passed row lands behind it.
    if (step > 0)
        std::reverse(rows.begin(), rows.end());
    for (const int row : rows)
        std::swap(sources[static_cast<std::size_t>(row)],
                  sources[static_cast<std::size_t>(row + step)]);
    doc.poolCut.reset();
    doc.bankCut.reset();
    MovePrograms(doc, sources);
    return Done(str::kStepMoveRows);
}

std::vector<int> MatchingRows(const ProgramPool& pool, std::string_view text) {
    static constexpr std::array<int, 4> kFilteredFields = {kFieldName, kFieldSatellite,
                                                           kFieldFrequency, kFieldSid};
    const std::string part = FoldCp1252(text);
    std::vector<int> rows;
    for (int row = 0; row < kPoolRows; ++row) {
        const bool shown =
            part.empty() ||
            std::any_of(kFilteredFields.begin(), kFilteredFields.end(), [&](int field) {
                return FoldCp1252(pool.Cell(row, field)).find(part) != std::string::npos;
            });
        if (shown)
            rows.push_back(row);
    }
    return rows;
}

} // namespace fw

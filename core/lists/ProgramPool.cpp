#include "core/lists/ProgramPool.h"

#include <algorithm>

namespace fw {
namespace {

const ProgramRow kEmptyRow{};
const RowPointer kNoRow;

bool IsValidField(int field) {
    return field >= 0 && field < kFieldCount;
}

bool SameRow(const RowPointer& a, const RowPointer& b) {
    if (a == b)
        return true;
    return (a ? *a : kEmptyRow) == (b ? *b : kEmptyRow);
}

std::size_t RowBytes(const ProgramRow& row) {
    std::size_t bytes = sizeof(ProgramRow);
    for (const std::string& cell : row)
        if (cell.capacity() > std::string().capacity())
            bytes += cell.capacity() + 1;
    return bytes;
}

std::size_t BlockOf(int row) {
    return static_cast<std::size_t>(row / kBlockRows);
}

std::size_t SlotOf(int row) {
    return static_cast<std::size_t>(row % kBlockRows);
}

template <typename Fn> void ForEachRow(const BlockTable& blocks, Fn&& fn) {
    for (const auto& block : blocks)
        if (block)
            for (const RowPointer& row : *block)
                fn(row);
}

} // namespace

std::size_t PoolSnapshot::BytesBeyond(const PoolSnapshot& other) const {
    std::vector<const RowBlock*> sharedBlocks;
    for (const auto& block : other.m_blocks)
        sharedBlocks.push_back(block.get());
    std::sort(sharedBlocks.begin(), sharedBlocks.end());
    std::size_t bytes = sizeof(PoolSnapshot) + m_blocks.capacity() * sizeof(m_blocks[0]);
    // Rows of the blocks held here alone, unless other holds them in a block of its own.
    std::vector<const ProgramRow*> own;
    for (const auto& block : m_blocks) {
        if (!block || std::binary_search(sharedBlocks.begin(), sharedBlocks.end(), block.get()))
            continue;
        bytes += sizeof(RowBlock);
        for (const RowPointer& row : *block)
            if (row)
                own.push_back(row.get());
    }
    if (own.empty())
        return bytes;
    std::sort(own.begin(), own.end());
    own.erase(std::unique(own.begin(), own.end()), own.end());
    std::vector<bool> shared(own.size(), false);
    ForEachRow(other.m_blocks, [&](const RowPointer& row) {
        const auto found = std::lower_bound(own.begin(), own.end(), row.get());
        if (row && found != own.end() && *found == row.get())
            shared[static_cast<std::size_t>(found - own.begin())] = true;
    });
    for (std::size_t k = 0; k < own.size(); ++k)
        if (!shared[k])
            bytes += RowBytes(*own[k]);
    return bytes;
}

ProgramPool::ProgramPool() : m_blocks(kBlockCount) {}

PoolSnapshot ProgramPool::Snapshot() const {
    PoolSnapshot snapshot;
    snapshot.m_blocks = m_blocks;
    return snapshot;
}

void ProgramPool::Restore(const PoolSnapshot& snapshot) {
    m_blocks = snapshot.m_blocks;
}

void ProgramPool::Clear() {
    std::fill(m_blocks.begin(), m_blocks.end(), nullptr);
}

const RowPointer& ProgramPool::RowAt(int row) const {
    const auto& block = m_blocks[BlockOf(row)];
    return block ? (*block)[SlotOf(row)] : kNoRow;
}

RowPointer& ProgramPool::WritableSlot(int row) {
    // What a snapshot still holds is copied before it changes.
    auto& block = m_blocks[BlockOf(row)];
    if (!block)
        block = std::make_shared<RowBlock>();
    else if (block.use_count() > 1)
        block = std::make_shared<RowBlock>(*block);
    return (*block)[SlotOf(row)];
}

ProgramRow& ProgramPool::WritableRow(int row) {
    auto& shared = WritableSlot(row);
    if (!shared)
        shared = std::make_shared<ProgramRow>();
    else if (shared.use_count() > 1)
        shared = std::make_shared<ProgramRow>(*shared);
    return *shared;
}

void ProgramPool::DropIfEmpty(int row) {
    // Only called right after WritableRow, so the block is this pool's own.
    if (IsRowEmpty(row))
        (*m_blocks[BlockOf(row)])[SlotOf(row)] = nullptr;
}

std::vector<RowPointer> ProgramPool::AllRows() const {
    std::vector<RowPointer> rows;
    rows.reserve(kPoolRows);
    for (const auto& block : m_blocks) {
        if (block)
            rows.insert(rows.end(), block->begin(), block->end());
        else
            rows.resize(rows.size() + kBlockRows);
    }
    return rows;
}

void ProgramPool::AssignRows(const std::vector<RowPointer>& rows) {
    for (std::size_t b = 0; b < m_blocks.size(); ++b) {
        const auto first = rows.begin() + static_cast<std::ptrdiff_t>(b * kBlockRows);
        const auto last = first + kBlockRows;
        auto& block = m_blocks[b];
        const bool same = block ? std::equal(first, last, block->begin())
                                : std::all_of(first, last, [](const RowPointer& r) { return !r; });
        if (same)
            continue;
        if (std::all_of(first, last, [](const RowPointer& r) { return !r; })) {
            block = nullptr;
        } else {
            block = std::make_shared<RowBlock>();
            std::copy(first, last, block->begin());
        }
    }
}

const ProgramRow& ProgramPool::Row(int row) const {
    if (!IsValidRow(row))
        return kEmptyRow;
    const RowPointer& shared = RowAt(row);
    return shared ? *shared : kEmptyRow;
}

const std::string& ProgramPool::Cell(int row, int field) const {
    return IsValidField(field) ? Row(row)[static_cast<std::size_t>(field)] : kEmptyRow[0];
}

bool ProgramPool::SetCell(int row, int field, std::string_view text) {
    if (!IsValidRow(row) || !IsValidField(field))
        return false;
    std::string cell = SingleLineText(text);
    if (Cell(row, field) != cell) {
        WritableRow(row)[static_cast<std::size_t>(field)] = std::move(cell);
        DropIfEmpty(row);
    }
    return true;
}

bool ProgramPool::SetRow(int row, const ProgramRow& cells) {
    return IsValidRow(row) && AssignRow(row, cells);
}

bool ProgramPool::SetRowFromLine(int row, std::string_view line) {
    if (!IsValidRow(row))
        return false;
    ProgramRow cells;
    for (std::size_t field = 0; field < cells.size(); ++field) {
        const std::size_t tab = line.find('\t');
        cells[field] = std::string(line.substr(0, tab));
        if (tab == std::string_view::npos)
            break;
        line.remove_prefix(tab + 1);
    }
    return AssignRow(row, std::move(cells));
}

bool ProgramPool::AssignRow(int row, ProgramRow cells) {
    for (std::string& cell : cells)
        cell = SingleLineText(cell);
    if (cells == Row(row))
        return true;
    // The whole row is made once: a list being read sets every row of the pool.
    const bool empty = std::all_of(cells.begin(), cells.end(),
                                   [](const std::string& cell) { return cell.empty(); });
    WritableSlot(row) = empty ? nullptr : std::make_shared<ProgramRow>(std::move(cells));
    return true;
}

bool ProgramPool::IsRowEmpty(int row) const {
    const ProgramRow& cells = Row(row);
    return std::all_of(cells.begin(), cells.end(),
                       [](const std::string& cell) { return cell.empty(); });
}

int ProgramPool::LastUsedRow() const {
    for (int row = kPoolRows - 1; row >= 0; --row)
        if (!IsRowEmpty(row))
            return row;
    return -1;
}

std::string ProgramPool::LineOfRow(int row) const {
    const ProgramRow& cells = Row(row);
    std::string line = cells[0];
    for (std::size_t field = 1; field < cells.size(); ++field) {
        line += '\t';
        line += cells[field];
    }
    return line;
}

void ProgramPool::InsertEmptyRows(int row, int count) {
    if (!IsValidRow(row) || count <= 0)
        return;
    count = std::min(count, kPoolRows - row);
    std::vector<RowPointer> rows = AllRows();
    const auto first = rows.begin() + row;
    std::move_backward(first, rows.end() - count, rows.end());
    std::fill(first, first + count, nullptr);
    AssignRows(rows);
}

void ProgramPool::Rearrange(const std::vector<int>& sources) {
    std::vector<RowPointer> rows(kPoolRows);
    for (std::size_t row = 0; row < rows.size() && row < sources.size(); ++row)
        if (IsValidRow(sources[row]))
            rows[row] = RowAt(sources[row]);
    AssignRows(rows);
}

bool ProgramPool::HasRowsOf(const PoolSnapshot& snapshot) const {
    if (snapshot.m_blocks.size() != m_blocks.size())
        return false; // a snapshot of no pool
    for (std::size_t b = 0; b < m_blocks.size(); ++b) {
        const auto& mine = m_blocks[b];
        const auto& theirs = snapshot.m_blocks[b];
        if (mine == theirs)
            continue;
        for (std::size_t k = 0; k < kBlockRows; ++k)
            if (!SameRow(mine ? (*mine)[k] : kNoRow, theirs ? (*theirs)[k] : kNoRow))
                return false;
    }
    return true;
}

int IsRowIncomplete(const ProgramPool& pool, int row, int listType, bool force) {
    if (!ProgramPool::IsValidRow(row))
        return -1;
    return IsProgramIncomplete(pool.Row(row), listType, force) ? row : -1;
}

int FindIncompleteRow(const ProgramPool& pool, int listType) {
    for (int row = 0; row < ProgramPool::RowCount(); ++row)
        if (IsRowIncomplete(pool, row, listType, false) >= 0)
            return row;
    return -1;
}

} // namespace fw

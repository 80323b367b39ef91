#include "core/lists/ProgramPool.h"

#include <algorithm>

namespace fw {
namespace {

const ProgramRow kEmptyRow{};

bool IsValidField(int field) {
    return field >= 0 && field < kFieldCount;
}

bool SameRow(const std::shared_ptr<ProgramRow>& a, const std::shared_ptr<ProgramRow>& b) {
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

} // namespace

std::size_t PoolSnapshot::BytesBeyond(const PoolSnapshot& other) const {
    std::vector<const ProgramRow*> shared;
    shared.reserve(other.m_rows.size());
    for (const auto& row : other.m_rows)
        shared.push_back(row.get());
    std::sort(shared.begin(), shared.end());
    std::size_t bytes = sizeof(PoolSnapshot) + m_rows.capacity() * sizeof(m_rows[0]);
    for (const auto& row : m_rows)
        if (row && !std::binary_search(shared.begin(), shared.end(), row.get()))
            bytes += RowBytes(*row);
    return bytes;
}

CProgramPool::CProgramPool() : m_rows(kPoolRows) {}

PoolSnapshot CProgramPool::Snapshot() const {
    PoolSnapshot snapshot;
    snapshot.m_rows = m_rows;
    return snapshot;
}

void CProgramPool::Restore(const PoolSnapshot& snapshot) {
    m_rows = snapshot.m_rows;
}

void CProgramPool::Clear() {
    std::fill(m_rows.begin(), m_rows.end(), nullptr);
}

ProgramRow& CProgramPool::WritableRow(int row) {
    auto& shared = m_rows[static_cast<std::size_t>(row)];
    // A row still held by a snapshot is copied before it changes.
    if (!shared)
        shared = std::make_shared<ProgramRow>();
    else if (shared.use_count() > 1)
        shared = std::make_shared<ProgramRow>(*shared);
    return *shared;
}

void CProgramPool::DropIfEmpty(int row) {
    if (IsRowEmpty(row))
        m_rows[static_cast<std::size_t>(row)] = nullptr;
}

const ProgramRow& CProgramPool::Row(int row) const {
    if (!IsValidRow(row))
        return kEmptyRow;
    const auto& shared = m_rows[static_cast<std::size_t>(row)];
    return shared ? *shared : kEmptyRow;
}

const std::string& CProgramPool::Cell(int row, int field) const {
    return IsValidField(field) ? Row(row)[static_cast<std::size_t>(field)] : kEmptyRow[0];
}

bool CProgramPool::SetCell(int row, int field, std::string_view text) {
    if (!IsValidRow(row) || !IsValidField(field))
        return false;
    std::string cell = SingleLineText(text);
    if (Cell(row, field) != cell) {
        WritableRow(row)[static_cast<std::size_t>(field)] = std::move(cell);
        DropIfEmpty(row);
    }
    return true;
}

bool CProgramPool::SetRow(int row, const ProgramRow& cells) {
    if (!IsValidRow(row))
        return false;
    for (int field = 0; field < kFieldCount; ++field)
        SetCell(row, field, cells[static_cast<std::size_t>(field)]);
    return true;
}

bool CProgramPool::SetRowFromLine(int row, std::string_view line) {
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
    return SetRow(row, cells);
}

bool CProgramPool::IsRowEmpty(int row) const {
    const ProgramRow& cells = Row(row);
    return std::all_of(cells.begin(), cells.end(),
                       [](const std::string& cell) { return cell.empty(); });
}

int CProgramPool::LastUsedRow() const {
    for (int row = kPoolRows - 1; row >= 0; --row)
        if (!IsRowEmpty(row))
            return row;
    return -1;
}

std::string CProgramPool::LineOfRow(int row) const {
    const ProgramRow& cells = Row(row);
    std::string line = cells[0];
    for (std::size_t field = 1; field < cells.size(); ++field) {
        line += '\t';
        line += cells[field];
    }
    return line;
}

void CProgramPool::InsertEmptyRows(int row, int count) {
    if (!IsValidRow(row) || count <= 0)
        return;
    count = std::min(count, kPoolRows - row);
    const auto first = m_rows.begin() + row;
    std::move_backward(first, m_rows.end() - count, m_rows.end());
    std::fill(first, first + count, nullptr);
}

void CProgramPool::Rearrange(const std::vector<int>& sources) {
    std::vector<std::shared_ptr<ProgramRow>> rows(kPoolRows);
    for (std::size_t row = 0; row < rows.size() && row < sources.size(); ++row)
        if (IsValidRow(sources[row]))
            rows[row] = m_rows[static_cast<std::size_t>(sources[row])];
    m_rows = std::move(rows);
}

bool CProgramPool::HasRowsOf(const PoolSnapshot& snapshot) const {
    return std::equal(m_rows.begin(), m_rows.end(), snapshot.m_rows.begin(), snapshot.m_rows.end(),
                      SameRow);
}

int IsRowIncomplete(const CProgramPool& pool, int row, int listType, bool force) {
    if (!CProgramPool::IsValidRow(row))
        return -1;
    return IsProgramIncomplete(pool.Row(row), listType, force) ? row : -1;
}

int FindIncompleteRow(const CProgramPool& pool, int listType) {
    for (int row = 0; row < CProgramPool::RowCount(); ++row)
        if (IsRowIncomplete(pool, row, listType, false) >= 0)
            return row;
    return -1;
}

} // namespace fw

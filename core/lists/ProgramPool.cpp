#include "core/lists/ProgramPool.h"

#include <algorithm>

namespace fw {
namespace {

const ProgramRow kEmptyRow{};

bool IsValidField(int field) {
    return field >= 0 && field < kFieldCount;
}

} // namespace

CProgramPool::CProgramPool() : m_rows(kPoolRows) {}

void CProgramPool::Clear() {
    for (ProgramRow& row : m_rows)
        for (std::string& cell : row)
            cell.clear();
}

const ProgramRow& CProgramPool::Row(int row) const {
    return IsValidRow(row) ? m_rows[static_cast<std::size_t>(row)] : kEmptyRow;
}

const std::string& CProgramPool::Cell(int row, int field) const {
    return IsValidField(field) ? Row(row)[static_cast<std::size_t>(field)] : kEmptyRow[0];
}

bool CProgramPool::SetCell(int row, int field, std::string_view text) {
    if (!IsValidRow(row) || !IsValidField(field))
        return false;
    m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(field)] = SingleLineText(text);
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
    // Moving the tail keeps the strings' buffers; only the dropped rows are destroyed.
    std::move_backward(first, m_rows.end() - count, m_rows.end());
    std::for_each(first, first + count, [](ProgramRow& cells) { cells = ProgramRow{}; });
}

void CProgramPool::RemoveRows(int row, int count) {
    if (!IsValidRow(row) || count <= 0)
        return;
    count = std::min(count, kPoolRows - row);
    const auto first = m_rows.begin() + row;
    std::move(first + count, m_rows.end(), first);
    std::for_each(m_rows.end() - count, m_rows.end(),
                  [](ProgramRow& cells) { cells = ProgramRow{}; });
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

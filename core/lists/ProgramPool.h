#pragma once

#include "core/lists/ProgramRecord.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

inline constexpr int kPoolRows = 4000;

// Rows are held in blocks of kBlockRows. A block and a row are shared by the pool and its
// snapshots until one side changes them, so an undo step of one cell holds one block table,
// one block and one row instead of a pointer per row of the pool.
inline constexpr int kBlockRows = 50;
inline constexpr int kBlockCount = kPoolRows / kBlockRows;
static_assert(kPoolRows % kBlockRows == 0);
using RowPointer = std::shared_ptr<ProgramRow>; // no row: an empty one
using RowBlock = std::array<RowPointer, kBlockRows>;
using BlockTable = std::vector<std::shared_ptr<RowBlock>>; // no block: empty rows only

// The rows of a pool at one moment.
class PoolSnapshot {
public:
    // The memory this snapshot holds beyond what it shares with other: its block table, the
    // blocks other does not hold and the rows of those blocks other does not hold.
    std::size_t BytesBeyond(const PoolSnapshot& other) const;

private:
    friend class ProgramPool;
    BlockTable m_blocks;
};

// The program places the editor shows and the list file holds: always kPoolRows rows of
// eleven byte strings (Windows-1252, never converted). A row's address (Adr) is its index.
// Cells never hold TAB, CR or LF, so every row is one line of the file.
class ProgramPool {
public:
    ProgramPool();

    PoolSnapshot Snapshot() const;
    void Restore(const PoolSnapshot& snapshot);

    static constexpr int RowCount() { return kPoolRows; }
    static bool IsValidRow(int row) { return row >= 0 && row < kPoolRows; }
    static std::string AdrText(int row) { return std::to_string(row); }

    void Clear();

    // Out-of-range rows and fields read as empty and ignore writes (the setters say false).
    const ProgramRow& Row(int row) const;
    const std::string& Cell(int row, int field) const;
    bool SetCell(int row, int field, std::string_view text);
    bool SetRow(int row, const ProgramRow& cells);
    // Fields split at TAB; missing fields become empty, fields beyond the eleventh are ignored.
    bool SetRowFromLine(int row, std::string_view line);

    bool IsRowEmpty(int row) const;
    // -1 when every row is empty.
    int LastUsedRow() const;
    // The eleven fields joined by TAB: the row's line in the list file.
    std::string LineOfRow(int row) const;

    // The pool keeps its size: inserting drops as many rows at the end. The count is clipped
    // to the rows that exist.
    void InsertEmptyRows(int row, int count);
    // Row i takes the program of row sources[i]; -1, a row outside the pool or a missing
    // element leaves it empty.
    void Rearrange(const std::vector<int>& sources);
    bool HasRowsOf(const PoolSnapshot& snapshot) const;

private:
    const RowPointer& RowAt(int row) const;
    // The row's place in its block, the block unshared first.
    RowPointer& WritableSlot(int row);
    // The row to write into, its block and itself unshared first; an empty row is held as
    // no row at all.
    ProgramRow& WritableRow(int row);
    void DropIfEmpty(int row);
    // Puts cells, made single-line, into the row.
    bool AssignRow(int row, ProgramRow cells);
    std::vector<RowPointer> AllRows() const;
    // Takes rows (kPoolRows of them), keeping every block whose rows stay as they are, so
    // that snapshots keep sharing it.
    void AssignRows(const std::vector<RowPointer>& rows);

    BlockTable m_blocks;
};

// The completeness rule on a pool row: the row index when it is incomplete, else -1
// (also -1 for a row outside the pool).
int IsRowIncomplete(const ProgramPool& pool, int row, int listType, bool force);
// The first incomplete row, or -1.
int FindIncompleteRow(const ProgramPool& pool, int listType);

} // namespace fw

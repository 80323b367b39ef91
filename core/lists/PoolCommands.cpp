#include "core/lists/PoolCommands.h"

#include "core/lists/ClipboardText.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/util/Cp1252.h"
#include "core/util/TextUtil.h"

#include <numeric>

namespace fw {
namespace {

constexpr BankFlags kUnchanged = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

void WriteProgramLine(CProgramPool& pool, int row, std::string_view pasted) {
    std::string line(pasted);
    SanitizeProgramLine(line);
    pool.SetRowFromLine(row, line);
}

// Follows every pool row to the row its program held before a move; -1 for a new row.
class RowOrigins {
public:
    RowOrigins() : m_origin(kPoolRows) { std::iota(m_origin.begin(), m_origin.end(), 0); }

    void Remove(int row) {
        m_origin.erase(m_origin.begin() + row);
        m_origin.push_back(-1);
    }
    void Insert(int row) {
        m_origin.insert(m_origin.begin() + row, -1);
        m_origin.pop_back();
    }
    void Set(int row, int origin) { m_origin[static_cast<std::size_t>(row)] = origin; }

    // For each former row its row now; -1 where its program is gone.
    std::vector<int> RemapTable() const {
        std::vector<int> table(kPoolRows, -1);
        for (int row = 0; row < kPoolRows; ++row) {
            const int origin = m_origin[static_cast<std::size_t>(row)];
            if (origin >= 0)
                table[static_cast<std::size_t>(origin)] = row;
        }
        return table;
    }

private:
    std::vector<int> m_origin;
};

// Takes the cut rows out and puts the pasted lines (the same programs) back at target.
EditResult PasteCut(ListDocument& doc, const PendingCut& cut, int target,
                    const std::vector<std::string_view>& lines, bool inserting) {
    const int stepName = inserting ? str::kStepMoveRows : str::kStepPasteOverwriting;
    if (cut.Contains(target)) {
        doc.poolCut.reset();
        return MakeResult(EditStatus::TargetInCut, 0, stepName);
    }
    RowOrigins origins;
    for (auto row = cut.items.rbegin(); row != cut.items.rend(); ++row) {
        doc.pool.RemoveRows(*row, 1);
        origins.Remove(*row);
    }
    target -= cut.CountBelow(target);
    const std::size_t count = std::min(lines.size(), cut.items.size());
    for (std::size_t j = 0; j < count; ++j) {
        const int row = target + static_cast<int>(j);
        if (!CProgramPool::IsValidRow(row))
            break;
        if (inserting) {
            doc.pool.InsertEmptyRows(row, 1);
            origins.Insert(row);
        }
        WriteProgramLine(doc.pool, row, lines[j]);
        origins.Set(row, cut.items[j]);
    }
    BankFlags changed = kUnchanged;
    doc.banks.RemapPrograms(origins.RemapTable(), changed);
    return Done(stepName);
}

EditResult Paste(ListDocument& doc, int target, std::string_view clipboard, bool inserting) {
    const std::vector<std::string_view> lines = SplitClipboardLines(clipboard);
    // Checked before a pending cut removes anything.
    if (lines.empty() || !CProgramPool::IsValidRow(target))
        return MakeResult(EditStatus::NothingToDo, 0);
    EditResult result;
    if (const PendingCut* cut = HonouredCut(doc.poolCut, clipboard)) {
        result = PasteCut(doc, *cut, target, lines, inserting);
    } else {
        const int count = std::min(static_cast<int>(lines.size()), kPoolRows - target);
        if (inserting) {
            doc.pool.InsertEmptyRows(target, count);
            BankFlags changed = kUnchanged;
            doc.banks.InsertPrograms(target, count, changed);
        }
        for (int j = 0; j < count; ++j)
            WriteProgramLine(doc.pool, target + j, lines[static_cast<std::size_t>(j)]);
        result = Done(inserting ? str::kStepPasteRows : str::kStepPasteOverwriting);
    }
    // A paste changes names or places that the bank lists show.
    if (result.status == EditStatus::Done)
        doc.bankCut.reset();
    doc.poolCut.reset();
    return result;
}

std::string CopyOrCut(ListDocument& doc, std::vector<int> rows, bool cut) {
    rows = SortedItems(std::move(rows), kPoolRows);
    std::string text = PoolClipboardText(doc.pool, rows);
    doc.poolCut.reset();
    if (cut && !rows.empty())
        doc.poolCut = PendingCut{std::move(rows), text, -1};
    return text;
}

} // namespace

EditResult EditCell(ListDocument& doc, int row, int column, std::string text) {
    doc.poolCut.reset();
    const int field = FieldOfColumn(column);
    if (!CProgramPool::IsValidRow(row) || field < 0 || field >= kFieldCount)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepEditCell);
    const CellCheck check = ValidateCell(column, text);
    if (check.result == 0) {
        EditResult result = MakeResult(EditStatus::CellRejected, check.messageId, str::kStepEditCell);
        result.message = check.message;
        return result;
    }
    const std::string_view value = Trim(text);
    if (value == doc.pool.Cell(row, field))
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepEditCell);
    doc.pool.SetCell(row, field, value);
    // The bank lists show the name; a cut there is dropped as a rename drops it.
    if (field == kFieldName)
        doc.bankCut.reset();
    return Done(str::kStepEditCell);
}

EditResult InsertEmptyRows(ListDocument& doc, int row, int count) {
    doc.poolCut.reset();
    if (!CProgramPool::IsValidRow(row) || count <= 0)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepInsertRows);
    count = std::min(count, kPoolRows - row);
    doc.bankCut.reset();
    doc.pool.InsertEmptyRows(row, count);
    BankFlags changed = kUnchanged;
    doc.banks.InsertPrograms(row, count, changed);
    return Done(str::kStepInsertRows);
}

EditResult ClearRows(ListDocument& doc, std::vector<int> rows) {
    doc.poolCut.reset();
    BankFlags changed = kUnchanged;
    for (int row : SortedItems(std::move(rows), kPoolRows)) {
        doc.banks.RemoveProgram(row, changed);
        doc.pool.SetRow(row, ProgramRow{});
    }
    ForgetStaleBankCut(doc, changed);
    return Done(str::kStepClearRows);
}

EditResult DeleteRows(ListDocument& doc, std::vector<int> rows) {
    doc.poolCut.reset();
    rows = SortedItems(std::move(rows), kPoolRows);
    if (!rows.empty())
        doc.bankCut.reset();
    BankFlags changed = kUnchanged;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        doc.banks.DeleteProgram(*row, changed);
        doc.pool.RemoveRows(*row, 1);
    }
    return Done(str::kStepDeleteRows);
}

std::string CopyRows(ListDocument& doc, std::vector<int> rows) {
    return CopyOrCut(doc, std::move(rows), false);
}

std::string CutRows(ListDocument& doc, std::vector<int> rows) {
    return CopyOrCut(doc, std::move(rows), true);
}

EditResult PasteOverwriting(ListDocument& doc, int target, std::string_view clipboard) {
    return Paste(doc, target, clipboard, false);
}

EditResult PasteInserting(ListDocument& doc, int target, std::string_view clipboard) {
    return Paste(doc, target, clipboard, true);
}

EditResult AddToBank(ListDocument& doc, std::vector<int> rows, int bank, int position) {
    doc.poolCut.reset();
    rows = SortedItems(std::move(rows), kPoolRows);
    if (rows.empty() || bank < 0 || bank >= kBankCount)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepAddToBank);
    if (doc.banks.GetCount(bank) + static_cast<int>(rows.size()) > kBankCapacity)
        return MakeResult(EditStatus::BankFull, str::kBankAlreadyFull, str::kStepAddToBank);
    BankFlags changed = kUnchanged;
    EditResult result = Done(str::kStepAddToBank);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (IsRowIncomplete(doc.pool, rows[k], doc.listType, true) >= 0) {
            result = MakeResult(EditStatus::IncompleteProgram, str::kAddIncompleteProgram,
                             str::kStepAddToBank);
            result.row = rows[k];
            break;
        }
        const int at = position < 0 ? -1 : position + static_cast<int>(k);
        doc.banks.Insert(bank, CFavEintrag{rows[k]}, at);
        changed[static_cast<std::size_t>(bank)] = 0;
    }
    ForgetStaleBankCut(doc, changed);
    return result;
}

EditResult SearchPool(const ListDocument& doc, std::string_view text, int selectedRow) {
    if (text.empty())
        return MakeResult(EditStatus::NothingToDo, 0);
    const int start = CProgramPool::IsValidRow(selectedRow) ? selectedRow + 1 : 0;
    for (int i = 0; i < kPoolRows; ++i) {
        const int row = (start + i) % kPoolRows;
        if (ContainsIgnoringCaseCp1252(doc.pool.Cell(row, kFieldName), text))
            return Found(row);
    }
    return MakeResult(EditStatus::NotFound, str::kSearchTextNotFound);
}

} // namespace fw

#include "core/editor/PoolCommands.h"

#include "core/editor/ClipboardText.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <numeric>

namespace fw {

ChangedBanks MovePrograms(ListDocument& doc, const std::vector<int>& sources) {
    std::vector<int> table(kPoolRows, -1);
    for (std::size_t row = 0; row < sources.size(); ++row)
        if (ProgramPool::IsValidRow(sources[row]))
            table[static_cast<std::size_t>(sources[row])] = static_cast<int>(row);
    doc.pool.Rearrange(sources);
    ChangedBanks changed;
    doc.banks.RemapPrograms(table, changed.Flags());
    return changed;
}

namespace {

void WriteProgramLine(ProgramPool& pool, int row, std::string_view pasted) {
    std::string line(pasted);
    SanitizeProgramLine(line);
    pool.SetRowFromLine(row, line);
}

// The pool's rows in order, leaving out the given ones (ascending).
std::vector<int> RowsWithout(const std::vector<int>& left) {
    std::vector<int> rows;
    rows.reserve(kPoolRows);
    for (int row = 0; row < kPoolRows; ++row)
        if (!std::binary_search(left.begin(), left.end(), row))
            rows.push_back(row);
    return rows;
}

// The cut rows leave their places and land at target, before its program or over the rows
// from there. They are moved as they are: the clipboard holds exactly their text.
EditResult PasteCut(ListDocument& doc, const PendingCut& cut, int target, bool inserting) {
    const int stepName = inserting ? str::kStepMoveRows : str::kStepPasteOverwriting;
    if (cut.Contains(target)) {
        doc.poolCut.reset();
        return MakeResult(EditStatus::TargetInCut, 0, stepName);
    }
    std::vector<int> sources = RowsWithout(cut.items);
    target -= cut.CountBelow(target);
    if (inserting) {
        sources.insert(sources.begin() + target, cut.items.begin(), cut.items.end());
    } else {
        // The rows left empty at the end hold no program, so no reference may move there.
        sources.resize(kPoolRows, -1);
        for (std::size_t j = 0; j < cut.items.size(); ++j)
            if (ProgramPool::IsValidRow(target + static_cast<int>(j)))
                sources[static_cast<std::size_t>(target) + j] = cut.items[j];
    }
    MovePrograms(doc, sources);
    return Done(stepName);
}

EditResult Paste(ListDocument& doc, int target, std::string_view clipboard, bool inserting) {
    const std::vector<std::string_view> lines = SplitClipboardLines(clipboard);
    // Checked before a pending cut removes anything.
    if (lines.empty() || !ProgramPool::IsValidRow(target))
        return MakeResult(EditStatus::NothingToDo, 0);
    EditResult result;
    if (const PendingCut* cut = HonouredCut(doc.poolCut, clipboard)) {
        result = PasteCut(doc, *cut, target, inserting);
    } else {
        const int count = std::min(static_cast<int>(lines.size()), kPoolRows - target);
        if (inserting) {
            doc.pool.InsertEmptyRows(target, count);
            ChangedBanks changed;
            doc.banks.InsertPrograms(target, count, changed.Flags());
        }
        ChangedBanks changed;
        for (int j = 0; j < count; ++j) {
            WriteProgramLine(doc.pool, target + j, lines[static_cast<std::size_t>(j)]);
            // An empty row over a program removes it from the banks, as clearing it does.
            if (doc.pool.IsRowEmpty(target + j))
                doc.banks.RemoveProgram(target + j, changed.Flags());
        }
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
    if (!ProgramPool::IsValidRow(row) || field < 0 || field >= kFieldCount)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepEditCell);
    const CellCheck check = ValidateCell(column, text);
    if (check.status == CellStatus::Rejected) {
        EditResult result =
            MakeResult(EditStatus::CellRejected, check.messageId, str::kStepEditCell);
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
    if (!ProgramPool::IsValidRow(row) || count <= 0)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepInsertRows);
    count = std::min(count, kPoolRows - row);
    doc.bankCut.reset();
    doc.pool.InsertEmptyRows(row, count);
    ChangedBanks changed;
    doc.banks.InsertPrograms(row, count, changed.Flags());
    return Done(str::kStepInsertRows);
}

EditResult ClearRows(ListDocument& doc, std::vector<int> rows) {
    doc.poolCut.reset();
    std::vector<int> sources(kPoolRows);
    std::iota(sources.begin(), sources.end(), 0);
    for (int row : SortedItems(std::move(rows), kPoolRows))
        sources[static_cast<std::size_t>(row)] = -1;
    ForgetStaleBankCut(doc, MovePrograms(doc, sources));
    return Done(str::kStepClearRows);
}

EditResult DeleteRows(ListDocument& doc, std::vector<int> rows) {
    doc.poolCut.reset();
    rows = SortedItems(std::move(rows), kPoolRows);
    if (rows.empty())
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepDeleteRows);
    doc.bankCut.reset();
    MovePrograms(doc, RowsWithout(rows));
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
    // A bank naming a program twice is a slip of the hand: refused before anything is added.
    for (int entry = 0; entry < doc.banks.GetCount(bank); ++entry) {
        const int address = doc.banks.GetAddress(bank, entry);
        if (std::binary_search(rows.begin(), rows.end(), address)) {
            EditResult result = MakeResult(EditStatus::AlreadyInBank, str::kProgramAlreadyInBank,
                                           str::kStepAddToBank);
            result.message =
                FormatText(LoadResString(str::kProgramAlreadyInBank),
                           {Cp1252ToUtf8(doc.pool.Cell(address, kFieldName)),
                            std::to_string(address), std::to_string(entry), std::to_string(bank)});
            result.row = address;
            return result;
        }
    }
    if (doc.banks.GetCount(bank) + static_cast<int>(rows.size()) > kBankCapacity)
        return MakeResult(EditStatus::BankFull, str::kBankAlreadyFull, str::kStepAddToBank);
    ChangedBanks changed;
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
        changed.Add(bank);
    }
    ForgetStaleBankCut(doc, changed);
    return result;
}

EditResult SearchPool(const ListDocument& doc, std::string_view text, int selectedRow,
                      SearchColumns columns) {
    if (text.empty())
        return MakeResult(EditStatus::NothingToDo, 0);
    const std::string part = FoldCp1252(text);
    const auto matches = [&](int row) {
        if (columns == SearchColumns::Name)
            return FoldCp1252(doc.pool.Cell(row, kFieldName)).find(part) != std::string::npos;
        const ProgramRow& cells = doc.pool.Row(row);
        return std::any_of(cells.begin(), cells.end(), [&](const std::string& cell) {
            return FoldCp1252(cell).find(part) != std::string::npos;
        });
    };
    const int start = ProgramPool::IsValidRow(selectedRow) ? selectedRow + 1 : 0;
    for (int i = 0; i < kPoolRows; ++i) {
        const int row = (start + i) % kPoolRows;
        if (matches(row))
            return Found(row);
    }
    return MakeResult(EditStatus::NotFound, str::kSearchTextNotFound);
}

} // namespace fw

#include "core/editor/BankCommands.h"

#include "core/editor/ClipboardText.h"
#include "core/res/StringIds.h"
#include "core/util/Cp1252.h"
#include "core/util/TextUtil.h"

namespace fw {
namespace {

bool IsValidBank(int bank) {
    return bank >= 0 && bank < kBankCount;
}

const std::string& NameAt(const ListDocument& doc, int address) {
    return doc.pool.Cell(address, kFieldName);
}

// The address a pasted line names, when the line is "name TAB address" and the pool's program
// at that address has exactly that name; -1 otherwise.
int AddressOfLine(const ListDocument& doc, std::string_view line) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos)
        return -1;
    const std::string_view name = line.substr(0, tab);
    const std::string_view number = line.substr(tab + 1);
    // Longer numbers cannot name a pool row and would overflow.
    if (number.find('\t') != std::string_view::npos || number.size() > 4 || !IsAllDigits(number))
        return -1;
    const int address = number.empty() ? 0 : ToIntC(number);
    if (!ProgramPool::IsValidRow(address) || NameAt(doc, address) != name)
        return -1;
    return address;
}

std::string CopyOrCut(ListDocument& doc, int bank, std::vector<int> positions, bool cut) {
    positions = SortedItems(std::move(positions), doc.banks.GetCount(bank));
    std::string text;
    for (int position : positions) {
        const int address = doc.banks.GetAddress(bank, position);
        text += NameAt(doc, address);
        text += '\t';
        text += std::to_string(address);
        text += "\r\n";
    }
    doc.bankCut.reset();
    if (cut && !positions.empty())
        doc.bankCut = PendingCut{std::move(positions), text, bank};
    return text;
}

} // namespace

std::vector<bool> PoolMarks(const CFavoritenDat& banks, int bank) {
    std::vector<bool> marks(kPoolRows, false);
    for (int index = 0; index < banks.GetCount(bank); ++index) {
        const int address = banks.GetAddress(bank, index);
        if (ProgramPool::IsValidRow(address))
            marks[static_cast<std::size_t>(address)] = true;
    }
    return marks;
}

std::string AdrColumnText(int row, bool marked) {
    return ProgramPool::AdrText(row) + (marked ? " =" : "");
}

EditResult DeleteBankEntries(ListDocument& doc, int bank, std::vector<int> positions) {
    doc.bankCut.reset();
    positions = SortedItems(std::move(positions), doc.banks.GetCount(bank));
    for (auto position = positions.rbegin(); position != positions.rend(); ++position)
        doc.banks.RemoveAt(bank, *position);
    return Done(str::kStepDeleteBankEntries);
}

std::string CopyBankEntries(ListDocument& doc, int bank, std::vector<int> positions) {
    return CopyOrCut(doc, bank, std::move(positions), false);
}

std::string CutBankEntries(ListDocument& doc, int bank, std::vector<int> positions) {
    return CopyOrCut(doc, bank, std::move(positions), true);
}

EditResult PasteBankEntries(ListDocument& doc, int bank, int position, std::string_view clipboard) {
    const std::vector<std::string_view> lines = SplitClipboardLines(clipboard);
    if (lines.empty() || !IsValidBank(bank))
        return MakeResult(EditStatus::NothingToDo, 0);
    std::vector<int> addresses;
    for (std::string_view line : lines)
        if (const int address = AddressOfLine(doc, line); address >= 0)
            addresses.push_back(address);
    const bool someRejected = addresses.size() < lines.size();

    const PendingCut* cut = HonouredCut(doc.bankCut, clipboard);
    const int stepName = cut ? str::kStepMoveBankEntries : str::kStepPasteBankEntries;
    if (cut) {
        const int freed = cut->bank == bank ? static_cast<int>(cut->items.size()) : 0;
        // Removing the cut entries first would lose those that then do not fit.
        if (doc.banks.GetCount(bank) - freed + static_cast<int>(addresses.size()) > kBankCapacity)
            return MakeResult(EditStatus::BankFull, str::kFavouriteBankFull, stepName);
        for (auto item = cut->items.rbegin(); item != cut->items.rend(); ++item)
            doc.banks.RemoveAt(cut->bank, *item);
        if (cut->bank == bank && position >= 0)
            position = cut->Contains(position) ? -1 : position - cut->CountBelow(position);
    }
    doc.bankCut.reset();

    bool full = false;
    for (std::size_t k = 0; k < addresses.size(); ++k) {
        if (doc.banks.GetCount(bank) >= kBankCapacity) {
            full = true;
            break;
        }
        const int at = position < 0 ? -1 : position + static_cast<int>(k);
        doc.banks.Insert(bank, CFavEintrag{addresses[k]}, at);
    }
    if (full)
        return MakeResult(EditStatus::BankFull, str::kFavouriteBankFull, stepName);
    if (someRejected)
        return MakeResult(EditStatus::LinesRejected, str::kNotAllProgramsPasted, stepName);
    return Done(stepName);
}

EditResult SearchBank(const ListDocument& doc, int bank, std::string_view text, int selected) {
    if (text.empty() || !IsValidBank(bank))
        return MakeResult(EditStatus::NothingToDo, 0);
    // The list's rows: one per entry and the trailing empty one.
    const int rows = doc.banks.GetCount(bank) + 1;
    const int start = selected >= 0 && selected < rows ? selected + 1 : 0;
    for (int i = 0; i < rows; ++i) {
        const int position = (start + i) % rows;
        if (ContainsFoldedCp1252(NameAt(doc, doc.banks.GetAddress(bank, position)), text))
            return Found(position);
    }
    return MakeResult(EditStatus::NotFound, str::kSearchTextNotFound);
}

} // namespace fw

#include "core/editor/RowsPastEnd.h"

#include "core/editor/ClipboardText.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

#include <algorithm>

namespace fw {
namespace {

int BankEntriesOf(const CFavoritenDat& banks, int row) {
    int entries = 0;
    for (int bank = 0; bank < kBankCount; ++bank)
        for (int index = 0; index < banks.GetCount(bank); ++index)
            entries += banks.GetAddress(bank, index) == row ? 1 : 0;
    return entries;
}

// Counts the program at row, which the edit would lose.
void AddLostRow(const ListDocument& doc, int row, RowsPastEnd& lost) {
    if (doc.pool.IsRowEmpty(row))
        return;
    ++lost.programs;
    lost.firstPlace = lost.firstPlace < 0 ? row : std::min(lost.firstPlace, row);
    lost.lastPlace = std::max(lost.lastPlace, row);
    lost.bankEntries += BankEntriesOf(doc.banks, row);
}

// Whether a pasted line becomes a program: any field left after the check.
bool IsProgramOfLine(std::string_view pasted) {
    std::string line(pasted);
    SanitizeProgramLine(line);
    std::string_view rest = line;
    for (int field = 0; field < kFieldCount; ++field) {
        const std::size_t tab = rest.find('\t');
        if (!rest.substr(0, tab).empty())
            return true;
        if (tab == std::string_view::npos)
            return false;
        rest.remove_prefix(tab + 1);
    }
    return false;
}

} // namespace

RowsPastEnd RowsPastEndOfInsert(const ListDocument& doc, int row, int count) {
    RowsPastEnd lost;
    if (!ProgramPool::IsValidRow(row) || count <= 0)
        return lost;
    count = std::min(count, kPoolRows - row);
    for (int place = kPoolRows - count; place < kPoolRows; ++place)
        AddLostRow(doc, place, lost);
    return lost;
}

RowsPastEnd RowsPastEndOfPaste(const ListDocument& doc, int target, std::string_view clipboard,
                               bool inserting) {
    const std::vector<std::string_view> lines = SplitClipboardLines(clipboard);
    if (lines.empty() || !ProgramPool::IsValidRow(target))
        return {};
    // A move keeps every program: the rows it leaves make room for it, even overwriting.
    if (doc.poolCut && doc.poolCut->text == clipboard)
        return {};
    if (inserting)
        return RowsPastEndOfInsert(doc, target, static_cast<int>(lines.size()));
    RowsPastEnd lost{false};
    for (std::size_t j = static_cast<std::size_t>(kPoolRows - target); j < lines.size(); ++j)
        lost.programs += IsProgramOfLine(lines[j]) ? 1 : 0;
    return lost;
}

std::string RowsPastEndText(const RowsPastEnd& lost) {
    if (lost.programs == 0)
        return {};
    if (!lost.inserting)
        return FormatText(LoadResString(str::kProgramsPastLastPlace),
                          {std::to_string(lost.programs)});
    std::string text =
        lost.programs == 1
            ? FormatText(LoadResString(str::kOneProgramAtEnd), {std::to_string(lost.firstPlace)})
            : FormatText(LoadResString(str::kProgramsAtEnd),
                         {std::to_string(lost.programs), std::to_string(lost.firstPlace),
                          std::to_string(lost.lastPlace)});
    if (lost.bankEntries == 1)
        text += LoadResString(str::kAndOneBankEntry);
    else if (lost.bankEntries > 1)
        text += FormatText(LoadResString(str::kAndBankEntries), {std::to_string(lost.bankEntries)});
    text += LoadResString(lost.programs == 1 && lost.bankEntries == 0 ? str::kWouldBeRemovedOne
                                                                      : str::kWouldBeRemovedMany);
    return text;
}

} // namespace fw

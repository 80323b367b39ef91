#pragma once

#include "core/lists/FavoritenDat.h"
#include "core/lists/ProgramPool.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// Pool rows or bank entries taken by a cut. They stay where they are until the cut is pasted,
// and the paste honours the cut only while the clipboard still holds exactly the text the cut
// put there: whatever was copied meanwhile, here or in another program, is pasted as a copy.
struct PendingCut {
    std::vector<int> items; // ascending, no repeats
    std::string text;
    int bank = -1; // the bank a bank cut came from

    bool Contains(int item) const;
    int CountBelow(int item) const;
};

// The pending cut when the clipboard still holds its text; otherwise the cut is forgotten.
const PendingCut* HonouredCut(std::optional<PendingCut>& cut, std::string_view clipboard);

// A program list as the editor changes it: pool, banks and header, with the two pending cuts
// (pool and bank lists), which no undo step restores.
struct ListDocument {
    ProgramPool pool;
    CFavoritenDat banks;
    std::string description;
    int listType = kListUnknown;
    std::optional<PendingCut> poolCut;
    std::optional<PendingCut> bankCut;
};

enum class EditStatus {
    Done,
    NothingToDo,
    CellRejected,
    TargetInCut,
    BankFull,
    IncompleteProgram,
    AlreadyInBank,
    LinesRejected,
    NotFound,
};

// How a command ended. Refusals carry the number of the message to show; core shows nothing.
struct EditResult {
    EditStatus status = EditStatus::Done;
    int messageId = 0;   // 0 when there is nothing to tell
    std::string message; // the cell check's text, formatted with its limit
    int row = -1;        // the row or bank position a search found, the incomplete row, or the row
                         // already in the bank
    int stepName = 0;    // string number naming the command for undo and redo
};

EditResult MakeResult(EditStatus status, int messageId, int stepName = 0);
EditResult Done(int stepName);
EditResult Found(int row);

// The rows or positions below limit, ascending, each once.
std::vector<int> SortedItems(std::vector<int> items, int limit);

// Forgets the bank cut when its bank changed by anything but its paste: its positions would
// name other entries.
void ForgetStaleBankCut(ListDocument& doc, const ChangedBanks& changed);

EditResult SetDescription(ListDocument& doc, std::string_view description);
// Radio, TV or unknown; anything else changes nothing.
EditResult SetListType(ListDocument& doc, int listType);

} // namespace fw

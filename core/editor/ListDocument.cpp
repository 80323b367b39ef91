#include "core/editor/ListDocument.h"

#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"

#include <algorithm>

namespace fw {

bool PendingCut::Contains(int item) const {
    return std::binary_search(items.begin(), items.end(), item);
}

int PendingCut::CountBelow(int item) const {
    return static_cast<int>(std::lower_bound(items.begin(), items.end(), item) - items.begin());
}

const PendingCut* HonouredCut(std::optional<PendingCut>& cut, std::string_view clipboard) {
    if (cut && cut->text != clipboard)
        cut.reset();
    return cut ? &*cut : nullptr;
}

EditResult MakeResult(EditStatus status, int messageId, int stepName) {
    EditResult result;
    result.status = status;
    result.messageId = messageId;
    result.stepName = stepName;
    return result;
}

EditResult Done(int stepName) {
    return MakeResult(EditStatus::Done, 0, stepName);
}

EditResult Found(int row) {
    EditResult result;
    result.row = row;
    return result;
}

std::vector<int> SortedItems(std::vector<int> items, int limit) {
    std::erase_if(items, [limit](int item) { return item < 0 || item >= limit; });
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    return items;
}

void ForgetStaleBankCut(ListDocument& doc, const ChangedBanks& changed) {
    if (doc.bankCut && changed.Contains(doc.bankCut->bank))
        doc.bankCut.reset();
}

EditResult SetDescription(ListDocument& doc, std::string_view description) {
    std::string text = SingleLineText(description);
    if (text == doc.description)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepDescription);
    doc.description = std::move(text);
    return Done(str::kStepDescription);
}

EditResult SetListType(ListDocument& doc, int listType) {
    const bool known = listType == kListRadio || listType == kListTv || listType == kListUnknown;
    if (!known || listType == doc.listType)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepListType);
    doc.listType = listType;
    return Done(str::kStepListType);
}

} // namespace fw

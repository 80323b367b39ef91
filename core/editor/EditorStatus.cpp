#include "core/editor/EditorStatus.h"

#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/TextUtil.h"

namespace fw {

bool SavesCopy(std::string_view typedName, std::string_view openedFileName) {
    const std::string_view name = Trim(typedName);
    return !openedFileName.empty() && !name.empty() && CompleteListFileName(name) != openedFileName;
}

std::string ListDisplayName(std::string_view typedName) {
    const std::string_view name = Trim(typedName);
    return name.empty() ? LoadResString(str::kNewListName) : std::string(name);
}

std::string EditorTitle(std::string_view caption, std::string_view typedName,
                        std::string_view openedFileName, bool modified) {
    std::string title = std::string(caption) + " - " + ListDisplayName(typedName);
    if (modified)
        title += '*';
    if (SavesCopy(typedName, openedFileName))
        title += ' ' + FormatText(LoadResString(str::kTitleSavesCopy), {openedFileName});
    return title;
}

std::string CopyNote(std::string_view typedName, std::string_view openedFileName) {
    return SavesCopy(typedName, openedFileName)
               ? FormatText(LoadResString(str::kFileNameSavesCopy), {openedFileName})
               : std::string();
}

int ProgramCount(const ProgramPool& pool) {
    int count = 0;
    for (int row = 0; row < kPoolRows; ++row)
        count += pool.IsRowEmpty(row) ? 0 : 1;
    return count;
}

std::string EditorStatusText(const ListDocument& doc, int selectedRows, int shownBank) {
    std::string text =
        FormatText(LoadResString(str::kStatusPool),
                   {std::to_string(ProgramCount(doc.pool)), std::to_string(selectedRows)});
    if (shownBank >= 0 && shownBank < kBankCount)
        text += " | " + FormatText(LoadResString(str::kStatusBank),
                                   {std::to_string(shownBank),
                                    std::to_string(doc.banks.GetCount(shownBank))});
    return text;
}

} // namespace fw

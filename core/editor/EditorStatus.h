#pragma once

#include "core/editor/ListDocument.h"

#include <string>
#include <string_view>

namespace fw {

// What the editor's title, file name field and status line say about the list it edits.

// The typed file name differs from the one the list was opened under: saving writes a copy
// and leaves the opened file as it is.
bool SavesCopy(std::string_view typedName, std::string_view openedFileName);

// The typed file name, or "new list" while none is typed.
std::string ListDisplayName(std::string_view typedName);

// "Programmpool - NAME*": the typed name (or "new list"), a star while the document differs
// from the file, and a note when saving writes a copy.
std::string EditorTitle(std::string_view caption, std::string_view typedName,
                        std::string_view openedFileName, bool modified);

// The tool tip of the file name field when saving writes a copy; empty otherwise.
std::string CopyNote(std::string_view typedName, std::string_view openedFileName);

int ProgramCount(const ProgramPool& pool);

// Programs, selected rows and the bank on display with its entries (no bank when shownBank is
// outside the banks).
std::string EditorStatusText(const ListDocument& doc, int selectedRows, int shownBank);

} // namespace fw

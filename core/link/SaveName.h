#pragma once

#include "core/link/TransferView.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace fw {

enum class SaveNameStatus {
    Ok,      // path is where the file goes; exists tells whether to ask before replacing
    Empty,   // nothing but blanks (or only the extension) was typed
    Refused, // not a plain file name, too long, or a folder
};

struct SaveName {
    SaveNameStatus status = SaveNameStatus::Empty;
    std::string fileName; // trimmed, with the extension
    std::string path;     // folder + "/" + fileName
    bool exists = false;
    // What to tell the user: why the name is refused, or the replace question when it exists.
    std::string message;
};

// ".lst" for program lists, ".grd" for settings.
std::string_view SaveExtension(SaveKind kind);

// The rule for a name typed into the save dialog: blanks at both ends trimmed; the extension
// appended unless the name already ends in it (any case); the file must stay a plain name in
// folder (IsPlainFileName), fit the folder's file system with its extension, and not name a
// folder.
SaveName CheckSaveName(std::string_view typed, SaveKind kind, const std::string& folder);

// The name the save dialog offers for a received program list: "tv-YYYY-MM-DD" or
// "radio-YYYY-MM-DD", with "-2", "-3", ... added until no list of that name is in folder.
std::string ProposeListName(bool radio, std::chrono::year_month_day date,
                            const std::string& folder);

// The longest file name, in bytes, that folder's file system takes.
std::size_t MaxFileNameBytes(const std::string& folder);

} // namespace fw

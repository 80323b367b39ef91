#pragma once

#include "core/lists/ListenDat.h"

#include <string>
#include <string_view>
#include <vector>

namespace fw {

class UserInteraction;

struct ListCatalogue {
    std::vector<CListenDat> records; // sorted by file name, case-insensitively
    bool anyFile = false;            // the folder held at least one "*.lst" file
};

// Every "*.lst" file of the folder (extension in any case) through NormalizeListFile. A file
// that cannot be read is reported (1106); a file that is no list offers to delete it (107). A
// repair that cannot be written (or would replace a link) lists the repaired text and says why
// once per file and run.
// A missing folder gives an empty catalogue.
ListCatalogue ScanListFolder(const std::string& folder, UserInteraction& ui);

// Why a file's content is no program list, as the end of a sentence; empty when it is one.
std::string WhyNoList(std::string_view content);

} // namespace fw

#pragma once

#include "core/settings/GrundDat.h"

#include <string>
#include <vector>

namespace fw {

class UserInteraction;

struct SettingsCatalogue {
    std::vector<CGrundDat> records;
    // 1 when the folder holds at least one matching file, else 0.
    int result = 0;
};

// The default-settings files ("*.grd", any case) of a folder, in file-name order. An empty file
// is asked about (Yes deletes it) and ends the pass: the files after it wait for the next scan.
SettingsCatalogue ScanSettingsFolder(const std::string& folder, UserInteraction& interaction);

} // namespace fw

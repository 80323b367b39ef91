#include "core/settings/SettingsCatalogue.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/FolderScan.h"
#include "core/util/UserInteraction.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <unistd.h>

namespace fw {

SettingsCatalogue ScanSettingsFolder(const std::string& folder, UserInteraction& interaction) {
    SettingsCatalogue catalogue;
    const std::vector<FoundFile> found = FindFilesWithExtension(folder, ".grd");
    catalogue.result = found.empty() ? 0 : 1;
    for (const FoundFile& file : found) {
        // Checked first: a pipe's size reads as 0, and it must not be offered for deletion.
        std::string reason;
        if (!IsReadableRegularFile(file.path, kTextFileLimit, reason)) {
            ReportUnreadableFile(interaction, file.path, reason);
            continue;
        }
        if (file.size == 0) {
            const std::string question =
                FormatText(LoadResString(str::kWrongFormatDeleteFile), {file.path});
            if (interaction.AskYesNo(question, MessageIcon::Warning) &&
                ::unlink(file.path.c_str()) != 0)
                interaction.ShowLastError(SystemReason(file.path, errno));
            break;
        }
        // The record holds 32 bits; a larger file still shows as the largest size.
        const auto size = static_cast<std::int32_t>(
            std::min<std::uint64_t>(file.size, static_cast<std::uint64_t>(INT32_MAX)));
        catalogue.records.push_back({{file.path, file.name}, size});
    }
    return catalogue;
}

} // namespace fw

#include "core/util/FolderScan.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/TextUtil.h"
#include "core/util/UserInteraction.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fw {
namespace {

bool LessNoCase(const std::string& a, const std::string& b) {
    const int order = CompareNoCase(a, b);
    // Names that differ only in case still get one fixed order.
    return order != 0 ? order < 0 : a < b;
}

} // namespace

void ReportUnreadableFile(UserInteraction& ui, const std::string& path, const std::string& reason) {
    std::string text = FormatText(LoadResString(str::kFileNotOpened), {path});
    if (!reason.empty())
        text += "\n\n" + reason;
    ui.ShowMessage(text, MessageIcon::Warning);
}

std::vector<FoundFile> FindFilesWithExtension(const std::string& folder,
                                              std::string_view extension) {
    namespace fs = std::filesystem;
    std::vector<FoundFile> found;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error)
        return found;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        const std::string name = it->path().filename().string();
        if (!EndsWithNoCase(name, extension))
            continue;
        std::error_code statError;
        if (it->is_directory(statError))
            continue;
        std::uintmax_t size = 0;
        if (it->is_regular_file(statError)) {
            size = it->file_size(statError);
            if (statError)
                size = 0;
        }
        found.push_back({name, (fs::path(folder) / name).string(), size});
    }
    std::sort(found.begin(), found.end(),
              [](const FoundFile& a, const FoundFile& b) { return LessNoCase(a.name, b.name); });
    return found;
}

} // namespace fw

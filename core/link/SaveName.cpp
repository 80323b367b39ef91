#include "core/link/SaveName.h"

#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/TextUtil.h"

#include <filesystem>
#include <system_error>

namespace fw {

std::string_view SaveExtension(SaveKind kind) {
    return kind == SaveKind::ProgramList ? ".lst" : ".grd";
}

SaveName CheckSaveName(std::string_view typed, SaveKind kind, const std::string& folder) {
    SaveName result;
    const std::string_view extension = SaveExtension(kind);
    const std::string_view name = Trim(typed);
    // A bare extension would make a hidden file that no catalogue lists.
    if (name.empty() || (name.size() == extension.size() && EndsWithNoCase(name, extension))) {
        result.status = SaveNameStatus::Empty;
        result.message = LoadResString(str::kChooseFileName);
        return result;
    }
    // ".." inside a name is refused too: it is never needed and reads like a path.
    if (!IsPlainFileName(name) || name.find("..") != std::string_view::npos) {
        result.status = SaveNameStatus::Refused;
        result.message = FormatText(LoadResString(str::kNotAFileName), {name});
        return result;
    }
    result.status = SaveNameStatus::Ok;
    result.fileName = std::string(name);
    if (!EndsWithNoCase(name, extension))
        result.fileName += extension;
    result.path = folder + "/" + result.fileName;
    std::error_code error;
    result.exists = std::filesystem::exists(std::filesystem::symlink_status(result.path, error));
    if (result.exists)
        result.message = FormatText(LoadResString(str::kFileExistsReplace), {result.path});
    return result;
}

} // namespace fw

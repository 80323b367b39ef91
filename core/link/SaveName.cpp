#include "core/link/SaveName.h"

#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/FolderScan.h"
#include "core/util/TextUtil.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fw {

std::string_view SaveExtension(SaveKind kind) {
    return kind == SaveKind::ProgramList ? ".lst" : ".grd";
}

std::size_t MaxFileNameBytes(const std::string& folder) {
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

std::string ProposeListName(bool radio, std::chrono::year_month_day date,
                            const std::string& folder) {
    char day[16];
    std::snprintf(day, sizeof day, "-%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    const std::string stem = std::string(radio ? "radio" : "tv") + day;
    std::string name = stem;
    for (int number = 2;; ++number) {
        std::error_code error;
        // Anything of that name, even a dangling link, would make the dialog ask to replace it.
        if (!std::filesystem::exists(
                std::filesystem::symlink_status(folder + "/" + name + ".lst", error)))
            return name;
        name = stem + "-" + std::to_string(number);
    }
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
    result.status = SaveNameStatus::Refused;
    if (!IsPlainFileName(name)) {
        result.message = FormatText(LoadResString(str::kNotAFileName), {name});
        return result;
    }
    result.fileName = std::string(name);
    if (!EndsWithNoCase(name, extension))
        result.fileName += extension;
    // Refused here rather than at the write, which comes after the data was received.
    const std::size_t limit = MaxFileNameBytes(folder);
    if (result.fileName.size() > limit) {
        result.message = FormatText(LoadResString(str::kFileNameTooLong),
                                    {result.fileName, std::to_string(limit)});
        return result;
    }
    result.path = folder + "/" + result.fileName;
    std::error_code error;
    const auto status = std::filesystem::symlink_status(result.path, error);
    if (std::filesystem::is_directory(status)) {
        result.message = FormatText(LoadResString(str::kFileNameIsFolder), {result.fileName});
        return result;
    }
    result.status = SaveNameStatus::Ok;
    result.exists = std::filesystem::exists(status);
    if (result.exists)
        result.message = FormatText(LoadResString(str::kFileExistsReplace), {result.path});
    return result;
}

} // namespace fw

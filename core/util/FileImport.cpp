#include "core/util/FileImport.h"

#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fw {

namespace {

// The name under which targetName already exists in folder, or targetName itself.
std::string ExistingName(const std::filesystem::path& folder, const std::string& targetName) {
    std::error_code error;
    if (std::filesystem::exists(folder / targetName, error))
        return targetName;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (EqualsNoCase(name, targetName))
            return name;
    }
    return targetName;
}

} // namespace

ImportResult ImportFile(const std::string& source, const std::string& folder,
                        const std::string& targetName, bool overwrite, const ImportCheck& check) {
    namespace fs = std::filesystem;
    ImportResult result;
    const fs::path folderPath(folder);
    const fs::path sourcePath(source);
    std::error_code error;

    if (fs::equivalent(sourcePath.parent_path(), folderPath, error) &&
        EqualsNoCase(sourcePath.filename().string(), targetName)) {
        result.target = source;
        result.status = ImportStatus::SameFile;
        return result;
    }
    const fs::path target = folderPath / ExistingName(folderPath, targetName);
    result.target = target.string();
    if (fs::equivalent(sourcePath, target, error)) {
        result.status = ImportStatus::SameFile;
        return result;
    }
    std::string data;
    // Firmware images are the only large files the catalogues hold.
    const std::uint64_t limit =
        EndsWithNoCase(targetName, ".bsr") ? kFirmwareFileLimit : kTextFileLimit;
    if (!ReadWholeFile(source, data, result.reason, limit))
        return result;
    // Refused before the user is asked to replace a file with it.
    if (check) {
        result.reason = check(data);
        if (!result.reason.empty()) {
            result.status = ImportStatus::Refused;
            return result;
        }
    }
    if (!overwrite && fs::exists(target, error)) {
        result.status = ImportStatus::Exists;
        return result;
    }
    // A link in the folder is an entry like any other: the copy takes its place.
    if (!WriteFileAtomically(result.target, data, result.reason, LinkHandling::ReplaceLink))
        return result;
    result.status = ImportStatus::Copied;
    return result;
}

bool DeleteFile(const std::string& path, std::string& reason) {
    if (::unlink(path.c_str()) == 0)
        return true;
    reason = SystemReason(path, errno);
    return false;
}

} // namespace fw

#include "core/util/FileImport.h"

#include "core/util/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fw {

namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The name under which targetName already exists in folder, or targetName itself.
std::string ExistingName(const std::filesystem::path& folder, const std::string& targetName) {
    std::error_code error;
    if (std::filesystem::exists(folder / targetName, error))
        return targetName;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (EqualNoCase(name, targetName))
            return name;
    }
    return targetName;
}

} // namespace

ImportResult ImportFile(const std::string& source, const std::string& folder,
                        const std::string& targetName, bool overwrite) {
    namespace fs = std::filesystem;
    ImportResult result;
    const fs::path folderPath(folder);
    const fs::path sourcePath(source);
    std::error_code error;

    if (fs::equivalent(sourcePath.parent_path(), folderPath, error) &&
        EqualNoCase(sourcePath.filename().string(), targetName)) {
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
    if (!overwrite && fs::exists(target, error)) {
        result.status = ImportStatus::Exists;
        return result;
    }
    std::string data;
    if (!ReadWholeFile(source, data, result.reason))
        return result;
    if (!WriteFileAtomically(result.target, data, result.reason))
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

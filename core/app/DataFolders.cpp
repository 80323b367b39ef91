#include "core/app/DataFolders.h"

#include "core/util/FileIo.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {
namespace {

bool MakeFolder(const std::string& path, std::string& reason) {
    if (::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            return true;
        reason = SystemReason(path, ENOTDIR);
        return false;
    }
    reason = SystemReason(path, errno);
    return false;
}

bool MakeFolderWithParents(const std::string& path, std::string& reason) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string parent = path.substr(0, slash);
        if (::access(parent.c_str(), F_OK) != 0 && !MakeFolder(parent, reason))
            return false;
    }
    return MakeFolder(path, reason);
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string AbsolutePath(const std::string& path) {
    if (path.front() == '/')
        return path;
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr)
        return path;
    return std::string(cwd) + "/" + path;
}

} // namespace

DataFolders FoldersUnder(const std::string& programFolder) {
    const std::string base = WithoutTrailingSlash(programFolder);
    return {base,
            base + "/OS",
            base + "/lists",
            base + "/settings",
            base + "/upd.ini",
            base + "/lists/backup",
            base + "/settings/backup"};
}

std::string ChooseDataFolder(const std::string& executableFolder, const std::string& overrideFolder,
                             DataUse use, const EnvironmentLookup& environment) {
    if (!overrideFolder.empty())
        return WithoutTrailingSlash(AbsolutePath(overrideFolder));
    // Installed, the program folder is never the place, even when it can be written (as root).
    std::string unwritable;
    if (!IsInstalledProgram(executableFolder) && CanWriteInFolder(executableFolder, unwritable))
        return WithoutTrailingSlash(executableFolder);
    const std::string name = use == DataUse::Demo ? "/flashwerk-demo" : "/flashwerk";
    const char* dataHome = environment("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return WithoutTrailingSlash(dataHome) + name;
    const char* home = environment("HOME");
    return WithoutTrailingSlash(home && *home ? home : "/tmp") + "/.local/share" + name;
}

bool IsInstalledProgram(const std::string& executableFolder) {
    const std::string metainfo = WithoutTrailingSlash(executableFolder) + "/../share/metainfo/" +
                                 FLASHWERK_APP_ID + ".metainfo.xml";
    return ::access(metainfo.c_str(), F_OK) == 0;
}

bool CreateDataFolders(const DataFolders& folders, std::string& reason) {
    if (!MakeFolderWithParents(folders.program, reason))
        return false;
    for (const std::string* folder : {&folders.firmware, &folders.lists, &folders.settings}) {
        if (!MakeFolder(*folder, reason))
            return false;
    }
    return CanWriteInFolder(folders.program, reason);
}

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    const std::string full(path, static_cast<std::size_t>(length));
    const auto slash = full.rfind('/');
    return slash == 0 ? "/" : full.substr(0, slash);
}

} // namespace fw

#pragma once

#include "core/util/Environment.h"

#include <string>

namespace fw {

// The program's data: the three file folders and upd.ini under one folder.
struct DataFolders {
    std::string program;
    std::string firmware;
    std::string lists;
    std::string settings;
    std::string profile;
};

DataFolders FoldersUnder(const std::string& programFolder);

// Where the data lives: the override when given, else the program's own folder when it can
// be written, else the user's data folder ($XDG_DATA_HOME/flashwerk). Portable installs keep
// their files beside the program; an installed copy in a read-only place still keeps them.
std::string ChooseDataFolder(const std::string& executableFolder, const std::string& overrideFolder,
                             const EnvironmentLookup& environment = ProcessEnvironment);

// Creates the data folder (with its parents) and the three file folders. Folders that exist
// are left alone. False with the system's reason when one cannot be made or written.
[[nodiscard]] bool CreateDataFolders(const DataFolders& folders, std::string& reason);

// True when a file can be created in the folder; tries it rather than trusting mode bits.
bool IsWritableFolder(const std::string& folder);

// Folder of the running program file, without a trailing separator.
std::string ExecutableFolder();

} // namespace fw

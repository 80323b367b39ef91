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
    // The safety copies of what a receiver held before a send; made when the first is written.
    std::string listBackups;
    std::string settingsBackups;
};

DataFolders FoldersUnder(const std::string& programFolder);

// A demo run keeps its invented sample files apart from the user's real ones.
enum class DataUse { Real, Demo };

// Where the data lives: the override when given; for an installed program (its metainfo lies
// in <executableFolder>/../share/metainfo) always the user's data folder, $XDG_DATA_HOME/flashwerk
// or, for a demo, $XDG_DATA_HOME/flashwerk-demo; else the program's own folder when it can be
// written, as a portable copy keeps its files beside it, and the user's data folder otherwise.
std::string ChooseDataFolder(const std::string& executableFolder, const std::string& overrideFolder,
                             DataUse use = DataUse::Real,
                             const EnvironmentLookup& environment = ProcessEnvironment);

// True when the program runs from an installed package rather than from a build or a copy.
bool IsInstalledProgram(const std::string& executableFolder);

// Creates the data folder (with its parents) and the three file folders. Folders that exist
// are left alone. False with the system's reason when one cannot be made or written.
[[nodiscard]] bool CreateDataFolders(const DataFolders& folders, std::string& reason);

// Folder of the running program file, without a trailing separator.
std::string ExecutableFolder();

} // namespace fw

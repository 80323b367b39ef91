#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class UserInteraction;

struct FoundFile {
    std::string name;       // without folder
    std::string path;       // folder + "/" + name
    std::uint64_t size = 0; // 0 for anything but a regular file
};

// The entries of a folder whose names end in extension, folders excepted (symbolic links
// followed): pipes, devices and dangling links are listed too, so that the caller reports
// them instead of leaving the user to wonder. Names are matched
// without regard to case as the Windows file search does (".bsr" finds "A.BSR").
// Sorted by name, case-insensitively, because the directory's own order is arbitrary.
// A missing or unreadable folder gives an empty list.
std::vector<FoundFile> FindFilesWithExtension(const std::string& folder,
                                              std::string_view extension);

// Message 1106 for a file a catalogue cannot read, with the reason below it.
void ReportUnreadableFile(UserInteraction& ui, const std::string& path, const std::string& reason);

} // namespace fw

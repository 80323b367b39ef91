#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

struct FoundFile {
    std::string name; // without folder
    std::string path; // folder + "/" + name
    std::uint64_t size = 0;
};

// The regular files (symbolic links followed) of a folder whose names end in extension,
// compared without regard to case as the Windows file search does (".bsr" finds "A.BSR").
// Sorted by name, case-insensitively, because the directory's own order is arbitrary.
// A missing or unreadable folder gives an empty list.
std::vector<FoundFile> FindFilesWithExtension(const std::string& folder, std::string_view extension);

// ASCII case-insensitive suffix test.
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

} // namespace fw

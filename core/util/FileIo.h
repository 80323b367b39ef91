#pragma once

#include <string>
#include <string_view>

namespace fw {

// Writes data to a temporary file in the target's folder and renames it over the target
// only when every byte reached the disk. On failure the old file is untouched, no temporary
// file is left, and reason holds the system's explanation.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, std::string_view data,
                                       std::string& reason);

// Reads a whole file; on failure reason holds the system's explanation.
[[nodiscard]] bool ReadWholeFile(const std::string& path, std::string& data, std::string& reason);

// "path: system text" for the current errno.
std::string SystemReason(const std::string& path, int error);

} // namespace fw

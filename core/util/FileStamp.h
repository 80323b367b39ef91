#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fw {

// What a file looked like when it was read: another program's write since then changes at
// least one of size, modification time and contents.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uint64_t hash = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file as it is now; nothing when it cannot be read.
std::optional<FileStamp> StampOfFile(const std::string& path);

} // namespace fw

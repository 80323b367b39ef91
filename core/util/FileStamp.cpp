#include "core/util/FileStamp.h"

#include "core/util/FileIo.h"

#include <sys/stat.h>

namespace fw {
namespace {

// FNV-1a: a change of a few bytes that keeps size and time (a copy with -p) still shows.
std::uint64_t HashOf(std::string_view data) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char byte : data) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

std::optional<FileStamp> StampOfFile(const std::string& path) {
    struct stat info {};
    std::string data, reason;
    if (::stat(path.c_str(), &info) != 0 || !ReadWholeFile(path, data, reason))
        return std::nullopt;
    return FileStamp{data.size(),
                     std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec,
                     HashOf(data)};
}

} // namespace fw

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

// Largest files read whole; anything bigger is refused before a byte is read, so that a
// stray disk image cannot exhaust the memory. Kind-2 firmware images are 2 MB and more.
inline constexpr std::uint64_t kFirmwareFileLimit = std::uint64_t{64} << 20;
// Lists, settings and upd.ini.
inline constexpr std::uint64_t kTextFileLimit = std::uint64_t{8} << 20;

enum class LinkHandling {
    WriteTarget, // a symbolic link stays and its target is replaced; a dangling link is refused
    ReplaceLink  // the link itself is replaced by the file; its target is not touched
};

// Writes data to a temporary file in the target's folder and renames it over the target
// only when every byte reached the disk. On failure the old file is untouched, no temporary
// file is left, and reason holds the system's explanation. A file without any write bit is
// refused, and so is anything but a regular file (a pipe, a device, a folder). A file with other
// hard links, or with an owner the user cannot give it back, is overwritten in place (links and
// owner stay) after its old contents were kept beside it as "NAME~".
[[nodiscard]] bool WriteFileAtomically(const std::string& path, std::string_view data,
                                       std::string& reason,
                                       LinkHandling links = LinkHandling::WriteTarget);

// For a program's start: a write past the file-size limit (ulimit -f) then fails with EFBIG and is
// reported like any failed write, instead of SIGXFSZ ending the process and leaving the
// temporary file behind.
void LetOversizedWritesFail();

// Whether WriteFileAtomically could replace path; reason says why not.
bool CanReplaceFile(const std::string& path, std::string& reason);

// Whether a new file in folder can take data, tried with a small file that is removed again
// rather than read from mode bits; reason says why not.
bool CanWriteInFolder(const std::string& folder, std::string& reason);

struct OpenedFile {
    enum class Status {
        Opened,      // fd is open for reading, size holds the length
        SystemError, // the system refused to open it (missing, no permission, a folder)
        Refused      // not a regular file, or larger than the limit
    };
    Status status = Status::SystemError;
    int fd = -1; // the caller closes it
    std::uint64_t size = 0;
    std::string reason;
};

// Opens path for reading without blocking (a pipe cannot hang the caller) and checks that it
// is a regular file (links followed) of at most limit bytes.
OpenedFile OpenRegularFile(const std::string& path, std::uint64_t limit);

// Whether OpenRegularFile would accept the file; reason says why not.
bool IsReadableRegularFile(const std::string& path, std::uint64_t limit, std::string& reason);

// Reads a whole regular file of at most limit bytes; on failure reason holds the explanation.
[[nodiscard]] bool ReadWholeFile(const std::string& path, std::string& data, std::string& reason,
                                 std::uint64_t limit = kTextFileLimit);

// Whether two paths name one file: the same device and inode when both exist, else the same
// real folder and name.
bool NamesSameFile(const std::string& a, const std::string& b);

// "path: system text" for the current errno.
std::string SystemReason(const std::string& path, int error);

// Appends text to fd (opened with O_APPEND) as one record: written whole, or, when the disk
// refuses part of it, cut back to sizeBefore so that half a record never glues itself to the
// next. Closes fd either way; reason names path and the system's reason on failure.
bool AppendRecordAndClose(int fd, std::string_view text, std::int64_t sizeBefore,
                          const std::string& path, std::string& reason);

// The path with every link and "." or ".." resolved; empty when it leads nowhere.
std::string RealPathOf(const std::string& path);

} // namespace fw

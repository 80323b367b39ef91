#include "core/util/FileIo.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {
namespace {

constexpr std::string_view kTempPrefix = ".flashwerk-";
// A temp file younger than this may belong to a run on another machine sharing the folder.
constexpr std::time_t kStaleTempAge = 10 * 60;

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string Reason(const std::string& path, int message) {
    return FormatText(LoadResString(message), {path});
}

std::string TooLargeReason(const std::string& path, std::uint64_t limit) {
    return FormatText(LoadResString(str::kFileTooLarge), {path, std::to_string(limit >> 20)});
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file a write really replaces: a link is followed, so that the user's link stays.
bool ResolveTarget(const std::string& path, std::string& target, std::string& reason) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        target = path;
        return true;
    }
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        reason = errno == ENOENT ? Reason(path, str::kDanglingLink) : SystemReason(path, errno);
        return false;
    }
    target = resolved;
    std::free(resolved);
    return true;
}

// The temp files of runs that were killed: their process is gone and they are old enough
// not to belong to another machine's run in a shared folder.
void RemoveStaleTempFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(kTempPrefix))
            continue;
        const std::string_view rest = name.substr(kTempPrefix.size());
        pid_t pid = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
        if (error != std::errc() || pid <= 0 || end == rest.data() + rest.size() || *end != '-')
            continue;
        if (::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        const std::string path = folder + "/" + std::string(name);
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            now - info.st_mtime > kStaleTempAge)
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

// What a write replaces: the file at target, or nothing yet (a link replaced as such counts
// as nothing). False with reason when the user protected the file against writing.
bool StatReplacedFile(const std::string& path, const std::string& target, struct stat& existing,
                      bool& exists, std::string& reason) {
    exists = ::lstat(target.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode);
    // A rename over a pipe or a device would put a plain file in its place (as root even over
    // /dev/null).
    if (exists && !S_ISREG(existing.st_mode)) {
        reason = Reason(path, str::kNotARegularFile);
        return false;
    }
    // The write bits are the user's "do not change"; root could replace the file anyway.
    if (exists && S_ISREG(existing.st_mode) && (existing.st_mode & 0222) == 0) {
        reason = Reason(path, str::kFileWriteProtected);
        return false;
    }
    return true;
}

// Overwrites target itself, so that its other hard links and its owner stay; the old contents
// are kept beside it as "NAME~" first, since a failure half-way cannot be undone.
bool WriteInPlace(const std::string& path, const std::string& target, std::string_view data,
                  std::string& reason) {
    std::string old;
    if (!ReadWholeFile(target, old, reason, std::numeric_limits<std::uint64_t>::max()) ||
        !WriteFileAtomically(target + "~", old, reason, LinkHandling::ReplaceLink))
        return false;
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        reason = SystemReason(path, errno);
        return false;
    }
    struct stat info {};
    errno = 0;
    bool written = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && WriteAll(fd, data) &&
                   ::ftruncate(fd, static_cast<off_t>(data.size())) == 0 && ::fsync(fd) == 0;
    const int error = errno;
    written = ::close(fd) == 0 && written;
    if (!written)
        reason = SystemReason(path, error != 0 ? error : EIO);
    return written;
}

// A rename would cut the file's other hard links off from the new contents.
bool HasOtherLinks(const struct stat& existing) {
    return S_ISREG(existing.st_mode) && existing.st_nlink > 1;
}

} // namespace

std::string SystemReason(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

std::string RealPathOf(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return {};
    std::string real(resolved);
    std::free(resolved);
    return real;
}

void LetOversizedWritesFail() {
    std::signal(SIGXFSZ, SIG_IGN);
}

bool CanReplaceFile(const std::string& path, std::string& reason) {
    std::string target;
    struct stat existing {};
    bool exists = false;
    return ResolveTarget(path, target, reason) &&
           StatReplacedFile(path, target, existing, exists, reason);
}

bool CanWriteInFolder(const std::string& folder, std::string& reason) {
    std::string probe = folder + "/.flashwerk-probe-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        reason = SystemReason(folder, errno);
        return false;
    }
    // Creating is not enough: a full disk or a size limit refuses the first byte.
    const char byte = 0;
    const bool written = ::write(fd, &byte, 1) == 1;
    const int writeError = errno;
    ::close(fd);
    ::unlink(probe.c_str());
    if (!written)
        reason = SystemReason(folder, writeError);
    return written;
}

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& reason,
                         LinkHandling links) {
    std::string target = path;
    if (links == LinkHandling::WriteTarget && !ResolveTarget(path, target, reason))
        return false;
    struct stat existing {};
    bool exists = false;
    if (!StatReplacedFile(path, target, existing, exists, reason))
        return false;
    const bool keepFile = links == LinkHandling::WriteTarget && exists;
    if (keepFile && HasOtherLinks(existing))
        return WriteInPlace(path, target, data, reason);
    const std::string folder = FolderOf(target);
    RemoveStaleTempFiles(folder);
    std::string temp =
        folder + "/" + std::string(kTempPrefix) + std::to_string(::getpid()) + "-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        reason = SystemReason(path, errno);
        return false;
    }
    bool open = true;
    auto fail = [&](int error) {
        if (open)
            ::close(fd);
        ::unlink(temp.c_str());
        reason = SystemReason(path, error);
        return false;
    };
    // New files get the usual mode under the umask; replaced files keep mode and owner.
    mode_t mode = 0;
    if (exists) {
        mode = existing.st_mode & 07777;
        // Only root may give a file away: a file of another owner is written in place instead.
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            if (errno != EPERM)
                return fail(errno);
            if (keepFile) {
                ::close(fd);
                ::unlink(temp.c_str());
                return WriteInPlace(path, target, data, reason);
            }
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (!WriteAll(fd, data) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        return fail(errno);
    open = false;
    if (::close(fd) != 0 || ::rename(temp.c_str(), target.c_str()) != 0)
        return fail(errno);
    // Make the rename itself durable; a failure here no longer endangers the old contents.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

OpenedFile OpenRegularFile(const std::string& path, std::uint64_t limit) {
    OpenedFile opened;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        opened.reason = SystemReason(path, errno);
        return opened;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        opened.reason = SystemReason(path, errno);
    } else if (S_ISDIR(info.st_mode)) {
        opened.reason = SystemReason(path, EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        opened.status = OpenedFile::Status::Refused;
        opened.reason = Reason(path, str::kNotARegularFile);
    } else if (static_cast<std::uint64_t>(info.st_size) > limit) {
        opened.status = OpenedFile::Status::Refused;
        opened.reason = TooLargeReason(path, limit);
    } else {
        opened.status = OpenedFile::Status::Opened;
        opened.fd = fd;
        opened.size = static_cast<std::uint64_t>(info.st_size);
        return opened;
    }
    ::close(fd);
    return opened;
}

bool IsReadableRegularFile(const std::string& path, std::uint64_t limit, std::string& reason) {
    OpenedFile opened = OpenRegularFile(path, limit);
    if (opened.status != OpenedFile::Status::Opened) {
        reason = std::move(opened.reason);
        return false;
    }
    ::close(opened.fd);
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& data, std::string& reason,
                   std::uint64_t limit) {
    OpenedFile opened = OpenRegularFile(path, limit);
    if (opened.status != OpenedFile::Status::Opened) {
        reason = std::move(opened.reason);
        return false;
    }
    const int fd = opened.fd;
    data.clear();
    bool complete = false;
    try {
        data.reserve(static_cast<std::size_t>(opened.size));
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                reason = SystemReason(path, errno);
                break;
            }
            if (got == 0) {
                complete = true;
                break;
            }
            // A file that grows while it is read is held to the same limit.
            if (data.size() + static_cast<std::size_t>(got) > limit) {
                reason = TooLargeReason(path, limit);
                break;
            }
            data.append(buffer, static_cast<std::size_t>(got));
        }
    } catch (const std::bad_alloc&) {
        reason = Reason(path, str::kFileNeedsTooMuchMemory);
    }
    ::close(fd);
    if (!complete)
        data.clear();
    return complete;
}

namespace {

// The real folder and name of a path whose file may not exist yet.
std::string RealFolderAndName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const std::string real = RealPathOf(folder);
    const std::string resolved = real.empty() ? folder : real;
    return resolved + "/" + (slash == std::string::npos ? path : path.substr(slash + 1));
}

} // namespace

bool NamesSameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    return RealFolderAndName(a) == RealFolderAndName(b);
}

bool AppendRecordAndClose(int fd, std::string_view text, std::int64_t sizeBefore,
                          const std::string& path, std::string& reason) {
    // One write; only a short one is followed by more, and the caller's lock keeps those
    // together.
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            reason = SystemReason(path, n < 0 ? errno : ENOSPC);
            if (written > 0 && ::ftruncate(fd, static_cast<off_t>(sizeBefore)) != 0)
                reason = SystemReason(path, errno);
            ::close(fd);
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        reason = SystemReason(path, errno);
        return false;
    }
    return true;
}

} // namespace fw

#include "core/util/FileIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {
namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
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

// New files get the usual mode under the umask; replaced files keep theirs.
mode_t ModeForTarget(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string SystemReason(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& reason) {
    const std::string folder = FolderOf(path);
    std::string temp = folder + "/.flashwerk-XXXXXX";
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
    if (!WriteAll(fd, data) || ::fchmod(fd, ModeForTarget(path)) != 0 || ::fsync(fd) != 0)
        return fail(errno);
    open = false;
    if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0)
        return fail(errno);
    // Make the rename itself durable; a failure here no longer endangers the old contents.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& data, std::string& reason) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = SystemReason(path, errno);
        return false;
    }
    data.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            reason = SystemReason(path, errno);
            ::close(fd);
            return false;
        }
        if (got == 0)
            break;
        data.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return true;
}

} // namespace fw

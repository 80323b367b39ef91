#include "core/util/FileLock.h"

#include "core/util/FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {
namespace {

// ".NAME.lock" in the folder of the file a link leads to.
std::string LockPathOf(const std::string& path) {
    const std::string real = RealPathOf(path);
    const std::string& file = real.empty() ? path : real;
    const auto slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    return (slash == std::string::npos ? "./" : folder) + "." + name + ".lock";
}

} // namespace

FileLock::~FileLock() {
    Release();
}

void FileLock::Release() {
    if (m_fd < 0)
        return;
    // Removed while still held: whoever waits on it sees it gone and makes a new one.
    ::unlink(m_lockPath.c_str());
    ::close(m_fd);
    m_fd = -1;
}

bool FileLock::Acquire(const std::string& path, std::string& reason) {
    Release();
    m_lockPath = LockPathOf(path);
    for (;;) {
        const int fd = ::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            reason = SystemReason(m_lockPath, errno);
            return false;
        }
        int locked = 0;
        do
            locked = ::flock(fd, LOCK_EX);
        while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            reason = SystemReason(m_lockPath, errno);
            ::close(fd);
            return false;
        }
        // The holder before may have removed the file while this one waited on it.
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) == 0 && ::lstat(m_lockPath.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            m_fd = fd;
            return true;
        }
        ::close(fd);
    }
}

} // namespace fw

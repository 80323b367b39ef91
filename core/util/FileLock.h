#pragma once

#include <string>

namespace fw {

// An advisory lock (flock) on a lock file beside a file, held until the object goes, so that
// read-modify-write edits of one file by several processes or threads take turns. The lock file
// is removed again when the lock is given up.
class FileLock {
public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Waits until the lock of path is free and takes it; false with reason when the lock file
    // cannot be made. A link is followed, so that every name of a file shares one lock.
    [[nodiscard]] bool Acquire(const std::string& path, std::string& reason);

private:
    void Release();

    int m_fd = -1;
    std::string m_lockPath;
};

} // namespace fw

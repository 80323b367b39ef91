// What a write may replace, and what it must keep: the kind of file, its other names, its owner,
// and the turns that edits of one file take.
#include "core/util/FileIo.h"
#include "core/util/FileLock.h"

#include "tests/support/FileTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fw {
namespace {

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

TEST(WriteTargetTest, WhatIsNoRegularFileIsNeverReplaced) {
    test::TempDir dir;
    const std::string pipe = dir.File("pipe.pdf");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string link = dir.File("link.grd");
    std::filesystem::create_symlink(pipe, link);
    const std::string folder = dir.File("folder.lst");
    std::filesystem::create_directory(folder);
    for (const std::string& path : {pipe, link, folder}) {
        std::string reason;
        EXPECT_FALSE(CanReplaceFile(path, reason)) << path;
        EXPECT_FALSE(WriteFileAtomically(path, "data", reason)) << path;
        EXPECT_EQ(reason, path + ": not a regular file (a pipe or a device, for example)");
    }
    EXPECT_TRUE(S_ISFIFO(StatOf(pipe).st_mode));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(test::EntryCount(dir.Path()), 3u) << "no temporary file is left";
}

TEST(WriteTargetTest, AFileWithOtherLinksIsWrittenInPlaceAndItsOldTextKeptBeside) {
    test::TempDir dir;
    const std::string path = dir.File("a.lst");
    const std::string other = dir.File("b.lst");
    test::WriteBytes(path, "old contents");
    ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
    const ino_t inode = StatOf(path).st_ino;
    std::string reason;
    ASSERT_TRUE(WriteFileAtomically(path, "new", reason)) << reason;
    EXPECT_EQ(test::ReadBytes(other), "new") << "the other name sees the change";
    EXPECT_EQ(StatOf(path).st_ino, inode);
    EXPECT_EQ(test::ReadBytes(path + "~"), "old contents");
    EXPECT_EQ(test::EntryCount(dir.Path()), 3u);
}

// Run as another user in a child process: only root can make files for someone else.
TEST(WriteTargetTest, AFileOfAnotherOwnerKeepsItsOwner) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the file to another user";
    test::TempDir dir;
    const std::string path = dir.File("theirs.lst");
    test::WriteBytes(path, "theirs");
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::chown(path.c_str(), 4321, 4321), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string reason;
        const bool written =
            ::setgid(4999) == 0 && ::setuid(4999) == 0 && WriteFileAtomically(path, "mine", reason);
        ::_exit(written ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(test::ReadBytes(path), "mine");
    EXPECT_EQ(StatOf(path).st_uid, 4321u);
    EXPECT_EQ(test::ReadBytes(path + "~"), "theirs");
    EXPECT_EQ(StatOf(path + "~").st_uid, 4999u);
}

// Threads that each add one to a number in a file, read-modify-write, under the file's lock.
TEST(WriteTargetTest, EditsUnderTheLockTakeTurns) {
    test::TempDir dir;
    const std::string path = dir.File("count.txt");
    test::WriteBytes(path, "0");
    constexpr int kThreads = 4;
    constexpr int kRounds = 20;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&] {
            for (int round = 0; round < kRounds; ++round) {
                FileLock lock;
                std::string data, reason;
                ASSERT_TRUE(lock.Acquire(path, reason)) << reason;
                ASSERT_TRUE(ReadWholeFile(path, data, reason)) << reason;
                ASSERT_TRUE(WriteFileAtomically(path, std::to_string(std::stoi(data) + 1), reason))
                    << reason;
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(test::ReadBytes(path), std::to_string(kThreads * kRounds));
    EXPECT_EQ(test::EntryCount(dir.Path()), 1u) << "the lock file goes with the lock";

    FileLock lock;
    std::string reason;
    EXPECT_FALSE(lock.Acquire(dir.File("missing/count.txt"), reason));
    EXPECT_NE(reason.find("No such file or directory"), std::string::npos) << reason;
}

} // namespace
} // namespace fw

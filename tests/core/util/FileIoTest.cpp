#include "core/util/FileIo.h"
#include "core/util/FileImport.h"

#include "tests/support/FileTestSupport.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fw {
namespace {

class FileIoTest : public ::testing::Test {
protected:
    std::string Read(const std::string& path) {
        std::string data, reason;
        EXPECT_TRUE(ReadWholeFile(path, data, reason)) << reason;
        return data;
    }
    test::TempDir m_dir;
};

TEST_F(FileIoTest, WritesNewAndReplacesOldFiles) {
    const std::string path = m_dir.File("a.lst");
    std::string reason;
    ASSERT_TRUE(WriteFileAtomically(path, std::string("one\0two", 7), reason)) << reason;
    EXPECT_EQ(Read(path), std::string("one\0two", 7));
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(path, "second", reason)) << reason;
    EXPECT_EQ(Read(path), "second");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "a replaced file keeps its mode";
    EXPECT_EQ(test::EntryCount(m_dir.Path()), 1u) << "no temporary file is left";
}

TEST_F(FileIoTest, FailureNamesTheReasonAndLeavesNothing) {
    std::string reason;
    EXPECT_FALSE(WriteFileAtomically(m_dir.File("missing/a.lst"), "x", reason));
    EXPECT_NE(reason.find("No such file or directory"), std::string::npos) << reason;

    // A target that is a folder cannot be replaced; the folder and its content stay.
    const std::string folderTarget = m_dir.File("taken");
    std::filesystem::create_directory(folderTarget);
    std::filesystem::create_directory(folderTarget + "/inner");
    EXPECT_FALSE(WriteFileAtomically(folderTarget, "x", reason));
    EXPECT_TRUE(std::filesystem::is_directory(folderTarget + "/inner"));
    EXPECT_EQ(test::EntryCount(m_dir.Path()), 1u);
}

TEST_F(FileIoTest, WriteThatFailsHalfWayKeepsTheOldFile) {
    const std::string path = m_dir.File("keep.grd");
    std::string reason;
    ASSERT_TRUE(WriteFileAtomically(path, "old contents", reason));

    // A file size limit makes the write stop part-way, as a full disk would.
    bool written = true;
    {
        test::FileSizeLimit limit(1024);
        written = WriteFileAtomically(path, std::string(4096, 'n'), reason);
    }

    EXPECT_FALSE(written);
    EXPECT_NE(reason.find("File too large"), std::string::npos) << reason;
    EXPECT_EQ(Read(path), "old contents");
    EXPECT_EQ(test::EntryCount(m_dir.Path()), 1u);
}

TEST_F(FileIoTest, ReadReportsMissingFilesAndFolders) {
    std::string data, reason;
    EXPECT_FALSE(ReadWholeFile(m_dir.File("none"), data, reason));
    EXPECT_NE(reason.find("none"), std::string::npos);
    EXPECT_FALSE(ReadWholeFile(m_dir.Path().string(), data, reason));
    EXPECT_NE(reason.find("Is a directory"), std::string::npos) << reason;
}

TEST_F(FileIoTest, ALinkStaysAndItsTargetIsReplacedInItsOwnFolder) {
    std::filesystem::create_directory(m_dir.File("real"));
    std::filesystem::create_directory(m_dir.File("links"));
    const std::string target = m_dir.File("real/a.lst");
    const std::string link = m_dir.File("links/a.lst");
    test::WriteBytes(target, "old");
    std::filesystem::create_symlink("../real/a.lst", link);
    std::string reason;
    ASSERT_TRUE(WriteFileAtomically(link, "new", reason)) << reason;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(test::EntryCount(m_dir.File("real")), 1u);

    // An import replaces the link itself; the file it pointed to stays as it was.
    const std::string source = m_dir.File("source.lst");
    test::WriteBytes(source, "copy");
    const ImportResult imported = ImportFile(source, m_dir.File("links"), "A.LST", true);
    ASSERT_EQ(imported.status, ImportStatus::Copied) << imported.reason;
    EXPECT_EQ(imported.target, link);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(Read(link), "copy");
    EXPECT_EQ(Read(target), "new");
}

TEST_F(FileIoTest, DanglingLinksAndWriteProtectedFilesAreRefused) {
    std::string reason;
    const std::string dangling = m_dir.File("dangling.lst");
    std::filesystem::create_symlink(m_dir.File("gone.lst"), dangling);
    EXPECT_FALSE(WriteFileAtomically(dangling, "x", reason));
    EXPECT_NE(reason.find("does not exist"), std::string::npos) << reason;
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("gone.lst")));

    // Also for root, who could replace it: no write bit is the user's wish.
    const std::string locked = m_dir.File("locked.grd");
    test::WriteBytes(locked, "old");
    ::chmod(locked.c_str(), 0444);
    EXPECT_FALSE(WriteFileAtomically(locked, "new", reason));
    EXPECT_NE(reason.find("write-protected"), std::string::npos) << reason;
    EXPECT_EQ(Read(locked), "old");
    EXPECT_EQ(test::EntryCount(m_dir.Path()), 2u);
}

TEST_F(FileIoTest, AReplacedFileKeepsItsOwner) {
    const std::string path = m_dir.File("owned.lst");
    test::WriteBytes(path, "old");
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    std::string reason;
    ASSERT_TRUE(WriteFileAtomically(path, "new", reason)) << reason;
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
}

TEST_F(FileIoTest, NamesSameFileSeesThroughOtherSpellings) {
    const std::string file = m_dir.File("a.lst");
    std::string reason;
    ASSERT_TRUE(WriteFileAtomically(file, "x", reason)) << reason;
    ASSERT_EQ(::link(file.c_str(), m_dir.File("hard.lst").c_str()), 0);
    const std::string here = std::filesystem::current_path().string();
    ASSERT_EQ(::chdir(m_dir.Path().c_str()), 0);
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {file, m_dir.Path().string() + "/./a.lst", true},
        {file, m_dir.File("hard.lst"), true},
        {"a.lst", file, true},
        {"new.pdf", "./new.pdf", true},
        {"a.lst", "new.pdf", false},
        {"new.pdf", "other.pdf", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NamesSameFile(c.a, c.b), c.same) << c.a << " / " << c.b;
    ASSERT_EQ(::chdir(here.c_str()), 0);
}

TEST_F(FileIoTest, WritableFolderProbeNeedsRoomForData) {
    std::string reason;
    EXPECT_TRUE(CanWriteInFolder(m_dir.Path().string(), reason)) << reason;
    EXPECT_FALSE(CanWriteInFolder(m_dir.File("missing"), reason));
    EXPECT_NE(reason.find("No such file or directory"), std::string::npos) << reason;
    {
        test::FileSizeLimit full(0);
        EXPECT_FALSE(CanWriteInFolder(m_dir.Path().string(), reason));
    }
    EXPECT_EQ(test::EntryCount(m_dir.Path()), 0u) << "no probe is left";
}

TEST_F(FileIoTest, TempFilesOfEndedRunsAreRemovedOnceOld) {
    // A process that has certainly ended.
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const auto temp = [&](pid_t pid, const std::string& tail, bool old) {
        const std::string path = m_dir.File(".flashwerk-" + std::to_string(pid) + tail);
        test::WriteBytes(path, "left over");
        if (old) {
            const timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 11 * 60, 0}};
            ::utimensat(AT_FDCWD, path.c_str(), times, 0);
        }
        return path;
    };
    const std::string stale = temp(child, "-aB3dE9", true);
    const std::string young = temp(child, "-x1y2z3", false);
    const std::string running = temp(::getpid(), "-q4r5s6", true);
    const std::string foreign = m_dir.File(".flashwerk-notes");
    test::WriteBytes(foreign, "not ours");

    std::string reason;
    ASSERT_TRUE(WriteFileAtomically(m_dir.File("a.lst"), "x", reason)) << reason;
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(young));
    EXPECT_TRUE(std::filesystem::exists(running));
    EXPECT_TRUE(std::filesystem::exists(foreign));
}

} // namespace
} // namespace fw

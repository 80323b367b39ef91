#include "util/FileIo.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace fw {
namespace {

class FileIoTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/flashwerk-fileio-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string Read(const std::string& path) {
        std::string data, reason;
        EXPECT_TRUE(ReadWholeFile(path, data, reason)) << reason;
        return data;
    }
    int FileCount() {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(m_folder),
                                              std::filesystem::directory_iterator()));
    }

    std::string m_folder;
};

TEST_F(FileIoTest, WritesNewAndReplacesOldFiles) {
    const std::string path = m_folder + "/a.lst";
    std::string reason;
    ASSERT_TRUE(WriteFileAtomically(path, std::string("one\0two", 7), reason)) << reason;
    EXPECT_EQ(Read(path), std::string("one\0two", 7));
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(path, "second", reason)) << reason;
    EXPECT_EQ(Read(path), "second");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "a replaced file keeps its mode";
    EXPECT_EQ(FileCount(), 1) << "no temporary file is left";
}

TEST_F(FileIoTest, FailureNamesTheReasonAndLeavesNothing) {
    std::string reason;
    EXPECT_FALSE(WriteFileAtomically(m_folder + "/missing/a.lst", "x", reason));
    EXPECT_NE(reason.find("No such file or directory"), std::string::npos) << reason;

    // A target that is a folder cannot be replaced; the folder and its content stay.
    const std::string folderTarget = m_folder + "/taken";
    std::filesystem::create_directory(folderTarget);
    std::filesystem::create_directory(folderTarget + "/inner");
    EXPECT_FALSE(WriteFileAtomically(folderTarget, "x", reason));
    EXPECT_TRUE(std::filesystem::is_directory(folderTarget + "/inner"));
    EXPECT_EQ(FileCount(), 1);
}

TEST_F(FileIoTest, WriteThatFailsHalfWayKeepsTheOldFile) {
    const std::string path = m_folder + "/keep.grd";
    std::string reason;
    ASSERT_TRUE(WriteFileAtomically(path, "old contents", reason));

    // A file size limit makes the write stop part-way, as a full disk would.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(path, std::string(4096, 'n'), reason);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(reason.find("File too large"), std::string::npos) << reason;
    EXPECT_EQ(Read(path), "old contents");
    EXPECT_EQ(FileCount(), 1);
}

TEST_F(FileIoTest, ReadReportsMissingFilesAndFolders) {
    std::string data, reason;
    EXPECT_FALSE(ReadWholeFile(m_folder + "/none", data, reason));
    EXPECT_NE(reason.find("none"), std::string::npos);
    EXPECT_FALSE(ReadWholeFile(m_folder, data, reason));
    EXPECT_NE(reason.find("Is a directory"), std::string::npos) << reason;
}

} // namespace
} // namespace fw

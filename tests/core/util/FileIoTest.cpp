#include "core/util/FileIo.h"

#include "tests/support/FileTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

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

} // namespace
} // namespace fw

#include "core/util/FileImport.h"

#include "tests/support/FileTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fw {
namespace {

// A name that differs only in case is the same catalogue entry: the import finds it, never
// adds a second file beside it, and replaces it only when told to.
TEST(FileImportTest, ANameEqualIgnoringCaseIsTheFileToReplace) {
    test::TempDir folder, outside;
    std::filesystem::create_directory(folder.File("lists"));
    const std::string lists = folder.File("lists");
    test::WriteBytes(lists + "/Astra.LST", "old");
    test::WriteBytes(outside.File("astra.lst"), "new");

    ImportResult result = ImportFile(outside.File("astra.lst"), lists, "ASTRA.lst", false);
    EXPECT_EQ(result.status, ImportStatus::Exists);
    EXPECT_EQ(result.target, lists + "/Astra.LST");
    result = ImportFile(outside.File("astra.lst"), lists, "ASTRA.lst", true);
    EXPECT_EQ(result.status, ImportStatus::Copied);
    EXPECT_EQ(test::ReadBytes(lists + "/Astra.LST"), "new");
    EXPECT_EQ(test::EntryCount(lists), 1u);

    EXPECT_EQ(ImportFile(lists + "/Astra.LST", lists, "astra.lst", true).status,
              ImportStatus::SameFile);
}

TEST(FileImportTest, DeleteRemovesTheFileOrSaysWhyNot) {
    test::TempDir folder;
    test::WriteBytes(folder.File("a.grd"), "x");
    std::string reason;
    EXPECT_TRUE(DeleteFile(folder.File("a.grd"), reason));
    EXPECT_FALSE(std::filesystem::exists(folder.File("a.grd")));
    EXPECT_FALSE(DeleteFile(folder.File("a.grd"), reason));
    EXPECT_NE(reason.find(folder.File("a.grd")), std::string::npos) << reason;
}

} // namespace
} // namespace fw

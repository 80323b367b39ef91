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

// A refused content leaves the folder as it was, and is refused before a replacement is asked.
TEST(FileImportTest, TheCheckRefusesBeforeAnythingIsAskedOrCopied) {
    test::TempDir folder, outside;
    test::WriteBytes(folder.File("old.lst"), "old");
    test::WriteBytes(outside.File("old.lst"), "bad");
    test::WriteBytes(outside.File("new.lst"), "bad");
    const ImportCheck check = [](std::string_view content) {
        return content == "bad" ? std::string("no good") : std::string();
    };
    for (const char* name : {"old.lst", "new.lst"}) {
        for (const bool overwrite : {false, true}) {
            const ImportResult result =
                ImportFile(outside.File(name), folder.Path().string(), name, overwrite, check);
            EXPECT_EQ(result.status, ImportStatus::Refused) << name << overwrite;
            EXPECT_EQ(result.reason, "no good");
        }
    }
    EXPECT_EQ(test::ReadBytes(folder.File("old.lst")), "old");
    EXPECT_EQ(test::EntryCount(folder.Path().string()), 1u);
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

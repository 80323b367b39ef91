#include "core/link/SaveName.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tests/support/FileTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fw {
namespace {

TEST(SaveNameTest, ProposedListNameIsDatedAndUniqueInTheFolder) {
    using namespace std::chrono;
    test::TempDir dir;
    const std::string folder = dir.Path().string();
    const year_month_day day{year{2026}, month{3}, std::chrono::day{7}};
    struct Case {
        std::vector<const char*> present;
        bool radio;
        const char* proposed;
    };
    const Case cases[] = {
        {{}, false, "tv-2026-03-07"},
        {{}, true, "radio-2026-03-07"},
        {{"tv-2026-03-07.lst"}, true, "radio-2026-03-07"},
        {{"tv-2026-03-07.lst", "tv-2026-03-07-2.lst"}, false, "tv-2026-03-07-3"},
        {{"tv-2026-03-07.grd", "tv-2026-03-07"}, false, "tv-2026-03-07"}, // other files
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(dir.Path());
        std::filesystem::create_directory(dir.Path());
        for (const char* name : c.present)
            test::WriteBytes(folder + "/" + name, "x");
        EXPECT_EQ(ProposeListName(c.radio, day, folder), c.proposed);
        EXPECT_EQ(
            CheckSaveName(ProposeListName(c.radio, day, folder), SaveKind::ProgramList, folder)
                .exists,
            false);
    }
}

struct NameCase {
    const char* typed;
    SaveKind kind;
    const char* fileName; // expected file name when the name is taken
};

TEST(SaveNameTest, NameIsTrimmedAndGetsItsExtensionOnlyWhenMissing) {
    test::TempDir dir;
    const std::string folder = dir.Path().string();
    const NameCase cases[] = {
        {"astra", SaveKind::ProgramList, "astra.lst"},
        {"  astra\t", SaveKind::ProgramList, "astra.lst"},
        {" ASTRA.LST ", SaveKind::ProgramList, "ASTRA.LST"}, // capitals kept as typed
        {"astra.Lst", SaveKind::ProgramList, "astra.Lst"},
        {"astra.grd", SaveKind::ProgramList, "astra.grd.lst"}, // the other kind's extension
        {"astra.lst", SaveKind::Settings, "astra.lst.grd"},
        {"home", SaveKind::Settings, "home.grd"},
        {"a.b c", SaveKind::Settings, "a.b c.grd"},
        {"Ärger (2)", SaveKind::ProgramList, "Ärger (2).lst"},
        {"lst", SaveKind::ProgramList, "lst.lst"},
        {"Astra..alt", SaveKind::ProgramList, "Astra..alt.lst"},
        {"...", SaveKind::Settings, "....grd"},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.typed);
        const SaveName name = CheckSaveName(c.typed, c.kind, folder);
        ASSERT_EQ(name.status, SaveNameStatus::Ok);
        EXPECT_EQ(name.fileName, c.fileName);
        EXPECT_EQ(name.path, folder + "/" + c.fileName);
        EXPECT_FALSE(name.exists);
        EXPECT_EQ(name.message, "");
    }
}

TEST(SaveNameTest, EmptyNameAsksForANameAndPathsAreRefused) {
    const std::string folder = "/data/lists";
    for (const char* typed : {"", "   ", "\t \r\n", ".lst", " .LST "}) {
        SCOPED_TRACE(typed);
        const SaveName name = CheckSaveName(typed, SaveKind::ProgramList, folder);
        EXPECT_EQ(name.status, SaveNameStatus::Empty);
        EXPECT_EQ(name.message, LoadResString(str::kChooseFileName));
        EXPECT_EQ(name.path, "");
    }
    for (const char* typed : {"../escape", "..", ".", "sub/name", "/etc/passwd", "back\\slash",
                              "tab\there", "bell\x07", "del\x7f"}) {
        SCOPED_TRACE(typed);
        const SaveName name = CheckSaveName(typed, SaveKind::ProgramList, folder);
        EXPECT_EQ(name.status, SaveNameStatus::Refused);
        EXPECT_EQ(name.message, FormatText(LoadResString(str::kNotAFileName), {typed}));
        EXPECT_EQ(name.path, "");
    }
    // Only the ends are trimmed: a blank inside a name is fine, a trimmed path is still a path.
    EXPECT_EQ(CheckSaveName(" ../x ", SaveKind::Settings, folder).status, SaveNameStatus::Refused);
}

TEST(SaveNameTest, AnExistingFileOrLinkAsksBeforeItIsReplaced) {
    test::TempDir dir;
    const std::string folder = dir.Path().string();
    test::WriteBytes(dir.File("mine.grd"), "x");
    std::filesystem::create_symlink(dir.File("gone"), dir.File("dangling.lst"));

    const SaveName existing = CheckSaveName("mine", SaveKind::Settings, folder);
    EXPECT_EQ(existing.status, SaveNameStatus::Ok);
    EXPECT_TRUE(existing.exists);
    EXPECT_EQ(existing.message,
              FormatText(LoadResString(str::kFileExistsReplace), {folder + "/mine.grd"}));
    // A link pointing nowhere is still a name in use.
    EXPECT_TRUE(CheckSaveName("dangling.lst", SaveKind::ProgramList, folder).exists);
    EXPECT_FALSE(CheckSaveName("mine", SaveKind::ProgramList, folder).exists);
}

TEST(SaveNameTest, NamesTheFolderCannotHoldAreRefusedBeforeAnyTransfer) {
    test::TempDir dir;
    const std::string folder = dir.Path().string();
    const std::size_t limit = MaxFileNameBytes(folder);
    // The limit counts bytes after the extension is added: "Ä" is two of them.
    EXPECT_EQ(CheckSaveName(std::string(limit - 4, 'a'), SaveKind::ProgramList, folder).status,
              SaveNameStatus::Ok);
    for (const std::string& typed :
         {std::string(limit - 3, 'a'), "Ä" + std::string(limit - 5, 'a')}) {
        const SaveName name = CheckSaveName(typed, SaveKind::ProgramList, folder);
        EXPECT_EQ(name.status, SaveNameStatus::Refused);
        EXPECT_EQ(name.message, FormatText(LoadResString(str::kFileNameTooLong),
                                           {typed + ".lst", std::to_string(limit)}));
    }
    std::filesystem::create_directory(dir.File("sub.grd"));
    EXPECT_EQ(CheckSaveName("sub", SaveKind::Settings, folder).status, SaveNameStatus::Refused);
}

} // namespace
} // namespace fw

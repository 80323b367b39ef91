#include "core/safety/SafetyCopyStore.h"

#include "core/lists/FavoritenDat.h"

#include "tests/support/FileTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace fw {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Names = std::vector<std::string>;

class SafetyCopyStoreTest : public ::testing::Test {
protected:
    SafetyCopyStore Store(int keep) {
        return SafetyCopyStore(m_folders, keep, [this] { return m_now; });
    }
    std::vector<std::string> ListProgramLines() const { return {"\tDas Erste\t11836", "\tZDF"}; }
    SafetyCopyWriteResult WriteTv(SafetyCopyStore& store) {
        return store.WriteListCopy('T', ListProgramLines(), CFavoritenDat(), "ZEB30");
    }
    static Names FileNames(const std::string& folder) {
        Names names;
        for (const SafetyCopy& copy : ListSafetyCopies(folder))
            names.push_back(copy.fileName);
        return names;
    }

    test::TempDir m_dir;
    DataFolders m_folders = FoldersUnder(m_dir.Path().string());
    LocalDateTime m_now{2026, 12, 7, 23, 26, 5};
};

TEST_F(SafetyCopyStoreTest, NamesCarryKindTimeAndModelAndATakenNameGetsTheNextNumber) {
    // Neither the lists nor the settings folder exists yet: the tool may send before the
    // program ever ran.
    SafetyCopyStore store = Store(20);
    const std::string block(2048, '\x5a');
    const struct {
        std::function<SafetyCopyWriteResult()> write;
        std::string path;
    } cases[] = {
        {[&] { return WriteTv(store); }, "lists/backup/tv-20261207-232605.lst"},
        {[&] { return WriteTv(store); }, "lists/backup/tv-20261207-232605-2.lst"},
        {[&] { return WriteTv(store); }, "lists/backup/tv-20261207-232605-3.lst"},
        {[&] { return store.WriteListCopy('R', {}, CFavoritenDat(), "ZEB10"); },
         "lists/backup/radio-20261207-232605.lst"},
        {[&] { return store.WriteSettingsCopy(block, "ZEB30"); },
         "settings/backup/settings-20261207-232605-ZEB30.grd"},
        {[&] { return store.WriteSettingsCopy(block, "ZEB30"); },
         "settings/backup/settings-20261207-232605-ZEB30-2.grd"},
        {[&] { return store.WriteSettingsCopy(block, " ZEB-2/0\t"); },
         "settings/backup/settings-20261207-232605-ZEB20.grd"},
        {[&] { return store.WriteSettingsCopy(block, ""); },
         "settings/backup/settings-20261207-232605-NDEF.grd"},
    };
    for (const auto& c : cases) {
        const SafetyCopyWriteResult result = c.write();
        EXPECT_TRUE(result.written) << result.reason;
        EXPECT_EQ(result.path, m_dir.File(c.path));
    }
    EXPECT_EQ(test::ReadBytes(m_dir.File(cases[4].path)), block);
    const std::string tv = test::ReadBytes(m_dir.File(cases[0].path));
    EXPECT_TRUE(tv.starts_with("HEADER:\tTV\tsafety copy 2026-12-07 23:26 ZEB30\r\n")) << tv;
    EXPECT_NE(tv.find("\r\n\tDas Erste\t11836\r\n\tZDF\r\nBANK0:"), std::string::npos) << tv;
    EXPECT_TRUE(test::ReadBytes(m_dir.File(cases[3].path)).starts_with("HEADER:\tRA\t"));
}

TEST_F(SafetyCopyStoreTest, OldestOfAKindGoOnlyAfterTheNewCopyIsWritten) {
    std::filesystem::create_directories(m_folders.listBackups);
    test::WriteBytes(m_folders.listBackups + "/radio-20200101-000000.lst", "old radio");
    test::WriteBytes(m_folders.listBackups + "/tv-mine.lst", "the user's own");
    SafetyCopyStore store = Store(2);
    for (int second = 1; second <= 3; ++second) {
        m_now.second = second;
        ASSERT_TRUE(WriteTv(store).written);
    }
    m_now.second = 4;
    const SafetyCopyWriteResult fourth = WriteTv(store);
    EXPECT_THAT(fourth.removed, ElementsAre(m_folders.listBackups + "/tv-20261207-232602.lst"));
    EXPECT_THAT(FileNames(m_folders.listBackups),
                ElementsAre("tv-20261207-232604.lst", "tv-20261207-232603.lst",
                            "radio-20200101-000000.lst"));
    EXPECT_TRUE(std::filesystem::exists(m_folders.listBackups + "/tv-mine.lst"));

    // A failed write removes nothing and leaves no claimed name behind.
    m_now.second = 5;
    {
        const test::FileSizeLimit limit(16);
        const SafetyCopyWriteResult failed = WriteTv(store);
        EXPECT_FALSE(failed.written);
        EXPECT_FALSE(failed.reason.empty());
        EXPECT_TRUE(failed.path.empty());
    }
    EXPECT_EQ(test::EntryCount(m_folders.listBackups), 4u);

    // A clock set back never costs the copy just taken.
    m_now.year = 2025;
    const SafetyCopyWriteResult past = WriteTv(store);
    ASSERT_TRUE(past.written);
    EXPECT_TRUE(std::filesystem::exists(past.path));
    EXPECT_THAT(past.removed, ElementsAre(m_folders.listBackups + "/tv-20261207-232603.lst"));
}

TEST_F(SafetyCopyStoreTest, KeepCountIsClampedToAtLeastOne) {
    const std::pair<int, int> cases[] = {{-5, 1}, {0, 1}, {1, 1}, {20, 20}, {5000, 1000}};
    for (const auto& [stored, kept] : cases)
        EXPECT_EQ(Store(stored).Keep(), kept) << stored;
}

TEST_F(SafetyCopyStoreTest, ListingIsNewestFirstWithTheModelAndLeavesOtherFilesOut) {
    const std::string folder = m_dir.Path().string();
    const std::string ownHead = "HEADER:\tTV\tmy evening list\r\n";
    const std::pair<std::string, std::string> files[] = {
        {"tv-20261207-232605.lst", "HEADER:\tTV\tsafety copy 2026-12-07 23:26 ZEB30\r\nx"},
        {"tv-20261207-232605-2.lst", "HEADER:\tTV\tSicherheitskopie 2026-12-07 23:26 RECOK\r\n"},
        {"radio-20261208-000000.lst", ownHead},
        {"tv-20251231-235959-12.lst", ""},
        {"settings-20261207-232605-ZEB30.grd", ""},
        {"tv-2026120-232605.lst", ""},        // date too short
        {"tv-20261207-232605-1.lst", ""},     // the first copy has no number
        {"TV-20261207-232605.lst", ""},       // not as the store writes it
        {"settings-20261207-232605.grd", ""}, // a settings copy names its model
        {"tv-20261207-232605.grd", ""},
    };
    for (const auto& [name, text] : files)
        test::WriteBytes(m_dir.File(name), text);

    const std::vector<SafetyCopy> copies = ListSafetyCopies(folder);
    Names names, models;
    for (const SafetyCopy& copy : copies) {
        names.push_back(copy.fileName);
        models.push_back(copy.model);
    }
    EXPECT_THAT(names, ElementsAreArray({"radio-20261208-000000.lst", "tv-20261207-232605-2.lst",
                                         "settings-20261207-232605-ZEB30.grd",
                                         "tv-20261207-232605.lst", "tv-20251231-235959-12.lst"}));
    EXPECT_THAT(models, ElementsAreArray({"", "RECOK", "ZEB30", "ZEB30", ""}));
    ASSERT_EQ(copies.size(), 5u);
    EXPECT_EQ(copies[1].kind, SafetyCopyKind::TvList);
    EXPECT_EQ(copies[1].sequence, 2);
    EXPECT_EQ(copies[1].path, m_dir.File("tv-20261207-232605-2.lst"));
    EXPECT_EQ(LocalDateTimeText(copies[4].taken), "2025-12-31 23:59:59");
    EXPECT_TRUE(ListSafetyCopies(m_dir.File("missing")).empty());
}

} // namespace
} // namespace fw

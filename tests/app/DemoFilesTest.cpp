#include "app/DemoFiles.h"
#include "app/DemoReceiver.h"
#include "core/firmware/FirmwareCatalogue.h"
#include "core/firmware/Version.h"
#include "core/lists/FavoritenDat.h"
#include "core/lists/ListCatalogue.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramPool.h"
#include "core/settings/SettingsCatalogue.h"

#include "tests/sim/SimTestSupport.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fw {
namespace {

class DemoFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(CreateDataFolders(m_folders, reason)) << reason;
    }

    test::TempDir m_dir;
    const DataFolders m_folders = FoldersUnder(m_dir.File("data"));
    test::ScriptedInteraction m_ui;
};

TEST_F(DemoFilesTest, AFreshFolderGetsASampleOfEachKindThatThePagesAccept) {
    std::string reason;
    ASSERT_TRUE(SeedDemoFiles(m_folders, reason)) << reason;

    const std::vector<CReceiverdat> firmware = ScanFirmwareFolder(m_folders.firmware, m_ui);
    ASSERT_EQ(firmware.size(), 1u);
    EXPECT_EQ(firmware[0].m_kind, 1);
    EXPECT_EQ(firmware[0].m_version, kDemoFirmwareVersion);
    EXPECT_FALSE(firmware[0].m_description.empty());
    EXPECT_EQ(firmware[0].m_size % 1024, 0) << "the block protocol leaves out a short last block";
    EXPECT_EQ(CompareVersions(kDemoReceiverSoftware, firmware[0].m_version, 1).mode,
              VersionWarningMode::None);

    const ListCatalogue lists = ScanListFolder(m_folders.lists, m_ui);
    ASSERT_EQ(lists.records.size(), 1u);
    EXPECT_EQ(lists.records[0].m_strType, "TV");
    ProgramPool pool;
    CFavoritenDat banks;
    const ListReadResult read = ReadListFile(lists.records[0].m_strPath, pool, banks, m_ui);
    ASSERT_TRUE(read.ok);
    EXPECT_GE(read.programLines, 24);
    EXPECT_EQ(read.repairedLines, 0) << "every sample field passes the checks";
    EXPECT_EQ(FindIncompleteRow(pool, kListTv), -1);
    EXPECT_GT(banks.GetCount(0), 0);
    for (int bank = 0; bank < kBankCount; ++bank) {
        for (int k = 0; k < banks.GetCount(bank); ++k)
            EXPECT_LT(banks.GetAddress(bank, k), read.programLines) << "bank " << bank;
    }

    const SettingsCatalogue settings = ScanSettingsFolder(m_folders.settings, m_ui);
    ASSERT_EQ(settings.records.size(), 1u);
    EXPECT_EQ(settings.records[0].m_size, 2048);
    EXPECT_TRUE(m_ui.shown.empty()) << m_ui.shown.front();
}

TEST_F(DemoFilesTest, AFolderHoldingAFileOfItsKindIsLeftAlone) {
    // Any file of the kind counts, whatever the case of its extension and even a broken one.
    test::WriteBytes(m_folders.firmware + "/mine.BSR", "not firmware");
    test::WriteBytes(m_folders.lists + "/own.lst", "mine");
    std::string reason;
    ASSERT_TRUE(SeedDemoFiles(m_folders, reason)) << reason;
    EXPECT_EQ(test::EntryCount(m_folders.firmware), 1u);
    EXPECT_EQ(test::ReadBytes(m_folders.firmware + "/mine.BSR"), "not firmware");
    EXPECT_EQ(test::EntryCount(m_folders.lists), 1u);
    EXPECT_EQ(test::ReadBytes(m_folders.lists + "/own.lst"), "mine");

    // The seeded settings file is the user's from now on: a later run keeps what they made of it.
    const std::string seeded = m_folders.settings + "/" + std::string(kDemoSettingsFile);
    test::WriteBytes(seeded, "edited");
    ASSERT_TRUE(SeedDemoFiles(m_folders, reason)) << reason;
    EXPECT_EQ(test::ReadBytes(seeded), "edited");
    EXPECT_EQ(test::EntryCount(m_folders.settings), 1u);
}

TEST_F(DemoFilesTest, AFolderThatCannotTakeTheSampleIsReportedAndTheOthersAreStillWritten) {
    std::filesystem::remove(m_folders.lists);
    std::string reason;
    EXPECT_FALSE(SeedDemoFiles(m_folders, reason));
    EXPECT_NE(reason.find(m_folders.lists), std::string::npos) << reason;
    EXPECT_EQ(test::EntryCount(m_folders.firmware), 1u);
    EXPECT_EQ(test::EntryCount(m_folders.settings), 1u);
}

TEST(DemoReceiverContentTest, TheReceiversOwnListsHoldCompleteProgramsAndBanksWithinThem) {
    const DemoReceiverContent content = MakeDemoReceiverContent();
    EXPECT_EQ(content.settings.size(), 2048u);
    const struct {
        const std::vector<std::string>& lines;
        const std::array<std::vector<std::uint16_t>, 10>& banks;
        int type;
    } lists[] = {{content.tvList, content.tvBanks, kListTv},
                 {content.radioList, content.radioBanks, kListRadio}};
    for (const auto& list : lists) {
        ASSERT_FALSE(list.lines.empty());
        ProgramPool pool;
        for (std::size_t row = 0; row < list.lines.size(); ++row) {
            std::string line = list.lines[row];
            EXPECT_EQ(SanitizeProgramLine(line), 1) << list.lines[row];
            pool.SetRowFromLine(static_cast<int>(row), line);
        }
        EXPECT_EQ(FindIncompleteRow(pool, list.type), -1) << "type " << list.type;
        for (const auto& bank : list.banks) {
            for (const std::uint16_t entry : bank)
                EXPECT_LT(entry, list.lines.size());
        }
    }
}

TEST(DemoReceiverTest, StoreFaultsFromTheCommandLineReachTheReceiver) {
    const StoreFaultOptions wrong[] = {
        {{"--store-drop-place", "4000"}}, {{"--store-colour", "red"}}, {{"--store-bank-max", "x"}}};
    for (const StoreFaultOptions& options : wrong) {
        DemoReceiver refused("", DemoSpeed::Instant, options);
        std::string reason;
        EXPECT_FALSE(refused.Start(reason));
        EXPECT_NE(reason.find(options[0].first), std::string::npos) << reason;
    }

    DemoReceiver receiver("", DemoSpeed::Instant, {{"--store-settings-byte", "17:200"}});
    std::string reason;
    ASSERT_TRUE(receiver.Start(reason)) << reason;
    const std::string sent(2048, '\x04');
    {
        sim::test::PcPort pc(receiver.DevicePath());
        EXPECT_EQ(pc.Detect("PROG DEFW"), "ZEB30");
        pc.Send(sent);
        EXPECT_EQ(pc.Receive(1), "\xFF");
    }
    sim::test::PcPort pc(receiver.DevicePath());
    EXPECT_EQ(pc.Detect("LOAD DEFW"), "ZEB30");
    std::string held = pc.Receive(2048);
    ASSERT_EQ(held.size(), 2048u);
    EXPECT_EQ(held[17], static_cast<char>(200));
    held[17] = sent[17];
    EXPECT_EQ(held, sent);
}

} // namespace
} // namespace fw

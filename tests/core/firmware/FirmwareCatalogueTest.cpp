#include "core/firmware/FirmwareCatalogue.h"

#include "tests/core/firmware/FirmwareTestFiles.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fw {
namespace {

using test::FirmwareBytes;
using test::Trailer;

std::vector<std::string> Names(const std::vector<CReceiverdat>& records) {
    std::vector<std::string> names;
    for (const auto& record : records)
        names.push_back(record.m_strFileName);
    return names;
}

class FirmwareCatalogueTest : public ::testing::Test {
protected:
    void Firmware(const std::string& name, const std::string& version, std::size_t size = 3000,
                  const std::string& signature = "SOFTWARE-VERSION") {
        test::WriteBytes(m_dir.File(name), FirmwareBytes(size, Trailer(signature, version, name)));
    }
    test::TempDir m_dir;
};

TEST_F(FirmwareCatalogueTest, ListsGoodFilesByNameAndAsksAboutBadOnes) {
    Firmware("b.bsr", "ABC V1.1");
    Firmware("A.BSR", "ABC V2.0", 9000, "SOFTWARE-VERSION-2MB");
    Firmware("c.Bsr", "XYZ V0.9");
    test::WriteBytes(m_dir.File("short.bsr"), std::string(2000, 'x'));
    test::WriteBytes(m_dir.File("alien.bsr"), FirmwareBytes(5000, Trailer("OTHER", "V1", "")));
    Firmware("readme.txt", "ABC V1.1");
    Firmware("b.bsr.bak", "ABC V1.1");
    std::filesystem::create_directory(m_dir.File("folder.bsr"));
    ASSERT_EQ(::mkfifo(m_dir.File("pipe.bsr").c_str(), 0600), 0);

    test::ScriptedInteraction interaction;
    interaction.answers = {Answer::No, Answer::Yes}; // keep alien.bsr, delete short.bsr
    const auto records = ScanFirmwareFolder(m_dir.Path().string(), interaction);

    EXPECT_EQ(Names(records), (std::vector<std::string>{"A.BSR", "b.bsr", "c.Bsr"}));
    ASSERT_EQ(interaction.shown.size(), 3u);
    EXPECT_EQ(interaction.shown[0],
              "Wrong file format " + m_dir.File("alien.bsr") + ".\n Delete file from directory?");
    // A pipe is reported, never offered for deletion.
    EXPECT_EQ(
        interaction.shown[1].rfind("File " + m_dir.File("pipe.bsr") + " could not be opened.", 0),
        0u);
    EXPECT_EQ(interaction.shown[2],
              "Wrong file format " + m_dir.File("short.bsr") + ".\n Delete file from directory?");
    EXPECT_TRUE(std::filesystem::exists(m_dir.File("alien.bsr")));
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("short.bsr")));

    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].m_kind, 2);
    EXPECT_EQ(records[0].m_size, 9000);
    EXPECT_EQ(records[0].m_version, "ABC V2.0");
    EXPECT_EQ(records[0].m_description, "A.BSR");
    EXPECT_EQ(records[0].m_strPath, m_dir.File("A.BSR"));
    EXPECT_EQ(records[1].m_kind, 1);
}

TEST_F(FirmwareCatalogueTest, EmptyOrMissingFolderGivesNoRecords) {
    test::ScriptedInteraction interaction;
    EXPECT_TRUE(ScanFirmwareFolder(m_dir.Path().string(), interaction).empty());
    EXPECT_TRUE(ScanFirmwareFolder(m_dir.File("missing"), interaction).empty());
    EXPECT_TRUE(interaction.shown.empty());
}

} // namespace
} // namespace fw

#include "core/settings/SettingsCatalogue.h"

#include "core/util/SizeText.h"

#include "tests/support/FileTestSupport.h"
#include "tests/support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fw {
namespace {

std::vector<std::string> Names(const SettingsCatalogue& catalogue) {
    std::vector<std::string> names;
    for (const auto& record : catalogue.records)
        names.push_back(record.m_strFileName);
    return names;
}

class SettingsCatalogueTest : public ::testing::Test {
protected:
    void File(const std::string& name, std::size_t size) {
        test::WriteBytes(m_dir.File(name), std::string(size, '\x5a'));
    }
    std::string Question(const std::string& name) const {
        return "Wrong file format " + m_dir.File(name) + ".\n Delete file from directory?";
    }
    test::TempDir m_dir;
    test::ScriptedInteraction m_interaction;
};

TEST_F(SettingsCatalogueTest, ListsEveryGrdFileWithSizeAndPath) {
    File("Home.grd", 2048);
    File("small.GRD", 100);
    File("notes.txt", 10);
    std::filesystem::create_directory(m_dir.File("folder.grd"));

    const SettingsCatalogue catalogue = ScanSettingsFolder(m_dir.Path().string(), m_interaction);

    EXPECT_EQ(catalogue.result, 1);
    ASSERT_EQ(Names(catalogue), (std::vector<std::string>{"Home.grd", "small.GRD"}));
    EXPECT_EQ(catalogue.records[0], (CGrundDat{{m_dir.File("Home.grd"), "Home.grd"}, 2048}));
    EXPECT_EQ(catalogue.records[1].m_size, 100);
    EXPECT_EQ(CatalogueSizeText(catalogue.records[0].m_size), "3 KB");
    EXPECT_EQ(CatalogueSizeText(catalogue.records[1].m_size), "1 KB");
    EXPECT_TRUE(m_interaction.shown.empty());
}

TEST_F(SettingsCatalogueTest, EmptyFileIsAskedAboutAndEndsThePass) {
    File("a.grd", 10);
    File("b.grd", 0);
    File("c.grd", 10);

    // No: the empty file stays, and the file after it is not listed in this pass.
    SettingsCatalogue catalogue = ScanSettingsFolder(m_dir.Path().string(), m_interaction);
    EXPECT_EQ(catalogue.result, 1);
    EXPECT_EQ(Names(catalogue), std::vector<std::string>{"a.grd"});
    EXPECT_EQ(m_interaction.shown, std::vector<std::string>{Question("b.grd")});
    EXPECT_TRUE(std::filesystem::exists(m_dir.File("b.grd")));

    // Yes: it is deleted, the pass still ends there; the next pass lists the rest.
    m_interaction.shown.clear();
    m_interaction.answers = {Answer::Yes};
    catalogue = ScanSettingsFolder(m_dir.Path().string(), m_interaction);
    EXPECT_EQ(Names(catalogue), std::vector<std::string>{"a.grd"});
    EXPECT_EQ(m_interaction.shown.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("b.grd")));

    m_interaction.shown.clear();
    catalogue = ScanSettingsFolder(m_dir.Path().string(), m_interaction);
    EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"a.grd", "c.grd"}));
    EXPECT_TRUE(m_interaction.shown.empty());
}

// Takes the file away while the question is open, so that the deletion on Yes fails.
class VanishingInteraction : public test::ScriptedInteraction {
public:
    Answer Ask(const fw::Question& question) override {
        std::filesystem::remove(victim);
        return ScriptedInteraction::Ask(question);
    }
    std::string victim;
};

TEST_F(SettingsCatalogueTest, FailedDeletionShowsTheSystemReason) {
    File("empty.grd", 0);
    VanishingInteraction interaction;
    interaction.victim = m_dir.File("empty.grd");
    interaction.answers = {Answer::Yes};

    const SettingsCatalogue catalogue = ScanSettingsFolder(m_dir.Path().string(), interaction);

    EXPECT_EQ(catalogue.result, 1);
    EXPECT_TRUE(catalogue.records.empty());
    EXPECT_EQ(interaction.shown,
              (std::vector<std::string>{Question("empty.grd"),
                                        m_dir.File("empty.grd") + ": No such file or directory"}));
    EXPECT_EQ(interaction.lastErrors.size(), 1u) << "shown as a failed file operation";
}

TEST_F(SettingsCatalogueTest, NoMatchingFileGivesZero) {
    File("x.lst", 10);
    EXPECT_EQ(ScanSettingsFolder(m_dir.Path().string(), m_interaction).result, 0);
    EXPECT_EQ(ScanSettingsFolder(m_dir.File("missing"), m_interaction).result, 0);
}

} // namespace
} // namespace fw

#include "core/app/DataFolders.h"
#include "core/app/CommandLine.h"

#include "tests/support/FileTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace fw {
namespace {

class DataFoldersTest : public ::testing::Test {
protected:
    test::TempDir m_dir;
    const std::string m_root = m_dir.Path().string();
};

TEST_F(DataFoldersTest, FoldersLieUnderTheProgramFolder) {
    const DataFolders folders = FoldersUnder("/opt/fw/");
    EXPECT_EQ(folders.program, "/opt/fw");
    EXPECT_EQ(folders.firmware, "/opt/fw/OS");
    EXPECT_EQ(folders.lists, "/opt/fw/lists");
    EXPECT_EQ(folders.settings, "/opt/fw/settings");
    EXPECT_EQ(folders.profile, "/opt/fw/upd.ini");
}

TEST_F(DataFoldersTest, ChoosesOverrideThenProgramFolderThenUserData) {
    std::map<std::string, std::string> env = {{"XDG_DATA_HOME", "/home/u/.data"},
                                              {"HOME", "/home/u"}};
    auto lookup = [&env](const char* name) -> const char* {
        const auto found = env.find(name);
        return found == env.end() ? nullptr : found->second.c_str();
    };
    const DataUse real = DataUse::Real;
    const DataUse demo = DataUse::Demo;
    EXPECT_EQ(ChooseDataFolder(m_root, "/elsewhere/", real, lookup), "/elsewhere");
    EXPECT_EQ(ChooseDataFolder(m_root, "", real, lookup), m_root);
    EXPECT_EQ(ChooseDataFolder(m_root, "", demo, lookup), m_root) << "a portable demo stays put";
    // A program folder that cannot be written (here: one that does not exist).
    EXPECT_EQ(ChooseDataFolder(m_root + "/gone", "", real, lookup), "/home/u/.data/flashwerk");
    EXPECT_EQ(ChooseDataFolder(m_root + "/gone", "", demo, lookup), "/home/u/.data/flashwerk-demo");
    env.erase("XDG_DATA_HOME");
    EXPECT_EQ(ChooseDataFolder(m_root + "/gone", "", real, lookup),
              "/home/u/.local/share/flashwerk");
    // A relative override is taken from the current folder.
    EXPECT_EQ(ChooseDataFolder(m_root, "rel", real, lookup),
              std::filesystem::current_path().string() + "/rel");
}

// An installed program keeps its data with the user even where it could write beside itself
// (run as root); its demo gets a folder of its own. A program folder without the metainfo in
// the prefix, such as a build folder, stays portable.
TEST_F(DataFoldersTest, AnInstalledProgramKeepsItsDataWithTheUser) {
    const std::string bin = m_root + "/usr/bin";
    std::filesystem::create_directories(bin);
    auto lookup = [](const char* name) -> const char* {
        return std::string(name) == "XDG_DATA_HOME" ? "/home/u/.data" : nullptr;
    };
    EXPECT_FALSE(IsInstalledProgram(bin));
    EXPECT_EQ(ChooseDataFolder(bin, "", DataUse::Real, lookup), bin);

    std::filesystem::create_directories(m_root + "/usr/share/metainfo");
    test::WriteBytes(m_root + "/usr/share/metainfo/" FLASHWERK_APP_ID ".metainfo.xml",
                     "<component/>");
    EXPECT_TRUE(IsInstalledProgram(bin));
    EXPECT_TRUE(IsInstalledProgram(bin + "/"));
    EXPECT_EQ(ChooseDataFolder(bin, "", DataUse::Real, lookup), "/home/u/.data/flashwerk");
    EXPECT_EQ(ChooseDataFolder(bin, "", DataUse::Demo, lookup), "/home/u/.data/flashwerk-demo");
    EXPECT_EQ(ChooseDataFolder(bin, "/d", DataUse::Demo, lookup), "/d") << "--data-dir still wins";
}

TEST_F(DataFoldersTest, CreatesMissingFoldersAndKeepsExistingOnes) {
    const DataFolders folders = FoldersUnder(m_root + "/a/b");
    std::filesystem::create_directories(folders.lists);
    std::filesystem::create_directories(folders.lists + "/kept");
    std::string reason;
    ASSERT_TRUE(CreateDataFolders(folders, reason)) << reason;
    for (const auto& folder : {folders.firmware, folders.lists, folders.settings})
        EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
    EXPECT_TRUE(std::filesystem::exists(folders.lists + "/kept"));
    EXPECT_FALSE(std::filesystem::exists(folders.profile)) << "upd.ini is the configuration's";
}

TEST_F(DataFoldersTest, AFileInTheWayIsReported) {
    const DataFolders folders = FoldersUnder(m_root);
    test::WriteBytes(folders.settings, ""); // a file where a folder belongs
    std::string reason;
    EXPECT_FALSE(CreateDataFolders(folders, reason));
    EXPECT_NE(reason.find(folders.settings), std::string::npos) << reason;
}

TEST(CommandLineTest, ParsesOptionsAndRefusesUnknownOnes) {
    EXPECT_TRUE(ParseCommandLine({"--help"}).help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).version);
    const CommandLineOptions modes = ParseCommandLine({"--demo", "--production"});
    EXPECT_TRUE(modes.demo && modes.production && modes.error.empty());
    EXPECT_FALSE(ParseCommandLine({}).demo || ParseCommandLine({}).production);
    EXPECT_EQ(ParseCommandLine({"--data-dir", "/d"}).dataDir, "/d");
    EXPECT_EQ(ParseCommandLine({"--data-dir=/e"}).dataDir, "/e");
    EXPECT_TRUE(ParseCommandLine({"-platform", "offscreen"}).error.empty())
        << "toolkit options pass";
    EXPECT_FALSE(ParseCommandLine({"--data-dir"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"--data-dir="}).error.empty());
    EXPECT_NE(ParseCommandLine({"--dat-dir", "/d"}).error.find("--dat-dir"), std::string::npos);
    EXPECT_NE(VersionText().find(FLASHWERK_VERSION), std::string::npos);
}

TEST(CommandLineTest, StoreFaultsGoToTheDemoReceiverOnly) {
    const CommandLineOptions demo =
        ParseCommandLine({"--store-name-max", "8", "--demo", "--store-settings-byte=17:200"});
    EXPECT_EQ(demo.error, "");
    EXPECT_EQ(demo.demoStoreFaults,
              (std::vector<std::pair<std::string, std::string>>{
                  {"--store-name-max", "8"}, {"--store-settings-byte", "17:200"}}));
    EXPECT_EQ(ParseCommandLine({"--store-bank-max", "998"}).error,
              "--store-bank-max works only with --demo.");
    EXPECT_NE(ParseCommandLine({"--demo", "--store-drop-place"}).error.find("--store-drop-place"),
              std::string::npos);
}

TEST(CommandLineTest, PrintPdfTakesTwoFilesAndItsOptionsAnywhere) {
    const CommandLineOptions full =
        ParseCommandLine({"--rows", "4,0-2", "--print-pdf", "a.lst", "b.pdf", "--force"});
    ASSERT_TRUE(full.printPdf && full.error.empty()) << full.error;
    EXPECT_EQ(full.printPdf->listFile, "a.lst");
    EXPECT_EQ(full.printPdf->pdfFile, "b.pdf");
    EXPECT_EQ(full.printPdf->rows, (std::vector<int>{4, 0, 1, 2}));
    EXPECT_TRUE(full.printPdf->force);
    const CommandLineOptions plain = ParseCommandLine({"--print-pdf", "a.lst", "b.pdf"});
    ASSERT_TRUE(plain.printPdf);
    EXPECT_FALSE(plain.printPdf->rows || plain.printPdf->force);

    const std::vector<std::vector<std::string>> refused = {
        {"--print-pdf", "a.lst"},
        {"--print-pdf", "a.lst", ""},
        {"--print-pdf", "a.lst", "b.pdf", "--rows", "4000"},
        {"--print-pdf", "a.lst", "b.pdf", "--rows=3-1"},
        {"--print-pdf", "a.lst", "b.pdf", "--rows"},
        {"--force"},
        {"--rows", "1"},
    };
    for (const auto& arguments : refused)
        EXPECT_FALSE(ParseCommandLine(arguments).error.empty()) << arguments.back();
}

} // namespace
} // namespace fw

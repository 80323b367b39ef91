// Pipes, devices and oversized files given where a file is read whole.
#include "core/firmware/FirmwareCatalogue.h"
#include "core/lists/ListCatalogue.h"
#include "core/settings/SettingsCatalogue.h"
#include "core/util/FileIo.h"

#include "tests/support/FileTestSupport.h"
#include "tests/support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {
namespace {

class SpecialFileTest : public ::testing::Test {
protected:
    std::string Sparse(const std::string& name, std::uint64_t size) {
        const std::string path = m_dir.File(name);
        test::WriteBytes(path, "");
        EXPECT_EQ(::truncate(path.c_str(), static_cast<off_t>(size)), 0);
        return path;
    }
    std::string Pipe(const std::string& name) {
        const std::string path = m_dir.File(name);
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }
    std::string LinkTo(const std::string& name, const std::string& target) {
        const std::string path = m_dir.File(name);
        std::filesystem::create_symlink(target, path);
        return path;
    }
    // Every message shown is an unreadable-file report, never a question about deleting.
    static void ExpectOnlyReports(const test::ScriptedInteraction& ui, std::size_t count) {
        ASSERT_EQ(ui.shown.size(), count);
        for (const std::string& text : ui.shown) {
            EXPECT_NE(text.find("could not be opened"), std::string::npos) << text;
            EXPECT_EQ(text.find("Delete"), std::string::npos) << text;
        }
    }
    test::TempDir m_dir;
};

TEST_F(SpecialFileTest, ReadRefusesWhatIsNoRegularFileOrTooLarge) {
    struct Case {
        std::string path;
        std::uint64_t limit;
        std::string reason; // empty: the read succeeds
    };
    test::WriteBytes(m_dir.File("plain.lst"), "text");
    const std::vector<Case> cases = {
        {Pipe("pipe.lst"), kTextFileLimit, "not a regular file"},
        {LinkTo("zero.lst", "/dev/zero"), kFirmwareFileLimit, "not a regular file"},
        {Sparse("big.lst", kTextFileLimit + 1), kTextFileLimit, "larger than 8 MiB"},
        {Sparse("big.bsr", kTextFileLimit + 1), kFirmwareFileLimit, ""},
        {LinkTo("link.lst", m_dir.File("plain.lst")), kTextFileLimit, ""},
    };
    for (const Case& c : cases) {
        std::string data, reason;
        const bool read = ReadWholeFile(c.path, data, reason, c.limit);
        EXPECT_EQ(read, c.reason.empty()) << c.path << ": " << reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        EXPECT_EQ(reason.find(c.path), c.reason.empty() ? std::string::npos : 0) << reason;
    }
}

TEST_F(SpecialFileTest, CataloguesReportSuchFilesAsUnreadable) {
    const std::string folder = m_dir.Path().string();
    Pipe("pipe.lst");
    LinkTo("zero.lst", "/dev/zero");
    Sparse("huge.lst", kTextFileLimit + 1);
    test::ScriptedInteraction lists;
    EXPECT_TRUE(ScanListFolder(folder, lists).records.empty());
    ExpectOnlyReports(lists, 3);
    EXPECT_NE(lists.shown[0].find("larger than 8 MiB"), std::string::npos) << lists.shown[0];

    Pipe("pipe.bsr");
    Sparse("huge.bsr", kFirmwareFileLimit + 1);
    test::ScriptedInteraction firmware;
    EXPECT_TRUE(ScanFirmwareFolder(folder, firmware).empty());
    ExpectOnlyReports(firmware, 2);

    // The pipe's size reads as 0, which would end the pass with a delete question.
    Pipe("a.grd");
    Sparse("b.grd", kTextFileLimit + 1);
    test::WriteBytes(m_dir.File("c.grd"), "settings");
    test::ScriptedInteraction settings;
    const SettingsCatalogue catalogue = ScanSettingsFolder(folder, settings);
    ASSERT_EQ(catalogue.records.size(), 1u);
    EXPECT_EQ(catalogue.records[0].m_strFileName, "c.grd");
    ExpectOnlyReports(settings, 2);
}

} // namespace
} // namespace fw

#include "core/app/CommandLine.h"
#include "core/res/StringTable.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/tools/CliTestSupport.h"
#include "tools/cli/Cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fw::cli {
namespace {

using test::CliRun;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class CliFileCommandsTest : public ::testing::Test {
protected:
    static CliRun RunTool(const std::vector<std::string>& arguments) {
        return test::RunCliCaught(arguments);
    }
    std::string Firmware(const std::string& name, const std::string& signature) {
        std::string body(1000, '\xFF');
        std::string trailer = signature + '\0' + "ABC V1.20" + '\0' + "Neu \xE4" + '\0';
        trailer.resize(2048, '\0');
        const std::string path = m_dir.File(name);
        test::WriteBytes(path, body + trailer);
        return path;
    }

    test::TempDir m_dir;
};

TEST_F(CliFileCommandsTest, FirmwareInfo) {
    const std::string path = Firmware("a.BSR", "SOFTWARE-VERSION");
    std::uint32_t sum = 0;
    for (unsigned char byte : test::ReadBytes(path))
        sum += byte;
    const CliRun run = RunTool({"info", path});
    EXPECT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(run.out, "kind: 1\nversion: ABC V1.20\ndescription: Neu \xC3\xA4\nsize: 3048\nsum: " +
                           std::to_string(sum) + "\n");
    EXPECT_THAT(RunTool({"info", Firmware("b.bsr", "SOFTWARE-VERSION-2MB")}).out,
                StartsWith("kind: 2\n"));
}

TEST_F(CliFileCommandsTest, ListInfoReadsAsTheProgramWouldWithoutChangingTheFile) {
    // No header, no title line: the repair would add both; info must leave the file alone.
    const std::string text = test::ProgramLine("One") +
                             "\r\n\t\t\t\t\t\t\t\t\t\t\r\n\tOnly a name\t\t\t\t\t\t\t\t\t\r\n" +
                             test::kBankLabels + "\r\n2\t\t0\r\n0\r\n";
    const std::string path = m_dir.File("foreign.lst");
    test::WriteBytes(path, text);
    const CliRun run = RunTool({"info", path});
    EXPECT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(run.out, "type: NDEF\ndescription: NDEF\nprograms: 3\nincomplete: 2\n"
                       "bank0: 2 0\nbank1:\nbank2: 0\nbank3:\nbank4:\nbank5:\nbank6:\nbank7:\n"
                       "bank8:\nbank9:\n");
    EXPECT_EQ(test::ReadBytes(path), text);
}

TEST_F(CliFileCommandsTest, ListInfoNeverLetsTheFileDriveTheTerminal) {
    // ESC, DEL, an undefined byte (U+0081), a backslash, and text that stays as it is.
    const std::string path = m_dir.File("odd.lst");
    test::WriteBytes(path, "HEADER:\tTV\t\x1B[2Jx\x7F\x81\\\xE4\x80\r\nCA\r\n" +
                               test::ProgramLine("One") + "\r\nBANK0:\r\n0\r\n4000\r\n-3\r\n");
    const CliRun run = RunTool({"info", path});
    EXPECT_EQ(run.code, kExitOk) << run.err;
    EXPECT_THAT(run.out, HasSubstr("description: \\x1B[2Jx\\x7F\\x81\\\\\xC3\xA4\xE2\x82\xAC\n"));
    EXPECT_THAT(run.out, HasSubstr("bank0: 0\nbank1:"));
    EXPECT_THAT(run.out, ::testing::EndsWith("bank9:\ndropped-bank-entries: 2\n"));
}

TEST_F(CliFileCommandsTest, ListInfoSkipsAByteOrderMarkAndNamesLinesPastTheLastPlace) {
    std::string full = test::ListHead("RA", "Mine");
    for (int row = 0; row < 4000; ++row)
        full += test::ProgramLine("P") + "\r\n";
    struct Case {
        std::string text;
        std::string tail; // what info ends with
    };
    const std::vector<Case> cases = {
        {"\xEF\xBB\xBF" + test::ListHead("TV", "Mine") + test::ProgramLine("One") + "\r\n",
         "bank9:\n"},
        {full + "\r\n\r\n", "bank9:\nextra-lines: 2\n"},
        {full + test::ProgramLine("Q") + "\r\n\r\n", "bank9:\ndropped-lines: 1\nextra-lines: 1\n"},
    };
    const std::string path = m_dir.File("marked.lst");
    for (const Case& c : cases) {
        test::WriteBytes(path, c.text);
        const CliRun run = RunTool({"info", path});
        EXPECT_EQ(run.code, kExitOk) << run.err;
        EXPECT_THAT(run.out,
                    StartsWith(c.text.starts_with("\xEF") ? "type: TV\ndescription: Mine\n"
                                                          : "type: RA\ndescription: Mine\n"));
        EXPECT_THAT(run.out, ::testing::EndsWith(c.tail));
        EXPECT_EQ(test::ReadBytes(path), c.text);
    }
    // The first edit writes the header it read, without the mark.
    test::WriteBytes(path, cases[0].text);
    EXPECT_EQ(RunTool({"list", "set", path, "0", "2", "Two"}).code, kExitOk);
    EXPECT_THAT(test::ReadBytes(path), StartsWith("HEADER:\tTV\tMine\r\n"));
    // A full list and an empty line is edited without --force.
    test::WriteBytes(path, full + "\r\n");
    EXPECT_EQ(RunTool({"list", "set", path, "0", "2", "Two"}).code, kExitOk);
}

TEST_F(CliFileCommandsTest, SettingsInfo) {
    const std::string path = m_dir.File("s.grd");
    test::WriteBytes(path, std::string(2048, '\0'));
    EXPECT_EQ(RunTool({"info", path}).out, "size: 2048\n");
}

TEST_F(CliFileCommandsTest, BadFilesGiveTheMessageAndExitTwo) {
    test::WriteBytes(m_dir.File("short.bsr"), std::string(2999, 'x'));
    test::WriteBytes(m_dir.File("lf.lst"), "HEADER:\tTV\tx\n");
    struct Case {
        std::string file;
        std::string message;
    };
    const std::vector<Case> cases = {
        {Firmware("wrong.bsr", "software-version"), "Wrong file format"},
        {m_dir.File("short.bsr"), "Wrong file format"},
        {m_dir.File("lf.lst"), "Wrong file format"},
        {m_dir.File("missing.grd"), "could not be opened"},
        {m_dir.File("notes.txt"), "Unknown kind of file"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunTool({"info", c.file});
        EXPECT_EQ(run.code, kExitBadFile) << c.file;
        EXPECT_THAT(run.err, HasSubstr(c.message)) << c.file;
        EXPECT_THAT(run.err, ::testing::Not(HasSubstr("Delete"))) << "no question on the terminal";
        EXPECT_TRUE(run.out.empty());
    }
    const CliRun german = RunTool({"info", m_dir.File("short.bsr"), "--lang", "de"});
    EXPECT_THAT(german.err, HasSubstr("Das Dateiformat von"));
}

TEST_F(CliFileCommandsTest, RepairSaysWhetherItChangedTheFile) {
    const std::string path = m_dir.File("r.lst");
    test::WriteBytes(path, "HEADER:\tTV\r\n" + test::ProgramLine("One") + "\r\n");
    CliRun run = RunTool({"repair", path});
    EXPECT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(run.out, "changed\n");
    EXPECT_THAT(test::ReadBytes(path), StartsWith("HEADER:\tTV\tNDEF\r\nCA\tProgram name\t"));
    EXPECT_EQ(RunTool({"repair", path}).out, "unchanged\n");

    // Program lines lose their CRs and banks the entries outside the places.
    test::WriteBytes(path, test::ReadBytes(path) + "\tTwo\rX\r\r\nBANK0:\r\n70000\r\n");
    EXPECT_EQ(RunTool({"repair", path}).out, "changed\n");
    EXPECT_THAT(test::ReadBytes(path),
                ::testing::EndsWith("\tTwo X\r\n" + test::kBankLabels + "\r\n"));

    test::WriteBytes(m_dir.File("s.grd"), "x");
    run = RunTool({"repair", m_dir.File("s.grd")});
    EXPECT_EQ(run.code, kExitBadFile);
    EXPECT_THAT(run.err, HasSubstr("is not a program list"));
    run = RunTool({"repair", m_dir.File("none.lst")});
    EXPECT_EQ(run.code, kExitBadFile);
    EXPECT_THAT(run.err, HasSubstr("No such file"));
}

TEST_F(CliFileCommandsTest, CommandLineMistakesAndHelp) {
    struct Case {
        std::vector<std::string> arguments;
        int code;
        std::string inOut;
        std::string inErr;
    };
    const std::vector<Case> cases = {
        {{}, kExitUsage, "", "Usage: flashwerk-cli"},
        {{"--help"}, kExitOk, "Usage: flashwerk-cli", ""},
        {{"info", "--help"}, kExitOk, "Usage: flashwerk-cli info FILE", ""},
        {{"--help", "repair"}, kExitOk, "Usage: flashwerk-cli repair", ""},
        {{"production", "--help"}, kExitOk, "Usage: flashwerk-cli production run RECIPE", ""},
        {{"info"}, kExitUsage, "", "Wrong number of arguments"},
        {{"info", "a.lst", "b.lst"}, kExitUsage, "", "Wrong number of arguments"},
        {{"flash", "a.bsr"}, kExitUsage, "", "Unknown command: flash"},
        {{"info", "a.lst", "--colour"}, kExitUsage, "", "Unknown option: --colour"},
        {{"--lang", "fr", "info", "a.lst"}, kExitUsage, "", "--lang takes de or en"},
        {{"info", "--lang"}, kExitUsage, "", "needs a value"},
        {{"--lang=de", "--help"}, kExitOk, "Aufruf: flashwerk-cli", ""},
        {{"--version"}, kExitOk, VersionText(), ""},
        {{"list", "rows", "--version"}, kExitOk, VersionText(), ""},
    };
    for (const Case& c : cases) {
        const CliRun run = RunTool(c.arguments);
        const std::string shown = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(run.code, c.code) << shown;
        EXPECT_THAT(run.out, HasSubstr(c.inOut)) << shown;
        EXPECT_THAT(run.err, HasSubstr(c.inErr)) << shown;
    }
}

} // namespace
} // namespace fw::cli

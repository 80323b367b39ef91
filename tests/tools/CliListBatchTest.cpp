#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/tools/CliTestSupport.h"
#include "tools/cli/Cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

namespace fw::cli {
namespace {

using test::CliRun;
using ::testing::HasSubstr;
using ::testing::Not;

// Programs A to D in places 0 to 3, bank 0 = places 2 and 0, bank 1 = place 3.
std::string BatchSample() {
    std::string text = "HEADER:\tTV\tMine\r\nCA\tProgram name\r\n";
    for (const char* name : {"A", "B", "C", "D"})
        text += test::ProgramLine(name) + "\r\n";
    return text + test::kBankLabels + "\r\n2\t3\r\n0\r\n";
}

class CliListBatchTest : public ::testing::Test {
protected:
    void SetUp() override { test::WriteBytes(m_path, BatchSample()); }
    CliRun Batch(const std::string& script, std::vector<std::string> extra = {}) {
        test::WriteBytes(m_script, script);
        std::vector<std::string> words = {"list", "batch", m_path, "--script", m_script};
        words.insert(words.end(), extra.begin(), extra.end());
        return test::RunCliCaught(words);
    }
    // The file's names by place and bank 0: "A B C D | 2,0".
    std::string Names() const {
        ProgramPool pool;
        CFavoritenDat banks;
        ParseListText(test::ReadBytes(m_path), pool, banks);
        std::string names;
        for (int row = 0; row < kPoolRows; ++row)
            if (!pool.IsRowEmpty(row))
                names += pool.Cell(row, kFieldName) + " ";
        names += "|";
        for (int entry = 0; entry < banks.GetCount(0); ++entry)
            names += (entry ? "," : " ") + std::to_string(banks.GetAddress(0, entry));
        return names;
    }

    test::TempDir m_dir;
    std::string m_path = m_dir.File("batch.lst");
    std::string m_script = m_dir.File("script.txt");
};

// What the batch writes once is what the same commands write one call at a time.
TEST_F(CliListBatchTest, AScriptEndsAsItsCommandsOneByOne) {
    const std::vector<std::vector<std::string>> calls = {
        {"set", "1", "2", "Das Erste HD"},
        {"move", "3", "--to", "0"},
        {"set", "0", "2", "--value", "-x-"},
        {"bank", "0", "add", "2", "--at", "0"},
        {"insert", "2", "--count", "2"},
        {"delete", "5"},
        {"set", "4", "6", "5\\6"},
        {"find", "erste"},
        {"rows"},
    };
    const std::string script = "# renames and moves\r\n"
                               "set 1 2 \"Das Erste HD\"\r\n"
                               "\r\n"
                               "  move 3 --to 0   # D to the top\r\n"
                               "set 0 2 --value '-x-'\r\n"
                               "bank 0 add 2 --at=0\r\n"
                               "insert 2 --count 2\r\n"
                               "delete 5\r\n"
                               "set 4 6 '5\\6'\r\n"
                               "find erste\r\n"
                               "rows";
    std::string singleOut;
    for (const auto& call : calls) {
        std::vector<std::string> words = call;
        words.insert(words.begin() + 1, m_path);
        words.insert(words.begin(), "list");
        const CliRun run = test::RunCliCaught(words);
        ASSERT_EQ(run.code, kExitOk) << run.err;
        singleOut += run.out;
    }
    const std::string expected = test::ReadBytes(m_path);
    EXPECT_EQ(Names(), "-x- A Das Erste HD | 4,1");
    // find and rows print as they would; one "changed" for the one write.
    std::string printed;
    std::istringstream lines(singleOut);
    for (std::string line; std::getline(lines, line);)
        if (line != "changed")
            printed += line + "\n";

    test::WriteBytes(m_path, BatchSample());
    const CliRun run = Batch(script);
    EXPECT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(test::ReadBytes(m_path), expected);
    EXPECT_THAT(printed, ::testing::StartsWith("4\n0\t\t-x-\t11836\tH\t27500\t3\\4"));
    EXPECT_EQ(run.out, printed + "changed\n");
    EXPECT_EQ(test::EntryCount(m_dir.Path()), 2u) << "no lock or temporary file is left";
}

TEST_F(CliListBatchTest, ARefusedLineStopsTheBatchOrIsLeftOut) {
    // Line 3 is refused (no polarisation "X"), line 5 part-way (place 9 is empty, after it added
    // place 1 to bank 0).
    const std::string script = "set 0 2 Eins\n"
                               "# comment\n"
                               "set 1 4 X\n"
                               "set 2 2 Drei\n"
                               "bank 0 add 1,9\n"
                               "set 3 2 Vier\n";
    const std::string before = test::ReadBytes(m_path);
    CliRun run = Batch(script);
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_THAT(run.err, ::testing::StartsWith("Line 3: "));
    EXPECT_THAT(run.err, HasSubstr("Nothing was written."));
    EXPECT_EQ(run.out, "unchanged\n");
    EXPECT_EQ(test::ReadBytes(m_path), before);

    run = Batch(script, {"--keep-going"});
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_THAT(run.err, HasSubstr("Line 3: "));
    EXPECT_THAT(run.err, HasSubstr("Line 5: "));
    EXPECT_THAT(run.err, HasSubstr("The incomplete program is in place 9."));
    EXPECT_THAT(run.err, ::testing::EndsWith("Refused lines (not carried out): 3, 5\n"));
    EXPECT_EQ(run.out, "changed\n");
    EXPECT_EQ(Names(), "Eins B Drei Vier | 2,0");

    // Refused lines that change nothing leave the file as it was.
    test::WriteBytes(m_path, before);
    run = Batch("find zz\nclear 7\n", {"--keep-going"});
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_EQ(run.out, "unchanged\n");
    EXPECT_EQ(test::ReadBytes(m_path), before);
}

TEST_F(CliListBatchTest, AMalformedLineExitsTwoNamingItAndWritesNothing) {
    struct Case {
        std::string badLine; // line 3, after two good ones
        std::string err;
    };
    const std::vector<Case> cases = {
        {"frobnicate 1", "Line 3: Unknown word: frobnicate (expected: rows|set|"},
        {"load tv x.lst", "Line 3: Unknown word: load"},
        {"batch other.lst", "Line 3: batch cannot stand inside a batch."},
        {"clear 4000", "Line 3: Invalid ROWS: 4000 (allowed: 0 to 3999)"},
        {"set 1 12 x", "Line 3: Invalid COLUMN"},
        {"set 1 2", "Line 3: Wrong number of arguments."},
        {"clear 1 --to 3", "Line 3: Unknown option: --to"},
        {"clear 1 --port COM1", "Line 3: Unknown option: --port"},
        {"clear 1 --lang de", "Line 3: Unknown option: --lang"},
        {"clear 1 --keep-going", "Line 3: Unknown option: --keep-going"},
        {"--force", "Line 3: Wrong number of arguments."},
        {"set 1 2 \"Eins", "Line 3: A double quote (\") is not closed."},
        {"set 1 2 'Eins", "Line 3: A single quote (') is not closed."},
        {"set 1 2 Eins\\", "Line 3: The line ends with a backslash"},
        {std::string("set 1 2 'a\0b'", 13), "Line 3: The line holds a NUL character"},
        {"set 1 2 \xE2\x88\x9A", "Line 3: VALUE holds characters"},
        {"bank 5 delete 0", "Line 3: Bank 5 holds no entries"},
    };
    const std::string before = test::ReadBytes(m_path);
    for (const Case& c : cases) {
        for (const bool keepGoing : {false, true}) {
            const CliRun run = Batch("set 0 2 Eins\nrows\n" + c.badLine + "\nset 1 2 Zwei\n",
                                     keepGoing ? std::vector<std::string>{"--keep-going"}
                                               : std::vector<std::string>{});
            EXPECT_EQ(run.code, kExitUsage) << c.badLine;
            EXPECT_THAT(run.err, ::testing::StartsWith(c.err)) << c.badLine;
            EXPECT_THAT(run.err, ::testing::EndsWith("\nNothing was written.\n")) << c.badLine;
            EXPECT_THAT(run.err, Not(HasSubstr("Usage:"))) << c.badLine;
            EXPECT_THAT(run.out, Not(HasSubstr("changed"))) << c.badLine;
            EXPECT_EQ(test::ReadBytes(m_path), before) << c.badLine;
        }
    }
    // The batch's own command line.
    const std::vector<std::pair<std::vector<std::string>, std::string>> calls = {
        {{"list", "batch", m_path, "--force"}, "Unknown option: --force"},
        {{"list", "batch", m_path, "extra"}, "Wrong number of arguments"},
        {{"list", "batch", m_path, "--script", m_dir.File("none.txt")}, "could not be opened"},
    };
    for (const auto& [words, err] : calls) {
        const CliRun run = test::RunCliCaught(words);
        EXPECT_EQ(run.code, kExitUsage) << err;
        EXPECT_THAT(run.err, HasSubstr(err));
    }
    EXPECT_EQ(test::ReadBytes(m_path), before);
}

TEST_F(CliListBatchTest, ForceActsOnItsLineOfAListThatSavingWouldShorten) {
    std::string wide = BatchSample();
    wide.insert(wide.find("\tB\t"), "\tx\t\t\t\t\t\t\t\t\t\tkept\r\n");
    test::WriteBytes(m_path, wide);
    CliRun run = Batch("rows\nset 0 2 Eins\n");
    EXPECT_EQ(run.code, kExitUsage);
    EXPECT_THAT(run.err, HasSubstr("Line 2: "));
    EXPECT_THAT(run.err, HasSubstr("--force edits the list anyway"));
    EXPECT_EQ(test::ReadBytes(m_path), wide);
    // Once one line took the loss, the list as edited loses nothing more.
    run = Batch("set 0 2 Eins --force\nset 2 2 Drei\n");
    EXPECT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(Names(), "Eins x Drei C D | 2,0");
}

TEST_F(CliListBatchTest, TheScriptIsUtf8OrElseWindows1252) {
    for (const std::string& script :
         {std::string("set 1 2 'M\xFCnchen \x80'\n"),
          std::string("set 1 2 'M\xC3\xBCnchen \xE2\x82\xAC'\n"),
          std::string("\xEF\xBB\xBFset 1 2 'M\xC3\xBCnchen \xE2\x82\xAC'\n")}) {
        test::WriteBytes(m_path, BatchSample());
        const CliRun run = Batch(script);
        EXPECT_EQ(run.code, kExitOk) << run.err;
        EXPECT_EQ(Names(), "A M\xFCnchen \x80 C D | 2,0") << script;
    }
}

// The real program, with the script on its standard input.
TEST_F(CliListBatchTest, TheScriptComesFromStandardInput) {
    const std::filesystem::path tool =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "flashwerk-cli";
    test::WriteBytes(m_script, "set 1 2 Zwei\nset 2 2 'Drei drei'\n");
    const std::string out = m_dir.File("out.txt");
    for (const std::string& option : {std::string(), std::string(" --script -")}) {
        test::WriteBytes(m_path, BatchSample());
        const std::string command = "'" + tool.string() + "' list batch '" + m_path + "'" + option +
                                    " <'" + m_script + "' >'" + out + "' 2>&1";
        const int status = std::system(("sh -c \"" + command + "\"").c_str());
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), kExitOk) << test::ReadBytes(out);
        EXPECT_EQ(test::ReadBytes(out), "changed\n");
        EXPECT_EQ(Names(), "A Zwei Drei drei D | 2,0") << option;
    }
}

} // namespace
} // namespace fw::cli

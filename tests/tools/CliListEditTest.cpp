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
#include <spawn.h>
#include <sys/wait.h>

namespace fw::cli {
namespace {

using test::CliRun;
using ::testing::HasSubstr;

std::string Program(const std::string& name) {
    return test::ProgramLine(name) + "\r\n";
}

// A radio program: complete for a radio list, incomplete for a TV list (no SID, video or PCR).
const std::string kRadioOnly = "\tR\t11836\tH\t27500\t3\\4\t\t\t102\t\t1\r\n";
const std::string kBankLabels = test::kBankLabels + "\r\n";

class CliListEditTest : public ::testing::Test {
protected:
    // Programs A to D in places 0 to 3 (R in 4), bank 0 = places 2 and 0, bank 1 = place 3.
    std::string Sample(const std::string& type = "TV", const std::string& extra = {}) {
        return "HEADER:\t" + type + "\tMine\r\nCA\tProgram name\r\n" + Program("A") + Program("B") +
               Program("C") + Program("D") + kRadioOnly + extra + kBankLabels + "2\t3\r\n0\r\n";
    }
    std::string Write(const std::string& text) {
        test::WriteBytes(m_path, text);
        return m_path;
    }
    // The file's programs by place and its non-empty banks: "0=A 1=B | b0=2,0".
    std::string State() const { return test::ListState(m_path); }
    CliRun Edit(std::vector<std::string> words) {
        words.insert(words.begin() + 1, m_path);
        words.insert(words.begin(), "list");
        return test::RunCliCaught(words);
    }

    test::TempDir m_dir;
    std::string m_path = m_dir.File("edit.lst");
};

const std::string kStart = "0=A 1=B 2=C 3=D 4=R | b0=2,0 b1=3";

struct EditCase {
    std::vector<std::string> words; // after "list", without the file
    int code;
    std::string state; // afterwards; kStart when nothing may change
    std::string inErr;
};

TEST_F(CliListEditTest, CommandsChangeTheListAsTheEditorDoes) {
    const std::vector<EditCase> cases = {
        {{"set", "1", "2", "  Zwei\xC3\xA9 "},
         kExitOk,
         "0=A 1=Zwei\xE9 2=C 3=D 4=R | b0=2,0 b1=3",
         ""},
        {{"set", "1", "2", "--value", "-1"}, kExitOk, "0=A 1=-1 2=C 3=D 4=R | b0=2,0 b1=3", ""},
        {{"set", "1", "2", "a\tb"}, kExitFailed, kStart, "No tabs or line breaks"},
        {{"set", "1", "4", "X"}, kExitFailed, kStart, "H"},
        {{"insert", "1", "--count", "2"}, kExitOk, "0=A 3=B 4=C 5=D 6=R | b0=4,0 b1=5", ""},
        {{"clear", "2,0"}, kExitOk, "1=B 3=D 4=R | b1=3", ""},
        {{"delete", "3,0-1,0"}, kExitOk, "0=C 1=R | b0=0", ""},
        {{"move", "2-3", "--to", "0"}, kExitOk, "0=C 1=D 2=A 3=B 4=R | b0=0,2 b1=1", ""},
        {{"move", "4", "--to", "1"}, kExitOk, "0=A 1=R 2=B 3=C 4=D | b0=3,0 b1=4", ""},
        {{"move", "0,1", "--to", "1"}, kExitFailed, kStart, "inside what is being moved"},
        {{"move", "1-2", "--up"}, kExitOk, "0=B 1=C 2=A 3=D 4=R | b0=1,2 b1=3", ""},
        {{"move", "3", "--down"}, kExitOk, "0=A 1=B 2=C 3=R 4=D | b0=2,0 b1=4", ""},
        {{"move", "0", "--up"}, kExitOk, kStart, ""},
        {{"sort", "--by", "name"}, kExitOk, kStart, ""},
        {{"sort", "--by", "name", "--descending"},
         kExitOk,
         "0=R 1=D 2=C 3=B 4=A | b0=2,4 b1=1",
         ""},
        {{"sort", "--by", "sid", "--rows", "1-3", "--descending"}, kExitOk, kStart, ""},
        {{"sort", "--by", "name", "--rows", "1-3", "--descending"},
         kExitOk,
         "0=A 1=D 2=C 3=B 4=R | b0=2,0 b1=1",
         ""},
        {{"copy", "0-1", "--to", "4"}, kExitOk, "0=A 1=B 2=C 3=D 4=A 5=B | b0=2,0 b1=3", ""},
        {{"copy", "1,0", "--to", "3", "--insert"},
         kExitOk,
         "0=A 1=B 2=C 3=A 4=B 5=D 6=R | b0=2,0 b1=5",
         ""},
        // A program that would land past the last place is lost only with --force; empty rows
        // fall away silently.
        {{"copy", "0,1", "--to", "3999"},
         kExitFailed,
         kStart,
         "Programs that would land past place 3999 would be left out: 1. --force does it anyway."},
        {{"copy", "0,1", "--to", "3999", "--force"},
         kExitOk,
         "0=A 1=B 2=C 3=D 4=R 3999=A | b0=2,0 b1=3",
         ""},
        {{"copy", "0,5", "--to", "3999"}, kExitOk, "0=A 1=B 2=C 3=D 4=R 3999=A | b0=2,0 b1=3", ""},
        // An empty row over a program takes it out of the banks, as clear does.
        {{"copy", "100", "--to", "0"}, kExitOk, "1=B 2=C 3=D 4=R | b0=2 b1=3", ""},
        {{"bank", "2", "add", "3,1,3"}, kExitOk, kStart + " b2=1,3", ""},
        {{"bank", "0", "add", "1", "--at", "1"},
         kExitOk,
         "0=A 1=B 2=C 3=D 4=R | b0=2,1,0 b1=3",
         ""},
        // Stops at the first incomplete program; what was added before stays.
        {{"bank", "0", "add", "1,9,3"},
         kExitFailed,
         "0=A 1=B 2=C 3=D 4=R | b0=2,0,1,3 b1=3",
         "missing data!!!\nThe incomplete program is in place 9."},
        {{"bank", "0", "add", "4"}, kExitFailed, kStart, "missing data"},
        {{"bank", "0", "add", "1,0"}, kExitFailed, kStart, "\"A\" (place 0) is already entry 1"},
        {{"bank", "0", "delete", "1"}, kExitOk, "0=A 1=B 2=C 3=D 4=R | b0=2 b1=3", ""},
        {{"bank", "0", "move", "1", "--to", "1", "--at", "0"},
         kExitOk,
         "0=A 1=B 2=C 3=D 4=R | b0=2 b1=0,3",
         ""},
        {{"bank", "0", "move", "0", "--to", "0"}, kExitOk, "0=A 1=B 2=C 3=D 4=R | b0=0,2 b1=3", ""},
        {{"bank", "0", "move", "1", "--to", "0", "--at", "0"},
         kExitOk,
         "0=A 1=B 2=C 3=D 4=R | b0=0,2 b1=3",
         ""},
        {{"bank", "0", "move", "0-1", "--to", "0", "--at", "1"},
         kExitFailed,
         kStart,
         "inside what is being moved"},
    };
    for (const EditCase& c : cases) {
        Write(Sample());
        const CliRun run = Edit(c.words);
        const std::string shown = ::testing::PrintToString(c.words);
        EXPECT_EQ(run.code, c.code) << shown << run.err;
        EXPECT_EQ(State(), c.state) << shown;
        EXPECT_THAT(run.err, HasSubstr(c.inErr)) << shown;
        EXPECT_EQ(run.out, c.state == kStart ? "unchanged\n" : "changed\n") << shown;
    }
}

TEST_F(CliListEditTest, BankAddFollowsTheFilesTypeAndCapacity) {
    // An untyped list takes the radio rule; the type stays as it was.
    Write(Sample("NDEF"));
    EXPECT_EQ(Edit({"bank", "3", "add", "4"}).code, kExitOk);
    EXPECT_THAT(test::ReadBytes(m_path), ::testing::StartsWith("HEADER:\tNDEF\tMine\r\n"));

    std::string full;
    for (int entry = 0; entry < kBankCapacity; ++entry)
        full += "\t\t\t0\r\n";
    Write(Sample("TV") + full); // bank 3 after the sample's bank lines
    const std::string before = test::ReadBytes(m_path);
    const CliRun run = Edit({"bank", "3", "add", "1"});
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_THAT(run.err, HasSubstr("Bank already full"));
    EXPECT_EQ(test::ReadBytes(m_path), before);
}

TEST_F(CliListEditTest, MistakesExitTwoAndWriteNothing) {
    const std::vector<EditCase> cases = {
        {{"clear", "4000"}, kExitUsage, "", "Invalid ROWS: 4000 (allowed: 0 to 3999)"},
        {{"clear", "3-1"}, kExitUsage, "", "Invalid ROWS"},
        {{"delete", "1,,2"}, kExitUsage, "", "Invalid ROWS"},
        {{"delete", "-1"}, kExitUsage, "", "Unknown option: -1"},
        {{"insert", "0", "--count", "0"}, kExitUsage, "", "Invalid --count"},
        {{"move", "1"}, kExitUsage, "", "exactly one of --to, --up and --down"},
        {{"copy", "1", "--to", "x"}, kExitUsage, "", "Invalid --to"},
        {{"set", "1", "12", "x"}, kExitUsage, "", "Invalid COLUMN: 12 (allowed: 1 to 11)"},
        {{"set", "1", "2"}, kExitUsage, "", "Wrong number of arguments"},
        {{"set", "1", "2", "x", "--value", "y"}, kExitUsage, "", "Wrong number of arguments"},
        {{"set", "1", "2", "\xE2\x88\x9A"}, kExitUsage, "", "VALUE holds characters"},
        {{"bank", "10", "delete", "0"}, kExitUsage, "", "Invalid BANK"},
        {{"bank", "0", "delete", "2"}, kExitUsage, "", "Invalid POSITIONS: 2 (allowed: 0 to 1)"},
        {{"bank", "5", "delete", "0"}, kExitUsage, "", "Bank 5 holds no entries"},
        {{"bank", "0", "add", "1", "--at", "3"}, kExitUsage, "", "Invalid --at"},
        {{"bank", "0", "move", "0", "--to", "1", "--at", "2"}, kExitUsage, "", "Invalid --at"},
        {{"bank", "0", "delete", "0", "--at", "1"}, kExitUsage, "", "Unknown option: --at"},
        {{"bank", "0", "swap", "0"}, kExitUsage, "", "expected: add|delete|move"},
        {{"clear", "1", "--port", "COM1"}, kExitUsage, "", "Unknown option: --port"},
        {{"find", ""}, kExitUsage, "", "The search text is empty"},
        {{"sort"}, kExitUsage, "", "--by is missing"},
        {{"sort", "--by", "size"}, kExitUsage, "", "expected: name|frequency|satellite|sid"},
        {{"sort", "--by", "name", "--rows", "3-1"}, kExitUsage, "", "Invalid --rows"},
        {{"move", "1", "--up", "--to", "0"},
         kExitUsage,
         "",
         "exactly one of --to, --up and --down"},
    };
    for (const EditCase& c : cases) {
        const std::string bytes = Sample();
        Write(bytes);
        const CliRun run = Edit(c.words);
        const std::string shown = ::testing::PrintToString(c.words);
        EXPECT_EQ(run.code, c.code) << shown;
        EXPECT_THAT(run.err, HasSubstr(c.inErr)) << shown;
        EXPECT_EQ(test::ReadBytes(m_path), bytes) << shown;
    }
    // Files the program-list page would not take.
    test::WriteBytes(m_dir.File("notes.txt"), Sample());
    test::WriteBytes(m_dir.File("lf.lst"), "HEADER:\tTV\tx\n\tA\n");
    const std::vector<std::pair<std::string, std::string>> files = {
        {m_dir.File("notes.txt"), "is not a program list"},
        {m_dir.File("lf.lst"), "Wrong file format"},
        {m_dir.File("none.lst"), "could not be opened"},
    };
    for (const auto& [path, message] : files) {
        const CliRun run = test::RunCliCaught({"list", "clear", path, "0"});
        EXPECT_EQ(run.code, kExitBadFile) << path;
        EXPECT_THAT(run.err, HasSubstr(message)) << path;
    }
    EXPECT_EQ(test::ReadBytes(m_dir.File("lf.lst")), "HEADER:\tTV\tx\n\tA\n");
}

TEST_F(CliListEditTest, TheFileIsRewrittenOnlyWhenTheListChanged) {
    // Without a header the repair would add one; an edit that changes nothing leaves even that.
    const std::string foreign = Program("A");
    Write(foreign);
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
    std::filesystem::last_write_time(m_path, old);
    for (const auto& words :
         std::vector<std::vector<std::string>>{{"clear", "7"},
                                               {"set", "0", "2", "A "},
                                               {"rows"},
                                               {"find", "a"},
                                               {"bank", "0", "add", "0", "--at", "0"}}) {
        Edit(words);
        if (words[0] == "bank")
            break; // the one that changes the list
        EXPECT_EQ(test::ReadBytes(m_path), foreign) << words[0];
        EXPECT_EQ(std::filesystem::last_write_time(m_path), old) << words[0];
    }
    EXPECT_EQ(State(), "0=A | b0=0");
    EXPECT_THAT(test::ReadBytes(m_path), ::testing::StartsWith("HEADER:\tNDEF\tNDEF\r\nCA\t"));
}

TEST_F(CliListEditTest, ListsThatSavingWouldShortenNeedForce) {
    std::string tooLong = "HEADER:\tTV\tbig\r\nCA\r\n";
    for (int row = 0; row <= kPoolRows; ++row)
        tooLong += Program("P" + std::to_string(row));
    std::string wide = Sample("TV");
    wide.insert(wide.find("\tB\t"), "\tx\t\t\t\t\t\t\t\t\t\tkept\r\n");
    for (const std::string& text : {tooLong, wide}) {
        Write(text);
        CliRun run = Edit({"delete", "0"});
        EXPECT_EQ(run.code, kExitBadFile);
        EXPECT_THAT(run.err, HasSubstr("--force edits the list anyway"));
        EXPECT_EQ(test::ReadBytes(m_path), text);
        EXPECT_EQ(Edit({"rows"}).code, kExitOk) << "reading loses nothing";
        run = Edit({"delete", "0", "--force"});
        EXPECT_EQ(run.code, kExitOk) << run.err;
    }
}

TEST_F(CliListEditTest, ProgramsPushedOffTheEndNeedForce) {
    // Programs in places 3996, 3997 and 3999; bank 0 holds 3999 twice and 3997, bank 1 3996.
    ProgramPool pool;
    CFavoritenDat banks;
    pool.SetRowFromLine(0, test::ProgramLine("A"));
    for (int row : {3996, 3997, 3999})
        pool.SetRowFromLine(row, test::ProgramLine("E" + std::to_string(row)));
    for (int row : {3999, 3997, 3999})
        banks.Insert(0, CFavEintrag{row}, -1);
    banks.Insert(1, CFavEintrag{3996}, -1);
    const std::string full = BuildListFileText(kListTv, "full", pool, banks);
    const std::string start = "0=A 3996=E3996 3997=E3997 3999=E3999 | b0=3999,3997,3999 b1=3996";
    struct Case {
        std::vector<std::string> words;
        int code;
        std::string state;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"insert", "0"},
         kExitFailed,
         start,
         "1 program at the end of the list (place 3999) and 2 favourite entries would be removed. "
         "--force does it anyway.\n"},
        {{"copy", "0", "--to", "1", "--insert"}, kExitFailed, start, "(place 3999)"},
        {{"insert", "0", "--force"}, kExitOk, "1=A 3997=E3996 3998=E3997 | b0=3998 b1=3997", ""},
        {{"move", "3999", "--to", "0"},
         kExitOk,
         "0=E3999 1=A 3997=E3996 3998=E3997 | b0=0,3998,0 b1=3997",
         ""},
    };
    for (const Case& c : cases) {
        Write(full);
        const CliRun run = Edit(c.words);
        const std::string shown = ::testing::PrintToString(c.words);
        EXPECT_EQ(run.code, c.code) << shown << run.err;
        EXPECT_EQ(State(), c.state) << shown;
        EXPECT_THAT(run.err, HasSubstr(c.err)) << shown;
        if (c.code != kExitOk) {
            EXPECT_EQ(test::ReadBytes(m_path), full) << shown;
        }
    }
    // Empty rows at the end fall off without a word.
    pool.SetRowFromLine(3999, "");
    Write(BuildListFileText(kListTv, "full", pool, CFavoritenDat{}));
    EXPECT_EQ(Edit({"insert", "0", "--count", "2"}).code, kExitOk);
}

TEST_F(CliListEditTest, RowsAndFind) {
    Write(Sample("TV", "\tM\xDC"
                       "NCHEN\x1B\t\t\t\t\t\t\t\t\t\t\r\n"));
    CliRun run = Edit({"rows"});
    EXPECT_EQ(run.code, kExitOk);
    EXPECT_THAT(run.out, ::testing::StartsWith("0\t" + test::ProgramLine("A") +
                                               "\n"
                                               "1\t\tB\t"));
    EXPECT_THAT(run.out, ::testing::EndsWith("\n5\t\tM\xC3\x9CNCHEN\\x1B\t\t\t\t\t\t\t\t\t\n"));
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 6);
    run = Edit({"rows", "--all"});
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), kPoolRows);
    EXPECT_THAT(run.out, ::testing::EndsWith("\n3999\t\t\t\t\t\t\t\t\t\t\t\n"));

    struct FindCase {
        std::vector<std::string> words;
        int code;
        std::string out;
    };
    const std::vector<FindCase> cases = {
        {{"find", "m\xC3\xBCnchen"}, kExitOk, "5\n"},    {{"find", "b"}, kExitOk, "1\n"},
        {{"find", "a", "--after", "0"}, kExitOk, "0\n"}, // round to the row itself
        {{"find", "b", "--after", "3"}, kExitOk, "1\n"}, {{"find", "zz"}, kExitFailed, ""},
    };
    for (const FindCase& c : cases) {
        run = Edit(c.words);
        EXPECT_EQ(run.code, c.code) << c.words[1];
        EXPECT_EQ(run.out, c.out) << c.words[1];
    }
    EXPECT_THAT(run.err, HasSubstr("Searchstring not found."));
}

// The real program under a file-size limit smaller than the list: the failed write is said and
// leaves nothing behind, instead of SIGXFSZ ending the tool half-way.
TEST(CliProgramTest, AWritePastTheFileSizeLimitFailsWithAMessageAndLeavesNoTemporaryFile) {
    const std::filesystem::path tool =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "flashwerk-cli";
    test::TempDir dir;
    const std::string list = dir.File("big.lst");
    const std::string text = test::NumberedList("TV", "big", 40);
    ASSERT_GT(text.size(), 1024u);
    test::WriteBytes(list, text);
    const std::string errors = dir.File("errors.txt");
    const std::string command = "ulimit -f 1 && exec '" + tool.string() + "' list set '" + list +
                                "' 0 2 Renamed 2>'" + errors + "' >/dev/null";
    const int status = std::system(("sh -c \"" + command + "\"").c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal: " << status;
    EXPECT_NE(WEXITSTATUS(status), kExitOk);
    EXPECT_THAT(test::ReadBytes(errors), HasSubstr("File too large"));
    EXPECT_EQ(test::ReadBytes(list), text);
    EXPECT_EQ(test::EntryCount(dir.Path()), 2u) << "the list and the error text only";
}

// Edits of one list by parallel processes take turns: every one of them is kept.
TEST(CliProgramTest, ParallelEditsOfOneListAreAllKept) {
    const std::string tool =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "flashwerk-cli").string();
    test::TempDir dir;
    const std::string list = dir.File("shared.lst");
    constexpr int kEditors = 12;
    test::WriteBytes(list, test::NumberedList("TV", "shared", kEditors));
    std::vector<pid_t> editors;
    for (int row = 0; row < kEditors; ++row) {
        const std::string name = "Edit" + std::to_string(row);
        const std::vector<std::string> words = {tool, "list", "set", list, std::to_string(row),
                                                "2",  name};
        std::vector<char*> argv;
        for (const std::string& word : words)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        pid_t pid = 0;
        ASSERT_EQ(::posix_spawn(&pid, tool.c_str(), nullptr, nullptr, argv.data(), environ), 0);
        editors.push_back(pid);
    }
    for (const pid_t pid : editors) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitOk) << status;
    }
    ProgramPool pool;
    CFavoritenDat banks;
    ParseListText(test::ReadBytes(list), pool, banks);
    for (int row = 0; row < kEditors; ++row)
        EXPECT_EQ(pool.Cell(row, kFieldName), "Edit" + std::to_string(row));
    EXPECT_EQ(test::EntryCount(dir.Path()), 1u) << "no lock file is left";
}

} // namespace
} // namespace fw::cli

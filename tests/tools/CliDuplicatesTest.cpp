#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/tools/CliTestSupport.h"
#include "tools/cli/Cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fw::cli {
namespace {

// "A dup" is A's service under another name, "b" only shares B's name. Bank 0 names places 2
// and 1, bank 1 place 2.
std::string DuplicatesSample() {
    return "HEADER:\tTV\tMine\r\nCA\tProgram name\r\n" + test::ProgramLine("A", 1) + "\r\n" +
           test::ProgramLine("B", 2) + "\r\n" + test::ProgramLine("A dup", 1) + "\r\n" +
           test::ProgramLine("b", 3) + "\r\n" + test::kBankLabels + "\r\n2\t2\r\n1\r\n";
}

TEST(CliDuplicatesTest, ListsAndRemovesTheGroups) {
    const std::string start = "0=A 1=B 2=A dup 3=b | b0=2,1 b1=2";
    struct Case {
        std::vector<std::string> words; // after the file
        int code;
        std::string out;
        std::string state;
    };
    const std::vector<Case> cases = {
        {{"duplicates"},
         kExitOk,
         "Group 1: 2 programs\n  0\tA\n  2\tA dup\nGroups: 1, duplicates to remove: 1\n",
         start},
        {{"duplicates", "--by", "name"},
         kExitOk,
         "Group 1: 2 programs\n  1\tB\n  3\tb\nGroups: 1, duplicates to remove: 1\n",
         start},
        {{"dedupe"}, kExitOk, "Duplicates removed: 1\nchanged\n", "0=A 1=B 2=b | b0=0,1 b1=0"},
        {{"dedupe", "--keep", "banked"},
         kExitOk,
         "Duplicates removed: 1\nchanged\n",
         "0=B 1=A dup 2=b | b0=1,0 b1=1"},
        {{"dedupe", "--by", "name", "--keep", "first"},
         kExitOk,
         "Duplicates removed: 1\nchanged\n",
         "0=A 1=B 2=A dup | b0=2,1 b1=2"},
    };
    test::TempDir dir;
    const std::string path = dir.File("dupes.lst");
    for (const Case& c : cases) {
        const std::string shown = ::testing::PrintToString(c.words);
        test::WriteBytes(path, DuplicatesSample());
        std::vector<std::string> words = {"list", c.words[0], path};
        words.insert(words.end(), c.words.begin() + 1, c.words.end());
        const test::CliRun run = test::RunCliCaught(words);
        EXPECT_EQ(run.code, c.code) << shown << run.err;
        EXPECT_EQ(run.out, c.out) << shown;
        EXPECT_EQ(test::ListState(path), c.state) << shown;
    }
    // A second run finds nothing and leaves the file alone.
    const std::string once = test::ReadBytes(path);
    const test::CliRun again = test::RunCliCaught({"list", "dedupe", path, "--by", "name"});
    EXPECT_EQ(again.code, kExitOk);
    EXPECT_EQ(again.out, "Duplicates removed: 0\nunchanged\n");
    EXPECT_EQ(test::ReadBytes(path), once);
    EXPECT_EQ(test::RunCliCaught({"list", "duplicates", path, "--by", "name"}).out,
              "No duplicates found.\n");
}

TEST(CliDuplicatesTest, BadChoicesExitTwoAndWriteNothing) {
    struct Case {
        std::vector<std::string> words;
        std::string inErr;
    };
    const std::vector<Case> cases = {
        {{"duplicates", "--by", "sid"}, "expected: match|name"},
        {{"dedupe", "--keep", "last"}, "expected: first|banked"},
        {{"duplicates", "--keep", "first"}, "Unknown option: --keep"},
        {{"dedupe", "7"}, "Wrong number of arguments"},
    };
    test::TempDir dir;
    const std::string path = dir.File("dupes.lst");
    test::WriteBytes(path, DuplicatesSample());
    for (const Case& c : cases) {
        std::vector<std::string> words = {"list", c.words[0], path};
        words.insert(words.end(), c.words.begin() + 1, c.words.end());
        const test::CliRun run = test::RunCliCaught(words);
        EXPECT_EQ(run.code, kExitUsage) << c.inErr;
        EXPECT_THAT(run.err, ::testing::HasSubstr(c.inErr));
        EXPECT_THAT(run.err, ::testing::HasSubstr("list dedupe FILE.lst [--by match|name]"));
    }
    EXPECT_EQ(test::ReadBytes(path), DuplicatesSample());
}

} // namespace
} // namespace fw::cli

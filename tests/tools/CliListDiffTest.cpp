#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/tools/CliTestSupport.h"
#include "tools/cli/Cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fw::cli {
namespace {

using ::testing::HasSubstr;

// A list of the named programs (a program's SID is its first letter's code, so that it keeps it
// when renamed or moved), with the bank block rows as given.
std::string DiffListText(const std::string& type, const std::vector<std::string>& names,
                         const std::string& bank0 = "0") {
    std::string text = "HEADER:\t" + type + "\tMine\r\nCA\tProgram name\r\n";
    for (const std::string& name : names)
        text += (name.empty() ? std::string()
                              : test::ProgramLine(name, static_cast<unsigned char>(name[0]))) +
                "\r\n";
    return text + test::kBankLabels + "\r\n" + bank0 + "\r\n";
}

TEST(CliListDiffTest, ExitCodeFollowsTheLines) {
    test::TempDir dir;
    const std::string a = dir.File("a.lst");
    test::WriteBytes(a, DiffListText("TV", {"Arte", "ZDF"}));
    struct Case {
        std::string what;
        std::string b; // the second file's text; "" for a file that is not there
        std::string name;
        int code;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"the same file", DiffListText("TV", {"Arte", "ZDF"}), "b.lst", 0, ""},
        {"type and description alone", DiffListText("RA", {"Arte", "ZDF"}), "b.lst", 0,
         "type \"TV\" -> \"RA\" (not counted)\n"},
        {"renamed", DiffListText("TV", {"Arte", "ZDF HD"}), "b.lst", 1,
         "place 1 changed: name \"ZDF\" -> \"ZDF HD\"\n"},
        {"moved", DiffListText("TV", {"Arte", "", "ZDF"}), "b.lst", 1, "moved 1 -> 2: \"ZDF\"\n"},
        {"bank entry added", DiffListText("TV", {"Arte", "ZDF"}, "1\r\n0"), "b.lst", 1,
         "bank F0: +ZDF\n"},
        {"no list", "just text", "b.lst", 2, ""},
        {"no .lst name", DiffListText("TV", {"Arte", "ZDF"}), "b.txt", 2, ""},
        {"missing file", "", "none.lst", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string b = dir.File(c.name);
        if (!c.b.empty())
            test::WriteBytes(b, c.b);
        const std::string before = test::ReadBytes(a);
        const test::CliRun run = test::RunCliCaught({"list", "diff", a, b});
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(test::ReadBytes(a), before); // reads only
        EXPECT_EQ(run.err.empty(), c.code != 2);
    }
    // A bank differing only in order counts, and says so.
    test::WriteBytes(a, DiffListText("TV", {"Arte", "ZDF"}, "0\r\n1"));
    const std::string b = dir.File("b.lst");
    test::WriteBytes(b, DiffListText("TV", {"Arte", "ZDF"}, "1\r\n0"));
    const test::CliRun run = test::RunCliCaught({"list", "diff", a, b});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "bank F0: same entries, other order\n");
}

TEST(CliListDiffTest, BadUsageExitsTwo) {
    test::TempDir dir;
    const std::string a = dir.File("a.lst");
    test::WriteBytes(a, DiffListText("TV", {"Arte"}));
    for (const std::vector<std::string>& words : {std::vector<std::string>{"list", "diff", a},
                                                  {"list", "diff", a, a, a},
                                                  {"list", "diff", a, a, "--force"}}) {
        const test::CliRun run = test::RunCliCaught(words);
        EXPECT_EQ(run.code, 2) << words.size();
        EXPECT_THAT(run.err, HasSubstr("list diff A.lst B.lst"));
    }
    EXPECT_THAT(test::RunCliCaught({"list", "--help"}).out, HasSubstr("list diff A.lst B.lst"));

    // Not in a batch: its 1 for "differs" would read as a refused line.
    const std::string script = dir.File("script.txt");
    test::WriteBytes(script, "set 0 2 X\ndiff " + a + "\n");
    const std::string before = test::ReadBytes(a);
    const test::CliRun batch = test::RunCliCaught({"list", "batch", a, "--script", script});
    EXPECT_EQ(batch.code, 2);
    EXPECT_THAT(batch.err, HasSubstr("Line 2"));
    EXPECT_EQ(test::ReadBytes(a), before);
}

} // namespace
} // namespace fw::cli

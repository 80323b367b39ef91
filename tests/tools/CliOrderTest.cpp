#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramRecord.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/tools/CliTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fw::cli {
namespace {

using ::testing::HasSubstr;

class CliOrderTest : public ::testing::Test {
protected:
    test::CliRun Order(std::vector<std::string> options) {
        std::vector<std::string> words = {"list", "order", m_file};
        words.insert(words.end(), options.begin(), options.end());
        return test::RunCliCaught(words);
    }

    test::TempDir m_dir;
    std::string m_file = m_dir.File("new.lst");
    std::string m_reference = m_dir.File("old.lst");
};

TEST_F(CliOrderTest, OrdersReportsAndSaysWhetherTheFileChanged) {
    test::WriteBytes(m_file, test::NumberedListText({3, 9, 1, 0}, {1}));
    test::WriteBytes(m_reference, test::NumberedListText({0, 1, 2, 3}, {3, 0}));
    const test::CliRun run = Order({"--like", m_reference});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "Matched: 3\nNew in this list: 1\n  place 4 \"TV 9\" (was 1)\n"
                       "Only in the reference list: 1\n  place 2 \"TV 2\"\nchanged\n");
    ProgramPool pool;
    CFavoritenDat banks;
    ParseListText(test::ReadBytes(m_file), pool, banks);
    const std::vector<std::string> names = {"TV 0", "TV 1", "", "TV 3", "TV 9"};
    for (int place = 0; place < 5; ++place)
        EXPECT_EQ(pool.Cell(place, kFieldName), names[static_cast<std::size_t>(place)]);
    // Bank 0: the reference's entries, then the list's own one of the new program.
    EXPECT_EQ(banks.GetCount(0), 3);
    EXPECT_EQ(banks.GetAddress(0, 0), 3);
    EXPECT_EQ(banks.GetAddress(0, 1), 0);
    EXPECT_EQ(banks.GetAddress(0, 2), 4);

    const test::CliRun again = Order({"--like", m_reference, "--rest", "keep"});
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_THAT(again.out, HasSubstr("\nunchanged\n"));
}

TEST_F(CliOrderTest, RefusalsAndBadUsageLeaveTheFileAsItWas) {
    // The reference's bank 0 is full with programs the list has; the list's own entry of its
    // new program would be the 1001st.
    std::vector<int> numbers, full;
    for (int number = 0; number < 1000; ++number) {
        numbers.push_back(number);
        full.push_back(number);
    }
    test::WriteBytes(m_reference, test::NumberedListText(numbers, full));
    numbers.push_back(5000);
    const std::string list = test::NumberedListText(numbers, {1000});
    test::WriteBytes(m_file, list);
    test::WriteBytes(m_dir.File("empty.lst"), "");
    struct Case {
        std::vector<std::string> options;
        int code;
        std::string inErr;
    };
    const std::vector<Case> cases = {
        {{"--like", m_reference}, 1, "Bank F0 would get 1001 entries but holds only 1000"},
        {{}, 2, "--like is missing"},
        {{"--like", m_reference, "--rest", "middle"}, 2, "middle"},
        {{"--like", m_dir.File("missing.lst")}, 2, "could not be opened"},
        {{"--like", m_dir.File("empty.lst")}, 2, "is not a program list"},
        {{"--like", m_dir.File("old.txt")}, 2, "is not a program list"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inErr);
        const test::CliRun run = Order(c.options);
        EXPECT_EQ(run.code, c.code);
        EXPECT_THAT(run.err, HasSubstr(c.inErr));
        EXPECT_EQ(run.out, c.code == 1 ? "unchanged\n" : "");
        EXPECT_EQ(test::ReadBytes(m_file), list);
    }
}

} // namespace
} // namespace fw::cli

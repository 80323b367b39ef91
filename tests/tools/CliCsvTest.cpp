#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/tools/CliTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace fw::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A and B in places 0 and 1, bank 2 = place 1.
const std::string kCsvList = test::ListHead("TV", "Mine") + test::ProgramLine("A") + "\r\n" +
                             test::ProgramLine("B", 7) + "\r\n" + test::kBankLabels +
                             "\r\n\t\t1\r\n";

class CliCsvTest : public ::testing::Test {
protected:
    void SetUp() override { test::WriteBytes(m_list, kCsvList); }
    test::CliRun List(const std::string& word, const std::string& file,
                      std::vector<std::string> options = {}) {
        std::vector<std::string> words = {"list", word, m_list, file};
        words.insert(words.end(), options.begin(), options.end());
        return test::RunCliCaught(words);
    }

    test::TempDir m_dir;
    std::string m_list = m_dir.File("tv.lst");
    std::string m_csv = m_dir.File("tv.csv");
};

TEST_F(CliCsvTest, ExportWritesOnlyWhereItMay) {
    struct Case {
        std::vector<std::string> options;
        bool exists;
        int code;
        std::string start; // of the file afterwards; "old" when it must be untouched
    };
    const std::string english = "Place,CA,Name,Frequency";
    const std::vector<Case> cases = {
        {{}, false, 0, english},
        {{}, true, 2, "old"},
        {{"--force"}, true, 0, english},
        {{"--separator", ";", "--bom"}, false, 0, "\xEF\xBB\xBFPlace;CA;Name;"},
        {{"--separator", "x"}, false, 2, ""},
        {{"--lang", "de"}, false, 0, "Platz,CA,Name,Frequenz"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(m_csv);
        if (c.exists)
            test::WriteBytes(m_csv, "old");
        const test::CliRun run = List("export", m_csv, c.options);
        EXPECT_EQ(run.code, c.code) << run.err;
        if (c.start.empty())
            EXPECT_FALSE(std::filesystem::exists(m_csv));
        else
            EXPECT_THAT(test::ReadBytes(m_csv), StartsWith(c.start));
    }
    EXPECT_THAT(test::ReadBytes(m_csv),
                HasSubstr("\r\n1,,B,11836,H,27500,3\\4,7,101,102,101,1,F2:1\r\n"));
    // Neither a folder nor the list itself is replaced, not even with --force.
    EXPECT_EQ(List("export", m_dir.Path().string(), {"--force"}).code, 2);
    EXPECT_EQ(List("export", m_list, {"--force"}).code, 2);
    EXPECT_EQ(test::ReadBytes(m_list), kCsvList);
}

TEST_F(CliCsvTest, ImportWritesWhatWasTakenAndSaysWhetherAllWas) {
    struct Case {
        std::string csv;
        std::vector<std::string> options;
        int code;
        std::string names; // which of A to D the list holds afterwards
    };
    const std::vector<Case> cases = {
        {"Name,SID\r\nC,8\r\n", {}, 0, "A B C -"},
        {"Name,Place\r\nC,0\r\nD,3\r\n", {}, 1, "A B - D"},
        {"Name\r\nC\r\n", {"--replace"}, 0, "- - C -"},
        {"C,8\r\n", {}, 2, "A B - -"},
    };
    for (const Case& c : cases) {
        test::WriteBytes(m_list, kCsvList);
        test::WriteBytes(m_csv, c.csv);
        const test::CliRun run = List("import", m_csv, c.options);
        EXPECT_EQ(run.code, c.code) << c.csv << run.err;
        const std::string text = test::ReadBytes(m_list);
        std::string names;
        for (const std::string name : {"\tA\t", "\tB\t", "\tC\t", "\tD\t"})
            names += text.find(name) == std::string::npos ? "- " : name.substr(1, 1) + " ";
        EXPECT_EQ(names, c.names + " ") << c.csv;
        EXPECT_THAT(text, StartsWith("HEADER:\tTV\tMine\r\n")) << c.csv;
    }
    EXPECT_EQ(List("import", m_dir.File("missing.csv")).code, 2);
}

} // namespace
} // namespace fw::cli

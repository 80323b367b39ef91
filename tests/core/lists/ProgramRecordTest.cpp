#include "core/lists/ProgramRecord.h"
#include "core/lists/ProgramPool.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

constexpr int kName = ColumnOfField(kFieldName);

struct CellCase {
    int column;
    std::string input;
    int result;
    std::string after;
    int messageId;
    std::string limit; // what the message names, if anything: a limit, a character
};

TEST(ValidateCellTest, AcceptsTrimsOrRejectsWithTheRightMessage) {
    const std::vector<CellCase> cases = {
        {kAdrColumn, " 17 ", 1, "17", 0, ""},
        {1, " $ ", 1, "$", 0, ""},
        {1, "", 1, "", 0, ""},
        {1, "$$", 0, "$$", str::kCellOnlyDollar, ""},
        {1, "$x", 0, "$x", str::kCellOnlyDollar, "'x'"},
        {kName, "  spaced name  ", 1, "  spaced name  ", 0, ""},
        {kName, std::string(24, 'n'), 1, std::string(24, 'n'), 0, ""},
        {kName, std::string(25, 'n'), 0, std::string(25, 'n'), str::kCellMaxCharacters, "24"},
        {kName, "a\tb", 0, "a\tb", str::kCellNoLineBreaks, ""}, // would split the file's line
        {kName, "a\rb", 0, "a\rb", str::kCellNoLineBreaks, ""},
        {kName, "ab\n", 0, "ab\n", str::kCellNoLineBreaks, ""},
        {3, " 12345 ", 1, "12345", 0, ""},
        {3, "123456", 0, "123456", str::kCellMaxDigits, "5"},
        {3, "12a", 0, "12a", str::kCellOnlyDigits, "'a' is not allowed here. At most 5 digits."},
        {3, "-1", 0, "-1", str::kCellOnlyDigits, "'-'"},
        {3,
         "1\xE4"
         "2",
         0,
         "1\xE4"
         "2",
         str::kCellOnlyDigits, "'\xC3\xA4'"}, // shown in UTF-8
        {4, "h", 2, "H", 0, ""},
        {4, "", 2, "", 0, ""},
        {4, "x", 0, "X", str::kCellOnlyHOrV, "'X'"},
        {6, "3\\4", 1, "3\\4", 0, ""},
        {6, "", 1, "", 0, ""},
        {6, "4\\5", 0, "4\\5", str::kCellFecValues, ""}, // the line check takes it, the grid not
        {6, "2/3", 1, "2\\3", 0, ""}, // typed as keyboards show it, stored as the file has it
        {6, "3:4", 0, "3:4", str::kCellFecValues, "':'"},
        {6, "4/5", 0, "4\\5", str::kCellFecValues, ""},
        {7, "99999", 1, "99999", 0, ""},
        {8, "12345", 0, "12345", str::kCellMaxDigits, "4"},
        {9, "1.5", 0, "1.5", str::kCellOnlyDigits, "'.' is not allowed here. At most 4 digits."},
        {10, "", 1, "", 0, ""},
        {11, "12", 0, "12", str::kCellMaxDigits, "1"},
    };
    for (const CellCase& c : cases) {
        std::string text = c.input;
        const CellCheck check = ValidateCell(c.column, text);
        SCOPED_TRACE("column " + std::to_string(c.column) + " '" + c.input + "'");
        EXPECT_EQ(static_cast<int>(check.status), c.result);
        EXPECT_EQ(text, c.after);
        EXPECT_EQ(check.messageId, c.messageId);
        EXPECT_EQ(check.message.empty(), c.messageId == 0);
        if (!c.limit.empty()) {
            EXPECT_NE(check.message.find(c.limit), std::string::npos) << check.message;
        }
        EXPECT_EQ(check.message.find('%'), std::string::npos)
            << "placeholder left in " << check.message;
    }
}

TEST(ValidateCellTest, UnstorableTextNamesItsFirstForeignCharacter) {
    const std::string base = LoadResString(str::kTextNotStorable);
    const auto naming = [&](const char* character) {
        return base + "\n" + FormatText(LoadResString(str::kCellOffendingCharacter), {character});
    };
    EXPECT_EQ(UnstorableTextMessage("K\xC3\xB6ln \xE6\x97\xA5\xE2\x82\xAC"),
              naming("\xE6\x97\xA5"));
    EXPECT_EQ(UnstorableTextMessage("\xF0\x9F\x93\xBA TV"), naming("\xF0\x9F\x93\xBA"));
    EXPECT_EQ(UnstorableTextMessage("K\xC3\xB6ln"), base) << "nothing foreign to name";
}

TEST(SanitizeProgramLineTest, KeepsValidLinesAndEmptiesFailingFields) {
    const std::string valid = "$\tDas Erste\t11836\th\t27500\t3\\4\t28106\t101\t102\t101\t1";
    struct Case {
        std::string line;
        int result;
        std::string after;
    } cases[] = {
        {valid, 1, valid},
        {valid + "\t", 1, valid + "\t"},
        {valid + "\textra\tfields", 1, valid + "\textra\tfields"},
        {"\tName\t11836\tV\t27500\t4\\5\t\t\t\t\t", 1, "\tName\t11836\tV\t27500\t4\\5\t\t\t\t\t"},
        {"\tName\t 11836 \tV\t27500\t8\\9\t\t\t\t\t1  ", 1,
         "\tName\t 11836 \tV\t27500\t8\\9\t\t\t\t\t1  "},
        {"", 0, std::string(11, '\t')},
        {std::string(10, '\t'), 0, std::string(11, '\t')},
        {"\tName\t11836\tH\t27500\t\t1\t2\t3\t4\t1", 0,
         "\tName\t11836\tH\t27500\t\t1\t2\t3\t4\t1\t"},
        {"x\t" + std::string(25, 'n') + "\t123456\tHV\t1a\t9\\9\t123456\t12345\t1\t2\t12", 0,
         "\t\t\t\t\t\t\t\t1\t2\t\t"},
        {"$\tShort", 0, "$\tShort\t\t\t\t\t\t\t\t\t\t"},
        // The last field of a short line is kept as it was checked: trimmed.
        {"\tName\t11836\tV\t27500\t4\\5\t28001\r", 1, "\tName\t11836\tV\t27500\t4\\5\t28001"},
        {"\tName\t11836\tV\t27500\t 4\\5 ", 1, "\tName\t11836\tV\t27500\t4\\5"},
    };
    for (const Case& c : cases) {
        std::string line = c.line;
        EXPECT_EQ(SanitizeProgramLine(line), c.result) << c.line;
        EXPECT_EQ(line, c.after) << c.line;
    }
}

TEST(CompletenessTest, RequiresTheFieldsTheReceiverNeeds) {
    auto row = [](std::string sid, std::string vpid, std::string apid, std::string pcr) {
        return ProgramRow{"", "N", "11836", "H", "27500", "3\\4", sid, vpid, apid, pcr, "1"};
    };
    ProgramRow noFrequency = row("1", "2", "3", "4");
    noFrequency[kFieldFrequency].clear();
    ProgramRow nameOnly{};
    nameOnly[kFieldName] = "Name";
    struct Case {
        const char* what;
        ProgramRow row;
        int type;
        bool force;
        bool incomplete;
    } cases[] = {
        {"tv with sid, no video pid", row("1", "", "3", "4"), kListTv, false, false},
        {"tv without sid, all pids", row("", "2", "3", "4"), kListTv, false, false},
        {"tv without sid and pcr", row("", "2", "3", ""), kListTv, false, true},
        {"radio with sid, no audio pid", row("1", "", "", ""), kListRadio, false, false},
        {"radio without sid, with audio pid", row("", "", "3", ""), kListRadio, false, false},
        {"radio without sid and audio pid", row("", "2", "", "4"), kListRadio, false, true},
        {"unknown type counts as radio", row("", "2", "", "4"), kListUnknown, false, true},
        {"no frequency", noFrequency, kListTv, false, true},
        {"only a name", nameOnly, kListTv, false, true},
        {"empty row", ProgramRow{}, kListTv, false, false},
        {"empty row, forced", ProgramRow{}, kListRadio, true, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsProgramIncomplete(c.row, c.type, c.force), c.incomplete) << c.what;
}

TEST(CompletenessTest, FindsTheFirstIncompleteRowOfThePool) {
    ProgramPool pool;
    EXPECT_EQ(FindIncompleteRow(pool, kListTv), -1);
    pool.SetRowFromLine(3, "\tComplete\t11836\tH\t27500\t3\\4\t1\t\t\t\t1");
    pool.SetCell(7, kFieldName, "only a name");
    pool.SetCell(9, kFieldName, "another");
    EXPECT_EQ(FindIncompleteRow(pool, kListTv), 7);
    EXPECT_EQ(IsRowIncomplete(pool, 3, kListTv, true), -1);
    EXPECT_EQ(IsRowIncomplete(pool, 0, kListTv, true), 0);
    EXPECT_EQ(IsRowIncomplete(pool, kPoolRows, kListTv, true), -1);
}

} // namespace
} // namespace fw

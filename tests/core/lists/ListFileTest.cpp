#include "core/lists/ListFile.h"

#include "core/lists/FavoritenDat.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace fw {
namespace {

using test::kBankLabels;
const std::string& kTitles = test::kListTitles;
const std::string kProgram = "$" + test::ProgramLine("Das Erste");

class ListFileTest : public ::testing::Test {
protected:
    ListWriteResult Write(std::string_view name, int type, std::string_view description = "") {
        return WriteListFile(m_dir.Path().string(), name, "", description, type, m_pool, m_banks,
                             m_ui);
    }
    ListReadResult Read(const std::string& path) {
        return ReadListFile(path, m_readPool, m_readBanks, m_ui);
    }
    void ExpectSameBanks(const CFavoritenDat& a, const CFavoritenDat& b) {
        for (int bank = 0; bank < kBankCount; ++bank) {
            ASSERT_EQ(a.GetCount(bank), b.GetCount(bank)) << "bank " << bank;
            for (int i = 0; i < a.GetCount(bank); ++i)
                EXPECT_EQ(a.GetAddress(bank, i), b.GetAddress(bank, i));
        }
    }

    test::TempDir m_dir;
    test::ScriptedInteraction m_ui;
    ProgramPool m_pool, m_readPool;
    CFavoritenDat m_banks, m_readBanks;
};

TEST_F(ListFileTest, FileNamesAreCompletedCaseInsensitively) {
    const std::pair<std::string, std::string> cases[] = {{"tv.LST", "tv.LST"},
                                                         {"tv", "tv.lst"},
                                                         {"tv.txt", "tv.txt.lst"},
                                                         {"", ".lst"},
                                                         {"a.lSt", "a.lSt"}};
    for (const auto& [typed, completed] : cases)
        EXPECT_EQ(CompleteListFileName(typed), completed);
    for (const char* bad : {"a/b", "..", "a\\b", "tab\there", "x\x7f"})
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
    EXPECT_TRUE(IsPlainFileName("Ärger (2).lst"));
}

TEST_F(ListFileTest, TextModeLines) {
    const std::pair<std::string, std::vector<std::string_view>> cases[] = {
        {"a\r\nb\nc", {"a", "b", "c"}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\r\rb\r\n", {"a\r\rb"}},
        {"", {}},
    };
    for (const auto& [data, lines] : cases)
        EXPECT_EQ(SplitTextModeLines(data), lines) << data;
}

TEST_F(ListFileTest, EmptyPoolWritesHeaderTitlesAndBankLabels) {
    const ListWriteResult result = Write("empty", kListTv);
    ASSERT_EQ(result.status, ListWriteStatus::Written) << result.message;
    EXPECT_EQ(result.fileName, "empty.lst");
    EXPECT_EQ(test::ReadBytes(result.path),
              "HEADER:\tTV\tNDEF\r\n" + kTitles + "\r\n" + kBankLabels + "\r\n");
}

TEST_F(ListFileTest, WrittenListReadsBackAndRewritesByteIdentical) {
    m_pool.SetRowFromLine(0, kProgram);
    m_pool.SetRowFromLine(3, "\tZDF\t11954\tH\t27500\t3\\4\t28006\t110\t120\t110\t1");
    m_pool.SetCell(5, kFieldName, "only a name");
    m_banks.Insert(0, {3}, -1);
    m_banks.Insert(0, {0}, -1);
    m_banks.Insert(4, {5}, -1);
    m_ui.answers = {Answer::Yes}; // row 5 is incomplete
    const ListWriteResult first = Write("roundtrip", kListRadio, "  My list  ");
    ASSERT_EQ(first.status, ListWriteStatus::Written) << first.message;
    const std::string bytes = test::ReadBytes(first.path);
    EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")), "HEADER:\tRA\tMy list");
    EXPECT_NE(bytes.find("\r\n" + std::string(10, '\t') + "\r\n"), std::string::npos)
        << "empty rows between programs are kept as ten TABs";

    const ListReadResult read = Read(first.path);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.programLines, 6);
    for (int row = 0; row < kPoolRows; ++row)
        ASSERT_EQ(m_readPool.Row(row), m_pool.Row(row)) << "row " << row;
    ExpectSameBanks(m_readBanks, m_banks);

    m_ui.answers = {Answer::Yes};
    const ListWriteResult second =
        WriteListFile(m_dir.Path().string(), "roundtrip.lst", "roundtrip.lst", "My list",
                      kListRadio, m_readPool, m_readBanks, m_ui);
    ASSERT_EQ(second.status, ListWriteStatus::Written);
    EXPECT_EQ(test::ReadBytes(second.path), bytes);
}

TEST_F(ListFileTest, EveryByteButTheSeparatorsSurvivesInNames) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        if (byte != '\t' && byte != '\r' && byte != '\n')
            all += static_cast<char>(byte);
    for (std::size_t row = 0; row * kMaxNameLength < all.size(); ++row)
        m_pool.SetCell(static_cast<int>(row), kFieldName,
                       all.substr(row * kMaxNameLength, kMaxNameLength));
    m_ui.answers = {Answer::Yes};
    const ListWriteResult written = Write("bytes", kListTv);
    ASSERT_EQ(written.status, ListWriteStatus::Written);
    ASSERT_TRUE(Read(written.path).ok);
    std::string back;
    for (int row = 0; row * kMaxNameLength < all.size(); ++row)
        back += m_readPool.Cell(row, kFieldName);
    EXPECT_EQ(back, all);
}

TEST_F(ListFileTest, DescriptionStaysOnTheHeaderLine) {
    const std::pair<std::string, std::string> cases[] = {{"two\tparts", "two parts"},
                                                         {"line\r\nbreak", "line  break"},
                                                         {"   ", "NDEF"},
                                                         {"", "NDEF"}};
    int n = 0;
    for (const auto& [typed, stored] : cases) {
        const ListWriteResult result = Write("d" + std::to_string(n++), kListTv, typed);
        ASSERT_EQ(result.status, ListWriteStatus::Written);
        const std::string bytes = test::ReadBytes(result.path);
        EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")), "HEADER:\tTV\t" + stored);
    }
}

TEST_F(ListFileTest, QuestionsBeforeSavingCanStopIt) {
    m_pool.SetCell(7, kFieldName, "incomplete");

    m_ui.radioOrTvAnswers = {ListTypeChoice::Cancelled};
    EXPECT_EQ(Write("t", kListUnknown).status, ListWriteStatus::TypeCancelled);

    m_ui.radioOrTvAnswers = {ListTypeChoice::Tv};
    m_ui.answers = {Answer::No};
    const ListWriteResult declined = Write("t", kListUnknown);
    EXPECT_EQ(declined.status, ListWriteStatus::IncompleteRow);
    EXPECT_EQ(declined.incompleteRow, 7);
    EXPECT_EQ(m_ui.shown.back(), LoadResString(str::kIncompleteProgram));
    EXPECT_EQ(test::EntryCount(m_dir.Path()), 0u) << "nothing is written";

    m_ui.radioOrTvAnswers = {ListTypeChoice::Radio};
    m_ui.answers = {Answer::Yes};
    const ListWriteResult chosen = Write("t", kListUnknown);
    ASSERT_EQ(chosen.status, ListWriteStatus::Written);
    EXPECT_EQ(chosen.listType, kListRadio);
    EXPECT_TRUE(test::ReadBytes(chosen.path).starts_with("HEADER:\tRA\t"));

    const ListWriteResult badName = Write("../escape", kListTv);
    EXPECT_EQ(badName.status, ListWriteStatus::InvalidName);
    EXPECT_NE(badName.message.find("../escape.lst"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path().parent_path() / "escape.lst"));
}

TEST_F(ListFileTest, SavingUnderTheNameOfAnotherListAsksFirst) {
    const std::string other = m_dir.File("other.lst");
    test::WriteBytes(other, "precious");
    m_ui.answers = {Answer::No};
    EXPECT_EQ(Write("other", kListTv).status, ListWriteStatus::ReplaceDeclined);
    EXPECT_EQ(test::ReadBytes(other), "precious");

    // The list's own file is replaced without a question.
    const ListWriteResult own = WriteListFile(m_dir.Path().string(), "other.lst", "other.lst", "",
                                              kListTv, m_pool, m_banks, m_ui);
    EXPECT_EQ(own.status, ListWriteStatus::Written);
    EXPECT_EQ(m_ui.shown.size(), 1u);
}

TEST_F(ListFileTest, FailedWriteKeepsTheOldFileAndNamesTheReason) {
    const std::string path = m_dir.File("keep.lst");
    const std::string old = "HEADER:\tTV\told\r\n" + kTitles + "\r\n" + kProgram + "\r\n";
    test::WriteBytes(path, old);
    for (int row = 0; row < 200; ++row)
        m_pool.SetRowFromLine(row, kProgram);
    ListWriteResult result;
    {
        test::FileSizeLimit limit(1024);
        result = WriteListFile(m_dir.Path().string(), "keep.lst", "keep.lst", "", kListTv, m_pool,
                               m_banks, m_ui);
    }
    EXPECT_EQ(result.status, ListWriteStatus::WriteFailed);
    EXPECT_NE(result.message.find("too large"), std::string::npos) << result.message;
    EXPECT_EQ(test::ReadBytes(path), old);
    EXPECT_EQ(test::EntryCount(m_dir.Path()), 1u);

    const ListWriteResult missing =
        WriteListFile(m_dir.File("gone"), "a", "", "", kListTv, m_pool, m_banks, m_ui);
    EXPECT_EQ(missing.status, ListWriteStatus::WriteFailed);
    EXPECT_NE(missing.message.find("No such file"), std::string::npos) << missing.message;
}

TEST_F(ListFileTest, ReadingTakesAtMostThePoolAndRepairsBadFields) {
    std::string text = "HEADER:\tTV\tbig\n" + kTitles + "\n";
    for (int line = 0; line < kPoolRows + 5; ++line)
        text += (line == 1 ? "x\tBad CA\t11836\tH\t27500\t\t1\t2\t3\t4\t1" : kProgram) + "\r\n";
    text += kBankLabels + "\r\n3\t\t7\r\n";
    const std::string path = m_dir.File("big.lst");
    test::WriteBytes(path, text);

    const ListReadResult read = Read(path);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.programLines, kPoolRows);
    EXPECT_EQ(read.droppedLines, 5);
    EXPECT_EQ(read.repairedLines, 1);
    EXPECT_EQ(m_readPool.LineOfRow(kPoolRows - 1), kProgram);
    EXPECT_EQ(m_readPool.Cell(1, kFieldCa), "");
    EXPECT_EQ(m_readPool.Cell(1, kFieldName), "Bad CA");
    EXPECT_EQ(m_readBanks.GetAddress(0, 0), 3);
    EXPECT_EQ(m_readBanks.GetAddress(2, 0), 7);
}

TEST_F(ListFileTest, EmptyLinesPastTheLastPlaceAreNoData) {
    struct Case {
        std::string after; // behind a full pool
        int dropped;
        int extra;
    };
    const std::vector<Case> cases = {
        {"", 0, 0},
        {"\r\n", 0, 1},
        {"\r\n\r\n\t\t\t\t\t\t\t\t\t\t\r\n \r\n", 0, 4},
        {"\r\n" + kProgram + "\r\n\r\n", 1, 2},
        {"\r\n" + kBankLabels + "\r\n3\r\n", 0, 1},
    };
    std::string full = "HEADER:\tTV\tfull\r\n" + kTitles + "\r\n";
    for (int row = 0; row < kPoolRows; ++row)
        full += kProgram + "\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after);
        const ListReadResult read = ParseListText(full + c.after, m_readPool, m_readBanks);
        EXPECT_EQ(read.programLines, kPoolRows);
        EXPECT_EQ(read.droppedLines, c.dropped);
        EXPECT_EQ(read.extraLines, c.extra);
    }
    EXPECT_EQ(m_readBanks.GetAddress(0, 0), 3);
}

TEST_F(ListFileTest, ASaveNoticesAFileThatChangedSinceItWasOpened) {
    const std::string path = m_dir.File("mine.lst");
    test::WriteBytes(path, "as opened");
    const std::optional<FileStamp> opened = StampOfFile(path);
    ASSERT_TRUE(opened);
    test::WriteBytes(m_dir.File("mine-2.lst"), "taken");
    struct Case {
        std::string onDisk; // "" : the file is gone
        std::optional<Answer> answer;
        ListWriteStatus status;
        std::string fileName;
    };
    const std::vector<Case> cases = {
        {"as opened", std::nullopt, ListWriteStatus::Written, "mine.lst"},
        {"", std::nullopt, ListWriteStatus::Written, "mine.lst"},
        {"as opened, then changed", Answer::Cancel, ListWriteStatus::ChangedOnDisk, "mine.lst"},
        {"as opened, then changed", Answer::No, ListWriteStatus::OtherNameWanted, "mine-3.lst"},
        {"as opened, then changed", Answer::Yes, ListWriteStatus::Written, "mine.lst"},
        // Same size, same time, other bytes: a copy that kept the time.
        {"AS OPENED", Answer::Cancel, ListWriteStatus::ChangedOnDisk, "mine.lst"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.onDisk);
        std::filesystem::remove(path);
        if (!c.onDisk.empty()) {
            test::WriteBytes(path, c.onDisk);
            const timespec times[2] = {{0, UTIME_OMIT},
                                       {opened->modifiedNs / 1000000000,
                                        static_cast<long>(opened->modifiedNs % 1000000000)}};
            ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        }
        m_ui.asked.clear();
        if (c.answer)
            m_ui.answers = {*c.answer};
        const ListWriteResult result = WriteListFile(m_dir.Path().string(), "mine.lst", "mine.lst",
                                                     "", kListTv, m_pool, m_banks, m_ui, &*opened);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.fileName, c.fileName);
        ASSERT_EQ(m_ui.asked.size(), c.answer ? 1u : 0u);
        if (c.answer) {
            EXPECT_EQ(m_ui.asked[0].text,
                      path + " has been changed by another program since it was opened here.\n"
                             "Overwrite it with this list, save this list under another name, or "
                             "go back to the editor?");
            EXPECT_EQ(m_ui.asked[0].defaultAnswer, Answer::Cancel);
            EXPECT_EQ(m_ui.asked[0].noText, "Save under another name");
            EXPECT_EQ(test::ReadBytes(path), c.status == ListWriteStatus::Written
                                                 ? BuildListFileText(kListTv, "", m_pool, m_banks)
                                                 : c.onDisk);
        }
    }
    EXPECT_EQ(test::EntryCount(m_dir.Path()), 2u) << "no lock file is left";
}

TEST_F(ListFileTest, ReadingCountsLinesWithTextPastTheLastField) {
    ProgramPool pool;
    CFavoritenDat banks;
    // The old program's trailing TAB and white space carry nothing; any other text is lost.
    const std::string text = "HEADER:\tTV\tx\r\n" + kTitles + "\r\n" + kProgram + "\t\r\n" +
                             kProgram + "\t \t\r\n" + kProgram + "\t\textra\r\n" + kProgram +
                             "\r\n";
    const ListReadResult read = ParseListText(text, pool, banks);
    EXPECT_EQ(read.longLines, 1);
    EXPECT_EQ(pool.LineOfRow(2), kProgram);
}

// A short line's last field is written back as a middle field, which is checked untrimmed:
// stray white space at the line's end (here a CR of a CR CR LF end) must not cost the next
// read that field.
TEST_F(ListFileTest, ShortLinesKeepTheirLastFieldAcrossWriteAndRead) {
    const std::string text = "HEADER:\tTV\tshort\r\n" + kTitles + "\r\n" +
                             "\tZDF\t11953\tH\t27500\t3\\4\t28001\r\r\n" +
                             "\tZDF\t11953\tH\t27500\t 3\\4 \r\n";
    const std::string path = m_dir.File("short.lst");
    test::WriteBytes(path, text);
    ASSERT_TRUE(Read(path).ok);
    EXPECT_EQ(m_readPool.Cell(0, kFieldSid), "28001");
    EXPECT_EQ(m_readPool.Cell(1, kFieldFec), "3\\4");

    m_pool = m_readPool;
    m_ui.answers = {Answer::Yes};
    const ListWriteResult written = Write("again", kListTv, "short");
    ASSERT_EQ(written.status, ListWriteStatus::Written) << written.message;
    ASSERT_TRUE(Read(written.path).ok);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(m_readPool.Row(row), m_pool.Row(row)) << "row " << row;
}

TEST_F(ListFileTest, UnreadableFileIsReportedWithItsPath) {
    m_readPool.SetCell(0, kFieldName, "stale");
    const std::string path = m_dir.File("missing.lst");
    EXPECT_FALSE(Read(path).ok);
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown[0], FormatText(LoadResString(str::kFileNotFound), {path}));
    EXPECT_EQ(m_readPool.LastUsedRow(), -1);
}

} // namespace
} // namespace fw

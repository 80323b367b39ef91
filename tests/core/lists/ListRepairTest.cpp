#include "core/lists/ListCatalogue.h"
#include "core/lists/ListFile.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/support/ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

const std::string& kTitlesEn = test::kListTitles;
const std::string kTitlesDe =
    "CA\tProgrammname\tFrequenz in MHz\tPolarisation\tSymbolrate\tFEC\tSID"
    "\tV-PID\tA-PID\tPCR\tSatelit";
// Programs without CA: their lines begin with a TAB.
const std::string kP1 = test::ProgramLine("Das Erste");
const std::string kP2 = "$\tSky\t12031\tH\t27500\t3\\4\t10\t255\t256\t255\t1";
const std::string kNoFec = "\tNo FEC\t11836\tH\t27500\t\t1\t2\t3\t4\t1";
const std::string kE = "\r\n";
const std::string kBom = "\xEF\xBB\xBF";

struct RepairCase {
    const char* what;
    std::string input;
    std::string type;
    std::string description; // as the catalogue shows it
    std::string output;      // "" when the file must stay as it was
};

TEST(NormalizeListFileTest, RepairsEveryKindOfHeader) {
    const std::string bank = test::kBankLabels + kE;
    const std::string programs = kP1 + kE + kP2 + kE + bank;
    const std::string synthetic = "HEADER:\tNDEF\tNDEF" + kE + kTitlesEn + kE;
    const std::string head = "HEADER:\tTV\tMine" + kE + kTitlesEn + kE;
    const RepairCase cases[] = {
        {"proper file", "HEADER:\tTV\tMine" + kE + kTitlesEn + kE + programs, "TV", "Mine", ""},
        {"lower-case type", "HEADER:\ttv\tx" + kE + kTitlesEn + kE + programs, "NDEF", "x",
         "HEADER:\tNDEF\tx" + kE + kTitlesEn + kE + programs},
        {"no description", "HEADER:\tTV" + kE + kTitlesEn + kE + programs, "TV", "Not defined",
         "HEADER:\tTV\tNDEF" + kE + kTitlesEn + kE + programs},
        {"bare mark", "HEADER:" + kE + kTitlesEn + kE, "NDEF", "Not defined", synthetic},
        {"header only", "HEADER:\tRA\tRadio" + kE, "RA", "Radio",
         "HEADER:\tRA\tRadio" + kE + kTitlesEn + kE},
        {"header, no titles", "HEADER:\tRA\tR" + kE + programs, "RA", "R",
         "HEADER:\tRA\tR" + kE + kTitlesEn + kE + programs},
        {"german titles", "HEADER:\tTV\tMine" + kE + kTitlesDe + kE + programs, "TV", "Mine",
         "HEADER:\tTV\tMine" + kE + kTitlesEn + kE + programs},
        {"programs only", programs, "NDEF", "NDEF", synthetic + programs},
        {"foreign titles", "Name\tFreq" + kE + programs, "NDEF", "NDEF", synthetic + programs},
        {"two foreign lines", "Export" + kE + "Name\tFreq" + kE + programs, "NDEF", "NDEF",
         synthetic + programs},
        {"first program lacks FEC", kNoFec + kE + programs, "NDEF", "NDEF", synthetic + programs},
        {"last line without CR LF", "HEADER:\tTV\tx" + kE + kP1, "TV", "x",
         "HEADER:\tTV\tx" + kE + kTitlesEn + kE + kP1},
        // Lines end at LF, as the reader ends them, so the header never swallows programs.
        {"lone LFs", "HEADER:\tTV\tMine\n" + kTitlesEn + "\n" + kP1 + "\n" + programs, "TV", "Mine",
         ""},
        {"lone LF after the header", "HEADER:\tRA\tR\n" + programs, "RA", "R",
         "HEADER:\tRA\tR" + kE + kTitlesEn + kE + programs},
        // Program lines the wire cannot carry: a CR before the line end goes, others become blanks.
        {"CR CR LF", head + kP1 + "\r" + kE + kP2 + "\n" + bank, "TV", "Mine",
         head + kP1 + kE + kP2 + "\n" + bank},
        {"CR inside", head + "\tA\rB" + kE + kP2 + "\r\r", "TV", "Mine", head + "\tA B" + kE + kP2},
        {"bank entries outside the places", head + kP1 + kE + bank + "3\t4000\r\n-1\t5\r\n", "TV",
         "Mine", head + kP1 + kE + bank + "3\t5\t\t\t\t\t\t\t\t\r\n"},
        {"bank entries inside", head + kP1 + kE + bank + "3\tabc\r\n", "TV", "Mine", ""},
        // A UTF-8 byte-order mark before the header is no part of it; the repair drops it.
        {"byte-order mark", kBom + head + programs, "TV", "Mine", head + programs},
        {"byte-order mark, no titles", kBom + "HEADER:\tRA\tR" + kE + programs, "RA", "R",
         "HEADER:\tRA\tR" + kE + kTitlesEn + kE + programs},
        {"byte-order mark before programs", kBom + programs, "NDEF", "NDEF", synthetic + programs},
    };
    for (const RepairCase& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const std::string path = dir.File("list.lst");
        test::WriteBytes(path, c.input);
        const NormalizeResult result = NormalizeListFile(path);
        ASSERT_EQ(result.status, NormalizeStatus::Registered);
        const std::string expected = c.output.empty() ? c.input : c.output;
        EXPECT_EQ(test::ReadBytes(path), expected);
        EXPECT_EQ(result.changed, !c.output.empty());
        EXPECT_EQ(result.record.m_strType, c.type);
        EXPECT_EQ(result.record.m_strName, c.description);
        EXPECT_EQ(result.record.m_strPath, path);
        EXPECT_EQ(result.record.m_strFileName, "list.lst");
        EXPECT_EQ(result.record.m_nSize, static_cast<int>(expected.size()));
        EXPECT_EQ(test::EntryCount(dir.Path()), 1u);
    }
}

TEST(NormalizeListFileTest, RefusesWhatIsNoList) {
    test::TempDir dir;
    const std::pair<std::string, int> cases[] = {{"", 0},
                                                 {"HEADER:\tTV\tx\n" + kTitlesEn + "\n", 0}};
    for (const auto& [content, expected] : cases) {
        test::WriteBytes(dir.File("x.lst"), content);
        EXPECT_EQ(static_cast<int>(NormalizeListFile(dir.File("x.lst")).status), expected);
        EXPECT_EQ(test::ReadBytes(dir.File("x.lst")), content);
    }
    const NormalizeResult missing = NormalizeListFile(dir.File("missing.lst"));
    EXPECT_EQ(static_cast<int>(missing.status), -1);
    EXPECT_FALSE(missing.reason.empty());
}

TEST(NormalizeListFileTest, FailedRepairKeepsTheOriginal) {
    test::TempDir dir;
    const std::string path = dir.File("big.lst");
    std::string original = "Foreign title line" + kE;
    for (int i = 0; i < 100; ++i)
        original += kP1 + kE;
    test::WriteBytes(path, original);
    NormalizeResult result;
    {
        test::FileSizeLimit limit(1024);
        result = NormalizeListFile(path);
    }
    EXPECT_EQ(result.status, NormalizeStatus::Unreadable);
    EXPECT_NE(result.reason.find("too large"), std::string::npos) << result.reason;
    EXPECT_EQ(test::ReadBytes(path), original);
    EXPECT_EQ(test::EntryCount(dir.Path()), 1u);
}

TEST(NormalizeListFileTest, TitlesFollowTheLanguage) {
    test::TempDir dir;
    const std::string path = dir.File("de.lst");
    const std::string body = "HEADER:\tTV\tx" + kE;
    test::WriteBytes(path, body + kTitlesDe + kE + kP1 + kE);
    const Language before = CurrentLanguage();
    SetLanguage(Language::German);
    const NormalizeResult german = NormalizeListFile(path);
    SetLanguage(before);
    EXPECT_FALSE(german.changed);
    EXPECT_TRUE(NormalizeListFile(path).changed);
    EXPECT_EQ(test::ReadBytes(path), body + kTitlesEn + kE + kP1 + kE);
}

TEST(SetListFileTypeTest, RewritesOnlyTheHeaderLine) {
    test::TempDir dir;
    const std::string path = dir.File("t.lst");
    const std::string rest = kTitlesEn + kE + kP1 + kE;
    std::string reason;

    test::WriteBytes(path, "HEADER:\tNDEF\tName\tjunk" + kE + rest);
    EXPECT_EQ(SetListFileType(path, "TV", reason), SetTypeResult::Done);
    EXPECT_EQ(test::ReadBytes(path), "HEADER:\tTV\tName" + kE + rest);

    // Lines ended by a lone LF before the first CR LF stay program lines.
    const std::string lfLines = kTitlesEn + "\n" + kP1 + "\n" + kP2 + kE;
    test::WriteBytes(path, "HEADER:\tNDEF\tName\n" + lfLines);
    EXPECT_EQ(SetListFileType(path, "RA", reason), SetTypeResult::Done);
    EXPECT_EQ(test::ReadBytes(path), "HEADER:\tRA\tName" + kE + lfLines);

    test::WriteBytes(path, kBom + "HEADER:\tNDEF\tName" + kE + rest);
    EXPECT_EQ(SetListFileType(path, "TV", reason), SetTypeResult::Done);
    EXPECT_EQ(test::ReadBytes(path), "HEADER:\tTV\tName" + kE + rest);

    for (const std::string& untouched :
         {std::string("HEADER:\tNDEF\tName"), "HEADER:\tNDEF" + kE + rest, kP1 + kE + kP2 + kE}) {
        test::WriteBytes(path, untouched);
        EXPECT_EQ(SetListFileType(path, "RA", reason), SetTypeResult::Untouched);
        EXPECT_EQ(test::ReadBytes(path), untouched);
    }

    const std::string original = "HEADER:\tNDEF\tName" + kE + std::string(4096, 'x');
    test::WriteBytes(path, original);
    {
        test::FileSizeLimit limit(1024);
        EXPECT_EQ(SetListFileType(path, "RA", reason), SetTypeResult::WriteFailed);
    }
    EXPECT_EQ(test::ReadBytes(path), original);
    EXPECT_EQ(SetListFileType(dir.File("missing.lst"), "RA", reason), SetTypeResult::ReadFailed);
}

TEST(ScanListFolderTest, RegistersRepairsAndAsksAboutTheRest) {
    test::TempDir dir;
    test::WriteBytes(dir.File("b.lst"), "HEADER:\tTV\tB" + kE + kTitlesEn + kE);
    test::WriteBytes(dir.File("A.LST"), kP1 + kE);
    test::WriteBytes(dir.File("empty.lst"), "");
    test::WriteBytes(dir.File("keep.lst"), "no line end");
    test::WriteBytes(dir.File("notes.txt"), kP1 + kE);
    std::filesystem::create_directory(dir.File("folder.lst"));
    std::string big = "Title" + kE;
    for (int i = 0; i < 100; ++i)
        big += kP1 + kE;
    test::WriteBytes(dir.File("big.lst"), big);

    test::ScriptedInteraction ui;
    ui.answers = {Answer::Yes, Answer::No}; // "empty.lst" comes before "keep.lst"
    ListCatalogue catalogue;
    {
        test::FileSizeLimit limit(1024); // the repair of big.lst cannot be written
        catalogue = ScanListFolder(dir.Path().string(), ui);
    }
    EXPECT_TRUE(catalogue.anyFile);
    // big.lst needs a repair that cannot be written: listed as repaired, the disk unchanged.
    ASSERT_EQ(catalogue.records.size(), 3u);
    EXPECT_EQ(catalogue.records[0].m_strFileName, "A.LST");
    EXPECT_FALSE(catalogue.records[0].m_unrepairedOnDisk);
    EXPECT_EQ(catalogue.records[1].m_strFileName, "b.lst");
    EXPECT_EQ(catalogue.records[1].m_strName, "B");
    EXPECT_EQ(catalogue.records[2].m_strFileName, "big.lst");
    EXPECT_TRUE(catalogue.records[2].m_unrepairedOnDisk);

    ASSERT_EQ(ui.shown.size(), 3u);
    const std::string reason = ui.shown[0].substr(ui.shown[0].find('\n') + 1);
    EXPECT_EQ(ui.shown[0], FormatText(LoadResString(str::kListShownUnrepaired),
                                      {dir.File("big.lst"), reason.substr(0, reason.find('\n'))}));
    EXPECT_NE(reason.find("too large"), std::string::npos);
    EXPECT_EQ(ui.shown[1],
              FormatText(LoadResString(str::kWrongFormatDeleteFile), {dir.File("empty.lst")}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("empty.lst")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("keep.lst")));
    EXPECT_EQ(test::ReadBytes(dir.File("big.lst")), big);

    // Said once per file and run; a link is never written through.
    std::filesystem::create_symlink(dir.File("big.lst"), dir.File("link.lst"));
    ui.shown.clear();
    ui.answers = {Answer::No};
    {
        test::FileSizeLimit limit(1024);
        catalogue = ScanListFolder(dir.Path().string(), ui);
    }
    ASSERT_EQ(catalogue.records.size(), 4u);
    EXPECT_TRUE(catalogue.records[3].m_unrepairedOnDisk);
    ASSERT_EQ(ui.shown.size(), 2u); // keep.lst's question, then the link once
    EXPECT_NE(ui.shown[1].find(LoadResString(str::kListIsSymlink)), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.lst")));
    EXPECT_EQ(test::ReadBytes(dir.File("big.lst")), big);

    EXPECT_FALSE(ScanListFolder(dir.File("none"), ui).anyFile);
}

} // namespace
} // namespace fw

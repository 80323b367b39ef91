#include "core/editor/CsvList.h"
#include "core/editor/EditHistory.h"
#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/util/Cp1252.h"
#include "tests/core/editor/TestDocument.h"

#include <gtest/gtest.h>

#include <utility>

namespace fw {
namespace {

using namespace test;

std::string CsvStateOf(const ListDocument& doc) {
    return ListState(doc.pool, doc.banks);
}

TEST(CsvListTest, ExportQuotesAndNamesTheBankPositions) {
    ListDocument doc = Document(0);
    doc.pool.SetRowFromLine(0, ProgramLine("A, \"quoted\""));
    doc.pool.SetRowFromLine(7, "$\t\xC4rger;1\t\t\t\t4\\5");
    doc.banks.Insert(0, {7}, -1);
    doc.banks.Insert(0, {0}, -1);
    doc.banks.Insert(3, {7}, -1);
    EXPECT_EQ(BuildCsvText(doc.pool, doc.banks, {}),
              "Place,CA,Name,Frequency,Polarisation,Symbol rate,FEC,SID,V-PID,A-PID,PCR,"
              "Satellite,Banks\r\n"
              "0,,\"A, \"\"quoted\"\"\",11836,H,27500,3\\4,28106,101,102,101,1,F0:2\r\n"
              "7,$,\xC3\x84rger;1,,,,4\\5,,,,,,F0:1 F3:1\r\n");
    const std::string german = "\xEF\xBB\xBFPlatz;CA;Name;Frequenz;Polarisation;Symbolrate;FEC;SID;"
                               "V-PID;A-PID;PCR;Satellit;Banken\r\n0;;\"A, \"\"quoted\"\"\";";
    EXPECT_EQ(
        BuildCsvText(doc.pool, doc.banks, {';', true, Language::German}).substr(0, german.size()),
        german);
}

struct ImportCase {
    const char* what;
    std::string csv;
    bool replace;
    std::string state;                         // afterwards; the list starts as "0=P0 | b0=0"
    std::vector<std::pair<int, int>> problems; // line and CSV column (-1: the row)
    std::vector<std::string> reasons = {};     // parts of the reasons, in order
};

TEST(CsvListTest, ImportTakesWhatPassesAndReportsTheRest) {
    const std::vector<ImportCase> cases = {
        {"quoted separators, quotes and empty lines",
         "Name,Place\r\n\r\n\"A, \"\"x\"\"\",3\r\n,\r\n\"B\"\n",
         false,
         "0=P0 1=B 3=A, \"x\" | b0=0",
         {}},
        {"German header, semicolons, any order, unknown column, Windows-1252",
         "Bemerkung;Banken;Name;Platz\r\nfoo;F0;\xC4rger;2\r\n",
         false,
         "0=P0 2=\xC4rger | b0=0,2",
         {}},
        {"UTF-8 with byte order mark",
         "\xEF\xBB\xBFname;SID\r\n\xC3\x84rger;7\r\n",
         false,
         "0=P0 1=\xC4rger | b0=0",
         {}},
        {"rows with a place first, the others to the lowest free places",
         "Name,Place\r\nA\r\nB,1\r\nC\r\n",
         false,
         "0=P0 1=B 2=A 3=C | b0=0",
         {}},
        {"replace keeps nothing of the old list", "Name,Banks\r\nA,F1\r\n", true, "0=A | b1=0", {}},
        {"place out of range, twice, occupied",
         "Name,Place\r\nA,4000\r\nB,x\r\nC,5\r\nD,5\r\nE,0\r\n",
         false,
         "0=P0 5=C | b0=0",
         {{2, 0}, {3, 0}, {5, 0}, {6, 0}},
         {"4000", "\"x\"", "5", "0"}},
        {"failing fields are emptied, the row stays",
         "Name,SID,FEC,Polarisation,CA\r\nA,12a,2/3,h,X\r\nB,1,4/5,V,$\r\n",
         false,
         "0=P0 1=A 2=B | b0=0",
         {{2, 1}, {2, 7}}},
        {"line break in a cell, open quote, character outside Windows-1252",
         "Name,SID\r\n\"A\r\nB\",1\r\n\xE2\x9C\x93,2\r\nC,\"3\r\n",
         false,
         "0=P0 1= | b0=0",
         {{2, 2}, {4, 2}, {5, -1}}},
        {"rows without a program and bad bank tokens",
         "Place,Name,SID,Banks\r\n4,,,F2\r\n,,x,\r\n,A,,G1 F1:0 F1:1001 F10 F2\r\n",
         false,
         "0=P0 1=A | b0=0 b2=1",
         {{2, -1}, {3, 7}, {3, -1}, {4, 12}, {4, 12}, {4, 12}, {4, 12}}},
        {"positioned bank entries in position order, plain ones after",
         "Name,Banks\r\nA,F1:2\r\nB,f1 F1:1\r\nC,\"F1:9, F0\"\r\nD,F1:2\r\n",
         false,
         "0=P0 1=A 2=B 3=C 4=D | b0=0,3 b1=2,1,4,3,2",
         {}},
    };
    for (const ImportCase& c : cases) {
        ListDocument doc = Document(1, {0});
        doc.description = "Mine";
        const CsvTable table = ReadCsvTable(c.csv);
        ASSERT_TRUE(table.ok) << c.what << ": " << table.error;
        CsvImportReport report;
        ImportCsv(doc, table, c.replace, report);
        EXPECT_EQ(CsvStateOf(doc), c.state) << c.what;
        EXPECT_EQ(doc.description, "Mine") << c.what;
        std::vector<std::pair<int, int>> problems;
        for (const CsvProblem& problem : report.problems)
            problems.emplace_back(problem.line, problem.column);
        EXPECT_EQ(problems, c.problems) << c.what;
        EXPECT_EQ(report.refused, static_cast<int>(c.problems.size())) << c.what;
        for (std::size_t i = 0; i < c.reasons.size() && i < report.problems.size(); ++i)
            EXPECT_NE(report.problems[i].reason.find(c.reasons[i]), std::string::npos)
                << c.what << ": " << report.problems[i].reason;
    }
}

TEST(CsvListTest, ImportStoresTheFieldsAsTheGridDoes) {
    ListDocument doc;
    const CsvTable table = ReadCsvTable("Name,CA,Polarisation,FEC,Frequency\r\n"
                                        "\" A \", $ ,v, 2/3 , 11836 \r\n");
    CsvImportReport report;
    ImportCsv(doc, table, false, report);
    EXPECT_EQ(doc.pool.LineOfRow(0), "$\t A \t11836\tV\t\t2\\3\t\t\t\t\t");
    EXPECT_TRUE(report.AllTaken());
}

TEST(CsvListTest, FilesWithoutAHeaderAreRefusedWhole) {
    for (const std::string csv : {"", "\r\n\r\n", "1,A,11836\r\n", "Place,Platz\r\n0,1\r\n"}) {
        const CsvTable table = ReadCsvTable(csv);
        EXPECT_FALSE(table.ok) << csv;
        EXPECT_FALSE(table.error.empty()) << csv;
    }
    EXPECT_TRUE(ReadCsvTable("\r\nSID\r\n").ok);
}

TEST(CsvListTest, BanksStopAtTheirCapacityAndTheRowsWithoutPlaceAtTheLastOne) {
    ListDocument doc;
    for (int row = 0; row < kPoolRows - 1; ++row)
        doc.pool.SetRowFromLine(row + 1, ProgramLine("P"));
    for (int entry = 0; entry < kBankCapacity - 1; ++entry)
        doc.banks.Insert(4, {1}, -1);
    const CsvTable table = ReadCsvTable("Name,Banks\r\nA,F4 F5\r\nB,F4\r\n");
    CsvImportReport report;
    ImportCsv(doc, table, false, report);
    EXPECT_EQ(doc.pool.Cell(0, kFieldName), "A");
    EXPECT_EQ(doc.banks.GetCount(4), kBankCapacity);
    EXPECT_EQ(doc.banks.GetAddress(4, kBankCapacity - 1), 0);
    EXPECT_EQ(doc.banks.GetCount(5), 1);
    ASSERT_EQ(report.problems.size(), 1u); // B found no place; A's entry filled bank 4
    EXPECT_EQ(report.problems[0].line, 3);
    EXPECT_EQ(report.taken, 1);

    // With positions the last ones in bank order are refused, each reported.
    ListDocument full;
    std::string csv = "Name,Banks\r\n";
    for (int row = 0; row <= kBankCapacity + 1; ++row)
        csv += "N,F9:" + std::to_string(kBankCapacity - row % kBankCapacity) + "\r\n";
    ImportCsv(full, ReadCsvTable(csv), true, report);
    EXPECT_EQ(full.banks.GetCount(9), kBankCapacity);
    EXPECT_EQ(report.refused, 2);
    EXPECT_EQ(report.problems[0].column, kCsvBanksColumn);
}

TEST(CsvListTest, ImportIsOneUndoStepAndTheReportNamesLineAndColumn) {
    ListDocument doc = Document(2, {1});
    EditHistory history;
    const CsvTable table = ReadCsvTable("Platz;SID;Name\r\n9;1x;A\r\n");
    CsvImportReport report;
    history.Run(doc, [&](ListDocument& d) { return ImportCsv(d, table, true, report); });
    EXPECT_EQ(CsvStateOf(doc), "9=A |");
    EXPECT_EQ(history.UndoName(), str::kStepImportCsv);
    const std::string text = CsvReportText(table, report);
    EXPECT_NE(text.find(FormatText(LoadResString(str::kCsvSummary), {"1", "1"})),
              std::string::npos);
    EXPECT_NE(text.find(FormatText(LoadResString(str::kCsvProblemAt), {"2", "2 (SID)", ""})),
              std::string::npos)
        << text;
    ASSERT_TRUE(history.Undo(doc));
    EXPECT_EQ(CsvStateOf(doc), "0=P0 1=P1 | b0=1");
    EXPECT_FALSE(history.CanUndo());
}

// Every Windows-1252 byte a name can hold (not TAB, CR, LF), in all 4000 places, with banks
// holding the same place twice and one bank full; each way of writing it comes back the same.
TEST(CsvListTest, RoundTripGivesTheSameListFile) {
    ListDocument doc;
    doc.listType = kListRadio;
    doc.description = "Round trip";
    const std::string fec[] = {"", "1\\2", "4\\5", "8\\9"};
    int byte = 1;
    for (int row = 0; row < kPoolRows; ++row) {
        std::string name;
        while (name.size() < kMaxNameLength) {
            if (byte != '\t' && byte != '\r' && byte != '\n')
                name += static_cast<char>(byte);
            byte = byte == 255 ? 1 : byte + 1;
        }
        doc.pool.SetRow(row, {row % 2 ? "$" : "", name, "11836", row % 3 ? "H" : "V", "27500",
                              fec[row % 4], std::to_string(row), "101", "", "1", "1"});
    }
    for (int entry = 0; entry < kBankCapacity; ++entry)
        doc.banks.Insert(9, {(entry * 7) % kPoolRows}, -1);
    for (int address : {5, 3, 5, 3999})
        doc.banks.Insert(2, {address}, -1);
    const std::string original =
        BuildListFileText(doc.listType, doc.description, doc.pool, doc.banks);
    for (const CsvExportOptions& options :
         {CsvExportOptions{}, CsvExportOptions{';', true, Language::German}}) {
        const std::string csv = BuildCsvText(doc.pool, doc.banks, options);
        for (const bool cp1252 : {false, true}) {
            ListDocument back;
            back.listType = doc.listType;
            back.description = doc.description;
            // Windows-1252 text has no byte order mark.
            const CsvTable table =
                ReadCsvTable(cp1252 ? Utf8ToCp1252(csv.substr(options.bom ? 3 : 0)) : csv);
            EXPECT_EQ(table.utf8, !cp1252);
            CsvImportReport report;
            ImportCsv(back, table, false, report);
            EXPECT_TRUE(report.AllTaken()) << CsvReportText(table, report).substr(0, 400);
            EXPECT_EQ(BuildListFileText(back.listType, back.description, back.pool, back.banks),
                      original)
                << options.separator << cp1252;
        }
    }
}

} // namespace
} // namespace fw

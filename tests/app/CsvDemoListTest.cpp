#include "app/DemoFiles.h"
#include "core/editor/CsvList.h"
#include "core/lists/ListFile.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

// The list texts of demo mode: the sample file and the simulated receiver's two lists.
std::vector<std::string> DemoListTexts() {
    std::vector<std::string> texts = {DemoTvListText()};
    const DemoReceiverContent content = MakeDemoReceiverContent();
    for (const bool tv : {true, false}) {
        CFavoritenDat banks;
        for (int bank = 0; bank < kBankCount; ++bank)
            for (const std::uint16_t address :
                 (tv ? content.tvBanks : content.radioBanks)[static_cast<std::size_t>(bank)])
                banks.Insert(bank, {address}, -1);
        texts.push_back(BuildReceivedListText(tv ? "TV" : "RA", "Receiver",
                                              tv ? content.tvList : content.radioList, banks));
    }
    return texts;
}

TEST(CsvDemoListTest, ExportThenImportIntoAnEmptyListGivesTheSameFile) {
    for (const std::string& text : DemoListTexts()) {
        ListDocument doc;
        const auto list = ParseRepairedList(text, doc.pool, doc.banks);
        ASSERT_TRUE(list);
        const int type = ListTypeFromText(list->analysis.type);
        const std::string original =
            BuildListFileText(type, list->analysis.description, doc.pool, doc.banks);
        ASSERT_GT(doc.pool.LastUsedRow(), 10);
        for (const CsvExportOptions& options :
             {CsvExportOptions{}, CsvExportOptions{';', true, Language::German}}) {
            ListDocument back;
            const CsvTable table = ReadCsvTable(BuildCsvText(doc.pool, doc.banks, options));
            CsvImportReport report;
            ImportCsv(back, table, false, report);
            EXPECT_TRUE(report.AllTaken()) << CsvReportText(table, report);
            EXPECT_EQ(BuildListFileText(type, list->analysis.description, back.pool, back.banks),
                      original);
        }
    }
}

} // namespace
} // namespace fw

#include "core/editor/RowsPastEnd.h"
#include "core/editor/PoolCommands.h"
#include "tests/core/editor/TestDocument.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

using namespace test;

// Programs "E3996".."E3999" in the last places but 3998, which is empty; bank 0 holds 3999 twice
// and 3997, bank 1 holds 3996 and 0. Row 0 holds "P0".
ListDocument FullAtTheEnd() {
    ListDocument doc = Document(1, {3999, 3997, 3999});
    for (int row : {3996, 3997, 3999})
        doc.pool.SetRowFromLine(row, ProgramLine("E" + std::to_string(row)));
    doc.banks.Insert(1, CFavEintrag{3996}, -1);
    doc.banks.Insert(1, CFavEintrag{0}, -1);
    return doc;
}

const std::string kProgram = ProgramLine("New") + "\r\n";
const std::string kEmpty = "\t\t\t\t\t\t\t\t\t\t\r\n";

TEST(RowsPastEndTest, CountsTheProgramsAndBankEntriesAnEditWouldLose) {
    struct Case {
        std::string name;
        int target;
        int count;             // rows inserted; 0: the clipboard is pasted
        std::string clipboard; // pasted at target
        bool inserting;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"one empty row", 0, 1, "", true,
         "1 program at the end of the list (place 3999) and 2 favourite entries would be removed."},
        {"two rows, place 3998 is empty", 10, 2, "", true,
         "1 program at the end of the list (place 3999) and 2 favourite entries would be removed."},
        {"three rows", 0, 3, "", true,
         "2 programs at the end of the list (places 3997-3999) and 3 favourite entries would be "
         "removed."},
        {"four rows", 0, 4, "", true,
         "3 programs at the end of the list (places 3996-3999) and 4 favourite entries would be "
         "removed."},
        {"the last row itself", 3999, 5, "", true,
         "1 program at the end of the list (place 3999) and 2 favourite entries would be removed."},
        {"paste inserting", 5, 0, kProgram + kProgram, true,
         "1 program at the end of the list (place 3999) and 2 favourite entries would be removed."},
        {"paste inserting empty lines", 5, 0, kEmpty + kEmpty, true,
         "1 program at the end of the list (place 3999) and 2 favourite entries would be removed."},
        {"paste overwriting fits", 3998, 0, kProgram + kProgram, false, ""},
        {"paste overwriting past the end", 3998, 0, kProgram + kProgram + kProgram + kEmpty, false,
         "Programs that would land past place 3999 would be left out: 1."},
        {"empty lines past the end are silent", 3999, 0, kProgram + kEmpty + "\t\r\n", false, ""},
        {"invalid fields emptied leave a program", 3999, 0, kProgram + "$$\tX\r\n", false,
         "Programs that would land past place 3999 would be left out: 1."},
        {"a line with invalid fields only is empty", 3999, 0, kProgram + "$$\r\n", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ListDocument doc = FullAtTheEnd();
        const RowsPastEnd lost = c.count > 0
                                     ? RowsPastEndOfInsert(doc, c.target, c.count)
                                     : RowsPastEndOfPaste(doc, c.target, c.clipboard, c.inserting);
        EXPECT_EQ(RowsPastEndText(lost), c.text);
    }
    ListDocument empty = Document(3998);
    EXPECT_EQ(RowsPastEndOfInsert(empty, 0, 2).programs, 0) << "empty rows fall off silently";
    EXPECT_EQ(RowsPastEndOfInsert(empty, 0, 3).programs, 1);
}

TEST(RowsPastEndTest, AMoveLosesNothing) {
    ListDocument doc = FullAtTheEnd();
    const std::string text = CutRows(doc, {0, 3996, 3997});
    for (const bool inserting : {true, false})
        for (const int target : {0, 3998, 3999})
            EXPECT_EQ(RowsPastEndOfPaste(doc, target, text, inserting).programs, 0)
                << inserting << ' ' << target;
    EXPECT_EQ(RowsPastEndOfPaste(doc, 3999, text + kProgram, false).programs, 3)
        << "a clipboard without the cut's text is pasted as a copy";
}

TEST(RowsPastEndTest, PastingAnEmptyRowOverAProgramRemovesItsBankEntries) {
    struct Case {
        std::string clipboard;
        std::vector<int> bank0;
    };
    const std::vector<Case> cases = {
        {kEmpty, {3999, 3999}},                              // over 3997
        {"\r\n", {3999, 3999}},                              // an empty line
        {ProgramLine("Other") + "\r\n", {3999, 3997, 3999}}, // a program keeps them
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clipboard);
        ListDocument doc = FullAtTheEnd();
        EXPECT_EQ(PasteOverwriting(doc, 3997, c.clipboard).status, EditStatus::Done);
        EXPECT_EQ(Bank(doc, 0), c.bank0);
    }
}

} // namespace
} // namespace fw

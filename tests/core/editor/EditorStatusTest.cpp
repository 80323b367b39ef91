#include "core/editor/EditorStatus.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tests/core/editor/TestDocument.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(EditorStatusTest, TitleNamesTheFileItsChangesAndACopy) {
    const std::string copy = " " + FormatText(LoadResString(str::kTitleSavesCopy), {"old.lst"});
    struct Case {
        const char* typed;
        const char* opened;
        bool modified;
        std::string title;
    };
    const Case cases[] = {
        {"old.lst", "old.lst", false, "Pool - old.lst"},
        {" old ", "old.lst", true, "Pool - old*"}, // the extension is added when saving
        {"OLD.LST", "old.lst", false, "Pool - OLD.LST" + copy},
        {"new", "old.lst", true, "Pool - new*" + copy},
        {"", "old.lst", false, "Pool - " + LoadResString(str::kNewListName)},
        {"new", "", true, "Pool - new*"}, // a new list has no file to keep
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EditorTitle("Pool", c.typed, c.opened, c.modified), c.title) << c.typed;
        EXPECT_EQ(CopyNote(c.typed, c.opened).empty(), c.title.find(copy) == std::string::npos);
    }
}

TEST(EditorStatusTest, StatusLineCountsProgramsSelectionAndTheShownBank) {
    ListDocument doc = test::Document(20, {0, 5, 10});
    doc.pool.SetRowFromLine(3999, doc.pool.LineOfRow(0));
    const std::string pool = FormatText(LoadResString(str::kStatusPool), {"21", "2"});
    EXPECT_EQ(EditorStatusText(doc, 2, 0),
              pool + " | " + FormatText(LoadResString(str::kStatusBank), {"0", "3"}));
    EXPECT_EQ(EditorStatusText(doc, 2, 1),
              pool + " | " + FormatText(LoadResString(str::kStatusBank), {"1", "0"}));
    EXPECT_EQ(EditorStatusText(doc, 2, -1), pool);
}

} // namespace
} // namespace fw

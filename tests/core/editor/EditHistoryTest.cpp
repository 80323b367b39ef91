#include "core/editor/EditHistory.h"
#include "core/editor/BankCommands.h"
#include "core/editor/PoolCommands.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tests/core/editor/TestDocument.h"

#include <gtest/gtest.h>

#include <functional>

namespace fw {
namespace {

using namespace test;

// Everything an undo must restore, in a form that compares and prints.
struct DocumentState {
    std::vector<std::string> lines;
    std::vector<std::vector<int>> banks;
    std::string description;
    int listType;
    bool operator==(const DocumentState&) const = default;
};

DocumentState StateOf(const ListDocument& doc) {
    DocumentState state{{}, {}, doc.description, doc.listType};
    for (int row = 0; row < kPoolRows; ++row)
        state.lines.push_back(doc.pool.LineOfRow(row));
    for (int bank = 0; bank < kBankCount; ++bank)
        state.banks.push_back(Bank(doc, bank));
    return state;
}

ListDocument Edited() {
    ListDocument doc = Document(20, {0, 5, 10, 19, 5});
    doc.banks.Insert(3, CFavEintrag{7}, -1);
    doc.banks.Insert(3, CFavEintrag{2}, -1);
    doc.pool.SetCell(12, kFieldSid, ""); // incomplete for TV
    doc.pool.SetCell(12, kFieldVideoPid, "");
    return doc;
}

using Command = std::function<EditResult(ListDocument&)>;

struct CommandCase {
    int stepName;
    Command command;
};

// Each command kind, cut-and-paste moves included, and one that stops part-way.
std::vector<CommandCase> EveryCommand() {
    const auto cutThen = [](std::vector<int> rows, bool inserting) {
        return [rows, inserting](ListDocument& d) {
            const std::string text = CutRows(d, rows);
            return inserting ? PasteInserting(d, 15, text) : PasteOverwriting(d, 15, text);
        };
    };
    return {
        {str::kStepEditCell, [](ListDocument& d) { return EditCell(d, 5, 2, "Renamed"); }},
        {str::kStepInsertRows, [](ListDocument& d) { return InsertEmptyRows(d, 3, 2); }},
        {str::kStepClearRows,
         [](ListDocument& d) {
             return ClearRows(d, {5, 7});
         }},
        {str::kStepDeleteRows,
         [](ListDocument& d) {
             return DeleteRows(d, {0, 10});
         }},
        {str::kStepPasteOverwriting,
         [](ListDocument& d) {
             return PasteOverwriting(d, 18, CopyRows(d, {1, 2, 3}));
         }},
        {str::kStepPasteRows,
         [](ListDocument& d) {
             return PasteInserting(d, 1, CopyRows(d, {5, 19}));
         }},
        {str::kStepPasteOverwriting, cutThen({5, 10}, false)},
        {str::kStepMoveRows, cutThen({0, 5, 10}, true)},
        {str::kStepAddToBank,
         [](ListDocument& d) {
             return AddToBank(d, {11, 12, 13}, 3, 1);
         }},
        {str::kStepDeleteBankEntries,
         [](ListDocument& d) {
             return DeleteBankEntries(d, 0, {1, 4});
         }},
        {str::kStepPasteBankEntries,
         [](ListDocument& d) {
             return PasteBankEntries(d, 3, 0, CopyBankEntries(d, 0, {0, 3}));
         }},
        {str::kStepMoveBankEntries,
         [](ListDocument& d) {
             return PasteBankEntries(d, 3, 1, CutBankEntries(d, 0, {1, 2}));
         }},
        {str::kStepDescription, [](ListDocument& d) { return SetDescription(d, "Astra"); }},
        {str::kStepListType, [](ListDocument& d) { return SetListType(d, kListRadio); }},
    };
}

TEST(EditHistoryTest, UndoAndRedoRestoreEveryCommandExactly) {
    for (const CommandCase& c : EveryCommand()) {
        SCOPED_TRACE(LoadResString(c.stepName));
        ListDocument doc = Edited();
        EditHistory history;
        const DocumentState before = StateOf(doc);
        history.Run(doc, c.command);
        const DocumentState after = StateOf(doc);
        ASSERT_NE(after, before);
        EXPECT_EQ(history.UndoName(), c.stepName);

        CutRows(doc, {1});
        CutBankEntries(doc, 3, {0});
        ASSERT_TRUE(history.Undo(doc));
        EXPECT_EQ(StateOf(doc), before);
        EXPECT_FALSE(doc.poolCut || doc.bankCut) << "the cuts named rows that may have moved";
        EXPECT_FALSE(history.CanUndo());
        EXPECT_EQ(history.RedoName(), c.stepName);

        ASSERT_TRUE(history.Redo(doc));
        EXPECT_EQ(StateOf(doc), after);
        ASSERT_TRUE(history.Undo(doc));
        EXPECT_EQ(StateOf(doc), before);
    }
}

TEST(EditHistoryTest, OnlyCommandsThatChangedSomethingAreSteps) {
    ListDocument doc = Edited();
    EditHistory history;
    const std::vector<Command> unchanged = {
        [](ListDocument& d) { return EditCell(d, 5, 2, "P5"); },
        [](ListDocument& d) { return EditCell(d, 5, 3, "x"); }, // rejected
        [](ListDocument& d) {
            return PasteOverwriting(d, 0, CopyRows(d, {0, 1}));
        },
        [](ListDocument& d) { return AddToBank(d, {12}, 0, -1); }, // incomplete at once
        [](ListDocument& d) { return PasteBankEntries(d, 0, -1, "nothing\t1\r\n"); },
        [](ListDocument& d) { return ClearRows(d, {30}); },
        [](ListDocument& d) { return SetDescription(d, ""); },
    };
    for (const Command& command : unchanged)
        history.Run(doc, command);
    EXPECT_FALSE(history.CanUndo());

    // A redo branch ends when a new step is recorded.
    history.Run(doc, [](ListDocument& d) { return DeleteRows(d, {1}); });
    history.Undo(doc);
    history.Run(doc, [](ListDocument& d) { return SetListType(d, kListRadio); });
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoText(), "Undo Change list type");
    EXPECT_EQ(history.RedoText(), "");
}

// The document is modified exactly while undo and redo have not led back to the saved state,
// also after old steps were trimmed and after a new step replaced the saved one's redo branch.
TEST(EditHistoryTest, KnowsWhetherTheDocumentDiffersFromTheSavedOne) {
    const auto rename = [](int n) {
        return [n](ListDocument& d) { return EditCell(d, 5, 2, "Name " + std::to_string(n)); };
    };
    enum Action { Edit, Undo, Redo, Save };
    struct Case {
        const char* name;
        std::vector<Action> actions;
        bool modified;
    };
    const Case cases[] = {
        {"opened", {}, false},
        {"edited", {Edit}, true},
        {"edited and undone", {Edit, Undo}, false},
        {"undone past the save", {Edit, Save, Undo}, true},
        {"redone to the save", {Edit, Save, Undo, Redo}, false},
        {"saved state's redo replaced", {Edit, Edit, Save, Undo, Edit}, true},
        {"replaced, then undone", {Edit, Edit, Save, Undo, Edit, Undo}, true},
        {"nothing to undo", {Save, Undo}, false},
    };
    for (const Case& c : cases) {
        ListDocument doc = Edited();
        EditHistory history;
        int edits = 0;
        for (Action action : c.actions) {
            if (action == Edit)
                history.Run(doc, rename(++edits));
            else if (action == Undo)
                history.Undo(doc);
            else if (action == Redo)
                history.Redo(doc);
            else
                history.MarkSaved();
        }
        EXPECT_EQ(history.IsModified(), c.modified) << c.name;
    }

    // Undoing every kept step of a long run stops short of the opened state.
    ListDocument doc = Edited();
    EditHistory history;
    for (std::size_t n = 0; n < EditHistory::kMaxSteps + 5; ++n)
        history.Run(doc, rename(static_cast<int>(n)));
    while (history.Undo(doc)) {
    }
    EXPECT_TRUE(history.IsModified());
    history.Clear();
    EXPECT_FALSE(history.IsModified()) << "a new load is the saved state";
}

// Every row holds a program and every bank is full.
ListDocument FullDocument() {
    ListDocument doc;
    doc.listType = kListTv;
    for (int row = 0; row < kPoolRows; ++row)
        doc.pool.SetRowFromLine(row, ProgramLine("Program name of " + std::to_string(row)));
    for (int bank = 0; bank < kBankCount; ++bank)
        for (int entry = 0; entry < kBankCapacity; ++entry)
            doc.banks.Insert(bank, CFavEintrag{(entry * 4 + bank) % kPoolRows}, -1);
    return doc;
}

// A step shares the row blocks and banks it did not change with the document, so a small
// edit of a full list costs a few KB, not a copy of every row pointer and bank.
TEST(EditHistoryTest, SmallStepsHoldOnlyWhatTheyChanged) {
    constexpr std::size_t kBound = 10 * 1024;
    const std::vector<std::pair<const char*, std::function<void(ListDocument&, EditHistory&)>>>
        cases = {
            {"one cell",
             [](ListDocument& d, EditHistory& h) {
                 h.Run(d, [](ListDocument& x) { return EditCell(x, 2000, 2, "Renamed"); });
             }},
            {"one cell undone",
             [](ListDocument& d, EditHistory& h) {
                 h.Run(d, [](ListDocument& x) { return EditCell(x, 2000, 2, "Renamed"); });
                 h.Undo(d);
             }},
            {"one bank entry",
             [](ListDocument& d, EditHistory& h) {
                 h.Run(d, [](ListDocument& x) { return DeleteBankEntries(x, 3, {500}); });
             }},
            {"the description",
             [](ListDocument& d, EditHistory& h) {
                 h.Run(d, [](ListDocument& x) { return SetDescription(x, "Other"); });
             }},
        };
    const ListDocument full = FullDocument();
    for (const auto& [what, run] : cases) {
        ListDocument doc = full;
        EditHistory history;
        run(doc, history);
        EXPECT_EQ(history.StepCount(), 1u) << what;
        EXPECT_GT(history.AccountedBytes(), 0u) << what;
        EXPECT_LT(history.AccountedBytes(), kBound) << what;
    }
}

TEST(EditHistoryTest, KeepsTheLastStepsOnAFullPoolWithinItsMemoryBound) {
    ListDocument doc = FullDocument();
    const DocumentState first = StateOf(doc);

    // Every kind of step, the ones that move every row included.
    int edits = 0;
    const std::vector<Command> steps = {
        [](ListDocument& d) { return InsertEmptyRows(d, 0, 1); },
        [](ListDocument& d) {
            return DeleteRows(d, {0, 2000});
        },
        [](ListDocument& d) {
            return PasteInserting(d, 5, CopyRows(d, {100, 101, 102}));
        },
        [](ListDocument& d) {
            return PasteInserting(d, 3000, CutRows(d, {4, 5, 6}));
        },
        [&edits](ListDocument& d) { return EditCell(d, 7, 2, "Edit " + std::to_string(++edits)); },
        [](ListDocument& d) {
            return DeleteBankEntries(d, 4, {0, 1, 2});
        },
        [](ListDocument& d) {
            return AddToBank(d, {8, 9, 10}, 4, 0);
        },
    };
    EditHistory history;
    const int runs = static_cast<int>(EditHistory::kMaxSteps) + 20;
    for (int i = 0; i < runs; ++i)
        history.Run(doc, steps[static_cast<std::size_t>(i) % steps.size()]);
    EXPECT_EQ(history.StepCount(), EditHistory::kMaxSteps);
    const std::size_t bytes = history.AccountedBytes();
    EXPECT_LT(bytes, 50u * 1024 * 1024);
    // Most steps shift every row and so hold every block of their own; less means blocks
    // went uncounted.
    EXPECT_GT(bytes, EditHistory::kMaxSteps / 2 * kBlockCount * sizeof(RowBlock));

    int undone = 0;
    while (history.Undo(doc))
        ++undone;
    EXPECT_EQ(undone, static_cast<int>(EditHistory::kMaxSteps));
    EXPECT_NE(StateOf(doc), first) << "the oldest steps were dropped";
    // Undone steps wait as redo steps and are counted as well.
    EXPECT_LT(history.AccountedBytes(), 50u * 1024 * 1024);
}

TEST(EditHistoryTest, EditsThatRewriteThousandsOfRowsDropTheOldestStepsToStayInBounds) {
    ListDocument doc;
    EditHistory history;
    const int runs = 60;
    for (int run = 0; run < runs; ++run) {
        std::string text;
        for (int row = 0; row < kPoolRows; ++row)
            text += ProgramLine("R" + std::to_string(run) + "/" + std::to_string(row)) + "\r\n";
        history.Run(doc, [&text](ListDocument& d) { return PasteOverwriting(d, 0, text); });
        ASSERT_LE(history.AccountedBytes(), EditHistory::kMaxBytes);
    }
    const int kept = static_cast<int>(history.StepCount());
    EXPECT_GT(kept, 10);
    EXPECT_LT(kept, runs);
    while (history.Undo(doc)) {
    }
    EXPECT_EQ(doc.pool.Cell(3, kFieldName), "R" + std::to_string(runs - kept - 1) + "/3");
    while (history.Redo(doc)) {
    }
    EXPECT_EQ(doc.pool.Cell(3, kFieldName), "R" + std::to_string(runs - 1) + "/3");
    EXPECT_LE(history.AccountedBytes(), EditHistory::kMaxBytes);
}

} // namespace
} // namespace fw

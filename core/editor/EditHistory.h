#pragma once

#include "core/editor/ListDocument.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fw {

// Undo and redo of a list document: one step per command that changed the pool, the banks,
// the description or the type, whether it ran to its end or stopped part-way. A step keeps
// the document as it was; snapshots share unchanged row blocks, rows and banks with each other
// and with the document.
class EditHistory {
public:
    static constexpr std::size_t kMaxSteps = 200;
    // Ordinary edits keep all kMaxSteps far below it (a few KB each: steps share unchanged
    // row blocks and banks with each other and with the document); a run of edits that each rewrite
    // thousands of rows drops the oldest steps instead of holding hundreds of megabytes.
    static constexpr std::size_t kMaxBytes = 48u * 1024 * 1024;

    // Runs command(doc) and records a step named by the result's stepName when the document
    // changed.
    template <typename Command> EditResult Run(ListDocument& doc, Command&& command) {
        State before = Capture(doc);
        EditResult result = std::forward<Command>(command)(doc);
        Record(doc, std::move(before), result.stepName);
        return result;
    }

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // String number naming the step, 0 when there is none.
    int UndoName() const;
    int RedoName() const;
    // "Undo <name>" and "Redo <name>" in the current language, "" when there is no step.
    std::string UndoText() const;
    std::string RedoText() const;

    // Both end the pending cuts: the rows and entries they name may have moved.
    bool Undo(ListDocument& doc);
    bool Redo(ListDocument& doc);
    // Also makes the document as it now stands the saved one.
    void Clear();

    // The document as it now stands is the one on disk (opened or just saved).
    void MarkSaved();
    // The document differs from the one on disk: undo or redo has not led back to it.
    bool IsModified() const;

    std::size_t StepCount() const { return m_undo.size() + m_redo.size(); }
    // The memory the steps hold beyond the document's own rows; a row shared by several
    // steps is counted once.
    std::size_t AccountedBytes() const { return m_bytes; }

private:
    struct State {
        PoolSnapshot rows;
        CFavoritenDat banks;
        std::string description;
        int listType = kListUnknown;
    };
    struct Step {
        int name = 0;
        State state;
        std::size_t bytes = 0; // beyond the state that follows it
    };

    static State Capture(const ListDocument& doc);
    static bool SameState(const State& state, const ListDocument& doc);
    static void Apply(State state, ListDocument& doc);
    static std::size_t BytesBeyond(const State& state, const PoolSnapshot& nextRows,
                                   const CFavoritenDat& nextBanks);
    void Record(const ListDocument& doc, State before, int name);
    bool Move(std::deque<Step>& from, std::deque<Step>& to, ListDocument& doc);
    void DropOldestStep();

    // Positions count the steps applied since the history began, dropped ones included, so
    // that trimming old steps never makes another state look like the saved one.
    std::size_t Position() const { return m_dropped + m_undo.size(); }

    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
    std::size_t m_bytes = 0;
    std::size_t m_dropped = 0;
    // Empty once the saved state can no longer be reached (its redo steps were discarded).
    std::optional<std::size_t> m_savedPosition = 0;
};

} // namespace fw

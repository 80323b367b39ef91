#include "core/editor/EditHistory.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

namespace fw {
namespace {

template <typename Steps> int NameOfLast(const Steps& steps) {
    return steps.empty() ? 0 : steps.back().name;
}

std::string StepText(int textId, int name) {
    return name == 0 ? std::string() : FormatText(LoadResString(textId), {LoadResString(name)});
}

} // namespace

int EditHistory::UndoName() const {
    return NameOfLast(m_undo);
}

int EditHistory::RedoName() const {
    return NameOfLast(m_redo);
}

std::string EditHistory::UndoText() const {
    return StepText(str::kUndoStep, UndoName());
}

std::string EditHistory::RedoText() const {
    return StepText(str::kRedoStep, RedoName());
}

EditHistory::State EditHistory::Capture(const ListDocument& doc) {
    return State{doc.pool.Snapshot(), doc.banks, doc.description, doc.listType};
}

bool EditHistory::SameState(const State& state, const ListDocument& doc) {
    return state.listType == doc.listType && state.description == doc.description &&
           state.banks.SameBanks(doc.banks) && doc.pool.HasRowsOf(state.rows);
}

void EditHistory::Apply(State state, ListDocument& doc) {
    doc.pool.Restore(state.rows);
    doc.banks = std::move(state.banks);
    doc.description = std::move(state.description);
    doc.listType = state.listType;
    doc.poolCut.reset();
    doc.bankCut.reset();
}

std::size_t EditHistory::BytesBeyond(const State& state, const PoolSnapshot& nextRows,
                                     const CFavoritenDat& nextBanks) {
    return sizeof(Step) - sizeof(State) + state.rows.BytesBeyond(nextRows) +
           state.banks.BytesBeyond(nextBanks) + state.description.capacity();
}

void EditHistory::Record(const ListDocument& doc, State before, int name) {
    if (SameState(before, doc))
        return;
    for (const Step& step : m_redo)
        m_bytes -= step.bytes;
    if (m_savedPosition && *m_savedPosition > Position())
        m_savedPosition.reset();
    m_redo.clear();
    const std::size_t bytes = BytesBeyond(before, doc.pool.Snapshot(), doc.banks);
    m_undo.push_back(Step{name, std::move(before), bytes});
    m_bytes += bytes;
    while (m_undo.size() > 1 && (m_undo.size() > kMaxSteps || m_bytes > kMaxBytes))
        DropOldestStep();
}

void EditHistory::DropOldestStep() {
    m_bytes -= m_undo.front().bytes;
    m_undo.pop_front();
    ++m_dropped;
}

bool EditHistory::Move(std::deque<Step>& from, std::deque<Step>& to, ListDocument& doc) {
    if (from.empty())
        return false;
    Step step = std::move(from.back());
    from.pop_back();
    State current = Capture(doc);
    const std::size_t bytes = BytesBeyond(current, step.state.rows, step.state.banks);
    m_bytes = m_bytes - step.bytes + bytes;
    to.push_back(Step{step.name, std::move(current), bytes});
    Apply(std::move(step.state), doc);
    return true;
}

bool EditHistory::Undo(ListDocument& doc) {
    return Move(m_undo, m_redo, doc);
}

bool EditHistory::Redo(ListDocument& doc) {
    return Move(m_redo, m_undo, doc);
}

void EditHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
    m_bytes = 0;
    m_dropped = 0;
    m_savedPosition = 0;
}

void EditHistory::MarkSaved() {
    m_savedPosition = Position();
}

bool EditHistory::IsModified() const {
    return m_savedPosition != Position();
}

} // namespace fw

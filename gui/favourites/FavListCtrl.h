#pragma once

#include "core/editor/EditHistory.h"
#include "core/editor/ListDocument.h"
#include "gui/favourites/BankModel.h"
#include "gui/ui/GridCommands.h"
#include "gui/ui/RowDropLine.h"

#include <QTableView>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMenu;

namespace fw {

class UserInteraction;

// Pool rows dragged from the editor's grid: their row numbers as text, "4,7,9".
inline constexpr const char* kPoolRowsMimeType = "application/x-flashwerk-pool-rows";
// The rows of such a drag; nothing when the text is not a list of pool rows.
std::optional<std::vector<int>> ParsePoolRows(const QByteArray& text);

// The list of one favourite bank. Every change runs through the edit history as one step;
// DocumentChanged follows each change so that the owner can refresh the pool and the lists.
class CFavListCtrl : public QTableView {
    Q_OBJECT
public:
    // Commands of the context menu and the keys; the numbers name the menu items in the string
    // table, and the actions carry them as object names.
    enum Command {
        kCmdDelete = 40013,
        kCmdCut = 40014,
        kCmdPaste = 40015,
        kCmdCopy = 40016,
        kCmdSearch = 40017,
        kCmdSearchAgain = 40018,
        kCmdUndo = 40019,
        kCmdRedo = 40020,
    };

    // Bank i's list is control kFirstListId + i; its tool tip names the bank.
    static constexpr int kFirstListId = 1133;

    CFavListCtrl(ListDocument& doc, EditHistory& history, UserInteraction& interaction, int bank,
                 QWidget* parent = nullptr);

    int Bank() const { return m_model.Bank(); }
    BankModel& Model() { return m_model; }
    // Rebuilds the rows from the bank; the selected row numbers that still exist stay
    // selected, as a list control keeps them when rows come and go before them.
    void Reload();
    void ProgramChanged(int address) { m_model.ProgramChanged(address); }

    // Selected entries, ascending; the trailing empty row is never one.
    std::vector<int> SelectedPositions() const;
    // Before the single selected row, else -1 (at the end).
    int InsertionPoint() const;
    void SelectRow(int row);

    // The menu with its items greyed as the selection and the clipboard allow.
    std::unique_ptr<QMenu> CreateContextMenu();
    QAction* Command(int id) const { return m_commands[id]; }

    void DeleteSelected();
    void CutSelected();
    void CopySelected();
    void PasteClipboard();
    void SearchNext(const QString& text);
    void UndoStep();
    void RedoStep();
    // Adds the pool rows' programs before position (-1: at the end).
    void AddPoolRows(std::vector<int> rows, int position);
    // Where rows dragged over the list are shown to land.
    const RowDropLine& DropLine() const { return m_dropLine; }

signals:
    void DocumentChanged();
    // Ctrl+F asks for a text (again = false); F3 searches on with the last one.
    void SearchRequested(bool again);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The position pool rows dropped at point (viewport coordinates) take: before the entry
    // there, or -1 (at the end) below the entries.
    int DropPosition(QPoint point) const;
    void CreateCommands();
    // Enables the commands as the selection, the clipboard and the history allow.
    void UpdateCommands();
    // Runs a changing command as one undo step and tells what it found wrong.
    void RunStep(const std::function<EditResult(ListDocument&)>& command);
    // The message's own text, or its formatted text where the command named something.
    void ShowMessage(int messageId, const std::string& formatted = {});

    ListDocument& m_doc;
    EditHistory& m_history;
    UserInteraction& m_interaction;
    BankModel m_model;
    GridCommands m_commands{*this};
    RowDropLine m_dropLine{*this};
};

} // namespace fw

#pragma once

#include "core/editor/ListDocument.h"
#include "core/editor/SortCommands.h"
#include "gui/lists/EditListCtrl.h"
#include "gui/ui/GridCommands.h"
#include "gui/ui/RowDropLine.h"

#include <QPointer>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QMenu;
class QMimeData;

namespace fw {

class CDlgSuchen;
class EditHistory;
class PoolModel;
class UserInteraction;
struct RowsPastEnd;

// The program pool grid of the editor: cell editing, the row commands of its context menu and
// keys, adding to the current favourite bank, search, undo and redo, and moving rows by drag.
// Every change runs as one step of the editor's history and ends in DocumentChanged(), a cell
// edit in ProgramEdited() (it changes one cell, and a full refresh would repaint every view).
class CPoolListCtrl : public CEditListCtrl {
    Q_OBJECT
public:
    // Command ids of the context menu and the keys; the actions carry them as object names.
    enum Command : int {
        CmdCut = 500,
        CmdPasteOverwriting = 501,
        CmdCopy = 502,
        CmdEditCell = 503,
        CmdInsertEmptyRow = 504,
        CmdClearRows = 505,
        CmdDeleteRows = 506,
        CmdPasteInserting = 507,
        CmdAddToBank = 508,
        CmdSearch = 509,
        CmdSearchAgain = 510,
        CmdUndo = 511,
        CmdRedo = 512,
        CmdPrint = 513,
        CmdPrintPreview = 514,
        CmdExportPdf = 515,
        CmdPageSetup = 516,
        CmdSort = 517,
        CmdMoveUp = 518,
        CmdMoveDown = 519,
    };

    CPoolListCtrl(ListDocument& doc, EditHistory& history, UserInteraction& interaction,
                  QWidget* parent = nullptr);

    // The bank that add-to-bank fills and whose programs carry the " =" mark; without it
    // adding is not offered.
    void SetCurrentBankSource(std::function<int()> currentBank);
    // Where in that bank added programs go: before this entry, -1 at the end; nothing while
    // adding is not possible. Without it they go at the end.
    using BankPositionSource = std::function<std::optional<int>()>;
    void SetBankPositionSource(BankPositionSource position) {
        m_bankPosition = std::move(position);
    }
    void SetSearchDialog(CDlgSuchen* search);
    PoolModel* GridModel() const { return m_model; }

    // Shows only the rows whose name, satellite, frequency or SID contains the text; an empty
    // text shows every row. While rows are hidden, the commands that would touch them (insert,
    // paste, cut, move, sort) are greyed.
    void SetFilter(const QString& text);
    bool IsFiltered() const { return !m_filter.isEmpty(); }

    // Rows selected and shown, ascending; the single selected row or -1.
    std::vector<int> SelectedRows() const;
    int SingleSelectedRow() const;
    void SelectRows(int first, int count);

    // Widens each column to the texts of the first rows, never narrowing it.
    void WidenColumnsToRows(int rows);
    // The document changed elsewhere (undo, a bank list, a load): show it again.
    void Refresh();

    void OnEditCell(int column);
    void OnCut();
    void OnCopy();
    void OnPasteOverwriting();
    void OnPasteInserting();
    void OnInsertEmptyRow();
    void OnClearRows();
    void OnDeleteRows();
    void OnAddToBank();
    void OnShowSearch();
    void OnSearchAgain();
    void Search(const QString& text);
    void OnUndo();
    void OnRedo();
    // Opens the sort dialog on the selection's range with the key chosen.
    void OnSort(SortKey key);
    void Sort(int first, int last, SortKey key, bool descending);
    // A command of the editor's tools run as one undo step, with its message shown; the grid
    // shows the document again when it changed.
    void RunCommand(const std::function<EditResult(ListDocument&)>& command);
    // Selects exactly these rows (any order) and shows the first.
    void SelectRowSet(const std::vector<int>& rows);
    // The selected rows one place up (-1) or down (+1), still selected.
    void OnMoveRows(int step);
    // The rows land before the program at target, as cut and paste inserting would place them.
    void MoveRows(const std::vector<int>& rows, int target);

    // Rows dragged from this grid and dropped at position (viewport coordinates); false when
    // the data holds no rows of this grid or no row is there.
    bool DropRows(const QMimeData* dragged, QPoint position);
    // Where rows dragged over the grid are shown to land.
    const RowDropLine& DropLine() const { return m_dropLine; }

    // The context menu as a right click at x would open it; it deletes itself when closed.
    QMenu* BuildContextMenu(int clickX);
    // The menu a click on a column title offers: sorting by that column, when it has a key.
    QMenu* BuildColumnMenu(int column);
    QAction* Command(int id) const { return m_commands[id]; }

signals:
    void DocumentChanged();
    void ProgramEdited(int row);
    // One of the print commands of the menu; the editor runs it.
    void PrintRequested(int command);

protected:
    bool CommitEdit(int row, int column, const QString& text) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    template <typename Fn> void Run(Fn&& command);
    void AfterChange(const EditResult& result);
    void ShowResultMessage(const EditResult& result);
    void CreateCommands();
    // Enables the commands as the selection, the clipboard and the history allow.
    void UpdateCommands();
    // The clipboard's text as bytes; nothing when there is none or (after telling the user)
    // when it cannot be stored.
    std::optional<std::string> PastableText();
    void Paste(bool inserting);
    // Hides the rows the filter leaves out.
    void ApplyFilter();
    // The context menu opened by a key, below the current cell.
    void ShowContextMenuAtCurrentCell();
    // Asks before an edit pushes or writes programs past the last place (question: the string
    // that ends the question); true when nothing is lost or the user agrees.
    bool AcceptsLoss(const RowsPastEnd& lost, int question);

    ListDocument& m_doc;
    EditHistory& m_history;
    UserInteraction& m_interaction;
    PoolModel* m_model = nullptr;
    std::function<int()> m_currentBank;
    BankPositionSource m_bankPosition;
    CDlgSuchen* m_search = nullptr;
    int m_contextX = -1;
    QString m_filter;
    QPointer<QMenu> m_openMenu; // a key and the platform may both ask for the menu
    GridCommands m_commands{*this};
    RowDropLine m_dropLine{*this};
};

} // namespace fw

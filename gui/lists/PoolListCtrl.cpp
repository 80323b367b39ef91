#include "gui/lists/PoolListCtrl.h"

#include "core/editor/EditHistory.h"
#include "core/editor/PoolCommands.h"
#include "core/editor/RowsPastEnd.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ColumnSpec.h"
#include "core/util/Cp1252.h"
#include "core/util/UserInteraction.h"
#include "gui/lists/PoolModel.h"
#include "gui/lists/SortDialog.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/DlgSuchen.h"
#include "gui/ui/ListClipboard.h"
#include "gui/ui/ReportListCtrl.h"
#include "gui/ui/Texts.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace fw {

namespace {
const QColor kFrameLine(0x80, 0x80, 0x80);
} // namespace

CPoolListCtrl::CPoolListCtrl(ListDocument& doc, EditHistory& history, UserInteraction& interaction,
                             QWidget* parent)
    : CEditListCtrl(parent), m_doc(doc), m_history(history), m_interaction(interaction),
      m_model(new PoolModel(doc, history, this)) {
    // Before the model: a shown row header measures row numbers for its width, and every row
    // would be resized once more.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setModel(m_model);
    SetControlId(this, 504);
    SetLockedColumn(PoolModel::ColumnAdr);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    // The drop line stands in for Qt's indicator.
    setDropIndicatorShown(false);
    // A column title offers sorting; it never reorders the places by itself.
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (QMenu* menu = BuildColumnMenu(column))
            menu->popup(QCursor::pos());
    });
    const std::vector<ColumnHeader> headers = ParseColumnSpec(LoadResString(str::kColumnTitles));
    for (std::size_t i = 0; i < headers.size(); ++i)
        setColumnWidth(static_cast<int>(i),
                       CReportListCtrl::HeaderWidth(fontMetrics(), headers[i]));
    CreateCommands();
    // Rows cut and then overwritten on the clipboard wait for no paste any more.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (m_doc.poolCut) {
            ForgetCutUnlessOnClipboard(m_doc.poolCut);
            viewport()->update();
        }
    });
}

void CPoolListCtrl::CreateCommands() {
    using Needs = GridCommands::Needs;
    using KeysInMenu = GridCommands::KeysInMenu;
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };
    const auto add = [this](int id, int text, const QList<QKeySequence>& keys,
                            std::function<void()> run, Needs needs = Needs::Selection) {
        m_commands.Add(id, ResText(text), keys, std::move(run), needs, KeysInMenu::Shown);
    };
    // The menu remembers where it was opened; a key leaves the column to the command.
    add(CmdEditCell, str::kMenuEditCell, {ctrl(Qt::Key_E)},
        [this] { OnEditCell(columnAt(m_contextX)); });
    add(CmdCut, str::kMenuCut, {ctrl(Qt::Key_X)}, [this] { OnCut(); });
    add(CmdCopy, str::kMenuCopy, {ctrl(Qt::Key_C)}, [this] { OnCopy(); });
    add(CmdPasteOverwriting, str::kMenuPasteOverwriting, {ctrl(Qt::Key_O)},
        [this] { OnPasteOverwriting(); });
    add(CmdPasteInserting, str::kMenuPasteCopiedRows, {ctrl(Qt::Key_V)},
        [this] { OnPasteInserting(); });
    add(CmdInsertEmptyRow, str::kMenuInsertEmptyRow, {ctrl(Qt::Key_Y)},
        [this] { OnInsertEmptyRow(); });
    add(CmdClearRows, str::kMenuClearRows, {ctrl(Qt::Key_N)}, [this] { OnClearRows(); });
    add(CmdDeleteRows, str::kMenuDeleteRows, {ctrl(Qt::Key_M), QKeySequence(Qt::Key_Delete)},
        [this] { OnDeleteRows(); });
    add(CmdAddToBank, str::kMenuAddToBank, {ctrl(Qt::Key_B)}, [this] { OnAddToBank(); });
    add(CmdMoveUp, str::kMenuMoveUp, {ctrl(Qt::Key_Up)}, [this] { OnMoveRows(-1); });
    add(CmdMoveDown, str::kMenuMoveDown, {ctrl(Qt::Key_Down)}, [this] { OnMoveRows(1); });
    // Without a selection the whole pool is sorted; the menu offers the clicked column's key.
    add(
        CmdSort, str::kMenuSort, {},
        [this] { OnSort(SortKeyOfColumn(columnAt(m_contextX)).value_or(SortKey::Name)); },
        Needs::Nothing);
    add(CmdSearch, str::kMenuSearch, {ctrl(Qt::Key_F)}, [this] { OnShowSearch(); });
    add(CmdSearchAgain, str::kMenuSearchAgain, {QKeySequence(Qt::Key_F3)},
        [this] { OnSearchAgain(); });
    // The history's step names do not name the keys, so the menu shows them.
    m_commands.Add(
        CmdUndo, ResText(str::kMenuUndo), {ctrl(Qt::Key_Z)}, [this] { OnUndo(); }, Needs::Nothing,
        KeysInMenu::Shown);
    m_commands.Add(
        CmdRedo, ResText(str::kMenuRedo), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        [this] { OnRedo(); }, Needs::Nothing, KeysInMenu::Shown);
    const auto print = [this](int command, int text, const QList<QKeySequence>& keys) {
        m_commands.Add(
            command, ResText(text), keys, [this, command] { emit PrintRequested(command); },
            Needs::Nothing, KeysInMenu::Shown);
    };
    print(CmdPrint, str::kMenuPrint, {QKeySequence(Qt::CTRL | Qt::Key_P)});
    print(CmdPrintPreview, str::kMenuPrintPreview, {});
    print(CmdExportPdf, str::kMenuExportPdf, {});
    print(CmdPageSetup, str::kMenuPageSetup, {});
}

void CPoolListCtrl::UpdateCommands() {
    const std::optional<ClipboardBytes> clipboard = ListClipboardText();
    const bool hasText = clipboard.has_value();
    // A cut is honoured only while the clipboard still holds its text.
    const bool cutPending = hasText && HonouredCut(m_doc.poolCut, clipboard->bytes) != nullptr;
    const bool many = SelectedRows().size() > 1;
    // These would move or fill rows the filter hides.
    const bool allShown = !IsFiltered();
    for (const int id : {CmdCut, CmdMoveUp, CmdMoveDown, CmdSort})
        m_commands[id]->setEnabled(allShown);
    m_commands[CmdEditCell]->setEnabled(!many);
    m_commands[CmdPasteOverwriting]->setEnabled(hasText && !many && allShown);
    m_commands[CmdPasteInserting]->setEnabled(hasText && !many && allShown);
    m_commands[CmdPasteInserting]->setText(
        ResText(cutPending ? str::kMenuPasteCutRows : str::kMenuPasteCopiedRows));
    m_commands[CmdInsertEmptyRow]->setEnabled(!many && allShown);
    m_commands[CmdAddToBank]->setEnabled(static_cast<bool>(m_currentBank));
    m_commands[CmdSearch]->setEnabled(m_search != nullptr);
    m_commands[CmdSearchAgain]->setEnabled(m_search != nullptr);
    m_commands[CmdUndo]->setEnabled(m_history.CanUndo());
    m_commands[CmdUndo]->setText(m_history.CanUndo() ? QString::fromStdString(m_history.UndoText())
                                                     : ResText(str::kMenuUndo));
    m_commands[CmdRedo]->setEnabled(m_history.CanRedo());
    m_commands[CmdRedo]->setText(m_history.CanRedo() ? QString::fromStdString(m_history.RedoText())
                                                     : ResText(str::kMenuRedo));
}

void CPoolListCtrl::SetCurrentBankSource(std::function<int()> currentBank) {
    m_currentBank = std::move(currentBank);
    Refresh();
}

void CPoolListCtrl::SetSearchDialog(CDlgSuchen* search) {
    m_search = search;
    connect(search, &CDlgSuchen::SearchRequested, this, &CPoolListCtrl::Search);
}

std::vector<int> CPoolListCtrl::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        if (!isRowHidden(index.row()))
            rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int CPoolListCtrl::SingleSelectedRow() const {
    const std::vector<int> rows = SelectedRows();
    return rows.size() == 1 ? rows.front() : -1;
}

void CPoolListCtrl::SelectRows(int first, int count) {
    clearSelection();
    const QModelIndex top = m_model->index(first, 0);
    if (!top.isValid() || count <= 0)
        return;
    const int last = std::min(first + count, m_model->rowCount()) - 1;
    selectionModel()->select(QItemSelection(top, m_model->index(last, PoolModel::ColumnCount - 1)),
                             QItemSelectionModel::Select);
    selectionModel()->setCurrentIndex(top, QItemSelectionModel::NoUpdate);
    scrollTo(top);
}

void CPoolListCtrl::WidenColumnsToRows(int rows) {
    const int padding = 20;
    for (int column = 0; column < PoolModel::ColumnCount; ++column) {
        int width = columnWidth(column);
        for (int row = 0; row < rows; ++row)
            width = std::max(width, fontMetrics().horizontalAdvance(
                                        m_model->index(row, column).data().toString()) +
                                        padding);
        setColumnWidth(column, width);
    }
}

void CPoolListCtrl::Refresh() {
    m_model->SetMarkedBank(m_currentBank ? m_currentBank() : -1);
    if (IsFiltered())
        ApplyFilter();
    // Commands end or start a cut, which greys its rows.
    viewport()->update();
}

void CPoolListCtrl::SetFilter(const QString& text) {
    if (text == m_filter)
        return;
    m_filter = text;
    ApplyFilter();
    // Rows dropped or dragged would land among hidden ones.
    setDragEnabled(!IsFiltered());
    setAcceptDrops(!IsFiltered());
}

void CPoolListCtrl::ApplyFilter() {
    bool lossless = true;
    const std::string bytes = Utf8ToCp1252(m_filter.toStdString(), &lossless);
    // A character the code page lacks is in no field.
    const std::vector<int> matching =
        lossless ? MatchingRows(m_doc.pool, bytes) : std::vector<int>{};
    auto next = matching.begin();
    for (int row = 0; row < kPoolRows; ++row) {
        const bool shown = next != matching.end() && *next == row;
        if (shown)
            ++next;
        if (isRowHidden(row) == shown)
            setRowHidden(row, !shown);
    }
}

template <typename Fn> void CPoolListCtrl::Run(Fn&& command) {
    AfterChange(m_history.Run(m_doc, std::forward<Fn>(command)));
}

void CPoolListCtrl::AfterChange(const EditResult& result) {
    // A command stopped part-way has changed the document too.
    const bool changed = result.status == EditStatus::Done ||
                         result.status == EditStatus::IncompleteProgram ||
                         result.status == EditStatus::LinesRejected;
    if (changed) {
        Refresh();
        emit DocumentChanged();
    }
    ShowResultMessage(result);
}

void CPoolListCtrl::ShowResultMessage(const EditResult& result) {
    if (result.messageId == 0)
        return;
    const std::string text =
        result.message.empty() ? LoadResString(result.messageId) : result.message;
    const MessageIcon icon =
        result.status == EditStatus::NotFound ? MessageIcon::Information : MessageIcon::Stop;
    m_interaction.ShowMessage(text, icon);
}

bool CPoolListCtrl::CommitEdit(int row, int column, const QString& text) {
    // An edit ends a pending cut; only then is more than the cell repainted.
    if (m_doc.poolCut)
        viewport()->update();
    const EditResult result = m_model->CommitCell(row, column, text);
    if (result.status == EditStatus::CellRejected) {
        ShowResultMessage(result);
        return false;
    }
    if (result.status == EditStatus::Done)
        emit ProgramEdited(row);
    return true;
}

std::optional<std::string> CPoolListCtrl::PastableText() {
    std::optional<ClipboardBytes> text = ListClipboardText();
    if (!text)
        return std::nullopt;
    if (!text->encodable) {
        m_interaction.ShowMessage(LoadResString(str::kClipboardNotCp1252), MessageIcon::Stop);
        return std::nullopt;
    }
    return std::move(text->bytes);
}

void CPoolListCtrl::OnEditCell(int column) {
    m_doc.poolCut.reset();
    if (column < 0 || column >= PoolModel::ColumnCount)
        column = PoolModel::ColumnCa;
    const int row = SingleSelectedRow();
    if (row >= 0 && column != LockedColumn())
        BeginEdit(row, column);
}

void CPoolListCtrl::OnCut() {
    const std::vector<int> rows = SelectedRows();
    if (!rows.empty())
        SetListClipboardText(CutRows(m_doc, rows));
    viewport()->update();
}

void CPoolListCtrl::OnCopy() {
    const std::vector<int> rows = SelectedRows();
    if (!rows.empty())
        SetListClipboardText(CopyRows(m_doc, rows));
}

void CPoolListCtrl::Paste(bool inserting) {
    const std::optional<std::string> text = PastableText();
    if (!text)
        return;
    const int target = SingleSelectedRow();
    if (!AcceptsLoss(RowsPastEndOfPaste(m_doc, target, *text, inserting),
                     inserting ? str::kInsertAnyway : str::kPasteAnyway))
        return;
    Run([&](ListDocument& doc) {
        return inserting ? PasteInserting(doc, target, *text)
                         : PasteOverwriting(doc, target, *text);
    });
}

bool CPoolListCtrl::AcceptsLoss(const RowsPastEnd& lost, int question) {
    if (lost.programs == 0)
        return true;
    return m_interaction.Ask({RowsPastEndText(lost) + "\n" + LoadResString(question),
                              MessageIcon::Warning, AnswerSet::YesNo, Answer::No}) == Answer::Yes;
}

void CPoolListCtrl::OnPasteOverwriting() {
    Paste(false);
}

void CPoolListCtrl::OnPasteInserting() {
    Paste(true);
}

void CPoolListCtrl::OnInsertEmptyRow() {
    const int row = SingleSelectedRow();
    if (!AcceptsLoss(RowsPastEndOfInsert(m_doc, row, 1), str::kInsertAnyway))
        return;
    Run([row](ListDocument& doc) { return InsertEmptyRows(doc, row, 1); });
}

void CPoolListCtrl::OnClearRows() {
    Run([rows = SelectedRows()](ListDocument& doc) { return ClearRows(doc, rows); });
}

void CPoolListCtrl::OnDeleteRows() {
    Run([rows = SelectedRows()](ListDocument& doc) { return DeleteRows(doc, rows); });
}

void CPoolListCtrl::OnAddToBank() {
    m_doc.poolCut.reset();
    if (!m_currentBank)
        return;
    const std::optional<int> position = m_bankPosition ? m_bankPosition() : -1;
    if (!position)
        return;
    const int bank = m_currentBank();
    Run([&, rows = SelectedRows()](ListDocument& doc) {
        return AddToBank(doc, rows, bank, *position);
    });
}

void CPoolListCtrl::OnShowSearch() {
    if (m_search == nullptr)
        return;
    m_search->show();
    m_search->raise();
    m_search->activateWindow();
}

void CPoolListCtrl::OnSearchAgain() {
    if (m_search != nullptr && !m_search->SearchText().isEmpty())
        Search(m_search->SearchText());
}

void CPoolListCtrl::Search(const QString& text) {
    if (text.isEmpty())
        return;
    bool lossless = true;
    const std::string bytes = Utf8ToCp1252(text.toStdString(), &lossless);
    // A character the code page lacks is in no program name.
    const SearchColumns columns =
        m_search != nullptr && m_search->InAllColumns() ? SearchColumns::All : SearchColumns::Name;
    const EditResult result = lossless ? SearchPool(m_doc, bytes, SingleSelectedRow(), columns)
                                       : MakeResult(EditStatus::NotFound, str::kSearchTextNotFound);
    if (result.status == EditStatus::NotFound) {
        ShowResultMessage(result);
        return;
    }
    SelectRows(result.row, 1);
}

void CPoolListCtrl::OnUndo() {
    CloseEditor();
    if (m_history.Undo(m_doc)) {
        Refresh();
        emit DocumentChanged();
    }
}

void CPoolListCtrl::OnRedo() {
    CloseEditor();
    if (m_history.Redo(m_doc)) {
        Refresh();
        emit DocumentChanged();
    }
}

void CPoolListCtrl::OnSort(SortKey key) {
    if (IsFiltered())
        return;
    SortDialog dialog(SortRange(SelectedRows()), key, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const auto [first, last] = dialog.Range();
    Sort(first, last, dialog.Key(), dialog.Descending());
}

void CPoolListCtrl::Sort(int first, int last, SortKey key, bool descending) {
    Run([=](ListDocument& doc) { return SortRows(doc, first, last, key, descending); });
}

void CPoolListCtrl::RunCommand(const std::function<EditResult(ListDocument&)>& command) {
    CloseEditor();
    Run(command);
}

void CPoolListCtrl::SelectRowSet(const std::vector<int>& rows) {
    QItemSelection selection;
    for (int row : SortedItems(rows, ProgramPool::RowCount()))
        selection.select(model()->index(row, 0), model()->index(row, model()->columnCount() - 1));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty()) {
        const QModelIndex first = selection.first().topLeft();
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        scrollTo(first);
    }
}

void CPoolListCtrl::OnMoveRows(int step) {
    const std::vector<int> rows = SelectedRows();
    if (IsFiltered() || rows.empty())
        return;
    bool moved = false;
    Run([&](ListDocument& doc) {
        const EditResult result = MoveRowsOnePlace(doc, rows, step);
        moved = result.status == EditStatus::Done;
        return result;
    });
    if (!moved)
        return;
    // The selection and the current cell go with the rows, so the next press moves them on.
    const QModelIndex current = currentIndex();
    // One range per block of rows: selecting thousands of rows one by one takes a second.
    QItemSelection selection;
    for (std::size_t first = 0, last = 0; first < rows.size(); first = ++last) {
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1)
            ++last;
        selection.select(m_model->index(rows[first] + step, 0),
                         m_model->index(rows[last] + step, PoolModel::ColumnCount - 1));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (current.isValid()) {
        const QModelIndex next = m_model->index(current.row() + step, current.column());
        selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
        scrollTo(next);
    }
}

void CPoolListCtrl::MoveRows(const std::vector<int>& rows, int target) {
    const auto below =
        std::count_if(rows.begin(), rows.end(), [target](int row) { return row < target; });
    bool moved = false;
    // Cut and paste of the same text, so the history keeps one step and the clipboard is not
    // touched.
    Run([&](ListDocument& doc) {
        const std::string text = CutRows(doc, rows);
        EditResult result = PasteInserting(doc, target, text);
        moved = result.status == EditStatus::Done;
        return result;
    });
    if (moved)
        SelectRows(target - static_cast<int>(below),
                   static_cast<int>(SortedItems(rows, kPoolRows).size()));
}

QMenu* CPoolListCtrl::BuildContextMenu(int clickX) {
    m_contextX = clickX;
    UpdateCommands();
    QMenu* menu = m_commands
                      .Menu(this, {CmdEditCell,
                                   CmdCut,
                                   CmdCopy,
                                   CmdPasteOverwriting,
                                   CmdPasteInserting,
                                   CmdInsertEmptyRow,
                                   CmdClearRows,
                                   CmdDeleteRows,
                                   CmdAddToBank,
                                   0,
                                   CmdMoveUp,
                                   CmdMoveDown,
                                   CmdSort,
                                   0,
                                   CmdSearch,
                                   CmdSearchAgain,
                                   0,
                                   CmdUndo,
                                   CmdRedo,
                                   0,
                                   CmdPrint,
                                   CmdPrintPreview,
                                   CmdExportPdf,
                                   CmdPageSetup})
                      .release();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    return menu;
}

QMenu* CPoolListCtrl::BuildColumnMenu(int column) {
    const std::optional<SortKey> key = SortKeyOfColumn(column);
    if (!key)
        return nullptr;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QString title = m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    QAction* sort =
        menu->addAction(ResText(str::kMenuSortByColumn).arg(title), [this, key] { OnSort(*key); });
    sort->setEnabled(!IsFiltered());
    return menu;
}

void CPoolListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse) {
        ShowContextMenuAtCurrentCell();
        return;
    }
    m_openMenu = BuildContextMenu(event->pos().x());
    m_openMenu->popup(event->globalPos());
}

void CPoolListCtrl::ShowContextMenuAtCurrentCell() {
    if (m_openMenu && m_openMenu->isVisible())
        return;
    const QRect cell = visualRect(currentIndex());
    const QPoint at = cell.isValid() ? cell.bottomLeft() : QPoint(0, 0);
    m_openMenu = BuildContextMenu(-1);
    m_openMenu->popup(viewport()->mapToGlobal(at));
}

void CPoolListCtrl::keyPressEvent(QKeyEvent* event) {
    const bool anyRows = !SelectedRows().empty();
    m_contextX = -1;
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey) {
        ShowContextMenuAtCurrentCell();
        return;
    }
    // F2 edits the cell the focus frame marks (the first editable one for Adr); Ctrl+E keeps
    // opening its usual column.
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        OnEditCell(std::max<int>(currentIndex().column(), PoolModel::ColumnCa));
        return;
    }
    if (m_commands.RunKey(*event, anyRows, [this] { UpdateCommands(); }))
        return;
    // Escape goes on to the dialog, which closes (asking first when the list changed); Enter
    // stays in the grid instead of pressing OK; without a selected row no key acts.
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || !anyRows)
        return;
    CEditListCtrl::keyPressEvent(event);
}

void CPoolListCtrl::mousePressEvent(QMouseEvent* event) {
    CEditListCtrl::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::AltModifier))
        OnAddToBank();
}

void CPoolListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && cell.isValid() &&
        cell.column() == PoolModel::ColumnAdr) {
        OnAddToBank();
        return;
    }
    CEditListCtrl::mouseDoubleClickEvent(event);
}

void CPoolListCtrl::paintEvent(QPaintEvent* event) {
    CEditListCtrl::paintEvent(event);
    // Two lines on each side frame the grey fixed column.
    const int left = columnViewportPosition(PoolModel::ColumnAdr);
    const int right = left + columnWidth(PoolModel::ColumnAdr);
    QPainter painter(viewport());
    painter.setPen(kFrameLine);
    const int bottom = viewport()->height();
    for (const int x : {left, left + 1, right - 2, right - 1})
        painter.drawLine(x, 0, x, bottom);
    // Rows are selected whole, so the cell that F2 and the arrow keys work on needs a frame.
    const QModelIndex current = currentIndex();
    if (hasFocus() && current.isValid() && selectionModel()->isRowSelected(current.row())) {
        painter.setPen(QPen(palette().color(QPalette::HighlightedText), 1, Qt::DotLine));
        painter.drawRect(visualRect(current).adjusted(1, 1, -2, -2));
    }
    painter.end();
    m_dropLine.Paint();
}

void CPoolListCtrl::startDrag(Qt::DropActions) {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(m_model->mimeData(rows));
    drag->exec(Qt::MoveAction);
}

void CPoolListCtrl::dragMoveEvent(QDragMoveEvent* event) {
    // The base scrolls near the edges; without Qt's indicator it would refuse every row.
    CEditListCtrl::dragMoveEvent(event);
    // The rows land before the row under the pointer, as DropRows places them; onto one of
    // themselves they go nowhere.
    const int target = indexAt(event->position().toPoint()).row();
    const std::vector<int> rows = m_model->RowsOfMimeData(event->mimeData());
    const bool lands =
        target >= 0 && !rows.empty() && !std::binary_search(rows.begin(), rows.end(), target);
    event->setAccepted(lands);
    m_dropLine.Show(lands ? target : -1);
}

void CPoolListCtrl::dragLeaveEvent(QDragLeaveEvent* event) {
    m_dropLine.Hide();
    CEditListCtrl::dragLeaveEvent(event);
}

void CPoolListCtrl::dropEvent(QDropEvent* event) {
    m_dropLine.Hide();
    if (!DropRows(event->mimeData(), event->position().toPoint())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

bool CPoolListCtrl::DropRows(const QMimeData* dragged, QPoint position) {
    const QModelIndex target = indexAt(position);
    const std::vector<int> rows = m_model->RowsOfMimeData(dragged);
    if (!target.isValid() || rows.empty())
        return false;
    MoveRows(rows, target.row());
    return true;
}

} // namespace fw

#include "gui/lists/PoolListCtrl.h"

#include "core/lists/EditHistory.h"
#include "core/lists/PoolCommands.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ColumnSpec.h"
#include "core/util/Cp1252.h"
#include "core/util/UserInteraction.h"
#include "gui/lists/PoolModel.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/DlgSuchen.h"
#include "gui/ui/ListClipboard.h"
#include "gui/ui/ReportListCtrl.h"
#include "gui/ui/Texts.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>

#include <algorithm>

namespace fw {

namespace {
const QColor kFrameLine(0x80, 0x80, 0x80);
} // namespace

CPoolListCtrl::CPoolListCtrl(ListDocument& doc, CEditHistory& history, UserInteraction& interaction,
                             QWidget* parent)
    : CEditListCtrl(parent), m_doc(doc), m_history(history), m_interaction(interaction),
      m_model(new CPoolModel(doc, history, this)) {
    setModel(m_model);
    SetControlId(this, 504);
    SetLockedColumn(CPoolModel::ColumnAdr);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    const std::vector<ColumnHeader> headers = ParseColumnSpec(LoadResString(str::kColumnTitles));
    for (std::size_t i = 0; i < headers.size(); ++i)
        setColumnWidth(static_cast<int>(i),
                       CReportListCtrl::HeaderWidth(fontMetrics(), headers[i]));
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
    selectionModel()->select(QItemSelection(top, m_model->index(last, CPoolModel::ColumnCount - 1)),
                             QItemSelectionModel::Select);
    selectionModel()->setCurrentIndex(top, QItemSelectionModel::NoUpdate);
    scrollTo(top);
}

void CPoolListCtrl::WidenColumnsToRows(int rows) {
    const int padding = 20;
    for (int column = 0; column < CPoolModel::ColumnCount; ++column) {
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
    const EditResult result = m_model->CommitCell(row, column, text);
    if (result.status == EditStatus::CellRejected) {
        ShowResultMessage(result);
        return false;
    }
    if (result.status == EditStatus::Done)
        emit DocumentChanged();
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
    if (column < 0 || column >= CPoolModel::ColumnCount)
        column = CPoolModel::ColumnCa;
    const int row = SingleSelectedRow();
    if (row >= 0 && column != LockedColumn())
        BeginEdit(row, column);
}

void CPoolListCtrl::OnCut() {
    const std::vector<int> rows = SelectedRows();
    if (!rows.empty())
        SetListClipboardText(CutRows(m_doc, rows));
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
    Run([&](ListDocument& doc) {
        return inserting ? PasteInserting(doc, target, *text)
                         : PasteOverwriting(doc, target, *text);
    });
}

void CPoolListCtrl::OnPasteOverwriting() {
    Paste(false);
}

void CPoolListCtrl::OnPasteInserting() {
    Paste(true);
}

void CPoolListCtrl::OnInsertEmptyRow() {
    const int row = SingleSelectedRow();
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
    const EditResult result = lossless ? SearchPool(m_doc, bytes, SingleSelectedRow())
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
    const std::optional<ClipboardBytes> clipboard = ListClipboardText();
    const bool hasText = clipboard.has_value();
    // A cut is honoured only while the clipboard still holds its text.
    const bool cutPending = hasText && HonouredCut(m_doc.poolCut, clipboard->bytes) != nullptr;
    const bool many = SelectedRows().size() > 1;

    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto add = [&](int command, const QString& text, bool enabled, auto slot) {
        QAction* action = menu->addAction(text, this, slot);
        action->setObjectName(QString::number(command));
        action->setEnabled(enabled);
        return action;
    };
    add(CmdEditCell, ResText(str::kMenuEditCell), !many,
        [this] { OnEditCell(columnAt(m_contextX)); });
    add(CmdCut, ResText(str::kMenuCut), true, [this] { OnCut(); });
    add(CmdCopy, ResText(str::kMenuCopy), true, [this] { OnCopy(); });
    add(CmdPasteOverwriting, ResText(str::kMenuPasteOverwriting), hasText && !many,
        [this] { OnPasteOverwriting(); });
    add(CmdPasteInserting, ResText(cutPending ? str::kMenuPasteCutRows : str::kMenuPasteCopiedRows),
        hasText && !many, [this] { OnPasteInserting(); });
    add(CmdInsertEmptyRow, ResText(str::kMenuInsertEmptyRow), !many,
        [this] { OnInsertEmptyRow(); });
    add(CmdClearRows, ResText(str::kMenuClearRows), true, [this] { OnClearRows(); });
    add(CmdDeleteRows, ResText(str::kMenuDeleteRows), true, [this] { OnDeleteRows(); });
    add(CmdAddToBank, ResText(str::kMenuAddToBank), static_cast<bool>(m_currentBank),
        [this] { OnAddToBank(); });
    add(CmdSearch, ResText(str::kMenuSearch), m_search != nullptr, [this] { OnShowSearch(); });
    add(CmdSearchAgain, ResText(str::kMenuSearchAgain), m_search != nullptr,
        [this] { OnSearchAgain(); });
    menu->addSeparator();
    add(CmdUndo,
        m_history.CanUndo() ? QString::fromStdString(m_history.UndoText())
                            : ResText(str::kMenuUndo),
        m_history.CanUndo(), [this] { OnUndo(); })
        ->setShortcut(QKeySequence::Undo);
    add(CmdRedo,
        m_history.CanRedo() ? QString::fromStdString(m_history.RedoText())
                            : ResText(str::kMenuRedo),
        m_history.CanRedo(), [this] { OnRedo(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    menu->addSeparator();
    const auto print = [&](int command, int text) {
        return add(command, ResText(text), true, [this, command] { emit PrintRequested(command); });
    };
    print(CmdPrint, str::kMenuPrint)->setShortcut(QKeySequence::Print);
    print(CmdPrintPreview, str::kMenuPrintPreview);
    print(CmdExportPdf, str::kMenuExportPdf);
    print(CmdPageSetup, str::kMenuPageSetup);
    return menu;
}

void CPoolListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    const int x = event->reason() == QContextMenuEvent::Mouse ? event->pos().x() : -1;
    BuildContextMenu(x)->popup(event->globalPos());
}

bool CPoolListCtrl::HandleCtrlKey(int key) {
    const bool single = SelectedRows().size() == 1;
    switch (key) {
    case Qt::Key_C:
        OnCopy();
        return true;
    case Qt::Key_E:
        m_contextX = -1;
        OnEditCell(-1);
        return true;
    case Qt::Key_F:
        OnShowSearch();
        return true;
    case Qt::Key_M:
        OnDeleteRows();
        return true;
    case Qt::Key_N:
        OnClearRows();
        return true;
    case Qt::Key_O:
        if (single)
            OnPasteOverwriting();
        return true;
    case Qt::Key_V:
        OnPasteInserting();
        return true;
    case Qt::Key_X:
        OnCut();
        return true;
    case Qt::Key_Y:
        if (single)
            OnInsertEmptyRow();
        return true;
    default:
        return false;
    }
}

void CPoolListCtrl::keyPressEvent(QKeyEvent* event) {
    // Modifiers are read from each event: a flag kept between events sticks when the focus
    // leaves while a key is down.
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const int key = event->key();
    if (ctrl && key == Qt::Key_Z) {
        modifiers.testFlag(Qt::ShiftModifier) ? OnRedo() : OnUndo();
        return;
    }
    // Enter and Escape stay in the grid instead of pressing the dialog's buttons.
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
        SelectedRows().empty())
        return;
    if (key == Qt::Key_F3) {
        OnSearchAgain();
        return;
    }
    if (key == Qt::Key_Delete) {
        OnDeleteRows();
        return;
    }
    if (ctrl && HandleCtrlKey(key))
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
        cell.column() == CPoolModel::ColumnAdr) {
        OnAddToBank();
        return;
    }
    CEditListCtrl::mouseDoubleClickEvent(event);
}

void CPoolListCtrl::paintEvent(QPaintEvent* event) {
    CEditListCtrl::paintEvent(event);
    // Two lines on each side frame the grey fixed column.
    const int left = columnViewportPosition(CPoolModel::ColumnAdr);
    const int right = left + columnWidth(CPoolModel::ColumnAdr);
    QPainter painter(viewport());
    painter.setPen(kFrameLine);
    const int bottom = viewport()->height();
    for (const int x : {left, left + 1, right - 2, right - 1})
        painter.drawLine(x, 0, x, bottom);
}

void CPoolListCtrl::startDrag(Qt::DropActions) {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(m_model->mimeData(rows));
    drag->exec(Qt::MoveAction);
}

void CPoolListCtrl::dropEvent(QDropEvent* event) {
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

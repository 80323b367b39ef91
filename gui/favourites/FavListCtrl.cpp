#include "gui/favourites/FavListCtrl.h"

#include "core/editor/BankCommands.h"
#include "core/editor/PoolCommands.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ColumnSpec.h"
#include "core/util/Cp1252.h"
#include "core/util/UserInteraction.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/ListClipboard.h"
#include "gui/ui/ReportListCtrl.h"
#include "gui/ui/Texts.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <algorithm>
#include <string>

namespace fw {

std::optional<std::vector<int>> ParsePoolRows(const QByteArray& text) {
    std::vector<int> rows;
    for (const QByteArray& item : text.split(',')) {
        bool ok = false;
        const int row = item.trimmed().toInt(&ok);
        if (!ok || !ProgramPool::IsValidRow(row))
            return std::nullopt;
        rows.push_back(row);
    }
    return rows;
}

CFavListCtrl::CFavListCtrl(ListDocument& doc, EditHistory& history, UserInteraction& interaction,
                           int bank, QWidget* parent)
    : QTableView(parent), m_doc(doc), m_history(history), m_interaction(interaction),
      m_model(doc, bank) {
    SetControlId(this, kFirstListId + bank);
    // Before the model, as in the pool grid.
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setModel(&m_model);
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setEditTriggers(NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    // Widths from the column string's '#' fillers; the name takes the rest.
    const std::vector<ColumnHeader> headers =
        ParseColumnSpec(LoadResString(str::kBankColumnTitles));
    for (int column = 0; column < static_cast<int>(headers.size()); ++column)
        setColumnWidth(column, CReportListCtrl::HeaderWidth(
                                   fontMetrics(), headers[static_cast<std::size_t>(column)]));
    horizontalHeader()->setSectionResizeMode(BankModel::kColName, QHeaderView::Stretch);
    setAcceptDrops(true);
    setDragDropMode(DropOnly);
    // The drop line stands in for Qt's indicator.
    setDropIndicatorShown(false);
    CreateCommands();
    // Entries cut and then overwritten on the clipboard wait for no paste any more.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (m_doc.bankCut) {
            ForgetCutUnlessOnClipboard(m_doc.bankCut);
            viewport()->update();
        }
    });
}

std::vector<int> CFavListCtrl::SelectedPositions() const {
    std::vector<int> positions;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        if (index.row() < m_model.EntryCount())
            positions.push_back(index.row());
    std::sort(positions.begin(), positions.end());
    return positions;
}

void CFavListCtrl::Reload() {
    std::vector<int> selected;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        selected.push_back(index.row());
    m_model.Reload();
    for (int row : selected)
        if (row < m_model.rowCount())
            selectionModel()->select(m_model.index(row, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

int CFavListCtrl::InsertionPoint() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.front().row() : -1;
}

void CFavListCtrl::SelectRow(int row) {
    clearSelection();
    const QModelIndex index = m_model.index(row, 0);
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

void CFavListCtrl::CreateCommands() {
    using Needs = GridCommands::Needs;
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };
    const auto add = [this](int id, const QList<QKeySequence>& keys, std::function<void()> run,
                            Needs needs = Needs::Selection) {
        m_commands.Add(id, MenuText(205, std::to_string(id)), keys, std::move(run), needs);
    };
    add(kCmdDelete, {QKeySequence(Qt::Key_Delete)}, [this] { DeleteSelected(); });
    add(kCmdCopy, {ctrl(Qt::Key_C)}, [this] { CopySelected(); });
    add(kCmdCut, {ctrl(Qt::Key_X)}, [this] { CutSelected(); });
    add(kCmdPaste, {ctrl(Qt::Key_V)}, [this] { PasteClipboard(); });
    add(kCmdSearch, {ctrl(Qt::Key_F)}, [this] { emit SearchRequested(false); });
    add(kCmdSearchAgain, {QKeySequence(Qt::Key_F3)}, [this] { emit SearchRequested(true); });
    // The texts name the keys; undo and redo act with or without a selection.
    add(
        kCmdUndo, {ctrl(Qt::Key_Z)}, [this] { UndoStep(); }, Needs::Nothing);
    add(
        kCmdRedo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, [this] { RedoStep(); },
        Needs::Nothing);
}

void CFavListCtrl::UpdateCommands() {
    const bool hasEntries = !SelectedPositions().empty();
    for (const int id : {kCmdDelete, kCmdCopy, kCmdCut})
        m_commands[id]->setEnabled(hasEntries);
    m_commands[kCmdPaste]->setEnabled(ClipboardHasText());
    // The step names tell what an undo would take back: the history is shared with the pool.
    const std::string undo = m_history.UndoText();
    const std::string redo = m_history.RedoText();
    m_commands[kCmdUndo]->setText(
        ResText(str::kUndoMenuItem)
            .arg(undo.empty() ? ResText(str::kUndoPlain) : QString::fromStdString(undo)));
    m_commands[kCmdUndo]->setEnabled(m_history.CanUndo());
    m_commands[kCmdRedo]->setText(
        ResText(str::kRedoMenuItem)
            .arg(redo.empty() ? ResText(str::kRedoPlain) : QString::fromStdString(redo)));
    m_commands[kCmdRedo]->setEnabled(m_history.CanRedo());
}

std::unique_ptr<QMenu> CFavListCtrl::CreateContextMenu() {
    UpdateCommands();
    return m_commands.Menu(this, {kCmdDelete, kCmdCopy, kCmdCut, kCmdPaste, kCmdSearch,
                                  kCmdSearchAgain, 0, kCmdUndo, kCmdRedo});
}

void CFavListCtrl::RunStep(const std::function<EditResult(ListDocument&)>& command) {
    const CFavoritenDat before = m_doc.banks;
    const EditResult result = m_history.Run(m_doc, command);
    if (!before.SameBanks(m_doc.banks))
        emit DocumentChanged();
    ShowMessage(result.messageId, result.message);
}

void CFavListCtrl::ShowMessage(int messageId, const std::string& formatted) {
    if (messageId != 0)
        m_interaction.ShowMessage(formatted.empty() ? LoadResString(messageId) : formatted,
                                  MessageIcon::Stop);
}

void CFavListCtrl::DeleteSelected() {
    const std::vector<int> positions = SelectedPositions();
    if (positions.empty())
        return;
    // The deleted rows take their selection with them.
    clearSelection();
    RunStep([&](ListDocument& doc) { return DeleteBankEntries(doc, Bank(), positions); });
}

void CFavListCtrl::CutSelected() {
    if (const std::vector<int> positions = SelectedPositions(); !positions.empty())
        SetListClipboardText(CutBankEntries(m_doc, Bank(), positions));
    viewport()->update();
}

void CFavListCtrl::CopySelected() {
    if (const std::vector<int> positions = SelectedPositions(); !positions.empty())
        SetListClipboardText(CopyBankEntries(m_doc, Bank(), positions));
}

void CFavListCtrl::PasteClipboard() {
    const std::optional<ClipboardBytes> text = ListClipboardText();
    if (!text)
        return;
    // A character the list file cannot store would become '?' and name no program.
    if (!text->encodable) {
        ShowMessage(str::kClipboardNotCp1252);
        return;
    }
    const int position = InsertionPoint();
    RunStep(
        [&](ListDocument& doc) { return PasteBankEntries(doc, Bank(), position, text->bytes); });
}

void CFavListCtrl::SearchNext(const QString& text) {
    bool lossless = true;
    const std::string bytes = Utf8ToCp1252(text.toStdString(), &lossless);
    // A character outside the code page is in no program name.
    const EditResult result = lossless ? SearchBank(m_doc, Bank(), bytes, InsertionPoint())
                                       : MakeResult(EditStatus::NotFound, str::kSearchTextNotFound);
    if (result.status == EditStatus::Done)
        SelectRow(result.row);
    else
        ShowMessage(result.messageId);
}

void CFavListCtrl::UndoStep() {
    if (m_history.Undo(m_doc))
        emit DocumentChanged();
}

void CFavListCtrl::RedoStep() {
    if (m_history.Redo(m_doc))
        emit DocumentChanged();
}

void CFavListCtrl::AddPoolRows(std::vector<int> rows, int position) {
    RunStep([&](ListDocument& doc) { return AddToBank(doc, std::move(rows), Bank(), position); });
}

void CFavListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        // The keyboard's way to the menu, which opens below the current row.
        const QRect row = visualRect(currentIndex());
        const QPoint at = row.isValid() ? row.bottomLeft() : QPoint(0, 0);
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
        contextMenuEvent(&menu);
        return;
    }
    // The view's own Ctrl+C would put the current cell on the clipboard: the commands' keys
    // are ours even when they do nothing.
    if (!m_commands.RunKey(*event, selectionModel()->hasSelection(), [this] { UpdateCommands(); }))
        QTableView::keyPressEvent(event);
}

void CFavListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    CreateContextMenu()->exec(event->globalPos());
}

void CFavListCtrl::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(kPoolRowsMimeType))
        event->acceptProposedAction();
}

void CFavListCtrl::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->mimeData()->hasFormat(kPoolRowsMimeType))
        return;
    event->acceptProposedAction();
    const int position = DropPosition(event->position().toPoint());
    m_dropLine.Show(position < 0 ? m_model.EntryCount() : position);
}

void CFavListCtrl::dragLeaveEvent(QDragLeaveEvent* event) {
    m_dropLine.Hide();
    QTableView::dragLeaveEvent(event);
}

int CFavListCtrl::DropPosition(QPoint point) const {
    const int row = indexAt(point).row();
    return row >= 0 && row < m_model.EntryCount() ? row : -1;
}

void CFavListCtrl::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    m_dropLine.Paint();
}

void CFavListCtrl::dropEvent(QDropEvent* event) {
    m_dropLine.Hide();
    const std::optional<std::vector<int>> rows =
        ParsePoolRows(event->mimeData()->data(kPoolRowsMimeType));
    if (!rows)
        return;
    event->acceptProposedAction();
    const int position = DropPosition(event->position().toPoint());
    // After the drag has ended: a refusal's message box must not run inside it.
    QMetaObject::invokeMethod(
        this, [this, rows = *rows, position] { AddPoolRows(rows, position); },
        Qt::QueuedConnection);
}

} // namespace fw

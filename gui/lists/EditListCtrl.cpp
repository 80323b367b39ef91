#include "gui/lists/EditListCtrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace fw {

CCellEdit::CCellEdit(CEditListCtrl& owner, QWidget* parent) : QLineEdit(parent), m_owner(owner) {
    setObjectName("118");
}

bool CCellEdit::event(QEvent* event) {
    // Tab and Backtab never reach keyPressEvent: the focus chain would take them first.
    if (event->type() != QEvent::KeyPress)
        return QLineEdit::event(event);
    const auto* key = static_cast<QKeyEvent*>(event);
    int columnStep = 0;
    int rowStep = 0;
    switch (key->key()) {
    case Qt::Key_Escape:
        m_owner.CloseEditor();
        return true;
    case Qt::Key_Tab:
        columnStep = 1;
        break;
    case Qt::Key_Backtab:
        columnStep = -1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        columnStep = CEditListCtrl::kFirstEditableColumn;
        rowStep = 1;
        break;
    case Qt::Key_Down:
        rowStep = 1;
        break;
    case Qt::Key_Up:
        rowStep = -1;
        break;
    default:
        return QLineEdit::event(event);
    }
    m_owner.MoveEdit(columnStep, rowStep);
    return true;
}

void CCellEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A menu or another window taking the focus for a moment is no end of the edit.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        m_owner.EditorLostFocus();
}

CEditListCtrl::CEditListCtrl(QWidget* parent) : QTableView(parent) {
    // The grid opens its editor itself; typing and F2 would open Qt's own.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTabKeyNavigation(false);
}

bool CEditListCtrl::IsEditing() const {
    return m_editor != nullptr && m_editor->isVisible();
}

void CEditListCtrl::BeginEdit(int row, int column) {
    if (model() == nullptr || model()->rowCount() == 0 || column == m_lockedColumn || column < 0 ||
        column >= model()->columnCount())
        return;
    row = std::clamp(row, 0, model()->rowCount() - 1);
    if (m_editor == nullptr)
        m_editor = new CCellEdit(*this, viewport());
    m_editRow = row;
    m_editColumn = column;
    const QModelIndex cell = model()->index(row, column);
    // The edited row is the selected one, so the row commands and keys act on it afterwards.
    selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect |
                                                QItemSelectionModel::Rows);
    scrollTo(cell);
    m_editor->setFont(font());
    m_editor->setText(model()->data(cell, Qt::EditRole).toString());
    PlaceEditor();
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
    m_editor->selectAll();
}

void CEditListCtrl::PlaceEditor() {
    if (m_editor == nullptr)
        return;
    const QRect cell = visualRect(model()->index(m_editRow, m_editColumn));
    m_editor->setGeometry(cell.adjusted(0, -1, 0, 0));
}

bool CEditListCtrl::CommitEditor() {
    if (!IsEditing())
        return true;
    m_busy = true;
    m_rejected = !CommitEdit(m_editRow, m_editColumn, m_editor->text());
    m_busy = false;
    return !m_rejected;
}

bool CEditListCtrl::CommitEdit(int row, int column, const QString& text) {
    return model()->setData(model()->index(row, column), text.trimmed(), Qt::EditRole);
}

void CEditListCtrl::CloseEditor() {
    if (!IsEditing())
        return;
    m_busy = true;
    m_rejected = false;
    const bool hadFocus = m_editor->hasFocus();
    m_editor->hide();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    m_busy = false;
}

void CEditListCtrl::MoveEdit(int columnStep, int rowStep) {
    if (!CommitEditor()) {
        m_editor->setFocus(Qt::OtherFocusReason);
        m_editor->selectAll();
        return;
    }
    const int lastColumn = model()->columnCount() - 1;
    int column =
        columnStep == kFirstEditableColumn ? FirstEditableColumn() : m_editColumn + columnStep;
    if (column == m_lockedColumn)
        column += columnStep < 0 ? -1 : 1;
    if (column < 0)
        column = lastColumn == m_lockedColumn ? lastColumn - 1 : lastColumn;
    else if (column > lastColumn)
        column = FirstEditableColumn();
    BeginEdit(std::max(0, m_editRow + rowStep), column);
}

void CEditListCtrl::EditorLostFocus() {
    if (m_busy || !IsEditing())
        return;
    if (CommitEditor()) {
        m_busy = true;
        m_editor->hide();
        m_busy = false;
        return;
    }
    // The check has told the user why; the caret goes back once its message is gone.
    QTimer::singleShot(0, m_editor, [editor = m_editor] {
        if (editor->isVisible()) {
            editor->activateWindow();
            editor->setFocus(Qt::OtherFocusReason);
            editor->selectAll();
        }
    });
}

void CEditListCtrl::mousePressEvent(QMouseEvent* event) {
    if (IsEditing()) {
        setFocus(Qt::MouseFocusReason);
        if (m_rejected)
            return;
    }
    QTableView::mousePressEvent(event);
}

void CEditListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !cell.isValid()) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    BeginEdit(cell.row(), cell.column());
}

void CEditListCtrl::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    if (IsEditing())
        PlaceEditor();
}

void CEditListCtrl::updateGeometries() {
    QTableView::updateGeometries();
    if (IsEditing())
        PlaceEditor();
}

} // namespace fw

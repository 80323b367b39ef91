#pragma once

#include <QLineEdit>
#include <QTableView>

namespace fw {

class CEditListCtrl;

// The in-place editor of a grid cell. It hands Tab, Shift+Tab, Enter, Up, Down and Escape
// to its grid instead of letting the dialog or the focus chain take them.
class CCellEdit : public QLineEdit {
    Q_OBJECT
public:
    CCellEdit(CEditListCtrl& owner, QWidget* parent);

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CEditListCtrl& m_owner;
};

// A table in which one cell at a time is edited in place: double click opens the editor,
// the keys move it to the neighbouring cells, a value the check refuses keeps it open.
class CEditListCtrl : public QTableView {
    Q_OBJECT
public:
    // Moving with Enter goes to the first editable column.
    static constexpr int kFirstEditableColumn = -32000;

    explicit CEditListCtrl(QWidget* parent = nullptr);

    void SetLockedColumn(int column) { m_lockedColumn = column; }
    int LockedColumn() const { return m_lockedColumn; }

    void BeginEdit(int row, int column);
    // Commits the open editor's text; false when the check refused it (the editor stays).
    bool CommitEditor();
    // Closes the editor without writing.
    void CloseEditor();
    // Commits and opens the editor on the neighbouring cell.
    void MoveEdit(int columnStep, int rowStep);

    bool IsEditing() const;
    int EditRow() const { return m_editRow; }
    int EditColumn() const { return m_editColumn; }
    CCellEdit* Editor() const { return m_editor; }

    // The editor's focus went elsewhere: commit, or keep editing a refused value.
    void EditorLostFocus();

protected:
    // Checks and writes the edited text; false refuses it. The base writes through the model.
    virtual bool CommitEdit(int row, int column, const QString& text);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    void PlaceEditor();
    int FirstEditableColumn() const { return m_lockedColumn == 0 ? 1 : 0; }

    CCellEdit* m_editor = nullptr;
    int m_editRow = -1;
    int m_editColumn = -1;
    int m_lockedColumn = -1;
    bool m_rejected = false;
    bool m_busy = false; // committing or closing: the focus changes this causes are ours
};

} // namespace fw

#pragma once

#include "core/editor/Duplicates.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace fw {

class CDlgProgrammpool;
class CPoolListCtrl;

// The groups of duplicate programs of the edited list: choosing a group selects its rows in the
// editor's grid (a place, that row); Remove deletes the duplicates as one undo step. The list
// follows every change of the document while the window is shown. Esc and Close close it.
class DuplicatesWindow : public QDialog {
    Q_OBJECT
public:
    DuplicatesWindow(ListDocument& doc, CPoolListCtrl& grid, QWidget* parent = nullptr);

    // Finds the groups again under the chosen rule.
    void Refresh();
    // Removes the duplicates through the grid, as one undo step.
    void RemoveAll();

    const std::vector<DuplicateGroup>& Groups() const { return m_groups; }
    QTreeWidget* GroupList() const { return m_list; }
    QLabel* Summary() const { return m_summary; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    MatchRule Rule() const;
    DuplicateKeep Keep() const;
    void OnCurrentItem();

    ListDocument& m_doc;
    CPoolListCtrl& m_grid;
    std::vector<DuplicateGroup> m_groups;
    QRadioButton* m_byProgram = nullptr;
    QRadioButton* m_byName = nullptr;
    QRadioButton* m_keepFirst = nullptr;
    QRadioButton* m_keepBanked = nullptr;
    QTreeWidget* m_list = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_remove = nullptr;
};

// Adds "Find duplicates..." to the editor's Tools menu; it shows the editor's one window.
void AddDuplicatesTool(CDlgProgrammpool& editor);

} // namespace fw

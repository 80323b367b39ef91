#pragma once

#include "core/editor/ListDiff.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <array>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;
class QTreeWidget;

namespace fw {

class CDlgProgrammpool;

// The pairs of a comparison as one table: the mark, then the left place and its eleven fields,
// then the right place and its fields. The window shows the left and right halves in two views
// that share the rows and their selection.
class ComparisonModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kMarkColumn = 0;
    static constexpr int kLeftAdr = 1;
    static constexpr int kRightAdr = kLeftAdr + kGridColumnCount;
    static constexpr int kColumnCount = kRightAdr + kGridColumnCount;

    ComparisonModel(const ListDocument& left, const ListDocument& right, QObject* parent = nullptr);

    // Shows the pairs whose marks are on; the sides must be as they were compared.
    void Show(const ListDiff* diff, const std::array<bool, kPairMarkCount>& shown);
    // The pair a row shows.
    int PairOfRow(int row) const { return m_rows[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const ListDocument& m_left;
    const ListDocument& m_right;
    const ListDiff* m_diff = nullptr;
    std::vector<int> m_rows;
};

// Two lists side by side, their programs paired and marked, their banks compared. With the
// editor of the left list, the chosen right-hand programs can be taken over into it as one undo
// step; without one (the receiver's list against its file) the window only shows.
class ListCompareWindow : public QDialog {
    Q_OBJECT
public:
    // editor: the left list is the editor's document; nullptr: left is shown only.
    ListCompareWindow(CDlgProgrammpool* editor, const ListDocument& left, ListDocument right,
                      const QString& leftName, const QString& rightName, QWidget* parent = nullptr);

    const ListDiff& Diff() const { return m_diff; }
    QTableView* LeftGrid() const { return m_leftGrid; }
    QTableView* RightGrid() const { return m_rightGrid; }
    ComparisonModel* Model() const { return m_model; }
    QCheckBox* Filter(PairMark mark) const { return m_filters[static_cast<int>(mark)]; }
    QPushButton* TakeOverButton() const { return m_takeOver; }
    QRadioButton* AtEndChoice() const { return m_atEnd; }
    QLabel* Status() const { return m_status; }
    QTreeWidget* BankTable() const { return m_banks; }

    // Takes the selected rows' right-hand programs into the editor's list, then compares anew.
    void OnTakeOver();

private:
    // Compares the two lists as they now stand and shows the result.
    void Recompare();
    void ApplyFilters();

    CDlgProgrammpool* m_editor;
    ListDocument m_leftCopy; // the left list when no editor holds it
    const ListDocument& m_left;
    ListDocument m_right;
    ListDiff m_diff;
    ComparisonModel* m_model = nullptr;
    QTableView* m_leftGrid = nullptr;
    QTableView* m_rightGrid = nullptr;
    std::array<QCheckBox*, kPairMarkCount> m_filters{};
    QLabel* m_counts = nullptr;
    QLabel* m_status = nullptr; // what the last take over did
    QPushButton* m_takeOver = nullptr;
    QRadioButton* m_atPlace = nullptr;
    QRadioButton* m_atEnd = nullptr;
    QTreeWidget* m_banks = nullptr;
};

} // namespace fw

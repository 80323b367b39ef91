#pragma once

#include "core/util/ColumnSpec.h"

#include <QTreeWidget>

#include <vector>

namespace fw {

// Base of the small report-view lists: one row per item, full-row selection, columns built
// from a column string ("<Adr###|^Ca|Name") of the string table.
class CReportListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CReportListCtrl(QWidget* parent = nullptr);

    // Replaces the columns. Each is as wide as its text with the '#' fillers plus 15 pixels.
    void SetColumns(int stringId);
    void SetColumns(const QString& titles);
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    QString GetColumnText(int column) const;

    // The row when exactly one row is selected, else -1.
    int GetSelectedIndex() const;
    // With exclusive set every other row is deselected first. A row out of range changes nothing.
    void SelectRow(int row, bool exclusive);
    int RowCount() const { return topLevelItemCount(); }

    // Widens a column to width; never narrows it.
    void GrowColumn(int column, int width);
    // Width a column needs for its header: the text with its '#' fillers plus 15 pixels.
    // Static so that the table views of the big grids size their columns the same way.
    static int HeaderWidth(const QFontMetrics& metrics, const ColumnHeader& header);

protected:
    // A new row's cells take their column's alignment.
    void AlignCells(QTreeWidgetItem* row) const;

private:
    std::vector<ColumnHeader> m_columns;
};

} // namespace fw

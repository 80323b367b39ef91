#pragma once

class QTableView;

namespace fw {

// The line a table view draws between two rows while rows dragged over it would land there:
// Qt's own indicator frames a single cell, which says nothing about "between".
class RowDropLine {
public:
    explicit RowDropLine(QTableView& view) : m_view(view) {}

    // The line above row; the row count puts it below the last row, -1 takes it away.
    void Show(int row);
    void Hide() { Show(-1); }
    int Row() const { return m_row; }
    // Draws the line over the view's viewport; the view calls it at the end of its paintEvent.
    void Paint() const;

private:
    QTableView& m_view;
    int m_row = -1;
};

} // namespace fw

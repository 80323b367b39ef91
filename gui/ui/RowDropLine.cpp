#include "gui/ui/RowDropLine.h"

#include <QPainter>
#include <QPen>
#include <QTableView>

namespace fw {

void RowDropLine::Show(int row) {
    if (row == m_row)
        return;
    m_row = row;
    m_view.viewport()->update();
}

void RowDropLine::Paint() const {
    const int rows = m_view.model() != nullptr ? m_view.model()->rowCount() : 0;
    if (m_row < 0 || m_row > rows || rows == 0)
        return;
    const int y = m_row < rows ? m_view.rowViewportPosition(m_row)
                               : m_view.rowViewportPosition(rows - 1) + m_view.rowHeight(rows - 1);
    QPainter painter(m_view.viewport());
    painter.setPen(QPen(m_view.palette().color(QPalette::Highlight), 2));
    painter.drawLine(0, y, m_view.viewport()->width(), y);
}

} // namespace fw

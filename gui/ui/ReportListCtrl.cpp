#include "gui/ui/ReportListCtrl.h"

#include "gui/ui/Texts.h"

#include <QHeaderView>

#include <algorithm>

namespace fw {
namespace {

constexpr int kHeaderPadding = 15;
constexpr int kMinimumColumnWidth = 20;

Qt::Alignment ToQt(ColumnAlignment alignment) {
    switch (alignment) {
    case ColumnAlignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnAlignment::Centre:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case ColumnAlignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

CReportListCtrl::CReportListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The owners sort with their own comparisons; a header click is only a signal.
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
}

void CReportListCtrl::SetColumns(int stringId) {
    SetColumns(ResText(stringId));
}

void CReportListCtrl::SetColumns(const QString& titles) {
    m_columns = ParseColumnSpec(titles.toStdString());
    const int count = ColumnCount();
    setColumnCount(count);
    QTreeWidgetItem* headerRow = headerItem();
    for (int i = 0; i < count; ++i) {
        const ColumnHeader& column = m_columns[static_cast<std::size_t>(i)];
        headerRow->setText(i, QString::fromStdString(column.text));
        headerRow->setTextAlignment(i, ToQt(column.alignment));
        setColumnWidth(i, std::max(kMinimumColumnWidth, HeaderWidth(fontMetrics(), column)));
    }
}

QString CReportListCtrl::GetColumnText(int column) const {
    if (column < 0 || column >= ColumnCount())
        return {};
    return headerItem()->text(column);
}

int CReportListCtrl::GetSelectedIndex() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.size() != 1)
        return -1;
    return indexOfTopLevelItem(selected.front());
}

void CReportListCtrl::SelectRow(int row, bool exclusive) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr)
        return;
    if (exclusive)
        clearSelection();
    item->setSelected(true);
}

void CReportListCtrl::GrowColumn(int column, int width) {
    if (column >= 0 && column < columnCount() && columnWidth(column) < width)
        setColumnWidth(column, width);
}

int CReportListCtrl::HeaderWidth(const QFontMetrics& metrics, const ColumnHeader& header) {
    return metrics.horizontalAdvance(QString::fromStdString(header.measureText)) + kHeaderPadding;
}

void CReportListCtrl::AlignCells(QTreeWidgetItem* row) const {
    for (int i = 0; i < ColumnCount(); ++i)
        row->setTextAlignment(i, ToQt(m_columns[static_cast<std::size_t>(i)].alignment));
}

} // namespace fw

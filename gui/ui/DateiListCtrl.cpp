#include "gui/ui/DateiListCtrl.h"

#include "core/firmware/Receiverdat.h"
#include "core/lists/ListenDat.h"
#include "core/safety/SafetyCopyStore.h"
#include "core/settings/GrundDat.h"
#include "core/util/Cp1252.h"
#include "core/util/SizeText.h"
#include "gui/ui/Texts.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstdint>

namespace fw {
namespace {

constexpr int kCellPadding = 20;
constexpr int kEmptyTextTop = 10;
constexpr int kRecordRole = Qt::UserRole;

QString SizeCell(std::int32_t bytes) {
    // A negative size can only be a fault upstream; it must not show as billions of KB.
    return QString::fromStdString(
        CatalogueSizeText(static_cast<std::uint64_t>(std::max(bytes, 0))));
}

// Texts read from the files are Windows-1252 bytes.
QString FileText(const std::string& bytes) {
    return QString::fromStdString(Cp1252ToUtf8(bytes));
}

// Names come from the file system, which speaks UTF-8.
QString FileName(const std::string& name) {
    return QString::fromStdString(name);
}

} // namespace

CDateiListCtrl::CDateiListCtrl(QWidget* parent) : CReportListCtrl(parent) {}

void CDateiListCtrl::SetEmptyTextId(int stringId) {
    m_emptyTextId = stringId;
    viewport()->update();
}

QString CDateiListCtrl::EmptyText() const {
    return m_emptyTextId > 0 ? ResText(m_emptyTextId) : QString();
}

bool CDateiListCtrl::ShowsEmptyText() const {
    return RowCount() == 0 && !EmptyText().isEmpty();
}

int CDateiListCtrl::AddFirmwareRow(int row, const CReceiverdat& record, int recordIndex) {
    return AddRow(
        row, {FileName(record.m_strFileName), FileText(record.m_version), SizeCell(record.m_size)},
        recordIndex);
}

int CDateiListCtrl::AddListRow(int row, const CListenDat& record, int recordIndex) {
    return AddRow(row,
                  {FileName(record.m_strFileName), FileText(record.m_strName),
                   FileText(record.m_strType), SizeCell(record.m_nSize)},
                  recordIndex);
}

int CDateiListCtrl::AddSettingsRow(int row, const CGrundDat& record, int recordIndex) {
    return AddRow(row, {FileName(record.m_strFileName), SizeCell(record.m_size)}, recordIndex);
}

int CDateiListCtrl::AddSafetyCopyRow(int row, const SafetyCopy& copy, int recordIndex) {
    return AddRow(row,
                  {QString::fromStdString(LocalDateTimeText(copy.taken)),
                   QString::fromStdString(copy.model), FileName(copy.fileName)},
                  recordIndex);
}

int CDateiListCtrl::AddRow(int row, const QStringList& cells, int recordIndex) {
    // Only the columns set up get cells; the file name shows even without any.
    const int shown = std::min<int>(static_cast<int>(cells.size()), std::max(ColumnCount(), 1));
    auto* item = new QTreeWidgetItem;
    AlignCells(item);
    item->setData(0, kRecordRole, recordIndex);
    const int at = std::clamp(row, 0, RowCount());
    insertTopLevelItem(at, item);
    for (int column = 0; column < shown; ++column)
        SetCellText(at, column, cells[column]);
    m_nextIndex = at + 1;
    if (RowCount() == 1)
        viewport()->update(); // the hint goes
    return at;
}

void CDateiListCtrl::SetCellText(int row, int column, const QString& text) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr)
        return;
    item->setText(column, text);
    GrowColumn(column, fontMetrics().horizontalAdvance(text) + kCellPadding);
}

void CDateiListCtrl::DeleteRow(int row) {
    delete takeTopLevelItem(row);
    if (RowCount() == 0)
        viewport()->update();
}

void CDateiListCtrl::DeleteAllRows() {
    clear();
    // Appending after a refill must start at the top again.
    m_nextIndex = 0;
    viewport()->update();
}

int CDateiListCtrl::GetSelectedRecord() const {
    return GetRecordIndex(GetSelectedIndex());
}

int CDateiListCtrl::GetRecordIndex(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr ? item->data(0, kRecordRole).toInt() : -1;
}

int CDateiListCtrl::GetFocusedIndex() const {
    QTreeWidgetItem* item = currentItem();
    return item != nullptr ? indexOfTopLevelItem(item) : -1;
}

int CDateiListCtrl::FindRow(const QString& name) const {
    for (int row = 0; row < RowCount(); ++row) {
        if (topLevelItem(row)->text(0).compare(name, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

void CDateiListCtrl::SortRows(const std::function<bool(int, int)>& recordLess) {
    QList<QTreeWidgetItem*> rows;
    QList<QTreeWidgetItem*> selected = selectedItems();
    QTreeWidgetItem* focused = currentItem();
    while (RowCount() > 0)
        rows.append(takeTopLevelItem(0));
    std::stable_sort(
        rows.begin(), rows.end(), [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
            return recordLess(a->data(0, kRecordRole).toInt(), b->data(0, kRecordRole).toInt());
        });
    addTopLevelItems(rows);
    // Taking the rows out dropped their selection; the user's choice survives the sort.
    if (focused != nullptr)
        setCurrentItem(focused, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* item : selected)
        item->setSelected(true);
}

void CDateiListCtrl::paintEvent(QPaintEvent* event) {
    CReportListCtrl::paintEvent(event);
    if (RowCount() > 0)
        return;
    const QString text = EmptyText();
    if (text.isEmpty())
        return;
    // The viewport starts below the header, so the 10 pixels count from the header's bottom.
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    painter.setFont(font());
    const QRect area = viewport()->rect().adjusted(0, kEmptyTextTop, 0, 0);
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
}

} // namespace fw

#include "gui/lists/PoolModel.h"

#include "core/editor/BankCommands.h"
#include "core/editor/EditHistory.h"
#include "core/editor/PoolCommands.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ColumnSpec.h"
#include "core/util/Cp1252.h"
#include "gui/ui/ListClipboard.h"
#include "gui/ui/Texts.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QMimeData>
#include <QPalette>

namespace fw {

namespace {
bool IsFieldColumn(int column) {
    return column > PoolModel::ColumnAdr && column < PoolModel::ColumnCount;
}
} // namespace

PoolModel::PoolModel(ListDocument& doc, EditHistory& history, QObject* parent)
    : QAbstractTableModel(parent), m_doc(doc), m_history(history) {}

int PoolModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ProgramPool::RowCount();
}

int PoolModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PoolModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int row = index.row();
    const int column = index.column();
    if ((role == Qt::ForegroundRole || role == Qt::FontRole) && m_doc.poolCut &&
        m_doc.poolCut->Contains(row))
        return CutRowLook(role, column == ColumnAdr);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (column == ColumnAdr) {
            const bool marked = static_cast<std::size_t>(row) < m_marks.size() &&
                                m_marks[static_cast<std::size_t>(row)];
            return QString::fromStdString(AdrColumnText(row, marked));
        }
        return QString::fromStdString(Cp1252ToUtf8(m_doc.pool.Cell(row, FieldOfColumn(column))));
    case Qt::BackgroundRole:
        // The fixed column's grey, from the palette so that it stays dark on a dark desktop.
        return column == ColumnAdr ? QVariant(QGuiApplication::palette().color(QPalette::Mid))
                                   : QVariant();
    case Qt::FontRole:
        if (column == ColumnAdr) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant PoolModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    const std::vector<ColumnHeader> headers = ParseColumnSpec(LoadResString(str::kColumnTitles));
    if (static_cast<std::size_t>(section) >= headers.size())
        return {};
    return QString::fromStdString(headers[static_cast<std::size_t>(section)].text);
}

Qt::ItemFlags PoolModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    Qt::ItemFlags result =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (IsFieldColumn(index.column()))
        result |= Qt::ItemIsEditable;
    return result;
}

bool PoolModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) ||
        !IsFieldColumn(index.column()))
        return false;
    const EditResult result = CommitCell(index.row(), index.column(), value.toString());
    return result.status == EditStatus::Done || result.status == EditStatus::NothingToDo;
}

namespace {
// The rows as "4,7,9", which the bank lists read too; beside them the grid that gave them.
const QString kRowsType = QStringLiteral("application/x-flashwerk-pool-rows");
const QString kOwnerType = QStringLiteral("application/x-flashwerk-pool-owner");
} // namespace

QStringList PoolModel::mimeTypes() const {
    return {kRowsType};
}

QMimeData* PoolModel::mimeData(const QModelIndexList& indexes) const {
    QStringList rows;
    for (const QModelIndex& index : indexes)
        if (checkIndex(index, CheckIndexOption::IndexIsValid))
            rows << QString::number(index.row());
    auto* data = new QMimeData;
    data->setData(kRowsType, rows.join(',').toLatin1());
    data->setData(kOwnerType, OwnerToken().toLatin1());
    return data;
}

QString PoolModel::OwnerToken() const {
    return QString("%1/%2")
        .arg(QCoreApplication::applicationPid())
        .arg(reinterpret_cast<quintptr>(this));
}

std::vector<int> PoolModel::RowsOfMimeData(const QMimeData* data) const {
    std::vector<int> rows;
    // Rows dragged from another grid or another running program are no rows of this pool.
    if (data == nullptr || QString::fromLatin1(data->data(kOwnerType)) != OwnerToken())
        return rows;
    for (const QByteArray& text : data->data(kRowsType).split(',')) {
        bool ok = false;
        const int row = text.toInt(&ok);
        if (ok)
            rows.push_back(row);
    }
    return SortedItems(std::move(rows), kPoolRows);
}

EditResult PoolModel::CommitCell(int row, int column, const QString& text) {
    bool lossless = true;
    const std::string typed = text.toStdString();
    std::string bytes = Utf8ToCp1252(typed, &lossless);
    if (!lossless) {
        m_lastCommit =
            MakeResult(EditStatus::CellRejected, str::kTextNotStorable, str::kStepEditCell);
        m_lastCommit.message = UnstorableTextMessage(typed);
        return m_lastCommit;
    }
    m_lastCommit = m_history.Run(
        m_doc, [&](ListDocument& doc) { return EditCell(doc, row, column, std::move(bytes)); });
    if (m_lastCommit.status == EditStatus::Done) {
        const QModelIndex changed = this->index(row, column);
        emit dataChanged(changed, changed);
    }
    return m_lastCommit;
}

void PoolModel::SetMarkedBank(int bank) {
    m_markedBank = bank;
    Refresh();
}

void PoolModel::Refresh() {
    m_marks = m_markedBank >= 0 ? PoolMarks(m_doc.banks, m_markedBank) : std::vector<bool>();
    emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

} // namespace fw

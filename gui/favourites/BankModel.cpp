#include "gui/favourites/BankModel.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ColumnSpec.h"
#include "core/util/Cp1252.h"
#include "gui/ui/ListClipboard.h"

namespace fw {

BankModel::BankModel(const ListDocument& doc, int bank, QObject* parent)
    : QAbstractTableModel(parent), m_doc(doc), m_bank(bank) {}

void BankModel::Reload() {
    beginResetModel();
    endResetModel();
}

void BankModel::ProgramChanged(int address) {
    for (int row = 0; row < EntryCount(); ++row) {
        if (m_doc.banks.GetAddress(m_bank, row) == address) {
            const QModelIndex name = index(row, kColName);
            emit dataChanged(name, name, {Qt::DisplayRole});
        }
    }
}

int BankModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : EntryCount() + 1;
}

int BankModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant BankModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || index.row() >= EntryCount())
        return {};
    if ((role == Qt::ForegroundRole || role == Qt::FontRole) && m_doc.bankCut &&
        m_doc.bankCut->bank == m_bank && m_doc.bankCut->Contains(index.row()))
        return CutRowLook(role);
    if (role == Qt::TextAlignmentRole && index.column() != kColName)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const int address = m_doc.banks.GetAddress(m_bank, index.row());
    switch (index.column()) {
    case kColPosition:
        return index.row();
    case kColName:
        // An address outside the pool shows no name, as an empty pool row does.
        if (!ProgramPool::IsValidRow(address))
            return QString();
        return QString::fromStdString(Cp1252ToUtf8(m_doc.pool.Cell(address, kFieldName)));
    default:
        return address;
    }
}

QVariant BankModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    const std::vector<ColumnHeader> headers =
        ParseColumnSpec(LoadResString(str::kBankColumnTitles));
    if (static_cast<std::size_t>(section) >= headers.size())
        return {};
    return QString::fromStdString(headers[static_cast<std::size_t>(section)].text);
}

} // namespace fw

#include "gui/app/LogbookModel.h"

#include "core/res/StringIds.h"
#include "gui/ui/Texts.h"

namespace fw {

LogbookModel::LogbookModel(std::vector<LogbookRecord> records, QObject* parent)
    : QAbstractTableModel(parent), m_records(std::move(records)) {
    for (const LogbookRecord& record : m_records)
        m_fields.push_back(LogbookFields(record));
    SetFilter({});
}

void LogbookModel::SetFilter(const QString& filter) {
    beginResetModel();
    m_shown.clear();
    const std::string words = filter.toStdString();
    for (std::size_t i = 0; i < m_records.size(); ++i)
        if (LogbookRecordMatches(m_records[i], words))
            m_shown.push_back(i);
    endResetModel();
}

int LogbookModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int LogbookModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kLogbookColumns);
}

QVariant LogbookModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const QString text =
        QString::fromStdString(m_fields[m_shown[static_cast<std::size_t>(index.row())]]
                                       [static_cast<std::size_t>(index.column())]);
    // A message of several lines fits its cell on one; the tip shows it as it was.
    if (role == Qt::DisplayRole)
        return QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (role == Qt::ToolTipRole && !text.isEmpty())
        return text;
    return {};
}

QVariant LogbookModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return ResText(str::kFirstLogbookColumn + section);
}

} // namespace fw

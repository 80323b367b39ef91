#pragma once

#include "core/app/Logbook.h"

#include <QAbstractTableModel>

#include <array>
#include <string>
#include <vector>

namespace fw {

// The logbook's records as a read-only table in the order given (newest first), showing only the
// records the filter matches.
class LogbookModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LogbookModel(std::vector<LogbookRecord> records, QObject* parent = nullptr);

    void SetFilter(const QString& filter);
    int RecordCount() const { return static_cast<int>(m_records.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<LogbookRecord> m_records;
    std::vector<std::array<std::string, kLogbookColumns>> m_fields;
    std::vector<std::size_t> m_shown; // indexes into m_records
};

} // namespace fw

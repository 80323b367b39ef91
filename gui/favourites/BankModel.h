#pragma once

#include "core/editor/ListDocument.h"

#include <QAbstractTableModel>

namespace fw {

// One favourite bank as a table: a row per entry and a trailing empty row that stands for the
// place after the last entry. The document is read live; Reload() follows its changes.
class BankModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kColPosition, kColName, kColAddress, kColumnCount };

    BankModel(const ListDocument& doc, int bank, QObject* parent = nullptr);

    int Bank() const { return m_bank; }
    int EntryCount() const { return m_doc.banks.GetCount(m_bank); }
    void Reload();
    // The program at address changed in its cells: its entries show its name again.
    void ProgramChanged(int address);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const ListDocument& m_doc;
    int m_bank;
};

} // namespace fw

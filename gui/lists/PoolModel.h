#pragma once

#include "core/editor/ListDocument.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace fw {

class EditHistory;

// The program pool as the grid shows it: always 4000 rows, the address column in front of
// the eleven fields. Texts are Windows-1252 in the document and Unicode here.
class PoolModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column : int {
        ColumnAdr = 0,
        ColumnCa,
        ColumnName,
        ColumnFrequency,
        ColumnPolarisation,
        ColumnSymbolRate,
        ColumnFec,
        ColumnSid,
        ColumnVideoPid,
        ColumnAudioPid,
        ColumnPcr,
        ColumnSatellite,
        ColumnCount
    };

    PoolModel(ListDocument& doc, EditHistory& history, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit of a field cell, run as one undo step; false when the cell check refused it.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Rows travel in a drag as their numbers, under a type only this grid reads.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    // The dragged rows when they come from this model, else none.
    std::vector<int> RowsOfMimeData(const QMimeData* data) const;

    // The cell check's verdict on text for a field cell, committed when accepted.
    EditResult CommitCell(int row, int column, const QString& text);
    const EditResult& LastCommit() const { return m_lastCommit; }

    // The " =" marks follow this bank; -1 shows none.
    void SetMarkedBank(int bank);
    // The document changed under the model: every cell may read differently now.
    void Refresh();

private:
    QString OwnerToken() const;

    ListDocument& m_doc;
    EditHistory& m_history;
    std::vector<bool> m_marks;
    int m_markedBank = -1;
    EditResult m_lastCommit;
};

} // namespace fw

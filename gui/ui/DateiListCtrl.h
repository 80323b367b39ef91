#pragma once

#include "gui/ui/ReportListCtrl.h"

#include <functional>

namespace fw {

class CReceiverdat;
class CListenDat;
class CGrundDat;
struct SafetyCopy;

// The file catalogue of the firmware, program-list and default-settings pages. The pages own
// the records; each row keeps the number its page gave the record. With no rows the list
// shows the page's hint text under the header.
class CDateiListCtrl : public CReportListCtrl {
    Q_OBJECT
public:
    explicit CDateiListCtrl(QWidget* parent = nullptr);

    // String number of the hint shown while the list is empty; 0 shows nothing.
    void SetEmptyTextId(int stringId);
    QString EmptyText() const;
    // True when painting shows the hint instead of rows.
    bool ShowsEmptyText() const;

    // Insert a row at row (clamped to the end) and return where it went. recordIndex is what
    // GetSelectedRecord and GetRecordIndex give back for the row.
    int AddFirmwareRow(int row, const CReceiverdat& record, int recordIndex);
    int AddListRow(int row, const CListenDat& record, int recordIndex);
    int AddSettingsRow(int row, const CGrundDat& record, int recordIndex);
    // Time taken, receiver model, file name.
    int AddSafetyCopyRow(int row, const SafetyCopy& copy, int recordIndex);

    // Changes one cell; the column widens to fit as on insertion.
    void SetCellText(int row, int column, const QString& text);
    void DeleteRow(int row);
    void DeleteAllRows();

    int GetSelectedRecord() const;
    int GetRecordIndex(int row) const;
    int GetFocusedIndex() const;
    // First row from the top whose file name equals name, ignoring case; -1 when none.
    int FindRow(const QString& name) const;
    // The row after the one inserted last.
    int GetNextIndex() const { return m_nextIndex; }

    // Orders the rows by their records (the pages' comparisons); stable, keeps the selection.
    void SortRows(const std::function<bool(int recordA, int recordB)>& recordLess);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int AddRow(int row, const QStringList& cells, int recordIndex);

    int m_emptyTextId = 0;
    int m_nextIndex = 0;
};

} // namespace fw

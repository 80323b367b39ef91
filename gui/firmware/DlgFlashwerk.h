#pragma once

#include "gui/page/PropertyPagePlus.h"
#include "core/firmware/Receiverdat.h"

#include <map>
#include <memory>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace fw {

class CDateiListCtrl;
class CIconButton;

// The firmware page: the catalogue of the ".bsr" files in the firmware folder, the selected
// file's description, import from any folder, delete, and the send to the receiver through
// the transfer dialog.
class CDlgFlashwerk : public CPropertyPagePlus {
    Q_OBJECT
public:
    static constexpr int kDialogId = 102;
    static constexpr int kMenuId = 130;

    enum Control {
        kImportButton = 1010,
        kList = 1011,
        kDescription = 1016,
        kDeleteButton = 1019,
        kRefreshButton = 1020,
        kSendButton = 1021,
        kInternetButton = 1023,
        kPathLabel = 1024,
        kDescriptionLabel = 1122,
        kFileGroup = 1123,
        kLoadGroup = 1124,
    };

    explicit CDlgFlashwerk(AppContext& context, QWidget* parent = nullptr);
    ~CDlgFlashwerk() override;

    void OnSetActive() override;

    int SendChained(int row, int lastStep) override;

    // The page's commands, as the buttons and the context menu run them.
    void OnImport();
    void OnInternet();
    void OnDelete();
    void OnRefresh();
    void OnSend();
    // Orders the rows by column and remembers the column for the next start.
    void SortByColumn(int column);

    CDateiListCtrl* List() const { return m_list; }
    // The record of the selected row, or nullptr.
    const CReceiverdat* SelectedRecord() const;
    int ChainResult() const { return m_chainResult; }
    // The page's context menu as a right click shows it.
    std::unique_ptr<QMenu> CreateContextMenu();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    CIconButton* MakeButton(int id);
    void SetButtonStates(bool loadEnabled, bool fileCommandsEnabled);
    void OnSelectionChanged();
    void RestoreSelection();
    void SelectAndFocus(int row);
    void FocusListByKey();
    int AddRecord(const CReceiverdat& record);
    void RemoveRow(int row);
    bool RecordLess(int column, int recordA, int recordB) const;

    CDateiListCtrl* m_list = nullptr;
    CIconButton* m_import = nullptr;
    CIconButton* m_internet = nullptr;
    CIconButton* m_delete = nullptr;
    CIconButton* m_refresh = nullptr;
    CIconButton* m_send = nullptr;
    QPlainTextEdit* m_description = nullptr;
    QLabel* m_path = nullptr;

    // Keyed by the number each row carries; numbers are never reused within a fill.
    std::map<int, CReceiverdat> m_records;
    int m_nextRecord = 0;
    int m_chained = 0;
    int m_lastStep = 0;
    int m_chainResult = 0;
};

} // namespace fw

#pragma once

#include "gui/page/PropertyPagePlus.h"
#include "core/lists/ListenDat.h"

#include <QString>

#include <vector>

class QGroupBox;
class QLabel;
class QMenu;

namespace fw {

class CDateiListCtrl;
class CIconButton;

// The program-list page: the catalogue of list files in the lists folder and the commands
// that import, load, send and delete them.
class CDlgProgrammlisten : public CPropertyPagePlus {
    Q_OBJECT
public:
    explicit CDlgProgrammlisten(AppContext& context, QWidget* parent = nullptr);

    // Rebuilds the catalogue from the lists folder; true when the folder held any list file.
    bool Refresh();
    // Brings the status text, the buttons and the remembered file name in line with the
    // selected row.
    void SelectionChanged();

    // The commands.
    void OnRefresh();
    void OnImport();
    // The import once a file was chosen.
    void ImportFrom(const QString& source);
    void OnLoadTv() { LoadFromReceiver('T'); }
    void OnLoadRadio() { LoadFromReceiver('R'); }
    void OnSend();
    void OnNew();
    void OnEdit();
    void OnDelete();
    void OnInternet();
    // Sorts ascending by the column and remembers it.
    void SortByColumn(int column);

    int SendChained(int row, int lastStep) override;

    CDateiListCtrl* List() const { return m_list; }
    const std::vector<CListenDat>& Records() const { return m_records; }
    // The context menu as it would open now.
    QMenu* BuildContextMenu();

protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void StartPage();
    void LoadFromReceiver(char listKind);
    void AddRecord(const CListenDat& record);
    void RemoveRow(int row);
    void RestoreSelectionAndSort();
    void SelectRowNamed(const QString& fileName);
    void EnableRowCommands(bool enabled);
    void ShowHint();
    const CListenDat* SelectedRecord() const;
    bool HandleKey(int key);

    CDateiListCtrl* m_list = nullptr;
    QLabel* m_status = nullptr;
    CIconButton* m_loadTv = nullptr;
    CIconButton* m_loadRadio = nullptr;
    CIconButton* m_import = nullptr;
    CIconButton* m_internet = nullptr;
    CIconButton* m_send = nullptr;
    CIconButton* m_new = nullptr;
    CIconButton* m_edit = nullptr;
    CIconButton* m_refresh = nullptr;
    CIconButton* m_delete = nullptr;

    std::vector<CListenDat> m_records; // a row's record index points in here
    bool m_started = false;
    int m_chained = 0;
    int m_lastStep = 0;
    int m_lastSendResult = 0;
};

} // namespace fw

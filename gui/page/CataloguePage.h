#pragma once

#include "core/link/SafeSend.h"
#include "core/safety/SafetyCopyStore.h"
#include "gui/page/PropertyPagePlus.h"
#include "gui/ui/Icons.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QGroupBox;
class QLabel;
class QMenu;

namespace fw {

class CDateiListCtrl;
class CDlgSenden;
class CIconButton;
class CKonfiguration;
class FileRecord;
class UserInteraction;

// What tells one catalogue page from another: its numbers, texts and remembered settings.
struct CatalogueSetup {
    std::string DataFolders::*folder = nullptr;
    // An import of a file that already lies in the folder lists it again instead of ending.
    bool reimportRegisters = false;
    int dialogId = 0;
    int menuId = 0;
    int listId = 0;
    int columnsText = 0;
    // The column that takes the width the others leave.
    int stretchColumn = 0;
    int emptyText = 0;
    int importFilter = 0;
    // The label that shows the selected file's path, and its text without a selection.
    int pathLabelId = 0;
    int pathHint = 0;
    // The command buttons every catalogue page has.
    int importId = 0;
    int internetId = 0;
    int sendId = 0;
    int deleteId = 0;
    int refreshId = 0;
    // Configuration fields that remember the selected file and the sort column.
    std::string CKonfiguration::*chosenFile = nullptr;
    int CKonfiguration::*sortColumn = nullptr;
    // The folder of the page's safety copies, shown in a section of their own below the
    // catalogue; none for a page without them.
    std::string DataFolders::*safetyCopyFolder = nullptr;
};

// Base of the firmware, program-list and default-settings pages: a catalogue of the files of
// one folder with import, delete, refresh, send, the context menu and the keys that lead into
// the list. Each page owns its records, gives every row the number of its record and supplies
// what differs: how a folder is read, how an imported file is checked, how a send is prepared.
class CataloguePage : public CPropertyPagePlus {
    Q_OBJECT
public:
    CataloguePage(AppContext& context, const CatalogueSetup& setup, QWidget* parent);
    ~CataloguePage() override;

    // Rebuilds the catalogue from the folder and selects the remembered file again. The page
    // does so first when it is first shown.
    void OnRefresh();
    void OnImport();
    // The import once a file was chosen.
    void ImportFrom(const QString& source);
    void OnDelete();
    void OnSend();
    // No internet source exists: the command is offered nowhere.
    void OnInternet() {}
    // Orders the rows by column and remembers the column.
    void SortByColumn(int column, Qt::SortOrder order = Qt::AscendingOrder);
    // A click on a column title: sorts by it, the other way round when it is sorted already.
    void OnColumnClicked(int column);

    // Sends the safety copy selected in the page's section: the way back to what the receiver
    // held before an earlier send.
    void OnSendSafetyCopy();

    int SendChained(int row, int lastStep) override;
    int ChainResult() const { return m_chainResult; }

    CDateiListCtrl* List() const { return m_list; }
    // The safety-copy section's list; null on a page without one.
    CDateiListCtrl* SafetyCopyList() const { return m_safetyCopyList; }
    // The path label's text: the selected file's path or the hint.
    QString InfoText() const;
    // The context menu as a right click would open it now.
    std::unique_ptr<QMenu> CreateContextMenu();

protected:
    struct MenuEntry {
        int id = 0; // 0 is a separator
        std::function<void()> command;
        bool needsRow = false;
        bool enabled = true;
    };

    // Reads the folder and adds a row per file through AddRow; true when any file was found.
    virtual bool Fill() = 0;
    // The page's records, numbered as its rows know them.
    virtual int RecordCount() const = 0;
    virtual const FileRecord& RecordAt(int record) const = 0;
    virtual bool RecordLess(int column, int recordA, int recordB) const = 0;
    // May the source be copied into the folder, and under which name. A page that refuses
    // says why (or stays silent when the file is simply not its kind).
    virtual bool AcceptImport(const std::string& source, std::string& targetName) = 0;
    // Why a file's content must not come into the folder (the end of a sentence), checked
    // before anything is asked or copied; empty lets it in.
    virtual std::string WhyNotImportable(std::string_view /*content*/) const { return {}; }
    // Lists the copied file; false when it cannot be (the page has said why).
    virtual bool AddImported(const std::string& target) = 0;
    // Fills the job for the record; false ends the send.
    virtual bool PrepareSend(int record, TransferJob& job) = 0;
    // The same for a safety copy; only pages with a safety-copy folder are asked.
    virtual bool PrepareSafetyCopySend(const SafetyCopy& /*copy*/, TransferJob& /*job*/) {
        return false;
    }
    // The load and the judge that compare the record's file with the receiver; false when
    // the file cannot be compared (the page said why).
    virtual bool PrepareCompare(int /*record*/, TransferJob& /*load*/, CheckJudge& /*judge*/) {
        return false;
    }
    // "Compare with receiver": loads what the receiver holds and shows the verdict.
    void OnCompareWithReceiver();
    // After the comparison's transfer dialog has closed: a page may show more of it.
    virtual void AfterCompare() {}
    // After every transfer dialog of the page has closed.
    virtual void AfterTransfer(const CDlgSenden& /*dialog*/) {}
    // The selection changed; record is -1 without one.
    virtual void ShowSelection(int /*record*/) {}
    // A key the page handles beyond the list keys; true when it was consumed.
    virtual bool HandlePageKey(int /*key*/) { return false; }
    virtual std::vector<MenuEntry> MenuEntries() = 0;
    // The file-open dialog of the import; empty when the user cancels.
    virtual QString ChooseImportFile();
    // Who answers the page's questions.
    UserInteraction& Interaction() { return *Context().interaction; }
    CIconButton* MakeButton(int id, CommandIcon icon);
    QGroupBox* MakeGroup(int id, std::initializer_list<QWidget*> widgets);
    // The list on the left with what stands around it, the groups of commands on the right.
    void ArrangePage(std::initializer_list<QWidget*> aboveList,
                     std::initializer_list<QWidget*> belowList,
                     std::initializer_list<QWidget*> groups);
    // Appends a row for record (the page's AddXRow) and gives back its row.
    int AppendRow(const std::function<int(int row)>& add);
    // The record of the selected row, or -1.
    int SelectedRecord() const;
    void SelectRow(int row);
    void SelectionChanged();
    // Runs a transfer dialog for a load from the receiver; a saved file becomes the selected one.
    void LoadFromReceiver(const TransferJob& job);
    QLabel* PathLabel() const { return m_pathLabel; }

    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The full path of a record; empty when there is none.
    std::string RecordPath(int record) const;
    void RestoreSelection();
    void RemoveRowsNamed(const QString& fileName);
    void FocusList();
    // Shows the job's transfer dialog and lets the page see it afterwards.
    void RunSend(const TransferJob& job);
    QWidget* MakeSafetyCopySection();
    void FillSafetyCopies();

    CatalogueSetup m_setup;
    CDateiListCtrl* m_list = nullptr;
    QLabel* m_pathLabel = nullptr;
    CIconButton* m_send = nullptr;
    CIconButton* m_delete = nullptr;
    QWidget* m_safetyCopySection = nullptr;
    CDateiListCtrl* m_safetyCopyList = nullptr;
    CIconButton* m_sendSafetyCopy = nullptr;
    std::vector<SafetyCopy> m_safetyCopies; // a row's record number points in here
    int m_chained = 0;
    int m_lastStep = 0;
    int m_chainResult = 0;
    bool m_filled = false;
    bool m_fillQueued = false;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace fw

#pragma once

#include "gui/page/PropertyPagePlus.h"
#include "core/settings/GrundDat.h"
#include "gui/ui/Icons.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QMenu;

namespace fw {

class CDateiListCtrl;
class CIconButton;
class UserInteraction;

// The default-settings page: the ".grd" files of the settings folder, their import, deletion,
// and their transfer to and from the receiver.
class CDlgGrundeinstellung : public CPropertyPagePlus {
    Q_OBJECT
public:
    static constexpr int kDialogId = 149;
    enum ControlId {
        kList = 1062,
        kInfo = 1063,
        kLoadReceiver = 1057,
        kImport = 1058,
        kInternet = 1059,
        kSend = 1060,
        kRefresh = 507,
        kDelete = 1070,
        kGroupFile = 1071,
        kGroupSend = 1125,
        kGroupLoad = 1124,
    };

    // interaction answers the questions of the page (the first scan included); message boxes
    // when none is given.
    explicit CDlgGrundeinstellung(AppContext& context, QWidget* parent = nullptr,
                                  UserInteraction* interaction = nullptr);
    ~CDlgGrundeinstellung() override;

    int SendChained(int row, int lastStep) override;

    void OnLoadReceiver();
    void OnImport();
    void OnSend();
    void OnDelete();
    void OnRefresh();
    void OnInternet();

    // Questions and messages go here; the page's message boxes unless a test sets its own.
    void SetInteraction(UserInteraction* interaction);
    int ChainResult() const { return m_chainResult; }
    const std::vector<CGrundDat>& Records() const { return m_records; }
    CDateiListCtrl* List() const { return m_list; }
    QString InfoText() const;
    // The context menu's entries, greyed as the selection requires.
    void FillContextMenu(QMenu& menu);

protected:
    // The file-open dialog of the import; empty when the user cancels.
    virtual QString ChooseImportFile();
    // A file error, with the system's reason, in a box titled as an error.
    virtual void ShowFileError(const std::string& reason);

    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BuildLayout();
    CIconButton* AddButton(int id, CommandIcon icon, QWidget* parent);
    // Fills the list from the folder; 1 when a file was found.
    int Refill();
    void RestoreSelection();
    void OnSelectionChanged();
    void OnColumnClicked(int column);
    void SortBy(int column);
    void OnListKey(bool space);
    void SetCommandsEnabled(bool enabled);
    void ShowHint();

    int m_chainResult = 0;
    int m_chainedMode = 0;
    int m_chainLastStep = 0;
    std::vector<CGrundDat> m_records;

    CDateiListCtrl* m_list = nullptr;
    QLabel* m_info = nullptr;
    CIconButton* m_loadReceiver = nullptr;
    CIconButton* m_import = nullptr;
    CIconButton* m_internet = nullptr;
    CIconButton* m_send = nullptr;
    CIconButton* m_refresh = nullptr;
    CIconButton* m_delete = nullptr;

    std::unique_ptr<UserInteraction> m_ownInteraction;
    UserInteraction* m_interaction = nullptr;
};

} // namespace fw

#pragma once

#include "core/editor/EditHistory.h"
#include "core/editor/ListDocument.h"
#include "core/lists/ListenDat.h"
#include "core/util/FileStamp.h"
#include "gui/print/PrintFlow.h"
#include "gui/ui/ResizeDialog.h"

#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QLabel;
class QMenu;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace fw {

namespace ids::pool {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kRadio = 1073;
inline constexpr int kTv = 1074;
inline constexpr int kFileName = 1075;
inline constexpr int kDescription = 1076;
inline constexpr int kPrint = 1077;
inline constexpr int kFavourites = 1128;
inline constexpr int kFilter = 10237;
} // namespace ids::pool

struct AppContext;
class CDlgFavoriten;
class CDlgSuchen;
class CPoolListCtrl;
class ListCompareWindow;

// The editor of one program list: the pool grid, file name, description and type. OK saves
// the list and closes, Ctrl+S saves and stays; Cancel, Escape and the close box ask before
// throwing changes away.
class CDlgProgrammpool : public CResizeDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 150;

    // Without a record the editor starts a new, empty list.
    CDlgProgrammpool(AppContext& context, const CListenDat* record, QWidget* parent = nullptr);

    // Editor and favourites window side by side on a desktop wider than 800 pixels, the editor
    // as wide as asked where the desktop leaves room (at least 655); empty rectangles on a
    // narrower desktop.
    static std::pair<QRect, QRect> SideBySide(const QRect& desktop, int editorWidth = 0);

    // The favourites window: its current bank takes added programs and shows its marks; its
    // button shows it. Until one is given, adding to a bank is not offered.
    void SetCurrentBankSource(std::function<int()> currentBank);
    void SetFavouritesWindow(QWidget* favourites);

    // The list file could not be read: exec() returns at once.
    bool LoadFailed() const { return m_loadFailed; }
    // The name the list was saved under, for the page to select it.
    const QString& FileName() const { return m_savedFileName; }
    ListDocument& Document() { return m_doc; }
    EditHistory& History() { return m_history; }
    CPoolListCtrl* Grid() const { return m_grid; }
    QLineEdit* FilterField() const { return m_filter; }
    // The tools that work on the whole list; each adds its entry.
    QMenu* ToolsMenu() const { return m_toolsMenu; }
    CDlgFavoriten* Favourites() const { return m_favouritesWindow; }
    CDlgSuchen* SearchDialog() const { return m_search; }
    PrintFlow& Printing() { return m_printFlow; }

    // "Compare with file...": a list of the lists folder side by side with this one.
    void OnCompareWithFile();
    void CompareWithFile(const QString& path);
    // The comparison window with the file at path; none when it cannot be read as a list
    // (the user was told).
    std::unique_ptr<ListCompareWindow> ComparisonWith(const QString& path);

    enum class AfterSave { Close, StayOpen };
    // OK and Ctrl+S: saves, then closes or stays; an aborted save keeps the editor open.
    bool Save(AfterSave then = AfterSave::Close);
    int exec() override;
    // Cancel and Escape: asks before discarding changes.
    void reject() override;

public slots:
    // The document changed elsewhere (the favourites window): show it again.
    void Refresh();

signals:
    void DocumentChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The favourites window moves along.
    void moveEvent(QMoveEvent* event) override;

private:
    void BuildLayout();
    // The editor's width that shows the twelve columns without scrolling.
    int WidthOfAllColumns() const;
    void Load(const CListenDat& record);
    void ShowHeader();
    void OnDescriptionEdited();
    void OnTypeChosen(int listType);
    void AfterHeaderChange();
    // Title, the file name's tool tip and the status line, as the document and selection stand.
    void ShowState();
    void OpenFavourites();
    // A print command of the grid's menu, Ctrl+P or the print button: the document's pool
    // and the grid's selected rows.
    void RunPrintCommand(int command);

    AppContext& m_context;
    ListDocument m_doc;
    EditHistory m_history;
    std::string m_openedFileName;
    // The opened file as it was read: a save notices another program's change since.
    std::optional<FileStamp> m_openedStamp;
    QString m_savedFileName;
    bool m_loadFailed = false;
    QLineEdit* m_fileName = nullptr;
    QLineEdit* m_description = nullptr;
    QLineEdit* m_filter = nullptr;
    QMenu* m_toolsMenu = nullptr;
    QRadioButton* m_radio = nullptr;
    QRadioButton* m_tv = nullptr;
    CPoolListCtrl* m_grid = nullptr;
    QPushButton* m_favouritesButton = nullptr;
    QLabel* m_status = nullptr;
    CDlgSuchen* m_search = nullptr;
    CDlgFavoriten* m_favouritesWindow = nullptr;
    PrintFlow m_printFlow;
};

} // namespace fw

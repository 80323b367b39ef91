#pragma once

#include "core/editor/EditHistory.h"
#include "core/editor/ListDocument.h"
#include "gui/ui/ResizeDialog.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QTabWidget;

namespace fw {

class CFavListCtrl;
class UserInteraction;

// The modeless window of the ten favourite banks F0..F9 beside the pool editor. It edits the
// editor's document through the shared history; the editor refreshes it after pool changes
// and follows the current bank with its " =" marks.
class CDlgFavoriten : public CResizeDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 204;
    static constexpr int kTabsId = 1132;
    static constexpr int kHelpButtonId = 57670;
    static constexpr int kWidth = 320;

    CDlgFavoriten(ListDocument& doc, EditHistory& history, UserInteraction& interaction,
                  std::string profilePath, QWidget* parent);

    int CurrentBank() const;
    CFavListCtrl* List(int bank) const { return m_lists.at(static_cast<std::size_t>(bank)); }
    QTabWidget* Tabs() const { return m_tabs; }

    // Asks the user for the text of a bank search; nothing when the user cancelled.
    using SearchTextSource = std::function<std::optional<QString>()>;
    void SetSearchTextSource(SearchTextSource source) { m_askSearchText = std::move(source); }

    // The window's frame beside the editor's frame, the same height, on a desktop wider than
    // 800 pixels; an empty rectangle leaves the placement to the window system.
    static QRect PlacementBeside(const QRect& editorFrame, const QRect& desktop);
    // Makes that placement the default of the next show; a geometry stored in upd.ini wins.
    void PlaceBeside(const QRect& editorFrame);

    // The bank's tab: its name over the number of its entries, "F0" over "(40)".
    static QString TabText(int bank, int entries);
    // Shows the window in front of the others with the current bank's list in focus.
    void Present();
    // The editor moved by delta: the window moves along, until the user has moved it himself.
    void FollowEditor(QPoint delta);
    bool FollowsEditor() const { return m_followsEditor; }

    QDialog* KeysHelp() const { return m_keysHelp; }
    void ShowKeysHelp();

    // Where the pool's add to bank puts programs in the current bank: before its single
    // selected entry, else at the end (-1). Nothing while this window is hidden, so that the
    // user always sees which bank takes them.
    std::optional<int> AddPosition() const;

signals:
    void DocumentChanged();
    void CurrentBankChanged(int bank);

public slots:
    void Refresh();
    // One program's cells were edited; the banks themselves stayed as they were.
    void ProgramChanged(int address);

protected:
    void moveEvent(QMoveEvent* event) override;

private:
    void Search(bool again);
    // The keys that switch banks from anywhere in the window.
    void CreateBankKeys();
    // Shows bank, counting from the current one round the ten when relative.
    void StepBank(int step);

    QTabWidget* m_tabs;
    std::array<CFavListCtrl*, kBankCount> m_lists{};
    SearchTextSource m_askSearchText;
    QDialog* m_keysHelp = nullptr; // the keys and mouse actions, modeless
    QString m_searchText;
    bool m_followsEditor = true;
    // Where following the editor last put the window; a move elsewhere is the user's.
    std::optional<QPoint> m_followTarget;
};

} // namespace fw

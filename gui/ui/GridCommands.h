#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>

class QAction;
class QKeyEvent;
class QMenu;
class QWidget;

namespace fw {

// The commands of a grid, one QAction each with its id as object name: the grid's keys run
// them through their shortcuts and its context menu shows the same actions. The actions are
// not added to the grid, so Qt's shortcut map leaves the keys to the grid, which decides
// itself when a key acts (for most commands only while rows are selected).
class GridCommands {
public:
    enum class Needs { Selection, Nothing };
    // Whether a menu shows the shortcut beside the text; texts that name their keys
    // themselves ("cut (Ctrl + X)") would show them twice.
    enum class KeysInMenu { Hidden, Shown };

    // The actions are children of grid and run their slot on grid's thread.
    explicit GridCommands(QWidget& grid) : m_grid(grid) {}

    QAction* Add(int id, const QString& text, const QList<QKeySequence>& keys,
                 std::function<void()> run, Needs needs = Needs::Selection,
                 KeysInMenu keysInMenu = KeysInMenu::Hidden);
    QAction* operator[](int id) const;

    // Handles a key press that is one of the commands' shortcuts and says whether it was. Such
    // a key is used up even when it does nothing: without the selection its command needs, or
    // when update (which brings every command's state up to date) disables it.
    bool RunKey(const QKeyEvent& event, bool hasSelection,
                const std::function<void()>& update) const;

    // A context menu over parent with the commands in order; 0 stands for a separator.
    std::unique_ptr<QMenu> Menu(QWidget* parent, std::initializer_list<int> ids) const;

private:
    struct Command {
        QAction* action = nullptr;
        Needs needs = Needs::Selection;
    };

    QWidget& m_grid;
    std::map<int, Command> m_commands;
};

} // namespace fw

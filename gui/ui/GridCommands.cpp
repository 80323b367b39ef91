#include "gui/ui/GridCommands.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

namespace fw {

QAction* GridCommands::Add(int id, const QString& text, const QList<QKeySequence>& keys,
                           std::function<void()> run, Needs needs, KeysInMenu keysInMenu) {
    auto* action = new QAction(text, &m_grid);
    action->setObjectName(QString::number(id));
    action->setShortcuts(keys);
    action->setShortcutVisibleInContextMenu(keysInMenu == KeysInMenu::Shown);
    QObject::connect(action, &QAction::triggered, &m_grid, std::move(run));
    m_commands[id] = {action, needs};
    return action;
}

QAction* GridCommands::operator[](int id) const {
    return m_commands.at(id).action;
}

bool GridCommands::RunKey(const QKeyEvent& event, bool hasSelection,
                          const std::function<void()>& update) const {
    // The keypad's Delete and Enter are the same keys to the user.
    const QKeySequence pressed(QKeyCombination(event.modifiers() & ~Qt::KeypadModifier,
                                               static_cast<Qt::Key>(event.key())));
    for (const auto& [id, command] : m_commands) {
        if (!command.action->shortcuts().contains(pressed))
            continue;
        if (command.needs == Needs::Selection && !hasSelection)
            return true;
        update();
        if (command.action->isEnabled())
            command.action->trigger();
        return true;
    }
    return false;
}

std::unique_ptr<QMenu> GridCommands::Menu(QWidget* parent, std::initializer_list<int> ids) const {
    auto menu = std::make_unique<QMenu>(parent);
    for (const int id : ids) {
        if (id == 0)
            menu->addSeparator();
        else
            menu->addAction(m_commands.at(id).action);
    }
    return menu;
}

} // namespace fw

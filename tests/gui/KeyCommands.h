#pragma once

#include <QAction>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

namespace fw::test {

// A key of a grid and the command whose action it must run.
struct KeyCommand {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int command;
};

// Presses each key on the grid, after select() has set the selection, and expects exactly the
// action of its command, among those the grid's menu shows, to run once: a key and its menu
// entry are one command.
inline void ExpectEachKeyRunsItsMenuAction(QWidget& grid, const QMenu& menu,
                                           const std::vector<KeyCommand>& cases,
                                           const std::function<void()>& select) {
    std::map<int, int> runs;
    for (QAction* action : menu.actions())
        QObject::connect(action, &QAction::triggered,
                         [&runs, action] { ++runs[action->objectName().toInt()]; });
    for (const KeyCommand& c : cases) {
        SCOPED_TRACE(c.command);
        select();
        runs.clear();
        QTest::keyClick(&grid, c.key, c.modifiers);
        EXPECT_EQ(runs, (std::map<int, int>{{c.command, 1}}));
    }
}

} // namespace fw::test

#include "gui/app/LogbookWindow.h"
#include "core/app/Logbook.h"
#include "core/config/Konfiguration.h"
#include "gui/app/DlgOptionen.h"
#include "gui/app/LogbookModel.h"
#include "gui/app/ReceiverSheet.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/support/FileTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(LogbookWindowTest, OpensFromTheOptionsPageNewestFirstAndFilters) {
    test::TempDir folder;
    const DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    config.m_activePage = 3;
    test::ScriptedContext context{config, folders};
    for (const auto& [job, model] :
         {std::pair{"list load", "ZEB30"}, {"list send", "ZEB20"}, {"settings send", "ZEB30"}}) {
        LogbookRecord record;
        record.job = job;
        record.model = model;
        record.outcome = "ok";
        std::string reason;
        ASSERT_TRUE(AppendToLogbook(folders.program, record, reason)) << reason;
    }
    CReceiverSheet sheet(context);
    sheet.show();
    sheet.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));

    // Alt+L, the button's mnemonic, clicks it with a short animation.
    QTest::keyClick(sheet.focusWidget(), Qt::Key_L, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet.findChild<LogbookWindow*>() != nullptr; }));
    const QPointer<LogbookWindow> window = sheet.findChild<LogbookWindow*>();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.data()));
    const LogbookModel& model = window->Model();
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.index(0, 1).data().toString(), "settings send");
    EXPECT_EQ(model.index(2, 1).data().toString(), "list load");

    // The filter field has the focus: typing narrows the table at once.
    QTest::keyClicks(window->focusWidget(), "zeb30 SEND");
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.index(0, 1).data().toString(), "settings send");
    EXPECT_EQ(window->findChild<QLabel*>(QString::number(ids::logbook::kCount))->text(),
              "1 of 3 transfers");

    QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(window.isNull() || !window->isVisible());
}

} // namespace
} // namespace fw

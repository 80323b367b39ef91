#include "gui/ui/ControlToolTips.h"
#include "gui/ui/IconButton.h"
#include "gui/ui/Icons.h"
#include "gui/ui/ToolTipDialog.h"

#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(IconButtonTest, EnterClicksTheButton) {
    CIconButton button(QStringLiteral("&Local"));
    QSignalSpy clicked(&button, &QPushButton::clicked);
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicked.count(), 2);
    QTest::keyClick(&button, Qt::Key_Return, Qt::ControlModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&button, &repeat);
    EXPECT_EQ(clicked.count(), 2) << "neither a modified Enter nor a held key clicks again";
}

TEST(IconButtonTest, DisabledButtonIgnoresEnterAndGreysItsIcon) {
    CIconButton button(QStringLiteral("&Delete"));
    ASSERT_EQ(button.SetIcon(FlashwerkIcon(CommandIcon::Delete), QSize(24, 24)), 1);
    EXPECT_EQ(button.iconSize(), QSize(24, 24));
    button.setEnabled(false);
    QSignalSpy clicked(&button, &QPushButton::clicked);
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 0);

    const QImage normal = button.icon().pixmap(QSize(24, 24), QIcon::Normal).toImage();
    const QImage disabled = button.icon().pixmap(QSize(24, 24), QIcon::Disabled).toImage();
    EXPECT_NE(normal, disabled) << "the disabled look differs from the normal one";

    EXPECT_EQ(button.SetIcon(QIcon(), QSize(24, 24)), 0);
    EXPECT_TRUE(button.icon().isNull()) << "a failed icon leaves none behind";
}

TEST(IconButtonTest, EveryCommandIconIsDrawn) {
    for (CommandIcon id : {CommandIcon::Import, CommandIcon::Receiver, CommandIcon::SendToReceiver,
                           CommandIcon::LoadFromReceiver, CommandIcon::Delete, CommandIcon::Refresh,
                           CommandIcon::New, CommandIcon::Edit}) {
        const QImage image = FlashwerkIcon(id).pixmap(QSize(24, 24)).toImage();
        ASSERT_FALSE(image.isNull()) << static_cast<int>(id);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        EXPECT_GT(opaque, 40) << "icon " << static_cast<int>(id) << " is not blank";
    }
}

TEST(ToolTipDialogTest, NumberedControlsGetTheStringOfTheirNumber) {
    CToolTipDialog dialog;
    auto* known = new QLabel(&dialog);
    SetControlId(known, 1010);
    auto* unnamed = new QLabel(&dialog);
    auto* unknown = new QLabel(&dialog);
    SetControlId(unknown, 4711);
    auto* nested = new QLabel(new QWidget(&dialog));
    SetControlId(nested, 1021);
    dialog.show();

    EXPECT_EQ(known->toolTip(), "Load update from disc,harddisc,etc.");
    EXPECT_EQ(nested->toolTip(), "send selected files to receiver");
    EXPECT_TRUE(unnamed->toolTip().isEmpty());
    EXPECT_TRUE(unknown->toolTip().isEmpty());
    EXPECT_TRUE(dialog.testAttribute(Qt::WA_AlwaysShowToolTips));
}

} // namespace
} // namespace fw

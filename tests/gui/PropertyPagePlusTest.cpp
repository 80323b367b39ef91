#include "gui/page/PropertyPagePlus.h"
#include "core/config/Konfiguration.h"
#include "gui/app/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(PropertyPagePlusTest, ControlsShowTheStringOfTheirNumberWhileTipsAreOn) {
    CKonfiguration config;
    const DataFolders folders = FoldersUnder("/nonexistent");
    AppContext context{config, folders};
    CPropertyPagePlus page(context, 149);
    auto* known = new QPushButton(&page);
    CPropertyPagePlus::SetControlId(known, 1057);
    auto* unknown = new QPushButton(&page);
    CPropertyPagePlus::SetControlId(unknown, 4711);
    page.show();

    EXPECT_EQ(known->toolTip(), "Load default setting from receiver");
    EXPECT_TRUE(unknown->toolTip().isEmpty()) << "a number without a string gets no tip";

    config.m_toolTips = 0;
    page.OnSetActive();
    EXPECT_TRUE(known->toolTip().isEmpty());
    page.SetToolTips(1);
    EXPECT_EQ(known->toolTip(), "Load default setting from receiver");
    EXPECT_EQ(page.TabCaption(), "Default &settings");
}

TEST(AboutDlgTest, ShowsVersionAndDate) {
    CAboutDlg about;
    const auto* version = about.findChild<QLabel*>("version");
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(version->text().contains(FLASHWERK_VERSION));
    EXPECT_TRUE(version->text().contains(FLASHWERK_RELEASE_DATE));
    EXPECT_EQ(about.windowTitle(), "About Flashwerk");
}

} // namespace
} // namespace fw
